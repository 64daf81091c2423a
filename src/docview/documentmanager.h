// The one document template and the document commands: it creates each document with its
// child window and view in the multiple-document area, opens, saves and closes documents,
// asks the user what a command needs, and routes command ids to the active view.
//
// How the shell uses it:
//  - Create one DocumentManager for the main frame's QMdiArea; keep it as long as the frame.
//  - Every action of the command table can be forwarded: `manager.onCommand(id)` runs the
//    document commands (ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE,
//    ID_FILE_SAVE_AS, ID_FILE_PRINT_SETUP, ID_WINDOW_NEW) and hands the view's commands (the ten
//    generating commands, ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW and the
//    four editing commands) to the active view; it returns false for ids it does not handle
//    (window arrangement, bars, About, help, exit, recent files: the shell's own).
//    `manager.commandState(id)` says whether an id is handled here and may run now; refresh the
//    actions' enabled state on commandStatesChanged (the active window, its selection, undo
//    and the clipboard changed). The focused view takes its standard editing keys itself.
//  - Start-up with no argument: newDocument() (Texto1). A file name on the command line, a
//    recent-file entry, a dropped file or a file forwarded by a second instance:
//    openDocument(path). Print switches: printFile(path) or printFile(path, printer).
//  - Recent files: add the path on fileOpened and fileSaved, remove it on openFailed.
//  - Menus: the document menu while documentCount() > 0 (documentCountChanged), the main menu
//    otherwise. Title: "ZENTO - " + activeTitleChanged's title, "ZENTO" alone when it is empty.
//  - Exit and closing the main window: closeAllDocuments(); false means the user cancelled and
//    the application must go on.
//  - Tests answer the questions with setPrompts, drive the selection dialogs with
//    setSelectionRunner and print to a PDF file through printing().printer().
#pragma once

#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/documentprompts.h"
#include "framework/editview.h"
#include "framework/textprinting.h"

#include <QList>
#include <QMdiArea>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class CChildFrame;

namespace zento {

class DocumentManager : public QObject {
    Q_OBJECT
public:
    explicit DocumentManager(QMdiArea* area, QObject* parent = nullptr);
    ~DocumentManager() override;

    QMdiArea* mdiArea() const { return m_area; }

    // Command routing: the document commands here, the view's commands to the active view.
    CommandState commandState(int id) const;
    bool onCommand(int id); // whether the id was handled

    // "&Nuevo": an empty document titled Texto1, Texto2, ... in a new window, active.
    CZENTODoc* newDocument();
    // Opens the file as a document, byte for byte, and activates its window; a document already
    // open from that file is activated instead. A file that cannot be read is reported and
    // gives no document (nullptr).
    CZENTODoc* openDocument(const QString& path);
    // "&Abrir...": asks for files and opens each; returns the last document opened.
    CZENTODoc* openDocuments();
    // "&Guardar": the first view's text to the document's file (asks for a name if it has
    // none). A failed save is reported and leaves the document and the old file as they were.
    bool saveDocument(CZENTODoc* document);
    // "Guardar c&omo...": asks for a name ("Archivos ZENTO (*.txt)", ".txt" appended when the
    // name has none), then saves there; the document takes that name.
    bool saveDocumentAs(CZENTODoc* document);
    // When the document is modified, asks whether to save it: true to go on (saved or not to be
    // saved), false when the user cancelled or the save failed.
    bool saveModified(CZENTODoc* document);
    // "&Cerrar": asks as above, then closes every window of the document.
    bool closeDocument(CZENTODoc* document);
    // For exit: asks for each modified document, then closes them all. False, with nothing
    // closed, when the user cancelled.
    bool closeAllDocuments();
    // "&Nueva ventana": another window and view on the active document, starting with the
    // document's text. nullptr when there is no active document.
    CChildFrame* newWindow();
    // The print switches: prints the file's text on printerName (the current printer when
    // empty) without a dialog; a document opened for it is closed again.
    bool printFile(const QString& path, const QString& printerName = {});
    // "Con&figurar impresora...".
    bool printSetup();

    QList<CZENTODoc*> documents() const { return m_documents; }
    int documentCount() const { return int(m_documents.size()); }
    CZENTODoc* findDocument(const QString& path) const;
    QList<CChildFrame*> frames(const CZENTODoc* document) const;
    CChildFrame* activeFrame() const;
    CZENTOView* activeView() const;
    CZENTODoc* activeDocument() const;

    // Seams: the questions asked, the printer settings, and how views run selection dialogs.
    void setPrompts(DocumentPrompts prompts) { m_prompts = std::move(prompts); }
    const DocumentPrompts& prompts() const { return m_prompts; }
    TextPrinting& printing() { return m_printing; }
    void setSelectionRunner(CZENTOView::SelectionRunner runner);

    // The handlers of the document commands.
    void OnFileNew() { newDocument(); }
    void OnFileOpen() { openDocuments(); }
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFilePrintSetup() { printSetup(); }
    void OnWindowNew() { newWindow(); }

signals:
    void fileOpened(const QString& path);
    void fileSaved(const QString& path);
    void openFailed(const QString& path);
    void activeDocumentChanged(CZENTODoc* document); // nullptr when no window is left
    // The active document's title, when another document becomes active or the active one is
    // renamed by a save; empty when no window is left.
    void activeTitleChanged(const QString& title);
    // What commandState says may have changed.
    void commandStatesChanged();
    void documentCountChanged(int count);

private:
    QWidget* dialogParent() const;
    CChildFrame* createFrame(CZENTODoc* document);
    CZENTODoc* createDocument();
    void closeFrames(CZENTODoc* document);
    bool canCloseFrame(CChildFrame* frame);
    void frameClosed(CChildFrame* frame);
    void updateTitles(CZENTODoc* document);
    void updateActiveDocument();
    bool writeDocument(CZENTODoc* document, const QString& path);
    void warn(const QString& message) const;

    QPointer<QMdiArea> m_area;
    QList<CZENTODoc*> m_documents;
    QSet<const CZENTODoc*> m_closing; // closing without asking again
    QPointer<CZENTODoc> m_activeDocument;
    int m_untitledCount = 0;
    DocumentPrompts m_prompts = DocumentPrompts::interactive();
    TextPrinting m_printing;
    CZENTOView::SelectionRunner m_runSelection;
};

} // namespace zento
