// Where zento-cli's texts go, behind one interface: standard output, a device written in place,
// or a file replaced whole.
#pragma once

#include "datafile/bytesource.h"
#include "datafile/dataerror.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zento::cli {

// What --salida names, told before anything is opened. An existing device, pipe or socket
// (/dev/null, a FIFO) is written in place: replacing it by a renamed file would destroy the node,
// and nothing written to it can be taken back, so a command checks its data first. Anything
// else is a file replaced whole, which keeps its old content until the new one is complete.
enum class Target { StandardOutput, InPlace, ReplacedFile };
Target TargetOf(const std::optional<std::string>& output);

class Sink {
public:
    virtual ~Sink() = default;
    // False once a write has failed; error() then says why.
    virtual bool Write(std::string_view piece) = 0;
    // The text is complete: flushes it and, for a replaced file, renames it over its target.
    // Without Finish a replaced file's target stays as it was.
    virtual Status Finish() = 0;
    // WriteFailed with the errno of the failed write. Standard output's name no file: their
    // path is empty.
    virtual DataError error() const = 0;
    // About how many bytes the text will have, before the first Write.
    virtual void Expect(std::uint64_t /*bytes*/) {}
};

// The sink for target: out itself, the device opened for writing, or a new temporary file
// beside the file to replace (the one a symbolic link leads to, not the link).
Result<std::unique_ptr<Sink>> OpenSink(Target target, const std::optional<std::string>& output,
                                       std::FILE* out);

// A new temporary file beside its target, renamed over it by Replace (keeping a replaced file's
// permissions); removed when the object goes unless it was renamed.
class ReplacedFile final : public Sink {
public:
    // label is how errors name the file (the path as the user wrote it).
    static Result<std::unique_ptr<ReplacedFile>> Create(std::filesystem::path target,
                                                        std::string label);
    ~ReplacedFile() override;

    bool Write(std::string_view piece) override;
    Status Finish() override;
    DataError error() const override;
    // A new file sets that much room aside at once, which the file system then need not find
    // page by page; what is left unwritten is given back when the file is closed.
    void Expect(std::uint64_t bytes) override;
    // Flushes and closes the temporary file; then Replace renames it over the target.
    Status Close();
    Status Replace();

private:
    ReplacedFile(UniqueFile file, std::filesystem::path temporary, std::filesystem::path target,
                 std::string label, bool replacesAFile);

    UniqueFile m_file;
    std::filesystem::path m_temporary;
    std::filesystem::path m_target;
    std::string m_label;
    bool m_replacesAFile;
    bool m_replaced = false;
    int m_systemError = 0;
    std::uint64_t m_written = 0;
    std::uint64_t m_handedToDisk = 0;
    std::uint64_t m_reserved = 0;
};

// Closes every file, then renames each over its target: when one fails nothing is renamed yet;
// a rename that fails leaves the targets after it as they were.
Status ReplaceAll(std::span<const std::unique_ptr<ReplacedFile>> files);

// Flushes out and reports a failed stream (WriteFailed with an empty path).
Status FinishStream(std::FILE* out);

} // namespace zento::cli
