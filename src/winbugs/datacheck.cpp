// The data file checker: value and name rules, and the one pass that applies them.
#include "datacheck.h"

#include "datafile/datafilereader.h"
#include "datafile/headerseparator.h"
#include "datafile/linereader.h"
#include "models.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <unordered_map>
#include <utility>

namespace zento {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}


// Whether a chosen column takes more than one value over the judged cases (NA aside). Numbers
// are compared by value, so "1" and "1.0" are the same.
struct ColumnSpread {
    std::string first;
    std::optional<double> firstValue;
    std::int64_t judged = 0;
    bool varies = false;

    void Add(std::string_view token) {
        ++judged;
        if (judged == 1) {
            first.assign(token);
            firstValue = BugsNumber(token);
            return;
        }
        if (varies)
            return;
        if (firstValue) {
            const std::optional<double> value = BugsNumber(token);
            varies = !value || *value != *firstValue;
        } else {
            varies = token != first;
        }
    }
};

class Checker {
public:
    Checker(const CheckOptions& options, const FindingSink& sink)
        : m_options(options), m_sink(sink) {}

    Result<CheckSummary> Run(LineTokenReader& reader) {
        LineItem item;
        std::int64_t line = 1;
        std::int64_t onLine = 0; // tokens on the current line
        while (reader.Next(item)) {
            if (item.kind == LineItem::Kind::LineEnd) {
                if (line == 1)
                    EndHeader(item.tabsBefore);
                else if (onLine > 0 && !EndCase(line, onLine))
                    break;
                ++line;
                onLine = 0;
                continue;
            }
            ++m_summary.tokens;
            if (line == 1)
                HeaderToken(item, onLine);
            else
                ValueToken(line, onLine, item.token);
            ++onLine;
        }
        if (reader.failed())
            return reader.error();
        if (line == 1)
            EndHeader(0);
        Finish();
        return m_summary;
    }

private:
    std::int64_t Variables() const {
        return m_options.variables ? std::int64_t{*m_options.variables} : m_summary.K;
    }

    // A finding on the header names the column by the token it quotes; any other by the
    // header's name of its column.
    void Report(CheckKind kind, std::int64_t line, std::int64_t column, std::string_view token = {},
                std::int64_t count = 0, std::int64_t expected = 0) {
        CheckFinding finding;
        finding.kind = kind;
        finding.line = line;
        finding.column = column;
        finding.columnName = line == 1 ? token : NameOf(column);
        finding.token = token;
        finding.count = count;
        finding.expected = expected;
        ++m_summary.found[static_cast<std::size_t>(kind)];
        const auto key = std::make_pair(finding.kind, finding.column);
        if (++m_perKindAndColumn[key] <= m_options.maxShown)
            m_sink(finding);
    }

    std::string_view NameOf(std::int64_t column) const {
        return column >= 0 && column < static_cast<std::int64_t>(m_names.size())
                   ? std::string_view(m_names[static_cast<std::size_t>(column)])
                   : std::string_view();
    }

    // During the header K is not known yet: with the variables omitted every name is chosen.
    bool ChosenInHeader(std::int64_t position) const {
        return !m_options.variables || position < *m_options.variables;
    }

    void HeaderToken(const LineItem& item, std::int64_t position) {
        m_headerTabs += item.tabsBefore;
        m_headerMarks.Add(item.token);
        ++m_summary.headerNames;
        if (ChosenInHeader(position))
            m_names.emplace_back(item.token);
        if (position == 0 ? item.tabsBefore > 0 : item.tabsBefore > 1)
            m_pendingHeader.push_back(
                {CheckKind::HeaderEmptyName, position, std::string(item.token)});
        else if (position > 0 && item.tabsBefore == 0)
            m_pendingHeader.push_back(
                {CheckKind::HeaderSpaceSeparated, position, std::string(item.token)});
    }

    void EndHeader(std::uint64_t trailingTabs) {
        m_headerTabs += trailingTabs;
        m_summary.K =
            static_cast<std::int32_t>(std::min<std::uint64_t>(m_headerTabs + 1, INT32_MAX));
        m_summary.variables = Variables();
        const auto headerFinding = [&](CheckKind kind, std::int64_t column = -1,
                                       std::string_view name = {}) {
            Report(kind, 1, column, name, m_summary.headerNames, m_summary.K);
        };
        if (m_summary.headerNames == 0)
            headerFinding(CheckKind::NoHeader);
        m_headerMarks.tabs = m_headerTabs;
        const HeaderSeparator separator = m_headerMarks.Judge();
        if (separator != HeaderSeparator::Tab)
            Report(CheckKind::HeaderNotTabs, 1, -1, {},
                   separator == HeaderSeparator::Comma ? ',' : ';', m_summary.K);
        for (const PendingHeader& pending : m_pendingHeader)
            headerFinding(pending.kind, pending.column, pending.name);
        m_pendingHeader.clear();
        if (trailingTabs > 0 && m_summary.headerNames > 0)
            headerFinding(CheckKind::HeaderTrailingTab);
        if (Variables() > m_summary.K)
            Report(CheckKind::MissingVariables, 1, -1, {}, m_summary.K, Variables());
        const std::int64_t chosenNames = std::min<std::int64_t>(
            std::max<std::int64_t>(Variables(), 0), static_cast<std::int64_t>(m_names.size()));
        m_names.resize(static_cast<std::size_t>(chosenNames));
        std::unordered_map<std::string_view, std::int64_t> seen;
        for (std::int64_t column = 0; column < chosenNames; ++column) {
            const std::string_view name = NameOf(column);
            const auto nameFinding = [&](CheckKind kind, std::int64_t count = 0) {
                Report(kind, 1, column, name, count);
            };
            if (!IsLegalBugsName(name))
                nameFinding(CheckKind::IllegalName);
            else if (IsModelNodeName(name))
                nameFinding(CheckKind::ModelNodeName);
            const auto [first, inserted] = seen.try_emplace(name, column);
            if (!inserted)
                nameFinding(CheckKind::DuplicateName, first->second);
        }
        const std::int64_t judged =
            std::min<std::int64_t>(std::max<std::int64_t>(Variables(), 0),
                                   std::max<std::int64_t>(m_summary.headerNames, m_summary.K));
        m_spread.resize(static_cast<std::size_t>(judged));
        m_casesDone = m_options.cases && *m_options.cases <= 0;
    }

    void ValueToken(std::int64_t line, std::int64_t position, std::string_view token) {
        if (m_casesDone || position >= Variables())
            return;
        const ValueClass value = ClassifyValue(token);
        if (value != ValueClass::Missing && position < static_cast<std::int64_t>(m_spread.size()))
            m_spread[static_cast<std::size_t>(position)].Add(token);
        CheckKind kind = CheckKind::NotANumber;
        if (position == 0) {
            if (token == "0" || token == "1")
                return;
            kind = value == ValueClass::Missing ? CheckKind::ResponseMissing
                                                : CheckKind::ResponseNotBinary;
        } else {
            switch (value) {
            case ValueClass::Number:
                return;
            case ValueClass::Missing:
                kind = CheckKind::CovariateMissing;
                break;
            case ValueClass::DecimalComma:
                kind = CheckKind::DecimalComma;
                break;
            case ValueClass::LowerCaseExponent:
                kind = CheckKind::LowerCaseExponent;
                break;
            case ValueClass::NotANumber:
                kind = CheckKind::NotANumber;
                break;
            }
        }
        Report(kind, line, position, token);
    }

    // False once the chosen cases are all judged.
    bool EndCase(std::int64_t line, std::int64_t values) {
        if (m_casesDone)
            return false;
        ++m_summary.caseLines;
        if (values != m_summary.K)
            Report(CheckKind::RowLength, line, -1, {}, values, m_summary.K);
        m_casesDone = m_options.cases && m_summary.caseLines >= *m_options.cases;
        return !m_casesDone;
    }

    void Finish() {
        m_summary.wholeFile = !m_casesDone;
        const std::int64_t chosen = m_options.cases ? std::int64_t{*m_options.cases} : 0;
        if (m_summary.caseLines < std::max<std::int64_t>(chosen, 1) &&
            (!m_options.cases || chosen > 0))
            Report(CheckKind::MissingCases, 0, -1, {}, m_summary.caseLines, chosen);
        for (std::size_t column = 0; column < m_spread.size(); ++column) {
            const ColumnSpread& spread = m_spread[column];
            if (spread.judged == 0 || spread.varies)
                continue;
            Report(column == 0 ? CheckKind::ConstantResponse : CheckKind::ConstantCovariate, 0,
                   static_cast<std::int64_t>(column), spread.first, spread.judged);
        }
        for (const auto& [key, count] : m_perKindAndColumn) {
            if (count > m_options.maxShown) {
                m_summary.suppressed.push_back(
                    {key.first, key.second, std::string(NameOf(key.second)),
                     count - std::max<std::int64_t>(m_options.maxShown, 0)});
            }
        }
    }

    const CheckOptions& m_options;
    const FindingSink& m_sink;
    CheckSummary m_summary;
    std::uint64_t m_headerTabs = 0;
    HeaderMarks m_headerMarks; // the tabs are counted apart, as K needs them
    struct PendingHeader {
        CheckKind kind;
        std::int64_t column;
        std::string name;
    };
    std::vector<std::string> m_names;           // the chosen columns' header names
    std::vector<PendingHeader> m_pendingHeader; // header findings wait for K
    std::vector<ColumnSpread> m_spread;
    std::map<std::pair<CheckKind, std::int64_t>, std::int64_t> m_perKindAndColumn;
    bool m_casesDone = false;
};

} // namespace

ValueClass ClassifyValue(std::string_view token) {
    if (token == "NA")
        return ValueClass::Missing;
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < token.size() && IsDigit(token[i]))
            ++i;
        return i - start;
    };
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        ++i;
    std::size_t mantissaDigits = digits();
    bool comma = false;
    if (i < token.size() && (token[i] == '.' || token[i] == ',')) {
        comma = token[i] == ',';
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0)
        return ValueClass::NotANumber;
    bool lowerExponent = false;
    if (i < token.size() && (token[i] == 'E' || token[i] == 'e')) {
        lowerExponent = token[i] == 'e';
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-'))
            ++i;
        if (digits() == 0)
            return ValueClass::NotANumber;
    }
    if (i != token.size())
        return ValueClass::NotANumber;
    if (comma)
        return ValueClass::DecimalComma;
    return lowerExponent ? ValueClass::LowerCaseExponent : ValueClass::Number;
}

bool IsLegalBugsName(std::string_view name) {
    if (name.empty() || !IsLetter(name.front()) || name.back() == '.' ||
        name.find("..") != std::string_view::npos)
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return IsLetter(c) || IsDigit(c) || c == '.'; });
}

std::span<const std::string_view> ModelNodeNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        for (const LinkInfo& link : Links()) {
            for (std::string_view name : LinkNodeNames(link)) {
                if (std::find(all.begin(), all.end(), name) == all.end())
                    all.push_back(name);
            }
        }
        return all;
    }();
    return names;
}

bool IsModelNodeName(std::string_view name) {
    const std::span<const std::string_view> names = ModelNodeNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::optional<double> BugsNumber(std::string_view token) {
    const ValueClass value = ClassifyValue(token);
    if (value != ValueClass::Number && value != ValueClass::LowerCaseExponent)
        return std::nullopt;
    if (token.front() == '+')
        token.remove_prefix(1);
    double number = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::int64_t CheckSummary::total() const {
    std::int64_t sum = 0;
    for (std::int64_t n : found)
        sum += n;
    return sum;
}

bool KeepsDataFromJags(CheckKind kind) {
    switch (kind) {
    case CheckKind::ResponseMissing:   // JAGS takes NA as a response to predict
    case CheckKind::LowerCaseExponent: // JAGS reads "1e-3"
    case CheckKind::ConstantCovariate: // its coefficient is only its prior
        return false;
    default:
        return true;
    }
}

Result<JagsDataCheck> CheckDataForJags(const std::string& path, std::int32_t variables,
                                       std::int32_t cases, std::size_t shown) {
    CheckOptions options;
    options.variables = variables;
    options.cases = cases;
    JagsDataCheck check;
    auto summary = CheckDataFile(path, options, [&](const CheckFinding& finding) {
        if (KeepsDataFromJags(finding.kind) && check.shown.size() < shown)
            check.shown.push_back(DescribeFinding(finding));
    });
    if (!summary)
        return summary.error();
    for (std::size_t kind = 0; kind < kCheckKindCount; ++kind) {
        if (KeepsDataFromJags(static_cast<CheckKind>(kind)))
            check.total += summary->found[kind];
    }
    return check;
}

std::string JagsNumber(std::string_view token) {
    if (token.starts_with('+'))
        token.remove_prefix(1);
    std::string number(token);
    const std::size_t exponent = number.find_first_of("Ee");
    if (exponent != std::string::npos && exponent + 1 < number.size() &&
        IsDigit(number[exponent + 1]))
        number.insert(exponent + 1, 1, '+');
    return number;
}

Result<std::optional<std::string>> FindConstantResponse(const std::string& path, std::int32_t K,
                                                        std::int32_t cases) {
    auto reader = DataFileReader::Open(path);
    if (!reader)
        return reader.error();
    const std::int64_t width = std::max<std::int32_t>(K, 1);
    std::array<std::string_view, 256> batch;
    // The rest of the current line of K tokens, after the one just read.
    const auto skip = [&](std::int64_t count) {
        while (count > 0) {
            const std::size_t got = reader->ReadTokens(std::span(
                batch.data(), static_cast<std::size_t>(std::min<std::int64_t>(count, 256))));
            if (got == 0)
                return false;
            count -= static_cast<std::int64_t>(got);
        }
        return true;
    };
    ColumnSpread spread;
    std::string_view token;
    bool complete = skip(width);
    for (std::int32_t i = 0; complete && i < cases && !spread.varies; ++i) {
        if (!reader->ReadToken(token) || !skip(width - 1))
            break;
        if (ClassifyValue(token) != ValueClass::Missing)
            spread.Add(token);
    }
    if (reader->failed())
        return reader->error();
    if (spread.judged == 0 || spread.varies)
        return std::optional<std::string>();
    return std::optional<std::string>(spread.first);
}

Result<CheckSummary> CheckDataFile(const std::string& path, const CheckOptions& options,
                                   const FindingSink& sink) {
    auto reader = LineTokenReader::Open(path);
    if (!reader)
        return reader.error();
    Checker checker(options, sink);
    return checker.Run(*reader);
}

} // namespace zento
