// The main window: the multiple-document area, the menus, toolbar and status bar that make up
// the whole command surface, and the routing of each command to whoever handles it.
#pragma once

#include "framework/commands.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>

#include <span>

class QActionGroup;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace zento {
class DocumentManager;
struct CommandState;
class RecentFileList;
struct MenuEntry;
} // namespace zento

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // applicationCommands: the ids that the application object handles; they are always
    // available and reach it through applicationCommand.
    CMainFrame(zento::RecentFileList& recentFiles,
               std::span<const zento::CommandId> applicationCommands, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Creates the toolbar and the status bar and docks the toolbar at the top. False when the
    // toolbar's images are missing; the frame is then unusable.
    bool LoadFrame();

    // The documents whose views and commands live in this frame's area.
    void setDocuments(zento::DocumentManager* documents);

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QToolBar* toolBar() const { return m_toolBar; }
    // The action of a command id, shared by both menus and the toolbar; nullptr if none.
    QAction* commandAction(int id) const { return m_actions.value(id); }
    QLabel* messagePane() const { return m_messagePane; }
    QLabel* indicator(zento::CommandId id) const { return m_indicators.value(id); }
    bool showsDocumentMenu() const { return m_showsDocumentMenu; }

    // A command, routed as the menus route it: the frame's own, the application's, then the
    // document template's (the active document and its active view).
    void OnCommand(int id);

    // Switches between the main and the document menu, refreshes what is enabled and checked
    // and the window title. Runs whenever the active document window changes.
    void updateMenus();
    // Shows the lock keys' state in the status bar.
    void updateIndicators();

    void OnWindowCascade();
    void OnWindowTileHorz();
    void OnWindowArrange(); // the minimised windows in rows along the bottom
    void OnViewToolBar();
    void OnViewStatusBar();
    void OnAppExit();

signals:
    void applicationCommand(int id);
    // Files dropped anywhere on the main window, in drop order.
    void filesDropped(const QStringList& files);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    QList<QMenu*> createMenus(std::span<const zento::MenuEntry> layout);
    void createToolBar();
    void createStatusBar();
    void showMenus(const QList<QMenu*>& menus);
    void updateWindowMenu();
    zento::CommandState commandState(int id) const;
    bool hasDocumentWindow() const;

    zento::RecentFileList& m_recentFiles;
    QList<int> m_applicationCommands;
    zento::DocumentManager* m_documents = nullptr;

    QMdiArea* m_mdiArea;
    QIcon m_documentIcon;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_messagePane = nullptr;
    QHash<int, QLabel*> m_indicators;
    QHash<int, QAction*> m_actions;

    QList<QMenu*> m_mainMenus;
    QList<QMenu*> m_documentMenus;
    bool m_showsDocumentMenu = false;
    QMenu* m_windowMenu = nullptr;
    QAction* m_windowListSeparator = nullptr;
    QActionGroup* m_windowList = nullptr;
};
