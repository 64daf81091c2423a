// The nine model texts: byte-exact against the worked examples, and their behaviour at the edges.
#include "winbugs/models.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace zento {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

DataSelection Selection(std::int32_t k, std::int32_t cases) {
    DataSelection selection;
    selection.path = "datos.txt";
    selection.chosenVariables = k;
    selection.chosenCases = cases;
    return selection;
}

ModelNames Names(std::string response, std::vector<std::string> covariates) {
    return ModelNames{std::move(response), std::move(covariates)};
}

struct LinkCase {
    Link link;
    const char* golden;
    std::size_t lines;
    std::size_t predictorLine; // 1-based
};

const std::vector<LinkCase> kLinkCases = {
    {Link::Logit, "logit", 18, 6},
    {Link::Probit, "probit", 18, 6},
    {Link::Cloglog, "cloglog", 18, 6},
    {Link::PowerLogit, "powerlogit", 20, 7},
    {Link::Scobit, "scobit", 20, 7},
    {Link::SkewLogit, "skewlogit", 22, 4},
    {Link::SkewProbitCDS, "cds", 22, 4},
    {Link::SkewProbitBBB, "bbb", 22, 4},
    {Link::SkewProbitStandard, "standard", 24, 4},
};

TEST(ModelsTest, WorkedExamplesByteForByte) {
    const ModelNames names = Names("y", {"x1", "x2"});
    for (const LinkCase& c : kLinkCases) {
        const std::string expected = testing::ReadFile(std::string(ZENTO_GOLDEN_DIR) + "/" +
                                                       c.golden + "_y_x1_x2_k3_n100.txt");
        ASSERT_FALSE(expected.empty()) << c.golden;
        EXPECT_EQ(expected, GetLinkInfo(c.link).build(names, Selection(3, 100))) << c.golden;
    }
}

TEST(ModelsTest, LineCountDoesNotDependOnNamesOrCounts) {
    const std::vector<std::pair<ModelNames, std::int32_t>> inputs = {
        {Names("y", {}), 1},
        {Names("y", {}), 0},
        {Names("y", {}), -7},
        {Names("respuesta", {"a", "b", "c", "d", "e", "f"}), 7},
    };
    for (const LinkCase& c : kLinkCases) {
        for (const auto& [names, k] : inputs) {
            const std::string text = GetLinkInfo(c.link).build(names, Selection(k, -12));
            EXPECT_EQ(c.lines, Lines(text).size()) << c.golden << " k=" << k;
            EXPECT_TRUE(text.ends_with("=-12,k=" + std::to_string(k) + ")")) << c.golden;
        }
    }
}

TEST(ModelsTest, OneVariableGivesABarePredictorAndOneZero) {
    for (const LinkCase& c : kLinkCases) {
        const std::string text = GetLinkInfo(c.link).build(Names("y", {}), Selection(1, 100));
        const auto lines = Lines(text);
        EXPECT_EQ("         m[i] <- beta[1]", lines[c.predictorLine - 1]) << c.golden;
        const std::string& inits = lines[lines.size() - 4];
        EXPECT_EQ(0u, inits.find("list(beta=c(0)")) << c.golden << ": " << inits;
        EXPECT_TRUE(lines.back().ends_with(",k=1)")) << c.golden;
    }
}

TEST(ModelsTest, ZeroOrNegativeKIsTheOneVariableTextWithKAsTyped) {
    for (const LinkCase& c : kLinkCases) {
        const ModelBuilder build = GetLinkInfo(c.link).build;
        const std::string one = build(Names("y", {}), Selection(1, 100));
        const std::string oneBody = one.substr(0, one.size() - std::string_view(",k=1)").size());
        for (std::int32_t k : {0, -1, -2147483647 - 1}) {
            EXPECT_EQ(oneBody + ",k=" + std::to_string(k) + ")",
                      build(Names("y", {}), Selection(k, 100)))
                << c.golden;
        }
    }
}

TEST(ModelsTest, CovariatesGetCoefficientsTwoToKInOrder) {
    const ModelNames names = Names("y", {"a", "b", "c"});
    for (const LinkCase& c : kLinkCases) {
        const auto lines = Lines(GetLinkInfo(c.link).build(names, Selection(4, 5)));
        EXPECT_EQ("         m[i] <- beta[1]+beta[2]*a[i]+beta[3]*b[i]+beta[4]*c[i]",
                  lines[c.predictorLine - 1]);
        EXPECT_EQ(0u, lines[lines.size() - 4].find("list(beta=c(0,0,0,0)")) << c.golden;
    }
    EXPECT_EQ("", BuildCovariateTerms({}));
    EXPECT_EQ("+beta[2]*x[i]", BuildCovariateTerms({"x"}));
    for (auto [k, tail] : std::vector<std::pair<std::int32_t, std::string>>{
             {-3, ""}, {0, ""}, {1, ""}, {2, ",0"}, {5, ",0,0,0,0"}})
        EXPECT_EQ(tail, BuildZeroTail(k)) << k;
}

TEST(ModelsTest, LongAndNonAsciiNamesAreWrittenWhereTheyBelong) {
    const std::string response = "respuesta_\xf1" + std::string(300, 'r');
    const std::string covariate = "peso\xe9\xa0" + std::string(200, 'c');
    const ModelNames names = Names(response, {covariate});
    for (const LinkCase& c : kLinkCases) {
        const auto lines = Lines(GetLinkInfo(c.link).build(names, Selection(2, 10)));
        const bool latent = c.predictorLine == 4;
        std::vector<std::size_t> responseLines, covariateLines;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            for (std::size_t at = 0; (at = lines[i].find(response, at)) != std::string::npos;
                 at += response.size())
                responseLines.push_back(i + 1);
            if (lines[i].find(covariate) != std::string::npos)
                covariateLines.push_back(i + 1);
        }
        const std::vector<std::size_t> expectedResponseLines =
            latent ? std::vector<std::size_t>{6, 6} : std::vector<std::size_t>{4};
        EXPECT_EQ(expectedResponseLines, responseLines) << c.golden;
        EXPECT_EQ(std::vector<std::size_t>{c.predictorLine}, covariateLines) << c.golden;
        if (latent) {
            EXPECT_NE(std::string::npos,
                      lines[5].find("I(lo[" + response + "[i]+1],up[" + response + "[i]+1])"));
        }
    }
}

TEST(ModelsTest, LinkTableIsCompleteAndInMenuOrder) {
    const std::vector<std::string_view> labels = {"Logit",       "Probit", "Cloglog",
                                                  "Power logit", "Scobit", "Skew logit",
                                                  "CDS",         "BBB",    "Standard"};
    ASSERT_EQ(labels.size(), Links().size());
    std::set<std::string_view> keys;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(labels[i], Links()[i].label);
        EXPECT_EQ(&Links()[i], &GetLinkInfo(Links()[i].link));
        EXPECT_EQ(&Links()[i], FindLink(Links()[i].key));
        keys.insert(Links()[i].key);
    }
    EXPECT_EQ(labels.size(), keys.size());
    EXPECT_EQ(nullptr, FindLink("Logit"));
}

} // namespace
} // namespace zento
