// The one painting path of the strip chart, for the screen, the printer and picture export.
#pragma once

#include <QColor>
#include <QSize>
#include <cstdint>

class QPainter;

namespace orvex {

class CBriodashDoc;

// The horizontal window and what the painter needs besides the document.
struct ChartWindow {
    int32_t xStart = 0;
    int32_t xSpan = 600000;
    QColor background = Qt::white;
    QColor rpmLabel = Qt::blue;
    QColor mphLabel = Qt::red;
    QColor timeLabel = Qt::black;
    bool onPaper = false;  // printing: no markers, a title at the bottom
};

inline constexpr int kLeftMargin = 55;
inline constexpr int kBottomMargin = 25;
inline constexpr int kTickLength = 5;

// Paints the chart of `doc` into the rectangle (0, 0, size) of the painter's device.
void PaintChart(QPainter& painter, CBriodashDoc& doc, const ChartWindow& window, QSize size);

// Earliest and latest time over the shown datasets (0, 0 when nothing is shown).
void DocumentTimeExtent(CBriodashDoc& doc, int32_t& first, int32_t& last);

}  // namespace orvex
