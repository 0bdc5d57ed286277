// Setups of an uploaded dataset: RPM types and naming from the logger's descriptions, and the
// application defaults applied once the data is in.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "logger/upload/UploadRun.h"

namespace orvex {

namespace {

std::string RemoveBlanksAfterHash(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out.push_back(text[i]);
        if (text[i] == '#')
            while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
    }
    return out;
}

bool SameText(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct NamedCode {
    const char* name;
    int code;
};

const NamedCode kAnalogKinds[] = {
    {"Generic", 129},          {"Shock-LF", 130},         {"Shock-RF", 130},
    {"Shock-LR", 130},         {"Shock-RR", 130},         {"Steering", 131},
    {"Throttle", 132},         {"Brake Pressure", 133},   {"Oil Pressure", 133},
    {"Fuel Pressure", 133},    {"Voltage", 134},          {"Battery Voltage", 134},
    {"Left-Right Accel", 135}, {"Front-Rear Accel", 135}, {"Up-Down Accel", 135},
    {"EGT Cyl #1", 136},       {"EGT Cyl #2", 136},       {"EGT Cyl #3", 136},
    {"EGT Cyl #4", 136},       {"EGT Cyl #5", 136},       {"EGT Cyl #6", 136},
    {"EGT Cyl #7", 136},       {"EGT Cyl #8", 136},       {"CHT #1", 137},
    {"CHT #2", 137},
};
const NamedCode kSwitchKinds[] = {{"Generic", 1}, {"Throttle", 4}, {"Brake", 4}, {"Pressure", 4}};
const NamedCode kTimerKinds[] = {{"Generic", 1},
                                 {"Lap Timer", 2},
                                 {"Trans-Brake", 3},
                                 {"Throttle Stop", 3},
                                 {"GPS Receiver", 0}};

// A named type with its default range, resolution factor and invert; the plot band starts
// as that range.
void ChooseAnalogType(CAnalogSetup& a, int code) {
    a.ChooseType(code);
    a.m_fGraphBottom = a.m_fMin;
    a.m_fGraphTop = a.m_fMax;
}

template <class Setup>
void TakeSettings(Setup& to, const Setup& from) {
    const int32_t channel = to.m_nChannel;
    to = from;
    to.m_nChannel = channel;
}

// Tire sizes come along only when the default has them.
void TakeRpmSettings(CFreqSetup& to, const CFreqSetup& from) {
    const int32_t channel = to.m_nChannel;
    to.CopyFrom(from);
    to.m_nChannel = channel;
}

template <class Setup, class Pred>
const Setup* FindIf(const std::vector<Setup>& list, Pred pred) {
    auto it = std::find_if(list.begin(), list.end(), pred);
    return it == list.end() ? nullptr : &*it;
}

void DefaultColours(CBriodashDataset& ds) {
    static const int32_t palette[] = {0x0000FF, 0x00A000, 0xFF0000, 0x00A0A0, 0xA000A0,
                                      0x0080FF, 0x808000, 0x404040, 0xFF8000, 0x8080FF};
    int n = 0;
    auto paint = [&](CSeriesBase& s) {
        if (s.IsEmpty()) return;
        s.m_nOn = 1;
        s.m_crTrace = palette[n++ % 10];
    };
    ds.ForEachChannel(paint);
    if (!ds.m_markers.IsEmpty()) ds.m_markers.m_nOn = 1;
}

}  // namespace

void NameAnalogSetup(CAnalogSetup& setup, const std::string& description, bool kavrane) {
    if (!kavrane) {
        setup.m_strDescription = description;
        ChooseAnalogType(setup, kAnalogCustom);
        return;
    }
    const std::string text = RemoveBlanksAfterHash(description);
    setup.m_strDescription = Upper(text);
    int code = kAnalog2Custom;
    for (const NamedCode& k : kAnalogKinds) {
        if (SameText(text, k.name)) {
            setup.m_strDescription = k.name;
            code = k.code;
            break;
        }
    }
    ChooseAnalogType(setup, code);
}

void NameDigitalSetup(CDigitalSetup& setup, const std::string& description) {
    const std::string text = RemoveBlanksAfterHash(description);
    for (const auto* table : {kSwitchKinds, kTimerKinds}) {
        const std::size_t n =
            table == kSwitchKinds ? std::size(kSwitchKinds) : std::size(kTimerKinds);
        for (std::size_t i = 0; i < n; ++i) {
            if (SameText(text, table[i].name)) {
                setup.m_strDescription = table[i].name;
                setup.m_nType = table[i].code;
                return;
            }
        }
    }
    setup.m_strDescription = Upper(text);
    setup.m_nType = 1;
}

void PrepareUploadedDataset(CBriodashDataset& ds, bool kavrane, const CUploadDefaults& defaults,
                            IHostServices& host) {
    const CCarSetup& def = defaults.carSetup;
    CCarSetup& car = ds.m_carSetup;
    auto defaultOfType = [&def](int type) {
        return FindIf(def.m_rpm, [type](const CFreqSetup& s) { return s.m_nRpmType == type; });
    };
    for (CFreqSetup& s : car.m_rpm) {
        const CFreqSetup* d = def.FindRpmSetup(s.m_nChannel);
        const CFreqSetup* take = nullptr;
        if (d && d->m_nRpmType == s.m_nRpmType)
            take = d;
        else if (kavrane)
            take = d && d->m_nRpmType == 14 ? d : defaultOfType(s.m_nRpmType);
        else
            take = defaultOfType(s.m_nRpmType == 10 ? 12 : s.m_nRpmType);
        if (take) TakeRpmSettings(s, *take);
        if (s.m_nChannel >= 1 && s.m_nChannel <= kRpmChannels) {
            CShaftList& list = ds.m_rpm[static_cast<std::size_t>(s.m_nChannel - 1)];
            list.m_nPerLap = s.m_nPPR;
            list.m_nRpmType = s.m_nRpmType;
        }
    }
    for (CFreqSetup& s : car.m_rpm)
        if (s.m_nSlipPartner != 0 && !car.FindRpmSetup(s.m_nSlipPartner)) s.m_nSlipPartner = 0;

    // A rear wheel without its own channel, taken from the defaults, lets a drive shaft or a
    // single-cylinder engine show road speed.
    const bool gears = car.m_nGears > 0 && car.m_fRearEndRatio > 0;
    const bool rearEnd = car.m_fRearEndRatio > 0;
    const bool wantsWheel =
        (FindIf(car.m_rpm, [](const CFreqSetup& s) { return s.m_nRpmType == 9; }) && gears) ||
        (FindIf(car.m_rpm, [](const CFreqSetup& s) { return s.m_nRpmType == 10; }) && rearEnd);
    const CFreqSetup* wheel = FindIf(
        def.m_rpm, [](const CFreqSetup& s) { return s.m_nRpmType == 12 && s.m_nChannel == 0; });
    if (wantsWheel && wheel && !car.FindRpmSetup(0)) {
        CFreqSetup added = *wheel;
        added.m_nChannel = 0;
        car.m_rpm.insert(car.m_rpm.begin(), added);
    }

    for (CAnalogSetup& a : car.m_analog) {
        const CAnalogSetup* d = def.FindAnalogSetup(a.m_nChannel);
        if (!d) continue;
        if (d->m_nFamily != a.m_nFamily) {
            host.Message(
                FormatText("Default Analog Configuration is for a %s system.\nDefaults will "
                           "be ignored!",
                           a.m_nFamily == 1 ? kKavraneName : kVexaName),
                Icon::Warning);
            break;
        }
        if (a.m_nFamily == 0 || d->m_nType == a.m_nType) {
            const int32_t bits = a.m_nBits;
            TakeSettings(a, *d);
            if (a.m_nFamily == 0) a.m_nBits = bits;  // the logger's converter decides
        }
    }

    for (CDigitalSetup& s : car.m_digital) {
        const CDigitalSetup* d = def.FindDigitalSetup(s.m_nChannel);
        if (!(d && d->m_nType == s.m_nType)) {
            const int type = s.m_nType;
            d = FindIf(def.m_digital, [type](const CDigitalSetup& x) { return x.m_nType == type; });
        }
        if (d) TakeSettings(s, *d);
        s.ApplyTypeDefaults();
    }

    DefaultColours(ds);
}

}  // namespace orvex
