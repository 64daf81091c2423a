// The CODA reader's refusals, one table row per way a file can be wrong (each names its file and
// line); writing and reading back; merging single-chain runs as one run would have written them.
#include "common/tempdir.h"
#include "fit/coda.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace zento::fit {
namespace {

using zento::testing::ReadFile;
using zento::testing::TempDir;

constexpr const char* kIndex = "a 1 3\nb 4 6\n";
constexpr const char* kChain = "11  0.5\n12  1\n13  1.5\n11  -2\n12  3e-2\n13  4\n";

struct Files {
    const char* index = kIndex; // null: no index file
    std::vector<std::pair<const char*, const char*>> chains = {{"CODAchain1.txt", kChain},
                                                               {"CODAchain2.txt", kChain}};
};

void WriteRun(const TempDir& dir, const Files& files) {
    if (files.index)
        dir.Write("CODAindex.txt", files.index);
    for (const auto& [name, text] : files.chains)
        dir.Write(name, text);
}

TEST(CodaTest, ReadsEveryNodeOfEveryChain) {
    TempDir dir;
    WriteRun(dir, Files{.chains = {{"CODAchain1.txt", kChain},
                                   {"CODAchain2.txt", "11 5\r\n12\t6\r\n13 7\r\n11 8\r\n12 9\r\n"
                                                      "13 -1e-300\r\n"}}});
    const auto draws = ReadCoda(dir.path());
    ASSERT_TRUE(draws.ok()) << DescribeFitError(draws.error());
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), draws->names);
    EXPECT_EQ(2, draws->chains);
    EXPECT_EQ(3, draws->iterations);
    EXPECT_EQ(11, draws->firstIteration);
    EXPECT_EQ(1, draws->thin);
    EXPECT_EQ((std::vector<double>{0.5, 1, 1.5, 5, 6, 7, -2, 3e-2, 4, 8, 9, -1e-300}),
              draws->values);
}

TEST(CodaTest, RefusesEveryDamagedFileNamingItsLine) {
    struct Case {
        const char* what;
        Files files;
        FitErrorKind kind;
        const char* file;
        std::int64_t line;
    };
    using K = FitErrorKind;
    const auto first = [](const char* text) {
        return std::vector<std::pair<const char*, const char*>>{{"CODAchain1.txt", text},
                                                                {"CODAchain2.txt", kChain}};
    };
    const Case cases[] = {
        {"no index", {.index = nullptr}, K::MissingFile, "CODAindex.txt", 0},
        {"empty index", {.index = ""}, K::Truncated, "CODAindex.txt", 1},
        {"index line", {.index = "a 1\n"}, K::IndexLine, "CODAindex.txt", 1},
        {"index numbers", {.index = "a 1 x\n"}, K::IndexLine, "CODAindex.txt", 1},
        {"backwards range", {.index = "a 3 1\n"}, K::IndexLine, "CODAindex.txt", 1},
        {"absurd range", {.index = "a 1 9223372036854775807\n"}, K::IndexLine, "CODAindex.txt", 1},
        {"range not first", {.index = "a 2 4\n"}, K::IndexRange, "CODAindex.txt", 1},
        {"range gap", {.index = "a 1 3\nb 5 7\n"}, K::IndexRange, "CODAindex.txt", 2},
        {"shorter node", {.index = "a 1 3\nb 4 5\n"}, K::IndexRange, "CODAindex.txt", 2},
        {"node twice", {.index = "a 1 3\na 4 6\n"}, K::DuplicateName, "CODAindex.txt", 2},
        {"index cut", {.index = "a 1 3\nb 4 6"}, K::Truncated, "CODAindex.txt", 2},
        {"no chain", {.chains = {}}, K::MissingFile, "CODAchain1.txt", 0},
        {"chain skipped",
         {.chains = {{"CODAchain1.txt", kChain}, {"CODAchain3.txt", kChain}}},
         K::MissingFile,
         "CODAchain2.txt",
         0},
        {"lines missing", {.chains = first("11  0.5\n12  1\n")}, K::Truncated, "CODAchain1.txt", 3},
        {"last line cut",
         {.chains = first("11  0.5\n12  1\n13  1.5\n11  -2\n12  3e-2\n13  4")},
         K::Truncated,
         "CODAchain1.txt",
         6},
        {"line too many",
         {.chains = first("11  0.5\n12  1\n13  1.5\n11  -2\n12  3e-2\n13  4\n14 1\n")},
         K::ExtraLines,
         "CODAchain1.txt",
         7},
        {"one field",
         {.chains = first("11\n12 1\n13 1\n11 1\n12 1\n13 1\n")},
         K::ChainLine,
         "CODAchain1.txt",
         1},
        {"negative iteration",
         {.chains = first("-1 1\n0 1\n1 1\n-1 1\n0 1\n1 1\n")},
         K::ChainLine,
         "CODAchain1.txt",
         1},
        {"iteration not a number",
         {.chains = first("1.5 1\n12 1\n13 1\n11 1\n12 1\n13 1\n")},
         K::ChainLine,
         "CODAchain1.txt",
         1},
        {"nan",
         {.chains = first("11 1\n12 nan\n13 1\n11 1\n12 1\n13 1\n")},
         K::NotFinite,
         "CODAchain1.txt",
         2},
        {"overflow",
         {.chains = first("11 1\n12 1\n13 1e999\n11 1\n12 1\n13 1\n")},
         K::NotFinite,
         "CODAchain1.txt",
         3},
        {"word",
         {.chains = first("11 1\n12 1\n13 1\n11 NA\n12 1\n13 1\n")},
         K::NotFinite,
         "CODAchain1.txt",
         4},
        {"gap",
         {.chains = first("11 1\n12 1\n14 1\n11 1\n12 1\n13 1\n")},
         K::IterationGap,
         "CODAchain1.txt",
         3},
        {"not increasing",
         {.chains = first("11 1\n11 1\n11 1\n11 1\n11 1\n11 1\n")},
         K::IterationGap,
         "CODAchain1.txt",
         2},
        {"second node elsewhere",
         {.chains = first("11 1\n12 1\n13 1\n21 1\n22 1\n23 1\n")},
         K::IterationGap,
         "CODAchain1.txt",
         4},
        {"second chain elsewhere",
         {.chains = {{"CODAchain1.txt", kChain},
                     {"CODAchain2.txt", "21 1\n22 1\n23 1\n21 1\n22 1\n23 1\n"}}},
         K::IterationGap,
         "CODAchain2.txt",
         1},
        {"second chain shorter",
         {.chains = {{"CODAchain1.txt", kChain}, {"CODAchain2.txt", "11 1\n12 1\n13 1\n"}}},
         K::Truncated,
         "CODAchain2.txt",
         4},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteRun(dir, c.files);
        const auto draws = ReadCoda(dir.path());
        ASSERT_FALSE(draws.ok()) << c.what;
        EXPECT_EQ(c.kind, draws.error().kind) << c.what;
        EXPECT_EQ(dir.File(c.file), draws.error().file) << c.what;
        EXPECT_EQ(c.line, draws.error().line) << c.what;
        EXPECT_FALSE(DescribeFitError(draws.error()).empty());
    }
}

TEST(CodaTest, WrittenDrawsReadBackExactly) {
    Draws draws;
    draws.names = {"beta[1]", "delta"};
    draws.chains = 2;
    draws.iterations = 2;
    draws.firstIteration = 1001;
    draws.thin = 5;
    draws.values = {0.1, -1e-310, 1.0 / 3, 2e22, -0.75, 12345.678901234567, 5e-324, -0.0};
    TempDir dir;
    dir.Write("CODAchain3.txt", kChain); // from an earlier run with more chains
    ASSERT_TRUE(WriteCoda(draws, dir.path()).ok());
    EXPECT_FALSE(std::filesystem::exists(dir.File("CODAchain3.txt")));
    EXPECT_EQ("beta[1] 1 2\ndelta 3 4\n", ReadFile(dir.File("CODAindex.txt")));
    const auto back = ReadCoda(dir.path());
    ASSERT_TRUE(back.ok()) << DescribeFitError(back.error());
    EXPECT_EQ(draws.names, back->names);
    EXPECT_EQ(draws.values, back->values);
    EXPECT_EQ(1001, back->firstIteration);
    EXPECT_EQ(5, back->thin);
}

TEST(CodaTest, SingleChainRunsMergeAsOneRunWouldHaveWrittenThem) {
    TempDir first, second, other, out;
    const char* secondChain = "11  7\n12  8\n13  9\n11  10\n12  11\n13  12\n";
    WriteRun(first, Files{.chains = {{"CODAchain1.txt", kChain}}});
    WriteRun(second, Files{.chains = {{"CODAchain1.txt", secondChain}}});
    WriteRun(other, Files{.index = "a 1 3\nc 4 6\n", .chains = {{"CODAchain1.txt", kChain}}});
    out.Write("CODAchain3.txt", kChain);

    const std::vector<std::filesystem::path> mismatched = {first.path(), other.path()};
    const auto refused = MergeCodaRuns(mismatched, out.path());
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(FitErrorKind::IndexMismatch, refused.error().kind);
    EXPECT_EQ(2, refused.error().line);
    EXPECT_FALSE(std::filesystem::exists(out.File("CODAindex.txt")));

    const std::vector<std::filesystem::path> both = {first.path(), second.path()};
    ASSERT_TRUE(MergeCodaRuns(both, out.path()).ok());
    EXPECT_EQ(kIndex, ReadFile(out.File("CODAindex.txt")));
    EXPECT_EQ(kChain, ReadFile(out.File("CODAchain1.txt")));
    EXPECT_EQ(secondChain, ReadFile(out.File("CODAchain2.txt")));
    EXPECT_FALSE(std::filesystem::exists(out.File("CODAchain3.txt")));
    const auto merged = ReadCoda(out.path());
    ASSERT_TRUE(merged.ok());
    EXPECT_EQ(2, merged->chains);

    const std::vector<std::filesystem::path> twoChains = {out.path(), first.path()};
    EXPECT_EQ(FitErrorKind::NotSingleChain, MergeCodaRuns(twoChains, other.path()).error().kind);
}

} // namespace
} // namespace zento::fit
