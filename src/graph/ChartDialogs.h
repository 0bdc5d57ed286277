// What the session dialogs take from a graph window and hand back to it: the zero-time
// context (markers, window and saved views that move with the zeros), the window of the
// switch/timer list, and the chart position of the gear dialog.
#pragma once

#include <cstdint>

#include "graph/GraphView.h"
#include "processing/ZeroTime.h"

namespace orvex {

// The markers of the document and, with a chart, its window and saved views. Without a chart
// the current dataset is the document's first shown session.
ZeroTimeContext MakeZeroTimeContext(const CBriodashDoc& doc, const CGraphViewState* chart);
// After OK: the markers move to the context's times, and a chart on a time axis takes its
// window and saved views back (views on a distance axis do not move with a zero).
void ApplyZeroTimeContext(CBriodashDoc& doc, CGraphViewState* chart,
                          const ZeroTimeContext& context);

// The graph's window in times relative to the zero, for "Viewed Data Pts"; every time when
// there is no chart or it shows distance.
void SwitchEventWindow(const CGraphViewState* chart, int32_t& start, int32_t& end);

// The chart's current dataset as the document holds it (the first shown session without one).
CBriodashDataset* CurrentDataset(const CBriodashDoc& doc, const CGraphViewState* chart);

}  // namespace orvex
