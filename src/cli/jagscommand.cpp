// zento-cli jags: reads the chosen data, builds every file in memory, then writes them.
#include "jagscommand.h"

#include "climessage.h"
#include "datafile/scandatafile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>

namespace zento::cli {

namespace {

namespace fs = std::filesystem;

DataError WriteError(const fs::path& path, int systemError) {
    DataError error;
    error.kind = DataErrorKind::WriteFailed;
    error.path = path.string();
    error.systemError = systemError ? systemError : EIO;
    return error;
}

bool WriteWhole(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    return !file.fail();
}

} // namespace

Status WriteFilesIntoDirectory(const std::string& directory, const std::vector<JagsFile>& files) {
    const fs::path dir(directory);
    std::error_code ec;
    bool created = false;
    if (!fs::is_directory(dir, ec)) {
        if (fs::exists(dir, ec))
            return WriteError(dir, ENOTDIR);
        created = fs::create_directories(dir, ec);
        if (ec)
            return WriteError(dir, ec.value());
    }
    std::random_device seed;
    const std::string tag = ".tmp" + std::to_string(seed() % 1000000007);
    std::vector<fs::path> temporaries;
    const auto abandon = [&](const DataError& error) -> Status {
        std::error_code ignored;
        for (const fs::path& temporary : temporaries)
            fs::remove(temporary, ignored);
        if (created)
            fs::remove(dir, ignored);
        return error;
    };
    for (const JagsFile& file : files) {
        const fs::path temporary = dir / ("." + file.name + tag);
        temporaries.push_back(temporary);
        errno = 0;
        if (fs::exists(temporary, ec) || !WriteWhole(temporary, file.text))
            return abandon(WriteError(dir / file.name, errno));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        fs::rename(temporaries[i], dir / files[i].name, ec);
        if (ec)
            return abandon(WriteError(dir / files[i].name, ec.value()));
    }
    return Done{};
}

int Jags(const Command& command, std::FILE* out, std::FILE* err) {
    const auto failure = [err](const DataError& error) {
        WriteMessage(err, DescribeDataError(error));
        return 1;
    };
    DataSelection selection;
    selection.path = command.path;
    if (!command.cases) {
        auto scanned = ScanDataFile(command.path);
        if (!scanned)
            return failure(scanned.error());
        selection.K = scanned->K;
        selection.N = scanned->N;
    } else {
        auto k = ReadColumnCount(command.path);
        if (!k)
            return failure(k.error());
        selection.K = *k;
    }
    selection.chosenVariables = command.variables.value_or(selection.K);
    selection.chosenCases = command.cases.value_or(selection.N);
    if (selection.chosenCases < 1) {
        WriteMessage(err, "El archivo \"" + command.path +
                              "\" no tiene ningún caso completo; JAGS necesita al menos uno.");
        return 1;
    }
    auto table = ReadChosenTable(selection);
    if (!table)
        return failure(table.error());

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
