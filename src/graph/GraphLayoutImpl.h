// Working state of the strip-chart layout shared by its source files: the scale records of the
// drawing being built and the trace cache.
#pragma once

#include <array>
#include <vector>

#include "graph/GraphTraces.h"
#include "graph/GraphView.h"

namespace orvex {

namespace graph {

// One distinct analog scale of a drawing.
struct ScaleRecord {
    int32_t code = 0, position = 1, channel = 0;
    double multiplier = 1, minimum = 0, maximum = 0;
    double unitsPerPixel = 1, major = 0, minor = 0;
};

inline constexpr int kMaxScales = 20;

// Display position 1..4 of an analog channel: its graph scale mode.
inline int DisplayPosition(const CAnalogSetup& s) {
    return s.m_nScaleMode >= 1 && s.m_nScaleMode <= 4 ? s.m_nScaleMode : 1;
}

}  // namespace graph

struct CGraphLayout::Impl {
    using ScaleRecord = graph::ScaleRecord;
    static constexpr int kMaxScales = graph::kMaxScales;

    graph::CTraceCache cache;
    ScaleRecord records[kMaxScales];
    int recordCount = 0;
    // Scale record of each analog channel of each shown dataset (-1: none).
    std::vector<std::array<int8_t, kAnalogChannels>> assignment;
    std::vector<const CBriodashDataset*> shown;

    const CBriodashDoc* doc = nullptr;
    const CGraphViewState* state = nullptr;
    const GraphOptions* options = nullptr;
    GraphScaleFactors f;
    GraphMapping map;
    CGraphScene* scene = nullptr;
    double dpr = 1.0;
    int width = 0, height = 0, plotH = 1;
    float right = 0, bottom = 0;

    // Bottom and top of an analog channel's plot range (display units).
    void ChannelRange(const CBriodashDataset& ds, int ch, const CAnalogSetup& setup, double& lo,
                      double& hi);
    void BuildScaleRecords();
    void DrawXAxis();
    void DrawRpmScale();
    void DrawSpeedScale();
    ColorRef DrawSlipScale();
    void DrawAnalogScales(bool slipDrawn);
    void DrawDataset(std::size_t shownIndex);
    graph::TraceXMap XMap(const CBriodashDataset& ds) const;

    // A trace to be reduced into the drawing: its samples (shafts or samples), its cached
    // values and its vertical mapping.
    struct TraceJob {
        const std::vector<CShaft>* shafts = nullptr;
        const std::vector<CSample>* samples = nullptr;
        Pos first = kNoPos, last = kNoPos;
        const graph::CTraceData* data = nullptr;
        graph::TraceYMap ym;
        ColorRef color = 0;
    };
    std::vector<TraceJob> jobs;
    std::vector<CGraphScene> jobScenes;  // each job's trace, kept for its memory
    // Reduces the traces gathered in `jobs` and appends them to the drawing in their order.
    void EmitJobs(const graph::TraceXMap& xm);
};

}  // namespace orvex
