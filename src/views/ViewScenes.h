// Builds the drawing of each auxiliary view for a given size on the shared scene: the traction
// circle (axes and traces on the base layer, marker boxes and value texts on the overlay), the
// histogram's bars and the lap segment report's table.
#pragma once

#include <vector>

#include "graph/GraphScene.h"
#include "graph/TableModel.h"
#include "views/Histogram.h"
#include "views/LapSegmentReport.h"
#include "views/TractionCircle.h"

namespace orvex {

inline constexpr ColorRef kGreenMarkerBox = MakeRGB(0, 200, 0);
inline constexpr ColorRef kRedMarkerBox = MakeRGB(200, 0, 0);
inline constexpr float kMarkerBox = 9.0f;  // side of a marker's square in pixels

// The traction circle's traces reduced to what a picture of one layout at pixel ratio `dpr`
// shows, with each entry's points on whole pixels: the device pixels that the painter sets for
// the whole curve through them, as the runs of each row (an hour of laps retraces the same
// loops, so each pixel is painted once), or one dot per pixel. Painted, they set the pixels
// that drawing the whole trace through every point does.
struct TractionTraces {
    struct Run {
        int entry = 0;
        uint32_t first = 0, count = 0;  // in `points`
    };
    bool curve = true;
    std::vector<GPoint> points;
    std::vector<Run> runs;  // two-point runs of a row of the curve, or each entry's dots
    std::size_t Points() const { return points.size(); }
};
void ReduceTractionTraces(const CFrictionCircle& circle, const FrictionLayout& layout, int width,
                          int height, double dpr, TractionTraces& traces);
// Every step of every entry at its exact place, for paper, whose pixels are finer.
void FullTractionTraces(const CFrictionCircle& circle, const FrictionLayout& layout,
                        TractionTraces& traces);

// Axes, ticks and traces on the base layer; the marker boxes and value texts on the overlay.
void BuildTractionScene(const CFrictionCircle& circle, const TractionTraces& traces, int width,
                        int height, const SceneMetrics& metrics, CGraphScene& scene);
// The same with the traces reduced afresh.
void BuildTractionScene(const CFrictionCircle& circle, int width, int height,
                        const SceneMetrics& metrics, CGraphScene& scene, double dpr = 1.0);
// The marker boxes (combined with what is below, so that they show over any trace) and the
// value texts of the drawn markers, on the overlay.
void AddTractionMarkers(const CFrictionCircle& circle, const FrictionLayout& layout, int width,
                        const SceneMetrics& metrics, CGraphScene& scene);

// Colours of the histogram drawing.
struct HistogramLook {
    ColorRef background = MakeRGB(255, 255, 255);
    ColorRef text = MakeRGB(0, 0, 0);
    ColorRef grid = MakeRGB(192, 192, 192);
};
// Colour of row r's bars.
ColorRef HistogramBarColour(int row);

// Where the bars went, for tests: the plot and each bar's front face per row and band.
struct HistogramGeometry {
    float left = 0, top = 0, right = 0, bottom = 0;
    struct Bar {
        int row = 0, band = 0;
        float x = 0, y = 0, w = 0, h = 0;
    };
    std::vector<Bar> bars;
};

HistogramGeometry BuildHistogramScene(const HistogramChart& chart, const HistogramFlags& flags,
                                      int width, int height, const SceneMetrics& metrics,
                                      const HistogramLook& look, CGraphScene& scene);

// The report's grid from its table model: the header row, then each row's cells on their
// backgrounds, the columns as wide as the model fitted them.
void BuildLapReportScene(const CTableModel& table, int width, int height,
                         const SceneMetrics& metrics, CGraphScene& scene);

// Counts for tests: the primitives of a kind on a layer, and the texts in painting order.
std::size_t CountOf(const CGraphScene& scene, PrimKind kind, bool overlay = false);
std::vector<std::string> TextsOf(const CGraphScene& scene);

}  // namespace orvex
