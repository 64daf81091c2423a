// Standard output, devices and files replaced through a temporary.
#include "sink.h"

#include "datafile/systemfile.h"

#include <cerrno>
#include <system_error>

namespace zento::cli {

namespace {

namespace fs = std::filesystem;

DataError WriteError(const std::string& label, int systemError) {
    return FileError(DataErrorKind::WriteFailed, label, systemError);
}

// Standard output as the caller set it up.
class StreamSink final : public Sink {
public:
    explicit StreamSink(std::FILE* out) : m_out(out) {}
    bool Write(std::string_view piece) override { return WriteAll(m_out, piece, m_systemError); }
    Status Finish() override { return FinishStream(m_out); }
    DataError error() const override { return WriteError({}, m_systemError); }

private:
    std::FILE* m_out;
    int m_systemError = 0;
};

// A device or a pipe, written where it is.
class DeviceSink final : public Sink {
public:
    DeviceSink(UniqueFile file, std::string label) : m_file(std::move(file)), m_label(label) {}
    bool Write(std::string_view piece) override {
        return WriteAll(m_file.get(), piece, m_systemError);
    }
    Status Finish() override {
        errno = 0;
        if (std::fclose(m_file.release()) != 0)
            return WriteError(m_label, LastErrno());
        return Done{};
    }
    DataError error() const override { return WriteError(m_label, m_systemError); }

private:
    UniqueFile m_file;
    std::string m_label;
    int m_systemError = 0;
};

} // namespace

Target TargetOf(const std::optional<std::string>& output) {
    if (!output)
        return Target::StandardOutput;
    return IsDeviceOrPipe(PathFromUtf8(*output)) ? Target::InPlace : Target::ReplacedFile;
}

Result<std::unique_ptr<Sink>> OpenSink(Target target, const std::optional<std::string>& output,
                                       std::FILE* out) {
    if (target == Target::StandardOutput)
        return std::unique_ptr<Sink>(std::make_unique<StreamSink>(out));
    const std::string& path = *output;
    if (target == Target::InPlace) {
        errno = 0;
        UniqueFile file(OpenFile(PathFromUtf8(path), OpenMode::Write));
        if (!file)
            return WriteError(path, LastErrno());
        std::setvbuf(file.get(), nullptr, _IONBF, 0);
        return std::unique_ptr<Sink>(std::make_unique<DeviceSink>(std::move(file), path));
    }
    std::error_code ec;
    fs::path resolved = PathFromUtf8(path);
    if (fs::is_directory(resolved, ec))
        return WriteError(path, EISDIR);
    if (fs::is_symlink(resolved, ec)) {
        // The file the link leads to is replaced; a dangling link is replaced itself.
        if (fs::path canonical = fs::canonical(resolved, ec); !ec)
            resolved = canonical;
    }
    auto file = ReplacedFile::Create(resolved, path);
    if (!file)
        return file.error();
    return std::unique_ptr<Sink>(std::move(*file));
}

Status FinishStream(std::FILE* out) {
    errno = 0;
    if (std::fflush(out) != 0 || std::ferror(out))
        return WriteError({}, LastErrno());
    return Done{};
}

} // namespace zento::cli
