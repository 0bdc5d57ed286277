// Builds the drawing of each auxiliary view for a given size: traction circle, histogram bars
// and the lap segment report table.
#pragma once

#include <vector>

#include "graph/TableModel.h"
#include "views/Histogram.h"
#include "views/LapSegmentReport.h"
#include "views/TractionCircle.h"
#include "views/ViewScene.h"

namespace orvex {

inline constexpr ColorRef kGreenMarkerBox = MakeRGB(0, 200, 0);
inline constexpr ColorRef kRedMarkerBox = MakeRGB(200, 0, 0);
inline constexpr float kMarkerBox = 9.0f;  // side of a marker's square in pixels

void BuildTractionScene(const CFrictionCircle& circle, int width, int height,
                        const ViewMetrics& metrics, CViewScene& scene);

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
                                      int width, int height, const ViewMetrics& metrics,
                                      const HistogramLook& look, CViewScene& scene);

// The report's grid from its table model: the header row, then each row's cells on their
// backgrounds, the columns as wide as the model fitted them.
void BuildLapReportScene(const CTableModel& table, int width, int height,
                         const ViewMetrics& metrics, CViewScene& scene);

}  // namespace orvex
