#include "logger/config/ConfigSheet.h"

#include <algorithm>

#include "logger/link/SerialLine.h"

namespace orvex {

CLoggerConfigSheet::CLoggerConfigSheet(const std::array<CTachConfig, 4>& configs, int segments,
                                       const EquationChannels& channels, IHostServices& host,
                                       CLinkOptions link, bool sharedPort)
    : m_channels(channels),
      m_host(host),
      m_link(std::move(link)),
      m_bShared(sharedPort),
      m_dlg(configs, segments, m_channels) {
    std::array<CTachConfig, 4>& work = m_dlg.Work().configs;
    m_rpm = std::make_unique<CConfigureRPMPage>(work, *this, host);
    m_analog = std::make_unique<CConfigureAnalogPage>(work, *this, host);
    m_switches = std::make_unique<CConfigureSwitchesPage>(work, *this, host);
    m_timers = std::make_unique<CConfigureTimerPage>(work, *this, host);
    for (int e = 0; e < CTachConfig::kEquations; ++e)
        m_equations[static_cast<std::size_t>(e)] =
            std::make_unique<CEquationPageForm>(e, m_channels, host, *this);
    m_config.items = {"1", "2", "3", "4"};
    m_segments.items = {"1", "2", "4", "8"};
    m_recordingTime.readOnly = m_report.readOnly = true;
    Bind("config", m_config);
    Bind("segments", m_segments);
    Bind("recordingTime", m_recordingTime);
    Bind("active", m_active);
    Bind("report", m_report);
    Bind("retrieve", m_retrieve);
    Bind("send", m_send);
    SelectConfiguration(m_dlg.ShownIndex());
}

CLoggerConfigSheet::~CLoggerConfigSheet() = default;

CDialogModel& CLoggerConfigSheet::Page(int tab) {
    if (tab >= kTabAutoStart) return EquationPage(tab - kTabAutoStart);
    return ChannelPage(tab);
}

CConfigChannelPage& CLoggerConfigSheet::ChannelPage(int tab) {
    switch (tab) {
        case kTabRpm:
            return *m_rpm;
        case kTabAnalog:
            return *m_analog;
        case kTabSwitches:
            return *m_switches;
        default:
            return *m_timers;
    }
}

CEquationPageForm& CLoggerConfigSheet::EquationPage(int e) {
    return *m_equations[static_cast<std::size_t>(std::clamp(e, 0, 2))];
}

void CLoggerConfigSheet::ShowFields() {
    m_config.selected = m_dlg.ShownIndex();
    m_segments.selected = m_dlg.SegmentPosition();
    m_recordingTime.text = m_dlg.RecordingTime();
    m_active.checked = m_dlg.ActiveChecked();
    // The report's lines end in CR LF; the text box takes LF.
    std::string report;
    const std::string& text = m_dlg.ReportText();
    report.reserve(text.size());
    for (char c : text)
        if (c != '\r') report.push_back(c);
    m_report.text = report;
}

void CLoggerConfigSheet::ShowPage(int tab) {
    if (tab >= kTabAutoStart)
        EquationPage(tab - kTabAutoStart).Show();
    else
        ChannelPage(tab).Refresh();
}

void CLoggerConfigSheet::StoreCurrent(bool validate) {
    if (m_nTab < kTabAutoStart) ChannelPage(m_nTab).Store(validate);
}

void CLoggerConfigSheet::SelectConfiguration(int index) {
    m_dlg.SelectConfiguration(index);
    const int shown = m_dlg.ShownIndex();
    for (int tab = kTabRpm; tab <= kTabTimers; ++tab) {
        CConfigChannelPage& page = ChannelPage(tab);
        page.SetConfigIndex(shown);
        page.SelectFirstEnabled();
        page.Refresh();
    }
    for (auto& e : m_equations) e->Attach(m_dlg.Shown());
    m_nTab = m_dlg.FocusTab();
    // Showing the terms may have taken some out of use.
    m_dlg.SectionChanged(kTabAutoStart, false);
    ShowFields();
    m_nScrollLine = m_dlg.FirstLineOfTab(m_nTab);
}

void CLoggerConfigSheet::SelectTab(int tab) {
    if (tab < 0 || tab >= kConfigTabs || tab == m_nTab) return;
    if (m_nTab >= kTabAutoStart) EquationPage(m_nTab - kTabAutoStart).Hidden();
    m_nTab = tab;
    ShowPage(tab);
    m_dlg.SectionChanged(tab, false);
    ShowFields();
    m_nScrollLine = m_dlg.FirstLineOfTab(tab);
}

void CLoggerConfigSheet::ReportLineChosen(int line) {
    StoreCurrent(false);
    const ReportTarget target = m_dlg.TargetOfLine(line);
    if (target.tab < 0) return;
    if (target.tab != m_nTab && m_nTab >= kTabAutoStart)
        EquationPage(m_nTab - kTabAutoStart).Hidden();
    m_nTab = target.tab;
    if (target.tab < kTabAutoStart && target.channel > 0)
        ChannelPage(target.tab).SelectChannel(target.channel);
    else
        ShowPage(target.tab);
    m_nScrollLine = -1;
}

int CLoggerConfigSheet::TakeScrollLine() {
    const int line = m_nScrollLine;
    m_nScrollLine = -1;
    return line;
}

bool CLoggerConfigSheet::Retrieve() {
    auto line = MakePosixSerialLine();
    const bool ok = RetrieveConfiguration(*line, m_bShared, m_dlg.Work(), m_link, m_host);
    if (ok) {
        m_dlg.AfterRetrieve();
        SelectConfiguration(m_dlg.ShownIndex());
    }
    return ok;
}

bool CLoggerConfigSheet::Send() {
    auto line = MakePosixSerialLine();
    const bool ok = SendConfiguration(*line, m_bShared, m_dlg.Work(), m_channels, m_link, m_host);
    // The clock fields and the thresholds bound to them may have been brought to the logger's.
    for (auto& e : m_equations) e->Show();
    ShowPage(m_nTab);
    m_dlg.SectionChanged(kTabAutoStart, false);
    ShowFields();
    return ok;
}

void CLoggerConfigSheet::Changed(const std::string& name) {
    if (name == "config") {
        if (m_config.selected >= 0 && m_config.selected != m_dlg.ShownIndex())
            SelectConfiguration(m_config.selected);
    } else if (name == "segments") {
        m_dlg.SetSegmentPosition(m_segments.selected);
    } else if (name == "active") {
        m_dlg.SetActive(m_active.checked);
    }
    ShowFields();
}

void CLoggerConfigSheet::Clicked(const std::string& name) {
    if (name == "retrieve")
        Retrieve();
    else if (name == "send")
        Send();
}

bool CLoggerConfigSheet::Accept() {
    return m_nTab >= kTabAutoStart || ChannelPage(m_nTab).Store(false);
}

void CLoggerConfigSheet::SectionChanged(int section, bool enablesChanged) {
    if (enablesChanged)
        for (auto& e : m_equations) e->RebuildChannelLists();
    m_dlg.SectionChanged(section, enablesChanged);
    ShowFields();
}

void CLoggerConfigSheet::TimeChanged() {
    m_dlg.TimeChanged();
    ShowFields();
}

}  // namespace orvex
