// Reads a data file forward as whitespace-separated tokens.
#pragma once

#include "bytesource.h"
#include "dataerror.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

class DataFileReader {
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;

    // Opens the file in binary (CR is whitespace anyway). path labels errors.
    static Result<DataFileReader> Open(const std::string& path);
    DataFileReader(std::unique_ptr<ByteSource> source, std::string path,
                   std::size_t chunkSize = kChunkSize);

    DataFileReader(DataFileReader&&) noexcept = default;
    DataFileReader& operator=(DataFileReader&&) noexcept = default;

    // Skips whitespace and sets token to the next run of other bytes, whatever its length.
    // The view stays valid until the next call. False at the end of the file or on a read
    // error (failed() tells which); token is then left as it was.
    bool ReadToken(std::string_view& token);
    // Consumes a run of whitespace, possibly empty. Never changes what ReadToken returns next.
    void SkipWhitespace();
    void Close() { m_source.reset(); }

    bool failed() const { return m_systemError != 0; }
    DataError error() const; // Unreadable with the errno of the failed read
    std::int64_t tokensRead() const { return m_tokensRead; }
    const std::string& path() const { return m_path; }

private:
    bool Refill();

    std::unique_ptr<ByteSource> m_source;
    std::string m_path;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::string m_carry; // a token that straddles chunks, gathered whole
    std::int64_t m_tokensRead = 0;
    int m_systemError = 0;
};

} // namespace zento
