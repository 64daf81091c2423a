// zento-cli's argument parsing on any argument vector: no crash, every refusal a usage error
// (exit 2, the message and the usage on stderr, nothing on stdout).
#include "cli/cliargs.h"
#include "cli/clirun.h"
#include "fuzzsupport.h"

using namespace zento;
using namespace zento::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NUL separates the arguments, as it does in a real argument vector.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> args;
    for (std::size_t start = 0; size > 0 && start <= size && args.size() < 16;) {
        const std::size_t end = std::min(bytes.find('\0', start), size);
        args.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    const ParseResult parsed = ParseCommandLine(args);
    const auto* command = std::get_if<Command>(&parsed);
    // Anything but a usage error, help or the version would read files and write where the
    // arguments say: only parsed.
    if (command && command->action != Action::Help && command->action != Action::Version)
        return 0;
    fuzz::CapturedStream out, err;
    const int status = RunCommandLine(args, out.get(), err.get());
    const std::string printed = out.Text(), written = err.Text();
    if (command) {
        FUZZ_CHECK(status == kExitOk && !printed.empty() && written.empty());
    } else {
        const std::string& message = std::get<UsageError>(parsed).message;
        FUZZ_CHECK(status == kExitUsage && printed.empty() && message.ends_with('.'));
        FUZZ_CHECK(written == "zento-cli: " + message + "\n" + std::string(UsageSummary()));
        // One line, unless an argument quoted in it holds a line end.
        FUZZ_CHECK(message.find('\n') == std::string::npos || bytes.find('\n') != bytes.npos);
    }
    return 0;
}
