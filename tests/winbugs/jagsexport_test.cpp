// The JAGS files: the model block translated for every link, the starts and seeds of further
// chains, and a script for any set of chains. The files' exact texts, and the refusals, are
// checked through zento-cli jags in tests/cli.
#include "winbugs/jagsexport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zento {
namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos;
         text.remove_prefix(end + 2))
        lines.emplace_back(text.substr(0, end));
    return lines;
}

DataSelection Selection(std::int32_t k, std::int32_t cases) {
    DataSelection selection;
    selection.K = selection.chosenVariables = k;
    selection.chosenCases = cases;
    return selection;
}

TEST(JagsExportTest, ChangesOnlyTheTwoConstructsInEveryLink) {
    for (const LinkInfo& info : Links()) {
        const WinBugsParts parts = BuildModelParts(info, {"r.a", {"x1", "x2"}}, Selection(3, 100));
        std::vector<std::string> expected = Lines(JoinWinBugsText(parts));
        expected.resize(parts.model.size());
        const std::string text = JagsModelText(parts);
        if (info.layout == Layout::Latent) {
            // The censored line loses its bounds and gains the interval line; the half-normal
            // bound becomes a truncation.
            const std::string bounds = "I(lo[r.a[i]+1],up[r.a[i]+1])";
            ASSERT_TRUE(expected[5].ends_with(bounds)) << info.key;
            expected[5].erase(expected[5].size() - bounds.size());
            expected.insert(expected.begin() + 6, "         r.a[i] ~ dinterval(zs[i], 0)");
            ASSERT_EQ("          V[i] ~ dnorm(0,1)I(0,)", expected[7]) << info.key;
            expected[7] = "          V[i] ~ dnorm(0,1)T(0,)";
        }
        EXPECT_EQ(expected, Lines(text)) << info.key;
        EXPECT_EQ(std::string::npos, text.find("I(")) << info.key;
    }
}

std::map<std::string, std::vector<double>> ReadInits(const std::string& text) {
    std::map<std::string, std::vector<double>> values;
    for (std::string line : Lines(text)) {
        const std::size_t arrow = line.find(" <- ");
        std::vector<double>& numbers = values[line.substr(0, arrow)];
        for (char& c : line)
            c = std::string_view("(),c\"").find(c) == std::string_view::npos ? c : ' ';
        std::istringstream in(line.substr(arrow + 4));
        for (double number; in >> number;)
            numbers.push_back(number);
    }
    return values;
}

// Every case's predictor starts away from zero, but not so far that an outlier (x1 = -30) pushes
// a probability to 0 or 1: an offset u moves each case by between 0.5 u and 1.5 u, |u| <= 2.
TEST(JagsExportTest, FurtherChainsStartApartButWithinReach) {
    const ChosenTable table{{"y", "x1", "x2"},
                            {{"1", "0", "1", "0", "1"},
                             {"1", "2", "3", "4", "-30"},
                             {"100", "200", "150", "120", "180"}}};
    JagsOptions options;
    options.chains = 9;
    options.seed = 40;
    std::vector<double> deltas;
    for (Link link : {Link::PowerLogit, Link::SkewLogit}) {
        const auto files = BuildJagsFiles(link, table, Selection(3, 5), options);
        for (int chain = 1; chain <= 9; ++chain) {
            auto start = ReadInits(files[static_cast<std::size_t>(chain) + 1].text);
            EXPECT_EQ(std::vector<double>{40.0 + chain}, start[".RNG.seed"]);
            const std::vector<double>& beta = start["beta"];
            ASSERT_EQ(3u, beta.size());
            double smallest = 1e300, largest = 0;
            for (std::size_t i = 0; i < 5; ++i) {
                const double m = std::abs(beta[0] + beta[1] * std::stod(table.columns[1][i]) +
                                          beta[2] * std::stod(table.columns[2][i]));
                smallest = std::min(smallest, m);
                largest = std::max(largest, m);
            }
            EXPECT_TRUE(chain == 1 ? largest == 0 : smallest > 0.2 && largest <= 3.0001)
                << chain << ": " << smallest << " " << largest;
            const double extra =
                link == Link::PowerLogit ? start["lambda"].at(0) : start["delta"].at(0);
            EXPECT_TRUE(extra > (link == Link::PowerLogit ? 0 : -1) &&
                        extra < (link == Link::PowerLogit ? 100 : 1))
                << extra;
            if (link == Link::SkewLogit) {
                deltas.push_back(extra);
                EXPECT_EQ((std::vector<double>{0.5, -0.5, 0.5, -0.5, 0.5}), start["zs"]);
            }
        }
    }
    // Distinct starts for the first five chains.
    std::sort(deltas.begin(), deltas.begin() + 5);
    EXPECT_EQ(deltas.begin() + 5, std::unique(deltas.begin(), deltas.begin() + 5));
}

TEST(JagsExportTest, AScriptRunsAnyChainsAsChainsOneToC) {
    const WinBugsParts parts =
        BuildModelParts(GetLinkInfo(Link::Scobit), {"y", {}}, Selection(1, 5));
    const std::vector<std::int32_t> chains = {3};
    const std::vector<std::string> lines = JagsScriptLines(parts, JagsOptions{}, chains);
    EXPECT_EQ((std::vector<std::string>{"load glm", "model in modelo.bug", "data in datos.R",
                                        "compile, nchains(1)", "parameters in inits3.R, chain(1)",
                                        "initialize", "update 1000", "monitor beta",
                                        "monitor lambda", "update 1000", "coda *", "exit"}),
              lines);
}

} // namespace
} // namespace zento
