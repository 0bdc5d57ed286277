// The demonstration car of the live-data sheet: a 20 second loop of four gears flat out,
// braking and a corner, turned into the raw counts a logger would report for each channel.
#include "logger/live/LiveDataDemo.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "logger/live/LiveData.h"

namespace orvex {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGear[4] = {2.6, 1.9, 1.45, 1.15};
constexpr double kRearEnd = 4.0;

// What the car is doing at one moment.
struct CarState {
    double rpm = 0;           // engine
    double gear = 1;          // gear ratio
    double throttle = 0;      // 0..1
    double brake = 0;         // 0..1
    double lateral = 0;       // g, right positive
    double longitudinal = 0;  // g, forward positive
    double vertical = 1;      // g
};

CarState StateAt(double t) {
    CarState s;
    const double p = std::fmod(std::max(t, 0.0), 20.0);
    if (p < 14.0) {
        const int gear = std::min(static_cast<int>(p / 3.5), 3);
        const double f = std::fmod(p, 3.5) / 3.5;
        s.rpm = 4200.0 + 3300.0 * f;
        s.gear = kGear[gear];
        s.throttle = f < 0.06 ? 0.15 : 1.0;
        s.longitudinal = f < 0.06 ? -0.1 : 0.55 * (1.0 - gear / 4.0) + 0.05;
        s.lateral = 0.1 * std::sin(2 * kPi * p / 7.0);
    } else if (p < 17.0) {
        const double f = (p - 14.0) / 3.0;
        s.rpm = 7500.0 - 3500.0 * f;
        s.gear = kGear[3];
        s.brake = 1.0;
        s.longitudinal = -1.1 * std::sin(kPi * std::min(f * 1.2, 1.0));
    } else {
        const double f = (p - 17.0) / 3.0;
        s.rpm = 4000.0 + 800.0 * f;
        s.gear = kGear[1];
        s.throttle = 0.3 + 0.5 * f;
        s.lateral = 1.2 * std::sin(kPi * f);
        s.longitudinal = 0.1 * f;
    }
    s.vertical = 1.0 + 0.08 * std::sin(2 * kPi * 2.3 * t) + 0.04 * std::sin(2 * kPi * 5.1 * t);
    return s;
}

double ShaftRpm(const CFreqSetup& setup, const CarState& s) {
    if (setup.IsEngine() || setup.m_nRpmType == kRpmClutch) return s.rpm;
    if (setup.m_nRpmType == kRpmDriveShaft) return s.rpm / s.gear;
    return s.rpm / (s.gear * kRearEnd);
}

uint16_t PeriodCounts(const CFreqSetup& setup, float clock, double rpm) {
    const double ppr = std::max(setup.m_nPPR, 1);
    const double counts = clock * 60.0 / (std::max(rpm, 1.0) * ppr);
    return static_cast<uint16_t>(std::clamp(counts, 1.0, 65533.0));
}

// The raw count at which `setup` shows `value` (display units).
double RawFor(const CAnalogSetup& setup, double value, Units units, float voltageCorrection) {
    const double full = setup.FullScale();
    const double mn = setup.GetMinimum(units), mx = setup.GetMaximum(units);
    double x = full / 2;
    switch (setup.m_nType) {
        case kAnalog2Pressure:
            if (mx <= 0) break;
            switch (setup.m_nInvert) {
                case 1:
                    x = value * 0.8 * full / mx + full / 10.0;
                    break;
                case 2:
                    x = value * 0.8 * full / mx + full / 5.0;
                    break;
                case 3:
                    x = value * full / mx;
                    break;
                default:
                    x = value;
                    break;
            }
            break;
        default: {
            if (mx == mn) break;
            double off = setup.GetOffset(units);
            if (setup.m_nType == kAnalog2Egt || setup.m_nType == kAnalog2Cht) off = 0;
            if (setup.m_nType == kAnalog2Voltage && setup.m_nChannel == kVoltageChannel)
                off = voltageCorrection;
            x = (value + off - mn) / (mx - mn) * full;
            if (setup.m_nInvert && setup.m_nType != kAnalog2Voltage &&
                setup.m_nType != kAnalog2Egt && setup.m_nType != kAnalog2Cht)
                x = full - x;
            break;
        }
    }
    return std::clamp(x, 0.0, full);
}

// The value a channel shows in the demonstration (display units).
double AnalogValue(const CAnalogSetup& setup, const CarState& s, double t, Units units) {
    const double mn = setup.GetMinimum(units), mx = setup.GetMaximum(units);
    const double ch = setup.m_nChannel;
    const double load = std::clamp((s.rpm - 3000.0) / 4500.0, 0.0, 1.0);
    const auto within = [&](double f) { return mn + (mx - mn) * std::clamp(f, 0.0, 1.0); };
    const std::string& name = setup.m_strDescription;
    switch (setup.m_nType) {
        case kAnalog2Shock: {
            // Corners 1..4 as LF, RF, LR, RR: the front dives under braking, the rear squats
            // under power, the outside of a corner compresses.
            const int corner = (setup.m_nChannel - 1) % 4;
            const bool front = corner < 2, left = corner % 2 == 0;
            double f = 0.45 + 0.06 * std::sin(2 * kPi * 1.7 * t + ch) +
                       0.03 * std::sin(2 * kPi * 4.3 * t + 2 * ch);
            f += front ? 0.12 * (-s.longitudinal) : 0.1 * s.longitudinal;
            f += (left ? 0.1 : -0.1) * s.lateral;
            return within(f);
        }
        case kAnalog2Pressure: {
            const double f = name.find("Fuel") != std::string::npos
                                 ? 0.45 + 0.01 * std::sin(3 * t)
                                 : 0.3 + 0.35 * load + 0.01 * std::sin(7 * t + ch);
            return mx * f;
        }
        case kAnalog2Throttle:
            return within(s.throttle);
        case kAnalog2Steering:
            return within(0.5 + 0.25 * s.lateral / 1.2);
        case kAnalog2Accel:
            if (name.find("UP") != std::string::npos) return s.vertical;
            if (name.find("LEFT") != std::string::npos || name.find("LAT") != std::string::npos)
                return s.lateral;
            return s.longitudinal;
        case kAnalog2Egt:
        case kAnalog2Cht:
            return within(0.45 + 0.2 * load + 0.03 * std::sin(0.7 * t + ch));
        case kAnalog2Voltage:
            return 13.9 + 0.15 * std::sin(0.5 * t) - 0.3 * s.brake;
        default:
            return within(0.5 + 0.3 * std::sin(0.2 * t + ch));
    }
}

void Word(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
}

}  // namespace

std::vector<uint8_t> LiveDemoReply(const CLivePropertyPage& page, const CCarSetup& car, float clock,
                                   double t, Units units, float voltageCorrection) {
    const CarState s = StateAt(t);
    std::vector<uint8_t> out;
    for (const LiveGauge& g : page.Gauges()) {
        switch (page.Kind()) {
            case LivePageKind::RpmMph:
            case LivePageKind::RpmSensors: {
                const CFreqSetup* setup = car.FindRpmSetup(g.m_nChannel);
                const double rpm = setup ? ShaftRpm(*setup, s) : s.rpm;
                if (page.Kind() == LivePageKind::RpmMph) {
                    Word(out, setup ? PeriodCounts(*setup, clock, rpm) : 0u);
                } else {
                    // The sensor light flickers faster as the shaft turns faster.
                    out.push_back(static_cast<uint8_t>(static_cast<long>(t * rpm / 600.0) & 1));
                }
                break;
            }
            case LivePageKind::Switches:
                if (g.m_nChannel >= 5) {
                    // A timer fires every five seconds and holds its state for half a second.
                    const long lap = static_cast<long>(t / 5.0);
                    const bool fired = std::fmod(t, 5.0) < 0.5 && lap > 0;
                    const double seconds =
                        (g.m_nChannel == 5 ? 62.0 : 4.5) + 0.8 * std::sin(static_cast<double>(lap));
                    const auto ticks = static_cast<uint32_t>(seconds * clock);
                    out.push_back(fired ? static_cast<uint8_t>(1 + (lap & 1)) : uint8_t{0});
                    for (int i = 0; i < 4; ++i)
                        out.push_back(static_cast<uint8_t>(ticks >> (8 * i) & 0xFF));
                } else {
                    const bool on = g.m_nChannel == 1 ? s.brake > 0
                                                      : std::fmod(t + 3.0 * g.m_nChannel, 10.0) < 3;
                    out.push_back(on ? 1 : 0);
                }
                break;
            default: {
                const CAnalogSetup* setup = car.FindAnalogSetup(g.m_nChannel);
                const double raw = setup ? RawFor(*setup, AnalogValue(*setup, s, t, units), units,
                                                  voltageCorrection)
                                         : 2048.0;
                Word(out, static_cast<unsigned>(std::lround(raw)));
                break;
            }
        }
    }
    return out;
}

CCarSetup LiveDemoCarSetup(Units units) {
    CCarSetup car;
    car.m_rpm = {
        CFreqSetup::Make(1, kRpmEightCylinder, units), CFreqSetup::Make(2, kRpmDriveShaft, units),
        CFreqSetup::Make(3, kRpmFrontWheel, units), CFreqSetup::Make(4, kRpmRearWheel, units)};
    const auto analog = [&](int channel, int32_t code, const char* name) {
        CAnalogSetup s;
        s.m_nChannel = channel;
        s.ChooseType(code);
        s.m_strDescription = name;
        car.m_analog.push_back(s);
    };
    analog(1, kAnalog2Shock, "Shock-LF");
    analog(2, kAnalog2Shock, "Shock-RF");
    analog(3, kAnalog2Shock, "Shock-LR");
    analog(4, kAnalog2Shock, "Shock-RR");
    analog(5, kAnalog2Pressure, "Oil Pressure");
    analog(6, kAnalog2Pressure, "Fuel Pressure");
    analog(7, kAnalog2Throttle, "Throttle");
    analog(8, kAnalog2Steering, "Steering");
    for (int i = 1; i <= 4; ++i) analog(8 + i, kAnalog2Egt, ("EGT #" + std::to_string(i)).c_str());
    analog(17, kAnalog2Accel, "LEFT-RIGHT");
    analog(18, kAnalog2Accel, "FWD-BACK");
    analog(19, kAnalog2Accel, "UP-DOWN");
    analog(20, kAnalog2Voltage, "Battery");
    const auto digital = [&](int channel, int32_t type, const char* name) {
        CDigitalSetup s;
        s.m_nChannel = channel;
        s.m_nType = type;
        s.m_strDescription = name;
        s.ApplyTypeDefaults();
        car.m_digital.push_back(s);
    };
    digital(1, kDigitalSwitch, "Brake");
    digital(2, kDigitalSwitch, "Trans-Brake");
    digital(5, kDigitalLapTimer, "Lap");
    digital(6, kDigitalEventTimer, "Event");
    return car;
}

void AddLiveDemoSetups(CCarSetup& car, Units units) {
    const CCarSetup demo = LiveDemoCarSetup(units);
    for (const CFreqSetup& s : demo.m_rpm)
        if (!car.FindRpmSetup(s.m_nChannel)) car.MergeRpmSetups({s});
    for (const CAnalogSetup& s : demo.m_analog)
        if (!car.FindAnalogSetup(s.m_nChannel)) car.MergeAnalogSetups({s});
    for (const CDigitalSetup& s : demo.m_digital)
        if (!car.FindDigitalSetup(s.m_nChannel)) car.MergeDigitalSetups({s});
}

void CopyLiveSetupsBack(const CCarSetup& scratch, CCarSetup& defaults, bool demo) {
    if (!demo) {
        defaults = scratch;
        return;
    }
    for (CFreqSetup& s : defaults.m_rpm)
        if (const CFreqSetup* w = scratch.FindRpmSetup(s.m_nChannel)) s = *w;
    for (CAnalogSetup& s : defaults.m_analog)
        if (const CAnalogSetup* w = scratch.FindAnalogSetup(s.m_nChannel)) s = *w;
    for (CDigitalSetup& s : defaults.m_digital)
        if (const CDigitalSetup* w = scratch.FindDigitalSetup(s.m_nChannel)) s = *w;
}

}  // namespace orvex
