// The live-data sheet: connection, page plan, selection, polling and calibration.
#include "logger/live/LiveData.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "logger/link/Framing.h"
#include "logger/live/Calibration.h"
#include "logger/live/LiveDataDemo.h"

namespace orvex {

namespace {

constexpr const char* kIgnored = "!\nChannel will be ignored.";

LivePageKind AnalogPageKind(int32_t type, bool& shown) {
    shown = true;
    switch (type) {
        case kAnalog2Shock:
            return LivePageKind::Shocks;
        case kAnalog2Pressure:
            return LivePageKind::Pressures;
        case kAnalog2Accel:
            return LivePageKind::Accels;
        case kAnalog2Egt:
        case kAnalog2Cht:
            return LivePageKind::Egts;
        case kAnalog2Custom:
        case kAnalog2Steering:
        case kAnalog2Throttle:
        case kAnalog2Voltage:
            return LivePageKind::MiscAnalogs;
        default:
            shown = false;
            return LivePageKind::MiscAnalogs;
    }
}

}  // namespace

double LiveMean(const LiveGauge& g) {
    if (g.m_window.empty()) return 0.0;
    return std::accumulate(g.m_window.begin(), g.m_window.end(), 0.0) /
           static_cast<double>(g.m_window.size());
}

CLiveDataSheet::CLiveDataSheet(ISerialLine& line, IHostServices& host, const CLinkOptions& options,
                               const CCarSetup& defaults, Units units, float voltageCorrection,
                               bool demo, bool sharedPort)
    : m_s(line, host, options),
      m_units(units),
      m_fVoltageCorrection(voltageCorrection),
      m_bDemo(demo),
      m_bShared(sharedPort) {
    m_ds.m_carSetup = defaults;
}

CLiveDataSheet::~CLiveDataSheet() {
    Close();
}

void CLiveDataSheet::Send(const std::vector<uint8_t>& bytes) {
    if (m_bDemo || !m_s.IsOpen()) return;
    m_s.Port().Write(bytes.data(), bytes.size());
}

bool CLiveDataSheet::Query(uint8_t command, std::size_t replyBytes, const char* noReply,
                           uint8_t* reply) {
    if (!m_s.Port().WriteAwaitReply(&command, 1)) {
        m_s.Message(noReply);
        return false;
    }
    if (!m_s.Port().WaitForBytes(reply, replyBytes, m_s.Window())) {
        m_s.Message(
            WithDevice("Failed to establish communications wih Data Logger", m_s.Options().device));
        return false;
    }
    return true;
}

bool CLiveDataSheet::EstablishLiveData(bool reconnect) {
    if (m_bShared) {
        m_s.Message("Upload NOT supported with shared Communication Port!");
        return false;
    }
    CLoggerPort& port = m_s.Port();
    port.ClearAbort();
    m_s.ShowWindow(LinkText("Establishing Live Data with %s", kKavraneFamily));
    m_s.Status(kLinkLine1, LinkText("Opening %s...", kKavraneFamily));
    m_s.Status(kLinkLine2, reconnect ? "Re-Establishing Connection..." : "Initializing Port...");
    // A line that went away with the logger (cable or adapter pulled, the far end closed) is
    // opened again on a reconnect; one that is still there is taken as it is.
    if (reconnect && m_s.IsOpen() && port.IsLineLost()) m_s.Close();
    bool ok = (reconnect && m_s.IsOpen()) || m_s.Open();
    if (ok) {
        port.DiscardInput();
        port.SetRetries(5);
    }
    if (ok && reconnect) {
        m_s.Status(kLinkLine2, "Analysis Complete.");
    } else if (ok) {
        ok = false;
        uint8_t status[2] = {}, ident[5] = {}, rpm[2] = {}, analog[2] = {}, sw[2] = {},
                analogHigh[4] = {}, timers[2] = {};
        m_s.Status(kLinkLine2, "Checking Recording Status...");
        const uint8_t check = 0x97;
        if (!port.WriteAwaitReply(&check, 1)) {
            m_s.Message(
                "Data Logger not responding or current\n Firmware does NOT support Live Data!");
        } else if (!port.WaitForBytes(status, 1, m_s.Window())) {
            m_s.Message(
                "Failed to establish communications wih Data Logger or\ncurrent Firmware does NOT "
                "support Live Data!");
        } else if (status[0] != 0) {
            m_s.Message("Live Data while Data Logger is recording is NOT recommended!");
        } else if (Query(0xE0, 4, "Data Logger not respond to ID Code!", ident) &&
                   Query(0xE2, 1, "Data Logger not respond to Active RPM Channels!", rpm) &&
                   Query(0xE3, 1, "Data Logger not respond to Active Analog Channels!", analog) &&
                   Query(0xE5, 1, "Data Logger not respond to Active Switch Input!", sw) &&
                   Query(0xE6, 3, "Data Logger not respond to Active Analog Channels!",
                         analogHigh) &&
                   Query(0xE7, 1, "Data Logger not respond to Active Timer Inputs!", timers)) {
            m_s.Status(kLinkLine2, "Analyzing Configuration...");
            if (!(ident[0] & 0x20)) {
                m_s.Status(kLinkLine1, "Invalid Repsonse from Data Logger.");
                m_s.Message(LinkText("Only %s Data Loggers support Live Data!", kKavraneFamily));
            } else {
                m_nRpmChannels = std::min<int>(ident[1], 5);
                m_nAnalogChannels = std::min<int>(ident[2], 20);
                m_nRpmMask = rpm[0];
                m_lAnalogMask = analog[0] | static_cast<uint32_t>(analogHigh[0]) << 8 |
                                static_cast<uint32_t>(analogHigh[1]) << 16 |
                                static_cast<uint32_t>(analogHigh[2]) << 24;
                m_nSwitchMask = sw[0];
                m_nTimerMask = timers[0];
                m_s.Status(kLinkLine2, "Retrieving Pre-Amble...");
                port.Write({0xDE});
                uint8_t packet[kMaxPacketData + 8] = {};
                std::size_t length = 0;
                double crystal = 0;
                int clockDiv = 0, sampleDiv = 0, pcaDiv = 0;
                if (port.ReceivePacket(packet, length, 0)) {
                    port.Write({kAck, kAck, kAck, kAck});
                    const std::string text(reinterpret_cast<const char*>(packet),
                                           strnlen(reinterpret_cast<const char*>(packet), length));
                    if (std::sscanf(text.c_str(), "%lf CLK, %d CLK-DIV, %d SAMPLE-DIV, %d PCA-DIV",
                                    &crystal, &clockDiv, &sampleDiv, &pcaDiv) == 4 &&
                        crystal > 0 && clockDiv > 0 && pcaDiv > 0) {
                        const float clock = static_cast<float>(crystal / clockDiv / pcaDiv);
                        m_ds.m_fClock = clock;
                        for (CShaftList& s : m_ds.m_rpm) s.m_fClock = clock;
                        m_s.Status(kLinkLine2, "Analysis Complete.");
                        ok = true;
                    }
                }
                if (!ok) m_s.Message("Failed to establish communications wih Data Logger");
            }
        }
    }
    if (!(ok && reconnect) && m_s.IsOpen()) port.WakeLogger();
    if (!ok) m_s.Close();
    port.ClearAbort();
    m_s.HideWindow();
    port.SetRetries(0);
    return ok;
}

void CLiveDataSheet::DemoMasks() {
    m_nRpmChannels = 5;
    m_nAnalogChannels = 20;
    m_nRpmMask = m_nSwitchMask = m_nTimerMask = 0;
    m_lAnalogMask = 0;
    for (const CFreqSetup& s : CarSetup().m_rpm)
        if (s.m_nChannel >= 1 && s.m_nChannel <= 5)
            m_nRpmMask = static_cast<uint8_t>(m_nRpmMask | 1u << (s.m_nChannel - 1));
    for (const CAnalogSetup& s : CarSetup().m_analog)
        if (s.m_nChannel >= 1 && s.m_nChannel <= 20) m_lAnalogMask |= 1u << (s.m_nChannel - 1);
    for (const CDigitalSetup& s : CarSetup().m_digital) {
        if (s.m_nType == kDigitalLapTimer || s.m_nType == kDigitalEventTimer) {
            if (s.m_nChannel == 5 || s.m_nChannel == 6)
                m_nTimerMask = static_cast<uint8_t>(m_nTimerMask | 1u << (s.m_nChannel - 5));
        } else if (s.m_nChannel >= 1 && s.m_nChannel <= 4) {
            m_nSwitchMask = static_cast<uint8_t>(m_nSwitchMask | 1u << (s.m_nChannel - 1));
        }
    }
}

CLivePropertyPage& CLiveDataSheet::PageFor(LivePageKind kind) {
    for (auto it = m_pages.rbegin(); it != m_pages.rend(); ++it)
        if ((*it)->Kind() == kind) {
            if (!(*it)->Full() || kind == LivePageKind::MiscAnalogs) return **it;
            break;
        }
    m_pages.push_back(std::make_unique<CLivePropertyPage>(kind, m_bDemo));
    return *m_pages.back();
}

void CLiveDataSheet::BuildPages() {
    m_pages.clear();
    IHostServices& host = m_s.Host();
    for (int ch = 1; ch <= m_nRpmChannels; ++ch) {
        if (!(m_nRpmMask & (1u << (ch - 1)))) continue;
        const CFreqSetup* s = CarSetup().FindRpmSetup(ch);
        if (!s) {
            host.Message(
                LinkText("Can NOT find a RPM configuration for Channel #%1d%s", ch, kIgnored),
                Icon::Warning);
            m_nRpmMask = static_cast<uint8_t>(m_nRpmMask & ~(1u << (ch - 1)));
            continue;
        }
        PageFor(LivePageKind::RpmMph).AddChannel(ch, s->m_strDescription);
        PageFor(LivePageKind::RpmSensors).AddChannel(ch, s->m_strDescription);
    }
    for (int ch = 1; ch <= m_nAnalogChannels; ++ch) {
        if (!(m_lAnalogMask & (1u << (ch - 1)))) continue;
        CAnalogSetup* s = CarSetup().FindAnalogSetup(ch);
        if (!s) {
            host.Message(
                LinkText("Can NOT find an Analog configuration for Channel #%1d%s", ch, kIgnored),
                Icon::Warning);
            m_lAnalogMask &= ~(1u << (ch - 1));
            continue;
        }
        s->m_nFamily = 0;  // a Kavrane setup
        s->m_nBits = 12;
        bool shown = false;
        const LivePageKind kind = AnalogPageKind(s->m_nType, shown);
        if (!shown) {
            m_lAnalogMask &= ~(1u << (ch - 1));
            continue;
        }
        CLivePropertyPage& page = PageFor(kind);
        if (page.Full()) {
            host.Message(LinkText("Could NOT add Analog configuration for Channel #%1d to Misc. "
                                  "Analog Page%s",
                                  ch, kIgnored),
                         Icon::Warning);
            m_lAnalogMask &= ~(1u << (ch - 1));
            continue;
        }
        page.AddChannel(ch, s->m_strDescription);
    }
    std::vector<std::pair<int, std::string>> digital;
    for (int ch = 1; ch <= 4; ++ch) {
        if (!(m_nSwitchMask & (1u << (ch - 1)))) continue;
        if (const CDigitalSetup* s = CarSetup().FindDigitalSetup(ch)) {
            digital.emplace_back(ch, s->m_strDescription);
            continue;
        }
        host.Message(LinkText("Can NOT find a Digital Switch configuration for Channel #%1d%s", ch,
                              kIgnored),
                     Icon::Warning);
        m_nSwitchMask = static_cast<uint8_t>(m_nSwitchMask & ~(1u << (ch - 1)));
    }
    for (int t = 1; t <= 2; ++t) {
        if (!(m_nTimerMask & (1u << (t - 1)))) continue;
        if (const CDigitalSetup* s = CarSetup().FindDigitalSetup(4 + t)) {
            digital.emplace_back(4 + t, s->m_strDescription);
            continue;
        }
        host.Message(LinkText("Can NOT find a Timer configuration for Channel #%1d%s", t, kIgnored),
                     Icon::Warning);
        m_nTimerMask = static_cast<uint8_t>(m_nTimerMask & ~(1u << (t - 1)));
    }
    if (!digital.empty()) {
        CLivePropertyPage& page = PageFor(LivePageKind::Switches);
        for (auto& [ch, name] : digital) page.AddChannel(ch, name);
    }
}

bool CLiveDataSheet::Start() {
    if (m_bDemo) {
        DemoMasks();
    } else if (!EstablishLiveData(false)) {
        m_s.Message("Live Data request NOT allowed at this Time!");
        return false;
    }
    BuildPages();
    if (!m_bDemo) {
        Send(std::vector<uint8_t>(std::begin(kLiveDeselectAll), std::end(kLiveDeselectAll)));
        // Polls resend the question up to five times before the link counts as lost.
        m_s.Port().SetRetries(5);
    }
    return true;
}

void CLiveDataSheet::ActivatePage(int index) {
    if (m_nActive >= 0 && m_nActive < static_cast<int>(m_pages.size()))
        Send(m_pages[static_cast<std::size_t>(m_nActive)]->SelectCommand(false));
    m_nActive = index;
    if (index >= 0 && index < static_cast<int>(m_pages.size()))
        Send(m_pages[static_cast<std::size_t>(index)]->SelectCommand(true));
}

const LiveGauge* CLiveDataSheet::FindGauge(LivePageKind kind, int channel) const {
    for (const auto& page : m_pages)
        if (page->Kind() == kind)
            for (const LiveGauge& g : page->Gauges())
                if (g.m_nChannel == channel) return &g;
    return nullptr;
}

bool CLiveDataSheet::Poll() {
    if (m_bDemo) {
        if (m_nActive >= 0 && m_nActive < static_cast<int>(m_pages.size())) {
            CLivePropertyPage& page = *m_pages[static_cast<std::size_t>(m_nActive)];
            const double seconds = static_cast<double>(m_nDemoTicks) * kPollMs / 1000.0;
            const std::vector<uint8_t> data = LiveDemoReply(page, CarSetup(), m_ds.m_fClock,
                                                            seconds, m_units, m_fVoltageCorrection);
            page.TakeReply(data.data(), data.size(), m_ds, m_units, m_fVoltageCorrection);
            ++m_nReplies;
        }
        ++m_nDemoTicks;
        return true;
    }
    if (m_bBusy || m_bDisconnected || !m_s.IsOpen()) return !m_bDisconnected;
    if (m_nActive < 0 || m_nActive >= static_cast<int>(m_pages.size())) return true;
    m_bBusy = true;
    CLoggerPort& port = m_s.Port();
    port.DisableMessagePump();
    CLivePropertyPage& page = *m_pages[static_cast<std::size_t>(m_nActive)];
    const std::size_t n = page.ReplyBytes();
    bool lost = false;
    const uint8_t poll = 0xEF;
    std::vector<uint8_t> reply(n + 3, 0);
    if (!port.WriteAwaitReply(&poll, 1)) {
        m_s.Message("Data Logger did NOT respond to Host Inquiry.");
        lost = true;
    } else if (!port.WaitForBytes(reply.data(), n + 2, nullptr)) {
        m_s.Message("Data Logger did NOT respond with enough Information.");
        lost = true;
    } else if (n == 0 || PacketSumValid(reply.data() + 1, n + 1)) {
        page.TakeReply(reply.data() + 1, n, m_ds, m_units, m_fVoltageCorrection);
        ++m_nReplies;
    }
    port.DiscardInput();
    if (lost) m_bDisconnected = true;
    port.EnableMessagePump();
    m_bBusy = false;
    return !lost;
}

bool CLiveDataSheet::Reconnect() {
    m_bDisconnected = false;
    if (!EstablishLiveData(true)) {
        m_bDisconnected = true;
        return false;
    }
    m_s.Port().SetRetries(5);
    const int active = m_nActive;
    m_nActive = -1;
    ActivatePage(active);
    return true;
}

bool CLiveDataSheet::ZeroChannel(const LiveGauge& g, double target, std::string& refused) {
    CAnalogSetup* setup = CarSetup().FindAnalogSetup(g.m_nChannel);
    if (!setup) return true;
    std::string error;
    if (g.m_window.empty()) {
        error = "It has no reading yet; wait for the gauge to show one.";
    } else if (!CCalibration::UsableReading(*setup, LiveMean(g), error)) {
        // `error` says why.
    } else {
        const double r = std::max(setup->m_nResolution, 1);
        const double reading = m_bDemo ? g.m_fValue
                                       : setup->Convert(static_cast<int32_t>(LiveMean(g)), m_units,
                                                        m_fVoltageCorrection) /
                                             r;
        setup->SetOffset(static_cast<float>(setup->GetOffset(m_units) + reading - target), m_units);
        return true;
    }
    if (!refused.empty()) refused += "\n\n";
    refused += "\"" + g.m_strName + "\" is left as it was. " + error;
    return false;
}

void CLiveDataSheet::ShowRefusals(const std::string& refused) {
    if (!refused.empty()) m_s.Host().Message(refused, Icon::Warning);
}

bool CLiveDataSheet::CalibrateAccels() {
    std::string refused;
    for (auto& page : m_pages) {
        if (page->Kind() != LivePageKind::Accels) continue;
        for (const LiveGauge& g : page->Gauges()) {
            const CAnalogSetup* s = CarSetup().FindAnalogSetup(g.m_nChannel);
            const bool upDown = s && s->m_strDescription.find("UP-DOWN") != std::string::npos;
            ZeroChannel(g, upDown ? 1.0 : 0.0, refused);
        }
    }
    ShowRefusals(refused);
    return refused.empty();
}

bool CLiveDataSheet::CalibrateShocks(const std::vector<int>& channels) {
    std::string refused;
    for (auto& page : m_pages) {
        if (page->Kind() != LivePageKind::Shocks) continue;
        for (const LiveGauge& g : page->Gauges())
            if (std::find(channels.begin(), channels.end(), g.m_nChannel) != channels.end())
                ZeroChannel(g, 0.0, refused);
    }
    ShowRefusals(refused);
    return refused.empty();
}

void CLiveDataSheet::Close() {
    if (m_s.IsOpen()) {
        Send(std::vector<uint8_t>(std::begin(kLiveDeselectAll), std::end(kLiveDeselectAll)));
        m_s.Close();
    }
}

}  // namespace orvex
