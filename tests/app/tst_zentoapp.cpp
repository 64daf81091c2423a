// The application, run inside its own application object as the program runs: the command line
// and start-up, the titles the desktop shows, both menu bars against their tables, the command
// route, accelerators, the bars, where new windows open and the window commands, exit, recent
// files, dropped files and help.
#include "app/aboutdlg.h"
#include "app/commandline.h"
#include "app/helpwindow.h"
#include "app/mainframe.h"
#include "app/singleinstance.h"
#include "app/zentoapp.h"
#include "docview/childframe.h"
#include "docview/documentmanager.h"
#include "framework/recentfilelist.h"
#include "results/analysis.h"
#include "results/fitresults.h"
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
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUuid>
#include <QWindow>

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
QString title() {
    return frame()->windowHandle()->title(); // what the desktop receives
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
    "A&nálisis: &Verificar datos...=32790, E&xportar a JAGS...=32791, "
    "&Ajustar con JAGS...=32792, &Comparar enlaces...=32793, -, "
    "Abrir &resultados...=32794, &Guardar resultados...=32795(off)",
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
        m_desktopFails = false;
        QDir::setCurrent(m_dir.path());
        app()->setSettingsStore(SettingsStore(iniFile()));
        app()->setInstanceServerName(m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128)));
        app()->setStartupErrorReporter([this](const QString& message) { m_errors << message; });
        app()->setDesktopOpener([this](const QString& path, const std::function<void()>& failed) {
            m_asked << path;
            if (m_desktopFails)
                failed();
        });
        app()->setDocumentsSetup([this](DocumentManager& documents) {
            DocumentPrompts prompts = documents.prompts();
            prompts.askSaveChanges = [this](QWidget*, const QString& title) {
                m_asked << title;
                return m_answers.isEmpty() ? SaveChanges::Discard : m_answers.takeFirst();
            };
            prompts.askSaveFileName = [this](QWidget*, const QString&) {
                return m_asked << "save as", std::nullopt;
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

    // What start-up makes of a command line: the documents shown, or the end of the program
    // with its exit code, the message the user sees (a part of it) and what was printed.
    void startUp_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString printTo = "Para imprimir en una impresora hay que nombrar un archivo y la "
                                "impresora (y, si se quiere, el controlador y el puerto).";
        const QList<std::tuple<QStringList, QString, int, QString>> table = {
            {{}, "Texto1", 0, ""},
            {{"a.txt", "b b.txt"}, "a.txt b b.txt", 0, ""},
            {{"--", "-a.txt"}, "-a.txt", 0, ""},
            {{"no-existe.txt"}, "", 1, "no-existe.txt"},
            {{"vacia"}, "", 1, "no tiene la salida CODA de JAGS"},
            {{"a.txt", "no-existe.txt"}, "", 1, "no-existe.txt"},
            {{"--nada"}, "", 1, "Opción desconocida: --nada\nUso: zento"},
            {{"/p/a.txt"}, "", 1, "/p/a.txt\": no existe"}, // a path, not a switch
            {{"a.txt", "/P"}, "", 0, ""},
            {{"--imprimir", "a.txt"}, "", 0, ""},
            {{"/p", "a.txt", "b b.txt"}, "", 1, "hay que nombrar un solo archivo"},
            {{"/p", "no-existe.txt"}, "", 1, "no-existe.txt"},
            {{"-PT", "a.txt", "zento-no-existe"}, "", 1, "No se ha podido imprimir"},
            {{"/pt", "a.txt", "L", "controlador", "LPT1:"}, "", 1, "No se ha podido imprimir"},
            {{"/pt", "a.txt"}, "", 1, printTo},
            {{"--imprimir-en", "a.txt", "L", "c"}, "", 1, printTo},
        };
        for (const auto& [arguments, shown, exitCode, message] : table)
            QTest::newRow(qPrintable(arguments.join(' ')))
                << arguments << shown << exitCode << message;
    }
    void startUp() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, shown);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        for (const char* name : {"a.txt", "b b.txt", "-a.txt"})
            write(name, "uno\r\n");
        QVERIFY(QDir(m_dir.path()).mkpath("vacia"));
        QCOMPARE(app()->InitInstance(arguments), !shown.isEmpty());
        QCOMPARE(app()->exitCode(), exitCode);
        QVERIFY2(m_errors.join('\n').contains(message), qPrintable(m_errors.join('\n')));
        QCOMPARE(m_errors.isEmpty(), message.isEmpty());
        QCOMPARE(frame() && frame()->isVisible(), !shown.isEmpty());
        if (!shown.isEmpty()) {
            QCOMPARE(documentTitles(), shown);
            QCOMPARE(documents()->activeDocument(), documents()->documents().constLast());
            QCOMPARE(title(), "ZENTO - " + documents()->activeDocument()->GetTitle());
        }
        const bool printed = shown.isEmpty() && exitCode == 0;
        QCOMPARE(QFileInfo(pdfFile()).size() > 0, printed);
        if (printed) // and the document opened for it closed again
            QCOMPARE(documents()->documentCount(), 0);
    }

    // The main menu comes back only when the last document window closes.
    void menuBarsAndTheirSwap() {
        QVERIFY(start());
        emit topMenu("Ven&tana")->aboutToShow();
        QCOMPARE(describeMenuBar(), kDocumentMenu);
        CZENTODoc* document = documents()->activeDocument();
        documents()->newWindow();
        documents()->frames(document).constFirst()->close();
        QVERIFY(frame()->showsDocumentMenu());
        documents()->frames(document).constFirst()->close();
        QTRY_COMPARE(documents()->documentCount(), 0);
        QCOMPARE(describeMenuBar(), kMainMenu);
        QCOMPARE(title(), QStringLiteral("ZENTO"));
    }

    // "zento DIR" opens the results of a folder JAGS has run in. Their window keeps the analysis
    // commands at hand, saves itself and closes without a question.
    void resultsFolder() {
        QVERIFY(QDir(m_dir.path()).mkpath("ajuste"));
        write("ajuste/CODAindex.txt", "beta[1] 1 4\n");
        for (const char* chain : {"ajuste/CODAchain1.txt", "ajuste/CODAchain2.txt"})
            write(chain, "101  0.5\n102  0.25\n103  0.75\n104  0.5\n");
        write("ajuste/datos.R", "N <- 2\ny <- c(1, 0)\n");
        QVERIFY(start({m_dir.filePath("ajuste")}));
        QCOMPARE(documents()->documentCount(), 0);
        QVERIFY(frame()->showsDocumentMenu());
        QCOMPARE(title(),
                 QStringLiteral("ZENTO - Resultados - modelo sin enlace reconocido - ajuste"));
        for (const int id :
             {ID_ANALISIS_VERIFICAR, ID_ANALISIS_GUARDAR, ID_FILE_CLOSE, ID_FILE_PRINT})
            QVERIFY2(frame()->commandAction(id)->isEnabled(), qPrintable(QString::number(id)));
        QVERIFY(!frame()->commandAction(ID_FILE_SAVE)->isEnabled());
        frame()->commandAction(ID_FILE_CLOSE)->trigger();
        QTRY_VERIFY(frame()->mdiArea()->subWindowList().isEmpty());
        QCOMPARE(describeMenuBar(), kMainMenu);
        QVERIFY(m_asked.isEmpty());
    }

    // Titles are exactly the texts given: no display name for the desktop to append, and a
    // maximized window shows in brackets after the program's name.
    void titles() {
        QVERIFY(start());
        const QString name = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(QStringLiteral("otro"));
        const QString display = QGuiApplication::applicationDisplayName();
        QCoreApplication::setApplicationName(name);
        QCOMPARE(display, QStringLiteral("otro"));
        frame()->mdiArea()->currentSubWindow()->showMaximized();
        QCOMPARE(title(), QStringLiteral("ZENTO - [Texto1]"));
        documents()->newWindow();
        QCOMPARE(title(), QStringLiteral("ZENTO - [Texto1:2]"));
        frame()->mdiArea()->currentSubWindow()->showNormal();
        QCOMPARE(title(), QStringLiteral("ZENTO - Texto1"));
    }

    // Each id has one handler on the route, and every command action has one (but the pane
    // keys, which act only in split windows). Exactly the table's keys are bound, and they work
    // with either menu bar, with the focus in the text too.
    void routeAndAccelerators() {
        QVERIFY(start());
        QList<int> ids;
        const QList<const CommandTarget*> route = {frame(), app(), app()->analysis(), documents(),
                                                   documents()->activeView()};
        for (const CommandTarget* target : route) {
            for (const int id : target->messageMap().ids())
                ids << id;
        }
        QStringList bound;
        for (const QAction* action : frame()->actions()) {
            const int id = action->property(kCommandIdProperty).toInt();
            // A window of results saves itself.
            QVERIFY2(ids.count(id) == 1 || id == ID_NEXT_PANE || id == ID_PREV_PANE ||
                         id == ID_ANALISIS_GUARDAR,
                     qPrintable(QString::number(id)));
            for (const QKeySequence& keys : action->shortcuts())
                bound << keys.toString() + "=" + QString::number(id);
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
        frame()->commandAction(ID_FILE_PRINT_SETUP)->trigger();
        QCOMPARE(m_asked, (QStringList{"save as", "QPrintDialog", "open", "QPrintDialog"}));
        QCOMPARE(documentTitles(), QStringLiteral("Texto2"));
    }

    // The buttons follow the selection and the clipboard at once. "&Ver" shows and hides the
    // bars, its check marks following them however they were hidden.
    void bars() {
        QVERIFY(start());
        const auto buttons = [] {
            QStringList shown;
            for (const QAction* action : frame()->toolBar()->actions())
                shown << (action->isEnabled() ? action->toolTip() : "-");
            return shown.join(", ");
        };
        QCOMPARE(buttons(), "Nuevo, Abrir, Guardar, , -, -, -, , Imprimir, , Acerca de");
        QTest::keyClicks(documents()->activeView(), "abc");
        documents()->activeView()->selectAll();
        QGuiApplication::clipboard()->setText("x");
        QCOMPARE(buttons(), "Nuevo, Abrir, Guardar, , Cortar, Copiar, Pegar, , Imprimir, , "
                            "Acerca de");
        for (const CommandId id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
            QWidget* bar = id == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(frame()->toolBar())
                                                 : frame()->statusBar();
            for (const bool shown : {false, true}) {
                frame()->onCommand(id);
                QCOMPARE(bar->isVisible(), shown);
                QCOMPARE(frame()->commandAction(id)->isChecked(), shown);
            }
        }
        frame()->toolBar()->close(); // by its own menu
        QVERIFY(!frame()->commandAction(ID_VIEW_TOOLBAR)->isChecked());
    }

    // Every new window, the first included, opens at the same size wholly inside the area,
    // cascaded, on top; the area never scrolls sideways for it. "&Organizar iconos" puts the
    // minimised windows in a row along the bottom.
    void windows() {
        QVERIFY(start());
        QMdiArea* area = frame()->mdiArea();
        for (int i = 1; i < 7; ++i) {
            documents()->newDocument();
            const QList<QMdiSubWindow*> stacked = area->subWindowList(QMdiArea::StackingOrder);
            QMdiSubWindow* window = stacked.constLast();
            QCOMPARE(window, area->activeSubWindow());
            QVERIFY(area->viewport()->rect().contains(window->geometry()));
            QCOMPARE(window->size(), stacked.constFirst()->size());
            QVERIFY(window->width() > area->viewport()->width() / 2);
            QVERIFY(window->pos().x() > stacked.at(i - 1)->pos().x() || window->pos().isNull());
            QVERIFY(!area->horizontalScrollBar()->isVisible());
        }
        const QList<QMdiSubWindow*> windows = area->subWindowList();
        windows[1]->showMinimized();
        windows[3]->showMinimized();
        const QRect normal = windows[0]->geometry();
        frame()->commandAction(ID_WINDOW_ARRANGE)->trigger();
        const int bottom = area->viewport()->rect().bottom();
        QCOMPARE(windows[1]->geometry().bottomLeft(), QPoint(0, bottom));
        QCOMPARE(windows[3]->geometry().bottomLeft(), QPoint(windows[1]->width(), bottom));
        QCOMPARE(windows[0]->geometry(), normal);
    }

    // Exit asks for each modified document; a cancel keeps the program and every document.
    void exitAsksAndMayBeCancelled() {
        QVERIFY(start());
        documents()->activeDocument()->SetModifiedFlag(true);
        documents()->newDocument()->SetModifiedFlag(true);
        m_answers = {SaveChanges::Discard, SaveChanges::Cancel};
        frame()->commandAction(ID_APP_EXIT)->trigger();
        QCOMPARE(frame()->mdiArea()->subWindowList().size(), 2);
        frame()->commandAction(ID_APP_EXIT)->trigger();
        QVERIFY(!frame()->isVisible());
        QCOMPARE(m_asked, (QStringList{"Texto1", "Texto2", "Texto1", "Texto2"}));
    }

    // Files opened go to the recent-file list, kept for the next run; an entry opens its file,
    // and one whose file has gone is reported and leaves the list.
    void recentFiles() {
        const QStringList files{write("1.txt", "1"), write("2.txt", "2")};
        QVERIFY(start(files));
        QVERIFY(start());
        QCOMPARE(app()->recentFiles()->files(), (QStringList{files[1], files[0]}));
        findCommandAction(app()->recentFiles(), ID_FILE_MRU_FILE2)->trigger();
        QCOMPARE(documents()->activeDocument()->GetPathName(), files[0]);
        QFile::remove(files[1]);
        findCommandAction(app()->recentFiles(), ID_FILE_MRU_FILE2)->trigger();
        QCOMPARE(m_errors.size(), 1);
        QCOMPARE(app()->recentFiles()->files(), QStringList{files[0]});
    }

    // Files dropped anywhere on the window open, never pasted; text dragged about is left to
    // the text. The running program does not give its name up to a later one.
    void filesDroppedOpen() {
        const QString name = m_dir.filePath("otro-nombre");
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

    // Nowhere: a message says where it looked. In the working directory: the desktop opens it;
    // when it cannot, ZENTO shows it itself, its links and images working.
    void helpDocument() {
        QVERIFY(start());
        QAction* help = frame()->commandAction(ID_AYUDA_DOCUMENTO);
        help->trigger();
        QVERIFY(openMessageBox()->text().contains(
            QDir::toNativeSeparators(m_dir.filePath("manual/Index.html"))));
        openMessageBox()->close();
        QDir(m_dir.path()).mkpath("manual");
        const QString manual = write("manual/Index.html", "<a href=\"dos.html\">dos</a>"
                                                          "<img src=\"imagen.png\">");
        QImage(4, 4, QImage::Format_RGB32).save(m_dir.filePath("manual/imagen.png"));
        write("manual/dos.html", "segunda");
        help->trigger();
        QCOMPARE(m_asked, QStringList{manual});
        QVERIFY(!openMessageBox() && !app()->helpWindow());
        m_desktopFails = true;
        help->trigger();
        HelpWindow* window = app()->helpWindow();
        QVERIFY(window && window->isVisible() && !openMessageBox());
        QCOMPARE(window->windowHandle()->title(), QStringLiteral("Ayuda de ZENTO"));
        QVERIFY(!window->loadResource(QTextDocument::ImageResource, QUrl("imagen.png")).isNull());
        QTest::mouseClick(window->viewport(), Qt::LeftButton, {},
                          window->cursorRect(window->document()->find("dos")).center());
        QTRY_COMPARE(window->source().fileName(), QStringLiteral("dos.html"));
        QFile::remove(manual);
    }

    // The copyright line names the license, and every line shows whole in the width the
    // template gives it.
    void aboutBox() {
        const CAboutDlg dialog;
        QStringList lines;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            lines << label->text();
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
        }
        QVERIFY2(lines.contains(QStringLiteral("© 2026 Los autores · Licencia MIT")),
                 qPrintable(lines.join(u'|')));
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
    bool m_desktopFails = false;  // the desktop has no program for the help document
};

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    CZENTOApp application(argc, argv);
    TestZentoApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zentoapp.moc"
