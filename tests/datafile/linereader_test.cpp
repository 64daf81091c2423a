// The line-aware token reader: the same tokens as the plain reader, plus where lines end and
// which blanks separate the tokens, whatever the chunk size.
#include "datafile/linereader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zento {
namespace {

// Tokens as themselves, line ends as "|", tabs before an item as that many ">", other blanks
// before it as "_".
std::string Trace(std::string_view bytes, std::size_t chunk) {
    LineTokenReader reader(std::make_unique<MemoryByteSource>(bytes, chunk), "m", chunk);
    std::string trace;
    LineItem item;
    while (reader.Next(item)) {
        trace += std::string(item.tabsBefore, '>');
        if (item.otherBlankBefore)
            trace += "_";
        trace += item.kind == LineItem::Kind::LineEnd ? std::string("|")
                                                      : "[" + std::string(item.token) + "]";
    }
    EXPECT_FALSE(reader.failed());
    return trace;
}

TEST(LineTokenReaderTest, TokensLineEndsAndSeparators) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"y\tx1\tx2\r\n1\t0.5\t2\r\n", "[y]>[x1]>[x2]|[1]>[0.5]>[2]|"},
        {"y\tx\t\n", "[y]>[x]>|"},
        {"\ty\t\tx\n", ">[y]>>[x]|"},
        {"y x1 \tx2\n", "[y]_[x1]>_[x2]|"},
        {"a\n\n  \nb", "[a]||_|[b]|"},
        {"no final line end", "[no]_[final]_[line]_[end]|"},
        {"", ""},
        {"\n", "|"},
        {std::string(300, 'z') + "\n", "[" + std::string(300, 'z') + "]|"},
    };
    for (const auto& [bytes, expected] : cases) {
        for (std::size_t chunk : {1u, 2u, 3u, 7u, 4096u})
            EXPECT_EQ(expected, Trace(bytes, chunk)) << "«" << bytes << "» chunk " << chunk;
    }
}

} // namespace
} // namespace zento
