// Type tables of the channel setups, short labels, types from descriptions and the
// validation texts of the setup dialogs.
#include <cctype>
#include <cmath>

#include "host/FormatText.h"
#include "model/ChannelSetups.h"

namespace orvex {

namespace {

constexpr AnalogTypeInfo kAnalogTypes[] = {
    {kAnalogNone, "", "", 0.0f, 1.0f, 1, -1},
    {kAnalogEgt, "Exhaust Gas Temperature", nullptr, 32.0f, 1688.0f, 1, 0},
    {kAnalogCht, "Cylinder Head Temperature", nullptr, 32.0f, 600.0f, 1, 0},
    {kAnalogVolts5, "0 to 5 Volts", "Voltage", 0.0f, 5.0f, 100, 0},
    {kAnalogVolts16, "0 to 16 Volts", "Voltage", 0.0f, 16.0f, 100, 0},
    {kAnalogCustom, "Customer Defined", "", 0.0f, 100.0f, 0, -1},
    {kAnalogVdo, "VDO Pressure Transducer", "Pressure", 0.0f, 80.0f, 10, 0},
    {kAnalogAccel, "Accelerometer", "G's", -5.0f, 5.0f, 100, -1},
    {kAnalogPressure, "Pressure Transducer", "Pressure", 0.0f, 100.0f, 0, 1},
    {kAnalog2Custom, "Customer Defined", "", 0.0f, 100.0f, 0, -1},
    {kAnalog2Shock, "Shock Travel", "Position", -4.0f, 4.0f, 1000, -1},
    {kAnalog2Steering, "Steering Position", "Angle", -180.0f, 180.0f, 100, -1},
    {kAnalog2Throttle, "Throttle Position", "Percentage", 0.0f, 100.0f, 10, -1},
    {kAnalog2Pressure, "Pressure Transducer", "Pressure", 0.0f, 100.0f, 0, 1},
    {kAnalog2Voltage, "Voltage", "Voltage", 0.0f, 5.0f, 100, 0},
    {kAnalog2Accel, "Accelerometer", "G's", -5.0f, 5.0f, 100, -1},
    {kAnalog2Egt, "Exhaust Gas Temperature", nullptr, 32.0f, 2085.0f, 1, 0},
    {kAnalog2Cht, "Cylinder Head Temperature", nullptr, 32.0f, 2085.0f, 1, 0},
};

struct RpmTypeInfo {
    const char* name;
    int32_t ppr;
};

constexpr RpmTypeInfo kRpmTypes[] = {
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

struct NamedCode {
    const char* name;
    int32_t code;
};

constexpr NamedCode kAnalogNames[] = {
    {"Generic", 129},          {"Shock-LF", 130},       {"Shock-RF", 130},
    {"Shock-LR", 130},         {"Shock-RR", 130},       {"Steering", 131},
    {"Throttle", 132},         {"Brake Pressure", 133}, {"Oil Pressure", 133},
    {"Fuel Pressure", 133},    {"Voltage", 134},        {"Left-Right Accel", 135},
    {"Front-Rear Accel", 135}, {"Up-Down Accel", 135},  {"EGT Cyl #1", 136},
    {"EGT Cyl #2", 136},       {"EGT Cyl #3", 136},     {"EGT Cyl #4", 136},
    {"EGT Cyl #5", 136},       {"EGT Cyl #6", 136},     {"EGT Cyl #7", 136},
    {"EGT Cyl #8", 136},       {"CHT #1", 137},         {"CHT #2", 137},
    {"Battery Voltage", 134},
};

constexpr NamedCode kSwitchNames[] = {
    {"Generic", 1}, {"Throttle", 4}, {"Brake", 4}, {"Pressure", 4}};
constexpr NamedCode kTimerNames[] = {{"Generic", 1},
                                     {"Lap Timer", 2},
                                     {"Trans-Brake", 3},
                                     {"Throttle Stop", 3},
                                     {"GPS Receiver", 5}};

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Leading and trailing blanks removed.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string CapitalizeWords(std::string_view s) {
    std::string out(s);
    bool wordStart = true;
    for (char& c : out) {
        if (IsBlank(c)) {
            wordStart = true;
        } else {
            if (wordStart) c = Upper(c);
            wordStart = false;
        }
    }
    return out;
}

}  // namespace

// --- Analog ----------------------------------------------------------------------------------

const AnalogTypeInfo* FindAnalogType(int32_t code) {
    for (const AnalogTypeInfo& info : kAnalogTypes)
        if (info.code == code) return &info;
    return nullptr;
}

std::string AnalogTypeName(int32_t code) {
    const AnalogTypeInfo* info = FindAnalogType(code);
    return info ? info->name : "";
}

int32_t ResolutionBySpan(int32_t code, float min, float max) {
    const double span = std::fabs(static_cast<double>(max) - static_cast<double>(min));
    const bool pressure = code == kAnalogPressure || code == kAnalog2Pressure;
    if (!pressure && span < 10.0) return 1000;
    if (span < 100.0) return 100;
    if (span < 500.0) return 10;
    return 1;
}

std::vector<int32_t> AnalogTypeChoices(int32_t family, int32_t channel) {
    std::vector<int32_t> codes;
    if (family != 0) {
        for (int32_t c = kAnalogEgt; c <= kAnalogPressure; ++c) codes.push_back(c);
    } else if (channel >= 17 && channel <= 19) {
        codes.push_back(kAnalog2Accel);
    } else if (channel == kVoltageChannel) {
        codes.push_back(kAnalog2Voltage);
    } else {
        for (int32_t c = kAnalog2Custom; c <= kAnalog2Cht; ++c) codes.push_back(c);
    }
    return codes;
}

int32_t AnalogCodeForLoggerType(int32_t loggerType, int32_t family) {
    if (family != 0) {
        switch (loggerType) {
            case 1:
                return kAnalogEgt;
            case 2:
                return kAnalogCht;
            case 3:
                return kAnalogVolts5;
            case 4:
                return kAnalogVdo;
            case 5:
                return kAnalogAccel;
            case 6:
            case 7:
            case 8:
                return kAnalogCustom;
            default:
                return 0;
        }
    }
    static constexpr int32_t kSecond[] = {kAnalog2Egt,      kAnalog2Cht,     kAnalog2Voltage,
                                          kAnalog2Pressure, kAnalog2Accel,   kAnalog2Shock,
                                          kAnalog2Steering, kAnalog2Throttle};
    return (loggerType >= 1 && loggerType <= 8) ? kSecond[loggerType - 1] : 0;
}

// --- Digital ---------------------------------------------------------------------------------

std::string DigitalTypeName(int32_t code) {
    switch (code) {
        case kDigitalGeneric:
        case kDigitalGps:
            return "Generic";
        case kDigitalLapTimer:
            return "Lap Timer";
        case kDigitalEventTimer:
            return "Event Timer";
        case kDigitalSwitch:
            return "On/Off Switch";
        default:
            return "";
    }
}

const std::vector<DigitalKind>& DigitalKinds(int32_t channel) {
    static const std::vector<DigitalKind> kSwitchKinds = {
        {"Generic", 1}, {"Throttle Switch", 4}, {"Brake Switch", 4}, {"Pressure Switch", 4}};
    static const std::vector<DigitalKind> kTimerKinds = {{"Generic", 1},
                                                         {"Lap Timer", 2},
                                                         {"Trans-Brake Timer", 3},
                                                         {"Throttle Stop Timer", 3},
                                                         {"GPS Receiver", 5}};
    return channel <= 4 ? kSwitchKinds : kTimerKinds;
}

// --- RPM -------------------------------------------------------------------------------------

std::string RpmTypeName(int32_t type) {
    if (type < 1 || type > kRpmUserDefined) return "";
    return kRpmTypes[type - 1].name;
}

int32_t RpmDefaultPPR(int32_t type) {
    if (type < 1 || type > kRpmUserDefined) return 1;
    return kRpmTypes[type - 1].ppr;
}

int32_t RpmDefaultDisplayMode(int32_t type) {
    switch (type) {
        case kRpmDriveShaft:
            return kDisplayDriveShaft;
        case kRpmFrontWheel:
        case kRpmRearWheel:
            return kDisplayWheel;
        case kRpmClutch:
            return kDisplayClutch;
        default:
            return kDisplayEngine;
    }
}

std::string RpmDefaultDescription(int32_t type) {
    if (type >= 1 && type <= kRpmLastEngine) return "Engine";
    if (type > kRpmLastEngine && type <= kRpmUserDefined) return RpmTypeName(type);
    return "User Defined";
}

int32_t EngineRpmType(int32_t cylinders, int32_t cycle) {
    if (cylinders == 1) {
        if (cycle == 8) return 7;  // "1 Cylinder, 4 Cycle, 1/2PPR"
        return cycle <= 2 ? 9 : 8;
    }
    if (cylinders >= 7 || cylinders <= 0) return kRpmEightCylinder;
    if (cylinders >= 5) return 2;
    return 3;  // two to four cylinders: the nearest pulse count
}

std::vector<RpmDisplayChoice> RpmDisplayChoices(int32_t type, Units units) {
    const std::string speed = units == Units::Metric ? " KPH" : " MPH";
    switch (type) {
        case kRpmDriveShaft:
            return {{kDisplayDriveShaft, "Drive Shaft RPM"},
                    {kDisplayWheel, "Rear Wheel RPM"},
                    {kDisplaySpeed, "Rear Wheel" + speed},
                    {kDisplayEngine, "Engine RPM"}};
        case kRpmFrontWheel:
            return {{kDisplayWheel, "Front Wheel RPM"}, {kDisplaySpeed, "Front Wheel" + speed}};
        case kRpmRearWheel:
            return {{kDisplayWheel, "Rear Wheel RPM"},
                    {kDisplaySpeed, "Rear Wheel" + speed},
                    {kDisplayEngine, "Engine RPM"}};
        case kRpmClutch:
            return {{kDisplayClutch, "Clutch RPM"},
                    {kDisplayDriveShaft, "Drive Shaft RPM"},
                    {kDisplayWheel, "Rear Wheel RPM"},
                    {kDisplaySpeed, "Rear Wheel" + speed}};
        case kRpmUserDefined:
            return {{kDisplayEngine, "RPM"}};
        default:
            if (type >= 0 && type <= kRpmLastEngine)
                return {{kDisplayEngine, "Engine RPM"},
                        {kDisplayDriveShaft, "Drive Shaft RPM"},
                        {kDisplayWheel, "Rear Wheel RPM"},
                        {kDisplaySpeed, "Rear Wheel" + speed}};
            return {};
    }
}

std::string TireSizeCaption(const std::string& caption, Units units) {
    return caption + (units == Units::Metric ? " (cm)" : " (in)");
}

// --- Labels and names from text --------------------------------------------------------------

std::string ShortLabel(std::string_view description) {
    if (description.size() < 13) return CapitalizeWords(description);
    const size_t hyphen = description.find('-');
    if (hyphen == std::string_view::npos) return CapitalizeWords(description.substr(0, 14));
    // "Left-Right Accelerometer" -> "L-R Accelerome": the initials around the hyphen, then
    // the following words cut to 10 characters.
    std::string out(1, Upper(description[0]));
    out += '-';
    if (hyphen + 1 < description.size() && !IsBlank(description[hyphen + 1]))
        out += Upper(description[hyphen + 1]);
    size_t pos = hyphen + 1;
    while (pos < description.size() && !IsBlank(description[pos])) ++pos;
    while (pos < description.size()) {
        while (pos < description.size() && IsBlank(description[pos])) ++pos;
        const size_t start = pos;
        while (pos < description.size() && !IsBlank(description[pos])) ++pos;
        if (pos > start) {
            out += ' ';
            out += CapitalizeWords(description.substr(start, std::min<size_t>(pos - start, 10)));
        }
    }
    return out;
}

int32_t RpmTypeFromDescription(std::string_view description) {
    const std::string_view text = Trim(description);
    for (int32_t type = 1; type <= kRpmUserDefined; ++type)
        if (EqualNoCase(text, kRpmTypes[type - 1].name)) return type;
    return 1;
}

int32_t AnalogTypeFromDescription(std::string_view description, int32_t family) {
    if (family != 0) return kAnalogCustom;
    const std::string_view text = Trim(description);
    for (const NamedCode& n : kAnalogNames)
        if (EqualNoCase(text, n.name)) return n.code;
    return kAnalog2Custom;
}

int32_t DigitalTypeFromDescription(std::string_view description, int32_t channel) {
    const std::string_view text = Trim(description);
    auto match = [&](const auto& names) -> int32_t {
        for (const NamedCode& n : names) {
            const std::string_view name(n.name);
            // The kind's full text ("Throttle Switch") names the same input as its short form.
            if (EqualNoCase(text, name) ||
                (text.size() > name.size() && EqualNoCase(text.substr(0, name.size()), name) &&
                 IsBlank(text[name.size()])))
                return n.code;
        }
        return kDigitalGeneric;
    };
    return channel <= 4 ? match(kSwitchNames) : match(kTimerNames);
}

// --- Validation ------------------------------------------------------------------------------

std::string FormatMessage(const char* format, int value) {
    return FormatText(format, value);
}

std::string FormatMessage(const char* format, const std::string& value) {
    return FormatText(format, value.c_str());
}

std::string ValidateAnalogSetup(const CAnalogSetup& s) {
    if (s.m_strDescription.empty())
        return FormatMessage("No Name specified for Channel #%1d", s.m_nChannel);
    if (s.m_nType == kAnalogCustom && s.m_fMin == s.m_fMax)
        return FormatMessage(
            "ERROR: Channel %d has invalid Custom parameters.\nThe minimum and maximum values "
            "must not match.",
            s.m_nChannel);
    if (s.m_nType == kAnalogVdo && !(s.m_fMax > 0.0f))
        return FormatMessage(
            "ERROR: Channel %d has invalid Maximum Pressure.\nThe maximum values must be greater "
            "than zero(0).",
            s.m_nChannel);
    return "";
}

std::string ValidateDigitalSetup(const CDigitalSetup& s) {
    if (s.m_strDescription.empty())
        return FormatMessage("No Name specified for Channel #%1d", s.m_nChannel);
    return "";
}

std::string ValidateRpmSetup(const CFreqSetup& s) {
    if (s.m_strDescription.empty())
        return FormatMessage("No Name specified for Channel #%1d", s.m_nChannel);
    for (const RpmDisplayChoice& c : RpmDisplayChoices(s.m_nRpmType, Units::Imperial))
        if (c.mode == s.m_nDisplayMode) return "";
    return FormatMessage("Please correct 'Display RPM Data' for %s!", s.m_strDescription);
}

}  // namespace orvex
