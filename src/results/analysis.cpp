// The analysis commands.
#include "results/analysis.h"

#include "cli/jagscommand.h"
#include "dialogs/cargardatos.h"
#include "dialogs/cargarmodelos.h"
#include "docview/documentmanager.h"
#include "framework/commands.h"
#include "framework/messages.h"
#include "framework/progressrunner.h"
#include "results/checkwindow.h"
#include "results/resultswindow.h"
#include "winbugs/datacheck.h"
#include "winbugs/jagsexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>

#include <cerrno>
#include <new>

namespace zento {

namespace {

QString nativePath(const std::string& bytes) {
    return QDir::toNativeSeparators(QFile::decodeName(bytes.c_str()));
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
    window->resize(area->viewport()->size() * 3 / 4);
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

ComparisonWindow* AnalysisManager::showComparison(std::vector<ComparisonEntry> entries,
                                                  std::string csv, const QString& folder) {
    auto* window = new ComparisonWindow(std::move(entries), std::move(csv), folder);
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

bool AnalysisManager::exportToJags(const DataSelection& selection, const FitSettings& settings) {
    if (selection.chosenCases < 1 || selection.chosenVariables < 1) {
        warn(QStringLiteral("JAGS necesita al menos un caso y una variable: elija más en el "
                            "diálogo de datos."));
        return false;
    }
    const auto check =
        CheckDataForJags(selection.path, selection.chosenVariables, selection.chosenCases);
    if (!check) {
        warn(QString::fromStdString(DescribeDataError(check.error())));
        return false;
    }
    if (check->total > 0) {
        warn(jagsRefusal(selection, *check));
        return false;
    }
    const auto table = ReadChosenTable(selection);
    if (!table) {
        warn(QString::fromStdString(DescribeDataError(table.error())));
        return false;
    }
    JagsOptions options;
    options.chains = settings.chains;
    options.burnIn = settings.burnIn;
    options.iterations = settings.iterations;
    const std::vector<JagsFile> files =
        BuildJagsFiles(settings.links.front(), *table, selection, options);
    const std::string folder = QFile::encodeName(settings.folder).toStdString();
    if (const Status written = cli::WriteFilesIntoDirectory(folder, files); !written) {
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

} // namespace zento
