// Plain references that the tests and the fuzz targets hold the core to, written byte by byte
// and apart from the code under test: tokens, the first line's tabs, the rectangular text, and
// every way of taking tokens from the reader mixed at random.
#pragma once

#include "datafile/bytesource.h"
#include "datafile/datafilereader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zento::testing {

// Space, tab, LF, VT, FF and CR.
inline bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline std::vector<std::string_view> ReferenceTokens(std::string_view bytes) {
    std::vector<std::string_view> tokens;
    for (std::size_t i = 0, start = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || IsBlank(bytes[i])) {
            if (i > start)
                tokens.push_back(bytes.substr(start, i - start));
            start = i + 1;
        }
    }
    return tokens;
}

// Tabs before the first LF, or in the whole input when it has none.
inline std::uint64_t ReferenceFirstLineTabs(std::string_view bytes) {
    const std::string_view line = bytes.substr(0, bytes.find('\n'));
    return static_cast<std::uint64_t>(std::count(line.begin(), line.end(), '\t'));
}

// The text as the reading order defines it: every line keeps max(V, 0) tokens and drops
// max(K - V, 0); nothing when the file holds too few.
inline std::optional<std::string> ReferenceRectangular(const std::vector<std::string_view>& tokens,
                                                       std::int64_t k, std::int64_t v,
                                                       std::int64_t m) {
    const std::int64_t kept = std::max<std::int64_t>(v, 0),
                       dropped = std::max<std::int64_t>(k - v, 0);
    const std::int64_t lines = 1 + std::max<std::int64_t>(m, 0);
    if ((kept + dropped) * lines > static_cast<std::int64_t>(tokens.size()))
        return std::nullopt;
    std::string text;
    std::size_t next = 0;
    for (std::int64_t line = 0; line < lines; ++line, next += static_cast<std::size_t>(dropped)) {
        for (std::int64_t i = 0; i < kept; ++i)
            (text += tokens[next++]) += line == 0 ? "[]\t" : "\t";
        text += "\r\n";
    }
    return text + "END\r\n";
}

// A table of k random tokens to a row, as data files are and as they should not be: tokens of 14
// to 18 bytes (around the 16 copied at once), a fifth of 1 to 40, a few of thousands, of letters
// or of bytes that look close to whitespace but are not; mostly a tab between values and LF or
// CR LF after a row, now and then blanks before the first, runs of other whitespace and blank
// lines.
inline std::string RandomTable(std::minstd_rand& random, int k, int rows) {
    static constexpr char kOther[] = {'a',    '0',    '.',    '\0',   '\x08', '\x0e', '\x1f',
                                      '\x7f', '\x80', '\x89', '\x8d', '\xa0', '\xff'};
    std::string bytes = random() % 4 ? "" : " \r\n";
    for (int row = 0; row < rows; ++row) {
        for (int c = 0; c < k; ++c) {
            const unsigned kind = random() % 100, gap = random() % 200;
            const std::size_t length = kind == 0   ? 3000 + random() % 3000
                                       : kind < 20 ? 1 + random() % 40
                                                   : 14 + random() % 5;
            for (std::size_t i = 0; i < length; ++i)
                bytes += kind % 2 ? kOther[random() % std::size(kOther)]
                                  : static_cast<char>('a' + random() % 26);
            bytes += c + 1 < k ? (gap == 0   ? " \t\v"
                                  : gap == 1 ? " "
                                             : "\t")
                               : (gap < 20    ? "\r\n"
                                  : gap == 20 ? "\n\n\f"
                                              : "\n");
        }
    }
    return bytes;
}

// Reads bytes with the reader's every way of taking tokens, mixed as seed says (0: ReadToken
// alone), through chunks of chunk bytes from a source that hands out sourceRead at a time.
// Returns what went wrong, empty when the tokens come out as the reference has them, each with
// the readable slack after it that the fast copies rely on (AddressSanitizer checks it).
inline std::string CheckReaderMix(std::string_view bytes, std::size_t chunk, std::size_t sourceRead,
                                  std::uint32_t seed) {
    const std::vector<std::string_view> expected = ReferenceTokens(bytes);
    DataFileReader reader(std::make_unique<MemoryByteSource>(bytes, sourceRead), "mem", chunk);
    std::minstd_rand random(seed + 1);
    std::vector<std::string> got;
    const auto touchSlack = [](std::string_view token) {
        volatile char slack = 0;
        for (std::size_t i = 0; i < DataFileReader::kTokenSlack; ++i)
            slack = slack + token.data()[token.size() + i];
    };
    const auto take = [&](std::string_view token) {
        touchSlack(token);
        got.emplace_back(token);
    };
    std::array<std::string_view, 8> batch;
    std::array<char, 96> copies;
    std::string_view token;
    for (bool more = true; more;) {
        const std::size_t count = 1 + random() % batch.size();
        std::size_t n = 0;
        switch (seed == 0 ? 0 : random() % 6) {
        case 0:
            if ((more = reader.ReadToken(token)))
                take(token);
            break;
        case 1:
            n = reader.ReadTokens(std::span(batch.data(), count));
            for (std::size_t i = 0; i < n; ++i)
                take(batch[i]);
            more = n > 0;
            break;
        case 2: { // copied, each with a tab, while they fit before the limit
            char* out = copies.data();
            const char* limit = out + random() % copies.size();
            n = reader.CopyTokens(count, '\t', out, limit);
            if (out > limit)
                return "CopyTokens passed its limit";
            const auto pieces = ReferenceTokens(std::string_view(copies.data(), out));
            if (pieces.size() != n || (n > 0 && out[-1] != '\t'))
                return "CopyTokens copied " + std::to_string(n) + " tokens wrongly";
            got.insert(got.end(), pieces.begin(), pieces.end());
            break;
        }
        case 3: { // a run is taken whole or not at all, its values one blank apart
            std::string_view run;
            if (!reader.ReadTokenRun(count, run))
                break;
            touchSlack(run);
            const auto pieces = ReferenceTokens(run);
            if (pieces.size() != count || static_cast<std::size_t>(std::count_if(
                                              run.begin(), run.end(), IsBlank)) != count - 1)
                return "ReadTokenRun gave «" + std::string(run) + "» for " + std::to_string(count);
            got.insert(got.end(), pieces.begin(), pieces.end());
            break;
        }
        case 4: { // whole rows ending their lines, each value with a tab, each row with CR LF
            char* out = copies.data();
            const std::size_t rows = reader.CopyRows(count, 1 + random() % 3, out, out + 64);
            const std::string_view copied(copies.data(),
                                          static_cast<std::size_t>(out - copies.data()));
            const auto pieces = ReferenceTokens(copied);
            std::string rebuilt;
            for (std::size_t i = 0; i < pieces.size(); ++i)
                ((rebuilt += pieces[i]) += '\t') += (i + 1) % count ? "" : "\r\n";
            if (pieces.size() != rows * count || rebuilt != copied)
                return "CopyRows gave «" + std::string(copied) + "» for " + std::to_string(rows);
            got.insert(got.end(), pieces.begin(), pieces.end());
            break;
        }
        default: {
            const std::string_view blanks = reader.ReadBlanks();
            if (!std::all_of(blanks.begin(), blanks.end(), IsBlank) ||
                blanks.find('\n') < blanks.size() - 1)
                return "ReadBlanks gave more than blanks up to a line end";
        }
        }
    }
    if (!std::equal(got.begin(), got.end(), expected.begin(), expected.end()))
        return "the tokens differ from the reference (" + std::to_string(got.size()) + " of " +
               std::to_string(expected.size()) + ")";
    if (reader.failed() || reader.tokensRead() != static_cast<std::int64_t>(expected.size()))
        return "tokensRead or failed() is wrong";
    // Past the end every way reads nothing, and the token is left as it was.
    const std::string_view before = token;
    std::string_view run;
    char* out = copies.data();
    if (reader.ReadToken(token) || token.data() != before.data() || reader.ReadTokens(batch) != 0 ||
        reader.ReadTokenRun(1, run) || reader.CopyTokens(1, '\t', out, out + 64) != 0)
        return "something was read past the end";
    return "";
}

} // namespace zento::testing
