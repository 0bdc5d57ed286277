// Raw thresholds of equation terms to text and back, for RPM, analog and digital channels.
#include "logger/config/Thresholds.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/FormatText.h"

namespace orvex {

namespace {

constexpr double kMaxPeriod = 65472.0;  // 0xFFC0: the slowest period the logger compares

long IntegerOf(const std::string& text) {
    const long n = std::strtol(text.c_str(), nullptr, 10);
    return std::clamp(n, -1000000000L, 1000000000L);
}

double NumberOf(const std::string& text) {
    const double y = std::strtod(text.c_str(), nullptr);
    return std::isfinite(y) ? y : 0.0;
}

// A computed raw value truncated toward zero and kept in 16 bits.
uint16_t Truncate16(double g) {
    if (std::isnan(g)) return 0;
    g = std::clamp(g, -2147483648.0, 2147483647.0);
    return static_cast<uint16_t>(static_cast<int32_t>(g) & 0xFFFF);
}

double FullScale(const CAnalogSetup& setup) {
    const int bits = std::clamp(setup.m_nBits, 0, 31);
    return static_cast<double>((1UL << bits) - 1);
}

// Pulses per revolution for the conversions; 0 stands for one pulse every second revolution.
double EffectivePPR(const CFreqSetup& setup) {
    return setup.m_nPPR == 0 ? 0.5 : static_cast<double>(setup.m_nPPR);
}

// Period in timer counts for `n` RPM (or MPH/KPH on a speed channel), before any limit.
double RpmPeriod(const CTachConfig& cfg, const CFreqSetup& setup, Units units, long n) {
    const double pca = cfg.m_fPcaClock;
    if (setup.m_nRpmType == 7) return pca * 60.0 / (n * 0.5);
    if (IsSpeedChannel(setup)) {
        double s = static_cast<double>(n);
        if (units == Units::Metric) s /= 0.634;
        return pca / (EffectivePPR(setup) * (63360.0 / setup.m_fCircumference * s / 3600.0));
    }
    return pca * 60.0 / (n * EffectivePPR(setup));
}

std::string AnalogUnitWord(const CAnalogSetup& setup, Units units) {
    switch (setup.m_nType) {
        case 130:
            return "Position";
        case 131:
            return "Angle";
        case 132:
            return "Percentage";
        case 133:
            return "PSI";
        case 134:
            return "Voltage";
        case 135:
            return "G's";
        case 136:
        case 137:
            return units == Units::Metric ? "Temp(C)" : "Temp(F)";
        default:
            return "";
    }
}

EntryKind KindOfGroup(int group) {
    return group == 0 ? EntryKind::Rpm : group == 3 ? EntryKind::Analog : EntryKind::Digital;
}

}  // namespace

std::vector<EquationEntry> EquationEntries(const CTachConfig& cfg, const EquationChannels& ch) {
    std::vector<EquationEntry> entries;
    for (int i = 0; i < 5; ++i) {
        const CFreqSetup* s = ch.m_pFreq[i];
        if (s == nullptr || (cfg.m_nFreqStatus & (1 << i)) == 0) continue;
        EquationEntry e{EntryKind::Rpm, i + 1, s, nullptr, nullptr, {}};
        e.m_strLabel = s->m_strDescription + (IsSpeedChannel(*s) ? " MPH" : " RPM");
        entries.push_back(std::move(e));
    }
    for (int i = 0; i < 20; ++i) {
        const CAnalogSetup* s = ch.m_pAnalog[i];
        if (s == nullptr || (cfg.m_lAnalogStatus & (1L << i)) == 0) continue;
        EquationEntry e{EntryKind::Analog, i + 1, nullptr, s, nullptr, {}};
        e.m_strLabel = s->m_strDescription + " " + AnalogUnitWord(*s, ch.m_units);
        entries.push_back(std::move(e));
    }
    for (int i = 0; i < 6; ++i) {
        const CDigitalSetup* s = ch.m_pDigital[i];
        const bool enabled = i < 4 ? (cfg.m_nSwitchStatus & (1 << i)) != 0
                                   : (cfg.m_nTimerStatus & (1 << (i - 4))) != 0;
        if (s == nullptr || !enabled) continue;
        EquationEntry e{EntryKind::Digital, i + 1, nullptr, nullptr, s, {}};
        e.m_strLabel = s->m_strDescription + (s->m_nType == 2 ? " Time" : " State");
        entries.push_back(std::move(e));
    }
    return entries;
}

int ResolveTermEntry(const std::vector<EquationEntry>& entries, uint8_t& channelByte) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int group = (channelByte >> 5) & 3;
        const EntryKind kind = KindOfGroup(group);
        int first = -1;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].m_kind != kind) continue;
            if (first < 0) first = static_cast<int>(i);
            if (entries[i].m_nChannel == (channelByte & 0x1F) + 1) return static_cast<int>(i);
        }
        if (first >= 0) {
            channelByte =
                static_cast<uint8_t>((channelByte & 0xE0) | (entries[first].m_nChannel - 1));
            return first;
        }
        const int next = group == 0 ? 1 : group == 3 ? 0 : 3;
        channelByte = static_cast<uint8_t>((channelByte & 0x9F) | (next << 5));
    }
    return -1;
}

int OperatorCount(const EquationEntry& entry, Units units) {
    switch (entry.m_kind) {
        case EntryKind::Rpm:
            return 5;
        case EntryKind::Analog: {
            const AnalogRange r = AnalogDisplayRange(*entry.m_pAnalog, units);
            return r.m_fMin < 0 && r.m_fMax > 0 ? 10 : 5;
        }
        case EntryKind::Digital:
            return entry.m_pDigital->m_nType == 2 ? 3 : 1;
    }
    return 1;
}

bool IsInvertedEntry(const EquationEntry& entry) {
    if (entry.m_kind == EntryKind::Rpm) return true;
    if (entry.m_kind == EntryKind::Analog)
        return entry.m_pAnalog->m_nInvert != 0 && entry.m_pAnalog->m_nType != 133;
    return false;
}

int ExchangeOperator(int op) {
    switch (op) {
        case 1:
            return 3;
        case 3:
            return 1;
        case 2:
            return 4;
        case 4:
            return 2;
        default:
            return op;
    }
}

TermDisplay DescribeTerm(const CTachConfig& cfg, const EquationChannels& ch,
                         const std::vector<EquationEntry>& entries, const TachTerm& term) {
    TermDisplay d;
    d.m_nChannel = term.m_nChannel;
    d.m_nEntry = ResolveTermEntry(entries, d.m_nChannel);
    if (d.m_nEntry < 0) {
        // No setup to describe the channel with: name it by group and show the raw value.
        const int group = (term.m_nChannel >> 5) & 3;
        const int number = (term.m_nChannel & 0x1F) + 1;
        d.m_nChannel = term.m_nChannel;
        d.m_strLabel = FormatText(group == 0   ? "RPM #%d"
                                  : group == 3 ? "Analog #%d"
                                               : "Digital #%d",
                                  number);
        d.m_nOperator = term.m_nOperator < 10 ? term.m_nOperator : -1;
        d.m_strValue = FormatText("%u", static_cast<unsigned>(term.m_nValue));
        return d;
    }
    const EquationEntry& e = entries[d.m_nEntry];
    d.m_bValid = true;
    d.m_strLabel = e.m_strLabel;
    const int stored = term.m_nOperator < OperatorCount(e, ch.m_units) ? term.m_nOperator : 0;
    d.m_nOperator = IsInvertedEntry(e) ? ExchangeOperator(stored) : stored;
    switch (e.m_kind) {
        case EntryKind::Rpm:
            d.m_strValue = RpmThresholdText(cfg, *e.m_pFreq, ch.m_units, term.m_nValue);
            break;
        case EntryKind::Analog: {
            d.m_strValue = AnalogThresholdText(*e.m_pAnalog, ch.m_units, ch.m_fVoltageCorrection,
                                               term.m_nValue);
            const auto minus = d.m_strValue.find('-');
            if (d.m_nOperator >= 6 && minus != std::string::npos)
                d.m_strValue = d.m_strValue.substr(minus + 1);
            break;
        }
        case EntryKind::Digital:
            d.m_strValue = DigitalThresholdText(*e.m_pDigital, term.m_nValue);
            break;
    }
    return d;
}

// ---- RPM ----

bool IsSpeedChannel(const CFreqSetup& setup) {
    return (setup.m_nRpmType == 11 || setup.m_nRpmType == 12) && setup.m_nDisplayMode == 0 &&
           setup.m_fCircumference > 0;
}

std::string RpmThresholdText(const CTachConfig& cfg, const CFreqSetup& setup, Units units,
                             uint16_t value) {
    const double b = value == 0 || value > kMaxPeriod ? kMaxPeriod : value;
    const double e = cfg.m_fPcaClock * 60.0 / b;
    const double ppr = setup.m_nPPR;
    double f = setup.m_nPPR == 0 ? 2 * e : e > ppr ? e / ppr : 1;
    if (IsSpeedChannel(setup)) {
        f = setup.m_fCircumference / 63400.0 * (f * 60.0);
        if (units == Units::Metric) f *= 0.634;
    }
    return FormatText("%0.0f", f);
}

uint16_t RpmThreshold(const CTachConfig& cfg, const CFreqSetup& setup, Units units,
                      const std::string& text) {
    double g = RpmPeriod(cfg, setup, units, IntegerOf(text));
    if (std::isnan(g) || g > kMaxPeriod) g = kMaxPeriod;
    return Truncate16(std::max(g, 0.0));
}

bool RpmTextValid(const CTachConfig& cfg, const CFreqSetup& setup, Units units,
                  const std::string& text) {
    const long n = IntegerOf(text);
    switch (setup.m_nRpmType) {
        case 1:
        case 2:
            return n <= 10000;
        case 3:
            return n <= 14000;
        case 4:
        case 5:
        case 6:
            return n <= 12000;
        case 7:
        case 8:
            return n >= 750 && n <= 14000;
        case 9:
            return n >= 750 && n <= 20000;
        default: {
            const double d = std::trunc(RpmPeriod(cfg, setup, units, n));
            return d >= cfg.m_fPcaClock / 1200.0 && d <= 65471.0;
        }
    }
}

std::optional<long> RpmMaximum(const CFreqSetup& setup, Units units) {
    switch (setup.m_nRpmType) {
        case 1:
        case 2:
            return 10000;
        case 3:
        case 7:
        case 8:
            return 14000;
        case 4:
        case 5:
        case 6:
            return 12000;
        case 9:
            return 20000;
        default:
            break;
    }
    if (IsSpeedChannel(setup)) {
        double m = 4320000.0 / setup.m_nPPR * setup.m_fCircumference / 63360.0;
        if (units == Units::Metric) m /= 0.634;
        return static_cast<long>(std::min(m, 300.0));
    }
    if (setup.m_nPPR == 0) return std::nullopt;
    return 72000L / setup.m_nPPR;
}

std::string RpmTipText(const CFreqSetup& setup, Units units) {
    const std::optional<long> max = RpmMaximum(setup, units);
    if (IsSpeedChannel(setup))
        return FormatText("Enter a speed up to %ld", max.value_or(0)) +
               (units == Units::Metric ? " KPH" : " MPH");
    if (!max) return "Enter a RPM";
    return FormatText("Enter a RPM up to %ld", *max);
}

// ---- Analog ----

AnalogRange AnalogDisplayRange(const CAnalogSetup& setup, Units units) {
    AnalogRange r{setup.m_fMin, setup.m_fMax, setup.m_fOffset};
    if (units != Units::Metric) return r;
    switch (setup.m_nType) {
        case 1:
        case 2:
        case 136:
        case 137:
            r.m_fMin = (r.m_fMin - 32.0) * 5.0 / 9.0;
            r.m_fMax = (r.m_fMax - 32.0) * 5.0 / 9.0;
            r.m_fOffset = r.m_fOffset * 5.0 / 9.0;
            break;
        case 130:
            r.m_fMin *= 2.54;
            r.m_fMax *= 2.54;
            r.m_fOffset *= 2.54;
            break;
        default:
            break;
    }
    return r;
}

std::string AnalogThresholdText(const CAnalogSetup& setup, Units units, float voltageCorrection,
                                uint16_t value) {
    const AnalogRange a = AnalogDisplayRange(setup, units);
    const double F = FullScale(setup);
    const double x = std::min(static_cast<double>(value), F);
    const double r = setup.m_nResolution;
    double y = 1.0;
    switch (setup.m_nType) {
        case 133:
            switch (setup.m_nInvert) {
                case 1:
                    y = a.m_fMax * std::max(x - F / 10, 0.0) / (0.8 * F);
                    break;
                case 2:
                    y = a.m_fMax * std::max(x - F / 5, 0.0) / (0.8 * F);
                    break;
                case 3:
                    y = a.m_fMax * x / F;
                    break;
                default:
                    y = x;
                    break;
            }
            break;
        case 134:
            y = a.m_fMin + (a.m_fMax - a.m_fMin) * x / F -
                (setup.m_nChannel == 20 ? voltageCorrection : a.m_fOffset);
            break;
        case 136:
        case 137:
            y = r * a.m_fMin + r * (a.m_fMax - a.m_fMin) * x / F;
            break;
        case 129:
        case 130:
        case 131:
        case 132:
        case 135: {
            const double xi = setup.m_nInvert ? F - x : x;
            y = a.m_fMin + (a.m_fMax - a.m_fMin) * xi / F - a.m_fOffset;
            break;
        }
        default:
            break;
    }
    if (!std::isfinite(y)) y = 0.0;
    switch (setup.m_nResolution) {
        case 1:
            return FormatText("%0.0f", y);
        case 100:
            return FormatText("%0.2f", y);
        case 1000:
            return FormatText("%0.3f", y);
        default:
            return FormatText("%0.1f", y);
    }
}

uint16_t AnalogThreshold(const CAnalogSetup& setup, Units units, float voltageCorrection,
                         const std::string& text) {
    const AnalogRange a = AnalogDisplayRange(setup, units);
    const double F = FullScale(setup);
    const double y = NumberOf(text);
    const double span = a.m_fMax - a.m_fMin;
    double g = y;
    switch (setup.m_nType) {
        case 133:
            switch (setup.m_nInvert) {
                case 1:
                    g = 0.8 * F * y / a.m_fMax + 0.1 * F;
                    break;
                case 2:
                    g = 0.8 * F * y / a.m_fMax + 0.2 * F;
                    break;
                case 3:
                    g = F * y / a.m_fMax;
                    break;
                default:
                    break;
            }
            break;
        case 134: {
            const double z = setup.m_nChannel == 20 ? voltageCorrection + y : y + a.m_fOffset;
            g = F * (z - a.m_fMin) / span;
            break;
        }
        case 136:
        case 137:
            g = F * (y - a.m_fMin) / span;
            break;
        case 129:
        case 130:
        case 131:
        case 132:
        case 135: {
            const double q = F * (y + a.m_fOffset - a.m_fMin) / span;
            g = setup.m_nInvert ? F - q : q;
            break;
        }
        default:
            break;
    }
    return Truncate16(g);
}

int AnalogRangeTest(const CAnalogSetup& setup, Units units, const std::string& text, int op) {
    const AnalogRange a = AnalogDisplayRange(setup, units);
    const double y = NumberOf(text);
    if (op <= 5) return y < a.m_fMin ? -1 : y > a.m_fMax ? 1 : 0;
    const double l1 = std::trunc(std::fabs(a.m_fMin));
    const double l2 = std::trunc(std::fabs(a.m_fMax));
    if (l1 < l2) return y > l1 ? -1 : 0;
    return y > l2 ? 1 : 0;
}

std::string AnalogTipText(const CAnalogSetup& setup, Units units, int op) {
    const AnalogRange a = AnalogDisplayRange(setup, units);
    const int d = setup.m_nResolution == 10     ? 1
                  : setup.m_nResolution == 100  ? 2
                  : setup.m_nResolution == 1000 ? 3
                                                : 0;
    double lo = a.m_fMin - a.m_fOffset;
    double hi = a.m_fMax - a.m_fOffset;
    if (op >= 6) {
        if (a.m_fOffset >= 0)
            lo = -hi;
        else
            hi = -lo;
    }
    const char* what = "a value";
    switch (setup.m_nType) {
        case 130:
            what = "a Position";
            break;
        case 131:
            what = "an Angle";
            lo = std::max(lo, -720.0);
            hi = std::min(hi, 720.0);
            break;
        case 132:
            return "Enter a Percentage between 0% and 100%";
        case 133:
            return FormatText("Enter a Pressure between 0 and %0.*f", d, hi);
        case 134:
            what = "a Voltage";
            break;
        case 135:
            what = "a 'G' value";
            break;
        case 136:
        case 137:
            what = "a Temperature";
            break;
        default:
            break;
    }
    return FormatText("Enter %s between %0.*f and %0.*f", what, d, lo, d, hi);
}

std::string AnalogValuePattern(int resolution) {
    switch (resolution) {
        case 1:
            return "0|[0-9]*|[-][0-9]*";
        case 10:
            return "0|[0-9]*[.]?[0-9]?|-[0-9]*[.]?[0-9]?";
        case 100:
            return "0|[0-9]*[.]?[0-9]{0,2}|-[0-9]*[.]?[0-9]{0,2}";
        default:
            return "0|[0-9]*[.]?[0-9]{0,3}|-[0-9]*[.]?[0-9]{0,3}";
    }
}

// ---- Digital ----

std::string DigitalThresholdText(const CDigitalSetup& setup, uint16_t value) {
    if (setup.m_nType == 2)
        return FormatText("%s%d:%02d.%02d", "", value / 6000, (value / 100) % 60, value % 100);
    const bool on = (value != 0) != (setup.m_nInvert != 0);
    return on ? "On" : "Off";
}

namespace {

// Seconds of a lap time typed as "ss.sss" or "m:ss.sss".
double TimeSeconds(const std::string& text, long* minutes) {
    const auto colon = text.find(':');
    *minutes = colon == std::string::npos ? 0 : IntegerOf(text.substr(0, colon));
    const double seconds = NumberOf(colon == std::string::npos ? text : text.substr(colon + 1));
    return *minutes * 60.0 + seconds;
}

}  // namespace

uint16_t DigitalThreshold(const CDigitalSetup& setup, const std::string& text) {
    if (setup.m_nType == 2) {
        long minutes = 0;
        const double hundredths = std::round(TimeSeconds(text, &minutes) * 100.0);
        return static_cast<uint16_t>(std::clamp(hundredths, 0.0, 65535.0));
    }
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool on = upper.find("ON") != std::string::npos;
    return (on != (setup.m_nInvert != 0)) ? 1 : 0;
}

bool TimeLimitOk(const std::string& text) {
    long minutes = 0;
    const double total = TimeSeconds(text, &minutes);
    return minutes >= 0 && minutes <= 327 && total <= 327.0;
}

// ---- Auto-start duration ----

float AutoStartLimit(int32_t clockRate) {
    if (clockRate <= 0) return 0.0f;
    return 65536.0f / static_cast<float>(clockRate) / 60.0f;
}

double AutoStartMinutes(const CTachConfig& cfg) {
    if (cfg.m_nClockRate <= 0) return 0.0;
    return (cfg.m_nAutoStartTime - 1.0) / cfg.m_nClockRate / 60.0;
}

std::string AutoStartMinutesText(const CTachConfig& cfg) {
    return FormatText("%0.2f", AutoStartMinutes(cfg));
}

std::string AutoStartPattern(int32_t clockRate) {
    const int l = static_cast<int>(AutoStartLimit(clockRate));
    return FormatText("[0-%1d]|[0-%1d]?[.,][0-9]{0,2}", l, l);
}

std::string AutoStartTip(int32_t clockRate) {
    return FormatText("Enter a value (in minutes) up to %0.2f",
                      static_cast<double>(AutoStartLimit(clockRate)));
}

std::optional<uint16_t> AutoStartTimeForMinutes(int32_t clockRate, const std::string& text) {
    std::string t = text;
    std::replace(t.begin(), t.end(), ',', '.');
    const float m = static_cast<float>(NumberOf(t));
    if (clockRate <= 0 || m < 0.0f || !(m < AutoStartLimit(clockRate))) return std::nullopt;
    const float ticks = std::trunc(static_cast<float>(clockRate) * m * 60.0f);
    return static_cast<uint16_t>(std::min(1.0f + ticks, 65535.0f));
}

}  // namespace orvex
