// The strip chart's painting path.
#include "graph/ui/ChartPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QSizeF>
#include <algorithm>
#include <cmath>
#include <optional>

#include "graph/TraceRaster.h"

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
struct SceneFonts {
    QFont axis, title, heading, axisBold;
    const QFont& Of(FontRole role) const {
        switch (role) {
            case FontRole::Axis:
                return axis;
            case FontRole::Heading:
                return heading;
            case FontRole::AxisBold:
                return axisBold;
            case FontRole::Title:
            case FontRole::Message:
                break;
        }
        return title;
    }
};

SceneFonts FontsFrom(const QFont& base) {
    SceneFonts f;
    f.axis = base;
    f.axis.setPixelSize(11);
    f.title = f.axis;
    f.title.setPixelSize(13);
    f.heading = f.axis;
    f.heading.setPixelSize(19);
    f.axisBold = f.axis;
    f.axisBold.setBold(true);
    return f;
}

void PaintText(QPainter& p, const GText& t, const SceneFonts& fonts, const QColor& background,
               QSizeF area, std::vector<QRectF>& placed) {
    const QFont& font = fonts.Of(t.font);
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
    if (t.valign == VAlign::Middle) baseline += (fm.ascent() - fm.descent()) / 2;
    if (t.autoPlace) {
        // A label at the very edge (the top tick of a scale) is moved inside rather than cut
        // off.
        const double h = fm.ascent() + fm.descent();
        if (baseline - fm.ascent() < 0) baseline = fm.ascent();
        if (baseline + fm.descent() > area.height()) baseline = area.height() - fm.descent();
        if (x + w > area.width()) x = area.width() - w;
        if (x < 0) x = 0;
        const QRectF box(x, baseline - fm.ascent(), w, h);
        for (const QRectF& other : placed)
            if (box.adjusted(-1, 0, 1, 0).intersects(other)) return;
        placed.push_back(box);
    }
    p.setPen(ReadableOn(ToQColor(t.color), background, kTextContrast));
    p.drawText(QPointF(x, baseline), text);
}

// The picture's pixels when the painter draws straight into a 32-bit image with no other
// transformation than its pixel ratio and no clipping; else none.
std::optional<PixelBuffer> DirectPixels(QPainter& p, double& dpr) {
    QPaintDevice* device = p.device();
    if (!device || device->devType() != QInternal::Image) return std::nullopt;
    auto* image = static_cast<QImage*>(device);
    if (image->format() != QImage::Format_RGB32 &&
        image->format() != QImage::Format_ARGB32_Premultiplied)
        return std::nullopt;
    dpr = image->devicePixelRatio();
    if (p.hasClipping() || p.deviceTransform() != QTransform::fromScale(dpr, dpr))
        return std::nullopt;
    PixelBuffer b;
    b.pixels = reinterpret_cast<uint32_t*>(image->bits());
    b.width = image->width();
    b.height = image->height();
    b.stride = image->bytesPerLine() / 4;
    return b;
}

uint32_t Argb(const QColor& c) {
    return c.rgb() | 0xFF000000u;
}

// Combines what follows with the pixels below for Xor and NotXor; true when it did.
bool BeginBlend(QPainter& p, LineBlend blend) {
    if (blend != LineBlend::Xor && blend != LineBlend::NotXor) return false;
    p.setCompositionMode(blend == LineBlend::Xor ? QPainter::RasterOp_SourceXorDestination
                                                 : QPainter::RasterOp_NotSourceXorDestination);
    return true;
}

void EndBlend(QPainter& p, bool combined) {
    if (combined) p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// The pixels an outlined ellipse sets around its centre on a whole device pixel, drawn once
// with the painter's own pen into a small picture: every dot of a data-point trace has the same
// shape, so the others are written from it.
struct DotStamp {
    float rx = -1, ry = -1, width = 0;
    double dpr = 0;
    std::vector<QPoint> offsets;  // device pixels from the centre

    bool Fits(const GEllipse& e, double ratio) const {
        return e.rx == rx && e.ry == ry && e.width == width && ratio == dpr;
    }
    void Make(const GEllipse& e, double ratio) {
        rx = e.rx;
        ry = e.ry;
        width = e.width;
        dpr = ratio;
        offsets.clear();
        const int c = static_cast<int>(std::ceil(std::max(e.rx, e.ry) + e.width)) + 3;
        QImage img(QSize(2 * c, 2 * c) * ratio, QImage::Format_RGB32);
        img.setDevicePixelRatio(ratio);
        img.fill(Qt::white);
        {
            QPainter q(&img);
            q.setRenderHint(QPainter::Antialiasing, false);
            q.setPen(PenOf(MakeRGB(0, 0, 0), e.width));
            q.setBrush(Qt::NoBrush);
            q.drawEllipse(QPointF(c, c), e.rx, e.ry);
        }
        const int centre = static_cast<int>(std::lround(c * ratio));
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) != qRgb(255, 255, 255))
                    offsets.push_back(QPoint(x - centre, y - centre));
    }
};

// Whether v times the ratio is a whole number of device pixels.
bool OnDevicePixel(float v, double dpr, int& device) {
    const double d = v * dpr;
    if (!(std::fabs(d) < 1e9) || d != std::floor(d)) return false;
    device = static_cast<int>(d);
    return true;
}

void PaintLayer(QPainter& p, const CGraphScene& s, const std::vector<GPrim>& layer,
                const SceneFonts& fonts, TracePath path) {
    DotStamp stamp;
    const QColor background = ToQColor(s.background);
    double dpr = 1.0;
    const std::optional<PixelBuffer> direct =
        path == TracePath::Direct ? DirectPixels(p, dpr) : std::nullopt;
    std::vector<QPointF> buffer;
    std::vector<QRectF> placed;
    // Lines and traces written straight into the picture are gathered until the painter draws
    // again, and written together. The list keeps its memory from one picture to the next.
    static thread_local std::vector<RasterItem> batch;
    batch.clear();
    ColorRef lastColor = 0;
    uint32_t lastArgb = 0;
    bool haveColor = false;
    auto flush = [&] {
        if (batch.empty()) return;
        RasterItems(*direct, batch, dpr);
        batch.clear();
    };
    for (const GPrim& prim : layer) {
        const bool written =
            direct && ((prim.kind == PrimKind::Line && s.lines[prim.index].width <= 1.0f &&
                        s.lines[prim.index].style == LineStyle::Solid &&
                        (s.lines[prim.index].blend == LineBlend::Readable ||
                         s.lines[prim.index].blend == LineBlend::Exact)) ||
                       (prim.kind == PrimKind::Polyline && s.polylines[prim.index].width <= 1.0f));
        if (!written) flush();
        switch (prim.kind) {
            case PrimKind::Line: {
                const GLine& l = s.lines[prim.index];
                QPen pen = PenOf(l.color, l.width, l.style);
                if (l.blend == LineBlend::Readable)
                    pen.setColor(ReadableOn(pen.color(), background, kLineContrast));
                if (written) {
                    // Grid, axis, tick and event lines: written like the traces.
                    RasterItem item;
                    item.x1 = l.x1;
                    item.y1 = l.y1;
                    item.x2 = l.x2;
                    item.y2 = l.y2;
                    item.argb = Argb(pen.color());
                    batch.push_back(item);
                    break;
                }
                p.setPen(pen);
                const bool combined = BeginBlend(p, l.blend);
                p.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
                EndBlend(p, combined);
                break;
            }
            case PrimKind::Bar: {
                const GBar& b = s.bars[prim.index];
                const QRectF r(b.x, b.y, b.w, b.h);
                p.fillRect(r, ToQColor(b.fill));
                p.setPen(PenOf(b.outline, 1.0f));
                p.setBrush(Qt::NoBrush);
                p.drawRect(r);
                break;
            }
            case PrimKind::Ellipse: {
                const GEllipse& e = s.ellipses[prim.index];
                int cx = 0, cy = 0;
                if (direct && !e.filled && e.blend == LineBlend::Exact && e.width <= 1.0f &&
                    OnDevicePixel(e.cx, dpr, cx) && OnDevicePixel(e.cy, dpr, cy)) {
                    // A data point: its pixels written from the shape drawn once.
                    if (!stamp.Fits(e, dpr)) stamp.Make(e, dpr);
                    const uint32_t argb = Argb(ToQColor(e.outline));
                    for (const QPoint& o : stamp.offsets) {
                        const int x = cx + o.x(), y = cy + o.y();
                        if (x >= 0 && y >= 0 && x < direct->width && y < direct->height)
                            direct->pixels[static_cast<std::ptrdiff_t>(y) * direct->stride + x] =
                                argb;
                    }
                    break;
                }
                p.setPen(PenOf(e.outline, e.width));
                p.setBrush(e.filled ? QBrush(ToQColor(e.fill)) : QBrush(Qt::NoBrush));
                const bool combined = BeginBlend(p, e.blend);
                p.drawEllipse(QPointF(e.cx, e.cy), e.rx, e.ry);
                EndBlend(p, combined);
                p.setBrush(Qt::NoBrush);
                break;
            }
            case PrimKind::Polygon: {
                const GPolygon& pg = s.polygons[prim.index];
                buffer.resize(pg.count);
                for (uint32_t i = 0; i < pg.count; ++i) {
                    const GPoint& pt = s.points[pg.first + i];
                    buffer[i] = QPointF(pt.x, pt.y);
                }
                p.setPen(PenOf(pg.outline, 1.0f));
                p.setBrush(pg.filled ? QBrush(ToQColor(pg.fill)) : QBrush(Qt::NoBrush));
                p.drawPolygon(buffer.data(), static_cast<int>(buffer.size()));
                p.setBrush(Qt::NoBrush);
                break;
            }
            case PrimKind::Polyline: {
                const GPolyline& pl = s.polylines[prim.index];
                if (written) {
                    if (pl.count < 2) break;
                    RasterItem item;
                    item.points = &s.points[pl.first];
                    item.count = pl.count;
                    // Runs of one trace share their colour.
                    if (pl.color != lastColor || !haveColor) {
                        lastColor = pl.color;
                        lastArgb = Argb(ToQColor(pl.color));
                        haveColor = true;
                    }
                    item.argb = lastArgb;
                    batch.push_back(item);
                    break;
                }
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
                const bool combined = BeginBlend(p, r.blend);
                p.fillRect(QRectF(r.x, r.y, r.w, r.h), ToQColor(r.fill));
                EndBlend(p, combined);
                break;
            }
            case PrimKind::Text:
                PaintText(p, s.texts[prim.index], fonts, background, QSizeF(s.width, s.height),
                          placed);
                break;
        }
    }
    flush();
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

SceneMetrics MeasureSceneFonts(const QFont& base) {
    const SceneFonts f = FontsFrom(base);
    const QFontMetricsF axis(f.axis), heading(f.heading);
    SceneMetrics m;
    m.zeroWidth = static_cast<float>(axis.horizontalAdvance(QLatin1Char('0')));
    m.lineHeight = static_cast<float>(axis.height());
    m.headingHeight = static_cast<float>(heading.height());
    return m;
}

int SceneTextWidth(const QFont& base, const std::string& text, FontRole role) {
    const SceneFonts f = FontsFrom(base);
    return static_cast<int>(
        std::ceil(QFontMetricsF(f.Of(role)).horizontalAdvance(QString::fromStdString(text))));
}

namespace {

SceneFonts Begin(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    return FontsFrom(p.font());
}

}  // namespace

void PaintBase(QPainter& p, const CGraphScene& scene, TracePath path) {
    const SceneFonts f = Begin(p);
    p.fillRect(QRectF(0, 0, scene.width, scene.height), ToQColor(scene.background));
    if (scene.hasDrawing) PaintLayer(p, scene, scene.base, f, path);
    p.restore();
}

void PaintOverlay(QPainter& p, const CGraphScene& scene) {
    const SceneFonts f = Begin(p);
    PaintLayer(p, scene, scene.overlay, f, TracePath::Vector);
    p.restore();
}

void PaintScene(QPainter& p, const CGraphScene& scene, const std::vector<MarkerLine>& markers,
                TracePath path) {
    PaintBase(p, scene, path);
    PaintOverlay(p, scene);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    // Marker lines are repainted over the drawing in their own colours rather than inverted.
    for (const MarkerLine& m : markers) {
        p.setPen(PenOf(m.colour, 1.0f));
        p.drawLine(QPointF(m.x, m.top), QPointF(m.x, m.bottom));
    }
    p.restore();
}

}  // namespace orvex
