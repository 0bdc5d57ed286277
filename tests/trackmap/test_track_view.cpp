// The track map window's drawing and navigation rules, without a window.
#include <gtest/gtest.h>

#include <cmath>

#include "trackmap/TrackMap.h"
#include "trackmap/TrackView.h"

namespace orvex {
namespace {

// A square lap 1000 ft wide and 500 ft high, 10 ft between points, starting at the top left.
CTrackMap RectangleMap() {
    CTrackMap map;
    auto add = [&](double x, double y) {
        CTrackSample s;
        if (!map.m_samples.empty()) {
            const CTrackSample& p = map.m_samples.back();
            s.m_dS = p.m_dS + std::hypot(x - p.m_dX, y - p.m_dY);
            s.m_dTime = p.m_dTime + 0.1;
        }
        s.m_dX = x;
        s.m_dY = y;
        map.m_samples.push_back(s);
    };
    for (int i = 0; i < 100; ++i) add(10.0 * i, 0.0);
    for (int i = 0; i < 50; ++i) add(1000.0, 10.0 * i);
    for (int i = 0; i < 100; ++i) add(1000.0 - 10.0 * i, 500.0);
    for (int i = 0; i <= 50; ++i) add(0.0, 500.0 - 10.0 * i);
    map.m_dMinX = 0.0;
    map.m_dMaxX = 1000.0;
    map.m_dMinY = 0.0;
    map.m_dMaxY = 500.0;
    map.m_dMaxLongG = 1000.0;
    map.m_dMinLongG = -1000.0;
    return map;
}

CTrackViewModel View(const CTrackMap& map, int w = 1050, int h = 1050) {
    CTrackViewModel view;
    view.SetClientSize(w, h);
    view.SetTextHeight(16);
    view.SetMap(&map);
    return view;
}

TEST(TrackView, FitsTheMapIntoTheWindowLess25PixelsKeepingItsShape) {
    const CTrackMap map = RectangleMap();
    struct Case {
        int w, h;
        float top, bottom, width;  // pixels of the map's top and bottom edge, its width
    };
    const Case cases[] = {
        {1050, 1050, 275, 775, 1000},  // the width limits: 1 px per foot, centred vertically
        {1050, 300, 25, 275, 500},     // the height limits: half a pixel per foot
    };
    for (const Case& c : cases) {
        const CTrackViewModel view = View(map, c.w, c.h);
        const GPoint a = view.ToPixels(0.0, 0.0), b = view.ToPixels(1000.0, 500.0);
        EXPECT_NEAR(a.y, c.top, 1e-3);
        EXPECT_NEAR(b.y, c.bottom, 1e-3);
        EXPECT_NEAR(b.x - a.x, c.width, 1e-3);
        EXPECT_NEAR((a.x + b.x) / 2.0f, c.w / 2.0f, 1e-3);
    }
}

TEST(TrackView, ZoomAndScrolling) {
    const CTrackMap map = RectangleMap();
    CTrackViewModel view = View(map);
    EXPECT_FALSE(view.CanZoomOut());
    EXPECT_FALSE(view.HorizontalScroll().shown);
    view.ZoomIn();
    view.SetCentre(100.0, 50.0);
    EXPECT_TRUE(view.CanZoomOut());
    const TrackScroll h = view.HorizontalScroll();
    EXPECT_TRUE(h.shown);
    EXPECT_DOUBLE_EQ(h.min, 0.0);
    EXPECT_DOUBLE_EQ(h.max, 1000.0);
    EXPECT_NEAR(h.page, 500.0, 1e-9);  // half the map at zoom 2
    EXPECT_DOUBLE_EQ(h.pos, 100.0);
    // Zoom out from 2.0 returns to the whole map, centred again.
    view.ZoomOut();
    EXPECT_FLOAT_EQ(view.Zoom(), 1.0f);
    EXPECT_DOUBLE_EQ(view.CentreX(), 500.0);
    EXPECT_DOUBLE_EQ(view.CentreY(), 250.0);
    EXPECT_FALSE(view.VerticalScroll().shown);
}

TEST(TrackView, MarkersSitAtTheirDistanceAlongTheLap) {
    const CTrackMap map = RectangleMap();
    const CTrackViewModel view = View(map);
    struct Case {
        double distance, x, y;
    };
    const Case cases[] = {
        {-50.0, 0.0, 0.0},  // before the lap start: the first point
        {15.0, 15.0, 0.0},  // between two points
        {1250.0, 1000.0, 250.0},
        {99999.0, 0.0, 0.0},  // past the end: the last point
    };
    for (const Case& c : cases) {
        double x = 0, y = 0;
        view.PointAtDistance(c.distance, x, y);
        EXPECT_NEAR(x, c.x, 1e-9) << c.distance;
        EXPECT_NEAR(y, c.y, 1e-9) << c.distance;
    }
    // The square of the green marker: a two-pixel pen centred one text height around the
    // point, its four sides apart so that none is drawn twice, combined with what is below.
    CTrackViewModel marked = View(map);
    marked.m_greenDistance = 15.0;
    CGraphScene scene;
    marked.BuildScene(scene);
    ASSERT_EQ(scene.overlay.size(), 4u);
    const GPoint p = marked.ToPixels(15.0, 0.0);
    const float cx = std::round(p.x), cy = std::round(p.y);
    const GRect& top = scene.rects[scene.overlay[0].index];
    EXPECT_FLOAT_EQ(top.x, cx - 17.0f);
    EXPECT_FLOAT_EQ(top.y, cy - 17.0f);
    EXPECT_FLOAT_EQ(top.w, 34.0f);
    EXPECT_FLOAT_EQ(top.h, 2.0f);
    EXPECT_EQ(top.fill, kTrackGreenMarker);
    for (const GPrim& prim : scene.overlay) {
        ASSERT_EQ(prim.kind, PrimKind::Rect);
        // Not-xor on the white background: the square shows in its own colour there.
        EXPECT_EQ(scene.rects[prim.index].blend, LineBlend::NotXor);
    }
    // On a dark background exclusive-or, as the chart's marker lines.
    marked.m_colors.background = MakeRGB(20, 20, 40);
    marked.BuildScene(scene);
    EXPECT_EQ(scene.rects[scene.overlay[0].index].blend, LineBlend::Xor);
    // The overlay alone, for a marker move over the kept map.
    CGraphScene overlay;
    marked.BuildOverlay(overlay);
    EXPECT_TRUE(overlay.base.empty());
    EXPECT_EQ(overlay.overlay.size(), 4u);
}

TEST(TrackView, DoubleClickFindsTheNearestPoint) {
    const CTrackMap map = RectangleMap();
    const CTrackViewModel view = View(map);
    const GPoint p = view.ToPixels(1003.0, 241.0);
    EXPECT_EQ(view.NearestPoint(p.x, p.y), std::optional<std::size_t>(124));
    const CTrackMap none;  // the view keeps a reference to its map
    const CTrackViewModel empty = View(none);
    EXPECT_FALSE(empty.NearestPoint(10, 10).has_value());
}

TEST(TrackView, AutoTrackMovesOnlyWhenTheMarkerLeavesTheWindow) {
    const CTrackMap map = RectangleMap();
    CTrackViewModel view = View(map);
    EXPECT_FALSE(view.FollowMarker(1250.0));  // whole map: always visible
    for (int i = 0; i < 3; ++i) view.ZoomIn();
    view.SetCentre(0.0, 0.0);
    EXPECT_FALSE(view.FollowMarker(20.0));
    EXPECT_TRUE(view.FollowMarker(1250.0));
    EXPECT_DOUBLE_EQ(view.CentreX(), 1000.0);
    EXPECT_DOUBLE_EQ(view.CentreY(), 250.0);
}

TEST(TrackView, DrawingRules) {
    CTrackMap map = RectangleMap();
    map.m_accel.m_bounds = {150, 300};
    map.m_accel.m_kinds = {kAccelerating, kBraking};
    map.m_corners.m_bounds = {99, 149, 300};
    map.m_corners.m_kinds = {kStraight, kRightTurn, kStraight};
    for (auto& s : map.m_samples) s.m_dLongG = 500.0;

    CTrackViewModel view = View(map);
    CGraphScene scene;
    view.BuildScene(scene);
    // Background, one track line of half the text height, the start/finish line.
    ASSERT_EQ(scene.rects.size(), 1u);
    ASSERT_EQ(scene.polylines.size(), 1u);
    EXPECT_FLOAT_EQ(scene.polylines[0].width, 8.0f);
    EXPECT_EQ(scene.polylines[0].count, map.GetCount());
    ASSERT_EQ(scene.lines.size(), 1u);
    const GLine& sf = scene.lines[0];
    const GPoint first = view.ToPixels(0.0, 0.0);
    EXPECT_NEAR((sf.x1 + sf.x2) / 2.0f, first.x, 0.5f);
    EXPECT_NEAR((sf.y1 + sf.y2) / 2.0f, first.y, 0.5f);
    EXPECT_NEAR(sf.x1, sf.x2, 1e-3);  // a closed lap: vertical
    EXPECT_NEAR(std::fabs(sf.y2 - sf.y1), 2.0 * 500.0 / 20.0 * view.Scale(), 1e-2);
    EXPECT_FLOAT_EQ(sf.width, 4.0f);

    // Ramped acceleration: a line per point, half of the extreme G gives lightness 70/240.
    view.m_nDrawFlags = kDrawAccelSegments;
    view.m_bRamp = true;
    view.BuildScene(scene);
    EXPECT_EQ(scene.lines.size(), map.GetCount() - 1 + 1);
    EXPECT_EQ(scene.lines[0].color, WithLightness(view.m_colors.accel, 70.0 / 240.0));

    // Corner numbers at the corners only; both bands keep off the centre line.
    view.m_nDrawFlags = kDrawAccelSegments | kDrawCornerSegments | kDrawCornerNumbers;
    view.m_bRamp = false;
    view.BuildScene(scene);
    ASSERT_EQ(scene.texts.size(), 1u);
    EXPECT_EQ(scene.texts[0].text, "1");
    const float centreY = view.ToPixels(500.0, 0.0).y;
    const auto& pts = scene.points;
    const GPolyline& accelBand = scene.polylines[0];
    const GPolyline& cornerBand = scene.polylines[2];
    const float accelY = pts[accelBand.first + 50].y, cornerY = pts[cornerBand.first + 50].y;
    EXPECT_GE(std::fabs(accelY - centreY), accelBand.width / 2.0f);
    EXPECT_GE(std::fabs(cornerY - centreY), cornerBand.width / 2.0f);
    EXPECT_LT((accelY - centreY) * (cornerY - centreY), 0.0f);  // opposite sides
}

TEST(TrackView, RampAndTitleTexts) {
    EXPECT_DOUBLE_EQ(RampLightness(0.0, 1000.0), 20.0 / 240.0);
    EXPECT_DOUBLE_EQ(RampLightness(-2000.0, -1000.0), 120.0 / 240.0);
    EXPECT_EQ(WithLightness(MakeRGB(255, 0, 0), 0.25), MakeRGB(128, 0, 0));
    EXPECT_EQ(TrackMapTitle("Silverstone.tbc", 3), "Silverstone - Map (Lap #3)");
    EXPECT_EQ(TrackMapTitle("Demo", 12), "Demo - Map (Lap #12)");
}

TEST(TrackView, WithoutAMapOnlyTheBackground) {
    const CTrackMap none;  // the view keeps a reference to its map
    CTrackViewModel view = View(none);
    view.m_greenDistance = 10.0;
    CGraphScene scene;
    view.BuildScene(scene);
    EXPECT_EQ(scene.base.size(), 1u);
    EXPECT_TRUE(scene.overlay.empty());
    EXPECT_FALSE(scene.hasDrawing);
}

}  // namespace
}  // namespace orvex
