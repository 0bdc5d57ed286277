// The path of the session generator: a circuit outline turned into a smooth line in metres
// with the speed a lap at nominal pace reaches along it.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "demo/CircuitData.h"
#include "demo/GeneratorCar.h"
#include "demo/SessionGenerator.h"

namespace orvex {

using namespace generator;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kEarthRadius = 6371008.8;  // m, mean radius
constexpr double kPathStep = 1.0;           // m between path points
constexpr int kHeadingWindow = 21;          // points; three passes round the corners off
constexpr int kAccelWindow = 9;             // points; softens the switch from throttle to brake

// Moving average over `window` points of a closed loop of values.
void SmoothLoop(std::vector<double>& v, int window) {
    const std::size_t n = v.size();
    if (n == 0 || window < 2) return;
    const std::ptrdiff_t half = window / 2;
    const double scale = 1.0 / static_cast<double>(2 * half + 1);
    std::vector<double> out(n);
    auto at = [&](std::ptrdiff_t i) {
        const auto m = static_cast<std::ptrdiff_t>(n);
        return v[static_cast<std::size_t>(((i % m) + m) % m)];
    };
    double sum = 0.0;
    for (std::ptrdiff_t k = -half; k <= half; ++k) sum += at(k);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = sum * scale;
        const auto j = static_cast<std::ptrdiff_t>(i);
        sum += at(j + half + 1) - at(j - half);
    }
    v.swap(out);
}

double WrapAngle(double a) {
    while (a > kPi) a -= 2.0 * kPi;
    while (a <= -kPi) a += 2.0 * kPi;
    return a;
}

// Speed profile of a closed path: cornering limit, then acceleration and braking limits, each
// pass starting at the slowest point so that it wraps round the loop correctly.
std::vector<double> SpeedProfile(const std::vector<double>& curvature, double step) {
    const std::size_t n = curvature.size();
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] =
            std::min(kTopSpeed, std::sqrt(kLateralGrip / std::max(std::abs(curvature[i]), 1e-9)));
    const std::size_t slowest =
        static_cast<std::size_t>(std::min_element(v.begin(), v.end()) - v.begin());
    for (std::size_t k = 1; k <= n; ++k) {
        const std::size_t i = (slowest + k) % n, prev = (slowest + k - 1) % n;
        const double reach = v[prev] * v[prev] + 2.0 * DriveAccel(v[prev]) * step;
        v[i] = std::min(v[i], std::sqrt(std::max(reach, 0.0)));
    }
    for (std::size_t k = 1; k <= n; ++k) {
        const std::size_t i = (slowest + n - k) % n, next = (slowest + n - k + 1) % n;
        v[i] = std::min(v[i], std::sqrt(v[next] * v[next] + 2.0 * kBrakeDecel * step));
    }
    return v;
}

}  // namespace

std::optional<GeneratorPath> BuildGeneratorPath(std::string_view circuitId) {
    const CircuitOutline* outline = FindCircuit(circuitId);
    if (!outline || outline->pointCount < 3) return std::nullopt;
    const std::size_t m = outline->pointCount;

    // Local equirectangular projection round the mean position.
    double lon0 = 0.0, lat0 = 0.0;
    for (std::size_t i = 0; i < m; ++i) {
        lon0 += outline->points[i].lon;
        lat0 += outline->points[i].lat;
    }
    lon0 /= static_cast<double>(m);
    lat0 /= static_cast<double>(m);
    const double kx = kEarthRadius * std::cos(lat0 * kPi / 180.0) * kPi / 180.0;
    const double ky = kEarthRadius * kPi / 180.0;
    std::vector<double> px(m + 1), py(m + 1), along(m + 1, 0.0);
    for (std::size_t i = 0; i <= m; ++i) {
        px[i] = (outline->points[i % m].lon - lon0) * kx;
        py[i] = (outline->points[i % m].lat - lat0) * ky;
        if (i > 0) along[i] = along[i - 1] + std::hypot(px[i] - px[i - 1], py[i] - py[i - 1]);
    }

    GeneratorPath path;
    path.circuitId = outline->id;
    path.circuitName = outline->name;
    path.officialLength = outline->officialLength;
    path.length = along[m];
    const auto n = static_cast<std::size_t>(std::max(3.0, std::round(path.length / kPathStep)));
    const double h = path.length / static_cast<double>(n);
    path.step = h;

    // Heading of every step of the outline resampled uniformly.
    std::vector<double> rx(n + 1), ry(n + 1);
    for (std::size_t i = 0, seg = 0; i <= n; ++i) {
        const double s = std::min(static_cast<double>(i) * h, path.length);
        while (seg + 1 < m && along[seg + 1] < s) ++seg;
        const double len = along[seg + 1] - along[seg];
        const double f = len > 0.0 ? (s - along[seg]) / len : 0.0;
        rx[i] = px[seg] + f * (px[seg + 1] - px[seg]);
        ry[i] = py[seg] + f * (py[seg + 1] - py[seg]);
    }
    std::vector<double> heading(n);
    double turn = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double raw = std::atan2(ry[i + 1] - ry[i], rx[i + 1] - rx[i]);
        heading[i] = i == 0 ? raw : heading[i - 1] + WrapAngle(raw - heading[i - 1]);
    }
    turn = heading[n - 1] - heading[0] + WrapAngle(heading[0] - heading[n - 1]);
    path.totalTurn = turn;

    // Round the corners: smooth the heading less its steady turn, then rebuild the positions
    // from it; this keeps the length and gives arcs where the outline has kinks.
    const double perStep = turn / static_cast<double>(n);
    for (std::size_t i = 0; i < n; ++i) heading[i] -= perStep * static_cast<double>(i);
    for (int pass = 0; pass < 3; ++pass) SmoothLoop(heading, kHeadingWindow);
    for (std::size_t i = 0; i < n; ++i) heading[i] += perStep * static_cast<double>(i);

    path.x.resize(n);
    path.y.resize(n);
    double x = rx[0], y = ry[0];
    for (std::size_t i = 0; i < n; ++i) {
        path.x[i] = x;
        path.y[i] = y;
        x += std::cos(heading[i]) * h;
        y += std::sin(heading[i]) * h;
    }
    // The rebuilt loop misses its start by a few metres; spread the gap along the lap.
    const double gapX = x - rx[0], gapY = y - ry[0];
    for (std::size_t i = 0; i < n; ++i) {
        const double f = static_cast<double>(i) / static_cast<double>(n);
        path.x[i] -= gapX * f;
        path.y[i] -= gapY * f;
    }

    path.curvature.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double next = i + 1 < n ? heading[i + 1] : heading[0] + turn;
        const double prev = i > 0 ? heading[i - 1] : heading[n - 1] - turn;
        path.curvature[i] = (next - prev) / (2.0 * h);
    }
    path.heading = std::move(heading);
    path.speed = SpeedProfile(path.curvature, h);
    path.accel.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double vn = path.speed[(i + 1) % n], vp = path.speed[(i + n - 1) % n];
        path.accel[i] = (vn * vn - vp * vp) / (4.0 * h);
    }
    for (int pass = 0; pass < 2; ++pass) SmoothLoop(path.accel, kAccelWindow);
    return path;
}

}  // namespace orvex
