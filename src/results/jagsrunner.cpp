// The JAGS processes.
#include "results/jagsrunner.h"

#include <QProcess>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace zento {

namespace {

// The last lines JAGS wrote: where it says what went wrong.
QString tail(const QByteArray& output) {
    QList<QByteArray> lines = output.trimmed().split('\n');
    if (lines.size() > 6)
        lines = lines.mid(lines.size() - 6);
    return QString::fromLocal8Bit(lines.join('\n')).trimmed();
}

} // namespace

JagsRunner::JagsRunner(QString program, std::vector<JagsJob> jobs, int parallel,
                       ProgressReader progress, QObject* parent)
    : QObject(parent), m_program(std::move(program)), m_jobs(std::move(jobs)),
      m_runs(m_jobs.size()), m_parallel(std::max(parallel, 1)), m_progress(std::move(progress)) {}

JagsRunner::~JagsRunner() {
    // No process outlives the runner, whatever ended it.
    stopAll();
}

int JagsRunner::running() const {
    return int(std::ranges::count_if(m_runs, [](const Run& run) {
        return run.process && run.process->state() != QProcess::NotRunning;
    }));
}

void JagsRunner::start() {
    // Later, so that whoever started it has connected finished by then.
    QTimer::singleShot(0, this, [this] {
        if (m_jobs.empty())
            end(Outcome::Done);
        else
            startNext();
    });
}

void JagsRunner::startNext() {
    while (m_outcome == Outcome::Running && m_next < m_jobs.size() && running() < m_parallel) {
        const std::size_t job = m_next++;
        auto* process = new QProcess(this);
        m_runs[job].process = process;
        process->setWorkingDirectory(m_jobs[job].directory);
        process->setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
        // A group of its own, so that stopping it stops whatever it started as well.
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
        connect(process, &QProcess::readyReadStandardOutput, this, [this, job] {
            Run& run = m_runs[job];
            run.output += run.process->readAllStandardOutput();
            if (const qint64 done = m_progress ? m_progress(run.output) : 0; done != run.done) {
                run.done = done;
                emit progressed();
            }
        });
        connect(process, &QProcess::finished, this,
                [this, job](int exitCode, QProcess::ExitStatus status) {
                    onFinished(job, exitCode, status == QProcess::CrashExit);
                });
        connect(process, &QProcess::errorOccurred, this, [this, job](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart || m_outcome != Outcome::Running)
                return;
            m_programMissing = true;
            fail(job, m_runs[job].process->errorString());
        });
        process->start(m_program, {m_jobs[job].script});
    }
}

void JagsRunner::onFinished(std::size_t job, int exitCode, bool crashed) {
    Run& run = m_runs[job];
    run.ended = true;
    if (m_outcome != Outcome::Running)
        return;
    run.output += run.process->readAllStandardOutput();
    if (crashed || exitCode != 0) {
        fail(job, tail(run.output));
        return;
    }
    run.done = m_jobs[job].iterations;
    emit progressed();
    emit jobFinished(job);
    if (m_outcome != Outcome::Running)
        return;
    if (std::ranges::all_of(m_runs, &Run::ended))
        end(Outcome::Done);
    else
        startNext();
}

void JagsRunner::fail(std::size_t job, const QString& why) {
    m_failure = QStringLiteral("JAGS falló en %1:\n%2").arg(m_jobs[job].label, why);
    stopAll();
    end(Outcome::Failed);
}

void JagsRunner::cancel() {
    if (m_outcome != Outcome::Running)
        return;
    stopAll();
    end(Outcome::Cancelled);
}

void JagsRunner::stopAll() {
    for (Run& run : m_runs) {
        QProcess* process = run.process;
        if (!process || process->state() == QProcess::NotRunning)
            continue;
        process->blockSignals(true);
#ifdef Q_OS_UNIX
        if (const qint64 pid = process->processId(); pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
#endif
        process->kill();
        process->waitForFinished(5000);
        run.ended = true;
    }
}

void JagsRunner::end(Outcome outcome) {
    m_outcome = outcome;
    emit finished(outcome);
}

} // namespace zento
