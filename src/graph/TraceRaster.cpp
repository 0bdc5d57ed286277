// Direct pixel writing of traces.
#include "graph/TraceRaster.h"

#include <algorithm>
#include <cmath>

#include "host/TwoThreads.h"

namespace orvex {
namespace {

// The whole part (rounded down) of a device coordinate, kept within one pixel beyond [0, size) so
// that far-off values are clipped instead of overflowing.
inline int FloorClamp(double v, int size) {
    if (!(v > -1.0)) return -1;
    if (v >= size + 1.0) return size + 1;
    const int i = static_cast<int>(v);
    return i > v ? i - 1 : i;
}

// One segment as lines without antialiasing and with flat caps are drawn: along its longer
// axis the pixels from the rounded lower end up to, not including, the rounded upper end;
// across it the pixel that holds the line at each pixel's centre.
void Segment(const PixelBuffer& b, double ax, double ay, double bx, double by, uint32_t argb) {
    const double dx = bx - ax, dy = by - ay;
    const int left = b.Left(), right = b.Right();
    if (std::abs(dy) >= std::abs(dx)) {
        if (dy == 0) return;
        const int from = std::max(FloorClamp(std::min(ay, by) + 0.5, b.height), 0);
        const int to = std::min(FloorClamp(std::max(ay, by) + 0.5, b.height), b.height);
        if (from >= to) return;
        uint32_t* p = b.pixels + static_cast<std::ptrdiff_t>(from) * b.stride;
        if (dx == 0) {
            // The run of a pixel column: every row in the same column.
            if (!(ax >= left && ax < right)) return;
            p += static_cast<int>(ax);
            for (int y = from; y < to; ++y, p += b.stride) *p = argb;
            return;
        }
        const double step = dx / dy;
        for (int y = from; y < to; ++y, p += b.stride) {
            // Inside the picture the column is the whole part of x.
            const double x = ax + (y + 0.5 - ay) * step;
            if (x >= left && x < right) p[static_cast<int>(x)] = argb;
        }
    } else {
        const int from = std::max(FloorClamp(std::min(ax, bx) + 0.5, b.width), left);
        const int to = std::min(FloorClamp(std::max(ax, bx) + 0.5, b.width), right);
        if (from >= to) return;
        if (dy == 0) {
            // A flat run: one row.
            if (!(ay >= 0 && ay < b.height)) return;
            uint32_t* row = b.pixels + static_cast<std::ptrdiff_t>(ay) * b.stride;
            std::fill(row + from, row + to, argb);
            return;
        }
        const double step = dy / dx;
        for (int x = from; x < to; ++x) {
            const double y = ay + (x + 0.5 - ax) * step;
            if (y >= 0 && y < b.height)
                b.pixels[static_cast<std::ptrdiff_t>(y) * b.stride + x] = argb;
        }
    }
}

// The rows [from, to) of one pixel column.
struct ColumnRun {
    int col = -1, from = 0, to = 0;
};

void FillRun(const PixelBuffer& b, const ColumnRun& r, uint32_t argb) {
    uint32_t* p = b.pixels + static_cast<std::ptrdiff_t>(r.from) * b.stride + r.col;
    for (int y = r.from; y < r.to; ++y, p += b.stride) *p = argb;
}

// Whether the steep segment sets its pixels in one column of the picture, and which rows: its
// x stays inside one pixel column (a little away from the column's edges, so that rounding in
// the per-row x cannot reach the next column).
bool OneColumn(const PixelBuffer& b, double ax, double ay, double bx, double by, ColumnRun& run) {
    const double dx = bx - ax, dy = by - ay;
    if (dy == 0 || std::abs(dy) < std::abs(dx)) return false;
    const double lo = std::min(ax, bx), hi = std::max(ax, bx);
    if (!(lo >= b.Left() && hi < b.Right())) return false;
    const int col = static_cast<int>(lo);
    if (dx != 0) {
        constexpr double kMargin = 1e-6;
        if (lo - col < kMargin || col + 1 - hi < kMargin) return false;
    }
    run.col = col;
    run.from = std::max(FloorClamp(std::min(ay, by) + 0.5, b.height), 0);
    run.to = std::min(FloorClamp(std::max(ay, by) + 0.5, b.height), b.height);
    return true;
}

}  // namespace

void RasterTrace(const PixelBuffer& b, const GPoint* pts, std::size_t count, uint32_t argb,
                 double dpr) {
    if (count < 2 || !b.pixels) return;
    // A dense trace goes down and up the same column several times (first value, extremes,
    // last value): those runs are joined and each pixel is written once. All the trace's pixels
    // have one colour, so the order of writing does not change the picture.
    ColumnRun pending, next;
    // A segment sets pixels only in the columns from its left end's (rounded down) to its
    // right end's: the ones that stay out of the columns written here are passed over.
    const double left = b.Left(), right = b.Right();
    for (std::size_t i = 1; i < count; ++i) {
        const double ax = pts[i - 1].x * dpr, bx = pts[i].x * dpr;
        if (std::max(ax, bx) < left || std::min(ax, bx) >= right) continue;
        const double ay = pts[i - 1].y * dpr, by = pts[i].y * dpr;
        if (!OneColumn(b, ax, ay, bx, by, next)) {
            Segment(b, ax, ay, bx, by, argb);
            continue;
        }
        if (next.from >= next.to) continue;
        if (next.col == pending.col && next.from <= pending.to && next.to >= pending.from) {
            pending.from = std::min(pending.from, next.from);
            pending.to = std::max(pending.to, next.to);
            continue;
        }
        if (pending.col >= 0) FillRun(b, pending, argb);
        pending = next;
    }
    if (pending.col >= 0) FillRun(b, pending, argb);
}

void CPixelMask::Reset(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_blocksX = static_cast<std::size_t>((m_width + 7) / 8);
    m_blocks.assign(m_blocksX * static_cast<std::size_t>((m_height + 7) / 8), 0);
}

void CPixelMask::Merge(const CPixelMask& other) {
    const std::size_t n = std::min(m_blocks.size(), other.m_blocks.size());
    for (std::size_t i = 0; i < n; ++i) m_blocks[i] |= other.m_blocks[i];
}

bool CPixelMask::Marked(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return false;
    const uint64_t word =
        m_blocks[static_cast<std::size_t>(y >> 3) * m_blocksX + static_cast<std::size_t>(x >> 3)];
    return (word >> (((y & 7) << 3) | (x & 7))) & 1;
}

bool CPixelMask::BoxMarkedAnySize(int x0, int y0, int x1, int y1) const {
    for (int by = y0 >> 3; by <= y1 >> 3; ++by) {
        const uint64_t* row = m_blocks.data() + static_cast<std::size_t>(by) * m_blocksX;
        const int cy0 = std::max(y0 - by * 8, 0), cy1 = std::min(y1 - by * 8, 7);
        // One bit a row of the block, for the rows of the box.
        const uint64_t rows = (~uint64_t{0} >> (56 - 8 * (cy1 - cy0))) & 0x0101010101010101ull;
        for (int bx = x0 >> 3; bx <= x1 >> 3; ++bx) {
            const uint64_t word = row[bx];
            if (word == ~uint64_t{0}) continue;
            const int cx0 = std::max(x0 - bx * 8, 0), cx1 = std::min(x1 - bx * 8, 7);
            const uint64_t columns = ((uint64_t{2} << cx1) - 1) & ~((uint64_t{1} << cx0) - 1);
            const uint64_t need = (columns * rows) << (8 * cy0);
            if ((word & need) != need) return false;
        }
    }
    return true;
}

namespace {

// Directions of the segments as the painter tells them apart; the masks hold both senses of an
// axis.
enum Direction : int {
    kTopToBottom = 1,
    kBottomToTop = 2,
    kLeftToRight = 4,
    kRightToLeft = 8,
    kVertical = kTopToBottom | kBottomToTop,
    kHorizontal = kLeftToRight | kRightToLeft
};

struct Pixel {
    int x = 0, y = 0;
    bool operator==(const Pixel&) const = default;
};

// What a segment leaves for the next one: its direction, whether it is nearly parallel to its
// axis, and its last pixel (none at the start of a polyline).
struct LineState {
    int dir = 0;  // none yet
    bool axisAligned = false;
    bool hasLast = false;
    Pixel last;
};

// One segment in 26.6 fixed point, written along its major axis `a` (rows when mostly
// vertical) with the minor axis `b`; `mark(a, b)` is called for each pixel. With `walk` false
// only the state is carried on.
template <class Mark>
void Stroke(LineState& st, int64_t b1, int64_t a1, int64_t b2, int64_t a2, int forward,
            int backward, bool walk, Mark&& mark) {
    int dir = forward;
    bool swapped = false;
    if (a1 > a2) {
        swapped = true;
        std::swap(a1, a2);
        std::swap(b1, b2);
        dir = backward;
    }
    // 16.16, rounded toward zero; in 32 bits where it fits (the far quicker division).
    const int64_t db = b2 - b1, da = a2 - a1;
    const int64_t inc = db >= -0x7fff && db <= 0x7fff && da <= 0x7fffffff
                            ? static_cast<int32_t>(db * 65536) / static_cast<int32_t>(da)
                            : (db * 65536) / da;
    int64_t b = b1 * 1024;
    // Turning back along the same axis: half a pixel more where the segment starts.
    const int axis = forward | backward;
    const bool reverse = (st.dir ^ axis) == dir;
    if (reverse && !swapped) {
        a1 -= 32;
        b -= inc >> 1;
    }
    if (reverse && swapped) a2 += 32;
    int64_t a = (a1 + 32) >> 6, as = (a2 + 32) >> 6;
    if (a == as) {
        return;  // no pixel; the state stays
    }
    const int64_t round = inc > 0 ? 32 : 0;
    b += (((a * 64) + round - a1) * inc) >> 6;
    Pixel first{static_cast<int>(b >> 16), static_cast<int>(a)};
    Pixel last{static_cast<int>((b + (as - a - 1) * inc) >> 16), static_cast<int>(as - 1)};
    if (swapped) std::swap(first, last);
    const bool axisAligned = (inc < 0 ? -inc : inc) < (1 << 14);
    if (st.hasLast) {
        const int gapA = std::abs(st.last.y - first.y), gapB = std::abs(st.last.x - first.x);
        if (first == st.last) {
            // The joint's pixel is drawn once.
            if (swapped) {
                --as;
            } else {
                ++a;
                b += inc;
            }
        } else if (st.dir != dir && (((axisAligned && st.axisAligned) && st.last.x != first.x &&
                                      st.last.y != first.y) ||
                                     gapA > 1 || gapB > 1)) {
            // A pixel more, so that the line stays joined.
            if (swapped) {
                ++as;
            } else {
                --a;
                b -= inc;
            }
        }
    }
    st.dir = dir;
    st.axisAligned = axisAligned;
    st.hasLast = true;
    st.last = last;
    if (!walk) return;
    do {
        mark(static_cast<int>(a), static_cast<int>(b >> 16));
        b += inc;
    } while (++a < as);
}

// The direction of a segment between whole pixels and whether it is nearly parallel to its
// axis, as the painter tells them.
inline void DirectionOf(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int& dir,
                        bool& axisAligned) {
    const int64_t dx = x2 > x1 ? x2 - x1 : x1 - x2, dy = y2 > y1 ? y2 - y1 : y1 - y2;
    if (dx < dy) {
        dir = y2 > y1 ? kTopToBottom : kBottomToTop;
        axisAligned = 4 * dx < dy;
    } else {
        dir = x2 > x1 ? kLeftToRight : kRightToLeft;
        axisAligned = 4 * dy < dx;
    }
}

}  // namespace

namespace {

template <class Put>
void MarkPolylineOn(CPixelMask& mask, const int32_t* xy, std::size_t count, std::size_t carried,
                    Put&& put) {
    LineState st;
    auto segment = [&](int64_t x1, int64_t y1, int64_t x2, int64_t y2, bool walk) {
        const int64_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
        if (dx < dy) {
            // Along y: pixels are (b, a) = (x, y).
            Stroke(st, x1, y1, x2, y2, kTopToBottom, kBottomToTop, walk,
                   [&put](int a, int b) { put(b, a); });
        } else if (dx != 0) {
            // Along x: the state's pixel is held as (y, x) while the segment is walked.
            std::swap(st.last.x, st.last.y);
            Stroke(st, y1, x1, y2, x2, kLeftToRight, kRightToLeft, walk,
                   [&put](int a, int b) { put(a, b); });
            std::swap(st.last.x, st.last.y);
        }
    };
    // A segment passed over leaves its direction at once; its last pixel matters only to a
    // segment walked after it, and is found then from its ends and the direction before it.
    std::size_t pending = 0;  // the segment passed over last (0: none)
    int dirBefore = 0;        // the direction before that segment
    carried = std::min(carried, count - 1);
    for (std::size_t i = 1; i <= carried; ++i)
        segment(xy[2 * i - 2], xy[2 * i - 1], xy[2 * i], xy[2 * i + 1], false);
    for (std::size_t i = carried + 1; i < count; ++i) {
        const int64_t x1 = xy[2 * i - 2], y1 = xy[2 * i - 1], x2 = xy[2 * i], y2 = xy[2 * i + 1];
        // Its pixels lie in its ends' box, widened by a pixel where it turns (the joint's
        // pixel).
        int dir = 0;
        bool aligned = false;
        DirectionOf(x1, y1, x2, y2, dir, aligned);
        const int grow = dir == st.dir ? 0 : 1;
        const int px0 = static_cast<int>(std::min(x1, x2) >> 6) - grow;
        const int px1 = static_cast<int>(std::max(x1, x2) >> 6) + grow;
        const int py0 = static_cast<int>(std::min(y1, y2) >> 6) - grow;
        const int py1 = static_cast<int>(std::max(y1, y2) >> 6) + grow;
        if (mask.BoxMarked(px0, py0, px1, py1)) {
            dirBefore = st.dir;
            pending = i;
            st.dir = dir;
            st.axisAligned = aligned;
            st.hasLast = true;
            continue;
        }
        if (pending == i - 1 && pending != 0) {
            // The last pixel of the segment before, with the state it was drawn after.
            const std::size_t j = pending;
            const int keptDir = st.dir;
            const bool keptAligned = st.axisAligned;
            st.dir = dirBefore;
            segment(xy[2 * j - 2], xy[2 * j - 1], xy[2 * j], xy[2 * j + 1], false);
            st.dir = keptDir;
            st.axisAligned = keptAligned;
        }
        segment(x1, y1, x2, y2, true);
    }
}

}  // namespace

void MarkPolyline(CPixelMask& mask, const int32_t* xy, std::size_t count, std::size_t carried) {
    if (count < 2) return;
    // Points a pixel or more inside the mask: every pixel set lies on it.
    bool inside = true;
    for (std::size_t i = 0; i < 2 * count; i += 2)
        inside = inside && xy[i] >= 64 && xy[i + 1] >= 64 && xy[i] < (mask.Width() - 1) * 64 &&
                 xy[i + 1] < (mask.Height() - 1) * 64;
    if (inside)
        MarkPolylineOn(mask, xy, count, carried, [&mask](int x, int y) { mask.Set(x, y); });
    else
        MarkPolylineOn(mask, xy, count, carried, [&mask](int x, int y) { mask.Mark(x, y); });
}

void RasterLine(const PixelBuffer& b, float x1, float y1, float x2, float y2, uint32_t argb,
                double dpr) {
    if (!b.pixels) return;
    Segment(b, x1 * dpr, y1 * dpr, x2 * dpr, y2 * dpr, argb);
}

namespace {

void WriteItems(const PixelBuffer& b, const std::vector<RasterItem>& items, double dpr) {
    for (const RasterItem& item : items) {
        if (item.count > 0)
            RasterTrace(b, item.points, item.count, item.argb, dpr);
        else
            RasterLine(b, item.x1, item.y1, item.x2, item.y2, item.argb, dpr);
    }
}

}  // namespace

void RasterItems(const PixelBuffer& b, const std::vector<RasterItem>& items, double dpr) {
    if (!b.pixels || items.empty()) return;
    std::size_t points = 0;
    for (const RasterItem& item : items) points += item.count + 1;
    const int left = b.Left(), right = b.Right();
    // Small batches are not worth the hand-over, nor are many short items (each thread
    // passes over every item).
    constexpr std::size_t kShared = 20000, kPointsAnItem = 64;
    if (!TwoThreadsAvailable() || points < kShared || points < kPointsAnItem * items.size() ||
        right - left < 64) {
        WriteItems(b, items, dpr);
        return;
    }
    const int middle = left + (right - left) / 2;
    PixelBuffer leftHalf = b, rightHalf = b;
    leftHalf.colFrom = left;
    leftHalf.colTo = middle;
    rightHalf.colFrom = middle;
    rightHalf.colTo = right;
    RunOnTwoThreads([&] { WriteItems(leftHalf, items, dpr); },
                    [&] { WriteItems(rightHalf, items, dpr); });
}

}  // namespace orvex
