// The edit view's routing table and its generating command handlers.
#include "docview/zentoview.h"

#include "dialogs/cargardatos.h"
#include "dialogs/cargarmodelos.h"
#include "docview/zentodoc.h"
#include "framework/commands.h"
#include "framework/messages.h"
#include "framework/progressrunner.h"
#include "winbugs/rectangulardata.h"

#include <cerrno>
#include <new>

using namespace zento;

CZENTOView::CZENTOView(QWidget* parent)
    : EditView(parent), m_runSelection([](SelectionDialog& dialog) { dialog.exec(); }) {
    m_messageMap.add(ID_DATA_GENERAR, this, &CZENTOView::OnGenerarDatos);
    for (const LinkInfo& link : Links())
        m_messageMap.add(link.commandId, [this, &link] { OnModelo(link); });
}

CZENTOView::~CZENTOView() {
    if (m_document)
        m_document->RemoveView(this);
}

void CZENTOView::attachDocument(CZENTODoc* document) {
    m_document = document;
    if (!document)
        return;
    document->AddView(this);
    setTextDocument(document->text());
}

QString CZENTOView::printDocumentName() const {
    return m_document ? m_document->GetTitle() : EditView::printDocumentName();
}

void CZENTOView::runSelection(SelectionDialog& dialog) {
    if (m_pickDataFile)
        dialog.setFilePicker(m_pickDataFile);
    m_runSelection(dialog);
}

void CZENTOView::showRefusal(const DataError& error) {
    showWarning(this, QString::fromStdString(DescribeDataError(error)));
}

void CZENTOView::OnGenerarDatos() {
    CCargarDatos dlg(this);
    runSelection(dlg);
    const DataSelection selection = dlg.selection();
    if (selection.path.empty() || !dlg.accepted())
        return;
    // A big file takes a while: the text is built on a worker while the window stays painted.
    // A user who gives up waiting gets nothing, as with a cancelled dialog.
    const QPointer<CZENTOView> alive(this);
    auto text =
        runWithProgress(this, QStringLiteral("Generando los datos para WinBUGS..."),
                        [&selection](ProgressState&) -> Result<std::string> {
                            try {
                                return BuildRectangularData(selection);
                            } catch (const std::bad_alloc&) {
                                // A text larger than memory: said like any file that
                                // cannot be used, instead of ending the program.
                                return FileError(DataErrorKind::Unreadable, selection.path, ENOMEM);
                            }
                        });
    if (!alive || !text)
        return;
    if (!*text) {
        showRefusal(text->error());
        return;
    }
    replaceTextBytes(std::move(**text));
}

void CZENTOView::OnModelo(const LinkInfo& link) {
    CCargarModelos dlg(this);
    runSelection(dlg);
    const DataSelection selection = dlg.selection();
    if (selection.path.empty())
        return;
    // The names are read before the dialog's result is looked at.
    const Result<ModelNames> names = ReadModelNames(selection.path, selection.chosenVariables);
    if (!dlg.accepted())
        return;
    if (!names) {
        showRefusal(names.error());
        return;
    }
    replaceTextBytes(link.build(*names, selection));
}
