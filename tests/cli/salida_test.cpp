// Where --salida leads: a new or replaced file, a link, a pipe; and the one-pass path that
// counts the cases while it writes them.
#include "cli/clirun.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zento::cli {
namespace {

const std::string kExample = "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

std::string Drain(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file))
        text.append(buffer, n);
    return text;
}

Outcome RunInProcess(const std::vector<std::string>& args) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), &std::fclose);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> err(std::tmpfile(), &std::fclose);
    const std::vector<std::string_view> views(args.begin(), args.end());
    const int code = RunCommandLine(views, out.get(), err.get());
    return {code, Drain(out.get()), Drain(err.get())};
}

TEST(SalidaTest, AllCasesCountedWhileWrittenGiveTheStdoutText) {
    testing::TempDir dir;
    struct Case {
        const char* label;
        std::string bytes;
        std::vector<std::string> options;
    };
    const std::vector<Case> cases = {
        {"incomplete last case", kExample + "1\t2\r\n", {}},
        {"fewer variables", kExample + "1\t2\r\n", {"--variables", "2"}},
        {"more variables than columns", kExample + "1 2 3", {"--variables", "4"}},
        {"more variables than the file holds", kExample, {"--variables", "4"}},
        {"trailing tab in header", "y\tx\t\n1 2 3\n4 5 6\n7\n", {}},
        {"header only", "y\tx\n", {}},
    };
    for (const Case& c : cases) {
        const std::string data = dir.Write("d.txt", c.bytes);
        std::vector<std::string> args = {"datos", data};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome toStdout = RunInProcess(args);
        args.insert(args.end(), {"--salida", dir.File("salida.txt")});
        std::filesystem::remove(dir.File("salida.txt"));
        const Outcome toFile = RunInProcess(args);
        EXPECT_EQ(toStdout.exitCode, toFile.exitCode) << c.label << ": " << toFile.err;
        EXPECT_EQ(toStdout.err, toFile.err) << c.label;
        EXPECT_EQ(toStdout.out, testing::ReadFile(dir.File("salida.txt"))) << c.label;
    }

    // A refusal found at the end of the one pass leaves the old file as it was.
    const std::string before = "anterior\r\n";
    dir.Write("salida.txt", before);
    const Outcome empty = RunInProcess(
        {"datos", dir.Write("vacio.txt", " \r\n"), "--salida", dir.File("salida.txt")});
    EXPECT_EQ(kExitDataError, empty.exitCode);
    EXPECT_NE(std::string::npos, empty.err.find("no contiene ningún dato")) << empty.err;
    EXPECT_EQ(before, testing::ReadFile(dir.File("salida.txt")));
}

#ifndef _WIN32
TEST(SalidaTest, ALinkIsFollowedAndKept) {
    testing::TempDir dir;
    const std::string data = dir.Write("d.txt", kExample);
    dir.Write("real.txt", "antes");
    std::filesystem::create_symlink("real.txt", dir.path() / "enlace.txt");
    const Outcome outcome = RunInProcess({"datos", data, "--salida", dir.File("enlace.txt")});
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "enlace.txt"));
    EXPECT_EQ(RunInProcess({"datos", data}).out, testing::ReadFile(dir.File("real.txt")));
}

TEST(SalidaTest, APipeIsWrittenInPlaceAndNothingReachesItOnRefusal) {
    testing::TempDir dir;
    const std::string data = dir.Write("d.txt", kExample);
    const std::string pipe = dir.File("tubo");
    ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
    // Open both ways and without blocking: the writer never waits and the test can look at
    // what arrived (the texts fit the pipe's buffer).
    const int fd = open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const auto received = [fd] {
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        return text;
    };
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        bool writes;
    };
    const std::vector<Case> cases = {
        {{"datos", data, "--salida", pipe}, kExitOk, true},
        {{"datos", data, "--casos", "2", "--salida", pipe}, kExitOk, true},
        {{"modelo", "logit", data, "--salida", pipe}, kExitOk, true},
        // Refusals known before anything is written, with and without the counts given.
        {{"datos", data, "--casos", "3", "--salida", pipe}, kExitDataError, false},
        {{"datos", data, "--variables", "5", "--salida", pipe}, kExitDataError, false},
        {{"modelo", "probit", data, "--variables", "10", "--salida", pipe}, kExitDataError, false},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const std::string& arg : c.args)
            label += arg + " ";
        const Outcome outcome = RunInProcess(c.args);
        EXPECT_EQ(c.exitCode, outcome.exitCode) << label << outcome.err;
        const std::vector<std::string> toStdout(c.args.begin(), c.args.end() - 2);
        EXPECT_EQ(c.writes ? RunInProcess(toStdout).out : "", received()) << label;
        struct stat info {};
        ASSERT_EQ(0, stat(pipe.c_str(), &info));
        EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe was replaced";
    }
    close(fd);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"d.txt", "tubo"}), names) << "no temporary left behind";
}
#endif

} // namespace
} // namespace zento::cli
