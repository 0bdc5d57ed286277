// The whole "Setup Data Logger's Channels" dialog as forms: the dialog's own controls
// ("Configuration #", "# of Segs", "Recording Time :", "Data Configuration Active : ", the
// report, "Retrieve", "Send"), its seven tabs with their pages, tab changes, report navigation
// and the configuration transfer on the four working copies.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "host/DialogModel.h"
#include "logger/config/ConfigDialog.h"
#include "logger/config/ConfigEquationForm.h"
#include "logger/link/LinkSession.h"

namespace orvex {

// Widget names of the dialog: "config", "segments", "recordingTime", "active", "report",
// "retrieve", "send". The tabs' forms are Page(0) to Page(6).
class CLoggerConfigSheet : public CDialogModel, public IConfigPageSink {
  public:
    // `sharedPort` bars "Retrieve" and "Send"; `link` says where the logger is.
    CLoggerConfigSheet(const std::array<CTachConfig, 4>& configs, int segments,
                       const EquationChannels& channels, IHostServices& host, CLinkOptions link,
                       bool sharedPort);
    ~CLoggerConfigSheet() override;

    CLoggerConfigDlg& Dialog() { return m_dlg; }
    const std::array<CTachConfig, 4>& Configs() { return m_dlg.Work().configs; }
    // What "OK" gives the application.
    int Segments() const { return m_dlg.OkSegments(); }

    // The form of tab 0..6 (kConfigTabNames).
    CDialogModel& Page(int tab);
    CConfigChannelPage& ChannelPage(int tab);  // tabs 0..3
    CEquationPageForm& EquationPage(int e);    // 0..2

    int CurrentTab() const { return m_nTab; }
    // A tab chosen: the old page is stored (an equation page recomputes its flag), the new one
    // shown, and the report scrolls to the first line of the tab's section.
    void SelectTab(int tab);
    // The report line the user put the caret on: the page stores its controls, and the line's
    // tab (and channel) is shown; the report keeps its place.
    void ReportLineChosen(int line);
    // The first report line to show after the last change, -1 none; cleared by reading.
    int TakeScrollLine();

    // "Configuration #" chosen (0..3): the pages follow, the tab goes where channels are.
    void SelectConfiguration(int index);
    // "Retrieve" and "Send" run the conversations in the link window.
    bool Retrieve();
    bool Send();

    void Changed(const std::string& name) override;
    void Clicked(const std::string& name) override;
    // "OK": the page shown stores its values (a refused one keeps the dialog open).
    bool Accept() override;

    void SectionChanged(int section, bool enablesChanged) override;
    void TimeChanged() override;

    ChoiceField m_config;
    ChoiceField m_segments;
    TextField m_recordingTime;
    CheckField m_active;
    TextField m_report;
    ButtonField m_retrieve;
    ButtonField m_send;

  private:
    // The dialog's own fields from the core.
    void ShowFields();
    void ShowPage(int tab);
    void StoreCurrent(bool validate);

    EquationChannels m_channels;
    IHostServices& m_host;
    CLinkOptions m_link;
    bool m_bShared;
    CLoggerConfigDlg m_dlg;
    std::unique_ptr<CConfigureRPMPage> m_rpm;
    std::unique_ptr<CConfigureAnalogPage> m_analog;
    std::unique_ptr<CConfigureSwitchesPage> m_switches;
    std::unique_ptr<CConfigureTimerPage> m_timers;
    std::array<std::unique_ptr<CEquationPageForm>, 3> m_equations;
    int m_nTab = kTabRpm;
    int m_nScrollLine = -1;
};

}  // namespace orvex
