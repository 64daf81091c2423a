// What the framework asks of the desktop: the data file dialog, opening documents, and long
// jobs with a progress dialog.
#include "framework/datafilepicker.h"
#include "framework/progressrunner.h"
#include "framework/shellopen.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <thread>

using namespace zento;
using namespace std::chrono_literals;

class Desktop : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void dataFileDialog() {
        const QList<NameFilter> filters = dataFileNameFilters();
        QCOMPARE(filters.size(), 2);
        QCOMPARE(filters[0].label, "Archivos de Texto(*.txt)");
        QCOMPARE(filters[1].label, " Todos los Archivos (*.*)");
        QVERIFY(QDir::match(filters[0].patterns, QStringLiteral("datos.txt")));
        QVERIFY(!QDir::match(filters[0].patterns, QStringLiteral("datos.dat")));
        for (const char* name : {"datos.txt", "datos.dat", "datos"})
            QVERIFY2(QDir::match(filters[1].patterns, QString::fromLatin1(name)), name);

        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("examples")));
        const auto dialog = createDataFileDialog(nullptr);
        QDir::setCurrent(previous);
        QCOMPARE(dialog->windowTitle(), "Abrir Datos");
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog->nameFilters().size(), 2);
        QCOMPARE(dialog->directory().dirName(), "examples");
    }

    void openWithDesktop() {
        Desktop desktop;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &desktop, "open");
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("manual")));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const bool missing = zento::openWithDesktop(QStringLiteral("manual/Index.html"));
        QFile(QStringLiteral("manual/Index.html")).open(QIODevice::WriteOnly);
        const bool present = zento::openWithDesktop(QStringLiteral("manual/Index.html"));
        QDir::setCurrent(previous);
        const bool url = zento::openWithDesktop(QStringLiteral("https://example.org/ayuda"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

        QVERIFY(!missing && present && url);
        const QList<QUrl> expected{QUrl::fromLocalFile(dir.filePath("manual/Index.html")),
                                   QUrl(QStringLiteral("https://example.org/ayuda"))};
        QCOMPARE(desktop.opened, expected);
    }

    // A short job runs on a worker and shows nothing; a long one shows a modal progress
    // dialog whose "Cancelar" stops it, while the event loop keeps running.
    void progress_data() {
        QTest::addColumn<int>("jobMs");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("short") << 30 << false;
        QTest::newRow("long, Cancelar") << 5000 << true;
    }
    void progress() {
        QFETCH(int, jobMs);
        QFETCH(bool, cancel);
        QWidget parent;
        parent.show();
        int ticks = 0;
        bool sawProgress = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            ++ticks;
            auto* progress = parent.findChild<QProgressDialog*>();
            if (progress && progress->isVisible() && progress->isModal() && !sawProgress) {
                sawProgress = true;
                QTest::keyClick(progress, Qt::Key_Escape);
            }
        });
        watch.start(20);
        const Qt::HANDLE uiThread = QThread::currentThreadId();
        const auto [onWorker, cancelled] = runWithProgress(
            &parent, QStringLiteral("Leyendo"),
            [&](ProgressState& state) {
                state.total = jobMs;
                for (int ms = 0; ms < jobMs && !state.cancelRequested; ms += 10) {
                    state.done = ms;
                    std::this_thread::sleep_for(10ms);
                }
                return std::pair(QThread::currentThreadId() != uiThread,
                                 bool(state.cancelRequested));
            },
            200ms);
        QVERIFY(onWorker);
        QCOMPARE(sawProgress, cancel);
        QCOMPARE(cancelled, cancel);
        QVERIFY(ticks >= 1);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
