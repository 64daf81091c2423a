// The JAGS files of a link and a selection: the chosen table, the data, the script, all at once;
// and their writing, all or none.
#include "jagsexport.h"

#include "datacheck.h"
#include "datafile/datafilereader.h"
#include "datafile/replacedfile.h"
#include "datafile/systemfile.h"
#include "rectangulardata.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <numeric>

namespace zento {

Result<ChosenTable> ReadChosenTable(const DataSelection& selection) {
    auto reader = DataFileReader::Open(selection.path);
    if (!reader)
        return reader.error();
    return ReadChosenTable(*reader, selection);
}

Result<ChosenTable> ReadChosenTable(DataFileReader& reader, const DataSelection& selection) {
    const std::int64_t kept = std::max<std::int64_t>(selection.chosenVariables, 0);
    const std::int64_t dropped =
        std::max<std::int64_t>(std::int64_t{selection.K} - selection.chosenVariables, 0);
    const std::int64_t cases = std::max<std::int64_t>(selection.chosenCases, 0);
    ChosenTable table;
    std::string_view token;
    for (std::int64_t line = -1; line < cases; ++line) {
        for (std::int64_t i = 0; i < kept + dropped; ++i) {
            if (!reader.ReadToken(token)) {
                if (reader.failed())
                    return reader.error();
                return RectangularShortage(selection, reader.tokensRead());
            }
            if (i >= kept)
                continue;
            if (line < 0)
                table.names.emplace_back(token);
            else
                table.columns[static_cast<std::size_t>(i)].emplace_back(token);
        }
        // Sized only once the names are read: the counts may be far larger than the file.
        if (line < 0)
            table.columns.resize(table.names.size());
    }
    return table;
}

std::string JagsDataText(const WinBugsParts& parts, const ChosenTable& table) {
    std::string text;
    for (const ListEntry& entry : parts.data)
        text += RAssignment(entry.name, entry.value);
    for (std::size_t c = 0; c < table.names.size() && c < table.columns.size(); ++c) {
        std::vector<std::string> numbers;
        numbers.reserve(table.columns[c].size());
        for (const std::string& value : table.columns[c])
            numbers.push_back(JagsNumber(value));
        text += RAssignment(table.names[c], RVector(numbers));
    }
    return text;
}

std::vector<std::string> JagsScriptLines(const WinBugsParts& parts, const JagsOptions& options,
                                         std::span<const std::int32_t> chains) {
    std::vector<std::string> lines;
    // The glm module's block samplers update the correlated coefficients together; without
    // them the intercept of an uncentred covariate mixes very slowly.
    lines.emplace_back("load glm");
    lines.emplace_back("model in modelo.bug");
    lines.emplace_back("data in datos.R");
    lines.push_back("compile, nchains(" + std::to_string(chains.size()) + ")");
    for (std::size_t i = 0; i < chains.size(); ++i)
        lines.push_back("parameters in inits" + std::to_string(chains[i]) + ".R, chain(" +
                        std::to_string(i + 1) + ")");
    lines.emplace_back("initialize");
    lines.push_back("update " + std::to_string(options.burnIn));
    for (const ListEntry& entry : parts.inits)
        lines.push_back("monitor " + entry.name);
    lines.push_back("update " + std::to_string(options.iterations));
    lines.emplace_back("coda *");
    lines.emplace_back("exit");
    return lines;
}

std::vector<JagsFile> BuildJagsFiles(Link link, const ChosenTable& table,
                                     const DataSelection& selection, const JagsOptions& options) {
    ModelNames names;
    if (!table.names.empty()) {
        names.response = table.names.front();
        names.covariates.assign(table.names.begin() + 1, table.names.end());
    }
    const LinkInfo& info = GetLinkInfo(link);
    const WinBugsParts parts = BuildModelParts(info, names, selection);

    std::vector<JagsFile> files;
    files.push_back({"modelo.bug", JagsModelText(parts)});
    files.push_back({"datos.R", JagsDataText(parts, table)});
    std::vector<std::int32_t> chains(static_cast<std::size_t>(std::max(options.chains, 1)));
    std::iota(chains.begin(), chains.end(), 1);
    for (std::int32_t chain : chains)
        files.push_back({"inits" + std::to_string(chain) + ".R",
                         JagsInitsText(info, parts, table, chain, ChainSeed(options.seed, chain))});
    std::string script;
    for (const std::string& line : JagsScriptLines(parts, options, chains))
        (script += line) += "\r\n";
    files.push_back({"ejecutar.cmd", std::move(script)});
    return files;
}

Status WriteFilesIntoDirectory(const std::string& directory, const std::vector<JagsFile>& files) {
    namespace fs = std::filesystem;
    const fs::path dir = PathFromUtf8(directory);
    std::error_code ec;
    bool created = false;
    if (!fs::is_directory(dir, ec)) {
        if (fs::exists(dir, ec))
            return FileError(DataErrorKind::WriteFailed, directory, ENOTDIR);
        // A drive that is not there (Windows): the library would blame the name's length.
        if (dir.has_root_name() && !fs::exists(dir.root_path(), ec))
            return FileError(DataErrorKind::WriteFailed, directory, ENOENT);
        created = fs::create_directories(dir, ec);
        if (ec)
            return FileError(DataErrorKind::WriteFailed, directory, ErrnoOf(ec));
    }
    const auto written = [&]() -> Status {
        std::vector<std::unique_ptr<ReplacedFile>> replaced;
        for (const JagsFile& file : files) {
            const fs::path target = dir / file.name;
            auto opened = ReplacedFile::Create(target, Utf8FromPath(target));
            if (!opened)
                return opened.error();
            if (!(*opened)->Write(file.text))
                return (*opened)->error();
            replaced.push_back(std::move(*opened));
        }
        return ReplaceAll(replaced);
    }();
    if (!written && created)
        fs::remove(dir, ec);
    return written;
}

} // namespace zento
