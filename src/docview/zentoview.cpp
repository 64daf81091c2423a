// The edit view's routing table and its generating command handlers.
#include "docview/zentoview.h"

#include "dialogs/cargardatos.h"
#include "dialogs/cargarmodelos.h"
#include "docview/commandroute.h"
#include "docview/zentodoc.h"
#include "framework/commands.h"
#include "framework/messages.h"
#include "framework/progressrunner.h"
#include "winbugs/rectangulardata.h"

#include <cerrno>
#include <new>
#include <optional>

using namespace zento;

namespace {

constexpr CommandRoute<CZENTOView> kMessageMap[] = {
    {ID_DATA_GENERAR, &CZENTOView::OnGenerarDatos},
    {ID_MODELOS_LOGIT, &CZENTOView::OnLogit},
    {ID_MODELOS_PROBIT, &CZENTOView::OnProbit},
    {ID_MODELOS_CLOGLOG, &CZENTOView::OnCloglog},
    {ID_MODELOS_POWERLOGIT, &CZENTOView::OnPowerLogit},
    {ID_MODELOS_SCOBIT, &CZENTOView::OnScobit},
    {ID_MODELOS_SKEWLOGIT, &CZENTOView::OnSkewLogit},
    {ID_MODELOS_SKEWPROBIT_CDS, &CZENTOView::OnSkewProbitCDS},
    {ID_MODELOS_SKEWPROBIT_BBB, &CZENTOView::OnSkewProbitBBB},
    {ID_MODELOS_SKEWPROBIT_STANDARD, &CZENTOView::OnSkewProbitStandard},
    {ID_FILE_PRINT, &CZENTOView::OnFilePrint},
    {ID_FILE_PRINT_DIRECT, &CZENTOView::OnFilePrintDirect},
    {ID_FILE_PRINT_PREVIEW, &CZENTOView::OnFilePrintPreview},
};

} // namespace

CZENTOView::CZENTOView(QWidget* parent)
    : EditView(parent), m_runSelection([](SelectionDialog& dialog) { dialog.exec(); }) {}

CZENTOView::~CZENTOView() {
    if (m_document)
        m_document->RemoveView(this);
}

void CZENTOView::attachDocument(CZENTODoc* document) {
    m_document = document;
    if (document)
        document->AddView(this);
}

void CZENTOView::setSelectionRunner(SelectionRunner runner) {
    m_runSelection = std::move(runner);
}

CommandState CZENTOView::commandState(int id) const {
    if (findRoute(kMessageMap, id))
        return {true, true};
    return EditView::commandState(id);
}

bool CZENTOView::onCommand(int id) {
    const auto* route = findRoute(kMessageMap, id);
    if (!route)
        return EditView::onCommand(id);
    (this->*route->handler)();
    return true;
}

QString CZENTOView::printDocumentName() const {
    return m_document ? m_document->GetTitle() : EditView::printDocumentName();
}

void CZENTOView::showRefusal(const DataError& error) {
    showWarning(this, QString::fromStdString(DescribeDataError(error)));
}

void CZENTOView::OnGenerarDatos() {
    CCargarDatos dlg(this);
    m_runSelection(dlg);
    const DataSelection selection = dlg.selection();
    if (selection.path.empty())
        return;
    if (!dlg.accepted())
        return;
    // A big file takes a while: the text is built on a worker while the window stays painted.
    // A user who gives up waiting gets nothing, as with a cancelled dialog.
    const QPointer<CZENTOView> alive(this);
    ProgressState progress;
    std::optional<Result<std::string>> text;
    waitWithProgress(this, QStringLiteral("Generando los datos para WinBUGS..."), progress,
                     QtConcurrent::run([&] {
                         try {
                             text.emplace(BuildRectangularData(selection));
                         } catch (const std::bad_alloc&) {
                             // A text larger than memory: said like any file that cannot be
                             // used, instead of ending the program.
                             DataError error;
                             error.kind = DataErrorKind::Unreadable;
                             error.path = selection.path;
                             error.systemError = ENOMEM;
                             text.emplace(std::move(error));
                         }
                     }));
    if (!alive || progress.cancelRequested)
        return;
    if (!*text) {
        showRefusal(text->error());
        return;
    }
    takeTextBytes(std::move(**text));
}

void CZENTOView::generateModel(Link link) {
    CCargarModelos dlg(this);
    m_runSelection(dlg);
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
    takeTextBytes(GetLinkInfo(link).build(*names, selection));
}
