// The display list of one drawing of a document view (strip chart, track map, traction circle,
// histogram): lines, traces, filled rectangles, bars, ellipses, polygons and texts in
// device-independent pixels, in painting order, plus an overlay layer for the markers. It lives
// with the chart because every view above the chart in the folder order can include it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graph/Color.h"

namespace orvex {

enum class LineStyle : uint8_t { Solid, Dash, Dot };
enum class HAlign : uint8_t { Left, Center, Right };
// Top: the text hangs below y; Baseline: y is the text's baseline; Bottom: the text sits on y;
// Middle: the text is centred on y.
enum class VAlign : uint8_t { Top, Baseline, Bottom, Middle };
// Axis: tick labels; Title: the printed title line; Message: a note across the plot; Heading:
// the large value lines of a view; AxisBold: axis titles.
enum class FontRole : uint8_t { Axis, Title, Message, Heading, AxisBold };

// How a line meets what is below it: Readable lightens it on a dark background, Exact keeps its
// colour, Xor and NotXor combine it with the pixels below (the marker lines) so that it stays
// visible over any trace.
enum class LineBlend : uint8_t { Readable, Exact, Xor, NotXor };

struct GPoint {
    float x = 0, y = 0;
};

struct GLine {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ColorRef color = 0;
    float width = 1.0f;
    LineStyle style = LineStyle::Solid;
    LineBlend blend = LineBlend::Readable;
};

// Sizes of the scene's texts as the painter measures them, for views that lay texts out.
struct SceneMetrics {
    float zeroWidth = 6.0f;       // width of "0" in the axis font
    float lineHeight = 14.0f;     // height of a line in the axis font
    float headingHeight = 22.0f;  // of a heading line
};

// A connected trace: `count` points of the scene's point pool from `first`.
struct GPolyline {
    uint32_t first = 0;
    uint32_t count = 0;
    ColorRef color = 0;
    float width = 1.0f;
};

struct GRect {
    float x = 0, y = 0, w = 0, h = 0;
    ColorRef fill = 0;
    LineBlend blend = LineBlend::Exact;  // Xor / NotXor: combined with the pixels below
};

// A bar of a histogram or report: a filled rectangle with a one-pixel outline.
struct GBar {
    float x = 0, y = 0, w = 0, h = 0;
    ColorRef fill = 0;
    ColorRef outline = 0;
};

// An ellipse around (cx, cy) with radii rx, ry; `filled` fills it with `fill`.
struct GEllipse {
    float cx = 0, cy = 0, rx = 0, ry = 0;
    ColorRef outline = 0;
    ColorRef fill = 0;
    bool filled = false;
    float width = 1.0f;
    LineBlend blend = LineBlend::Exact;  // Xor / NotXor: the outline combined with what is below
};

// A closed polygon: `count` points of the point pool from `first`.
struct GPolygon {
    uint32_t first = 0;
    uint32_t count = 0;
    ColorRef outline = 0;
    ColorRef fill = 0;
    bool filled = false;
};

struct GText {
    float x = 0, y = 0;
    std::string text;
    HAlign halign = HAlign::Left;
    VAlign valign = VAlign::Baseline;
    FontRole font = FontRole::Axis;
    ColorRef color = 0;
    // Moved inside the picture where an edge would cut it off, and left out where it would
    // run into a text painted before it (tick labels). False for a table's cells, laid out
    // not to overlap: they stay where they are, also past the picture's edge.
    bool autoPlace = true;
};

// The box, in device-independent pixels, that a text of the overlay stays inside; it lets a
// canvas repaint only there when the text changes.
struct GTextBox {
    uint32_t text = 0;  // index into the texts
    float left = 0, top = 0, right = 0, bottom = 0;
};

enum class PrimKind : uint8_t { Line, Polyline, Rect, Text, Bar, Ellipse, Polygon };

// One entry of a layer: which pool and which element of it.
struct GPrim {
    PrimKind kind;
    uint32_t index;
};

struct GRectI {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// Region of one analog (or the slip) scale column at the right of the plot.
struct GScaleRegion {
    int column = 0;   // counted from the right border, 1-based position of the axis line
    float axisX = 0;  // x of the axis line
    float top = 0;    // extent of the axis line
    float bottom = 0;
    int channel = 0;  // analog channel number of the scale record, 0 for slip
};

class CGraphScene {
  public:
    // Pools shared by both layers.
    std::vector<GLine> lines;
    std::vector<GPolyline> polylines;
    std::vector<GPoint> points;
    std::vector<GRect> rects;
    std::vector<GText> texts;
    std::vector<GBar> bars;
    std::vector<GEllipse> ellipses;
    std::vector<GPolygon> polygons;
    std::vector<GTextBox> textBoxes;

    // Painting order: the base drawing first, then the overlay (markers).
    std::vector<GPrim> base;
    std::vector<GPrim> overlay;

    ColorRef background = 0;
    int width = 0, height = 0;  // client size in device-independent pixels
    double devicePixelRatio = 1.0;
    bool hasDrawing = false;  // false: the document has nothing to draw, background only
    GRectI plot;              // the plot rectangle (left margin to right border)
    GRectI xAxisRegion;       // below the plot: ticks and labels of the horizontal axis
    GRectI rpmScaleRegion;    // left of the plot: RPM labels
    std::vector<GScaleRegion> scaleColumns;

    // Empties every list but keeps the memory for the next drawing.
    void Clear();

    // Appenders; `toOverlay` puts the primitive on the marker layer.
    void AddLine(float x1, float y1, float x2, float y2, ColorRef color, bool toOverlay = false,
                 float penWidth = 1.0f, LineStyle style = LineStyle::Solid,
                 LineBlend blend = LineBlend::Readable);
    void AddRect(float x, float y, float w, float h, ColorRef fill, bool toOverlay = false);
    // An outline `penWidth` pixels wide inside the box (x, y, w, h), as four rectangles that do
    // not overlap, so that an outline combined with what is below (`blend` Xor or NotXor) has
    // no pixel drawn twice.
    void AddFrame(float x, float y, float w, float h, ColorRef color, float penWidth = 1.0f,
                  bool toOverlay = false, LineBlend blend = LineBlend::Exact);
    void AddText(float x, float y, std::string text, HAlign h, VAlign v, ColorRef color,
                 FontRole font = FontRole::Axis, bool toOverlay = false);
    // Records the box the last text stays inside (see GTextBox).
    void BoundLastText(float left, float top, float right, float bottom);
    void AddBar(float x, float y, float w, float h, ColorRef fill, ColorRef outline,
                bool toOverlay = false);
    // An outlined ellipse; with `fill` also filled.
    void AddEllipse(float cx, float cy, float rx, float ry, ColorRef outline,
                    std::optional<ColorRef> fill = std::nullopt, bool toOverlay = false,
                    float penWidth = 1.0f, LineBlend blend = LineBlend::Exact);
    // A closed polygon through `corners` (at least three); with `fill` also filled.
    void AddPolygon(const std::vector<GPoint>& corners, ColorRef outline,
                    std::optional<ColorRef> fill = std::nullopt, bool toOverlay = false);
    // Starts a trace; points follow with AddPoint until the next BeginPolyline or EndPolyline.
    void BeginPolyline(ColorRef color, bool toOverlay = false, float penWidth = 1.0f);
    void AddPoint(float x, float y);
    // Closes the open trace; a trace of fewer than two points is dropped.
    void EndPolyline();
    // Appends the traces of `other`'s base drawing (its other primitives are not taken).
    void AppendPolylines(const CGraphScene& other);

    // Counts for tests and benchmarks.
    std::size_t PointCount() const { return points.size(); }

  private:
    bool m_bOpen = false;
};

// The rectangles, in device-independent pixels, that the primitives of `layer` cover, each
// widened by `margin` on every side (pens and rounding); none when one of them has an extent
// only the painter knows (a text without a recorded box).
std::optional<std::vector<GRectI>> LayerExtents(const CGraphScene& scene,
                                                const std::vector<GPrim>& layer, int margin);

}  // namespace orvex
