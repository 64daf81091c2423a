// Running JAGS scripts for zento-cli: several at once, a progress bar over all of them, and a
// failure told in JAGS's own words.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zento::cli {

struct JagsJob {
    std::filesystem::path directory; // where JAGS runs
    std::string script;              // the script's file name in directory
    std::int64_t iterations = 0;     // the updates the script asks for, for the progress bar
    std::string label;               // what messages call it: "la cadena 2", "logit, cadena 2"
};

enum class RunOutcome { Done, Failed, Interrupted };

// Runs "jags SCRIPT" in each job's directory, at most `parallel` at once, with a progress bar on
// err over all of them when err is a terminal. At the first failure the others are stopped and
// err says which job failed and what JAGS said. Interrupted: an InterruptWatch saw Ctrl+C or a
// termination request, and every JAGS process was stopped.
// onJobDone hears of each job that ended well, as it ends.
RunOutcome RunJagsJobs(const std::string& jags, std::span<const JagsJob> jobs, int parallel,
                       std::FILE* err, const std::function<void(std::size_t job)>& onJobDone = {});

// Nothing when program can be run; else a Spanish message on how to install JAGS or say where
// it is.
std::optional<std::string> DescribeMissingJags(const std::string& program);

} // namespace zento::cli
