// The live-data sheet's instruments: dial and bar gauges, an LED, a toggle switch and a car
// outline with its four shocks and the accelerometer dot. Each takes a value, a range and a
// caption, repaints only when one of them changes, and paints from the palette so that it reads
// on light and dark themes and at any pixel ratio.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>

namespace orvex {

// A picture of the parts of an instrument that change only with its size, palette, range or
// caption: drawn once for the painter's pixel ratio and copied at each repaint after that.
class CPaintLayer {
  public:
    void Invalidate() { m_valid = false; }
    // Draws the picture with `draw` when it is out of date, then copies the part of it within
    // `bounds` (widget pixels) to `p`.
    void Draw(QPainter& p, const QWidget& widget, const QRectF& bounds,
              const std::function<void(QPainter&)>& draw);

  private:
    QPixmap m_pixmap;
    bool m_valid = false;
    qreal m_dpr = 0;
    QSize m_size;
    qint64 m_palette = 0;
};

class CGauge : public QWidget {
    Q_OBJECT
  public:
    explicit CGauge(QWidget* parent);

    // Each schedules one repaint when the value, range or caption changes.
    void SetValue(double value);
    void SetRange(double low, double high);
    void SetCaption(const QString& caption);
    // How the value is written under a dial or bar ("%.1f" style precision).
    void SetDecimals(int decimals);

    double Value() const { return m_value; }
    double Low() const { return m_low; }
    double High() const { return m_high; }
    const QString& Caption() const { return m_caption; }
    // Paint events so far (for the tests: a repaint only follows a change).
    int Paints() const { return m_paints; }

  protected:
    void paintEvent(QPaintEvent* event) final;
    void changeEvent(QEvent* event) override;
    virtual void Paint(QPainter& p) = 0;
    // Layer `index` (0 or 1) of the instrument's fixed parts, drawn by `draw` when out of date
    // and copied within `bounds`.
    void DrawLayer(QPainter& p, std::size_t index, const QRectF& bounds,
                   const std::function<void(QPainter&)>& draw);
    void InvalidateLayers();
    // The value's place in the range, 0..1 (clamped), and that of any other value.
    double Fraction() const;
    double FractionOf(double value) const;
    QString ValueText() const;

  private:
    double m_value = 0.0, m_low = 0.0, m_high = 1.0;
    int m_decimals = 1;
    QString m_caption;
    int m_paints = 0;
    std::array<CPaintLayer, 2> m_layers;
};

// A round dial: a 270 degree scale with numbered ticks, a needle and the value in figures.
class CDialGauge : public CGauge {
    Q_OBJECT
  public:
    explicit CDialGauge(QWidget* parent);
    QSize sizeHint() const override { return {170, 190}; }

  protected:
    void Paint(QPainter& p) override;
};

// An upright bar filling from the bottom of its range, with a scale beside it.
class CBarGauge : public CGauge {
    Q_OBJECT
  public:
    explicit CBarGauge(QWidget* parent);
    QSize sizeHint() const override { return {90, 200}; }

  protected:
    void Paint(QPainter& p) override;
};

// A light: on for a non-zero value.
class CLedIndicator : public CGauge {
    Q_OBJECT
  public:
    explicit CLedIndicator(QWidget* parent);
    QSize sizeHint() const override { return {110, 90}; }

  protected:
    void Paint(QPainter& p) override;
};

// A toggle switch: lever up and "ON" for a non-zero value.
class CToggleSwitch : public CGauge {
    Q_OBJECT
  public:
    explicit CToggleSwitch(QWidget* parent);
    QSize sizeHint() const override { return {110, 120}; }

  protected:
    void Paint(QPainter& p) override;
};

// The car seen from above: a bar at each corner for its shock (LF, RF, LR, RR) and a dot for
// the lateral and longitudinal acceleration in a circle of +/- the accel range.
class CCarOutline : public QWidget {
    Q_OBJECT
  public:
    explicit CCarOutline(QWidget* parent);
    QSize sizeHint() const override { return {220, 300}; }

    // Corner 0..3; a corner without a range shows no bar.
    void SetShock(int corner, double value, double low, double high);
    void SetAccel(double lateral, double longitudinal, double range);
    void ShowAccel(bool shown);
    int Paints() const { return m_paints; }
    double ShockFraction(int corner) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Shock {
        double value = 0, low = 0, high = 0;
        bool shown = false;
    };
    std::array<Shock, 4> m_shocks{};
    double m_lateral = 0, m_longitudinal = 0, m_range = 2.0;
    bool m_accelShown = false;
    int m_paints = 0;
};

}  // namespace orvex
