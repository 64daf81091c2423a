// One fit of one or more links in the background, planned as zento-cli plans it: each link's
// bundle in its folder, one JAGS process per chain in a temporary folder, and each link's chains
// merged and read back as soon as they have all ended, while JAGS goes on with the others. The
// interface never waits for it; cancelling stops every JAGS process and removes every temporary
// file.
#pragma once

#include "fit/fitplan.h"
#include "results/fitresults.h"
#include "results/fitsettings.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QTemporaryDir;

namespace zento {

class JagsRunner;

class FitRun : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Running, Done, Failed, Cancelled };

    // Nothing is written or started yet.
    FitRun(QString program, FitPurpose purpose, const FitSettings& settings,
           QObject* parent = nullptr);
    ~FitRun() override;

    // Writes every link's files and starts JAGS; the Spanish reason when nothing could start.
    std::optional<QString> start(const ChosenTable& table, const DataSelection& selection);
    void cancel();

    JagsRunner* runner() const { return m_runner; }
    FitPurpose purpose() const { return m_purpose; }
    Outcome outcome() const { return m_outcome; }
    // Done: the fit (FitPurpose::Fit) or the comparison; Failed: why, in Spanish.
    std::shared_ptr<const FitResults> results() const { return m_fit; }
    std::shared_ptr<const ComparisonResults> comparison() const { return m_comparison; }
    QString failure() const { return m_failure; }
    // The temporary folder the chains run in; gone once the run has ended, unless a window keeps
    // the results there.
    QString scratchPath() const;

signals:
    // Once, whatever the outcome.
    void finished(FitRun* run);

private:
    struct LinkFit {
        Link link;
        fit::FitPlan plan;
        std::filesystem::path work;
        std::filesystem::path directory;
        std::size_t chainsLeft = 0;
        std::unique_ptr<QFutureWatcher<fit::FitResult<fit::FittedFolder>>> reading;
        std::optional<fit::FitResult<fit::FittedFolder>> read;
    };

    void chainDone(std::size_t job);
    void readLink(std::size_t link);
    void runnerFinished();
    void finishIfRead();
    void finish(Outcome outcome, const QString& failure = {});
    void waitForReading();

    QString m_program;
    FitPurpose m_purpose;
    FitSettings m_settings;
    std::shared_ptr<QTemporaryDir> m_scratch;
    std::vector<LinkFit> m_links;
    std::vector<std::size_t> m_linkOfJob;
    JagsRunner* m_runner = nullptr;
    bool m_jagsDone = false;
    Outcome m_outcome = Outcome::Running;
    std::shared_ptr<const FitResults> m_fit;
    std::shared_ptr<const ComparisonResults> m_comparison;
    QString m_failure;
};

// The JAGS program the desktop runs: what the ZENTO_JAGS variable names, else "jags" on PATH.
QString jagsProgram();
// Nothing when program can be started; else the message that says how to install JAGS.
std::optional<QString> missingJags(const QString& program);

} // namespace zento
