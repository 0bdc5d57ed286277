// The graph window's part in the session dialogs.
#include "graph/ChartDialogs.h"

#include <algorithm>

namespace orvex {

CBriodashDataset* CurrentDataset(const CBriodashDoc& doc, const CGraphViewState* chart) {
    if (chart && chart->m_pCurrent)
        for (auto& ds : doc.m_datasets)
            if (ds.get() == chart->m_pCurrent && !ds->m_bDeleted) return ds.get();
    const std::vector<CBriodashDataset*> sessions = doc.ShownDatasets(true);
    return sessions.empty() ? nullptr : sessions.front();
}

ZeroTimeContext MakeZeroTimeContext(const CBriodashDoc& doc, const CGraphViewState* chart) {
    ZeroTimeContext c;
    c.green = doc.m_lGreenTime;
    c.red = doc.m_lRedTime;
    c.shownSessions = static_cast<int>(doc.ShownDatasets(true).size());
    c.current = CurrentDataset(doc, chart);
    if (chart) {
        c.graphXStart = chart->m_lXStart;
        for (const CSavedViewState& s : chart->m_history)
            c.viewStates.push_back({s.m_lXStart, s.m_lXMin, s.m_lXMax});
    }
    return c;
}

void ApplyZeroTimeContext(CBriodashDoc& doc, CGraphViewState* chart,
                          const ZeroTimeContext& context) {
    doc.m_lGreenTime = context.green;
    doc.m_lRedTime = context.red;
    // The distances at the markers stay: only the times count from the new zero.
    doc.m_bModified = true;
    if (!chart) return;
    if (chart->IsTimeAxis()) chart->m_lXStart = context.graphXStart;
    const std::size_t n = std::min(chart->m_history.size(), context.viewStates.size());
    for (std::size_t i = 0; i < n; ++i) {
        CSavedViewState& s = chart->m_history[i];
        if (s.m_nTimeAxis == 0) continue;
        s.m_lXStart = context.viewStates[i].xStart;
        s.m_lXMin = context.viewStates[i].xMin;
        s.m_lXMax = context.viewStates[i].xMax;
    }
}

void SwitchEventWindow(const CGraphViewState* chart, int32_t& start, int32_t& end) {
    start = kMinInt32;
    end = kNotSet;
    if (!chart || !chart->IsTimeAxis()) return;
    start = chart->m_lXStart;
    end = static_cast<int32_t>(
        std::min<int64_t>(static_cast<int64_t>(chart->m_lXStart) + chart->m_lXSpan, kNotSet));
}

}  // namespace orvex
