#include "logger/config/ConfigPages.h"

#include <cstdlib>

#include "logger/config/ConfigPagesTerms.h"

namespace orvex {

std::vector<int> RateList(int32_t clockRate, int limit) {
    std::vector<int> out;
    for (int i = 1; i <= clockRate && i < limit; ++i)
        if (clockRate % i == 0) out.push_back(i);
    return out;
}

std::vector<int> AnalogRateList(int32_t clockRate, int kind) {
    return RateList(clockRate, kind >= 15 && kind <= 24 ? 30 : 201);
}

int DefaultPulses(int rpmKind) {
    static const int table[10] = {0, 4, 3, 2, 6, 3, 2, 0, 1, 1};
    const int k = rpmKind & ~0x40;
    return k >= 0 && k <= 9 ? table[k] : 0;
}

int SuggestedAnalogRate(int listPosition) {
    static const int table[25] = {20, 100, 100, 100, 100, 25, 25, 25, 10, 10, 10, 25, 25,
                                  25, 20,  20,  20,  20,  20, 20, 20, 20, 20, 20, 0};
    return listPosition >= 0 && listPosition < 25 ? table[listPosition] : 0;
}

int SuggestedTimerMs(int timerKind) {
    static const int table[6] = {0, 5000, 2500, 500, 500, 1000};
    return timerKind >= 1 && timerKind <= 5 ? table[timerKind] : 0;
}

std::vector<std::string> AnalogDescriptions(int channel) {
    std::vector<std::string> out;
    if (channel == 20) return {"Battery Voltage"};
    if (channel >= 17) return {"Left-Right Accel", "Front-Rear Accel", "Up-Down Accel"};
    for (int k = 1; k <= 25; ++k) out.push_back(CTachConfig::AnalogKindName(k));
    return out;
}

int AnalogListPosition(int channel, int kind) {
    if (channel == 20) return 0;
    if (channel >= 17) return kind >= 12 && kind <= 14 ? kind - 12 : 0;
    return kind - 1;
}

int AnalogKindOfPosition(int channel, int position) {
    if (channel == 20) return 11 + 0 * position;
    return position + 1 + (channel >= 17 ? 11 : 0);
}

std::optional<int> ReadBoundedInteger(const std::string& text, int lo, int hi,
                                      std::string* message) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (digits && end && *end == '\0' && v >= lo && v <= hi) return static_cast<int>(v);
    if (message)
        *message = "Please enter an integer between " + std::to_string(lo) + " and " +
                   std::to_string(hi) + ".";
    return std::nullopt;
}

bool StoreTimerKind(CTachConfig& cfg, int timer, int listPosition, IHostServices& host) {
    const int other = cfg.m_timer[1 - timer].m_nKind;
    if (listPosition == 1 && other == 2) {
        host.Message("Only one channel may be configured for a Lap Timer Input.", Icon::Warning);
        return false;
    }
    if (listPosition == 4 && other == 5) {
        host.Message("Only one channel may be configured for a GPS Receiver Input.", Icon::Warning);
        return false;
    }
    TachTimer& t = cfg.m_timer[timer];
    t.m_nKind = static_cast<uint8_t>(listPosition >= 0 ? listPosition + 1 : 1);
    if (t.m_nKind == 5) t.m_nTrigger = 2;
    return true;
}

bool CFilteredEdit::SetRegEx(const std::string& pattern, IHostServices& host) {
    std::string reason;
    if (SetPattern(pattern, &reason)) return true;
    host.Message("SetRegEx failed:\r\n" + reason, Icon::Warning);
    return false;
}

bool CConfigureEquationPage::Edited(const std::string& name) {
    if (name == "minutes") return MinutesEntered(m_minutes.text);
    for (int k = 0; k < CTachConfig::kTerms; ++k)
        if (name == "value" + std::to_string(k + 1)) return ValueEntered(k, m_fields[k].text);
    return true;
}

void CConfigureEquationPage::RebuildChannelLists() {
    m_entries = EquationEntries(m_cfg, m_ch);
    for (int k = 0; k < CTachConfig::kTerms; ++k) {
        TachTerm& t = Term(k);
        if (!(t.m_nChannel & 0x80)) continue;
        uint8_t channel = t.m_nChannel;
        if (ResolveTermEntry(m_entries, channel) < 0 || channel != t.m_nChannel)
            t.m_nChannel = static_cast<uint8_t>(t.m_nChannel & 0x7F);
    }
    m_cfg.UpdateEquationFlag(m_nEquation);
}

int CConfigureEquationPage::EntryOf(int k) {
    uint8_t channel = Term(k).m_nChannel;
    const int at = ResolveTermEntry(m_entries, channel);
    if (at >= 0) Term(k).m_nChannel = channel;
    return at;
}

bool CConfigureEquationPage::ShowTerm(int k) {
    CFilteredEdit& f = Field(k);
    if (!(Term(k).m_nChannel & 0x80)) return false;
    const int at = EntryOf(k);
    if (at < 0) return false;
    const EquationEntry& e = m_entries[static_cast<std::size_t>(at)];
    const TermDisplay d = DescribeTerm(m_cfg, m_ch, m_entries, Term(k));
    if (d.m_nOperator >= 0 && Term(k).m_nOperator >= OperatorCount(e, m_ch.m_units))
        Term(k).m_nOperator = 0;
    switch (e.m_kind) {
        case EntryKind::Rpm:
            f.SetRegEx(kRpmValuePattern, m_host);
            f.tip = RpmTipText(*e.m_pFreq, m_ch.m_units);
            break;
        case EntryKind::Analog:
            f.SetRegEx(AnalogValuePattern(e.m_pAnalog->m_nResolution), m_host);
            f.tip = AnalogTipText(*e.m_pAnalog, m_ch.m_units, d.m_nOperator);
            break;
        case EntryKind::Digital:
            const bool time = e.m_pDigital->m_nType == 2;
            f.SetRegEx(time ? kTimeValuePattern : kSwitchValuePattern, m_host);
            f.tip = time ? "Enter a Time using 'ss.sss' or 'm:ss.sss'" : "Enter 'On' or 'Off'";
            break;
    }
    f.text = d.m_strValue;
    return true;
}

bool CConfigureEquationPage::ClickRow(int k, bool checked) {
    if (checked && m_entries.empty()) {
        m_host.Message("There are no channel definitions for enabled channels!", Icon::Warning);
        return false;
    }
    TachTerm& t = Term(k);
    t.m_nChannel = static_cast<uint8_t>(checked ? t.m_nChannel | 0x80 : t.m_nChannel & 0x7F);
    ShowTerm(k);
    m_cfg.UpdateEquationFlag(m_nEquation);
    Changed();
    return true;
}

bool CConfigureEquationPage::ValueEntered(int k, const std::string& text) {
    CFilteredEdit& f = Field(k);
    if (!f.Matches(text)) {
        m_host.Message("Invalid Input!", Icon::Warning);
        m_bError = true;
        return false;
    }
    const int at = EntryOf(k);
    const EquationEntry* e = at >= 0 ? &m_entries[static_cast<std::size_t>(at)] : nullptr;
    const TermDisplay d = DescribeTerm(m_cfg, m_ch, m_entries, Term(k));
    bool valid = true;
    if (e && e->m_kind == EntryKind::Rpm)
        valid = RpmTextValid(m_cfg, *e->m_pFreq, m_ch.m_units, text);
    else if (e && e->m_kind == EntryKind::Analog)
        valid = AnalogRangeTest(*e->m_pAnalog, m_ch.m_units, text, d.m_nOperator) == 0;
    else if (e && e->m_pDigital->m_nType == 2)
        valid = TimeLimitOk(text);
    if (!valid) {
        m_host.Message("Value is Out of Range!", Icon::Warning);
        m_bError = true;
        return false;
    }
    StoreTermText(m_cfg, m_ch, e, d.m_nOperator, text, Term(k));
    ShowTerm(k);
    Changed();
    return true;
}

bool CConfigureEquationPage::MinutesEntered(const std::string& text) {
    CFilteredEdit minutes;
    minutes.SetRegEx(AutoStartPattern(m_cfg.m_nClockRate), m_host);
    if (!minutes.Matches(text)) {
        m_host.Message("Invalid Input!", Icon::Warning);
        m_bError = true;
        return false;
    }
    const std::optional<uint16_t> time = AutoStartTimeForMinutes(m_cfg.m_nClockRate, text);
    if (!time) {
        m_host.Message("Value is Out of Range!", Icon::Warning);
        m_bError = true;
        return false;
    }
    m_cfg.m_nAutoStartTime = *time;
    ShowMinutes();
    Changed();
    return true;
}

}  // namespace orvex
