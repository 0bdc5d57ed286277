// orvex-cli laps, distance, convert and export on files written by the test.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "TestPaths.h"
#include "support/CliRunner.h"

namespace {

// Output and messages of the command, in order, and its exit status.
std::string RunCli(const std::string& args) {
    orvex::test::CliRunOptions options;
    options.configDir = std::string(ORVEX_TEST_BINARY_DIR) + "/test-config";
    options.merged = true;
    const orvex::test::CliResult r = orvex::test::RunCli(args, options);
    return r.out + "[exit " + std::to_string(r.status) + "]";
}

TEST(CliAnalysis, LapsDistanceConvertExport) {
    const auto dir = std::filesystem::path(ORVEX_TEST_BINARY_DIR) / "cli-analysis";
    std::filesystem::create_directories(dir);
    const std::string tac = (dir / "run.tac").string();
    {
        // 1000 RPM of an 80 in rear wheel is 7570 hundredths of MPH; laps at 1, 2 and 3 s.
        std::ofstream out(tac);
        out << "!Brio-Dash Data File Version 2.4\n#Sample Frequency: 100\n#Tire Circ: 80\n"
               "#Rearend Ratio: 4\nSAMPLE Tach Axle-MPH Lap\n";
        for (int i = 0; i <= 400; ++i)
            out << i << " 5 7570 " << (i == 100 || i == 200 || i == 300 ? 1 : 0) << "\n";
    }
    EXPECT_EQ(RunCli("laps " + tac),
              "Start\t0:01.00\t\t\n  1\t0:02.00\t0:01.00\t0:01.00\n"
              "  2\t0:03.00\t0:01.00\t0:01.00\n[exit 0]");
    // 4 s at 999 RPM (the period's resolution) of an 80 in wheel: 443.9 ft; laps of 110.9 ft
    // (the out-lap from the start of data is as long as the others).
    EXPECT_EQ(RunCli("distance " + tac + " --source 2"),
              "Distance: 443.9 ft\nLap distance: 110.9 ft\n[exit 0]");
    EXPECT_NE(RunCli("distance " + tac + " --source 1").find("[exit 1]"), std::string::npos);

    const std::string tbc = (dir / "run.tbc").string();
    EXPECT_EQ(RunCli("convert " + tac + " " + tbc), "[exit 0]");
    EXPECT_EQ(RunCli("laps " + tbc), RunCli("laps " + tac));

    const std::string asc = (dir / "run.asc").string();
    EXPECT_EQ(RunCli("export " + tbc + " " + asc + " --rate 10 --mask 2"), "[exit 0]");
    std::ifstream in(asc);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "RPM #2: Rear Wheel MPH @ 100 Hz, PPR: 1");
}

}  // namespace
