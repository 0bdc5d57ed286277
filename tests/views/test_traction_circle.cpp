// Traction circle: which accelerometers it reads, ranges at one scale, the layout's sides and
// ticks, marker values with their decimals, and the missing-position message.
#include <gtest/gtest.h>

#include "support/FakeHost.h"
#include "views/TractionCircle.h"
#include "views/ViewData.h"
#include "views/ViewTestData.h"

namespace orvex {
namespace {

using test::SessionBuilder;
using test::Whole;

constexpr int32_t kSecond = 10000;

// A session with left-right on channel 1 and front-rear on channel 2, both ±5 G, samples of
// (left-right, front-rear) in units of 1 / resolution one second apart from `t0`.
std::unique_ptr<CBriodashDataset> Accels(const std::string& name, int32_t lrResolution,
                                         int32_t frResolution,
                                         const std::vector<std::pair<int32_t, int32_t>>& points,
                                         int32_t t0 = 0, int32_t type = kAnalogCustom) {
    std::vector<std::pair<int32_t, int32_t>> lr, fr;
    int32_t t = t0;
    for (auto [x, y] : points) {
        lr.push_back({t, x});
        fr.push_back({t, y});
        t += kSecond;
    }
    return SessionBuilder(name)
        .Analog(1, "LEFT-RIGHT", -5, 5, lrResolution, type)
        .Analog(2, "FRONT-REAR", -5, 5, frResolution, type)
        .Values(1, lr)
        .Values(2, fr)
        .Build();
}

CFrictionCircle Circle(const std::vector<CDatasetList>& entries) {
    CFrictionCircle c(FrictionSettings{}, Units::Imperial);
    c.SetSelection(entries);
    return c;
}

TEST(TractionCircleChannels, AccelerometersAreFoundByNameWithoutCaseAmongTheirTypes) {
    struct Case {
        int32_t type;
        const char* description;
        bool found;
    };
    const Case cases[] = {
        {kAnalogCustom, "LEFT-RIGHT", true},       {kAnalogAccel, "left-right", true},
        {kAnalog2Accel, "Left-Right Accel", true}, {kAnalog2Shock, "Left-Right", false},
        {kAnalog2Accel, "Up-Down Accel", false},
    };
    for (const Case& c : cases) {
        CCarSetup car;
        car.m_analog.push_back(test::AnalogChannel(4, c.type, c.description, -5, 5, 100));
        EXPECT_EQ(FindAccelerometer(car, kLeftRightName) != nullptr, c.found) << c.description;
    }
}

TEST(TractionCircleChannels, ASessionWithoutBothChannelsContributesNothing) {
    auto full = Accels("Full", 100, 100, {{10, 20}, {30, 40}});
    auto half =
        SessionBuilder("Half").Analog(1, "LEFT-RIGHT", -5, 5, 100).Values(1, {{0, 400}}).Build();
    CFrictionCircle c = Circle({Whole(*full), Whole(*half)});
    EXPECT_EQ(c.PointCount(), 2u);
    EXPECT_EQ(c.LrMax(), 30);
    CFrictionCircle empty = Circle({Whole(*half)});
    EXPECT_EQ(empty.PointCount(), 0u);
    EXPECT_GT(empty.LrMin(), empty.LrMax());  // inverted: nothing plotted
}

TEST(TractionCircleRanges, SessionsOfCoarserResolutionArePlottedAtTheCommonScale) {
    // 0.5 G left-right in both sessions: 5 tenths in one, 50 hundredths in the other.
    auto coarse = Accels("Coarse", 10, 10, {{5, -3}});
    auto fine = Accels("Fine", 100, 100, {{50, 20}});
    CFrictionCircle c = Circle({Whole(*coarse), Whole(*fine)});
    EXPECT_EQ(c.PlotUnitsPerG(), 100);
    EXPECT_EQ(c.LrMin(), 50);
    EXPECT_EQ(c.LrMax(), 50);
    EXPECT_EQ(c.FrMin(), -30);
    EXPECT_EQ(c.FrMax(), 20);
}

TEST(TractionCircleLayout, AxesShowOneSideWhenAllValuesShareTheSign) {
    struct Case {
        std::vector<std::pair<int32_t, int32_t>> points;
        double xLo, xHi, yLo, yHi;
    };
    const Case cases[] = {
        {{{-120, 30}, {80, 40}}, -200, 200, 0, 100},  // braking never: the upper half only
        {{{-120, -30}, {80, 140}}, -200, 200, -200, 200},
        {{{10, -30}, {80, -40}}, 0, 100, -100, 0},
        {{{-10, 0}, {-250, 0}}, -300, 0, 0, 100},
    };
    for (const Case& c : cases) {
        auto ds = Accels("S", 100, 100, c.points);
        const FrictionLayout l = Circle({Whole(*ds)}).Layout(400, 300);
        EXPECT_DOUBLE_EQ(l.xLo, c.xLo);
        EXPECT_DOUBLE_EQ(l.xHi, c.xHi);
        EXPECT_DOUBLE_EQ(l.yLo, c.yLo);
        EXPECT_DOUBLE_EQ(l.yHi, c.yHi);
    }
}

TEST(TractionCircleLayout, MappingIsIsotropicWithATenPixelMargin) {
    auto ds = Accels("S", 100, 100, {{-150, -50}, {150, 90}});
    const FrictionLayout l = Circle({Whole(*ds)}).Layout(620, 300);
    // 4 G by 2 G (400 by 200 plot units) fill the 280 pixels of height: 1.4 pixels a unit,
    // centred across the width.
    EXPECT_DOUBLE_EQ(l.scale, 1.4);
    EXPECT_DOUBLE_EQ(l.top, 10);
    EXPECT_DOUBLE_EQ(l.bottom, 290);
    EXPECT_DOUBLE_EQ(l.left, 30);
    EXPECT_DOUBLE_EQ(l.right, 590);
    EXPECT_DOUBLE_EQ(l.X(0), 310);
    EXPECT_DOUBLE_EQ(l.Y(0), 150);
    EXPECT_DOUBLE_EQ(l.Y(100), 10);
}

TEST(TractionCircleLayout, TicksEveryTenthOfAGLabelledAtHalvesAndWholes) {
    auto ds = Accels("S", 100, 100, {{-90, 10}, {90, 10}});
    CFrictionCircle c = Circle({Whole(*ds)});
    const FrictionLayout l = c.Layout(400, 400);
    std::vector<FrictionTick> ticks = c.Ticks(l, true);
    ASSERT_EQ(ticks.size(), 21u);  // -1.0 .. 1.0 G
    struct Want {
        std::size_t index;
        double value;
        TickKind kind;
        const char* label;
    };
    const Want wants[] = {{0, -100, TickKind::Long, "-1.0"}, {5, -50, TickKind::Medium, "-0.5"},
                          {6, -40, TickKind::Short, ""},     {10, 0, TickKind::Line, ""},
                          {15, 50, TickKind::Medium, "0.5"}, {20, 100, TickKind::Long, "1.0"}};
    for (const Want& w : wants) {
        EXPECT_NEAR(ticks[w.index].value, w.value, 1e-9);
        EXPECT_EQ(ticks[w.index].kind, w.kind) << w.index;
        EXPECT_EQ(ticks[w.index].label, w.label);
    }
    EXPECT_EQ(c.Ticks(l, false).size(), 11u);  // front-rear 0 .. 1.0 G
    c.Settings().xGrid = true;
    for (const FrictionTick& t : c.Ticks(l, true)) EXPECT_EQ(t.kind, TickKind::Line);
    for (const FrictionTick& t : c.Ticks(l, false))
        EXPECT_EQ(t.kind == TickKind::Line, t.value == 0.0);
}

TEST(TractionCircleMarkers, ValueTextDecimalsFollowTheResolutionFactors) {
    struct Case {
        int32_t lrRes, frRes;
        std::pair<int32_t, int32_t> point;
        const char* text;
    };
    const Case cases[] = {
        {100, 100, {40, 30}, " F-R: 0.30  L-R: 0.40  Max G: 0.50 "},
        {10, 100, {4, 30}, " F-R: 0.30  L-R: 0.4  Max G: 0.5 "},
        {1000, 10, {-400, 3}, " F-R: 0.3  L-R: -0.400  Max G: 0.5 "},
        {1, 1, {3, 4}, " F-R: 4  L-R: 3  Max G: 5 "},
    };
    for (const Case& c : cases) {
        test::FakeHost host;
        auto ds = Accels("S", c.lrRes, c.frRes, {{0, 0}, c.point, {0, 0}});
        CFrictionCircle circle = Circle({Whole(*ds)});
        EXPECT_TRUE(circle.MoveMarker(true, kSecond + 10, host));
        EXPECT_EQ(circle.ValueText(true), c.text);
        EXPECT_TRUE(host.messages.empty());
    }
}

TEST(TractionCircleMarkers, MissingPositionIsReportedOnceUntilFoundAgain) {
    test::FakeHost host;
    auto a = Accels("A", 100, 100, {{1, 1}, {2, 2}, {3, 3}});
    auto b = Accels("B", 100, 100, {{4, 4}, {5, 5}}, 10 * kSecond);
    CFrictionCircle c = Circle({Whole(*a), Whole(*b)});
    const char* missing =
        "Unable to Draw Red Marker for Friction Circle!\nSession(s) selected does NOT contain "
        "Marker position.";
    EXPECT_TRUE(c.MoveMarker(false, 5 * kSecond, host));
    EXPECT_FALSE(c.Marker(false).drawn);
    EXPECT_TRUE(c.MoveMarker(false, 6 * kSecond, host));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{missing});
    EXPECT_EQ(host.messages[0].icon, Icon::Warning);
    EXPECT_FALSE(c.MoveMarker(false, 6 * kSecond, host));  // unchanged: nothing redrawn
    EXPECT_TRUE(c.MoveMarker(false, 11 * kSecond, host));
    EXPECT_TRUE(c.Marker(false).drawn);
    EXPECT_EQ(c.Marker(false).entry, 1);
    EXPECT_DOUBLE_EQ(c.Marker(false).lrG, 0.05);
    EXPECT_TRUE(c.MoveMarker(false, 7 * kSecond, host));
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_TRUE(c.ValueText(false).empty());
}

TEST(TractionCircleMenu, TenSessionsGiveNineColourItemsAndMore) {
    std::vector<std::unique_ptr<CBriodashDataset>> sessions;
    std::vector<CDatasetList> entries;
    for (int i = 0; i < 10; ++i) {
        sessions.push_back(Accels("Run " + std::to_string(i + 1), 100, 100, {{0, 0}}));
        sessions.back()->m_analog[0].m_crTrace = static_cast<int32_t>(MakeRGB(i, 0, 0));
        entries.push_back(Whole(*sessions.back()));
    }
    CFrictionCircle c = Circle(entries);
    const std::vector<std::string> items = c.ColourItems();
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[8], "Run 9");
    EXPECT_EQ(items[9], kMoreSessions);
    EXPECT_EQ(c.Entries()[3].colour, MakeRGB(3, 0, 0));  // the left-right trace colour
    entries.pop_back();
    EXPECT_EQ(Circle(entries).ColourItems().size(), 9u);
}

TEST(TractionCircleSmoothing, TheViewsLevelReplacesTheSetupsWhileReading) {
    auto ds = Accels("S", 100, 100, {{0, 0}, {0, 0}, {0, 0}, {400, 0}});
    FrictionSettings s;
    s.lrSmoothing = 4;
    CFrictionCircle c(s, Units::Imperial);
    c.SetSelection({Whole(*ds)});
    EXPECT_EQ(c.Entries()[0].lrValues.front(), 100);  // the mean of four samples
    c.Settings().lrSmoothing = 1;
    c.Recompute();
    EXPECT_EQ(c.Entries()[0].lrValues.front(), 0);
    EXPECT_EQ(c.LrMax(), 400);
}

}  // namespace
}  // namespace orvex
