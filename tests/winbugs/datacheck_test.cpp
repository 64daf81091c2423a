// The checker's rules for values and names; what it reports on whole files is checked through
// zento-cli verificar, in tests/cli.
#include "winbugs/datacheck.h"
#include "winbugs/models.h"

#include "datafile/headerseparator.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string_view>
#include <vector>

namespace zento {
namespace {

// Tokens separated by spaces, as a table is easier to read.
std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    for (std::size_t start = 0, end = 0; end != std::string_view::npos; start = end + 1) {
        end = text.find(' ', start);
        words.emplace_back(text.substr(start, end - start));
    }
    return words;
}

TEST(DataCheckTest, ClassifiesValuesAsWinBugsReadsThem) {
    using V = ValueClass;
    for (const auto& [expected, tokens] : std::vector<std::pair<V, std::string_view>>{
             {V::Number, "0 -12 +3 0.5 .5 5. 1.5E-3 2E10"},
             {V::Missing, "NA"},
             {V::DecimalComma, "0,5 -1,25E2"},
             {V::LowerCaseExponent, "1e-3 1.5e+2"},
             {V::NotANumber, "na 1E E3 . - 1.2.3 1,000,000 abc 0x1F inf 1..2"}})
        for (const std::string& token : Words(tokens))
            EXPECT_EQ(expected, ClassifyValue(token)) << token;
}

TEST(DataCheckTest, TellsLegalBugsNames) {
    for (const std::string& name : Words("y x1 log.dose A.b.c2 Z"))
        EXPECT_TRUE(IsLegalBugsName(name)) << name;
    for (const std::string& name : Words("1x .x x. a..b b_1 x-y a\xc3\xb1o x[1]"))
        EXPECT_FALSE(IsLegalBugsName(name)) << name;
    EXPECT_FALSE(IsLegalBugsName(""));
}

// Every name the nine texts write, but for functions, keywords and the data's own names.
TEST(DataCheckTest, ReservedNamesAreTheNodesTheNineTextsWrite) {
    const std::set<std::string> notNodes = {"model", "for", "in", "Inits", "Data", "y0", "x0"};
    std::set<std::string> written;
    DataSelection selection;
    selection.chosenVariables = 2;
    for (const LinkInfo& link : Links()) {
        const std::string text = link.build({"y0", {"x0"}}, selection);
        for (std::size_t i = 0, end; i < text.size(); i = end + 1) {
            for (end = i; end < text.size() && std::isalnum(text[end]);)
                ++end;
            const std::string name = text.substr(i, end - i);
            // Not a number's digits or exponent (after a digit), nor a function.
            if (!name.empty() && std::isalpha(name[0]) && !(i > 0 && std::isdigit(text[i - 1])) &&
                text[end] != '(' && !notNodes.contains(name))
                written.insert(name);
        }
    }
    EXPECT_EQ(written, std::set<std::string>(ModelNodeNames().begin(), ModelNodeNames().end()));
    for (std::string_view name : {"beta", "sigma2", "N", "n", "Beta", "betas", "K", "x"})
        EXPECT_EQ(written.contains(std::string(name)), IsModelNodeName(name)) << name;
}

TEST(DataCheckTest, NumbersGoToJagsInASyntaxItReads) {
    const std::vector<std::string> tokens = Words("1E5 +2.5e3 1.5E-3 -.5 7 NA");
    const std::vector<std::string> written = Words("1E+5 2.5e+3 1.5E-3 -.5 7 NA");
    for (std::size_t i = 0; i < tokens.size(); ++i)
        EXPECT_EQ(written[i], JagsNumber(tokens[i])) << tokens[i];
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
