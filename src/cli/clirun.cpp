// zento-cli's commands over the core. Each generating command plans first (what it reads, what
// it refuses, with the counts), then writes through one sink, then gives its advice.
#include "clirun.h"

#include "choose.h"
#include "datafile/datafilereader.h"
#include "datafile/headerseparator.h"
#include "datafile/scandatafile.h"
#include "fitcommands.h"
#include "jagscommand.h"
#include "sink.h"
#include "verificar.h"
#include "winbugs/datacheck.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include <functional>
#include <string>

#ifndef ZENTO_VERSION
#define ZENTO_VERSION "0"
#endif

namespace zento::cli {

namespace {

// Writes the text through the sink of target, opened only now that the plan holds: the
// writer's own refusal, or what the sink could not do, is the error; a replaced file is renamed
// into place only when the whole text went through.
int Emit(Target target, const Command& command, std::FILE* out, std::FILE* err,
         const std::function<Status(const TextSink&)>& write, std::uint64_t expected = 0) {
    auto sink = OpenSink(target, command.output, out);
    if (!sink)
        return Refuse(err, sink.error());
    Sink& to = **sink;
    if (expected > 0)
        to.Expect(expected);
    const Status written = write([&to](std::string_view piece) { return to.Write(piece); });
    if (!written) {
        const DataError& error = written.error();
        return Refuse(err, error.kind == DataErrorKind::WriteFailed ? to.error() : error);
    }
    if (Status finished = to.Finish(); !finished)
        return Refuse(err, finished.error());
    return kExitOk;
}

int WriteToStream(std::FILE* out, std::FILE* err, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out);
    if (Status finished = FinishStream(out); !finished)
        return Refuse(err, finished.error());
    return kExitOk;
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
        return Refuse(err, counts.error());
    const int status = WriteToStream(out, err,
                                     "Variables (K): " + std::to_string(counts->K) +
                                         "\nCasos (N): " + std::to_string(counts->N) + "\n");
    if (status == kExitOk)
        WarnAboutSeparator(command, err);
    return status;
}

// What datos reads and whether the file holds it, settled before the first byte goes out. A
// replaced file takes back a refusal found while writing; standard output and a device cannot,
// so for them every token the text reads is counted first, in the same open file.
Result<Chosen> PlanDatos(const Command& command, Target target) {
    auto chosen = Choose(command, Reads::LinesToTheEnd);
    // Until the end of the file only the header can be short, and the writer hands nothing on
    // before the header's line is whole.
    if (!chosen || chosen->cases == CaseCount::UntilEnd || target == Target::ReplacedFile)
        return chosen;
    const DataSelection& selection = chosen->selection;
    const std::int64_t needed = RectangularTokensNeeded(selection);
    std::int64_t available = chosen->tokens.value_or(0);
    if (!chosen->tokens) {
        FileByteSource& file = *chosen->file;
        auto counted = CountTokensUpTo(file, command.path, needed);
        if (!counted)
            return counted.error();
        if (!file.Rewind())
            return FileError(DataErrorKind::Unreadable, command.path, file.error());
        available = *counted;
    }
    if (available < needed)
        return RectangularShortage(selection, available);
    return chosen;
}

int Datos(const Command& command, std::FILE* out, std::FILE* err) {
    const Target target = TargetOf(command.output);
    auto plan = PlanDatos(command, target);
    if (!plan)
        return Refuse(err, plan.error());
    DataSelection& selection = plan->selection;
    // Each value and its separator become the value and a tab, and each line gains a tab and a
    // CR, so the text is the file's size and a little more.
    const std::uint64_t expected = plan->file->size() + plan->file->size() / 16;
    DataFileReader reader(std::move(plan->file), command.path);
    const int status = Emit(
        target, command, out, err,
        [&](const TextSink& sink) -> Status {
            auto cases = WriteRectangularData(reader, selection, plan->cases, sink);
            if (!cases)
                return cases.error();
            if (plan->cases == CaseCount::UntilEnd)
                selection.N = selection.chosenCases = static_cast<std::int32_t>(*cases);
            return Done{};
        },
        expected);
    if (status == kExitOk && selection.chosenVariables >= 1)
        WarnAboutChosenCases(command, selection, err);
    return status;
}

int Modelo(const Command& command, std::FILE* out, std::FILE* err) {
    auto chosen = Choose(command, Reads::Names);
    if (!chosen)
        return Refuse(err, chosen.error());
    const DataSelection& selection = chosen->selection;
    DataFileReader reader(std::move(chosen->file), command.path);
    auto names = ReadModelNames(reader, selection.chosenVariables);
    if (!names)
        return Refuse(err, names.error());
    const std::string text = GetLinkInfo(command.link).build(*names, selection);
    const int status =
        Emit(TargetOf(command.output), command, out, err, [&text](const TextSink& sink) -> Status {
            if (sink(text))
                return Done{};
            return FileError(DataErrorKind::WriteFailed, {});
        });
    if (status == kExitOk && command.cases)
        WarnAboutDeclaredCases(command, selection, err);
    return status;
}

} // namespace

void WriteMessage(std::FILE* err, std::string_view text) {
    std::fprintf(err, "zento-cli: %.*s\n", static_cast<int>(text.size()), text.data());
}

int Refuse(std::FILE* err, const DataError& error) {
    if (error.kind == DataErrorKind::WriteFailed && error.path.empty())
        WriteMessage(err, "No se puede escribir en la salida estándar: " +
                              DescribeSystemError(error.systemError) + ".");
    else
        WriteMessage(err, DescribeDataError(error));
    return kExitDataError;
}

int Run(const Command& command, std::FILE* out, std::FILE* err) {
    switch (command.action) {
    case Action::Help:
        return WriteToStream(out, err, HelpText());
    case Action::Version:
        return WriteToStream(out, err, ZENTO_VERSION "\n");
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
    case Action::Ajustar:
        return Ajustar(command, out, err);
    case Action::Resumir:
        return Resumir(command, out, err);
    case Action::Comparar:
        return Comparar(command, out, err);
    }
    return kExitUsage;
}

int RunCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* err) {
    const ParseResult parsed = ParseCommandLine(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        WriteMessage(err, usage->message);
        std::fputs(UsageSummary().c_str(), err);
        return kExitUsage;
    }
    return Run(std::get<Command>(parsed), out, err);
}

} // namespace zento::cli
