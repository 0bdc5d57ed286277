#include "views/ViewScenes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace orvex {

namespace {

ColorRef Shade(ColorRef c, double f) {
    auto ch = [f](int v) { return std::clamp(static_cast<int>(std::lround(v * f)), 0, 255); };
    if (f > 1.0) {
        auto up = [f](int v) {
            return std::clamp(static_cast<int>(std::lround(255 - (255 - v) / f)), 0, 255);
        };
        return MakeRGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
    }
    return MakeRGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

// A step of 1, 2 or 5 times a power of ten giving about eight ticks up to `top`.
double NiceStep(double top) {
    const double raw = top / 8.0;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * mag >= raw - 1e-12) return f * mag;
    return 10.0 * mag;
}

std::string ValueLabel(double v, double step) {
    char buf[32];
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// The pixels a trace has covered so far, so that a stretch drawn over pixels already painted
// in its colour (an hour of laps retraces the same loops) is left out of the scene.
class PixelGrid {
  public:
    PixelGrid(int width, int height)
        : m_width(std::max(width, 0)),
          m_height(std::max(height, 0)),
          m_cells(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height)) {}
    void Clear() { std::fill(m_cells.begin(), m_cells.end(), uint8_t{0}); }
    // Marks the pixel; true when it was not marked yet (a pixel off the grid always is new).
    bool Mark(int x, int y) {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return true;
        uint8_t& cell = m_cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                                static_cast<std::size_t>(x)];
        const bool fresh = cell == 0;
        cell = 1;
        return fresh;
    }
    // Marks the pixels of the line from a to b (both on whole pixels); true when one was new.
    bool MarkLine(ViewPoint a, ViewPoint b) {
        int x = static_cast<int>(a.x), y = static_cast<int>(a.y);
        const int x1 = static_cast<int>(b.x), y1 = static_cast<int>(b.y);
        const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
        const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
        int err = dx + dy;
        bool fresh = false;
        for (;;) {
            fresh = Mark(x, y) || fresh;
            if (x == x1 && y == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x += sx;
            if (e2 <= dx) err += dx, y += sy;
        }
        return fresh;
    }

  private:
    int m_width, m_height;
    std::vector<uint8_t> m_cells;
};

}  // namespace

void BuildTractionScene(const CFrictionCircle& circle, int width, int height, const ViewMetrics& m,
                        CViewScene& scene) {
    scene.Clear();
    scene.width = width;
    scene.height = height;
    const FrictionSettings& settings = circle.Settings();
    scene.background = settings.background;
    const FrictionLayout l = circle.Layout(width, height);
    const auto x0 = static_cast<float>(l.X(0)), y0 = static_cast<float>(l.Y(0));
    const auto top = static_cast<float>(l.top), bottom = static_cast<float>(l.bottom);
    const auto left = static_cast<float>(l.left), right = static_cast<float>(l.right);
    auto length = [&m](TickKind k) {
        return k == TickKind::Short    ? m.zeroWidth / 2
               : k == TickKind::Medium ? m.zeroWidth
                                       : m.zeroWidth * 1.5f;
    };
    const ColorRef axes = settings.axes;
    for (const FrictionTick& t : circle.Ticks(l, true)) {
        const auto x = static_cast<float>(l.X(t.value));
        const float len = length(t.kind);
        if (t.kind == TickKind::Line)
            scene.AddLine(x, top, x, bottom, axes);
        else
            scene.AddLine(x, y0 - len, x, y0 + len, axes);
        if (!t.label.empty())
            scene.AddText(x - 4 * m.zeroWidth, y0 + m.zeroWidth * 1.5f + 1, x + 4 * m.zeroWidth,
                          y0 + m.zeroWidth * 1.5f + 1 + m.lineHeight, t.label, axes, 8,
                          ViewAlign::Center, ViewVAlign::Top);
    }
    for (const FrictionTick& t : circle.Ticks(l, false)) {
        const auto y = static_cast<float>(l.Y(t.value));
        const float len = length(t.kind);
        if (t.kind == TickKind::Line)
            scene.AddLine(left, y, right, y, axes);
        else
            scene.AddLine(x0 - len, y, x0 + len, y, axes);
        if (!t.label.empty())
            scene.AddText(x0 + m.zeroWidth * 1.5f + 2, y - m.lineHeight / 2, x0 + m.zeroWidth * 10,
                          y + m.lineHeight / 2, t.label, axes, 8, ViewAlign::Left,
                          ViewVAlign::Center);
    }

    std::vector<ViewPoint> pts, run;
    PixelGrid grid(width, height);
    for (const FrictionEntry& e : circle.Entries()) {
        if (!e.Plots()) continue;
        pts.clear();
        for (std::size_t i = 0; i < e.lrValues.size(); ++i) {
            const ViewPoint p{static_cast<float>(std::round(l.X(circle.PlotLr(e, i)))),
                              static_cast<float>(std::round(l.Y(circle.PlotFr(e, i))))};
            // Points on the pixel of the one before add nothing to the drawing.
            if (!pts.empty() && pts.back().x == p.x && pts.back().y == p.y) continue;
            pts.push_back(p);
        }
        // Each entry is painted over the ones before it: its own pixels only are skipped.
        grid.Clear();
        if (settings.drawCurve) {
            if (pts.size() == 1) pts.push_back(pts.front());
            // The curve in runs of segments that reach at least one pixel not painted yet.
            run.clear();
            for (std::size_t i = 1; i < pts.size(); ++i) {
                if (grid.MarkLine(pts[i - 1], pts[i])) {
                    if (run.empty()) run.push_back(pts[i - 1]);
                    run.push_back(pts[i]);
                } else if (!run.empty()) {
                    scene.AddPolyline(run, e.colour);
                    run.clear();
                }
            }
            if (!run.empty()) scene.AddPolyline(run, e.colour);
        } else {
            // A dot on a pixel that already carries one of this entry's dots adds nothing.
            for (const ViewPoint& p : pts)
                if (grid.Mark(static_cast<int>(p.x), static_cast<int>(p.y)))
                    scene.AddEllipse(p.x, p.y, m.zeroWidth / 2, m.zeroWidth / 2, e.colour);
        }
    }

    float textTop = top;
    for (bool green : {true, false}) {
        const FrictionMarker& marker = circle.Marker(green);
        if (!marker.drawn) continue;
        const FrictionEntry& e = circle.Entries()[static_cast<std::size_t>(marker.entry)];
        const auto x = static_cast<float>(std::round(l.X(circle.PlotLr(e, marker.step))));
        const auto y = static_cast<float>(std::round(l.Y(circle.PlotFr(e, marker.step))));
        const ColorRef colour = green ? kGreenMarkerBox : kRedMarkerBox;
        const float h = (kMarkerBox - 1) / 2;
        scene.AddFrame(x - h, y - h, kMarkerBox, kMarkerBox, colour);
        if (settings.values) {
            scene.AddText(0, textTop, static_cast<float>(width), textTop + m.largeHeight,
                          circle.ValueText(green), colour, 14, ViewAlign::Center, ViewVAlign::Top);
            textTop += m.largeHeight;
        }
    }
}

ColorRef HistogramBarColour(int row) {
    static const ColorRef kColours[] = {MakeRGB(31, 119, 180),  MakeRGB(255, 127, 14),
                                        MakeRGB(44, 160, 44),   MakeRGB(214, 39, 40),
                                        MakeRGB(148, 103, 189), MakeRGB(140, 86, 75),
                                        MakeRGB(227, 119, 194), MakeRGB(127, 127, 127)};
    return kColours[static_cast<std::size_t>(row) % (sizeof kColours / sizeof kColours[0])];
}

HistogramGeometry BuildHistogramScene(const HistogramChart& chart, const HistogramFlags& flags,
                                      int width, int height, const ViewMetrics& m,
                                      const HistogramLook& look, CViewScene& scene) {
    scene.Clear();
    scene.width = width;
    scene.height = height;
    scene.background = look.background;
    HistogramGeometry g;
    const auto w = static_cast<float>(width), h = static_cast<float>(height);
    if (!chart.message.empty() || chart.bands == 0 || chart.rows.empty()) {
        scene.AddText(0, 0, w, h, chart.message, look.text, 8, ViewAlign::Center,
                      ViewVAlign::Center);
        return g;
    }
    const int rows = static_cast<int>(chart.rows.size());
    const double axisTop = chart.axisMax > 0 ? chart.axisMax : 1.0;
    const double step = NiceStep(axisTop);

    std::size_t legendChars = 0, bandChars = 0;
    for (const HistogramRow& r : chart.rows) legendChars = std::max(legendChars, r.legend.size());
    for (const std::string& s : chart.bandLabels) bandChars = std::max(bandChars, s.size());
    const float legendW = flags.legend ? static_cast<float>(legendChars) * m.zeroWidth + 30 : 0;
    const float valueLabelW = 7 * m.zeroWidth;
    const bool vertical = flags.verticalBars;
    const float bandLabelW = static_cast<float>(bandChars + 1) * m.zeroWidth;

    g.left = 10 + (vertical ? valueLabelW : bandLabelW);
    g.top = 10 + m.lineHeight;
    g.right = w - 10 - legendW;
    g.bottom = h - 10 - 2 * m.lineHeight - 4;
    if (g.right < g.left + 10) g.right = g.left + 10;
    if (g.bottom < g.top + 10) g.bottom = g.top + 10;
    const float depth = flags.bars3D ? 10.0f : 0.0f;
    // The front faces sit in the plot less the depth that the 3D faces reach into.
    const float faceRight = g.right - depth, faceTop = g.top + depth;

    const auto valueLen = static_cast<float>(vertical ? g.bottom - faceTop : faceRight - g.left);
    auto valuePos = [&](double v) {
        const auto f = static_cast<float>(std::clamp(v / axisTop, 0.0, 1.0)) * valueLen;
        return vertical ? g.bottom - f : g.left + f;
    };
    const float bandLen = vertical ? faceRight - g.left : g.bottom - faceTop;
    const float groupLen = bandLen / static_cast<float>(chart.bands);
    auto groupStart = [&](int band) {
        // Horizontal bars run from the lowest band at the bottom up.
        return vertical ? g.left + static_cast<float>(band) * groupLen
                        : faceTop + static_cast<float>(chart.bands - 1 - band) * groupLen;
    };

    // Grids: lines at the value ticks and between the band groups.
    const bool valueGrid = vertical ? flags.horzGrid : flags.vertGrid;
    const bool bandGrid = vertical ? flags.vertGrid : flags.horzGrid;
    for (double v = 0; v <= axisTop + 1e-9; v += step) {
        const float p = valuePos(v);
        if (vertical) {
            if (valueGrid && v > 0) scene.AddLine(g.left, p, faceRight, p, look.grid);
            scene.AddLine(g.left - 4, p, g.left, p, look.text);
            scene.AddText(10, p - m.lineHeight / 2, g.left - 6, p + m.lineHeight / 2,
                          ValueLabel(v, step), look.text, 8, ViewAlign::Right);
        } else {
            if (valueGrid && v > 0) scene.AddLine(p, faceTop, p, g.bottom, look.grid);
            scene.AddLine(p, g.bottom, p, g.bottom + 4, look.text);
            scene.AddText(p - 4 * m.zeroWidth, g.bottom + 5, p + 4 * m.zeroWidth,
                          g.bottom + 5 + m.lineHeight, ValueLabel(v, step), look.text, 8,
                          ViewAlign::Center, ViewVAlign::Top);
        }
    }
    if (bandGrid)
        for (int b = 1; b < chart.bands; ++b) {
            const float p = groupStart(b);
            if (vertical)
                scene.AddLine(p, faceTop, p, g.bottom, look.grid);
            else
                scene.AddLine(g.left, p, faceRight, p, look.grid);
        }

    // Bars: each band a group of one bar per row.
    const float barLen = groupLen * 0.8f / static_cast<float>(rows);
    for (int b = 0; b < chart.bands; ++b) {
        const float start = groupStart(b) + groupLen * 0.1f;
        for (int r = 0; r < rows; ++r) {
            const double value =
                chart.rows[static_cast<std::size_t>(r)].values[static_cast<std::size_t>(b)];
            const ColorRef colour = HistogramBarColour(r);
            const float from = start + static_cast<float>(r) * barLen;
            const float end = valuePos(value);
            HistogramGeometry::Bar bar;
            bar.row = r;
            bar.band = b;
            if (vertical) {
                bar.x = from;
                bar.y = end;
                bar.w = barLen;
                bar.h = g.bottom - end;
            } else {
                bar.x = g.left;
                bar.y = from;
                bar.w = end - g.left;
                bar.h = barLen;
            }
            g.bars.push_back(bar);
            if (bar.w <= 0 || bar.h <= 0) continue;
            const float d = std::min(depth, barLen * 0.6f);
            if (d > 0) {
                const float x = bar.x, y = bar.y, x2 = bar.x + bar.w, y2 = bar.y + bar.h;
                scene.AddPolygon({{x, y}, {x + d, y - d}, {x2 + d, y - d}, {x2, y}},
                                 Shade(colour, 1.6), Shade(colour, 0.6));
                scene.AddPolygon({{x2, y}, {x2 + d, y - d}, {x2 + d, y2 - d}, {x2, y2}},
                                 Shade(colour, 0.7), Shade(colour, 0.6));
            }
            scene.AddRect(bar.x, bar.y, bar.w, bar.h, colour, true, Shade(colour, 0.6));
        }
        const std::string& label = chart.bandLabels[static_cast<std::size_t>(b)];
        if (label.empty()) continue;
        const float mid = groupStart(b) + groupLen / 2;
        if (vertical)
            scene.AddText(mid - static_cast<float>(label.size() + 2) * m.zeroWidth, g.bottom + 3,
                          mid + static_cast<float>(label.size() + 2) * m.zeroWidth,
                          g.bottom + 3 + m.lineHeight, label, look.text, 8, ViewAlign::Center,
                          ViewVAlign::Top);
        else
            scene.AddText(10, mid - m.lineHeight / 2, g.left - 4, mid + m.lineHeight / 2, label,
                          look.text, 8, ViewAlign::Right);
    }
    // Axes and their titles.
    scene.AddLine(g.left, faceTop, g.left, g.bottom, look.text);
    scene.AddLine(g.left, g.bottom, faceRight, g.bottom, look.text);
    const float titleY = g.bottom + 4 + m.lineHeight;
    if (vertical) {
        scene.AddText(10, 10, g.right, 10 + m.lineHeight, chart.valueAxis, look.text, 8,
                      ViewAlign::Left, ViewVAlign::Top, true);
        scene.AddText(g.left, titleY, g.right, titleY + m.lineHeight, chart.bandAxis, look.text, 8,
                      ViewAlign::Center, ViewVAlign::Top, true);
    } else {
        scene.AddText(10, 10, g.right, 10 + m.lineHeight, chart.bandAxis, look.text, 8,
                      ViewAlign::Left, ViewVAlign::Top, true);
        scene.AddText(g.left, titleY, g.right, titleY + m.lineHeight, chart.valueAxis, look.text, 8,
                      ViewAlign::Center, ViewVAlign::Top, true);
    }
    if (flags.legend) {
        const float x = g.right + 12;
        float y = g.top + depth;
        for (int r = 0; r < rows; ++r) {
            scene.AddRect(x, y + 2, 10, 10, HistogramBarColour(r), true, look.text);
            scene.AddText(x + 14, y, w - 4, y + m.lineHeight,
                          chart.rows[static_cast<std::size_t>(r)].legend, look.text, 8);
            y += m.lineHeight + 2;
        }
    }
    return g;
}

void BuildLapReportScene(const CTableModel& table, int width, int height, const ViewMetrics& m,
                         CViewScene& scene) {
    scene.Clear();
    scene.width = width;
    scene.height = height;
    scene.background = MakeRGB(255, 255, 255);
    const ColorRef gridColour = MakeRGB(160, 160, 160), ink = MakeRGB(0, 0, 0);
    const float headerH = 2 * m.lineHeight + 6, rowH = m.lineHeight + 4;
    const int columns = table.ColumnCount(), rows = table.RowCount();
    std::vector<float> xs = {0};
    for (int c = 0; c < columns; ++c)
        xs.push_back(xs.back() + static_cast<float>(table.ColumnWidth(c)));
    const float tableW = xs.back();
    const float tableH = headerH + rowH * static_cast<float>(rows);
    scene.AddRect(0, 0, tableW, headerH, MakeRGB(240, 240, 240));
    for (int c = 0; c < columns; ++c) {
        const auto at = static_cast<std::size_t>(c);
        scene.AddText(xs[at] + 2, 2, xs[at + 1] - 2, headerH - 2, table.Header(c), ink, 8,
                      ViewAlign::Center, ViewVAlign::Center);
    }
    float y = headerH;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const auto at = static_cast<std::size_t>(c);
            if (const auto fill = table.CellBackground(r, c))
                scene.AddRect(xs[at], y, xs[at + 1] - xs[at], rowH, *fill);
            scene.AddText(xs[at] + 2, y, xs[at + 1] - 2, y + rowH, table.Text(r, c),
                          table.TextColour(r, c).value_or(ink), 8, ViewAlign::Center);
        }
        y += rowH;
    }
    for (float x : xs) scene.AddLine(x, 0, x, tableH, gridColour);
    scene.AddLine(0, 0, tableW, 0, gridColour);
    scene.AddLine(0, headerH, tableW, headerH, gridColour);
    for (int r = 1; r <= rows; ++r)
        scene.AddLine(0, headerH + rowH * static_cast<float>(r), tableW,
                      headerH + rowH * static_cast<float>(r), gridColour);
}

}  // namespace orvex
