// The track map of one lap of a document's data-set, made with the application's segment
// thresholds: the one way `orvex-cli trackmap`, `orvex-cli lap-report` and the lap segment
// report window make it.
#pragma once

#include <string>

#include "trackmap/TrackMap.h"

namespace orvex {

class CBriodashDataset;
class CBriodashDoc;
class CDataAcqApp;
class IHostServices;

struct LapMapChoice {
    long dataset = 1;  // 1-based among the document's shown data-sets
    long lap = 1;
    int speedSource = 0;             // 1..4; 0: the settings' "GroundSpeedMap"
    bool open = false;               // "Do NOT Close Map"
    bool banking = false;            // "Calculate Track Banking"
    bool acceptOddDistance = false;  // a lap off the average distance is taken without asking
};

struct LapMapOutcome {
    bool ok = false;
    CBriodashDataset* session = nullptr;  // the data-set the lap belongs to
    // Why no map was made: a text for the error stream (the map calculation's own refusals
    // went to the host); empty when the host already said it.
    std::string error;
};

// Makes `map` (emptied first) of the chosen lap.
LapMapOutcome MakeLapTrackMap(CBriodashDoc& doc, const CDataAcqApp& app, const LapMapChoice& choice,
                              CTrackMap& map, IHostServices& host);

}  // namespace orvex
