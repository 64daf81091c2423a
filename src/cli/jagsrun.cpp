// Scheduling JAGS runs over the process set and telling the user how they went.
#include "jagsrun.h"

#include "clicommon.h"
#include "datafile/dataerror.h"
#include "datafile/systemfile.h"
#include "fit/fitplan.h"
#include "processes.h"
#include "progressbar.h"

#include <algorithm>
#include <vector>

namespace zento::cli {

namespace {

// The last lines of text, each indented, for a message that relays what JAGS said.
std::string Indented(std::string_view text, std::size_t maxLines) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (!line.empty())
            lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    const std::size_t first = lines.size() > maxLines ? lines.size() - maxLines : 0;
    std::string indented;
    for (std::size_t i = first; i < lines.size(); ++i)
        indented += "  " + std::string(lines[i]) + "\n";
    return indented;
}

void TellFailure(std::FILE* err, const JagsJob& job, const ProcessSet& set, std::size_t process,
                 const ProcessEnd& end) {
    std::string what =
        end.how == ProcessEnd::How::Signalled
            ? "JAGS terminó por la señal " + std::to_string(end.code)
            : "JAGS se detuvo con un error (estado " + std::to_string(end.code) + ")";
    what += " en " + job.label;
    // JAGS says what went wrong on standard error; when it said nothing there, the end of what
    // it printed shows how far it got.
    std::string said = Indented(set.errorOutput(process), 20);
    if (said.empty())
        said = Indented(set.output(process), 5);
    WriteMessage(err, what + (said.empty() ? "." : ":"));
    std::fputs(said.c_str(), err);
}

} // namespace

RunOutcome RunJagsJobs(const std::string& jags, std::span<const JagsJob> jobs, int parallel,
                       std::FILE* err, const std::function<void(std::size_t job)>& onJobDone) {
    std::int64_t total = 0;
    for (const JagsJob& job : jobs)
        total += job.iterations;
    std::vector<std::int64_t> done(jobs.size(), 0);
    ProgressBar bar(err, total);
    ProcessSet set;
    std::size_t next = 0;
    const auto showProgress = [&] {
        std::int64_t sum = 0;
        for (std::int64_t d : done)
            sum += d;
        bar.Show(sum);
    };
    showProgress();
    for (;;) {
        while (next < jobs.size() &&
               set.running() < static_cast<std::size_t>(std::max(parallel, 1))) {
            const JagsJob& job = jobs[next];
            const auto started = set.Start({jags, {job.script}, Utf8FromPath(job.directory)});
            if (const auto* failure = std::get_if<StartFailure>(&started)) {
                set.StopAll();
                bar.Erase();
                if (failure->problem == StartProblem::ProgramMissing) {
                    WriteMessage(err, DescribeMissingJags(jags).value_or("No se encuentra JAGS."));
                } else {
                    WriteMessage(err, "No se pudo iniciar JAGS (" + jags + ") en " + job.label +
                                          ": " + DescribeSystemError(failure->systemError) + ".");
                }
                return RunOutcome::Failed;
            }
            ++next;
        }
        if (set.running() == 0)
            break;
        std::optional<std::size_t> failed;
        ProcessEnd failedEnd;
        const WaitOutcome outcome = set.Wait([&](const ProcessEvent& event) {
            if (!event.end) {
                done[event.process] = std::min(fit::IterationsDone(set.output(event.process)),
                                               jobs[event.process].iterations);
            } else if (event.end->succeeded()) {
                done[event.process] = jobs[event.process].iterations;
                if (onJobDone)
                    onJobDone(event.process);
            } else if (!failed) {
                failed = event.process;
                failedEnd = *event.end;
            }
        });
        if (outcome == WaitOutcome::Interrupted) {
            set.StopAll();
            bar.Erase();
            return RunOutcome::Interrupted;
        }
        if (failed) {
            set.StopAll();
            bar.Erase();
            TellFailure(err, jobs[*failed], set, *failed, failedEnd);
            return RunOutcome::Failed;
        }
        showProgress();
    }
    bar.Erase();
    return RunOutcome::Done;
}

std::optional<std::string> DescribeMissingJags(const std::string& program) {
    if (FindProgram(program))
        return std::nullopt;
    return fit::DescribeMissingJags(program, fit::JagsNaming::OptionOrVariable);
}

} // namespace zento::cli
