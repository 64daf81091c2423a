// zento-cli: the batch front end over the generator core.
#include "clicommon.h"
#include "clirun.h"
#include "processes.h"

#include <csignal>
#include <cstdio>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The texts carry their own CR LF; a text-mode stdout would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
#else
    // Past a file size limit a write must fail with EFBIG, so that the temporary file is removed
    // and the user told; the signal's default would end the process half way through.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int status = zento::cli::RunCommandLine(args, stdout, stderr);
    if (status == zento::cli::kExitInterrupted)
        zento::cli::EndAsInterrupted();
    return status;
}
