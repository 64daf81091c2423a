// Tables and CSV for fitted models. Numbers go through to_chars, never printf, so that a locale
// with a decimal comma (the desktop's) cannot change a byte.
#include "fitreport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace zento::fit {

namespace {

constexpr std::string_view kNA = "NA";

std::string Number(double value, std::chars_format format, int precision) {
    if (!std::isfinite(value))
        return std::string(kNA);
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    return text == "-0" ? "0" : text;
}

std::string Number(const std::optional<double>& value, std::chars_format format, int precision) {
    return value ? Number(*value, format, precision) : std::string(kNA);
}

// A table cell: 4 significant digits for estimates, 3 decimals for R-hat, whole ESS.
std::string Estimate4(const std::optional<double>& value) {
    return Number(value, std::chars_format::general, 4);
}
std::string RhatText(const std::optional<double>& value) {
    return Number(value, std::chars_format::fixed, 3);
}
std::string Whole(const std::optional<double>& value) {
    return Number(value, std::chars_format::fixed, 0);
}
// elpd and its kin, as loo prints them.
std::string Tenths(const std::optional<double>& value) {
    return Number(value, std::chars_format::fixed, 1);
}

// A field as RFC 4180 wants it: quoted only when it holds a comma, a quote or a line end.
std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? "," : "") + fields[i];
    return line + "\n";
}

// Columns aligned with two spaces between them: words to the left (the columns marked in
// left), numbers to the right. Widths count characters, not bytes, so that "parámetro" lines up.
std::string Aligned(const std::vector<std::vector<std::string>>& rows,
                    const std::vector<bool>& left) {
    const auto width = [](const std::string& text) {
        return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    };
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], width(row[c]));
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(widths[c] - width(row[c]), ' ');
            if (c > 0)
                line += "  ";
            line += c < left.size() && left[c] ? row[c] + pad : pad + row[c];
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + "\n";
    }
    return text;
}

std::vector<std::string> SummaryFields(const ParameterSummary& p,
                                       std::string (*format)(const std::optional<double>&),
                                       std::string (*ess)(const std::optional<double>&),
                                       std::string (*rhat)(const std::optional<double>&)) {
    const Summary& s = p.summary;
    std::vector<std::string> fields{p.parameter, p.name, format(s.mean), format(s.sd),
                                    format(s.mcseMean)};
    for (const std::optional<double>& q : s.quantiles)
        fields.push_back(format(q));
    fields.push_back(rhat(s.rhat));
    fields.push_back(ess(s.essBulk));
    fields.push_back(ess(s.essTail));
    return fields;
}

const std::vector<std::string> kSummaryColumns = {
    "parametro", "nombre", "media", "de",   "mcse_media", "q2.5",    "q25",
    "q50",       "q75",    "q97.5", "rhat", "ess_bulk",   "ess_tail"};

const std::vector<std::string> kComparisonColumns = {
    "enlace", "elpd_loo", "se_elpd_loo", "elpd_diff", "se_diff",      "p_loo", "looic",
    "waic",   "k_max",    "k_altos",     "rhat_max",  "ess_bulk_min", "estado"};

// enlace and estado are words.
const std::vector<bool> kComparisonLeft = {true,  false, false, false, false, false, false,
                                           false, false, false, false, false, true};

} // namespace

std::string CsvNumber(const std::optional<double>& value) {
    return Number(value, std::chars_format::general, 6);
}

std::optional<double> Largest(const FittedModel& model, std::optional<double> Summary::*measure) {
    std::optional<double> largest;
    for (const ParameterSummary& p : model.parameters) {
        const std::optional<double>& value = p.summary.*measure;
        if (value && (!largest || *value > *largest))
            largest = value;
    }
    return largest;
}

std::optional<double> Smallest(const FittedModel& model, std::optional<double> Summary::*measure) {
    std::optional<double> smallest;
    for (const ParameterSummary& p : model.parameters) {
        const std::optional<double>& value = p.summary.*measure;
        if (value && (!smallest || *value < *smallest))
            smallest = value;
    }
    return smallest;
}

std::int64_t HighParetoK(const Loo& loo) {
    return std::count_if(loo.paretoK.begin(), loo.paretoK.end(),
                         [](double k) { return !(k <= kParetoKLimit); });
}

std::optional<double> LargestParetoK(const Loo& loo) {
    if (loo.paretoK.empty())
        return std::nullopt;
    double largest = -std::numeric_limits<double>::infinity();
    for (double k : loo.paretoK)
        largest = std::isnan(k) ? k : std::max(largest, k);
    return largest;
}

namespace {

bool Converged(const FittedModel& model) {
    const std::optional<double> rhat = Largest(model, &Summary::rhat);
    return !rhat || *rhat <= kRhatLimit;
}

} // namespace

std::string ModelState(const FittedModel& model) {
    if (!Converged(model))
        return "no converge";
    if (model.loo && HighParetoK(*model.loo) > 0)
        return "k alto";
    return "ok";
}

std::string LooLine(const FittedModel& model) {
    if (!model.loo)
        return {};
    const Loo& loo = *model.loo;
    const std::int64_t high = HighParetoK(loo);
    std::string line = "LOO: elpd_loo " + Tenths(loo.elpd.value) + " (ET " + Tenths(loo.elpd.se) +
                       "), p_loo " + Tenths(loo.p.value) + ", looic " + Tenths(loo.looic.value);
    if (model.waic)
        line += ", WAIC " + Tenths(model.waic->waic.value);
    line += "; k de Pareto: máximo " + Number(LargestParetoK(loo), std::chars_format::fixed, 2) +
            ", " + (high == 0 ? std::string("ninguno") : std::to_string(high)) +
            " por encima de 0.7.\n";
    return line;
}

std::string SummaryWarnings(const FittedModel& model) {
    std::string text;
    const auto warn = [&text](const std::string& line) { text += "aviso: " + line + "\n"; };
    for (const ParameterSummary& p : model.parameters) {
        std::vector<std::string> problems;
        if (p.summary.rhat && *p.summary.rhat > kRhatLimit)
            problems.push_back("R̂ " + Number(p.summary.rhat, std::chars_format::general, 5) +
                               " > 1.01, las cadenas aún no coinciden");
        const std::optional<double> ess =
            p.summary.essBulk && p.summary.essTail
                ? std::optional(std::min(*p.summary.essBulk, *p.summary.essTail))
                : std::nullopt;
        if (ess && *ess < kEssLimit)
            problems.push_back("ESS " + Whole(ess) + " < 400, pocas extracciones independientes");
        if (problems.empty())
            continue;
        std::string line = p.parameter;
        if (p.name != p.parameter)
            line += p.name.starts_with('(') ? " " + p.name : " (" + p.name + ")";
        line += ": " + problems.front();
        for (std::size_t i = 1; i < problems.size(); ++i)
            line += "; " + problems[i];
        warn(line + ". Alargue el calentamiento y las iteraciones.");
    }
    if (model.loo) {
        const std::int64_t high = HighParetoK(*model.loo);
        if (high > 0) {
            std::string cases;
            int listed = 0;
            for (std::size_t i = 0; i < model.loo->paretoK.size() && listed < 10; ++i) {
                if (!(model.loo->paretoK[i] <= kParetoKLimit)) {
                    cases += (listed ? ", " : "") + std::to_string(i + 1);
                    ++listed;
                }
            }
            warn(std::to_string(high) + (high == 1 ? " caso tiene" : " casos tienen") +
                 " k de Pareto > 0.7 (" + cases + (high > listed ? ", …" : "") +
                 "): el LOO de este modelo no es fiable en ellos.");
        }
    }
    if (!model.link)
        warn("modelo.bug no es el texto de ninguno de los nueve enlaces para estos datos: se "
             "resumen las extracciones, sin LOO ni WAIC.");
    return text;
}

std::string SummaryCsv(const FittedModel& model) {
    std::string text = CsvLine(kSummaryColumns);
    for (const ParameterSummary& p : model.parameters) {
        std::vector<std::string> fields = SummaryFields(p, CsvNumber, CsvNumber, CsvNumber);
        fields[0] = CsvField(fields[0]);
        fields[1] = CsvField(fields[1]);
        text += CsvLine(fields);
    }
    return text;
}

std::string SummaryTable(const FittedModel& model) {
    std::vector<std::vector<std::string>> rows{kSummaryColumns};
    rows[0][0] = "parámetro";
    for (const ParameterSummary& p : model.parameters)
        rows.push_back(SummaryFields(p, Estimate4, Whole, RhatText));
    return Aligned(rows, {true, true}) + LooLine(model) + SummaryWarnings(model);
}

FitResult<std::vector<ComparisonRow>> RankModels(std::span<const ComparedModel> models) {
    std::vector<Loo> loos;
    for (const ComparedModel& compared : models) {
        if (!compared.model.loo) {
            FitError error = MakeFitError(FitErrorKind::NoDraws, "");
            error.subject = compared.link;
            return error;
        }
        loos.push_back(*compared.model.loo);
    }
    auto compared = Compare(loos);
    if (!compared)
        return compared.error();
    std::vector<ComparisonRow> rows;
    for (const Comparison& c : *compared)
        rows.push_back({&models[c.model], c.elpdDiff, c.seDiff});
    return rows;
}

namespace {

std::vector<std::string> ComparisonFields(const ComparisonRow& row,
                                          std::string (*format)(const std::optional<double>&)) {
    const FittedModel& model = row.model->model;
    const Loo& loo = *model.loo;
    return {row.model->link,
            format(loo.elpd.value),
            format(loo.elpd.se),
            format(row.elpdDiff),
            format(row.seDiff),
            format(loo.p.value),
            format(loo.looic.value),
            format(model.waic ? std::optional(model.waic->waic.value) : std::nullopt),
            Number(LargestParetoK(loo), std::chars_format::fixed, 2),
            std::to_string(HighParetoK(loo)),
            RhatText(Largest(model, &Summary::rhat)),
            Whole(Smallest(model, &Summary::essBulk)),
            ModelState(model)};
}

} // namespace

std::string ComparisonCsv(std::span<const ComparisonRow> rows) {
    std::string text = CsvLine(kComparisonColumns);
    for (const ComparisonRow& row : rows) {
        std::vector<std::string> fields = ComparisonFields(row, CsvNumber);
        fields[8] = CsvNumber(LargestParetoK(*row.model->model.loo));
        fields[10] = CsvNumber(Largest(row.model->model, &Summary::rhat));
        fields[11] = CsvNumber(Smallest(row.model->model, &Summary::essBulk));
        text += CsvLine(fields);
    }
    return text;
}

std::string ComparisonTable(std::span<const ComparisonRow> rows) {
    std::vector<std::vector<std::string>> table{kComparisonColumns};
    for (const ComparisonRow& row : rows)
        table.push_back(ComparisonFields(row, Tenths));
    return "Mejor primero por elpd_loo (más alto, mejor); una elpd_diff de menos de unas dos "
           "se_diff no separa los enlaces; k_altos cuenta los casos con k de Pareto > 0.7.\n" +
           Aligned(table, kComparisonLeft);
}

} // namespace zento::fit
