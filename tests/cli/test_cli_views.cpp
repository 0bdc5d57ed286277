// orvex-cli histogram and traction on a generated session with laps: rows, percentages, the
// selection dialogs' refusals as exit status 1 with their texts, and the traction values.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "TestPaths.h"

namespace {

namespace fs = std::filesystem;

fs::path Dir() {
    return fs::path(ORVEX_TEST_BINARY_DIR) / ("cli-views-test-" + std::to_string(getpid()));
}

struct Result {
    int status = -1;
    std::string out, err;
};

Result Cli(const std::string& args) {
    const fs::path dir = Dir();
    const std::string cmd = "cd '" + dir.string() + "' && ORVEX_CONFIG_DIR='" + dir.string() +
                            "/config' '" ORVEX_CLI_PATH "' " + args + " 2>stderr.txt";
    Result r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream f(dir / "stderr.txt");
    std::stringstream ss;
    ss << f.rdbuf();
    r.err = ss.str();
    return r;
}

// Every number after `"key": ` in the text.
std::vector<double> Numbers(const std::string& text, const std::string& key) {
    std::vector<double> out;
    const std::regex re("\"" + key + "\": (-?[0-9.eE+-]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
         ++it)
        out.push_back(std::stod((*it)[1]));
    return out;
}

class CliViews : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fs::remove_all(Dir());
        fs::create_directories(Dir());
        // Two full laps and a bit at 20 Hz.
        ASSERT_EQ(Cli("demo --out laps.tbc --minutes 5.5 --rate 20 --seed 3").status, 0);
    }
    static void TearDownTestSuite() { fs::remove_all(Dir()); }
};

TEST_F(CliViews, HistogramGivesARowPerChannelOrPerLap) {
    Result r = Cli("histogram laps.tbc --channel analog3,analog4 --scale range --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"value_axis\": \"% of Range Time\""), std::string::npos);
    EXPECT_NE(r.out.find("\"legend\": \"Shock-LF\""), std::string::npos);
    EXPECT_NE(r.out.find("\"legend\": \"Shock-RF\""), std::string::npos);
    double percent = 0;
    for (double v : Numbers(r.out, "value")) percent += v;
    EXPECT_NEAR(percent, 200.0, 1e-6);  // each row's bars add up to its range time

    r = Cli("histogram laps.tbc --channel digital1 --dataset 1:1 --dataset 1:2 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(":Lap #1\""), std::string::npos);
    EXPECT_NE(r.out.find(":Lap #2\""), std::string::npos);
    // Off and on bands of the switch: the on time is counted.
    EXPECT_EQ(Numbers(r.out, "lower"), (std::vector<double>{0, 1, 0, 1}));
    const std::vector<double> seconds = Numbers(r.out, "seconds");
    ASSERT_EQ(seconds.size(), 4u);
    EXPECT_GT(seconds[1], 1.0);
    const std::vector<double> totals = Numbers(r.out, "total_s");
    EXPECT_NEAR(totals[0], seconds[0] + seconds[1], 1e-6);

    r =
        Cli("histogram laps.tbc --channel analog1 --min 0 --max 100 --inc 25 --start 10 --end 70 "
            "--scale selected --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Numbers(r.out, "lower"), (std::vector<double>{0, 25, 50, 75}));
    EXPECT_EQ(Numbers(r.out, "total_s"), std::vector<double>{60});
}

TEST_F(CliViews, HistogramRefusalsEndWithTheDialogsTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"--channel analog1,analog3 --dataset 1:1 --dataset 1:2",
         "Multiple data sets NOT allowed when multiple channels selected!"},
        {"--channel analog1,analog3", "Channel type does NOT match already selected type."},
        {"--channel analog1 --start 30 --end 20", "Invalid Time Selection for Data Set '"},
        {"--channel analog9", "do not all hold channel analog9"},
        {"--channel analog1 --dataset 1:7", "has no lap 7"},
    };
    for (const auto& [args, text] : cases) {
        const Result r = Cli(std::string("histogram laps.tbc ") + args + " --json");
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find(text), std::string::npos) << args << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << args;
    }
}

TEST_F(CliViews, TractionReportsRangesPointsAndTheMarkerValues) {
    Result r = Cli("traction laps.tbc --dataset 1:2 --at 200 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Numbers(r.out, "lr_units_per_g"), std::vector<double>{100});
    EXPECT_GT(Numbers(r.out, "points").at(0), 2000);
    EXPECT_LT(Numbers(r.out, "fr_min").at(0), 0);
    EXPECT_TRUE(std::regex_search(
        r.out,
        std::regex(R"re("value_text": " F-R: -?\d\.\d\d  L-R: -?\d\.\d\d  Max G: \d\.\d\d ")re")))
        << r.out;
    r = Cli("traction laps.tbc --dataset 1:2 --at 5 --json");
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Unable to Draw Green Marker for Friction Circle!\\nSession(s) selected "
                         "does NOT contain Marker position."),
              std::string::npos);
    const Result smooth = Cli("traction laps.tbc --dataset 1:2 --lr-smoothing heavy --json");
    EXPECT_LT(Numbers(smooth.out, "lr_max").at(0), Numbers(r.out, "lr_max").at(0));
}

}  // namespace
