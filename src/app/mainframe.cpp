// The main frame: its actions are made once from the command table; both menu bars and the
// toolbar are laid out from the menu layouts over those same actions.
#include "app/mainframe.h"

#include "app/menulayout.h"
#include "docview/documentmanager.h"
#include "framework/recentfilelist.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <utility>

using namespace zento;

namespace {

constexpr QSize kButtonImage{16, 15};

// One button's image out of the strip, at every scale the strip comes in.
QIcon toolBarIcon(int index) {
    QIcon icon;
    for (const int scale : {1, 2, 3}) {
        const QString file = scale == 1 ? QStringLiteral(":/toolbar/toolbar.png")
                                        : QStringLiteral(":/toolbar/toolbar@%1x.png").arg(scale);
        const QPixmap strip(file);
        const QSize size = kButtonImage * scale;
        if (strip.width() < (index + 1) * size.width() || strip.height() < size.height())
            continue;
        QPixmap image = strip.copy(QRect(QPoint(index * size.width(), 0), size));
        image.setDevicePixelRatio(scale);
        icon.addPixmap(image);
    }
    return icon;
}

// The local files among the dragged data; empty unless every item is one.
QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        files.append(url.toLocalFile());
    }
    return files;
}

QIcon documentIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/zento-document-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

CMainFrame::CMainFrame(RecentFileList& recentFiles, QWidget* parent)
    : QMainWindow(parent), m_recentFiles(recentFiles), m_mdiArea(new QMdiArea(this)),
      m_documentIcon(documentIcon()), m_toolBar(new QToolBar(this)) {
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(frameTitle());
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    // The desktop's usual first size for a main window: most of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableSize() * 3 / 4);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::updateMenus);
    // The window arrangements need a window; another window shows a document.
    const auto withWindow = &CMainFrame::hasWindow;
    m_messageMap.add(ID_WINDOW_NEW, this, &CMainFrame::OnWindowNew, &CMainFrame::hasDocumentWindow);
    m_messageMap.add(ID_WINDOW_CASCADE, this, &CMainFrame::OnWindowCascade, withWindow);
    m_messageMap.add(ID_WINDOW_TILE_HORZ, this, &CMainFrame::OnWindowTileHorz, withWindow);
    m_messageMap.add(ID_WINDOW_ARRANGE, this, &CMainFrame::OnWindowArrange, withWindow);
    m_messageMap.add(ID_VIEW_TOOLBAR, this, &CMainFrame::OnViewToolBar);
    m_messageMap.add(ID_VIEW_STATUS_BAR, this, &CMainFrame::OnViewStatusBar);
    m_messageMap.add(ID_APP_EXIT, this, &CMainFrame::OnAppExit);

    createActions();
    m_mainMenus = createMenus(mainMenuLayout());
    m_documentMenus = createMenus(documentMenuLayout());
    connect(&m_recentFiles, &RecentFileList::changed, this, &CMainFrame::updateMenus);
    showMenus(m_mainMenus);
}

CMainFrame::~CMainFrame() {
    // The area, its windows and the documents go after this body, and still report the active
    // window and the windows' states on their way out.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    for (const QMdiSubWindow* window : m_mdiArea->subWindowList())
        disconnect(window, nullptr, this, nullptr);
    if (m_documents)
        disconnect(m_documents, nullptr, this, nullptr);
}

bool CMainFrame::LoadFrame() {
    if (QPixmap(QStringLiteral(":/toolbar/toolbar.png")).isNull()) {
        qWarning("Failed to create toolbar");
        return false;
    }
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(kButtonImage);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    for (const MenuEntry& entry : toolBarLayout()) {
        if (entry.kind == MenuEntry::Separator) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = m_actions.value(entry.id);
        if (const Command* command = findCommand(entry.id); command && command->image >= 0)
            action->setIcon(toolBarIcon(command->image));
        m_toolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    createStatusBar();
    setAcceptDrops(true);
    updateMenus();
    // Laid out now, so that documents opened before the window shows are placed in the area as
    // it will be.
    layout()->activate();
    return true;
}

void CMainFrame::setDocuments(DocumentManager* documents) {
    m_documents = documents;
    connect(documents, &DocumentManager::documentCountChanged, this, &CMainFrame::updateMenus);
    connect(documents, &DocumentManager::commandStatesChanged, this, &CMainFrame::updateMenus);
    connect(documents, &DocumentManager::activeTitleChanged, this, &CMainFrame::updateTitle);
    updateMenus();
}

void CMainFrame::createActions() {
    for (const Command& command : commandTable()) {
        // The recent-file entries belong to their list, the preview's close to the preview.
        const CommandId id = command.id;
        if ((id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4) || id == AFX_IDS_PREVIEW_CLOSE)
            continue;
        QAction* action = nullptr;
        if (id == ID_VIEW_TOOLBAR) {
            // The bars show and hide themselves, and their check marks follow them.
            m_toolBar->setWindowTitle(QStringLiteral("Barra de herramientas"));
            action = m_toolBar->toggleViewAction();
            setUpCommandAction(action, id);
        } else if (id == ID_VIEW_STATUS_BAR) {
            action = createCommandAction(id, this);
            action->setCheckable(true);
            action->setChecked(true);
            connect(action, &QAction::toggled, this,
                    [this](bool shown) { statusBar()->setVisible(shown); });
        } else {
            action = createCommandAction(id, this);
            connect(action, &QAction::triggered, this, [this, id] {
                onCommand(id);
                updateMenus();
            });
        }
        m_actions.insert(id, action);
        // Every key of the accelerator table works in every state, whichever menu shows.
        addAction(action);
    }
}

QList<QMenu*> CMainFrame::createMenus(std::span<const MenuEntry> layout) {
    QList<QMenu*> topMenus;
    QList<QMenu*> open; // the innermost last
    for (const MenuEntry& entry : layout) {
        QMenu* current = open.isEmpty() ? nullptr : open.constLast();
        switch (entry.kind) {
        case MenuEntry::Popup: {
            const QString title = QString::fromUtf8(entry.text);
            QMenu* menu = current ? current->addMenu(title) : new QMenu(title, this);
            if (!current)
                topMenus.append(menu);
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateMenus);
            open.append(menu);
            break;
        }
        case MenuEntry::End:
            open.removeLast();
            break;
        case MenuEntry::Separator:
            current->addSeparator();
            break;
        case MenuEntry::Command:
            if (entry.id == ID_FILE_MRU_FILE1)
                current->addActions(m_recentFiles.actions());
            else
                current->addAction(m_actions.value(entry.id));
            break;
        case MenuEntry::Links:
            for (int link = int(entry.firstLink); link <= int(entry.lastLink); ++link)
                current->addAction(m_actions.value(Links()[link].commandId));
            break;
        case MenuEntry::WindowList:
            m_windowMenu = current;
            m_windowListSeparator = current->addSeparator();
            m_windowList = new QActionGroup(this);
            connect(current, &QMenu::aboutToShow, this, &CMainFrame::updateWindowMenu);
            break;
        }
    }
    return topMenus;
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    m_messagePane = new QLabel(QString::fromUtf8(kIdleMessage), bar);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(m_messagePane, 1);
    for (const Indicator& indicator : kIndicators) {
        const QString text = QString::fromUtf8(indicator.text);
        auto* label = new QLabel(text, bar);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) +
                               2 * label->fontMetrics().averageCharWidth());
        bar->addPermanentWidget(label);
        m_indicators.insert(indicator.id, label);
    }
    updateIndicators();
    // The keys may have been pressed in another program.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &CMainFrame::updateIndicators);
}

void CMainFrame::showMenus(const QList<QMenu*>& menus) {
    QMenuBar* bar = menuBar();
    bar->clear();
    for (QMenu* menu : menus)
        bar->addMenu(menu);
}

bool CMainFrame::hasDocumentWindow() const {
    return m_documents ? m_documents->documentCount() > 0 : !m_mdiArea->subWindowList().isEmpty();
}

bool CMainFrame::hasWindow() const {
    return !m_mdiArea->subWindowList().isEmpty();
}

void CMainFrame::updateMenus() {
    // A window of results shows the document menu too: its analysis commands, closing, printing
    // and the window list belong to every window of the area.
    const bool hasWindow = this->hasWindow();
    if (hasWindow != m_showsDocumentMenu) {
        m_showsDocumentMenu = hasWindow;
        showMenus(hasWindow ? m_documentMenus : m_mainMenus);
    }
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(commandState(it.key()).enabled);
    updateTitle();

    // A new document window is current at once: it takes the document icon then.
    if (QMdiSubWindow* window = m_mdiArea->currentSubWindow();
        window && window->windowIcon().cacheKey() != m_documentIcon.cacheKey()) {
        window->setWindowIcon(m_documentIcon);
        connect(window, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::updateTitle);
    }
}

QString CMainFrame::frameTitle() const {
    const QString name = QStringLiteral("ZENTO");
    const QMdiSubWindow* window = m_mdiArea->currentSubWindow();
    const CZENTODoc* document = m_documents ? m_documents->activeDocument() : nullptr;
    if (!window)
        return name;
    if (window->isMaximized())
        return name + QStringLiteral(" - [") + window->windowTitle() + QLatin1Char(']');
    return name + QStringLiteral(" - ") + (document ? document->GetTitle() : window->windowTitle());
}

void CMainFrame::updateTitle() {
    if (windowTitle() != frameTitle())
        setWindowTitle(frameTitle());
}

void CMainFrame::updateWindowMenu() {
    for (QAction* action : m_windowList->actions())
        delete action;
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    m_windowListSeparator->setVisible(!windows.isEmpty());
    QMdiSubWindow* current = m_mdiArea->currentSubWindow();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title;
        QAction* action = m_windowList->addAction(text);
        action->setCheckable(true);
        action->setChecked(window == current);
        action->setStatusTip(QStringLiteral("Activa esta ventana"));
        connect(action, &QAction::triggered, window,
                [this, window] { m_mdiArea->setActiveSubWindow(window); });
        m_windowMenu->addAction(action);
    }
}

void CMainFrame::updateIndicators() {
    for (const Indicator& indicator : kIndicators) {
        QLabel* label = m_indicators.value(indicator.id);
        if (!label)
            continue;
        const QString text = QString::fromUtf8(indicator.text);
        const std::optional<bool> on = lockKeyState(indicator.key);
        // Where the platform does not tell, the pane shows its name greyed.
        label->setEnabled(on.has_value());
        label->setText(on.value_or(true) ? text : QString());
        label->setToolTip(on ? QString()
                             : QStringLiteral("El sistema no informa del estado de esta tecla"));
    }
}

void CMainFrame::OnWindowNew() {
    m_documents->newWindow();
}

void CMainFrame::OnWindowCascade() {
    m_mdiArea->cascadeSubWindows();
}

void CMainFrame::OnWindowTileHorz() {
    m_mdiArea->tileSubWindows();
}

void CMainFrame::OnWindowArrange() {
    const QRect area = m_mdiArea->viewport()->rect();
    int x = 0;
    int bottom = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        if (x > 0 && x + window->width() > area.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, bottom - window->height());
        x += window->width();
        rowHeight = std::max(rowHeight, window->height());
    }
}

void CMainFrame::OnViewToolBar() {
    m_actions.value(ID_VIEW_TOOLBAR)->trigger();
}

void CMainFrame::OnViewStatusBar() {
    m_actions.value(ID_VIEW_STATUS_BAR)->trigger();
}

void CMainFrame::OnAppExit() {
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Every document is closed first, each modified one asking whether to save it.
    if (m_documents && !m_documents->closeAllDocuments()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    switch (event->type()) {
    case QEvent::WindowTitleChange: // a maximized document window merges its title into ours
        updateTitle();
        break;
    case QEvent::ActivationChange: // the keys may have been pressed in a dialog
        updateIndicators();
        break;
    default:
        break;
    }
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Every key pressed in this window, whichever widget takes it.
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
            updateIndicators();
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Files dropped on any part of the window that takes no drops itself; the views leave local
// files to it. Other data, e.g. text dragged within a view, goes where it goes.
void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    emit filesDropped(files);
}
