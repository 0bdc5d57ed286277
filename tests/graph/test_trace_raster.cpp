// Direct pixel writing of traces: which pixels a trace sets, with clipping at every edge and
// far-off values, and at pixel ratio 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "graph/TraceRaster.h"

namespace orvex {
namespace {

constexpr uint32_t kInk = 0xFF112233u;

struct Picture {
    int width, height;
    std::vector<uint32_t> pixels;
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), 0) {}
    PixelBuffer Buffer() { return {pixels.data(), width, height, width}; }
    std::set<std::pair<int, int>> Inked() const {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixels[static_cast<std::size_t>(y * width + x)] == kInk) out.insert({x, y});
        return out;
    }
};

using Cells = std::set<std::pair<int, int>>;

TEST(TraceRaster, SetsThePixelsTheSegmentsCross) {
    // Along the longer axis from the rounded start up to the rounded end (not included), as
    // one-pixel lines with flat caps are drawn; across it the pixel holding the line.
    const struct {
        const char* what;
        std::vector<GPoint> points;
        double dpr;
        Cells expected;
    } cases[] = {
        {"a vertical run inside one column",
         {{2.5f, 1.0f}, {2.9f, 4.0f}},
         1.0,
         {{2, 1}, {2, 2}, {2, 3}}},
        {"upwards the same pixels", {{2.5f, 4.0f}, {2.5f, 1.0f}}, 1.0, {{2, 1}, {2, 2}, {2, 3}}},
        {"a flat step from a half pixel",
         {{0.5f, 2.5f}, {3.5f, 2.5f}},
         1.0,
         {{1, 2}, {2, 2}, {3, 2}}},
        {"a steep slope: one pixel per row",
         {{0.0f, 0.0f}, {2.0f, 4.0f}},
         1.0,
         {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {"columns joined at their ends",
         {{1.5f, 1.0f}, {1.5f, 4.0f}, {2.5f, 0.0f}},
         1.0,
         {{1, 1}, {1, 2}, {1, 3}, {2, 0}, {2, 1}}},
        {"pixel ratio 2 doubles every coordinate",
         {{1.0f, 0.5f}, {1.2f, 2.0f}},
         2.0,
         {{2, 1}, {2, 2}, {2, 3}}},
        {"clipped at the top and the right",
         {{3.0f, -5.0f}, {3.0f, 2.0f}, {9.0f, 2.0f}},
         1.0,
         {{3, 0}, {3, 1}, {3, 2}, {4, 2}, {5, 2}}},
        {"far-off values are clipped, not wrapped",
         {{1.0f, -3e9f}, {1.0f, 3e9f}},
         1.0,
         {{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}}},
        {"entirely left of the picture", {{-9.0f, 1.0f}, {-1.5f, 4.0f}}, 1.0, {}},
        {"a single point draws nothing", {{2.0f, 2.0f}}, 1.0, {}},
    };
    for (const auto& c : cases) {
        Picture pic(6, 6);
        RasterTrace(pic.Buffer(), c.points.data(), c.points.size(), kInk, c.dpr);
        EXPECT_EQ(pic.Inked(), c.expected) << c.what;
    }
}

TEST(TraceRaster, LinesLeaveOutTheirEndPixel) {
    Picture pic(4, 8);
    RasterLine(pic.Buffer(), 2.0f, 6.0f, 2.0f, 1.0f, kInk, 1.0);
    RasterLine(pic.Buffer(), 7.0f, 0.0f, 7.0f, 7.0f, kInk, 1.0);  // beyond the right edge
    EXPECT_EQ(pic.Inked(), (Cells{{2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}}));
}

// The plain rasteriser, one pixel at a time: along the longer axis from the rounded lower end
// up to the rounded upper end, across it the pixel holding the line at the pixel's centre.
void PlainSegment(Picture& pic, double ax, double ay, double bx, double by) {
    auto clamp = [](double v, int size) {
        return static_cast<int>(std::clamp(v, -1.0, static_cast<double>(size) + 1.0));
    };
    auto put = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < pic.width && y < pic.height)
            pic.pixels[static_cast<std::size_t>(y * pic.width + x)] = kInk;
    };
    const double dx = bx - ax, dy = by - ay;
    if (std::abs(dy) >= std::abs(dx)) {
        if (dy == 0) return;
        const int from = std::max(clamp(std::floor(std::min(ay, by) + 0.5), pic.height), 0);
        const int to = std::min(clamp(std::floor(std::max(ay, by) + 0.5), pic.height), pic.height);
        for (int y = from; y < to; ++y)
            put(clamp(std::floor(ax + (y + 0.5 - ay) * (dx / dy)), pic.width), y);
    } else {
        const int from = std::max(clamp(std::floor(std::min(ax, bx) + 0.5), pic.width), 0);
        const int to = std::min(clamp(std::floor(std::max(ax, bx) + 0.5), pic.width), pic.width);
        for (int x = from; x < to; ++x)
            put(x, clamp(std::floor(ay + (x + 0.5 - ax) * (dy / dx)), pic.height));
    }
}

TEST(TraceRaster, DenseTracesSetTheSamePixelsAsThePlainRasteriser) {
    // Runs in one column, flat steps, slopes, far-off and negative values, at pixel ratio 1 and 2:
    // the picture is the one the plain rasteriser draws, pixel for pixel.
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> any(-20.0f, 60.0f);
    std::uniform_int_distribution<int> shape(0, 6);
    for (double dpr : {1.0, 2.0, 1.5}) {
        for (int round = 0; round < 40; ++round) {
            std::vector<GPoint> pts;
            float x = any(rng), y = any(rng);
            for (int i = 0; i < 60; ++i) {
                const int kind = shape(rng);
                if (kind == 0) {  // a run in the same column
                    y = any(rng);
                } else if (kind == 1) {  // a flat step
                    x = any(rng);
                } else if (kind == 2) {  // a steep slope
                    x += 0.25f;
                    y = any(rng);
                } else if (kind == 3) {  // far off the picture
                    y = i % 2 ? -3e9f : 3e9f;
                } else if (kind == 4) {  // at a pixel centre
                    x = std::floor(x) + 0.5f;
                } else if (kind == 5) {  // slanted inside one column
                    x += 0.1f;
                    y = any(rng);
                } else {  // anywhere
                    x = any(rng);
                    y = any(rng);
                }
                pts.push_back({x, y});
            }
            Picture fast(40, 30), plain(40, 30);
            RasterTrace(fast.Buffer(), pts.data(), pts.size(), kInk, dpr);
            for (std::size_t i = 1; i < pts.size(); ++i)
                PlainSegment(plain, pts[i - 1].x * dpr, pts[i - 1].y * dpr, pts[i].x * dpr,
                             pts[i].y * dpr);
            ASSERT_EQ(fast.Inked(), plain.Inked()) << "dpr " << dpr << " round " << round;
        }
    }
}

TEST(TraceRaster, ColumnBandsAndSharedBatchesGiveThePictureOfTheItemsOneByOne) {
    // Overlapping traces and lines in several colours: a batch large enough to be shared with
    // the worker, and each trace written into a band of columns, give the pixels of writing the
    // items one by one (the band: those columns only).
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> across(-5.0f, 305.0f), down(-10.0f, 210.0f);
    std::vector<std::vector<GPoint>> traces(12);
    std::vector<RasterItem> items;
    for (std::size_t t = 0; t < traces.size(); ++t) {
        float x = 0;
        for (int i = 0; i < 3000; ++i) {
            x += 0.1f;
            traces[t].push_back({x, down(rng)});
        }
        RasterItem trace;
        trace.points = traces[t].data();
        trace.count = traces[t].size();
        trace.argb = 0xFF000000u | static_cast<uint32_t>(t * 0x10203u);
        items.push_back(trace);
        RasterItem line;
        line.x1 = across(rng);
        line.y1 = down(rng);
        line.x2 = across(rng);
        line.y2 = down(rng);
        line.argb = 0xFFFF0000u | static_cast<uint32_t>(t);
        items.push_back(line);
    }
    for (double dpr : {1.0, 2.0}) {
        const int w = static_cast<int>(300 * dpr), h = static_cast<int>(200 * dpr);
        Picture shared(w, h), plain(w, h);
        RasterItems(shared.Buffer(), items, dpr);
        for (const RasterItem& item : items) {
            if (item.count > 0)
                RasterTrace(plain.Buffer(), item.points, item.count, item.argb, dpr);
            else
                RasterLine(plain.Buffer(), item.x1, item.y1, item.x2, item.y2, item.argb, dpr);
        }
        ASSERT_EQ(shared.pixels, plain.pixels) << "dpr " << dpr;
        for (auto [from, to] : {std::pair{0, 1}, std::pair{37, 38}, std::pair{50, 131}}) {
            Picture band(w, h);
            PixelBuffer b = band.Buffer();
            b.colFrom = from;
            b.colTo = to;
            RasterTrace(b, items[0].points, items[0].count, items[0].argb, dpr);
            Picture whole(w, h);
            RasterTrace(whole.Buffer(), items[0].points, items[0].count, items[0].argb, dpr);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const auto i = static_cast<std::size_t>(y * w + x);
                    ASSERT_EQ(band.pixels[i], x >= from && x < to ? whole.pixels[i] : 0u)
                        << x << "," << y << " band " << from << ".." << to;
                }
        }
    }
}

}  // namespace
}  // namespace orvex
