#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "demo/CircuitData.h"
#include "demo/SessionGenerator.h"

namespace orvex {
namespace {

constexpr double kInch = 0.0254;

struct Session {
    std::unique_ptr<CBriodashDataset> ds;
    GeneratorTruth truth;
};

Session Generate(double minutes, double rate = 100.0, uint32_t seed = 7,
                 const char* circuit = "gb-1948") {
    Session s;
    GeneratorOptions o;
    o.minutes = minutes;
    o.rateHz = rate;
    o.seed = seed;
    o.circuitId = circuit;
    s.ds = GenerateSession(o, &s.truth);
    return s;
}

// Accelerometer counts (12 bits, -5..5 G) in G.
double AccelG(int32_t counts) {
    return -5.0 + 10.0 * counts / 4095.0;
}

bool SameSamples(const CBriodashDataset& a, const CBriodashDataset& b) {
    auto same = [](const auto& x, const auto& y) {
        if (x.Size() != y.Size()) return false;
        for (Pos p = 0; p < static_cast<Pos>(x.Size()); ++p)
            if (x[p].m_lTime != y[p].m_lTime || x[p].m_lRaw != y[p].m_lRaw) return false;
        return true;
    };
    if (!same(a.m_markers, b.m_markers)) return false;
    for (int k = 0; k < kRpmChannels; ++k) {
        if (!same(a.m_rpm[k], b.m_rpm[k])) return false;
        for (Pos p = 0; p < static_cast<Pos>(a.m_rpm[k].Size()); ++p)
            if (a.m_rpm[k][p].m_nGear != b.m_rpm[k][p].m_nGear) return false;
    }
    for (int k = 0; k < kAnalogChannels; ++k)
        if (!same(a.m_analog[k], b.m_analog[k])) return false;
    for (int k = 0; k < kDigitalChannels; ++k)
        if (!same(a.m_digital[k], b.m_digital[k])) return false;
    return true;
}

TEST(SessionGenerator, SameSeedRepeatsAndOtherSeedDiffers) {
    Session a = Generate(1.0, 100.0, 42), b = Generate(1.0, 100.0, 42),
            c = Generate(1.0, 100.0, 43);
    ASSERT_TRUE(a.ds && b.ds && c.ds);
    EXPECT_TRUE(SameSamples(*a.ds, *b.ds));
    EXPECT_FALSE(SameSamples(*a.ds, *c.ds));
}

TEST(SessionGenerator, RejectsUnknownCircuitAndUnrecordableOptions) {
    EXPECT_EQ(Generate(1.0, 100.0, 1, "xx-1900").ds, nullptr);
    EXPECT_EQ(Generate(-1.0).ds, nullptr);
    EXPECT_EQ(Generate(1.0, 0.0).ds, nullptr);
    EXPECT_EQ(Generate(1.0, 20000.0).ds, nullptr);
    EXPECT_EQ(Generate(4000.0, 1.0).ds, nullptr);  // beyond the 32-bit clock of 0.1 ms
    EXPECT_EQ(Generate(std::nan("")).ds, nullptr);
    Session empty = Generate(0.0);  // nothing recorded, but the setups are there
    ASSERT_NE(empty.ds, nullptr);
    EXPECT_FALSE(empty.ds->HasData());
    EXPECT_EQ(empty.ds->m_carSetup.m_rpm.size(), 4u);
}

TEST(SessionGenerator, ListsTheCircuitsItCarries) {
    const std::vector<std::string> ids = GeneratorCircuitIds();
    for (const char* id : {"gb-1948", "mc-1929", "it-1922", "be-1925"})
        EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
    for (const std::string& id : ids) EXPECT_TRUE(BuildGeneratorPath(id).has_value()) << id;
}

TEST(SessionGenerator, SampleCountsAndTimesFollowTheRate) {
    struct Case {
        double minutes, rate;
    } cases[] = {{1.0, 100.0}, {0.5, 50.0}, {0.25, 30.0}};
    for (const Case& c : cases) {
        Session s = Generate(c.minutes, c.rate);
        ASSERT_TRUE(s.ds);
        const auto n = static_cast<std::size_t>(std::llround(c.minutes * 60.0 * c.rate));
        auto check = [&](const auto& series, std::size_t count) {
            ASSERT_EQ(series.Size(), count) << c.rate;
            EXPECT_EQ(series[0].m_lTime, 0);
            for (Pos p = 1; p < static_cast<Pos>(series.Size()); ++p) {
                const int32_t dt = series[p].m_lTime - series[p - 1].m_lTime;
                EXPECT_GT(dt, 0);
                EXPECT_LE(std::abs(dt - 10000.0 / c.rate * (count == n ? 1 : 5)), 1.0);
            }
        };
        for (int k = 0; k < 4; ++k) check(s.ds->m_rpm[k], n);
        for (const CAnalogSetup& a : s.ds->m_carSetup.m_analog)
            check(s.ds->m_analog[a.m_nChannel - 1], n);
        for (const CDigitalSetup& d : s.ds->m_carSetup.m_digital)
            check(s.ds->m_digital[d.m_nChannel - 1], (n + 4) / 5);
        EXPECT_EQ(s.ds->m_rpm[4].Size(), 0u);
        EXPECT_EQ(s.truth.time.size(), n);
    }
}

TEST(SessionGenerator, SetupDescribesTheLoggerAndCar) {
    Session s = Generate(0.1);
    const CBriodashDataset& ds = *s.ds;
    EXPECT_EQ(ds.m_strName, "Silverstone Circuit");
    EXPECT_EQ(ds.GetFirstComment(), "Uploaded Jun 14, 2024 @ 02:30:00 PM");
    EXPECT_EQ(ds.m_fClock, 307200.0f);
    EXPECT_EQ(ds.m_nFramed, 1);
    EXPECT_EQ(ds.m_nLoggerFamily, 0);
    EXPECT_EQ(ds.m_nBeaconsPerLap, 1);
    EXPECT_EQ(ds.m_carSetup.m_nGears, 6);
    EXPECT_FLOAT_EQ(ds.m_carSetup.m_fRearEndRatio, 3.7f);
    struct Rpm {
        int channel, type, ppr;
    } rpms[] = {{1, 1, 4}, {2, 10, 1}, {3, 12, 1}, {4, 11, 2}};
    for (const Rpm& r : rpms) {
        const CFreqSetup* f = ds.m_carSetup.FindRpmSetup(r.channel);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->m_nRpmType, r.type);
        EXPECT_EQ(f->m_nPPR, r.ppr);
        EXPECT_EQ(ds.m_rpm[r.channel - 1].m_nPerLap, r.ppr);
    }
    EXPECT_FLOAT_EQ(ds.m_carSetup.FindRpmSetup(3)->m_fDiameter, 26.0f);
    struct Accel {
        int channel;
        const char* description;
    } accels[] = {{17, "Left-Right Accel"}, {18, "Front-Rear Accel"}, {19, "Up-Down Accel"}};
    for (const Accel& a : accels) {
        const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(a.channel);
        ASSERT_NE(setup, nullptr);
        EXPECT_EQ(setup->m_strDescription, a.description);
        EXPECT_EQ(setup->m_nType, 135);
        EXPECT_EQ(setup->m_nFamily, 0);
        EXPECT_EQ(setup->m_nBits, 12);
        EXPECT_EQ(setup->m_fMin, -5.0f);
        EXPECT_EQ(setup->m_fMax, 5.0f);
    }
    EXPECT_EQ(ds.m_carSetup.FindAnalogSetup(2)->m_nInvert, 1);  // 0.5 V brake sender, mode 1
    EXPECT_EQ(ds.m_carSetup.FindAnalogSetup(20)->m_nType, 134);
    std::vector<int32_t> colours;
    ds.ForEachChannel([&](const CSeriesBase& series) {
        if (series.Size() == 0) return;
        EXPECT_EQ(series.m_nOn, 1);
        colours.push_back(series.m_crTrace);
    });
    std::sort(colours.begin(), colours.end());
    EXPECT_EQ(std::adjacent_find(colours.begin(), colours.end()), colours.end());
}

TEST(SessionGenerator, RpmPeriodsReadBackAsSpeedThroughGearAndRearEnd) {
    Session s = Generate(3.0);
    const CCarSetup& car = s.ds->m_carSetup;
    const double rearCirc = car.FindRpmSetup(3)->m_fCircumference * kInch;
    const double frontCirc = car.FindRpmSetup(4)->m_fCircumference * kInch;
    const double rearEnd = car.m_fRearEndRatio;
    for (std::size_t i = 0; i < s.truth.time.size(); i += 7) {
        const auto p = static_cast<Pos>(i);
        const int16_t gear = s.truth.gear[i];
        const double wheel = s.truth.speed[i] / rearCirc * 60.0;
        const double expected[4] = {wheel * car.m_fGearRatio[gear - 1] * rearEnd, wheel * rearEnd,
                                    wheel, s.truth.speed[i] / frontCirc * 60.0};
        for (int k = 0; k < 4; ++k) {
            const CShaftList& shaft = s.ds->m_rpm[k];
            ASSERT_EQ(shaft[p].m_nGear, gear);
            const double rpm = shaft.GetRPM(static_cast<uint32_t>(shaft[p].m_lRaw), false);
            ASSERT_NEAR(rpm, expected[k], 0.01 * expected[k]) << "channel " << k + 1 << " at " << i;
        }
    }
}

TEST(SessionGenerator, GearsChangeUpAndDownEveryLap) {
    Session s = Generate(3.0);
    int ups = 0, downs = 0;
    const CShaftList& engine = s.ds->m_rpm[0];
    for (Pos p = 1; p < static_cast<Pos>(engine.Size()); ++p) {
        ups += engine[p].m_nGear > engine[p - 1].m_nGear;
        downs += engine[p].m_nGear < engine[p - 1].m_nGear;
        EXPECT_LE(engine.GetRPM(static_cast<uint32_t>(engine[p].m_lRaw), false), 7700.0);
    }
    const double laps = 180.0 / 141.0;
    EXPECT_GT(ups, 8 * laps);
    EXPECT_GT(downs, 8 * laps);
}

TEST(SessionGenerator, LapMarkersAtEveryLineCrossing) {
    Session s = Generate(10.0, 50.0, 3, "mc-1929");
    const CSampleList& marks = s.ds->m_markers;
    const auto& lines = s.truth.lapLineTimes;
    ASSERT_EQ(marks.Size(), lines.size());
    ASSERT_GE(marks.Size(), 3u);
    for (Pos p = 0; p < static_cast<Pos>(marks.Size()); ++p) {
        EXPECT_EQ(marks[p].m_lRaw, 100 * p);
        EXPECT_EQ(marks[p].m_lTime, lines[static_cast<std::size_t>(p)]);
        EXPECT_LE(marks[p].m_lTime, s.truth.time.back());
    }
    const double lapTime =
        (lines.back() - lines.front()) / 10000.0 / static_cast<double>(lines.size() - 1);
    EXPECT_NEAR(static_cast<double>(marks.Size()), 600.0 / lapTime, 1.0);
    // The car passes the line where the truth says the path starts.
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const auto i = static_cast<std::size_t>(lines[k] / 200);  // 50 Hz: 200 units per sample
        const double pos = s.truth.pathPosition[i + 1];
        EXPECT_LT(pos, 100.0);
    }
}

TEST(SessionGenerator, LateralAccelTurnsLeftAtTheMonacoHairpin) {
    Session s = Generate(2.0, 100.0, 5, "mc-1929");
    const CSampleList& lateral = s.ds->m_analog[16];
    // The slowest point of a Monaco lap is the Grand Hotel hairpin, a left-hander.
    const auto slowest = static_cast<std::size_t>(
        std::min_element(s.truth.speed.begin(), s.truth.speed.end()) - s.truth.speed.begin());
    const double v = s.truth.speed[slowest];
    const auto& path = s.truth.path;
    const auto point = static_cast<std::size_t>(s.truth.pathPosition[slowest] / path.step);
    const double expected = v * v * path.curvature[point] / 9.80665;
    EXPECT_GT(expected, 1.2);
    EXPECT_NEAR(AccelG(lateral[static_cast<Pos>(slowest)].m_lRaw), expected, 0.1);
    // Everywhere the channel follows v²κ, so it has the corner's sign in every real corner.
    for (std::size_t i = 0; i < s.truth.lateralG.size(); ++i) {
        const double measured = AccelG(lateral[static_cast<Pos>(i)].m_lRaw);
        ASSERT_NEAR(measured, s.truth.lateralG[i], 0.1) << i;
        if (std::abs(s.truth.lateralG[i]) > 0.3) {
            ASSERT_EQ(measured > 0, s.truth.lateralG[i] > 0) << i;
        }
    }
}

TEST(SessionGenerator, WheelSpeedIntegratesToTheCircuitLengthEachLap) {
    for (const std::string& id : GeneratorCircuitIds()) {
        Session s = Generate(6.0, 20.0, 11, id.c_str());
        const CShaftList& rear = s.ds->m_rpm[2];
        const double circ = s.ds->m_carSetup.FindRpmSetup(3)->m_fCircumference * kInch;
        const CSampleList& marks = s.ds->m_markers;
        ASSERT_GE(marks.Size(), 3u) << id;
        std::vector<double> distanceAt(rear.Size(), 0.0);
        for (Pos p = 1; p < static_cast<Pos>(rear.Size()); ++p) {
            const double v0 = rear.GetRPM(static_cast<uint32_t>(rear[p - 1].m_lRaw), false);
            const double v1 = rear.GetRPM(static_cast<uint32_t>(rear[p].m_lRaw), false);
            const double dt = (rear[p].m_lTime - rear[p - 1].m_lTime) / 10000.0;
            distanceAt[p] = distanceAt[p - 1] + (v0 + v1) / 2.0 * circ / 60.0 * dt;
        }
        auto distanceAtTime = [&](int32_t t) {
            return distanceAt[static_cast<std::size_t>(t / 500)];
        };
        const double official = s.truth.path.officialLength;
        for (Pos p = 1; p < static_cast<Pos>(marks.Size()); ++p) {
            const double lap =
                distanceAtTime(marks[p].m_lTime) - distanceAtTime(marks[p - 1].m_lTime);
            EXPECT_NEAR(lap, official, 0.02 * official) << id << " lap " << p;
        }
    }
}

TEST(SessionGenerator, PathFollowsTheOutline) {
    for (const CircuitOutline& c : Circuits()) {
        std::optional<GeneratorPath> path = BuildGeneratorPath(c.id);
        ASSERT_TRUE(path);
        const std::size_t n = path->x.size();
        EXPECT_NEAR(path->length, c.officialLength, 0.01 * c.officialLength) << c.id;
        EXPECT_NEAR(path->totalTurn, -2.0 * std::numbers::pi, 1e-9) << c.id;  // clockwise
        // Closed: the last point is one step short of the first.
        EXPECT_NEAR(std::hypot(path->x[n - 1] - path->x[0], path->y[n - 1] - path->y[0]),
                    path->step, 0.5);
        // Rounding the corners keeps every point within a track width or two of the outline.
        const double kx = 6371008.8 * std::cos(c.points[0].lat * std::numbers::pi / 180.0) *
                          std::numbers::pi / 180.0;
        const double ky = 6371008.8 * std::numbers::pi / 180.0;
        double worst = 0.0;
        for (std::size_t i = 0; i < n; i += 5) {
            const double px = path->x[i] - path->x[0], py = path->y[i] - path->y[0];
            double nearest = 1e9;
            for (std::size_t k = 0; k < c.pointCount; ++k) {
                const LonLat& a = c.points[k];
                const LonLat& b = c.points[(k + 1) % c.pointCount];
                const double ax = (a.lon - c.points[0].lon) * kx,
                             ay = (a.lat - c.points[0].lat) * ky;
                const double bx = (b.lon - c.points[0].lon) * kx,
                             by = (b.lat - c.points[0].lat) * ky;
                const double len2 = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
                const double f =
                    std::clamp(((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / len2, 0.0, 1.0);
                nearest =
                    std::min(nearest, std::hypot(ax + f * (bx - ax) - px, ay + f * (by - ay) - py));
            }
            worst = std::max(worst, nearest);
        }
        EXPECT_LT(worst, 20.0) << c.id;
    }
}

TEST(SessionGenerator, SwitchesFollowThrottleAndBrake) {
    Session s = Generate(2.0);
    const CSampleList& brakeSwitch = s.ds->m_digital[0];
    const CSampleList& brake = s.ds->m_analog[1];
    const CSampleList& throttle = s.ds->m_analog[0];
    int on = 0, off = 0;
    for (Pos p = 0; p < static_cast<Pos>(brakeSwitch.Size()); ++p) {
        const Pos a = p * 5;  // switches run at a fifth of the analog rate
        ASSERT_EQ(brakeSwitch[p].m_lTime, brake[a].m_lTime);
        const CAnalogSetup& brakeSetup = *s.ds->m_carSetup.FindAnalogSetup(2);
        const CAnalogSetup& throttleSetup = *s.ds->m_carSetup.FindAnalogSetup(1);
        const double psi = brakeSetup.Convert(brake[a].m_lRaw, Units::Imperial, 0) /
                           static_cast<double>(brakeSetup.m_nResolution);
        const double percent = throttleSetup.Convert(throttle[a].m_lRaw, Units::Imperial, 0) /
                               static_cast<double>(throttleSetup.m_nResolution);
        if (brakeSwitch[p].m_lRaw == 1) {
            ++on;
            EXPECT_GT(psi, 5.0);
            EXPECT_LT(percent, 10.0);
        } else {
            ++off;
        }
    }
    EXPECT_GT(on, 0);
    EXPECT_GT(off, on);
}

}  // namespace
}  // namespace orvex
