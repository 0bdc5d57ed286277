// Drawings of the auxiliary views: bar lengths against the value axis in every orientation,
// 3D faces, labels and legend, and the traction circle's traces, boxes and value texts.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "graph/TraceRaster.h"
#include "support/FakeHost.h"
#include "views/ViewScenes.h"
#include "views/ViewTestData.h"

namespace orvex {
namespace {

HistogramChart TwoRows() {
    HistogramChart c;
    c.valueAxis = "Secs";
    c.bandAxis = "Throttle";
    c.axisMax = 40;
    c.bands = 3;
    c.lowerEdges = {0, 10, 20};
    c.bandLabels = {"0", "", "20"};
    c.rows = {{"Morning", 60, {10, 40, 10}, {10, 40, 10}},
              {"Evening", 30, {0, 20, 10}, {0, 20, 10}}};
    return c;
}

TEST(HistogramScene, BarsRunAlongTheValueAxisInBothOrientations) {
    for (bool vertical : {true, false})
        for (bool threeD : {false, true}) {
            SCOPED_TRACE(testing::Message() << vertical << threeD);
            HistogramFlags f;
            f.verticalBars = vertical;
            f.bars3D = threeD;
            CGraphScene scene;
            const HistogramGeometry g =
                BuildHistogramScene(TwoRows(), f, 800, 500, SceneMetrics{}, HistogramLook{}, scene);
            ASSERT_EQ(g.bars.size(), 6u);
            const float depth = threeD ? 10.0f : 0.0f;
            const float span = vertical ? g.bottom - g.top - depth : g.right - depth - g.left;
            for (const auto& b : g.bars) {
                const double value = TwoRows()
                                         .rows[static_cast<std::size_t>(b.row)]
                                         .values[static_cast<std::size_t>(b.band)];
                EXPECT_NEAR(vertical ? b.h : b.w, span * value / 40.0, 0.01);
                // Bars stand on the band axis.
                if (vertical) {
                    EXPECT_NEAR(b.y + b.h, g.bottom, 0.01);
                } else {
                    EXPECT_NEAR(b.x, g.left, 0.01);
                }
            }
            // Rows side by side within a band; bands from the left, or from the bottom up.
            EXPECT_LT(vertical ? g.bars[0].x : g.bars[0].y, vertical ? g.bars[1].x : g.bars[1].y);
            if (vertical) {
                EXPECT_LT(g.bars[1].x, g.bars[2].x);
            } else {
                EXPECT_GT(g.bars[1].y, g.bars[2].y);
            }
            // Two 3D faces for each bar that has a length.
            EXPECT_EQ(CountOf(scene, PrimKind::Polygon), threeD ? 10u : 0u);
        }
}

TEST(HistogramScene, LabelsTitlesAndLegend) {
    for (bool legend : {true, false}) {
        HistogramFlags f;
        f.legend = legend;
        CGraphScene scene;
        BuildHistogramScene(TwoRows(), f, 800, 500, SceneMetrics{}, HistogramLook{}, scene);
        const std::vector<std::string> t = TextsOf(scene);
        auto has = [&t](const char* s) { return std::find(t.begin(), t.end(), s) != t.end(); };
        EXPECT_TRUE(has("Secs"));
        EXPECT_TRUE(has("Throttle"));
        EXPECT_TRUE(has("20"));
        EXPECT_EQ(has("Morning"), legend);
        EXPECT_EQ(has("Evening"), legend);
    }
    HistogramChart empty;
    empty.message = kSelectChannelsNote;
    CGraphScene scene;
    BuildHistogramScene(empty, {}, 800, 500, SceneMetrics{}, HistogramLook{}, scene);
    EXPECT_EQ(TextsOf(scene), std::vector<std::string>{kSelectChannelsNote});
}

TEST(TractionScene, TracesBoxesAndValueTexts) {
    using test::SessionBuilder;
    constexpr int32_t kSecond = 10000;
    auto ds = SessionBuilder("S")
                  .Analog(1, "LEFT-RIGHT", -5, 5, 100)
                  .Analog(2, "FRONT-REAR", -5, 5, 100)
                  .Values(1, {{0, 0}, {kSecond, 40}, {2 * kSecond, 80}, {3 * kSecond, 80}})
                  .Values(2, {{0, 0}, {kSecond, 30}, {2 * kSecond, -60}, {3 * kSecond, -60}})
                  .Build();
    CFrictionCircle circle(FrictionSettings{}, Units::Imperial);
    circle.SetSelection({test::Whole(*ds)});
    test::FakeHost host;
    circle.MoveMarker(true, kSecond, host);
    circle.MoveMarker(false, 2 * kSecond, host);
    CGraphScene scene;
    BuildTractionScene(circle, 600, 600, SceneMetrics{}, scene);
    // The curve goes out as the runs of each row of the pixels the painter sets for it: the
    // last point repeats the one before on the same pixel, so they are the pixels of the
    // polyline through the first three.
    ASSERT_GT(CountOf(scene, PrimKind::Polyline), 0u);
    const FrictionLayout l = circle.Layout(600, 600);
    std::vector<int32_t> xy;
    for (std::size_t i = 0; i < 3; ++i) {
        xy.push_back(static_cast<int32_t>(std::round(l.X(circle.PlotLr(circle.Entries()[0], i)))) *
                     64);
        xy.push_back(static_cast<int32_t>(std::round(l.Y(circle.PlotFr(circle.Entries()[0], i)))) *
                     64);
    }
    CPixelMask expected;
    expected.Reset(600, 600);
    MarkPolyline(expected, xy.data(), 3);
    std::set<std::pair<int, int>> want, got;
    expected.ForEachSpan(0, 0, 600, 600, [&want](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) want.insert({x, y});
    });
    for (const GPrim& p : scene.base) {
        if (p.kind != PrimKind::Polyline) continue;
        const GPolyline& run = scene.polylines[p.index];
        ASSERT_EQ(run.count, 2u);
        const GPoint a = scene.points[run.first], b = scene.points[run.first + 1];
        ASSERT_EQ(a.y, b.y);
        for (auto x = static_cast<int>(a.x); x < static_cast<int>(b.x); ++x)
            got.insert({x, static_cast<int>(a.y)});
    }
    EXPECT_EQ(got, want);
    EXPECT_GT(want.size(), 100u);
    // Each box a one-pixel frame of four sides on the overlay, combined with what is below
    // (not-xor on the white background, so that it shows in its own colour there).
    std::vector<ColorRef> boxes;
    for (const GPrim& p : scene.overlay) {
        if (p.kind != PrimKind::Rect) continue;
        const GRect& r = scene.rects[p.index];
        EXPECT_EQ(r.blend, LineBlend::NotXor);
        if (r.h == 1.0f) {
            EXPECT_FLOAT_EQ(r.w, kMarkerBox);
            if (boxes.empty() || boxes.back() != r.fill) boxes.push_back(r.fill);
        }
    }
    EXPECT_EQ(boxes, (std::vector<ColorRef>{kGreenMarkerBox, kRedMarkerBox}));
    EXPECT_EQ(CountOf(scene, PrimKind::Rect, true), 8u);
    // The value texts on the overlay with the boxes they stay in, so a marker move repaints
    // only there.
    EXPECT_EQ(CountOf(scene, PrimKind::Text, true), 2u);
    EXPECT_TRUE(LayerExtents(scene, scene.overlay, 2).has_value());
    const std::vector<std::string> texts = TextsOf(scene);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], " F-R: 0.30  L-R: 0.40  Max G: 0.50 ");
    EXPECT_EQ(texts.back(), " F-R: -0.60  L-R: 0.80  Max G: 1.00 ");

    circle.Settings().drawCurve = false;
    circle.Settings().values = false;
    BuildTractionScene(circle, 600, 600, SceneMetrics{}, scene);
    EXPECT_EQ(CountOf(scene, PrimKind::Ellipse), 3u);
    EXPECT_EQ(CountOf(scene, PrimKind::Polyline), 0u);
    for (const std::string& t : TextsOf(scene)) EXPECT_EQ(t.find("Max G"), std::string::npos);
}

TEST(TractionScene, ARetracedLoopAddsNothingToTheDrawing) {
    using test::SessionBuilder;
    constexpr int32_t kSecond = 10000;
    // A square loop in G driven once, then three times over.
    const int32_t lr[] = {0, 50, 50, 0};
    const int32_t fr[] = {0, 0, 50, 50};
    std::vector<std::pair<int32_t, int32_t>> lrOnce, frOnce, lrThrice, frThrice;
    for (int i = 0; i <= 12; ++i) {
        const auto at = static_cast<std::size_t>(i % 4);
        if (i <= 4) {
            lrOnce.push_back({i * kSecond, lr[at]});
            frOnce.push_back({i * kSecond, fr[at]});
        }
        lrThrice.push_back({i * kSecond, lr[at]});
        frThrice.push_back({i * kSecond, fr[at]});
    }
    auto scene = [&](const auto& lrValues, const auto& frValues, bool curve) {
        auto ds = SessionBuilder("S")
                      .Analog(1, "LEFT-RIGHT", -5, 5, 100)
                      .Analog(2, "FRONT-REAR", -5, 5, 100)
                      .Values(1, lrValues)
                      .Values(2, frValues)
                      .Build();
        CFrictionCircle circle(FrictionSettings{}, Units::Imperial);
        circle.Settings().drawCurve = curve;
        circle.SetSelection({test::Whole(*ds)});
        CGraphScene s;
        BuildTractionScene(circle, 600, 600, SceneMetrics{}, s);
        return s;
    };
    const CGraphScene once = scene(lrOnce, frOnce, true), thrice = scene(lrThrice, frThrice, true);
    ASSERT_GT(CountOf(thrice, PrimKind::Polyline), 0u);
    // The same runs of pixels: each pixel is painted once however often the loop is driven.
    ASSERT_EQ(thrice.points.size(), once.points.size());
    for (std::size_t i = 0; i < once.points.size(); ++i) {
        EXPECT_EQ(thrice.points[i].x, once.points[i].x);
        EXPECT_EQ(thrice.points[i].y, once.points[i].y);
    }
    EXPECT_EQ(CountOf(scene(lrThrice, frThrice, false), PrimKind::Ellipse), 4u);
}

}  // namespace
}  // namespace orvex
