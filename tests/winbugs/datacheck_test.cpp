// The checker's rules for values and names; what it reports on whole files is checked through
// zento-cli verificar, in tests/cli.
#include "winbugs/datacheck.h"

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

} // namespace
} // namespace zento
