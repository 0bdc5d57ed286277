// Runs the orvex-cli commands (in process, and the program itself for its exit statuses and
// stderr) and checks exit status, output and files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "TestPaths.h"
#include "support/CliRunner.h"

namespace {

namespace fs = std::filesystem;

using orvex::test::CliResult;

// One folder per test process: ctest runs the tests of this suite in parallel processes.
fs::path Dir() {
    return fs::path(ORVEX_TEST_BINARY_DIR) / ("cli-test-" + std::to_string(getpid()));
}

// The program itself, run by the shell: exit status, standard output and stderr.
struct ProgramResult {
    int status = -1;
    std::string out;
};
ProgramResult RunProgram(const std::string& args) {
    fs::path dir = Dir();
    std::string cmd = "cd '" + dir.string() + "' && ORVEX_CONFIG_DIR='" + dir.string() +
                      "/config' '" ORVEX_CLI_PATH "' " + args + " 2>stderr.txt";
    ProgramResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string Slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

class CliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fs::path dir = Dir();
        fs::remove_all(dir);
        fs::create_directories(dir);
        ASSERT_EQ(Cli("demo --out demo.tbc --minutes 0.5 --rate 50 --seed 7").status, 0);
    }
    static void TearDownTestSuite() { fs::remove_all(Dir()); }
    static CliResult Cli(const std::string& args) {
        CliResult r = orvex::test::RunCli(args, {Dir(), Dir() / "config"});
        s_stderr = r.err;
        return r;
    }
    std::string Stderr() const { return s_stderr; }
    static inline std::string s_stderr;
};

TEST_F(CliTest, ResaveReproducesTheFileByteForByte) {
    ASSERT_EQ(Cli("resave demo.tbc again.tbc").status, 0);
    const std::string a = Slurp(Dir() / "demo.tbc"), b = Slurp(Dir() / "again.tbc");
    ASSERT_GT(a.size(), 37u);
    EXPECT_TRUE(a == b);
}

TEST_F(CliTest, InfoDescribesDatasetsAndSeries) {
    CliResult text = Cli("info demo.tbc");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("version: 3.3e"), std::string::npos);
    EXPECT_NE(text.out.find("name: Silverstone Circuit"), std::string::npos);
    CliResult json = Cli("info demo.tbc --json");
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out.front(), '{');
    EXPECT_NE(json.out.find("\"channel\": \"analog17\""), std::string::npos);
    EXPECT_NE(json.out.find("\"samples\": 1500"), std::string::npos);  // 30 s at 50 Hz
}

TEST_F(CliTest, DumpPrintsOneLinePerSample) {
    CliResult rpm = Cli("dump demo.tbc --dataset 1 --channel rpm1");
    ASSERT_EQ(rpm.status, 0);
    std::istringstream lines(rpm.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        if (count == 1) {
            EXPECT_EQ(line.substr(0, 7), "0.0200\t");  // 50 Hz
        }
        ++count;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;  // time, value, gear
    }
    EXPECT_EQ(count, 1500);
    CliResult analog = Cli("dump demo.tbc --dataset 1 --channel analog3 --values filtered");
    ASSERT_EQ(analog.status, 0);
    EXPECT_EQ(std::count(analog.out.begin(), analog.out.end(), '\n'), 1500);
}

TEST_F(CliTest, FailuresExitWithTheMessageAndUsageErrorsWithTwo) {
    struct Case {
        const char* args;
        int status;
        const char* message;
    } cases[] = {
        {"info missing.tbc", 1, "Could NOT open file 'missing.tbc'.\nReason: File NOT found."},
        {"info missing.tac", 1, "Could NOT open file 'missing.tac'."},
        {"dump demo.tbc --dataset 2 --channel rpm1", 1, "there is no data-set 2"},
        {"resave demo.tbc out.txt", 1, "Only Files with '.TBC' extension allowed for saving."},
        {"demo --out x.tbc --circuit nowhere", 1, "Cannot generate a session on circuit 'nowhere'"},
        {"dump demo.tbc --channel rpm9", 2, "unknown channel 'rpm9'"},
        {"frobnicate", 2, "unknown command 'frobnicate'"},
        {"info demo.tbc --jsn", 2, "unknown option --jsn\nusage: orvex-cli info FILE [--json]"},
        {"upload --sesion 3 --out x.tbc", 2, "unknown option --sesion"},
        {"export demo.tbc out.asc --dataset", 2, "option --dataset needs a value"},
        {"", 2, "usage: orvex-cli COMMAND [ARGS]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cli(c.args).status, c.status) << c.args;
        EXPECT_NE(Stderr().find(c.message), std::string::npos) << c.args << ": " << Stderr();
    }
    EXPECT_FALSE(fs::exists(Dir() / "out.txt"));
    EXPECT_FALSE(fs::exists(Dir() / "x.tbc"));
}

TEST_F(CliTest, HelpListsEveryCommandOnce) {
    CliResult help = Cli("help");
    ASSERT_EQ(help.status, 0);
    for (const orvex::cli::CommandInfo& c : orvex::cli::Commands()) {
        const std::string line = "  orvex-cli " + c.name + (c.usage == c.name ? "\n" : " ");
        EXPECT_EQ(help.out.find(line), help.out.rfind(line)) << c.name;
        EXPECT_NE(help.out.find(line), std::string::npos) << c.name;
    }
}

TEST_F(CliTest, TheReadmeDocumentsEveryCommand) {
    // The build tree's "data" links to the sources' data folder, beside the README.
    const fs::path readme =
        fs::read_symlink(fs::path(ORVEX_TEST_BINARY_DIR) / "data").parent_path() / "README.md";
    const std::string text = Slurp(readme);
    ASSERT_FALSE(text.empty()) << readme;
    for (const orvex::cli::CommandInfo& c : orvex::cli::Commands()) {
        EXPECT_NE(text.find("    orvex-cli " + c.usage + "\n"), std::string::npos) << c.usage;
        EXPECT_NE(text.find("- `" + c.name + "`: "), std::string::npos) << c.name;
    }
}

TEST_F(CliTest, TheProgramExitsWithTheCommandsStatusAndWritesMessagesToStderr) {
    struct Case {
        const char* args;
        int status;
        const char* stderrText;
    } cases[] = {
        {"info demo.tbc", 0, ""},
        {"info missing.tbc", 1, "error: Could NOT open file 'missing.tbc'."},
        {"info demo.tbc --jsn", 2, "orvex-cli info: unknown option --jsn"},
        {"", 2, "usage: orvex-cli COMMAND [ARGS]"},
    };
    for (const Case& c : cases) {
        ProgramResult r = RunProgram(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        const std::string err = Slurp(Dir() / "stderr.txt");
        if (*c.stderrText)
            EXPECT_NE(err.find(c.stderrText), std::string::npos) << c.args << ": " << err;
        else
            EXPECT_EQ(err, "") << c.args;
    }
    EXPECT_NE(RunProgram("info demo.tbc").out.find("version: 3.3e"), std::string::npos);
}

TEST_F(CliTest, OverlayAndDeleteDataSurviveReopen) {
    ASSERT_EQ(Cli("demo --out monaco.tbc --minutes 0.2 --rate 20 --circuit mc-1929").status, 0);
    CliResult overlay = Cli("overlay both.tbc demo.tbc monaco.tbc");
    ASSERT_EQ(overlay.status, 0) << Stderr();
    EXPECT_EQ(overlay.out, "demo.tbc & Circuit de Monaco\n");
    ASSERT_EQ(Cli("delete-data both.tbc cut.tbc --dataset 2 --after 5").status, 0) << Stderr();
    CliResult info = Cli("info cut.tbc --json");
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("\"name\": \"Silverstone Circuit\""), std::string::npos);
    EXPECT_NE(info.out.find("\"name\": \"Circuit de Monaco\""), std::string::npos);
    // Monaco at 20 Hz cut after 5 s keeps the samples up to 5.0 s.
    CliResult dump = Cli("dump cut.tbc --dataset 2 --channel analog1");
    ASSERT_EQ(dump.status, 0);
    EXPECT_EQ(std::count(dump.out.begin(), dump.out.end(), '\n'), 101);
    EXPECT_NE(dump.out.find("5.0000\t"), std::string::npos);
}

}  // namespace
