#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestPaths.h"
#include "app/DocumentSetup.h"
#include "files/AsciiFile.h"
#include "model/Document.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::FakeHost;

// A file of two sessions in sample-number mode: engine periods, an axle speed in hundredths of
// MPH, the lap beacon and one customer-defined analog channel (0..100).
const char* const kTwoSessions =
    "!Brio-Dash Data File Version 2.4\n"
    "!Test day\n"
    "! second line\n"
    "#Cylinders: 8\n"
    "#Stroke: 4\n"
    "#Sample Frequency: 1000\n"
    "#Axle RPM: 1\n"
    "#Tire Circ: 80\n"
    "#Rearend Ratio: 4.0\n"
    "#Gears: 2, 2.5, 1.5\n"
    "#Lap Timers: 2\n"
    "#Channel 1: 5 0 100 0\n"
    "SAMPLE  Tach  Axle-MPH  Lap  Analog1-Data\n"
    "0 3 7570 0 0\n"
    "10 3 7570 1 2500\n"
    "20 3 7570 0 5000\n"
    "30 0 7570 1 10000\n"
    "40 3 7570 1 12000\n"
    "!Second pass\n"
    "0 4 7570 0 100\n"
    "5 4 7570 0 100\n";

std::string Read(const std::string& text, FakeHost& host, AsciiReadResult* out = nullptr,
                 Units units = Units::Imperial) {
    AsciiReadResult r = ReadAsciiText(text, "/data/run7.tac", units, host);
    std::string last = host.messages.empty() ? "" : host.messages.back().text;
    if (out) *out = std::move(r);
    return last;
}

TEST(AsciiFile, TwoSessionsBecomeTwoDatasets) {
    FakeHost host;
    AsciiReadResult r;
    EXPECT_EQ(Read(kTwoSessions, host, &r), "");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.datasets.size(), 2u);
    const CBriodashDataset& ds = *r.datasets[0];
    EXPECT_EQ(ds.m_strName, "run7");
    EXPECT_EQ(ds.m_lstComments, (std::vector<std::string>{"!Test day second line"}));
    EXPECT_EQ(r.datasets[1]->m_lstComments, (std::vector<std::string>{"!Second pass"}));
    EXPECT_EQ(host.titles.front(), "Reading Data From run7.tac");

    // Setups from the header.
    const CCarSetup& car = ds.m_carSetup;
    ASSERT_NE(car.FindRpmSetup(1), nullptr);
    EXPECT_EQ(car.FindRpmSetup(1)->m_nRpmType, 1);
    EXPECT_EQ(car.FindRpmSetup(1)->m_nPPR, 4);
    const CFreqSetup* axle = car.FindRpmSetup(2);
    ASSERT_NE(axle, nullptr);
    EXPECT_EQ(axle->m_nRpmType, 12);
    EXPECT_EQ(axle->m_nDisplayMode, 0);
    EXPECT_FLOAT_EQ(axle->m_fCircumference, 80.0f);
    EXPECT_NEAR(axle->m_fDiameter, 80.0 / 3.1415926535, 1e-4);
    EXPECT_EQ(car.m_nGears, 2);
    EXPECT_FLOAT_EQ(car.m_fGearRatio[1], 1.5f);
    EXPECT_FLOAT_EQ(car.m_fRearEndRatio, 4.0f);
    EXPECT_EQ(ds.m_nBeaconsPerLap, 2);
    ASSERT_NE(car.FindAnalogSetup(1), nullptr);
    EXPECT_EQ(car.FindAnalogSetup(1)->m_strDescription, "Analog-1");

    // Samples: times from the sample numbers at 1000 Hz; the engine sample of period 0 at a
    // non-zero time reads as period 1.
    const CShaftList& engine = ds.m_rpm[0];
    ASSERT_EQ(engine.Size(), 5u);
    EXPECT_EQ(engine[1].m_lTime, 100);
    EXPECT_FLOAT_EQ(engine.m_fRate, 100.0f);  // samples 10 apart at 1000 Hz
    // 1000 Hz / (4 × 3 / 60) = 5000 RPM; period 1 gives 15000 RPM.
    EXPECT_NEAR(engine.GetRPM(static_cast<uint32_t>(engine[0].m_lRaw), false), 5000.0, 10.0);
    EXPECT_NEAR(engine.GetRPM(static_cast<uint32_t>(engine[3].m_lRaw), false), 15000.0, 30.0);
    // The axle speed comes back through the speed conversion.
    EXPECT_NEAR(ShaftSpeed(ds, 2, 0, Units::Imperial), 7570, 10);
    // Lap beacons: 2 per lap.
    std::vector<int32_t> codes;
    for (const CSample& m : ds.m_markers.m_samples) codes.push_back(m.m_lRaw);
    EXPECT_EQ(codes, (std::vector<int32_t>{0, 1, 100}));
    // Analog: raw / 100 (span 100), scaled to 0..100000.
    const CSampleList& analog = ds.m_analog[0];
    ASSERT_EQ(analog.Size(), 5u);
    EXPECT_EQ(analog[1].m_lRaw, 25000);
    EXPECT_EQ(analog[3].m_lRaw, 100000);
    EXPECT_EQ(analog.m_pMax, 4);
    EXPECT_EQ(AnalogValue(*car.FindAnalogSetup(1), analog[2].m_lRaw, Units::Imperial) /
                  car.FindAnalogSetup(1)->m_nResolution,
              50);
    // The second session keeps the header of the first.
    EXPECT_EQ(r.datasets[1]->m_rpm[0].Size(), 2u);
    EXPECT_EQ(r.datasets[1]->m_rpm[0][1].m_lTime, 50);

    bool summary = false;
    for (auto& [line, text] : host.statuses)
        summary |= text == "Contains : Tach, Axle, 1 Analog and Lap Data";
    EXPECT_TRUE(summary);
}

TEST(AsciiFile, RefusedFilesAndValidationMessages) {
    const std::string header = "#Sample Frequency: 100\n#Channel 2: 5 0 100\n";
    struct Case {
        std::string text;
        std::string message;
        std::size_t datasets;
    };
    const Case cases[] = {
        {"!Brio-Dash Export File\n", "This file is not a Vexa-Log data file", 0},
        {"!Brio-Dash Car Setup File Version 3.0\n", "This file is not a Vexa-Log data file", 0},
        {"!Brio-Dash Color\n", "This file is not a Vexa-Log data file", 0},
        {"Brio-Dash data\n", "This file is not a Vexa-Log data file", 0},
        {"", "This file is not a Vexa-Log data file", 0},
        {"!Brio-Dash Version 2.4\n" + header + "SAMPLE Tach\n",
         "This file does not contain any "
         "Vexa-Log data",
         0},
        {"!Brio-Dash Version 2.4\n" + header + "SAMPLE Tach Drive-RPM\n1 3 3\n",
         "Error: The rear end gear ratio and the\ntire size must be defined", 0},
        {"!Brio-Dash Version 2.4\n#Tire Circ: 80\nSAMPLE Tach Drive-RPM\n1 3 3\n",
         "Error: The rear end gear ratio must be defined", 0},
        {"!Brio-Dash Version 2.4\n#Rearend Ratio: 3.5\nSAMPLE Tach Drive-RPM\n1 3 3\n",
         "Error: The tire size must be defined", 0},
        {"!Brio-Dash Version 2.4\nSAMPLE Tach Wheel-MPH\n1 3 3\n",
         "Error: The front wheel size must be defined", 0},
        {"!Brio-Dash Version 2.4\n" + header + "SAMPLE Tach Analog3-Data\n1 3 3\n",
         "Error: Analog Channel #3 must be defined", 0},
        {"!Brio-Dash Version 2.4\n#Channel 3: 5 0\nSAMPLE Tach Analog3-Data\n1 3 3\n",
         "Error: Analog Channel #3 must be defined", 0},
        // An error in the second session keeps the first.
        {"!Brio-Dash Version 2.4\nSAMPLE Tach\n1 3\n!next\nSAMPLE Tach Analog4-Data\n1 3 3\n",
         "Error: Analog Channel #4 must be defined", 1},
        // The axle of a rear wheel without a ratio gets 1.0 and is read.
        {"!Brio-Dash Version 2.4\n#Tire Circ: 80\nSAMPLE Tach Axle-MPH\n1 3 3\n",
         "WARNING: The rear end gear ratio is being defaulted to 1.0", 1},
    };
    for (const Case& c : cases) {
        FakeHost host;
        AsciiReadResult r;
        EXPECT_EQ(Read(c.text, host, &r), c.message) << c.text;
        EXPECT_EQ(r.datasets.size(), c.datasets) << c.text;
        EXPECT_EQ(host.messages.size(), 1u) << c.text;
    }
}

TEST(AsciiFile, VersionOneAxleIsADriveShaft) {
    FakeHost host;
    AsciiReadResult r;
    Read(
        "!Brio-Dash\n#Tire Dia: 25\n#Rearend Ratio: 4\n#Sample Frequency: 100\n"
        "TIME REV Axle-MPH\n100 1 6000\n200 1 6000\n",
        host, &r);
    ASSERT_EQ(r.datasets.size(), 1u);
    const CBriodashDataset& ds = *r.datasets[0];
    ASSERT_NE(ds.m_carSetup.FindRpmSetup(2), nullptr);
    EXPECT_EQ(ds.m_carSetup.FindRpmSetup(2)->m_nRpmType, 10);
    EXPECT_EQ(ds.m_rpm[1][1].m_lTime, 200);  // time stamps taken as they are
    // The tire went to a rear-wheel definition: the shaft's speed is the file's speed.
    EXPECT_NEAR(ShaftSpeed(ds, 2, 0, Units::Imperial), 6000, 10);
}

TEST(AsciiFile, EngineCountsAreCapped) {
    FakeHost host;
    AsciiReadResult r;
    Read(
        "!Brio-Dash Version 2.4\n#Cylinders: 1\n#Stroke: 2\n#Sample Frequency: 5000\n"
        "SAMPLE Tach\n0 1\n1 1\n0 0\n",
        host, &r);
    ASSERT_EQ(r.datasets.size(), 1u);
    const CShaftList& engine = r.datasets[0]->m_rpm[0];
    EXPECT_EQ(r.datasets[0]->m_carSetup.FindRpmSetup(1)->m_nRpmType, 9);
    ASSERT_EQ(engine.Size(), 2u);  // time 0 with period 0 adds no engine sample
    // 5000 / (1 × 1 / 60) = 300000 counts, stored as 65535.
    EXPECT_NEAR(engine.GetRPM(static_cast<uint32_t>(engine[0].m_lRaw), false), 65535.0, 300.0);
}

TEST(AsciiFile, LinesGoingBackInTimeAreSkipped) {
    FakeHost host;
    AsciiReadResult r;
    Read(
        "!Brio-Dash Version 2.4\n#Sample Frequency: 100\nTIME REV\n100 1\n300 1\n200 1\n"
        "300 2\n400 1\n",
        host, &r);
    ASSERT_EQ(r.datasets.size(), 1u);
    std::vector<int32_t> times;
    for (const CShaft& s : r.datasets[0]->m_rpm[0].m_samples) times.push_back(s.m_lTime);
    EXPECT_EQ(times, (std::vector<int32_t>{100, 300, 300, 400}));
}

TEST(AsciiFile, UnitsMismatchSwitchesTheDocument) {
    const auto dir = std::filesystem::path(ORVEX_TEST_BINARY_DIR) / "ascii-test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "metric.tac").string();
    {
        std::ofstream out(path);
        out << "!Brio-Dash Version 2.4\nSAMPLE Tach\n1 3\n!next\n#Tire Circ: 200\n"
               "SAMPLE Tach Axle-KPH\n1 3 100\n";
    }
    FakeHost host;
    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    EXPECT_FALSE(doc.Open(path));
    EXPECT_EQ(doc.m_options.units, Units::Metric);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "Error: Attempting to read a file stored in\nunits that differs from current "
              "settings\n\nChange the units in \"Settings\" - \"Units\"");
    EXPECT_EQ(doc.m_datasets.size(), 1u);  // the session before stays

    CBriodashDoc metric(host, DefaultDocumentServices(), DocumentOptions{});
    metric.m_options.units = Units::Metric;
    EXPECT_TRUE(metric.Open(path));
    EXPECT_EQ(metric.m_datasets.size(), 2u);
    std::vector<std::unique_ptr<CBriodashDataset>> none;
    EXPECT_FALSE(ReadAsciiFile(metric, (dir / "missing.tac").string(), none));
    EXPECT_TRUE(none.empty());
}

TEST(AsciiFile, SpeedToPeriodAgreesWithTheSpeedConversion) {
    // Rear wheel 203.2 cm at 121.91 KPH turns at 1000 RPM.
    const int32_t period = AsciiSpeedToPeriod(12191, 12, 203.2, 4.0, 1, Units::Metric, 307200.0);
    EXPECT_NEAR(period, 18432, 20);
    // A drive shaft turns rear-end ratio times faster than the wheel.
    EXPECT_NEAR(AsciiSpeedToPeriod(7570, 10, 80.0, 4.0, 1, Units::Imperial, 307200.0), 18432 / 4,
                5);
    EXPECT_EQ(AsciiSpeedToPeriod(0, 12, 80.0, 4.0, 1, Units::Imperial, 307200.0), 0);
    EXPECT_EQ(RpmToPeriod(1000, 0, 307200.0), 36864);  // one pulse every second revolution
}

}  // namespace
}  // namespace orvex
