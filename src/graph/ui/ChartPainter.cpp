// The strip chart's painting path.
#include "graph/ui/ChartPainter.h"

#include <QFontMetricsF>
#include <QPainter>

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

void PaintText(QPainter& p, const GText& t, const QFont& axisFont, const QFont& titleFont) {
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
    p.setPen(ToQColor(t.color));
    p.drawText(QPointF(x, baseline), text);
}

void PaintLayer(QPainter& p, const CGraphScene& s, const std::vector<GPrim>& layer,
                const QFont& axisFont, const QFont& titleFont) {
    std::vector<QPointF> buffer;
    for (const GPrim& prim : layer) {
        switch (prim.kind) {
            case PrimKind::Line: {
                const GLine& l = s.lines[prim.index];
                p.setPen(PenOf(l.color, l.width, l.style));
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
                PaintText(p, s.texts[prim.index], axisFont, titleFont);
                break;
        }
    }
}

}  // namespace

QColor ToQColor(ColorRef c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
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
