// Translating a WinBUGS model text for JAGS and writing its data, inits and script.
#include "jagsexport.h"

#include "datacheck.h"
#include "datafile/datafilereader.h"
#include "rectangulardata.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace zento {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find(kCrLf);
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + kCrLf.size());
    }
    return lines;
}

std::string_view Indent(std::string_view line) {
    return line.substr(0, line.find_first_not_of(' ') == std::string_view::npos
                              ? line.size()
                              : line.find_first_not_of(' '));
}

// "I(a,b)" with literal numbers (either may be empty) at the end of line: where it starts.
std::optional<std::size_t> ConstantBound(std::string_view line) {
    if (!line.ends_with(')'))
        return std::nullopt;
    const std::size_t open = line.rfind("I(");
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::string_view inside = line.substr(open + 2, line.size() - open - 3);
    if (std::count(inside.begin(), inside.end(), ',') != 1 ||
        inside.find_first_not_of("0123456789.+-E,") != std::string_view::npos)
        return std::nullopt;
    return open;
}

std::optional<double> Number(std::string_view token) {
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string Format(double value) {
    char buffer[32];
    // Rounding leaves dust such as -1e-16 where the sum is zero.
    const double shown = std::abs(value) < 1e-9 ? 0.0 : value;
    const int size = std::snprintf(buffer, sizeof buffer, "%.6g", shown);
    return std::string(buffer, static_cast<std::size_t>(size));
}

// "c(0,0,0)" or "0.5" as numbers.
std::vector<double> Numbers(std::string_view value) {
    if (value.starts_with("c(") && value.ends_with(')'))
        value = value.substr(2, value.size() - 3);
    std::vector<double> numbers;
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        numbers.push_back(Number(value.substr(0, comma)).value_or(0));
        if (comma == std::string_view::npos)
            break;
        value.remove_prefix(comma + 1);
    }
    return numbers;
}

// The covariates as numbers, by case; cases with a value that is not a number are left out.
std::vector<std::vector<double>> NumericCases(const ChosenTable& table, std::size_t covariates) {
    std::vector<std::vector<double>> cases;
    const std::size_t n = table.columns.empty() ? 0 : table.columns.front().size();
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<double> x;
        for (std::size_t j = 1; j <= covariates && j < table.columns.size(); ++j) {
            const std::string& token = table.columns[j][i];
            const ValueClass kind = ClassifyValue(token);
            const std::optional<double> value =
                kind == ValueClass::Number || kind == ValueClass::LowerCaseExponent ? Number(token)
                                                                                    : std::nullopt;
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

std::string Vector(const std::vector<std::string>& values) {
    std::string text = "c(";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += i % 10 == 0 ? ",\r\n  " : ", ";
        text += values[i];
    }
    return text + ")";
}

std::string Assignment(std::string_view name, std::string_view value) {
    std::string line(name);
    line += " <- ";
    line += value;
    line += kCrLf;
    return line;
}

// Starting values of one chain: the first chain's as the WinBUGS text gives them, the others
// moved away from them in units that make sense for each parameter.
std::string InitsText(const std::vector<ListEntry>& firstChain, std::int32_t chain,
                      const ChosenTable& table, const std::string& latentNode) {
    std::string text;
    const double u = ChainOffset(chain);
    for (const ListEntry& entry : firstChain) {
        if (chain == 1) {
            text += Assignment(entry.name, entry.value);
            continue;
        }
        std::vector<double> values = Numbers(entry.value);
        if (entry.name == "beta") {
            const std::vector<double> step = BetaStep(table, values.size());
            for (std::size_t j = 0; j < values.size(); ++j)
                values[j] += u * step[j];
        } else if (entry.name == "lambda") {
            for (double& value : values) // positive: steps on the log scale, by factors of 2
                value *= std::exp2(u);
        } else if (entry.name == "delta") {
            for (double& value : values) // in (-1, 1): steps of atanh(0.5) on the atanh scale
                value = std::tanh(std::atanh(value) - u * std::atanh(0.5));
        }
        std::vector<std::string> formatted;
        for (double value : values)
            formatted.push_back(Format(value));
        text += Assignment(entry.name,
                           entry.value.starts_with("c(") ? Vector(formatted) : formatted.front());
    }
    if (!latentNode.empty() && !table.columns.empty()) {
        // On the side of zero that the response picks, so that the first state is consistent.
        std::vector<std::string> starts;
        for (const std::string& y : table.columns.front())
            starts.emplace_back(y == "1" ? "0.5" : y == "0" ? "-0.5" : "NA");
        text += Assignment(latentNode, Vector(starts));
    }
    text += Assignment(".RNG.name", "\"base::Mersenne-Twister\"");
    text += Assignment(".RNG.seed", std::to_string(chain));
    return text;
}

} // namespace

Result<ChosenTable> ReadChosenTable(const DataSelection& selection) {
    auto reader = DataFileReader::Open(selection.path);
    if (!reader)
        return reader.error();
    return ReadChosenTable(*reader, selection);
}

Result<ChosenTable> ReadChosenTable(DataFileReader& reader, const DataSelection& selection) {
    const std::int64_t kept = std::max<std::int64_t>(selection.chosenVariables, 0);
    const std::int64_t dropped =
        std::max<std::int64_t>(std::int64_t{selection.K} - selection.chosenVariables, 0);
    const std::int64_t cases = std::max<std::int64_t>(selection.chosenCases, 0);
    ChosenTable table;
    std::string_view token;
    for (std::int64_t line = -1; line < cases; ++line) {
        for (std::int64_t i = 0; i < kept + dropped; ++i) {
            if (!reader.ReadToken(token)) {
                if (reader.failed())
                    return reader.error();
                return RectangularShortage(selection, reader.tokensRead());
            }
            if (i >= kept)
                continue;
            if (line < 0)
                table.names.emplace_back(token);
            else
                table.columns[static_cast<std::size_t>(i)].emplace_back(token);
        }
        // Sized only once the names are read: the counts may be far larger than the file.
        if (line < 0)
            table.columns.resize(table.names.size());
    }
    return table;
}

WinBugsParts SplitWinBugsText(std::string_view text) {
    WinBugsParts parts;
    constexpr std::string_view kInits = "\r\nInits\r\n";
    constexpr std::string_view kData = "\r\nData\r\n";
    const std::size_t inits = text.find(kInits);
    const std::size_t data = text.find(kData, inits);
    if (inits == std::string_view::npos || data == std::string_view::npos)
        return parts;
    std::size_t modelEnd = inits;
    while (modelEnd >= 2 && text.substr(modelEnd - 2, 2) == kCrLf)
        modelEnd -= 2;
    parts.model = text.substr(0, modelEnd + kCrLf.size());
    const std::size_t initsStart = inits + kInits.size();
    parts.inits = text.substr(initsStart, text.find(kCrLf, initsStart) - initsStart);
    parts.data = text.substr(data + kData.size());
    return parts;
}

std::vector<ListEntry> ParseBugsList(std::string_view list) {
    std::vector<ListEntry> entries;
    if (!list.starts_with("list(") || !list.ends_with(')'))
        return entries;
    list = list.substr(5, list.size() - 6);
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] == '(')
            ++depth;
        else if (i < list.size() && list[i] == ')')
            --depth;
        else if (i == list.size() || (list[i] == ',' && depth == 0)) {
            const std::string_view entry = list.substr(start, i - start);
            const std::size_t equals = entry.find('=');
            if (equals != std::string_view::npos)
                entries.push_back(
                    {std::string(entry.substr(0, equals)), std::string(entry.substr(equals + 1))});
            start = i + 1;
        }
    }
    return entries;
}

JagsModel TranslateModelBlock(std::string_view model, std::string_view response) {
    JagsModel result;
    const std::string responseIndex = std::string(response) + "[i]+1]";
    const std::string censoring = "I(lo[" + responseIndex + ",up[" + responseIndex + ")";
    for (std::string_view line : SplitLines(model)) {
        const std::size_t tilde = line.find('~');
        if (line.ends_with(censoring) && tilde != std::string_view::npos) {
            const std::string_view indent = Indent(line);
            const std::string_view node = line.substr(indent.size(), tilde - indent.size());
            result.text += line.substr(0, line.size() - censoring.size());
            result.text += kCrLf;
            // The bounds the model defines, lo = (-50, 0) and up = (0, 50), meet at zero.
            result.text += std::string(indent) + std::string(response) + "[i] ~ dinterval(" +
                           std::string(node) + ", 0)";
            result.latentNode = std::string(node.substr(0, node.find('[')));
        } else if (const std::optional<std::size_t> bound = ConstantBound(line)) {
            result.text += line.substr(0, *bound);
            result.text += 'T';
            result.text += line.substr(*bound + 1);
        } else {
            result.text += line;
        }
        result.text += kCrLf;
    }
    return result;
}

std::vector<JagsFile> BuildJagsFiles(Link link, const ChosenTable& table,
                                     const DataSelection& selection, const JagsOptions& options) {
    ModelNames names;
    if (!table.names.empty()) {
        names.response = table.names.front();
        names.covariates.assign(table.names.begin() + 1, table.names.end());
    }
    const std::string winbugs = GetLinkInfo(link).build(names, selection);
    const WinBugsParts parts = SplitWinBugsText(winbugs);
    JagsModel model = TranslateModelBlock(parts.model, names.response);
    const std::vector<ListEntry> inits = ParseBugsList(parts.inits);

    std::vector<JagsFile> files;
    files.push_back({"modelo.bug", std::move(model.text)});

    std::string data;
    for (const ListEntry& entry : ParseBugsList(parts.data))
        data += Assignment(entry.name, entry.value);
    for (std::size_t c = 0; c < table.names.size() && c < table.columns.size(); ++c) {
        std::vector<std::string> numbers;
        numbers.reserve(table.columns[c].size());
        for (const std::string& value : table.columns[c])
            numbers.push_back(JagsNumber(value));
        data += Assignment(table.names[c], Vector(numbers));
    }
    files.push_back({"datos.R", std::move(data)});

    const std::int32_t chains = std::max(options.chains, 1);
    for (std::int32_t chain = 1; chain <= chains; ++chain)
        files.push_back({"inits" + std::to_string(chain) + ".R",
                         InitsText(inits, chain, table, model.latentNode)});

    std::string script;
    const auto command = [&script](const std::string& line) {
        script += line;
        script += kCrLf;
    };
    // The glm module's block samplers update the correlated coefficients together; without
    // them the intercept of an uncentred covariate mixes very slowly.
    command("load glm");
    command("model in modelo.bug");
    command("data in datos.R");
    command("compile, nchains(" + std::to_string(chains) + ")");
    for (std::int32_t chain = 1; chain <= chains; ++chain)
        command("parameters in inits" + std::to_string(chain) + ".R, chain(" +
                std::to_string(chain) + ")");
    command("initialize");
    command("update " + std::to_string(options.burnIn));
    for (const ListEntry& entry : inits)
        command("monitor " + entry.name);
    command("update " + std::to_string(options.iterations));
    command("coda *");
    command("exit");
    files.push_back({"ejecutar.cmd", std::move(script)});
    return files;
}

} // namespace zento
