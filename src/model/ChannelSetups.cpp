#include "model/ChannelSetups.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace orvex {

namespace {

bool IsTemperature(int32_t code) {
    return code == kAnalogEgt || code == kAnalogCht || code == kAnalog2Egt || code == kAnalog2Cht;
}

bool IsLength(int32_t code) {
    return code == kAnalog2Shock;
}

// Held value (°F or inches) of a minimum or maximum to display units.
double LevelToDisplay(int32_t code, double held, Units units) {
    if (units != Units::Metric) return held;
    if (IsTemperature(code)) return (held - 32.0) * 5.0 / 9.0;
    if (IsLength(code)) return held * 2.54;
    return held;
}

double LevelFromDisplay(int32_t code, double shown, Units units) {
    if (units != Units::Metric) return shown;
    if (IsTemperature(code)) return shown * 9.0 / 5.0 + 32.0;
    if (IsLength(code)) return shown / 2.54;
    return shown;
}

// The offset is a difference, so a temperature offset has no 32° shift.
double OffsetToDisplay(int32_t code, double held, Units units) {
    if (units != Units::Metric) return held;
    if (IsTemperature(code)) return held * 5.0 / 9.0;
    if (IsLength(code)) return held * 2.54;
    return held;
}

double OffsetFromDisplay(int32_t code, double shown, Units units) {
    if (units != Units::Metric) return shown;
    if (IsTemperature(code)) return shown * 9.0 / 5.0;
    if (IsLength(code)) return shown / 2.54;
    return shown;
}

// Truncates toward zero into the int32 range; NaN gives 0.
int32_t TruncToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

}  // namespace

// --- CAnalogSetup ----------------------------------------------------------------------------

void CAnalogSetup::SetMaximum(float value, Units units) {
    m_fMax = static_cast<float>(LevelFromDisplay(m_nType, value, units));
}
void CAnalogSetup::SetMinimum(float value, Units units) {
    m_fMin = static_cast<float>(LevelFromDisplay(m_nType, value, units));
}
void CAnalogSetup::SetOffset(float value, Units units) {
    m_fOffset = static_cast<float>(OffsetFromDisplay(m_nType, value, units));
}
float CAnalogSetup::GetMaximum(Units units) const {
    return static_cast<float>(LevelToDisplay(m_nType, m_fMax, units));
}
float CAnalogSetup::GetMinimum(Units units) const {
    return static_cast<float>(LevelToDisplay(m_nType, m_fMin, units));
}
float CAnalogSetup::GetOffset(Units units) const {
    return static_cast<float>(OffsetToDisplay(m_nType, m_fOffset, units));
}

void CAnalogSetup::SetType(int32_t code) {
    m_nType = code;
    m_nFamily = code < 128 ? 1 : 0;
}

void CAnalogSetup::ChooseType(int32_t code) {
    SetType(code);
    m_fMin = 0.0f;
    m_fMax = 1.0f;
    ApplyTypeDefaults();
}

void CAnalogSetup::ApplyTypeDefaults() {
    const AnalogTypeInfo* info = FindAnalogType(m_nType);
    if (!info) return;
    const bool batteryVoltage = m_nType == kAnalog2Voltage && m_nChannel == kVoltageChannel;
    const bool setRange = RangeUnset();
    if (setRange) {
        m_fMin = info->min;
        m_fMax = batteryVoltage ? 20.0f : info->max;
    }
    ApplyTypeResolution();
    if (info->invert == 0)
        m_nInvert = 0;
    else if (info->invert == 1 && setRange)
        m_nInvert = 1;
}

void CAnalogSetup::ApplyTypeResolution() {
    const AnalogTypeInfo* info = FindAnalogType(m_nType);
    if (!info) return;
    if (m_nType == kAnalog2Voltage && m_nChannel == kVoltageChannel)
        m_nResolution = 10;
    else if (info->resolution != 0)
        m_nResolution = info->resolution;
    else
        m_nResolution = ResolutionBySpan(m_nType, m_fMin, m_fMax);
}

double CAnalogSetup::FullScale() const {
    const int bits = (m_nBits >= 1 && m_nBits <= 31) ? m_nBits : 12;
    return std::ldexp(1.0, bits) - 1.0;
}

int32_t CAnalogSetup::Convert(int32_t raw, Units units, float voltageCorrection) const {
    return CAnalogConversion(*this, units, voltageCorrection)(raw);
}

CAnalogConversion::CAnalogConversion(const CAnalogSetup& setup, Units units,
                                     float voltageCorrection)
    : m_nFamily(setup.m_nFamily),
      m_nType(setup.m_nType),
      m_nInvert(setup.m_nInvert),
      m_bVoltageChannel(setup.m_nChannel == kVoltageChannel),
      m_r(setup.m_nResolution),
      m_mn(setup.GetMinimum(units)),
      m_mx(setup.GetMaximum(units)),
      m_off(setup.GetOffset(units)),
      m_F(setup.m_nFamily == 0 ? setup.FullScale() : 0.0),  // only the second family's scale
      m_correction(voltageCorrection) {}

int32_t CAnalogConversion::operator()(int32_t raw) const {
    const double r = m_r;
    const double a = raw;
    const double mn = m_mn;
    const double mx = m_mx;
    const double off = m_off;
    double v = 0.0;
    if (m_nFamily != 0) {
        switch (m_nType) {
            case kAnalogNone:
                return 0;
            case kAnalogEgt:
            case kAnalogCht:
            case kAnalogVolts5:
            case kAnalogVolts16:
                v = r * (mn + (mx - mn) * a / 100000.0);
                break;
            case kAnalogCustom:
            case kAnalogAccel:
                v = r * (mn + (mx - mn) * a / 100000.0);
                if (m_nInvert) v = -v;
                v -= r * off;
                break;
            case kAnalogVdo: {
                // Resistance of the sender from the divider voltage, 10 to 180 ohm over the
                // pressure range.
                const double q = (a * 0.4472 / 100.0 + 47.826) / (4.7826 - a * 0.0020326 / 100.0);
                v = r * mx * (q - 10.0) / 170.0;
                break;
            }
            case kAnalogPressure:
                switch (m_nInvert) {
                    case 1:
                        v = r * mx * std::max(a - 6553.6, 0.0) / 80000.0;
                        break;
                    case 2:
                        v = r * mx * std::max(a - 13107.2, 0.0) / 80000.0;
                        break;
                    case 3:
                        v = r * mx * std::max(a, 0.0) / 100000.0;
                        break;
                    default:
                        return raw;
                }
                break;
            default:
                return raw;
        }
        return TruncToInt(v);
    }

    const double F = m_F;
    const double x = std::min(a, F);
    switch (m_nType) {
        case kAnalog2Pressure:
            switch (m_nInvert) {
                case 1:
                    v = r * mx * std::max(x - F / 10.0, 0.0) / (0.8 * F);
                    break;
                case 2:
                    v = r * mx * std::max(x - F / 5.0, 0.0) / (0.8 * F);
                    break;
                case 3:
                    v = r * mx * std::max(x, 0.0) / F;
                    break;
                default:
                    return raw;
            }
            break;
        case kAnalog2Voltage:
            v = r * mn + r * (mx - mn) * x / F;
            v -= r * (m_bVoltageChannel ? m_correction : off);
            break;
        case kAnalog2Egt:
        case kAnalog2Cht:
            v = r * mn + r * (mx - mn) * x / F;
            break;
        case kAnalog2Custom:
        case kAnalog2Shock:
        case kAnalog2Steering:
        case kAnalog2Throttle:
        case kAnalog2Accel: {
            const double xp = m_nInvert ? F - x : x;
            v = r * mn + r * (mx - mn) * xp / F - r * off;
            break;
        }
        default:
            return 1;
    }
    return TruncToInt(v);
}

void CAnalogSetup::ComputeGraphRange(Units units, std::optional<DataExtremes> data) {
    const double r = m_nResolution > 0 ? m_nResolution : 1;
    double bottom = GetMinimum(units);
    double top = GetMaximum(units);
    if (m_nScaleMode >= 2 && m_nScaleMode <= 4 && data) {
        bottom = data->lo / r;
        top = data->hi / r;
        const double margin = std::max(10.0 / r, 0.05 * (top - bottom));
        bottom -= margin;
        top += margin;
        const double span = top - bottom;
        if (m_nScaleMode == 4) bottom -= span;
        if (m_nScaleMode == 3) top += span;
    }
    if (m_nInvert != 0 && m_nType != kAnalogPressure && m_nType != kAnalog2Pressure)
        std::swap(bottom, top);
    m_fGraphBottom = static_cast<float>(std::floor(r * bottom) / r);
    m_fGraphTop = static_cast<float>(std::ceil(r * top) / r);
}

std::string CAnalogSetup::ShortLabel() const {
    return orvex::ShortLabel(m_strDescription);
}
std::string CAnalogSetup::TypeName() const {
    return AnalogTypeName(m_nType);
}

std::string CAnalogSetup::UnitsLabel(Units units) const {
    const AnalogTypeInfo* info = FindAnalogType(m_nType);
    if (!info) return "";
    if (info->unitsLabel) return info->unitsLabel;
    return units == Units::Metric ? "Temp(C)" : "Temp(F)";
}

// --- CDigitalSetup ---------------------------------------------------------------------------

void CDigitalSetup::ApplyTypeDefaults() {
    if (m_nType != kDigitalNone && m_fHeightFactor != 1.0f) return;
    m_nBand = (m_nType == kDigitalLapTimer || m_nType == kDigitalEventTimer) ? 1 : 2;
    ApplyBand();
}

void CDigitalSetup::ApplyBand() {
    static constexpr float kBands[4][2] = {
        {0.0f, 1.0f}, {0.1f, 0.9f}, {0.05f, 0.45f}, {0.55f, 0.95f}};
    const int band = (m_nBand >= 1 && m_nBand <= 4) ? m_nBand : 2;
    m_fBandLow = kBands[band - 1][0];
    m_fBandHigh = kBands[band - 1][1];
    // A switch is drawn upside down: off at the top of its band.
    if (m_nType == kDigitalSwitch) std::swap(m_fBandLow, m_fBandHigh);
}

std::string CDigitalSetup::ShortLabel() const {
    return orvex::ShortLabel(m_strDescription);
}

// --- CFreqSetup ------------------------------------------------------------------------------

CFreqSetup CFreqSetup::Make(int32_t channel, int32_t type, Units units) {
    CFreqSetup s;
    s.m_nChannel = channel;
    if (type > 0) {
        s.SetType(type);
    } else {
        s.m_nRpmType = kRpmNone;
        s.m_strDescription = RpmDefaultDescription(kRpmNone);
        s.m_nDisplayMode = RpmDefaultDisplayMode(kRpmNone);
    }
    s.m_fDiameter = units == Units::Metric ? 2.54f : 1.0f;
    s.m_fCircumference = s.m_fDiameter * 3.14f;
    return s;
}

void CFreqSetup::SetType(int32_t type) {
    m_nRpmType = type;
    m_strDescription = RpmDefaultDescription(type);
    m_nDisplayMode = RpmDefaultDisplayMode(type);
    SetDefaultPPR();
}

void CFreqSetup::SetDefaultPPR() {
    if (m_nRpmType >= 1 && m_nRpmType <= kRpmUserDefined) m_nPPR = RpmDefaultPPR(m_nRpmType);
}

void CFreqSetup::CopyFrom(const CFreqSetup& other) {
    const float diameter = m_fDiameter;
    const float circumference = m_fCircumference;
    *this = other;
    if (!other.HasTireSize()) {
        m_fDiameter = diameter;
        m_fCircumference = circumference;
    }
}

bool CFreqSetup::HasTireSize() const {
    return (m_nRpmType == kRpmFrontWheel || m_nRpmType == kRpmRearWheel) && m_fCircumference > 0.0f;
}

std::string CFreqSetup::ShortLabel() const {
    return orvex::ShortLabel(m_strDescription);
}

}  // namespace orvex
