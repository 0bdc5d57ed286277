#include <gtest/gtest.h>

#include "app/DocumentSetup.h"
#include "graph/MarkerTestData.h"
#include "graph/Markers.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::HintRecorder;
using test::MarkerSession;

// A time axis over the data: 10 ticks per pixel from time 0, plot bottom at y = 400.
MarkerAxis TimeAxis() {
    MarkerAxis a;
    a.timeAxis = true;
    a.xStart = 0;
    a.xSpan = 4000;
    a.xUnitsPerPixel = 10.0;
    a.clientHeight = 425;
    return a;
}

// A distance axis: 1 tenth of a foot per pixel from distance 0.
MarkerAxis DistanceAxis() {
    MarkerAxis a = TimeAxis();
    a.timeAxis = false;
    a.xSpan = 400;
    a.xUnitsPerPixel = 1.0;
    return a;
}

class MarkersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.m_datasets.push_back(MarkerSession("Run"));
        doc.AddView(&views);
    }
    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), {}};
    HintRecorder views;
    CMarkerController markers{doc, host};
};

TEST(MarkerRaster, DarkBackgroundsUseExclusiveOr) {
    struct Case {
        ColorRef background;
        int lightness;
        RasterOp op;
    };
    const Case cases[] = {
        {MakeRGB(0, 0, 0), 0, RasterOp::Xor},
        {MakeRGB(95, 95, 95), 89, RasterOp::Xor},
        {MakeRGB(96, 96, 96), 90, RasterOp::NotXor},
        {MakeRGB(0, 0, 180), 85, RasterOp::Xor},
        {MakeRGB(255, 255, 255), 240, RasterOp::NotXor},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Lightness(c.background), c.lightness) << c.background;
        EXPECT_EQ(MarkerRasterOp(c.background), c.op) << c.background;
    }
}

TEST_F(MarkersTest, DoubleClickSetsTheGreenMarkerFromThePixel) {
    markers.m_crBackground = MakeRGB(255, 255, 255);
    MarkerOutcome out = markers.DoubleClick(Marker::Green, 155, TimeAxis());
    EXPECT_TRUE(out.changed);
    EXPECT_EQ(doc.m_lGreenTime, 1000);
    EXPECT_EQ(doc.m_lGreenDistance, 100);
    EXPECT_TRUE(markers.m_bMarkersShown);
    ASSERT_EQ(out.strokes.size(), 1u);
    EXPECT_EQ(out.strokes[0], (MarkerLine{155, 0, 400, MakeRGB(0, 200, 0), RasterOp::NotXor}));
    EXPECT_EQ(out.hints, (std::vector<MarkerHint>{{kHintGreenMoved, 1000, 1000}}));
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{kHintGreenMoved}));
}

TEST_F(MarkersTest, DoubleClickOnADistanceAxisFindsTheTime) {
    MarkerOutcome out = markers.DoubleClick(Marker::Red, 55 + 150, DistanceAxis());
    EXPECT_EQ(doc.m_lRedDistance, 150);
    EXPECT_EQ(doc.m_lRedTime, 1500);
    ASSERT_EQ(out.strokes.size(), 1u);
    EXPECT_EQ(out.strokes[0].x, 205);
    EXPECT_EQ(out.strokes[0].colour, MakeRGB(255, 0, 0));
    EXPECT_EQ(out.strokes[0].op, RasterOp::Xor);  // black background
    EXPECT_EQ(out.hints, (std::vector<MarkerHint>{{kHintRedMoved, 1500, 150}}));
}

TEST_F(MarkersTest, DoubleClickOnTheAxisLineOrLeftOfItDoesNothing) {
    for (int x : {0, 30, 55}) {
        MarkerOutcome out = markers.DoubleClick(Marker::Green, x, TimeAxis());
        EXPECT_FALSE(out.changed);
    }
    EXPECT_EQ(doc.m_lGreenTime, kNotSet);
    EXPECT_TRUE(views.hints.empty());
    EXPECT_EQ(markers.DoubleClick(Marker::Green, 56, TimeAxis()).hints[0].time, 10);
}

TEST_F(MarkersTest, NoVisibleDatasetIsReported) {
    doc.m_datasets[0]->m_bDeleted = 1;
    markers.DoubleClick(Marker::Green, 100, TimeAxis());
    markers.DoubleClick(Marker::Red, 100, TimeAxis());
    markers.SetRaceMarkerAt(100, TimeAxis());
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{"Could NOT set Green Marker.\nNo Data-Sets are visible.",
                                        "Could NOT set Red Marker.\nNo Data-Sets are visible.",
                                        "Could NOT set Race Mode Marker.\nNo Data-Sets are "
                                        "visible."}));
    EXPECT_EQ(host.messages[0].icon, Icon::Warning);
    EXPECT_EQ(doc.m_lGreenTime, kNotSet);
    EXPECT_TRUE(views.hints.empty());
}

TEST_F(MarkersTest, SettingOneMarkerWhileHiddenShowsBoth) {
    doc.m_lRedTime = 3000;
    doc.m_lRedDistance = 300;
    MarkerOutcome out = markers.DoubleClick(Marker::Green, 155, TimeAxis());
    ASSERT_EQ(out.strokes.size(), 2u);
    EXPECT_EQ(out.strokes[0].x, 155);
    EXPECT_EQ(out.strokes[1].x, 355);
    EXPECT_TRUE(markers.m_bMarkersShown);

    // Shown now: moving the green marker erases the old line before drawing the new one.
    out = markers.DoubleClick(Marker::Green, 255, TimeAxis());
    ASSERT_EQ(out.strokes.size(), 2u);
    EXPECT_EQ(out.strokes[0].x, 155);
    EXPECT_EQ(out.strokes[1].x, 255);
    EXPECT_EQ(markers.Overlay(TimeAxis()).size(), 2u);
}

TEST_F(MarkersTest, MarkersOutsideTheWindowAreNotDrawn) {
    MarkerAxis a = TimeAxis();
    a.xStart = 2000;
    a.xSpan = 1000;
    EXPECT_FALSE(markers.LineAt(1999, kGreenMarkerColour, a));
    EXPECT_EQ(markers.LineAt(2000, kGreenMarkerColour, a)->x, 55);
    EXPECT_EQ(markers.LineAt(3000, kGreenMarkerColour, a)->x, 155);
    EXPECT_FALSE(markers.LineAt(3001, kGreenMarkerColour, a));
    EXPECT_FALSE(markers.LineAt(kNotSet, kGreenMarkerColour, a));
}

TEST_F(MarkersTest, NudgeMovesOneDataPointAndStopsAtTheEnds) {
    struct Case {
        int32_t from;
        int direction;
        int32_t to;
    };
    const Case cases[] = {
        {1500, -1, 1000}, {1000, -1, 0},    {0, -1, 0},       {-500, -1, 0},
        {1500, +1, 2000}, {3000, +1, 4000}, {4000, +1, 4000}, {9000, +1, 4000},
    };
    for (const Case& c : cases) {
        doc.m_lGreenTime = c.from;
        markers.Nudge(Marker::Green, c.direction, TimeAxis());
        EXPECT_EQ(doc.m_lGreenTime, c.to) << c.from << " " << c.direction;
        EXPECT_EQ(doc.m_lGreenDistance, c.to / 10);
    }
}

TEST_F(MarkersTest, NudgeUsesTheDatasetReachingFurthest) {
    auto longer = MarkerSession("Long");
    longer->m_rpm[0].AddTail(test::MakeShaft(4500, 1000000, 450));
    doc.m_datasets.push_back(std::move(longer));
    doc.m_lRedTime = 4000;
    markers.m_bMarkersShown = true;
    MarkerOutcome out = markers.Nudge(Marker::Red, +1, TimeAxis());
    EXPECT_EQ(doc.m_lRedTime, 4500);
    EXPECT_EQ(doc.m_lRedDistance, 450);
    EXPECT_EQ(out.strokes.size(), 1u);  // the old line is erased; the new one lies outside
    EXPECT_EQ(out.hints.back(), (MarkerHint{kHintRedMoved, 4500, 4500}));
}

TEST_F(MarkersTest, NudgeOnADistanceAxisWalksByDistance) {
    doc.m_lGreenTime = 1500;
    doc.m_lGreenDistance = 150;
    markers.Nudge(Marker::Green, -1, DistanceAxis());
    EXPECT_EQ(doc.m_lGreenDistance, 100);
    EXPECT_EQ(doc.m_lGreenTime, 1000);
}

TEST_F(MarkersTest, NudgeIsDisabledWhileTheMarkerIsUnset) {
    EXPECT_FALSE(markers.CanNudge(Marker::Green));
    EXPECT_FALSE(markers.Nudge(Marker::Green, 1, TimeAxis()).changed);
    doc.m_lRedTime = 0;
    EXPECT_FALSE(markers.CanNudge(Marker::Green));
    EXPECT_TRUE(markers.CanNudge(Marker::Red));
    EXPECT_TRUE(markers.CanToggle());
}

TEST_F(MarkersTest, ShowHideRedrawsBothAndSendsTheHint) {
    EXPECT_FALSE(markers.ToggleShown(TimeAxis()).changed);
    EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"Neither Marker has been set yet!"}));

    doc.m_lGreenTime = 1000;
    doc.m_lRedTime = 2000;
    EXPECT_EQ(markers.ToggleMenuText(), "Turn Green/Red Marker(s) On");
    MarkerOutcome out = markers.ToggleShown(TimeAxis());
    EXPECT_TRUE(markers.m_bMarkersShown);
    EXPECT_EQ(out.strokes.size(), 2u);
    EXPECT_EQ(markers.ToggleMenuText(), "Turn Green/Red Marker(s) Off");
    out = markers.ToggleShown(TimeAxis());
    EXPECT_FALSE(markers.m_bMarkersShown);
    EXPECT_EQ(out.strokes.size(), 2u);
    EXPECT_TRUE(markers.Overlay(TimeAxis()).empty());
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{kHintMarkersShown, kHintMarkersShown}));
}

TEST_F(MarkersTest, GreenMarkerPostsTheAdviseAndReportsAFailure) {
    int posts = 0;
    markers.m_postAdvise = [&] {
        ++posts;
        return false;
    };
    markers.DoubleClick(Marker::Green, 155, TimeAxis());
    markers.Nudge(Marker::Green, 1, TimeAxis());
    markers.DoubleClick(Marker::Red, 155, TimeAxis());
    EXPECT_EQ(posts, 2);
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{"Post Advise Failed!", "Post Advise Failed!"}));
    EXPECT_EQ(doc.m_lGreenTime, 2000);  // the marker stays set
}

// Two laps racing, following the markers.
class FakeRace : public IRaceMarkers {
  public:
    bool IsActive() const override { return true; }
    bool FollowsMarkers() const override { return true; }
    int LapCount() const override { return 2; }
    std::string LapName(int lap) const override { return "Lap #" + std::to_string(lap + 1); }
    ColorRef LapColour(int lap) const override { return lap ? 0xFF0000 : 0x00FFFF; }
    CBriodashDataset* LapDataset(int) const override { return nullptr; }
    int32_t RaceMarkerTime(int) const override { return time; }
    int32_t RaceMarkerX(int lap, bool) const override { return time + lap * 500; }
    void SetRaceMarker(int32_t x) override { time = x; }
    void Resync() override { ++resyncs; }
    void SetClockStep(int32_t step) override { clockStep = step; }
    int32_t time = 1000;
    int resyncs = 0;
    int32_t clockStep = 0;
};

TEST_F(MarkersTest, RaceMarkersFollowTheRedMarker) {
    FakeRace race;
    markers.m_pRace = &race;
    markers.m_bRaceMarkersShown = true;
    MarkerOutcome out = markers.DoubleClick(Marker::Red, 255, TimeAxis());
    EXPECT_EQ(race.resyncs, 1);
    // Red drawn, both race lines erased and drawn again.
    EXPECT_EQ(out.strokes.size(), 5u);
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{kHintRaceMarkerMoved, kHintRedMovedRaceSync}));

    markers.Nudge(Marker::Red, -1, TimeAxis());
    EXPECT_EQ(race.clockStep, 1000);
    EXPECT_EQ(doc.m_lRedTime, 1000);
}

TEST_F(MarkersTest, CtrlDoubleClickSetsTheRaceMarker) {
    FakeRace race;
    markers.m_pRace = &race;
    MarkerOutcome out = markers.SetRaceMarkerAt(255, TimeAxis());
    EXPECT_EQ(race.time, 2000);
    EXPECT_TRUE(markers.m_bRaceMarkersShown);
    ASSERT_EQ(out.strokes.size(), 2u);
    EXPECT_EQ(out.strokes[1].colour, 0xFF0000u);
    EXPECT_EQ(out.hints, (std::vector<MarkerHint>{{kHintRaceMarkerMoved, 2000, 2000}}));
}

TEST_F(MarkersTest, GraphViewStateGivesTheAxisAndTheSceneTakesTheLines) {
    CGraphViewState state;
    state.m_lXStart = 0;
    state.m_lXSpan = 4000;
    state.RecomputeScaleFactors(doc, 455, 425);  // 400 plot pixels
    const MarkerAxis axis = MarkerAxisOf(state);
    EXPECT_TRUE(axis.timeAxis);
    EXPECT_EQ(axis.clientHeight, 425);
    markers.DoubleClick(Marker::Green, 255, axis);
    EXPECT_EQ(doc.m_lGreenTime, state.Mapping().PixelToX(255));

    CGraphScene scene;
    AddMarkerOverlay(scene, markers.Overlay(axis));
    ASSERT_EQ(scene.overlay.size(), 1u);
    const GLine& line = scene.lines[scene.overlay[0].index];
    EXPECT_FLOAT_EQ(line.x1, static_cast<float>(state.Mapping().XToPixel(doc.m_lGreenTime)));
    EXPECT_FLOAT_EQ(line.y1, 400.0f);
    EXPECT_FLOAT_EQ(line.y2, 0.0f);
    EXPECT_EQ(line.color, kGreenMarkerColour);
}

TEST(MarkerZeroOffsets, ChannelsReadZeroAtTheMarkerInTheWholeSession) {
    test::FakeHost host;
    CBriodashDoc doc(host, DefaultDocumentServices(), {});
    for (const char* name : {"Run", "Run:Lap 1", "Other"}) {
        auto ds = MarkerSession(name);
        CAnalogSetup accel;
        accel.m_nChannel = 2;
        accel.SetType(kAnalogAccel);
        accel.m_fMin = -2;
        accel.m_fMax = 2;
        accel.m_nResolution = 100;
        accel.m_strDescription = "Accel Up-Down";
        ds->m_carSetup.m_analog.push_back(accel);
        for (int i = 0; i < 5; ++i) ds->m_analog[1].AddTail(test::MakeSample(i * 1000, 62500));
        ds->m_analog[0].m_samples[2].m_lRaw = 30000;                         // throttle 30 %
        for (CAnalogSetup& a : ds->m_carSetup.m_analog) a.m_nSmoothing = 1;  // shown as recorded
        ds->m_nGroup = name[0] == 'O' ? 2 : 1;
        doc.m_datasets.push_back(std::move(ds));
    }
    const MarkerConverters conv = MarkerConverters::Defaults();
    doc.m_lRedTime = 2000;
    ASSERT_EQ(*AnalogValueAt(*doc.m_datasets[0], 1, 2000, Units::Imperial, conv), 300);
    ASSERT_EQ(*AnalogValueAt(*doc.m_datasets[0], 2, 2000, Units::Imperial, conv), 50);

    ZeroOffsetResult r = SetZeroOffsetsAtMarker(doc, *doc.m_datasets[0], {1, 2}, Marker::Red, conv);
    EXPECT_EQ(r.channelsChanged, 4);
    EXPECT_TRUE(r.accelerometerChanged);
    EXPECT_TRUE(doc.m_bModified);
    for (int i = 0; i < 2; ++i) {
        const CBriodashDataset& ds = *doc.m_datasets[static_cast<std::size_t>(i)];
        EXPECT_EQ(*AnalogValueAt(ds, 1, 2000, Units::Imperial, conv), 0);
        EXPECT_EQ(*AnalogValueAt(ds, 2, 2000, Units::Imperial, conv), 100);  // 1 G
    }
    EXPECT_EQ(*AnalogValueAt(*doc.m_datasets[2], 1, 2000, Units::Imperial, conv), 300);

    doc.m_lGreenTime = kNotSet;
    EXPECT_EQ(
        SetZeroOffsetsAtMarker(doc, *doc.m_datasets[2], {1}, Marker::Green, conv).channelsChanged,
        0);
}

}  // namespace
}  // namespace orvex
