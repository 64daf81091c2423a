// zento-cli jags: reads the chosen data, builds every file in memory, then writes them.
#include "jagscommand.h"

#include "choose.h"
#include "clicommon.h"
#include "datafile/datafilereader.h"
#include "datafile/systemfile.h"
#include "sink.h"
#include "winbugs/datacheck.h"

namespace zento::cli {

bool MayGoToJags(const Command& command, const DataSelection& selection, std::FILE* err) {
    auto check = CheckDataForJags(command.path, selection.chosenVariables, selection.chosenCases);
    if (!check) {
        Refuse(err, check.error());
        return false;
    }
    if (check->total == 0)
        return true;
    WriteMessage(err, "Los datos elegidos de \"" + command.path +
                          "\" no pueden ir a JAGS, que los leería mal; no se escribe nada:");
    for (const std::string& finding : check->shown)
        std::fprintf(err, "  %s\n", finding.c_str());
    const std::int64_t more = check->total - static_cast<std::int64_t>(check->shown.size());
    if (more > 0)
        std::fprintf(err, "  … y %s.\n", CountWords(more, "problema más", "problemas más").c_str());
    std::fprintf(err, "La lista completa: zento-cli verificar \"%s\" --variables %d --casos %d\n",
                 command.path.c_str(), static_cast<int>(selection.chosenVariables),
                 static_cast<int>(selection.chosenCases));
    return false;
}

std::optional<TableForJags> ReadTableForJags(const Command& command, std::FILE* err) {
    auto chosen = Choose(command, Reads::Lines);
    if (!chosen) {
        Refuse(err, chosen.error());
        return std::nullopt;
    }
    const DataSelection& selection = chosen->selection;
    if (selection.chosenCases < 1) {
        WriteMessage(err, "El archivo \"" + command.path +
                              "\" no tiene ningún caso completo; JAGS necesita al menos uno.");
        return std::nullopt;
    }
    DataFileReader reader(std::move(chosen->file), command.path);
    auto table = ReadChosenTable(reader, selection);
    if (!table) {
        Refuse(err, table.error());
        return std::nullopt;
    }
    if (!MayGoToJags(command, selection, err))
        return std::nullopt;
    return TableForJags{selection, std::move(*table)};
}

JagsOptions JagsOptionsOf(const Command& command) {
    JagsOptions options;
    options.chains = command.chains.value_or(options.chains);
    options.burnIn = command.burnIn.value_or(options.burnIn);
    options.iterations = command.iterations.value_or(options.iterations);
    if (command.seed)
        options.seed = static_cast<std::uint32_t>(*command.seed);
    return options;
}

int Jags(const Command& command, std::FILE* out, std::FILE* err) {
    const std::optional<TableForJags> input = ReadTableForJags(command, err);
    if (!input)
        return kExitDataError;
    const std::vector<JagsFile> files =
        BuildJagsFiles(command.link, input->table, input->selection, JagsOptionsOf(command));
    if (Status written = WriteFilesIntoDirectory(*command.directory, files); !written)
        return Refuse(err, written.error());
    std::string names;
    for (const JagsFile& file : files)
        names += (names.empty() ? "" : ", ") + file.name;
    std::fprintf(
        out, "Escritos en \"%s\": %s.\nPara ajustar el modelo: cd \"%s\" && jags ejecutar.cmd\n",
        command.directory->c_str(), names.c_str(), command.directory->c_str());
    if (Status finished = FinishStream(out); !finished)
        return Refuse(err, finished.error());
    return kExitOk;
}

} // namespace zento::cli
