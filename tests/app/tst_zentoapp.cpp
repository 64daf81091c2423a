// The application, run inside its own application object as the program runs: the command line
// and start-up, both menu bars against their tables, accelerators, toolbar, status bar, the
// window commands, recent files, files dropped or handed over by a later start, About and help.
#include "app/aboutdlg.h"
#include "app/commandline.h"
#include "app/lockkeys.h"
#include "app/mainframe.h"
#include "app/singleinstance.h"
#include "app/zentoapp.h"
#include "docview/childframe.h"
#include "docview/documentmanager.h"
#include "docview/zentodoc.h"
#include "framework/recentfilelist.h"
#include "zento/version.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUuid>

using namespace zento;

namespace {

CZENTOApp* app() {
    return static_cast<CZENTOApp*>(QCoreApplication::instance());
}
CMainFrame* frame() {
    return app()->mainFrame();
}
DocumentManager* documents() {
    return app()->documents();
}

QString uniqueName() {
    return "zento-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

QString documentTitles() {
    QStringList titles;
    for (const CZENTODoc* document : documents()->documents())
        titles << document->GetTitle();
    return titles.join(' ');
}

QMessageBox* openMessageBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

// "Title: item, item": an item is its text, "=" and its id, "(off)" when disabled; "-" is a
// separator, "[...]" a submenu. Hidden actions are left out.
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

QStringList describeMenuBar() {
    QStringList menus;
    for (const QAction* action : frame()->menuBar()->actions())
        menus << describe(action->menu());
    return menus;
}

QMenu* topMenu(const QString& title) {
    for (QAction* action : frame()->menuBar()->actions()) {
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

class TestZentoApp : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QFile::remove(iniFile());
        QFile::remove(pdfFile());
        QGuiApplication::clipboard()->clear();
        m_errors.clear();
        m_asked.clear();
        m_answers.clear();
        QDir::setCurrent(m_dir.path());
        app()->setSettingsStore(SettingsStore(iniFile()));
        app()->setInstanceServerName(uniqueName());
        app()->setStartupErrorReporter([this](const QString& message) { m_errors << message; });
        app()->setDesktopOpener([this](const QString& path) { return m_asked << path, true; });
        app()->setDocumentsSetup([this](DocumentManager& documents) {
            DocumentPrompts prompts = documents.prompts();
            prompts.askSaveChanges = [this](QWidget*, const QString& title) {
                m_asked << title;
                return m_answers.isEmpty() ? SaveChanges::Discard : m_answers.takeFirst();
            };
            prompts.askSaveFileName = [this](QWidget*, const QString&) {
                return m_asked << "save as", std::optional<QString>();
            };
            prompts.askOpenFileNames = [this](QWidget*) {
                return m_asked << "open", QStringList();
            };
            prompts.warn = [this](QWidget*, const QString& message) { m_errors << message; };
            documents.setPrompts(prompts);
            documents.printing().setModalRunner([this](QDialog& dialog) {
                return m_asked << dialog.metaObject()->className(), int(QDialog::Rejected);
            });
            documents.printing().printer().setOutputFileName(pdfFile());
        });
    }

    // The spellings of the print switches and what is not one; start-up tries the rest.
    void parseCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        const QString printToUsage =
            "Para imprimir en una impresora hay que nombrar un archivo y la impresora.";
        const QList<std::pair<QStringList, QString>> table = {
            {{"/p/x.txt"}, "open /p/x.txt"}, // a path, not a switch
            {{"--", "-raro.txt", "/p"}, "open -raro.txt|/p"},
            {{"a.txt", "/P"}, "print a.txt"},
            {{"-p", "a.txt"}, "print a.txt"},
            {{"/pt", "a.txt", "Láser 2"}, "print a.txt to Láser 2"},
            {{"-PT", "a.txt", "L"}, "print a.txt to L"},
            {{"--imprimir-en", "a.txt", "L"}, "print a.txt to L"},
            {{"/p"}, "Para imprimir hay que nombrar un solo archivo."},
            {{"/p", "a", "b"}, "Para imprimir hay que nombrar un solo archivo."},
            {{"/pt", "a"}, printToUsage},
            {{"/pt", "a", "b", "c"}, printToUsage},
        };
        for (const auto& [arguments, expected] : table)
            QTest::newRow(qPrintable(arguments.join(' '))) << arguments << expected;
    }
    void parseCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const CommandLineInfo info = ParseCommandLine(arguments);
        const QString files = info.fileNames.join('|');
        const QString parsed = !info.error.isEmpty() ? info.error.section('\n', 0, 0)
                               : info.shellCommand == CommandLineInfo::FileNew  ? "new"
                               : info.shellCommand == CommandLineInfo::FileOpen ? "open " + files
                               : info.printerName.isEmpty()
                                   ? "print " + files
                                   : "print " + files + " to " + info.printerName;
        QCOMPARE(parsed, expected);
        QCOMPARE(info.error.isEmpty(), !info.error.contains("Uso: zento"));
    }

    // What start-up makes of a command line: the documents shown, or the end of the program
    // with its exit code, the message the user sees (a part of it) and what was printed.
    void startUp_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << QStringList() << "Texto1" << 0 << "";
        QTest::newRow("two files") << QStringList{"a.txt", "b b.txt"} << "a.txt b b.txt" << 0 << "";
        QTest::newRow("missing file") << QStringList{"no-existe.txt"} << "" << 1 << "no-existe.txt";
        QTest::newRow("one of two missing")
            << QStringList{"a.txt", "no-existe.txt"} << "" << 1 << "no-existe.txt";
        QTest::newRow("unknown option") << QStringList{"--nada"} << "" << 1 << "Opción desconocida";
        QTest::newRow("print") << QStringList{"/p", "a.txt"} << "" << 0 << "";
        QTest::newRow("print, long switch") << QStringList{"--imprimir", "a.txt"} << "" << 0 << "";
        QTest::newRow("print a missing file")
            << QStringList{"/p", "no-existe.txt"} << "" << 1 << "no-existe.txt";
        QTest::newRow("print on a missing printer")
            << QStringList{"/pt", "a.txt", "zento-no-existe"} << "" << 1 << "No se ha podido";
    }
    void startUp() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, shown);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        write("a.txt", "uno\r\n");
        write("b b.txt", "dos");
        QCOMPARE(app()->InitInstance(arguments), !shown.isEmpty());
        QCOMPARE(app()->exitCode(), exitCode);
        QVERIFY2(m_errors.join('\n').contains(message), qPrintable(m_errors.join('\n')));
        QCOMPARE(m_errors.isEmpty(), message.isEmpty());
        QCOMPARE(frame() && frame()->isVisible(), !shown.isEmpty());
        if (!shown.isEmpty()) {
            QCOMPARE(documentTitles(), shown);
            QCOMPARE(documents()->activeDocument(), documents()->documents().constLast());
            QCOMPARE(frame()->windowTitle(),
                     "ZENTO - " + documents()->activeDocument()->GetTitle());
        }
        const bool print =
            arguments.value(0).startsWith("/p") || arguments.value(0) == "--imprimir";
        QCOMPARE(QFileInfo(pdfFile()).size() > 0, print && exitCode == 0);
        if (print) // and the document opened for it closed again
            QCOMPARE(documents()->documentCount(), 0);
    }

    void menuBarsAndTheirSwap() {
        QVERIFY(start());
        emit topMenu("Ven&tana")->aboutToShow();
        QCOMPARE(describeMenuBar(), kDocumentMenu);
        // The main menu comes back only when the last document window closes.
        CZENTODoc* document = documents()->activeDocument();
        documents()->newWindow();
        documents()->frames(document).constFirst()->close();
        QTRY_COMPARE(frame()->mdiArea()->subWindowList().size(), 1);
        QVERIFY(frame()->showsDocumentMenu());
        documents()->frames(document).constFirst()->close();
        QTRY_COMPARE(documents()->documentCount(), 0);
        QCOMPARE(describeMenuBar(), kMainMenu);
        QCOMPARE(frame()->windowTitle(), QStringLiteral("ZENTO"));
    }

    // Exactly the table's keys are bound, each to its command, and they work with either menu
    // bar, with the focus in the text too.
    void accelerators() {
        QVERIFY(start());
        QStringList bound;
        for (const QAction* action : frame()->actions()) {
            for (const QKeySequence& keys : action->shortcuts())
                bound << keys.toString() + "=" + action->property(kCommandIdProperty).toString();
        }
        bound.sort();
        QCOMPARE(bound.join(", "),
                 QStringLiteral("Alt+Backspace=57643, Ctrl+C=57634, Ctrl+Ins=57634, Ctrl+N=57600, "
                                "Ctrl+O=57601, Ctrl+P=57607, Ctrl+S=57603, Ctrl+V=57637, "
                                "Ctrl+X=57635, Ctrl+Z=57643, F6=57680, Shift+Del=57635, "
                                "Shift+F6=57681, Shift+Ins=57637"));
        QCOMPARE(QApplication::focusWidget(), documents()->activeView());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
        documents()->closeAllDocuments();
        QTest::keyClick(frame(), Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(frame(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_asked, (QStringList{"save as", "QPrintDialog", "open"}));
        QCOMPARE(documentTitles(), QStringLiteral("Texto2"));
    }

    // The buttons, their tooltips, whether they may be used, and their images: 16 by 15, with
    // pixels of their own at twice and three times the scale.
    void toolBar() {
        QVERIFY(start());
        QToolBar* bar = frame()->toolBar();
        const auto buttons = [bar] {
            QStringList shown;
            for (const QAction* action : bar->actions())
                shown << (action->isSeparator() ? "|"
                          : action->isEnabled() ? action->toolTip()
                                                : action->toolTip() + "(off)");
            return shown.join(", ");
        };
        QCOMPARE(buttons(), "Nuevo, Abrir, Guardar, |, Cortar(off), Copiar(off), Pegar(off), |, "
                            "Imprimir, |, Acerca de");
        // The editing buttons follow the selection and the clipboard at once.
        QTest::keyClicks(documents()->activeView(), "abc");
        documents()->activeView()->selectAll();
        QGuiApplication::clipboard()->setText("x");
        QCOMPARE(buttons(), "Nuevo, Abrir, Guardar, |, Cortar, Copiar, Pegar, |, Imprimir, |, "
                            "Acerca de");
        documents()->closeAllDocuments();
        QCOMPARE(buttons(), "Nuevo, Abrir, Guardar(off), |, Cortar(off), Copiar(off), "
                            "Pegar(off), |, Imprimir(off), |, Acerca de");
        for (const QAction* action : bar->actions()) {
            for (const qreal scale : {1.0, 2.0, 3.0}) {
                if (!action->isSeparator())
                    QCOMPARE(action->icon().pixmap(QSize(16, 15), scale).size(),
                             QSize(16, 15) * scale);
            }
        }
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QVERIFY(bar->isMovable() && bar->isFloatable());
        QCOMPARE(frame()->toolBarArea(bar), Qt::TopToolBarArea);
    }

    // "Preparado", each command's prompt while its button is hovered or its item highlighted,
    // and the lock-key panes: their name while the lock is on where the platform tells (Windows,
    // X11), greyed where it does not (offscreen here).
    void statusBar() {
        QVERIFY(start());
        QStatusBar* bar = frame()->statusBar();
        QCOMPARE(frame()->messagePane()->text(), QStringLiteral("Preparado"));
        QWidget* button = frame()->toolBar()->widgetForAction(frame()->commandAction(ID_FILE_OPEN));
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(button, &enter);
        QCOMPARE(bar->currentMessage(), QStringLiteral("Abre un documento ya existente"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        QCOMPARE(bar->currentMessage(), QString());
        QVERIFY(frame()->messagePane()->isVisible());

        QMenu* file = topMenu("&Archivo");
        frame()->menuBar()->setActiveAction(file->menuAction());
        QTRY_VERIFY(file->isVisible());
        file->setActiveAction(frame()->commandAction(ID_APP_EXIT));
        QCOMPARE(bar->currentMessage(),
                 QStringLiteral("Sale de la aplicación; le pide que guarde los documentos"));
        file->close();

        const QList<std::tuple<CommandId, LockKey, QString>> panes = {
            {ID_INDICATOR_CAPS, LockKey::Caps, "MAY"},
            {ID_INDICATOR_NUM, LockKey::Num, "NUM"},
            {ID_INDICATOR_SCRL, LockKey::Scroll, "DESP"},
        };
        for (const auto& [id, key, name] : panes) {
            const std::optional<bool> on = lockKeyState(key);
            QCOMPARE(frame()->indicator(id)->isEnabled(), on.has_value());
            QCOMPARE(frame()->indicator(id)->text(), on.value_or(true) ? name : QString());
        }
    }

    // "&Ver" shows and hides the bars, with either menu bar; its check marks follow the bars,
    // however they were hidden.
    void barToggles() {
        QVERIFY(start());
        for (const CommandId id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
            QWidget* bar = id == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(frame()->toolBar())
                                                 : frame()->statusBar();
            for (const bool shown : {false, true, false, true}) {
                if (shown)
                    documents()->closeAllDocuments(); // the main menu
                frame()->commandAction(id)->trigger();
                QCOMPARE(bar->isVisible(), shown);
                QCOMPARE(frame()->commandAction(id)->isChecked(), shown);
            }
        }
        frame()->toolBar()->hide(); // by its own menu
        QVERIFY(!frame()->commandAction(ID_VIEW_TOOLBAR)->isChecked());
    }

    // The window list activates its window; the arrangements place the windows for real.
    void windowCommands() {
        QVERIFY(start());
        for (int i = 0; i < 3; ++i)
            documents()->newDocument();
        QMenu* menu = topMenu("Ven&tana");
        emit menu->aboutToShow();
        QCOMPARE(describe(menu).section("-, ", 1),
                 QStringLiteral("&1 Texto1=, &2 Texto2=, &3 Texto3=, &4 Texto4="));
        QVERIFY(menu->actions().last()->isChecked());
        menu->actions().at(menu->actions().size() - 4)->trigger();
        QCOMPARE(documents()->activeDocument()->GetTitle(), QStringLiteral("Texto1"));

        const QList<QMdiSubWindow*> windows = frame()->mdiArea()->subWindowList();
        const QRect viewport = frame()->mdiArea()->viewport()->rect();
        frame()->commandAction(ID_WINDOW_TILE_HORZ)->trigger();
        for (int i = 0; i < windows.size(); ++i) {
            QVERIFY(viewport.contains(windows[i]->geometry()));
            for (int j = i + 1; j < windows.size(); ++j)
                QVERIFY(!windows[i]->geometry().intersects(windows[j]->geometry()));
        }
        frame()->commandAction(ID_WINDOW_CASCADE)->trigger();
        QVERIFY(windows[0]->geometry().intersects(windows[3]->geometry()));
        QVERIFY(windows[0]->pos().x() < windows[3]->pos().x());
        // Arrange icons: the minimised windows in a row along the bottom; the others stay.
        windows[1]->showMinimized();
        windows[3]->showMinimized();
        windows[1]->move(300, 40);
        const QRect normal = windows[0]->geometry();
        frame()->commandAction(ID_WINDOW_ARRANGE)->trigger();
        QCOMPARE(windows[1]->geometry().bottomLeft(), QPoint(0, viewport.bottom()));
        QCOMPARE(windows[3]->geometry().bottomLeft(),
                 QPoint(windows[1]->width(), viewport.bottom()));
        QCOMPARE(windows[0]->geometry(), normal);
    }

    // Exit asks for each modified document; a cancel keeps the program and every document.
    void exitAsksAndMayBeCancelled() {
        QVERIFY(start());
        documents()->activeDocument()->SetModifiedFlag(true);
        documents()->newDocument()->SetModifiedFlag(true);
        documents()->newDocument();
        m_answers = {SaveChanges::Discard, SaveChanges::Cancel};
        frame()->commandAction(ID_APP_EXIT)->trigger();
        QVERIFY(frame()->isVisible());
        QCOMPARE(frame()->mdiArea()->subWindowList().size(), 3);
        frame()->commandAction(ID_APP_EXIT)->trigger();
        QVERIFY(!frame()->isVisible());
        QCOMPARE(documents()->documentCount(), 0);
        QCOMPARE(m_asked, (QStringList{"Texto1", "Texto2", "Texto1", "Texto2"}));
    }

    // The newest four, kept in the settings for the next run and shown in "&Archivo"; an entry
    // opens its file, and one whose file has gone is reported and leaves the list.
    void recentFilesKeepFourAcrossRuns() {
        QStringList files;
        for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"})
            files << write(name, name);
        const QStringList newest{files[4], files[3], files[2], files[1]};
        QVERIFY(start(files));
        QCOMPARE(app()->recentFiles()->files(), newest);
        QVERIFY(start());
        QCOMPARE(app()->recentFiles()->files(), newest);
        QStringList entries;
        for (int i = 0; i < 4; ++i)
            entries << QString("&%1 %2=%3")
                           .arg(i + 1)
                           .arg(QDir::toNativeSeparators(files[4 - i]))
                           .arg(ID_FILE_MRU_FILE1 + i);
        QVERIFY2(describe(topMenu("&Archivo")).contains(entries.join(", ")),
                 qPrintable(describe(topMenu("&Archivo"))));

        findCommandAction(app()->recentFiles(), ID_FILE_MRU_FILE4)->trigger();
        QCOMPARE(documents()->activeDocument()->GetPathName(), files[1]);
        QFile::remove(files[4]);
        findCommandAction(app()->recentFiles(), ID_FILE_MRU_FILE2)->trigger();
        QCOMPARE(m_errors.size(), 1);
        QCOMPARE(QSettings(iniFile(), QSettings::IniFormat).value("Recent File List/File1"),
                 files[1]);
        QVERIFY(!app()->recentFiles()->files().contains(files[4]));
    }

    // Files dropped anywhere on the window open, never pasted; text dragged about is left to
    // the text. Later starts meet the running program under a name of the user's own, which
    // it does not give up.
    void filesDroppedOpen() {
        QCOMPARE(SingleInstance::serverNameFor("ana", "/home/ana"),
                 SingleInstance::serverNameFor("ana", "/home/ana"));
        QVERIFY(SingleInstance::serverNameFor("ana", "/home/ana") !=
                SingleInstance::serverNameFor("luis", "/home/ana"));
        const QString name = uniqueName();
        app()->setInstanceServerName(name);
        QVERIFY(start());
        QVERIFY(!SingleInstance(name).listen());

        const auto drag = [](QWidget* target, const QMimeData& data) {
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            enter.ignore();
            QApplication::sendEvent(target, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            if (enter.isAccepted())
                QApplication::sendEvent(target, &drop);
            return enter.isAccepted();
        };
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(write("arrastrado.txt", "x"))});
        files.setText("pegado");
        QVERIFY(drag(documents()->activeView()->viewport(), files));
        QCOMPARE(documents()->documents().constFirst()->firstView()->toPlainText(), QString());
        QMimeData text;
        text.setText("hola");
        QVERIFY(!drag(frame()->mdiArea()->viewport(), text));
        QCOMPARE(documentTitles(), QStringLiteral("Texto1 arrastrado.txt"));
    }

    void aboutBox() {
        QVERIFY(start());
        QStringList texts;
        QString caption;
        bool fits = true;
        bool hasIcon = false;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (!about)
                return;
            caption = about->windowTitle();
            for (const QLabel* label : about->findChildren<QLabel*>()) {
                hasIcon = hasIcon || !label->pixmap().isNull();
                if (!label->text().isEmpty())
                    texts << label->text();
                fits =
                    fits && label->fontMetrics().horizontalAdvance(label->text()) <= label->width();
            }
            for (const QPushButton* button : about->findChildren<QPushButton*>())
                texts << button->text() + (button->isDefault() ? " (default)" : "");
            QTest::keyClick(about, Qt::Key_Escape);
        });
        frame()->commandAction(ID_APP_ABOUT)->trigger();
        QCOMPARE(caption, QStringLiteral("Acerca de ZENTO"));
        QCOMPARE(texts, (QStringList{
                            "ZENTO Versión 1.0", ZENTO_COPYRIGHT, "Regresión binaria para WinBUGS",
                            "Leer condiciones en el documento de ayuda.", "Aceptar (default)"}));
        QVERIFY2(fits, "a line of the About box is wider than its place");
        QVERIFY(hasIcon);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Nowhere: a message says where it looked. In the working directory: the desktop opens it,
    // and if it cannot, that is said.
    void helpDocument() {
        QVERIFY(start());
        QAction* help = frame()->commandAction(ID_AYUDA_DOCUMENTO);
        help->trigger();
        QVERIFY(openMessageBox());
        const QString text = openMessageBox()->text();
        QVERIFY(text.contains(QDir::toNativeSeparators(m_dir.filePath("manual/Index.html"))));
        QVERIFY(text.contains(QDir::toNativeSeparators(
            QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            "/" ZENTO_MANUAL_DIR_FROM_PROGRAM "/Index.html"))));
        openMessageBox()->close();
        QVERIFY(m_asked.isEmpty());

        QDir(m_dir.path()).mkpath("manual");
        const QString manual = write("manual/Index.html", "<html></html>");
        help->trigger();
        QCOMPARE(m_asked, QStringList{manual});
        QVERIFY(!openMessageBox());
        app()->setDesktopOpener([](const QString&) { return false; });
        help->trigger();
        QVERIFY(openMessageBox() && openMessageBox()->text().contains("No se ha podido abrir"));
        openMessageBox()->close();
        QFile::remove(manual);
    }

private:
    // Starts the application as the program does, its window active.
    bool start(const QStringList& arguments = {}) {
        if (!app()->InitInstance(arguments))
            return false;
        frame()->activateWindow();
        return QTest::qWaitForWindowActive(frame());
    }
    QString iniFile() const { return m_dir.filePath("zento.ini"); }
    QString pdfFile() const { return m_dir.filePath("salida.pdf"); }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(bytes);
        return QFileInfo(file).canonicalFilePath();
    }

    QTemporaryDir m_dir;
    QStringList m_errors;
    QStringList m_asked; // the questions asked and the files given to the desktop, in order
    QList<SaveChanges> m_answers; // to "save changes?", then Discard
};

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    CZENTOApp application(argc, argv);
    TestZentoApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zentoapp.moc"
