// The "Spike Filter Settings" dialog's fields: the session ("session"), one check box per RPM
// channel ("rpm1" to "rpm5") and analog channel ("analog1" to "analog20") with the channel's
// short label beside it ("rpm1Label", "analog1Label" ...), and "APPLY" ("apply"). Opened for
// the defaults it edits the application's default levels instead.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "host/HostServices.h"
#include "model/Document.h"

namespace orvex {

class CSpikeFilterDialog : public CDialogModel {
  public:
    using RpmLevels = std::array<int, kRpmChannels>;
    using AnalogLevels = std::array<int, kAnalogChannels>;

    // Sessions of `doc`; a change marks the document modified and repaints its views.
    CSpikeFilterDialog(CBriodashDoc& doc, const std::vector<CBriodashDataset*>& sessions);
    // The defaults: "Default Settings" only, no APPLY; OK writes the levels back.
    CSpikeFilterDialog(RpmLevels& rpmDefaults, AnalogLevels& analogDefaults, IHostServices& host);

    ChoiceField m_session;
    CheckField m_rpm[kRpmChannels];
    LabelField m_rpmLabel[kRpmChannels];
    CheckField m_analog[kAnalogChannels];
    LabelField m_analogLabel[kAnalogChannels];
    ButtonField m_apply;

    void Changed(const std::string& name) override;
    void Clicked(const std::string& name) override;
    bool Accept() override;

  private:
    // One session's levels as the dialog edits them, beside the levels it opened with.
    struct Row {
        CBriodashDataset* dataset = nullptr;
        RpmLevels rpm{}, rpmBefore{};
        AnalogLevels analog{}, analogBefore{};
    };
    void BindAll();
    void ReadRow(Row& row) const;
    void Show();
    // Filters or switches every session whose levels changed (the results are reported).
    void Apply();

    std::vector<Row> m_rows;
    RpmLevels* m_pRpmDefaults = nullptr;
    AnalogLevels* m_pAnalogDefaults = nullptr;
    CBriodashDoc* m_pDoc = nullptr;
    IHostServices& m_host;
};

}  // namespace orvex
