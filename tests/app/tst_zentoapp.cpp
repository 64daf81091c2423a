// The application: start-up with and without files, print switches, bad files and arguments,
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

using namespace zento;

namespace {

CZENTOApp* app() {
    return static_cast<CZENTOApp*>(QCoreApplication::instance());
}

QString uniqueName() {
    return "zento-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
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
        QFile::remove(iniFile());
        QFile::remove(m_dir.filePath("salida.pdf"));
        m_errors.clear();
        m_opened.clear();
        QDir::setCurrent(m_dir.path());
        app()->setSettingsStore(SettingsStore(iniFile()));
        app()->setInstanceServerName(uniqueName());
        app()->setStartupErrorReporter([this](const QString& message) { m_errors << message; });
        app()->setDesktopOpener([this](const QString& path) { return m_opened << path, true; });
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
        QCOMPARE(app()->mainFrame()->windowTitle(), QStringLiteral("ZENTO - Texto1"));
        QVERIFY(m_errors.isEmpty());
    }

    void opensFilesNamedOnTheCommandLine() {
        const QString a = write("a.txt", "uno\r\n");
        const QString b = write("b b.txt", "dos");
        QVERIFY(app()->InitInstance({"a.txt", b}));
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
        QVERIFY(!app()->InitInstance(arguments));
        QCOMPARE(app()->exitCode(), 1);
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors.first().contains(message), qPrintable(m_errors.first()));
        QVERIFY(!app()->mainFrame() || !app()->mainFrame()->isVisible());
    }

    void printSwitchesPrintAndEnd() {
        const QString file = write("imprimir.txt", "línea uno\r\nlínea dos\r\n");
        for (const char* print : {"/p", "--imprimir"}) {
            QVERIFY(!app()->InitInstance({print, file}));
            QCOMPARE(app()->exitCode(), 0);
            QVERIFY(m_errors.isEmpty());
            QVERIFY(!app()->mainFrame()->isVisible());
            QVERIFY(QFileInfo(m_dir.filePath("salida.pdf")).size() > 0);
            QVERIFY(QFile::remove(m_dir.filePath("salida.pdf")));
        }
    }

    void recentFilesKeepFourAcrossRuns() {
        QStringList files;
        for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"})
            files << write(name, name);
        QVERIFY(app()->InitInstance(files));
        // The next run finds the newest four in the settings and shows them in "&Archivo".
        QVERIFY(app()->InitInstance({}));
        QCOMPARE(app()->recentFiles()->files(),
                 (QStringList{files[4], files[3], files[2], files[1]}));
        QStringList shown;
        for (const QAction* action :
             app()->mainFrame()->menuBar()->actions().first()->menu()->actions()) {
            if (action->isVisible() && action->statusTip() == QStringLiteral("Abre este documento"))
                shown << action->text();
        }
        QCOMPARE(shown, (QStringList{"&1 " + QDir::toNativeSeparators(files[4]),
                                     "&2 " + QDir::toNativeSeparators(files[3]),
                                     "&3 " + QDir::toNativeSeparators(files[2]),
                                     "&4 " + QDir::toNativeSeparators(files[1])}));

        // An entry opens its file; one that has gone is reported and leaves the list.
        findCommandAction(app()->recentFiles(), ID_FILE_MRU_FILE4)->trigger();
        QCOMPARE(app()->documents()->activeDocument()->GetPathName(), files[1]);
        QFile::remove(files[4]);
        findCommandAction(app()->recentFiles(), ID_FILE_MRU_FILE2)->trigger();
        QCOMPARE(m_errors.size(), 1);
        QCOMPARE(QSettings(iniFile(), QSettings::IniFormat).value("Recent File List/File1"),
                 files[1]);
        QVERIFY(!app()->recentFiles()->files().contains(files[4]));
    }

    // A file dropped on the window, and one handed over by a later start (on a thread of its
    // own, since it waits for the answer), open in the running program.
    void filesFromElsewhereOpen() {
        const QString name = uniqueName();
        app()->setInstanceServerName(name);
        QVERIFY(app()->InitInstance({}));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(write("arrastrado.txt", "x"))});
        QWidget* target = app()->mainFrame()->mdiArea()->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QCOMPARE(documentTitles(), QStringLiteral("Texto1 arrastrado.txt"));

        const QString file = write("entregado.txt", "x");
        bool forwarded = false;
        std::unique_ptr<QThread> later(
            QThread::create([&] { forwarded = SingleInstance(name).forward({file}); }));
        later->start();
        QTRY_VERIFY(later->isFinished());
        QVERIFY(forwarded);
        QTRY_COMPARE(documentTitles(), QStringLiteral("Texto1 arrastrado.txt entregado.txt"));
    }

    void aboutBox() {
        QVERIFY(app()->InitInstance({}));
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
        app()->mainFrame()->commandAction(ID_APP_ABOUT)->trigger();
        QCOMPARE(caption, QStringLiteral("Acerca de ZENTO"));
        QCOMPARE(texts, (QStringList{
                            "ZENTO Versión 1.0", ZENTO_COPYRIGHT, "Regresión binaria para WinBUGS",
                            "Leer condiciones en el documento de ayuda.", "Aceptar (default)"}));
        QVERIFY2(fits, "a line of the About box is wider than its place");
        QVERIFY(hasIcon);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void helpDocument() {
        QVERIFY(app()->InitInstance({}));
        QAction* help = app()->mainFrame()->commandAction(ID_AYUDA_DOCUMENTO);

        // Nowhere: the message says where it looked, and nothing is opened.
        help->trigger();
        QVERIFY(openMessageBox());
        const QString text = openMessageBox()->text();
        QVERIFY(text.contains(QDir::toNativeSeparators(m_dir.filePath("manual/Index.html"))));
        QVERIFY(text.contains(QDir::toNativeSeparators(
            QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            "/" ZENTO_MANUAL_DIR_FROM_PROGRAM "/Index.html"))));
        openMessageBox()->close();
        QVERIFY(m_opened.isEmpty());

        // In the working directory; then found but not opened by the desktop, which is said.
        QDir(m_dir.path()).mkpath("manual");
        const QString manual = write("manual/Index.html", "<html></html>");
        help->trigger();
        QCOMPARE(m_opened, QStringList{manual});
        QVERIFY(!openMessageBox());
        app()->setDesktopOpener([](const QString&) { return false; });
        help->trigger();
        QVERIFY(openMessageBox() && openMessageBox()->text().contains("No se ha podido abrir"));
        openMessageBox()->close();
        QFile::remove(manual);
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
