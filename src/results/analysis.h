// The analysis commands: checking a data file, exporting a link to JAGS, fitting and comparing
// links with JAGS, and opening the folders of earlier fits. It sits on the command route between
// the application and the document template, and puts its windows (findings, results,
// comparisons) in the same multiple-document area as the documents.
#pragma once

#include "docview/zentoview.h"
#include "framework/messagemap.h"
#include "results/fitsettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMdiArea;
class QMdiSubWindow;

namespace zento {

class CheckWindow;
class ComparisonWindow;
class DocumentManager;
class ReportWindow;
class ResultsWindow;
struct ComparisonEntry;
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

    // The findings on the chosen columns and cases of path in a window; a message instead when
    // there are none or the file cannot be read. nullptr when no window was opened.
    CheckWindow* showCheck(const DataSelection& selection);
    // Opens path as a document with that 1-based line selected.
    void showDataLine(const QString& path, qint64 line);
    // Writes exactly the files zento-cli jags writes into settings.folder; false, with the user
    // told why, when the data would reach JAGS misread or a file cannot be written.
    bool exportToJags(const DataSelection& selection, const FitSettings& settings);

    // The windows of a fit and of a comparison, active in the area.
    ResultsWindow* showResults(std::shared_ptr<const FitResults> results);
    ComparisonWindow* showComparison(std::vector<ComparisonEntry> entries, std::string csv,
                                     const QString& folder);

    void setSettingsRunner(SettingsRunner runner) { m_runSettings = std::move(runner); }
    void setFolderPicker(FolderPicker picker) { m_pickFolder = std::move(picker); }

signals:
    // A window of this manager's opened or closed: the menus follow.
    void windowsChanged();

private:
    QWidget* dialogParent() const;
    void runSelection(SelectionDialog& dialog);
    // The settings for purpose, or nothing when cancelled.
    std::optional<FitSettings> askSettings(FitPurpose purpose);
    QMdiSubWindow* addWindow(QWidget* widget);
    void warn(const QString& message);

    DocumentManager* m_documents;
    SettingsRunner m_runSettings;
    FolderPicker m_pickFolder = interactiveFolderPicker();
};

} // namespace zento
