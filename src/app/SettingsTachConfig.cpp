// The four stored logger configurations in the settings file, sections "User 1" to "User 4".
// A key that is missing keeps the configuration record's own default.
#include <algorithm>
#include <string>

#include "app/DataAcqApp.h"
#include "app/SettingsTable.h"

namespace orvex {

namespace {

using C = CTachConfig;
using Kind = SettingKind;

// Bit `mask` of the equation flags as a Boolean key.
template <uint8_t Mask>
SettingField<C> EquationFlag(const char* key) {
    return {.key = key,
            .kind = Kind::Bool,
            .get = [](const C& c, int) { return NumberValue((c.m_nEqnFlags & Mask) != 0); },
            .set =
                [](C& c, const SettingValue& v, int) {
                    if (v.number != 0)
                        c.m_nEqnFlags = static_cast<uint8_t>(c.m_nEqnFlags | Mask);
                    else
                        c.m_nEqnFlags = static_cast<uint8_t>(c.m_nEqnFlags & ~Mask);
                }};
}

// The terms 0 to 8 of trigger equation E: channel and operator bytes, value and spare words.
// A missing term is cleared.
template <int E>
SettingField<C> EquationTerms(const char* key) {
    return {.key = key,
            .kind = Kind::List,
            .first = 0,
            .last = C::kTerms - 1,
            .count = 4,
            .get =
                [](const C& c, int n) {
                    const TachTerm& t = c.m_eqn[E][n];
                    return ListValue(t.m_nChannel, t.m_nOperator, t.m_nValue, t.m_nSpare);
                },
            .set =
                [](C& c, const SettingValue& v, int n) {
                    TachTerm& t = c.m_eqn[E][n];
                    t.m_nChannel = static_cast<uint8_t>(v.list[0]);
                    t.m_nOperator = static_cast<uint8_t>(v.list[1]);
                    t.m_nValue = static_cast<uint16_t>(v.list[2]);
                    t.m_nSpare = static_cast<uint16_t>(v.list[3]);
                }};
}

const SettingTable<C>& LoggerConfigTable() {
    static const SettingTable<C> table = {
        KeepOwn(Integer<&C::m_nClockRate>("Clock Rate", 0, 10, 5000)),
        // Read for files that have it; the logger's own value is never written.
        [] {
            auto f = KeepOwn(Fraction<&C::m_fPcaClock>("PCA Clock", 0, 50000.0f, 500000.0f));
            f.writeIf = NeverWritten<C>;
            return f;
        }(),
        KeepOwn(Bind<&C::m_nActive>("Active Settings", Kind::Int, 0, 1, 255)),
        KeepOwn(Bind<&C::m_nTimerStatus>("Timer Status", Kind::Int, 0, 0, 3)),
        KeepOwn(Bind<&C::m_nSwitchStatus>("Switch Status", Kind::Int, 0, 0, 15)),
        // The rate is stored; the divider that gives it must fit its byte and not be 0.
        {.key = "Switch Rate",
         .kind = Kind::Int,
         .min = 1,
         .max = 200,
         .get =
             [](const C& c, int) {
                 return NumberValue(c.m_nClockRate / std::max<int>(c.m_nSwitchDivider, 1));
             },
         .set =
             [](C& c, const SettingValue& v, int) {
                 if (int rate = static_cast<int>(v.number); rate > 0)
                     c.m_nSwitchDivider =
                         static_cast<uint8_t>(std::clamp(c.m_nClockRate / rate, 1, 255));
             }},
        KeepOwn(Bind<&C::m_nFreqStatus>("Frequency Status", Kind::Int, 0, 0, 31)),
        KeepOwn(Bind<&C::m_lAnalogStatus>("Analog Status", Kind::Long, 0, 0, 0xFFFFF)),
        KeepOwn(SettingField<C>{.key = "Analog #%d",
                                .kind = Kind::List,
                                .first = 1,
                                .last = C::kAnalogChannels,
                                .count = 2,
                                .get =
                                    [](const C& c, int n) {
                                        const TachAnalog& a = c.m_analog[n - 1];
                                        return ListValue(a.m_nDivider, a.m_nKind);
                                    },
                                .set =
                                    [](C& c, const SettingValue& v, int n) {
                                        c.m_analog[n - 1].m_nDivider =
                                            static_cast<uint8_t>(v.list[0]);
                                        c.m_analog[n - 1].m_nKind = static_cast<uint8_t>(v.list[1]);
                                    }}),
        KeepOwn(SettingField<C>{.key = "Frequency #%d",
                                .kind = Kind::List,
                                .first = 1,
                                .last = C::kRpmChannels,
                                .count = 3,
                                .get =
                                    [](const C& c, int n) {
                                        const TachFreq& f = c.m_freq[n - 1];
                                        return ListValue(f.m_nDivider, f.m_nPPR, f.m_nKind);
                                    },
                                .set =
                                    [](C& c, const SettingValue& v, int n) {
                                        c.m_freq[n - 1].m_nDivider =
                                            static_cast<uint8_t>(v.list[0]);
                                        c.m_freq[n - 1].m_nPPR = static_cast<uint8_t>(v.list[1]);
                                        c.m_freq[n - 1].m_nKind = static_cast<uint8_t>(v.list[2]);
                                    }}),
        KeepOwn(SettingField<C>{
            .key = "Switch #%d",
            .kind = Kind::List,
            .first = 1,
            .last = C::kSwitches,
            .count = 1,
            .get = [](const C& c, int n) { return ListValue(c.m_switch[n - 1]); },
            .set = [](C& c, const SettingValue& v,
                      int n) { c.m_switch[n - 1] = static_cast<uint8_t>(v.list[0]); }}),
        KeepOwn(SettingField<C>{.key = "Timer #%d",
                                .kind = Kind::List,
                                .first = 1,
                                .last = C::kTimers,
                                .count = 4,
                                .get =
                                    [](const C& c, int n) {
                                        const TachTimer& t = c.m_timer[n - 1];
                                        return ListValue(t.m_nMaxEvents, t.m_nMinTime, t.m_nKind,
                                                         t.m_nTrigger);
                                    },
                                .set =
                                    [](C& c, const SettingValue& v, int n) {
                                        TachTimer& t = c.m_timer[n - 1];
                                        t.m_nMaxEvents = static_cast<uint16_t>(v.list[0]);
                                        t.m_nMinTime = static_cast<uint16_t>(v.list[1]);
                                        t.m_nKind = static_cast<uint8_t>(v.list[2]);
                                        t.m_nTrigger = static_cast<uint8_t>(v.list[3]);
                                    }}),
        EquationFlag<0x40>("Auto-Start-Use-Time"),
        Bind<&C::m_nAutoStartTime>("Auto-Start-Time", Kind::Int, 1, 1, 65535),
        EquationFlag<0x80>("Auto-Start-Pause-Only"),
        EquationTerms<0>("Auto-Start #%d"),
        EquationTerms<1>("Output-1 #%d"),
        EquationTerms<2>("Output-2 #%d"),
    };
    return table;
}

constexpr const char* kUserSection = "User %d";

}  // namespace

CDataAcqApp::SettingGroup CDataAcqApp::LoggerConfigGroup() {
    SettingGroup g;
    for (int u = 1; u <= kLoggerConfigs; ++u) g.sections.push_back(SettingKeyName(kUserSection, u));
    g.keys = DescribeSettingFields(LoggerConfigTable());
    return g;
}

void CDataAcqApp::LoadLoggerConfigs() {
    for (int u = 1; u <= kLoggerConfigs; ++u) {
        CTachConfig& c = m_configs[u - 1];
        c = CTachConfig();
        LoadSettingFields(*this, SettingKeyName(kUserSection, u), LoggerConfigTable(), c);
        // An equation is in use when one of its terms is.
        for (int e = 0; e < CTachConfig::kEquations; ++e) c.UpdateEquationFlag(e);
    }
}

void CDataAcqApp::SaveLoggerConfigs() {
    for (int u = 1; u <= kLoggerConfigs; ++u)
        SaveSettingFields(*this, SettingKeyName(kUserSection, u), LoggerConfigTable(),
                          m_configs[u - 1]);
}

}  // namespace orvex
