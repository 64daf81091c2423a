// zento-cli jags: reads the chosen data, builds every file in memory, then writes them.
#include "jagscommand.h"

#include "atomicfile.h"
#include "clicommon.h"
#include "datafile/datafilereader.h"
#include "winbugs/datacheck.h"

#include <cerrno>
#include <filesystem>

namespace zento::cli {

Status WriteFilesIntoDirectory(const std::string& directory, const std::vector<JagsFile>& files) {
    namespace fs = std::filesystem;
    const fs::path dir(directory);
    std::error_code ec;
    bool created = false;
    if (!fs::is_directory(dir, ec)) {
        if (fs::exists(dir, ec))
            return FileError(DataErrorKind::WriteFailed, directory, ENOTDIR);
        created = fs::create_directories(dir, ec);
        if (ec)
            return FileError(DataErrorKind::WriteFailed, directory, ec.value());
    }
    std::vector<PlannedFile> planned;
    for (const JagsFile& file : files) {
        const fs::path target = dir / file.name;
        planned.push_back({target, target.string(), TextWriter(file.text)});
    }
    Status written = WriteFilesAtomically(planned);
    if (!written && created)
        fs::remove(dir, ec);
    return written;
}

bool MayGoToJags(const Command& command, const DataSelection& selection, std::FILE* err) {
    auto check = CheckDataForJags(command.path, selection.chosenVariables, selection.chosenCases);
    if (!check) {
        WriteMessage(err, DescribeDataError(check.error()));
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

int Jags(const Command& command, std::FILE* out, std::FILE* err) {
    const auto failure = [err](const DataError& error) {
        WriteMessage(err, DescribeDataError(error));
        return 1;
    };
    auto chosen = Choose(command, true);
    if (!chosen)
        return failure(chosen.error());
    const DataSelection& selection = chosen->selection;
    if (selection.chosenCases < 1) {
        WriteMessage(err, "El archivo \"" + command.path +
                              "\" no tiene ningún caso completo; JAGS necesita al menos uno.");
        return 1;
    }
    DataFileReader reader(std::move(chosen->source), command.path);
    auto table = ReadChosenTable(reader, selection);
    if (!table)
        return failure(table.error());
    if (!MayGoToJags(command, selection, err))
        return 1;

    JagsOptions options;
    options.chains = command.chains.value_or(options.chains);
    options.burnIn = command.burnIn.value_or(options.burnIn);
    options.iterations = command.iterations.value_or(options.iterations);
    const std::vector<JagsFile> files = BuildJagsFiles(command.link, *table, selection, options);
    Status written = WriteFilesIntoDirectory(*command.directory, files);
    if (!written)
        return failure(written.error());
    std::string names;
    for (const JagsFile& file : files)
        names += (names.empty() ? "" : ", ") + file.name;
    std::fprintf(
        out, "Escritos en \"%s\": %s.\nPara ajustar el modelo: cd \"%s\" && jags ejecutar.cmd\n",
        command.directory->c_str(), names.c_str(), command.directory->c_str());
    return std::fflush(out) == 0 ? 0 : 1;
}

} // namespace zento::cli
