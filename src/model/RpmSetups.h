// Lookups of RPM setups by their sensor type that the gear marking and the speed code share.
#pragma once

#include <cstdint>

#include "model/CarSetup.h"

namespace orvex {

// Engine sensors are the RPM types up to 9 (0, untyped, counts as one).
inline bool IsEngineType(int32_t type) {
    return type <= 9;
}
// The rear-wheel setup, preferring one that has its own channel; nullptr when there is none.
const CFreqSetup* FindRearWheel(const CCarSetup& car);
// The first setup of the RPM type (any engine type for 9); nullptr when there is none.
const CFreqSetup* FindRpmType(const CCarSetup& car, int32_t type);
// A setup whose channel is one of the five RPM channels.
bool HasOwnChannel(const CFreqSetup& setup);

}  // namespace orvex
