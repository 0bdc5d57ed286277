// The gear dialog's fields: the "Current Gear" ("currentGear") and the shifts offered at the
// chart position ("shift"); OK applies the chosen shift to every RPM channel.
#pragma once

#include <string>

#include "host/DialogModel.h"
#include "host/HostServices.h"
#include "model/Gears.h"
#include "processing/SpeedDistance.h"

namespace orvex {

class CGearSelection : public CDialogModel {
  public:
    CGearSelection(CBriodashDataset& ds, int32_t key, bool byDistance, Units units,
                   IHostServices& host);

    // False: gear selection does nothing at this position.
    bool Valid() const { return m_dialog.valid; }
    const GearDialog& State() const { return m_dialog; }

    LabelField m_currentGear;
    ChoiceField m_shift;

    // OK with a shift chosen applies it; without one nothing changes.
    bool Accept() override;
    bool Applied() const { return m_bApplied; }

  private:
    CBriodashDataset& m_ds;
    GearDialog m_dialog;
    Units m_units;
    IHostServices& m_host;
    bool m_bApplied = false;
};

}  // namespace orvex
