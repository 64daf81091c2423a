// Running a long job off the user-interface thread: the window stays painted, a job that takes
// longer than about half a second shows a progress dialog, and "Cancelar" asks the job to stop.
#pragma once

#include <QFuture>
#include <QString>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <utility>

class QWidget;

namespace zento {

// Shared between the job (any thread) and the progress dialog.
struct ProgressState {
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0}; // 0 while unknown
    std::atomic<bool> cancelRequested{false};
};

inline constexpr std::chrono::milliseconds kProgressDelay{500};

// Waits for future, processing events. Input to the windows is held back until the progress
// dialog shows (so a short job behaves like a blocking call); from then on the dialog is modal
// to parent's window, and closing or cancelling it sets state.cancelRequested. Always returns
// after the job has finished.
void waitWithProgress(QWidget* parent, const QString& label, ProgressState& state,
                      const QFuture<void>& future,
                      std::chrono::milliseconds delay = kProgressDelay);

// Runs job(state) on a worker thread, waits as above and returns the job's result; nothing when
// the user gave up waiting, whatever the job made.
template <class Job>
auto runWithProgress(QWidget* parent, const QString& label, Job&& job,
                     std::chrono::milliseconds delay = kProgressDelay) {
    using Value = std::invoke_result_t<Job&, ProgressState&>;
    ProgressState state;
    std::optional<Value> result;
    const QFuture<void> future = QtConcurrent::run([&] { result.emplace(job(state)); });
    waitWithProgress(parent, label, state, future, delay);
    if (state.cancelRequested)
        result.reset();
    return result;
}

} // namespace zento
