// The document-to-view protocol: updates carry their payload and skip their sender, views follow
// their current dataset, and the strip chart repaints only the overlay when a marker moves.
#include <gtest/gtest.h>

#include <algorithm>

#include "graph/MarkerListView.h"
#include "graph/MarkerTestData.h"
#include "graph/StripChart.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::MarkerSession;

// Records what its view asked to be painted again.
class FakeCanvas : public IViewCanvas {
  public:
    void Invalidate(ViewLayer layer) override { layers.push_back(layer); }
    std::vector<ViewLayer> layers;
};

// A view that records every update it is told.
class UpdateRecorder : public CViewBase {
  public:
    UpdateRecorder(CBriodashDoc& doc, IViewCanvas& canvas)
        : CViewBase(doc, ViewKind::TrackMap, canvas) {}
    void OnUpdate(const ViewUpdate& update) override { updates.push_back(update); }
    const CGraphScene& BuildScene(int, int, double, bool) override { return scene; }
    std::vector<ViewUpdate> updates;
    CGraphScene scene;
};

class ViewProtocol : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.m_datasets.push_back(MarkerSession("Run"));
        doc.m_datasets.push_back(MarkerSession("Second"));
    }
    test::FakeHost host;
    CBriodashDoc doc{host, {}};
    FakeCanvas canvas;
};

TEST_F(ViewProtocol, ViewsRegisterWhileTheyLive) {
    {
        UpdateRecorder map(doc, canvas);
        EXPECT_EQ(doc.FindView(ViewKind::TrackMap), &map);
    }
    EXPECT_EQ(doc.FindView(ViewKind::TrackMap), nullptr);
    doc.UpdateAllViews(kHintRepaint);  // nobody left to tell
}

TEST_F(ViewProtocol, AnUpdateReachesEveryViewButItsSender) {
    UpdateRecorder a(doc, canvas), b(doc, canvas);
    a.Broadcast(ViewUpdate{.hint = kHintGreenMoved, .time = 1500, .x = 150});
    EXPECT_TRUE(a.updates.empty());
    ASSERT_EQ(b.updates.size(), 1u);
    EXPECT_EQ(b.updates[0],
              (ViewUpdate{.hint = kHintGreenMoved, .time = 1500, .x = 150, .sender = &a}));
    doc.UpdateAllViews(kHintRepaint);
    EXPECT_EQ(a.updates.size(), 1u);
    EXPECT_EQ(b.updates.size(), 2u);
}

TEST_F(ViewProtocol, HintWordsCombine) {
    const ViewUpdate reset{.hint = kHintSetupsChanged | kHintDistancesChanged};
    EXPECT_EQ(reset.hint, kHintResetDisplay);
    EXPECT_TRUE(reset.Has(kHintDistancesChanged));
    EXPECT_FALSE(ViewUpdate{.hint = kHintSetupsChanged}.Has(kHintDistancesChanged));
    EXPECT_TRUE(ViewUpdate{.hint = kHintSetupsChanged | kHintAccelerometerChanged}.Has(
        kHintAccelerometerChanged));
}

TEST_F(ViewProtocol, AViewFollowsItsCurrentDatasetWhenItIsDeletedOrCut) {
    UpdateRecorder view(doc, canvas);
    CBriodashDataset& first = *doc.m_datasets[0];
    view.SetCurrent(&first);
    // Cutting the data before a time replaces the dataset by its re-based copy.
    host.answers.push_back(Answer::Yes);
    CBriodashDataset* kept = doc.DeleteData(first, 1000, kNotSet);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(view.Current(), kept);
    doc.DeleteDataset(*kept);
    EXPECT_EQ(view.Current(), nullptr);
}

TEST_F(ViewProtocol, AMarkerMoveCarriesTimeAndXAndReachesTheMarkerListOnce) {
    FakeCanvas chartCanvas, listCanvas;
    CStripChart chart(doc, host, chartCanvas);
    CMarkerListView list(doc, host, listCanvas);
    UpdateRecorder map(doc, canvas);
    chart.Initialise(455, 425);
    chartCanvas.layers.clear();
    listCanvas.layers.clear();
    map.updates.clear();
    chart.DoubleClick(ViewMouse{.x = 255, .y = 100});
    ASSERT_NE(doc.m_lGreenTime, kNotSet);
    // Every view hears of the move once.
    const auto moved = std::find_if(map.updates.begin(), map.updates.end(),
                                    [](const ViewUpdate& u) { return u.hint == kHintGreenMoved; });
    ASSERT_NE(moved, map.updates.end());
    EXPECT_EQ(std::count(map.updates.begin(), map.updates.end(), *moved), 1);
    EXPECT_EQ(moved->time, doc.m_lGreenTime);
    EXPECT_EQ(moved->x, doc.m_lGreenTime);  // time axis: x is the time
    EXPECT_EQ(listCanvas.layers.size(), map.updates.size());
    // The chart repaints its overlay only: the traces did not change.
    ASSERT_FALSE(chartCanvas.layers.empty());
    for (ViewLayer l : chartCanvas.layers) EXPECT_EQ(l, ViewLayer::Overlay);
}

TEST_F(ViewProtocol, TheChartRepaintsEverythingOnOtherHints) {
    CStripChart chart(doc, host, canvas);
    chart.Initialise(455, 425);
    const struct {
        uint32_t hint;
        ViewLayer layer;
    } cases[] = {
        {kHintRepaint, ViewLayer::All},          {kHintResetDisplay, ViewLayer::All},
        {kHintSetupsChanged, ViewLayer::All},    {kHintGreenMoved, ViewLayer::Overlay},
        {kHintRedMoved, ViewLayer::Overlay},     {kHintRedMovedRaceSync, ViewLayer::Overlay},
        {kHintMarkersShown, ViewLayer::Overlay}, {kHintRaceMarkerMoved, ViewLayer::Overlay},
    };
    for (const auto& c : cases) {
        canvas.layers.clear();
        doc.UpdateAllViews(c.hint);
        EXPECT_EQ(canvas.layers, std::vector<ViewLayer>{c.layer}) << std::hex << c.hint;
    }
}

TEST_F(ViewProtocol, TheChartSceneCarriesTheMarkersOnScreenButNotOnPaper) {
    CStripChart chart(doc, host, canvas);
    chart.Initialise(455, 425);
    chart.DoubleClick(ViewMouse{.x = 255, .y = 100});
    chart.DoubleClick(ViewMouse{.x = 305, .y = 100, .button = MouseButton::Right});
    auto overlayLines = [](const CGraphScene& s) {
        std::vector<GLine> out;
        for (const GPrim& p : s.overlay)
            if (p.kind == PrimKind::Line) out.push_back(s.lines[p.index]);
        return out;
    };
    const std::vector<GLine> screen = overlayLines(chart.BuildScene(455, 425, 1.0, false));
    ASSERT_EQ(screen.size(), 2u);
    EXPECT_EQ(screen[0].color, kGreenMarkerColour);
    EXPECT_EQ(screen[1].color, kRedMarkerColour);
    EXPECT_LT(screen[0].x1, screen[1].x1);
    // A picture of another size puts the markers at the same place of the data.
    const std::vector<GLine> wide = overlayLines(chart.BuildScene(855, 425, 1.0, false));
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_NEAR(wide[0].x1 - kLeftMargin, (screen[0].x1 - kLeftMargin) * 2, 2.0);
    EXPECT_TRUE(overlayLines(chart.BuildScene(855, 425, 1.0, true)).empty());
}

TEST_F(ViewProtocol, MarkerLinesCombineWithWhatIsBelowThem) {
    // Inverted exclusive-or on a light background, exclusive-or on a dark one: either way the
    // marker shows over any trace and differs from a switch line of its own colour.
    CStripChart chart(doc, host, canvas);
    chart.Initialise(455, 425);
    chart.DoubleClick(ViewMouse{.x = 255, .y = 100});
    const struct {
        ColorRef background;
        LineBlend blend;
    } cases[] = {
        {MakeRGB(255, 255, 255), LineBlend::NotXor},
        {MakeRGB(20, 20, 30), LineBlend::Xor},
    };
    for (const auto& c : cases) {
        chart.Options().background = c.background;
        for (const CGraphScene* s :
             {&chart.BuildScene(455, 425, 1.0, false), &chart.BuildOverlay(455, 425, 1.0)}) {
            ASSERT_EQ(s->overlay.size(), 1u);
            EXPECT_EQ(s->lines[s->overlay[0].index].blend, c.blend) << c.background;
        }
    }
}

}  // namespace
}  // namespace orvex
