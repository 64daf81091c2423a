// The application object: start-up in a fixed order, the application-level commands, and the
// hand-over of files between a later start and the running program.
#pragma once

#include "app/helpwindow.h"
#include "framework/messagemap.h"
#include "framework/settingsstore.h"
#include "framework/shellopen.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class CMainFrame;

namespace zento {
class AnalysisManager;
class DocumentManager;
class RecentFileList;
class SingleInstance;
struct CommandLineInfo;
} // namespace zento

class CZENTOApp : public QApplication, public zento::CommandTarget {
    Q_OBJECT
public:
    CZENTOApp(int& argc, char** argv);
    ~CZENTOApp() override;

    // Start-up: settings, the recent-file list, the main frame with its bars and the document
    // template over its area, the hand-over of files from later starts, then the command line
    // (no argument: a new document Texto1), then the window shows. False ends the program with
    // exitCode(): 0 when the files went to the running program or were printed, 1 when the
    // command line could not be carried out (the user has been told why).
    bool InitInstance(const QStringList& arguments);
    int exitCode() const { return m_exitCode; }

    CMainFrame* mainFrame() const { return m_mainFrame.get(); }
    zento::DocumentManager* documents() const { return m_documents; }
    zento::AnalysisManager* analysis() const { return m_analysis; }
    zento::RecentFileList* recentFiles() const { return m_recentFiles.get(); }
    // The help document shown by ZENTO itself, once the desktop could not open it.
    HelpWindow* helpWindow() const { return m_helpWindow; }

    // The application's commands.
    void OnAppAbout();
    void OnDocumentoAyuda();
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();

    // Seams for tests, set before InitInstance.
    void setSettingsStore(zento::SettingsStore store) { m_settingsStore = std::move(store); }
    void setInstanceServerName(QString name) { m_serverName = std::move(name); }
    // Opens the help document with the desktop (openWithDesktop unless replaced).
    void setDesktopOpener(zento::DesktopOpener open) { m_openWithDesktop = std::move(open); }
    // Tells the user why start-up ends (a message box that waits unless replaced).
    void setStartupErrorReporter(std::function<void(const QString&)> report) {
        m_reportStartupError = std::move(report);
    }
    // Called on the document template as soon as it exists (prompts, printer, dialogs).
    void setDocumentsSetup(std::function<void(zento::DocumentManager&)> setup) {
        m_setupDocuments = std::move(setup);
    }

protected:
    zento::CommandTarget* nextCommandTarget() const override;

private:
    bool ProcessShellCommand(const zento::CommandLineInfo& info);
    void openFiles(const QStringList& files);
    void bringToFront();

    zento::SettingsStore m_settingsStore;
    QString m_serverName;
    zento::DesktopOpener m_openWithDesktop;
    std::function<void(const QString&)> m_reportStartupError;
    std::function<void(zento::DocumentManager&)> m_setupDocuments;

    std::unique_ptr<zento::RecentFileList> m_recentFiles;
    std::unique_ptr<CMainFrame> m_mainFrame;
    zento::DocumentManager* m_documents = nullptr; // owned by the frame
    zento::AnalysisManager* m_analysis = nullptr;  // owned by the frame
    std::unique_ptr<zento::SingleInstance> m_instance;
    QPointer<HelpWindow> m_helpWindow;
    int m_exitCode = 0;
};
