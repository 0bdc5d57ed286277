#include "views/ui/ViewPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include "graph/ui/ChartPainter.h"

namespace orvex {

namespace {

QFont ViewFont(int points, bool bold, const QPainter& painter) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(points);
    font.setBold(bold);
    return painter.device() ? QFont(font, painter.device()) : font;
}

QPen Pen(ColorRef c, float width) {
    QPen pen(ToQColor(c), width <= 1.0f ? 0.0 : width);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

}  // namespace

ViewMetrics MeasureViewFonts(const QPainter& painter) {
    ViewMetrics m;
    const QFontMetricsF small(ViewFont(8, false, painter));
    const QFontMetricsF large(ViewFont(14, false, painter));
    m.zeroWidth = static_cast<float>(small.horizontalAdvance(QLatin1Char('0')));
    m.lineHeight = static_cast<float>(small.height());
    m.largeHeight = static_cast<float>(large.height());
    return m;
}

void PaintViewScene(QPainter& p, const CViewScene& scene) {
    p.save();
    p.fillRect(QRectF(0, 0, scene.width, scene.height), ToQColor(scene.background));
    for (const ViewPrim& prim : scene.prims) {
        const QRectF box(QPointF(prim.x1, prim.y1), QPointF(prim.x2, prim.y2));
        switch (prim.kind) {
            case ViewPrim::Line:
                p.setRenderHint(QPainter::Antialiasing, false);
                p.setPen(Pen(prim.pen, prim.width));
                p.drawLine(QPointF(prim.x1, prim.y1), QPointF(prim.x2, prim.y2));
                break;
            case ViewPrim::Polyline:
            case ViewPrim::Polygon: {
                QPolygonF poly;
                poly.reserve(static_cast<int>(prim.count));
                for (uint32_t i = 0; i < prim.count; ++i) {
                    const ViewPoint& pt = scene.points[prim.first + i];
                    poly.append(QPointF(pt.x, pt.y));
                }
                p.setPen(Pen(prim.pen, prim.width));
                if (prim.kind == ViewPrim::Polyline) {
                    p.setRenderHint(QPainter::Antialiasing, false);
                    p.drawPolyline(poly);
                } else {
                    p.setRenderHint(QPainter::Antialiasing, true);
                    p.setBrush(ToQColor(prim.fill));
                    p.drawPolygon(poly);
                    p.setBrush(Qt::NoBrush);
                }
                break;
            }
            case ViewPrim::Rect:
                p.setRenderHint(QPainter::Antialiasing, false);
                if (prim.filled) p.fillRect(box, ToQColor(prim.fill));
                if (prim.outlined) {
                    p.setPen(Pen(prim.pen, prim.width));
                    p.setBrush(Qt::NoBrush);
                    // The outline runs inside the box.
                    p.drawRect(box.adjusted(0, 0, -1, -1));
                }
                break;
            case ViewPrim::Ellipse:
                p.setRenderHint(QPainter::Antialiasing, true);
                p.setPen(Pen(prim.pen, prim.width));
                if (prim.filled)
                    p.setBrush(ToQColor(prim.fill));
                else
                    p.setBrush(Qt::NoBrush);
                p.drawEllipse(box);
                p.setBrush(Qt::NoBrush);
                break;
            case ViewPrim::Text: {
                p.setRenderHint(QPainter::Antialiasing, true);
                p.setFont(ViewFont(prim.fontPoints, prim.bold, p));
                p.setPen(ToQColor(prim.pen));
                int flags = prim.align == ViewAlign::Left    ? Qt::AlignLeft
                            : prim.align == ViewAlign::Right ? Qt::AlignRight
                                                             : Qt::AlignHCenter;
                flags |= prim.valign == ViewVAlign::Top      ? Qt::AlignTop
                         : prim.valign == ViewVAlign::Bottom ? Qt::AlignBottom
                                                             : Qt::AlignVCenter;
                p.drawText(box, flags | Qt::TextDontClip, QString::fromStdString(prim.text));
                break;
            }
        }
    }
    p.restore();
}

}  // namespace orvex
