// A paint device that records what is painted on it: every text with its box and every line,
// in device pixels, so that tests can check label sizes, positions and overlaps.
#pragma once

#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>
#include <vector>

namespace orvex::test {

struct PaintedText {
    QString text;
    QRectF box;  // device pixels: from the top of the ascent to the bottom of the descent
};

class PaintRecorder : public QPaintDevice {
  public:
    PaintRecorder(QSize size, int dpi) : m_size(size), m_dpi(dpi), m_engine(*this) {}

    std::vector<PaintedText> texts;
    std::vector<QLineF> lines;

    QPaintEngine* paintEngine() const override { return &m_engine; }

    // The texts whose boxes overlap another's (pairs, each once).
    std::vector<std::pair<PaintedText, PaintedText>> Overlaps() const {
        std::vector<std::pair<PaintedText, PaintedText>> out;
        for (std::size_t i = 0; i < texts.size(); ++i)
            for (std::size_t j = i + 1; j < texts.size(); ++j)
                if (texts[i].box.intersected(texts[j].box).width() > 0.5 &&
                    texts[i].box.intersected(texts[j].box).height() > 0.5)
                    out.emplace_back(texts[i], texts[j]);
        return out;
    }

  protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth:
                return m_size.width();
            case PdmHeight:
                return m_size.height();
            case PdmWidthMM:
                return m_size.width() * 254 / (10 * m_dpi);
            case PdmHeightMM:
                return m_size.height() * 254 / (10 * m_dpi);
            case PdmNumColors:
                return 0x7fffffff;
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return m_dpi;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return static_cast<int>(devicePixelRatioFScale());
            default:
                return 0;
        }
    }

  private:
    class Engine : public QPaintEngine {
      public:
        explicit Engine(PaintRecorder& owner) : QPaintEngine(AllFeatures), m_owner(owner) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        Type type() const override { return User; }
        void updateState(const QPaintEngineState& changed) override {
            if (changed.state() & DirtyTransform) m_transform = changed.transform();
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath&) override {}
        void drawRects(const QRectF*, int) override {}
        void drawLines(const QLineF* lines, int count) override {
            for (int i = 0; i < count; ++i) m_owner.lines.push_back(m_transform.map(lines[i]));
        }
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            const QRectF box(p.x(), p.y() - item.ascent(), item.width(),
                             item.ascent() + item.descent());
            m_owner.texts.push_back({item.text(), m_transform.mapRect(box)});
        }

      private:
        PaintRecorder& m_owner;
        QTransform m_transform;
    };

    QSize m_size;
    int m_dpi;
    mutable Engine m_engine;
};

}  // namespace orvex::test
