// The checker's rules for values and names; what it reports on whole files is checked through
// zento-cli verificar, in tests/cli.
#include "winbugs/datacheck.h"

#include "datafile/headerseparator.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace zento {
namespace {

TEST(DataCheckTest, ClassifiesValuesAsWinBugsReadsThem) {
    using V = ValueClass;
    const std::vector<std::pair<std::string_view, ValueClass>> cases = {
        {"0", V::Number},
        {"-12", V::Number},
        {"+3", V::Number},
        {"0.5", V::Number},
        {".5", V::Number},
        {"5.", V::Number},
        {"1.5E-3", V::Number},
        {"2E10", V::Number},
        {"NA", V::Missing},
        {"na", V::NotANumber},
        {"0,5", V::DecimalComma},
        {"-1,25E2", V::DecimalComma},
        {"1e-3", V::LowerCaseExponent},
        {"1.5e+2", V::LowerCaseExponent},
        {"1E", V::NotANumber},
        {"E3", V::NotANumber},
        {".", V::NotANumber},
        {"-", V::NotANumber},
        {"1.2.3", V::NotANumber},
        {"1,000,000", V::NotANumber},
        {"abc", V::NotANumber},
        {"0x1F", V::NotANumber},
        {"inf", V::NotANumber},
        {"1..2", V::NotANumber},
    };
    for (const auto& [token, expected] : cases)
        EXPECT_EQ(expected, ClassifyValue(token)) << token;
}

TEST(DataCheckTest, TellsLegalBugsNamesAndTheModelsNodes) {
    for (std::string_view name : {"y", "x1", "log.dose", "A.b.c2", "Z"})
        EXPECT_TRUE(IsLegalBugsName(name)) << name;
    for (std::string_view name : {"", "1x", ".x", "x.", "a..b", "b_1", "x-y", "a\xc3\xb1o", "x[1]"})
        EXPECT_FALSE(IsLegalBugsName(name)) << name;
    for (std::string_view name :
         {"beta",   "m",      "p",  "pl", "lambda", "muz", "zs", "V", "delta", "sigma",
          "sigma2", "preczs", "mu", "lo", "up",     "N",   "n",  "k", "i",     "j"})
        EXPECT_TRUE(IsModelNodeName(name)) << name;
    EXPECT_EQ(20u, ModelNodeNames().size());
    for (std::string_view name : {"Beta", "betas", "K", "x"})
        EXPECT_FALSE(IsModelNodeName(name)) << name;
}

TEST(DataCheckTest, NumbersGoToJagsInASyntaxItReads) {
    for (const auto& [token, written] :
         std::vector<std::pair<std::string_view, std::string_view>>{{"1E5", "1E+5"},
                                                                    {"+2.5e3", "2.5e+3"},
                                                                    {"1.5E-3", "1.5E-3"},
                                                                    {"-.5", "-.5"},
                                                                    {"7", "7"},
                                                                    {"NA", "NA"}})
        EXPECT_EQ(written, JagsNumber(token)) << token;
}

TEST(DataCheckTest, HeadersWrittenForOtherSeparatorsAreTold) {
    using S = HeaderSeparator;
    for (const auto& [header, expected] : std::vector<std::pair<std::string_view, S>>{
             {"low,age,lwt\n0,19,182\n", S::Comma},
             {"low;age;lwt\r\n0;19,5;182", S::Semicolon},
             {"a;b,c", S::Semicolon}, // a tie: semicolons, whose files use decimal commas
             {"y\tx,1\n", S::Tab},    // a comma inside a tab-separated name
             {"y x\n1,2\n", S::Tab},  // commas only below the header
             {"y\n", S::Tab},
             {std::string_view("a,\0b", 4), S::Tab}, // not a text at all
         })
        EXPECT_EQ(expected, GuessHeaderSeparator(header)) << header;
}

} // namespace
} // namespace zento
