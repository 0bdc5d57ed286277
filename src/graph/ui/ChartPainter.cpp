// The strip chart's painting path.
#include "graph/ui/ChartPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QSizeF>
#include <algorithm>
#include <cmath>

namespace orvex {
namespace {

Qt::PenStyle PenStyleOf(LineStyle s) {
    switch (s) {
        case LineStyle::Dash:
            return Qt::DashLine;
        case LineStyle::Dot:
            return Qt::DotLine;
        case LineStyle::Solid:
            break;
    }
    return Qt::SolidLine;
}

QPen PenOf(ColorRef c, float width, LineStyle style = LineStyle::Solid) {
    QPen pen(ToQColor(c), width <= 1.0f ? 0.0 : width, PenStyleOf(style));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// Minimum contrast of labels and of axis and grid lines on a dark chart background.
constexpr double kTextContrast = 4.5;
constexpr double kLineContrast = 2.0;

double Luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Paints one label, kept inside `area`, unless it would overlap a label already painted (`placed`):
// where ticks are too close for their texts, as after Tile or in a small window, every other label
// is left out instead of running into its neighbour.
void PaintText(QPainter& p, const GText& t, const QFont& axisFont, const QFont& titleFont,
               const QColor& background, QSizeF area, std::vector<QRectF>& placed) {
    const QFont& font = t.font == FontRole::Axis ? axisFont : titleFont;
    p.setFont(font);
    QFontMetricsF fm(font);
    const QString text = QString::fromStdString(t.text);
    double x = t.x;
    const double w = fm.horizontalAdvance(text);
    if (t.halign == HAlign::Center) x -= w / 2;
    if (t.halign == HAlign::Right) x -= w;
    double baseline = t.y;
    if (t.valign == VAlign::Top) baseline += fm.ascent();
    if (t.valign == VAlign::Bottom) baseline -= fm.descent();
    // A label at the very edge (the top tick of a scale) is moved inside rather than cut off.
    const double h = fm.ascent() + fm.descent();
    if (baseline - fm.ascent() < 0) baseline = fm.ascent();
    if (baseline + fm.descent() > area.height()) baseline = area.height() - fm.descent();
    if (x + w > area.width()) x = area.width() - w;
    if (x < 0) x = 0;
    const QRectF box(x, baseline - fm.ascent(), w, h);
    for (const QRectF& other : placed)
        if (box.adjusted(-1, 0, 1, 0).intersects(other)) return;
    placed.push_back(box);
    p.setPen(ReadableOn(ToQColor(t.color), background, kTextContrast));
    p.drawText(QPointF(x, baseline), text);
}

void PaintLayer(QPainter& p, const CGraphScene& s, const std::vector<GPrim>& layer,
                const QFont& axisFont, const QFont& titleFont) {
    const QColor background = ToQColor(s.background);
    std::vector<QPointF> buffer;
    std::vector<QRectF> placed;
    for (const GPrim& prim : layer) {
        switch (prim.kind) {
            case PrimKind::Line: {
                const GLine& l = s.lines[prim.index];
                QPen pen = PenOf(l.color, l.width, l.style);
                pen.setColor(ReadableOn(pen.color(), background, kLineContrast));
                p.setPen(pen);
                p.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
                break;
            }
            case PrimKind::Polyline: {
                const GPolyline& pl = s.polylines[prim.index];
                buffer.resize(pl.count);
                for (uint32_t i = 0; i < pl.count; ++i) {
                    const GPoint& pt = s.points[pl.first + i];
                    buffer[i] = QPointF(pt.x, pt.y);
                }
                p.setPen(PenOf(pl.color, pl.width));
                p.drawPolyline(buffer.data(), static_cast<int>(buffer.size()));
                break;
            }
            case PrimKind::Rect: {
                const GRect& r = s.rects[prim.index];
                p.fillRect(QRectF(r.x, r.y, r.w, r.h), ToQColor(r.fill));
                break;
            }
            case PrimKind::Text:
                PaintText(p, s.texts[prim.index], axisFont, titleFont, background,
                          QSizeF(s.width, s.height), placed);
                break;
        }
    }
}

}  // namespace

QColor ToQColor(ColorRef c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QColor ReadableOn(const QColor& c, const QColor& background, double minContrast) {
    if (background.lightness() >= 128 || Contrast(c, background) >= minContrast) return c;
    const QColor hsl = c.toHsl();
    const int hue = hsl.hslHue(), saturation = hsl.hslSaturation();
    for (int lightness = hsl.lightness() + 8; lightness < 255; lightness += 8) {
        const QColor lighter = QColor::fromHsl(hue, saturation, lightness);
        if (Contrast(lighter, background) >= minContrast) return lighter.toRgb();
    }
    return QColor(Qt::white);
}

void PaintScene(QPainter& p, const CGraphScene& scene, const std::vector<MarkerLine>& markers) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRectF(0, 0, scene.width, scene.height), ToQColor(scene.background));
    QFont axisFont = p.font();
    axisFont.setPixelSize(11);
    QFont titleFont = axisFont;
    titleFont.setPixelSize(13);
    if (scene.hasDrawing) {
        PaintLayer(p, scene, scene.base, axisFont, titleFont);
        PaintLayer(p, scene, scene.overlay, axisFont, titleFont);
    }
    // Marker lines are repainted over the drawing in their own colours rather than inverted.
    for (const MarkerLine& m : markers) {
        p.setPen(PenOf(m.colour, 1.0f));
        p.drawLine(QPointF(m.x, m.top), QPointF(m.x, m.bottom));
    }
    p.restore();
}

}  // namespace orvex
