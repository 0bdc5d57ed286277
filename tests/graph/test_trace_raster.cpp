// Direct pixel writing of traces: which pixels a trace sets, with clipping at every edge and
// far-off values, and at pixel ratio 2.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orvex
