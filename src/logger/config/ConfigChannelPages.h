// The four channel pages of the configuration dialog ("RPMs", "Analogs", "Switches", "Timers"):
// what their controls show for the current channel, and how the controls go back into the
// configuration shown, with the notifications to the dialog.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "host/HostServices.h"
#include "logger/config/TachConfig.h"

namespace orvex {

// What a page tells the dialog: a report section to write again (and whether the set of
// enabled channels changed), or the recording time to compute again.
class IConfigPageSink {
  public:
    virtual ~IConfigPageSink() = default;
    virtual void SectionChanged(int section, bool enablesChanged) = 0;
    virtual void TimeChanged() = 0;
};

// A drop-down list of a page.
using PageList = ChoiceField;

// A channel page's fields: "channel" (the channel number), "enabled" and "suggested"; each page
// adds its own. User input reaches the On... handlers through Changed and Edited.
class CConfigChannelPage : public CDialogModel, public IDialogPage {
  public:
    CConfigChannelPage(std::array<CTachConfig, 4>& configs, IConfigPageSink& sink,
                       IHostServices& host, int section, int channels)
        : m_configs(configs),
          m_sink(sink),
          m_host(host),
          m_nSection(section),
          m_nChannels(channels) {
        m_channel.lo = 1;
        m_channel.hi = channels;
        m_channel.value = m_nChannel;
        Bind("channel", m_channel);
        Bind("enabled", m_enabled);
        Bind("suggested", m_suggested);
    }

    void SetConfigIndex(int index) { m_nConfig = index; }
    int Channel() const { return m_nChannel; }
    // Makes channel n current and shows it.
    void SelectChannel(int n) {
        m_nChannel = m_channel.value = n;
        Refresh();
    }
    // The first enabled channel of the configuration shown becomes current (unchanged when
    // none is enabled).
    void SelectFirstEnabled();
    // "Channel Number :" changed: the old channel is stored, the new one shown.
    void OnChannel(int n) {
        Store(true);
        SelectChannel(n);
    }
    bool Enabled() const { return m_enabled.checked; }
    void OnEnabled(bool checked);
    bool Suggested() const { return m_suggested.checked; }

    // Writes the controls into the configuration shown; with `validate` (the channel or page is
    // left) the dialog is told and writes the page's report section again. False when a value
    // was refused.
    bool Store(bool validate) override = 0;
    void Changed(const std::string& name) override;

    NumberField m_channel;
    CheckField m_enabled;
    CheckField m_suggested;  // "Using Suggested Rate" / "Using Suggested Time"

  protected:
    CTachConfig& Cfg() { return m_configs[static_cast<std::size_t>(m_nConfig)]; }
    int32_t FirstClock() const { return m_configs[0].m_nClockRate; }
    virtual uint32_t EnableBits() const = 0;
    // Stores and notifies, telling whether the enables changed.
    void StoreNotify(uint32_t bitsBefore) {
        m_sink.SectionChanged(m_nSection, EnableBits() != bitsBefore);
    }
    static std::vector<std::string> RateTexts(const std::vector<int>& rates);

    std::array<CTachConfig, 4>& m_configs;
    IConfigPageSink& m_sink;
    IHostServices& m_host;
    int m_nSection;
    int m_nChannels;
    int m_nConfig = 0;
    int m_nChannel = 1;
};

// The sample-rate pages (RPM, analog, switch) share the rate list and its suggested rate.
class CRatePage : public CConfigChannelPage {
  public:
    CRatePage(std::array<CTachConfig, 4>& configs, IConfigPageSink& sink, IHostServices& host,
              int section, int channels)
        : CConfigChannelPage(configs, sink, host, section, channels) {
        Bind("description", m_description);
        Bind("rate", m_rate);
    }
    PageList m_description;
    PageList m_rate;
    void OnDescription(int position);
    void OnRate(int position);
    // "Using Suggested Rate" clicked: checking it sets the suggested rate; it cannot be
    // unchecked by a click.
    void OnSuggested();
    void Changed(const std::string& name) override;

  protected:
    virtual int SuggestedRate() const = 0;
    virtual void SetDivider(int divider) = 0;
    int SelectedRate() const;
    void ShowRate(int divider);
    virtual void DescriptionChosen() {}
};

class CConfigureRPMPage : public CRatePage {
  public:
    CConfigureRPMPage(std::array<CTachConfig, 4>& configs, IConfigPageSink& sink,
                      IHostServices& host);
    TextField m_pulses;        // "Pulses per Rev :"
    ButtonField m_pulsesSpin;  // its up/down buttons
    CheckField m_filter;
    // "Pulses per Rev :" losing the focus; false (with the message) outside 0 to 20.
    bool OnPulses(const std::string& text);
    void OnFilter(bool checked);
    void Refresh() override;
    bool Store(bool validate) override;
    void Changed(const std::string& name) override;
    bool Edited(const std::string& name) override;

  protected:
    uint32_t EnableBits() const override;
    int SuggestedRate() const override { return 20; }
    void SetDivider(int divider) override;
    void DescriptionChosen() override;
};

class CConfigureAnalogPage : public CRatePage {
  public:
    CConfigureAnalogPage(std::array<CTachConfig, 4>& configs, IConfigPageSink& sink,
                         IHostServices& host);
    void Refresh() override;
    bool Store(bool validate) override;

  protected:
    uint32_t EnableBits() const override;
    int SuggestedRate() const override;
    void SetDivider(int divider) override;
};

class CConfigureSwitchesPage : public CRatePage {
  public:
    CConfigureSwitchesPage(std::array<CTachConfig, 4>& configs, IConfigPageSink& sink,
                           IHostServices& host);
    void Refresh() override;
    bool Store(bool validate) override;

  protected:
    uint32_t EnableBits() const override;
    int SuggestedRate() const override { return 10; }
    void SetDivider(int divider) override;
};

class CConfigureTimerPage : public CConfigChannelPage {
  public:
    CConfigureTimerPage(std::array<CTachConfig, 4>& configs, IConfigPageSink& sink,
                        IHostServices& host);
    PageList m_description;
    PageList m_minTime;     // "500" to "5000" milliseconds
    TextField m_maxEvents;  // "Max Number of Events :"
    int m_nMaxEvents = 50;
    RadioField m_trigger;  // Opening, Closing, Both
    // The radio button checked: 1 Opening, 2 Closing, 3 Both; 0 none.
    int Trigger() const { return m_trigger.selected + 1; }
    // Minimum time, maximum events, trigger and suggested time are shown.
    bool TimingShown() const { return m_minTime.shown; }

    void OnDescription(int position);
    void OnMinTime(int position);
    void OnTrigger(int trigger);
    // Every change of "Max Number of Events :"; false (with the message) outside 1 to 500.
    bool OnMaxEvents(const std::string& text);
    void OnSuggested();
    void Refresh() override;
    bool Store(bool validate) override;
    void Changed(const std::string& name) override;

  protected:
    uint32_t EnableBits() const override;

  private:
    void ShowTiming(bool shown);
    int SelectedMs() const;
    void UpdateSuggested();
};

}  // namespace orvex
