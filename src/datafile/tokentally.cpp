// The token counter behind ScanDataFile and the CLI's checks before it writes.
#include "tokentally.h"

#include "bytescan.h"
#include "pagebuffer.h"

#include <algorithm>
#include <cstring>

namespace zento {

std::uint64_t CountTokenStarts(const char* begin, const char* end, bool& afterWhitespace) {
    return bytescan::CountTokenStarts(begin, end, afterWhitespace);
}

Result<TokenTally> TallyTokens(ByteSource& source, const std::string& path,
                               const TallyOptions& options) {
    TokenTally tally;
    PageBuffer buffer(std::max<std::size_t>(options.chunkSize, 1));
    bool afterWhitespace = true;
    std::uint64_t nextProgress = options.progressInterval;
    for (;;) {
        const std::size_t got = source.Read(std::span(buffer.data(), buffer.size()));
        if (got == 0)
            break;
        const char* begin = buffer.data();
        const char* end = begin + got;
        tally.bytes += got;
        if (!tally.firstLineEnded) {
            const char* lineEnd = static_cast<const char*>(std::memchr(begin, '\n', got));
            tally.firstLineEnded = lineEnd != nullptr;
            tally.firstLineTabs +=
                static_cast<std::uint64_t>(std::count(begin, lineEnd ? lineEnd : end, '\t'));
            if (lineEnd && options.stopAfterFirstLine) {
                tally.tokens += CountTokenStarts(begin, lineEnd, afterWhitespace);
                return tally;
            }
        }
        tally.tokens += CountTokenStarts(begin, end, afterWhitespace);
        if (tally.tokens >= options.tokenLimit)
            return tally;
        if (options.progress && tally.bytes >= nextProgress) {
            nextProgress = tally.bytes + options.progressInterval;
            if (!options.progress(tally.bytes, source.size()))
                return FileError(DataErrorKind::Cancelled, path);
        }
    }
    if (source.error())
        return FileError(DataErrorKind::Unreadable, path, source.error());
    if (options.progress && !options.progress(tally.bytes, source.size()))
        return FileError(DataErrorKind::Cancelled, path);
    return tally;
}

Result<ScanCounts> CountsFromTally(const TokenTally& tally, const std::string& path) {
    constexpr std::uint64_t kMax = INT32_MAX;
    DataError tooLarge;
    tooLarge.kind = DataErrorKind::CountTooLarge;
    tooLarge.path = path;
    tooLarge.available =
        static_cast<std::int64_t>(std::min<std::uint64_t>(tally.tokens, INT64_MAX));
    if (tally.firstLineTabs >= kMax) {
        tooLarge.columns =
            static_cast<std::int64_t>(std::min<std::uint64_t>(tally.firstLineTabs, INT64_MAX - 1)) +
            1;
        return tooLarge;
    }
    const std::uint64_t k = tally.firstLineTabs + 1;
    tooLarge.columns = static_cast<std::int64_t>(k);
    const std::uint64_t groups = tally.tokens / k; // N + 1
    if (groups > kMax + 1)
        return tooLarge;
    ScanCounts counts;
    counts.K = static_cast<std::int32_t>(k);
    counts.N = static_cast<std::int32_t>(static_cast<std::int64_t>(groups) - 1);
    counts.tokens = tooLarge.available;
    return counts;
}

} // namespace zento
