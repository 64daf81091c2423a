// The analysis commands.
#include "results/analysis.h"

#include "datafile/systemfile.h"
#include "dialogs/cargardatos.h"
#include "dialogs/cargarmodelos.h"
#include "docview/documentmanager.h"
#include "framework/commands.h"
#include "framework/messages.h"
#include "framework/progressrunner.h"
#include "results/checkwindow.h"
#include "results/fitprogress.h"
#include "results/fitrun.h"
#include "results/resultswindow.h"
#include "winbugs/datacheck.h"
#include "winbugs/jagsexport.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>

#include <cerrno>
#include <filesystem>
#include <new>

namespace zento {

namespace {

QString nativePath(const std::string& utf8) {
    return QDir::toNativeSeparators(QString::fromStdString(utf8));
}

// Why the chosen data cannot go to JAGS: the first findings in the checker's words and how to
// see them all, as zento-cli says it.
QString jagsRefusal(const DataSelection& selection, const JagsDataCheck& check) {
    QString text = QStringLiteral("Los datos elegidos de %1 no pueden ir a JAGS, que los leería "
                                  "mal; no se escribe nada:")
                       .arg(nativePath(selection.path));
    for (const std::string& finding : check.shown)
        text += QStringLiteral("\n  ") + QString::fromStdString(finding);
    const std::int64_t more = check.total - std::int64_t(check.shown.size());
    if (more > 0)
        text += QStringLiteral("\n  … y %1.")
                    .arg(QString::fromStdString(CountWords(more, "problema más", "problemas más")));
    text += QStringLiteral("\nLa lista completa: Análisis > Verificar datos.");
    return text;
}

} // namespace

AnalysisManager::AnalysisManager(DocumentManager* documents, QObject* parent)
    : QObject(parent), m_documents(documents),
      m_runSettings([](FitSettingsDialog& dialog) { return dialog.exec() == QDialog::Accepted; }) {
    m_messageMap.add(ID_ANALISIS_VERIFICAR, this, &AnalysisManager::OnVerificarDatos);
    m_messageMap.add(ID_ANALISIS_EXPORTAR, this, &AnalysisManager::OnExportarJags);
    m_messageMap.add(ID_ANALISIS_AJUSTAR, this, &AnalysisManager::OnAjustarJags);
    m_messageMap.add(ID_ANALISIS_COMPARAR, this, &AnalysisManager::OnCompararEnlaces);
    m_messageMap.add(ID_ANALISIS_ABRIR, this, &AnalysisManager::OnAbrirResultados);
    setNextCommandTarget(documents);
}

AnalysisManager::~AnalysisManager() = default;

QWidget* AnalysisManager::dialogParent() const {
    return m_documents->mdiArea() ? m_documents->mdiArea()->window() : nullptr;
}

void AnalysisManager::warn(const QString& message) {
    showWarning(dialogParent(), message);
}

void AnalysisManager::runSelection(SelectionDialog& dialog) {
    if (m_documents->dataFilePicker())
        dialog.setFilePicker(m_documents->dataFilePicker());
    if (m_documents->selectionRunner())
        m_documents->selectionRunner()(dialog);
    else
        dialog.exec();
}

std::optional<FitSettings> AnalysisManager::askSettings(FitPurpose purpose) {
    FitSettingsDialog dialog(purpose, dialogParent());
    dialog.setFolderPicker(m_pickFolder);
    if (!m_runSettings(dialog))
        return std::nullopt;
    return dialog.settings();
}

QMdiSubWindow* AnalysisManager::addWindow(QWidget* widget) {
    QMdiArea* area = m_documents->mdiArea();
    widget->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* window = area->addSubWindow(widget);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_documents->placeWindow(window);
    if (auto* report = qobject_cast<ReportWindow*>(widget))
        report->setPrinting(&m_documents->printing());
    connect(window, &QObject::destroyed, this, &AnalysisManager::windowsChanged);
    window->show();
    area->setActiveSubWindow(window);
    emit windowsChanged();
    return window;
}

ResultsWindow* AnalysisManager::showResults(std::shared_ptr<const FitResults> results) {
    auto* window = new ResultsWindow(std::move(results));
    addWindow(window);
    return window;
}

ComparisonWindow*
AnalysisManager::showComparison(std::shared_ptr<const ComparisonResults> results) {
    auto* window = new ComparisonWindow(std::move(results));
    connect(window, &ComparisonWindow::openResultsRequested, this, &AnalysisManager::showResults);
    addWindow(window);
    return window;
}

void AnalysisManager::OnVerificarDatos() {
    CCargarDatos dlg(dialogParent());
    runSelection(dlg);
    const DataSelection selection = dlg.selection();
    if (selection.path.empty() || !dlg.accepted())
        return;
    showCheck(selection);
}

CheckWindow* AnalysisManager::showCheck(const DataSelection& selection) {
    auto report = runWithProgress(
        dialogParent(), QStringLiteral("Verificando los datos..."),
        [&selection](ProgressState&) -> Result<DataCheckReport> {
            try {
                return checkData(selection.path, selection.chosenVariables, selection.chosenCases);
            } catch (const std::bad_alloc&) {
                return FileError(DataErrorKind::Unreadable, selection.path, ENOMEM);
            }
        });
    if (!report)
        return nullptr;
    if (!*report) {
        warn(QString::fromStdString(DescribeDataError(report->error())));
        return nullptr;
    }
    if ((*report)->summary.total() == 0) {
        showInformation(dialogParent(), QStringLiteral("%1: ningún problema.\n%2")
                                            .arg(nativePath(selection.path),
                                                 CheckWindow::totalsText((*report)->summary)));
        return nullptr;
    }
    auto* window = new CheckWindow(std::move(**report));
    connect(window, &CheckWindow::showLineRequested, this, &AnalysisManager::showDataLine);
    addWindow(window);
    return window;
}

void AnalysisManager::showDataLine(const QString& path, qint64 line) {
    // Opening activates the document's window, whether it was open already or not.
    const CZENTODoc* document = m_documents->openDocument(path);
    CZENTOView* view = document ? document->firstView() : nullptr;
    if (!view)
        return;
    const QTextBlock block = view->document()->findBlockByNumber(int(line - 1));
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    view->centerCursor();
    view->setFocus();
}

void AnalysisManager::OnExportarJags() {
    CCargarModelos dlg(dialogParent());
    runSelection(dlg);
    const DataSelection selection = dlg.selection();
    if (selection.path.empty() || !dlg.accepted())
        return;
    if (const std::optional<FitSettings> settings = askSettings(FitPurpose::Export))
        exportToJags(selection, *settings);
}

std::optional<ChosenTable> AnalysisManager::tableForJags(const DataSelection& selection) {
    if (selection.chosenCases < 1 || selection.chosenVariables < 1) {
        warn(QStringLiteral("JAGS necesita al menos un caso y una variable: elija más en el "
                            "diálogo de datos."));
        return std::nullopt;
    }
    const auto check =
        CheckDataForJags(selection.path, selection.chosenVariables, selection.chosenCases);
    if (!check) {
        warn(QString::fromStdString(DescribeDataError(check.error())));
        return std::nullopt;
    }
    if (check->total > 0) {
        warn(jagsRefusal(selection, *check));
        return std::nullopt;
    }
    auto table = ReadChosenTable(selection);
    if (!table) {
        warn(QString::fromStdString(DescribeDataError(table.error())));
        return std::nullopt;
    }
    return std::move(*table);
}

bool AnalysisManager::exportToJags(const DataSelection& selection, const FitSettings& settings) {
    const std::optional<ChosenTable> table = tableForJags(selection);
    if (!table)
        return false;
    const std::vector<JagsFile> files =
        BuildJagsFiles(settings.links.front(), *table, selection, jagsOptionsOf(settings));
    const std::string folder = settings.folder.toStdString();
    if (const Status written = WriteFilesIntoDirectory(folder, files); !written) {
        warn(QString::fromStdString(DescribeDataError(written.error())));
        return false;
    }
    QStringList names;
    for (const JagsFile& file : files)
        names << QString::fromStdString(file.name);
    showInformation(
        dialogParent(),
        QStringLiteral("Escritos en %1: %2.\nPara ajustar el modelo: Análisis > "
                       "Ajustar con JAGS, o en esa carpeta, jags ejecutar.cmd")
            .arg(QDir::toNativeSeparators(settings.folder), names.join(QStringLiteral(", "))));
    return true;
}

void AnalysisManager::askAndFit(FitPurpose purpose) {
    CCargarModelos dlg(dialogParent());
    runSelection(dlg);
    const DataSelection selection = dlg.selection();
    if (selection.path.empty() || !dlg.accepted())
        return;
    if (const std::optional<FitSettings> settings = askSettings(purpose))
        startFit(selection, *settings, purpose);
}

void AnalysisManager::OnAjustarJags() {
    askAndFit(FitPurpose::Fit);
}

void AnalysisManager::OnCompararEnlaces() {
    askAndFit(FitPurpose::Compare);
}

FitRun* AnalysisManager::startFit(const DataSelection& selection, const FitSettings& settings,
                                  FitPurpose purpose) {
    const QString program = jagsProgram();
    if (const std::optional<QString> missing = missingJags(program)) {
        warn(*missing);
        return nullptr;
    }
    const std::optional<ChosenTable> table = tableForJags(selection);
    if (!table)
        return nullptr;
    auto* run = new FitRun(program, purpose, settings, this);
    if (const std::optional<QString> failure = run->start(*table, selection)) {
        delete run;
        warn(*failure);
        return nullptr;
    }
    const QString title = purpose == FitPurpose::Compare
                              ? QStringLiteral("Comparando enlaces con JAGS")
                              : QStringLiteral("Ajustando con JAGS: %1")
                                    .arg(toQString(GetLinkInfo(settings.links.front()).label));
    auto* progress = new FitProgressDialog(run->runner(), title, dialogParent());
    progress->setAttribute(Qt::WA_DeleteOnClose);
    // The dialog watches the runner: it goes first.
    connect(run, &FitRun::finished, progress, &QWidget::close);
    connect(run, &FitRun::finished, this, &AnalysisManager::fitFinished);
    progress->show();
    return run;
}

void AnalysisManager::fitFinished(FitRun* run) {
    if (run->outcome() == FitRun::Outcome::Done) {
        if (run->comparison())
            showComparison(run->comparison());
        else
            showResults(run->results());
    } else if (run->outcome() == FitRun::Outcome::Failed) {
        warn(run->failure());
    }
    emit fitEnded(run);
    run->deleteLater();
}

void AnalysisManager::OnAbrirResultados() {
    const QString folder = m_pickFolder(dialogParent(), QDir::currentPath());
    if (!folder.isEmpty())
        openResultsFolderOrWarn(folder);
}

ReportWindow* AnalysisManager::openResultsFolderOrWarn(const QString& path) {
    auto opened = openResultsFolder(path);
    if (QString* failure = std::get_if<QString>(&opened)) {
        warn(*failure);
        return nullptr;
    }
    return std::get<ReportWindow*>(opened);
}

std::variant<ReportWindow*, QString> AnalysisManager::openResultsFolder(const QString& path) {
    namespace fs = std::filesystem;
    const fs::path folder = pathOf(path);
    const QString shown = QDir::toNativeSeparators(path);
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return QStringLiteral("%1 no es una carpeta. Elija la carpeta donde JAGS escribió "
                              "CODAindex.txt.")
            .arg(shown);
    // The folder of one fit, or a folder per link of a comparison.
    std::vector<Link> links;
    const bool single = fs::exists(folder / "CODAindex.txt", ec);
    if (!single) {
        for (const LinkInfo& info : Links()) {
            if (fs::exists(folder / std::string(info.key) / "CODAindex.txt", ec))
                links.push_back(info.link);
        }
    }
    if (!single && links.empty()) {
        const bool bundle = fs::exists(folder / "ejecutar.cmd", ec);
        return (bundle ? QStringLiteral("%1 tiene los archivos para JAGS, pero JAGS no los ha "
                                        "ejecutado: falta su salida CODA (CODAindex.txt y "
                                        "CODAchain1.txt, ...). Ejecute en esa carpeta "
                                        "«jags ejecutar.cmd», o ajuste con Análisis > Ajustar "
                                        "con JAGS.")
                       : QStringLiteral("%1 no tiene la salida CODA de JAGS (CODAindex.txt y "
                                        "CODAchain1.txt, ...), ni una carpeta por enlace que la "
                                        "tenga (logit, probit, ...). Elija la carpeta de un "
                                        "ajuste o de una comparación."))
            .arg(shown);
    }
    using Read = fit::FitResult<fit::FittedFolder>;
    std::vector<fs::path> folders;
    if (single)
        folders.push_back(folder);
    for (const Link link : links)
        folders.push_back(folder / std::string(GetLinkInfo(link).key));
    auto read = runWithProgress(dialogParent(), QStringLiteral("Leyendo los resultados..."),
                                [&folders](ProgressState& state) {
                                    state.total = folders.size();
                                    std::vector<Read> reads;
                                    for (const fs::path& f : folders) {
                                        reads.push_back(fit::ReadFittedFolder(f));
                                        ++state.done;
                                    }
                                    return reads;
                                });
    if (!read)
        return static_cast<ReportWindow*>(nullptr);
    std::vector<std::shared_ptr<const FitResults>> fits;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        Read& one = (*read)[i];
        if (!one)
            return QString::fromStdString(fit::DescribeFitError(one.error()));
        auto results = std::make_shared<FitResults>();
        results->folder = Utf8FromPath(folders[i]);
        results->draws = std::move(one->draws);
        results->model = std::move(one->model);
        fits.push_back(std::move(results));
    }
    if (single)
        return showResults(fits.front());
    auto comparison = compareFits(Utf8FromPath(folder), std::move(fits), links);
    if (!comparison)
        return QString::fromStdString(fit::DescribeFitError(comparison.error()));
    return showComparison(std::move(*comparison));
}

} // namespace zento
