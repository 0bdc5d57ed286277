// What the session dialogs take from a graph window and give back: the zero-time context moves
// the markers and, on a time axis, the window and saved views; the switch/timer window.
#include <gtest/gtest.h>

#include "graph/ChartDialogs.h"
#include "graph/test_graph_fixture.h"

namespace orvex {
namespace {

TEST(ChartDialogs, ZeroTimeMovesTheMarkersAndOnlyTheTimeAxisViews) {
    test::GraphDoc g;
    CBriodashDataset& ds = g.Add("Run");
    test::GraphDoc::FillEngine(ds, 100, 1000, [](int) { return 4000; });
    g.doc.m_lGreenTime = 30000;
    g.doc.m_lRedTime = kNotSet;
    CGraphViewState chart = test::WindowState(10000, 50000, 0, 99000);
    CSavedViewState distanceView = chart;
    distanceView.m_nTimeAxis = 0;
    chart.m_history = {chart, distanceView};

    ZeroTimeContext c = MakeZeroTimeContext(g.doc, &chart);
    EXPECT_EQ(c.current, &ds);  // no current dataset yet: the first session
    EXPECT_EQ(c.shownSessions, 1);
    EXPECT_EQ(c.graphXStart, 10000);
    ASSERT_EQ(c.viewStates.size(), 2u);

    // The zero moves 20000 later: every chart time 20000 earlier.
    std::vector<ZeroTimeRequest> requests{{&ds, ZeroChoice{"User Defined", 20000, kZeroUser}, ""}};
    ASSERT_TRUE(ApplyZeroTimes(requests, c, g.host));
    ApplyZeroTimeContext(g.doc, &chart, c);
    EXPECT_EQ(g.doc.m_lGreenTime, 10000);
    EXPECT_EQ(g.doc.m_lRedTime, kNotSet);
    EXPECT_EQ(chart.m_lXStart, -10000);
    EXPECT_EQ(chart.m_history[0].m_lXStart, -10000);
    EXPECT_EQ(chart.m_history[0].m_lXMax, 79000);
    EXPECT_EQ(chart.m_history[1].m_lXStart, 10000);  // a distance view stays
    EXPECT_TRUE(g.doc.m_bModified);                  // the zero is saved with the file

    // Without a chart only the markers move.
    ZeroTimeContext alone = MakeZeroTimeContext(g.doc, nullptr);
    alone.green = 5;
    ApplyZeroTimeContext(g.doc, nullptr, alone);
    EXPECT_EQ(g.doc.m_lGreenTime, 5);
}

TEST(ChartDialogs, SwitchEventsWindowIsTheTimeAxisWindow) {
    int32_t start = 0, end = 0;
    SwitchEventWindow(nullptr, start, end);
    EXPECT_EQ(start, kMinInt32);
    EXPECT_EQ(end, kNotSet);
    CGraphViewState chart = test::WindowState(10000, 50000, 0, 99000);
    SwitchEventWindow(&chart, start, end);
    EXPECT_EQ(start, 10000);
    EXPECT_EQ(end, 60000);
    chart.m_nTimeAxis = 0;
    SwitchEventWindow(&chart, start, end);
    EXPECT_EQ(end, kNotSet);
}

}  // namespace
}  // namespace orvex
