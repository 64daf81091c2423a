// Long jobs off the user-interface thread: short ones show nothing, long ones a progress dialog
// that can cancel them, and the event loop keeps running meanwhile.
#include "framework/progressrunner.h"

#include <QApplication>
#include <QDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <thread>

using namespace zento;
using namespace std::chrono_literals;

namespace {

QProgressDialog* visibleProgress() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* progress = qobject_cast<QProgressDialog*>(widget);
            progress && progress->isVisible())
            return progress;
    }
    return nullptr;
}

// Reports progress until asked to stop (or for ten seconds at most).
int jobUntilCancelled(ProgressState& state) {
    state.total = 100;
    for (int i = 0; i < 1000; ++i) {
        if (state.cancelRequested)
            return -1;
        state.done = i % 100;
        std::this_thread::sleep_for(10ms);
    }
    return 1;
}

} // namespace

class TestProgressRunner : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void shortJobShowsNothing() {
        QDialog parent;
        parent.show();
        bool sawProgress = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this,
                [&] { sawProgress |= visibleProgress() != nullptr; });
        watch.start(5);
        const Qt::HANDLE uiThread = QThread::currentThreadId();
        const auto result =
            runWithProgress(&parent, QStringLiteral("Leyendo"), [&](ProgressState&) {
                std::this_thread::sleep_for(50ms);
                return QThread::currentThreadId() != uiThread;
            });
        QVERIFY(result); // ran on a worker
        QVERIFY(!sawProgress);
    }

    void longJobShowsProgressAndCancels() {
        QDialog parent;
        parent.show();
        int ticks = 0;
        QProgressDialog* seen = nullptr;
        QString label;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            ++ticks;
            if (QProgressDialog* progress = visibleProgress(); progress && !seen) {
                seen = progress;
                label = progress->labelText();
                QVERIFY(progress->isModal());
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            }
        });
        watch.start(20);
        const auto started = std::chrono::steady_clock::now();
        const int result =
            runWithProgress(&parent, QStringLiteral("Leyendo"), jobUntilCancelled, 200ms);
        const auto elapsed = std::chrono::steady_clock::now() - started;
        QCOMPARE(result, -1);
        QVERIFY(seen);
        QCOMPARE(label, "Leyendo");
        QVERIFY(elapsed >= 200ms);
        QVERIFY(elapsed < 5s);
        QVERIFY2(ticks >= 5, "the event loop ran while the job worked");
        QVERIFY(!visibleProgress());
    }

    void closingTheProgressDialogCancels() {
        QDialog parent;
        parent.show();
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (QProgressDialog* progress = visibleProgress())
                QTest::keyClick(progress, Qt::Key_Escape);
        });
        watch.start(20);
        QCOMPARE(runWithProgress(&parent, QStringLiteral("Leyendo"), jobUntilCancelled, 100ms), -1);
    }
};

QTEST_MAIN(TestProgressRunner)
#include "tst_progressrunner.moc"
