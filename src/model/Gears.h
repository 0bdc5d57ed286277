// Gear marking: the user marks shift points on the chart and every RPM sample keeps the gear
// engaged. Finds the reference channel, offers the gear dialog's choices and applies them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;

// The channel whose gear the dialog shows: the drive shaft, else a rear wheel with its own
// channel, else the first engine; 0 when there is none (or a rear wheel without a channel and
// no drive shaft).
int GearReferenceChannel(const CBriodashDataset& ds);

// "1st", "2nd", "3rd", "4th" ...
std::string GearOrdinal(int gear);

enum class GearAction { Upshift, Downshift, MoveDown, MoveUp };

struct GearChoice {
    GearAction action;
    std::string text;  // "Upshift 2nd to 3rd", "Move 1st to 2nd shift" ...
};

// State of the gear dialog opened at one chart position.
struct GearDialog {
    bool valid = false;    // false: gear selection does nothing here
    int currentGear = 0;   // "Current Gear"
    int previousGear = 0;  // the last different gear before the position, 0 when none
    std::array<Pos, kRpmChannels> samples{kNoPos, kNoPos, kNoPos, kNoPos, kNoPos};
    std::vector<GearChoice> choices;
};

// Opens the dialog at chart position `key` (time relative to the zero, or distance).
GearDialog OpenGearDialog(const CBriodashDataset& ds, int32_t key, bool byDistance);

// From `sample` forwards, the run of samples in the starting sample's gear goes one gear up
// (or down).
void Shift(CBriodashDataset& ds, int channel, Pos sample, bool up);
// From `sample` backwards, the run of samples in the starting sample's gear goes one gear down
// (or up): the shift into that gear moves to `sample`.
void MoveShift(CBriodashDataset& ds, int channel, Pos sample, bool down);

// Applies a choice to every RPM channel; their slip traces are computed again before they are
// next shown (ApplyGearChoice in SpeedDistance.h does both).
void ApplyGearShift(CBriodashDataset& ds, const GearDialog& dialog, GearAction action);

}  // namespace orvex
