// The main window: the multiple-document area, the menus, toolbar and status bar that make up
// the whole command surface, and the start of every command's route.
#pragma once

#include "app/lockkeys.h"
#include "framework/commands.h"
#include "framework/messagemap.h"

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
class RecentFileList;
struct MenuEntry;
} // namespace zento

class CMainFrame : public QMainWindow, public zento::CommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(zento::RecentFileList& recentFiles, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Fills the toolbar and the status bar and docks the toolbar at the top. False when the
    // toolbar's images are missing; the frame is then unusable.
    bool LoadFrame();

    // The documents whose windows live in this frame's area.
    void setDocuments(zento::DocumentManager* documents);

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QToolBar* toolBar() const { return m_toolBar; }
    // The action of a command id, shared by both menus and the toolbar; nullptr if none.
    QAction* commandAction(int id) const { return m_actions.value(id); }
    QLabel* messagePane() const { return m_messagePane; }
    QLabel* indicator(zento::IndicatorId id) const { return m_indicators.value(id); }
    bool showsDocumentMenu() const { return m_showsDocumentMenu; }

    // Switches between the main and the document menu and refreshes what is enabled. Runs
    // whenever the active document window changes.
    void updateMenus();
    // "ZENTO - Texto1"; "ZENTO - [Texto1]" while the active window is maximized; "ZENTO" alone
    // without a window. A window of results gives its own title.
    QString frameTitle() const;
    // Shows the lock keys' state in the status bar.
    void updateIndicators();

    void OnWindowNew();
    void OnWindowCascade();
    void OnWindowTileHorz();
    void OnWindowArrange(); // the minimised windows in rows along the bottom
    void OnViewToolBar();
    void OnViewStatusBar();
    void OnAppExit();

signals:
    // Files dropped anywhere on the main window, in drop order.
    void filesDropped(const QStringList& files);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    QList<QMenu*> createMenus(std::span<const zento::MenuEntry> layout);
    void createStatusBar();
    void showMenus(const QList<QMenu*>& menus);
    void updateWindowMenu();
    void updateTitle();
    bool hasDocumentWindow() const;
    bool hasWindow() const;

    zento::RecentFileList& m_recentFiles;
    zento::DocumentManager* m_documents = nullptr;

    QMdiArea* m_mdiArea;
    QIcon m_documentIcon;
    QToolBar* m_toolBar;
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
