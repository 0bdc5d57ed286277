// Conversions between the raw thresholds of trigger-equation terms (the logger's recorded
// units) and the texts the user reads and types, and the channel entries the terms refer to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "logger/config/TachConfig.h"
#include "model/ChannelSetups.h"
#include "model/Units.h"

namespace orvex {

// What the conversions need from the application: the units, the battery-voltage correction
// and the default channel setups by channel number (null where a channel has none).
struct EquationChannels {
    Units m_units = Units::Imperial;
    float m_fVoltageCorrection = 0.0f;
    const CFreqSetup* m_pFreq[5] = {};
    const CAnalogSetup* m_pAnalog[20] = {};
    const CDigitalSetup* m_pDigital[6] = {};
};

enum class EntryKind { Rpm, Analog, Digital };

// One entry of an equation row's channel list: an enabled channel with a default setup.
struct EquationEntry {
    EntryKind m_kind = EntryKind::Rpm;
    int m_nChannel = 1;  // RPM 1..5, analog 1..20, digital 1..6
    const CFreqSetup* m_pFreq = nullptr;
    const CAnalogSetup* m_pAnalog = nullptr;
    const CDigitalSetup* m_pDigital = nullptr;
    std::string m_strLabel;  // description, a blank and the unit word
};

// The channel list: RPM 1-5, analog 1-20, switches 1-4, timers 5-6, enabled and with a setup.
std::vector<EquationEntry> EquationEntries(const CTachConfig& cfg, const EquationChannels& ch);

// Finds the entry a term's channel byte refers to the way the equation page does: a group
// without entries moves on (RPM to digital, digital to analog, analog to RPM, at most four
// tries), a channel not listed falls back to the first entry of its kind. `channelByte` gets
// the byte the term ends up with. Returns the entry index, or -1 when the term is invalid.
int ResolveTermEntry(const std::vector<EquationEntry>& entries, uint8_t& channelByte);

// How a term reads on the equation page and in the report.
struct TermDisplay {
    bool m_bValid = false;
    uint8_t m_nChannel = 0;  // the channel byte after resolution
    int m_nEntry = -1;
    std::string m_strLabel;
    int m_nOperator = -1;  // the operator shown (exchanged for inverted terms); -1 none
    std::string m_strValue;
};
TermDisplay DescribeTerm(const CTachConfig& cfg, const EquationChannels& ch,
                         const std::vector<EquationEntry>& entries, const TachTerm& term);

// Operators: how many an entry offers, whether its terms are inverted, and the exchange
// 1 <-> 3, 2 <-> 4 between the operator shown and the one stored for inverted terms.
int OperatorCount(const EquationEntry& entry, Units units);
bool IsInvertedEntry(const EquationEntry& entry);
int ExchangeOperator(int op);

// RPM thresholds (timer counts per pulse at the configuration's m_fPcaClock).
bool IsSpeedChannel(const CFreqSetup& setup);
std::string RpmThresholdText(const CTachConfig& cfg, const CFreqSetup& setup, Units units,
                             uint16_t value);
uint16_t RpmThreshold(const CTachConfig& cfg, const CFreqSetup& setup, Units units,
                      const std::string& text);
bool RpmTextValid(const CTachConfig& cfg, const CFreqSetup& setup, Units units,
                  const std::string& text);
std::optional<long> RpmMaximum(const CFreqSetup& setup, Units units);  // none: not defined
std::string RpmTipText(const CFreqSetup& setup, Units units);

// Analog thresholds (raw converter counts).
struct AnalogRange {
    double m_fMin, m_fMax, m_fOffset;  // display units
};
AnalogRange AnalogDisplayRange(const CAnalogSetup& setup, Units units);
std::string AnalogThresholdText(const CAnalogSetup& setup, Units units, float voltageCorrection,
                                uint16_t value);
uint16_t AnalogThreshold(const CAnalogSetup& setup, Units units, float voltageCorrection,
                         const std::string& text);
// -1 below the range, 1 above, 0 inside; `op` is the operator shown.
int AnalogRangeTest(const CAnalogSetup& setup, Units units, const std::string& text, int op);
std::string AnalogTipText(const CAnalogSetup& setup, Units units, int op);
std::string AnalogValuePattern(int resolution);

// Digital thresholds: On/Off for switches, hundredths of a second for lap-timer channels.
std::string DigitalThresholdText(const CDigitalSetup& setup, uint16_t value);
uint16_t DigitalThreshold(const CDigitalSetup& setup, const std::string& text);
bool TimeLimitOk(const std::string& text);  // at most 327 seconds in all

inline constexpr const char* kRpmValuePattern = "0|[+]?[1-9][0-9]{0,4}";
inline constexpr const char* kTimeValuePattern = "([0-5]:)?([0-5][0-9]|[0-9])([.][0-9]{0,3})?";
inline constexpr const char* kSwitchValuePattern = "[oO]([nN]|[fF]{2})";

// Auto-start duration: the limit in minutes for a clock rate, the minutes text of a
// configuration, the minutes field's pattern and tip, and the stored time for typed minutes
// (none when the minutes are not below the limit: "Value is Out of Range!").
float AutoStartLimit(int32_t clockRate);
double AutoStartMinutes(const CTachConfig& cfg);
std::string AutoStartMinutesText(const CTachConfig& cfg);
std::string AutoStartPattern(int32_t clockRate);
std::string AutoStartTip(int32_t clockRate);
std::optional<uint16_t> AutoStartTimeForMinutes(int32_t clockRate, const std::string& text);

}  // namespace orvex
