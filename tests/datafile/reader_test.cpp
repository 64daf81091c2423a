// Read errors, progress, and a counted file read again through the same open file. Every way of
// reading, wherever the chunks end, the line reader and the counts are held to the reference by
// the tokens fuzz target over its corpus (random tables among them); the line reader's tabs also
// by verificar's reports.
#include "datafile/datafilereader.h"
#include "datafile/linereader.h"
#include "datafile/scandatafile.h"
#include "datafile/tokentally.h"

#include "common/process.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace zento {
namespace {

// Fails after handing out some bytes, as a disk error would.
class FailingSource final : public ByteSource {
public:
    explicit FailingSource(std::string_view before) : m_before(before) {}
    std::size_t Read(std::span<char> buffer) override {
        const std::size_t n = std::min(buffer.size(), m_before.size());
        std::memcpy(buffer.data(), m_before.data(), n);
        m_before.remove_prefix(n);
        m_error = n == 0 ? EIO : 0;
        return n;
    }
    int error() const override { return m_error; }

private:
    std::string_view m_before;
    int m_error = 0;
};

TEST(DataFileReaderTest, AReadErrorIsReportedNotTakenForTheEnd) {
    // "partial" is cut by the failure: it must not come out as a token.
    DataFileReader reader(std::make_unique<FailingSource>("y x partial"), "datos.txt", 4);
    std::vector<std::string> tokens;
    for (std::string_view token; reader.ReadToken(token);)
        tokens.emplace_back(token);
    EXPECT_EQ((std::vector<std::string>{"y", "x"}), tokens);
    ASSERT_TRUE(reader.failed());
    EXPECT_EQ(EIO, reader.error().systemError);
    EXPECT_EQ("datos.txt", reader.error().path);
    LineTokenReader lines(std::make_unique<FailingSource>("y\tx\n1 partial"), "datos.txt", 4);
    for (LineItem item; lines.Next(item);)
        EXPECT_NE("partial", item.token);
    EXPECT_TRUE(lines.failed());
    FailingSource source("a b");
    EXPECT_EQ(DataErrorKind::Unreadable, TallyTokens(source, "datos.txt").error().kind);
}

TEST(TokenTallyTest, ProgressIsReportedAndCanCancel) {
    const std::string bytes(1000, 'x');
    std::vector<std::uint64_t> seen;
    bool cancel = false;
    TallyOptions options;
    options.progress = [&](std::uint64_t read, std::uint64_t total) {
        seen.push_back(read);
        return total == 1000 && !(cancel && read >= 600);
    };
    options.progressInterval = 300;
    options.chunkSize = 100;
    MemoryByteSource source(bytes), again(bytes);
    EXPECT_TRUE(TallyTokens(source, "datos.txt", options).ok());
    EXPECT_EQ((std::vector<std::uint64_t>{300, 600, 900, 1000}), seen);
    cancel = true;
    EXPECT_EQ(DataErrorKind::Cancelled, TallyTokens(again, "datos.txt", options).error().kind);
}

TEST(FileByteSourceTest, ARewoundFileIsTheOneCountedEvenWhenItsNameIsReplaced) {
    if (const char* why = testing::Unsupported(testing::Needs::ReplacingOpenFiles))
        GTEST_SKIP() << why;
    testing::TempDir dir;
    const std::string path = dir.Write("d.txt", "y\tx\n1\t2\n0\t3\n");
    auto source = FileByteSource::Open(path);
    ASSERT_TRUE(source.ok());
    EXPECT_EQ(2, ScanDataFile(**source, path)->N);
    std::filesystem::rename(dir.Write("otro.txt", "y\tx\n"), path);
    ASSERT_TRUE((*source)->Rewind());
    EXPECT_EQ(6, CountTokensUpTo(**source, path, 100).value());
    ASSERT_TRUE((*source)->Rewind());
    EXPECT_EQ(2, ReadColumnCount(**source, path).value());
    EXPECT_EQ(0, ScanDataFile(path)->N); // the name leads to the new file
}

} // namespace
} // namespace zento
