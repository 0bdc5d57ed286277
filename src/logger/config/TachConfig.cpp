// Logger channel configuration: wire record, text report and recording-time estimate.
#include "logger/config/TachConfig.h"

#include <cstdio>

#include "host/FormatText.h"
#include "logger/config/Thresholds.h"
#include "model/ChannelSetups.h"

namespace orvex {

namespace {

const char* const kRule = "----------------------------------------\r\n";

// RPM sensor kinds 1 to 13 are the RPM types of the same numbers.
bool IsRpmKind(int kind) {
    return kind >= kRpmEightCylinder && kind <= kRpmClutch;
}

const char* const kAnalogKinds[] = {
    "Generic",    "Shock-LF",         "Shock-RF",         "Shock-LR",      "Shock-RR",
    "Steering",   "Throttle",         "Brake Pressure",   "Oil Pressure",  "Fuel Pressure",
    "Voltage",    "Left-Right Accel", "Front-Rear Accel", "Up-Down Accel", "EGT Cyl #1",
    "EGT Cyl #2", "EGT Cyl #3",       "EGT Cyl #4",       "EGT Cyl #5",    "EGT Cyl #6",
    "EGT Cyl #7", "EGT Cyl #8",       "CHT #1",           "CHT #2",        "Battery Voltage"};

const char* const kSwitchKinds[] = {"Generic", "Throttle", "Brake", "Pressure"};
const char* const kTimerKinds[] = {"Generic", "Lap Timer", "Trans-Brake", "Throttle Stop",
                                   "GPS Receiver"};
const char* const kTriggers[] = {"Opening", "Closing", "Opening & Closing"};
const char* const kOperators[] = {"   =",  "   >",   "   >=",  "   <=",  "   <",
                                  "   <>", " |x| >", "|x| >=", " |x| <", "|x| <="};

template <std::size_t N>
std::string Name(const char* const (&table)[N], int index) {
    if (index < 1 || index > static_cast<int>(N)) return "Unknown";
    return table[index - 1];
}

// Channel rate: the clock divided by the divider; a divider of 0 has no rate.
long Rate(int32_t clock, int divider) {
    return divider == 0 ? 0 : clock / divider;
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v & 0xFF));
}
uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

}  // namespace

std::size_t TachRecordForm::RecordSize() const {
    std::size_t n = m_nAnalogs == 19 ? 19 : 20;
    return 40 + 2 * n + (m_bEquations ? 3 + 6 * CTachConfig::kEquations * CTachConfig::kTerms : 0) +
           1;
}

std::optional<TachRecordForm> TachRecordForm::FromBlockSize(long blockBytes) {
    switch (blockBytes) {
        case 316:
            return TachRecordForm{19, false};
        case 324:
            return TachRecordForm{20, false};
        case 976:
            return TachRecordForm{19, true};
        case 984:
            return TachRecordForm{20, true};
        default:
            return std::nullopt;
    }
}

CTachConfig::CTachConfig() {
    m_freq[0].m_nKind = 1;
}

uint8_t CTachConfig::RecordSum(const uint8_t* data, std::size_t size) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += data[i];
    return static_cast<uint8_t>(sum & 0xFF);
}

std::vector<uint8_t> CTachConfig::EncodeRecord(const TachRecordForm& form) const {
    const int nAnalogs = form.m_nAnalogs == 19 ? 19 : 20;
    std::vector<uint8_t> out;
    out.reserve(form.RecordSize());
    out.push_back(static_cast<uint8_t>(0x80 | (m_nActive & 1)));
    out.push_back(m_nTimerStatus);
    out.push_back(m_nSwitchStatus);
    out.push_back(m_nSwitchDivider);
    out.push_back(m_nFreqStatus);
    const auto status = static_cast<uint32_t>(m_lAnalogStatus);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(status >> shift));
    for (uint8_t sw : m_switch) out.push_back(sw);
    for (const TachTimer& t : m_timer) {
        out.push_back(t.m_nKind);
        out.push_back(t.m_nTrigger);
        Put16(out, t.m_nMaxEvents);
        Put16(out, t.m_nMinTime);
    }
    for (const TachFreq& f : m_freq) {
        out.push_back(f.m_nDivider);
        out.push_back(f.m_nPPR);
        out.push_back(f.m_nKind);
    }
    for (int i = 0; i < nAnalogs; ++i) {
        out.push_back(m_analog[i].m_nDivider);
        out.push_back(m_analog[i].m_nKind);
    }
    if (form.m_bEquations) {
        out.push_back(m_nEqnFlags);
        Put16(out, m_nAutoStartTime);
        for (const auto& eqn : m_eqn)
            for (const TachTerm& term : eqn) {
                out.push_back(term.m_nChannel);
                out.push_back(term.m_nOperator);
                Put16(out, term.m_nValue);
                Put16(out, term.m_nSpare);
            }
    }
    out.push_back(static_cast<uint8_t>(-RecordSum(out.data(), out.size()) & 0xFF));
    return out;
}

TachDecode CTachConfig::DecodeRecord(const uint8_t* data, std::size_t size,
                                     const TachRecordForm& form) {
    if (data == nullptr || size != form.RecordSize()) return TachDecode::BadSize;
    if (RecordSum(data, size) != 0) return TachDecode::BadChecksum;
    if ((data[0] & 0x80) == 0) return TachDecode::Skipped;
    const int nAnalogs = form.m_nAnalogs == 19 ? 19 : 20;
    const uint8_t* p = data;
    m_nActive = *p++;
    m_nTimerStatus = *p++;
    m_nSwitchStatus = *p++;
    m_nSwitchDivider = *p++;
    m_nFreqStatus = *p++;
    uint32_t status = 0;
    for (int i = 0; i < 4; ++i) status = (status << 8) | *p++;
    m_lAnalogStatus = static_cast<int32_t>(status);
    for (uint8_t& sw : m_switch) sw = *p++;
    for (TachTimer& t : m_timer) {
        t.m_nKind = *p++;
        t.m_nTrigger = *p++;
        t.m_nMaxEvents = Get16(p);
        t.m_nMinTime = Get16(p + 2);
        p += 4;
    }
    for (TachFreq& f : m_freq) {
        f.m_nDivider = *p++;
        f.m_nPPR = *p++;
        f.m_nKind = *p++;
    }
    for (int i = 0; i < nAnalogs; ++i) {
        m_analog[i].m_nDivider = *p++;
        m_analog[i].m_nKind = *p++;
    }
    if (form.m_bEquations) {
        m_nEqnFlags = *p++;
        m_nAutoStartTime = Get16(p);
        p += 2;
        for (auto& eqn : m_eqn)
            for (TachTerm& term : eqn) {
                term.m_nChannel = p[0];
                term.m_nOperator = p[1];
                term.m_nValue = Get16(p + 2);
                term.m_nSpare = Get16(p + 4);
                p += 6;
            }
    } else {
        m_nEqnFlags = 0x38;
        m_nAutoStartTime = 1;
        for (auto& eqn : m_eqn)
            for (TachTerm& term : eqn) term = TachTerm{};
    }
    return TachDecode::Read;
}

std::string CTachConfig::RpmKindName(int kind) {
    return IsRpmKind(kind) ? RpmTypeName(kind) : "Unknown";
}
std::string CTachConfig::AnalogKindName(int kind) {
    return Name(kAnalogKinds, kind);
}
std::string CTachConfig::SwitchKindName(int kind) {
    return Name(kSwitchKinds, kind);
}
std::string CTachConfig::TimerKindName(int kind) {
    return Name(kTimerKinds, kind);
}
std::string CTachConfig::TriggerName(int trigger) {
    return Name(kTriggers, trigger);
}
const char* CTachConfig::OperatorText(int op) {
    return op >= 0 && op < 10 ? kOperators[op] : nullptr;
}

std::string CTachConfig::ReportRpm() const {
    if (m_nFreqStatus == 0) return {};
    std::string s = std::string("RPM Configuration:\r\n") + kRule;
    for (int i = 0; i < kRpmChannels; ++i) {
        if ((m_nFreqStatus & (1 << i)) == 0) continue;
        const TachFreq& f = m_freq[i];
        const int kind = f.m_nKind & ~0x40;
        const long rate = Rate(m_nClockRate, f.m_nDivider);
        if (IsRpmKind(kind)) {
            const std::string name = RpmTypeName(kind);
            if (f.m_nKind & 0x40)
                s += FormatText("#%1d: %s @ %1ld Hz with %1d PPR & No Filter\r\n", i + 1,
                                name.c_str(), rate, f.m_nPPR);
            else
                s += FormatText("#%1d: %s @ %1ld Hz with %1d PPR\r\n", i + 1, name.c_str(), rate,
                                f.m_nPPR);
        } else {
            s += FormatText("#%1d: Unknown @ %1ld Hz with %1d PPR\r\n", i + 1, rate, f.m_nPPR);
        }
    }
    return s + "\r\n";
}

std::string CTachConfig::ReportSwitches() const {
    if ((m_nSwitchStatus & 0x0F) == 0) return {};
    std::string s = std::string("Switch Configuration:\r\n") + kRule;
    const long rate = Rate(m_nClockRate, m_nSwitchDivider);
    for (int i = 0; i < kSwitches; ++i) {
        if ((m_nSwitchStatus & (1 << i)) == 0) continue;
        if (m_switch[i] >= 1 && m_switch[i] <= 4)
            s += FormatText("#%1d: %s @ %1ld Hz\r\n", i + 1, kSwitchKinds[m_switch[i] - 1], rate);
        else
            s += FormatText("#%1d: Unknown @ %1ld Hz\r\n", i + 1, rate);
    }
    return s + "\r\n";
}

std::string CTachConfig::ReportTimers() const {
    if ((m_nTimerStatus & 0x03) == 0) return {};
    std::string s = std::string("Timer Configuration:\r\n") + kRule;
    for (int i = 0; i < kTimers; ++i) {
        if ((m_nTimerStatus & (1 << i)) == 0) continue;
        const TachTimer& t = m_timer[i];
        const std::string trigger = TriggerName(t.m_nTrigger);
        const long minMs = m_nClockRate == 0 ? 0 : long{t.m_nMinTime} * 1000 / m_nClockRate;
        if (t.m_nKind == 5)
            s += FormatText("#%1d: %s\r\n", i + 1, kTimerKinds[4]);
        else if (t.m_nKind >= 1 && t.m_nKind <= 4)
            s +=
                FormatText("#%1d: %s when %s with %1d Max Events and %1ld mSec Min Time\r\n", i + 1,
                           kTimerKinds[t.m_nKind - 1], trigger.c_str(), t.m_nMaxEvents, minMs);
        else
            s += FormatText("#%1d: Unknown on %s with Max Events: %1d and Min Time: %ld mSec\r\n",
                            i + 1, trigger.c_str(), t.m_nMaxEvents, minMs);
    }
    return s + "\r\n";
}

std::string CTachConfig::ReportAnalogs() const {
    if ((m_lAnalogStatus & 0xFFFFF) == 0) return {};
    std::string s = std::string("Analog Configuration:\r\n") + kRule;
    for (int i = 0; i < kAnalogChannels; ++i) {
        if ((m_lAnalogStatus & (1L << i)) == 0) continue;
        const TachAnalog& a = m_analog[i];
        const long rate = Rate(m_nClockRate, a.m_nDivider);
        if (i == 19)
            s += FormatText("#%1d: %s @ %1ld Hz\r\n", i + 1, "Battery Voltage", rate);
        else if (a.m_nKind >= 1 && a.m_nKind <= 25)
            s += FormatText("#%1d: %s @ %1ld Hz\r\n", i + 1, kAnalogKinds[a.m_nKind - 1], rate);
        else
            s += FormatText("#%1d:Unknown @ %1ld Hz\r\n", i + 1, rate);
    }
    return s + "\r\n";
}

std::string CTachConfig::ReportEquation(int e, const EquationChannels* channels) const {
    if (e < 0 || e >= kEquations || (m_nEqnFlags & (1 << e)) == 0) return {};
    std::string s;
    if (e == 0) {
        s = "Auto-Start Recording";
        if (m_nEqnFlags & 0x40) s += FormatText(" for %0.2f minutes", AutoStartMinutes(*this));
        if (m_nEqnFlags & 0x80) s += " then Pause";
    } else {
        s = e == 1 ? "Output #1 turns On" : "Output #2 turns On";
    }
    s += std::string(" when:\r\n") + kRule;

    const EquationChannels none;
    const EquationChannels& setups = channels ? *channels : none;
    const std::vector<EquationEntry> entries = EquationEntries(*this, setups);
    bool first = true;
    for (int g = 0; g < 3; ++g) {
        const TachTerm* t = &m_eqn[e][3 * g];
        const bool used[3] = {(t[0].m_nChannel & 0x80) != 0, (t[1].m_nChannel & 0x80) != 0,
                              (t[2].m_nChannel & 0x80) != 0};
        for (int k = 0; k < 3; ++k) {
            if (!used[k]) continue;
            std::string open;
            if (k == 0)
                open = used[1] || used[2] ? "{(" : "(";
            else if (k == 1)
                open = used[0] ? " AND (" : used[2] ? "{(" : "(";
            else
                open = used[0] || used[1] ? " AND (" : "(";
            if (open != " AND (" && !first) s += "\r\n\tOR\r\n";
            first = false;
            s += open;
            const TermDisplay d = DescribeTerm(*this, setups, entries, t[k]);
            if (d.m_nOperator < 0) {
                s += d.m_strLabel + d.m_strValue;
            } else if (d.m_nOperator >= 6) {
                const std::string op = OperatorText(d.m_nOperator);
                s += "ABS(" + d.m_strLabel + ") " + op.substr(op.rfind(' ')) + " " + d.m_strValue;
            } else {
                s += d.m_strLabel + " " + OperatorText(d.m_nOperator) + " " + d.m_strValue;
            }
            s += ")";
            if ((k == 2 && (used[0] || used[1])) || (k == 1 && used[0] && !used[2])) s += "}";
        }
    }
    return s + "\r\n\r\n";
}

std::string CTachConfig::Report(const EquationChannels* channels) const {
    std::string s = ReportRpm() + ReportSwitches() + ReportTimers() + ReportAnalogs();
    for (int e = 0; e < kEquations; ++e) s += ReportEquation(e, channels);
    return s;
}

bool CTachConfig::UpdateEquationFlag(int e) {
    if (e < 0 || e >= kEquations) return false;
    bool any = false;
    for (const TachTerm& t : m_eqn[e]) any = any || (t.m_nChannel & 0x80) != 0;
    if (any)
        m_nEqnFlags = static_cast<uint8_t>(m_nEqnFlags | (1 << e));
    else
        m_nEqnFlags = static_cast<uint8_t>(m_nEqnFlags & ~(1 << e));
    return any;
}

long CTachConfig::BytesPerSecond() const {
    long bytes = (m_nSwitchStatus & 0x0F) ? Rate(m_nClockRate, m_nSwitchDivider) : 0;
    for (int i = 0; i < kRpmChannels; ++i)
        if (m_nFreqStatus & (1 << i)) bytes += 2 * Rate(m_nClockRate, m_freq[i].m_nDivider);
    for (int i = 0; i < kAnalogChannels; ++i)
        if (m_lAnalogStatus & (1L << i)) bytes += 2 * Rate(m_nClockRate, m_analog[i].m_nDivider);
    return bytes;
}

std::string CTachConfig::RecordingTimeText(int segments) const {
    const long bytes = BytesPerSecond();
    if (bytes <= 0) return "N/A";
    long memory = 2097184L / (segments > 0 ? segments : 1);
    long seconds = 0;
    bool gps = false;
    for (int i = 0; i < kTimers && !gps; ++i) {
        if ((m_nTimerStatus & (1 << i)) == 0) continue;
        if (m_timer[i].m_nKind == 5) {
            gps = true;
            seconds = (memory - 18) / (bytes + 8);
        } else {
            memory -= 4L * m_timer[i].m_nMaxEvents;
        }
    }
    if (!gps) seconds = memory / bytes;
    if (seconds < 0) seconds = 0;  // the timers' events fill the memory on their own
    std::string s;
    if (seconds >= 3600) s = FormatText("%d Hr, ", static_cast<int>(seconds / 3600));
    seconds %= 3600;
    return s + FormatText("%d Min, ", static_cast<int>(seconds / 60)) +
           FormatText("%d Sec.", static_cast<int>(seconds % 60));
}

}  // namespace orvex
