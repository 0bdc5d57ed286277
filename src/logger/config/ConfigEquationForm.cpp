#include "logger/config/ConfigEquationForm.h"

#include <cstdlib>

namespace orvex {

CEquationPageForm::CEquationPageForm(int equation, const EquationChannels& channels,
                                     IHostServices& host, IConfigPageSink& sink)
    : m_nEquation(equation), m_channels(channels), m_host(host), m_sink(sink) {
    for (int k = 0; k < CTachConfig::kTerms; ++k) {
        const std::string n = std::to_string(k + 1);
        const auto i = static_cast<std::size_t>(k);
        Bind("row" + n, m_row[i]);
        Bind("channel" + n, m_channel[i]);
        Bind("operator" + n, m_operator[i]);
        Bind("value" + n, m_value[i]);
        m_value[i].tip = "Empty";
    }
    Bind("recordFor", m_recordFor);
    Bind("minutes", m_minutes);
    Bind("pause", m_pause);
    m_recordFor.shown = m_minutes.shown = m_pause.shown = equation == 0;
}

void CEquationPageForm::Attach(CTachConfig& cfg) {
    m_pCfg = &cfg;
    m_page = std::make_unique<CConfigureEquationPage>(cfg, m_channels, m_nEquation, m_host);
    m_page->SetSink(&m_sink);
    Show();
}

void CEquationPageForm::Show() {
    if (!m_page) return;
    ShowAutoStart();
    for (int k = 0; k < CTachConfig::kTerms; ++k) ShowRow(k);
}

void CEquationPageForm::RebuildChannelLists() {
    if (!m_page) return;
    m_page->RebuildChannelLists();
    Show();
}

void CEquationPageForm::Hidden() {
    if (m_pCfg) m_pCfg->UpdateEquationFlag(m_nEquation);
}

std::string CEquationPageForm::TakeFocus() {
    std::string f;
    f.swap(m_strFocus);
    return f;
}

void CEquationPageForm::ShowRow(int k) {
    const auto i = static_cast<std::size_t>(k);
    const TachTerm& term = m_pCfg->m_eqn[m_nEquation][k];
    const bool valid = m_page->ShowTerm(k);
    m_row[i].checked = (term.m_nChannel & 0x80) != 0;
    m_channel[i].items.clear();
    for (const EquationEntry& e : m_page->Entries()) m_channel[i].items.push_back(e.m_strLabel);
    m_channel[i].enabled = m_operator[i].enabled = valid;
    m_channel[i].selected = valid ? m_page->SelectedEntry(k) : -1;
    m_operator[i].items = valid ? m_page->OperatorTexts(k) : std::vector<std::string>{};
    m_operator[i].selected = valid ? m_page->ShownOperator(k) : -1;
    if (valid) {
        m_value[i] = m_page->Field(k);
        m_value[i].error = !m_value[i].Matches(m_value[i].text);
    } else {
        m_value[i] = TextField{};
        m_value[i].tip = "Empty";
    }
    m_value[i].enabled = valid;
}

void CEquationPageForm::ShowAutoStart() {
    if (m_nEquation != 0) return;
    const bool recordFor = m_page->RecordFor();
    m_minutes = m_page->ShowMinutes();
    m_minutes.enabled = recordFor;
    m_recordFor.checked = recordFor;
    m_pause.enabled = m_page->PauseEnabled();
    m_pause.checked = m_page->PauseChecked();
}

int CEquationPageForm::RowOf(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + 1 || name.compare(0, prefix.size(), prefix) != 0) return 0;
    const char c = name.back();
    return c >= '1' && c <= '9' ? c - '0' : 0;
}

void CEquationPageForm::Changed(const std::string& name) {
    if (!m_page) return;
    if (int r = RowOf(name, "row")) {
        m_page->ClickRow(r - 1, m_row[static_cast<std::size_t>(r - 1)].checked);
        ShowRow(r - 1);
    } else if ((r = RowOf(name, "channel"))) {
        m_page->ChooseChannel(r - 1, m_channel[static_cast<std::size_t>(r - 1)].selected);
        ShowRow(r - 1);
        m_strFocus = "value" + std::to_string(r);
    } else if ((r = RowOf(name, "operator"))) {
        const auto i = static_cast<std::size_t>(r - 1);
        const std::string typed = m_value[i].text;
        if (m_page->ChooseOperator(r - 1, m_operator[i].selected))
            m_strFocus = "value" + std::to_string(r);
        // The operator is taken; the text typed stays for the field to be left.
        const std::string tip = m_page->Field(r - 1).tip;
        ShowRow(r - 1);
        m_value[i].tip = tip;
        m_value[i].Type(typed);
    } else if (name == "recordFor") {
        m_page->OnRecordFor(m_recordFor.checked);
        const std::string typed = m_minutes.text;
        ShowAutoStart();
        m_minutes.Type(typed);
    } else if (name == "pause") {
        m_page->OnPause(m_pause.checked);
        ShowAutoStart();
    }
}

bool CEquationPageForm::Edited(const std::string& name) {
    if (!m_page) return true;
    if (name == "minutes") {
        if (!m_page->MinutesEntered(m_minutes.text)) return false;
        ShowAutoStart();
        return true;
    }
    if (int r = RowOf(name, "value")) {
        const auto i = static_cast<std::size_t>(r - 1);
        if (!m_page->ValueEntered(r - 1, m_value[i].text)) return false;
        ShowRow(r - 1);
    }
    return true;
}

}  // namespace orvex
