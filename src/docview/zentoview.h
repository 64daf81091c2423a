// The edit view of a text document, with the routing table of the commands that reach it: the
// data command and the nine model commands of the link table, besides the editing and printing
// commands of every edit view.
#pragma once

#include "docview/zentodoc.h"
#include "framework/datafilepicker.h"
#include "framework/editview.h"
#include "winbugs/models.h"

#include <QPointer>

#include <functional>

class SelectionDialog;

class CZENTOView : public zento::EditView {
    Q_OBJECT
public:
    // Runs a selection dialog modally (exec unless a test supplies another); the handler then
    // reads the dialog's accepted() and selection().
    using SelectionRunner = std::function<void(SelectionDialog& dialog)>;

    explicit CZENTOView(QWidget* parent = nullptr);
    ~CZENTOView() override;

    CZENTODoc* GetDocument() const { return m_document; }
    // Shows the document's text, after any view it already has; nullptr only forgets it (the
    // view is closing).
    void attachDocument(CZENTODoc* document);

    void setSelectionRunner(SelectionRunner runner) { m_runSelection = std::move(runner); }
    // Where the selection dialogs' "Incluir Datos..." picks its file.
    void setDataFilePicker(zento::DataFilePicker picker) { m_pickDataFile = std::move(picker); }

    void OnGenerarDatos();
    // Every model command: its link's dialog, builder and text.
    void OnModelo(const zento::LinkInfo& link);

protected:
    QString printDocumentName() const override;

private:
    void runSelection(SelectionDialog& dialog);
    // Shows why the core wrote nothing; the text stays as it was.
    void showRefusal(const zento::DataError& error);

    QPointer<CZENTODoc> m_document;
    SelectionRunner m_runSelection;
    zento::DataFilePicker m_pickDataFile;
};
