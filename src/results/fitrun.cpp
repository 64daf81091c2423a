// A fit in the background: the plan written out, the JAGS processes, and each link read back.
#include "results/fitrun.h"

#include "datafile/systemfile.h"
#include "framework/commands.h"
#include "results/jagsrunner.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <string_view>
#include <system_error>

namespace zento {

namespace {

namespace fs = std::filesystem;

} // namespace

QString jagsProgram() {
    return QString::fromStdString(fit::ChooseJags(std::nullopt));
}

std::optional<QString> missingJags(const QString& program) {
    const bool bare = !program.contains(QLatin1Char('/')) && !program.contains(QLatin1Char('\\'));
    const bool found = bare ? !QStandardPaths::findExecutable(program).isEmpty()
                            : QFileInfo(program).isExecutable() && QFileInfo(program).isFile();
    if (found)
        return std::nullopt;
    return QString::fromStdString(
        fit::DescribeMissingJags(program.toStdString(), fit::JagsNaming::Variable));
}

FitRun::FitRun(QString program, FitPurpose purpose, const FitSettings& settings, QObject* parent)
    : QObject(parent), m_program(std::move(program)), m_purpose(purpose), m_settings(settings) {}

FitRun::~FitRun() {
    // The readers work on this object's plans and folders.
    waitForReading();
}

QString FitRun::scratchPath() const {
    return m_scratch ? m_scratch->path() : QString();
}

std::optional<QString> FitRun::start(const ChosenTable& table, const DataSelection& selection) {
    m_scratch = std::make_shared<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zento-XXXXXX"));
    if (!m_scratch->isValid())
        return QStringLiteral("No se puede crear una carpeta temporal en %1: %2.")
            .arg(QDir::toNativeSeparators(QDir::tempPath()), m_scratch->errorString());
    const fs::path scratch = pathOf(m_scratch->path());
    const fs::path chosen = pathOf(m_settings.folder);
    const bool compare = m_purpose == FitPurpose::Compare;
    const JagsOptions options = jagsOptionsOf(m_settings);
    std::vector<JagsJob> jobs;
    m_links.reserve(m_settings.links.size());
    for (const Link link : m_settings.links) {
        const std::string key(GetLinkInfo(link).key);
        LinkFit& fit = m_links.emplace_back();
        fit.link = link;
        fit.plan = fit::PlanFit(link, table, selection, options);
        fit.work = compare ? scratch / "cadenas" / key : scratch / "cadenas";
        if (m_settings.folder.isEmpty())
            fit.directory = compare ? scratch / key / "ajuste" : scratch / "ajuste";
        else
            fit.directory = compare ? chosen / key : chosen;
        if (const Status written = fit::WriteFitPlan(fit.plan, fit.work, fit.directory); !written) {
            m_scratch.reset();
            return QString::fromStdString(DescribeDataError(written.error()));
        }
        fit.chainsLeft = fit.plan.chains.size();
        for (const fit::ChainRun& run : fit.plan.chains) {
            QString label = QStringLiteral("cadena %1").arg(run.chain);
            if (compare)
                label = toQString(GetLinkInfo(link).label) + QStringLiteral(", ") + label;
            jobs.push_back({qPath(fit.work / run.folder), QString::fromStdString(run.script),
                            run.iterations, label});
            m_linkOfJob.push_back(m_links.size() - 1);
        }
    }
    m_runner = new JagsRunner(
        m_program, std::move(jobs), QThread::idealThreadCount(),
        [](const QByteArray& output) {
            return fit::IterationsDone(std::string_view(output.constData(), output.size()));
        },
        this);
    connect(m_runner, &JagsRunner::jobFinished, this, &FitRun::chainDone);
    connect(m_runner, &JagsRunner::finished, this, &FitRun::runnerFinished);
    m_runner->start();
    return std::nullopt;
}

void FitRun::cancel() {
    if (m_runner)
        m_runner->cancel();
}

void FitRun::chainDone(std::size_t job) {
    const std::size_t link = m_linkOfJob[job];
    if (--m_links[link].chainsLeft == 0)
        readLink(link);
}

void FitRun::readLink(std::size_t index) {
    LinkFit& link = m_links[index];
    link.reading = std::make_unique<QFutureWatcher<fit::FitResult<fit::FittedFolder>>>();
    connect(link.reading.get(), &QFutureWatcherBase::finished, this, [this, index] {
        m_links[index].read.emplace(m_links[index].reading->result());
        finishIfRead();
    });
    link.reading->setFuture(QtConcurrent::run([&link]() -> fit::FitResult<fit::FittedFolder> {
        fit::FitStatus merged = fit::CollectChainOutputs(link.plan, link.work, link.directory);
        // The chains' own output is in the results' folder now, or of no use.
        std::error_code ec;
        fs::remove_all(link.work, ec);
        if (!merged)
            return merged.error();
        return fit::ReadFittedFolder(link.directory);
    }));
}

void FitRun::runnerFinished() {
    switch (m_runner->outcome()) {
    case JagsRunner::Outcome::Done:
        m_jagsDone = true;
        finishIfRead();
        return;
    case JagsRunner::Outcome::Cancelled:
        finish(Outcome::Cancelled);
        return;
    default:
        finish(Outcome::Failed, m_runner->programMissing()
                                    ? missingJags(m_program).value_or(m_runner->failure())
                                    : m_runner->failure());
        return;
    }
}

void FitRun::finishIfRead() {
    if (!m_jagsDone || m_outcome != Outcome::Running)
        return;
    for (const LinkFit& link : m_links) {
        if (!link.read)
            return;
        if (!*link.read) {
            finish(Outcome::Failed,
                   QString::fromStdString(fit::DescribeFitError(link.read->error())));
            return;
        }
    }
    // Results in a temporary folder keep it while a window shows them.
    const std::shared_ptr<QTemporaryDir> scratch =
        m_settings.folder.isEmpty() ? m_scratch : std::shared_ptr<QTemporaryDir>();
    std::vector<std::shared_ptr<const FitResults>> fits;
    for (LinkFit& link : m_links) {
        auto results = std::make_shared<FitResults>();
        results->folder = Utf8FromPath(link.directory);
        results->draws = std::move(link.read->value().draws);
        results->model = std::move(link.read->value().model);
        results->settings = RunSettings{m_settings.burnIn, m_settings.seed};
        results->scratch = scratch;
        fits.push_back(std::move(results));
    }
    if (m_purpose != FitPurpose::Compare) {
        m_fit = fits.front();
        finish(Outcome::Done);
        return;
    }
    std::vector<Link> links;
    for (const LinkFit& link : m_links)
        links.push_back(link.link);
    auto comparison = compareFits(m_settings.folder.isEmpty() ? m_scratch->path().toStdString()
                                                              : m_settings.folder.toStdString(),
                                  std::move(fits), links, scratch);
    if (!comparison) {
        finish(Outcome::Failed, QString::fromStdString(fit::DescribeFitError(comparison.error())));
        return;
    }
    m_comparison = std::move(*comparison);
    finish(Outcome::Done);
}

void FitRun::waitForReading() {
    for (LinkFit& link : m_links) {
        if (link.reading)
            link.reading->waitForFinished();
    }
}

void FitRun::finish(Outcome outcome, const QString& failure) {
    if (m_outcome != Outcome::Running)
        return;
    m_outcome = outcome;
    m_failure = failure;
    waitForReading();
    // The chains' folders go now; the results' folder lives on with a window when it is
    // temporary.
    m_scratch.reset();
    emit finished(this);
}

} // namespace zento
