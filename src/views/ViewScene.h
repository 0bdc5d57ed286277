// The display list of one drawing of an auxiliary view (traction circle, histogram, lap
// segment report) in device-independent pixels, in painting order, for screen, paper and PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/Color.h"

namespace orvex {

enum class ViewAlign : uint8_t { Left, Center, Right };
enum class ViewVAlign : uint8_t { Top, Center, Bottom };

struct ViewPoint {
    float x = 0, y = 0;
};

struct ViewPrim {
    enum Kind : uint8_t { Line, Polyline, Rect, Ellipse, Polygon, Text } kind = Line;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends; rect, ellipse and text box corners
    ColorRef pen = 0;                      // line or outline colour
    ColorRef fill = 0;
    bool filled = false;
    bool outlined = true;
    float width = 1.0f;
    uint32_t first = 0, count = 0;  // polyline and polygon points in the pool
    std::string text;
    int fontPoints = 8;  // "Arial" at this size
    bool bold = false;
    ViewAlign align = ViewAlign::Left;
    ViewVAlign valign = ViewVAlign::Center;
};

class CViewScene {
  public:
    int width = 0, height = 0;
    ColorRef background = MakeRGB(255, 255, 255);
    std::vector<ViewPrim> prims;
    std::vector<ViewPoint> points;

    void Clear() {
        prims.clear();
        points.clear();
    }
    void AddLine(float x1, float y1, float x2, float y2, ColorRef pen, float penWidth = 1.0f);
    // A filled rectangle (no outline unless `outline`) of corner (x, y), size w by h.
    void AddRect(float x, float y, float w, float h, ColorRef fill, bool outline = false,
                 ColorRef pen = 0);
    // An outline only.
    void AddFrame(float x, float y, float w, float h, ColorRef pen, float penWidth = 1.0f);
    void AddEllipse(float cx, float cy, float rx, float ry, ColorRef pen, bool filled = false,
                    ColorRef fill = 0);
    void AddPolygon(const std::vector<ViewPoint>& corners, ColorRef fill, ColorRef pen);
    void AddPolyline(const std::vector<ViewPoint>& pts, ColorRef pen, float penWidth = 1.0f);
    // Text placed in the box (x1, y1)-(x2, y2) by the alignments.
    void AddText(float x1, float y1, float x2, float y2, std::string text, ColorRef colour,
                 int points = 8, ViewAlign align = ViewAlign::Left,
                 ViewVAlign valign = ViewVAlign::Center, bool bold = false);

    std::size_t Count(ViewPrim::Kind kind) const;
    // The texts in painting order, for tests.
    std::vector<std::string> Texts() const;
};

// Text sizes the scene builders need, measured by the painter for its font.
struct ViewMetrics {
    float zeroWidth = 6.0f;     // width of "0" in "Arial" 8 points
    float lineHeight = 14.0f;   // height of a line of "Arial" 8 points
    float largeHeight = 22.0f;  // of "Arial" 14 points
};

}  // namespace orvex
