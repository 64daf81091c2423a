// Settling a command's counts from its arguments and the file.
#include "choose.h"

#include "datafile/scandatafile.h"

namespace zento::cli {

namespace {

Status Rewind(FileByteSource& file, const std::string& path) {
    if (file.Rewind())
        return Done{};
    return FileError(DataErrorKind::Unreadable, path, file.error());
}

// Whether the writer may count the cases as it writes them: each line of the text is then one
// case of K tokens, and the file is too small for N to pass 32 bits (a token and its separator
// take two bytes at least), which the scan would otherwise refuse.
bool WriterCountsCases(const DataSelection& selection, std::uint64_t fileSize) {
    const std::uint64_t mostCases = (fileSize / 2 + 1) / static_cast<std::uint64_t>(selection.K);
    return selection.chosenVariables >= 0 && selection.chosenVariables <= selection.K &&
           mostCases <= std::uint64_t{INT32_MAX};
}

} // namespace

Result<Chosen> Choose(const Command& command, Reads reads) {
    auto file = FileByteSource::Open(command.path);
    if (!file)
        return file.error();
    Chosen chosen;
    chosen.file = std::move(*file);
    FileByteSource& source = *chosen.file;
    DataSelection& selection = chosen.selection;
    selection.path = command.path;
    if (reads != Reads::Names || (command.cases && !command.variables)) {
        auto k = ReadColumnCount(source, command.path);
        if (!k)
            return k.error();
        selection.K = *k;
        if (Status rewound = Rewind(source, command.path); !rewound)
            return rewound.error();
    }
    selection.chosenVariables = command.variables.value_or(selection.K);
    if (command.cases) {
        selection.chosenCases = *command.cases;
    } else if (reads == Reads::LinesToTheEnd && WriterCountsCases(selection, source.size())) {
        chosen.cases = CaseCount::UntilEnd;
        selection.N = selection.chosenCases = -1;
    } else {
        auto scanned = ScanDataFile(source, command.path);
        if (!scanned)
            return scanned.error();
        selection.K = scanned->K;
        selection.N = selection.chosenCases = scanned->N;
        selection.chosenVariables = command.variables.value_or(selection.K);
        chosen.tokens = scanned->tokens;
        if (Status rewound = Rewind(source, command.path); !rewound)
            return rewound.error();
    }
    return chosen;
}

} // namespace zento::cli
