// Every hint word a document sends to its views, and the update that carries a hint with its
// payload and its sender. Hint words combine with OR: a setups change that moved distances is
// kHintSetupsChanged | kHintDistancesChanged, which is the display reset.
#pragma once

#include <cstdint>

#include "model/Units.h"

namespace orvex {

class IDocumentView;

enum ViewHint : uint32_t {
    kHintRepaint = 0x10001,
    kHintGreenMoved = 0x10002,            // carries the green marker's new time and x
    kHintRedMoved = 0x10004,              // carries the red marker's new time and x
    kHintRedMovedRaceSync = 0x10005,      // red moved and the race markers were re-synchronised
    kHintMarkersShown = 0x10006,          // green and red markers shown or hidden
    kHintRaceMarkerMoved = 0x10008,       // carries the race marker's new time, x and position
    kHintSetupsChanged = 0x50001,         // channel setups of some dataset changed
    kHintDistancesChanged = 0x20000,      // added to a setups change when distances may have moved
    kHintResetDisplay = 0x70001,          // the axis or window changed from the ground up
    kHintAccelerometerChanged = 0x80000,  // added when an accelerometer setup changed
};

static_assert((kHintSetupsChanged | kHintDistancesChanged) == kHintResetDisplay);

// One update of the views: what changed, where, and which view made the change (that view is
// not told again; nullptr: the document or a controller).
struct ViewUpdate {
    uint32_t hint = kHintRepaint;
    int32_t time = kNotSet;      // a marker's time relative to its dataset's zero
    int32_t x = kNotSet;         // a marker's value on the graph's horizontal axis
    int32_t position = kNotSet;  // a race marker's step or a track point, when it has one
    const IDocumentView* sender = nullptr;

    // Whether every bit of `flags` is set in the hint word.
    bool Has(uint32_t flags) const { return (hint & flags) == flags; }
    bool operator==(const ViewUpdate&) const = default;
};

}  // namespace orvex
