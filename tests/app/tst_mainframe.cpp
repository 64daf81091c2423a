// The main frame: both menu bars item by item against the tables, their swap, the accelerators
// in every state, the toolbar, the status bar's prompts and indicators, the bar toggles, the
// window commands and dropped files.
#include "app/mainframe.h"
#include "docview/childframe.h"
#include "docview/documentmanager.h"
#include "docview/zentodoc.h"
#include "framework/recentfilelist.h"

#include <QAction>
#include <QActionGroup>
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

// A menu bar as text: "[Title" opens a menu, "]" closes it, "-" is a separator, an item is its
// text, then "=" and its id, then " (off)" when disabled. Hidden actions are left out.
QStringList describe(const QList<QAction*>& actions) {
    QStringList lines;
    for (const QAction* action : actions) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator()) {
            lines << "-";
        } else if (QMenu* menu = action->menu()) {
            lines << "[" + menu->title();
            lines << describe(menu->actions());
            lines << "]";
        } else {
            const QVariant id = action->property(kCommandIdProperty);
            lines << action->text() + "=" + (id.isValid() ? id.toString() : "") +
                         (action->isEnabled() ? "" : " (off)");
        }
    }
    return lines;
}

QMenu* topMenu(QMainWindow& frame, const QString& title) {
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->menu() && action->menu()->title() == title)
            return action->menu();
    }
    return nullptr;
}

const QStringList kMainMenu = {
    "[&Archivo",
    "&Nuevo\tCtrl+N=57600",
    "&Abrir...\tCtrl+O=57601",
    "-",
    "Con&figurar impresora...=57606",
    "-",
    "Archivo reciente= (off)",
    "-",
    "&Salir=57665",
    "]",
    "[&Ver",
    "Barra de &herramientas=59392",
    "Barra de &estado=59393",
    "]",
    "[Ay&uda",
    "&Acerca de ZENTO...=57664",
    "]",
};

const QStringList kDocumentMenu = {
    "[&Archivo",
    "&Nuevo\tCtrl+N=57600",
    "&Abrir...\tCtrl+O=57601",
    "&Cerrar=57602",
    "&Guardar\tCtrl+S=57603",
    "Guardar c&omo...=57604",
    "-",
    "&Imprimir...\tCtrl+P=57607",
    "&Presentación preliminar=57609",
    "Con&figurar impresora...=57606",
    "-",
    "Archivo reciente= (off)",
    "-",
    "&Salir=57665",
    "]",
    "[&Editar",
    "&Deshacer\tCtrl+Z=57643 (off)",
    "-",
    "Cor&tar\tCtrl+X=57635 (off)",
    "&Copiar\tCtrl+C=57634 (off)",
    "&Pegar\tCtrl+V=57637 (off)", // the clipboard is empty
    "]",
    "[&Ver",
    "Barra de &herramientas=59392",
    "Barra de &estado=59393",
    "]",
    "[&Modelos",
    "[Enlaces Simétricos",
    "Logit=32774",
    "Probit=32775",
    "]",
    "[Enlaces Asimétricos",
    "Cloglog=32776",
    "Power logit=32777",
    "Scobit=32778",
    "Skew logit=32779",
    "[Skew probit",
    "CDS=32780",
    "BBB=32781",
    "Standard=32782",
    "]",
    "]",
    "]",
    "[&Data",
    "&Generar Datos para WinBUGS=32771",
    "]",
    "[Ven&tana",
    "&Nueva ventana=57648",
    "&Cascada=57650",
    "&Mosaico=57651",
    "&Organizar iconos=57649",
    "-",
    "&1 Texto1=",
    "]",
    "[Ay&uda",
    "&Acerca de ZENTO...=57664",
    "Documento Ayuda=32783",
    "]",
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
        DocumentPrompts prompts;
        prompts.askSaveChanges = [](QWidget*, const QString&) { return SaveChanges::Discard; };
        prompts.askSaveFileName = [this](QWidget*, const QString&) {
            ++m_asked;
            return std::optional<QString>();
        };
        prompts.askOpenFileNames = [this](QWidget*) {
            ++m_asked;
            return QStringList();
        };
        prompts.warn = [](QWidget*, const QString& message) { QFAIL(qPrintable(message)); };
        m_documents->setPrompts(prompts);
        m_documents->printing().setModalRunner([this](QDialog&) {
            ++m_asked;
            return int(QDialog::Rejected);
        });
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
        QFile::remove(m_dir.filePath("zento.ini"));
    }

    void menuBarsAgainstTheTables() {
        QCOMPARE(describe(m_frame->menuBar()->actions()), kMainMenu);
        QVERIFY(!m_frame->showsDocumentMenu());
        m_documents->newDocument();
        emit topMenu(*m_frame, "Ven&tana")->aboutToShow();
        QCOMPARE(describe(m_frame->menuBar()->actions()), kDocumentMenu);
        QVERIFY(m_frame->showsDocumentMenu());
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("ZENTO - Texto1"));
    }

    void swapWhenTheLastWindowCloses() {
        CZENTODoc* first = m_documents->newDocument();
        m_documents->newWindow();
        CZENTODoc* second = m_documents->newDocument();
        QCOMPARE(m_frame->menuBar()->actions().size(), 7);
        m_documents->closeDocument(second);
        QTRY_COMPARE(m_documents->documentCount(), 1);
        QVERIFY(m_frame->showsDocumentMenu());
        // One of the two windows of the first document: still a document window left.
        m_documents->frames(first).constFirst()->close();
        QTRY_COMPARE(m_frame->mdiArea()->subWindowList().size(), 1);
        QVERIFY(m_frame->showsDocumentMenu());
        m_documents->frames(first).constFirst()->close();
        QTRY_COMPARE(m_documents->documentCount(), 0);
        QVERIFY(!m_frame->showsDocumentMenu());
        QCOMPARE(describe(m_frame->menuBar()->actions()), kMainMenu);
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("ZENTO"));
    }

    void documentCommandsNeedADocumentWindow_data() {
        QTest::addColumn<int>("id");
        for (const CommandId id :
             {ID_DATA_GENERAR, ID_MODELOS_LOGIT, ID_MODELOS_PROBIT, ID_MODELOS_CLOGLOG,
              ID_MODELOS_POWERLOGIT, ID_MODELOS_SCOBIT, ID_MODELOS_SKEWLOGIT,
              ID_MODELOS_SKEWPROBIT_CDS, ID_MODELOS_SKEWPROBIT_BBB, ID_MODELOS_SKEWPROBIT_STANDARD,
              ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
              ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE})
            QTest::addRow("%d", int(id)) << int(id);
    }
    void documentCommandsNeedADocumentWindow() {
        QFETCH(int, id);
        QAction* action = m_frame->commandAction(id);
        QVERIFY(action);
        QVERIFY(!action->isEnabled());
        CZENTODoc* document = m_documents->newDocument();
        QVERIFY(action->isEnabled());
        m_documents->closeDocument(document);
        QTRY_VERIFY(!action->isEnabled());
    }

    // Each key reaches its command (and only the keys of the table are bound).
    void accelerators_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("id");
        const QList<std::pair<QKeySequence, CommandId>> table = {
            {Qt::CTRL | Qt::Key_N, ID_FILE_NEW},
            {Qt::CTRL | Qt::Key_O, ID_FILE_OPEN},
            {Qt::CTRL | Qt::Key_S, ID_FILE_SAVE},
            {Qt::CTRL | Qt::Key_P, ID_FILE_PRINT},
            {Qt::CTRL | Qt::Key_Z, ID_EDIT_UNDO},
            {Qt::CTRL | Qt::Key_X, ID_EDIT_CUT},
            {Qt::CTRL | Qt::Key_C, ID_EDIT_COPY},
            {Qt::CTRL | Qt::Key_V, ID_EDIT_PASTE},
            {Qt::ALT | Qt::Key_Backspace, ID_EDIT_UNDO},
            {Qt::SHIFT | Qt::Key_Delete, ID_EDIT_CUT},
            {Qt::CTRL | Qt::Key_Insert, ID_EDIT_COPY},
            {Qt::SHIFT | Qt::Key_Insert, ID_EDIT_PASTE},
            {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
            {Qt::SHIFT | Qt::Key_F6, ID_PREV_PANE},
        };
        for (const auto& [keys, id] : table)
            QTest::newRow(qPrintable(keys.toString())) << keys << int(id);
    }
    void accelerators() {
        QFETCH(QKeySequence, keys);
        QFETCH(int, id);
        QList<int> bound;
        for (const QAction* action : m_frame->actions()) {
            if (action->shortcuts().contains(keys))
                bound << action->property(kCommandIdProperty).toInt();
        }
        QCOMPARE(bound, QList<int>{id});
    }

    void unlabelledKeysAreUnbound() {
        for (const QKeySequence& keys :
             {QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::CTRL | Qt::Key_G),
              QKeySequence(Qt::CTRL | Qt::Key_I)}) {
            for (const QAction* action : m_frame->actions())
                QVERIFY2(!action->shortcuts().contains(keys), qPrintable(keys.toString()));
        }
    }

    // With the main menu, whose "&Archivo" has no Guardar, and with the document menu.
    void keysWorkInEveryState() {
        QTest::keyClick(m_frame.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_asked, 1);
        QTest::keyClick(m_frame.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_documents->documentCount(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_documents->documentCount(), 2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_asked, 2); // the name to save Texto2 under
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_asked, 3); // the print dialog
        // F6 and the keys the labels used to name do nothing.
        for (const QKeySequence& keys :
             {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6),
              QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::CTRL | Qt::Key_G)}) {
            QTest::keySequence(QApplication::focusWidget(), keys);
        }
        QCOMPARE(m_documents->documentCount(), 2);
        QCOMPARE(m_asked, 3);
    }

    void toolBar() {
        QToolBar* bar = m_frame->toolBar();
        QStringList buttons;
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) {
                buttons << "|";
                continue;
            }
            buttons << action->toolTip();
            const QIcon icon = action->icon();
            QVERIFY(!icon.isNull());
            // Drawn 16 by 15, with its own pixels at twice and three times the scale.
            QCOMPARE(icon.pixmap(QSize(16, 15), 1.0).size(), QSize(16, 15));
            QCOMPARE(icon.pixmap(QSize(16, 15), 2.0).size(), QSize(32, 30));
            QCOMPARE(icon.pixmap(QSize(16, 15), 3.0).size(), QSize(48, 45));
        }
        QCOMPARE(buttons, (QStringList{"Nuevo", "Abrir", "Guardar", "|", "Cortar", "Copiar",
                                       "Pegar", "|", "Imprimir", "|", "Acerca de"}));
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QVERIFY(bar->isMovable());
        QVERIFY(bar->isFloatable());
        QCOMPARE(m_frame->toolBarArea(bar), Qt::TopToolBarArea);
        m_frame->addToolBar(Qt::LeftToolBarArea, bar);
        QCOMPARE(m_frame->toolBarArea(bar), Qt::LeftToolBarArea);
    }

    void promptsInTheStatusBar() {
        QStatusBar* bar = m_frame->statusBar();
        QCOMPARE(m_frame->messagePane()->text(), QStringLiteral("Preparado"));
        QVERIFY(m_frame->messagePane()->isVisible());

        // Pointing at a toolbar button.
        auto* button = qobject_cast<QToolButton*>(
            m_frame->toolBar()->widgetForAction(m_frame->commandAction(ID_FILE_OPEN)));
        QVERIFY(button);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(button, &enter);
        QCOMPARE(bar->currentMessage(), QStringLiteral("Abre un documento ya existente"));
        QVERIFY(!m_frame->messagePane()->isVisible());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        QCOMPARE(bar->currentMessage(), QString());
        QVERIFY(m_frame->messagePane()->isVisible());

        // Highlighting menu items.
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

    void lockIndicators() {
        QStatusBar* bar = m_frame->statusBar();
        QStringList panes;
        for (QLabel* label : bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            panes << label->objectName();
        QCOMPARE(panes, (QStringList{"messagePane", "ID_INDICATOR_CAPS", "ID_INDICATOR_NUM",
                                     "ID_INDICATOR_SCRL"}));
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("the lock keys' state is known here");
        // Nobody tells their state: each shows its name, greyed.
        for (const CommandId id : {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL}) {
            QVERIFY(!m_frame->indicator(id)->isEnabled());
        }
        QCOMPARE(m_frame->indicator(ID_INDICATOR_CAPS)->text(), QStringLiteral("MAY"));
        QCOMPARE(m_frame->indicator(ID_INDICATOR_NUM)->text(), QStringLiteral("NUM"));
        QCOMPARE(m_frame->indicator(ID_INDICATOR_SCRL)->text(), QStringLiteral("DESP"));
        QTest::keyClick(m_frame.get(), Qt::Key_CapsLock); // and a key press changes nothing
        QVERIFY(!m_frame->indicator(ID_INDICATOR_CAPS)->isEnabled());
    }

    void barToggles_data() {
        QTest::addColumn<int>("id");
        QTest::newRow("toolbar") << int(ID_VIEW_TOOLBAR);
        QTest::newRow("status bar") << int(ID_VIEW_STATUS_BAR);
    }
    void barToggles() {
        QFETCH(int, id);
        QWidget* bar = id == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(m_frame->toolBar())
                                             : m_frame->statusBar();
        QAction* action = m_frame->commandAction(id);
        QVERIFY(action->isCheckable());
        for (const bool hasDocument : {false, true}) {
            if (hasDocument)
                m_documents->newDocument();
            QVERIFY(bar->isVisible() && action->isChecked());
            action->trigger();
            QVERIFY(!bar->isVisible());
            QVERIFY(!action->isChecked());
            action->trigger();
            QVERIFY(bar->isVisible());
            QVERIFY(action->isChecked());
        }
    }

    void windowList() {
        m_documents->newDocument();
        m_documents->newDocument();
        QMenu* window = topMenu(*m_frame, "Ven&tana");
        emit window->aboutToShow();
        QStringList entries;
        QList<QAction*> actions;
        for (QAction* action : window->actions()) {
            if (action->isCheckable() && action->isVisible()) {
                entries << action->text() + (action->isChecked() ? " *" : "");
                actions << action;
            }
        }
        QCOMPARE(entries, (QStringList{"&1 Texto1", "&2 Texto2 *"}));
        actions.first()->trigger();
        QCOMPARE(m_documents->activeDocument()->GetTitle(), QStringLiteral("Texto1"));
        emit window->aboutToShow();
        QCOMPARE(window->actions().last()->text(), QStringLiteral("&2 Texto2"));
    }

    void windowArrangements() {
        for (int i = 0; i < 4; ++i)
            m_documents->newDocument();
        QMdiArea* area = m_frame->mdiArea();
        const QList<QMdiSubWindow*> windows = area->subWindowList();
        const QRect viewport = area->viewport()->rect();

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

        // Arrange icons: the minimised windows in a row along the bottom, the others stay.
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

    void droppedFiles() {
        QSignalSpy dropped(m_frame.get(), &CMainFrame::filesDropped);
        m_documents->newDocument();
        const QString a = m_dir.filePath("a.txt");
        const QString b = m_dir.filePath("b.txt");
        // On the area and on a document's own text: the files open, nothing is pasted.
        for (QWidget* target : {static_cast<QWidget*>(m_frame->mdiArea()->viewport()),
                                static_cast<QWidget*>(m_documents->activeView()->viewport())}) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
            data.setText(a);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &drop);
            QVERIFY(drop.isAccepted());
        }
        QCOMPARE(dropped.size(), 2);
        QCOMPARE(dropped.at(1).at(0).toStringList(), (QStringList{a, b}));
        QCOMPARE(m_documents->activeView()->toPlainText(), QString());

        // Text dragged about is not a file: left to whoever takes text.
        QMimeData text;
        text.setText("hola");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(m_frame->mdiArea()->viewport(), &enter);
        QVERIFY(!enter.isAccepted());
        QCOMPARE(dropped.size(), 2);
    }

    void exitAsksAndMayBeCancelled() {
        CZENTODoc* document = m_documents->newDocument();
        document->SetModifiedFlag(true);
        DocumentPrompts prompts = m_documents->prompts();
        prompts.askSaveChanges = [](QWidget*, const QString&) { return SaveChanges::Cancel; };
        m_documents->setPrompts(prompts);
        m_frame->commandAction(ID_APP_EXIT)->trigger();
        QVERIFY(m_frame->isVisible());
        QCOMPARE(m_documents->documentCount(), 1);
        prompts.askSaveChanges = [](QWidget*, const QString&) { return SaveChanges::Discard; };
        m_documents->setPrompts(prompts);
        m_frame->commandAction(ID_APP_EXIT)->trigger();
        QVERIFY(!m_frame->isVisible());
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
