// The one document template and the document commands: it creates each document with its
// child windows and views in the multiple-document area, opens, saves and closes documents, and
// asks the user what a command needs.
//
// How the shell uses it:
//  - Create one DocumentManager for the main frame's QMdiArea; keep it as long as the frame.
//  - It is on the command route: it runs "&Cerrar", "&Guardar" and "Guardar c&omo..." for the
//    active document and passes every other id on to the active view (the generating, printing
//    and editing commands), or to the active window's widget when that window is no document's
//    and its widget handles commands; "&Cerrar" closes such a window, asking nothing.
//    commandStatesChanged says when the enabled states may have changed (the active window, its
//    selection, undo and the clipboard).
//  - Start-up with no argument: newDocument() (Texto1). A file name on the command line, a
//    recent-file entry, a dropped file or a file forwarded by a second instance:
//    openDocument(path). Print switches: printFile(path) or printFile(path, printer).
//  - Recent files: add the path on fileOpened and fileSaved, remove it on openFailed.
//  - Menus: the document menu while documentCount() > 0 (documentCountChanged), the main menu
//    otherwise; activeTitleChanged gives the title of the active document.
//  - Exit and closing the main window: closeAllDocuments(); false means the user cancelled and
//    the application must go on.
//  - Tests answer the questions with setPrompts, drive the selection dialogs with
//    setSelectionRunner and print to a PDF file through printing().printer().
#pragma once

#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/datafilepicker.h"
#include "framework/documentprompts.h"
#include "framework/messagemap.h"
#include "framework/textprinting.h"

#include <QList>
#include <QMdiArea>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class CChildFrame;
class QMdiSubWindow;

namespace zento {

class DocumentManager : public QObject, public CommandTarget {
    Q_OBJECT
public:
    explicit DocumentManager(QMdiArea* area, QObject* parent = nullptr);
    ~DocumentManager() override;

    QMdiArea* mdiArea() const { return m_area; }

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
    // name has none), proposing the document's own file or its title in the working directory,
    // then saves there; the document takes that name.
    bool saveDocumentAs(CZENTODoc* document);
    // When the document is modified, asks whether to save it: true to go on (saved or not to be
    // saved), false when the user cancelled or the save failed.
    bool saveModified(CZENTODoc* document);
    // "&Cerrar": asks as above, then closes every window of the document.
    bool closeDocument(CZENTODoc* document);
    // For exit: asks for each modified document, then closes them all. False, with nothing
    // closed, when the user cancelled.
    bool closeAllDocuments();
    // "&Nueva ventana": another window and view on the active document, showing the one text
    // of the document. nullptr when there is no active document.
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
    // What the views use, for other commands that run the selection dialogs.
    const CZENTOView::SelectionRunner& selectionRunner() const { return m_runSelection; }
    const DataFilePicker& dataFilePicker() const { return m_pickDataFile; }

    // The same size for every window of the area, wholly inside it, cascaded from the window on
    // top; also before the main window first shows.
    void placeWindow(QMdiSubWindow* window);

    // The handlers of the document commands.
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

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

protected:
    CommandTarget* nextCommandTarget() const override;

private:
    bool hasActiveDocument() const { return activeDocument() != nullptr; }
    bool hasActiveWindow() const { return m_area && m_area->currentSubWindow(); }
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
    // One for the run: the data file dialog starts where the last data file was picked.
    DataFilePicker m_pickDataFile = rememberingDataFilePicker();
};

} // namespace zento
