// The "Delete Data from Session/Pass" dialog: the Session/Pass ("session"), the cut point
// choices of the selection, the marker times they cut at ("greenTime", "redTime"), the lap
// marker picked with "Lap Marker Time" ("lapMarker", shown in "lapMarkerTime"); OK cuts the
// data or deletes the whole data-set.
#pragma once

#include <string>
#include <vector>

#include "model/DeleteDataSelection.h"
#include "model/Document.h"

namespace orvex {

class CDeleteDataDialog : public CDeleteDataSelection {
  public:
    // Offers the shown sessions of `doc`, `current` selected when it is one of them.
    CDeleteDataDialog(CBriodashDoc& doc, const CBriodashDataset* current);

    ChoiceField m_session;
    LabelField m_greenTime, m_redTime;
    NumberField m_lapMarker;
    LabelField m_lapMarkerTime;

    void Changed(const std::string& name) override;
    // Asks before anything goes; a refusal or a selection that cannot be cut keeps the dialog.
    bool Accept() override;

    // The dataset that holds the kept data after OK (the copy when the start was cut).
    CBriodashDataset* Kept() const { return m_pKept; }
    // The cut times of the choice (relative to the session's zero; kNotSet when not cut).
    void CutTimes(int32_t& before, int32_t& after) const;

  private:
    CBriodashDataset* Current() const;
    // The selected lap marker's time relative to the zero, and the one before it.
    int32_t LapMarkTime(int index) const;
    void ShowSession();

    CBriodashDoc& m_doc;
    std::vector<CBriodashDataset*> m_sessions;
    CBriodashDataset* m_pKept = nullptr;
};

}  // namespace orvex
