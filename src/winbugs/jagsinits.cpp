// Where JAGS's chains start: the first at the model's Inits list, the others moved away from it.
#include "jagsexport.h"

#include "datacheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

namespace zento {

namespace {

std::string Format(double value) {
    char buffer[32];
    // Rounding leaves dust such as -1e-16 where the sum is zero.
    const double shown = std::abs(value) < 1e-9 ? 0.0 : value;
    const int size = std::snprintf(buffer, sizeof buffer, "%.6g", shown);
    return std::string(buffer, static_cast<std::size_t>(size));
}

// The covariates as numbers, by case; cases with a value that is not a number are left out.
std::vector<std::vector<double>> NumericCases(const ChosenTable& table, std::size_t covariates) {
    std::vector<std::vector<double>> cases;
    const std::size_t n = table.columns.empty() ? 0 : table.columns.front().size();
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<double> x;
        for (std::size_t j = 1; j <= covariates && j < table.columns.size(); ++j) {
            const std::optional<double> value = BugsNumber(table.columns[j][i]);
            if (!value)
                break;
            x.push_back(*value);
        }
        if (x.size() == covariates)
            cases.push_back(std::move(x));
    }
    return cases;
}

// The change of beta for one unit of chain offset. Each covariate's coefficient moves by one
// over its standard deviation, signs alternating, scaled down together when needed so that the
// linear predictor of every case moves by between 0.5 and 1.5 units: far enough to tell chains
// apart, near enough that no case's probability rounds to 0 or 1 (which JAGS refuses).
std::vector<double> BetaStep(const ChosenTable& table, std::size_t coefficients) {
    std::vector<double> step(coefficients, 0.0);
    if (coefficients == 0)
        return step;
    step[0] = 1;
    const std::size_t covariates = coefficients - 1;
    const std::vector<std::vector<double>> cases = NumericCases(table, covariates);
    if (covariates == 0 || cases.size() < 2)
        return step;
    std::vector<double> mean(covariates, 0.0), direction(covariates, 0.0);
    for (std::size_t j = 0; j < covariates; ++j) {
        double sum = 0, squares = 0;
        for (const auto& x : cases)
            sum += x[j];
        mean[j] = sum / static_cast<double>(cases.size());
        for (const auto& x : cases)
            squares += (x[j] - mean[j]) * (x[j] - mean[j]);
        const double sd = std::sqrt(squares / static_cast<double>(cases.size() - 1));
        direction[j] = sd > 0 ? (j % 2 == 0 ? 1.0 : -1.0) / sd : 0.0;
    }
    double largest = 0;
    for (const auto& x : cases) {
        double moved = 0;
        for (std::size_t j = 0; j < covariates; ++j)
            moved += direction[j] * (x[j] - mean[j]);
        largest = std::max(largest, std::abs(moved));
    }
    const double scale = largest > 0.5 ? 0.5 / largest : 1.0;
    for (std::size_t j = 0; j < covariates; ++j) {
        step[j + 1] = scale * direction[j];
        step[0] -= step[j + 1] * mean[j]; // the predictor at the covariates' means moves by 1
    }
    return step;
}

// How far chain c starts from the first: 0, +1, -1, +2, -2, +0.5, -0.5, +1.5, -1.5, then again
// from +1. Bounded, so that any number of chains starts within reach.
double ChainOffset(std::int32_t chain) {
    if (chain <= 1)
        return 0;
    constexpr std::array<double, 4> kMagnitudes = {1, 2, 0.5, 1.5};
    const double magnitude = kMagnitudes[static_cast<std::size_t>((chain - 2) / 2) % 4];
    return chain % 2 == 0 ? magnitude : -magnitude;
}

// An extra parameter moved by u steps: a positive one by factors of 2, one in (-1, 1) by
// atanh(0.5) on the atanh scale.
double MovedExtra(const ExtraParameterInfo& extra, double u) {
    const double start = BugsNumber(extra.start).value_or(0);
    if (extra.range == ParameterRange::Positive)
        return start * std::exp2(u);
    return std::tanh(std::atanh(start) - u * std::atanh(0.5));
}

} // namespace

std::string RVector(std::span<const std::string> values) {
    std::string text = "c(";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += i % 10 == 0 ? ",\r\n  " : ", ";
        text += values[i];
    }
    return text + ")";
}

std::string RAssignment(std::string_view name, std::string_view value) {
    std::string line(name);
    line += " <- ";
    line += value;
    line += "\r\n";
    return line;
}

std::uint32_t ChainSeed(std::uint32_t base, std::int32_t chain) {
    return base + static_cast<std::uint32_t>(chain);
}

std::string JagsInitsText(const LinkInfo& link, const WinBugsParts& parts, const ChosenTable& table,
                          std::int32_t chain, std::uint32_t seed) {
    std::string text;
    if (chain <= 1) {
        for (const ListEntry& entry : parts.inits)
            text += RAssignment(entry.name, entry.value);
    } else {
        const double u = ChainOffset(chain);
        // The coefficients first, as the Inits list has them: zeros moved by u steps.
        const std::vector<double> step =
            BetaStep(table, std::max<std::size_t>(table.names.size(), 1));
        std::vector<std::string> beta;
        for (double value : step)
            beta.push_back(Format(u * value));
        text += RAssignment(parts.inits.front().name, RVector(beta));
        if (link.extra)
            text += RAssignment(link.extra->name, Format(MovedExtra(*link.extra, u)));
    }
    if (!parts.latentNode.empty() && !table.columns.empty()) {
        // On the side of zero that the response picks, so that the first state is consistent.
        std::vector<std::string> starts;
        for (const std::string& y : table.columns.front())
            starts.emplace_back(y == "1" ? "0.5" : y == "0" ? "-0.5" : "NA");
        text += RAssignment(parts.latentNode, RVector(starts));
    }
    text += RAssignment(".RNG.name", "\"base::Mersenne-Twister\"");
    text += RAssignment(".RNG.seed", std::to_string(seed));
    return text;
}

} // namespace zento
