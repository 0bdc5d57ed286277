// Default channel setups in the settings file: the RPM, analog and digital channel sections,
// and the engine, shaft, tire and wheel keys of settings older than V2.8E.
#include <optional>
#include <string>

#include "app/DataAcqApp.h"
#include "app/SettingsTable.h"

namespace orvex {

namespace {

using Key = CDataAcqApp::SettingKey;
constexpr float kPi = 3.1415926535f;

bool InvertIsInteger(int analogType) {
    return analogType == 8 || analogType == 133;
}

}  // namespace

CFreqSetup& CDataAcqApp::RpmSetup(int channel, int type) {
    return m_defaultCarSetup.GetOrCreateRpmSetup(channel, type, m_units.units);
}

// --- Settings older than V2.8E ---

namespace {

// The keys that settings older than V2.8E kept instead of the RPM channel sections. They are
// read once, moved into the default RPM channels and never written.
struct OldFormatKeys {
    int32_t cylinders{}, strokes{};
    bool slippage{}, wheelSlippage{}, transSlippage{};
    int16_t tachSmoothing{}, axleSmoothing{}, wheelSmoothing{}, clutchSmoothing{};
    bool onAxle{};
    int32_t rpmDisplay{};
    int32_t shaftPpr{}, wheelPpr{}, clutchPpr{};
};

// The sections "Tire" (rear wheel) and "Wheel" (front wheel).
struct OldTire {
    bool byDiameter{};
    float diameter{}, circumference{};
};

template <class T>
SettingField<T> OldKey(SettingField<T> f, const char* section = nullptr) {
    f.writeIf = NeverWritten<T>;
    if (section) f.section = section;
    return f;
}

const SettingTable<OldFormatKeys>& OldFormatTable() {
    using O = OldFormatKeys;
    static const SettingTable<O> table = {
        OldKey(Integer<&O::cylinders>("Cylinders", 8, 1, 12), "Engine"),
        OldKey(Integer<&O::strokes>("Strokes", 4, 1, 4), "Engine"),
        OldKey(Flag<&O::slippage>("Slippage", false), "Settings"),
        OldKey(Flag<&O::wheelSlippage>("WheelSlippage", false), "Settings"),
        OldKey(Flag<&O::transSlippage>("TransSlippage", false), "Settings"),
        OldKey(Bind<&O::tachSmoothing>("Tach Smoothing", SettingKind::Smoothing, 4), "Settings"),
        OldKey(Bind<&O::axleSmoothing>("Axle Smoothing", SettingKind::Smoothing, 4), "Settings"),
        OldKey(Bind<&O::wheelSmoothing>("Wheel Smoothing", SettingKind::Smoothing, 4), "Settings"),
        OldKey(Bind<&O::clutchSmoothing>("Clutch Smoothing", SettingKind::Smoothing, 4),
               "Settings"),
        OldKey(Flag<&O::onAxle>("On Axle", false), "Speed Sensor"),
        OldKey(Integer<&O::rpmDisplay>("RPM Display", 1, 0, 4), "Speed Sensor"),
        OldKey(Integer<&O::shaftPpr>("PPR", 1, 1, 999), "Shaft"),
        OldKey(Integer<&O::wheelPpr>("PPR", 1, 1, 999), "Wheel"),
        OldKey(Integer<&O::clutchPpr>("PPR", 1, 1, 999), "Clutch"),
    };
    return table;
}

const SettingTable<OldTire>& OldTireTable() {
    using T = OldTire;
    auto onlyIf = [](SettingField<T> f, bool (*when)(const T&, int)) {
        f.readIf = when;
        return OldKey(f);
    };
    static const SettingTable<T> table = {
        OldKey(Flag<&T::byDiameter>("By Diameter", false)),
        onlyIf(Fraction<&T::diameter>("Diameter", 1.0f, 0.01f, 999.9f),
               [](const T& t, int) { return t.byDiameter; }),
        onlyIf(Fraction<&T::circumference>("Circumference", 3.14f, 0.01f, 9999.9f),
               [](const T& t, int) { return !t.byDiameter; }),
    };
    return table;
}

const char* const kOldTireSections[] = {"Tire", "Wheel"};

}  // namespace

CDataAcqApp::SettingGroup CDataAcqApp::OldFormatGroup() {
    SettingGroup g;
    g.keys = DescribeSettingFields(OldFormatTable());
    for (const char* section : kOldTireSections) g.sections.push_back(section);
    for (Key& k : DescribeSettingFields(OldTireTable())) g.keys.push_back(std::move(k));
    return g;
}

// Moves the old keys into the default RPM channels: 1 the engine, 2 the drive shaft or rear
// wheel, 3 the front wheel, 4 the clutch.
void CDataAcqApp::LoadOldFormat() {
    OldFormatKeys old;
    LoadSettingFields(*this, "", OldFormatTable(), old);
    OldTire tires[2];
    for (int i = 0; i < 2; ++i)
        LoadSettingFields(*this, kOldTireSections[i], OldTireTable(), tires[i]);

    const int engineType = EngineRpmType(old.cylinders, old.strokes);
    CFreqSetup& engine = RpmSetup(1, engineType);
    engine.m_nRpmType = engineType;
    engine.m_nPPR = RpmDefaultPPR(engineType);

    RpmSetup(2, 0);
    RpmSetup(3, 11);
    RpmSetup(4, 13);
    if (old.slippage) RpmSetup(2, 0).m_nSlipPartner = 1;
    if (old.wheelSlippage || old.transSlippage) RpmSetup(3, 11).m_nSlipPartner = 2;
    RpmSetup(4, 13).m_nSlipPartner = 1;

    RpmSetup(1, 0).m_nSmoothing = old.tachSmoothing;
    RpmSetup(2, 0).m_nSmoothing = old.axleSmoothing;
    RpmSetup(3, 11).m_nSmoothing = old.wheelSmoothing;
    RpmSetup(4, 13).m_nSmoothing = old.clutchSmoothing;

    CFreqSetup& shaft = RpmSetup(2, 0);
    shaft.m_strDescription = old.onAxle ? "Drive Shaft" : "Rear Wheel";
    shaft.m_nRpmType = old.onAxle ? 10 : 12;
    shaft.m_nDisplayMode = old.rpmDisplay;

    const float toUnits = m_units.units == Units::Metric ? 2.54f : 1.0f;
    auto setTire = [&](CFreqSetup& s, const OldTire& tire) {
        s.m_nTireSizeMode = tire.byDiameter ? 1 : 0;
        if (tire.byDiameter) {
            s.m_fDiameter = tire.diameter * toUnits;
            s.m_fCircumference = s.m_fDiameter * kPi;
        } else {
            s.m_fCircumference = tire.circumference * toUnits;
            s.m_fDiameter = s.m_fCircumference / kPi;
        }
    };
    RpmSetup(2, 0).m_nPPR = old.shaftPpr;
    // A drive-shaft sensor leaves the tire to a rear-wheel setup on channel 0.
    const int tireChannel = RpmSetup(2, 0).m_nRpmType == 12 ? 2 : 0;
    setTire(RpmSetup(tireChannel, 12), tires[0]);
    CFreqSetup& wheel = RpmSetup(3, 11);
    wheel.m_nPPR = old.wheelPpr;
    setTire(wheel, tires[1]);
    RpmSetup(4, 13).m_nPPR = old.clutchPpr;
}

// --- RPM channels 0 to 5 ---

namespace {

// A default RPM channel setup with the factor from the file's inches to the setup's units.
struct RpmDefaults {
    CFreqSetup s;
    float perInch = 1.0f;
};

bool ByDiameter(const RpmDefaults& r, int) {
    return r.s.m_nTireSizeMode != 0;
}
bool ByCircumference(const RpmDefaults& r, int) {
    return r.s.m_nTireSizeMode == 0;
}

// Tire sizes are stored in inches whatever the units.
const SettingTable<RpmDefaults>& RpmTable() {
    using R = RpmDefaults;
    using S = CFreqSetup;
    auto onlyIf = [](SettingField<R> f, bool (*when)(const R&, int)) {
        f.readIf = f.writeIf = when;
        return f;
    };
    static const SettingTable<R> table = {
        // -1: no default setup for the channel; the rest of the section is not read.
        BindIn<&R::s, &S::m_nRpmType>("RPM Type", SettingKind::Int, -1, -1, 14),
        [] {
            auto f = BindIn<&R::s, &S::m_strDescription>("Description", SettingKind::String, 0);
            f.defText = "<none>";
            return f;
        }(),
        BindIn<&R::s, &S::m_nSmoothing>("Smoothing", SettingKind::Smoothing, 4),
        BindIn<&R::s, &S::m_nSlipPartner>("Slip Channel", SettingKind::Int, 0, 0, 5),
        [] {
            auto f = BindIn<&R::s, &S::m_nDisplayMode>("Display Mode", SettingKind::Int, 1, 0, 4);
            f.fallback = [](const R& r, int) {
                return NumberValue(RpmDefaultDisplayMode(r.s.m_nRpmType));
            };
            return f;
        }(),
        // Pulse counts are read for the speed and shaft types only, and always written.
        [] {
            auto f = BindIn<&R::s, &S::m_nPPR>("PPR", SettingKind::Int, 1, 1, 999);
            f.readIf = [](const R& r, int) { return r.s.m_nRpmType >= 10; };
            return f;
        }(),
        SettingField<R>{
            .key = "Tire By Diameter",
            .kind = SettingKind::Bool,
            .get = [](const R& r, int) { return NumberValue(r.s.m_nTireSizeMode != 0 ? 1 : 0); },
            .set = [](R& r, const SettingValue& v,
                      int) { r.s.m_nTireSizeMode = v.number != 0 ? 1 : 0; }},
        onlyIf(SettingField<R>{
                   .key = "Tire Diameter",
                   .kind = SettingKind::Ratio,
                   .def = 1.0,
                   .min = 1.0,
                   .max = 999.9,
                   .get = [](const R& r, int) { return NumberValue(r.s.m_fDiameter / r.perInch); },
                   .set =
                       [](R& r, const SettingValue& v, int) {
                           r.s.m_fDiameter = static_cast<float>(v.number) * r.perInch;
                           r.s.m_fCircumference = r.s.m_fDiameter * kPi;
                       }},
               ByDiameter),
        onlyIf(SettingField<R>{
                   .key = "Tire Circumference",
                   .kind = SettingKind::Ratio,
                   .def = 3.14,
                   .min = 0.01,
                   .max = 999.9,
                   .get = [](const R& r,
                             int) { return NumberValue(r.s.m_fCircumference / r.perInch); },
                   .set =
                       [](R& r, const SettingValue& v, int) {
                           r.s.m_fCircumference = static_cast<float>(v.number) * r.perInch;
                           r.s.m_fDiameter = r.s.m_fCircumference / kPi;
                       }},
               ByCircumference),
    };
    return table;
}

constexpr const char* kRpmSection = "RPM Channel %d";

}  // namespace

CDataAcqApp::SettingGroup CDataAcqApp::RpmChannelGroup() {
    SettingGroup g;
    for (int n = 0; n <= 5; ++n) g.sections.push_back(SettingKeyName(kRpmSection, n));
    g.keys = DescribeSettingFields(RpmTable());
    return g;
}

void CDataAcqApp::LoadRpmChannels() {
    const SettingTable<RpmDefaults>& table = RpmTable();
    RpmDefaults r;
    r.perInch = m_units.units == Units::Metric ? 2.54f : 1.0f;
    for (int n = 0; n <= 5; ++n) {
        const std::string sec = SettingKeyName(kRpmSection, n);
        const int type = static_cast<int>(ReadSettingField(*this, sec, table[0], r, 0).number);
        if (type == -1) continue;
        r.s = CFreqSetup::Make(n, type, m_units.units);
        LoadSettingFields(*this, sec, table, r, 1);
        m_defaultCarSetup.MergeRpmSetups({r.s});
    }
}

// A channel without a default setup gets only its type, -1, so that a removed default is
// removed from the file as well.
void CDataAcqApp::SaveRpmChannels() {
    const SettingTable<RpmDefaults>& table = RpmTable();
    RpmDefaults r;
    r.perInch = m_units.units == Units::Metric ? 2.54f : 1.0f;
    for (int n = 0; n <= 5; ++n) {
        const std::string sec = SettingKeyName(kRpmSection, n);
        const CFreqSetup* s = m_defaultCarSetup.FindRpmSetup(n);
        r.s = s ? *s : CFreqSetup();
        if (!s) r.s.m_nRpmType = -1;
        SaveSettingFields(*this, sec, table, r, 0, s ? table.size() : 1);
    }
}

// --- Analog channels 1 to 20 ---

namespace {

// A default analog setup with the voltage correction that channel 20 keeps apart.
struct AnalogDefaults {
    CAnalogSetup s;
    float channel20Offset = -1.0f;
};

// Pressure transducers keep a sender mode 0..3 in the invert keys; a new one starts in mode 1,
// any other type not inverted.
SettingValue NewInvert(const AnalogDefaults& a, int) {
    return NumberValue(InvertIsInteger(a.s.m_nType) ? 1 : 0);
}
bool InvertIsFlag(const AnalogDefaults& a) {
    return !InvertIsInteger(a.s.m_nType);
}

const SettingTable<AnalogDefaults>& AnalogTable() {
    using R = AnalogDefaults;
    using S = CAnalogSetup;
    constexpr double kLimit = 500000.0;
    // The alternate values default to the ones just read.
    auto alt = [](SettingField<R> f, SettingValue (*first)(const R&, int)) {
        f.fallback = first;
        return f;
    };
    static const SettingTable<R> table = {
        // -1: no default setup; the section is not read.
        SettingField<R>{.key = "Analog Type",
                        .kind = SettingKind::Int,
                        .def = -1,
                        .min = -1,
                        .max = 137,
                        .get = [](const R& a, int) { return NumberValue(a.s.m_nType); },
                        .set = [](R& a, const SettingValue& v,
                                  int) { a.s.SetType(static_cast<int32_t>(v.number)); }},
        [] {
            auto f = BindIn<&R::s, &S::m_strDescription>("Description", SettingKind::String, 0);
            f.defText = "<none>";
            return f;
        }(),
        BindIn<&R::s, &S::m_nSmoothing>("Smoothing", SettingKind::Smoothing, 4),
        BindIn<&R::s, &S::m_nScaleMode>("Display Mode", SettingKind::Int, 1, 1, 4),
        SettingField<R>{.key = "Invert Channel",
                        .kind = SettingKind::Int,
                        .min = 0,
                        .max = 3,
                        .get = [](const R& a, int) { return NumberValue(a.s.m_nInvert); },
                        // A pressure transducer has no sender mode 0.
                        .set =
                            [](R& a, const SettingValue& v, int) {
                                a.s.m_nInvert = static_cast<int32_t>(v.number);
                                if (InvertIsInteger(a.s.m_nType) && a.s.m_nInvert == 0)
                                    a.s.m_nInvert = 1;
                            },
                        .fallback = NewInvert,
                        .asBool = InvertIsFlag},
        [] {
            auto f =
                BindIn<&R::s, &S::m_nAltInvert>("Alt Invert Channel", SettingKind::Int, 0, 0, 3);
            f.fallback = NewInvert;
            f.asBool = InvertIsFlag;
            return f;
        }(),
        BindIn<&R::s, &S::m_fMin>("Min Value", SettingKind::Float, 0, -kLimit, kLimit),
        BindIn<&R::s, &S::m_fMax>("Max Value", SettingKind::Float, 1.0, -kLimit, kLimit),
        // Channel 20's correction belongs to the application, not to the setup.
        SettingField<R>{.key = "Offset Value",
                        .kind = SettingKind::Float,
                        .min = -kLimit,
                        .max = kLimit,
                        .get =
                            [](const R& a, int) {
                                return NumberValue(a.s.m_nChannel == 20 ? a.channel20Offset
                                                                        : a.s.m_fOffset);
                            },
                        .set =
                            [](R& a, const SettingValue& v, int) {
                                a.s.m_fOffset = static_cast<float>(v.number);
                                if (a.s.m_nChannel == 20) {
                                    a.channel20Offset = a.s.m_fOffset;
                                    a.s.m_fOffset = 0.0f;
                                }
                            }},
        alt(BindIn<&R::s, &S::m_fAltMin>("Alt Min Value", SettingKind::Float, 0, -kLimit, kLimit),
            [](const R& a, int) { return NumberValue(a.s.m_fMin); }),
        alt(BindIn<&R::s, &S::m_fAltMax>("Alt Max Value", SettingKind::Float, 0, -kLimit, kLimit),
            [](const R& a, int) { return NumberValue(a.s.m_fMax); }),
        alt(BindIn<&R::s, &S::m_fAltOffset>("Alt Offset Value", SettingKind::Float, 0, -kLimit,
                                            kLimit),
            [](const R& a, int) { return NumberValue(a.s.m_fOffset); }),
    };
    return table;
}

constexpr const char* kAnalogSection = "Channel %d";

}  // namespace

CDataAcqApp::SettingGroup CDataAcqApp::AnalogChannelGroup() {
    SettingGroup g;
    for (int n = 1; n <= 20; ++n) g.sections.push_back(SettingKeyName(kAnalogSection, n));
    g.keys = DescribeSettingFields(AnalogTable());
    return g;
}

void CDataAcqApp::LoadAnalogChannels() {
    const SettingTable<AnalogDefaults>& table = AnalogTable();
    m_fAnalog20Offset = -1.0f;
    for (int n = 1; n <= 20; ++n) {
        const std::string sec = SettingKeyName(kAnalogSection, n);
        AnalogDefaults a;
        const int type = static_cast<int>(ReadSettingField(*this, sec, table[0], a, 0).number);
        if (type == -1) continue;
        a.s.m_nChannel = n;
        a.s.SetType(type);
        LoadSettingFields(*this, sec, table, a, 1);
        if (n == 20) m_fAnalog20Offset = a.channel20Offset;
        a.s.ApplyTypeResolution();
        a.s.ComputeGraphRange(m_units.units, std::nullopt);
        m_defaultCarSetup.MergeAnalogSetups({a.s});
    }
}

void CDataAcqApp::SaveAnalogChannels() {
    const SettingTable<AnalogDefaults>& table = AnalogTable();
    for (int n = 1; n <= 20; ++n) {
        const std::string sec = SettingKeyName(kAnalogSection, n);
        const CAnalogSetup* s = m_defaultCarSetup.FindAnalogSetup(n);
        AnalogDefaults a{s ? *s : CAnalogSetup(), m_fAnalog20Offset};
        if (!s) a.s.m_nType = -1;
        SaveSettingFields(*this, sec, table, a, 0, s ? table.size() : 1);
    }
}

// --- Digital channels 1 to 6 ---

namespace {

const SettingTable<CDigitalSetup>& DigitalTable() {
    using S = CDigitalSetup;
    static const SettingTable<S> table = {
        // -1: no default setup; type 5 (GPS receiver) is accepted so that such a default
        // survives a restart.
        Integer<&S::m_nType>("Digital Type", -1, -1, 5),
        Words<&S::m_strDescription>("Description", "<none>"),
        Bind<&S::m_nBand>("Display Mode", SettingKind::Int, 2, 1, 4),
        Bind<&S::m_nInvert>("Invert Channel", SettingKind::Bool, 0),
    };
    return table;
}

constexpr const char* kDigitalSection = "Digital Channel %d";

}  // namespace

CDataAcqApp::SettingGroup CDataAcqApp::DigitalChannelGroup() {
    SettingGroup g;
    for (int n = 1; n <= 6; ++n) g.sections.push_back(SettingKeyName(kDigitalSection, n));
    g.keys = DescribeSettingFields(DigitalTable());
    return g;
}

void CDataAcqApp::LoadDigitalChannels() {
    const SettingTable<CDigitalSetup>& table = DigitalTable();
    for (int n = 1; n <= 6; ++n) {
        const std::string sec = SettingKeyName(kDigitalSection, n);
        CDigitalSetup s;
        const int type = static_cast<int>(ReadSettingField(*this, sec, table[0], s, 0).number);
        if (type == -1) continue;
        s.m_nChannel = n;
        s.m_nType = type;
        LoadSettingFields(*this, sec, table, s, 1);
        s.ApplyBand();
        m_defaultCarSetup.MergeDigitalSetups({s});
    }
}

void CDataAcqApp::SaveDigitalChannels() {
    const SettingTable<CDigitalSetup>& table = DigitalTable();
    for (int n = 1; n <= 6; ++n) {
        const std::string sec = SettingKeyName(kDigitalSection, n);
        const CDigitalSetup* found = m_defaultCarSetup.FindDigitalSetup(n);
        CDigitalSetup s = found ? *found : CDigitalSetup();
        if (!found) s.m_nType = -1;
        SaveSettingFields(*this, sec, table, s, 0, found ? table.size() : 1);
    }
}

}  // namespace orvex
