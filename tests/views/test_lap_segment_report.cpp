// Lap segment report: segment ends scaled to each lap's length, segment times, speeds
// columns, fastest values where ties keep the earlier lap, the "Best Lap" row and colours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>

#include "processing/SpeedDistance.h"
#include "views/LapReportModel.h"
#include "views/LapSegmentReport.h"

namespace orvex {
namespace {

constexpr int32_t kTick = 1000;  // one sample every 0.1 s

struct Knot {
    double seconds;
    double feet;
};

// A session whose rear wheel (channel 2) covers the distance of the knots, linear between
// them, with lap lines at the laps' first knots and the last knot. `periods` overrides the
// wheel's period at given sample times (seconds × 10).
std::unique_ptr<CBriodashDataset> Session(const std::vector<std::vector<Knot>>& laps,
                                          const std::map<int, int32_t>& periods = {}) {
    auto ds = std::make_unique<CBriodashDataset>();
    ds->m_strName = "Track";
    ds->m_carSetup.m_rpm = {CFreqSetup::Make(2, kRpmRearWheel, Units::Imperial)};
    ds->m_carSetup.m_rpm[0].m_nDisplayMode = kDisplaySpeed;
    std::vector<Knot> knots;
    int32_t code = 0;
    for (const auto& lap : laps) {
        CSample mark;
        mark.m_lTime = static_cast<int32_t>(std::lround(lap.front().seconds * 10000));
        mark.m_lRaw = mark.m_lFiltered = code;
        code += 100;
        ds->m_markers.AddTail(mark);
        for (const Knot& k : lap)
            if (knots.empty() || k.seconds > knots.back().seconds) knots.push_back(k);
    }
    CSample last;
    last.m_lTime = static_cast<int32_t>(std::lround(knots.back().seconds * 10000));
    last.m_lRaw = last.m_lFiltered = code;
    ds->m_markers.AddTail(last);
    CShaftList& wheel = ds->m_rpm[1];
    std::size_t k = 0;
    for (int i = 0; i * 0.1 <= knots.back().seconds + 1e-9; ++i) {
        const double t = i * 0.1;
        while (k + 2 < knots.size() && t > knots[k + 1].seconds - 1e-9) ++k;
        const Knot& a = knots[k];
        const Knot& b = knots[k + 1];
        const double feet = a.feet + (b.feet - a.feet) * (t - a.seconds) / (b.seconds - a.seconds);
        CShaft s;
        s.m_lTime = i * kTick;
        auto p = periods.find(i);
        s.m_lRaw = s.m_lFiltered = p == periods.end() ? 20000 : p->second;
        s.m_lDistance = static_cast<int32_t>(std::lround(feet * 10));
        wheel.AddTail(s);
    }
    ds->ApplySettingsToSeries();
    return ds;
}

// A map of 1000 ft: a right turn to 300 ft, a straight to 700 ft, a left turn to the line.
MapSegments Map() {
    MapSegments m;
    m.lapLength = 1000;
    m.ends = {300, 700, 1000};
    m.kinds = {kRightTurn, kStraight, kLeftTurn};
    return m;
}

// Lap 1: 2 + 5 + 3 s; lap 2: 3 + 3 + 3 s; lap 3 is 10 % longer (its segments end at 330 and
// 770 ft): 2 + 4 + 3.5 s; lap 4: 3 + 3 + 3 s.
std::vector<std::vector<Knot>> FourLaps() {
    return {{{0, 0}, {2, 300}, {7, 700}, {10, 1000}},
            {{10, 1000}, {13, 1300}, {16, 1700}, {19, 2000}},
            {{19, 2000}, {21, 2330}, {25, 2770}, {28.5, 3100}},
            {{28.5, 3100}, {31.5, 3400}, {34.5, 3800}, {37.5, 4100}}};
}

std::vector<std::string> Texts(const LapReportRow& row) {
    std::vector<std::string> out;
    for (const LapReportCell& c : row.cells) out.push_back(c.text);
    return out;
}

std::vector<bool> Bests(const LapReportRow& row) {
    std::vector<bool> out;
    for (const LapReportCell& c : row.cells) out.push_back(c.best);
    return out;
}

TEST(LapSegmentReport, SegmentEndsScaleWithEachLapsLength) {
    auto ds = Session(FourLaps());
    const LapReportTable t = BuildLapReport(*ds, 2, Map(), {}, {}, Units::Imperial);
    ASSERT_EQ(t.rows.size(), 4u);
    using V = std::vector<std::string>;
    EXPECT_EQ(t.rows[0].lap, "1");
    EXPECT_EQ(Texts(t.rows[0]), (V{"0:10.000", "0:02.000", "0:05.000", "0:03.000"}));
    EXPECT_EQ(Texts(t.rows[1]), (V{"0:09.000", "0:03.000", "0:03.000", "0:03.000"}));
    EXPECT_EQ(Texts(t.rows[2]), (V{"0:09.500", "0:02.000", "0:04.000", "0:03.500"}));
    std::vector<std::string> headers;
    for (const LapReportColumn& c : t.columns) headers.push_back(c.header);
    EXPECT_EQ(headers, (V{"Lap\nNumber", "Lap\nTime", "Segment #1\nTime", "Segment #2\nTime",
                          "Segment #3\nTime"}));
}

TEST(LapSegmentReport, FastestValuesKeepTheEarlierLapOnTies) {
    auto ds = Session(FourLaps());
    LapReportOptions o;
    o.highliteBest = true;
    o.calculateBest = true;
    LapReportTable t = BuildLapReport(*ds, 2, Map(), o, {}, Units::Imperial);
    ASSERT_EQ(t.rows.size(), 5u);
    // Lap time 9.000 in laps 2 and 4, segment 1 2.000 in laps 1 and 3, segment 2 3.000 in
    // laps 2 and 4, segment 3 3.000 in laps 1, 2 and 4.
    using B = std::vector<bool>;
    EXPECT_EQ(Bests(t.rows[0]), (B{false, true, false, true}));
    EXPECT_EQ(Bests(t.rows[1]), (B{true, false, true, false}));
    EXPECT_EQ(Bests(t.rows[2]), (B{false, false, false, false}));
    EXPECT_EQ(Bests(t.rows[3]), (B{false, false, false, false}));
    EXPECT_EQ(t.rows[1].cells[0].background, kBestGrey);
    EXPECT_EQ(t.rows[4].lap, kBestLapRow);
    EXPECT_EQ(Texts(t.rows[4]),
              (std::vector<std::string>{"0:08.000", "0:02.000", "0:03.000", "0:03.000"}));

    // Only laps 3 and 4 compete; lap 1 and 2 are still listed.
    o.useSelected = true;
    t = BuildLapReport(*ds, 2, Map(), o, {3, 4}, Units::Imperial);
    EXPECT_EQ(Bests(t.rows[2]), (B{false, true, false, false}));
    EXPECT_EQ(Bests(t.rows[3]), (B{true, false, true, true}));
    EXPECT_EQ(Texts(t.rows[4])[0], "0:08.000");
    // Only the selected laps are listed.
    o.viewAll = false;
    t = BuildLapReport(*ds, 2, Map(), o, {3}, Units::Imperial);
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].lap, "3");
}

TEST(LapSegmentReport, SpeedsGiveStraightsEntryAndMaximumAndCornersTheMinimum) {
    // Sample 15 (1.5 s) is slow in the first corner, sample 50 (5 s) fast on the straight.
    auto ds = Session({FourLaps()[0]}, {{15, 40000}, {50, 10000}});
    LapReportOptions o;
    o.displaySpeeds = true;
    const LapReportTable t = BuildLapReport(*ds, 2, Map(), o, {}, Units::Imperial);
    std::vector<std::string> headers;
    for (const LapReportColumn& c : t.columns) headers.push_back(c.header);
    EXPECT_EQ(headers,
              (std::vector<std::string>{
                  "Lap\nNumber", "Lap\nTime", "\nTime", "Segment #1\nMin Speed", "\nTime",
                  "Segment #2\nEntry Speed", "\nMax Speed", "\nTime", "Segment #3\nMin Speed"}));
    auto speed = [&](int sample) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%3.2f",
                      ShaftSpeed(*ds, 2, sample, Units::Imperial) / 100.0);
        return std::string(buf);
    };
    ASSERT_NE(speed(15), speed(0));
    const std::vector<std::string> cells = Texts(t.rows[0]);
    ASSERT_EQ(cells.size(), 8u);
    EXPECT_EQ(cells[2], speed(15));  // corner minimum
    EXPECT_EQ(cells[4], speed(20));  // entry at 2 s
    EXPECT_EQ(cells[5], speed(50));  // straight maximum
    EXPECT_EQ(cells[7], speed(0));
}

TEST(LapSegmentReport, ColourKeysFollowTheSegmentKinds) {
    auto ds = Session({FourLaps()[0]});
    MapSegments map = Map();
    map.markedSegment = 2;
    LapReportOptions o;
    o.colorSegs = true;
    LapReportColours colours;
    colours.rightTurn = MakeRGB(255, 255, 0);  // light: black text
    colours.leftTurn = MakeRGB(0, 0, 128);     // dark: white text
    const LapReportTable t = BuildLapReport(*ds, 2, map, o, {}, Units::Imperial, colours);
    const std::vector<LapReportCell>& c = t.rows[0].cells;
    EXPECT_EQ(c[0].background, MakeRGB(255, 255, 255));
    EXPECT_EQ(c[1].background, colours.rightTurn);
    EXPECT_EQ(c[1].foreground, MakeRGB(0, 0, 0));
    EXPECT_EQ(c[2].background, kMarkedSegmentGrey);
    EXPECT_EQ(c[3].background, colours.leftTurn);
    EXPECT_EQ(c[3].foreground, MakeRGB(255, 255, 255));
    // Pure blue is dark, magenta and cyan are not.
    const std::pair<ColorRef, ColorRef> keys[] = {{MakeRGB(0, 0, 255), MakeRGB(255, 255, 255)},
                                                  {MakeRGB(255, 0, 255), MakeRGB(0, 0, 0)},
                                                  {MakeRGB(0, 255, 255), MakeRGB(0, 0, 0)}};
    for (auto [key, text] : keys) {
        colours.leftTurn = key;
        const LapReportTable k = BuildLapReport(*ds, 2, map, o, {}, Units::Imperial, colours);
        EXPECT_EQ(k.rows[0].cells[3].foreground, text) << std::hex << key;
    }
}

TEST(LapSegmentReport, TimesHaveThreeDecimals) {
    const std::pair<int32_t, const char*> cases[] = {
        {623500, "1:02.350"}, {0, "0:00.000"}, {99999, "0:09.999"}, {-15000, "-0:01.500"}};
    for (auto [t, text] : cases) EXPECT_EQ(FormatSegmentTime(t), text);
}

TEST(LapSegmentReport, TheTableModelHoldsTheLapColumnThenTheCellsWithTheirColours) {
    auto ds = Session({FourLaps()[0]});
    MapSegments map = Map();
    map.markedSegment = 2;
    LapReportOptions o;
    o.colorSegs = true;
    LapReportColours colours;
    colours.leftTurn = MakeRGB(0, 0, 128);
    CLapReportModel model;
    model.SetTable(BuildLapReport(*ds, 2, map, o, {}, Units::Imperial, colours));
    ASSERT_EQ(model.ColumnCount(), 5);
    ASSERT_EQ(model.RowCount(), 1);
    EXPECT_EQ(model.Header(0), "Lap\nNumber");
    EXPECT_EQ(model.Header(2), "Segment #1\nTime");
    EXPECT_EQ(model.Text(0, 0), "1");
    EXPECT_EQ(model.Text(0, 1), model.Table().rows[0].cells[0].text);
    EXPECT_FALSE(model.CellBackground(0, 0));  // the lap number sits on the view's colour
    EXPECT_EQ(model.CellBackground(0, 3), kMarkedSegmentGrey);
    EXPECT_EQ(model.CellBackground(0, 4), colours.leftTurn);
    EXPECT_EQ(model.TextColour(0, 4), MakeRGB(255, 255, 255));
    EXPECT_EQ(model.Text(1, 0), "");
    // Each column is its sample text's width + 10, kept while the columns stay.
    model.FitColumns([](const std::string& text) { return static_cast<int>(text.size()) * 6; });
    EXPECT_EQ(model.ColumnWidth(0), 6 * 6 + 10);   // "Number"
    EXPECT_EQ(model.ColumnWidth(1), 9 * 6 + 10);   // "##:##.###"
    EXPECT_EQ(model.ColumnWidth(2), 11 * 6 + 10);  // "Segment ###"
    model.SetTable(BuildLapReport(*ds, 2, map, {}, {}, Units::Imperial));
    EXPECT_EQ(model.ColumnWidth(2), 11 * 6 + 10);
    o.displaySpeeds = true;
    model.SetTable(BuildLapReport(*ds, 2, map, o, {}, Units::Imperial));
    EXPECT_NE(model.ColumnWidth(2), 11 * 6 + 10);
}

}  // namespace
}  // namespace orvex
