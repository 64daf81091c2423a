// Files replaced through a temporary, with nothing left behind.
#include "replacedfile.h"

#include "systemfile.h"

#include <cerrno>
#include <random>
#include <system_error>

namespace zento {

namespace {

namespace fs = std::filesystem;

DataError WriteError(const std::string& label, int systemError) {
    return FileError(DataErrorKind::WriteFailed, label, systemError);
}

// A new file beside target that did not exist before ("x" refuses to open an existing one).
UniqueFile CreateTemporary(const fs::path& target, fs::path& created, int& systemError) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Appended piece by piece: GCC 12 at -O3 warns wrongly about "." + name (-Wrestrict).
        std::string name = ".";
        name += Utf8FromPath(target.filename());
        name += ".tmp";
        name += std::to_string(random() % 1000000007);
        const fs::path candidate = target.parent_path() / PathFromUtf8(name);
        errno = 0;
        if (std::FILE* file = OpenFile(candidate, OpenMode::CreateNew)) {
            created = candidate;
            return UniqueFile(file);
        }
        if (errno != EEXIST) {
            systemError = LastErrno();
            return nullptr;
        }
    }
    systemError = EEXIST;
    return nullptr;
}

} // namespace

bool WriteAll(std::FILE* file, std::string_view piece, int& systemError) {
    errno = 0;
    if (std::fwrite(piece.data(), 1, piece.size(), file) == piece.size())
        return true;
    systemError = LastErrno();
    return false;
}

Result<std::unique_ptr<ReplacedFile>> ReplacedFile::Create(fs::path target, std::string label) {
    fs::path temporary;
    int systemError = 0;
    UniqueFile file = CreateTemporary(target, temporary, systemError);
    if (!file)
        return WriteError(label, systemError);
    // The pieces come in large page-aligned blocks: a stream buffer would only copy them.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::error_code ec;
    const bool replacesAFile = fs::is_regular_file(target, ec);
    return std::unique_ptr<ReplacedFile>(new ReplacedFile(
        std::move(file), std::move(temporary), std::move(target), std::move(label), replacesAFile));
}

ReplacedFile::ReplacedFile(UniqueFile file, fs::path temporary, fs::path target, std::string label,
                           bool replacesAFile)
    : m_file(std::move(file)), m_temporary(std::move(temporary)), m_target(std::move(target)),
      m_label(std::move(label)), m_replacesAFile(replacesAFile) {}

ReplacedFile::~ReplacedFile() {
    m_file.reset();
    std::error_code ec;
    if (!m_replaced)
        fs::remove(m_temporary, ec);
}

bool ReplacedFile::Write(std::string_view piece) {
    if (!WriteAll(m_file.get(), piece, m_systemError))
        return false;
    m_written += piece.size();
    // Renamed over an existing file, the new data is written to disk at the rename (so that a
    // crash cannot leave the file empty), all at once. Started now and then while the text is
    // made, most of it is on its way by then.
    constexpr std::uint64_t kStep = std::uint64_t{8} << 20;
    if (m_replacesAFile && m_written - m_handedToDisk >= kStep) {
        StartWriteBack(m_file.get(), m_handedToDisk, m_written - m_handedToDisk);
        m_handedToDisk = m_written;
    }
    return true;
}

void ReplacedFile::Expect(std::uint64_t bytes) {
    // Not for a file that replaces another: left to delayed allocation, its data reach the disk
    // before the rename does, so that a crash cannot leave it empty; room set aside would be
    // read as zeros after a crash instead.
    if (!m_replacesAFile && m_written == 0 && ReserveSpace(m_file.get(), bytes))
        m_reserved = bytes;
}

DataError ReplacedFile::error() const {
    return WriteError(m_label, m_systemError);
}

Status ReplacedFile::Close() {
    if (!m_file)
        return Done{};
    errno = 0;
    bool flushed = std::fflush(m_file.get()) == 0;
    if (flushed && m_reserved > m_written)
        flushed = Truncate(m_file.get(), m_written);
    const bool closed = std::fclose(m_file.release()) == 0;
    if (!flushed || !closed)
        return WriteError(m_label, LastErrno());
    return Done{};
}

Status ReplacedFile::Replace() {
    std::error_code ec;
    const fs::file_status old = fs::status(m_target, ec);
    if (!ec && fs::exists(old))
        fs::permissions(m_temporary, old.permissions(), ec);
    if (const int systemError = RenameOver(m_temporary, m_target))
        return WriteError(m_label, systemError);
    m_replaced = true;
    return Done{};
}

Status ReplacedFile::Finish() {
    if (Status closed = Close(); !closed)
        return closed;
    return Replace();
}

Status ReplaceAll(std::span<const std::unique_ptr<ReplacedFile>> files) {
    for (const auto& file : files) {
        if (Status closed = file->Close(); !closed)
            return closed;
    }
    for (const auto& file : files) {
        if (Status replaced = file->Replace(); !replaced)
            return replaced;
    }
    return Done{};
}

} // namespace zento
