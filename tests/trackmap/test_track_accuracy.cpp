// The track map of a generated lap against the circuit the car drove: after the best
// similarity fit (shift, turn, scale) the map lies within 0.3 % of the lap length (RMS).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "demo/SessionGenerator.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"
#include "trackmap/TrackMap.h"
#include "trackmap/TrackSamples.h"

namespace orvex {
namespace {

struct Point {
    double x = 0.0, y = 0.0;
};

// RMS distance of `b` from `a` after the similarity transform that fits a onto b best.
double FittedRms(const std::vector<Point>& a, const std::vector<Point>& b) {
    const double n = static_cast<double>(a.size());
    Point ca, cb;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ca.x += a[i].x / n;
        ca.y += a[i].y / n;
        cb.x += b[i].x / n;
        cb.y += b[i].y / n;
    }
    double sxx = 0.0, sxy = 0.0, aa = 0.0, bb = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double ax = a[i].x - ca.x, ay = a[i].y - ca.y;
        const double bx = b[i].x - cb.x, by = b[i].y - cb.y;
        sxx += ax * bx + ay * by;
        sxy += ax * by - ay * bx;
        aa += ax * ax + ay * ay;
        bb += bx * bx + by * by;
    }
    const double residual = bb - (sxx * sxx + sxy * sxy) / aa;
    return std::sqrt(std::max(residual, 0.0) / n);
}

// The point of the generator's path `pos` metres past the start/finish line.
Point PathPoint(const GeneratorPath& path, double pos) {
    const std::size_t n = path.x.size();
    pos = std::fmod(pos, path.length);
    if (pos < 0.0) pos += path.length;
    const double f = pos / path.step;
    const std::size_t j = static_cast<std::size_t>(f) % n;
    const std::size_t k = (j + 1) % n;
    const double w = f - std::floor(f);
    return {path.x[j] + (path.x[k] - path.x[j]) * w, path.y[j] + (path.y[k] - path.y[j]) * w};
}

// Metres driven at time t (0.1 ms), interpolated from the ground truth.
double DistanceAt(const GeneratorTruth& truth, double t) {
    auto it = std::lower_bound(truth.time.begin(), truth.time.end(), t);
    if (it == truth.time.begin()) return truth.distance.front();
    if (it == truth.time.end()) return truth.distance.back();
    const std::size_t k = static_cast<std::size_t>(it - truth.time.begin());
    const double t0 = truth.time[k - 1], t1 = truth.time[k];
    return truth.distance[k - 1] +
           (truth.distance[k] - truth.distance[k - 1]) * (t - t0) / (t1 - t0);
}

struct Outcome {
    double mapFraction = 0.0;     // RMS of the map / lap length
    double circleFraction = 0.0;  // the same for a circle of the lap's length
    int cycles = 0;
};

Outcome MapLap(const std::string& circuit, double noiseG, double lateralBiasG) {
    GeneratorOptions options;
    options.minutes = 7.0;
    options.circuitId = circuit;
    GeneratorTruth truth;
    std::unique_ptr<CBriodashDataset> ds = GenerateSession(options, &truth);
    CNullHost host;
    DeriveAfterLoad(*ds, kDistanceFrontWheel, Units::Imperial, host);
    std::optional<TrackLap> lap = FindTrackLap(*ds, 2);
    EXPECT_TRUE(lap.has_value());
    if (!lap) return {};
    CTrackMap map;
    EXPECT_TRUE(
        BuildTrackSamples(*ds, map, lap->start, lap->end, kSpeedFrontWheel, Units::Imperial, host));
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, noiseG * map.m_dGScale);
    for (CTrackSample& s : map.m_samples) {
        s.m_dLatG += lateralBiasG * map.m_dGScale + noise(random);
        s.m_dLongG += noise(random);
    }
    EXPECT_TRUE(map.Calculate(nullptr));

    const double start = DistanceAt(truth, lap->start);
    std::vector<Point> mapped, circuitPoints, circle;
    const double radius = truth.path.length / (2.0 * M_PI);
    for (const CTrackSample& s : map.m_samples) {
        // The map's y grows downward; the circuit's grows north.
        mapped.push_back({s.m_dX, -s.m_dY});
        const double pos = DistanceAt(truth, s.m_dTime * kTicksPerSecond) - start;
        circuitPoints.push_back(PathPoint(truth.path, pos));
        const double angle = pos / radius;
        circle.push_back({radius * std::cos(angle), radius * std::sin(angle)});
    }
    Outcome out;
    out.mapFraction = FittedRms(mapped, circuitPoints) / truth.path.length;
    out.circleFraction = FittedRms(circle, circuitPoints) / truth.path.length;
    out.cycles = map.m_nCycles;
    return out;
}

TEST(TrackMapAccuracy, MapsMatchTheCircuitsWithin0Point3PercentOfTheLap) {
    struct Condition {
        const char* what;
        double noise, bias;
    };
    const Condition conditions[] = {
        {"as logged", 0.0, 0.0},
        {"0.05 G noise", 0.05, 0.0},
        {"0.05 G lateral bias", 0.0, 0.05},
        {"noise and bias", 0.05, 0.05},
    };
    for (const std::string& circuit : GeneratorCircuitIds()) {
        for (const Condition& c : conditions) {
            SCOPED_TRACE(circuit + ", " + c.what);
            const Outcome o = MapLap(circuit, c.noise, c.bias);
            std::printf("%-10s %-20s map %.3f %%  circle %.2f %%  cycles %d\n", circuit.c_str(),
                        c.what, 100.0 * o.mapFraction, 100.0 * o.circleFraction, o.cycles);
            EXPECT_LT(o.mapFraction, 0.003);
            // The measure tells a circuit from a circle of its length.
            EXPECT_GT(o.circleFraction, 0.02);
        }
    }
}

}  // namespace
}  // namespace orvex
