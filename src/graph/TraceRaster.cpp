// Direct pixel writing of traces.
#include "graph/TraceRaster.h"

#include <algorithm>
#include <cmath>

namespace orvex {
namespace {

// A device coordinate rounded down to a pixel index, kept within one pixel beyond [0, size) so
// that far-off values are clipped instead of overflowing; without a library call.
inline int FloorClamp(double v, int size) {
    const double c = std::clamp(v, -2.0, static_cast<double>(size) + 2.0);
    const int i = static_cast<int>(c);  // toward zero
    return std::clamp(i - (c < i ? 1 : 0), -1, size + 1);
}

// One segment as lines without antialiasing and with flat caps are drawn: along its longer
// axis the pixels from the rounded lower end up to, not including, the rounded upper end;
// across it the pixel that holds the line at each pixel's centre.
void Segment(const PixelBuffer& b, double ax, double ay, double bx, double by, uint32_t argb) {
    const double dx = bx - ax, dy = by - ay;
    if (std::abs(dy) >= std::abs(dx)) {
        if (dy == 0) return;
        const int from = std::max(FloorClamp(std::min(ay, by) + 0.5, b.height), 0);
        const int to = std::min(FloorClamp(std::max(ay, by) + 0.5, b.height), b.height);
        const double step = dx / dy;
        for (int y = from; y < to; ++y) {
            const double x = ax + (y + 0.5 - ay) * step;
            const int col = FloorClamp(x, b.width);
            if (col >= 0 && col < b.width)
                b.pixels[static_cast<std::ptrdiff_t>(y) * b.stride + col] = argb;
        }
    } else {
        const int from = std::max(FloorClamp(std::min(ax, bx) + 0.5, b.width), 0);
        const int to = std::min(FloorClamp(std::max(ax, bx) + 0.5, b.width), b.width);
        const double step = dy / dx;
        for (int x = from; x < to; ++x) {
            const double y = ay + (x + 0.5 - ax) * step;
            const int row = FloorClamp(y, b.height);
            if (row >= 0 && row < b.height)
                b.pixels[static_cast<std::ptrdiff_t>(row) * b.stride + x] = argb;
        }
    }
}

}  // namespace

void RasterTrace(const PixelBuffer& b, const GPoint* pts, std::size_t count, uint32_t argb,
                 double dpr) {
    if (count < 2 || !b.pixels) return;
    for (std::size_t i = 1; i < count; ++i)
        Segment(b, pts[i - 1].x * dpr, pts[i - 1].y * dpr, pts[i].x * dpr, pts[i].y * dpr, argb);
}

void RasterLine(const PixelBuffer& b, float x1, float y1, float x2, float y2, uint32_t argb,
                double dpr) {
    if (!b.pixels) return;
    Segment(b, x1 * dpr, y1 * dpr, x2 * dpr, y2 * dpr, argb);
}

}  // namespace orvex
