#include "trackmap/TrackView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "graph/Markers.h"
#include "trackmap/TrackMap.h"

namespace orvex {

namespace {

// The band offsets measure their angles with these values of pi.
constexpr double kBandHalfPi = 1.5714285714285;
// Points closer than this to the last one drawn add nothing a screen can show; a wide pen
// hides steps up to half its width as well.
constexpr float kMinStepPixels = 1.0f;

float StepFor(float penWidth) {
    return std::max(kMinStepPixels, penWidth * 0.5f);
}

bool FarEnough(const GPoint& a, const GPoint& b, float step) {
    return std::fabs(a.x - b.x) >= step || std::fabs(a.y - b.y) >= step;
}

double HueToRgb(double p, double q, double t) {
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    if (t < 1.0 / 6.0) return p + (q - p) * 6.0 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
    return p;
}

}  // namespace

double RampLightness(double g, double extreme) {
    const double share = extreme != 0.0 ? 100.0 * std::fabs(g) / std::fabs(extreme) : 100.0;
    return (std::min(share, 100.0) + 20.0) / 240.0;
}

ColorRef WithLightness(ColorRef color, double lightness) {
    const double r = GetRValue(color) / 255.0, g = GetGValue(color) / 255.0,
                 b = GetBValue(color) / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    double hue = 0.0, saturation = 0.0;
    const double l = (hi + lo) / 2.0;
    if (hi != lo) {
        const double d = hi - lo;
        saturation = l > 0.5 ? d / (2.0 - hi - lo) : d / (hi + lo);
        if (hi == r)
            hue = (g - b) / d + (g < b ? 6.0 : 0.0);
        else if (hi == g)
            hue = (b - r) / d + 2.0;
        else
            hue = (r - g) / d + 4.0;
        hue /= 6.0;
    }
    const double L = std::clamp(lightness, 0.0, 1.0);
    auto byte = [](double v) {
        return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    if (saturation == 0.0) return MakeRGB(byte(L), byte(L), byte(L));
    const double q = L < 0.5 ? L * (1.0 + saturation) : L + saturation - L * saturation;
    const double p = 2.0 * L - q;
    return MakeRGB(byte(HueToRgb(p, q, hue + 1.0 / 3.0)), byte(HueToRgb(p, q, hue)),
                   byte(HueToRgb(p, q, hue - 1.0 / 3.0)));
}

std::string TrackMapTitle(const std::string& documentName, int32_t lap) {
    const std::string name = documentName.substr(0, documentName.find('.'));
    char buf[64];
    std::snprintf(buf, sizeof buf, " - Map (Lap #%1d)", lap);
    return name + buf;
}

void CTrackViewModel::SetMap(const CTrackMap* map) {
    m_map = map;
    WholeMap();
}

bool CTrackViewModel::Valid() const {
    return m_map && m_map->GetCount() >= 2;
}

void CTrackViewModel::WholeMap() {
    m_zoom = 1.0f;
    if (m_map) {
        m_centreX = (m_map->m_dMinX + m_map->m_dMaxX) / 2.0;
        m_centreY = (m_map->m_dMinY + m_map->m_dMaxY) / 2.0;
    }
}

void CTrackViewModel::ZoomIn() {
    m_zoom *= 2.0f;
}

void CTrackViewModel::ZoomOut() {
    m_zoom /= 2.0f;
    if (m_zoom <= 1.0f) WholeMap();
}

void CTrackViewModel::SetCentre(double x, double y) {
    if (!m_map) return;
    m_centreX = std::clamp(x, m_map->m_dMinX, m_map->m_dMaxX);
    m_centreY = std::clamp(y, m_map->m_dMinY, m_map->m_dMaxY);
}

double CTrackViewModel::Scale() const {
    if (!m_map) return 1.0;
    const double w = std::max(m_map->m_dMaxX - m_map->m_dMinX, 1e-9) / m_zoom;
    const double h = std::max(m_map->m_dMaxY - m_map->m_dMinY, 1e-9) / m_zoom;
    const double cw = std::max(m_width - 2 * kTrackMargin, 1);
    const double ch = std::max(m_height - 2 * kTrackMargin, 1);
    return std::min(cw / w, ch / h);
}

GPoint CTrackViewModel::ToPixels(double x, double y) const {
    const double s = Scale();
    return {static_cast<float>(m_width / 2.0 + (x - m_centreX) * s),
            static_cast<float>(m_height / 2.0 + (y - m_centreY) * s)};
}

void CTrackViewModel::ToMap(double px, double py, double& x, double& y) const {
    const double s = Scale();
    x = m_centreX + (px - m_width / 2.0) / s;
    y = m_centreY + (py - m_height / 2.0) / s;
}

TrackScroll CTrackViewModel::HorizontalScroll() const {
    TrackScroll out;
    if (!m_map || m_zoom <= 1.0f) return out;
    out = {true, m_map->m_dMinX, m_map->m_dMaxX, std::max(m_width - 2 * kTrackMargin, 1) / Scale(),
           m_centreX};
    return out;
}

TrackScroll CTrackViewModel::VerticalScroll() const {
    TrackScroll out;
    if (!m_map || m_zoom <= 1.0f) return out;
    out = {true, m_map->m_dMinY, m_map->m_dMaxY, std::max(m_height - 2 * kTrackMargin, 1) / Scale(),
           m_centreY};
    return out;
}

void CTrackViewModel::PointAtDistance(double distance, double& x, double& y) const {
    const auto& v = m_map->m_samples;
    auto it = std::find_if(v.begin(), v.end(),
                           [distance](const CTrackSample& p) { return p.m_dS >= distance; });
    if (it == v.end()) {
        x = v.back().m_dX;
        y = v.back().m_dY;
        return;
    }
    if (it == v.begin() || it->m_dS == (it - 1)->m_dS) {
        x = it->m_dX;
        y = it->m_dY;
        return;
    }
    const CTrackSample& a = *(it - 1);
    const double f = (distance - a.m_dS) / (it->m_dS - a.m_dS);
    x = a.m_dX + (it->m_dX - a.m_dX) * f;
    y = a.m_dY + (it->m_dY - a.m_dY) * f;
}

std::optional<std::size_t> CTrackViewModel::NearestPoint(double px, double py) const {
    if (!Valid()) return std::nullopt;
    double x = 0.0, y = 0.0;
    ToMap(px, py, x, y);
    std::size_t best = 0;
    double bestDistance = 1e300;
    for (std::size_t i = 0; i < m_map->m_samples.size(); ++i) {
        const CTrackSample& p = m_map->m_samples[i];
        const double d = (p.m_dX - x) * (p.m_dX - x) + (p.m_dY - y) * (p.m_dY - y);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

bool CTrackViewModel::Visible(const GPoint& p) const {
    return p.x >= 0.0f && p.y >= 0.0f && p.x <= static_cast<float>(m_width) &&
           p.y <= static_cast<float>(m_height);
}

bool CTrackViewModel::FollowMarker(double distance) {
    if (!Valid()) return false;
    double x = 0.0, y = 0.0;
    PointAtDistance(distance, x, y);
    if (Visible(ToPixels(x, y))) return false;
    m_centreX = x;
    m_centreY = y;
    return true;
}

float CTrackViewModel::PenWidth() const {
    return std::max(static_cast<float>(m_textHeight / 2), 1.0f);
}

void CTrackViewModel::BuildScene(CGraphScene& scene) const {
    scene.Clear();
    scene.width = m_width;
    scene.height = m_height;
    scene.background = m_colors.background;
    scene.hasDrawing = Valid();
    scene.AddRect(0, 0, static_cast<float>(m_width), static_cast<float>(m_height),
                  m_colors.background);
    if (!Valid()) return;
    const float w = PenWidth();
    const bool accel = (m_nDrawFlags & kDrawAccelSegments) != 0;
    const bool corners = (m_nDrawFlags & kDrawCornerSegments) != 0;
    if (!accel && !corners) DrawTrack(scene, w);
    float offset = 0.0f;
    if (accel && corners) offset = std::max(w * std::max(std::sqrt(m_zoom), 0.75f), 1.0f);
    if (accel) DrawSegments(scene, false, offset, w);
    if (corners) DrawSegments(scene, true, -offset, w);
    DrawStartFinish(scene, std::max(w / 2.0f, 1.0f));
    AddMarkers(scene);
}

void CTrackViewModel::BuildOverlay(CGraphScene& scene) const {
    scene.Clear();
    scene.width = m_width;
    scene.height = m_height;
    scene.background = m_colors.background;
    scene.hasDrawing = Valid();
    if (Valid()) AddMarkers(scene);
}

void CTrackViewModel::AddMarkers(CGraphScene& scene) const {
    if (m_greenDistance) DrawSquare(scene, *m_greenDistance, kTrackGreenMarker);
    if (m_redDistance) DrawSquare(scene, *m_redDistance, kTrackRedMarker);
    for (const TrackRaceCircle& c : m_raceCircles) DrawCircle(scene, c.distance, c.color);
}

LineBlend CTrackViewModel::MarkerBlend() const {
    // As the chart's marker lines: they show over any trace and on either background.
    return MarkerRasterOp(m_colors.background) == RasterOp::Xor ? LineBlend::Xor
                                                                : LineBlend::NotXor;
}

void CTrackViewModel::DrawTrack(CGraphScene& scene, float width) const {
    const auto& v = m_map->m_samples;
    const float step = StepFor(width);
    scene.BeginPolyline(m_colors.track, false, width);
    GPoint last = ToPixels(v.front().m_dX, v.front().m_dY);
    scene.AddPoint(last.x, last.y);
    for (std::size_t i = 1; i < v.size(); ++i) {
        const GPoint q = ToPixels(v[i].m_dX, v[i].m_dY);
        if (!FarEnough(q, last, step) && i + 1 < v.size()) continue;
        scene.AddPoint(q.x, q.y);
        last = q;
    }
    scene.EndPolyline();
}

void CTrackViewModel::DrawSegments(CGraphScene& scene, bool corners, float offset,
                                   float width) const {
    const CTrackSegments& seg = corners ? m_map->m_corners : m_map->m_accel;
    const auto& v = m_map->m_samples;
    const std::size_t n = v.size();
    const float step = StepFor(width);
    // Point i moved `offset` pixels at right angles to the local direction of the track.
    auto at = [&](std::size_t i) {
        GPoint p = ToPixels(v[i].m_dX, v[i].m_dY);
        if (offset == 0.0f) return p;
        const GPoint a = ToPixels(v[i > 0 ? i - 1 : i].m_dX, v[i > 0 ? i - 1 : i].m_dY);
        const GPoint b = ToPixels(v[i + 1 < n ? i + 1 : i].m_dX, v[i + 1 < n ? i + 1 : i].m_dY);
        const double normal = std::atan2(b.y - a.y, b.x - a.x) + kBandHalfPi;
        p.x += static_cast<float>(offset * std::cos(normal));
        p.y += static_cast<float>(offset * std::sin(normal));
        return p;
    };
    int cornerNumber = 0;
    for (std::size_t j = 0; j < seg.Count(); ++j) {
        const std::size_t from = static_cast<std::size_t>(seg.StartOf(j));
        const std::size_t to = static_cast<std::size_t>(seg.m_bounds[j]);
        const uint8_t kind = seg.m_kinds[j];
        ColorRef color = 0;
        if (corners)
            color = kind == kRightTurn  ? m_colors.right
                    : kind == kLeftTurn ? m_colors.left
                                        : m_colors.track;
        else
            color = kind == kAccelerating ? m_colors.accel : m_colors.decel;
        if (!corners && m_bRamp) {
            const double extreme = kind == kAccelerating ? m_map->m_dMaxLongG : m_map->m_dMinLongG;
            GPoint a = at(from);
            for (std::size_t i = from + 1; i <= to; ++i) {
                const GPoint b = at(i);
                if (!FarEnough(a, b, step) && i < to) continue;
                const ColorRef c = WithLightness(color, RampLightness(v[i].m_dLongG, extreme));
                scene.AddLine(a.x, a.y, b.x, b.y, c, false, width);
                a = b;
            }
        } else {
            scene.BeginPolyline(color, false, width);
            GPoint last = at(from);
            scene.AddPoint(last.x, last.y);
            for (std::size_t i = from + 1; i <= to; ++i) {
                const GPoint p = at(i);
                if (!FarEnough(p, last, step) && i < to) continue;
                scene.AddPoint(p.x, p.y);
                last = p;
            }
            scene.EndPolyline();
        }
        if (corners && (m_nDrawFlags & kDrawCornerNumbers) && kind != kStraight) {
            char text[16];
            std::snprintf(text, sizeof text, "%1d", ++cornerNumber);
            const GPoint p = at(from);
            scene.AddText(p.x + width, p.y - width, text, HAlign::Left, VAlign::Bottom, color);
        }
    }
}

void CTrackViewModel::DrawStartFinish(CGraphScene& scene, float width) const {
    const GPoint first = ToPixels(m_map->m_samples.front().m_dX, m_map->m_samples.front().m_dY);
    const GPoint last = ToPixels(m_map->m_samples.back().m_dX, m_map->m_samples.back().m_dY);
    const double half = (m_map->m_dMaxY - m_map->m_dMinY) / 20.0 * Scale();
    const int x0 = static_cast<int>(std::lround(first.x)),
              y0 = static_cast<int>(std::lround(first.y));
    const int dx = static_cast<int>(std::lround(last.x)) - x0;
    const int dy = static_cast<int>(std::lround(last.y)) - y0;
    // The slope dx / dy (whole pixels), counted upward, or a vertical line.
    double ux = 0.0, uy = 1.0;
    if (dy != 0) {
        const double slope = static_cast<double>(dx / dy);
        const double norm = std::sqrt(1.0 + slope * slope);
        ux = 1.0 / norm;
        uy = -slope / norm;
    }
    scene.AddLine(static_cast<float>(x0 - ux * half), static_cast<float>(y0 - uy * half),
                  static_cast<float>(x0 + ux * half), static_cast<float>(y0 + uy * half),
                  m_colors.startFinish, false, width);
}

void CTrackViewModel::DrawSquare(CGraphScene& scene, double distance, ColorRef color) const {
    double x = 0.0, y = 0.0;
    PointAtDistance(distance, x, y);
    const GPoint c = ToPixels(x, y);
    const float h = static_cast<float>(m_textHeight);
    // A two-pixel pen centred on the square's sides, one text height from the point.
    const float left = std::round(c.x) - h - 1, top = std::round(c.y) - h - 1;
    scene.AddFrame(left, top, 2 * h + 2, 2 * h + 2, color, 2.0f, true, MarkerBlend());
}

void CTrackViewModel::DrawCircle(CGraphScene& scene, double distance, ColorRef color) const {
    double x = 0.0, y = 0.0;
    PointAtDistance(distance, x, y);
    const GPoint c = ToPixels(x, y);
    const auto r = static_cast<float>(m_textHeight);
    scene.AddEllipse(c.x, c.y, r, r, color, std::nullopt, true, 2.0f, MarkerBlend());
}

}  // namespace orvex
