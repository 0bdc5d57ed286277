// The core of the "Setup Data Logger's Channels" dialog: four working configurations, the one
// shown with its tab to focus, "Data Configuration Active", segments and recording time, and
// the report with its sections and navigation from a report line to a tab and channel.
#pragma once

#include <array>
#include <string>

#include "logger/config/ConfigChannelPages.h"
#include "logger/config/ConfigTransfer.h"
#include "logger/config/TachConfig.h"
#include "logger/config/Thresholds.h"

namespace orvex {

enum ConfigTab {
    kTabRpm = 0,
    kTabAnalog = 1,
    kTabSwitches = 2,
    kTabTimers = 3,
    kTabAutoStart = 4,
    kTabOutput1 = 5,
    kTabOutput2 = 6,
};
inline constexpr int kConfigTabs = 7;
inline constexpr const char* kConfigTabNames[kConfigTabs] = {
    "RPMs", "Analogs", "Switches", "Timers", "Auto-Start", "Output #1", "Output #2"};

// Where a report line leads: a tab, and on channel tabs the channel (-1: the tab only).
struct ReportTarget {
    int tab = -1;
    int channel = -1;
};

class CLoggerConfigDlg : public IConfigPageSink {
  public:
    CLoggerConfigDlg(const std::array<CTachConfig, 4>& configs, int segments,
                     const EquationChannels& channels);

    // The working copies, the index shown and the segment count, as "Retrieve" and "Send" take
    // them. After a retrieve, call AfterRetrieve.
    CConfigWorkset& Work() { return m_work; }
    CTachConfig& Shown() { return m_work.configs[static_cast<std::size_t>(m_work.shown)]; }
    int ShownIndex() const { return m_work.shown; }
    void AfterRetrieve();

    // "Configuration #": the pages take the index, the focus tab and texts are computed again.
    void SelectConfiguration(int index);
    int FocusTab() const { return m_nFocusTab; }
    // "Data Configuration Active : ".
    bool ActiveChecked() const {
        return (m_work.configs[static_cast<std::size_t>(m_work.shown)].m_nActive & 1) != 0;
    }
    void SetActive(bool checked);
    // "# of Segs" list position 0..3 and the count "OK" gives the application.
    int SegmentPosition() const { return m_nSegmentPos; }
    void SetSegmentPosition(int pos);
    int OkSegments() const { return 1 << m_nSegmentPos; }

    const std::string& RecordingTime() const { return m_strRecordingTime; }
    const std::string& ReportText() const { return m_strReport; }
    // Notifications from the pages.
    void SectionChanged(int section, bool enablesChanged) override;
    void TimeChanged() override;

    // Lines of a report section (by tab number) and the first line of a tab's section.
    int SectionLines(int tab) const { return m_nLines[static_cast<std::size_t>(tab)]; }
    int FirstLineOfTab(int tab) const;
    ReportTarget TargetOfLine(int line) const;

  private:
    void WriteReport();
    // Terms that cannot be shown with the enabled channels go out of use.
    void DropUnlistedTerms();

    CConfigWorkset m_work;
    EquationChannels m_channels;
    int m_nSegmentPos = 0;
    int m_nFocusTab = kTabTimers;
    std::string m_strRecordingTime;
    std::string m_strReport;
    std::array<std::string, kConfigTabs> m_sections;
    std::array<int, kConfigTabs> m_nLines{};
};

}  // namespace orvex
