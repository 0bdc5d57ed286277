// The document's lap analysis: the lap view that splits every session into lap datasets, the
// rebuild after marks or data change, beacons per lap, and the derivations after a file is read.
#pragma once

#include "model/Document.h"

namespace orvex {

// Enters or leaves the lap view ("View as Laps").
void SetLapView(CBriodashDoc& doc, bool on);

// For a command that needs the plain view: leaves the lap view, when it is on, for the scope's
// life and enters it again at its end, the lap datasets cut afresh (with what the command
// derived) in the lap colours they had, without asking again.
class CPlainViewScope {
  public:
    explicit CPlainViewScope(CBriodashDoc& doc);
    ~CPlainViewScope();
    CPlainViewScope(const CPlainViewScope&) = delete;
    CPlainViewScope& operator=(const CPlainViewScope&) = delete;

  private:
    CBriodashDoc& m_doc;
    bool m_bWasOn = false;
    bool m_bOneColour = false;
};
// Cuts the session's lap datasets again while the lap view is on.
void RebuildLapDatasets(CBriodashDoc& doc, CBriodashDataset& session);
// "Lap Timer Beacons": renumbers the session's marks and rebuilds its laps.
void ChangeBeaconsPerLap(CBriodashDoc& doc, CBriodashDataset& session, int32_t beaconsPerLap);

// Distance (from the document's distance mode), slip and the trace check for every session.
void DeriveDocument(CBriodashDoc& doc);

}  // namespace orvex
