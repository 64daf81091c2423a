// zento-cli's commands over the core: scan, rectangular data, model text.
#include "clirun.h"

#include "atomicfile.h"
#include "datafile/scandatafile.h"
#include "jagscommand.h"
#include "verificar.h"
#include "winbugs/rectangulardata.h"

#include <cerrno>
#include <string>

#ifndef ZENTO_VERSION
#define ZENTO_VERSION "0"
#endif

namespace zento::cli {

namespace {

void Message(std::FILE* err, std::string_view text) {
    std::fprintf(err, "zento-cli: %.*s\n", static_cast<int>(text.size()), text.data());
}

int DataFailure(std::FILE* err, const DataError& error) {
    Message(err, DescribeDataError(error));
    return kExitDataError;
}

// Writes to stdout; false (with errno) when the stream refuses.
struct StreamSink {
    std::FILE* out;
    int systemError = 0;
    bool operator()(std::string_view piece) {
        errno = 0;
        if (std::fwrite(piece.data(), 1, piece.size(), out) == piece.size())
            return true;
        systemError = errno ? errno : EIO;
        return false;
    }
};

int StreamFailure(std::FILE* err, int systemError) {
    Message(err, "No se puede escribir en la salida estándar: " + DescribeSystemError(systemError) +
                     ".");
    return kExitDataError;
}

int FinishStream(std::FILE* out, std::FILE* err) {
    errno = 0;
    if (std::fflush(out) != 0 || std::ferror(out))
        return StreamFailure(err, errno ? errno : EIO);
    return kExitOk;
}

// The counts the command works with: typed ones as given, omitted ones from the file, reading
// no more of it than they need.
struct Counts {
    std::int32_t K = 0;
    std::int32_t N = 0;
    std::optional<std::int64_t> tokens; // known when the whole file was scanned
};

Result<Counts> CountsFor(const Command& command, bool needK) {
    Counts counts;
    if (!command.cases) {
        auto scanned = ScanDataFile(command.path);
        if (!scanned)
            return scanned.error();
        counts.K = scanned->K;
        counts.N = scanned->N;
        counts.tokens = scanned->tokens;
    } else if (needK || !command.variables) {
        auto k = ReadColumnCount(command.path);
        if (!k)
            return k.error();
        counts.K = *k;
    }
    return counts;
}

int Escanear(const Command& command, std::FILE* out, std::FILE* err) {
    auto counts = ScanDataFile(command.path);
    if (!counts)
        return DataFailure(err, counts.error());
    std::fprintf(out, "Variables (K): %d\nCasos (N): %d\n", static_cast<int>(counts->K),
                 static_cast<int>(counts->N));
    return FinishStream(out, err);
}

int Emit(const Command& command, const std::string& text, std::FILE* out, std::FILE* err) {
    if (command.output) {
        Status written = WriteFileAtomically(*command.output, [&](const TextSink& sink) -> Status {
            if (sink(text))
                return Done{};
            DataError error;
            error.kind = DataErrorKind::WriteFailed;
            return error;
        });
        return written ? kExitOk : DataFailure(err, written.error());
    }
    StreamSink sink{out};
    if (!sink(text))
        return StreamFailure(err, sink.systemError);
    return FinishStream(out, err);
}

int Datos(const Command& command, std::FILE* out, std::FILE* err) {
    // A regular output file is written to a temporary first, so a refusal found late costs
    // nothing: with the cases left to the file, counting them and writing them is one pass.
    const bool canTakeBack = command.output && !WritesInPlace(*command.output);
    if (canTakeBack && !command.cases) {
        Status written = WriteFileAtomically(*command.output, [&](const TextSink& sink) -> Status {
            auto counts = WriteAllRectangularData(command.path, command.variables, sink);
            if (!counts)
                return counts.error();
            return Done{};
        });
        return written ? kExitOk : DataFailure(err, written.error());
    }
    auto counts = CountsFor(command, true);
    if (!counts)
        return DataFailure(err, counts.error());
    DataSelection selection;
    selection.path = command.path;
    selection.K = counts->K;
    selection.N = counts->N;
    selection.chosenVariables = command.variables.value_or(counts->K);
    selection.chosenCases = command.cases.value_or(counts->N);
    const auto write = [&](const TextSink& sink) { return WriteRectangularData(selection, sink); };
    if (canTakeBack) {
        Status written = WriteFileAtomically(*command.output, write);
        return written ? kExitOk : DataFailure(err, written.error());
    }
    // Standard output, a device or a pipe cannot be taken back: make sure the file holds every
    // token first (a whole scan has counted them already).
    const std::int64_t needed = RectangularTokensNeeded(selection);
    std::int64_t available = 0;
    if (counts->tokens) {
        available = *counts->tokens;
    } else {
        auto counted = CountTokensUpTo(command.path, needed);
        if (!counted)
            return DataFailure(err, counted.error());
        available = *counted;
    }
    if (available < needed)
        return DataFailure(err, RectangularShortage(selection, available));
    if (command.output) {
        Status written = WriteFileAtomically(*command.output, write);
        return written ? kExitOk : DataFailure(err, written.error());
    }
    StreamSink sink{out};
    Status written = write(std::ref(sink));
    if (!written) {
        if (written.error().kind == DataErrorKind::WriteFailed)
            return StreamFailure(err, sink.systemError);
        return DataFailure(err, written.error());
    }
    return FinishStream(out, err);
}

int Modelo(const Command& command, std::FILE* out, std::FILE* err) {
    auto counts = CountsFor(command, false);
    if (!counts)
        return DataFailure(err, counts.error());
    DataSelection selection;
    selection.path = command.path;
    selection.K = counts->K;
    selection.N = counts->N;
    selection.chosenVariables = command.variables.value_or(counts->K);
    selection.chosenCases = command.cases.value_or(counts->N);
    auto names = ReadModelNames(command.path, selection.chosenVariables);
    if (!names)
        return DataFailure(err, names.error());
    return Emit(command, GetLinkInfo(command.link).build(*names, selection), out, err);
}

} // namespace

int Run(const Command& command, std::FILE* out, std::FILE* err) {
    switch (command.action) {
    case Action::Help:
        std::fputs(std::string(HelpText()).c_str(), out);
        return FinishStream(out, err);
    case Action::Version:
        std::fputs(ZENTO_VERSION "\n", out);
        return FinishStream(out, err);
    case Action::Escanear:
        return Escanear(command, out, err);
    case Action::Datos:
        return Datos(command, out, err);
    case Action::Modelo:
        return Modelo(command, out, err);
    case Action::Verificar:
        return Verificar(command, out, err);
    case Action::Jags:
        return Jags(command, out, err);
    }
    return kExitUsage;
}

int RunCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* err) {
    const ParseResult parsed = ParseCommandLine(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        Message(err, usage->message);
        std::fputs(std::string(UsageSummary()).c_str(), err);
        return kExitUsage;
    }
    return Run(std::get<Command>(parsed), out, err);
}

} // namespace zento::cli
