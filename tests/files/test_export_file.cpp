#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestPaths.h"
#include "files/ExportFile.h"
#include "processing/AnalysisFixture.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::AddMark;
using test::FakeHost;

// Engine at 100 Hz (2000 RPM, then 4000 from 0.5 s), throttle at 10 Hz rising 0 → 100 %,
// a brake switch at 10 Hz and a trans-brake event timer with two events; two lap marks.
struct ExportFixture : ::testing::Test {
    CBriodashDataset ds;
    void SetUp() override {
        ds.m_nFramed = 1;
        ds.m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
        ds.m_carSetup.m_rpm[0].m_nPPR = 4;
        CShaftList& rpm = ds.m_rpm[0];
        rpm.m_bFramed = 1;
        rpm.m_nPerLap = 1;
        rpm.m_fRate = 100.0f;
        for (int32_t t = 0; t <= 10000; t += 100) {
            CShaft s;
            s.m_lTime = t;
            s.m_lRaw = s.m_lFiltered = test::PeriodFor(t < 5000 ? 2000 : 4000);
            rpm.AddTail(s);
        }
        CAnalogSetup throttle;
        throttle.m_nChannel = 2;
        throttle.m_nFamily = 1;
        throttle.m_nType = 5;
        throttle.m_nResolution = 10;
        throttle.m_fMin = 0;
        throttle.m_fMax = 100;
        throttle.m_strDescription = "Throttle";
        CAnalogSetup unnamed = throttle;
        unnamed.m_nChannel = 3;
        unnamed.m_strDescription = "";
        ds.m_carSetup.m_analog = {throttle, unnamed};
        ds.m_analog[1].m_fRate = 10.0f;
        ds.m_analog[2].m_fRate = 10.0f;
        for (int32_t t = 0; t <= 10000; t += 1000) {
            CSample s;
            s.m_lTime = t;
            s.m_lRaw = s.m_lFiltered = 10 * t;  // 0 .. 100000 is 0 .. 100 %
            ds.m_analog[1].AddTail(s);
            ds.m_analog[2].AddTail(s);
        }
        CDigitalSetup brake;
        brake.m_nChannel = 1;
        brake.m_nType = 4;
        brake.m_strDescription = "Brake";
        CDigitalSetup timer;
        timer.m_nChannel = 5;
        timer.m_nType = 3;
        timer.m_strDescription = "Trans-Brake";
        ds.m_carSetup.m_digital = {brake, timer};
        ds.m_digital[0].m_fRate = 10.0f;
        for (int32_t t = 0; t <= 10000; t += 1000) {
            CSample s;
            s.m_lTime = t;
            s.m_lRaw = s.m_lFiltered = t >= 3000 ? 1 : 0;
            ds.m_digital[0].AddTail(s);
        }
        for (int32_t t : {2500, 7500}) {
            CSample s;
            s.m_lTime = t;
            s.m_lRaw = s.m_lFiltered = 1;
            ds.m_digital[4].AddTail(s);
        }
        AddMark(ds, 0, 0);
        AddMark(ds, 6000, 100);
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST_F(ExportFixture, DescriptionsTimesHeaderAndFirstRowsByteForByte) {
    const std::string text =
        ExportText(ds, RpmBit(1) | AnalogBit(2) | DigitalBit(1) | kExportTimesBit, 10.0, {});
    const std::string expected =
        "RPM #1: Engine RPM @ 100 Hz, PPR: 4\n"
        "Analog #2: Throttle @ 10 Hz, Type: Customer Defined\n"
        "Digital #1: Brake, Type: On/Off Switch\n"
        "Lap Beacons: 1\n"
        "Lap Times: 2\n"
        "      0.0000\n"
        "      0.6000\n"
        "        Time\tRPM #1\t  Ana #2\t  Dig #1\n"
        "      0.0000\t    2000\t   0.000\t 0\n"
        "      0.1000\t    2000\t  10.000\t 0\n";
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    const auto lines = Lines(text);
    EXPECT_EQ(lines.back(), "      1.0000\t    4000\t 100.000\t 1");
    EXPECT_EQ(lines.size(), 8u + 11u);
}

TEST_F(ExportFixture, ParsesAsTabSeparatedColumnsThatMatchTheSeries) {
    const std::string text = ExportText(ds, 0, 40.0, {true});
    const auto lines = Lines(text);
    std::size_t headerRow = 0;
    while (headerRow < lines.size() && lines[headerRow].find("        Time") != 0) ++headerRow;
    ASSERT_LT(headerRow, lines.size());
    std::vector<std::string> header;
    {
        std::istringstream h(lines[headerRow]);
        for (std::string cell; std::getline(h, cell, '\t');) header.push_back(cell);
    }
    EXPECT_EQ(header, (std::vector<std::string>{"        Time", "    Distance", "RPM #1",
                                                "  Ana #2", "  Ana #3", "  Dig #1"}));
    std::size_t rows = 0;
    for (std::size_t i = headerRow + 1; i < lines.size(); ++i, ++rows) {
        std::istringstream row(lines[i]);
        std::vector<double> cells;
        for (std::string cell; std::getline(row, cell, '\t');) {
            std::size_t used = 0;
            cells.push_back(std::stod(cell, &used));
            EXPECT_EQ(cell.find_first_not_of(' ', used), std::string::npos) << cell;
        }
        ASSERT_EQ(cells.size(), header.size());
        const double t = cells[0];
        EXPECT_DOUBLE_EQ(t, 0.025 * static_cast<double>(rows));
        // RPM: the first sample at or after t; throttle interpolated (0 → 100 % over 1 s).
        const double rpmExpected = t < 0.5 ? 2000.0 : 4000.0;
        EXPECT_EQ(cells[2], rpmExpected) << t;
        EXPECT_NEAR(cells[3], 100.0 * t, 0.11) << t;
        EXPECT_EQ(cells[4], cells[3]);
        EXPECT_LE(std::abs(cells[5] - std::clamp((t - 0.2) * 10.0, 0.0, 1.0)), 0.5) << t;
    }
    EXPECT_EQ(rows, 41u);
    EXPECT_NE(text.find("Analog #3: <none> @ 10 Hz"), std::string::npos);
    // The event timer is listed with its events and has no column.
    EXPECT_NE(text.find("Digital #5: Trans-Brake, Type: Event Timer\nDigital #5 Times: 2\n"
                        "          0.2500 1\n          0.7500 1\n"),
              std::string::npos);
}

TEST_F(ExportFixture, EtSlipTimes) {
    ds.m_markers.RemoveAll();
    AddMark(ds, 1000, 0);
    AddMark(ds, 2500, 1);
    AddMark(ds, 9000, 5);
    const std::string text = ExportText(ds, kExportTimesBit, 10.0, {});
    EXPECT_EQ(text,
              "ET-Slip Times:\nLaunch  @      0.1000\n  60 Ft @      0.1500\n"
              "1320 Ft @      0.8000\n        Time\n");
}

TEST_F(ExportFixture, HighestRateWhenNoneIsGivenAndSpeedColumns) {
    ds.m_carSetup.m_rpm[0].m_nRpmType = 12;
    ds.m_carSetup.m_rpm[0].m_nDisplayMode = 0;
    ds.m_carSetup.m_rpm[0].m_fCircumference = 80.0f;
    const auto lines = Lines(ExportText(ds, RpmBit(1) | AnalogBit(2), 0.0, {}));
    EXPECT_EQ(lines[0], "RPM #1: Engine MPH @ 100 Hz, PPR: 4");
    EXPECT_EQ(lines[3], "      0.0000\t  151.41\t   0.000");
    EXPECT_EQ(lines.size(), 3u + 101u);
}

TEST_F(ExportFixture, RateListOfTheSelection) {
    ds.m_digital[0].m_fRate = 50.0f;
    ExportRateList list = ExportRates(ds, RpmBit(1) | AnalogBit(2) | AnalogBit(3), 10.0f);
    EXPECT_EQ(list.texts, (std::vector<std::string>{"10 Hz", "100 Hz"}));
    EXPECT_EQ(list.selected, 0);
    list = ExportRates(ds, RpmBit(1) | DigitalBit(1), 10.0f);
    EXPECT_EQ(list.texts, (std::vector<std::string>{"50 Hz", "100 Hz"}));
    EXPECT_EQ(list.selected, 1);
    list = ExportRates(ds, kExportTimesBit, 10.0f);
    EXPECT_TRUE(list.texts.empty());
    EXPECT_EQ(list.selected, -1);
    std::vector<std::string> names;
    for (const ExportChannel& c : ExportChannels(ds)) names.push_back(c.text);
    EXPECT_EQ(names, (std::vector<std::string>{"RPM #1:Engine", "Analog #2:Throttle",
                                               "Analog #3:", "Digital #1:Brake",
                                               "Digital #5:Trans-Brake", "Lap Times"}));
}

TEST_F(ExportFixture, WritesTheFileOrNothing) {
    const auto dir = std::filesystem::path(ORVEX_TEST_BINARY_DIR) / "export-test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "run.asc").string();
    std::filesystem::remove(path);
    FakeHost host;
    ASSERT_TRUE(ExportAscii(path, ds, 0, 10.0, {}, host));
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), ExportText(ds, 0, 10.0, {}));
    EXPECT_EQ(host.titles.front(), "Saving Data To run.asc");
    EXPECT_EQ(host.statuses.front().second, "Opening run.asc");

    // Abort after the first progress step: the old file stays as it was.
    std::filesystem::remove(path);
    for (auto& s : ds.m_rpm[0].m_samples) s.m_lTime *= 20;  // 20 s of data
    FakeHost aborting;
    aborting.abortAfterPumps = 0;
    EXPECT_FALSE(ExportAscii(path, ds, RpmBit(1), 10.0, {}, aborting));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(aborting.statuses.back().second, "Saved: 00:05");

    FakeHost failing;
    EXPECT_FALSE(ExportAscii((dir / "missing" / "x.asc").string(), ds, 0, 10.0, {}, failing));
    EXPECT_EQ(failing.messages.size(), 1u);
}

}  // namespace
}  // namespace orvex
