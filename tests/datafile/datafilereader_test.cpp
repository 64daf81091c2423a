// Token reading and token counting, over files and over sources that cut the bytes anywhere.
#include "datafile/bytesource.h"
#include "datafile/datafilereader.h"
#include "datafile/tokentally.h"
#include "datafile/whitespace.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace zento {
namespace {

std::vector<std::string> ReadAll(DataFileReader& reader) {
    std::vector<std::string> tokens;
    std::string_view token;
    while (reader.ReadToken(token))
        tokens.emplace_back(token);
    return tokens;
}

struct TokenCase {
    const char* label;
    std::string bytes;
    std::vector<std::string> tokens;
};

std::vector<TokenCase> TokenCases() {
    const std::string longName(10000, 'n');
    return {
        {"empty", "", {}},
        {"only whitespace", " \t\r\n\v\f \r\n", {}},
        {"crlf table",
         "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n",
         {"y", "x1", "x2", "1", "0.5", "2", "0", "1.5", "3"}},
        {"no final line end", "y\tx\n1\t2", {"y", "x", "1", "2"}},
        {"every whitespace byte", "a b\tc\nd\ve\ff\rg", {"a", "b", "c", "d", "e", "f", "g"}},
        {"runs of separators", "\n\n  a\t\t\tb  \r\n\r\n", {"a", "b"}},
        {"long token taken whole", "y\t" + longName + "\n1 2", {"y", longName, "1", "2"}},
        {"bytes above 127 are token bytes", "a\xf1o\t\xe9\xa0\xff\n", {"a\xf1o", "\xe9\xa0\xff"}},
        {"NUL is a token byte", std::string("a\0b c", 5), {std::string("a\0b", 3), "c"}},
    };
}

TEST(DataFileReaderTest, ReaderAndCounterAgreeWhereverTheChunksEnd) {
    for (const TokenCase& c : TokenCases()) {
        for (std::size_t chunk : {1, 2, 3, 7, 4096}) {
            for (std::size_t sourceRead : {std::size_t{1}, std::size_t{5}, SIZE_MAX}) {
                DataFileReader reader(std::make_unique<MemoryByteSource>(c.bytes, sourceRead),
                                      "mem", chunk);
                EXPECT_EQ(c.tokens, ReadAll(reader))
                    << c.label << " chunk " << chunk << " read " << sourceRead;
                EXPECT_FALSE(reader.failed());
                EXPECT_EQ(static_cast<std::int64_t>(c.tokens.size()), reader.tokensRead());
            }
            MemoryByteSource source(c.bytes);
            TallyOptions options;
            options.chunkSize = chunk;
            auto tally = TallyTokens(source, "mem", options);
            ASSERT_TRUE(tally.ok());
            EXPECT_EQ(c.tokens.size(), tally->tokens) << c.label << " chunk " << chunk;
        }
    }
}

// Tokens as the format defines them, one byte at a time.
std::vector<std::string> ReferenceTokens(const std::string& bytes) {
    std::vector<std::string> tokens;
    bool inToken = false;
    for (char c : bytes) {
        if (IsWhitespace(c)) {
            inToken = false;
        } else {
            if (!inToken)
                tokens.emplace_back();
            tokens.back() += c;
            inToken = true;
        }
    }
    return tokens;
}

// Tokens of 1 to 40 bytes (around the 16 that are copied at once) between runs of any
// whitespace, with bytes that are whitespace to nobody but look close to it.
std::string RandomTable(std::mt19937& random, std::size_t tokens) {
    static constexpr char kWhite[] = {' ', '\t', '\n', '\v', '\f', '\r'};
    static constexpr char kOther[] = {'a', '0',    '.',    '-',    '\0',   '\x08', '\x0e', '\x1f',
                                      '!', '\x7f', '\x80', '\x89', '\x8d', '\xa0', '\xff'};
    std::string bytes;
    for (std::size_t t = 0; t < tokens; ++t) {
        const std::size_t gap = random() % 5 == 0 ? random() % 4 : 1;
        for (std::size_t i = 0; i < gap || (t > 0 && i == 0); ++i)
            bytes += kWhite[random() % std::size(kWhite)];
        const std::size_t length = 1 + (random() % 3 == 0 ? random() % 40 : 14 + random() % 5);
        for (std::size_t i = 0; i < length; ++i)
            bytes += kOther[random() % std::size(kOther)];
    }
    if (random() % 2 == 0)
        bytes += '\n';
    return bytes;
}

TEST(DataFileReaderTest, AnyMixOfCallsGivesTheTokensInOrder) {
    std::mt19937 random(11);
    std::array<std::string_view, 24> batch;
    for (int round = 0; round < 120; ++round) {
        const std::string bytes = RandomTable(random, random() % 300);
        const std::vector<std::string> expected = ReferenceTokens(bytes);
        for (std::size_t chunk : {1, 3, 16, 63, 64, 65, 200, 4096}) {
            DataFileReader reader(std::make_unique<MemoryByteSource>(bytes, 1 + random() % 300),
                                  "mem", chunk);
            std::vector<std::string> tokens;
            const auto keep = [&](std::string_view token) {
                // The bytes after a token may be read (AddressSanitizer checks it).
                char after[DataFileReader::kTokenSlack];
                std::memcpy(after, token.data() + token.size(), sizeof after);
                tokens.emplace_back(token);
            };
            std::vector<char> copyBuffer(200);
            for (bool more = true; more;) {
                switch (random() % 5) {
                case 0: {
                    std::string_view token;
                    more = reader.ReadToken(token);
                    if (more)
                        keep(token);
                    break;
                }
                case 1: {
                    const std::size_t n =
                        reader.ReadTokens(std::span(batch.data(), 1 + random() % batch.size()));
                    for (std::size_t i = 0; i < n; ++i)
                        keep(batch[i]);
                    more = n > 0;
                    break;
                }
                case 2: {
                    // Tokens copied with a separator that no token holds; room for a few.
                    char* out = copyBuffer.data();
                    const char* limit = out + random() % copyBuffer.size();
                    const std::size_t n = reader.CopyTokens(1 + random() % 8, '\t', out, limit);
                    ASSERT_LE(out, limit);
                    std::size_t begin = 0;
                    const std::string_view copied(copyBuffer.data(), out - copyBuffer.data());
                    for (std::size_t i = 0; i < n; ++i) {
                        const std::size_t tab = copied.find('\t', begin);
                        ASSERT_NE(std::string_view::npos, tab);
                        tokens.emplace_back(copied.substr(begin, tab - begin));
                        begin = tab + 1;
                    }
                    EXPECT_EQ(copied.size(), begin);
                    // 0 copied says nothing about the end: ReadToken decides.
                    break;
                }
                case 3: {
                    // A run is taken whole or not at all; its values are one byte apart.
                    std::string_view run;
                    const std::size_t count = 1 + random() % 6;
                    if (!reader.ReadTokenRun(count, run))
                        break;
                    char after[DataFileReader::kTokenSlack];
                    std::memcpy(after, run.data() + run.size(), sizeof after);
                    std::size_t begin = 0;
                    for (std::size_t i = 0; i <= run.size(); ++i) {
                        if (i == run.size() || IsWhitespace(run[i])) {
                            ASSERT_LT(begin, i) << "two separators in a row";
                            tokens.emplace_back(run.substr(begin, i - begin));
                            begin = i + 1;
                        }
                    }
                    ASSERT_EQ(count, static_cast<std::size_t>(
                                         std::count_if(run.begin(), run.end(), IsWhitespace)) +
                                         1);
                    break;
                }
                default:
                    reader.SkipWhitespace();
                }
            }
            ASSERT_EQ(expected, tokens) << "round " << round << " chunk " << chunk;
            EXPECT_EQ(static_cast<std::int64_t>(expected.size()), reader.tokensRead());
            EXPECT_FALSE(reader.failed());
            EXPECT_EQ(0u, reader.ReadTokens(batch));
        }
    }
}

// A source that fails after handing out some bytes, as a disk error would.
class FailingSource final : public ByteSource {
public:
    explicit FailingSource(std::string_view before) : m_before(before) {}
    std::size_t Read(std::span<char> buffer) override {
        if (m_before.empty()) {
            m_error = EIO;
            return 0;
        }
        const std::size_t n = std::min(buffer.size(), m_before.size());
        std::memcpy(buffer.data(), m_before.data(), n);
        m_before.remove_prefix(n);
        return n;
    }
    int error() const override { return m_error; }

private:
    std::string_view m_before;
    int m_error = 0;
};

TEST(DataFileReaderTest, ReadErrorIsReportedNotTakenForTheEnd) {
    // "partial" is cut by the failure: it must not come out as a token.
    DataFileReader reader(std::make_unique<FailingSource>("y x partial"), "datos.txt", 4);
    std::string_view token;
    std::vector<std::string> tokens;
    while (reader.ReadToken(token))
        tokens.emplace_back(token);
    EXPECT_EQ((std::vector<std::string>{"y", "x"}), tokens);
    ASSERT_TRUE(reader.failed());
    EXPECT_EQ(DataErrorKind::Unreadable, reader.error().kind);
    EXPECT_EQ(EIO, reader.error().systemError);
    EXPECT_EQ("datos.txt", reader.error().path);

    auto tally = TallyTokens(*std::make_unique<FailingSource>("a b"), "datos.txt");
    ASSERT_FALSE(tally.ok());
    EXPECT_EQ(DataErrorKind::Unreadable, tally.error().kind);
}

TEST(DataFileReaderTest, OpenRefusesWhatIsNotAReadableFile) {
    testing::TempDir dir;
    auto missing = DataFileReader::Open(dir.File("no-existe.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(DataErrorKind::Unreadable, missing.error().kind);
    EXPECT_EQ(ENOENT, missing.error().systemError);

    auto directory = DataFileReader::Open(dir.path().string());
    ASSERT_FALSE(directory.ok());
    EXPECT_EQ(DataErrorKind::NotRegularFile, directory.error().kind);

    auto file = DataFileReader::Open(dir.Write("d.txt", "y\r\n1"));
    ASSERT_TRUE(file.ok());
    EXPECT_EQ((std::vector<std::string>{"y", "1"}), ReadAll(*file));
}

TEST(TokenTallyTest, ProgressIsReportedAndCanCancel) {
    const std::string bytes(1000, 'x');
    std::vector<std::uint64_t> seen;
    TallyOptions options;
    options.chunkSize = 100;
    options.progressInterval = 300;
    options.progress = [&](std::uint64_t read, std::uint64_t total) {
        EXPECT_EQ(1000u, total);
        seen.push_back(read);
        return true;
    };
    MemoryByteSource source(bytes);
    ASSERT_TRUE(TallyTokens(source, "mem", options).ok());
    EXPECT_EQ((std::vector<std::uint64_t>{300, 600, 900, 1000}), seen);

    options.progress = [](std::uint64_t read, std::uint64_t) { return read < 600; };
    MemoryByteSource again(bytes);
    auto cancelled = TallyTokens(again, "datos.txt", options);
    ASSERT_FALSE(cancelled.ok());
    EXPECT_EQ(DataErrorKind::Cancelled, cancelled.error().kind);
}

} // namespace
} // namespace zento
