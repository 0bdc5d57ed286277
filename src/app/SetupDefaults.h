// Default channel setups as the settings file creates them: new RPM, analog and digital setups
// with their type defaults, kept in channel order in the default car setup.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "model/CarSetup.h"
#include "model/Units.h"

namespace orvex {

// RPM type table: name, default pulses per revolution and default display mode.
std::string RpmTypeDescription(int type);  // "Engine" for 1..9, "User Defined" when untyped
int RpmTypeDefaultPpr(int type);
int RpmTypeDefaultDisplay(int type);
// Engine RPM type for an engine with this many cylinders and strokes per cycle.
int EngineRpmType(int cylinders, int strokes);

// A new RPM setup of `type` (0 = untyped) with the type's defaults and the default tire size.
CFreqSetup NewRpmSetup(int channel, int type, Units units);
// A new analog setup of `type`: invert 1 for the pressure transducers, family by code.
CAnalogSetup NewAnalogSetup(int channel, int type);
// Resolution factor and plot band after the calibration values changed.
void UpdateAnalogDerived(CAnalogSetup& setup, Units units);
// Band low and high from the display band; a switch is drawn upside down.
void UpdateDigitalBand(CDigitalSetup& setup);

// Puts `setup` into `list` at its channel's place, replacing a setup of the same channel.
template <class Setup>
Setup& PutByChannel(std::vector<Setup>& list, Setup setup) {
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const Setup& s) { return s.m_nChannel >= setup.m_nChannel; });
    if (it != list.end() && it->m_nChannel == setup.m_nChannel) {
        *it = std::move(setup);
        return *it;
    }
    return *list.insert(it, std::move(setup));
}

}  // namespace orvex
