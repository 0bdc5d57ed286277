// The cores of the configuration dialog's pages: rate and description lists, suggested rates
// and times, the timer rules, field validation, and the filtered value fields and rows of the
// trigger-equation pages.
#pragma once

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "host/HostServices.h"
#include "logger/config/ConfigChannelPages.h"
#include "logger/config/TachConfig.h"
#include "logger/config/Thresholds.h"

namespace orvex {

// Every divisor of `clockRate` below `limit`, increasing.
std::vector<int> RateList(int32_t clockRate, int limit = 1 << 30);
// Rate list of an analog kind: the EGT and CHT kinds (15 to 24) stop below 30 Hz, others 201.
std::vector<int> AnalogRateList(int32_t clockRate, int kind);
int DefaultPulses(int rpmKind);             // by RPM kind, bit 6 ignored
int SuggestedAnalogRate(int listPosition);  // 0 outside the table
int SuggestedTimerMs(int timerKind);        // 0 outside 1..5
inline constexpr int kSuggestedRpmRate = 20;
inline constexpr int kSuggestedSwitchRate = 10;

// Description lists of the analog page and the list position of a stored kind.
std::vector<std::string> AnalogDescriptions(int channel);
int AnalogListPosition(int channel, int kind);
int AnalogKindOfPosition(int channel, int position);

// An integer field with limits: the value, or the message "Please enter an integer between
// %1 and %2." filled in.
std::optional<int> ReadBoundedInteger(const std::string& text, int lo, int hi,
                                      std::string* message);

// The timer page's store of a description: false (with the message shown) when another timer
// already is the one lap timer or GPS receiver. Kind 5 sets the trigger to 2.
bool StoreTimerKind(CTachConfig& cfg, int timer, int listPosition, IHostServices& host);

// A filtered text field: a pattern that must match the whole text, and a tip.
class CFilteredEdit : public TextField {
  public:
    CFilteredEdit() { tip = "Empty"; }
    // An invalid pattern shows "SetRegEx failed:\r\n" and the error and keeps the old one.
    bool SetRegEx(const std::string& pattern, IHostServices& host);
    // Without a pattern nothing matches.
    bool Matches(const std::string& candidate) const {
        return HasPattern() && TextField::Matches(candidate);
    }
    static constexpr int kErrorColor = 255;
};

// One trigger-equation page's logic over a configuration's equation e. Its value fields are
// "value1" to "value9", the auto-start minutes "minutes".
class CConfigureEquationPage : public CDialogModel {
  public:
    using CDialogModel::Changed;
    CConfigureEquationPage(CTachConfig& cfg, const EquationChannels& ch, int equation,
                           IHostServices& host)
        : m_cfg(cfg), m_ch(ch), m_nEquation(equation), m_host(host) {
        for (int k = 0; k < CTachConfig::kTerms; ++k)
            Bind("value" + std::to_string(k + 1), m_fields[k]);
        Bind("minutes", m_minutes);
        RebuildChannelLists();
    }
    // A value field or the minutes field left after editing.
    bool Edited(const std::string& name) override;
    void RebuildChannelLists();
    const std::vector<EquationEntry>& Entries() const { return m_entries; }
    // Shows term k: fills the row's field and returns whether the term is valid.
    bool ShowTerm(int k);
    CFilteredEdit& Field(int k) { return m_fields[static_cast<std::size_t>(k)]; }
    // "X1=" to "X9=" clicked; false when refused (no channel to choose).
    bool ClickRow(int k, bool checked);
    // The value field of row k losing the focus with `text`; false when refused.
    bool ValueEntered(int k, const std::string& text);
    // The auto-start minutes field losing the focus.
    bool MinutesEntered(const std::string& text);
    bool ErrorFlag() const { return m_bError; }

    // The dialog told of every change of the equation's report section (none: not told).
    void SetSink(IConfigPageSink* sink) { m_pSink = sink; }
    // Row k: the entry selected in its channel list (-1 none), its operator list and the
    // operator shown (-1 none).
    int SelectedEntry(int k);
    std::vector<std::string> OperatorTexts(int k);
    int ShownOperator(int k);
    // A channel chosen in row k's list: the term takes its group and channel number.
    void ChooseChannel(int k, int entry);
    // An operator chosen in row k's list; true when the value field is to take the focus
    // (an absolute-value operator with a value out of its range).
    bool ChooseOperator(int k, int position);

    // The auto-start controls (equation 0): "Record for", the minutes field, "then Pause.".
    bool RecordFor() const { return (m_cfg.m_nEqnFlags & 0x40) != 0; }
    bool PauseEnabled() const { return RecordFor(); }
    bool PauseChecked() const { return (m_cfg.m_nEqnFlags & 0x80) != 0; }
    // Fills the minutes field: pattern, tip and text from the configuration.
    CFilteredEdit& ShowMinutes();
    void OnRecordFor(bool checked);
    void OnPause(bool checked);

  private:
    TachTerm& Term(int k) { return m_cfg.m_eqn[m_nEquation][k]; }
    int EntryOf(int k);
    void Changed() {
        if (m_pSink) m_pSink->SectionChanged(4 + m_nEquation, false);
    }

    CTachConfig& m_cfg;
    const EquationChannels& m_ch;
    int m_nEquation;
    IHostServices& m_host;
    std::vector<EquationEntry> m_entries;
    CFilteredEdit m_fields[CTachConfig::kTerms];
    CFilteredEdit m_minutes;
    IConfigPageSink* m_pSink = nullptr;
    bool m_bError = false;
};

}  // namespace orvex
