// orvex-cli lap-report on a generated session: the columns come from the same map as
// `trackmap`, every complete lap is a row whose segment times add up to its lap time, and the
// fastest values, the "Best Lap" row and the selected laps behave as in the report window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "support/CliRunner.h"

namespace {

namespace fs = std::filesystem;
using orvex::test::CliResult;

fs::path Dir() {
    return fs::path(ORVEX_TEST_BINARY_DIR) / ("cli-lap-report-" + std::to_string(getpid()));
}

CliResult Cli(const std::string& args) {
    return orvex::test::RunCli(args, {Dir(), Dir() / "config"});
}

struct Row {
    std::string lap;
    std::vector<std::string> cells;
    std::vector<bool> best;
};
struct Report {
    std::vector<std::string> headers;
    std::vector<Row> rows;
};

std::vector<std::string> Strings(const std::string& list) {
    std::vector<std::string> out;
    const std::regex re("\"((?:[^\"\\\\]|\\\\.)*)\"");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), re); it != std::sregex_iterator();
         ++it)
        out.push_back(std::regex_replace((*it)[1].str(), std::regex("\\\\n"), "\n"));
    return out;
}

// The report's JSON read back (its texts hold no brackets).
Report Parse(const std::string& json) {
    Report r;
    std::smatch m;
    if (std::regex_search(json, m, std::regex("\"headers\": \\[([^\\]]*)\\]")))
        r.headers = Strings(m[1]);
    const std::regex row(
        "\\{\"lap\": \"([^\"]*)\", \"cells\": \\[([^\\]]*)\\], \"best\": \\[([^\\]]*)\\]\\}");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), row);
         it != std::sregex_iterator(); ++it) {
        Row x;
        x.lap = (*it)[1];
        x.cells = Strings((*it)[2]);
        const std::string best = (*it)[3];
        const std::regex flag("true|false");
        for (auto b = std::sregex_iterator(best.begin(), best.end(), flag);
             b != std::sregex_iterator(); ++b)
            x.best.push_back(b->str() == "true");
        r.rows.push_back(x);
    }
    return r;
}

// "1:02.350" in seconds.
double Seconds(const std::string& t) {
    const std::size_t colon = t.find(':');
    return std::stod(t.substr(0, colon)) * 60 + std::stod(t.substr(colon + 1));
}

class CliLapReport : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fs::remove_all(Dir());
        fs::create_directories(Dir());
        // At least four whole laps at 20 Hz (five and a half minutes hold two and a bit).
        ASSERT_EQ(Cli("demo --out laps.tbc --minutes 11 --rate 20 --seed 3").status, 0);
    }
    static void TearDownTestSuite() { fs::remove_all(Dir()); }
};

TEST_F(CliLapReport, ColumnsAreTheCornerSegmentsOfTheTrackMapOfTheLap) {
    const CliResult map = Cli("trackmap laps.tbc --lap 2 --segments");
    ASSERT_EQ(map.status, 0) << map.err;
    std::size_t corners = 0;
    for (std::size_t at = map.out.find("corner\t"); at != std::string::npos;
         at = map.out.find("corner\t", at + 1))
        ++corners;
    ASSERT_GT(corners, 3u);

    const CliResult r = Cli("lap-report laps.tbc --map-lap 2 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const Report report = Parse(r.out);
    ASSERT_EQ(report.headers.size(), corners + 2);
    EXPECT_EQ(report.headers[0], "Lap\nNumber");
    EXPECT_EQ(report.headers[1], "Lap\nTime");
    EXPECT_EQ(report.headers[2], "Segment #1\nTime");
    EXPECT_EQ(report.headers.back(), "Segment #" + std::to_string(corners) + "\nTime");

    // One row per complete lap, as `laps` lists their times (with two decimals).
    const CliResult laps = Cli("laps laps.tbc");
    ASSERT_EQ(laps.status, 0) << laps.err;
    ASSERT_GE(report.rows.size(), 4u);
    for (std::size_t i = 0; i < report.rows.size(); ++i) {
        const Row& row = report.rows[i];
        EXPECT_EQ(row.lap, std::to_string(i + 1));
        ASSERT_EQ(row.cells.size(), corners + 1);
        EXPECT_TRUE(std::regex_match(row.cells[0], std::regex("[0-9]+:[0-9]{2}\\.[0-9]{3}")))
            << row.cells[0];
        EXPECT_NE(laps.out.find(row.cells[0].substr(0, row.cells[0].size() - 1)), std::string::npos)
            << row.cells[0] << "\n"
            << laps.out;
        double sum = 0;
        for (std::size_t k = 1; k < row.cells.size(); ++k) {
            EXPECT_GT(Seconds(row.cells[k]), 0.0) << row.lap << " segment " << k;
            sum += Seconds(row.cells[k]);
        }
        // The last segment ends on the first sample at the closing line; every text drops
        // the tenths of a millisecond.
        EXPECT_NEAR(sum, Seconds(row.cells[0]), 0.0501 + 0.001 * static_cast<double>(corners))
            << row.lap;
        EXPECT_EQ(std::count(row.best.begin(), row.best.end(), true), 0);
    }
}

TEST_F(CliLapReport, HighlightMarksTheFastestOfEachColumnAndTheBestLapTakesThem) {
    const CliResult r = Cli("lap-report laps.tbc --map-lap 2 --highlight --best-lap --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const Report report = Parse(r.out);
    ASSERT_GE(report.rows.size(), 5u);
    const Row& bestRow = report.rows.back();
    EXPECT_EQ(bestRow.lap, "Best Lap");
    const std::size_t laps = report.rows.size() - 1;
    double sum = 0;
    for (std::size_t c = 0; c < bestRow.cells.size(); ++c) {
        // The first lap holding the column's smallest value is the one marked.
        std::size_t fastest = 0;
        for (std::size_t i = 1; i < laps; ++i)
            if (Seconds(report.rows[i].cells[c]) < Seconds(report.rows[fastest].cells[c]))
                fastest = i;
        for (std::size_t i = 0; i < laps; ++i)
            EXPECT_EQ(report.rows[i].best[c], i == fastest) << "column " << c << " lap " << i + 1;
        if (c > 0) {
            EXPECT_EQ(bestRow.cells[c], report.rows[fastest].cells[c]) << c;
            sum += Seconds(bestRow.cells[c]);
        }
    }
    // Its time is the sum of the best segment times (each text drops tenths of milliseconds).
    EXPECT_NEAR(Seconds(bestRow.cells[0]), sum, 0.001 * static_cast<double>(bestRow.cells.size()));
    for (std::size_t i = 0; i < laps; ++i)
        EXPECT_LE(Seconds(bestRow.cells[0]), Seconds(report.rows[i].cells[0]) + 0.06) << i + 1;
}

TEST_F(CliLapReport, SelectedLapsCompeteAloneOrAreListedAlone) {
    CliResult r = Cli("lap-report laps.tbc --map-lap 2 --laps 3 --view-selected --json");
    ASSERT_EQ(r.status, 0) << r.err;
    Report report = Parse(r.out);
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].lap, "3");

    r = Cli("lap-report laps.tbc --map-lap 2 --laps 3 --use-selected --highlight --json");
    ASSERT_EQ(r.status, 0) << r.err;
    report = Parse(r.out);
    ASSERT_GE(report.rows.size(), 4u);
    for (const Row& row : report.rows) {
        const bool all = std::all_of(row.best.begin(), row.best.end(), [](bool b) { return b; });
        const bool none = std::none_of(row.best.begin(), row.best.end(), [](bool b) { return b; });
        EXPECT_TRUE(row.lap == "3" ? all : none) << row.lap;
    }
}

TEST_F(CliLapReport, SpeedsAddEntryAndMaximumOnStraightsAndMinimumInCorners) {
    const CliResult plain = Cli("lap-report laps.tbc --map-lap 2 --json");
    const CliResult r = Cli("lap-report laps.tbc --map-lap 2 --speeds --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const Report times = Parse(plain.out), report = Parse(r.out);
    std::size_t column = 2, segment = 0;
    while (column < report.headers.size()) {
        ++segment;
        const std::string n = "Segment #" + std::to_string(segment);
        ASSERT_EQ(report.headers[column], "\nTime");
        const bool straight = report.headers[column + 1] == n + "\nEntry Speed";
        if (straight) {
            EXPECT_EQ(report.headers[column + 2], "\nMax Speed");
        } else {
            EXPECT_EQ(report.headers[column + 1], n + "\nMin Speed");
        }
        for (std::size_t i = 0; i < report.rows.size(); ++i) {
            const Row& row = report.rows[i];
            EXPECT_EQ(row.cells[column - 1], times.rows[i].cells[segment]);
            const std::string& speed = row.cells[column];
            EXPECT_TRUE(std::regex_match(speed, std::regex("[0-9]+\\.[0-9]{2}"))) << speed;
            EXPECT_GE(std::stod(speed), 0.0) << speed;
            if (straight) {
                EXPECT_TRUE(
                    std::regex_match(row.cells[column + 1], std::regex("[0-9]+\\.[0-9]{2}")));
            }
        }
        column += straight ? 3 : 2;
    }
    EXPECT_EQ(segment, times.headers.size() - 2);
}

TEST_F(CliLapReport, BadRequestsEndWithAMessage) {
    const struct {
        const char* args;
        int status;
        const char* text;
    } cases[] = {
        {"lap-report laps.tbc --json", 2, "--map-lap is required"},
        {"lap-report laps.tbc --map-lap 2 --laps 2,x --json", 2, "--laps takes lap numbers"},
        {"lap-report laps.tbc --map-lap 9 --json", 1, "Data-set 1 has no lap 9."},
        {"lap-report laps.tbc --map-lap 2 --dataset 2 --json", 1, "there is no data-set 2"},
        {"lap-report missing.tbc --map-lap 2 --json", 1, "missing.tbc"},
    };
    for (const auto& c : cases) {
        const CliResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.text), std::string::npos) << c.args << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
    }
}

}  // namespace
