// Start-up and the application-level commands.
#include "app/zentoapp.h"

#include "app/aboutdlg.h"
#include "app/commandline.h"
#include "app/helpdocument.h"
#include "app/helpwindow.h"
#include "app/mainframe.h"
#include "app/singleinstance.h"
#include "docview/documentmanager.h"
#include "framework/commands.h"
#include "framework/messages.h"
#include "framework/recentfilelist.h"
#include "results/analysis.h"
#include "zento/version.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include <cstdio>

using namespace zento;

namespace {

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zento-%1.png").arg(size), QSize(size, size));
    return icon;
}

// Also on the error output, for whoever started the program from a terminal or a script.
void showStartupError(const QString& message) {
    std::fputs(qPrintable(QStringLiteral("zento: ") + message + QLatin1Char('\n')), stderr);
    QMessageBox::warning(nullptr, QStringLiteral(ZENTO_APP_NAME), message);
}

} // namespace

CZENTOApp::CZENTOApp(int& argc, char** argv)
    : QApplication(argc, argv), m_openWithDesktop(&zento::openWithDesktop),
      m_reportStartupError(&showStartupError) {
    // No display name: the desktop would add it to every title ("Abrir Datos — ZENTO").
    setApplicationName(QStringLiteral(ZENTO_APP_NAME));
    setApplicationVersion(QStringLiteral(ZENTO_VERSION_STRING));
    setDesktopFileName(QStringLiteral(ZENTO_DESKTOP_FILE_NAME));
    setWindowIcon(applicationIcon());
    // The platform's own dialogs, buttons and menus (file, print, message boxes, the edit
    // control's menu) in Spanish too.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    m_messageMap.add(ID_APP_ABOUT, this, &CZENTOApp::OnAppAbout);
    m_messageMap.add(ID_AYUDA_DOCUMENTO, this, &CZENTOApp::OnDocumentoAyuda);
    m_messageMap.add(ID_FILE_NEW, this, &CZENTOApp::OnFileNew);
    m_messageMap.add(ID_FILE_OPEN, this, &CZENTOApp::OnFileOpen);
    m_messageMap.add(ID_FILE_PRINT_SETUP, this, &CZENTOApp::OnFilePrintSetup);
}

CommandTarget* CZENTOApp::nextCommandTarget() const {
    return m_analysis;
}

CZENTOApp::~CZENTOApp() = default;

bool CZENTOApp::InitInstance(const QStringList& arguments) {
    // A second start-up (tests) begins from nothing.
    m_instance.reset();
    m_documents = nullptr;
    m_analysis = nullptr;
    m_mainFrame.reset();
    m_recentFiles.reset();
    m_exitCode = 0;

    // The command line is read first: a later start hands its files to the running program,
    // as the desktop's open request does, and makes nothing of its own.
    const CommandLineInfo cmdInfo = ParseCommandLine(arguments);
    if (!cmdInfo.error.isEmpty()) {
        m_reportStartupError(cmdInfo.error);
        m_exitCode = 1;
        return false;
    }
    m_instance = std::make_unique<SingleInstance>(
        m_serverName.isEmpty() ? SingleInstance::defaultServerName() : m_serverName);
    if (cmdInfo.shellCommand == CommandLineInfo::FileOpen && m_instance->forward(cmdInfo.fileNames))
        return false;

    // The settings store and the recent-file list of four, kept across runs.
    m_recentFiles = std::make_unique<RecentFileList>(m_settingsStore);

    // The main frame, and the one document template over its area.
    m_mainFrame = std::make_unique<CMainFrame>(*m_recentFiles);
    m_mainFrame->setNextCommandTarget(this);
    m_documents = new DocumentManager(m_mainFrame->mdiArea(), m_mainFrame.get());
    m_analysis = new AnalysisManager(m_documents, m_mainFrame.get());
    if (m_setupDocuments)
        m_setupDocuments(*m_documents);
    m_mainFrame->setDocuments(m_documents);
    if (!m_mainFrame->LoadFrame()) {
        m_exitCode = 1;
        return false;
    }
    connect(m_mainFrame.get(), &CMainFrame::filesDropped, this, &CZENTOApp::openFiles);
    connect(m_analysis, &AnalysisManager::windowsChanged, m_mainFrame.get(),
            &CMainFrame::updateMenus);
    connect(m_documents, &DocumentManager::fileOpened, m_recentFiles.get(), &RecentFileList::add);
    connect(m_documents, &DocumentManager::fileSaved, m_recentFiles.get(), &RecentFileList::add);
    connect(m_documents, &DocumentManager::openFailed, m_recentFiles.get(),
            &RecentFileList::remove);
    connect(m_recentFiles.get(), &RecentFileList::openRequested, this,
            [this](const QString& path) { openFiles({path}); });

    // Files handed over by later starts; a run that only prints takes none.
    if (cmdInfo.shellCommand == CommandLineInfo::FileNew ||
        cmdInfo.shellCommand == CommandLineInfo::FileOpen) {
        connect(m_instance.get(), &SingleInstance::filesReceived, this,
                [this](const QStringList& files) {
                    openFiles(files);
                    bringToFront();
                });
        m_instance->listen();
    }

    if (!ProcessShellCommand(cmdInfo))
        return false;

    m_mainFrame->show();
    return true;
}

bool CZENTOApp::ProcessShellCommand(const CommandLineInfo& info) {
    // What goes wrong is told once, after the attempt, and ends start-up.
    QStringList errors;
    const DocumentPrompts prompts = m_documents->prompts();
    DocumentPrompts collecting = prompts;
    collecting.warn = [&errors](QWidget*, const QString& message) { errors.append(message); };
    m_documents->setPrompts(collecting);

    bool ok = true;
    switch (info.shellCommand) {
    case CommandLineInfo::FileNew:
        m_documents->newDocument();
        break;
    case CommandLineInfo::FileOpen:
        // A folder holds the results of a fit or of a comparison.
        for (const QString& file : info.fileNames) {
            if (!QFileInfo(file).isDir()) {
                ok = m_documents->openDocument(file) != nullptr && ok;
                continue;
            }
            auto opened = m_analysis->openResultsFolder(file);
            if (const QString* failure = std::get_if<QString>(&opened)) {
                errors.append(*failure);
                ok = false;
            }
        }
        break;
    case CommandLineInfo::FilePrint:
    case CommandLineInfo::FilePrintTo:
        // Printing from the command line ends the program once the text is printed.
        ok = m_documents->printFile(info.fileNames.constFirst(), info.printerName);
        if (ok) {
            m_documents->setPrompts(prompts);
            return false;
        }
        if (errors.isEmpty())
            errors.append(QStringLiteral("No se ha podido imprimir %1.")
                              .arg(QDir::toNativeSeparators(info.fileNames.constFirst())));
        break;
    }
    m_documents->setPrompts(prompts);
    if (ok)
        return true;
    m_exitCode = 1;
    m_reportStartupError(errors.join(QLatin1Char('\n')));
    return false;
}

void CZENTOApp::OnAppAbout() {
    CAboutDlg aboutDlg(m_mainFrame.get());
    aboutDlg.exec();
}

void CZENTOApp::OnDocumentoAyuda() {
    const HelpDocument help = findHelpDocument(QDir::currentPath(), applicationDirPath());
    if (help.path.isEmpty()) {
        showWarning(m_mainFrame.get(), missingHelpMessage(help));
        return;
    }
    // Help always works: what the desktop cannot open, ZENTO shows itself.
    const QPointer<CMainFrame> frame = m_mainFrame.get();
    m_openWithDesktop(help.path, [this, frame, path = help.path] {
        if (!frame)
            return;
        if (!m_helpWindow)
            m_helpWindow = new HelpWindow(path, frame);
        m_helpWindow->show();
        m_helpWindow->raise();
        m_helpWindow->activateWindow();
    });
}

void CZENTOApp::OnFileNew() {
    m_documents->newDocument();
}

void CZENTOApp::OnFileOpen() {
    m_documents->openDocuments();
}

void CZENTOApp::OnFilePrintSetup() {
    m_documents->printSetup();
}

void CZENTOApp::openFiles(const QStringList& files) {
    for (const QString& file : files) {
        if (QFileInfo(file).isDir())
            m_analysis->openResultsFolderOrWarn(file);
        else
            m_documents->openDocument(file);
    }
}

void CZENTOApp::bringToFront() {
    if (m_mainFrame->isMinimized())
        m_mainFrame->showNormal();
    else
        m_mainFrame->show();
    m_mainFrame->raise();
    m_mainFrame->activateWindow();
}
