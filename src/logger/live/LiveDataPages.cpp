// The live-data pages: their channels, select commands, reply lengths and what each shows.
#include <algorithm>
#include <cmath>

#include "logger/live/LiveData.h"
#include "model/TimeFormat.h"

namespace orvex {

namespace {

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Adds a raw value to a running mean of `size` values (the first value fills them all).
double RunningMean(std::vector<int32_t>& window, std::size_t size, int32_t raw) {
    if (window.empty()) window.assign(size, raw);
    window.erase(window.begin());
    window.push_back(raw);
    double sum = 0;
    for (int32_t v : window) sum += v;
    return sum / static_cast<double>(window.size());
}

}  // namespace

double LiveRpmValue(const CFreqSetup& setup, float clock, double meanPeriod, Units units) {
    CShaftList shaft;
    shaft.m_fClock = clock;
    shaft.m_nPerLap = setup.m_nPPR;
    shaft.m_bFramed = 1;
    const double rpm = shaft.GetRPM(static_cast<uint32_t>(std::max(meanPeriod, 0.0)), false);
    if (setup.HasTireSize() && setup.m_nDisplayMode == kDisplaySpeed) {
        // Revolutions per hour times the circumference: inches to miles, or cm to km.
        const double perHour = rpm * 60.0 * setup.m_fCircumference;
        return units == Units::Metric ? perHour / 100000.0 : perHour / 63360.0;
    }
    return std::trunc(rpm * 1000.0) / 1000000.0;
}

std::string CLivePropertyPage::Title() const {
    switch (m_kind) {
        case LivePageKind::RpmMph:
            return "RPM/MPH";
        case LivePageKind::RpmSensors:
            return "RPM Sensors";
        case LivePageKind::Shocks:
            return "Shocks";
        case LivePageKind::Pressures:
            return "Pressures";
        case LivePageKind::Accels:
            return "Accels";
        case LivePageKind::Egts:
            return "EGTs";
        case LivePageKind::MiscAnalogs:
            return "Misc. Analogs";
        case LivePageKind::Switches:
            return "Switches and Timers";
    }
    return {};
}

int CLivePropertyPage::Capacity() const {
    switch (m_kind) {
        case LivePageKind::RpmMph:
            return kRpmPerPage;
        case LivePageKind::RpmSensors:
            return kSensorsPerPage;
        case LivePageKind::Shocks:
            return kShocksPerPage;
        case LivePageKind::Pressures:
            return kPressuresPerPage;
        case LivePageKind::Accels:
            return kAccelsPerPage;
        case LivePageKind::Egts:
            return kEgtsPerPage;
        case LivePageKind::MiscAnalogs:
            return kMiscPerPage;
        case LivePageKind::Switches:
            return 6;
    }
    return 0;
}

void CLivePropertyPage::AddChannel(int channel, const std::string& name) {
    LiveGauge g;
    g.m_nChannel = channel;
    g.m_strName = name;
    if (m_kind == LivePageKind::Switches && channel >= 5) g.m_strCaption = "Last Time = 99:99.999";
    // Timers (5, 6) come before the switches, as the logger sends them.
    auto order = [this](int ch) {
        return m_kind == LivePageKind::Switches && ch >= 5 ? ch - 10 : ch;
    };
    auto at = std::find_if(m_gauges.begin(), m_gauges.end(), [&](const LiveGauge& o) {
        return order(o.m_nChannel) > order(channel);
    });
    m_gauges.insert(at, std::move(g));
}

std::size_t CLivePropertyPage::ReplyBytes() const {
    std::size_t n = 0;
    for (const LiveGauge& g : m_gauges) {
        switch (m_kind) {
            case LivePageKind::RpmSensors:
                n += 1;
                break;
            case LivePageKind::Switches:
                n += g.m_nChannel >= 5 ? 5 : 1;
                break;
            default:
                n += 2;
                break;
        }
    }
    return n;
}

std::vector<uint8_t> CLivePropertyPage::SelectCommand(bool selecting) const {
    uint32_t mask = 0, timers = 0;
    for (const LiveGauge& g : m_gauges) {
        if (!selecting) break;
        if (m_kind == LivePageKind::Switches && g.m_nChannel >= 5)
            timers |= 1u << (g.m_nChannel - 5);
        else
            mask |= 1u << (g.m_nChannel - 1);
    }
    const auto b = [](uint32_t v) { return static_cast<uint8_t>(v & 0xFF); };
    switch (m_kind) {
        case LivePageKind::RpmMph:
            return {0xED, b(mask)};
        case LivePageKind::RpmSensors:
            return {0xEA, b(mask)};
        case LivePageKind::Switches:
            return {0xEB, b(timers), 0xEC, b(mask)};
        default:
            return {0xEE, b(mask), b(mask >> 8), b(mask >> 16), b(mask >> 24)};
    }
}

void CLivePropertyPage::TakeReply(const uint8_t* data, std::size_t n, const CBriodashDataset& ds,
                                  Units units, float voltageCorrection) {
    const CCarSetup& car = ds.m_carSetup;
    std::size_t at = 0;
    for (LiveGauge& g : m_gauges) {
        switch (m_kind) {
            case LivePageKind::RpmMph: {
                if (at + 2 > n) return;
                const double mean = RunningMean(g.m_window, 4, Le16(data + at));
                at += 2;
                if (const CFreqSetup* s = car.FindRpmSetup(g.m_nChannel))
                    g.m_fValue = LiveRpmValue(*s, ds.m_fClock, mean, units);
                break;
            }
            case LivePageKind::RpmSensors:
                if (at + 1 > n) return;
                g.m_bIndicator = data[at++] != 0;
                break;
            case LivePageKind::Switches:
                if (g.m_nChannel >= 5) {
                    if (at + 5 > n) return;
                    const int state = data[at];
                    const uint32_t ticks = static_cast<uint32_t>(data[at + 1]) |
                                           static_cast<uint32_t>(data[at + 2]) << 8 |
                                           static_cast<uint32_t>(data[at + 3]) << 16 |
                                           static_cast<uint32_t>(data[at + 4]) << 24;
                    at += 5;
                    if (state != 0 && state != g.m_nLastState && ds.m_fClock > 0) {
                        const double t = std::min(
                            ticks / static_cast<double>(ds.m_fClock) * 10000.0, 2147483646.0);
                        g.m_strCaption =
                            g.m_strName + ": " + FormatTime(static_cast<int32_t>(t), 3);
                    }
                    g.m_nLastState = state;
                    g.m_bIndicator = state != 0;
                } else {
                    if (at + 1 > n) return;
                    const CDigitalSetup* s = car.FindDigitalSetup(g.m_nChannel);
                    g.m_bIndicator = (data[at++] != 0) != (s && s->m_nInvert != 0);
                    g.m_fValue = g.m_bIndicator ? 1.0 : 0.0;
                }
                break;
            default: {
                if (at + 2 > n) return;
                const double mean = RunningMean(g.m_window, 8, Le16(data + at));
                at += 2;
                if (const CAnalogSetup* s = car.FindAnalogSetup(g.m_nChannel)) {
                    const int32_t v =
                        s->Convert(static_cast<int32_t>(mean), units, voltageCorrection);
                    g.m_fValue = v / static_cast<double>(std::max(s->m_nResolution, 1));
                }
                break;
            }
        }
    }
}

}  // namespace orvex
