// Writes traces straight into a 32-bit picture, pixel for pixel as one-pixel lines without
// antialiasing and with flat caps are drawn: in each device pixel column of a dense trace the
// run from the column's minimum to its maximum, joined to the previous column's last value, and
// slanted steps between sparse samples; clipped to the picture.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "graph/GraphScene.h"

namespace orvex {

// A picture of `width` x `height` 32-bit pixels, `stride` pixels from one row to the next;
// only the rows [rowFrom, rowTo) are written.
struct PixelBuffer {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
    int rowFrom = 0, rowTo = std::numeric_limits<int>::max();

    int Top() const { return std::max(rowFrom, 0); }
    int Bottom() const { return std::min(rowTo, height); }
};

// The polyline through `count` points (scene coordinates) in colour `argb`.
void RasterTrace(const PixelBuffer& buffer, const GPoint* points, std::size_t count, uint32_t argb,
                 double dpr);

// One line from (x1, y1) to (x2, y2) in scene coordinates.
void RasterLine(const PixelBuffer& buffer, float x1, float y1, float x2, float y2, uint32_t argb,
                double dpr);

// A polyline (count > 0) or a line (count == 0) to be written.
struct RasterItem {
    const GPoint* points = nullptr;
    std::size_t count = 0;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint32_t argb = 0;
};

// Writes the items in order. A large batch is shared with a worker thread: each writes every
// item into its own half of the rows, so the picture is the one the items give one by one.
void RasterItems(const PixelBuffer& buffer, const std::vector<RasterItem>& items, double dpr);

}  // namespace orvex
