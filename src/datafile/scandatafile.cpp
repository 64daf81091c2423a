// The file-level counts: K and N for the dialogs, and the checks the CLI makes before writing.
#include "scandatafile.h"

#include "tokentally.h"

#include <algorithm>

namespace zento {

Result<ScanCounts> ScanDataFile(ByteSource& source, const std::string& path,
                                const ScanProgress& progress) {
    TallyOptions options;
    options.progress = progress;
    auto tally = TallyTokens(source, path, options);
    if (!tally)
        return tally.error();
    return CountsFromTally(*tally, path);
}

Result<std::int32_t> ReadColumnCount(ByteSource& source, const std::string& path) {
    TallyOptions options;
    options.stopAfterFirstLine = true;
    options.chunkSize = std::size_t{64} << 10; // a header is short; a longer one takes more reads
    auto tally = TallyTokens(source, path, options);
    if (!tally)
        return tally.error();
    // Only K matters here; the token count of the first line cannot make N overflow.
    TokenTally firstLine = *tally;
    firstLine.tokens = 0;
    auto counts = CountsFromTally(firstLine, path);
    if (!counts)
        return counts.error();
    return counts->K;
}

Result<std::int64_t> CountTokensUpTo(ByteSource& source, const std::string& path,
                                     std::int64_t limit) {
    TallyOptions options;
    options.tokenLimit = static_cast<std::uint64_t>(std::max<std::int64_t>(limit, 0));
    auto tally = TallyTokens(source, path, options);
    if (!tally)
        return tally.error();
    return static_cast<std::int64_t>(std::min(tally->tokens, options.tokenLimit));
}

Result<ScanCounts> ScanDataFile(const std::string& path, const ScanProgress& progress) {
    auto source = FileByteSource::Open(path);
    if (!source)
        return source.error();
    return ScanDataFile(**source, path, progress);
}

Result<std::int32_t> ReadColumnCount(const std::string& path) {
    auto source = FileByteSource::Open(path);
    if (!source)
        return source.error();
    return ReadColumnCount(**source, path);
}

Result<std::int64_t> CountTokensUpTo(const std::string& path, std::int64_t limit) {
    auto source = FileByteSource::Open(path);
    if (!source)
        return source.error();
    return CountTokensUpTo(**source, path, limit);
}

} // namespace zento
