// Waiting for a worker with a progress dialog.
#include "framework/progressrunner.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QTimer>

namespace zento {

namespace {

constexpr int kSteps = 1000;

void showProgress(QProgressDialog& dialog, const ProgressState& state) {
    const std::uint64_t total = state.total.load();
    if (total == 0)
        return;
    const std::uint64_t done = std::min(state.done.load(), total);
    dialog.setMaximum(kSteps);
    dialog.setValue(static_cast<int>(done * kSteps / total));
}

} // namespace

void waitWithProgress(QWidget* parent, const QString& label, ProgressState& state,
                      const QFuture<void>& future, std::chrono::milliseconds delay) {
    QEventLoop loop;
    QFutureWatcher<void> watcher;
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(future);

    if (!future.isFinished()) {
        QTimer::singleShot(delay, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!future.isFinished()) {
        QProgressDialog dialog(label, QStringLiteral("Cancelar"), 0, 0, parent);
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setMinimumDuration(0);
        // Cancelling or closing the dialog ends this phase; the job is then asked to stop.
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &dialog,
                         [&dialog, &state] { showProgress(dialog, state); });
        poll.start(100);
        showProgress(dialog, state);
        dialog.show();
        if (!future.isFinished())
            loop.exec();
        if (!future.isFinished())
            state.cancelRequested = true;
    }
    // The job stops soon after a cancel; until then only non-input events are handled.
    while (!future.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace zento
