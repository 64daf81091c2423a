// The JAGS files: the model block of every link, the starts and seeds of further chains, and a
// script for any set of chains. The files' exact texts, and the refusals, are
// checked through zento-cli jags in tests/cli.
#include "winbugs/jagsexport.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace zento {
namespace {

// The pieces of text between separators (CR LF by default), the last one left out when empty.
std::vector<std::string> Words(std::string_view text, std::string_view separator = "|") {
    std::vector<std::string> words;
    for (std::size_t start = 0, end = 0; end != std::string_view::npos;
         start = end + separator.size()) {
        end = text.find(separator, start);
        if (end != std::string_view::npos || start < text.size())
            words.emplace_back(text.substr(start, end - start));
    }
    return words;
}

DataSelection Selection(std::int32_t k, std::int32_t cases) {
    DataSelection selection;
    selection.K = selection.chosenVariables = k;
    selection.chosenCases = cases;
    return selection;
}

// Each link's WinBUGS model block with its two constructs changed, as tests/data/jags holds it.
TEST(JagsExportTest, EveryLinkTranslatesToItsGoldenModel) {
    for (const LinkInfo& info : Links()) {
        const WinBugsParts parts = BuildModelParts(info, {"y", {"x1", "x2"}}, Selection(3, 100));
        EXPECT_EQ(testing::ReadFile(std::string(ZENTO_JAGS_GOLDEN_DIR) + "/" +
                                    std::string(info.key) + "/modelo.bug"),
                  JagsModelText(parts))
            << info.key;
    }
}

std::map<std::string, std::vector<double>> ReadInits(const std::string& text) {
    std::map<std::string, std::vector<double>> values;
    for (std::string line : Words(text, "\r\n")) {
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
// a probability to 0 or 1: an offset u moves each case by between 0.5 u and 1.5 u, |u| <= 2. The
// extra parameter stays in its range, five chains start at five places, each with its seed.
TEST(JagsExportTest, FurtherChainsStartApartButWithinReach) {
    const ChosenTable table{{"y", "x1", "x2"},
                            {{"1", "0", "1", "0", "1"},
                             {"1", "2", "3", "4", "-30"},
                             {"100", "200", "150", "120", "180"}}};
    JagsOptions options;
    options.chains = 9;
    options.seed = 40;
    std::set<double> deltas;
    const auto files = BuildJagsFiles(Link::SkewLogit, table, Selection(3, 5), options);
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
        const double delta = start["delta"].at(0);
        EXPECT_TRUE(delta > -1 && delta < 1) << delta;
        if (chain <= 5)
            deltas.insert(delta);
        EXPECT_EQ((std::vector<double>{0.5, -0.5, 0.5, -0.5, 0.5}), start["zs"]);
    }
    EXPECT_EQ(5u, deltas.size());
}

// One run for chain 3 alone, as a run per chain needs.
TEST(JagsExportTest, AScriptRunsAnyChainsAsChainsOneToC) {
    const WinBugsParts parts =
        BuildModelParts(GetLinkInfo(Link::Scobit), {"y", {}}, Selection(1, 5));
    const std::vector<std::int32_t> chain = {3};
    EXPECT_EQ(Words("load glm|model in modelo.bug|data in datos.R|compile, nchains(1)|parameters "
                    "in inits3.R, chain(1)|initialize|update 1000|monitor beta|monitor "
                    "lambda|update 1000|coda *|exit"),
              JagsScriptLines(parts, JagsOptions{}, chain));
}

} // namespace
} // namespace zento
