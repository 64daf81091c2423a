// zento-cli's argument parsing on any argument vector: no crash, every refusal a usage error
// (exit 2, nothing on stdout), every accepted command the same when written out and parsed again.
#include "cli/cliargs.h"
#include "cli/clirun.h"
#include "fuzzsupport.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace zento;
using namespace zento::cli;
using namespace zento::fuzz;

namespace {

// Optional sign, then decimal digits only, within the 32-bit range.
std::optional<std::int32_t> ReferenceCount(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > (std::int64_t{1} << 31))
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string_view ActionName(Action action) {
    switch (action) {
    case Action::Escanear:
        return "escanear";
    case Action::Datos:
        return "datos";
    case Action::Modelo:
        return "modelo";
    case Action::Verificar:
        return "verificar";
    case Action::Jags:
        return "jags";
    case Action::Help:
    case Action::Version:
        break;
    }
    return "";
}

// The command as arguments in one canonical spelling: options first, "--", then the positionals.
std::vector<std::string> Render(const Command& command) {
    std::vector<std::string> args;
    const auto count = [&](const char* name, const std::optional<std::int32_t>& value) {
        if (value)
            args.push_back(std::string(name) + "=" + std::to_string(*value));
    };
    count("--variables", command.variables);
    count("--casos", command.cases);
    count("--cadenas", command.chains);
    count("--calentamiento", command.burnIn);
    count("--iteraciones", command.iterations);
    if (command.output)
        args.push_back("--salida=" + *command.output);
    if (command.directory)
        args.push_back("--directorio=" + *command.directory);
    args.push_back("--");
    args.emplace_back(ActionName(command.action));
    if (command.action == Action::Modelo || command.action == Action::Jags)
        args.emplace_back(GetLinkInfo(command.link).key);
    args.push_back(command.path);
    return args;
}

bool Same(const Command& a, const Command& b) {
    return a.action == b.action && a.path == b.path && a.link == b.link &&
           a.variables == b.variables && a.cases == b.cases && a.output == b.output &&
           a.directory == b.directory && a.chains == b.chains && a.burnIn == b.burnIn &&
           a.iterations == b.iterations;
}

// What a run writes to its two streams.
struct Streams {
    char* outText = nullptr;
    std::size_t outSize = 0;
    char* errText = nullptr;
    std::size_t errSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    std::FILE* err = open_memstream(&errText, &errSize);

    void Close() {
        std::fclose(out);
        std::fclose(err);
        out = err = nullptr;
    }
    ~Streams() {
        if (out)
            Close();
        std::free(outText);
        std::free(errText);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NUL separates the arguments, as it does in a real argument vector.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> args;
    for (std::size_t start = 0; start <= bytes.size() && args.size() < 16;) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        args.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    if (size == 0)
        args.clear();

    for (std::string_view arg : args) {
        FUZZ_CHECK(ParseCount(arg) == ReferenceCount(arg));
        if (const std::optional<Link> link = ParseLinkName(arg))
            FUZZ_CHECK(ParseLinkName(GetLinkInfo(*link).key) == link);
    }

    const ParseResult parsed = ParseCommandLine(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        FUZZ_CHECK(!usage->message.empty());
        FUZZ_CHECK(usage->message.find('\n') == std::string::npos ||
                   bytes.find('\n') != std::string_view::npos);
        FUZZ_CHECK(usage->message.back() == '.');
        Streams streams;
        FUZZ_CHECK(RunCommandLine(args, streams.out, streams.err) == kExitUsage);
        streams.Close();
        FUZZ_CHECK(streams.outSize == 0);
        const std::string expected =
            "zento-cli: " + usage->message + "\n" + std::string(UsageSummary());
        FUZZ_CHECK(std::string_view(streams.errText, streams.errSize) == expected);
        return 0;
    }

    const Command& command = std::get<Command>(parsed);
    if (command.action == Action::Help || command.action == Action::Version) {
        Streams streams;
        FUZZ_CHECK(RunCommandLine(args, streams.out, streams.err) == kExitOk);
        streams.Close();
        FUZZ_CHECK(streams.outSize > 0 && streams.errSize == 0);
        return 0;
    }
    // Anything else would read files and write where the arguments say: only parse it again.
    const std::vector<std::string> rendered = Render(command);
    const std::vector<std::string_view> again(rendered.begin(), rendered.end());
    const ParseResult reparsed = ParseCommandLine(again);
    FUZZ_CHECK(std::holds_alternative<Command>(reparsed));
    FUZZ_CHECK(Same(command, std::get<Command>(reparsed)));
    return 0;
}
