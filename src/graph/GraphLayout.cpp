// Layout of one strip-chart drawing: axes, RPM, speed, slip and analog scales, then the traces
// of every shown dataset, as a display list.
#include <algorithm>
#include <cmath>

#include "graph/GraphDerived.h"
#include "graph/GraphLayoutImpl.h"
#include "graph/GraphTraces.h"
#include "graph/GraphView.h"

namespace orvex {

CGraphLayout::CGraphLayout() : m_impl(std::make_unique<Impl>()) {}
CGraphLayout::~CGraphLayout() = default;

void CGraphLayout::InvalidateCache() {
    m_impl->cache.Invalidate();
}

const CGraphScene& CGraphLayout::Build(const CBriodashDoc& doc, const CGraphViewState& state,
                                       const GraphOptions& options, int width, int height,
                                       double devicePixelRatio) {
    Impl& m = *m_impl;
    CGraphScene& sc = m_scene;
    sc.Clear();
    sc.background = options.background;
    sc.width = width;
    sc.height = height;
    sc.devicePixelRatio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    sc.plot = {kLeftMargin, 0, std::max(width - 1, kLeftMargin), height - kBottomMargin};
    sc.xAxisRegion = {kLeftMargin, height - kBottomMargin, std::max(width - 1, kLeftMargin),
                      height};
    sc.rpmScaleRegion = {0, 0, kLeftMargin, height - kBottomMargin};

    m.doc = &doc;
    m.state = &state;
    m.options = &options;
    m.scene = &sc;
    m.dpr = sc.devicePixelRatio;
    m.width = width;
    m.height = height;
    m.plotH = std::max(height - kBottomMargin, 1);
    m.right = static_cast<float>(std::max(width - 1, kLeftMargin));
    m.bottom = static_cast<float>(height - kBottomMargin);
    m.f = ComputeScaleFactors(doc, state, width, height);
    m.map = GraphMapping{};
    m.map.width = width;
    m.map.height = height;
    m.map.xStart = state.m_lXStart;
    m.map.xSpan = state.m_lXSpan;
    m.map.xUnitsPerPixel = m.f.xUnitsPerPixel;
    m.map.rpmBottom = state.m_lRpmBottom;
    m.map.rpmPerPixel = m.f.rpmPerPixel;
    m.map.slipBottom = m.f.slipBottom;
    m.map.slipPerPixel = m.f.slipPerPixel;
    m_mapping = m.map;

    if (width <= kLeftMargin || height <= kBottomMargin || !HasAnythingToDraw(doc)) {
        m.cache.EndFrame();
        return sc;
    }
    sc.hasDrawing = true;

    m.shown.clear();
    for (const CBriodashDataset* ds : doc.ShownDatasets()) m.shown.push_back(ds);
    m.BuildScaleRecords();

    m.DrawXAxis();
    if (m.f.rpmScale) m.DrawRpmScale();
    if (m.f.speedScale) m.DrawSpeedScale();
    bool slipDrawn = false;
    if (m.f.slipScale) {
        m.DrawSlipScale();
        slipDrawn = true;
    }
    if (options.analogScales) m.DrawAnalogScales(slipDrawn);

    // Other datasets first, the current one last so that it lies on top.
    std::size_t current = m.shown.size();
    for (std::size_t i = 0; i < m.shown.size(); ++i) {
        if (m.shown[i] == state.m_pCurrent) {
            current = i;
            continue;
        }
        m.DrawDataset(i);
    }
    if (current < m.shown.size()) m.DrawDataset(current);
    m.cache.EndFrame();
    return sc;
}

// --- Analog scale records -------------------------------------------------------------------

void CGraphLayout::Impl::ChannelRange(const CBriodashDataset& ds, int ch, const CAnalogSetup& setup,
                                      double& lo, double& hi) {
    const Units units = options->units;
    if (setup.m_nScaleMode <= 1) {
        lo = setup.GetMinimum(units);
        hi = setup.GetMaximum(units);
        return;
    }
    const graph::CTraceData& data =
        cache.Get(ds, graph::TraceKind::Analog, ch, units, options->voltageCorrection);
    CAnalogSetup copy = setup;
    if (data.values.empty()) {
        copy.ComputeGraphRange(units, std::nullopt);
    } else {
        DataExtremes e;
        data.Range(0, data.values.size(), e.lo, e.hi);
        copy.ComputeGraphRange(units, e);
    }
    lo = copy.m_fGraphBottom;
    hi = copy.m_fGraphTop;
}

void CGraphLayout::Impl::BuildScaleRecords() {
    recordCount = 0;
    assignment.assign(shown.size(), {});
    for (auto& a : assignment) a.fill(-1);
    const bool combine = state->m_bCombineAnalogs;
    for (std::size_t d = 0; d < shown.size(); ++d) {
        const CBriodashDataset& ds = *shown[d];
        for (int pos = 1; pos <= 4; ++pos) {
            for (int ch = 1; ch <= kAnalogChannels; ++ch) {
                const CSampleList& s = ds.m_analog[static_cast<std::size_t>(ch - 1)];
                const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(ch);
                if (s.IsEmpty() || !s.m_nOn || !setup || graph::DisplayPosition(*setup) != pos)
                    continue;
                if (assignment[d][static_cast<std::size_t>(ch - 1)] >= 0) continue;
                double cmin = 0, cmax = 0;
                ChannelRange(ds, ch, *setup, cmin, cmax);
                const double cm = setup->m_nResolution > 0 ? setup->m_nResolution : 1;
                int found = -1;
                for (int r = 0; r < recordCount && found < 0; ++r) {
                    ScaleRecord& rec = records[r];
                    if (rec.code != setup->m_nType || rec.position != pos) continue;
                    if (!combine) {
                        if (rec.minimum == cmin && rec.maximum == cmax) found = r;
                        continue;
                    }
                    found = r;
                    if (pos <= 2) {
                        rec.minimum = std::min(rec.minimum, cmin);
                        rec.maximum = std::max(rec.maximum, cmax);
                    } else {
                        // Half-height scales widen around their mid-range.
                        const double chMid = std::trunc((cmin + cmax) / 2);
                        double mid = std::trunc((rec.minimum + rec.maximum) / 2);
                        if (pos == 3) {
                            if (chMid > mid) rec.maximum = rec.minimum + 2 * (chMid - rec.minimum);
                            mid = std::trunc((rec.minimum + rec.maximum) / 2);
                            if (cmin < rec.minimum) {
                                rec.minimum = cmin;
                                rec.maximum = 2 * mid - rec.minimum;
                            }
                        } else {
                            if (chMid < mid) rec.minimum = rec.maximum - 2 * (rec.maximum - chMid);
                            mid = std::trunc((rec.minimum + rec.maximum) / 2);
                            if (cmax > rec.maximum) {
                                rec.maximum = cmax;
                                rec.minimum = 2 * mid - rec.maximum;
                            }
                        }
                    }
                    rec.multiplier = std::max(rec.multiplier, cm);
                }
                if (found < 0 && recordCount < kMaxScales) {
                    found = recordCount++;
                    ScaleRecord& rec = records[found];
                    rec = ScaleRecord{};
                    rec.code = setup->m_nType;
                    rec.position = pos;
                    rec.channel = setup->m_nChannel;
                    rec.multiplier = cm;
                    rec.minimum = cmin;
                    rec.maximum = cmax;
                }
                assignment[d][static_cast<std::size_t>(ch - 1)] = static_cast<int8_t>(found);
            }
        }
    }
    for (int r = 0; r < recordCount; ++r) {
        ScaleRecord& rec = records[r];
        const double range = (rec.maximum - rec.minimum) * rec.multiplier;
        rec.unitsPerPixel = range / plotH;
        rec.major = range / 10;
        rec.minor = range / 50;
    }
}

}  // namespace orvex
