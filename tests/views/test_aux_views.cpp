// The core views of the traction circle, histogram and lap segment report on the shared view
// base: which hints repaint what, the circle's overlay built alone, and its traces kept for a
// size giving the same drawing as traces reduced afresh.
#include <gtest/gtest.h>

#include "app/DocumentSetup.h"
#include "support/FakeHost.h"
#include "views/AuxViews.h"
#include "views/ViewData.h"
#include "views/ViewTestData.h"

namespace orvex {
namespace {

using test::SessionBuilder;
using test::Whole;

constexpr int32_t kSecond = 10000;

struct CountingCanvas : IViewCanvas {
    int all = 0, overlay = 0;
    void Invalidate(ViewLayer layer) override { ++(layer == ViewLayer::All ? all : overlay); }
};

class AuxViewsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<std::pair<int32_t, int32_t>> lr, fr;
        for (int i = 0; i <= 40; ++i) {
            lr.push_back({i * kSecond, (i * 37) % 150 - 75});
            fr.push_back({i * kSecond, (i * 53) % 120 - 60});
        }
        doc.m_datasets.push_back(SessionBuilder("S")
                                     .Analog(1, "LEFT-RIGHT", -5, 5, 100)
                                     .Analog(2, "FRONT-REAR", -5, 5, 100)
                                     .Values(1, lr)
                                     .Values(2, fr)
                                     .Build());
        doc.m_lGreenTime = 10 * kSecond;
        doc.m_lRedTime = 20 * kSecond;
    }
    CBriodashDataset& Session() { return *doc.m_datasets.front(); }

    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), {}};
    CountingCanvas canvas;
};

TEST_F(AuxViewsTest, EachHintRepaintsWhatItChanged) {
    CFrictionView circle(doc, host, canvas, FrictionSettings{}, 0.0f);
    circle.SetSelection({Whole(Session())});
    CountingCanvas histogramCanvas, reportCanvas;
    CHistogramView histogram(doc, histogramCanvas, 0.0f);
    histogram.SetSessions({Whole(Session())});
    CLapReportView report(doc, reportCanvas, LapReportOptions{}, LapReportColours{});
    report.SetMap(&Session(), MapSegments{});
    struct Case {
        const char* what;
        uint32_t hint;
        int32_t greenTime;
        int circleOverlay, circleAll, othersAll;
    };
    // A marker move repaints the circle's boxes and value texts only and leaves the bars and
    // the report alone; a race marker touches none of them; anything else is data.
    const Case cases[] = {
        {"green moved", kHintGreenMoved, 12 * kSecond, 1, 0, 0},
        {"green moved nowhere", kHintGreenMoved, 12 * kSecond, 0, 0, 0},
        {"red moved", kHintRedMoved, 12 * kSecond, 0, 0, 0},  // the red time is unchanged
        {"race marker", kHintRaceMarkerMoved, 14 * kSecond, 0, 0, 0},
        {"markers shown", kHintMarkersShown, 14 * kSecond, 1, 0, 1},
        {"setups changed", kHintSetupsChanged, 14 * kSecond, 0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        canvas = histogramCanvas = reportCanvas = CountingCanvas{};
        doc.m_lGreenTime = c.greenTime;
        doc.UpdateAllViews(ViewUpdate{.hint = c.hint});
        EXPECT_EQ(canvas.overlay, c.circleOverlay);
        EXPECT_EQ(canvas.all, c.circleAll);
        EXPECT_EQ(histogramCanvas.all + histogramCanvas.overlay, c.othersAll);
        EXPECT_EQ(reportCanvas.all + reportCanvas.overlay, c.othersAll);
    }
    // An expose of the bars or the table paints the kept drawing: nothing lies over it.
    EXPECT_TRUE(histogram.BuildOverlay(300, 200, 1.0).overlay.empty());
    EXPECT_TRUE(report.BuildOverlay(300, 200, 1.0).overlay.empty());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(AuxViewsTest, TheCirclesOverlayIsBuiltAloneInBoxesItCanName) {
    CFrictionView view(doc, host, canvas, FrictionSettings{}, 0.0f);
    view.SetSelection({Whole(Session())});
    const CGraphScene& whole = view.BuildScene(640, 480, 1.0, false);
    const std::size_t overlayPrims = whole.overlay.size();
    ASSERT_EQ(overlayPrims, 10u);  // two boxes of four sides, two value texts
    const CGraphScene& overlay = view.BuildOverlay(640, 480, 1.0);
    EXPECT_TRUE(overlay.base.empty());
    EXPECT_EQ(overlay.overlay.size(), overlayPrims);
    EXPECT_EQ(TextsOf(overlay), (std::vector<std::string>{view.Circle().ValueText(true),
                                                          view.Circle().ValueText(false)}));
    const auto extents = LayerExtents(overlay, overlay.overlay, 0);
    ASSERT_TRUE(extents.has_value());
    EXPECT_EQ(extents->size(), overlayPrims);
}

TEST_F(AuxViewsTest, KeptTracesDrawWhatFreshOnesDraw) {
    CFrictionView view(doc, host, canvas, FrictionSettings{}, 0.0f);
    view.SetSelection({Whole(Session())});
    auto samePoints = [](const CGraphScene& a, const CGraphScene& b) {
        if (a.points.size() != b.points.size()) return false;
        for (std::size_t i = 0; i < a.points.size(); ++i)
            if (a.points[i].x != b.points[i].x || a.points[i].y != b.points[i].y) return false;
        return true;
    };
    CGraphScene fresh;
    for (const auto& [w, h] : {std::pair{640, 480}, std::pair{640, 480}, std::pair{900, 300}}) {
        SCOPED_TRACE(w);
        const CGraphScene& kept = view.BuildScene(w, h, 1.0, false);
        BuildTractionScene(view.Circle(), w, h, SceneMetrics{}, fresh);
        EXPECT_TRUE(samePoints(kept, fresh));
    }
    // A new colour shows at once: the kept traces hold none.
    view.SetColour(0, MakeRGB(1, 2, 3));
    const CGraphScene& recoloured = view.BuildScene(900, 300, 1.0, false);
    ASSERT_FALSE(recoloured.polylines.empty());
    EXPECT_EQ(recoloured.polylines.front().color, MakeRGB(1, 2, 3));
    // Points instead of the curve: reduced again.
    view.Circle().Settings().drawCurve = false;
    view.SettingsChanged();
    const CGraphScene& dots = view.BuildScene(900, 300, 1.0, false);
    BuildTractionScene(view.Circle(), 900, 300, SceneMetrics{}, fresh);
    EXPECT_EQ(CountOf(dots, PrimKind::Ellipse), CountOf(fresh, PrimKind::Ellipse));
    EXPECT_GT(CountOf(dots, PrimKind::Ellipse), 0u);
}

}  // namespace
}  // namespace orvex
