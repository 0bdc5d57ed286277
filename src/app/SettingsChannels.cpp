// Default channel setups in the settings file: the RPM, analog and digital channel sections,
// and the engine, shaft, tire and wheel keys of settings older than V2.8E.
#include <optional>
#include <string>

#include "app/DataAcqApp.h"

namespace orvex {

namespace {

constexpr float kPi = 3.1415926535f;

std::string Numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

bool InvertIsInteger(int analogType) {
    return analogType == 8 || analogType == 133;
}

}  // namespace

CFreqSetup& CDataAcqApp::RpmSetup(int channel, int type) {
    return m_defaultCarSetup.GetOrCreateRpmSetup(channel, type, m_units);
}

// --- Settings older than V2.8E ---

void CDataAcqApp::LoadOldEngine() {
    int cylinders = GetProfileRangedInt("Engine", "Cylinders", 8, 1, 12);
    int strokes = GetProfileRangedInt("Engine", "Strokes", 4, 1, 4);
    int type = EngineRpmType(cylinders, strokes);
    CFreqSetup& engine = RpmSetup(1, type);
    engine.m_nRpmType = type;
    engine.m_nPPR = RpmDefaultPPR(type);
}

void CDataAcqApp::LoadOldShafts() {
    RpmSetup(2, 0);
    RpmSetup(3, 11);
    RpmSetup(4, 13);
    if (GetProfileBool("Settings", "Slippage", false)) RpmSetup(2, 0).m_nSlipPartner = 1;
    if (GetProfileBool("Settings", "WheelSlippage", false)) RpmSetup(3, 11).m_nSlipPartner = 2;
    if (GetProfileBool("Settings", "TransSlippage", false)) RpmSetup(3, 11).m_nSlipPartner = 2;
    RpmSetup(4, 13).m_nSlipPartner = 1;
}

void CDataAcqApp::LoadOldSmoothing() {
    RpmSetup(1, 0).m_nSmoothing = GetProfileSmoothing("Settings", "Tach Smoothing");
    RpmSetup(2, 0).m_nSmoothing = GetProfileSmoothing("Settings", "Axle Smoothing");
    RpmSetup(3, 11).m_nSmoothing = GetProfileSmoothing("Settings", "Wheel Smoothing");
    RpmSetup(4, 13).m_nSmoothing = GetProfileSmoothing("Settings", "Clutch Smoothing");
}

void CDataAcqApp::LoadOldSpeedSensor() {
    CFreqSetup& shaft = RpmSetup(2, 0);
    bool onAxle = GetProfileBool("Speed Sensor", "On Axle", false);
    shaft.m_strDescription = onAxle ? "Drive Shaft" : "Rear Wheel";
    shaft.m_nRpmType = onAxle ? 10 : 12;
    shaft.m_nDisplayMode = GetProfileRangedInt("Speed Sensor", "RPM Display", 1, 0, 4);
}

void CDataAcqApp::LoadOldTires() {
    const float toUnits = m_units == Units::Metric ? 2.54f : 1.0f;
    auto readTire = [&](CFreqSetup& s, const char* section) {
        bool byDiameter = GetProfileBool(section, "By Diameter", false);
        s.m_nTireSizeMode = byDiameter ? 1 : 0;
        if (byDiameter) {
            s.m_fDiameter = GetProfileFloat(section, "Diameter", 1.0f, 0.01f, 999.9f) * toUnits;
            s.m_fCircumference = s.m_fDiameter * kPi;
        } else {
            s.m_fCircumference =
                GetProfileFloat(section, "Circumference", 3.14f, 0.01f, 9999.9f) * toUnits;
            s.m_fDiameter = s.m_fCircumference / kPi;
        }
    };

    RpmSetup(2, 0).m_nPPR = GetProfileRangedInt("Shaft", "PPR", 1, 1, 999);
    // A drive-shaft sensor leaves the tire to a rear-wheel setup on channel 0.
    int tireChannel = RpmSetup(2, 0).m_nRpmType == 12 ? 2 : 0;
    readTire(RpmSetup(tireChannel, 12), "Tire");

    CFreqSetup& wheel = RpmSetup(3, 11);
    wheel.m_nPPR = GetProfileRangedInt("Wheel", "PPR", 1, 1, 999);
    readTire(wheel, "Wheel");
    RpmSetup(4, 13).m_nPPR = GetProfileRangedInt("Clutch", "PPR", 1, 1, 999);
}

// --- RPM channels 0 to 5 ---

void CDataAcqApp::LoadRpmChannels() {
    const float toUnits = m_units == Units::Metric ? 2.54f : 1.0f;
    for (int n = 0; n <= 5; ++n) {
        std::string sec = Numbered("RPM Channel ", n);
        int type = GetProfileRangedInt(sec, "RPM Type", -1, -1, 14);
        if (type == -1) continue;
        CFreqSetup s = CFreqSetup::Make(n, type, m_units);
        s.m_strDescription = GetProfileString(sec, "Description", "<none>");
        s.m_nSmoothing = GetProfileSmoothing(sec, "Smoothing");
        s.m_nSlipPartner = GetProfileRangedInt(sec, "Slip Channel", 0, 0, 5);
        s.m_nDisplayMode =
            GetProfileRangedInt(sec, "Display Mode", RpmDefaultDisplayMode(type), 0, 4);
        if (type >= 10) s.m_nPPR = GetProfileRangedInt(sec, "PPR", 1, 1, 999);
        bool byDiameter = GetProfileBool(sec, "Tire By Diameter", false);
        s.m_nTireSizeMode = byDiameter ? 1 : 0;
        if (byDiameter) {
            s.m_fDiameter = GetProfileFloat(sec, "Tire Diameter", 1.0f, 1.0f, 999.9f) * toUnits;
            s.m_fCircumference = s.m_fDiameter * kPi;
        } else {
            s.m_fCircumference =
                GetProfileFloat(sec, "Tire Circumference", 3.14f, 0.01f, 999.9f) * toUnits;
            s.m_fDiameter = s.m_fCircumference / kPi;
        }
        m_defaultCarSetup.MergeRpmSetups({s});
    }
}

void CDataAcqApp::SaveRpmChannels() {
    const float toInches = m_units == Units::Metric ? 2.54f : 1.0f;
    for (int n = 0; n <= 5; ++n) {
        std::string sec = Numbered("RPM Channel ", n);
        const CFreqSetup* s = m_defaultCarSetup.FindRpmSetup(n);
        if (!s) {
            WriteProfileInt(sec, "RPM Type", -1);
            continue;
        }
        WriteProfileInt(sec, "RPM Type", s->m_nRpmType);
        WriteProfileString(sec, "Description", s->m_strDescription);
        WriteProfileSmoothing(sec, "Smoothing", s->m_nSmoothing);
        WriteProfileInt(sec, "Slip Channel", s->m_nSlipPartner);
        WriteProfileInt(sec, "Display Mode", s->m_nDisplayMode);
        WriteProfileInt(sec, "PPR", s->m_nPPR);
        WriteProfileBool(sec, "Tire By Diameter", s->m_nTireSizeMode != 0);
        if (s->m_nTireSizeMode != 0)
            WriteProfileRatio(sec, "Tire Diameter", s->m_fDiameter / toInches);
        else
            WriteProfileRatio(sec, "Tire Circumference", s->m_fCircumference / toInches);
    }
}

// --- Analog channels 1 to 20 ---

void CDataAcqApp::LoadAnalogChannels() {
    m_fAnalog20Offset = -1.0f;
    for (int n = 1; n <= 20; ++n) {
        std::string sec = Numbered("Channel ", n);
        int type = GetProfileRangedInt(sec, "Analog Type", -1, -1, 137);
        if (type == -1) continue;
        CAnalogSetup s;
        s.m_nChannel = n;
        s.SetType(type);
        // A new pressure transducer starts in sender mode 1, any other type not inverted.
        const int newInvert = InvertIsInteger(type) ? 1 : 0;
        s.m_strDescription = GetProfileString(sec, "Description", "<none>");
        s.m_nSmoothing = GetProfileSmoothing(sec, "Smoothing");
        s.m_nScaleMode = static_cast<int16_t>(GetProfileRangedInt(sec, "Display Mode", 1, 1, 4));
        if (InvertIsInteger(type)) {
            s.m_nInvert = GetProfileRangedInt(sec, "Invert Channel", 1, 0, 3);
            if (s.m_nInvert == 0) s.m_nInvert = 1;
            s.m_nAltInvert = GetProfileRangedInt(sec, "Alt Invert Channel", newInvert, 0, 3);
        } else {
            s.m_nInvert = GetProfileBool(sec, "Invert Channel", false) ? 1 : 0;
            s.m_nAltInvert = GetProfileBool(sec, "Alt Invert Channel", newInvert != 0) ? 1 : 0;
        }
        s.m_fMin = GetProfileFloat(sec, "Min Value", 0.0f, -500000.0f, 500000.0f);
        s.m_fMax = GetProfileFloat(sec, "Max Value", 1.0f, -500000.0f, 500000.0f);
        float offset = GetProfileFloat(sec, "Offset Value", 0.0f, -500000.0f, 500000.0f);
        // Channel 20's correction belongs to the application, not to the setup.
        if (n == 20) {
            m_fAnalog20Offset = offset;
            offset = 0.0f;
        }
        s.m_fOffset = offset;
        s.m_fAltMin = GetProfileFloat(sec, "Alt Min Value", s.m_fMin, -500000.0f, 500000.0f);
        s.m_fAltMax = GetProfileFloat(sec, "Alt Max Value", s.m_fMax, -500000.0f, 500000.0f);
        s.m_fAltOffset = GetProfileFloat(sec, "Alt Offset Value", offset, -500000.0f, 500000.0f);
        s.ApplyTypeResolution();
        s.ComputeGraphRange(m_units, std::nullopt);
        m_defaultCarSetup.MergeAnalogSetups({s});
    }
}

void CDataAcqApp::SaveAnalogChannels() {
    for (int n = 1; n <= 20; ++n) {
        std::string sec = Numbered("Channel ", n);
        const CAnalogSetup* s = m_defaultCarSetup.FindAnalogSetup(n);
        if (!s) {
            WriteProfileInt(sec, "Analog Type", -1);
            continue;
        }
        WriteProfileInt(sec, "Analog Type", s->m_nType);
        WriteProfileString(sec, "Description", s->m_strDescription);
        WriteProfileSmoothing(sec, "Smoothing", s->m_nSmoothing);
        WriteProfileInt(sec, "Display Mode", s->m_nScaleMode);
        if (InvertIsInteger(s->m_nType)) {
            WriteProfileInt(sec, "Invert Channel", s->m_nInvert);
            WriteProfileInt(sec, "Alt Invert Channel", s->m_nAltInvert);
        } else {
            WriteProfileBool(sec, "Invert Channel", s->m_nInvert != 0);
            WriteProfileBool(sec, "Alt Invert Channel", s->m_nAltInvert != 0);
        }
        WriteProfileFloat(sec, "Min Value", s->m_fMin);
        WriteProfileFloat(sec, "Max Value", s->m_fMax);
        WriteProfileFloat(sec, "Offset Value", n == 20 ? m_fAnalog20Offset : s->m_fOffset);
        WriteProfileFloat(sec, "Alt Min Value", s->m_fAltMin);
        WriteProfileFloat(sec, "Alt Max Value", s->m_fAltMax);
        WriteProfileFloat(sec, "Alt Offset Value", s->m_fAltOffset);
    }
}

// --- Digital channels 1 to 6 ---

void CDataAcqApp::LoadDigitalChannels() {
    for (int n = 1; n <= 6; ++n) {
        std::string sec = Numbered("Digital Channel ", n);
        // Type 5 (GPS receiver) is accepted so that such a default survives a restart.
        int type = GetProfileRangedInt(sec, "Digital Type", -1, -1, 5);
        if (type == -1) continue;
        CDigitalSetup s;
        s.m_nChannel = n;
        s.m_nType = type;
        s.m_strDescription = GetProfileString(sec, "Description", "<none>");
        s.m_nBand = static_cast<int16_t>(GetProfileRangedInt(sec, "Display Mode", 2, 1, 4));
        s.m_nInvert = GetProfileBool(sec, "Invert Channel", false) ? 1 : 0;
        s.ApplyBand();
        m_defaultCarSetup.MergeDigitalSetups({s});
    }
}

void CDataAcqApp::SaveDigitalChannels() {
    for (int n = 1; n <= 6; ++n) {
        std::string sec = Numbered("Digital Channel ", n);
        const CDigitalSetup* s = m_defaultCarSetup.FindDigitalSetup(n);
        if (!s) {
            WriteProfileInt(sec, "Digital Type", -1);
            continue;
        }
        WriteProfileInt(sec, "Digital Type", s->m_nType);
        WriteProfileString(sec, "Description", s->m_strDescription);
        WriteProfileInt(sec, "Display Mode", s->m_nBand);
        WriteProfileBool(sec, "Invert Channel", s->m_nInvert != 0);
    }
}

}  // namespace orvex
