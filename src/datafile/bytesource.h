// Where the readers get their bytes from: a file opened in binary, or memory (tests, fuzzing).
#pragma once

#include "dataerror.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace zento {

// Closes a C stream when its owner goes.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills the front of buffer and returns how many bytes it holds; 0 at the end or on a read
    // error, which error() then reports as an errno value.
    virtual std::size_t Read(std::span<char> buffer) = 0;
    virtual int error() const { return 0; }
    // The number of bytes to expect, 0 when unknown.
    virtual std::uint64_t size() const { return 0; }
};

class FileByteSource final : public ByteSource {
public:
    // Only a regular file is a data file; a directory or a device is NotRegularFile, anything
    // that cannot be opened Unreadable.
    static Result<std::unique_ptr<FileByteSource>> Open(const std::string& path);

    std::size_t Read(std::span<char> buffer) override;
    int error() const override { return m_error; }
    std::uint64_t size() const override { return m_size; }
    // Back to the first byte of the same open file (even when its path now names another one);
    // false, with error() set, when the file cannot be sought.
    bool Rewind();

private:
    FileByteSource(std::FILE* file, std::uint64_t size) : m_file(file), m_size(size) {}

    UniqueFile m_file;
    std::uint64_t m_size = 0;
    int m_error = 0;
};

// Serves a string that the caller keeps alive, at most maxRead bytes per Read so that tests can
// make tokens straddle the reader's chunks.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view data, std::size_t maxRead = SIZE_MAX)
        : m_data(data), m_size(data.size()), m_maxRead(maxRead) {}

    std::size_t Read(std::span<char> buffer) override;
    std::uint64_t size() const override { return m_size; }

private:
    std::string_view m_data; // what is left to serve
    std::uint64_t m_size;
    std::size_t m_maxRead;
};

} // namespace zento
