// zento-cli ajustar, resumir and comparar with JAGS itself, on short chains: the estimates, the
// folder they leave, repeatable seeds, the ranking, and Ctrl+C.
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace zento {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

std::string Quoted(const std::string& arg) {
    return "'" + arg + "'";
}

std::string Example(const char* name) {
    return std::string(ZENTO_EXAMPLES_DIR) + "/" + name;
}

// CSV rows by their first field.
std::map<std::string, std::vector<std::string>> CsvRows(const std::string& csv) {
    std::map<std::string, std::vector<std::string>> rows;
    std::istringstream in(csv);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream fieldsIn(line);
        for (std::string field; std::getline(fieldsIn, field, ',');)
            fields.push_back(field);
        rows[fields.at(0)] = fields;
    }
    return rows;
}

std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FitCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v jags >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "jags no está instalado (make test lo instala con apt-get)";
    }

    // zento-cli's exit status and standard output; standard error in err.
    int Run(const std::string& args, std::string& out) {
        const std::string command = Quoted(ZENTO_CLI_PATH) + " " + args + " > " +
                                    Quoted(dir.File(".out")) + " 2> " + Quoted(dir.File(".err"));
        const int status = std::system(command.c_str());
        out = ReadFile(dir.File(".out"));
        err = ReadFile(dir.File(".err"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testing::TempDir dir;
    std::string err;
};

TEST_F(FitCommandsTest, LogitOnBirthwtAgreesWithMaximumLikelihoodAndResumirSaysTheSame) {
    const std::string fitted = dir.File("ajuste");
    std::string out;
    ASSERT_EQ(0, Run("ajustar logit " + Quoted(Example("birthwt.txt")) +
                         " --iteraciones 3000 --formato csv --directorio " + Quoted(fitted),
                     out))
        << err;
    // low ~ age + lwt + smoke + ht + ui, fitted by maximum likelihood.
    const std::vector<double> ml = {1.3998, -0.0341, -0.0154, 0.6475, 1.8933, 0.8846};
    const auto rows = CsvRows(out);
    for (std::size_t j = 0; j < ml.size(); ++j) {
        const std::string name = "beta[" + std::to_string(j + 1) + "]";
        ASSERT_EQ(1u, rows.count(name)) << out;
        const double mean = std::stod(rows.at(name).at(2)), sd = std::stod(rows.at(name).at(3));
        EXPECT_LT(std::abs(mean - ml[j]), 0.25 * sd)
            << name << ": media " << mean << ", de " << sd << ", MV " << ml[j];
    }
    EXPECT_EQ("lwt", rows.at("beta[3]").at(1));
    EXPECT_EQ((std::vector<std::string>{"CODAchain1.txt", "CODAchain2.txt", "CODAchain3.txt",
                                        "CODAindex.txt", "datos.R", "ejecutar.cmd", "inits1.R",
                                        "inits2.R", "inits3.R", "modelo.bug"}),
              Listing(fitted));
    std::string again;
    ASSERT_EQ(0, Run("resumir " + Quoted(fitted) + " --formato csv", again)) << err;
    EXPECT_EQ(out, again);
    ASSERT_EQ(0, Run("resumir " + Quoted(fitted), again)) << err;
    EXPECT_NE(std::string::npos, again.find("\nLOO: elpd_loo ")) << again;
}

// Run as separate processes or as the bundle's own script, the same seed gives the same draws.
TEST_F(FitCommandsTest, TheSameSeedGivesTheSameDrawsAsTheBundlesScript) {
    const std::string options =
        Quoted(Example("vaso.txt")) + " --calentamiento 100 --iteraciones 200 --semilla 42 ";
    std::string out;
    for (const char* folder : {"a", "b"})
        ASSERT_EQ(0,
                  Run("ajustar cds " + options + "--directorio " + Quoted(dir.File(folder)), out))
            << err;
    ASSERT_EQ(0, Run("jags cds " + options + "--directorio " + Quoted(dir.File("c")), out)) << err;
    ASSERT_EQ(
        0, std::system(
               ("cd " + Quoted(dir.File("c")) + " && jags ejecutar.cmd > /dev/null 2>&1").c_str()));
    ASSERT_EQ(0, Run("ajustar cds " + Quoted(Example("vaso.txt")) +
                         " --calentamiento 100 --iteraciones 200 --semilla 43 --directorio " +
                         Quoted(dir.File("d")),
                     out))
        << err;
    for (const char* file :
         {"CODAindex.txt", "CODAchain1.txt", "CODAchain2.txt", "CODAchain3.txt"}) {
        const std::string a = ReadFile(dir.File(std::string("a/") + file));
        EXPECT_FALSE(a.empty()) << file;
        EXPECT_TRUE(a == ReadFile(dir.File(std::string("b/") + file))) << file;
        EXPECT_TRUE(a == ReadFile(dir.File(std::string("c/") + file))) << file;
        // Another seed, other draws of the same nodes.
        EXPECT_EQ(std::string(file) == "CODAindex.txt",
                  a == ReadFile(dir.File(std::string("d/") + file)))
            << file;
    }
}

TEST_F(FitCommandsTest, ComparaRanksTheLinksByElpdLoo) {
    std::string out;
    ASSERT_EQ(0, Run("comparar " + Quoted(Example("vaso.txt")) +
                         " --enlaces probit,cloglog,logit --calentamiento 200 --iteraciones 300 "
                         "--formato csv",
                     out))
        << err;
    std::istringstream in(out);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ("enlace,elpd_loo,se_elpd_loo,elpd_diff,se_diff,p_loo,looic,waic,k_max,k_altos,"
              "rhat_max,ess_bulk_min,estado",
              line);
    std::vector<double> elpd;
    std::vector<std::string> links;
    while (std::getline(in, line)) {
        links.push_back(line.substr(0, line.find(',')));
        elpd.push_back(std::stod(line.substr(line.find(',') + 1)));
        if (elpd.size() == 1) { // the best one's difference to itself
            EXPECT_NE(std::string::npos, line.find(",0,0,")) << line;
        }
    }
    std::sort(links.begin(), links.end());
    EXPECT_EQ((std::vector<std::string>{"cloglog", "logit", "probit"}), links);
    EXPECT_TRUE(std::is_sorted(elpd.rbegin(), elpd.rend())) << out;
}

// Every process whose working directory lies under root.
std::vector<int> ProcessesUnder(const fs::path& root) {
    std::vector<int> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const fs::path cwd = fs::read_symlink(entry.path() / "cwd", ec);
        if (!ec && cwd.string().starts_with(root.string()))
            found.push_back(std::stoi(name));
    }
    return found;
}

TEST_F(FitCommandsTest, AnInterruptLeavesNoJagsAndNoTemporaryFolder) {
    for (int signal : {SIGINT, SIGTERM}) {
        const fs::path tmp = dir.path() / ("tmp" + std::to_string(signal));
        fs::create_directory(tmp);
        const std::string data = Example("birthwt.txt");
        std::vector<std::string> words{ZENTO_CLI_PATH,  "ajustar", "scobit",     data,
                                       "--iteraciones", "1000000", "--procesos", "2"};
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        std::vector<std::string> env{"TMPDIR=" + tmp.string(),
                                     "PATH=" + std::string(std::getenv("PATH"))};
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        pid_t pid = 0;
        ASSERT_EQ(0, posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (ProcessesUnder(tmp).size() < 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(2u, ProcessesUnder(tmp).size()) << "JAGS no llegó a arrancar";
        ::kill(pid, signal);
        int status = 0;
        ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(std::vector<int>{}, ProcessesUnder(tmp));
        EXPECT_EQ(std::vector<std::string>{}, Listing(tmp));
    }
}

} // namespace
} // namespace zento
