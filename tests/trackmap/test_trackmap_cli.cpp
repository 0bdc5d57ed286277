// orvex-cli trackmap as scripts use it: the figures, the segment lines, the CSV file and the
// refusals.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestPaths.h"

namespace {

namespace fs = std::filesystem;

struct CliResult {
    int status = -1;
    std::string out;
};

fs::path Dir() {
    return fs::path(ORVEX_TEST_BINARY_DIR) / ("trackmap-cli-" + std::to_string(getpid()));
}

CliResult Cli(const std::string& args) {
    const fs::path dir = Dir();
    const std::string cmd = "cd '" + dir.string() + "' && ORVEX_CONFIG_DIR='" + dir.string() +
                            "/config' '" ORVEX_CLI_PATH "' " + args + " 2>stderr.txt";
    CliResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string Slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class TrackMapCli : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fs::remove_all(Dir());
        fs::create_directories(Dir());
        // Laps of 2:22 at 50 Hz, and laps of under 100 samples at 1 Hz.
        ASSERT_EQ(Cli("demo --out lap.tbc --minutes 7 --rate 50 --seed 3").status, 0);
        ASSERT_EQ(Cli("demo --out slow.tbc --minutes 5 --rate 1 --circuit at-1969").status, 0);
    }
    static void TearDownTestSuite() { fs::remove_all(Dir()); }
    static std::string Stderr() { return Slurp(Dir() / "stderr.txt"); }
};

TEST_F(TrackMapCli, PrintsTheMapFiguresSegmentsAndSamples) {
    const CliResult r = Cli("trackmap lap.tbc --lap 2 --source 2 --segments --csv map.csv");
    ASSERT_EQ(r.status, 0) << Stderr();
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 8u);
    const char* keys[] = {"samples\t",   "cycles\t",    "heading\t",
                          "direction\t", "length_ft\t", "bbox\t"};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(lines[i].rfind(keys[i], 0), 0u) << lines[i];
    const long samples = std::stol(lines[0].substr(8));
    EXPECT_GT(samples, 1000);
    EXPECT_LT(std::fabs(std::fabs(std::stod(lines[2].substr(8))) - 6.24), 0.1);
    int accel = 0, corner = 0;
    for (std::size_t i = 6; i < lines.size(); ++i) {
        accel += lines[i].rfind("accel\t", 0) == 0;
        corner += lines[i].rfind("corner\t", 0) == 0;
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 3) << lines[i];
    }
    EXPECT_GT(accel, 2);
    EXPECT_GT(corner, 2);
    EXPECT_EQ(accel + corner + 6, static_cast<int>(lines.size()));

    const std::vector<std::string> csv = Lines(Slurp(Dir() / "map.csv"));
    ASSERT_EQ(csv.size(), static_cast<std::size_t>(samples) + 1);
    EXPECT_EQ(csv[0], "x,y,s,t,long_g,lat_g,vert_g,v,curvature,radius,bank,heading");
    EXPECT_EQ(csv[1].rfind("0,0,0,", 0), 0u) << csv[1];
    EXPECT_EQ(std::count(csv[1].begin(), csv[1].end(), ','), 11);
}

TEST_F(TrackMapCli, OpenMapRunsOneCycle) {
    const CliResult r = Cli("trackmap lap.tbc --lap 2 --source 2 --open");
    ASSERT_EQ(r.status, 0) << Stderr();
    EXPECT_EQ(Lines(r.out)[1], "cycles\t1");
}

TEST_F(TrackMapCli, Refusals) {
    struct Case {
        const char* args;
        const char* message;
    };
    const Case cases[] = {
        {"trackmap slow.tbc --lap 2 --source 2", "Lap selected does NOT contain enough data!"},
        {"trackmap lap.tbc --lap 40 --source 2", "Data-set 1 has no lap 40."},
        {"trackmap lap.tbc --lap 2 --dataset 3", "there is no data-set 3."},
        {"trackmap missing.tbc --lap 2", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliResult r = Cli(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(Stderr().find(c.message), std::string::npos) << Stderr();
    }
    EXPECT_NE(Cli("trackmap lap.tbc").status, 0);  // --lap is required
}

}  // namespace
