#include "logger/config/ConfigChannelPages.h"

#include <algorithm>
#include <cstdlib>

#include "logger/config/ConfigPages.h"

namespace orvex {

namespace {

int RateOf(int32_t clock, int divider) {
    return divider > 0 ? static_cast<int>(clock / divider) : 0;
}

// The divider byte for a rate: the clock rate over the rate, kept within the byte.
uint8_t DividerFor(int32_t clock, int rate) {
    if (rate <= 0) return 1;
    return static_cast<uint8_t>(std::clamp<int32_t>(clock / rate, 1, 255));
}

void SetBit(uint32_t& bits, int n, bool on) {
    bits = on ? bits | (1u << (n - 1)) : bits & ~(1u << (n - 1));
}

template <typename T>
void SetBitOf(T& field, int n, bool on) {
    uint32_t bits = static_cast<uint32_t>(field);
    SetBit(bits, n, on);
    field = static_cast<T>(bits);
}

}  // namespace

std::vector<std::string> CConfigChannelPage::RateTexts(const std::vector<int>& rates) {
    std::vector<std::string> out;
    for (int r : rates) out.push_back(std::to_string(r));
    return out;
}

void CConfigChannelPage::SelectFirstEnabled() {
    const uint32_t bits = EnableBits();
    for (int ch = 1; ch <= m_nChannels; ++ch)
        if (bits & (1u << (ch - 1))) {
            m_nChannel = m_channel.value = ch;
            return;
        }
}

void CConfigChannelPage::OnEnabled(bool checked) {
    m_enabled.checked = checked;
    Store(true);
    m_sink.TimeChanged();
}

void CConfigChannelPage::Changed(const std::string& name) {
    if (name == "channel") {
        const int n = m_channel.value;
        m_channel.value = m_nChannel;  // the old channel is stored first
        OnChannel(n);
    } else if (name == "enabled") {
        OnEnabled(m_enabled.checked);
    }
}

// ---- pages with a sample rate

int CRatePage::SelectedRate() const {
    const std::string* t = m_rate.Text();
    return t ? std::atoi(t->c_str()) : 0;
}

void CRatePage::ShowRate(int divider) {
    const int rate = RateOf(Cfg().m_nClockRate, divider);
    m_rate.SelectText(std::to_string(rate));
    m_suggested.checked = rate == SuggestedRate();
}

void CRatePage::OnDescription(int position) {
    m_description.selected = position;
    DescriptionChosen();
    Store(true);
    Refresh();
}

void CRatePage::OnRate(int position) {
    m_rate.selected = position;
    m_suggested.checked = SelectedRate() == SuggestedRate();
    Store(true);
    m_sink.TimeChanged();
}

void CRatePage::OnSuggested() {
    const int suggested = SuggestedRate();
    if (!m_suggested.checked && suggested > 0) {
        m_suggested.checked = true;
        const uint8_t divider = DividerFor(Cfg().m_nClockRate, suggested);
        SetDivider(divider);
        m_rate.SelectText(std::to_string(suggested));
        m_sink.SectionChanged(m_nSection, false);
    }
    m_sink.TimeChanged();
}

void CRatePage::Changed(const std::string& name) {
    if (name == "description") {
        OnDescription(m_description.selected);
    } else if (name == "rate") {
        OnRate(m_rate.selected);
    } else if (name == "suggested") {
        m_suggested.checked = !m_suggested.checked;  // the click decides, not the box
        OnSuggested();
    } else {
        CConfigChannelPage::Changed(name);
    }
}

// ---- "RPMs"

CConfigureRPMPage::CConfigureRPMPage(std::array<CTachConfig, 4>& configs, IConfigPageSink& sink,
                                     IHostServices& host)
    : CRatePage(configs, sink, host, 0, CTachConfig::kRpmChannels) {
    m_rate.items = RateTexts(RateList(FirstClock()));
    Bind("pulses", m_pulses);
    Bind("pulsesSpin", m_pulsesSpin);
    Bind("filter", m_filter);
    SelectFirstEnabled();
}

uint32_t CConfigureRPMPage::EnableBits() const {
    return m_configs[static_cast<std::size_t>(m_nConfig)].m_nFreqStatus & 0x1Fu;
}

void CConfigureRPMPage::SetDivider(int divider) {
    Cfg().m_freq[m_nChannel - 1].m_nDivider = static_cast<uint8_t>(divider);
}

void CConfigureRPMPage::Refresh() {
    const TachFreq& f = Cfg().m_freq[m_nChannel - 1];
    const int kind = f.m_nKind & ~0x40;
    const bool engine = m_nChannel == 1;
    const bool ownPulses = !engine && kind >= 10 && kind <= 13;
    m_description.items.clear();
    for (int k = 1; k <= (engine ? 9 : 13); ++k)
        m_description.items.push_back(CTachConfig::RpmKindName(k));
    m_pulses.enabled = m_pulsesSpin.shown = ownPulses;
    m_pulses.text = std::to_string(ownPulses ? f.m_nPPR : DefaultPulses(kind));
    m_filter.shown = engine;
    m_filter.checked = engine && (f.m_nKind & 0x40);
    m_description.selected =
        kind >= 1 && kind <= static_cast<int>(m_description.items.size()) ? kind - 1 : -1;
    ShowRate(f.m_nDivider);
    m_enabled.checked = (Cfg().m_nFreqStatus >> (m_nChannel - 1)) & 1;
}

void CConfigureRPMPage::DescriptionChosen() {
    const int kind = m_description.selected + 1;
    if (m_nChannel == 1 || (kind >= 1 && kind <= 9))
        m_pulses.text = std::to_string(DefaultPulses(kind));
}

bool CConfigureRPMPage::Store(bool validate) {
    const uint32_t before = EnableBits();
    TachFreq& f = Cfg().m_freq[m_nChannel - 1];
    if (m_description.selected >= 0) {
        int kind = m_description.selected + 1;
        if (m_nChannel == 1 && m_filter.checked) kind |= 0x40;
        f.m_nKind = static_cast<uint8_t>(kind);
    }
    if (SelectedRate() > 0) f.m_nDivider = DividerFor(Cfg().m_nClockRate, SelectedRate());
    f.m_nPPR = static_cast<uint8_t>(std::clamp(std::atoi(m_pulses.text.c_str()), 0, 255));
    SetBitOf(Cfg().m_nFreqStatus, m_nChannel, m_enabled.checked);
    if (validate) StoreNotify(before);
    return true;
}

bool CConfigureRPMPage::OnPulses(const std::string& text) {
    std::string message;
    if (!ReadBoundedInteger(text, 0, 20, &message)) {
        m_host.Message(message, Icon::Warning);
        return false;
    }
    m_pulses.text = text;
    Store(true);
    return true;
}

void CConfigureRPMPage::OnFilter(bool checked) {
    m_filter.checked = checked;
    Store(true);
    m_sink.TimeChanged();
}

void CConfigureRPMPage::Changed(const std::string& name) {
    if (name == "filter")
        OnFilter(m_filter.checked);
    else if (name != "pulses")  // typing; the value is taken when the field is left
        CRatePage::Changed(name);
}

bool CConfigureRPMPage::Edited(const std::string& name) {
    return name != "pulses" || OnPulses(m_pulses.text);
}

// ---- "Analogs"

CConfigureAnalogPage::CConfigureAnalogPage(std::array<CTachConfig, 4>& configs,
                                           IConfigPageSink& sink, IHostServices& host)
    : CRatePage(configs, sink, host, 1, CTachConfig::kAnalogChannels) {
    SelectFirstEnabled();
}

uint32_t CConfigureAnalogPage::EnableBits() const {
    return static_cast<uint32_t>(m_configs[static_cast<std::size_t>(m_nConfig)].m_lAnalogStatus) &
           0xFFFFFu;
}

int CConfigureAnalogPage::SuggestedRate() const {
    return SuggestedAnalogRate(m_description.selected);
}

void CConfigureAnalogPage::SetDivider(int divider) {
    Cfg().m_analog[m_nChannel - 1].m_nDivider = static_cast<uint8_t>(divider);
}

void CConfigureAnalogPage::Refresh() {
    TachAnalog& a = Cfg().m_analog[m_nChannel - 1];
    if (m_nChannel >= 17 && m_nChannel <= 19 && (a.m_nKind < 12 || a.m_nKind > 14)) a.m_nKind = 12;
    m_description.items = AnalogDescriptions(m_nChannel);
    const int pos = AnalogListPosition(m_nChannel, a.m_nKind);
    m_description.selected =
        pos >= 0 && pos < static_cast<int>(m_description.items.size()) ? pos : -1;
    m_rate.items = RateTexts(AnalogRateList(FirstClock(), a.m_nKind));
    ShowRate(a.m_nDivider);
    m_enabled.checked = (static_cast<uint32_t>(Cfg().m_lAnalogStatus) >> (m_nChannel - 1)) & 1;
}

bool CConfigureAnalogPage::Store(bool validate) {
    const uint32_t before = EnableBits();
    TachAnalog& a = Cfg().m_analog[m_nChannel - 1];
    if (m_description.selected >= 0)
        a.m_nKind = static_cast<uint8_t>(AnalogKindOfPosition(m_nChannel, m_description.selected));
    if (SelectedRate() > 0) a.m_nDivider = DividerFor(Cfg().m_nClockRate, SelectedRate());
    SetBitOf(Cfg().m_lAnalogStatus, m_nChannel, m_enabled.checked);
    if (validate) StoreNotify(before);
    return true;
}

// ---- "Switches"

CConfigureSwitchesPage::CConfigureSwitchesPage(std::array<CTachConfig, 4>& configs,
                                               IConfigPageSink& sink, IHostServices& host)
    : CRatePage(configs, sink, host, 2, CTachConfig::kSwitches) {
    m_description.items = {"Generic", "Throttle", "Brake", "Pressure"};
    m_rate.items = RateTexts(RateList(FirstClock()));
    SelectFirstEnabled();
}

uint32_t CConfigureSwitchesPage::EnableBits() const {
    return m_configs[static_cast<std::size_t>(m_nConfig)].m_nSwitchStatus & 0x0Fu;
}

void CConfigureSwitchesPage::SetDivider(int divider) {
    Cfg().m_nSwitchDivider = static_cast<uint8_t>(divider);
}

void CConfigureSwitchesPage::Refresh() {
    const int kind = Cfg().m_switch[m_nChannel - 1];
    m_description.selected = kind >= 1 && kind <= 4 ? kind - 1 : -1;
    ShowRate(Cfg().m_nSwitchDivider);
    m_enabled.checked = (Cfg().m_nSwitchStatus >> (m_nChannel - 1)) & 1;
}

bool CConfigureSwitchesPage::Store(bool validate) {
    const uint32_t before = EnableBits();
    if (m_description.selected >= 0)
        Cfg().m_switch[m_nChannel - 1] = static_cast<uint8_t>(m_description.selected + 1);
    if (SelectedRate() > 0) Cfg().m_nSwitchDivider = DividerFor(Cfg().m_nClockRate, SelectedRate());
    SetBitOf(Cfg().m_nSwitchStatus, m_nChannel, m_enabled.checked);
    if (validate) StoreNotify(before);
    return true;
}

// ---- "Timers"

CConfigureTimerPage::CConfigureTimerPage(std::array<CTachConfig, 4>& configs, IConfigPageSink& sink,
                                         IHostServices& host)
    : CConfigChannelPage(configs, sink, host, 3, CTachConfig::kTimers) {
    for (long ms = 500; ms <= 5000; ms += 500) m_minTime.items.push_back(std::to_string(ms));
    m_maxEvents.text = "50";
    m_trigger.options = 3;
    Bind("description", m_description);
    Bind("minTime", m_minTime);
    Bind("maxEvents", m_maxEvents);
    Bind("trigger", m_trigger);
    SelectFirstEnabled();
}

uint32_t CConfigureTimerPage::EnableBits() const {
    return m_configs[static_cast<std::size_t>(m_nConfig)].m_nTimerStatus & 0x03u;
}

int CConfigureTimerPage::SelectedMs() const {
    const std::string* t = m_minTime.Text();
    return t ? std::atoi(t->c_str()) : 0;
}

void CConfigureTimerPage::ShowTiming(bool shown) {
    m_minTime.shown = m_maxEvents.shown = m_trigger.shown = m_suggested.shown = shown;
}

void CConfigureTimerPage::UpdateSuggested() {
    m_suggested.checked = SelectedMs() == SuggestedTimerMs(m_description.selected + 1);
}

void CConfigureTimerPage::Refresh() {
    TachTimer& t = Cfg().m_timer[m_nChannel - 1];
    m_description.items = {"Generic", "Lap Timer", "Trans-Brake", "Throttle Stop"};
    if (m_nChannel == 2) m_description.items.push_back("GPS Receiver");
    m_description.selected =
        t.m_nKind >= 1 && t.m_nKind <= static_cast<int>(m_description.items.size()) ? t.m_nKind - 1
                                                                                    : -1;
    const int32_t clock = Cfg().m_nClockRate;
    const long ms = clock > 0 ? static_cast<long>(t.m_nMinTime) * 1000 / clock : 0;
    if (t.m_nKind == 5) {
        m_minTime.SelectText("500");
        t.m_nTrigger = 2;
    } else {
        m_minTime.SelectText(std::to_string(ms));
    }
    m_suggested.checked = ms == SuggestedTimerMs(t.m_nKind);
    m_nMaxEvents = t.m_nMaxEvents;
    m_maxEvents.text = std::to_string(m_nMaxEvents);
    m_enabled.checked = (Cfg().m_nTimerStatus >> (m_nChannel - 1)) & 1;
    m_trigger.selected = t.m_nTrigger >= 1 && t.m_nTrigger <= 3 ? t.m_nTrigger - 1 : -1;
    ShowTiming(t.m_nKind != 5);
}

bool CConfigureTimerPage::Store(bool validate) {
    const uint32_t before = EnableBits();
    CTachConfig& cfg = Cfg();
    TachTimer& t = cfg.m_timer[m_nChannel - 1];
    if (!StoreTimerKind(cfg, m_nChannel - 1, m_description.selected, m_host)) {
        m_description.selected = t.m_nKind >= 1 ? t.m_nKind - 1 : -1;
        return false;
    }
    t.m_nMinTime = static_cast<uint16_t>(static_cast<long>(SelectedMs()) * cfg.m_nClockRate / 1000);
    t.m_nMaxEvents = static_cast<uint16_t>(m_nMaxEvents);
    SetBitOf(cfg.m_nTimerStatus, m_nChannel, m_enabled.checked);
    if (t.m_nKind != 5 && Trigger() >= 1 && Trigger() <= 3)
        t.m_nTrigger = static_cast<uint8_t>(Trigger());
    m_trigger.selected = t.m_nTrigger - 1;
    ShowTiming(t.m_nKind != 5);
    if (validate) StoreNotify(before);
    return true;
}

void CConfigureTimerPage::OnDescription(int position) {
    m_description.selected = position;
    UpdateSuggested();
    Store(true);
}

void CConfigureTimerPage::OnMinTime(int position) {
    m_minTime.selected = position;
    UpdateSuggested();
    Store(true);
}

void CConfigureTimerPage::OnTrigger(int trigger) {
    m_trigger.selected = trigger - 1;
    Store(true);
}

bool CConfigureTimerPage::OnMaxEvents(const std::string& text) {
    m_maxEvents.text = text;
    std::string message;
    const std::optional<int> v = ReadBoundedInteger(text, 1, 500, &message);
    if (!v) {
        m_host.Message(message, Icon::Warning);
        return false;
    }
    m_nMaxEvents = *v;
    Store(true);
    m_sink.TimeChanged();
    return true;
}

void CConfigureTimerPage::OnSuggested() {
    const int ms = SuggestedTimerMs(m_description.selected + 1);
    if (!m_suggested.checked && ms > 0) {
        m_suggested.checked = true;
        Cfg().m_timer[m_nChannel - 1].m_nMinTime =
            static_cast<uint16_t>(static_cast<long>(ms) * Cfg().m_nClockRate / 1000);
        m_minTime.SelectText(std::to_string(ms));
        m_sink.SectionChanged(m_nSection, false);
    }
    m_sink.TimeChanged();
}

void CConfigureTimerPage::Changed(const std::string& name) {
    if (name == "description") {
        OnDescription(m_description.selected);
    } else if (name == "minTime") {
        OnMinTime(m_minTime.selected);
    } else if (name == "trigger") {
        OnTrigger(Trigger());
    } else if (name == "maxEvents") {
        OnMaxEvents(m_maxEvents.text);
    } else if (name == "suggested") {
        m_suggested.checked = !m_suggested.checked;  // the click decides, not the box
        OnSuggested();
    } else {
        CConfigChannelPage::Changed(name);
    }
}

}  // namespace orvex
