// The application: start-up with and without files, print switches, a bad file or argument,
// the recent-file list across runs, dropped and handed-over files, the About box and the help
// document. The test runs inside the application object, as the program does.
#include "app/aboutdlg.h"
#include "app/mainframe.h"
#include "app/singleinstance.h"
#include "app/zentoapp.h"
#include "docview/documentmanager.h"
#include "docview/zentodoc.h"
#include "framework/recentfilelist.h"
#include "zento/version.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include <functional>

using namespace zento;

namespace {

CZENTOApp* app() {
    return static_cast<CZENTOApp*>(QCoreApplication::instance());
}

QMessageBox* openMessageBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

QString documentTitles() {
    QStringList titles;
    for (const CZENTODoc* document : app()->documents()->documents())
        titles << document->GetTitle();
    return titles.join(' ');
}

} // namespace

class TestZentoApp : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        QFile::remove(iniFile());
        m_errors.clear();
        m_opened.clear();
        app()->setSettingsStore(SettingsStore(iniFile()));
        app()->setInstanceServerName("zento-test-" +
                                     QUuid::createUuid().toString(QUuid::Id128).left(12));
        app()->setStartupErrorReporter([this](const QString& message) { m_errors << message; });
        app()->setDesktopOpener([this](const QString& path) {
            m_opened << path;
            return true;
        });
        app()->setDocumentsSetup([this](DocumentManager& documents) {
            DocumentPrompts prompts = documents.prompts();
            prompts.askSaveChanges = [](QWidget*, const QString&) { return SaveChanges::Discard; };
            prompts.warn = [this](QWidget*, const QString& message) { m_errors << message; };
            documents.setPrompts(prompts);
            documents.printing().printer().setOutputFileName(m_dir.filePath("salida.pdf"));
        });
    }

    void startsWithTexto1() {
        QVERIFY(app()->InitInstance({}));
        QCOMPARE(documentTitles(), QStringLiteral("Texto1"));
        QVERIFY(app()->mainFrame()->isVisible());
        QVERIFY(app()->mainFrame()->showsDocumentMenu());
        QCOMPARE(app()->mainFrame()->windowTitle(), QStringLiteral("ZENTO - Texto1"));
        QCOMPARE(app()->mainFrame()->mdiArea()->subWindowList().size(), 1);
        QVERIFY(m_errors.isEmpty());
    }

    void opensFilesNamedOnTheCommandLine() {
        const QString a = write("a.txt", "uno\r\n");
        const QString b = write("b b.txt", "dos");
        QVERIFY(app()->InitInstance({a, b}));
        QCOMPARE(documentTitles(), QStringLiteral("a.txt b b.txt"));
        QCOMPARE(app()->documents()->activeDocument()->GetPathName(), b);
        QCOMPARE(app()->recentFiles()->files(), (QStringList{b, a}));
    }

    void badCommandLinesEndStartUp_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QStringList{"no-existe.txt"} << "no-existe.txt";
        QTest::newRow("one of two missing")
            << QStringList{"a.txt", "no-existe.txt"} << "no-existe.txt";
        QTest::newRow("print a missing file")
            << QStringList{"/p", "no-existe.txt"} << "no-existe.txt";
        QTest::newRow("unknown option") << QStringList{"--nada"} << "Opción desconocida";
    }
    void badCommandLinesEndStartUp() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        write("a.txt", "uno");
        QDir::setCurrent(m_dir.path());
        const bool started = app()->InitInstance(arguments);
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        QVERIFY(!started);
        QCOMPARE(app()->exitCode(), 1);
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors.first().contains(message), qPrintable(m_errors.first()));
        QVERIFY(!app()->mainFrame() || !app()->mainFrame()->isVisible());
        QVERIFY(app()->recentFiles() == nullptr ||
                !app()->recentFiles()->files().contains(m_dir.filePath("no-existe.txt")));
    }

    void printSwitchesPrintAndEnd_data() {
        QTest::addColumn<QStringList>("switches");
        QTest::newRow("/p") << QStringList{"/p"};
        QTest::newRow("--imprimir") << QStringList{"--imprimir"};
    }
    void printSwitchesPrintAndEnd() {
        QFETCH(QStringList, switches);
        const QString file = write("imprimir.txt", "línea uno\r\nlínea dos\r\n");
        QVERIFY(!app()->InitInstance(switches << file));
        QCOMPARE(app()->exitCode(), 0);
        QVERIFY(m_errors.isEmpty());
        QVERIFY(!app()->mainFrame()->isVisible());
        QVERIFY(QFileInfo(m_dir.filePath("salida.pdf")).size() > 0);
        QFile::remove(m_dir.filePath("salida.pdf"));
    }

    void recentFilesKeepFourAcrossRuns() {
        QStringList files;
        for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"})
            files << write(name, name);
        QVERIFY(app()->InitInstance(files));
        const QStringList newestFirst{files[4], files[3], files[2], files[1]};
        QCOMPARE(app()->recentFiles()->files(), newestFirst);

        // The next run finds them in the settings and shows them in "&Archivo", without the
        // placeholder.
        QVERIFY(app()->InitInstance({}));
        QCOMPARE(app()->recentFiles()->files(), newestFirst);
        QMenu* file = app()->mainFrame()->menuBar()->actions().first()->menu();
        QStringList shown;
        for (const QAction* action : file->actions()) {
            if (action->isVisible() && action->text().startsWith('&') &&
                action->text().at(1).isDigit())
                shown << action->text();
        }
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown.first(), "&1 " + QDir::toNativeSeparators(files[4]));
        for (const QAction* action : file->actions())
            QVERIFY(action->text() != QStringLiteral("Archivo reciente") || !action->isVisible());

        // An entry opens its file; one that has gone is reported and leaves the list.
        findCommandAction(app()->recentFiles(), ID_FILE_MRU_FILE4)->trigger();
        QCOMPARE(app()->documents()->activeDocument()->GetPathName(), files[1]);
        QCOMPARE(app()->recentFiles()->files().first(), files[1]);
        QFile::remove(files[4]);
        findCommandAction(app()->recentFiles(), ID_FILE_MRU_FILE2)->trigger();
        QCOMPARE(m_errors.size(), 1);
        QVERIFY(!app()->recentFiles()->files().contains(files[4]));
        QCOMPARE(
            QSettings(iniFile(), QSettings::IniFormat).value("Recent File List/File1").toString(),
            files[1]);
    }

    void droppedFilesOpen() {
        QVERIFY(app()->InitInstance({}));
        const QString a = write("arrastrado.txt", "x");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(a)});
        QWidget* target = app()->mainFrame()->mdiArea()->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCOMPARE(documentTitles(), QStringLiteral("Texto1 arrastrado.txt"));
    }

    // The running program on this thread, the later start (which waits for the answer) on
    // another: the file opens in the running one, and the later start makes nothing.
    void laterStartHandsItsFileOver() {
        const QString name = "zento-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
        app()->setInstanceServerName(name);
        QVERIFY(app()->InitInstance({}));
        const QString file = write("entregado.txt", "x");
        bool forwarded = false;
        QThread* later = QThread::create([&] { forwarded = SingleInstance(name).forward({file}); });
        later->start();
        QTRY_VERIFY(later->isFinished());
        delete later;
        QVERIFY(forwarded);
        QTRY_COMPARE(documentTitles(), QStringLiteral("Texto1 entregado.txt"));
        QCOMPARE(app()->documents()->activeDocument()->GetPathName(), file);
    }

    void aboutBox() {
        QVERIFY(app()->InitInstance({}));
        QStringList texts;
        QString caption;
        QString button;
        QSize iconSize;
        bool fits = true;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (!about)
                return;
            caption = about->windowTitle();
            for (const QLabel* label : about->findChildren<QLabel*>()) {
                if (!label->pixmap().isNull()) {
                    iconSize = label->pixmap().deviceIndependentSize().toSize();
                    continue;
                }
                texts << label->text();
                fits =
                    fits && label->fontMetrics().horizontalAdvance(label->text()) <= label->width();
            }
            const QList<QPushButton*> buttons = about->findChildren<QPushButton*>();
            button = buttons.size() == 1 && buttons.first()->isDefault() ? buttons.first()->text()
                                                                         : QString();
            QTest::keyClick(about, Qt::Key_Escape);
        });
        app()->mainFrame()->commandAction(ID_APP_ABOUT)->trigger();
        QCOMPARE(caption, QStringLiteral("Acerca de ZENTO"));
        QCOMPARE(texts.size(), 4);
        QCOMPARE(texts[0], QStringLiteral("ZENTO Versión 1.0"));
        QVERIFY(texts[1].contains("2026"));
        QCOMPARE(texts[3], QStringLiteral("Leer condiciones en el documento de ayuda."));
        QVERIFY2(fits, "a line of the About box is wider than its place");
        QCOMPARE(button, QStringLiteral("Aceptar"));
        QVERIFY(!iconSize.isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void helpDocument() {
        QVERIFY(app()->InitInstance({}));
        QAction* help = app()->mainFrame()->commandAction(ID_AYUDA_DOCUMENTO);

        // Nowhere: the message says where it looked, and nothing is opened.
        QTemporaryDir empty;
        QDir::setCurrent(empty.path());
        help->trigger();
        QMessageBox* box = openMessageBox();
        QVERIFY(box);
        QVERIFY(
            box->text().contains(QDir::toNativeSeparators(empty.filePath("manual/Index.html"))));
        QVERIFY(box->text().contains(QDir::toNativeSeparators(
            QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            "/" ZENTO_MANUAL_DIR_FROM_PROGRAM "/Index.html"))));
        box->close();
        QTRY_VERIFY(!openMessageBox());
        QVERIFY(m_opened.isEmpty());

        // In the working directory.
        QDir(m_dir.path()).mkpath("manual");
        const QString manual = write("manual/Index.html", "<html></html>");
        QDir::setCurrent(m_dir.path());
        help->trigger();
        QCOMPARE(m_opened, QStringList{manual});
        QVERIFY(!openMessageBox());

        // Found but the desktop cannot open it: said so.
        app()->setDesktopOpener([](const QString&) { return false; });
        help->trigger();
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().contains("No se ha podido abrir"));
        openMessageBox()->close();
        QDir::setCurrent(QCoreApplication::applicationDirPath());
    }

private:
    QString iniFile() const { return m_dir.filePath("zento.ini"); }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(bytes);
        return QFileInfo(file).canonicalFilePath();
    }

    QTemporaryDir m_dir;
    QStringList m_errors;
    QStringList m_opened;
};

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    CZENTOApp application(argc, argv);
    TestZentoApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zentoapp.moc"
