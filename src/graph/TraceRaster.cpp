// Direct pixel writing of traces.
#include "graph/TraceRaster.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

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
    const int top = b.Top(), bottom = b.Bottom();
    if (std::abs(dy) >= std::abs(dx)) {
        if (dy == 0) return;
        const int from = std::max(FloorClamp(std::min(ay, by) + 0.5, b.height), top);
        const int to = std::min(FloorClamp(std::max(ay, by) + 0.5, b.height), bottom);
        if (from >= to) return;
        uint32_t* p = b.pixels + static_cast<std::ptrdiff_t>(from) * b.stride;
        if (dx == 0) {
            // The run of a pixel column: every row in the same column.
            if (!(ax >= 0 && ax < b.width)) return;
            p += static_cast<int>(ax);
            for (int y = from; y < to; ++y, p += b.stride) *p = argb;
            return;
        }
        const double step = dx / dy;
        for (int y = from; y < to; ++y, p += b.stride) {
            // Inside the picture the column is the whole part of x.
            const double x = ax + (y + 0.5 - ay) * step;
            if (x >= 0 && x < b.width) p[static_cast<int>(x)] = argb;
        }
    } else {
        const int from = std::max(FloorClamp(std::min(ax, bx) + 0.5, b.width), 0);
        const int to = std::min(FloorClamp(std::max(ax, bx) + 0.5, b.width), b.width);
        if (from >= to) return;
        if (dy == 0) {
            // A flat run: one row.
            if (!(ay >= top && ay < bottom)) return;
            uint32_t* row = b.pixels + static_cast<std::ptrdiff_t>(ay) * b.stride;
            std::fill(row + from, row + to, argb);
            return;
        }
        const double step = dy / dx;
        for (int x = from; x < to; ++x) {
            const double y = ay + (x + 0.5 - ax) * step;
            if (y >= top && y < bottom)
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
    if (!(lo >= 0 && hi < b.width)) return false;
    const int col = static_cast<int>(lo);
    if (dx != 0) {
        constexpr double kMargin = 1e-6;
        if (lo - col < kMargin || col + 1 - hi < kMargin) return false;
    }
    run.col = col;
    run.from = std::max(FloorClamp(std::min(ay, by) + 0.5, b.height), b.Top());
    run.to = std::min(FloorClamp(std::max(ay, by) + 0.5, b.height), b.Bottom());
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
    // A segment sets rows from its upper end's (rounded down) to its lower end's (rounded);
    // the ones that stay out of the rows written here are passed over.
    const double top = b.Top() - 0.5, bottom = b.Bottom();
    for (std::size_t i = 1; i < count; ++i) {
        const double ay = pts[i - 1].y * dpr, by = pts[i].y * dpr;
        if (std::max(ay, by) < top || std::min(ay, by) >= bottom) continue;
        const double ax = pts[i - 1].x * dpr, bx = pts[i].x * dpr;
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

// One thread that writes the lower rows of a batch while the caller writes the upper ones.
class CRowWorker {
  public:
    CRowWorker() : m_thread([this] { Run(); }) {}
    ~CRowWorker() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    void Start(const PixelBuffer& b, const std::vector<RasterItem>& items, double dpr) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_buffer = b;
            m_items = &items;
            m_dpr = dpr;
            m_busy = true;
        }
        m_wake.notify_one();
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return !m_busy; });
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (true) {
            m_wake.wait(lock, [this] { return m_stop || m_busy; });
            if (m_stop) return;
            const PixelBuffer b = m_buffer;
            const std::vector<RasterItem>& items = *m_items;
            const double dpr = m_dpr;
            lock.unlock();
            WriteItems(b, items, dpr);
            lock.lock();
            m_busy = false;
            m_done.notify_one();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    PixelBuffer m_buffer;
    const std::vector<RasterItem>* m_items = nullptr;
    double m_dpr = 1.0;
    bool m_busy = false, m_stop = false;
    std::thread m_thread;
};

}  // namespace

void RasterItems(const PixelBuffer& b, const std::vector<RasterItem>& items, double dpr) {
    if (!b.pixels || items.empty()) return;
    std::size_t points = 0;
    for (const RasterItem& item : items) points += item.count + 1;
    const int top = b.Top(), bottom = b.Bottom();
    // Small batches are not worth the hand-over.
    constexpr std::size_t kShared = 20000;
    static const bool twoCores = std::thread::hardware_concurrency() >= 2;
    if (!twoCores || points < kShared || bottom - top < 64) {
        WriteItems(b, items, dpr);
        return;
    }
    // One batch at a time shares the worker; another thread's batch is written alone.
    static std::mutex shared;
    std::unique_lock<std::mutex> sharing(shared, std::try_to_lock);
    if (!sharing.owns_lock()) {
        WriteItems(b, items, dpr);
        return;
    }
    static CRowWorker worker;
    const int middle = top + (bottom - top) / 2;
    PixelBuffer upper = b, lower = b;
    upper.rowFrom = top;
    upper.rowTo = middle;
    lower.rowFrom = middle;
    lower.rowTo = bottom;
    worker.Start(lower, items, dpr);
    WriteItems(upper, items, dpr);
    worker.Wait();
}

}  // namespace orvex
