// Runs orvex-cli as users' scripts do and checks exit status, output and files.
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

namespace {

namespace fs = std::filesystem;

struct CliResult {
    int status;
    std::string out;
};

// One folder per test process: ctest runs the tests of this suite in parallel processes.
fs::path Dir() {
    return fs::path(ORVEX_TEST_BINARY_DIR) / ("cli-test-" + std::to_string(getpid()));
}

CliResult Cli(const std::string& args) {
    fs::path dir = Dir();
    std::string cmd = "cd '" + dir.string() + "' && ORVEX_CONFIG_DIR='" + dir.string() +
                      "/config' '" ORVEX_CLI_PATH "' " + args + " 2>stderr.txt";
    CliResult r{-1, {}};
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
    std::string Stderr() const { return Slurp(Dir() / "stderr.txt"); }
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

TEST_F(CliTest, FailuresExitOneWithTheMessage) {
    struct Case {
        const char* args;
        const char* message;
    } cases[] = {
        {"info missing.tbc", "Could NOT open file 'missing.tbc'.\nReason: File NOT found."},
        {"dump demo.tbc --dataset 2 --channel rpm1", "there is no data-set 2"},
        {"dump demo.tbc --channel rpm9", "unknown channel 'rpm9'"},
        {"resave demo.tbc out.txt", "Only Files with '.TBC' extension allowed for saving."},
        {"demo --out x.tbc --circuit nowhere", "Cannot generate a session on circuit 'nowhere'"},
        {"frobnicate", "unknown command 'frobnicate'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cli(c.args).status, 1) << c.args;
        EXPECT_NE(Stderr().find(c.message), std::string::npos) << c.args << ": " << Stderr();
    }
    EXPECT_FALSE(fs::exists(Dir() / "out.txt"));
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
