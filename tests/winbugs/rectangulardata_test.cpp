// Rectangular data from files larger than the reader's chunk and the writer's block, against the
// reference in every way of writing it. Small files, odd counts and refusals are held to the
// reference by the rectangular fuzz target over its corpus, and their messages by zento-cli's
// contract in tests/cli.
#include "winbugs/rectangulardata.h"

#include "common/reference.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <new>
#include <random>
#include <string>
#include <vector>

namespace zento {
namespace {

DataSelection Selection(std::string path, std::int32_t k, std::int32_t v, std::int32_t m) {
    DataSelection selection;
    selection.path = std::move(path);
    selection.K = k;
    selection.chosenVariables = v;
    selection.chosenCases = m;
    return selection;
}

TEST(RectangularDataTest, LargeFilesMatchTheReferenceInEveryWayOfWriting) {
    std::minstd_rand random(5);
    // Tokens straddle the reader's chunks and the text fills several blocks; the last case is
    // incomplete. Then a complete and an incomplete case, each longer than a block.
    const std::vector<std::string> files = {testing::RandomTable(random, 7, 20001) + "x y",
                                            "a\tb\n" + std::string(3 << 20, 'v') + "\t1\n" +
                                                std::string(2 << 20, 'w') + "\n"};
    testing::TempDir dir;
    for (const std::string& bytes : files) {
        const std::string path = dir.Write("d.txt", bytes);
        const auto tokens = testing::ReferenceTokens(bytes);
        const auto k = static_cast<std::int32_t>(testing::ReferenceFirstLineTabs(bytes) + 1);
        const auto n = static_cast<std::int32_t>(tokens.size() / k - 1);
        // V and M: all, a third, fewer and more columns, none, negative, and one case too many.
        const std::int32_t counts[][2] = {{k, n},   {k, n / 3},        {4, n},    {1, 777}, {0, 50},
                                          {-2, 40}, {k + 2, n - 3000}, {k, n + 1}};
        for (const auto [v, m] : counts) {
            const DataSelection selection = Selection(path, k, v, m);
            const auto expected = testing::ReferenceRectangular(tokens, k, v, m);
            auto text = BuildRectangularData(selection);
            std::string streamed;
            int pieces = 0;
            auto status = WriteRectangularData(selection, [&](std::string_view piece) {
                streamed += piece;
                ++pieces;
                return true;
            });
            ASSERT_EQ(expected.has_value(), text.ok()) << v << " " << m;
            ASSERT_EQ(expected.has_value(), status.ok()) << v << " " << m;
            if (!expected)
                continue;
            EXPECT_TRUE(*expected == *text) << v << " " << m;
            EXPECT_TRUE(*expected == streamed) << v << " " << m;
            // Streamed in blocks, neither token by token nor as one whole.
            EXPECT_LT(pieces, 100);
            EXPECT_GE(pieces, static_cast<int>(expected->size() >> 20));
            if (m != n || v > k || v < 0)
                continue;
            // Every case counted while it is written, in one pass.
            std::string onePass;
            auto reader = DataFileReader::Open(path);
            auto cases = WriteRectangularData(*reader, Selection(path, k, v, -1),
                                              CaseCount::UntilEnd, [&](std::string_view piece) {
                                                  onePass += piece;
                                                  return true;
                                              });
            EXPECT_EQ(n, cases.value()) << v;
            EXPECT_TRUE(*expected == onePass) << v;
        }
    }
    int calls = 0;
    auto failed = WriteRectangularData(Selection(dir.Write("d.txt", files[0]), 7, 7, 20000),
                                       [&](std::string_view) { return ++calls < 2; });
    EXPECT_EQ(DataErrorKind::WriteFailed, failed.error().kind);
    EXPECT_EQ(2, calls);
    // Blocks are written on a thread of their own: what the sink throws there reaches the caller.
    calls = 0;
    EXPECT_THROW((void)WriteRectangularData(Selection(dir.Write("d.txt", files[0]), 7, 7, 20000),
                                            [&](std::string_view) -> bool {
                                                if (++calls == 2)
                                                    throw std::bad_alloc();
                                                return true;
                                            }),
                 std::bad_alloc);
    EXPECT_EQ(2, calls);
}

} // namespace
} // namespace zento
