// Runs zento-cli as a user does, in a scratch directory, and looks at what it leaves behind.
#pragma once

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace zento {

inline const std::string kExample = "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuoted(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class CliTest : public ::testing::Test {
protected:
    // Runs zento-cli in the scratch directory; stdout goes to redirect when one is given, and
    // shellPrefix runs first in the same shell (a ulimit, say).
    Outcome Run(const std::vector<std::string>& args, const std::string& redirect = "",
                const std::string& shellPrefix = "") {
        std::string command = "cd " + ShellQuoted(dir.path().string()) + " && " + shellPrefix +
                              ShellQuoted(ZENTO_CLI_PATH);
        for (const std::string& arg : args)
            command += " " + ShellQuoted(arg);
        const std::string out = dir.File(".stdout"), err = dir.File(".stderr");
        command +=
            " > " + (redirect.empty() ? ShellQuoted(out) : redirect) + " 2> " + ShellQuoted(err);
        const int status = std::system(command.c_str());
        Outcome outcome;
#ifdef _WIN32
        outcome.exitCode = status;
#else
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        outcome.out = testing::ReadFile(out);
        outcome.err = testing::ReadFile(err);
        std::filesystem::remove(out);
        std::filesystem::remove(err);
        return outcome;
    }

    // Files in the scratch directory other than the ones the test wrote.
    std::vector<std::string> Leftovers(const std::vector<std::string>& expected) {
        std::vector<std::string> extra;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end())
                extra.push_back(name);
        }
        return extra;
    }

    static void ExpectOneLineMessage(const Outcome& outcome, const std::string& fragment) {
        EXPECT_EQ("", outcome.out);
        ASSERT_FALSE(outcome.err.empty());
        EXPECT_EQ(0u, outcome.err.find("zento-cli: "));
        EXPECT_EQ(outcome.err.size() - 1, outcome.err.find('\n')) << outcome.err;
        EXPECT_NE(std::string::npos, outcome.err.find(fragment)) << outcome.err;
    }

    testing::TempDir dir;
};

} // namespace zento
