// The document's lap analysis: the lap view that splits every session into lap datasets, the
// rebuild after marks or data change, beacons per lap, and the derivations after a file is read.
#pragma once

#include "model/Document.h"

namespace orvex {

// Enters or leaves the lap view ("View as Laps").
void SetLapView(CBriodashDoc& doc, bool on);
// Cuts the session's lap datasets again while the lap view is on.
void RebuildLapDatasets(CBriodashDoc& doc, CBriodashDataset& session);
// "Lap Timer Beacons": renumbers the session's marks and rebuilds its laps.
void ChangeBeaconsPerLap(CBriodashDoc& doc, CBriodashDataset& session, int32_t beaconsPerLap);

// Distance (from the document's distance mode), slip and the trace check for every session.
void DeriveDocument(CBriodashDoc& doc);

}  // namespace orvex
