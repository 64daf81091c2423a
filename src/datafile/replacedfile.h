// Writing a file whole through a temporary beside it, so that the file holds either its old
// content or all of the new one; and several files replaced together. zento-cli's output and the
// JAGS bundles of zento-cli and the desktop are written this way.
#pragma once

#include "bytesource.h"
#include "dataerror.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace zento {

// One write of the whole piece, straight from the caller's buffer; false with the errno in
// systemError on failure.
bool WriteAll(std::FILE* file, std::string_view piece, int& systemError);

// Where a text goes, written piece by piece.
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

} // namespace zento
