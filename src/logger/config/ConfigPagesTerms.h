// Storing typed thresholds into trigger-equation terms, and re-expressing the clock-bound
// thresholds and the auto-start time of a configuration for a new logger clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "logger/config/TachConfig.h"
#include "logger/config/Thresholds.h"

namespace orvex {

// Stores the text typed into a row into its term. `entry` is the channel selected in the row
// (null: none), `shownOperator` the operator the row shows. RPM texts whose threshold would
// read back out of range take the next count; analog thresholds at the edge of the range are
// nudged one count inward; absolute-value operators also fill the spare word.
void StoreTermText(const CTachConfig& cfg, const EquationChannels& ch, const EquationEntry* entry,
                   int shownOperator, const std::string& text, TachTerm& term);

// The auto-start time for a new clock rate, keeping the minutes.
uint16_t ReexpressAutoStart(uint16_t autoStartTime, int32_t oldRate, int32_t newRate);

// Brings the thresholds of RPM and lap-time terms in use and the auto-start time of `cfg` to
// the clock (newRate, newPca) by way of their display texts. Terms whose channel has no
// default setup cannot be read as text and keep their raw value. The clock fields themselves
// are left as they were.
void ReexpressForClock(CTachConfig& cfg, const EquationChannels& ch, int32_t newRate, float newPca);

}  // namespace orvex
