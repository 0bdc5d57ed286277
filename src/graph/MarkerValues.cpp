#include "graph/MarkerValues.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "model/ChannelSetups.h"
#include "processing/SpeedDistance.h"
#include "processing/SpikeFilter.h"

namespace orvex {

namespace {

int32_t KeyOf(const CSeriesBase& s, Pos p, bool byDistance) {
    return byDistance ? s.DistanceAt(p) : s.GetSampleTime(p, true);
}

int32_t Lerp(double a, double b, int32_t ka, int32_t kb, int32_t key) {
    if (ka == kb) return static_cast<int32_t>(a);
    double c = (static_cast<double>(key) - ka) / (static_cast<double>(kb) - ka);
    return static_cast<int32_t>(std::trunc(a + (b - a) * c));
}

// A value read at both samples of the bracket around `time`, interpolated in time.
template <class Read>
std::optional<int32_t> InterpolateAt(const CSeriesBase& s, int32_t time, Read read) {
    SampleBracket b = FindBracket(s, time, false);
    if (!b.Inside()) return std::nullopt;
    if (b.Exact()) return read(b.before);
    return Lerp(read(b.before), read(b.after), s.GetSampleTime(b.before, true),
                s.GetSampleTime(b.after, true), time);
}

std::string Printf(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string PrintfLong(const char* format, long v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

bool IsWheel(int32_t type) {
    return type == kRpmFrontWheel || type == kRpmRearWheel;
}

}  // namespace

MarkerConverters MarkerConverters::Defaults(float voltageCorrection) {
    MarkerConverters c;
    c.rpmDisplay = [](const CBriodashDataset& ds, int channel, Pos p, Units units) {
        const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
        const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(channel);
        if (!setup) return s.GetRPMMilli(static_cast<uint32_t>(s.GetSampleValue(p)));
        const int n = std::max<int>(setup->m_nSmoothing, 1);
        const auto period = static_cast<uint32_t>(std::max<int64_t>(SmoothedSumAt(s, p, n) / n, 0));
        return ConvertRPM(ds.m_carSetup, *setup, setup->m_nDisplayMode, s.GetRPMMilli(period),
                          s[p].m_nGear, units);
    };
    c.analog = [voltageCorrection](const CBriodashDataset& ds, int channel, Pos p, Units units) {
        const CSampleList& s = ds.m_analog[static_cast<std::size_t>(channel - 1)];
        const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(channel);
        if (!setup) return s.GetSampleValue(p);
        const int n = std::max<int>(setup->m_nSmoothing, 1);
        const auto raw = static_cast<int32_t>(SmoothedSumAt(s, p, n) / n);
        return AnalogValue(*setup, raw, units, voltageCorrection);
    };
    c.computeSlip = [](CBriodashDataset& ds, int channel, Units units, IHostServices& host) {
        ComputeSlip(ds, channel, true, units, host);
    };
    return c;
}

SampleBracket FindBracket(const CSeriesBase& s, int32_t key, bool byDistance) {
    SampleBracket b;
    Pos lo = s.First(), hi = s.Last();
    if (lo == kNoPos || hi == kNoPos) return b;
    if (key < KeyOf(s, lo, byDistance) || key > KeyOf(s, hi, byDistance)) return b;
    // First sample whose key is not below `key`; the samples are in time (and distance) order.
    Pos first = lo, count = hi - lo + 1;
    while (count > 0) {
        Pos step = count / 2;
        if (KeyOf(s, first + step, byDistance) < key) {
            first += step + 1;
            count -= step + 1;
        } else {
            count = step;
        }
    }
    b.after = first;
    b.before = KeyOf(s, first, byDistance) == key ? first : first - 1;
    return b;
}

const CSeriesBase* DistanceReference(const CBriodashDataset& ds) {
    for (const CShaftList& s : ds.m_rpm)
        if (!s.IsEmpty()) return &s;
    for (const CSampleList& s : ds.m_analog)
        if (!s.IsEmpty()) return &s;
    for (const CSampleList& s : ds.m_digital)
        if (!s.IsEmpty()) return &s;
    return nullptr;
}

bool HasDistance(const CBriodashDataset& ds) {
    return ds.m_nDistanceSource != 0 && DistanceReference(ds) != nullptr;
}

int32_t MarkerDistanceAt(const CBriodashDataset& ds, int32_t time) {
    if (time == kNotSet || !HasDistance(ds)) return kNotSet;
    const CSeriesBase& s = *DistanceReference(ds);
    if (time <= s.GetSampleTime(s.First(), true)) return s.DistanceAt(s.First());
    if (time >= s.GetSampleTime(s.Last(), true)) return s.DistanceAt(s.Last());
    return *InterpolateAt(s, time, [&](Pos p) { return s.DistanceAt(p); });
}

int32_t MarkerTimeAtDistance(const CBriodashDataset& ds, int32_t distance) {
    if (distance == kNotSet || !HasDistance(ds)) return kNotSet;
    const CSeriesBase& s = *DistanceReference(ds);
    if (distance <= s.DistanceAt(s.First())) return s.GetSampleTime(s.First(), true);
    if (distance >= s.DistanceAt(s.Last())) return s.GetSampleTime(s.Last(), true);
    SampleBracket b = FindBracket(s, distance, true);
    if (b.Exact()) return s.GetSampleTime(b.before, true);
    return Lerp(s.GetSampleTime(b.before, true), s.GetSampleTime(b.after, true),
                s.DistanceAt(b.before), s.DistanceAt(b.after), distance);
}

std::optional<int32_t> RpmValueAt(const CBriodashDataset& ds, int channel, int32_t time,
                                  Units units, const MarkerConverters& conv) {
    if (channel < 1 || channel > kRpmChannels || time == kNotSet) return std::nullopt;
    const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    return InterpolateAt(s, time, [&](Pos p) { return conv.rpmDisplay(ds, channel, p, units); });
}

std::optional<int32_t> SlipValueAt(const CBriodashDataset& ds, int channel, int32_t time) {
    if (channel < 1 || channel > kRpmChannels || time == kNotSet) return std::nullopt;
    const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    return InterpolateAt(s, time, [&](Pos p) { return s[p].m_lSlip; });
}

std::optional<int32_t> AnalogValueAt(const CBriodashDataset& ds, int channel, int32_t time,
                                     Units units, const MarkerConverters& conv) {
    if (channel < 1 || channel > kAnalogChannels || time == kNotSet) return std::nullopt;
    const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(channel);
    if (!setup) return std::nullopt;
    const CSampleList& s = ds.m_analog[static_cast<std::size_t>(channel - 1)];
    return InterpolateAt(s, time, [&](Pos p) { return conv.analog(ds, channel, p, units); });
}

std::string DigitalTextAt(const CBriodashDataset& ds, int channel, int32_t time) {
    if (channel < 1 || channel > kDigitalChannels || time == kNotSet) return kNotAvailable;
    const CSampleList& s = ds.m_digital[static_cast<std::size_t>(channel - 1)];
    SampleBracket b = FindBracket(s, time, false);
    if (!b.Inside()) return kNotAvailable;
    bool on = s.GetSampleValue(b.before) != 0;
    if (!b.Exact() && on != (s.GetSampleValue(b.after) != 0)) return "UNK";
    const CDigitalSetup* setup = ds.m_carSetup.FindDigitalSetup(channel);
    if (setup && setup->m_nInvert) on = !on;
    return on ? "On" : "Off";
}

std::string FormatMarkerTime(int32_t t) {
    if (t == kNotSet) return kNotAvailable;
    long long a = std::llabs(static_cast<long long>(t));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%d:%02d.%03d", t < 0 ? "-" : "", static_cast<int>(a / 600000),
                  static_cast<int>((a / 10000) % 60), static_cast<int>((a % 10000) / 10));
    return buf;
}

std::string FormatMarkerDistance(int32_t d, Units units) {
    if (d == kNotSet) return kNotAvailable;
    long v = d;
    if (units == Units::Metric) v = static_cast<long>(std::trunc(static_cast<double>(d) * 0.3048));
    char buf[64];
    if (v > -10 && v < 0)
        std::snprintf(buf, sizeof buf, "-0.%01ld", -v);
    else
        std::snprintf(buf, sizeof buf, "%01ld.%01ld", v / 10, std::labs(v % 10));
    return buf;
}

std::string FormatMarkerRpm(int32_t milliRpm) {
    return PrintfLong("%ld", static_cast<long>(milliRpm / 1000));
}

std::string FormatMarkerSpeed(int32_t speed) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ld.%02ld", static_cast<long>(speed / 100),
                  std::labs(static_cast<long>(speed % 100)));
    return buf;
}

std::string FormatMarkerSlip(int32_t slip) {
    return Printf("%.2f%%", static_cast<double>(slip) / 100000.0 * 100.0);
}

std::string FormatMarkerAnalog(const CAnalogSetup& setup, int32_t value, Units units) {
    const double m = setup.m_nResolution > 0 ? setup.m_nResolution : 1;
    const double q = value / m;
    const auto truncated = static_cast<long>(std::trunc(q));
    const int32_t code = setup.m_nType;
    switch (code) {
        case kAnalogEgt:
        case kAnalogCht:
            return PrintfLong("%ld", truncated);
        case kAnalogVolts5:
        case kAnalogVolts16:
        case kAnalogAccel:
            return Printf(" %.2f", q);
        case kAnalogCustom: {
            const double range = setup.GetMaximum(units) - setup.GetMinimum(units);
            if (range >= 1000) return PrintfLong("%ld", truncated);
            if (range >= 100) return Printf("%.1f", q);
            if (range >= 10) return Printf("%.2f", q);
            return Printf("%.3f", q);
        }
        case kAnalogVdo:
            return Printf("%.2f", q);
        case kAnalogPressure:
            return setup.GetMaximum(units) > 100 ? Printf(" %.1f", q) : Printf("%.2f", q);
        default:
            break;
    }
    if (code >= 0x81 && code <= 0x89) {
        if (m > 100) return Printf("%.3f", q);
        if (m > 10) return Printf("%.2f", q);
        if (m > 1) return Printf("%.1f", q);
        return Printf("%.0f", q);
    }
    return kNotAvailable;
}

std::string FormatMarkerDifference(DifferenceKind kind, const std::string& green,
                                   const std::string& red) {
    if (green.empty() || red.empty() || green[0] == 'N' || red[0] == 'N') return kNotAvailable;
    if (kind == DifferenceKind::Digital) {
        if (green == "On" && red == "Off") return "NEG";
        if (green == "Off" && red == "On") return "POS";
        return "UNK";
    }
    if (green.find('.') == std::string::npos) {
        long diff = std::strtol(red.c_str(), nullptr, 10) - std::strtol(green.c_str(), nullptr, 10);
        return FormatMarkerRpm(static_cast<int32_t>(diff * 1000));
    }
    std::string text =
        Printf("%.2f", std::strtod(red.c_str(), nullptr) - std::strtod(green.c_str(), nullptr));
    if (green.find('%') != std::string::npos) text += "%";
    return text;
}

std::string FormatMarkerTimeDifference(int32_t green, int32_t red) {
    if (green == kNotSet || red == kNotSet) return kNotAvailable;
    int64_t d = static_cast<int64_t>(red) - green;
    if (d >= kNotSet || d < kMinInt32) return kNotAvailable;
    return FormatMarkerTime(static_cast<int32_t>(d));
}

std::string RpmLabelSuffix(const CFreqSetup& setup, Units units) {
    const int32_t type = setup.m_nRpmType;
    const bool metric = units == Units::Metric;
    switch (setup.m_nDisplayMode) {
        case kDisplaySpeed:
            if (IsWheel(type)) return metric ? "-KPH" : "-MPH";
            return metric ? "->W-KPH" : "->W-MPH";
        case kDisplayEngine:
            return (IsWheel(type) || type == kRpmDriveShaft) ? "->E-RPM" : "";
        case kDisplayWheel:
            return IsWheel(type) ? "-RPM" : "->W-RPM";
        case kDisplayDriveShaft:
            return type == kRpmDriveShaft ? "-RPM" : "->DS-RPM";
        default:
            return "";
    }
}

}  // namespace orvex
