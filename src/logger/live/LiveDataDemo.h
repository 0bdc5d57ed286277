// Readings for the live-data sheet without a logger: a car running through its gears, shocks
// working over bumps, cornering and braking accelerations, warm exhausts, a charging battery,
// switches and timers, given as the poll reply bytes a logger would send for a page.
#pragma once

#include <cstdint>
#include <vector>

#include "model/CarSetup.h"
#include "model/Units.h"

namespace orvex {

class CLivePropertyPage;

// The data bytes of a poll reply for `page` at `seconds` into the demonstration. `clock` is
// the RPM timer's rate; the raw values follow the channels' setups so that the gauges show
// plausible values.
std::vector<uint8_t> LiveDemoReply(const CLivePropertyPage& page, const CCarSetup& car, float clock,
                                   double seconds, Units units, float voltageCorrection);

// A car whose setups fill every live-data page: RPM channels 1 to 4, four shocks, two
// pressures, throttle, steering, four EGTs, three accelerometers, the battery, two switches
// and both timers. `AddLiveDemoSetups` gives `car` those of them whose channel it has no setup
// for.
CCarSetup LiveDemoCarSetup(Units units);
void AddLiveDemoSetups(CCarSetup& car, Units units);

// OK on the sheet: its working setups become the defaults; after a demonstration only the
// setups of the channels the defaults had come back (the demonstration car's stay behind).
void CopyLiveSetupsBack(const CCarSetup& scratch, CCarSetup& defaults, bool demo);

}  // namespace orvex
