// The data file checker: value and name rules, every planted problem found, nothing else.
#include "winbugs/datacheck.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace zento {
namespace {

TEST(DataCheckTest, ClassifiesValuesAsWinBugsReadsThem) {
    const std::vector<std::pair<std::string_view, ValueClass>> cases = {
        {"0", ValueClass::Number},
        {"-12", ValueClass::Number},
        {"+3", ValueClass::Number},
        {"0.5", ValueClass::Number},
        {".5", ValueClass::Number},
        {"5.", ValueClass::Number},
        {"1.5E-3", ValueClass::Number},
        {"2E10", ValueClass::Number},
        {"NA", ValueClass::Missing},
        {"na", ValueClass::NotANumber},
        {"0,5", ValueClass::DecimalComma},
        {"-1,25E2", ValueClass::DecimalComma},
        {"1e-3", ValueClass::LowerCaseExponent},
        {"1.5e+2", ValueClass::LowerCaseExponent},
        {"1E", ValueClass::NotANumber},
        {"E3", ValueClass::NotANumber},
        {".", ValueClass::NotANumber},
        {"-", ValueClass::NotANumber},
        {"1.2.3", ValueClass::NotANumber},
        {"1,000,000", ValueClass::NotANumber},
        {"abc", ValueClass::NotANumber},
        {"0x1F", ValueClass::NotANumber},
        {"inf", ValueClass::NotANumber},
        {"1..2", ValueClass::NotANumber},
    };
    for (const auto& [token, expected] : cases)
        EXPECT_EQ(expected, ClassifyValue(token)) << token;
}

TEST(DataCheckTest, TellsLegalBugsNames) {
    for (std::string_view name : {"y", "x1", "log.dose", "A.b.c2", "Z"})
        EXPECT_TRUE(IsLegalBugsName(name)) << name;
    for (std::string_view name : {"", "1x", ".x", "x.", "a..b", "b_1", "x-y", "año", "x[1]"})
        EXPECT_FALSE(IsLegalBugsName(name)) << name;
    for (std::string_view name : ModelNodeNames())
        EXPECT_TRUE(IsModelNodeName(name)) << name;
    EXPECT_EQ(20u, ModelNodeNames().size());
    for (std::string_view name : {"Beta", "betas", "K", "x"})
        EXPECT_FALSE(IsModelNodeName(name)) << name;
}

struct Seen {
    CheckKind kind;
    std::int64_t line;
    std::int64_t column;
    std::string token;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << "{kind " << static_cast<int>(s.kind) << ", line " << s.line << ", column "
               << s.column << ", «" << s.token << "»}";
}

struct Checked {
    std::vector<Seen> findings;
    CheckSummary summary;
};

Checked Check(const std::string& path, CheckOptions options = {}) {
    Checked checked;
    auto summary = CheckDataFile(path, options, [&](const CheckFinding& f) {
        checked.findings.push_back({f.kind, f.line, f.column, std::string(f.token)});
    });
    EXPECT_TRUE(summary.ok()) << path;
    if (summary)
        checked.summary = *summary;
    return checked;
}

struct PlantedCase {
    const char* file;
    std::optional<std::int32_t> cases;
    std::vector<Seen> expected;
};

TEST(DataCheckTest, FindsEveryPlantedProblemAndNothingElse) {
    using K = CheckKind;
    const std::vector<PlantedCase> planted = {
        {"filas.txt", {}, {{K::RowLength, 3, -1, ""}, {K::RowLength, 4, -1, ""}}},
        {"cabecera_tabulador.txt",
         {},
         {{K::HeaderTrailingTab, 1, -1, ""}, {K::RowLength, 2, -1, ""}, {K::RowLength, 3, -1, ""}}},
        {"cabecera_espacios.txt",
         {},
         {{K::HeaderSpaceSeparated, 1, 1, "x1"},
          {K::RowLength, 2, -1, ""},
          {K::RowLength, 3, -1, ""}}},
        {"respuesta.txt",
         {},
         {{K::ResponseNotBinary, 3, 0, "2"},
          {K::ResponseMissing, 4, 0, "NA"},
          {K::ResponseNotBinary, 5, 0, "si"}}},
        {"valores.txt",
         {},
         {{K::DecimalComma, 2, 1, "0,5"},
          {K::LowerCaseExponent, 3, 1, "1e-3"},
          {K::CovariateMissing, 4, 2, "NA"},
          {K::NotANumber, 5, 2, "x"}}},
        {"nombres.txt",
         {},
         {{K::IllegalName, 1, 1, "2x"},
          {K::IllegalName, 1, 2, "a..b"},
          {K::IllegalName, 1, 3, "c."},
          {K::ModelNodeName, 1, 4, "beta"},
          {K::ModelNodeName, 1, 5, "n"},
          {K::DuplicateName, 1, 7, "x"},
          {K::IllegalName, 1, 8, "b_1"}}},
        // Sorted by the response: the first three cases all answer 1, and x2 is 7 written two ways.
        {"constantes.txt",
         3,
         {{K::ConstantResponse, 0, 0, "1"}, {K::ConstantCovariate, 0, 2, "7"}}},
        {"constantes.txt", {}, {}},
    };
    for (const PlantedCase& c : planted) {
        CheckOptions options;
        options.cases = c.cases;
        const Checked checked = Check(std::string(ZENTO_VERIFICAR_DIR) + "/" + c.file, options);
        EXPECT_EQ(c.expected, checked.findings) << c.file;
        EXPECT_EQ(static_cast<std::int64_t>(c.expected.size()), checked.summary.total()) << c.file;
    }
}

TEST(DataCheckTest, ExamplesHaveNoProblem) {
    for (const char* name : {"vaso.txt", "birthwt.txt", "beetles.txt"}) {
        const Checked checked = Check(std::string(ZENTO_EXAMPLES_DIR) + "/" + name);
        EXPECT_EQ(std::vector<Seen>{}, checked.findings) << name;
        EXPECT_TRUE(checked.summary.wholeFile);
    }
}

TEST(DataCheckTest, JudgesOnlyTheChosenColumnsAndCases) {
    testing::TempDir dir;
    // Column 3 and the lines after the second case are all wrong, but not chosen.
    const std::string path =
        dir.Write("d.txt", "y\tx1\tbad?name\n1\t0.5\tx\n0\t1.5\ty\n7\t1,5\n2 2 2 2\n");
    CheckOptions options;
    options.variables = 2;
    options.cases = 2;
    const Checked checked = Check(path, options);
    EXPECT_EQ(std::vector<Seen>{}, checked.findings);
    EXPECT_EQ(2, checked.summary.caseLines);
    EXPECT_FALSE(checked.summary.wholeFile);

    options.variables = 0;
    options.cases = 0;
    EXPECT_EQ(std::vector<Seen>{}, Check(path, options).findings);
}

TEST(DataCheckTest, ReportsShortFilesAndCountsAsTheyAreAsked) {
    using K = CheckKind;
    testing::TempDir dir;
    const std::string twoCases = dir.Write("d.txt", "y\tx\n1\t2\n0\t3\n");
    CheckOptions options;
    options.variables = 3;
    options.cases = 5;
    EXPECT_EQ((std::vector<Seen>{{K::MissingVariables, 1, -1, ""}, {K::MissingCases, 0, -1, ""}}),
              Check(twoCases, options).findings);

    const std::vector<std::pair<std::string, std::vector<Seen>>> shapes = {
        {"", {{K::NoHeader, 1, -1, ""}, {K::MissingCases, 0, -1, ""}}},
        {"y\tx\n", {{K::MissingCases, 0, -1, ""}}},
        {"\ty\tx\n1 2\n0 4\n",
         {{K::HeaderEmptyName, 1, 0, "y"}, {K::RowLength, 2, -1, ""}, {K::RowLength, 3, -1, ""}}},
        {"y\t\tx\n1 2\n0 4\n",
         {{K::HeaderEmptyName, 1, 1, "x"}, {K::RowLength, 2, -1, ""}, {K::RowLength, 3, -1, ""}}},
        // No final line end, CR LF, blank lines: the last line is judged all the same.
        {"y\tx\r\n1\t2\r\n\r\n0\t3 4", {{K::RowLength, 4, -1, ""}}},
    };
    for (const auto& [bytes, expected] : shapes)
        EXPECT_EQ(expected, Check(dir.Write("s.txt", bytes)).findings) << bytes;
}

TEST(DataCheckTest, ShowsAFewPerKindAndColumnAndCountsTheRest) {
    testing::TempDir dir;
    std::string bytes = "y\tx1\tx2\n";
    for (int i = 0; i < 1000; ++i)
        bytes += i % 2 ? "1\tNA\t1,5\t9\n" : "0\tNA\t2,5\t9\n";
    const Checked checked = Check(dir.Write("d.txt", bytes));
    // Five of each kind in each column: missing x1, comma x2, row length.
    EXPECT_EQ(15u, checked.findings.size());
    EXPECT_EQ(1000, checked.summary.found[static_cast<std::size_t>(CheckKind::RowLength)]);
    EXPECT_EQ(3000, checked.summary.total());
    ASSERT_EQ(3u, checked.summary.suppressed.size());
    for (const CheckSummary::Suppressed& more : checked.summary.suppressed)
        EXPECT_EQ(995, more.count);
    // In kind order: the row lengths (no column), the missing x1, the commas of x2.
    EXPECT_EQ(CheckKind::CovariateMissing, checked.summary.suppressed[1].kind);
    EXPECT_EQ("x1", checked.summary.suppressed[1].columnName);
    EXPECT_EQ("x2", checked.summary.suppressed[2].columnName);
}

TEST(DataCheckTest, AnUnreadableFileIsAnError) {
    testing::TempDir dir;
    auto missing = CheckDataFile(dir.File("no-existe.txt"), {}, [](const CheckFinding&) {});
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(DataErrorKind::Unreadable, missing.error().kind);
    auto folder = CheckDataFile(dir.path().string(), {}, [](const CheckFinding&) {});
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(DataErrorKind::NotRegularFile, folder.error().kind);
}

} // namespace
} // namespace zento
