// Checking a data file before use: one forward pass that judges it line by line, as data.
#pragma once

#include "datafile/dataerror.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

// How WinBUGS would read one value token. A number is an optional sign, digits with at most one
// '.', at least one digit, and an optional exponent "E", optional sign, digits; "NA" is missing.
// The same shapes with a decimal comma or a lower-case "e" are told apart, since older WinBUGS
// versions reject the exponent and none reads the comma.
enum class ValueClass { Number, Missing, DecimalComma, LowerCaseExponent, NotANumber };
ValueClass ClassifyValue(std::string_view token);

// A BUGS name: a letter, then letters, digits and '.', with no ".." and no '.' at the end.
bool IsLegalBugsName(std::string_view name);
// A value as WinBUGS reads a number (Number or LowerCaseExponent), finite; nothing otherwise.
std::optional<double> BugsNumber(std::string_view token);
// The nodes and counts the nine model texts use, from the link table; a data column so named
// clashes with them.
std::span<const std::string_view> ModelNodeNames();
bool IsModelNodeName(std::string_view name);

enum class CheckKind {
    NoHeader,             // the first line holds no name
    HeaderNotTabs,        // no tab, but commas or semicolons between the names: a CSV export
    HeaderEmptyName,      // a tab at the start of the header or two tabs in a row
    HeaderTrailingTab,    // a tab at the end of the header: K counts a name that is not there
    HeaderSpaceSeparated, // names separated by blanks: K counts fewer names than there are
    MissingVariables,     // more variables chosen than K
    IllegalName,
    DuplicateName,
    ModelNodeName,
    RowLength,    // a case line whose number of values is not K
    MissingCases, // fewer case lines than chosen (or none at all)
    ResponseNotBinary,
    ResponseMissing,  // NA: WinBUGS takes it as a missing response
    CovariateMissing, // NA in a covariate: WinBUGS reads it, the models cannot use it
    DecimalComma,
    LowerCaseExponent,
    NotANumber,
    ConstantResponse,
    ConstantCovariate,
};
inline constexpr std::size_t kCheckKindCount =
    static_cast<std::size_t>(CheckKind::ConstantCovariate) + 1;

struct CheckFinding {
    CheckKind kind = CheckKind::NoHeader;
    std::int64_t line = 0;       // 1-based file line; 0 for the chosen cases as a whole
    std::int64_t column = -1;    // 0-based column (header position); -1 for a whole line
    std::string_view columnName; // the header's name of that column, empty when it has none
    std::string_view token;      // the offending token, empty when there is none
    // RowLength: values found, MissingCases: case lines found, MissingVariables and the header
    // kinds: names in the header, DuplicateName: the column that first had the name,
    // Constant*: cases judged; HeaderNotTabs: the separator, ',' or ';'.
    std::int64_t count = 0;
    // RowLength and the header kinds: K; MissingCases: the chosen cases (0 when they were not
    // given); MissingVariables: the chosen variables.
    std::int64_t expected = 0;
};

struct CheckOptions {
    std::optional<std::int32_t> variables; // omitted: K
    std::optional<std::int32_t> cases;     // omitted: every case line of the file
    // Findings shown per kind and column; the rest are only counted.
    std::int64_t maxShown = 5;
};

struct CheckSummary {
    std::int32_t K = 1;
    std::int64_t headerNames = 0; // tokens on the first line
    std::int64_t variables = 0;   // chosen (K when omitted)
    std::int64_t caseLines = 0;   // case lines judged
    bool wholeFile = false;       // read to the end (cases omitted, or the file was short)
    std::int64_t tokens = 0;      // tokens read, names included
    std::array<std::int64_t, kCheckKindCount> found{}; // every finding, shown or not

    struct Suppressed {
        CheckKind kind;
        std::int64_t column; // -1 for whole lines
        std::string columnName;
        std::int64_t count;
    };
    std::vector<Suppressed> suppressed; // in kind, then column order

    std::int64_t total() const;
};

using FindingSink = std::function<void(const CheckFinding&)>;

// Whether a finding means that JAGS would misread the data, or stop on it without saying why in
// terms of the file: values that are not numbers it reads, a response that is not 0, 1 or NA,
// names it cannot take or that would turn a model node into data, rows of another length, a
// constant response. Such data never reaches JAGS.
bool KeepsDataFromJags(CheckKind kind);

// The findings that keep the chosen columns and cases from JAGS: the first `shown` in the
// checker's words, and how many there are in all (0: the data may go to JAGS).
struct JagsDataCheck {
    std::vector<std::string> shown;
    std::int64_t total = 0;
};
Result<JagsDataCheck> CheckDataForJags(const std::string& path, std::int32_t variables,
                                       std::int32_t cases, std::size_t shown = 5);

// A value written into a JAGS data file exactly as the checker let it through, in the syntax
// JAGS's data reader takes: no leading '+', and an exponent always signed ("1E5" becomes
// "1E+5"). NA stays NA.
std::string JagsNumber(std::string_view token);

// The response of the first `cases` cases, read as the generators read the file (K tokens per
// case, the first being the response): the value it takes in all of them, NA aside, when it
// never changes; nothing when it changes, when no case has one, or when the file is short.
// Stops at the first change, so that an ordinary file costs a few lines.
Result<std::optional<std::string>> FindConstantResponse(const std::string& path, std::int32_t K,
                                                        std::int32_t cases);

// Reads path once, forward, in memory proportional to the chosen columns (not to the file), and
// hands each shown finding to sink as soon as it is known; findings about the chosen cases as a
// whole (constant columns, missing cases) come last. Only an unreadable file is an error.
Result<CheckSummary> CheckDataFile(const std::string& path, const CheckOptions& options,
                                   const FindingSink& sink);

// The findings in Spanish words, the same in zento-cli and the desktop.
// One line without its line end: "línea 4, columna 2 («x1»): ...".
std::string DescribeFinding(const CheckFinding& finding);
// The same without the place: what is wrong there, "la respuesta «2» no es 0 ni 1.".
std::string DescribeProblem(const CheckFinding& finding);
// The summary's name of a kind, plural: "filas con un número de valores distinto de K".
std::string_view KindTitle(CheckKind kind);
// A token in «», whole up to 60 bytes, else its start and its length.
std::string QuotedToken(std::string_view token);

} // namespace zento
