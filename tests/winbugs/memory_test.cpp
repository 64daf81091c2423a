// Counts far beyond the file never turn into memory: whatever is asked for, what an operation
// holds stays in proportion to the file it reads.
#include "winbugs/datacheck.h"
#include "winbugs/jagsexport.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include "common/allocationmeter.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace zento {
namespace {

TEST(MemoryTest, EveryOperationStaysWithinTheFile) {
    // Over three megabytes: more than one block of text and one chunk of the file.
    std::string bytes = "y\tx1\tx2\n";
    while (bytes.size() < (3 << 20))
        bytes += "1\t0.5\t-17.25\n0\t1.5\t3\n";
    testing::TempDir dir;
    const std::string path = dir.Write("d.txt", bytes);
    // Each token may become a string of its own (jags, model names), nothing more.
    const std::size_t tokens =
        3 * static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    const std::size_t bound = 64 * tokens + 2 * bytes.size() + (8 << 20);
    const std::int32_t counts[][2] = {{3, INT32_MAX},
                                      {INT32_MAX, 1},
                                      {INT32_MAX, INT32_MAX},
                                      {INT32_MIN, INT32_MAX},
                                      {INT32_MIN, INT32_MIN}};
    for (const auto [variables, cases] : counts) {
        DataSelection selection;
        selection.path = path;
        selection.K = 3;
        selection.chosenVariables = variables;
        selection.chosenCases = cases;
        CheckOptions options;
        options.variables = variables;
        options.cases = cases;
        const std::vector<std::pair<const char*, std::function<void()>>> operations = {
            {"BuildRectangularData", [&] { (void)BuildRectangularData(selection); }},
            {"WriteRectangularData",
             [&] { (void)WriteRectangularData(selection, [](std::string_view) { return true; }); }},
            {"ReadChosenTable", [&] { (void)ReadChosenTable(selection); }},
            {"ReadModelNames",
             [&] {
                 if (auto names = ReadModelNames(path, selection.chosenVariables))
                     (void)BuildLogitModel(*names, selection);
             }},
            {"CheckDataFile",
             [&] { (void)CheckDataFile(path, options, [](const CheckFinding&) {}); }},
        };
        for (const auto& [name, run] : operations) {
            const testing::AllocationMeter meter;
            EXPECT_NO_THROW(run()) << name;
            EXPECT_LE(meter.peakAbove(), bound) << name << " " << variables << " " << cases;
        }
    }
}

} // namespace
} // namespace zento
