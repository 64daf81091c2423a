// A fit planned as separate JAGS runs, one per chain, so that the chains run in parallel; and
// their outputs put together as one run of the bundle's script would have left them. Only the
// plan and the files live here: zento-cli and the desktop each start the processes their way.
#pragma once

#include "fiterror.h"
#include "winbugs/jagsexport.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zento::fit {

struct ChainRun {
    std::int32_t chain = 1;
    std::string folder;          // where it runs, under a work folder of the caller's: "cadena1"
    std::vector<JagsFile> files; // what JAGS reads there, the script among them
    std::string script;          // the script's file name, to run as "jags SCRIPT" in folder
    std::int64_t iterations = 0; // burn-in and kept updates, for a progress bar
};

struct FitPlan {
    std::vector<JagsFile> bundle; // exactly what zento-cli jags writes, for the fit's folder
    std::vector<ChainRun> chains;
};

// Each chain's run reads the bundle's model, data and that chain's starting values, as chain 1
// of a model with one chain: its draws are byte for byte the ones the bundle's script gives that
// chain. The burn-in stays one update (splitting it would change how JAGS adapts its samplers);
// the kept iterations are split in steps, so that progress can be followed.
FitPlan PlanFit(Link link, const ChosenTable& table, const DataSelection& selection,
                const JagsOptions& options);

// Writes the plan out: the bundle into directory, whose CODA output from an earlier fit is removed
// first (should this fit stop half way, the folder holds a bundle without draws rather than draws
// of another model), and each chain's files into its folder under work.
Status WriteFitPlan(const FitPlan& plan, const std::filesystem::path& work,
                    const std::filesystem::path& directory);

// Once every chain ran in work / its folder: their CODA output into directory (which holds the
// bundle) as CODAindex.txt and CODAchain1.txt ... CODAchainC.txt, exactly as "jags
// ejecutar.cmd" run there would have written them.
FitStatus CollectChainOutputs(const FitPlan& plan, const std::filesystem::path& work,
                              const std::filesystem::path& directory);

// The iterations a chain's run has done, from what JAGS wrote so far on its standard output.
// Run with a script, JAGS writes "Updating N" when an update starts and nothing while it runs,
// so every update but the last one announced has finished.
std::int64_t IterationsDone(std::string_view output);

// The JAGS program to run: the one named by the user, else the ZENTO_JAGS variable, else "jags"
// on PATH.
std::string ChooseJags(const std::optional<std::string>& named);

// How the user can name JAGS's place in the program that says it is missing.
enum class JagsNaming {
    OptionOrVariable, // zento-cli: --jags RUTA or ZENTO_JAGS
    Variable,         // the desktop: ZENTO_JAGS
};
// The Spanish message for a JAGS program that cannot be found: how to install it, or say where
// it is.
std::string DescribeMissingJags(const std::string& program, JagsNaming naming);

} // namespace zento::fit
