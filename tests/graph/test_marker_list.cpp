#include <gtest/gtest.h>

#include "graph/MarkerList.h"
#include "graph/MarkerTestData.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using Lines = std::vector<std::string>;

TEST(MarkerFormats, TimesDistancesRpmSpeedSlip) {
    EXPECT_EQ(FormatMarkerTime(754000), "1:15.400");
    EXPECT_EQ(FormatMarkerTime(-754000), "-1:15.400");
    EXPECT_EQ(FormatMarkerTime(12345678), "20:34.567");
    EXPECT_EQ(FormatMarkerTime(0), "0:00.000");
    EXPECT_EQ(FormatMarkerTime(kNotSet), "N/A");

    struct D {
        int32_t value;
        Units units;
        const char* text;
    };
    const D distances[] = {
        {-4, Units::Imperial, "-0.4"},  {-12, Units::Imperial, "-1.2"},
        {-10, Units::Imperial, "-1.0"}, {0, Units::Imperial, "0.0"},
        {123, Units::Imperial, "12.3"}, {1000, Units::Metric, "30.4"},
        {-20, Units::Metric, "-0.6"},   {kNotSet, Units::Imperial, "N/A"},
    };
    for (const D& d : distances) EXPECT_EQ(FormatMarkerDistance(d.value, d.units), d.text);

    EXPECT_EQ(FormatMarkerRpm(6500999), "6500");
    EXPECT_EQ(FormatMarkerSpeed(7570), "75.70");
    EXPECT_EQ(FormatMarkerSpeed(5), "0.05");
    EXPECT_EQ(FormatMarkerSlip(10000), "10.00%");
    EXPECT_EQ(FormatMarkerSlip(-2500), "-2.50%");
}

TEST(MarkerFormats, AnalogByTypeCode) {
    struct Case {
        int32_t code;
        int32_t resolution;
        float min, max;
        int32_t value;
        const char* text;
    };
    const Case cases[] = {
        {0, 1, 0, 1, 5, "N/A"},
        {kAnalogEgt, 1, 0, 2000, 1234, "1234"},
        {kAnalogCht, 10, 0, 600, 1239, "123"},
        {kAnalogVolts5, 100, 0, 5, 1234, " 12.34"},
        {kAnalogAccel, 100, -2, 2, -50, " -0.50"},
        {kAnalogCustom, 1, 0, 2000, 1500, "1500"},
        {kAnalogCustom, 10, 0, 500, 1234, "123.4"},
        {kAnalogCustom, 100, 0, 50, 1234, "12.34"},
        {kAnalogCustom, 1000, 0, 5, 1234, "1.234"},
        {kAnalogVdo, 1, 0, 100, 45, "45.00"},
        {kAnalogPressure, 10, 0, 150, 1234, " 123.4"},
        {kAnalogPressure, 100, 0, 100, 1234, "12.34"},
        {kAnalog2Custom, 1000, 0, 5, 1234, "1.234"},
        {kAnalog2Shock, 100, 0, 5, 1234, "12.34"},
        {kAnalog2Cht, 10, 0, 5, 1234, "123.4"},
        {kAnalog2Egt, 1, 0, 5, 1234, "1234"},
    };
    for (const Case& c : cases) {
        CAnalogSetup s;
        s.SetType(c.code);
        s.m_nResolution = c.resolution;
        s.m_fMin = c.min;
        s.m_fMax = c.max;
        EXPECT_EQ(FormatMarkerAnalog(s, c.value, Units::Imperial), c.text) << c.code;
    }
}

TEST(MarkerFormats, Difference) {
    using K = DifferenceKind;
    struct Case {
        K kind;
        const char *green, *red, *text;
    };
    const Case cases[] = {
        {K::Number, "N/A", "5", "N/A"},          {K::Number, "5", "N/A", "N/A"},
        {K::Number, "1500", "4000", "2500"},     {K::Number, "15.25", "40.00", "24.75"},
        {K::Number, "5.00%", "4.00%", "-1.00%"}, {K::Number, " 12.34", " 13.00", "0.66"},
        {K::Digital, "On", "Off", "NEG"},        {K::Digital, "Off", "On", "POS"},
        {K::Digital, "On", "On", "UNK"},         {K::Digital, "UNK", "On", "UNK"},
        {K::Digital, "N/A", "On", "N/A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatMarkerDifference(c.kind, c.green, c.red), c.text) << c.green << c.red;
    EXPECT_EQ(FormatMarkerTimeDifference(500, 3000), "0:00.250");
    EXPECT_EQ(FormatMarkerTimeDifference(3000, 500), "-0:00.250");
    EXPECT_EQ(FormatMarkerTimeDifference(kNotSet, 500), "N/A");
}

TEST(MarkerFormats, RpmSuffixByDisplayModeAndType) {
    struct Case {
        int32_t mode, type;
        Units units;
        const char* suffix;
    };
    const Units I = Units::Imperial, M = Units::Metric;
    const Case cases[] = {
        {kDisplaySpeed, kRpmRearWheel, I, "-MPH"},
        {kDisplaySpeed, kRpmFrontWheel, M, "-KPH"},
        {kDisplaySpeed, kRpmDriveShaft, I, "->W-MPH"},
        {kDisplaySpeed, 1, M, "->W-KPH"},
        {kDisplayEngine, kRpmDriveShaft, I, "->E-RPM"},
        {kDisplayEngine, kRpmFrontWheel, I, "->E-RPM"},
        {kDisplayEngine, 1, I, ""},
        {kDisplayWheel, kRpmRearWheel, I, "-RPM"},
        {kDisplayWheel, 1, I, "->W-RPM"},
        {kDisplayDriveShaft, kRpmDriveShaft, I, "-RPM"},
        {kDisplayDriveShaft, 1, I, "->DS-RPM"},
    };
    for (const Case& c : cases) {
        CFreqSetup s;
        s.m_nRpmType = c.type;
        s.m_nDisplayMode = c.mode;
        EXPECT_EQ(RpmLabelSuffix(s, c.units), c.suffix) << c.mode << " " << c.type;
    }
}

TEST(MarkerValues, DigitalStateAtAMarker) {
    auto ds = test::MarkerSession("Run");  // brake: 0 0 1 1 0 at 0..4000
    EXPECT_EQ(DigitalTextAt(*ds, 1, 1000), "Off");
    EXPECT_EQ(DigitalTextAt(*ds, 1, 1500), "UNK");
    EXPECT_EQ(DigitalTextAt(*ds, 1, 2500), "On");
    EXPECT_EQ(DigitalTextAt(*ds, 1, 4001), "N/A");
    ds->m_carSetup.FindDigitalSetup(1)->m_nInvert = 1;
    EXPECT_EQ(DigitalTextAt(*ds, 1, 2500), "Off");
}

class MarkerListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.m_datasets.push_back(test::MarkerSession("Run"));
        list.m_conv = test::PlainConverters();
        doc.m_lGreenTime = 500;
        doc.m_lGreenDistance = 50;
        doc.m_lRedTime = 3000;
        doc.m_lRedDistance = 300;
    }
    test::FakeHost host;
    CBriodashDoc doc{host, {}};
    CMarkerView list{doc, host};
};

TEST_F(MarkerListTest, OneDatasetImperial) {
    list.Rebuild();
    EXPECT_EQ(list.m_nMode, kModeViewed);
    EXPECT_EQ(list.PrintLines(), (Lines{
                                     "Viewed Channels\tGreen Marker\tRed Marker\tDifference",
                                     "Time\t0:00.050\t0:00.300\t0:00.250",
                                     "Distance (Ft)\t5.0\t30.0\t25.00",
                                     "\t\t\t",
                                     "Engine RPM\t1500\t4000\t2500",
                                     "Rear Wheel-MPH\t15.25\t40.00\t24.75",
                                     "Rear Wheel vs Engine RPM\t5.00%\t5.00%\t0.00%",
                                     "Throttle\t5.0\t100.0\t95.00",
                                     "Brake\tOff\tOn\tPOS",
                                 }));
    const MarkerRow& engine = list.Rows()[3];
    EXPECT_EQ(engine.code, (4u << 28) | (1u << 18) | 1u);
    EXPECT_EQ(engine.Kind(), MarkerRowKind::Rpm);
    EXPECT_EQ(engine.colour, 0x0000FFu);
    EXPECT_EQ(list.Rows()[5].Kind(), MarkerRowKind::Slip);
    EXPECT_EQ(list.Rows()[5].colour, 0x00FF00u);
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(MarkerListTest, OneDatasetMetric) {
    doc.m_options.units = Units::Metric;
    list.Rebuild();
    const Lines lines = list.PrintLines();
    EXPECT_EQ(lines[2], "Distance (M)\t1.5\t9.1\t7.60");
    EXPECT_EQ(lines[5], "Rear Wheel-KPH\t15.25\t40.00\t24.75");
}

TEST_F(MarkerListTest, MarkerOutsideTheDataReadsNotAvailable) {
    doc.m_lRedTime = 9000;
    doc.m_lRedDistance = kNotSet;
    list.Rebuild();
    const Lines lines = list.PrintLines();
    EXPECT_EQ(lines[2], "Distance (Ft)\t5.0\tN/A\tN/A");
    EXPECT_EQ(lines[4], "Engine RPM\t1500\tN/A\tN/A");
    EXPECT_EQ(lines[8], "Brake\tOff\tN/A\tN/A");
}

TEST_F(MarkerListTest, AllChannelsListsChannelsThatAreOff) {
    CBriodashDataset& ds = *doc.m_datasets[0];
    ds.m_analog[0].m_nOn = 0;
    ds.m_rpm[1].m_nSlipOn = 0;
    list.Rebuild();
    EXPECT_EQ(list.Rows().size(), 6u);  // time, distance, separator, 2 RPM, brake
    list.SetMode(kModeAll);
    EXPECT_EQ(list.Headers()[0], "All Channels");
    EXPECT_EQ(list.Rows().size(), 8u);
    EXPECT_EQ(list.Rows()[5].texts[0], "Rear Wheel vs Engine RPM");
    EXPECT_EQ(list.Rows()[6].texts[0], "Throttle");
}

TEST_F(MarkerListTest, SeveralDatasetsGetHeadersAndTheirOwnOtherAxisRow) {
    doc.m_datasets.push_back(test::MarkerSession("Second"));
    doc.m_datasets[1]->m_nGroup = 2;
    doc.m_datasets[1]->m_rpm[1].m_nOn = 0;
    doc.m_datasets[1]->m_rpm[1].m_nSlipOn = 0;
    doc.m_datasets[1]->m_analog[0].m_nOn = 0;
    doc.m_datasets[1]->m_digital[0].m_nOn = 0;
    list.Rebuild();
    EXPECT_EQ(list.PrintLines(), (Lines{
                                     "Viewed Channels\tGreen Marker\tRed Marker\tDifference",
                                     "Time\t0:00.050\t0:00.300\t0:00.250",
                                     "\t\t\t",
                                     "Run\t\t\t",
                                     "Distance\t5.0\t30.0\t25.00",
                                     "Engine RPM\t1500\t4000\t2500",
                                     "Rear Wheel-MPH\t15.25\t40.00\t24.75",
                                     "Rear Wheel vs Engine RPM\t5.00%\t5.00%\t0.00%",
                                     "Throttle\t5.0\t100.0\t95.00",
                                     "Brake\tOff\tOn\tPOS",
                                     "Second\t\t\t",
                                     "Distance\t5.0\t30.0\t25.00",
                                     "Engine RPM\t1500\t4000\t2500",
                                 }));
    EXPECT_EQ(list.Rows().back().code, (4u << 28) | (2u << 18) | (2u << 8) | 1u);

    // On a distance axis each dataset has its own time at the marker distance.
    list.m_bTimeAxis = false;
    CBriodashDataset& second = *doc.m_datasets[1];  // the second run is 0.1 s later
    for (auto& s : second.m_rpm)
        for (auto& sample : s.m_samples) sample.m_lTime += 1000;
    for (auto& s : second.m_analog)
        for (auto& sample : s.m_samples) sample.m_lTime += 1000;
    list.Rebuild();
    const Lines lines = list.PrintLines();
    EXPECT_EQ(lines[1], "Distance (Ft)\t5.0\t30.0\t25.00");
    EXPECT_EQ(lines[4], "Time\t0:00.050\t0:00.300\t0:00.250");
    EXPECT_EQ(lines[11], "Time\t0:00.150\t0:00.400\t0:00.250");
    EXPECT_EQ(lines[12], "Engine RPM\t1500\t4000\t2500");
}

TEST_F(MarkerListTest, WithoutMarkersOnlyTheChannelNamesAreListed) {
    doc.m_lGreenTime = doc.m_lRedTime = kNotSet;
    list.Rebuild();
    EXPECT_EQ(list.m_nMode, kModeNames);
    EXPECT_EQ(list.PrintLines(), (Lines{"Channel Names", "Engine RPM", "Rear Wheel-MPH",
                                        "Rear Wheel vs Engine RPM", "Throttle", "Brake"}));

    doc.m_lGreenTime = 500;
    MarkerListUpdate u = list.OnUpdate(kHintGreenMoved);
    EXPECT_TRUE(u.rebuilt);
    EXPECT_EQ(list.m_nMode, kModeViewed);
    EXPECT_EQ(list.Rows()[0].texts[1], "0:00.050");
}

TEST_F(MarkerListTest, HintsRefreshTheirColumns) {
    list.Rebuild();
    doc.m_lGreenTime = 2000;
    MarkerListUpdate u = list.OnUpdate(kHintGreenMoved);
    EXPECT_FALSE(u.rebuilt);
    EXPECT_EQ(u.columns, (std::vector<int>{1, 3}));
    EXPECT_EQ(list.PrintLines()[4], "Engine RPM\t3000\t4000\t1000");

    doc.m_lRedTime = 1000;
    EXPECT_EQ(list.OnUpdate(kHintRedMoved).columns, (std::vector<int>{2, 3}));
    EXPECT_EQ(list.PrintLines()[4], "Engine RPM\t3000\t2000\t-1000");
    EXPECT_EQ(list.OnUpdate(kHintRedMovedRaceSync).columns, (std::vector<int>{2, 3}));

    EXPECT_TRUE(list.OnUpdate(kHintRaceMarkerMoved).columns.empty());
    for (uint32_t hint :
         {uint32_t{kHintRepaint}, uint32_t{kHintMarkersShown}, uint32_t{kHintResetDisplay}})
        EXPECT_TRUE(list.OnUpdate(hint).rebuilt) << hint;

    doc.m_lGreenTime = doc.m_lRedTime = kNotSet;
    EXPECT_TRUE(list.OnUpdate(kHintRedMoved).rebuilt);
    EXPECT_EQ(list.m_nMode, kModeNames);
}

TEST_F(MarkerListTest, SlipQuestionAnswers) {
    const std::string question =
        "Green Marker:Slip Data needs to be calculated for Rear Wheel vs Engine RPM.\nDo you "
        "wish to do this now (Choose 'Cancel' to skip this calculation)?";
    CShaftList& wheel = doc.m_datasets[0]->m_rpm[1];
    int computed = 0;
    list.m_conv.computeSlip = [&](CBriodashDataset& ds, int ch, Units, IHostServices&) {
        ++computed;
        ds.m_rpm[static_cast<std::size_t>(ch - 1)].m_bSlipDirty = 0;
    };
    auto slipLine = [&] { return list.PrintLines()[6]; };

    wheel.m_bSlipDirty = 1;
    host.answers = {Answer::No, Answer::No};
    list.Rebuild();
    EXPECT_EQ(slipLine(), "Rear Wheel vs Engine RPM\tN/A\tN/A\tN/A");
    ASSERT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(host.questions[0], question);
    EXPECT_EQ(host.questions[1].substr(0, 11), "Red Marker:");

    host.questions.clear();
    host.answers = {Answer::Cancel};
    list.Rebuild();
    EXPECT_EQ(slipLine(), "Rear Wheel vs Engine RPM\tN/A\tN/A\tN/A");
    EXPECT_EQ(host.questions.size(), 1u);  // Cancel silences the rest of this refresh
    list.RefreshColumn(2);
    EXPECT_EQ(host.questions.size(), 2u);  // but not the next one

    host.questions.clear();
    host.answers = {Answer::Yes};
    list.Rebuild();
    EXPECT_EQ(computed, 1);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(slipLine(), "Rear Wheel vs Engine RPM\t5.00%\t5.00%\t0.00%");
}

TEST_F(MarkerListTest, ColumnWidthsAndCollapsedColumns) {
    list.Rebuild();
    list.SetCollapsed(2, true);
    list.FitColumns([](const std::string& s) { return static_cast<int>(s.size()) * 7; });
    EXPECT_EQ(list.Columns()[0].width, 24 * 7 + 20);  // "Rear Wheel vs Engine RPM"
    EXPECT_EQ(list.m_nMaxNameWidth, 24 * 7);
    EXPECT_EQ(list.Columns()[1].width, 12 * 7 + 20);  // "Green Marker"
    EXPECT_EQ(list.Columns()[2].ShownWidth(), 5);
    list.Rebuild();
    EXPECT_TRUE(list.Columns()[2].collapsed);
}

// Two laps of the same session racing at 1000 ticks and 2000 ticks from their starts.
class TwoLapRace : public IRaceMarkers {
  public:
    CBriodashDataset* laps[2] = {};
    bool IsActive() const override { return true; }
    bool FollowsMarkers() const override { return false; }
    int LapCount() const override { return 2; }
    std::string LapName(int lap) const override { return lap ? "B:Lap #2" : "A:Lap #1"; }
    ColorRef LapColour(int lap) const override { return lap ? 0xFF : 0xFF00; }
    CBriodashDataset* LapDataset(int lap) const override { return laps[lap]; }
    int32_t RaceMarkerTime(int lap) const override { return lap ? 2000 : 1000; }
    int32_t RaceMarkerX(int lap, bool) const override { return lap ? 200 : 100; }
    void SetRaceMarker(int32_t) override {}
    void Resync() override {}
    void SetClockStep(int32_t) override {}
};

TEST_F(MarkerListTest, RaceModeHasAColumnPerLap) {
    doc.m_datasets.push_back(test::MarkerSession("B"));
    for (auto& ds : doc.m_datasets) {
        ds->m_rpm[1].m_nOn = ds->m_rpm[1].m_nSlipOn = 0;
        ds->m_analog[0].m_nOn = ds->m_digital[0].m_nOn = 0;
    }
    TwoLapRace race;
    race.laps[0] = doc.m_datasets[0].get();
    race.laps[1] = doc.m_datasets[1].get();
    list.m_pRace = &race;
    list.Rebuild();
    EXPECT_EQ(list.PrintLines(), (Lines{
                                     "Viewed Channels\tA:Lap #1\tB:Lap #2",
                                     "Time\t0:00.100\t0:00.200",
                                     "\t\t",
                                     "Run\t\t",
                                     "A:Lap #1 Dist Diff\tCar Color\t10.0",
                                     "Engine RPM\t2000\t3000",
                                     "B\t\t",
                                     "B:Lap #2 Dist Diff\t-10.0\tCar Color",
                                     "Engine RPM\t2000\t3000",
                                 }));
    EXPECT_EQ(list.Rows()[3].colour, 0xFF00u);
    EXPECT_EQ(list.OnUpdate(kHintRaceMarkerMoved).columns, (std::vector<int>{1, 2}));
    EXPECT_TRUE(list.OnUpdate(kHintGreenMoved).columns.empty());
}

}  // namespace
}  // namespace orvex
