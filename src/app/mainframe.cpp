// The main frame: its actions are made once from the command table; both menu bars and the
// toolbar are laid out from the menu layouts over those same actions.
#include "app/mainframe.h"

#include "app/lockkeys.h"
#include "app/menulayout.h"
#include "docview/commandroute.h"
#include "docview/documentmanager.h"
#include "framework/recentfilelist.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <utility>

using namespace zento;

namespace {

// The commands the frame handles itself. The window arrangements need a document window.
constexpr CommandRoute<CMainFrame> kMessageMap[] = {
    {ID_WINDOW_CASCADE, &CMainFrame::OnWindowCascade, true},
    {ID_WINDOW_TILE_HORZ, &CMainFrame::OnWindowTileHorz, true},
    {ID_WINDOW_ARRANGE, &CMainFrame::OnWindowArrange, true},
    {ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolBar},
    {ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar},
    {ID_APP_EXIT, &CMainFrame::OnAppExit},
};

constexpr CommandId kIndicators[] = {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

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

CMainFrame::CMainFrame(RecentFileList& recentFiles, std::span<const CommandId> applicationCommands,
                       QWidget* parent)
    : QMainWindow(parent), m_recentFiles(recentFiles),
      m_applicationCommands(applicationCommands.begin(), applicationCommands.end()),
      m_mdiArea(new QMdiArea(this)), m_documentIcon(documentIcon()) {
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QStringLiteral("ZENTO"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    // The desktop's usual first size for a main window: most of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableSize() * 3 / 4);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::updateMenus);

    createActions();
    m_mainMenus = createMenus(mainMenuLayout());
    m_documentMenus = createMenus(documentMenuLayout());
    connect(&m_recentFiles, &RecentFileList::changed, this, &CMainFrame::updateMenus);
    showMenus(m_mainMenus);
}

CMainFrame::~CMainFrame() {
    // The area, its windows and the documents go after this body, when the frame's members are
    // gone: nothing they signal on the way may reach it.
    qApp->removeEventFilter(this);
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    disconnect(&m_recentFiles, nullptr, this, nullptr);
}

bool CMainFrame::LoadFrame() {
    if (QPixmap(QStringLiteral(":/toolbar/toolbar.png")).isNull()) {
        qWarning("Failed to create toolbar");
        return false;
    }
    createToolBar();
    createStatusBar();
    // Drops on any part of the window, and the lock keys pressed in any window of the program.
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    updateMenus();
    return true;
}

void CMainFrame::setDocuments(DocumentManager* documents) {
    m_documents = documents;
    connect(documents, &DocumentManager::documentCountChanged, this, &CMainFrame::updateMenus);
    connect(documents, &DocumentManager::commandStatesChanged, this, &CMainFrame::updateMenus);
    connect(documents, &DocumentManager::activeTitleChanged, this, [this](const QString& title) {
        setWindowTitle(title.isEmpty() ? QStringLiteral("ZENTO")
                                       : QStringLiteral("ZENTO - ") + title);
    });
    updateMenus();
}

void CMainFrame::createActions() {
    for (const Command& command : commandTable()) {
        // The recent-file entries belong to their list; the indicators are not commands.
        if ((command.id >= ID_FILE_MRU_FILE1 && command.id <= ID_FILE_MRU_FILE4) ||
            std::ranges::find(kIndicators, command.id) != std::end(kIndicators))
            continue;
        QAction* action = createCommandAction(command.id, this);
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions.insert(id, action);
        // Every key of the accelerator table works in every state, whichever menu shows.
        addAction(action);
    }
    for (const CommandId id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        m_actions.value(id)->setCheckable(true);
        m_actions.value(id)->setChecked(true);
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

void CMainFrame::createToolBar() {
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setWindowTitle(QStringLiteral("Barra de herramientas"));
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
    // Hidden by its own close button or the window's bar menu: the check mark follows.
    connect(m_toolBar, &QToolBar::visibilityChanged, this, &CMainFrame::updateMenus);
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    m_messagePane = new QLabel(QString::fromUtf8(kIdleMessage), bar);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(m_messagePane, 1);
    for (const CommandId id : kIndicators) {
        const QString text = QString::fromUtf8(findCommand(id)->label);
        auto* label = new QLabel(text, bar);
        label->setObjectName(QString::fromLatin1(findCommand(id)->name));
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) +
                               2 * label->fontMetrics().averageCharWidth());
        bar->addPermanentWidget(label);
        m_indicators.insert(id, label);
    }
    updateIndicators();
}

void CMainFrame::showMenus(const QList<QMenu*>& menus) {
    QMenuBar* bar = menuBar();
    bar->clear();
    for (QMenu* menu : menus)
        bar->addMenu(menu);
}

void CMainFrame::OnCommand(int id) {
    if (const auto* route = findRoute(kMessageMap, id)) {
        if (commandState(id).enabled)
            (this->*route->handler)();
    } else if (m_applicationCommands.contains(id)) {
        emit applicationCommand(id);
    } else if (m_documents) {
        m_documents->onCommand(id);
    }
    updateMenus();
}

CommandState CMainFrame::commandState(int id) const {
    if (const auto* route = findRoute(kMessageMap, id))
        return {true, !route->needsDocument || hasDocumentWindow()};
    if (m_applicationCommands.contains(id))
        return {true, true};
    if (m_documents)
        return m_documents->commandState(id);
    return {};
}

bool CMainFrame::hasDocumentWindow() const {
    return m_documents ? m_documents->documentCount() > 0 : !m_mdiArea->subWindowList().isEmpty();
}

void CMainFrame::updateMenus() {
    const bool hasWindow = hasDocumentWindow();
    if (hasWindow != m_showsDocumentMenu) {
        m_showsDocumentMenu = hasWindow;
        showMenus(hasWindow ? m_documentMenus : m_mainMenus);
    }
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(commandState(it.key()).enabled);
    if (m_toolBar)
        m_actions.value(ID_VIEW_TOOLBAR)->setChecked(!m_toolBar->isHidden());
    m_actions.value(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());

    // A new document window is current at once: it takes the document icon then.
    if (QMdiSubWindow* window = m_mdiArea->currentSubWindow();
        window && window->windowIcon().cacheKey() != m_documentIcon.cacheKey())
        window->setWindowIcon(m_documentIcon);
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
    static constexpr std::pair<CommandId, LockKey> kKeys[] = {
        {ID_INDICATOR_CAPS, LockKey::Caps},
        {ID_INDICATOR_NUM, LockKey::Num},
        {ID_INDICATOR_SCRL, LockKey::Scroll},
    };
    for (const auto& [id, key] : kKeys) {
        QLabel* label = m_indicators.value(id);
        if (!label)
            continue;
        const QString text = QString::fromUtf8(findCommand(id)->label);
        const std::optional<bool> on = lockKeyState(key);
        // Where the platform does not tell, the pane shows its name greyed.
        label->setEnabled(on.has_value());
        label->setText(on.value_or(true) ? text : QString());
        label->setToolTip(on ? QString()
                             : QStringLiteral("El sistema no informa del estado de esta tecla"));
    }
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
    if (m_toolBar)
        m_toolBar->setVisible(m_toolBar->isHidden());
}

void CMainFrame::OnViewStatusBar() {
    statusBar()->setVisible(statusBar()->isHidden());
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

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
            updateIndicators();
            break;
        default:
            break;
        }
        break;
    case QEvent::ApplicationActivate: // the keys may have been pressed in another program
        updateIndicators();
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != this)
            break;
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = droppedFiles(drop->mimeData());
        if (files.isEmpty())
            break; // other data, e.g. text dragged within a view, goes where it goes
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (event->type() == QEvent::Drop) {
            activateWindow();
            emit filesDropped(files);
        }
        return true;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
