#include "views/ViewScenes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "graph/Markers.h"
#include "graph/TraceRaster.h"
#include "host/TwoThreads.h"

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

// std::round of a pixel coordinate, without the library call: the same value for every
// coordinate a picture can hold.
inline float RoundToPixel(double v) {
    if (!(std::fabs(v) < 1e15)) return static_cast<float>(std::round(v));
    const auto whole = static_cast<int64_t>(v);  // toward zero
    const double fraction = v - static_cast<double>(whole);
    return static_cast<float>(whole + (fraction >= 0.5 ? 1 : 0) - (fraction <= -0.5 ? 1 : 0));
}

// A text placed in the box (x1, y1)-(x2, y2): at its left, centre or right, at its top, middle
// or bottom.
void BoxText(CGraphScene& scene, float x1, float y1, float x2, float y2, std::string text,
             ColorRef colour, HAlign h, VAlign v, FontRole font = FontRole::Axis,
             bool toOverlay = false) {
    const float x = h == HAlign::Left ? x1 : h == HAlign::Right ? x2 : (x1 + x2) / 2;
    const float y = v == VAlign::Top ? y1 : v == VAlign::Bottom ? y2 : (y1 + y2) / 2;
    scene.AddText(x, y, std::move(text), h, v, colour, font, toOverlay);
}

// The pixel of each step, std::round(l.X(lr[i])) and std::round(l.Y(fr[i])), as the whole part
// of the value plus a half, which is the same for values from 1 on; false when a value lies
// outside [1, 1e9) (those are to be rounded one by one).
bool PixelsOf(const double* lr, const double* fr, std::size_t n, const FrictionLayout& l,
              int32_t* xs, int32_t* ys) {
    const double originX = l.originX, originY = l.originY, scale = l.scale;
    std::size_t i = 0;
    bool plain = true;
#if defined(__SSE2__)
    // Two steps at a time.
    const __m128d ox = _mm_set1_pd(originX), oy = _mm_set1_pd(originY), s = _mm_set1_pd(scale);
    const __m128d half = _mm_set1_pd(0.5), lo = _mm_set1_pd(1.0), hi = _mm_set1_pd(1e9);
    __m128d ok = _mm_cmpeq_pd(lo, lo);
    for (; i + 2 <= n; i += 2) {
        const __m128d x = _mm_add_pd(ox, _mm_mul_pd(_mm_loadu_pd(lr + i), s));
        const __m128d y = _mm_sub_pd(oy, _mm_mul_pd(_mm_loadu_pd(fr + i), s));
        ok = _mm_and_pd(ok, _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(x, lo), _mm_cmplt_pd(x, hi)),
                                       _mm_and_pd(_mm_cmpge_pd(y, lo), _mm_cmplt_pd(y, hi))));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(xs + i), _mm_cvttpd_epi32(_mm_add_pd(x, half)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(ys + i), _mm_cvttpd_epi32(_mm_add_pd(y, half)));
    }
    plain = _mm_movemask_pd(ok) == 3;
#endif
    for (; i < n; ++i) {
        const double x = originX + lr[i] * scale, y = originY - fr[i] * scale;
        plain = plain && x >= 1.0 && x < 1e9 && y >= 1.0 && y < 1e9;
        xs[i] = static_cast<int32_t>(x + 0.5);
        ys[i] = static_cast<int32_t>(y + 0.5);
    }
    return plain;
}

// Each step's pixel, std::round(l.X(lr[i])) and std::round(l.Y(fr[i])), for steps [from, to).
// Inside the picture std::round(v) is the whole part of v + 0.5.
void StepPixels(const double* lr, const double* fr, std::size_t from, std::size_t to,
                const FrictionLayout& l, std::vector<int32_t>& xs, std::vector<int32_t>& ys) {
    const std::size_t n = to - from;
    xs.resize(n);
    ys.resize(n);
    if (!PixelsOf(lr + from, fr + from, n, l, xs.data(), ys.data()))
        for (std::size_t i = 0; i < n; ++i) {
            xs[i] = static_cast<int32_t>(RoundToPixel(l.X(lr[from + i])));
            ys[i] = static_cast<int32_t>(RoundToPixel(l.Y(fr[from + i])));
        }
}

// Part of a curve marked by one thread: steps [from, to) of an entry, whose first `carried`
// segments only lead up to the part.
struct CurvePiece {
    std::vector<int32_t> xs, ys, xy;
    std::size_t carried = 0;
    bool inside = true;
    int left = 0, top = 0, right = 0, bottom = 0;
    CPixelMask mask;

    // The steps [from, to) on whole pixels, in device pixels in 26.6 fixed point (64 to a
    // pixel, where the painter takes them), a step on the pixel of the one before left out;
    // `realFrom`: the first step of the part proper. Marked when the points stay a pixel or
    // more inside the picture and make a curve of some length.
    void Mark(const double* lr, const double* fr, std::size_t from, std::size_t realFrom,
              std::size_t to, const FrictionLayout& l, double dpr, int deviceW, int deviceH) {
        StepPixels(lr, fr, from, to, l, xs, ys);
        const std::size_t n = to - from;
        const bool wholeRatio = dpr >= 1 && dpr <= 16 && dpr == std::floor(dpr);
        const auto unit = static_cast<int32_t>(dpr) * 64;
        // Rising with v, so that the box of the points is the box of the steps.
        auto device = [wholeRatio, unit, dpr](int32_t v) {
            return wholeRatio ? v * unit : static_cast<int32_t>(static_cast<double>(v) * dpr * 64.);
        };
        xy.resize(2 * n);
        // One pass: the points kept, and the box of all of them.
        std::size_t kept = 0;
        int32_t x0 = xs[0], x1 = xs[0], y0 = ys[0], y1 = ys[0];
        auto keep = [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                // Branch-free: the point is written, and kept when it moved.
                const bool moved = i == 0 || xs[i] != xs[i - 1] || ys[i] != ys[i - 1];
                xy[2 * kept] = device(xs[i]);
                xy[2 * kept + 1] = device(ys[i]);
                kept += moved ? 1 : 0;
                x0 = std::min(x0, xs[i]);
                x1 = std::max(x1, xs[i]);
                y0 = std::min(y0, ys[i]);
                y1 = std::max(y1, ys[i]);
            }
        };
        const std::size_t lead = std::min(realFrom > from ? realFrom - from : 0, n);
        keep(0, lead);
        // The part starts at the last point before its first step.
        carried = kept > 0 ? kept - 1 : 0;
        keep(lead, n);
        xy.resize(2 * kept);
        const int64_t left64 = device(x0), right64 = device(x1);
        const int64_t top64 = device(y0), bottom64 = device(y1);
        // Below a pixel ratio of 1, whole pixels may lie less than a device pixel apart.
        inside = dpr >= 1.0 && left64 >= 64 && top64 >= 64 &&
                 right64 < (deviceW - 1) * int64_t{64} && bottom64 < (deviceH - 1) * int64_t{64};
        if (!inside || kept < 2) return;
        left = static_cast<int>(left64 >> 6);
        right = static_cast<int>(right64 >> 6);
        top = static_cast<int>(top64 >> 6);
        bottom = static_cast<int>(bottom64 >> 6);
        mask.Reset(deviceW, deviceH);
        MarkPolyline(mask, xy.data(), kept, carried);
    }
};

// Data points of steps [from, to) of an entry: the first step on each pixel, in order.
struct DotPiece {
    std::vector<int32_t> xs, ys;
    std::vector<std::pair<int32_t, int32_t>> firsts;
    CPixelMask mask;

    void Find(const double* lr, const double* fr, std::size_t from, std::size_t to,
              const FrictionLayout& l, int width, int height) {
        StepPixels(lr, fr, from, to, l, xs, ys);
        mask.Reset(width, height);
        firsts.clear();
        for (std::size_t i = 0; i < xs.size(); ++i)
            if (mask.Mark(xs[i], ys[i])) firsts.emplace_back(xs[i], ys[i]);
    }
};

// Marks a long curve in two halves, one on each thread: false when it cannot be shared (the
// curve reaches the picture's edge, or stands still too long before the half-way step).
bool MarkCurveShared(const double* lr, const double* fr, std::size_t n, const FrictionLayout& l,
                     double dpr, int deviceW, int deviceH, CPixelMask& mask, int& left, int& top,
                     int& right, int& bottom) {
    static thread_local CurvePiece pieces[2];
    // The second half starts with segments before it, to take on the state they leave.
    constexpr std::size_t kLead = 256;
    const std::size_t mid = n / 2, leadFrom = mid > kLead ? mid - kLead : 0;
    CurvePiece &a = pieces[0], &b = pieces[1];
    RunOnTwoThreads([&] { a.Mark(lr, fr, 0, 0, mid, l, dpr, deviceW, deviceH); },
                    [&] { b.Mark(lr, fr, leadFrom, mid, n, l, dpr, deviceW, deviceH); });
    if (!a.inside || !b.inside || (leadFrom > 0 && b.carried < 2)) return false;
    if (a.xy.size() < 4 || b.xy.size() < 4) return false;
    std::swap(mask, a.mask);
    mask.Merge(b.mask);
    left = std::min(a.left, b.left);
    top = std::min(a.top, b.top);
    right = std::max(a.right, b.right);
    bottom = std::max(a.bottom, b.bottom);
    return true;
}

LineBlend MarkerBlendOn(ColorRef background) {
    return MarkerRasterOp(background) == RasterOp::Xor ? LineBlend::Xor : LineBlend::NotXor;
}

}  // namespace

void ReduceTractionTraces(const CFrictionCircle& circle, const FrictionLayout& l, int width,
                          int height, double dpr, TractionTraces& traces) {
    traces.curve = circle.Settings().drawCurve;
    traces.points.clear();
    traces.runs.clear();
    CPixelMask mask;
    DotPiece dots;     // data points found by this thread alone
    CurvePiece whole;  // a curve marked by this thread alone
    const std::vector<FrictionEntry>& entries = circle.Entries();
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const FrictionEntry& e = entries[k];
        if (!e.Plots()) continue;
        const int entry = static_cast<int>(k);
        auto beginRun = [&traces, entry] {
            traces.runs.push_back({entry, static_cast<uint32_t>(traces.points.size()), 0});
        };
        auto add = [&traces](float x, float y) {
            traces.points.push_back({x, y});
            ++traces.runs.back().count;
        };
        const double* lr = e.lrPlot.data();
        const double* fr = e.frPlot.data();
        const std::size_t n = e.lrPlot.size();
        if (!traces.curve) {
            // A dot around a pixel that already carries one of this entry's dots adds nothing.
            beginRun();
            constexpr std::size_t kSharedDots = 40000;
            if (n >= kSharedDots && TwoThreadsAvailable()) {
                // Each half finds the first step on each pixel within it; a first step of the
                // second half is a first one of the whole when the first half has no step there.
                static thread_local DotPiece pieces[2];
                DotPiece &a = pieces[0], &b = pieces[1];
                const std::size_t mid = n / 2;
                RunOnTwoThreads([&] { a.Find(lr, fr, 0, mid, l, width, height); },
                                [&] { b.Find(lr, fr, mid, n, l, width, height); });
                for (const auto& [x, y] : a.firsts)
                    add(static_cast<float>(x), static_cast<float>(y));
                for (const auto& [x, y] : b.firsts)
                    if (a.mask.Mark(x, y)) add(static_cast<float>(x), static_cast<float>(y));
                continue;
            }
            dots.Find(lr, fr, 0, n, l, width, height);
            for (const auto& [x, y] : dots.firsts)
                add(static_cast<float>(x), static_cast<float>(y));
            continue;
        }
        const int deviceW = static_cast<int>(std::lround(width * dpr));
        const int deviceH = static_cast<int>(std::lround(height * dpr));
        // The curve's pixels, found once as the painter sets them, go out as the runs of each
        // row: however often the laps retrace a loop, each pixel is painted once. They lie
        // within a pixel of the points' box.
        auto spans = [&](const CPixelMask& marked, int left, int top, int right, int bottom) {
            marked.ForEachSpan(left - 1, top - 1, right + 2, bottom + 2,
                               [&](int y, int x0, int x1) {
                                   const auto row = static_cast<float>((y + 0.5) / dpr);
                                   beginRun();
                                   add(static_cast<float>(x0 / dpr), row);
                                   add(static_cast<float>(x1 / dpr), row);
                               });
        };
        // A long curve is marked by two threads, a half each.
        constexpr std::size_t kShared = 40000;
        const bool wholeRatio = dpr >= 1 && dpr <= 16 && dpr == std::floor(dpr);
        int left = 0, top = 0, right = 0, bottom = 0;
        if (wholeRatio && n >= kShared && TwoThreadsAvailable() &&
            MarkCurveShared(lr, fr, n, l, dpr, deviceW, deviceH, mask, left, top, right, bottom)) {
            spans(mask, left, top, right, bottom);
            continue;
        }
        whole.Mark(lr, fr, 0, 0, n, l, dpr, deviceW, deviceH);
        if (whole.xy.size() < 4) continue;  // a curve of no length sets no pixel
        if (!whole.inside) {
            // Points at the picture's edge are clipped by the painter: the curve goes whole.
            const std::vector<int32_t>& xs = whole.xs;
            const std::vector<int32_t>& ys = whole.ys;
            beginRun();
            for (std::size_t i = 0; i < n; ++i)
                if (i == 0 || xs[i] != xs[i - 1] || ys[i] != ys[i - 1])
                    add(static_cast<float>(xs[i]), static_cast<float>(ys[i]));
            continue;
        }
        spans(whole.mask, whole.left, whole.top, whole.right, whole.bottom);
    }
}

void FullTractionTraces(const CFrictionCircle& circle, const FrictionLayout& l,
                        TractionTraces& traces) {
    traces.curve = circle.Settings().drawCurve;
    traces.points.clear();
    traces.runs.clear();
    const std::vector<FrictionEntry>& entries = circle.Entries();
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const FrictionEntry& e = entries[k];
        if (!e.Plots()) continue;
        traces.runs.push_back({static_cast<int>(k), static_cast<uint32_t>(traces.points.size()),
                               static_cast<uint32_t>(e.lrPlot.size())});
        for (std::size_t i = 0; i < e.lrPlot.size(); ++i)
            traces.points.push_back(
                {static_cast<float>(l.X(e.lrPlot[i])), static_cast<float>(l.Y(e.frPlot[i]))});
    }
}

void BuildTractionScene(const CFrictionCircle& circle, int width, int height, const SceneMetrics& m,
                        CGraphScene& scene, double dpr) {
    TractionTraces traces;
    ReduceTractionTraces(circle, circle.Layout(width, height), width, height, dpr, traces);
    BuildTractionScene(circle, traces, width, height, m, scene);
}

void BuildTractionScene(const CFrictionCircle& circle, const TractionTraces& traces, int width,
                        int height, const SceneMetrics& m, CGraphScene& scene) {
    scene.Clear();
    scene.width = width;
    scene.height = height;
    scene.hasDrawing = true;
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
            BoxText(scene, x - 4 * m.zeroWidth, y0 + m.zeroWidth * 1.5f + 1, x + 4 * m.zeroWidth,
                    y0 + m.zeroWidth * 1.5f + 1 + m.lineHeight, t.label, axes, HAlign::Center,
                    VAlign::Top);
    }
    for (const FrictionTick& t : circle.Ticks(l, false)) {
        const auto y = static_cast<float>(l.Y(t.value));
        const float len = length(t.kind);
        if (t.kind == TickKind::Line)
            scene.AddLine(left, y, right, y, axes);
        else
            scene.AddLine(x0 - len, y, x0 + len, y, axes);
        if (!t.label.empty())
            BoxText(scene, x0 + m.zeroWidth * 1.5f + 2, y - m.lineHeight / 2, x0 + m.zeroWidth * 10,
                    y + m.lineHeight / 2, t.label, axes, HAlign::Left, VAlign::Middle);
    }

    const std::vector<FrictionEntry>& entries = circle.Entries();
    for (const TractionTraces::Run& run : traces.runs) {
        const ColorRef colour = entries[static_cast<std::size_t>(run.entry)].colour;
        if (traces.curve) {
            scene.BeginPolyline(colour);
            for (uint32_t i = 0; i < run.count; ++i) {
                const GPoint& p = traces.points[run.first + i];
                scene.AddPoint(p.x, p.y);
            }
            scene.EndPolyline();
        } else {
            for (uint32_t i = 0; i < run.count; ++i) {
                const GPoint& p = traces.points[run.first + i];
                scene.AddEllipse(p.x, p.y, m.zeroWidth / 2, m.zeroWidth / 2, colour);
            }
        }
    }
    AddTractionMarkers(circle, l, width, m, scene);
}

void AddTractionMarkers(const CFrictionCircle& circle, const FrictionLayout& l, int width,
                        const SceneMetrics& m, CGraphScene& scene) {
    const FrictionSettings& settings = circle.Settings();
    float textTop = static_cast<float>(l.top);
    for (bool green : {true, false}) {
        const FrictionMarker& marker = circle.Marker(green);
        if (!marker.drawn) continue;
        const FrictionEntry& e = circle.Entries()[static_cast<std::size_t>(marker.entry)];
        const auto x = static_cast<float>(std::round(l.X(circle.PlotLr(e, marker.step))));
        const auto y = static_cast<float>(std::round(l.Y(circle.PlotFr(e, marker.step))));
        const ColorRef colour = green ? kGreenMarkerBox : kRedMarkerBox;
        const float h = (kMarkerBox - 1) / 2;
        // A one-pixel frame inside the box, combined with what is below like the chart's
        // marker lines, so that it shows over any trace.
        scene.AddFrame(x - h, y - h, kMarkerBox, kMarkerBox, colour, 1.0f, true,
                       MarkerBlendOn(settings.background));
        if (settings.values) {
            const auto w = static_cast<float>(width);
            BoxText(scene, 0, textTop, w, textTop + m.headingHeight, circle.ValueText(green),
                    colour, HAlign::Center, VAlign::Top, FontRole::Heading, true);
            scene.BoundLastText(0, textTop, w, textTop + m.headingHeight);
            textTop += m.headingHeight;
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
                                      int width, int height, const SceneMetrics& m,
                                      const HistogramLook& look, CGraphScene& scene) {
    scene.Clear();
    scene.width = width;
    scene.height = height;
    scene.hasDrawing = true;
    scene.background = look.background;
    HistogramGeometry g;
    const auto w = static_cast<float>(width), h = static_cast<float>(height);
    if (!chart.message.empty() || chart.bands == 0 || chart.rows.empty()) {
        BoxText(scene, 0, 0, w, h, chart.message, look.text, HAlign::Center, VAlign::Middle);
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
            BoxText(scene, 10, p - m.lineHeight / 2, g.left - 6, p + m.lineHeight / 2,
                    ValueLabel(v, step), look.text, HAlign::Right, VAlign::Middle);
        } else {
            if (valueGrid && v > 0) scene.AddLine(p, faceTop, p, g.bottom, look.grid);
            scene.AddLine(p, g.bottom, p, g.bottom + 4, look.text);
            BoxText(scene, p - 4 * m.zeroWidth, g.bottom + 5, p + 4 * m.zeroWidth,
                    g.bottom + 5 + m.lineHeight, ValueLabel(v, step), look.text, HAlign::Center,
                    VAlign::Top);
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
                                 Shade(colour, 0.6), Shade(colour, 1.6));
                scene.AddPolygon({{x2, y}, {x2 + d, y - d}, {x2 + d, y2 - d}, {x2, y2}},
                                 Shade(colour, 0.6), Shade(colour, 0.7));
            }
            scene.AddBar(bar.x, bar.y, bar.w, bar.h, colour, Shade(colour, 0.6));
        }
        const std::string& label = chart.bandLabels[static_cast<std::size_t>(b)];
        if (label.empty()) continue;
        const float mid = groupStart(b) + groupLen / 2;
        if (vertical)
            BoxText(scene, mid - static_cast<float>(label.size() + 2) * m.zeroWidth, g.bottom + 3,
                    mid + static_cast<float>(label.size() + 2) * m.zeroWidth,
                    g.bottom + 3 + m.lineHeight, label, look.text, HAlign::Center, VAlign::Top);
        else
            BoxText(scene, 10, mid - m.lineHeight / 2, g.left - 4, mid + m.lineHeight / 2, label,
                    look.text, HAlign::Right, VAlign::Middle);
    }
    // Axes and their titles.
    scene.AddLine(g.left, faceTop, g.left, g.bottom, look.text);
    scene.AddLine(g.left, g.bottom, faceRight, g.bottom, look.text);
    const float titleY = g.bottom + 4 + m.lineHeight;
    const std::string& upper = vertical ? chart.valueAxis : chart.bandAxis;
    const std::string& lower = vertical ? chart.bandAxis : chart.valueAxis;
    BoxText(scene, 10, 10, g.right, 10 + m.lineHeight, upper, look.text, HAlign::Left, VAlign::Top,
            FontRole::AxisBold);
    BoxText(scene, g.left, titleY, g.right, titleY + m.lineHeight, lower, look.text, HAlign::Center,
            VAlign::Top, FontRole::AxisBold);
    if (flags.legend) {
        const float x = g.right + 12;
        float y = g.top + depth;
        for (int r = 0; r < rows; ++r) {
            scene.AddBar(x, y + 2, 10, 10, HistogramBarColour(r), look.text);
            BoxText(scene, x + 14, y, w - 4, y + m.lineHeight,
                    chart.rows[static_cast<std::size_t>(r)].legend, look.text, HAlign::Left,
                    VAlign::Middle);
            y += m.lineHeight + 2;
        }
    }
    return g;
}

void BuildLapReportScene(const CTableModel& table, int width, int height, const SceneMetrics& m,
                         CGraphScene& scene) {
    scene.Clear();
    scene.width = width;
    scene.height = height;
    scene.hasDrawing = true;
    scene.background = MakeRGB(255, 255, 255);
    const ColorRef gridColour = MakeRGB(160, 160, 160), ink = MakeRGB(0, 0, 0);
    const float headerH = 2 * m.lineHeight + 6, rowH = m.lineHeight + 4;
    const int columns = table.ColumnCount(), rows = table.RowCount();
    std::vector<float> xs = {0};
    for (int c = 0; c < columns; ++c)
        xs.push_back(xs.back() + static_cast<float>(table.ColumnWidth(c)));
    const float tableW = xs.back();
    const float tableH = headerH + rowH * static_cast<float>(rows);
    // Cells in the table's order: each text stays inside its column where it was laid out.
    auto cellText = [&scene](float x1, float x2, float y, std::string text, ColorRef colour) {
        scene.AddText((x1 + x2) / 2, y, std::move(text), HAlign::Center, VAlign::Middle, colour);
        scene.texts.back().autoPlace = false;
    };
    scene.AddRect(0, 0, tableW, headerH, MakeRGB(240, 240, 240));
    for (int c = 0; c < columns && xs[static_cast<std::size_t>(c)] < static_cast<float>(width);
         ++c) {
        const auto at = static_cast<std::size_t>(c);
        // The header's lines, centred together in the header row.
        const std::string header = table.Header(c);
        std::vector<std::string> lines;
        for (std::size_t from = 0;;) {
            const std::size_t nl = header.find('\n', from);
            lines.push_back(header.substr(from, nl - from));
            if (nl == std::string::npos) break;
            from = nl + 1;
        }
        const float first = headerH / 2 - m.lineHeight * static_cast<float>(lines.size() - 1) / 2;
        for (std::size_t k = 0; k < lines.size(); ++k)
            cellText(xs[at] + 2, xs[at + 1] - 2, first + m.lineHeight * static_cast<float>(k),
                     lines[k], ink);
    }
    // Rows and columns past the picture's edge are left out: nothing of them shows.
    const auto right = static_cast<float>(width), bottom = static_cast<float>(height);
    float y = headerH;
    for (int r = 0; r < rows && y < bottom; ++r) {
        for (int c = 0; c < columns && xs[static_cast<std::size_t>(c)] < right; ++c) {
            const auto at = static_cast<std::size_t>(c);
            if (const auto fill = table.CellBackground(r, c))
                scene.AddRect(xs[at], y, xs[at + 1] - xs[at], rowH, *fill);
            cellText(xs[at] + 2, xs[at + 1] - 2, y + rowH / 2, table.Text(r, c),
                     table.TextColour(r, c).value_or(ink));
        }
        y += rowH;
    }
    for (float x : xs)
        if (x <= static_cast<float>(width))
            scene.AddLine(x, 0, x, tableH, gridColour, false, 1.0f, LineStyle::Solid,
                          LineBlend::Exact);
    auto rule = [&](float at) {
        scene.AddLine(0, at, tableW, at, gridColour, false, 1.0f, LineStyle::Solid,
                      LineBlend::Exact);
    };
    rule(0);
    rule(headerH);
    for (int r = 1; r <= rows; ++r) rule(headerH + rowH * static_cast<float>(r));
}

std::size_t CountOf(const CGraphScene& scene, PrimKind kind, bool overlay) {
    const std::vector<GPrim>& layer = overlay ? scene.overlay : scene.base;
    return static_cast<std::size_t>(std::count_if(
        layer.begin(), layer.end(), [kind](const GPrim& p) { return p.kind == kind; }));
}

std::vector<std::string> TextsOf(const CGraphScene& scene) {
    std::vector<std::string> out;
    for (const auto* layer : {&scene.base, &scene.overlay})
        for (const GPrim& p : *layer)
            if (p.kind == PrimKind::Text) out.push_back(scene.texts[p.index].text);
    return out;
}

}  // namespace orvex
