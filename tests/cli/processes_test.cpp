// Running child processes as zento-cli runs JAGS, with small shell scripts in JAGS's place:
// output read as it comes, ends and failures told, an interrupt stopping every child.
#include "cli/jagsrun.h"
#include "cli/processes.h"
#include "cli/progressbar.h"

#include "common/process.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace zento::cli {
namespace {

std::map<std::size_t, ProcessEnd> RunToEnd(ProcessSet& set) {
    std::map<std::size_t, ProcessEnd> ends;
    while (set.running() > 0) {
        EXPECT_EQ(WaitOutcome::Events, set.Wait([&](const ProcessEvent& event) {
            if (event.end)
                ends[event.process] = *event.end;
        }));
    }
    return ends;
}

TEST(ProgressLine, FitsAConsoleLineAndClamps) {
    EXPECT_EQ("JAGS [.........................]   0 % (0 de 9000 iteraciones)",
              ProgressLine(0, 9000));
    EXPECT_EQ("JAGS [############.............]  48 % (4320 de 9000 iteraciones)",
              ProgressLine(4320, 9000));
    EXPECT_EQ(ProgressLine(9000, 9000), ProgressLine(12000, 9000));
    EXPECT_LE(ProgressLine(999999999, 999999999).size(), 79u);
}

TEST(ProcessSet, CapturesBothStreamsAndTheEndOfEachChild) {
    if (const char* why = testing::Unsupported(testing::Needs::PosixShell))
        GTEST_SKIP() << why;
    testing::TempDir dir;
    ProcessSet set;
    std::string seen;
    for (const char* script : {"printf 'a\\n'; printf 'b' >&2; exit 3", "pwd; kill -9 $$"}) {
        const auto started = set.Start({"sh", {"-c", script}, dir.path().string()});
        ASSERT_TRUE(std::holds_alternative<std::size_t>(started));
    }
    const auto ends = RunToEnd(set);
    EXPECT_EQ("a\n", set.output(0));
    EXPECT_EQ("b", set.errorOutput(0));
    EXPECT_EQ(dir.path().string() + "\n", set.output(1));
    ASSERT_EQ(2u, ends.size());
    EXPECT_EQ(ProcessEnd::How::Exited, ends.at(0).how);
    EXPECT_EQ(3, ends.at(0).code);
    EXPECT_EQ(ProcessEnd::How::Signalled, ends.at(1).how);
    EXPECT_EQ(9, ends.at(1).code);
}

TEST(ProcessSet, AMissingProgramIsToldApart) {
    if (const char* why = testing::Unsupported(testing::Needs::PosixShell))
        GTEST_SKIP() << why;
    testing::TempDir dir;
    const std::string notExecutable = dir.Write("jags", "#!/bin/sh\n");
    ProcessSet set;
    for (const std::string& program :
         {std::string("/nonexistent/jags"), notExecutable, std::string("zento-no-such-program")}) {
        const auto started = set.Start({program, {}, dir.path().string()});
        ASSERT_TRUE(std::holds_alternative<StartFailure>(started)) << program;
        EXPECT_EQ(StartProblem::ProgramMissing, std::get<StartFailure>(started).problem);
        EXPECT_TRUE(DescribeMissingJags(program).has_value());
    }
    EXPECT_EQ(std::nullopt, DescribeMissingJags("sh"));
    EXPECT_EQ(0u, set.running());
}

TEST(ProcessSet, AnInterruptStopsEveryChildAtOnce) {
    if (const char* why = testing::Unsupported(testing::Needs::PosixShell))
        GTEST_SKIP() << why;
    testing::TempDir dir;
    InterruptWatch watch;
    ProcessSet set;
    for (int i = 0; i < 2; ++i)
        set.Start({"sh", {"-c", "echo started; exec sleep 60"}, dir.path().string()});
    const auto start = std::chrono::steady_clock::now();
    std::raise(SIGINT);
    EXPECT_TRUE(watch.interrupted());
    EXPECT_EQ(WaitOutcome::Interrupted, set.Wait([](const ProcessEvent&) {}));
    set.StopAll();
    EXPECT_EQ(0u, set.running());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// A stand-in for JAGS that says what the real one says, with the outcome chosen by its script.
class FakeJags : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* why = testing::Unsupported(testing::Needs::PosixShell))
            GTEST_SKIP() << why;
        jags = dir.Write("fake-jags", "#!/bin/sh\n. ./\"$1\"\n");
        ::chmod(jags.c_str(), 0755);
    }
    JagsJob Job(const std::string& name, const std::string& script) {
        std::filesystem::create_directory(dir.path() / name);
        dir.Write(name + "/run.sh", script);
        return {dir.path() / name, "run.sh", 300, "la " + name};
    }
    testing::TempDir dir;
    std::string jags;
};

TEST_F(FakeJags, AllJobsRunAndAFailureIsToldInJagsWords) {
    const std::string ok = "echo 'Updating 100'; echo 'Updating 200'; touch done\n";
    std::vector<JagsJob> jobs{Job("cadena 1", ok), Job("cadena 2", ok), Job("cadena 3", ok)};
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(RunOutcome::Done, RunJagsJobs(jags, jobs, 2, err));
    for (const JagsJob& job : jobs)
        EXPECT_TRUE(std::filesystem::exists(job.directory / "done"));

    jobs.push_back(Job("cadena 4", "echo 'Error in node low[1]' >&2\necho 'Node inconsistent "
                                   "with parents' >&2\nexit 1\n"));
    EXPECT_EQ(RunOutcome::Failed, RunJagsJobs(jags, jobs, 4, err));
    std::rewind(err);
    char text[512] = {};
    EXPECT_EQ("zento-cli: JAGS se detuvo con un error (estado 1) en la cadena 4:\n"
              "  Error in node low[1]\n  Node inconsistent with parents\n",
              std::string(text, std::fread(text, 1, sizeof text - 1, err)));
    std::fclose(err);
}

} // namespace
} // namespace zento::cli
