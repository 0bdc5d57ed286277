// The four stored logger configurations in the settings file, sections "User 1" to "User 4".
#include <algorithm>
#include <string>

#include "app/DataAcqApp.h"
#include "app/ProfileValues.h"

namespace orvex {

namespace {

constexpr const char* kEquationKeys[CTachConfig::kEquations] = {"Auto-Start #", "Output-1 #",
                                                                "Output-2 #"};

std::string Key(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

std::string JoinInts(std::initializer_list<long> values) {
    std::string text;
    for (long v : values) {
        if (!text.empty()) text += ", ";
        text += std::to_string(v);
    }
    return text;
}

}  // namespace

void CDataAcqApp::LoadLoggerConfigs() {
    for (int u = 1; u <= kLoggerConfigs; ++u) {
        const std::string sec = "User " + std::to_string(u);
        CTachConfig& c = m_configs[u - 1];
        c = CTachConfig();
        // Reads "%d, %d, ..." into `values`; false when the key is missing or incomplete.
        auto readInts = [&](const std::string& key, int count, int* values) {
            auto text = m_profile.Get(sec, key);
            return text && ScanProfileInts(*text, ", ", count, values) == count;
        };

        c.m_nClockRate = GetProfileRangedInt(sec, "Clock Rate", c.m_nClockRate, 10, 5000);
        c.m_fPcaClock = GetProfileFloat(sec, "PCA Clock", c.m_fPcaClock, 50000.0f, 500000.0f);
        c.m_nActive =
            static_cast<uint8_t>(GetProfileRangedInt(sec, "Active Settings", c.m_nActive, 1, 255));
        c.m_nTimerStatus =
            static_cast<uint8_t>(GetProfileRangedInt(sec, "Timer Status", c.m_nTimerStatus, 0, 3));
        c.m_nSwitchStatus = static_cast<uint8_t>(
            GetProfileRangedInt(sec, "Switch Status", c.m_nSwitchStatus, 0, 15));
        // The rate is stored; the divider that gives it must fit its byte and not be 0.
        if (int rate = GetProfileRangedInt(sec, "Switch Rate", 0, 1, 200); rate > 0)
            c.m_nSwitchDivider = static_cast<uint8_t>(std::clamp(c.m_nClockRate / rate, 1, 255));
        c.m_nFreqStatus = static_cast<uint8_t>(
            GetProfileRangedInt(sec, "Frequency Status", c.m_nFreqStatus, 0, 31));
        c.m_lAnalogStatus = GetProfileLong(sec, "Analog Status", c.m_lAnalogStatus, 0, 0xFFFFF);

        int v[4];
        for (int n = 1; n <= CTachConfig::kAnalogChannels; ++n) {
            if (!readInts(Key("Analog #", n), 2, v)) continue;
            c.m_analog[n - 1].m_nDivider = static_cast<uint8_t>(v[0]);
            c.m_analog[n - 1].m_nKind = static_cast<uint8_t>(v[1]);
        }
        for (int n = 1; n <= CTachConfig::kRpmChannels; ++n) {
            if (!readInts(Key("Frequency #", n), 3, v)) continue;
            c.m_freq[n - 1].m_nDivider = static_cast<uint8_t>(v[0]);
            c.m_freq[n - 1].m_nPPR = static_cast<uint8_t>(v[1]);
            c.m_freq[n - 1].m_nKind = static_cast<uint8_t>(v[2]);
        }
        for (int n = 1; n <= CTachConfig::kSwitches; ++n)
            if (readInts(Key("Switch #", n), 1, v)) c.m_switch[n - 1] = static_cast<uint8_t>(v[0]);
        for (int n = 1; n <= CTachConfig::kTimers; ++n) {
            if (!readInts(Key("Timer #", n), 4, v)) continue;
            TachTimer& t = c.m_timer[n - 1];
            t.m_nMaxEvents = static_cast<uint16_t>(v[0]);
            t.m_nMinTime = static_cast<uint16_t>(v[1]);
            t.m_nKind = static_cast<uint8_t>(v[2]);
            t.m_nTrigger = static_cast<uint8_t>(v[3]);
        }

        c.m_nEqnFlags &= static_cast<uint8_t>(~0xC0);
        if (GetProfileBool(sec, "Auto-Start-Use-Time", false)) c.m_nEqnFlags |= 0x40;
        c.m_nAutoStartTime =
            static_cast<uint16_t>(GetProfileRangedInt(sec, "Auto-Start-Time", 1, 1, 65535));
        if (GetProfileBool(sec, "Auto-Start-Pause-Only", false)) c.m_nEqnFlags |= 0x80;
        for (int e = 0; e < CTachConfig::kEquations; ++e) {
            for (int t = 0; t < CTachConfig::kTerms; ++t) {
                TachTerm term;  // a missing term is cleared
                if (readInts(Key(kEquationKeys[e], t), 4, v)) {
                    term.m_nChannel = static_cast<uint8_t>(v[0]);
                    term.m_nOperator = static_cast<uint8_t>(v[1]);
                    term.m_nValue = static_cast<uint16_t>(v[2]);
                    term.m_nSpare = static_cast<uint16_t>(v[3]);
                }
                c.m_eqn[e][t] = term;
            }
            c.UpdateEquationFlag(e);
        }
    }
}

void CDataAcqApp::SaveLoggerConfigs() {
    for (int u = 1; u <= kLoggerConfigs; ++u) {
        const std::string sec = "User " + std::to_string(u);
        const CTachConfig& c = m_configs[u - 1];
        WriteProfileInt(sec, "Clock Rate", c.m_nClockRate);
        WriteProfileInt(sec, "Active Settings", c.m_nActive);
        WriteProfileInt(sec, "Timer Status", c.m_nTimerStatus);
        WriteProfileInt(sec, "Switch Status", c.m_nSwitchStatus);
        WriteProfileInt(sec, "Switch Rate", c.m_nClockRate / std::max<int>(c.m_nSwitchDivider, 1));
        WriteProfileInt(sec, "Frequency Status", c.m_nFreqStatus);
        WriteProfileLong(sec, "Analog Status", c.m_lAnalogStatus);
        for (int n = 1; n <= CTachConfig::kAnalogChannels; ++n) {
            const TachAnalog& a = c.m_analog[n - 1];
            WriteProfileString(sec, Key("Analog #", n), JoinInts({a.m_nDivider, a.m_nKind}));
        }
        for (int n = 1; n <= CTachConfig::kRpmChannels; ++n) {
            const TachFreq& f = c.m_freq[n - 1];
            WriteProfileString(sec, Key("Frequency #", n),
                               JoinInts({f.m_nDivider, f.m_nPPR, f.m_nKind}));
        }
        for (int n = 1; n <= CTachConfig::kSwitches; ++n)
            WriteProfileInt(sec, Key("Switch #", n), c.m_switch[n - 1]);
        for (int n = 1; n <= CTachConfig::kTimers; ++n) {
            const TachTimer& t = c.m_timer[n - 1];
            WriteProfileString(sec, Key("Timer #", n),
                               JoinInts({t.m_nMaxEvents, t.m_nMinTime, t.m_nKind, t.m_nTrigger}));
        }
        WriteProfileBool(sec, "Auto-Start-Use-Time", (c.m_nEqnFlags & 0x40) != 0);
        WriteProfileInt(sec, "Auto-Start-Time", c.m_nAutoStartTime);
        WriteProfileBool(sec, "Auto-Start-Pause-Only", (c.m_nEqnFlags & 0x80) != 0);
        for (int e = 0; e < CTachConfig::kEquations; ++e) {
            for (int t = 0; t < CTachConfig::kTerms; ++t) {
                const TachTerm& term = c.m_eqn[e][t];
                WriteProfileString(
                    sec, Key(kEquationKeys[e], t),
                    JoinInts({term.m_nChannel, term.m_nOperator, term.m_nValue, term.m_nSpare}));
            }
        }
    }
}

}  // namespace orvex
