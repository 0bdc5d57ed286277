#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "app/GraphSettings.h"
#include "graph/GraphView.h"
#include "graph/test_graph_fixture.h"

namespace orvex::test {
namespace {

TEST(GraphTicks, HorizontalStepsByAxisAndSpan) {
    struct Case {
        bool time;
        int32_t span, minor, major;
    } cases[] = {
        {true, 10000, 100, 1000},
        {true, 10001, 1000, 10000},
        {true, 300000, 10000, 50000},
        {true, 600000, 10000, 100000},
        {true, 6000000, 100000, 600000},
        {true, 6000001, 300000, 1800000},
        {false, 100, 1, 10},
        {false, 1000, 10, 100},
        {false, 10000, 100, 1000},
        {false, 100000, 1000, 10000},
        {false, 100001, 10000, 100000},
    };
    for (const Case& c : cases) {
        int32_t minor = 0, major = 0;
        XTickSteps(c.time, c.span, minor, major);
        EXPECT_EQ(minor, c.minor) << c.span;
        EXPECT_EQ(major, c.major) << c.span;
    }
}

TEST(GraphTicks, RpmAndSpeedSteps) {
    struct Case {
        int32_t span, minor, major;
    } rpm[] = {{500000, 5000, 50000},     {1000000, 10000, 100000},    {2000000, 50000, 200000},
               {4000000, 100000, 500000}, {10000000, 100000, 1000000}, {10000001, 200000, 2000000}};
    for (const Case& c : rpm) {
        int32_t minor = 0, major = 0;
        RpmTickSteps(c.span, minor, major);
        EXPECT_EQ(minor, c.minor);
        EXPECT_EQ(major, c.major);
    }
    Case mph[] = {{99, 3, 30},       {999, 30, 300},      {1999, 150, 600},    {4999, 300, 1500},
                  {9999, 600, 3000}, {14999, 1500, 6000}, {15000, 3000, 15000}};
    for (const Case& c : mph) {
        int32_t minor = 0, major = 0;
        MphTickSteps(c.span, 3, minor, major);
        EXPECT_EQ(minor, c.minor) << c.span;
        EXPECT_EQ(major, c.major) << c.span;
    }
}

TEST(GraphLabels, TimeDistanceRpmSlipSpeed) {
    EXPECT_EQ(FormatAxisTime(754000), "1:15.40");
    EXPECT_EQ(FormatAxisTime(600000), "1:00");
    EXPECT_EQ(FormatAxisTime(50000), "0:05");
    EXPECT_EQ(FormatAxisTime(10000), "0:01");
    EXPECT_EQ(FormatAxisTime(500), "0:00.05");
    EXPECT_EQ(FormatAxisTime(-754000), "-1:15.40");
    EXPECT_EQ(FormatAxisDistance(-12, Units::Imperial), "-1.2");
    EXPECT_EQ(FormatAxisDistance(-5, Units::Imperial), "-0.5");
    EXPECT_EQ(FormatAxisDistance(12345, Units::Imperial), "1234.5");
    EXPECT_EQ(FormatAxisDistance(1000, Units::Metric), "30.4");
    EXPECT_EQ(FormatAxisRpm(6500000), "6500");
    EXPECT_EQ(FormatAxisSlip(10000), "10%");
    EXPECT_EQ(FormatAxisSpeed(7500), "75");
    EXPECT_EQ(FormatAxisSpeed(7570), "75.70");
    EXPECT_EQ(FormatAxisSpeed(7505), "75.05");
}

TEST(GraphLabels, AnalogByTypeCode) {
    struct Case {
        int32_t code;
        double value, m, min, max;
        const char* text;
    } cases[] = {
        {0, 5, 1, 0, 10, "N/A"},           {1, 1234, 1, 0, 2000, "1234"},
        {2, 1250, 10, 0, 2000, "125"},     {3, 250, 100, 0, 5, " 2.50"},
        {7, -125, 100, -5, 5, " -1.25"},   {5, 12345, 10, 0, 5000, " 1234"},
        {5, 12345, 10, 0, 500, " 1234.0"}, {5, 1234, 100, 0, 50, " 12.00"},
        {5, 1234, 1000, 0, 5, " 1.234"},   {8, 1555, 10, 0, 150, " 155.0"},
        {8, 1555, 100, 0, 100, " 15.55"},  {0x85, 1555, 1000, 0, 5, " 1.555"},
        {0x85, 1555, 100, 0, 5, " 15.55"}, {0x85, 1555, 10, 0, 5, " 155.5"},
        {0x85, 1555, 1, 0, 5, " 1555"},    {0x8A, 1, 1, 0, 5, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatAxisAnalog(c.code, c.value, c.m, c.min, c.max), c.text) << c.code;
}

TEST(GraphScale, UnitsPerPixelLeavesStripAtEndOfData) {
    GraphDoc g;
    GraphDoc::FillEngine(g.Add("A"), 1000, 100, [](int) { return 3000; });
    CGraphViewState mid = WindowState(0, 30900, 0, 99900);
    GraphScaleFactors f = ComputeScaleFactors(g.doc, mid, 1600, 900);
    EXPECT_FALSE(f.atEnd);
    EXPECT_TRUE(f.atStart);
    EXPECT_DOUBLE_EQ(f.xUnitsPerPixel, 30900.0 / 1545);
    EXPECT_EQ(f.rpmPerPixel, 10000000 / 875);
    CGraphViewState end = WindowState(69000, 30900, 0, 99900);
    f = ComputeScaleFactors(g.doc, end, 1600, 900);
    EXPECT_TRUE(f.atEnd);
    EXPECT_DOUBLE_EQ(f.xUnitsPerPixel, 30900.0 / (1600 * 0.98 - 55));
    // The last sample then lies about 2 % of the width short of the right border.
    CGraphLayout layout;
    const CGraphScene& sc = layout.Build(g.doc, end, GraphOptions{}, 1600, 900);
    ASSERT_EQ(sc.polylines.size(), 1u);
    const GPolyline& pl = sc.polylines[0];
    EXPECT_NEAR(sc.points[pl.first + pl.count - 1].x, 1600 * 0.98, 1.0);
}

TEST(GraphLayoutAxes, MarginsTicksAndLabelsInPixels) {
    GraphDoc g;
    GraphDoc::FillEngine(g.Add("A"), 1000, 1000, [](int) { return 3000; });
    // 60 s window on 1545 plot pixels: 10 s major ticks, labels below the bottom at y 885.
    CGraphViewState st = WindowState(0, 600000, 0, 999000);
    CGraphLayout layout;
    const CGraphScene& sc = layout.Build(g.doc, st, GraphOptions{}, 1600, 900);
    ASSERT_TRUE(sc.hasDrawing);
    EXPECT_EQ(sc.plot.left, 55);
    EXPECT_EQ(sc.plot.bottom, 875);
    const GLine& axis = sc.lines[0];
    EXPECT_FLOAT_EQ(axis.x1, 55);
    EXPECT_FLOAT_EQ(axis.y2, 875);
    std::vector<std::pair<float, std::string>> xLabels;
    for (const GText& t : sc.texts)
        if (t.halign == HAlign::Center) xLabels.emplace_back(t.x, t.text);
    ASSERT_EQ(xLabels.size(), 6u);
    EXPECT_EQ(xLabels[0].second, "0:00");
    EXPECT_EQ(xLabels[1].second, "0:10");
    EXPECT_NEAR(xLabels[1].first, 55 + 100000 / (600000.0 / 1545), 1e-3);
    EXPECT_EQ(xLabels[5].second, "0:50");
    // RPM labels every 1000 RPM (span 10000 RPM) right-aligned at 45, one tick below the line.
    std::vector<const GText*> rpm;
    for (const GText& t : sc.texts)
        if (t.halign == HAlign::Right) rpm.push_back(&t);
    // 10000 RPM lies a fraction of a pixel above the plot with whole RPM per pixel.
    ASSERT_EQ(rpm.size(), 9u);
    EXPECT_EQ(rpm[0]->text, "1000");
    EXPECT_FLOAT_EQ(rpm[0]->x, 45);
    EXPECT_NEAR(rpm[0]->y, 875 - 1000000.0 / (10000000 / 875) + 5, 1e-3);
    EXPECT_EQ(rpm[8]->text, "9000");
}

TEST(GraphLayoutAxes, NothingToDrawGivesBackgroundOnly) {
    GraphDoc g;
    CBriodashDataset& ds = g.Add("A");
    GraphDoc::FillEngine(ds, 10, 100, [](int) { return 3000; });
    ds.m_rpm[0].m_nOn = 0;
    CGraphLayout layout;
    GraphOptions o;
    o.background = 0x123456;
    const CGraphScene& sc = layout.Build(g.doc, WindowState(0, 1000, 0, 900), o, 800, 600);
    EXPECT_FALSE(sc.hasDrawing);
    EXPECT_TRUE(sc.base.empty());
    EXPECT_EQ(sc.background, 0x123456u);
}

// Scale columns and the extreme labels of each analog scale.
struct ScaleSummary {
    std::size_t columns = 0;
    std::vector<std::string> labels;
};

ScaleSummary AnalogScales(bool combine) {
    GraphDoc g;
    CBriodashDataset& ds = g.Add("A");
    auto raw = [](int i) { return i * 40; };
    GraphDoc::FillAnalog(ds, 1, 135, -2, 2, 100, 100, 100, raw, "Left-Right");
    GraphDoc::FillAnalog(ds, 2, 135, -5, 5, 100, 100, 100, raw, "Front-Rear");
    CGraphViewState st = WindowState(0, 5000, 0, 9900);
    st.m_bCombineAnalogs = combine;
    CGraphLayout layout;
    const CGraphScene& sc = layout.Build(g.doc, st, GraphOptions{}, 800, 525);
    ScaleSummary out;
    out.columns = sc.scaleColumns.size();
    for (const GText& t : sc.texts)
        if (t.halign == HAlign::Right) out.labels.push_back(t.text);
    return out;
}

TEST(GraphLayoutScales, LikeAnalogsCombineIntoOneWidenedScale) {
    ScaleSummary off = AnalogScales(false);
    EXPECT_EQ(off.columns, 2u);
    ScaleSummary on = AnalogScales(true);
    ASSERT_EQ(on.columns, 1u);
    // One scale from -5 to 5 G: majors every 1 G above the bottom.
    ASSERT_FALSE(on.labels.empty());
    EXPECT_EQ(on.labels.front(), " -4.00");
    EXPECT_EQ(on.labels.back(), " 5.00");
}

TEST(GraphLayoutScales, HalfHeightScalesShareAColumnAfterSlip) {
    GraphDoc g;
    CBriodashDataset& ds = g.Add("A");
    auto raw = [](int i) { return i; };
    GraphDoc::FillAnalog(ds, 1, 132, 0, 100, 10, 10, 100, raw).m_nScaleMode = 3;
    GraphDoc::FillAnalog(ds, 2, 133, 0, 100, 10, 10, 100, raw).m_nScaleMode = 4;
    GraphDoc::FillAnalog(ds, 3, 134, 0, 5, 100, 10, 100, raw).m_nScaleMode = 1;
    GraphDoc::FillEngine(ds, 10, 100, [](int) { return 3000; });
    ds.m_rpm[0].m_nSlipOn = 1;
    CGraphLayout layout;
    const CGraphScene& sc =
        layout.Build(g.doc, WindowState(0, 500, 0, 900), GraphOptions{}, 800, 525);
    ASSERT_EQ(sc.scaleColumns.size(), 4u);
    EXPECT_EQ(sc.scaleColumns[0].channel, 0);  // slip at the right border
    EXPECT_EQ(sc.scaleColumns[1].column, 1);   // full-height scale first (position 1)
    EXPECT_FLOAT_EQ(sc.scaleColumns[1].axisX, 799 - 55);
    EXPECT_EQ(sc.scaleColumns[2].column, 2);  // lower half ...
    EXPECT_FLOAT_EQ(sc.scaleColumns[2].top, 250);
    EXPECT_EQ(sc.scaleColumns[3].column, 2);  // ... and upper half in the same column
    EXPECT_FLOAT_EQ(sc.scaleColumns[3].bottom, 250);
}

TEST(GraphLayoutDigital, BandsAndEventLines) {
    GraphDoc g;
    CBriodashDataset& ds = g.Add("A");
    CDigitalSetup d;
    d.m_nChannel = 1;
    d.m_nType = kDigitalGeneric;
    d.m_nBand = 2;
    d.m_fBandLow = 0.1f;
    d.m_fBandHigh = 0.9f;
    ds.m_carSetup.m_digital.push_back(d);
    d.m_nChannel = 2;
    d.m_nBand = 1;
    ds.m_carSetup.m_digital.push_back(d);
    for (int ch = 0; ch < 2; ++ch) {
        ds.m_digital[static_cast<std::size_t>(ch)].m_nOn = 1;
        for (int i = 0; i < 4; ++i) {
            CSample s;
            s.m_lTime = i * 1000;
            s.m_lRaw = s.m_lFiltered = (i == 1 || i == 2) ? 1 : 0;
            ds.m_digital[static_cast<std::size_t>(ch)].AddTail(s);
        }
    }
    // 1000 units of plot height; data ends at 3000 inside a 10000 window.
    CGraphLayout layout;
    const CGraphScene& sc =
        layout.Build(g.doc, WindowState(0, 10000, 0, 20000), GraphOptions{}, 1055, 1025);
    ASSERT_EQ(sc.polylines.size(), 1u);
    const GPolyline& pl = sc.polylines[0];
    std::vector<std::pair<float, float>> pts;
    for (uint32_t k = 0; k < pl.count; ++k)
        pts.emplace_back(sc.points[pl.first + k].x, sc.points[pl.first + k].y);
    const float low = 1000 - 100, high = 1000 - 900;
    const std::vector<std::pair<float, float>> want = {{55, low},   {155, low}, {155, high},
                                                       {355, high}, {355, low}, {1054, low}};
    EXPECT_EQ(pts, want);
    // Event style: a full-height line where the value changes (and at the first sample).
    std::vector<float> lines;
    for (const GLine& l : sc.lines)
        if (l.y1 == 0 && l.y2 == 1000 && l.x1 > 55) lines.push_back(l.x1);
    EXPECT_EQ(lines, (std::vector<float>{155, 355}));
}

TEST(GraphLayoutTraces, SpeedInLowerHalfAndBelowBottom) {
    GraphDoc g;
    CBriodashDataset& ds = g.Add("A");
    GraphDoc::FillEngine(
        ds, 100, 100, [](int) { return 1000; }, 1, kRpmRearWheel);
    CFreqSetup& rear = ds.m_carSetup.m_rpm.back();
    rear.m_nDisplayMode = kDisplaySpeed;
    rear.m_fCircumference = 80;  // 1000 RPM: 75.70 MPH
    CGraphViewState st = WindowState(0, 5000, 0, 9900, 10000000, 10000000);
    st.m_lMphMax = 7570;
    st.m_bMphLowerHalf = true;
    GraphScaleFactors f = ComputeScaleFactors(g.doc, st, 800, 1025);
    ASSERT_TRUE(f.speedScale);
    EXPECT_EQ(f.mphFactor, 10000000 / (2 * 7570));
    CGraphLayout layout;
    const CGraphScene& sc = layout.Build(g.doc, st, GraphOptions{}, 800, 1025);
    ASSERT_EQ(sc.polylines.size(), 1u);
    // The top speed sits at the middle of the plot.
    EXPECT_NEAR(sc.points[sc.polylines[0].first].y, 500, 1.0);
    // Raised RPM bottom: the trace runs along the bottom instead of leaving the plot.
    st.m_lRpmBottom = 8000000;
    st.m_lRpmSpan = 2000000;
    const CGraphScene& low = layout.Build(g.doc, st, GraphOptions{}, 800, 1025);
    ASSERT_EQ(low.polylines.size(), 1u);
    for (uint32_t k = 0; k < low.polylines[0].count; ++k)
        EXPECT_FLOAT_EQ(low.points[low.polylines[0].first + k].y, 1000);
}

TEST(GraphLayoutTraces, SpeedCheckNamesChannelsWithoutCarInformation) {
    GraphDoc g;
    CBriodashDataset& ds = g.Add("Run 1");
    GraphDoc::FillEngine(
        ds, 10, 100, [](int) { return 3000; }, 1, 1);
    GraphDoc::FillEngine(
        ds, 10, 100, [](int) { return 3000; }, 2, kRpmDriveShaft);
    for (CFreqSetup& s : ds.m_carSetup.m_rpm) s.m_nDisplayMode = kDisplaySpeed;
    EXPECT_EQ(CheckSpeedData(g.doc, g.host), 1);
    ASSERT_EQ(g.host.messages.size(), 1u);
    EXPECT_EQ(g.host.messages[0].text,
              "Dataset 'Run 1':Engine, Drive Shaft are missing some of the information\nrequired "
              "to view MPH/KPH graphs and will not be displayed");
    EXPECT_EQ(g.host.messages[0].icon, Icon::Information);
    // Those traces are not drawn.
    CGraphLayout layout;
    EXPECT_TRUE(layout.Build(g.doc, WindowState(0, 500, 0, 900), GraphOptions{}, 800, 600)
                    .polylines.empty());
}

// Raw counts 0..4095 from a linear congruential sequence; `seed` goes on from one channel to the
// next.
auto NoiseFrom(uint32_t& seed) {
    return [&seed](int) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 16) % 4096);
    };
}

// Every trace point grouped by device pixel column against every sample's point.
void ExpectEnvelope(int32_t span, int32_t dt, double dpr) {
    SCOPED_TRACE(testing::Message() << "span " << span << " dt " << dt << " dpr " << dpr);
    GraphDoc g;
    CBriodashDataset& ds = g.Add("A");
    uint32_t seed = 12345;
    auto noise = NoiseFrom(seed);
    const int32_t start = 7 * dt * 100;
    // Data continue past the window, so units per pixel are span / 1545.
    const int n = (start + span) / dt + 1000;
    GraphDoc::FillAnalog(ds, 1, 135, -5, 5, 100, n, dt, noise);
    CGraphViewState st = WindowState(start, span, 0, (n - 1) * dt);
    CGraphLayout layout;
    const CGraphScene& sc = layout.Build(g.doc, st, GraphOptions{}, 1600, 900, dpr);
    ASSERT_EQ(sc.polylines.size(), 1u);
    const double upp = span / 1545.0;
    std::map<int64_t, std::pair<float, float>> drawn, brute;
    auto add = [](auto& m, int64_t c, float y) {
        auto [it, fresh] = m.try_emplace(c, y, y);
        if (!fresh) it->second = {std::min(it->second.first, y), std::max(it->second.second, y)};
    };
    const GPolyline& pl = sc.polylines[0];
    for (uint32_t k = 0; k < pl.count; ++k) {
        const GPoint& p = sc.points[pl.first + k];
        add(drawn, static_cast<int64_t>(std::floor((p.x - 55) * dpr)), p.y);
    }
    const CAnalogSetup& a = ds.m_carSetup.m_analog[0];
    const double perPixel = (a.m_fMax - a.m_fMin) * 100.0 / 875;
    const CSampleList& s = ds.m_analog[0];
    for (std::size_t i = 0; i < s.m_samples.size(); ++i) {
        const int32_t t = s.m_samples[i].m_lTime;
        const bool lastBefore =
            t <= start && (i + 1 == s.m_samples.size() || s.m_samples[i + 1].m_lTime > start);
        const bool firstAfter = t > start + span && s.m_samples[i - 1].m_lTime <= start + span;
        if (!(lastBefore || (t > start && t <= start + span) || firstAfter)) continue;
        const int64_t col = t <= start ? 0 : static_cast<int64_t>((t - start) / upp * dpr);
        const double v = a.Convert(s.m_samples[i].m_lRaw, Units::Imperial, 0);
        const auto y = static_cast<float>(std::min(875.0, 875 - (v - 100.0 * a.m_fMin) / perPixel));
        add(brute, col, y);
    }
    EXPECT_EQ(drawn, brute);
    EXPECT_LE(pl.count, 4 * 1545 * dpr + 8);
}

TEST(GraphLayoutTraces, ReducedTraceEqualsEnvelopeOfAllSamples) {
    ExpectEnvelope(1545 * 256, 7, 1.0);  // about 37 samples per column
    ExpectEnvelope(1545 * 256, 7, 2.0);  // device pixels of a high-density screen
    ExpectEnvelope(1545 * 8, 3, 1.0);    // zoomed in: every sample drawn
    ExpectEnvelope(1545 * 64, 1, 1.0);   // 64 samples per column
    ExpectEnvelope(1545 * 700, 1, 1.0);  // over a million samples: keys kept in their own array
}

TEST(GraphLayoutTraces, ColumnsTakenFromTheLastDrawingEqualColumnsReducedAfresh) {
    // The same window again, windows moved by whole columns and by parts of one, a wider and
    // a narrower window and one reaching the end of the data: the kept layout (which takes
    // columns from its last drawing) draws every point a new layout draws.
    GraphDoc g;
    CBriodashDataset& ds = g.Add("A");
    uint32_t seed = 99;
    auto noise = NoiseFrom(seed);
    const int n = 400000;
    GraphDoc::FillAnalog(ds, 1, 135, -5, 5, 100, n, 2, noise);
    const int32_t end = (n - 1) * 2;
    const int32_t span = 1545 * 100;  // 100 units, 50 samples per column
    const struct {
        int32_t start, span;
    } windows[] = {{1000, span},
                   {1000, span},
                   {1000 + 100 * 7, span},
                   {1000 + 100 * 7 + 33, span},
                   {1000 + 100 * 14, span},
                   {1000, span * 2},
                   {1000, span / 2},
                   {end - span + 50, span},
                   {end - span + 50, span},
                   {0, end},
                   {0, end}};
    CGraphLayout kept;
    for (const auto& w : windows) {
        SCOPED_TRACE(testing::Message() << "window " << w.start << " + " << w.span);
        const CGraphViewState st = WindowState(w.start, w.span, 0, end);
        const CGraphScene& again = kept.Build(g.doc, st, GraphOptions{}, 1600, 900);
        CGraphLayout fresh;
        const CGraphScene& first = fresh.Build(g.doc, st, GraphOptions{}, 1600, 900);
        ASSERT_EQ(again.polylines.size(), 1u);
        ASSERT_EQ(first.polylines.size(), 1u);
        const GPolyline &a = again.polylines[0], &b = first.polylines[0];
        ASSERT_EQ(a.count, b.count);
        for (uint32_t k = 0; k < a.count; ++k) {
            ASSERT_EQ(again.points[a.first + k].x, first.points[b.first + k].x) << k;
            ASSERT_EQ(again.points[a.first + k].y, first.points[b.first + k].y) << k;
        }
    }
}

TEST(GraphLayoutTraces, TracesSharedBetweenTwoThreadsComeOutInTheirOrder) {
    // Enough samples for the traces to be reduced by two threads: each trace equals the one
    // drawn alone, and they follow one another in channel order.
    GraphDoc g;
    CBriodashDataset& ds = g.Add("A");
    uint32_t seed = 7;
    auto noise = NoiseFrom(seed);
    const int n = 60000;
    for (int ch = 1; ch <= 5; ++ch) GraphDoc::FillAnalog(ds, ch, 135, -5, 5, 100, n, 2, noise);
    const CGraphViewState st = WindowState(0, (n - 1) * 2, 0, (n - 1) * 2);
    CGraphLayout together;
    const CGraphScene& all = together.Build(g.doc, st, GraphOptions{}, 1600, 900);
    ASSERT_EQ(all.polylines.size(), 5u);
    std::vector<uint32_t> order;
    for (const GPrim& p : all.base)
        if (p.kind == PrimKind::Polyline) order.push_back(p.index);
    EXPECT_EQ(order, (std::vector<uint32_t>{0, 1, 2, 3, 4}));
    for (int ch = 1; ch <= 5; ++ch) {
        SCOPED_TRACE(testing::Message() << "channel " << ch);
        for (int k = 1; k <= 5; ++k) ds.m_analog[static_cast<std::size_t>(k - 1)].m_nOn = k == ch;
        CGraphLayout alone;
        const CGraphScene& one = alone.Build(g.doc, st, GraphOptions{}, 1600, 900);
        ASSERT_EQ(one.polylines.size(), 1u);
        const GPolyline &a = all.polylines[static_cast<std::size_t>(ch - 1)], &b = one.polylines[0];
        EXPECT_EQ(a.color, b.color);
        ASSERT_EQ(a.count, b.count);
        for (uint32_t k = 0; k < a.count; ++k) {
            ASSERT_EQ(all.points[a.first + k].x, one.points[b.first + k].x) << k;
            ASSERT_EQ(all.points[a.first + k].y, one.points[b.first + k].y) << k;
        }
    }
}

TEST(GraphScene, ATraceTooShortLeavesNoEntryWhenOtherPrimitivesFollowedIt) {
    CGraphScene sc;
    sc.BeginPolyline(1);
    sc.AddPoint(1, 1);
    sc.AddLine(0, 0, 5, 5, 2);
    sc.EndPolyline();
    EXPECT_TRUE(sc.polylines.empty());
    ASSERT_EQ(sc.base.size(), 1u);
    EXPECT_EQ(sc.base[0].kind, PrimKind::Line);
}

TEST(GraphSettings, OptionsAndFirstStateFromTheApplication) {
    CDataAcqApp app("/nonexistent/ORVEX.INI");
    app.SetColor(AppColor::GraphBackground, 0x101010);
    app.SetColor(AppColor::GraphTimeLabel, 0x202020);
    app.SetAnalogScales(false);
    app.SetXAxisMode(2);
    app.SetMphScale(true);
    app.SetLikeAnalogs(false);
    const GraphOptions o = GraphOptionsFrom(app);
    EXPECT_EQ(o.background, 0x101010u);
    EXPECT_EQ(o.timeLabel, 0x202020u);
    EXPECT_FALSE(o.analogScales);
    EXPECT_EQ(o.voltageCorrection, 0.0f);
    CGraphViewState st;
    InitViewState(st, app);
    EXPECT_EQ(st.m_nAxisMode, kAxisDistance);
    EXPECT_EQ(st.m_nTimeAxis, 0);
    EXPECT_TRUE(st.m_bMphLowerHalf);
    EXPECT_FALSE(st.m_bCombineAnalogs);
}

}  // namespace
}  // namespace orvex::test
