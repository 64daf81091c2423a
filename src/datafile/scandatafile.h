// Counting the variables K and the cases N of a data file.
#pragma once

#include "bytesource.h"
#include "dataerror.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zento {

struct ScanCounts {
    std::int32_t K = 1;      // 1 + the tabs of the whole first line
    std::int32_t N = -1;     // tokens / K - 1; -1 for an empty file
    std::int64_t tokens = 0; // every token of the file, names included
};

// Called now and then during a scan with the bytes read so far and the file's size (0 when
// unknown). Return false to stop the scan, which then fails with DataErrorKind::Cancelled.
// May be called from whatever thread runs the scan.
using ScanProgress = std::function<bool(std::uint64_t bytesRead, std::uint64_t totalBytes)>;

// One forward pass over the file. An empty file gives K 1 and N -1; a file that cannot be read
// is an error, never an empty file; counts that do not fit 32 bits are an error.
Result<ScanCounts> ScanDataFile(const std::string& path, const ScanProgress& progress = {});

// K alone: reads only the first line (whole, however long).
Result<std::int32_t> ReadColumnCount(const std::string& path);

// The tokens of the file, counting stops as soon as limit is reached: min(limit, tokens) is
// what a command may rely on before it writes anything.
Result<std::int64_t> CountTokensUpTo(const std::string& path, std::int64_t limit);

// The same three from a source the caller opened, read from where it stands; path only labels
// errors. A caller that counts and then reads the file again rewinds the one open file, so that
// a file replaced in between cannot make the counts wrong.
Result<ScanCounts> ScanDataFile(ByteSource& source, const std::string& path,
                                const ScanProgress& progress = {});
Result<std::int32_t> ReadColumnCount(ByteSource& source, const std::string& path);
Result<std::int64_t> CountTokensUpTo(ByteSource& source, const std::string& path,
                                     std::int64_t limit);

} // namespace zento
