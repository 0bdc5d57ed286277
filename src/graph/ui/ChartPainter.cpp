// The strip chart's painting path.
#include "graph/ui/ChartPainter.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <vector>

#include "graph/Color.h"
#include "model/Document.h"

namespace orvex {
namespace {

QColor ToQColor(int32_t c) {
    auto cr = static_cast<ColorRef>(c);
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

QString TimeLabel(int32_t v) {
    QString sign = v < 0 ? QStringLiteral("-") : QString();
    int64_t m = v < 0 ? -static_cast<int64_t>(v) : v;
    QString s = QStringLiteral("%1%2:%3%4")
                    .arg(sign)
                    .arg(m / 600000)
                    .arg((m / 100000) % 6)
                    .arg((m / 10000) % 10);
    int64_t r = m % 10000;
    if (r > 0) s += QStringLiteral(".%1%2").arg(r / 1000).arg((r / 100) % 10);
    return s;
}

void TimeSteps(int32_t span, int32_t& minor, int32_t& major) {
    struct Row {
        int32_t upTo, minor, major;
    } rows[] = {{10000, 100, 1000},      {100000, 1000, 10000},     {300000, 10000, 50000},
                {600000, 10000, 100000}, {6000000, 100000, 600000}, {INT_MAX, 300000, 1800000}};
    for (const Row& r : rows)
        if (span <= r.upTo) {
            minor = r.minor;
            major = r.major;
            return;
        }
}

// Draws one series as a min/max envelope per pixel column over the window.
void DrawSeries(QPainter& p, const CSeriesBase& s, const ChartWindow& w, int plotWidth,
                int plotBottom, double yBottom, double yPerPixel, double scale) {
    if (s.Size() == 0) return;
    const double xPerPixel = static_cast<double>(w.xSpan) / std::max(plotWidth, 1);
    const int32_t xEnd = w.xStart + w.xSpan;
    auto yOf = [&](int32_t v) {
        double y = plotBottom - (v * scale - yBottom) / yPerPixel;
        return std::clamp(y, 0.0, static_cast<double>(plotBottom));
    };
    // First sample at or before the window start.
    Pos lo = 0, hi = static_cast<Pos>(s.Size());
    while (lo < hi) {
        Pos mid = (lo + hi) / 2;
        if (s.GetSampleTime(mid, true) < w.xStart)
            lo = mid + 1;
        else
            hi = mid;
    }
    Pos i = std::max<Pos>(lo - 1, 0);
    std::vector<QPointF> pts;
    int column = INT_MIN;
    double colMin = 0, colMax = 0, last = 0;
    auto flush = [&] {
        if (column == INT_MIN) return;
        double x = kLeftMargin + column;
        pts.emplace_back(x, colMin == last ? colMax : colMin);
        if (colMax != colMin) pts.emplace_back(x, colMin == last ? colMin : colMax);
        pts.emplace_back(x, last);
    };
    for (; i < static_cast<Pos>(s.Size()); ++i) {
        int32_t t = s.GetSampleTime(i, true);
        int col = t <= w.xStart ? 0 : static_cast<int>((t - w.xStart) / xPerPixel);
        double y = yOf(s.ValueAt(i));
        if (col != column) {
            flush();
            column = col;
            colMin = colMax = y;
        } else {
            colMin = std::min(colMin, y);
            colMax = std::max(colMax, y);
        }
        last = y;
        if (t > xEnd) break;
    }
    flush();
    if (pts.size() < 2) return;
    p.setPen(QPen(ToQColor(s.m_crTrace), 1));
    p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
}

}  // namespace

void DocumentTimeExtent(CBriodashDoc& doc, int32_t& first, int32_t& last) {
    first = last = 0;
    if (doc.ShownDatasets().empty()) return;
    first = doc.EarliestStart(true);
    last = doc.LatestEnd(true);
    if (first == kNotSet || last == kNotSet || last < first) first = last = 0;
}

void PaintChart(QPainter& p, CBriodashDoc& doc, const ChartWindow& w, QSize size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(QPoint(0, 0), size), w.background);
    const int plotBottom = size.height() - kBottomMargin;
    const int plotRight = size.width() - 1;
    const int plotWidth = std::max(size.width() - kLeftMargin, 1);
    const double xPerPixel = static_cast<double>(std::max(w.xSpan, 1)) / plotWidth;
    std::vector<CBriodashDataset*> shown = doc.ShownDatasets();
    if (shown.empty() || plotBottom <= 0) {
        p.restore();
        return;
    }

    // Time axis: left and bottom lines, ticks and labels.
    p.setPen(QPen(w.timeLabel, 1));
    p.drawLine(kLeftMargin, 0, kLeftMargin, plotBottom);
    p.drawLine(kLeftMargin, plotBottom, plotRight, plotBottom);
    int32_t minor = 0, major = 0;
    TimeSteps(w.xSpan, minor, major);
    auto xOf = [&](int64_t v) {
        return kLeftMargin + static_cast<int>((v - w.xStart) / xPerPixel);
    };
    int64_t first = (static_cast<int64_t>(w.xStart) + minor - 1) / minor * minor;
    if (w.xStart < 0) first = static_cast<int64_t>(w.xStart) / minor * minor;
    for (int64_t v = first; v < static_cast<int64_t>(w.xStart) + w.xSpan; v += minor) {
        int x = xOf(v);
        p.drawLine(x, plotBottom, x, plotBottom + kTickLength);
        if (v % major == 0) {
            p.drawLine(x, plotBottom + kTickLength, x, plotBottom + 2 * kTickLength);
            p.drawText(QRect(x - 40, plotBottom + 2 * kTickLength, 80, kBottomMargin),
                       Qt::AlignHCenter | Qt::AlignTop, TimeLabel(static_cast<int32_t>(v)));
        }
    }

    // RPM axis over the largest RPM of the shown datasets.
    int32_t rpmMax = 0;
    for (CBriodashDataset* ds : shown)
        for (auto& s : ds->m_rpm)
            if (s.m_nOn && s.Size()) {
                Pos m = s.FindMinMax(false);
                if (m != kNoPos) rpmMax = std::max(rpmMax, s.ValueAt(m));
            }
    const double rpmPerPixel = std::max(1.0, static_cast<double>(rpmMax) / plotBottom);
    if (rpmMax > 0) {
        p.setPen(QPen(w.rpmLabel, 1));
        const int32_t step = rpmMax <= 4000000 ? 1000000 : 2000000;
        for (int32_t v = step; v <= rpmMax; v += step) {
            int y = plotBottom - static_cast<int>(v / rpmPerPixel);
            p.drawLine(kLeftMargin - 2 * kTickLength, y, plotRight, y);
            p.drawText(QRect(0, y - 14, kLeftMargin - 2 * kTickLength, 14 + kTickLength),
                       Qt::AlignRight | Qt::AlignBottom, QString::number(v / 1000));
        }
    }

    p.setClipRect(QRect(kLeftMargin, 0, plotWidth, plotBottom + 1));
    for (CBriodashDataset* ds : shown) {
        for (auto& s : ds->m_rpm)
            if (s.m_nOn) DrawSeries(p, s, w, plotWidth, plotBottom, 0, rpmPerPixel, 1.0);
        for (auto& s : ds->m_analog) {
            if (!s.m_nOn || s.Size() == 0) continue;
            Pos lo = s.FindMinMax(true), hi = s.FindMinMax(false);
            double vmin = s.ValueAt(lo), vmax = s.ValueAt(hi);
            double range = std::max(vmax - vmin, 1.0);
            DrawSeries(p, s, w, plotWidth, plotBottom, vmin, range / plotBottom, 1.0);
        }
    }
    if (!w.onPaper) {
        auto marker = [&](int32_t t, QColor c) {
            if (t == kNotSet || t < w.xStart || t > w.xStart + w.xSpan) return;
            p.setPen(QPen(c, 1));
            int x = xOf(t);
            p.drawLine(x, plotBottom, x, 0);
        };
        marker(doc.m_lGreenTime, QColor(0, 200, 0));
        marker(doc.m_lRedTime, QColor(255, 0, 0));
    }
    p.restore();
}

}  // namespace orvex
