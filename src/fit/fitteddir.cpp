// Reading a fitted folder: draws, data and the link, then every summary and criterion.
#include "fitteddir.h"

#include "coda.h"
#include "fitdata.h"
#include "loglik.h"
#include "rdump.h"
#include "textfiles.h"
#include "winbugs/jagsexport.h"

#include <system_error>

namespace zento::fit {

namespace {

// The columns zento-cli jags wrote to datos.R are its vectors, the response first; the counts
// before them are single values.
std::vector<std::string> DataColumns(const RDump& dump) {
    std::vector<std::string> columns;
    for (const DumpVariable& variable : dump.variables) {
        if (variable.vector)
            columns.push_back(variable.name);
    }
    return columns;
}

std::string JagsModelTextFor(Link link, const ModelNames& names, const DataSelection& selection) {
    return JagsModelText(BuildModelParts(GetLinkInfo(link), names, selection));
}

// The link whose model text, written for these columns and cases, is modelo.bug byte for byte.
std::optional<Link> RecogniseLink(const std::string& model, const std::vector<std::string>& columns,
                                  std::int64_t cases) {
    if (columns.empty())
        return std::nullopt;
    ModelNames names;
    names.response = columns.front();
    names.covariates.assign(columns.begin() + 1, columns.end());
    DataSelection selection;
    selection.K = static_cast<std::int32_t>(columns.size());
    selection.N = static_cast<std::int32_t>(cases);
    selection.chosenVariables = selection.K;
    selection.chosenCases = selection.N;
    for (const LinkInfo& info : Links()) {
        if (JagsModelTextFor(info.link, names, selection) == model)
            return info.link;
    }
    return std::nullopt;
}

std::string ParameterName(const std::string& parameter, const std::vector<std::string>& columns) {
    if (parameter == "beta[1]")
        return "(ordenada)";
    if (parameter.starts_with("beta[") && parameter.ends_with("]")) {
        const std::string index = parameter.substr(5, parameter.size() - 6);
        if (!index.empty() && index.find_first_not_of("0123456789") == std::string::npos &&
            index.size() < 10) {
            const std::size_t j = std::stoul(index);
            if (j >= 2 && j <= columns.size())
                return columns[j - 1];
        }
    }
    return parameter;
}

} // namespace

FitResult<FittedModel> ReadFittedDirectory(const std::filesystem::path& directory) {
    auto folder = ReadFittedFolder(directory);
    if (!folder)
        return folder.error();
    return std::move(folder->model);
}

FitResult<FittedFolder> ReadFittedFolder(const std::filesystem::path& directory) {
    auto draws = ReadCoda(directory);
    if (!draws)
        return draws.error();
    auto dump = ReadRDump(directory / "datos.R");
    if (!dump)
        return dump.error();
    const std::vector<std::string> columns = DataColumns(*dump);

    FittedModel model;
    model.chains = draws->chains;
    model.iterations = draws->iterations;
    for (std::size_t p = 0; p < draws->names.size(); ++p) {
        model.parameters.push_back({draws->names[p], ParameterName(draws->names[p], columns),
                                    Summarise(draws->parameter(p))});
    }

    // A folder without modelo.bug still has draws worth summarising.
    std::error_code ec;
    if (!std::filesystem::exists(directory / "modelo.bug", ec))
        return FittedFolder{std::move(*draws), std::move(model)};
    auto text = ReadTextFile(directory / "modelo.bug");
    if (!text)
        return text.error();
    const DumpVariable* response = columns.empty() ? nullptr : dump->find(columns.front());
    const auto cases = static_cast<std::int64_t>(response ? response->values.size() : 0);
    model.link = RecogniseLink(*text, columns, cases);
    if (!model.link)
        return FittedFolder{std::move(*draws), std::move(model)};
    auto data = FitDataFromDump(*dump, columns);
    if (!data)
        return data.error();
    auto logLikelihood = BuildLogLikelihood(*model.link, *draws, *data);
    if (!logLikelihood)
        return logLikelihood.error();
    model.loo = LeaveOneOut(*logLikelihood);
    model.waic = WidelyApplicable(*logLikelihood);
    return FittedFolder{std::move(*draws), std::move(model)};
}

} // namespace zento::fit
