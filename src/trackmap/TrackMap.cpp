#include "trackmap/TrackMap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/HostServices.h"

namespace orvex {

namespace {

constexpr double kFeetPerSecondSquaredPerG = 32.2;
// Keeps the square root in the curvature defined; any larger floor bends every straight.
constexpr double kCurvatureRootFloor = 1e-12;
constexpr double kMinSegmentFeet = 10.0;
constexpr double kMinSegmentSeconds = 1.0;
constexpr int kNeutralSamplesToThrottle = 10;

// Searching back from i - 1 (not past the previous boundary) for the last sample whose value
// is not positive (`notPositive`) or not negative; i when there is none.
int32_t ZeroCrossingBefore(const std::vector<double>& values, int32_t i, int32_t lastBound,
                           bool notPositive) {
    for (int32_t j = i - 1; j > lastBound && j >= 0; --j) {
        const double v = values[static_cast<std::size_t>(j)];
        if (notPositive ? v <= 0.0 : v >= 0.0) return j;
    }
    return i;
}

}  // namespace

void CTrackMap::RemoveAll() {
    m_samples.clear();
    m_accel.Clear();
    m_corners.Clear();
    m_dMinX = m_dMaxX = m_dMinY = m_dMaxY = 0.0;
    m_bDirection = 0;
    m_nCycles = 0;
}

void CTrackMap::Smooth(int passes, std::size_t n, const double* times, double* values) {
    if (n < 5) return;
    std::vector<double> next(values, values + n);
    for (int pass = 0; pass < passes; ++pass) {
        double firstSlope = 0.0;
        for (std::size_t i = 2; i + 2 < n; ++i) {
            const double t1 = (times[i - 2] + times[i - 1]) / 2.0;
            const double v1 = (values[i - 2] + values[i - 1]) / 2.0;
            const double t2 = (times[i + 1] + times[i + 2]) / 2.0;
            const double v2 = (values[i + 1] + values[i + 2]) / 2.0;
            // Samples sharing one time give no slope: the mean of the two means stands.
            const double slope = t2 != t1 ? (v2 - v1) / (t2 - t1) : 0.0;
            next[i] = t2 != t1 ? v1 + (times[i] - t1) * slope : (v1 + v2) / 2.0;
            if (i == 2) firstSlope = slope;
        }
        for (std::size_t i = 2; i + 2 < n; ++i) values[i] = next[i];
        for (std::size_t k = 0; k < 2; ++k)
            values[k] = (times[k] - times[2]) * firstSlope + values[2];
    }
}

void CTrackMap::ComputeCurvature() {
    ComputeCurvature(true);
}

void CTrackMap::ComputeCurvature(bool withBank) {
    const double g = m_dGScale;
    for (CTrackSample& p : m_samples) {
        double r = std::sqrt(p.m_dLatG * p.m_dLatG + p.m_dVertG * p.m_dVertG);
        if (r == 0.0) r = 0.0001;
        const double d = g / r;
        const double w = std::max(1.0 - d * d, kCurvatureRootFloor);
        // phi = atan(d / sqrt(w)), so cos(phi) = sqrt(w) / sqrt(w + d^2).
        const double rootW = std::sqrt(w);
        const double cosPhi = rootW / std::sqrt(w + d * d);
        if (p.m_dSpeed < 1.0) p.m_dSpeed = 1.0;
        const double sigma = p.m_dLatG >= 0.0 ? 1.0 : -1.0;
        double k = sigma * cosPhi * r * kFeetPerSecondSquaredPerG / (p.m_dSpeed * g * p.m_dSpeed);
        if (std::fabs(k) < 0.000001) k = sigma * 0.000001;
        p.m_dCurvature = k;
        p.m_dRadius = 1.0 / k;
        if (std::fabs(p.m_dLatG) < 0.001) p.m_dLatG = sigma * 0.001;
        if (withBank) p.m_dBank = std::atan(p.m_dVertG / p.m_dLatG) - std::atan(d / rootW);
    }
}

void CTrackMap::IntegratePath() {
    if (m_samples.empty()) return;
    CTrackSample& first = m_samples.front();
    first.m_dHeading = first.m_dX = first.m_dY = first.m_dS = 0.0;
    for (std::size_t i = 1; i < m_samples.size(); ++i) {
        const CTrackSample& p = m_samples[i - 1];
        CTrackSample& c = m_samples[i];
        const double ds = (c.m_dSpeed + p.m_dSpeed) / 2.0 * (c.m_dTime - p.m_dTime);
        c.m_dHeading = p.m_dHeading + ds * p.m_dCurvature;
        c.m_dX = p.m_dX + std::cos(c.m_dHeading) * ds;
        c.m_dY = p.m_dY - std::sin(c.m_dHeading) * ds;
        c.m_dS = p.m_dS + ds;
    }
}

void CTrackMap::CloseAndBound() {
    if (m_samples.empty()) return;
    const CTrackSample& first = m_samples.front();
    const CTrackSample& last = m_samples.back();
    if (m_bClose) {
        const double dx = last.m_dX - first.m_dX;
        const double dy = last.m_dY - first.m_dY;
        const double length = last.m_dS != 0.0 ? last.m_dS : 1e-9;
        for (CTrackSample& p : m_samples) {
            p.m_dX -= dx * p.m_dS / length;
            p.m_dY -= dy * p.m_dS / length;
        }
    }
    m_dMinX = m_dMaxX = m_samples.front().m_dX;
    m_dMinY = m_dMaxY = m_samples.front().m_dY;
    for (const CTrackSample& p : m_samples) {
        m_dMinX = std::min(m_dMinX, p.m_dX);
        m_dMaxX = std::max(m_dMaxX, p.m_dX);
        m_dMinY = std::min(m_dMinY, p.m_dY);
        m_dMaxY = std::max(m_dMaxY, p.m_dY);
    }
}

bool CTrackMap::Calculate(IProgress* progress) {
    m_nCycles = 0;
    const std::size_t n = m_samples.size();
    if (n < kMinTrackSamples) return false;
    if (progress) progress->SetTitle("Calculating Track Map");

    // Smoothing on plain arrays, written back afterwards.
    std::vector<double> times(n), longG(n), vertG(n), latG(n);
    for (std::size_t i = 0; i < n; ++i) {
        times[i] = m_samples[i].m_dTime;
        longG[i] = m_samples[i].m_dLongG;
        vertG[i] = m_samples[i].m_dVertG;
        latG[i] = m_samples[i].m_dLatG;
    }
    Smooth(2, n, times.data(), longG.data());
    Smooth(2, n, times.data(), vertG.data());
    Smooth(2, n, times.data(), latG.data());
    m_dMaxLongG = -1e30;
    m_dMinLongG = 1e30;
    for (std::size_t i = 0; i < n; ++i) {
        m_samples[i].m_dLongG = longG[i];
        m_samples[i].m_dVertG = vertG[i];
        m_samples[i].m_dLatG = latG[i];
        m_dMaxLongG = std::max(m_dMaxLongG, longG[i]);
        m_dMinLongG = std::min(m_dMinLongG, longG[i]);
    }

    std::vector<double> curvature(n), bank(n);
    double bias = 0.0;
    for (int cycle = m_bClose ? 1 : kMaxCycles; cycle <= kMaxCycles; ++cycle) {
        if (progress) {
            char line[64];
            std::snprintf(line, sizeof line, "Process Cycle #%1d", cycle);
            progress->SetStatus(1, line);
            if (progress->Pump()) return false;
        }
        ++m_nCycles;
        if (bias != 0.0)
            for (CTrackSample& p : m_samples) p.m_dLatG += bias * m_dGScale;
        // The bank does not feed back into the path: it is taken once, from the last cycle.
        ComputeCurvature(false);
        for (std::size_t i = 0; i < n; ++i) curvature[i] = m_samples[i].m_dCurvature;
        Smooth(1, n, times.data(), curvature.data());
        for (std::size_t i = 0; i < n; ++i) m_samples[i].m_dCurvature = curvature[i];
        IntegratePath();

        const double endHeading = m_samples.back().m_dHeading;
        m_bDirection = endHeading < 0.0 ? 1 : 0;
        const double error = std::fabs(endHeading) - kLapTurn;
        if (std::fabs(error) < kLapTurnTolerance) break;
        const bool tooLittle = std::fabs(endHeading) < kLapTurn;
        const bool positive = m_bDirection == 0;
        const double sign = (tooLittle && positive) || (!tooLittle && !positive) ? 1.0 : -1.0;
        bias = sign * 0.01 * std::fabs(error);
    }
    // The last cycle's bank: its curvature again (the same values) with the bank, smoothed.
    for (std::size_t i = 0; i < n; ++i) curvature[i] = m_samples[i].m_dCurvature;
    ComputeCurvature(true);
    for (std::size_t i = 0; i < n; ++i) {
        bank[i] = m_samples[i].m_dBank;
        m_samples[i].m_dCurvature = curvature[i];
        m_samples[i].m_dRadius = 1.0 / curvature[i];
    }
    Smooth(1, n, times.data(), bank.data());
    for (std::size_t i = 0; i < n; ++i) m_samples[i].m_dBank = bank[i];
    CloseAndBound();
    return true;
}

int32_t CTrackMap::AccelerationSegmentStep(SegmentWalk& w, const std::vector<double>& values,
                                           int32_t i) const {
    const double v = values[static_cast<std::size_t>(i)];
    int32_t bound = -1;
    auto startSegment = [&](int32_t at, uint8_t kind) {
        w.ended = w.kind;
        w.kind = kind;
        bound = at;
    };
    switch (w.zone) {
        case 1:
            if (v < w.lower) {
                w.zone = 3;
                startSegment(i, kBraking);
            } else if (v < w.upper) {
                w.zone = 2;
                w.neutral = 0;
                w.zoneExit = i;
            }
            break;
        case 3:
            if (v > w.upper) {
                w.zone = 1;
                startSegment(i, kAccelerating);
            } else if (v > w.lower) {
                w.zone = 2;
                w.neutral = 0;
                w.zoneExit = i;
            }
            break;
        default:
            if (v > w.upper) {
                w.zone = 1;
                if (w.kind != kAccelerating)
                    startSegment(ZeroCrossingBefore(values, i, w.lastBound, true), kAccelerating);
            } else if (v < w.lower) {
                w.zone = 3;
                if (w.kind != kBraking)
                    startSegment(ZeroCrossingBefore(values, i, w.lastBound, false), kBraking);
            } else if (w.kind == kBraking && ++w.neutral > kNeutralSamplesToThrottle) {
                // Back on the throttle after braking.
                startSegment(ZeroCrossingBefore(values, i, w.lastBound, true), kAccelerating);
            }
            break;
    }
    if (bound >= 0) w.lastBound = bound;
    return bound;
}

int32_t CTrackMap::CornerSegmentStep(SegmentWalk& w, const std::vector<double>& values,
                                     int32_t i) const {
    const double v = values[static_cast<std::size_t>(i)];
    if (w.zone == 2 && v <= w.upper && v >= w.lower) {
        // A corner that has been left for more than 10 samples ends where it was left.
        if (w.kind != kStraight && ++w.neutral > kNeutralSamplesToThrottle &&
            w.zoneExit > w.lastBound) {
            w.ended = w.kind;
            w.kind = kStraight;
            w.lastBound = w.zoneExit;
            return w.zoneExit;
        }
        return -1;
    }
    // Entering and leaving the corner zones follows the acceleration walk (its throttle rule
    // is never reached: staying in zone 2 is handled above).
    return AccelerationSegmentStep(w, values, i);
}

bool CTrackMap::FindSegments(bool corners, IProgress* progress) {
    CTrackSegments& segments = corners ? m_corners : m_accel;
    segments.Clear();
    const std::size_t n = m_samples.size();
    if (n == 0) return true;
    if (progress) {
        progress->SetTitle("Finding Track Map Segments");
        if (progress->Pump()) return false;
    }
    std::vector<double> values(n);
    double largest = -1e30, smallest = 1e30;
    for (std::size_t i = 0; i < n; ++i) {
        values[i] = corners ? m_samples[i].m_dLatG : m_samples[i].m_dLongG;
        largest = std::max(largest, values[i]);
        smallest = std::min(smallest, values[i]);
    }
    if (!corners) {
        largest = m_dMaxLongG;
        smallest = m_dMinLongG;
    }
    SegmentWalk w;
    w.upper = (corners ? m_fLongitudePos : m_fLateralPos) * largest;
    w.lower = (corners ? m_fLongitudeNeg : m_fLateralNeg) * smallest;
    w.zone = values[0] > w.upper ? 1 : values[0] < w.lower ? 3 : 2;
    w.kind = static_cast<uint8_t>(w.zone);
    for (std::size_t i = 1; i < n; ++i) {
        const int32_t at = static_cast<int32_t>(i);
        const int32_t bound =
            corners ? CornerSegmentStep(w, values, at) : AccelerationSegmentStep(w, values, at);
        if (bound > 0) {
            segments.m_bounds.push_back(bound);
            segments.m_kinds.push_back(w.ended);
        }
    }
    const int32_t last = static_cast<int32_t>(n - 1);
    if (segments.m_bounds.empty() || segments.m_bounds.back() != last) {
        segments.m_bounds.push_back(last);
        segments.m_kinds.push_back(w.kind);
    }
    // The lap wraps around: a lap that starts neutral continues its last segment.
    if (segments.m_kinds.front() == kNeutral) segments.m_kinds.front() = segments.m_kinds.back();
    MergeShortSegments(segments);
    return true;
}

void CTrackMap::MergeShortSegments(CTrackSegments& seg) const {
    std::size_t j = 0;
    while (j < seg.Count() && seg.Count() > 1) {
        const CTrackSample& from = m_samples[static_cast<std::size_t>(seg.StartOf(j))];
        const CTrackSample& to = m_samples[static_cast<std::size_t>(seg.m_bounds[j])];
        const bool shortOne =
            to.m_dS - from.m_dS < kMinSegmentFeet || to.m_dTime - from.m_dTime < kMinSegmentSeconds;
        if (!shortOne) {
            ++j;
            continue;
        }
        const auto at = [&](std::size_t k) { return static_cast<std::ptrdiff_t>(k); };
        if (j == 0) {
            // Nothing before the first segment: it joins the next one.
            seg.m_bounds.erase(seg.m_bounds.begin());
            seg.m_kinds.erase(seg.m_kinds.begin());
        } else if (j + 1 < seg.Count() && seg.m_kinds[j - 1] == seg.m_kinds[j + 1]) {
            // The segments before and after it become one.
            seg.m_bounds.erase(seg.m_bounds.begin() + at(j - 1), seg.m_bounds.begin() + at(j + 1));
            seg.m_kinds.erase(seg.m_kinds.begin() + at(j - 1), seg.m_kinds.begin() + at(j + 1));
            --j;
        } else {
            // It joins the previous segment, which now ends at its end.
            seg.m_bounds.erase(seg.m_bounds.begin() + at(j - 1));
            seg.m_kinds.erase(seg.m_kinds.begin() + at(j));
            --j;
        }
    }
}

bool CTrackMap::FindAccelerationSegments(IProgress* progress) {
    return FindSegments(false, progress);
}

bool CTrackMap::FindCornerSegments(IProgress* progress) {
    return FindSegments(true, progress);
}

}  // namespace orvex
