// zento-cli's commands over the core: scan, rectangular data, model text.
#include "clirun.h"

#include "atomicfile.h"
#include "clicommon.h"
#include "datafile/datafilereader.h"
#include "datafile/headerseparator.h"
#include "datafile/scandatafile.h"
#include "jagscommand.h"
#include "verificar.h"
#include "winbugs/datacheck.h"
#include "winbugs/rectangulardata.h"

#include <cerrno>
#include <string>

#ifndef ZENTO_VERSION
#define ZENTO_VERSION "0"
#endif

namespace zento::cli {

namespace {

int DataFailure(std::FILE* err, const DataError& error) {
    WriteMessage(err, DescribeDataError(error));
    return kExitDataError;
}

int StreamFailure(std::FILE* err, int systemError) {
    WriteMessage(err, "No se puede escribir en la salida estándar: " +
                          DescribeSystemError(systemError) + ".");
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

Status Rewind(FileByteSource& file, const std::string& path) {
    if (file.Rewind())
        return Done{};
    return FileError(DataErrorKind::Unreadable, path, file.error());
}

// The text to --salida, atomically, or to stdout.
int Emit(const Command& command, const ContentWriter& write, std::FILE* out, std::FILE* err) {
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

// Advice that does not change what a command writes: on err, the exit status stays 0.
void WarnAboutSeparator(const Command& command, std::FILE* err) {
    auto separator = ReadHeaderSeparator(command.path);
    if (separator && *separator != HeaderSeparator::Tab) {
        std::string warning = DescribeHeaderSeparator(*separator, command.path);
        warning.front() = 'e'; // "El archivo ..." after "aviso: "
        WriteMessage(err, "aviso: " + warning);
    }
}

void WarnAboutChosenCases(const Command& command, const DataSelection& selection, std::FILE* err) {
    auto constant = FindConstantResponse(command.path, selection.K, selection.chosenCases);
    if (constant && *constant) {
        WriteMessage(err, "aviso: la respuesta vale " + QuotedToken(**constant) + " en " +
                              (selection.chosenCases == 1 ? std::string("el único caso elegido")
                                                          : "todos los casos elegidos") +
                              " (sin contar NA): el modelo no puede estimar nada con ellos. "
                              "¿Está el archivo ordenado por la respuesta?");
    }
}

// The cases a model text declares are used by the fit: the file must hold them, and they must
// not all have the same response.
void WarnAboutDeclaredCases(const Command& command, DataSelection selection, std::FILE* err) {
    if (selection.chosenCases < 1)
        return;
    if (!command.variables || selection.K == 0) {
        auto k = ReadColumnCount(command.path);
        if (!k)
            return;
        selection.K = *k;
    }
    const std::int64_t needed = (std::int64_t{selection.chosenCases} + 1) * selection.K;
    auto counted = CountTokensUpTo(command.path, needed);
    if (!counted)
        return;
    if (*counted < needed) {
        const std::int64_t held = std::max<std::int64_t>(*counted / selection.K - 1, 0);
        WriteMessage(err, "aviso: el modelo declara " +
                              CountWords(selection.chosenCases, "caso", "casos") + " y \"" +
                              command.path + "\" tiene " +
                              CountWords(held, "caso completo", "casos completos") + " de " +
                              CountWords(selection.K, "variable", "variables") + ".");
    }
    WarnAboutChosenCases(command, selection, err);
}

int Escanear(const Command& command, std::FILE* out, std::FILE* err) {
    auto counts = ScanDataFile(command.path);
    if (!counts)
        return DataFailure(err, counts.error());
    std::fprintf(out, "Variables (K): %d\nCasos (N): %d\n", static_cast<int>(counts->K),
                 static_cast<int>(counts->N));
    const int finished = FinishStream(out, err);
    if (finished == kExitOk)
        WarnAboutSeparator(command, err);
    return finished;
}

int Datos(const Command& command, std::FILE* out, std::FILE* err) {
    // A regular output file is written to a temporary first, so a refusal found late costs
    // nothing: with the cases left to the file, counting them and writing them is one pass.
    const bool canTakeBack = command.output && !WritesInPlace(*command.output);
    if (canTakeBack && !command.cases) {
        ScanCounts found;
        const int written = Emit(
            command,
            [&](const TextSink& sink) -> Status {
                auto counts = WriteAllRectangularData(command.path, command.variables, sink);
                if (!counts)
                    return counts.error();
                found = *counts;
                return Done{};
            },
            out, err);
        if (written == kExitOk && command.variables.value_or(1) >= 1) {
            DataSelection selection;
            selection.K = found.K;
            selection.chosenCases = found.N;
            WarnAboutChosenCases(command, selection, err);
        }
        return written;
    }
    auto chosen = Choose(command, true);
    if (!chosen)
        return DataFailure(err, chosen.error());
    const DataSelection& selection = chosen->selection;
    FileByteSource& file = *chosen->source;
    if (!canTakeBack) {
        // Standard output, a device or a pipe cannot be taken back: make sure the file holds
        // every token first (a whole scan has counted them already). Counted and written from
        // the one open file, so that a file replaced meanwhile cannot cut the text short.
        const std::int64_t needed = RectangularTokensNeeded(selection);
        std::int64_t available = chosen->tokens.value_or(0);
        if (!chosen->tokens) {
            auto counted = CountTokensUpTo(file, command.path, needed);
            if (!counted)
                return DataFailure(err, counted.error());
            if (Status rewound = Rewind(file, command.path); !rewound)
                return DataFailure(err, rewound.error());
            available = *counted;
        }
        if (available < needed)
            return DataFailure(err, RectangularShortage(selection, available));
    }
    DataFileReader reader(std::move(chosen->source), command.path);
    const int written = Emit(
        command,
        [&](const TextSink& sink) { return WriteRectangularData(reader, selection, sink); }, out,
        err);
    if (written == kExitOk && selection.chosenVariables >= 1)
        WarnAboutChosenCases(command, selection, err);
    return written;
}

int Modelo(const Command& command, std::FILE* out, std::FILE* err) {
    auto chosen = Choose(command, false);
    if (!chosen)
        return DataFailure(err, chosen.error());
    const DataSelection& selection = chosen->selection;
    DataFileReader reader(std::move(chosen->source), command.path);
    auto names = ReadModelNames(reader, selection.chosenVariables);
    if (!names)
        return DataFailure(err, names.error());
    const std::string text = GetLinkInfo(command.link).build(*names, selection);
    const int written = Emit(command, TextWriter(text), out, err);
    if (written == kExitOk && command.cases)
        WarnAboutDeclaredCases(command, selection, err);
    return written;
}

} // namespace

void WriteMessage(std::FILE* err, std::string_view text) {
    std::fprintf(err, "zento-cli: %.*s\n", static_cast<int>(text.size()), text.data());
}

int FinishStream(std::FILE* out, std::FILE* err) {
    errno = 0;
    if (std::fflush(out) != 0 || std::ferror(out))
        return StreamFailure(err, errno ? errno : EIO);
    return kExitOk;
}

Result<Chosen> Choose(const Command& command, bool needK) {
    auto source = FileByteSource::Open(command.path);
    if (!source)
        return source.error();
    Chosen chosen;
    chosen.source = std::move(*source);
    DataSelection& selection = chosen.selection;
    selection.path = command.path;
    if (!command.cases) {
        auto scanned = ScanDataFile(*chosen.source, command.path);
        if (!scanned)
            return scanned.error();
        selection.K = scanned->K;
        selection.N = scanned->N;
        chosen.tokens = scanned->tokens;
    } else if (needK || !command.variables) {
        auto k = ReadColumnCount(*chosen.source, command.path);
        if (!k)
            return k.error();
        selection.K = *k;
    }
    selection.chosenVariables = command.variables.value_or(selection.K);
    selection.chosenCases = command.cases.value_or(selection.N);
    if (Status rewound = Rewind(*chosen.source, command.path); !rewound)
        return rewound.error();
    return chosen;
}

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
        WriteMessage(err, usage->message);
        std::fputs(std::string(UsageSummary()).c_str(), err);
        return kExitUsage;
    }
    return Run(std::get<Command>(parsed), out, err);
}

} // namespace zento::cli
