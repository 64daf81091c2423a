// The command-line parser: what it accepts, what it refuses as a usage error.
#include "cli/cliargs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zento::cli {
namespace {

ParseResult Parse(std::vector<std::string_view> args) {
    return ParseCommandLine(args);
}

struct Accepted {
    std::vector<std::string_view> args;
    Action action;
    std::string path;
    std::optional<std::int32_t> variables, cases;
    std::optional<std::string> output;
    Link link = Link::Logit;
};

TEST(CliArgsTest, AcceptsEveryFormOfTheContract) {
    const std::vector<Accepted> cases = {
        {{"escanear", "d.txt"}, Action::Escanear, "d.txt", {}, {}, {}},
        {{"datos", "d.txt"}, Action::Datos, "d.txt", {}, {}, {}},
        {{"datos", "d.txt", "--variables", "2", "--casos", "1"}, Action::Datos, "d.txt", 2, 1, {}},
        {{"datos", "--variables=2", "--casos=1", "d.txt"}, Action::Datos, "d.txt", 2, 1, {}},
        {{"datos", "d.txt", "--casos", "-3", "--variables", "+4"},
         Action::Datos,
         "d.txt",
         4,
         -3,
         {}},
        {{"datos", "d.txt", "--casos=-2147483648", "--variables=2147483647"},
         Action::Datos,
         "d.txt",
         2147483647,
         -2147483647 - 1,
         {}},
        {{"datos", "d.txt", "--salida", "out.txt"}, Action::Datos, "d.txt", {}, {}, "out.txt"},
        {{"datos", "d.txt", "--salida=o.txt"}, Action::Datos, "d.txt", {}, {}, "o.txt"},
        {{"datos", "--", "-raro.txt"}, Action::Datos, "-raro.txt", {}, {}, {}},
        {{"modelo", "logit", "d.txt", "--variables", "0"}, Action::Modelo, "d.txt", 0, {}, {}},
        // clang-format off
        {{"modelo", "Power-Logit", "d.txt"}, Action::Modelo, "d.txt", {}, {}, {}, Link::PowerLogit},
        // clang-format on
        {{"--help"}, Action::Help, "", {}, {}, {}},
        {{"datos", "d.txt", "-h"}, Action::Help, "", {}, {}, {}},
        {{"--version"}, Action::Version, "", {}, {}, {}},
    };
    for (const Accepted& c : cases) {
        const ParseResult result = Parse(c.args);
        const auto* command = std::get_if<Command>(&result);
        ASSERT_NE(nullptr, command)
            << c.args.front() << " " << std::get<UsageError>(result).message;
        EXPECT_EQ(c.action, command->action);
        EXPECT_EQ(c.path, command->path);
        EXPECT_EQ(c.variables, command->variables);
        EXPECT_EQ(c.cases, command->cases);
        EXPECT_EQ(c.output, command->output);
        if (c.action == Action::Modelo) {
            EXPECT_EQ(c.link, command->link) << c.args[1];
        }
    }
}

TEST(CliArgsTest, RefusesMalformedCommandLines) {
    const std::vector<std::vector<std::string_view>> cases = {
        {},
        {"analizar", "d.txt"},
        {"Datos", "d.txt"},
        {"escanear"},
        {"escanear", "a.txt", "b.txt"},
        {"escanear", "d.txt", "--casos", "3"},
        {"datos", "d.txt", "--casos"},
        {"datos", "d.txt", "--casos", "abc"},
        {"datos", "d.txt", "--casos", "1.5"},
        {"datos", "d.txt", "--casos", ""},
        {"datos", "d.txt", "--casos", "2147483648"},
        {"datos", "d.txt", "--variables=-2147483649"},
        {"datos", "d.txt", "--casos", "99999999999999999999999"},
        {"datos", "d.txt", "--casos", " 3"},
        {"datos", "d.txt", "--casos", "1", "--casos", "2"},
        {"datos", "d.txt", "--salida="},
        {"datos", "d.txt", "--filas", "3"},
        {"datos", "d.txt", "-x"},
        {"modelo", "d.txt"},
        {"modelo"},
        {"modelo", "logistic", "d.txt"},
        {"modelo", "skewprobit", "d.txt"},
        {"modelo", "", "d.txt"},
    };
    for (const auto& args : cases) {
        const ParseResult result = Parse(args);
        const auto* usage = std::get_if<UsageError>(&result);
        ASSERT_NE(nullptr, usage) << (args.empty() ? "(nothing)" : std::string(args.back()));
        EXPECT_FALSE(usage->message.empty());
        EXPECT_EQ(std::string::npos, usage->message.find('\n'));
    }
}

TEST(CliArgsTest, VerificarAndJagsTakeTheirOwnOptions) {
    const ParseResult check = Parse({"verificar", "d.txt", "--casos", "5", "--variables=2"});
    const auto* verificar = std::get_if<Command>(&check);
    ASSERT_NE(nullptr, verificar);
    EXPECT_EQ(Action::Verificar, verificar->action);
    EXPECT_EQ("d.txt", verificar->path);
    EXPECT_EQ(5, verificar->cases);
    EXPECT_EQ(2, verificar->variables);

    const ParseResult fit =
        Parse({"jags", "skew-logit", "d.txt", "--directorio", "out", "--cadenas=4",
               "--calentamiento", "0", "--iteraciones", "20", "--casos", "1"});
    const auto* jags = std::get_if<Command>(&fit);
    ASSERT_NE(nullptr, jags) << std::get<UsageError>(fit).message;
    EXPECT_EQ(Action::Jags, jags->action);
    EXPECT_EQ(Link::SkewLogit, jags->link);
    EXPECT_EQ("d.txt", jags->path);
    EXPECT_EQ("out", jags->directory);
    EXPECT_EQ(4, jags->chains);
    EXPECT_EQ(0, jags->burnIn);
    EXPECT_EQ(20, jags->iterations);
    EXPECT_EQ(1, jags->cases);
    EXPECT_EQ(std::nullopt, jags->variables);

    const std::vector<std::vector<std::string_view>> refused = {
        {"verificar"},
        {"verificar", "d.txt", "--salida", "x.txt"},
        {"verificar", "d.txt", "--cadenas", "2"},
        {"datos", "d.txt", "--directorio", "out"},
        {"modelo", "logit", "d.txt", "--iteraciones", "10"},
        {"escanear", "d.txt", "--calentamiento", "10"},
        {"jags", "logit", "d.txt"},
        {"jags", "d.txt", "--directorio", "out"},
        {"jags", "logistic", "d.txt", "--directorio", "out"},
        {"jags", "logit", "d.txt", "--directorio", "out", "--salida", "x.txt"},
        {"jags", "logit", "d.txt", "--directorio="},
        {"jags", "logit", "d.txt", "--directorio", "a", "--directorio", "b"},
        {"jags", "logit", "d.txt", "--directorio", "out", "--casos", "0"},
        {"jags", "logit", "d.txt", "--directorio", "out", "--variables", "-1"},
        {"jags", "logit", "d.txt", "--directorio", "out", "--cadenas", "0"},
        {"jags", "logit", "d.txt", "--directorio", "out", "--cadenas", "101"},
        {"jags", "logit", "d.txt", "--directorio", "out", "--calentamiento", "-1"},
        {"jags", "logit", "d.txt", "--directorio", "out", "--iteraciones", "0"},
        {"jags", "logit", "d.txt", "--directorio", "out", "--iteraciones", "mil"},
    };
    for (const auto& args : refused) {
        const ParseResult result = Parse(args);
        const auto* usage = std::get_if<UsageError>(&result);
        ASSERT_NE(nullptr, usage) << args.front() << " " << args.back();
        EXPECT_EQ(std::string::npos, usage->message.find('\n'));
    }
}

TEST(CliArgsTest, LinkNamesIgnoreCaseAndSeparators) {
    const std::vector<std::pair<std::string_view, std::optional<Link>>> cases = {
        {"logit", Link::Logit},
        {"Probit", Link::Probit},
        {"CLOGLOG", Link::Cloglog},
        {"power_logit", Link::PowerLogit},
        {"Scobit", Link::Scobit},
        {"skew-logit", Link::SkewLogit},
        {"skewprobit-cds", Link::SkewProbitCDS},
        {"Skew-Probit-BBB", Link::SkewProbitBBB},
        {"skew_probit_standard", Link::SkewProbitStandard},
        {"skewprobit", std::nullopt},
        {"logistic", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [name, link] : cases)
        EXPECT_EQ(link, ParseLinkName(name)) << name;
}

TEST(CliArgsTest, CountsAreWholeNumbersInThe32BitRange) {
    const std::vector<std::pair<std::string_view, std::optional<std::int32_t>>> cases = {
        {"0", 0},
        {"-0", 0},
        {"+7", 7},
        {"007", 7},
        {"-1", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"18446744073709551617", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"3 ", std::nullopt},
        {"--3", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(expected, ParseCount(text)) << "«" << text << "»";
}

} // namespace
} // namespace zento::cli
