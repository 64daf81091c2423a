// The data table taken from the variables of an R dump.
#include "fitdata.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace zento::fit {

namespace {

std::string FormatNumber(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

} // namespace

FitResult<FitData> FitDataFromDump(const RDump& dump, std::span<const std::string> columns) {
    if (columns.empty())
        return MakeFitError(FitErrorKind::NoDraws, dump.file);
    std::vector<const DumpVariable*> found;
    for (const std::string& name : columns) {
        const DumpVariable* variable = dump.find(name);
        if (!variable) {
            FitError error = MakeFitError(FitErrorKind::MissingColumn, dump.file);
            error.subject = name;
            return error;
        }
        found.push_back(variable);
    }
    const std::size_t cases = found.front()->values.size();
    for (const DumpVariable* variable : found) {
        if (variable->values.size() != cases) {
            FitError error =
                MakeFitError(FitErrorKind::ColumnLength, dump.file, variable->line,
                             std::to_string(cases), std::to_string(variable->values.size()));
            error.subject = variable->name;
            return error;
        }
    }
    FitData data;
    data.responseName = found.front()->name;
    data.response = found.front()->values;
    for (std::size_t i = 0; i < cases; ++i) {
        const double y = data.response[i];
        if (!std::isnan(y) && y != 0 && y != 1) {
            FitError error = MakeFitError(FitErrorKind::NotBinary, dump.file, found.front()->line,
                                          std::to_string(i + 1), FormatNumber(y));
            error.subject = data.responseName;
            return error;
        }
    }
    for (std::size_t j = 1; j < found.size(); ++j) {
        for (std::size_t i = 0; i < cases; ++i) {
            if (std::isnan(found[j]->values[i]) && !std::isnan(data.response[i])) {
                FitError error = MakeFitError(FitErrorKind::MissingCovariate, dump.file,
                                              found[j]->line, std::to_string(i + 1));
                error.subject = found[j]->name;
                return error;
            }
        }
        data.covariateNames.push_back(found[j]->name);
        data.covariates.push_back(found[j]->values);
    }
    return data;
}

} // namespace zento::fit
