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
// only the columns [colFrom, colTo) are written.
struct PixelBuffer {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
    int colFrom = 0, colTo = std::numeric_limits<int>::max();

    int Left() const { return std::max(colFrom, 0); }
    int Right() const { return std::min(colTo, width); }
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

// Writes the items in order. A large batch is shared with a worker thread: each writes the
// items into its own half of the columns, so the picture is the one the items give one by one.
void RasterItems(const PixelBuffer& buffer, const std::vector<RasterItem>& items, double dpr);

// The pixels that traces of one colour set in a picture of `width` x `height` device pixels, as
// bits in blocks of 8 x 8 pixels a word, so that a segment whose pixels all lie in set blocks
// is known to add nothing without its pixels being walked.
class CPixelMask {
  public:
    // An empty mask of that size, keeping the memory.
    void Reset(int width, int height);
    // Adds the pixels marked in `other`, a mask of the same size.
    void Merge(const CPixelMask& other);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Marked(int x, int y) const;
    // Marks one pixel; true when it was not marked yet (off the mask it always is).
    bool Mark(int x, int y) {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return true;
        uint64_t& word = m_blocks[static_cast<std::size_t>(y >> 3) * m_blocksX +
                                  static_cast<std::size_t>(x >> 3)];
        const uint64_t bit = uint64_t{1} << (((y & 7) << 3) | (x & 7));
        const bool fresh = (word & bit) == 0;
        word |= bit;
        return fresh;
    }
    // Marks a pixel known to lie on the mask.
    void Set(int x, int y) {
        m_blocks[static_cast<std::size_t>(y >> 3) * m_blocksX + static_cast<std::size_t>(x >> 3)] |=
            uint64_t{1} << (((y & 7) << 3) | (x & 7));
    }
    // Whether every pixel of the box [x0, x1] x [y0, y1] is marked (false past the edge).
    [[gnu::always_inline]] bool BoxMarked(int x0, int y0, int x1, int y1) const {
        if (x0 < 0 || y0 < 0 || x1 >= m_width || y1 >= m_height) return false;
        const int bx0 = x0 >> 3, bx1 = x1 >> 3, by0 = y0 >> 3, by1 = y1 >> 3;
        if (bx1 - bx0 > 1 || by1 - by0 > 1) return BoxMarkedAnySize(x0, y0, x1, y1);
        // Within two blocks each way: the box's part in each of them, tested all at once (a
        // part that does not exist needs no bit).
        const uint64_t* row0 = m_blocks.data() + static_cast<std::size_t>(by0) * m_blocksX;
        const uint64_t* row1 = row0 + (by1 - by0) * static_cast<std::ptrdiff_t>(m_blocksX);
        const bool twoX = bx1 != bx0, twoY = by1 != by0;
        const int xa = x0 & 7, xb = twoX ? 7 : x1 & 7, xc = x1 & 7;
        const int ya = y0 & 7, yb = twoY ? 7 : y1 & 7, yc = y1 & 7;
        const uint64_t n00 = BlockBits(xa, ya, xb, yb);
        const uint64_t n10 = twoX ? BlockBits(0, ya, xc, yb) : 0;
        const uint64_t n01 = twoY ? BlockBits(xa, 0, xb, yc) : 0;
        const uint64_t n11 = twoX && twoY ? BlockBits(0, 0, xc, yc) : 0;
        return ((~row0[bx0] & n00) | (~row0[bx1] & n10) | (~row1[bx0] & n01) |
                (~row1[bx1] & n11)) == 0;
    }

    // Calls span(y, x0, x1) for each run of marked pixels [x0, x1) of a row inside the box
    // [left, right) x [top, bottom), row by row from the top, left to right.
    template <class Span>
    void ForEachSpan(int left, int top, int right, int bottom, Span&& span) const {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, m_width);
        bottom = std::min(bottom, m_height);
        if (left >= right || top >= bottom) return;
        const std::size_t bx0 = static_cast<std::size_t>(left >> 3);
        const std::size_t bx1 = static_cast<std::size_t>((right + 7) >> 3);
        std::vector<std::size_t> used;  // the blocks of a block row with a marked pixel
        for (int by = top >> 3; by <= (bottom - 1) >> 3; ++by) {
            const uint64_t* row = m_blocks.data() + static_cast<std::size_t>(by) * m_blocksX;
            used.clear();
            for (std::size_t bx = bx0; bx < bx1; ++bx)
                if (row[bx]) used.push_back(bx);
            if (used.empty()) continue;
            for (int y = std::max(by * 8, top); y < std::min(by * 8 + 8, bottom); ++y) {
                const int shift = (y & 7) * 8;
                int start = -1, end = -1;
                for (std::size_t bx : used) {
                    uint32_t bits = static_cast<uint32_t>(row[bx] >> shift) & 0xFFu;
                    const int base = static_cast<int>(bx) * 8;
                    if (start >= 0 && end != base) {  // the run stopped in a blank block
                        span(y, start, end);
                        start = -1;
                    }
                    if (bits == 0xFFu) {
                        if (start < 0) start = base;
                        end = base + 8;
                        continue;
                    }
                    for (int i = 0; i < 8; ++i, bits >>= 1) {
                        if (bits & 1u) {
                            if (start < 0) start = base + i;
                            end = base + i + 1;
                        } else if (start >= 0) {
                            span(y, start, base + i);
                            start = -1;
                        }
                    }
                    if (start >= 0) end = base + 8;
                }
                if (start >= 0) span(y, start, std::min(end, m_width));
            }
        }
    }

  private:
    // The bits of columns x0..x1 and rows y0..y1 of one block (all within 0..7).
    static uint64_t BlockBits(int x0, int y0, int x1, int y1) {
        const uint64_t columns = ((uint64_t{2} << x1) - 1) & ~((uint64_t{1} << x0) - 1);
        const uint64_t rows = (~uint64_t{0} >> (56 - 8 * (y1 - y0))) & 0x0101010101010101ull;
        return (columns * rows) << (8 * y0);
    }
    bool BoxMarkedAnySize(int x0, int y0, int x1, int y1) const;

    int m_width = 0, m_height = 0;
    std::size_t m_blocksX = 0;
    std::vector<uint64_t> m_blocks;
};

// Marks in `mask` the pixels that the painter sets for a polyline drawn with a one-pixel pen
// without antialiasing and with flat caps, through `count` points given in device pixels in
// 26.6 fixed point (64 to a pixel, as the painter takes them), on whole device pixels with no
// two consecutive points on the same pixel. The painter draws each segment
// along its longer axis from the rounded start up to the rounded end and keeps the line
// joined where it turns back or changes from mostly vertical to mostly horizontal (a pixel
// is added where the next segment would start more than a pixel away, or half a pixel where
// it reverses), so a segment's pixels depend on the one before it. A segment whose pixels
// (its ends' box widened by one pixel) are all marked already is not walked. The first
// `carried` segments only carry their state to the ones after them and mark nothing, so that
// a polyline can be marked in pieces, each starting with the two segments before it.
void MarkPolyline(CPixelMask& mask, const int32_t* xy, std::size_t count, std::size_t carried = 0);

}  // namespace orvex
