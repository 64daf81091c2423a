// Reading the names of a model: first tokens of the file, refusal when the file holds too few.
#include "winbugs/models.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zento {
namespace {

struct NamesCase {
    const char* label;
    std::string bytes;
    std::int32_t k;
    std::vector<std::string> names; // response first; empty when refused
    std::int64_t needed = 0, available = 0;
};

TEST(ReadModelNamesTest, TakesTheLeadingTokensOrRefuses) {
    const std::string example = "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";
    const std::string longName(5000, 'z');
    const std::vector<NamesCase> cases = {
        {"whole header", example, 3, {"y", "x1", "x2"}},
        {"leading columns", example, 2, {"y", "x1"}},
        {"k beyond the header runs into the first row", example, 5, {"y", "x1", "x2", "1", "0.5"}},
        {"k = 1", example, 1, {"y"}},
        {"k = 0 reads the response only", example, 0, {"y"}},
        {"negative k reads the response only", example, -4, {"y"}},
        {"LF line ends", "y\tx1\tx2\n1\t0.5\t2\n", 3, {"y", "x1", "x2"}},
        {"space-separated header", "y x1 x2\n", 3, {"y", "x1", "x2"}},
        {"long and non-ASCII names", "resp\xf1\t" + longName + "\n", 2, {"resp\xf1", longName}},
        {"every token of the file is enough",
         example,
         9,
         {"y", "x1", "x2", "1", "0.5", "2", "0", "1.5", "3"}},
        {"one token short", example, 10, {}, 10, 9},
        {"empty file", "", 1, {}, 1, 0},
        {"empty file, k = 0", "", 0, {}, 1, 0},
        {"only whitespace", " \r\n\t", 3, {}, 3, 0},
        {"huge k on a small file", example, 2147483647, {}, 2147483647, 9},
    };
    testing::TempDir dir;
    for (const NamesCase& c : cases) {
        const std::string path = dir.Write("d.txt", c.bytes);
        auto names = ReadModelNames(path, c.k);
        if (c.names.empty()) {
            ASSERT_FALSE(names.ok()) << c.label;
            const DataError& e = names.error();
            EXPECT_EQ(DataErrorKind::TooFewTokens, e.kind) << c.label;
            EXPECT_TRUE(e.modelNames);
            EXPECT_EQ(c.needed, e.needed) << c.label;
            EXPECT_EQ(c.available, e.available) << c.label;
            EXPECT_EQ(c.k, e.requestedVariables);
            EXPECT_EQ(path, e.path);
            continue;
        }
        ASSERT_TRUE(names.ok()) << c.label;
        std::vector<std::string> all{names->response};
        all.insert(all.end(), names->covariates.begin(), names->covariates.end());
        EXPECT_EQ(c.names, all) << c.label;
    }
}

} // namespace
} // namespace zento
