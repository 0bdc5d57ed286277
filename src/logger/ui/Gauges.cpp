// Painting of the live-data instruments with QPainter, in the colours of the widget's palette.
#include "logger/ui/Gauges.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "logger/live/GaugeScale.h"

namespace orvex {

namespace {

constexpr double kPi = 3.14159265358979323846;
const QColor kNeedle(230, 62, 40);
const QColor kLedOn(60, 210, 90);

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

void DrawCaption(QPainter& p, const QRectF& r, const QString& text, const QPalette& pal) {
    p.setPen(pal.color(QPalette::WindowText));
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(r, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, text);
    f.setBold(false);
    p.setFont(f);
}

}  // namespace

// --- CGauge --------------------------------------------------------------------------------

CGauge::CGauge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CGauge::SetValue(double value) {
    if (value == m_value) return;
    m_value = value;
    update();
}

void CGauge::SetRange(double low, double high) {
    if (low == m_low && high == m_high) return;
    m_low = low;
    m_high = high;
    InvalidateLayers();
    update();
}

void CGauge::SetCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    InvalidateLayers();
    update();
}

void CGauge::SetDecimals(int decimals) {
    if (decimals == m_decimals) return;
    m_decimals = decimals;
    InvalidateLayers();
    update();
}

double CGauge::Fraction() const {
    return FractionOf(m_value);
}

double CGauge::FractionOf(double value) const {
    if (!(m_high != m_low) || !std::isfinite(value)) return 0.0;
    return std::clamp((value - m_low) / (m_high - m_low), 0.0, 1.0);
}

QString CGauge::ValueText() const {
    return QString::number(m_value, 'f', m_decimals);
}

void CGauge::paintEvent(QPaintEvent*) {
    ++m_paints;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    Paint(p);
}

void CGauge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange)
        InvalidateLayers();
    QWidget::changeEvent(event);
}

void CGauge::InvalidateLayers() {
    for (CPaintLayer& layer : m_layers) layer.Invalidate();
}

void CGauge::DrawLayer(QPainter& p, std::size_t index, const QRectF& bounds,
                       const std::function<void(QPainter&)>& draw) {
    m_layers[index].Draw(p, *this, bounds, draw);
}

// --- CPaintLayer ---------------------------------------------------------------------------

void CPaintLayer::Draw(QPainter& p, const QWidget& widget, const QRectF& bounds,
                       const std::function<void(QPainter&)>& draw) {
    // Drawn for the painter's device, so that a picture at another pixel ratio stays sharp.
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : widget.devicePixelRatioF();
    const qint64 palette = widget.palette().cacheKey();
    if (!m_valid || dpr != m_dpr || widget.size() != m_size || palette != m_palette) {
        m_pixmap = QPixmap(widget.size() * dpr);
        m_pixmap.setDevicePixelRatio(dpr);
        m_pixmap.fill(Qt::transparent);
        QPainter layer(&m_pixmap);
        layer.setRenderHint(QPainter::Antialiasing);
        layer.setFont(widget.font());
        draw(layer);
        m_valid = true;
        m_dpr = dpr;
        m_size = widget.size();
        m_palette = palette;
    }
    // Only the part that holds the drawing is copied.
    const QRectF part = bounds.intersected(QRectF(widget.rect())).toAlignedRect();
    p.drawPixmap(part, m_pixmap, QRectF(part.topLeft() * dpr, part.size() * dpr));
}

// --- CDialGauge ----------------------------------------------------------------------------

CDialGauge::CDialGauge(QWidget* parent) : CGauge(parent) {
    setMinimumSize(120, 140);
}

void CDialGauge::Paint(QPainter& p) {
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::WindowText);
    const double captionHeight = fontMetrics().height() * 2.2;
    const double side = std::min<double>(width(), height() - captionHeight) - 6;
    // The dial and its caption as one block in the middle of the widget.
    const double blockTop = (height() - side - captionHeight) / 2.0;
    const QPointF c(width() / 2.0, blockTop + side / 2.0);
    const double r = side / 2.0;
    const auto at = [&](double fraction, double radius) {
        const double a = (225.0 - 270.0 * fraction) * kPi / 180.0;
        return QPointF(c.x() + radius * std::cos(a), c.y() - radius * std::sin(a));
    };
    // The scale's band just inside the rim, the ticks inside the band.
    const double band = r * 0.05;
    const QRectF arc(c.x() - r * 0.935, c.y() - r * 0.935, r * 1.87, r * 1.87);
    const double tickOuter = r * 0.9, minorInner = r * 0.83, majorInner = r * 0.74;
    // Round values for the ticks, every major one labelled; fewer labels on a small dial.
    const GaugeScale scale = MakeGaugeScale(Low(), High(), r < 70 ? 5 : 7);
    const double minorStep = scale.labels > 0 ? scale.step / scale.minors : 0.0;

    // What changes only with the size, palette, range and caption is drawn once: the face with
    // its rim, the unswept band, the ticks and the caption; and the figures.
    DrawLayer(p, 0, QRectF(rect()), [&](QPainter& q) {
        q.setPen(QPen(pal.color(QPalette::Mid), std::max(2.0, r / 30)));
        q.setBrush(pal.color(QPalette::Base));
        q.drawEllipse(c, r, r);
        q.setBrush(Qt::NoBrush);
        q.setPen(
            QPen(Mix(pal.color(QPalette::Base), text, 0.15), band, Qt::SolidLine, Qt::FlatCap));
        q.drawArc(arc, 225 * 16, -270 * 16);
        for (int i = 0; scale.labels > 0 && i <= (scale.labels - 1) * scale.minors; ++i) {
            const double f = FractionOf(scale.first + minorStep * i);
            const bool major = i % scale.minors == 0;
            q.setPen(QPen(text, major ? std::max(1.5, r / 40) : 1.0));
            q.drawLine(at(f, tickOuter), at(f, major ? majorInner : minorInner));
        }
        // The minor ticks below the first and above the last label.
        q.setPen(QPen(text, 1.0));
        for (int end = 0; scale.labels > 0 && end < 2; ++end)
            for (int k = 1; k < scale.minors; ++k) {
                const double v = end == 0 ? scale.first - minorStep * k
                                          : scale.Label(scale.labels - 1) + minorStep * k;
                if (v < Low() || v > High()) break;
                q.drawLine(at(FractionOf(v), tickOuter), at(FractionOf(v), minorInner));
            }
        DrawCaption(q, QRectF(0, c.y() + r + 3, width(), captionHeight), Caption(), pal);
    });
    // The swept part of the band, from 0 when the range holds it (a centre-zero dial).
    const double origin = FractionOf(GaugeOrigin(Low(), High()));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal.color(QPalette::Highlight), band, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(arc, static_cast<int>((225.0 - 270.0 * origin) * 16),
              static_cast<int>(-270 * 16 * (Fraction() - origin)));
    // Value in figures under the hub, then the needle.
    QFont big = font();
    big.setPointSizeF(std::max(7.0, r / 6.5));
    big.setBold(true);
    p.setFont(big);
    p.setPen(text);
    p.drawText(QRectF(c.x() - r * 0.6, c.y() + r * 0.56, r * 1.2, r * 0.34), Qt::AlignCenter,
               ValueText());
    p.setFont(font());
    const QPointF tip = at(Fraction(), r * 0.86);
    const QPointF back = at(Fraction(), -r * 0.12);
    p.setPen(QPen(kNeedle, std::max(2.0, r / 25), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(back, tip);
    // The figures over the needle, each just inside its tick whatever its width, so that a
    // needle resting on a figure never hides it.
    DrawLayer(p, 1, QRectF(c.x() - majorInner, c.y() - majorInner, 2 * majorInner, 2 * majorInner),
              [&](QPainter& q) {
                  QFont small = font();
                  small.setPointSizeF(std::max(7.0, r / 8.5));
                  q.setFont(small);
                  q.setPen(text);
                  const QFontMetricsF metrics(small);
                  for (int i = 0; i < scale.labels; ++i) {
                      const QString label = QString::number(scale.Label(i), 'f', scale.decimals);
                      const double f = FractionOf(scale.Label(i));
                      const double a = (225.0 - 270.0 * f) * kPi / 180.0;
                      const double w = metrics.horizontalAdvance(label), h = metrics.ascent();
                      const double inset =
                          std::fabs(std::cos(a)) * w / 2 + std::fabs(std::sin(a)) * h / 2;
                      const QPointF t = at(f, majorInner - r * 0.05 - inset);
                      q.drawText(QRectF(t.x() - w / 2 - 2, t.y() - metrics.height() / 2, w + 4,
                                        metrics.height()),
                                 Qt::AlignCenter, label);
                  }
              });
    p.setPen(Qt::NoPen);
    p.setBrush(text);
    p.drawEllipse(c, r * 0.07, r * 0.07);
}

// --- CBarGauge -----------------------------------------------------------------------------

CBarGauge::CBarGauge(QWidget* parent) : CGauge(parent) {
    setMinimumSize(70, 140);
}

void CBarGauge::Paint(QPainter& p) {
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::WindowText);
    const double line = fontMetrics().height();
    const double captionHeight = line * 2.2;
    const QRectF valueBox(0, 0, width(), line * 1.4);
    const double top = valueBox.bottom() + line * 0.5, bottom = height() - captionHeight - 4;
    const double barWidth = std::min(width() * 0.3, 34.0);
    const QRectF bar(width() / 2.0 - barWidth, top, barWidth, bottom - top);
    const auto yOf = [&](double v) { return bar.bottom() - bar.height() * FractionOf(v); };
    // Drawn once: the empty bar, the scale on its right (round values, a label for every line
    // and a half of height) and the caption.
    DrawLayer(p, 0, QRectF(rect()), [&](QPainter& q) {
        q.setPen(QPen(pal.color(QPalette::Mid), 1.5));
        q.setBrush(pal.color(QPalette::Base));
        q.drawRect(bar);
        q.setPen(text);
        const GaugeScale scale = MakeGaugeScale(
            Low(), High(), std::clamp(static_cast<int>(bar.height() / (line * 1.6)), 2, 9));
        for (int i = 0; i < scale.labels; ++i) {
            const double y = yOf(scale.Label(i));
            q.drawLine(QPointF(bar.right() + 1, y), QPointF(bar.right() + 7, y));
            q.drawText(QRectF(bar.right() + 9, y - line / 2, width() - bar.right() - 9, line),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       QString::number(scale.Label(i), 'f', scale.decimals));
        }
        const double minorStep = scale.step / std::max(scale.minors, 1);
        for (double v = scale.first - minorStep * (scale.minors - 1);
             scale.labels > 0 && v <= High() + minorStep * 1e-6; v += minorStep) {
            if (v < Low()) continue;
            const double y = yOf(v);
            q.drawLine(QPointF(bar.right() + 1, y), QPointF(bar.right() + 4, y));
        }
        DrawCaption(q, QRectF(0, height() - captionHeight, width(), captionHeight), Caption(), pal);
    });
    // Filled from 0 when the range holds it (a shock in and out of its ride height).
    const double from = yOf(GaugeOrigin(Low(), High()));
    const double to = yOf(Value());
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Highlight));
    p.drawRect(QRectF(bar.left() + 2, std::min(from, to), bar.width() - 4, std::fabs(to - from)));
    QFont big = font();
    big.setBold(true);
    p.setFont(big);
    p.setPen(text);
    p.drawText(valueBox, Qt::AlignCenter, ValueText());
    p.setFont(font());
}

// --- CLedIndicator -------------------------------------------------------------------------

CLedIndicator::CLedIndicator(QWidget* parent) : CGauge(parent) {
    setMinimumSize(60, 60);
}

void CLedIndicator::Paint(QPainter& p) {
    const QPalette& pal = palette();
    const double captionHeight = fontMetrics().height() * 2.2;
    const double r = std::min(std::min<double>(width(), height() - captionHeight) / 2.0 - 4, 26.0);
    const QPointF c(width() / 2.0, (height() - captionHeight) / 2.0);
    const double captionTop = c.y() + r + 4;
    const bool on = Value() != 0.0;
    const QColor base = on ? kLedOn : Mix(pal.color(QPalette::Mid), QColor(20, 60, 30), 0.35);
    QRadialGradient glow(c - QPointF(r / 3, r / 3), r * 1.3);
    glow.setColorAt(0, base.lighter(on ? 160 : 120));
    glow.setColorAt(1, base.darker(on ? 110 : 140));
    p.setPen(QPen(pal.color(QPalette::WindowText), 1.5));
    p.setBrush(glow);
    p.drawEllipse(c, r, r);
    DrawCaption(p, QRectF(0, captionTop, width(), captionHeight), Caption(), pal);
}

// --- CToggleSwitch -------------------------------------------------------------------------

CToggleSwitch::CToggleSwitch(QWidget* parent) : CGauge(parent) {
    setMinimumSize(70, 90);
}

void CToggleSwitch::Paint(QPainter& p) {
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::WindowText);
    const double line = fontMetrics().height();
    const double captionHeight = line * 2.2;
    const double room = height() - captionHeight - line * 1.4 - 4;
    const double h = std::min(room, 96.0);
    const double w = std::min(h * 0.55, width() * 0.5);
    const double top = line * 1.4 + (room - h) / 2;
    const QRectF plate(width() / 2.0 - w / 2, top, w, h);
    const bool on = Value() != 0.0;
    p.setPen(QPen(pal.color(QPalette::Mid), 1.5));
    p.setBrush(pal.color(QPalette::Base));
    p.drawRoundedRect(plate, w / 4, w / 4);
    // The lever: a knob in the upper half for on, the lower half for off.
    const QRectF knob(plate.left() + 3, on ? plate.top() + 3 : plate.center().y(),
                      plate.width() - 6, plate.height() / 2 - 3);
    p.setPen(QPen(text, 1.0));
    p.setBrush(on ? kLedOn : Mix(pal.color(QPalette::Mid), pal.color(QPalette::Base), 0.3));
    p.drawRoundedRect(knob, w / 5, w / 5);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(text);
    p.drawText(QRectF(0, top - line * 1.4, width(), line * 1.4), Qt::AlignCenter,
               on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    p.setFont(font());
    DrawCaption(p, QRectF(0, plate.bottom() + 4, width(), captionHeight), Caption(), pal);
}

// --- CCarOutline ---------------------------------------------------------------------------

CCarOutline::CCarOutline(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 220);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CCarOutline::SetShock(int corner, double value, double low, double high) {
    if (corner < 0 || corner > 3) return;
    Shock& s = m_shocks[static_cast<std::size_t>(corner)];
    if (s.shown && s.value == value && s.low == low && s.high == high) return;
    s = {value, low, high, true};
    update();
}

void CCarOutline::SetAccel(double lateral, double longitudinal, double range) {
    if (lateral == m_lateral && longitudinal == m_longitudinal && range == m_range) return;
    m_lateral = lateral;
    m_longitudinal = longitudinal;
    m_range = range;
    update();
}

void CCarOutline::ShowAccel(bool shown) {
    if (shown == m_accelShown) return;
    m_accelShown = shown;
    update();
}

double CCarOutline::ShockFraction(int corner) const {
    const Shock& s = m_shocks[static_cast<std::size_t>(std::clamp(corner, 0, 3))];
    if (!s.shown || !(s.high != s.low)) return 0.0;
    return std::clamp((s.value - s.low) / (s.high - s.low), 0.0, 1.0);
}

void CCarOutline::paintEvent(QPaintEvent*) {
    ++m_paints;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::WindowText);
    // Body: a rounded outline, narrower at the nose, nose at the top.
    const double h = height() - 8.0, w = std::min(width() - 8.0, h * 0.55);
    const QRectF body(width() / 2.0 - w / 2, 4, w, h);
    QPainterPath outline;
    outline.moveTo(body.left() + w * 0.22, body.top());
    outline.lineTo(body.right() - w * 0.22, body.top());
    outline.quadTo(body.right() - w * 0.08, body.top() + h * 0.05, body.right() - w * 0.1,
                   body.top() + h * 0.25);
    outline.lineTo(body.right(), body.top() + h * 0.6);
    outline.quadTo(body.right(), body.bottom(), body.center().x(), body.bottom());
    outline.quadTo(body.left(), body.bottom(), body.left(), body.top() + h * 0.6);
    outline.lineTo(body.left() + w * 0.1, body.top() + h * 0.25);
    outline.quadTo(body.left() + w * 0.08, body.top() + h * 0.05, body.left() + w * 0.22,
                   body.top());
    p.setPen(QPen(text, 2.0));
    p.setBrush(pal.color(QPalette::Base));
    p.drawPath(outline);
    // Wheels with their shock bars beside them.
    const double wheelW = w * 0.16, wheelH = h * 0.16;
    const QPointF corners[4] = {{body.left() + wheelW * 0.2, body.top() + h * 0.14},
                                {body.right() - wheelW * 1.2, body.top() + h * 0.14},
                                {body.left() + wheelW * 0.2, body.top() + h * 0.72},
                                {body.right() - wheelW * 1.2, body.top() + h * 0.72}};
    for (int i = 0; i < 4; ++i) {
        const QRectF wheel(corners[i], QSizeF(wheelW, wheelH));
        p.setPen(QPen(text, 1.0));
        p.setBrush(Mix(pal.color(QPalette::Base), text, 0.55));
        p.drawRoundedRect(wheel, 3, 3);
        if (!m_shocks[static_cast<std::size_t>(i)].shown) continue;
        const bool left = i % 2 == 0;
        const QRectF bar(left ? wheel.right() + 4 : wheel.left() - 4 - wheelW * 0.45, wheel.top(),
                         wheelW * 0.45, wheelH);
        p.setBrush(pal.color(QPalette::Window));
        p.drawRect(bar);
        // Filled from 0 like the shock's own bar gauge.
        const Shock& s = m_shocks[static_cast<std::size_t>(i)];
        const double origin =
            s.high != s.low
                ? std::clamp((GaugeOrigin(s.low, s.high) - s.low) / (s.high - s.low), 0.0, 1.0)
                : 0.0;
        const double from = bar.bottom() - bar.height() * origin;
        const double to = bar.bottom() - bar.height() * ShockFraction(i);
        p.setPen(Qt::NoPen);
        p.setBrush(pal.color(QPalette::Highlight));
        p.drawRect(
            QRectF(bar.left() + 1, std::min(from, to), bar.width() - 2, std::fabs(to - from)));
        // The mark of 0 (ride height) across the bar.
        p.setPen(QPen(text, 1.0));
        p.drawLine(QPointF(bar.left() - 2, from), QPointF(bar.right() + 2, from));
    }
    if (!m_accelShown) return;
    // The friction circle in the middle of the car: forward is up, right is right.
    const QPointF c(body.center().x(), body.top() + h * 0.48);
    const double r = std::min(w * 0.34, h * 0.18);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Mix(pal.color(QPalette::Base), text, 0.4), 1.0));
    p.drawEllipse(c, r, r);
    p.drawEllipse(c, r / 2, r / 2);
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    const double range = m_range > 0 ? m_range : 2.0;
    const double dx = std::clamp(m_lateral / range, -1.0, 1.0) * r;
    const double dy = -std::clamp(m_longitudinal / range, -1.0, 1.0) * r;
    p.setPen(QPen(text, 1.0));
    p.setBrush(kNeedle);
    p.drawEllipse(QPointF(c.x() + dx, c.y() + dy), std::max(4.0, r / 8), std::max(4.0, r / 8));
}

}  // namespace orvex
