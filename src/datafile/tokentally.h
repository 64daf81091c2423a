// Counting the tokens of a byte source and the tabs of its first line, in one forward pass.
#pragma once

#include "bytesource.h"
#include "dataerror.h"
#include "scandatafile.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace zento {

struct TokenTally {
    std::uint64_t tokens = 0;        // tokens seen (the whole source unless a stop came first)
    std::uint64_t firstLineTabs = 0; // tabs before the first LF, or in the whole source
    bool firstLineEnded = false;     // an LF was seen
    std::uint64_t bytes = 0;         // bytes read
};

struct TallyOptions {
    bool stopAfterFirstLine = false;
    // Stop once at least this many tokens are counted (the tally may then exceed it).
    std::uint64_t tokenLimit = std::numeric_limits<std::uint64_t>::max();
    ScanProgress progress; // called every progressInterval bytes and at the end
    std::uint64_t progressInterval = std::uint64_t{4} << 20;
    std::size_t chunkSize = std::size_t{1} << 20;
};

// path only labels errors. Fails with Unreadable on a read error, Cancelled when progress says so.
Result<TokenTally> TallyTokens(ByteSource& source, const std::string& path,
                               const TallyOptions& options = {});

// Tokens that start in [begin, end), given whether the byte before begin was whitespace (true at
// the start of the source); updates that flag. The loop every scan spends its time in.
std::uint64_t CountTokenStarts(const char* begin, const char* end, bool& afterWhitespace);

// K and N from a whole-source tally: K = 1 + first-line tabs, N = tokens / K - 1, each checked
// against the 32-bit range (CountTooLarge).
Result<ScanCounts> CountsFromTally(const TokenTally& tally, const std::string& path);

} // namespace zento
