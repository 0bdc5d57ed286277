#include <gtest/gtest.h>

#include "processing/AnalysisFixture.h"
#include "processing/Laps.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::AddMark;
using test::FakeHost;
using test::FillRpm;

std::vector<int32_t> Codes(const CBriodashDataset& ds) {
    std::vector<int32_t> out;
    for (const CSample& m : ds.m_markers.m_samples) out.push_back(m.m_lRaw);
    return out;
}

TEST(Beacons, RenumberedFromTheFirstMark) {
    CBriodashDataset ds;
    for (int i = 0; i < 6; ++i) AddMark(ds, 1000 * (i + 1), i == 0 ? 100 : 999);
    RenumberBeacons(ds, 3);
    EXPECT_EQ(Codes(ds), (std::vector<int32_t>{100, 101, 102, 200, 201, 202}));
    EXPECT_EQ(ds.m_nBeaconsPerLap, 3);
    for (const CSample& m : ds.m_markers.m_samples) EXPECT_EQ(m.m_lFiltered, m.m_lRaw);
    EXPECT_TRUE(HasLapMarks(ds));
}

TEST(EtConfigured, CodesAgainstPositions) {
    struct Case {
        std::vector<int32_t> codes;
        bool et;
    };
    const Case cases[] = {{{0, 1, 2, 3, 4, 5}, true},
                          {{0, 5}, true},
                          {{1, 3}, true},
                          {{0}, false},
                          {{0, 100}, false},
                          {{1, 1, 1}, false},
                          {{0, 1, 2, 3, 4, 5, 5}, false}};
    for (const Case& c : cases) {
        CBriodashDataset ds;
        for (std::size_t i = 0; i < c.codes.size(); ++i)
            AddMark(ds, static_cast<int32_t>(i) * 100, c.codes[i]);
        EXPECT_EQ(IsEtConfigured(ds.m_markers), c.et) << c.codes.size();
    }
}

TEST(TimeTexts, Formats) {
    EXPECT_EQ(FormatLapTime(623456), "1:02.34");
    EXPECT_EQ(FormatLapTime(-15000), "-0:01.50");
    EXPECT_EQ(FormatEtTime(101234), "0:10.123");
    EXPECT_EQ(FormatEtTime(-45678), "-0:04.567");
    EXPECT_EQ(FormatZeroTime(623456), "1:02.3456");
}

TEST(TimeEntry, ReadsAndRefuses) {
    struct Case {
        const char* text;
        int fields;
        std::optional<int32_t> ticks;
    };
    const Case cases[] = {
        {"1:02.5", 2, 625000},
        {"62.5", 2, 625000},
        {" 0.0001 ", 2, 1},
        {"-1.5", 2, -15000},
        {"1:00:00", 3, 36000000},
        {"1:00:00", 2, std::nullopt},
        {"1:75", 2, std::nullopt},
        {"abc", 2, std::nullopt},
        {"", 2, std::nullopt},
        {"1..2", 2, std::nullopt},
        {"999999999", 2, std::nullopt},
        {":5", 2, std::nullopt},
        {"12.345678", 2, 123456},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseTimeEntry(c.text, c.fields), c.ticks) << c.text;
}

// A session 0..40 s with an engine trace every 0.1 s and marks at 0, 10, 20 and 30 s.
struct LapFixture : ::testing::Test {
    CBriodashDataset ds;
    void SetUp() override {
        ds.m_strName = "Run";
        ds.m_nFramed = 1;
        ds.m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
        FillRpm(ds, 1, 4000, 1000, 400000);
        AddMark(ds, 1000, 0);
        AddMark(ds, 100000, 100);
        AddMark(ds, 200000, 200);
        AddMark(ds, 300000, 300);
    }
};

TEST_F(LapFixture, FourLapDatasetsWithAnEndSegment) {
    EXPECT_EQ(LapDatasetCount(ds), 4);
    FakeHost host;
    auto progress = host.OpenProgress("Analyzing Laps");
    auto laps = CutLaps(ds, true, progress.get());
    ASSERT_EQ(laps.size(), 4u);
    const int32_t starts[] = {1000, 100000, 200000, 300000};
    const int32_t ends[] = {100000, 200000, 300000, 400000};
    for (std::size_t i = 0; i < 4; ++i) {
        const CBriodashDataset& lap = *laps[i];
        EXPECT_EQ(lap.m_nLap, static_cast<int>(i + 1));
        EXPECT_EQ(lap.m_lZeroTime, starts[i]);
        EXPECT_EQ(lap.m_rpm[0].m_samples.front().m_lTime, starts[i]);
        EXPECT_EQ(lap.m_rpm[0].m_samples.back().m_lTime, ends[i]);
        EXPECT_EQ(lap.m_rpm[0].m_crTrace, LapColour(static_cast<int>(i + 1)));
        EXPECT_EQ(lap.m_rpm[0].m_pDataset, &lap);
    }
    EXPECT_EQ(Codes(*laps[1]), (std::vector<int32_t>{100, 200}));
    EXPECT_EQ(laps[1]->GetDisplayName(3), "Run:Lap #2");
    EXPECT_EQ(laps[3]->GetDisplayName(3), "Run:End");
    std::vector<std::string> lines;
    for (auto& [line, text] : host.statuses) lines.push_back(text);
    EXPECT_EQ(lines[0], "Finding Lap Positions");
    EXPECT_EQ(lines[1], "Working on Dataset 'Run'");
    EXPECT_EQ(lines[2], "Lap #1");
    EXPECT_EQ(lines.back(), "End of Data");
}

TEST_F(LapFixture, WithoutStartMarkTheFirstLapBeginsWithTheData) {
    ds.m_markers.m_samples.erase(ds.m_markers.m_samples.begin());
    ds.m_markers.m_samples.pop_back();
    AddMark(ds, 400000, 300);  // last mark at the end of data: no End segment
    auto laps = CutLaps(ds, false, nullptr);
    ASSERT_EQ(laps.size(), 3u);
    EXPECT_EQ(laps[0]->m_lZeroTime, 1000);
    EXPECT_EQ(laps[0]->m_rpm[0].m_crTrace, ds.m_rpm[0].m_crTrace);
}

TEST_F(LapFixture, MoveLapMarksAlongTheDistance) {
    CBriodashDataset plain;  // no distance: nothing moves
    AddMark(plain, 1000, 100);
    EXPECT_FALSE(MoveLapMarks(plain, 100));
    // Distance grows by 10 tenths per sample (100 per second).
    for (CShaft& s : ds.m_rpm[0].m_samples) s.m_lDistance = s.m_lTime / 100;
    for (CSample& m : ds.m_markers.m_samples) m.m_lDistance = m.m_lTime / 100;
    ds.m_markers.m_samples[0].m_lDistance = 0;
    ds.m_nDistanceSource = kDistanceEngine;
    ASSERT_TRUE(MoveLapMarks(ds, 500));        // 50 ft: 5 s later
    EXPECT_EQ(ds.m_markers[0].m_lTime, 1000);  // the start at distance 0 stays
    EXPECT_EQ(ds.m_markers[1].m_lTime, 150000);
    EXPECT_EQ(ds.m_markers[1].m_lDistance, 1500);
    ASSERT_TRUE(MoveLapMarks(ds, -2000));
    // Lap 1 would not reach a positive distance and stays; lap 2 moves before it, and the
    // marks are kept in time order.
    EXPECT_EQ(Codes(ds), (std::vector<int32_t>{0, 200, 100, 300}));
    EXPECT_EQ(ds.m_markers[1].m_lTime, 50000);
    EXPECT_EQ(ds.m_markers[2].m_lTime, 150000);
}

TEST_F(LapFixture, DataAlignmentShiftsTheDriveShaft) {
    FakeHost host;
    EXPECT_FALSE(AlignDriveShaft(ds, kNotSet, 1000, Units::Imperial, host));
    EXPECT_FALSE(AlignDriveShaft(ds, 2000, 1000, Units::Imperial, host));
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{
                  "Both the Green and Red Markers must be set\n to align tach and drive shaft "
                  "data",
                  "This function is only designed to work with Engine and Drive Shaft RPM!"}));
    ds.m_carSetup.m_rpm.push_back(test::RpmSetup(2, 10, "Drive Shaft", 3, 0.0f, 1));
    FillRpm(ds, 2, 2000, 1000, 10000);
    ds.m_nFramed = 0;
    ds.m_rpm[1].m_bFramed = 0;
    ASSERT_TRUE(AlignDriveShaft(ds, 5000, 3000, Units::Imperial, host));
    EXPECT_EQ(ds.m_rpm[1].m_samples.front().m_lTime, 3000);  // the sample at 3000 is now at 5000
    EXPECT_EQ(ds.m_rpm[1][2].m_lTime, 5000);
    EXPECT_EQ(ds.m_rpm[1].m_bSlipDirty, 0);
}

TEST(SwitchEvents, ChangesOrEverySampleAndTheDifference) {
    CBriodashDataset ds;
    ds.m_strName = "Run";
    CDigitalSetup brake;
    brake.m_nChannel = 1;
    brake.m_nType = 4;
    brake.m_strDescription = "Brake";
    CDigitalSetup timer = brake;
    timer.m_nChannel = 5;
    timer.m_nType = 3;
    timer.m_strDescription = "Trans-Brake";
    ds.m_carSetup.m_digital = {brake, timer};
    const int32_t states[] = {0, 0, 1, 1, 0};
    for (int i = 0; i < 5; ++i) {
        CSample s;
        s.m_lTime = 10000 * i;
        s.m_lRaw = s.m_lFiltered = states[i];
        ds.m_digital[0].AddTail(s);
        if (i < 2) ds.m_digital[4].AddTail(s);
    }
    ds.m_digital[0].m_nOn = 1;
    std::vector<CBriodashDataset*> all{&ds};
    SwitchEventFilter everything;
    everything.channels = 2;
    auto events = SwitchEvents(all, everything);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].text, "Run:Brake @ 0:02.0000");
    EXPECT_EQ(events[1].text, "Run:Brake @ 0:04.0000");
    EXPECT_EQ(events[2].text, "Run:Trans-Brake @ 0:00.0000");
    EXPECT_EQ(SwitchEventDifference(events, {0, 1}), "0:02.0000");
    EXPECT_EQ(SwitchEventDifference(events, {0}),
              "Can Only calculate difference between 2 selections!");
    SwitchEventFilter viewed;  // shown channels inside the window only
    viewed.windowStart = 30000;
    viewed.windowEnd = 50000;
    EXPECT_EQ(SwitchEvents(all, viewed).size(), 1u);
}

}  // namespace
}  // namespace orvex
