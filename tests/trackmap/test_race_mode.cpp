// Race mode: choosing laps, the race menu, race markers at one elapsed time, stepping,
// following the markers and the marker list's race columns.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "support/FakeHost.h"
#include "trackmap/RaceMode.h"

namespace orvex {
namespace {

// A session of `laps` laps of 1000 ft, each driven at its own speed (ft/s), sampled every
// 0.1 s, with a lap line at the start and at the end of every lap.
std::unique_ptr<CBriodashDataset> Session(const std::string& name, std::vector<double> speeds) {
    auto ds = std::make_unique<CBriodashDataset>();
    ds->m_strName = name;
    double t = 0.0, d = 0.0;
    int code = 0;
    auto mark = [&] {
        CSample m;
        m.m_lTime = static_cast<int32_t>(std::lround(t * kTicksPerSecond));
        m.m_lRaw = m.m_lFiltered = code;
        m.m_lDistance = static_cast<int32_t>(std::lround(d * 10.0));
        ds->m_markers.AddTail(m);
        code += 100;
    };
    mark();
    for (double v : speeds) {
        const double lapEnd = d + 1000.0;
        while (d < lapEnd - 1e-9) {
            CShaft s;
            s.m_lTime = static_cast<int32_t>(std::lround(t * kTicksPerSecond));
            s.m_lDistance = static_cast<int32_t>(std::lround(d * 10.0));
            ds->m_rpm[0].AddTail(s);
            t += 0.1;
            d = std::min(d + v * 0.1, lapEnd);
        }
        mark();
    }
    CShaft s;
    s.m_lTime = static_cast<int32_t>(std::lround(t * kTicksPerSecond));
    s.m_lDistance = static_cast<int32_t>(std::lround(d * 10.0));
    ds->m_rpm[0].AddTail(s);
    return ds;
}

TEST(RaceMode, LapsAndTheLapChoice) {
    auto a = Session("Heat", {100.0, 125.0});
    auto b = Session("Final", {100.0});
    CRaceModeData race;
    race.BuildAvailable({a.get(), b.get()}, false);
    ASSERT_EQ(race.Available().size(), 3u);
    EXPECT_EQ(race.Available()[1].lap, 2);
    EXPECT_EQ(race.Available()[1].lapStart, 100000);  // 10 s into the session
    test::FakeHost host;
    EXPECT_FALSE(race.Choose({0}, host));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{kTooFewRaceLaps});
    EXPECT_FALSE(race.IsActive());
    EXPECT_TRUE(race.Choose({0, 2}, host));
    EXPECT_TRUE(race.IsActive());
    EXPECT_TRUE(race.Contains(*b));
    // A session gone from the document drops its laps, and with one left race mode goes off.
    race.BuildAvailable({a.get()}, false);
    EXPECT_EQ(race.Selected().size(), 1u);
    EXPECT_FALSE(race.IsActive());
}

TEST(RaceMode, TwoLapsAtTheSameRaceTime) {
    auto ds = Session("Heat", {100.0, 125.0});
    CRaceModeData race;
    race.BuildAvailable({ds.get()}, false);
    test::FakeHost host;
    ASSERT_TRUE(race.Choose({0, 1}, host));
    // 500 ft into the slow first lap: 5 s; the fast lap is 625 ft along by then.
    ASSERT_TRUE(race.SetRaceMarker(5000, host));
    const auto& laps = race.Selected();
    EXPECT_EQ(laps[0].raceTime - laps[0].raceStart, laps[1].raceTime - laps[1].raceStart);
    EXPECT_NEAR(laps[1].raceX - 10000, 6250, 15);
    EXPECT_EQ(race.ColumnHeaders(), (std::vector<std::string>{laps[0].name, laps[1].name}));
    EXPECT_EQ(race.RowLabels()[0], laps[0].name + " Dist Diff");
    EXPECT_EQ(race.Cell(0, 0), "Car Color");
    EXPECT_EQ(race.Cell(1, 1), "Car Color");
    EXPECT_NEAR(std::stod(race.Cell(0, 1)), 125.0, 1.5);  // the slower lap's row: positive
    EXPECT_NEAR(std::stod(race.Cell(1, 0)), -125.0, 1.5);

    // Stepping moves every marker by the clock step; restart puts them back on the start.
    race.SetClockStep(500);
    race.Restart();
    race.Step(+1);
    race.Step(+1);
    EXPECT_EQ(laps[0].raceTime, laps[0].raceStart + 1000);
    EXPECT_EQ(laps[1].raceTime, laps[1].raceStart + 1000);
    race.Step(-1);
    EXPECT_EQ(laps[1].raceTime, laps[1].raceStart + 500);
    race.Restart();
    EXPECT_EQ(laps[0].raceX, 0);
    EXPECT_EQ(laps[1].raceX, 10000);

    CRaceModeData none;
    EXPECT_FALSE(none.SetRaceMarker(0, host));
    EXPECT_EQ(host.MessageTexts().back(), kNoRaceDatasets);
}

TEST(RaceMode, FollowingTheMarkersResynchronisesEveryLap) {
    auto ds = Session("Heat", {100.0, 125.0});
    CRaceModeData race;
    race.m_bFollowMarkers = true;
    race.BuildAvailable({ds.get()}, false);
    test::FakeHost host;
    ASSERT_TRUE(race.Choose({0, 1}, host));
    // The green marker 200 ft in: each lap's race starts when that lap is 200 ft along.
    race.Resynchronise(2000, kNotSet);
    EXPECT_EQ(race.Selected()[0].raceStart, 20000);
    EXPECT_EQ(race.Selected()[1].raceStart, 116000);
    EXPECT_EQ(race.Selected()[1].greenX, 12000);
    // Moving the green marker moves every lap's race start.
    race.Resynchronise(4000, kNotSet);
    EXPECT_EQ(race.Selected()[0].raceStart, 40000);
    EXPECT_EQ(race.Selected()[1].raceStart, 132000);
    EXPECT_EQ(race.Selected()[1].raceTime, 132000);
    // Without following, the race runs from each lap's own start.
    race.m_bFollowMarkers = false;
    race.Resynchronise(4000, kNotSet);
    EXPECT_EQ(race.Selected()[1].raceStart, race.Selected()[1].lapStart);
}

TEST(RaceMode, MenuShowsNineLapsAndMore) {
    std::vector<double> speeds(10, 100.0);
    auto ds = Session("Heat", speeds);
    CRaceModeData race;
    race.BuildAvailable({ds.get()}, false);
    test::FakeHost host;
    struct Case {
        std::vector<int> chosen;
        std::size_t entries;
        bool more;
    };
    const Case cases[] = {
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 10, true},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8}, 9, false},
        {{3, 4}, 2, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(race.Choose(c.chosen, host));
        const std::vector<RaceMenuEntry> menu = race.Menu();
        ASSERT_EQ(menu.size(), c.entries);
        EXPECT_EQ(menu.back().more, c.more);
        if (c.more) {
            EXPECT_EQ(menu.back().text, "More Sessions...");
        }
        for (std::size_t i = 0; i < menu.size() && !menu[i].more; ++i) {
            EXPECT_EQ(menu[i].text, race.Selected()[i].name);
            EXPECT_EQ(menu[i].color, race.Selected()[i].color);
        }
    }
    // Each lap has its own colour from the nine, and keeps it when chosen again.
    EXPECT_NE(race.Selected()[0].color, race.Selected()[1].color);
    EXPECT_EQ(race.Selected()[0].color, race.m_crLaps[3]);
    race.SetLapColor(1, MakeRGB(1, 2, 3));
    EXPECT_EQ(race.Menu()[1].color, MakeRGB(1, 2, 3));
    EXPECT_EQ(race.ColorDialogTitle(1), "Set Color for " + race.Selected()[1].name);
}

}  // namespace
}  // namespace orvex
