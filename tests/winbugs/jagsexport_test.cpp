// The JAGS files: the model translation, the lists taken from the WinBUGS text, data and inits.
#include "winbugs/jagsexport.h"

#include "winbugs/rectangulardata.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace zento {
namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.emplace_back(text.substr(start, end - start));
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

DataSelection Selection(std::int32_t k, std::int32_t cases, std::string path = "d.txt") {
    DataSelection selection;
    selection.path = std::move(path);
    selection.K = k;
    selection.chosenVariables = k;
    selection.chosenCases = cases;
    return selection;
}

std::string WinBugsText(Link link, const std::string& response) {
    return GetLinkInfo(link).build(ModelNames{response, {"x1", "x2"}}, Selection(3, 100));
}

bool IsLatent(Link link) {
    return link == Link::SkewLogit || link == Link::SkewProbitCDS || link == Link::SkewProbitBBB ||
           link == Link::SkewProbitStandard;
}

TEST(JagsExportTest, TranslatesTheCdsModelBlock) {
    const std::string winbugs = WinBugsText(Link::SkewProbitCDS, "y");
    const WinBugsParts parts = SplitWinBugsText(winbugs);
    const JagsModel model = TranslateModelBlock(parts.model, "y");
    EXPECT_EQ("model\r\n"
              "  {\r\n"
              "   for(i in 1:n) {\r\n"
              "         m[i] <- beta[1]+beta[2]*x1[i]+beta[3]*x2[i]\r\n"
              "         muz[i]<- m[i]+delta*sigma*V[i]\r\n"
              "         zs[i]~dnorm(muz[i],1)\r\n"
              "         y[i] ~ dinterval(zs[i], 0)\r\n"
              "          V[i] ~ dnorm(0,1)T(0,)\r\n"
              "          }\r\n"
              "\r\n"
              "  for (j  in 1:k) {beta[j] ~ dnorm(0.0,1.0E-3)}\r\n"
              "  delta ~ dunif(-1,1)\r\n"
              "  lambda<-delta/sqrt(1-pow(delta,2))\r\n"
              "  sigma<-1/sqrt(1-pow(delta,2))\r\n"
              "  lo[1]<- -50; lo[2]<- 0;\r\n"
              "  up[1]<-  0;  up[2]<-50;\r\n"
              "}\r\n",
              model.text);
    EXPECT_EQ("zs", model.latentNode);
}

TEST(JagsExportTest, ChangesOnlyTheTwoConstructsInEveryLink) {
    for (const LinkInfo& info : Links()) {
        const std::string response = "resp.a";
        const std::string winbugs = WinBugsText(info.link, response);
        const WinBugsParts parts = SplitWinBugsText(winbugs);
        ASSERT_EQ(0u, winbugs.find(parts.model)) << info.key;
        const JagsModel model = TranslateModelBlock(parts.model, response);
        std::vector<std::string> expected = Lines(parts.model);
        if (IsLatent(info.link)) {
            // The censored line loses its bounds and gains the interval line; the half-normal
            // bound becomes a truncation.
            const std::string bounds = "I(lo[resp.a[i]+1],up[resp.a[i]+1])";
            ASSERT_EQ(expected[5].size() - bounds.size(), expected[5].find(bounds)) << info.key;
            expected[5].erase(expected[5].size() - bounds.size());
            expected.insert(expected.begin() + 6, "         resp.a[i] ~ dinterval(zs[i], 0)");
            ASSERT_EQ("          V[i] ~ dnorm(0,1)I(0,)", expected[7]) << info.key;
            expected[7] = "          V[i] ~ dnorm(0,1)T(0,)";
            EXPECT_EQ("zs", model.latentNode) << info.key;
        } else {
            EXPECT_EQ(parts.model, model.text) << info.key;
            EXPECT_EQ("", model.latentNode) << info.key;
        }
        EXPECT_EQ(expected, Lines(model.text)) << info.key;
        EXPECT_TRUE(model.text.ends_with("}\r\n")) << info.key;
        EXPECT_EQ(std::string::npos, model.text.find("I(")) << info.key;
    }
}

TEST(JagsExportTest, SplitsTheTextAndReadsItsLists) {
    const std::string text = WinBugsText(Link::Logit, "y");
    const WinBugsParts logit = SplitWinBugsText(text);
    EXPECT_TRUE(logit.model.ends_with("                    }\r\n  }\r\n"));
    EXPECT_EQ("list(beta=c(0,0,0))", logit.inits);
    EXPECT_EQ("list(N=100,k=3)", logit.data);

    const std::vector<std::pair<std::string_view, std::vector<std::pair<std::string, std::string>>>>
        lists = {
            {"list(beta=c(0,0,0))", {{"beta", "c(0,0,0)"}}},
            {"list(beta=c(0),delta=0.5)", {{"beta", "c(0)"}, {"delta", "0.5"}}},
            {"list(n=-3,k=0)", {{"n", "-3"}, {"k", "0"}}},
            {"list()", {}},
            {"nothing", {}},
        };
    for (const auto& [text, expected] : lists) {
        std::vector<std::pair<std::string, std::string>> got;
        for (const ListEntry& entry : ParseBugsList(text))
            got.emplace_back(entry.name, entry.value);
        EXPECT_EQ(expected, got) << text;
    }
}

TEST(JagsExportTest, ReadsTheChosenTableAsTheRectangularDataDoes) {
    testing::TempDir dir;
    const std::string path = dir.Write("d.txt", "y\tx1\tx2\n1\t0.5\t2\n0\t1.5\t3\n");
    DataSelection selection = Selection(3, 2, path);
    selection.chosenVariables = 2;
    auto table = ReadChosenTable(selection);
    ASSERT_TRUE(table.ok());
    EXPECT_EQ((std::vector<std::string>{"y", "x1"}), table->names);
    EXPECT_EQ((std::vector<std::vector<std::string>>{{"1", "0"}, {"0.5", "1.5"}}), table->columns);

    // More cases than the file holds: refused with the rectangular data text's own counts.
    selection.chosenCases = 3;
    auto shortFile = ReadChosenTable(selection);
    ASSERT_FALSE(shortFile.ok());
    EXPECT_EQ(DataErrorKind::TooFewTokens, shortFile.error().kind);
    EXPECT_EQ(DescribeDataError(RectangularShortage(selection, 9)),
              DescribeDataError(shortFile.error()));
}

struct Files {
    std::map<std::string, std::string> byName;
    std::vector<std::string> order;
};

Files Build(Link link, const ChosenTable& table, std::int32_t chains) {
    JagsOptions options;
    options.chains = chains;
    options.burnIn = 50;
    options.iterations = 70;
    const DataSelection selection =
        Selection(static_cast<std::int32_t>(table.names.size()),
                  static_cast<std::int32_t>(table.columns.front().size()));
    Files files;
    for (JagsFile& file : BuildJagsFiles(link, table, selection, options)) {
        files.order.push_back(file.name);
        files.byName[file.name] = std::move(file.text);
    }
    return files;
}

const ChosenTable kTable{
    {"y", "x1", "x2"}, {{"1", "0", "1", "NA"}, {"0.5", "1.5", "7", "2"}, {"10", "20", "0", "1E1"}}};

TEST(JagsExportTest, WritesDataScriptAndFirstInitsFromTheWinBugsText) {
    const Files logit = Build(Link::Logit, kTable, 2);
    EXPECT_EQ(
        (std::vector<std::string>{"modelo.bug", "datos.R", "inits1.R", "inits2.R", "ejecutar.cmd"}),
        logit.order);
    EXPECT_EQ("N <- 4\r\n"
              "k <- 3\r\n"
              "y <- c(1, 0, 1, NA)\r\n"
              "x1 <- c(0.5, 1.5, 7, 2)\r\n"
              "x2 <- c(10, 20, 0, 1E1)\r\n",
              logit.byName.at("datos.R"));
    EXPECT_EQ("beta <- c(0,0,0)\r\n"
              ".RNG.name <- \"base::Mersenne-Twister\"\r\n"
              ".RNG.seed <- 1\r\n",
              logit.byName.at("inits1.R"));
    EXPECT_EQ("load glm\r\n"
              "model in modelo.bug\r\n"
              "data in datos.R\r\n"
              "compile, nchains(2)\r\n"
              "parameters in inits1.R, chain(1)\r\n"
              "parameters in inits2.R, chain(2)\r\n"
              "initialize\r\n"
              "update 50\r\n"
              "monitor beta\r\n"
              "update 70\r\n"
              "coda *\r\n"
              "exit\r\n",
              logit.byName.at("ejecutar.cmd"));

    const Files cds = Build(Link::SkewProbitCDS, kTable, 1);
    EXPECT_TRUE(cds.byName.at("datos.R").starts_with("n <- 4\r\nk <- 3\r\ny <- "));
    EXPECT_EQ("beta <- c(0,0,0)\r\n"
              "delta <- 0.5\r\n"
              "zs <- c(0.5, -0.5, 0.5, NA)\r\n"
              ".RNG.name <- \"base::Mersenne-Twister\"\r\n"
              ".RNG.seed <- 1\r\n",
              cds.byName.at("inits1.R"));
    EXPECT_NE(std::string::npos,
              cds.byName.at("ejecutar.cmd").find("monitor beta\r\nmonitor delta\r\n"));
    EXPECT_NE(std::string::npos,
              Build(Link::Scobit, kTable, 1).byName.at("ejecutar.cmd").find("monitor lambda\r\n"));

    // Ten values to a line in a long column.
    ChosenTable wide{{"y"}, {std::vector<std::string>(12, "1")}};
    EXPECT_NE(std::string::npos, Build(Link::Probit, wide, 1)
                                     .byName.at("datos.R")
                                     .find("y <- c(1, 1, 1, 1, 1, 1, 1, 1, 1, 1,\r\n  1, 1)\r\n"));
}

std::map<std::string, std::vector<double>> ReadInits(const std::string& text) {
    std::map<std::string, std::vector<double>> values;
    for (const std::string& line : Lines(text)) {
        const std::size_t arrow = line.find(" <- ");
        if (arrow == std::string::npos || line.starts_with(".RNG"))
            continue;
        std::string value = line.substr(arrow + 4);
        std::vector<double>& numbers = values[line.substr(0, arrow)];
        for (char& c : value)
            c = (c == '(' || c == ')' || c == ',' || c == 'c') ? ' ' : c;
        const char* p = value.data();
        const char* end = p + value.size();
        while (p < end) {
            while (p < end && *p == ' ')
                ++p;
            double number = 0;
            const auto [next, ec] = std::from_chars(p, end, number);
            if (ec != std::errc())
                break;
            numbers.push_back(number);
            p = next;
        }
    }
    return values;
}

TEST(JagsExportTest, SpreadsFurtherChainsWithinReach) {
    const ChosenTable table{{"y", "x1", "x2"},
                            {{"1", "0", "1", "0", "1"},
                             {"1", "2", "3", "4", "-30"},
                             {"100", "200", "150", "120", "180"}}};
    const int chains = 9;
    const Files power = Build(Link::PowerLogit, table, chains);
    const Files skew = Build(Link::SkewLogit, table, chains);
    std::vector<double> lambdas, deltas;
    for (int chain = 1; chain <= chains; ++chain) {
        const std::string name = "inits" + std::to_string(chain) + ".R";
        const auto start = ReadInits(power.byName.at(name));
        const std::vector<double>& beta = start.at("beta");
        ASSERT_EQ(3u, beta.size());
        // Every case's linear predictor starts away from zero, but not far, so that an outlier
        // (x1 = -30) cannot push a probability to 0 or 1.
        double smallest = 1e300, largest = 0;
        for (std::size_t i = 0; i < 5; ++i) {
            const double m = beta[0] + beta[1] * std::stod(table.columns[1][i]) +
                             beta[2] * std::stod(table.columns[2][i]);
            smallest = std::min(smallest, std::abs(m));
            largest = std::max(largest, std::abs(m));
        }
        if (chain == 1) {
            EXPECT_EQ(0, largest);
        } else {
            // An offset u moves each case by between 0.5 u and 1.5 u, and |u| is at most 2.
            EXPECT_LT(0.2, smallest) << chain;
            EXPECT_GE(3.0 * 1.0001, largest) << chain;
            EXPECT_GE(3.0 * 1.0001, largest / smallest) << chain;
        }
        lambdas.push_back(start.at("lambda").at(0));
        const auto skewStart = ReadInits(skew.byName.at(name));
        deltas.push_back(skewStart.at("delta").at(0));
        EXPECT_EQ((std::vector<double>{0.5, -0.5, 0.5, -0.5, 0.5}), skewStart.at("zs"));
        EXPECT_NE(std::string::npos,
                  power.byName.at(name).find(".RNG.seed <- " + std::to_string(chain) + "\r\n"));
    }
    for (double lambda : lambdas)
        EXPECT_GT(lambda, 0);
    for (double delta : deltas) {
        EXPECT_GT(delta, -1);
        EXPECT_LT(delta, 1);
    }
    EXPECT_EQ(0.5, lambdas[0]);
    EXPECT_EQ(0.5, deltas[0]);
    // Distinct starts for the first five chains.
    for (int a = 0; a < 5; ++a)
        for (int b = a + 1; b < 5; ++b)
            EXPECT_NE(deltas[a], deltas[b]) << a << " " << b;
}

} // namespace
} // namespace zento
