// Counts far beyond the file never turn into memory: whatever is asked for, what a command holds
// stays in proportion to the file it reads.
#include "winbugs/datacheck.h"
#include "winbugs/jagsexport.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include "common/allocationmeter.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zento {
namespace {

constexpr std::int32_t kMin = INT32_MIN;
constexpr std::int32_t kMax = INT32_MAX;

struct Ask {
    const char* what;
    std::int32_t variables;
    std::int32_t cases;
};

const std::vector<Ask> kAsks = {
    {"all cases", 3, kMax},  {"all variables", kMax, 1},
    {"both", kMax, kMax},    {"no variables, all cases", kMin, kMax},
    {"minimum", kMin, kMin},
};

class MemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Over three megabytes: more than one block of text and one chunk of the file.
        std::string bytes = "y\tx1\tx2\n";
        while (bytes.size() < (3 << 20))
            bytes += "1\t0.5\t-17.25\n0\t1.5\t3\n";
        m_size = bytes.size();
        m_tokens = 3 * static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
        m_path = m_dir.Write("d.txt", bytes);
    }

    // Each token may become a string of its own (jags, model names), nothing more.
    void ExpectBounded(const char* operation, const Ask& ask, const std::function<void()>& run) {
        const testing::AllocationMeter meter;
        try {
            run();
        } catch (const std::exception& e) {
            ADD_FAILURE() << operation << ", " << ask.what << ": " << e.what();
        }
        const std::size_t bound = 64 * m_tokens + 2 * m_size + (8 << 20);
        EXPECT_LE(meter.peakAbove(), bound) << operation << ", " << ask.what;
    }

    DataSelection Selection(const Ask& ask) const {
        DataSelection selection;
        selection.path = m_path;
        selection.K = 3;
        selection.chosenVariables = ask.variables;
        selection.chosenCases = ask.cases;
        return selection;
    }

    testing::TempDir m_dir;
    std::string m_path;
    std::size_t m_size = 0;
    std::size_t m_tokens = 0;
};

TEST_F(MemoryTest, EveryOperationStaysWithinTheFile) {
    for (const Ask& ask : kAsks) {
        const DataSelection selection = Selection(ask);
        ExpectBounded("BuildRectangularData", ask, [&] { (void)BuildRectangularData(selection); });
        ExpectBounded("WriteRectangularData", ask, [&] {
            (void)WriteRectangularData(selection, [](std::string_view) { return true; });
        });
        ExpectBounded("ReadChosenTable", ask, [&] { (void)ReadChosenTable(selection); });
        ExpectBounded("ReadModelNames", ask, [&] {
            auto names = ReadModelNames(m_path, ask.variables);
            if (names)
                (void)BuildLogitModel(*names, selection);
        });
        ExpectBounded("CheckDataFile", ask, [&] {
            CheckOptions options;
            options.variables = ask.variables;
            options.cases = ask.cases;
            (void)CheckDataFile(m_path, options, [](const CheckFinding&) {});
        });
    }
}

} // namespace
} // namespace zento
