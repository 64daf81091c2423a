// The analysis commands: checking a data file, exporting a link to JAGS, fitting and comparing
// links with JAGS, and opening the folders of earlier fits. It sits on the command route between
// the application and the document template, and puts its windows (findings, results,
// comparisons) in the same multiple-document area as the documents.
#pragma once

#include "docview/zentoview.h"
#include "framework/messagemap.h"
#include "results/fitrun.h"
#include "results/fitsettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class QMdiArea;
class QMdiSubWindow;

namespace zento {

class CheckWindow;
class ComparisonWindow;
class DocumentManager;
class ReportWindow;
class ResultsWindow;
struct ComparisonResults;
struct FitResults;

class AnalysisManager : public QObject, public CommandTarget {
    Q_OBJECT
public:
    // Runs a settings dialog modally; true when it was accepted (exec unless a test supplies
    // another).
    using SettingsRunner = std::function<bool(FitSettingsDialog& dialog)>;

    explicit AnalysisManager(DocumentManager* documents, QObject* parent = nullptr);
    ~AnalysisManager() override;

    void OnVerificarDatos();
    void OnExportarJags();
    void OnAjustarJags();
    void OnCompararEnlaces();
    void OnAbrirResultados();

    // The findings on the chosen columns and cases of path in a window; a message instead when
    // there are none or the file cannot be read. nullptr when no window was opened.
    CheckWindow* showCheck(const DataSelection& selection);
    // Opens path as a document with that 1-based line selected.
    void showDataLine(const QString& path, qint64 line);
    // Writes exactly the files zento-cli jags writes into settings.folder; false, with the user
    // told why, when the data would reach JAGS misread or a file cannot be written.
    bool exportToJags(const DataSelection& selection, const FitSettings& settings);

    // Starts fitting settings.links on the chosen data in the background, with a progress
    // dialog; its window opens when it ends. nullptr, with the user told why, when the data would
    // reach JAGS misread, JAGS is missing or the files cannot be written.
    FitRun* startFit(const DataSelection& selection, const FitSettings& settings,
                     FitPurpose purpose);

    // A folder JAGS has run in (a results window) or one holding a folder per link, as zento-cli
    // comparar --directorio leaves it (a comparison window); else why not, in Spanish.
    std::variant<ReportWindow*, QString> openResultsFolder(const QString& path);
    // The same, telling the user what failed.
    ReportWindow* openResultsFolderOrWarn(const QString& path);

    // The windows of a fit and of a comparison, active in the area.
    ResultsWindow* showResults(std::shared_ptr<const FitResults> results);
    ComparisonWindow* showComparison(std::shared_ptr<const ComparisonResults> results);

    void setSettingsRunner(SettingsRunner runner) { m_runSettings = std::move(runner); }
    void setFolderPicker(FolderPicker picker) { m_pickFolder = std::move(picker); }

signals:
    // A window of this manager's opened or closed: the menus follow.
    void windowsChanged();
    // A fit started by startFit ended (its window, if any, is open by now).
    void fitEnded(FitRun* run);

private:
    QWidget* dialogParent() const;
    void runSelection(SelectionDialog& dialog);
    // The settings for purpose, or nothing when cancelled.
    std::optional<FitSettings> askSettings(FitPurpose purpose);
    // The chosen table when it may go to JAGS; else nothing, the user told why.
    std::optional<ChosenTable> tableForJags(const DataSelection& selection);
    void askAndFit(FitPurpose purpose);
    void fitFinished(FitRun* run);
    QMdiSubWindow* addWindow(QWidget* widget);
    void warn(const QString& message);

    DocumentManager* m_documents;
    SettingsRunner m_runSettings;
    FolderPicker m_pickFolder = interactiveFolderPicker();
};

} // namespace zento
