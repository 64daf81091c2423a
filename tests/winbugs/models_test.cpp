// The nine model texts against the worked examples byte for byte, rewritten for other names and
// counts (k <= 1, many covariates, long and 8-bit names). What a model reads from a file is
// checked by the models fuzz target over its corpus and through zento-cli modelo.
#include "winbugs/models.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace zento {
namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

// The worked example (y, x1, x2; k 3, n 100) with other names and counts put in their places.
std::string Rewritten(std::string text, const ModelNames& names, std::int32_t k, std::int32_t n) {
    std::string terms, zeros = "0";
    for (std::size_t i = 0; i < names.covariates.size(); ++i) {
        terms += "+beta[" + std::to_string(i + 2) + "]*" + names.covariates[i] + "[i]";
        zeros += ",0";
    }
    ReplaceAll(text, "+beta[2]*x1[i]+beta[3]*x2[i]", terms);
    ReplaceAll(text, "c(0,0,0)", "c(" + zeros + ")");
    ReplaceAll(text, "=100,k=3)", "=" + std::to_string(n) + ",k=" + std::to_string(k) + ")");
    ReplaceAll(text, "y[i]", names.response + "[i]");
    return text;
}

TEST(ModelsTest, EveryLinkWritesItsWorkedExampleForAnyNamesAndCounts) {
    // k <= 1 reads the response alone and keeps k as typed; names long and of 8 bits.
    const std::vector<std::tuple<ModelNames, std::int32_t, std::int32_t>> cases = {
        {{"y", {"x1", "x2"}}, 3, 100},
        {{"y", {}}, 1, 100},
        {{"y", {}}, 0, 100},
        {{"y", {}}, -1, -7},
        {{"y", {}}, INT32_MIN, INT32_MAX},
        {{"r", {"a", "b", "c", "d", "e", "f"}}, 7, 0},
        {{"respuesta_\xf1" + std::string(300, 'r'),
          {"peso\xe9\xa0" + std::string(200, 'c'), "\x80"}},
         3,
         10}};
    for (const LinkInfo& info : Links()) {
        const std::string golden = testing::ReadFile(
            std::string(ZENTO_GOLDEN_DIR) + "/" + std::string(info.key) + "_y_x1_x2_k3_n100.txt");
        ASSERT_FALSE(golden.empty()) << info.key;
        for (const auto& [names, k, n] : cases) {
            DataSelection selection;
            selection.chosenVariables = k;
            selection.chosenCases = n;
            EXPECT_EQ(Rewritten(golden, names, k, n), info.build(names, selection))
                << info.key << " k " << k;
        }
    }
}

} // namespace
} // namespace zento
