// Fitting from the command line: the bundle, one JAGS process per chain, the merged output, and
// what the fit says.
#include "fitcommands.h"

#include "clicommon.h"
#include "datafile/systemfile.h"
#include "fit/fitplan.h"
#include "fit/fitreport.h"
#include "jagscommand.h"
#include "jagsrun.h"
#include "processes.h"
#include "scratchdir.h"
#include "sink.h"

#include <filesystem>
#include <future>
#include <span>
#include <thread>

namespace zento::cli {

namespace {

namespace fs = std::filesystem;

int Failure(std::FILE* err, const std::string& message) {
    WriteMessage(err, message);
    return kExitDataError;
}

int Print(const std::string& text, std::FILE* out, std::FILE* err) {
    std::fputs(text.c_str(), out);
    if (Status finished = FinishStream(out); !finished)
        return Refuse(err, finished.error());
    return kExitOk;
}

int DefaultProcesses() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// One link to fit: its plan, where its chains run and where its bundle and output go.
struct LinkFit {
    Link link;
    fit::FitPlan plan;
    fs::path work;      // the chains' folders
    fs::path directory; // the bundle and the merged output
};

// Writes every link's bundle and chain folders and runs all the chains, at most P JAGS processes
// at once. As soon as a link's chains are all done, its output is merged into its folder and read
// there on a thread of its own while JAGS goes on with the other links: reading is ZENTO's own
// share of the work, and this way it hides behind JAGS's. The models in the links' order, or the
// exit status when something stopped it.
std::variant<std::vector<fit::FittedModel>, int>
FitAll(const Command& command, std::vector<LinkFit>& fits, const std::string& jags,
       const InterruptWatch& watch, std::FILE* err) {
    std::vector<JagsJob> jobs;
    std::vector<std::size_t> linkOf;
    for (std::size_t i = 0; i < fits.size(); ++i) {
        const LinkFit& fit = fits[i];
        if (Status written = fit::WriteFitPlan(fit.plan, fit.work, fit.directory); !written)
            return Refuse(err, written.error());
        for (const fit::ChainRun& run : fit.plan.chains) {
            const fs::path folder = fit.work / run.folder;
            std::string label = "la cadena " + std::to_string(run.chain);
            if (fits.size() > 1)
                label += " de " + std::string(GetLinkInfo(fit.link).key);
            jobs.push_back({folder, run.script, run.iterations, label});
            linkOf.push_back(i);
        }
    }
    using Read = fit::FitResult<fit::FittedModel>;
    std::vector<std::future<Read>> reads(fits.size());
    std::vector<std::size_t> chainsLeft;
    for (const LinkFit& fit : fits)
        chainsLeft.push_back(fit.plan.chains.size());
    const auto chainDone = [&](std::size_t job) {
        const std::size_t i = linkOf[job];
        if (--chainsLeft[i] > 0)
            return;
        reads[i] = std::async(std::launch::async, [&fit = fits[i]]() -> Read {
            if (fit::FitStatus merged = fit::CollectChainOutputs(fit.plan, fit.work, fit.directory);
                !merged)
                return merged.error();
            return fit::ReadFittedDirectory(fit.directory);
        });
    };
    const int processes = command.processes.value_or(DefaultProcesses());
    switch (RunJagsJobs(jags, jobs, processes, err, chainDone)) {
    case RunOutcome::Done:
        break;
    case RunOutcome::Failed:
        return kExitDataError;
    case RunOutcome::Interrupted:
        return kExitInterrupted;
    }
    std::vector<fit::FittedModel> models;
    for (std::future<Read>& read : reads) {
        Read model = read.get();
        if (!model)
            return Failure(err, fit::DescribeFitError(model.error()));
        models.push_back(std::move(*model));
    }
    if (watch.interrupted())
        return kExitInterrupted;
    return models;
}

// What ajustar and comparar share before JAGS runs: JAGS itself, the checked data, a scratch
// folder.
struct Prepared {
    std::string jags;
    DataSelection selection;
    ChosenTable table;
    ScratchDirectory scratch;
};

std::variant<Prepared, int> Prepare(const Command& command, std::FILE* err) {
    std::optional<TableForJags> input = ReadTableForJags(command, err);
    if (!input)
        return kExitDataError;
    std::string jags = fit::ChooseJags(command.jags);
    if (auto missing = DescribeMissingJags(jags))
        return Failure(err, *missing);
    auto scratch = ScratchDirectory::Create();
    if (!scratch)
        return Failure(err, "No se puede crear una carpeta temporal: " +
                                DescribeDataError(scratch.error()));
    return Prepared{std::move(jags), input->selection, std::move(input->table),
                    std::move(*scratch)};
}

// What ajustar and comparar share: JAGS and the checked data, each link planned with the work
// folder and bundle folder that folders(link, scratch) gives it, all of them run, the models read
// (in the links' order), or the exit status when something stopped it.
template <class Folders>
std::variant<std::vector<fit::FittedModel>, int>
FitLinks(const Command& command, std::span<const Link> links, std::FILE* err, Folders folders) {
    InterruptWatch watch;
    auto prepared = Prepare(command, err);
    if (const int* status = std::get_if<int>(&prepared))
        return *status;
    Prepared& p = std::get<Prepared>(prepared);
    std::vector<LinkFit> fits;
    for (Link link : links) {
        auto [work, directory] = folders(link, p.scratch.path());
        fits.push_back({link, fit::PlanFit(link, p.table, p.selection, JagsOptionsOf(command)),
                        std::move(work), std::move(directory)});
    }
    return FitAll(command, fits, p.jags, watch, err);
}

int PrintSummary(const Command& command, const fit::FittedModel& model, std::FILE* out,
                 std::FILE* err) {
    return Print(command.format.value_or(OutputFormat::Tabla) == OutputFormat::Csv
                     ? fit::SummaryCsv(model)
                     : fit::SummaryTable(model),
                 out, err);
}

} // namespace

int Ajustar(const Command& command, std::FILE* out, std::FILE* err) {
    const Link links[] = {command.link};
    auto models = FitLinks(command, links, err, [&](Link, const fs::path& scratch) {
        return std::pair(scratch / "cadenas",
                         command.directory ? PathFromUtf8(*command.directory) : scratch / "ajuste");
    });
    if (const int* status = std::get_if<int>(&models))
        return *status;
    return PrintSummary(command, std::get<0>(models).front(), out, err);
}

int Resumir(const Command& command, std::FILE* out, std::FILE* err) {
    auto model = fit::ReadFittedDirectory(PathFromUtf8(command.path));
    if (!model)
        return Failure(err, fit::DescribeFitError(model.error()));
    return PrintSummary(command, *model, out, err);
}

int Comparar(const Command& command, std::FILE* out, std::FILE* err) {
    std::vector<Link> links;
    for (const LinkInfo& info : Links())
        links.push_back(info.link);
    if (command.links)
        links = *command.links;
    auto fitted = FitLinks(command, links, err, [&](Link link, const fs::path& scratch) {
        const std::string key(GetLinkInfo(link).key);
        return std::pair(scratch / key, command.directory ? PathFromUtf8(*command.directory) / key
                                                          : scratch / key / "ajuste");
    });
    if (const int* status = std::get_if<int>(&fitted))
        return *status;
    std::vector<fit::ComparedModel> models;
    for (std::size_t i = 0; i < links.size(); ++i)
        models.push_back(
            {std::string(GetLinkInfo(links[i]).key), std::move(std::get<0>(fitted)[i])});
    auto ranked = fit::RankModels(models);
    if (!ranked)
        return Failure(err, fit::DescribeFitError(ranked.error()));
    return Print(command.format.value_or(OutputFormat::Tabla) == OutputFormat::Csv
                     ? fit::ComparisonCsv(*ranked)
                     : fit::ComparisonTable(*ranked),
                 out, err);
}

} // namespace zento::cli
