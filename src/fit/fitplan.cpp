// The per-chain runs of a fit and the merge of their outputs.
#include "fitplan.h"

#include "coda.h"
#include "datafile/systemfile.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <system_error>

namespace zento::fit {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::int64_t kSteps = 20; // the kept iterations' updates: a bar moving by 5 %

const JagsFile* FindFile(const std::vector<JagsFile>& files, std::string_view name) {
    const auto it = std::find_if(files.begin(), files.end(),
                                 [name](const JagsFile& file) { return file.name == name; });
    return it == files.end() ? nullptr : &*it;
}

// The script of one chain: the bundle's own commands for that chain alone, with its last update
// (the kept iterations) split in steps.
std::string ChainScript(std::vector<std::string> lines, std::int64_t iterations) {
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
        return line.starts_with("update ");
    });
    if (last != lines.rend() && iterations > 1) {
        const std::int64_t steps = std::min(iterations, kSteps);
        std::vector<std::string> split;
        for (std::int64_t s = 0; s < steps; ++s) {
            const std::int64_t size = iterations * (s + 1) / steps - iterations * s / steps;
            split.push_back("update " + std::to_string(size));
        }
        const auto at = lines.erase(std::next(last).base());
        lines.insert(at, split.begin(), split.end());
    }
    std::string script;
    for (const std::string& line : lines)
        script += line + std::string(kCrLf);
    return script;
}

} // namespace

FitPlan PlanFit(Link link, const ChosenTable& table, const DataSelection& selection,
                const JagsOptions& options) {
    FitPlan plan;
    plan.bundle = BuildJagsFiles(link, table, selection, options);
    ModelNames names;
    if (!table.names.empty()) {
        names.response = table.names.front();
        names.covariates.assign(table.names.begin() + 1, table.names.end());
    }
    const WinBugsParts parts = BuildModelParts(GetLinkInfo(link), names, selection);
    for (std::int32_t chain = 1; chain <= std::max(options.chains, 1); ++chain) {
        ChainRun run;
        run.chain = chain;
        run.folder = "cadena" + std::to_string(chain);
        run.script = "cadena.cmd";
        run.iterations = options.burnIn + options.iterations;
        const std::string inits = "inits" + std::to_string(chain) + ".R";
        for (const std::string_view name : {std::string_view("modelo.bug"),
                                            std::string_view("datos.R"), std::string_view(inits)}) {
            if (const JagsFile* file = FindFile(plan.bundle, name))
                run.files.push_back(*file);
        }
        const std::int32_t chains[] = {chain};
        run.files.push_back(
            {run.script, ChainScript(JagsScriptLines(parts, options, chains), options.iterations)});
        plan.chains.push_back(std::move(run));
    }
    return plan;
}

Status WriteFitPlan(const FitPlan& plan, const std::filesystem::path& work,
                    const std::filesystem::path& directory) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
        const std::string name = Utf8FromPath(entry.path().filename());
        if (name == "CODAindex.txt" || (name.starts_with("CODAchain") && name.ends_with(".txt")))
            std::filesystem::remove(entry.path(), ec);
    }
    if (Status written = WriteFilesIntoDirectory(Utf8FromPath(directory), plan.bundle); !written)
        return written;
    for (const ChainRun& run : plan.chains) {
        if (Status written = WriteFilesIntoDirectory(Utf8FromPath(work / run.folder), run.files);
            !written)
            return written;
    }
    return Done{};
}

FitStatus CollectChainOutputs(const FitPlan& plan, const std::filesystem::path& work,
                              const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> runs;
    for (const ChainRun& run : plan.chains)
        runs.push_back(work / run.folder);
    return MergeCodaRuns(runs, directory);
}

std::int64_t IterationsDone(std::string_view output) {
    constexpr std::string_view kUpdating = "Updating ";
    std::int64_t finished = 0, current = 0;
    std::size_t at = 0;
    while ((at = output.find(kUpdating, at)) != std::string_view::npos) {
        const bool lineStart = at == 0 || output[at - 1] == '\n';
        at += kUpdating.size();
        std::int64_t count = 0;
        const auto [end, ec] =
            std::from_chars(output.data() + at, output.data() + output.size(), count);
        if (!lineStart || ec != std::errc() || end == output.data() + output.size() ||
            (*end != '\n' && *end != '\r'))
            continue; // not a whole "Updating N" line yet
        finished += current;
        current = count;
    }
    return finished;
}

std::string ChooseJags(const std::optional<std::string>& named) {
    if (named)
        return *named;
    const char* variable = std::getenv("ZENTO_JAGS");
    return variable && *variable ? std::string(variable) : std::string("jags");
}

std::string DescribeMissingJags(const std::string& program, JagsNaming naming) {
    const bool bare = program.find_first_of("/\\") == std::string::npos;
    return (bare ? "No se encuentra el programa JAGS («" + program + "» no está en PATH)."
                 : "No se encuentra el programa JAGS en «" + program + "».") +
           " ZENTO ajusta los modelos con JAGS: en Debian o Ubuntu se instala con «sudo apt "
           "install jags»; en otros sistemas, con el instalador de la página del proyecto JAGS "
           "(https://mcmc-jags.sourceforge.io). Si ya está instalado, indique dónde con " +
           (naming == JagsNaming::OptionOrVariable ? "--jags RUTA o con la variable ZENTO_JAGS."
                                                   : "la variable ZENTO_JAGS.");
}

} // namespace zento::fit
