#include "logger/config/ConfigDialog.h"

#include <algorithm>

namespace orvex {

namespace {

int CountLines(const std::string& text) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++n;
    return n;
}

// The report lists RPM, switches, timers, analogs, then the equations.
constexpr int kReportOrder[kConfigTabs] = {kTabRpm,       kTabSwitches, kTabTimers, kTabAnalog,
                                           kTabAutoStart, kTabOutput1,  kTabOutput2};

}  // namespace

CLoggerConfigDlg::CLoggerConfigDlg(const std::array<CTachConfig, 4>& configs, int segments,
                                   const EquationChannels& channels)
    : m_channels(channels) {
    m_work.configs = configs;
    m_work.segments = IsSegmentChoice(segments) ? segments : 1;
    m_nSegmentPos = 0;
    while ((1 << m_nSegmentPos) < m_work.segments) ++m_nSegmentPos;
    SelectConfiguration(FirstActiveConfig(m_work.configs));
}

void CLoggerConfigDlg::AfterRetrieve() {
    SetSegmentPosition(0);
    while ((1 << m_nSegmentPos) < m_work.segments) ++m_nSegmentPos;
    SelectConfiguration(m_work.shown);
}

void CLoggerConfigDlg::SelectConfiguration(int index) {
    m_work.shown = std::clamp(index, 0, 3);
    CTachConfig& c = Shown();
    if (c.m_nFreqStatus & 0x1F)
        m_nFocusTab = kTabRpm;
    else if (c.m_lAnalogStatus & 0xFFFFF)
        m_nFocusTab = kTabAnalog;
    else if (c.m_nSwitchStatus & 0x0F)
        m_nFocusTab = kTabSwitches;
    else
        m_nFocusTab = kTabTimers;
    TimeChanged();
    DropUnlistedTerms();
    WriteReport();
}

void CLoggerConfigDlg::DropUnlistedTerms() {
    CTachConfig& c = Shown();
    const std::vector<EquationEntry> entries = EquationEntries(c, m_channels);
    for (int e = 0; e < CTachConfig::kEquations; ++e) {
        for (TachTerm& t : c.m_eqn[e]) {
            if (!(t.m_nChannel & 0x80)) continue;
            uint8_t channel = t.m_nChannel;
            if (ResolveTermEntry(entries, channel) < 0)
                t.m_nChannel = static_cast<uint8_t>(t.m_nChannel & 0x7F);
            else
                t.m_nChannel = channel;
        }
        c.UpdateEquationFlag(e);
    }
}

void CLoggerConfigDlg::SetActive(bool checked) {
    for (int i = 0; i < 4; ++i) {
        CTachConfig& c = m_work.configs[static_cast<std::size_t>(i)];
        if (i == m_work.shown)
            c.m_nActive = static_cast<uint8_t>(checked ? c.m_nActive | 1 : c.m_nActive & ~1);
        else if (checked)
            c.m_nActive = static_cast<uint8_t>(c.m_nActive & ~1);
    }
}

void CLoggerConfigDlg::SetSegmentPosition(int pos) {
    m_nSegmentPos = std::clamp(pos, 0, 3);
    m_work.segments = 1 << m_nSegmentPos;
    TimeChanged();
}

void CLoggerConfigDlg::TimeChanged() {
    m_strRecordingTime = Shown().RecordingTimeText(1 << m_nSegmentPos);
}

void CLoggerConfigDlg::SectionChanged(int, bool enablesChanged) {
    // Every section is cheap to write again; the equation rows follow the enables.
    if (enablesChanged) DropUnlistedTerms();
    WriteReport();
}

void CLoggerConfigDlg::WriteReport() {
    const CTachConfig& c = Shown();
    m_sections[kTabRpm] = c.ReportRpm();
    m_sections[kTabSwitches] = c.ReportSwitches();
    m_sections[kTabTimers] = c.ReportTimers();
    m_sections[kTabAnalog] = c.ReportAnalogs();
    for (int e = 0; e < CTachConfig::kEquations; ++e)
        m_sections[static_cast<std::size_t>(kTabAutoStart + e)] = c.ReportEquation(e, &m_channels);
    m_strReport.clear();
    for (int tab : kReportOrder) {
        m_strReport += m_sections[static_cast<std::size_t>(tab)];
        m_nLines[static_cast<std::size_t>(tab)] =
            CountLines(m_sections[static_cast<std::size_t>(tab)]);
    }
}

int CLoggerConfigDlg::FirstLineOfTab(int tab) const {
    int line = 0;
    for (int t : kReportOrder) {
        if (t == tab) return line;
        line += m_nLines[static_cast<std::size_t>(t)];
    }
    return line;
}

ReportTarget CLoggerConfigDlg::TargetOfLine(int line) const {
    const CTachConfig& c = m_work.configs[static_cast<std::size_t>(m_work.shown)];
    for (int tab : kReportOrder) {
        const int first = FirstLineOfTab(tab), n = m_nLines[static_cast<std::size_t>(tab)];
        if (n == 0 || line < first || line >= first + n) continue;
        ReportTarget target{tab, -1};
        const int k = line - first - 2;  // two title lines, then one line per enabled channel
        if (tab >= kTabAutoStart || k < 0) return target;
        int seen = 0;
        const int count = tab == kTabRpm ? 5 : tab == kTabAnalog ? 20 : tab == kTabSwitches ? 4 : 2;
        for (int ch = 1; ch <= count; ++ch) {
            const uint32_t bits = tab == kTabRpm        ? c.m_nFreqStatus
                                  : tab == kTabAnalog   ? static_cast<uint32_t>(c.m_lAnalogStatus)
                                  : tab == kTabSwitches ? c.m_nSwitchStatus
                                                        : c.m_nTimerStatus;
            if (!(bits & (1u << (ch - 1)))) continue;
            if (seen++ == k) target.channel = ch;
        }
        return target;
    }
    return {};
}

}  // namespace orvex
