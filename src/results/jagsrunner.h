// Running JAGS scripts in the background: one QProcess per job, at most a given number at once,
// the iterations each has done read from what it writes, and every process stopped on
// cancelling or at the first failure. The interface never waits for a process.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QProcess;

namespace zento {

struct JagsJob {
    QString directory;     // where JAGS runs
    QString script;        // the script's file name in directory
    qint64 iterations = 0; // the updates it asks for
    QString label;         // what messages call it: "cadena 2", "logit, cadena 2"
};

class JagsRunner : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Running, Done, Failed, Cancelled };
    // The iterations a run has done, from all it has written on its standard output so far.
    using ProgressReader = std::function<qint64(const QByteArray& output)>;

    JagsRunner(QString program, std::vector<JagsJob> jobs, int parallel, ProgressReader progress,
               QObject* parent = nullptr);
    ~JagsRunner() override;

    // Starts the first jobs; finished comes later, never from within start.
    void start();
    // Stops every process and waits until each is gone; then finished(Cancelled).
    void cancel();

    const std::vector<JagsJob>& jobs() const { return m_jobs; }
    qint64 done(std::size_t job) const { return m_runs[job].done; }
    Outcome outcome() const { return m_outcome; }
    // Failed: which job, and what JAGS said (or why it could not start).
    QString failure() const { return m_failure; }
    // Failed because the program could not be started at all.
    bool programMissing() const { return m_programMissing; }
    // The processes started and not yet finished.
    int running() const;

signals:
    void progressed();
    // A job ended well, as it ends.
    void jobFinished(std::size_t job);
    void finished(JagsRunner::Outcome outcome);

private:
    struct Run {
        QProcess* process = nullptr;
        QByteArray output;
        qint64 done = 0;
        bool ended = false;
    };

    void startNext();
    void onFinished(std::size_t job, int exitCode, bool crashed);
    void fail(std::size_t job, const QString& why);
    void stopAll();
    void end(Outcome outcome);

    QString m_program;
    std::vector<JagsJob> m_jobs;
    std::vector<Run> m_runs;
    int m_parallel;
    ProgressReader m_progress;
    std::size_t m_next = 0;
    Outcome m_outcome = Outcome::Running;
    QString m_failure;
    bool m_programMissing = false;
};

} // namespace zento
