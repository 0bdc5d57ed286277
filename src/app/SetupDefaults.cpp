#include "app/SetupDefaults.h"

#include <cmath>
#include <cstdlib>

namespace orvex {

namespace {

struct RpmTypeRow {
    const char* name;
    int ppr;
};

// Index = RPM type.
const RpmTypeRow kRpmTypes[] = {
    {"User Defined", 1},
    {"Eight Cylinder", 4},
    {"Six Cylinder", 3},
    {"Four Cylinder", 2},
    {"Twelve Pole Stator", 6},
    {"Six Pole Stator", 3},
    {"Four Pole Stator", 2},
    {"1 Cylinder, 4 Cycle, 1/2PPR", 0},
    {"1 Cylinder, 4 Cycle, 1PPR", 1},
    {"1 Cylinder, 2 Cycle", 1},
    {"Drive Shaft", 1},
    {"Front Wheel", 2},
    {"Rear Wheel", 1},
    {"Clutch", 1},
    {"User Defined", 1},
};
constexpr int kLastRpmType = 14;

bool IsPressureTransducer(int type) {
    return type == 8 || type == 133;
}

// Resolution factor taken from the span of the calibration range.
int ResolutionFromSpan(const CAnalogSetup& s) {
    float span = std::fabs(s.m_fMax - s.m_fMin);
    if (span < 10.0f && !IsPressureTransducer(s.m_nType)) return 1000;
    if (span < 100.0f) return 100;
    if (span < 500.0f) return 10;
    return 1;
}

int Resolution(const CAnalogSetup& s) {
    switch (s.m_nType) {
        case 0:
        case 1:
        case 2:
        case 136:
        case 137:
            return 1;
        case 3:
        case 4:
        case 7:
        case 131:
        case 135:
            return 100;
        case 6:
        case 132:
            return 10;
        case 130:
            return 1000;
        case 134:
            return s.m_nChannel == 20 ? 10 : 100;
        case 5:
        case 8:
        case 129:
        case 133:
            return ResolutionFromSpan(s);
        default:
            return s.m_nResolution > 0 ? s.m_nResolution : 1;
    }
}

// Minimum or maximum in display units (°C and cm when metric for the types held in °F and in).
float Display(const CAnalogSetup& s, float held, Units units) {
    if (units != Units::Metric) return held;
    switch (s.m_nType) {
        case 1:
        case 2:
        case 136:
        case 137:
            return (held - 32.0f) * 5.0f / 9.0f;
        case 130:
            return held * 2.54f;
        default:
            return held;
    }
}

}  // namespace

std::string RpmTypeDescription(int type) {
    if (type >= 1 && type <= 9) return "Engine";
    if (type < 0 || type > kLastRpmType) return "User Defined";
    return kRpmTypes[type].name;
}

int RpmTypeDefaultPpr(int type) {
    return (type < 0 || type > kLastRpmType) ? 1 : kRpmTypes[type].ppr;
}

int RpmTypeDefaultDisplay(int type) {
    switch (type) {
        case 10:
            return 3;
        case 11:
        case 12:
            return 2;
        case 13:
            return 4;
        default:
            return 1;
    }
}

int EngineRpmType(int cylinders, int strokes) {
    if (cylinders <= 1) return strokes <= 2 ? 9 : 8;
    if (cylinders <= 4) return 3;  // two and three cylinders: the nearest pulse count
    if (cylinders <= 6) return 2;
    return 1;
}

CFreqSetup NewRpmSetup(int channel, int type, Units units) {
    CFreqSetup s;
    s.m_nChannel = channel;
    s.m_nRpmType = type;
    s.m_strDescription = RpmTypeDescription(type);
    s.m_nPPR = RpmTypeDefaultPpr(type);
    s.m_nDisplayMode = RpmTypeDefaultDisplay(type);
    s.m_fDiameter = units == Units::Metric ? 2.54f : 1.0f;
    s.m_fCircumference = s.m_fDiameter * 3.14f;
    return s;
}

CAnalogSetup NewAnalogSetup(int channel, int type) {
    CAnalogSetup s;
    s.m_nChannel = channel;
    s.m_nType = type;
    s.m_nInvert = IsPressureTransducer(type) ? 1 : 0;
    s.m_nFamily = type < 128 ? 1 : 0;
    return s;
}

void UpdateAnalogDerived(CAnalogSetup& s, Units units) {
    s.m_nResolution = Resolution(s);
    float bottom = Display(s, s.m_fMin, units);
    float top = Display(s, s.m_fMax, units);
    if (s.m_nInvert != 0 && !IsPressureTransducer(s.m_nType)) std::swap(bottom, top);
    float r = static_cast<float>(s.m_nResolution);
    s.m_fGraphBottom = std::floor(r * bottom) / r;
    s.m_fGraphTop = std::ceil(r * top) / r;
}

void UpdateDigitalBand(CDigitalSetup& s) {
    switch (s.m_nBand) {
        case 1:
            s.m_fBandLow = 0.0f, s.m_fBandHigh = 1.0f;
            break;
        case 3:
            s.m_fBandLow = 0.05f, s.m_fBandHigh = 0.45f;
            break;
        case 4:
            s.m_fBandLow = 0.55f, s.m_fBandHigh = 0.95f;
            break;
        default:
            s.m_fBandLow = 0.1f, s.m_fBandHigh = 0.9f;
            break;
    }
    if (s.m_nType == 4) std::swap(s.m_fBandLow, s.m_fBandHigh);
}

}  // namespace orvex
