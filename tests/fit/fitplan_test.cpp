// A fit planned as one JAGS run per chain: each run reads the bundle's own files and script for
// its chain alone, with the kept iterations in steps whose progress JAGS reports.
#include "fit/fitplan.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zento::fit {
namespace {

TEST(FitPlan, EachChainRunsTheBundlesFilesWithItsKeptIterationsInSteps) {
    ChosenTable table{{"y", "x"}, {{"1", "0", "1"}, {"0.5", "1.5", "2"}}};
    DataSelection selection;
    selection.K = selection.chosenVariables = 2;
    selection.N = selection.chosenCases = 3;
    JagsOptions options;
    options.chains = 2;
    options.burnIn = 70;
    options.iterations = 30;
    options.seed = 9;
    const FitPlan plan = PlanFit(Link::SkewProbitCDS, table, selection, options);
    EXPECT_EQ(5u, plan.bundle.size()); // modelo.bug, datos.R, inits1.R, inits2.R, ejecutar.cmd
    ASSERT_EQ(2u, plan.chains.size());
    const auto bundleFile = [&](const std::string& name) {
        return std::find_if(plan.bundle.begin(), plan.bundle.end(),
                            [&](const JagsFile& f) { return f.name == name; })
            ->text;
    };
    for (const ChainRun& run : plan.chains) {
        const std::string inits = "inits" + std::to_string(run.chain) + ".R";
        EXPECT_EQ("cadena" + std::to_string(run.chain), run.folder);
        EXPECT_EQ(100, run.iterations);
        ASSERT_EQ(4u, run.files.size());
        EXPECT_EQ(bundleFile("modelo.bug"), run.files[0].text);
        EXPECT_EQ(bundleFile("datos.R"), run.files[1].text);
        EXPECT_EQ(inits, run.files[2].name);
        EXPECT_EQ(bundleFile(inits), run.files[2].text);
        EXPECT_EQ(run.script, run.files[3].name);
        const std::string& script = run.files[3].text;
        // The bundle's script for this chain alone: one burn-in update, then 20 steps.
        EXPECT_NE(std::string::npos,
                  script.find("compile, nchains(1)\r\nparameters in " + inits +
                              ", chain(1)\r\n"
                              "initialize\r\nupdate 70\r\nmonitor beta\r\nmonitor delta\r\n"
                              "update 1\r\nupdate 2\r\nupdate 1\r\nupdate 2\r\n"))
            << script;
        std::size_t updates = 0;
        for (std::size_t at = 0; (at = script.find("\r\nupdate ", at)) != std::string::npos; ++at)
            ++updates;
        EXPECT_EQ(21u, updates) << script;
    }
}

TEST(IterationsDone, CountsTheUpdatesThatAreOver) {
    const std::pair<std::string_view, std::int64_t> cases[] = {
        {"", 0},
        {"Initializing model\nUpdating 1000\n", 0},
        {"Updating 1000\nUpdating 40\n", 1000},
        {"Updating 1000\nUpdating 40\nUpdating 40\nUpd", 1040},
        {"Updating 1000\nUpdating 4", 0}, // the second line is not whole yet
        {"Updating 1000\r\nx Updating 7\nUpdating 2\n", 1000},
    };
    for (const auto& [output, done] : cases)
        EXPECT_EQ(done, IterationsDone(output)) << output;
}

} // namespace
} // namespace zento::fit
