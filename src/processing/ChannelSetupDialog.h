// The "Configure Analog Channels", "Configure Digital Inputs" and "Configure RPM/MPH Channels"
// dialogs: working copies of the Session/Passes' car setups (or of the default car setup), the
// channel and type choosers with their adding, deleting and new-type modes, the per-channel
// controls, the configuration list, Import/Export, and OK applying the copies.
//
// Fields: "session", "channel", "type", "name" (editable, with suggestions), "list", "importFile",
// "exportFile", "apply"; analog "minimum", "maximum", "zero", "invert", "sender" (3), "smoothing"
// (4), "scaleMode" (4); digital "invert", "verticalMarker", "band" (3); RPM "ppr", "display0"
// to "display3" (one button each) with "display0Label".."display3Label", "slipPartner",
// "smoothing" (4), "diameter", "circumference" with "diameterLabel" and "circumferenceLabel".
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

class CChannelSetupDialog : public CDialogModel {
  public:
    // Asks for a car-setup file to read (`save` false) or write; empty: the user cancelled.
    using PathChooser = std::function<std::string(bool save)>;
    enum class Mode { Normal, Adding, Deleting, NewType };

    // On the shown Session/Passes of a document, preselecting `selected` (or the first).
    CChannelSetupDialog(SetupKind kind, CBriodashDoc& doc, const CBriodashDataset* selected,
                        PathChooser choosePath);
    // On the application's default car setup; OK writes the copy back into `defaults`.
    CChannelSetupDialog(SetupKind kind, CCarSetup& defaults, Units units, IHostServices& host,
                        PathChooser choosePath);

    // "Configure Analog Channels" ..., with " - Default Settings" in defaults mode.
    std::string Title() const;
    static std::string BaseTitle(SetupKind kind);
    SetupKind Kind() const { return m_kind; }
    Mode CurrentMode() const { return m_mode; }
    bool DefaultsMode() const { return m_pDefaults != nullptr; }
    int Current() const { return m_session.selected; }
    const CCarSetup& Copy(int index) const { return m_copies[static_cast<std::size_t>(index)].car; }
    bool CopyChanged(int index) const { return m_copies[static_cast<std::size_t>(index)].changed; }
    // Bit n - 1 for every channel n that has a setup of the kind in the current copy.
    uint32_t UsedMask() const;
    // The channel whose controls are shown (-1: none; 0: an RPM definition).
    int SelectedChannel() const { return m_nChannel; }
    // The hint word OK sent to the views (0 before OK or in defaults mode).
    uint32_t AppliedHint() const { return m_nAppliedHint; }

    // Convenience for tests and the Qt side: choose the entry with this text.
    bool ChooseChannel(const std::string& text);
    bool ChooseType(const std::string& text);

    // Reads a car-setup file into the current copy with the import questions.
    void ImportFrom(const std::string& path);
    bool ExportTo(const std::string& path);

    ChoiceField m_session, m_channel, m_type, m_list;
    TextField m_name;
    ButtonField m_import, m_export, m_apply;
    // Analog.
    TextField m_minimum, m_maximum, m_zero;
    CheckField m_invert;
    RadioField m_sender, m_smoothing, m_scaleMode;
    // Digital.
    CheckField m_verticalMarker;
    RadioField m_band;
    // RPM.
    NumberField m_ppr;
    // One single-option group per "Display RPM Data" button, so that each can be hidden.
    RadioField m_displayOption[4];
    LabelField m_displayLabel[4];
    ChoiceField m_slipPartner;
    TextField m_diameter, m_circumference;
    LabelField m_diameterLabel, m_circumferenceLabel;

    void Changed(const std::string& name) override;
    bool Edited(const std::string& name) override;
    void Clicked(const std::string& name) override;
    bool Accept() override;

  private:
    struct WorkingCopy {
        CBriodashDataset* dataset = nullptr;  // nullptr in defaults mode
        CCarSetup car;
        bool changed = false;
    };
    enum class ChannelItem { Select, Add, Delete, Channel, Empty };
    struct ChannelEntry {
        ChannelItem item;
        int channel = -1;
    };
    enum class TypeItem { Select, Exit, NewType, Cancel, Delete, Type };
    struct TypeEntry {
        TypeItem item;
        int code = 0;
    };

    void BindAll();
    WorkingCopy& Work() { return m_copies[static_cast<std::size_t>(m_session.selected)]; }
    const WorkingCopy& Work() const {
        return m_copies[static_cast<std::size_t>(m_session.selected)];
    }
    CCarSetup& Car() { return Work().car; }
    const CCarSetup& Car() const { return Work().car; }
    void MarkChanged() { Work().changed = true; }

    // The mode machine.
    void EnterMode(Mode mode);
    void Rebuild();
    void BuildChannelChooser();
    void BuildTypeChooser();
    void OnChannelChosen();
    void OnTypeChosen();
    void OnListChosen();
    bool OnSessionChosen();
    std::vector<int> ChannelsOfKind() const;
    bool HasSetup(int channel) const;
    int TypeOf(int channel) const;
    std::vector<int> UsedTypes(int forChannel) const;
    std::vector<int> AllTypes(int forChannel) const;
    std::string TypeText(int code) const;
    bool AddOffered() const;
    bool RearWheelDefinable() const;
    void CreateChannel(int channel, int code);
    void Retype(int channel, int code);
    void DeleteChannel(int channel);
    // Family of the current copy's analog setups: 1, 0, or -1 while unknown.
    int AnalogFamily() const;

    // Per-channel controls (ChannelSetupControls.cpp).
    void ShowControls();
    void ClearControls();
    void StoreControl(const std::string& name);
    void BuildNameChooser();
    void BuildSlipPartners();
    void BuildList();
    std::string ListLine(int channel) const;
    std::string RateText(int channel) const;

    // OK (ChannelSetupApply.cpp).
    bool ValidateCopies();
    bool AskLapTimers(const CCarSetup& car);
    void ApplyToDocument();

    SetupKind m_kind;
    CBriodashDoc* m_pDoc = nullptr;
    CCarSetup* m_pDefaults = nullptr;
    Units m_units;
    IHostServices& m_host;
    PathChooser m_choosePath;
    std::vector<WorkingCopy> m_copies;
    Mode m_mode = Mode::Normal;
    Mode m_modeBeforeNewType = Mode::Normal;
    int m_nChannel = -1;      // channel shown (normal mode) or being added (adding mode)
    int m_nNewFamily = -1;    // family answered for a copy without analog setups
    int m_nShownSession = 0;  // the copy shown before the session chooser moved
    std::vector<ChannelEntry> m_channelEntries;
    std::vector<TypeEntry> m_typeEntries;
    std::vector<int> m_listChannels;
    std::vector<int> m_slipChannels;
    std::vector<int> m_displayModes;  // display mode of each shown radio button
    uint32_t m_nAppliedHint = 0;
};

// Whether RPM setup `other` may be the slip partner of `setup` in `car`.
bool SlipPartnerEligible(const CCarSetup& car, const CFreqSetup& setup, const CFreqSetup& other);

}  // namespace orvex
