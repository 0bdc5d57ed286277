// One trigger-equation tab of the configuration dialog as a form: the nine rows ("X1=" check
// box, channel list, operator list, filtered value field) and, on "Auto-Start", "Record for",
// the minutes field and "then Pause.", over the equation page of the configuration shown.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "logger/config/ConfigPages.h"

namespace orvex {

// Widget names: "row1".."row9", "channel1".."channel9", "operator1".."operator9",
// "value1".."value9", "recordFor", "minutes", "pause".
class CEquationPageForm : public CDialogModel {
  public:
    CEquationPageForm(int equation, const EquationChannels& channels, IHostServices& host,
                      IConfigPageSink& sink);

    // The configuration shown changed: a new page over `cfg`, shown at once.
    void Attach(CTachConfig& cfg);
    int Equation() const { return m_nEquation; }
    CConfigureEquationPage& Page() { return *m_page; }

    // The page shown: auto-start controls and every term.
    void Show();
    // The enabled channels changed: the lists are built again and the terms shown.
    void RebuildChannelLists();
    // The page hidden: the equation's flag follows the terms in use.
    void Hidden();

    // The widget to take the focus after the last handler ("" none); cleared by reading.
    std::string TakeFocus();

    void Changed(const std::string& name) override;
    bool Edited(const std::string& name) override;

    std::array<CheckField, CTachConfig::kTerms> m_row;
    std::array<ChoiceField, CTachConfig::kTerms> m_channel;
    std::array<ChoiceField, CTachConfig::kTerms> m_operator;
    std::array<TextField, CTachConfig::kTerms> m_value;
    CheckField m_recordFor;
    TextField m_minutes;
    CheckField m_pause;

  private:
    void ShowRow(int k);
    void ShowAutoStart();
    // The row number 1..9 of a widget name with `prefix`, else 0.
    static int RowOf(const std::string& name, const std::string& prefix);

    int m_nEquation;
    const EquationChannels& m_channels;
    IHostServices& m_host;
    IConfigPageSink& m_sink;
    CTachConfig* m_pCfg = nullptr;
    std::unique_ptr<CConfigureEquationPage> m_page;
    std::string m_strFocus;
};

}  // namespace orvex
