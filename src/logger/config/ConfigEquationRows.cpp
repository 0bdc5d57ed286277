// The rows of a trigger-equation page: the channel and operator chosen in a row, and the
// auto-start controls of the first equation.
#include "logger/config/ConfigPages.h"

namespace orvex {

int CConfigureEquationPage::SelectedEntry(int k) {
    if (!(Term(k).m_nChannel & 0x80)) return -1;
    return EntryOf(k);
}

std::vector<std::string> CConfigureEquationPage::OperatorTexts(int k) {
    std::vector<std::string> out;
    const int at = SelectedEntry(k);
    if (at < 0) return out;
    const int n = OperatorCount(m_entries[static_cast<std::size_t>(at)], m_ch.m_units);
    for (int op = 0; op < n; ++op) out.push_back(CTachConfig::OperatorText(op));
    return out;
}

int CConfigureEquationPage::ShownOperator(int k) {
    if (SelectedEntry(k) < 0) return -1;
    return DescribeTerm(m_cfg, m_ch, m_entries, Term(k)).m_nOperator;
}

void CConfigureEquationPage::ChooseChannel(int k, int entry) {
    if (entry < 0 || entry >= static_cast<int>(m_entries.size())) return;
    const EquationEntry& e = m_entries[static_cast<std::size_t>(entry)];
    int group = 0;
    if (e.m_kind == EntryKind::Analog)
        group = 3;
    else if (e.m_kind == EntryKind::Digital)
        group = e.m_pDigital->m_nType == 2 ? 2 : 1;
    TachTerm& t = Term(k);
    t.m_nChannel =
        static_cast<uint8_t>((t.m_nChannel & 0x80) | (group << 5) | ((e.m_nChannel - 1) & 0x1F));
    ShowTerm(k);
    Changed();
}

bool CConfigureEquationPage::ChooseOperator(int k, int position) {
    const int at = SelectedEntry(k);
    if (at < 0) return false;
    const EquationEntry& e = m_entries[static_cast<std::size_t>(at)];
    if (position < 0 || position >= OperatorCount(e, m_ch.m_units)) return false;
    const std::string typed = Field(k).text;
    Term(k).m_nOperator =
        static_cast<uint8_t>(IsInvertedEntry(e) ? ExchangeOperator(position) : position);
    if (e.m_kind == EntryKind::Analog)
        Field(k).tip = AnalogTipText(*e.m_pAnalog, m_ch.m_units, position);
    Changed();
    return e.m_kind == EntryKind::Analog && position >= 6 &&
           AnalogRangeTest(*e.m_pAnalog, m_ch.m_units, typed, position) != 0;
}

CFilteredEdit& CConfigureEquationPage::ShowMinutes() {
    m_minutes.SetRegEx(AutoStartPattern(m_cfg.m_nClockRate), m_host);
    m_minutes.tip = AutoStartTip(m_cfg.m_nClockRate);
    m_minutes.text = AutoStartMinutesText(m_cfg);
    return m_minutes;
}

void CConfigureEquationPage::OnRecordFor(bool checked) {
    m_cfg.m_nEqnFlags =
        static_cast<uint8_t>(checked ? m_cfg.m_nEqnFlags | 0x40 : m_cfg.m_nEqnFlags & ~0x40);
    Changed();
}

void CConfigureEquationPage::OnPause(bool checked) {
    m_cfg.m_nEqnFlags =
        static_cast<uint8_t>(checked ? m_cfg.m_nEqnFlags | 0x80 : m_cfg.m_nEqnFlags & ~0x80);
    Changed();
}

}  // namespace orvex
