// The "Transmission/Rear End Settings" dialog: per Session/Pass (or for the default car setup)
// the number of gears ("gears", six buttons), the ratios ("ratio1".."ratio6", only the first n
// used), the rear end by "Gear Teeth" or "Gear Ratio" ("rearEndMode": 0 teeth, 1 ratio) with
// "driveTeeth", "axleTeeth" and "rearEndRatio", and "importFile" / "exportFile". All on copies; OK
// applies them and recomputes the slip that depends on them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "host/HostServices.h"
#include "model/CarSetup.h"
#include "model/Units.h"

namespace orvex {

class CBriodashDoc;
class CBriodashDataset;

class CTransmissionDialog : public CDialogModel {
  public:
    using PathChooser = std::function<std::string(bool save)>;

    CTransmissionDialog(CBriodashDoc& doc, PathChooser choosePath);
    CTransmissionDialog(CCarSetup& defaults, Units units, IHostServices& host,
                        PathChooser choosePath);

    std::string Title() const;
    const CCarSetup& Copy(int index) const { return m_copies[static_cast<std::size_t>(index)].car; }

    ChoiceField m_session;
    RadioField m_gears;  // option i: i + 1 gears
    TextField m_ratio[6];
    RadioField m_rearEndMode;
    NumberField m_driveTeeth, m_axleTeeth;
    TextField m_rearEndRatio;
    LabelField m_note;
    ButtonField m_import, m_export;

    void Changed(const std::string& name) override;
    bool Edited(const std::string& name) override;
    void Clicked(const std::string& name) override;
    bool Accept() override;

  private:
    struct WorkingCopy {
        CBriodashDataset* dataset = nullptr;
        CCarSetup car;
        bool changed = false;
    };
    void BindAll();
    void Show();
    // A typed ratio into the copy; false (the user told) when it is refused.
    bool StoreTyped(const std::string& name);
    CCarSetup& Car() { return m_copies[static_cast<std::size_t>(m_session.selected)].car; }
    void MarkChanged() { m_copies[static_cast<std::size_t>(m_session.selected)].changed = true; }
    void ApplyToDocument();

    CBriodashDoc* m_pDoc = nullptr;
    CCarSetup* m_pDefaults = nullptr;
    Units m_units;
    IHostServices& m_host;
    PathChooser m_choosePath;
    std::vector<WorkingCopy> m_copies;
};

}  // namespace orvex
