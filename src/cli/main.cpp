// zento-cli: the batch front end over the generator core.
#include "clicommon.h"
#include "clirun.h"
#include "processes.h"
#include "startup.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const zento::cli::StandardStreams streams;
    const std::vector<std::string> args = zento::cli::Utf8Arguments(argc, argv);
    const int status = zento::cli::RunCommandLine(
        std::vector<std::string_view>(args.begin(), args.end()), stdout, stderr);
    if (status == zento::cli::kExitInterrupted)
        zento::cli::EndAsInterrupted();
    return status;
}
