#include <gtest/gtest.h>

#include "graph/GraphNav.h"
#include "graph/test_graph_fixture.h"

namespace orvex::test {
namespace {

// Ten minutes of engine data at 10 Hz (RPM 3000..7900) with a rear wheel on channel 2; the
// distance of every sample is its time / 10.
struct NavFixture : GraphDoc {
    CBriodashDataset& ds = Add("A");
    CGraphViewState state;
    CGraphNavigator nav{doc, state, host};
    int repaints = 0;

    NavFixture() {
        FillEngine(ds, 6000, 1000, [](int i) { return 3000 + (i % 50) * 100; });
        FillEngine(
            ds, 6000, 1000, [](int) { return 1000; }, 2, kRpmRearWheel);
        ds.m_carSetup.m_rpm.back().m_fCircumference = 80;
        ds.m_rpm[1].m_nOn = 0;
        ds.m_nDistanceSource = 2;
        doc.m_options.distanceMode = 2;
        nav.m_repaint = [this] { ++repaints; };
        services.distance = [](CBriodashDataset& d, int source) {
            d.m_nDistanceSource = source;
            return true;
        };
        nav.InitialUpdate(1600, 900);
    }
    void Window(int32_t start, int32_t span) {
        state.m_lXStart = start;
        state.m_lXSpan = span;
        state.RecomputeScaleFactors(doc, 1600, 900);
    }
};

TEST(GraphNavigation, ResetShowsFirstMinuteAndFullRpm) {
    NavFixture f;
    EXPECT_EQ(f.state.m_lXStart, 0);
    EXPECT_EQ(f.state.m_lXSpan, 600000);
    EXPECT_EQ(f.state.m_lXMax, 5999000);
    EXPECT_EQ(f.state.m_lRpmMax, 7900000);
    EXPECT_EQ(f.state.m_lRpmSpan, 7900000);
    EXPECT_EQ(f.state.m_lScrollDivisor, 5999000 / 32000);
    EXPECT_EQ(f.state.m_history.size(), 1u);
    const ScrollBarState h = f.nav.HorzScroll();
    EXPECT_EQ(h.max, (5999000 - 600000) / 187);
    EXPECT_EQ(f.nav.VertScroll().min, 0);
}

TEST(GraphNavigation, ZoomInAlongTimeStopsAtTenthOfASecond) {
    NavFixture f;
    f.Window(100000, 2000);
    EXPECT_TRUE(f.nav.ZoomInX());
    EXPECT_EQ(f.state.m_lXSpan, 1000);
    EXPECT_EQ(f.state.m_lXStart, 100500);  // the centre is kept
    EXPECT_FALSE(f.nav.ZoomInX());
    EXPECT_EQ(f.state.m_lXSpan, 1000);
}

TEST(GraphNavigation, ZoomOutKeepsTheEndAndIgnoresAllData) {
    NavFixture f;
    f.Window(5999000 - 300000, 300000);
    ASSERT_TRUE(f.state.m_scale.atEnd);
    EXPECT_TRUE(f.nav.ZoomOutX());
    EXPECT_EQ(f.state.m_lXSpan, 600000);
    EXPECT_EQ(f.state.m_lXStart + f.state.m_lXSpan, 5999000);
    f.Window(0, 5999000);
    EXPECT_FALSE(f.nav.ZoomOutX());
    // In the middle the new window keeps the old centre: right end at start + 3/4 span.
    f.Window(1000000, 100000);
    EXPECT_TRUE(f.nav.ZoomOutX());
    EXPECT_EQ(f.state.m_lXStart, 1000000 + 150000 - 200000);
}

TEST(GraphNavigation, HorizontalScrollSteps) {
    struct Case {
        int32_t start, span;
        ScrollAction action;
        int32_t thumb;
        bool moved;
        int32_t expected;
    } cases[] = {
        {0, 600000, ScrollAction::LineBack, 0, false, 0},
        {30000, 600000, ScrollAction::LineBack, 0, true, 0},
        {100000, 600000, ScrollAction::LineBack, 0, true, 40000},
        {100000, 600000, ScrollAction::LineForward, 0, true, 160000},
        {5399000, 600000, ScrollAction::LineForward, 0, false, 5399000},
        {5350000, 600000, ScrollAction::LineForward, 0, true, 5399000},
        {700000, 600000, ScrollAction::PageBack, 0, true, 100000},
        {500000, 600000, ScrollAction::PageBack, 0, true, 0},
        {4500000, 600000, ScrollAction::PageForward, 0, true, 5100000},
        {4900000, 600000, ScrollAction::PageForward, 0, true, 5399000},
        {0, 600000, ScrollAction::Thumb, 100, true, 18700},
    };
    for (const Case& c : cases) {
        NavFixture f;
        f.Window(c.start, c.span);
        EXPECT_EQ(f.nav.HScroll(c.action, c.thumb), c.moved) << c.start;
        EXPECT_EQ(f.state.m_lXStart, c.expected) << c.start;
    }
}

TEST(GraphNavigation, RpmZoomAndVerticalScroll) {
    NavFixture f;
    EXPECT_FALSE(f.nav.ZoomOutRpm());  // already the full range
    EXPECT_TRUE(f.nav.ZoomInRpm());
    EXPECT_EQ(f.state.m_lRpmSpan, 3950000);
    // Centred on the average whole RPM of the samples inside the first minute.
    int64_t sum = 0, count = 0;
    for (const CShaft& s : f.ds.m_rpm[0].m_samples)
        if (s.m_lTime <= 600000) {
            sum += f.ds.m_rpm[0].GetRPMMilli(static_cast<uint32_t>(s.m_lRaw)) / 1000;
            ++count;
        }
    EXPECT_EQ(f.state.m_lRpmBottom, sum / count * 1000 - 3950000 / 2);
    // The thumb at the top of its range shows the highest band.
    const int32_t top = f.nav.VertScroll().min;
    EXPECT_EQ(top, -(7900000 - 3950000) / 1000);
    EXPECT_TRUE(f.nav.VScroll(ScrollAction::Thumb, top & 0xFFFF));
    EXPECT_EQ(f.state.m_lRpmBottom, 7900000 - 3950000);
    EXPECT_FALSE(f.nav.VScroll(ScrollAction::LineBack));
    EXPECT_TRUE(f.nav.VScroll(ScrollAction::PageForward));
    EXPECT_EQ(f.state.m_lRpmBottom, 0);
    EXPECT_FALSE(f.nav.VScroll(ScrollAction::LineForward));
    EXPECT_TRUE(f.nav.ZoomOutRpm());
    EXPECT_EQ(f.state.m_lRpmSpan, 7900000);
}

TEST(GraphNavigation, HistoryBackAndForward) {
    NavFixture f;
    EXPECT_FALSE(f.nav.Backward());
    f.nav.ZoomInX();
    f.nav.ZoomInX();
    ASSERT_EQ(f.state.m_history.size(), 3u);
    EXPECT_TRUE(f.nav.Backward());
    EXPECT_EQ(f.state.m_lXSpan, 300000);
    EXPECT_TRUE(f.nav.Forward());
    EXPECT_EQ(f.state.m_lXSpan, 150000);
    EXPECT_FALSE(f.nav.Forward());
    EXPECT_FALSE(f.nav.IsEnabled(GraphCommand::Forward));
    // A new step after going back drops the entries after the current one.
    f.nav.Backward();
    f.nav.Backward();
    f.nav.ZoomOutX();
    EXPECT_EQ(f.state.m_history.size(), 2u);
    EXPECT_FALSE(f.nav.CanGoForward());
}

TEST(GraphNavigation, RubberBandZoomsInAndOut) {
    NavFixture f;
    f.Window(0, 1545000);  // 1000 units per pixel, 9028 RPM × 1000 per pixel
    const int32_t rpp = f.state.m_scale.rpmPerPixel;
    f.nav.MouseDown(155, 500);
    f.nav.MouseMove(355, 300);
    EXPECT_TRUE(f.nav.RubberBandActive());
    EXPECT_EQ(f.nav.RubberBand().left, 155);
    EXPECT_TRUE(f.nav.MouseUp(355, 300));  // dragged upwards
    EXPECT_EQ(f.state.m_lXStart, 100000);
    EXPECT_EQ(f.state.m_lXSpan, 200000);
    EXPECT_EQ(f.state.m_lRpmBottom, (875 - 500) * rpp);
    EXPECT_EQ(f.state.m_lRpmSpan, 200 * rpp);
    // Five pixels or less in height, or released outside the plot: nothing.
    f.nav.MouseDown(100, 100);
    EXPECT_FALSE(f.nav.MouseUp(300, 105));
    f.nav.MouseDown(100, 100);
    EXPECT_FALSE(f.nav.MouseUp(300, 890));
    EXPECT_EQ(f.state.m_lXSpan, 200000);
}

TEST(GraphNavigation, TimeDistanceTimeRestoresTheSpan) {
    NavFixture f;
    f.Window(1500, 300000);
    EXPECT_TRUE(f.nav.DisplayAsDistance());
    EXPECT_EQ(f.state.m_nTimeAxis, 0);
    EXPECT_EQ(f.state.m_lXStart, 200);
    EXPECT_EQ(f.state.m_lXSpan, 29900);
    EXPECT_EQ(f.nav.MenuText(GraphCommand::ZoomInX), "Zoom In Distance (F3)");
    EXPECT_TRUE(f.nav.DisplayAsTime());
    EXPECT_EQ(f.state.m_lXStart, 2000);
    EXPECT_EQ(f.state.m_lXSpan, 300000);
    EXPECT_FALSE(f.nav.DisplayAsTime());
    EXPECT_TRUE(f.host.messages.empty());
}

TEST(GraphNavigation, DistanceSourceFailuresKeepTheTimeAxis) {
    struct Case {
        int source;
        const char* message;
    } cases[] = {
        {1, "Front Wheel does NOT exists for\nSession 'A'"},
        {3, "Front Wheel does NOT exists for\nSession 'A'"},
        {4, "Missing appropriate information about the Gear Ratios for\nSession 'A'"},
    };
    for (const Case& c : cases) {
        NavFixture f;
        EXPECT_FALSE(f.nav.SetDistanceSource(c.source));
        ASSERT_EQ(f.host.messages.size(), 1u);
        EXPECT_EQ(f.host.messages[0].text, c.message);
        EXPECT_EQ(f.host.messages[0].icon, Icon::Warning);
        EXPECT_EQ(f.doc.m_options.distanceMode, 0);
        EXPECT_FALSE(f.nav.DisplayAsDistance());
        EXPECT_EQ(f.host.messages.back().text,
                  "One or more Sessions missing information. Plotting versus distance NOT "
                  "allowed.");
        EXPECT_EQ(f.state.m_nAxisMode, kAxisTime);
        EXPECT_EQ(f.state.m_nTimeAxis, 1);
    }
}

TEST(GraphNavigation, SourceCommandRecomputesAndResets) {
    NavFixture f;
    f.ds.m_carSetup.m_nGears = 1;
    f.ds.m_carSetup.m_fGearRatio[0] = 1.5f;
    f.nav.ZoomInX();
    EXPECT_TRUE(f.nav.SetDistanceSource(4));
    EXPECT_EQ(f.ds.m_nDistanceSource, 4);
    EXPECT_EQ(f.state.m_history.size(), 1u);  // Reset Display followed
    EXPECT_TRUE(f.nav.IsChecked(GraphCommand::DistanceEngine));
    EXPECT_FALSE(f.nav.IsEnabled(GraphCommand::DistanceFrontWheel));
    EXPECT_TRUE(f.nav.IsEnabled(GraphCommand::DistanceRearWheel));
}

TEST(GraphNavigation, CommandTableTextsAndKeys) {
    NavFixture f;
    const GraphCommandInfo& back = GraphCommandInfoOf(GraphCommand::Backward);
    EXPECT_STREQ(back.menuText, "Backward (Shift Tab)");
    EXPECT_STREQ(back.keys.at(0), "Shift+Tab");
    EXPECT_STREQ(back.statusText, "Display view seen before current view.");
    EXPECT_EQ(GraphCommandInfoOf(GraphCommand::ScrollLineLeft).keys.size(), 2u);
    EXPECT_EQ(f.nav.MenuText(GraphCommand::ZoomInRpm), "Zoom In RPM (Shift F3)");
    GraphOptions options;
    f.nav.m_pOptions = &options;
    EXPECT_EQ(f.nav.MenuText(GraphCommand::AnalogScales), "Turn Analog Scales Off");
    f.nav.Execute(GraphCommand::AnalogScales);
    EXPECT_EQ(f.nav.MenuText(GraphCommand::AnalogScales), "Turn Analog Scales On");
    // Speed shown: the RPM zoom commands name MPH too.
    f.ds.m_rpm[1].m_nOn = 1;
    f.ds.m_carSetup.m_rpm.back().m_nDisplayMode = kDisplaySpeed;
    f.nav.RefreshRanges(true);
    EXPECT_EQ(f.nav.MenuText(GraphCommand::ZoomOutRpm), "Zoom Out RPM/MPH (Shift F4)");
}

}  // namespace
}  // namespace orvex::test
