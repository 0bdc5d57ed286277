// Writes traces straight into a 32-bit picture, pixel for pixel as one-pixel lines without
// antialiasing and with flat caps are drawn: in each device pixel column of a dense trace the
// run from the column's minimum to its maximum, joined to the previous column's last value, and
// slanted steps between sparse samples; clipped to the picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graph/GraphScene.h"

namespace orvex {

// A picture of `width` x `height` 32-bit pixels, `stride` pixels from one row to the next.
struct PixelBuffer {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
};

// The polyline through `count` points (scene coordinates) in colour `argb`.
void RasterTrace(const PixelBuffer& buffer, const GPoint* points, std::size_t count, uint32_t argb,
                 double dpr);

// One line from (x1, y1) to (x2, y2) in scene coordinates.
void RasterLine(const PixelBuffer& buffer, float x1, float y1, float x2, float y2, uint32_t argb,
                double dpr);

}  // namespace orvex
