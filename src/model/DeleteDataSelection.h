// The "Delete Data from Session/Pass" dialog's choice of a cut point: only one group of
// green, red or lap marker choices at a time, or the whole data-set.
#pragma once

#include <string>

#include "host/DialogModel.h"
#include "host/HostServices.h"

namespace orvex {

// Its check boxes are "greenBefore", "greenAfter", "redBefore", "redAfter", "lapBefore",
// "lapAfter" and "wholeDataset".
class CDeleteDataSelection : public CDialogModel {
  public:
    enum Group { None = 0, Green = 1, Red = 2, Lap = 3 };
    explicit CDeleteDataSelection(IHostServices& host);

    // Clicking "Delete before/after" of a group; asks before replacing another group's choice.
    void Choose(Group group, bool before);
    // "Delete Data-Set": clears the marker choices (asks when any was set). Returns whether
    // the whole data-set is now chosen.
    bool ChooseWholeDataset();
    void Changed(const std::string& name) override;

    Group m_group = None;
    bool m_bBefore = false, m_bAfter = false;
    bool m_bWholeDataset = false;

    CheckField m_before[4];  // by group; [0] unused
    CheckField m_after[4];
    CheckField m_wholeDataset;

  private:
    // The check boxes show the choice.
    void Show();
    IHostServices& m_host;
};

}  // namespace orvex
