// The main frame: both menu bars against the tables and their swap, the accelerators in every
// state, the toolbar, the status bar's prompts and indicators, the bar toggles, the window
// commands and dropped files.
#include "app/lockkeys.h"
#include "app/mainframe.h"
#include "docview/childframe.h"
#include "docview/documentmanager.h"
#include "docview/zentodoc.h"
#include "framework/recentfilelist.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace zento;

namespace {

constexpr CommandId kApplicationCommands[] = {ID_APP_ABOUT, ID_AYUDA_DOCUMENTO};

// One line per top menu, "Title: item, item": an item is its text, "=" and its id, with "(off)"
// when disabled; "-" is a separator, "[Title: ...]" a submenu. Hidden actions are left out.
QString describe(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator())
            items << "-";
        else if (action->menu())
            items << "[" + describe(action->menu()) + "]";
        else
            items << action->text() + "=" + action->property(kCommandIdProperty).toString() +
                         (action->isEnabled() ? "" : "(off)");
    }
    return menu->title() + ": " + items.join(", ");
}

QStringList describe(const QMenuBar* bar) {
    QStringList menus;
    for (const QAction* action : bar->actions())
        menus << describe(action->menu());
    return menus;
}

QMenu* topMenu(QMainWindow& frame, const QString& title) {
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->menu()->title() == title)
            return action->menu();
    }
    return nullptr;
}

// Labels carry the keys that work (Ctrl+O, Ctrl+S, Ctrl+P). The clipboard is empty and nothing
// is selected, so the editing commands are off.
const QStringList kMainMenu = {
    "&Archivo: &Nuevo\tCtrl+N=57600, &Abrir...\tCtrl+O=57601, -, Con&figurar impresora...=57606, "
    "-, Archivo reciente=(off), -, &Salir=57665",
    "&Ver: Barra de &herramientas=59392, Barra de &estado=59393",
    "Ay&uda: &Acerca de ZENTO...=57664",
};
const QStringList kDocumentMenu = {
    "&Archivo: &Nuevo\tCtrl+N=57600, &Abrir...\tCtrl+O=57601, &Cerrar=57602, "
    "&Guardar\tCtrl+S=57603, Guardar c&omo...=57604, -, &Imprimir...\tCtrl+P=57607, "
    "&Presentación preliminar=57609, Con&figurar impresora...=57606, -, "
    "Archivo reciente=(off), -, &Salir=57665",
    "&Editar: &Deshacer\tCtrl+Z=57643(off), -, Cor&tar\tCtrl+X=57635(off), "
    "&Copiar\tCtrl+C=57634(off), &Pegar\tCtrl+V=57637(off)",
    "&Ver: Barra de &herramientas=59392, Barra de &estado=59393",
    "&Modelos: [Enlaces Simétricos: Logit=32774, Probit=32775], [Enlaces Asimétricos: "
    "Cloglog=32776, Power logit=32777, Scobit=32778, Skew logit=32779, [Skew probit: CDS=32780, "
    "BBB=32781, Standard=32782]]",
    "&Data: &Generar Datos para WinBUGS=32771",
    "Ven&tana: &Nueva ventana=57648, &Cascada=57650, &Mosaico=57651, &Organizar iconos=57649, -, "
    "&1 Texto1=",
    "Ay&uda: &Acerca de ZENTO...=57664, Documento Ayuda=32783",
};

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        QGuiApplication::clipboard()->clear();
        m_recent = std::make_unique<RecentFileList>(SettingsStore(m_dir.filePath("zento.ini")));
        m_frame = std::make_unique<CMainFrame>(*m_recent, kApplicationCommands);
        m_documents = new DocumentManager(m_frame->mdiArea(), m_frame.get());
        auto ask = [this] { ++m_asked; };
        m_documents->setPrompts(
            {[](QWidget*, const QString&) { return SaveChanges::Discard; },
             [ask](QWidget*, const QString&) { return ask(), std::optional<QString>(); },
             [ask](QWidget*) { return ask(), QStringList(); },
             [](QWidget*, const QString& message) { QFAIL(qPrintable(message)); }});
        m_documents->printing().setModalRunner([ask](QDialog&) { return ask(), 0; });
        m_frame->setDocuments(m_documents);
        QVERIFY(m_frame->LoadFrame());
        m_frame->resize(800, 600);
        m_frame->show();
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        m_asked = 0;
    }
    void cleanup() {
        m_frame.reset();
        m_recent.reset();
    }

    void menuBarsAndTheirSwap() {
        QCOMPARE(describe(m_frame->menuBar()), kMainMenu);
        CZENTODoc* first = m_documents->newDocument();
        emit topMenu(*m_frame, "Ven&tana")->aboutToShow();
        QCOMPARE(describe(m_frame->menuBar()), kDocumentMenu);
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("ZENTO - Texto1"));

        // The main menu comes back only when the last document window closes.
        m_documents->newWindow();
        m_documents->closeDocument(m_documents->newDocument());
        QTRY_COMPARE(m_documents->documentCount(), 1);
        m_documents->frames(first).constFirst()->close();
        QTRY_COMPARE(m_frame->mdiArea()->subWindowList().size(), 1);
        QVERIFY(m_frame->showsDocumentMenu());
        m_documents->frames(first).constFirst()->close();
        QTRY_COMPARE(m_documents->documentCount(), 0);
        QCOMPARE(describe(m_frame->menuBar()), kMainMenu);
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("ZENTO"));
    }

    // The generating, document, printing and window commands.
    void documentCommandsNeedADocumentWindow() {
        const int ids[] = {32771, 32774, 32775, 32776, 32777, 32778, 32779, 32780, 32781, 32782,
                           57602, 57603, 57604, 57607, 57609, 57648, 57649, 57650, 57651};
        auto enabled = [&] {
            return std::ranges::count_if(
                ids, [&](int id) { return m_frame->commandAction(id)->isEnabled(); });
        };
        QCOMPARE(enabled(), 0);
        CZENTODoc* document = m_documents->newDocument();
        QCOMPARE(enabled(), std::ssize(ids));
        m_documents->closeDocument(document);
        QTRY_COMPARE(enabled(), 0);
    }

    // Exactly the table's keys are bound, each to its command.
    void accelerators() {
        QStringList bound;
        for (const QAction* action : m_frame->actions()) {
            for (const QKeySequence& keys : action->shortcuts())
                bound << keys.toString() + "=" + action->property(kCommandIdProperty).toString();
        }
        bound.sort();
        QCOMPARE(bound.join(", "),
                 QStringLiteral("Alt+Backspace=57643, Ctrl+C=57634, Ctrl+Ins=57634, Ctrl+N=57600, "
                                "Ctrl+O=57601, Ctrl+P=57607, Ctrl+S=57603, Ctrl+V=57637, "
                                "Ctrl+X=57635, Ctrl+Z=57643, F6=57680, Shift+Del=57635, "
                                "Shift+F6=57681, Shift+Ins=57637"));
    }

    // With the main menu (no Guardar in it) and with the document menu; with the focus in the
    // text, where the edit control sees the keys first.
    void keysWorkInEveryState() {
        QTest::keyClick(m_frame.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_asked, 1);
        QTest::keyClick(m_frame.get(), Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_documents->documentCount(), 2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_asked, 3); // the name to save Texto2 under, the print dialog
        for (const QKeySequence& keys :
             {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6),
              QKeySequence(Qt::CTRL | Qt::Key_A)})
            QTest::keySequence(QApplication::focusWidget(), keys);
        QCOMPARE(m_documents->documentCount(), 2);
        QCOMPARE(m_asked, 3);

        QWidget* view = m_documents->activeView();
        QCOMPARE(QApplication::focusWidget(), view);
        QTest::keyClicks(view, "abc");
        QVERIFY(!m_frame->commandAction(ID_EDIT_COPY)->isEnabled());
        m_documents->activeView()->selectAll();
        // The toolbar's editing buttons follow the selection and the undo history at once.
        for (const CommandId id : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_UNDO})
            QVERIFY(m_frame->commandAction(id)->isEnabled());
        QTest::keySequence(view, QKeySequence(Qt::CTRL | Qt::Key_Insert));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
        QTest::keySequence(view, QKeySequence(Qt::SHIFT | Qt::Key_Delete));
        QCOMPARE(m_documents->activeView()->toPlainText(), QString());
        QGuiApplication::clipboard()->setText("xyz");
        QTest::keySequence(view, QKeySequence(Qt::SHIFT | Qt::Key_Insert));
        QCOMPARE(m_documents->activeView()->toPlainText(), QStringLiteral("xyz"));
        QTest::keySequence(view, QKeySequence(Qt::ALT | Qt::Key_Backspace));
        QCOMPARE(m_documents->activeView()->toPlainText(), QString());
    }

    void toolBar() {
        QToolBar* bar = m_frame->toolBar();
        QStringList buttons;
        for (QAction* action : bar->actions()) {
            buttons << (action->isSeparator() ? "|" : action->toolTip());
            if (action->isSeparator())
                continue;
            // 16 by 15, with pixels of its own at twice and three times the scale.
            for (const qreal scale : {1.0, 2.0, 3.0})
                QCOMPARE(action->icon().pixmap(QSize(16, 15), scale).size(), QSize(16, 15) * scale);
        }
        QCOMPARE(buttons, (QStringList{"Nuevo", "Abrir", "Guardar", "|", "Cortar", "Copiar",
                                       "Pegar", "|", "Imprimir", "|", "Acerca de"}));
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QVERIFY(bar->isMovable() && bar->isFloatable());
        QCOMPARE(m_frame->toolBarArea(bar), Qt::TopToolBarArea);
    }

    void promptsInTheStatusBar() {
        QStatusBar* bar = m_frame->statusBar();
        QCOMPARE(m_frame->messagePane()->text(), QStringLiteral("Preparado"));

        QWidget* button = m_frame->toolBar()->widgetForAction(m_frame->commandAction(ID_FILE_OPEN));
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(button, &enter);
        QCOMPARE(bar->currentMessage(), QStringLiteral("Abre un documento ya existente"));
        QVERIFY(!m_frame->messagePane()->isVisible());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        QCOMPARE(bar->currentMessage(), QString());
        QVERIFY(m_frame->messagePane()->isVisible());

        QMenu* file = topMenu(*m_frame, "&Archivo");
        m_frame->menuBar()->setActiveAction(file->menuAction());
        QTRY_VERIFY(file->isVisible());
        const QList<std::pair<CommandId, QString>> items = {
            {ID_FILE_NEW, "Crea un nuevo documento"},
            {ID_FILE_PRINT_SETUP, "Cambia las opciones de impresora y de impresión"},
            {ID_APP_EXIT, "Sale de la aplicación; le pide que guarde los documentos"},
        };
        for (const auto& [id, prompt] : items) {
            file->setActiveAction(m_frame->commandAction(id));
            QCOMPARE(bar->currentMessage(), prompt);
        }
        file->close();
    }

    // Where the platform tells the lock keys' state (Windows, X11) a pane shows its name while
    // the lock is on; elsewhere (offscreen here) each shows its name greyed.
    void lockIndicators() {
        QStringList panes;
        for (const QLabel* label : m_frame->statusBar()->findChildren<QLabel*>())
            panes << label->objectName();
        QCOMPARE(panes, (QStringList{"messagePane", "ID_INDICATOR_CAPS", "ID_INDICATOR_NUM",
                                     "ID_INDICATOR_SCRL"}));
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QVERIFY(!lockKeyState(LockKey::Caps));
        const QList<std::tuple<CommandId, LockKey, QString>> indicators = {
            {ID_INDICATOR_CAPS, LockKey::Caps, "MAY"},
            {ID_INDICATOR_NUM, LockKey::Num, "NUM"},
            {ID_INDICATOR_SCRL, LockKey::Scroll, "DESP"},
        };
        for (const auto& [id, key, name] : indicators) {
            const std::optional<bool> on = lockKeyState(key);
            QCOMPARE(m_frame->indicator(id)->isEnabled(), on.has_value());
            QCOMPARE(m_frame->indicator(id)->text(), on.value_or(true) ? name : QString());
        }
    }

    void barToggles() {
        for (const CommandId id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
            QWidget* bar = id == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(m_frame->toolBar())
                                                 : m_frame->statusBar();
            QAction* action = m_frame->commandAction(id);
            for (const bool shown : {false, true, false, true}) {
                if (m_documents->documentCount() == 0 && shown)
                    m_documents->newDocument(); // and the same with the document menu
                action->trigger();
                QCOMPARE(bar->isVisible(), shown);
                QCOMPARE(action->isChecked(), shown);
            }
        }
    }

    void windowList() {
        m_documents->newDocument();
        m_documents->newDocument();
        QMenu* window = topMenu(*m_frame, "Ven&tana");
        emit window->aboutToShow();
        QCOMPARE(describe(window).section("-, ", 1), QStringLiteral("&1 Texto1=, &2 Texto2="));
        QVERIFY(window->actions().last()->isChecked());
        window->actions().at(window->actions().size() - 2)->trigger();
        QCOMPARE(m_documents->activeDocument()->GetTitle(), QStringLiteral("Texto1"));
    }

    void windowArrangements() {
        for (int i = 0; i < 4; ++i)
            m_documents->newDocument();
        const QList<QMdiSubWindow*> windows = m_frame->mdiArea()->subWindowList();
        const QRect viewport = m_frame->mdiArea()->viewport()->rect();

        m_frame->commandAction(ID_WINDOW_TILE_HORZ)->trigger();
        for (int i = 0; i < windows.size(); ++i) {
            QVERIFY(viewport.contains(windows[i]->geometry()));
            for (int j = i + 1; j < windows.size(); ++j)
                QVERIFY(!windows[i]->geometry().intersects(windows[j]->geometry()));
        }
        m_frame->commandAction(ID_WINDOW_CASCADE)->trigger();
        for (int i = 1; i < windows.size(); ++i) {
            const QPoint step = windows[i]->pos() - windows[i - 1]->pos();
            QVERIFY(step.x() > 0 && step.y() > 0);
        }
        // Arrange icons: the minimised windows in a row along the bottom; the others stay.
        windows[1]->showMinimized();
        windows[3]->showMinimized();
        windows[1]->move(300, 40);
        windows[3]->move(10, 10);
        const QRect normal = windows[0]->geometry();
        m_frame->commandAction(ID_WINDOW_ARRANGE)->trigger();
        QCOMPARE(windows[1]->geometry().bottomLeft(), QPoint(0, viewport.bottom()));
        QCOMPARE(windows[3]->geometry().bottomLeft(),
                 QPoint(windows[1]->width(), viewport.bottom()));
        QCOMPARE(windows[0]->geometry(), normal);
    }

    // On the area and on a document's own text, the files open, nothing is pasted; text
    // dragged about is left to whoever takes text.
    void droppedFiles() {
        QSignalSpy dropped(m_frame.get(), &CMainFrame::filesDropped);
        m_documents->newDocument();
        const QStringList files{m_dir.filePath("a.txt"), m_dir.filePath("b.txt")};
        auto drag = [](QWidget* target, const QMimeData& data) {
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            enter.ignore();
            QApplication::sendEvent(target, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            if (enter.isAccepted())
                QApplication::sendEvent(target, &drop);
            return enter.isAccepted();
        };
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1])});
        data.setText(files[0]);
        QVERIFY(drag(m_frame->mdiArea()->viewport(), data));
        QVERIFY(drag(m_documents->activeView()->viewport(), data));
        QCOMPARE(dropped.size(), 2);
        QCOMPARE(dropped.at(1).at(0).toStringList(), files);
        QCOMPARE(m_documents->activeView()->toPlainText(), QString());

        QMimeData text;
        text.setText("hola");
        QVERIFY(!drag(m_frame->mdiArea()->viewport(), text));
        QCOMPARE(dropped.size(), 2);
    }

    void exitAsksAndMayBeCancelled() {
        m_documents->newDocument()->SetModifiedFlag(true);
        for (const SaveChanges answer : {SaveChanges::Cancel, SaveChanges::Discard}) {
            DocumentPrompts prompts = m_documents->prompts();
            prompts.askSaveChanges = [answer](QWidget*, const QString&) { return answer; };
            m_documents->setPrompts(prompts);
            m_frame->commandAction(ID_APP_EXIT)->trigger();
            QCOMPARE(m_frame->isVisible(), answer == SaveChanges::Cancel);
        }
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RecentFileList> m_recent;
    std::unique_ptr<CMainFrame> m_frame;
    DocumentManager* m_documents = nullptr;
    int m_asked = 0;
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
