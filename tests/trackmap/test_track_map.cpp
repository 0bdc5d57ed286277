// The track map arithmetic on made-up laps: bias cycles, closing, curvature, smoothing and the
// acceleration and corner segments.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/FakeHost.h"
#include "trackmap/TrackMap.h"

namespace orvex {
namespace {

constexpr double kG = 1000.0;

// A lap at constant speed v (ft/s) sampled every dt seconds, turning by `turn` radians over
// n samples (the heading of the last sample after one uncorrected cycle).
CTrackMap CircleLap(double turn, std::size_t n = 400, double v = 100.0, double dt = 0.1) {
    CTrackMap map;
    const double ds = v * dt;
    const double curvature = turn / (ds * static_cast<double>(n - 1));
    for (std::size_t i = 0; i < n; ++i) {
        CTrackSample s;
        s.m_dTime = static_cast<double>(i) * dt;
        s.m_dSpeed = v;
        s.m_dLatG = curvature * v * v / 32.2 * kG;
        s.m_dVertG = kG;
        map.m_samples.push_back(s);
    }
    return map;
}

TEST(TrackMapCalculate, BiasCyclesStopWhenTheLapTurnsOnce) {
    struct Case {
        const char* what;
        double turn;
        int close;
        int cycles;  // -1: more than one
        int direction;
    };
    const Case cases[] = {
        {"6.20 rad is within 0.1 of 6.24", 6.20, 1, 1, 0},
        {"too little turn needs more cycles", 5.2, 1, -1, 0},
        {"too much turn needs more cycles", 7.4, 1, -1, 0},
        {"clockwise lap reverses the bias sign", -5.2, 1, -1, 1},
        {"clockwise lap turning too far", -7.4, 1, -1, 1},
        {"an open map runs a single cycle", 5.2, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTrackMap map = CircleLap(c.turn);
        map.m_bClose = c.close;
        test::FakeHost host;
        auto progress = host.OpenProgress("");
        ASSERT_TRUE(map.Calculate(progress.get()));
        if (c.cycles > 0) {
            EXPECT_EQ(map.m_nCycles, c.cycles);
        } else {
            EXPECT_GT(map.m_nCycles, 1);
        }
        EXPECT_LT(map.m_nCycles, kMaxCycles);
        EXPECT_EQ(map.m_bDirection, c.direction);
        const double end = map.m_samples.back().m_dHeading;
        if (c.close) {
            EXPECT_LT(std::fabs(std::fabs(end) - kLapTurn), kLapTurnTolerance);
        }
        EXPECT_EQ(host.titles.back(), "Calculating Track Map");
        EXPECT_EQ(host.statuses.front().second,
                  "Process Cycle #" + std::to_string(c.close ? 1 : 100));
    }
}

TEST(TrackMapCalculate, ClosingBringsTheEndToTheStartAndBoundsTheMap) {
    for (int close : {1, 0}) {
        CTrackMap map = CircleLap(5.2);
        map.m_bClose = close;
        ASSERT_TRUE(map.Calculate(nullptr));
        const CTrackSample& a = map.m_samples.front();
        const CTrackSample& b = map.m_samples.back();
        const double gap = std::hypot(b.m_dX - a.m_dX, b.m_dY - a.m_dY);
        if (close) {
            EXPECT_LT(gap, 1e-6);
        } else {
            EXPECT_GT(gap, 100.0);
        }
        for (const CTrackSample& p : map.m_samples) {
            EXPECT_GE(p.m_dX, map.m_dMinX);
            EXPECT_LE(p.m_dX, map.m_dMaxX);
            EXPECT_GE(p.m_dY, map.m_dMinY);
            EXPECT_LE(p.m_dY, map.m_dMaxY);
        }
        // A left-hand lap starting east goes up the screen first (y grows downward).
        EXPECT_LT(map.m_samples[50].m_dY, 0.0);
    }
}

TEST(TrackMapCalculate, TooFewSamplesAndAbortAreRefused) {
    CTrackMap small = CircleLap(6.2, kMinTrackSamples - 1);
    EXPECT_FALSE(small.Calculate(nullptr));
    CTrackMap enough = CircleLap(6.2, kMinTrackSamples);
    EXPECT_TRUE(enough.Calculate(nullptr));

    CTrackMap map = CircleLap(5.2);
    test::FakeHost host;
    host.abortAfterPumps = 2;
    auto progress = host.OpenProgress("");
    EXPECT_FALSE(map.Calculate(progress.get()));
    EXPECT_EQ(map.m_nCycles, 2);
}

TEST(TrackMapCurvature, FollowsLateralGOverSpeedSquared) {
    struct Case {
        double latG, v, curvature;
    };
    // Small readings keep their own curvature (no floor that bends straights like 0.1 G).
    const Case cases[] = {
        {0.02, 100.0, 0.02 * 32.2 / 1e4},
        {0.05, 100.0, 0.05 * 32.2 / 1e4},
        {-0.05, 100.0, -0.05 * 32.2 / 1e4},
        {1.2, 150.0, 1.2 * 32.2 / 22500.0},
        {0.5, 0.2, 0.5 * 32.2},  // below 1 ft/s the speed counts as 1
        {0.0, 100.0, 0.000001},  // never below the smallest curvature
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latG);
        CTrackMap map;
        CTrackSample s;
        s.m_dLatG = c.latG * kG;
        s.m_dVertG = kG;
        s.m_dSpeed = c.v;
        map.m_samples.push_back(s);
        map.ComputeCurvature();
        const CTrackSample& p = map.m_samples[0];
        EXPECT_NEAR(p.m_dCurvature, c.curvature, std::fabs(c.curvature) * 1e-6);
        EXPECT_TRUE(std::isfinite(p.m_dRadius));
        EXPECT_GE(p.m_dSpeed, 1.0);
        EXPECT_NEAR(p.m_dRadius * p.m_dCurvature, 1.0, 1e-12);
    }
}

TEST(TrackMapSmooth, KeepsLinesAndSurvivesSharedTimes) {
    std::vector<double> t{0, 1, 2, 3, 4, 5, 6, 7}, v{1, 3, 5, 7, 9, 11, 13, 15};
    CTrackMap::Smooth(2, t.size(), t.data(), v.data());
    for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(v[i], 1.0 + 2.0 * t[i], 1e-12) << i;

    // A spike at i is not used for i itself: the line of its neighbours replaces it.
    std::vector<double> spike{0, 0, 0, 0, 100, 0, 0, 0, 0};
    std::vector<double> ts{0, 1, 2, 3, 4, 5, 6, 7, 8};
    CTrackMap::Smooth(1, ts.size(), ts.data(), spike.data());
    EXPECT_DOUBLE_EQ(spike[4], 0.0);
    EXPECT_DOUBLE_EQ(spike[8], 0.0);  // the last two stay

    std::vector<double> same{1, 1, 1, 1, 1, 1}, values{0, 1, 2, 3, 4, 5};
    CTrackMap::Smooth(3, same.size(), same.data(), values.data());
    for (double x : values) EXPECT_TRUE(std::isfinite(x));
}

// Samples 0.1 s apart with the given values of longitudinal (accel) or lateral G.
CTrackMap SegmentLap(const std::vector<double>& values, bool lateral, double feetPerSample) {
    CTrackMap map;
    for (std::size_t i = 0; i < values.size(); ++i) {
        CTrackSample s;
        s.m_dTime = 0.1 * static_cast<double>(i);
        s.m_dS = feetPerSample * static_cast<double>(i);
        (lateral ? s.m_dLatG : s.m_dLongG) = values[i];
        map.m_samples.push_back(s);
    }
    map.m_dMaxLongG = 1000.0;
    map.m_dMinLongG = -1000.0;
    return map;
}

// `values` followed by `count` samples of `value`.
std::vector<double> Hold(std::vector<double> values, std::size_t count, double value) {
    values.insert(values.end(), count, value);
    return values;
}

TEST(TrackMapSegments, ElevenNeutralSamplesAfterBrakingStartAccelerationAtTheZeroCrossing) {
    std::vector<double> g = Hold(Hold({}, 20, 500.0), 30, -800.0);
    for (double v : {-100.0, -50.0, -10.0, 20.0, 30.0, 40.0, 50.0, 60.0, 70.0, 80.0, 90.0, 100.0})
        g.push_back(v);
    g = Hold(g, 30, 100.0);
    CTrackMap map = SegmentLap(g, false, 10.0);
    ASSERT_TRUE(map.FindAccelerationSegments(nullptr));
    EXPECT_EQ(map.m_accel.m_bounds,
              (std::vector<int32_t>{20, 52, static_cast<int32_t>(g.size() - 1)}));
    EXPECT_EQ(map.m_accel.m_kinds, (std::vector<uint8_t>{kAccelerating, kBraking, kAccelerating}));

    // Ten neutral samples are not yet back on the throttle.
    std::vector<double> shortNeutral = Hold(Hold(Hold({}, 20, 500.0), 30, -800.0), 10, -20.0);
    shortNeutral = Hold(shortNeutral, 20, -800.0);
    CTrackMap brake = SegmentLap(shortNeutral, false, 10.0);
    ASSERT_TRUE(brake.FindAccelerationSegments(nullptr));
    EXPECT_EQ(brake.m_accel.m_kinds, (std::vector<uint8_t>{kAccelerating, kBraking}));
}

TEST(TrackMapSegments, CornersEndWhereTheyLeaveTheCornerZone) {
    std::vector<double> g =
        Hold(Hold(Hold(Hold(Hold({}, 30, 0.0), 50, 800.0), 50, 0.0), 50, -800.0), 30, 0.0);
    CTrackMap map = SegmentLap(g, true, 10.0);
    ASSERT_TRUE(map.FindCornerSegments(nullptr));
    EXPECT_EQ(map.m_corners.m_bounds, (std::vector<int32_t>{29, 80, 129, 180, 209}));
    EXPECT_EQ(map.m_corners.m_kinds,
              (std::vector<uint8_t>{kStraight, kRightTurn, kStraight, kLeftTurn, kStraight}));
}

TEST(TrackMapSegments, ShortSegmentsMerge) {
    struct Case {
        const char* what;
        double feetPerSample;
        std::size_t cornerSamples;
        std::vector<uint8_t> kinds;
    };
    const Case cases[] = {
        {"an 8 ft corner between two straights", 2.0, 3, {kStraight}},
        {"a long enough corner stays", 10.0, 15, {kStraight, kRightTurn, kStraight}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<double> g = Hold(Hold(Hold({}, 60, 0.0), c.cornerSamples, 800.0), 60, 0.0);
        CTrackMap map = SegmentLap(g, true, c.feetPerSample);
        ASSERT_TRUE(map.FindCornerSegments(nullptr));
        EXPECT_EQ(map.m_corners.m_kinds, c.kinds);
        EXPECT_EQ(map.m_corners.m_bounds.back(), static_cast<int32_t>(g.size() - 1));
    }
}

}  // namespace
}  // namespace orvex
