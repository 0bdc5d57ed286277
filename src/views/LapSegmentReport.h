// The lap segment report: for every lap of a session the lap time and the time spent in each
// segment of the track map, optionally with segment speeds, with the fastest values marked.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "graph/Color.h"
#include "model/Dataset.h"
#include "model/Units.h"
#include "trackmap/TrackMap.h"

namespace orvex {

// Corner segment kinds of the track map.
// The corner kinds of the track map (kRightTurn, kStraight, kLeftTurn).
using SegmentKind = CornerKind;

// The track map's segments as the report reads them: each segment's end along the mapped lap
// (feet) and its kind, in track order, and the mapped lap's length in feet.
struct MapSegments {
    double lapLength = 0;
    std::vector<double> ends;
    std::vector<uint8_t> kinds;
    int markedSegment = 0;  // 1-based segment shown on light grey, 0 for none
};

// The corner segments of a computed map: each one's end along the lap and its kind.
MapSegments SegmentsOfMap(const CTrackMap& map, int markedSegment = 0);

struct LapReportOptions {
    bool displaySpeeds = false;
    bool calculateBest = false;
    bool colorSegs = false;
    bool highliteBest = false;
    bool viewAll = true;
    bool useSelected = false;
};

struct LapReportColours {
    ColorRef rightTurn = MakeRGB(255, 0, 0);
    ColorRef leftTurn = MakeRGB(0, 0, 255);
    ColorRef track = MakeRGB(0, 0, 0);
};

struct LapReportColumn {
    std::string header;       // two lines joined by '\n'
    std::string widthSample;  // the column is this text's width + 10
};

struct LapReportCell {
    std::string text;
    ColorRef background = MakeRGB(255, 255, 255);
    ColorRef foreground = MakeRGB(0, 0, 0);
    bool best = false;
};

struct LapReportRow {
    std::string lap;                   // the lap number, or "Best Lap"
    std::vector<LapReportCell> cells;  // lap time first, then the segment columns
};

struct LapReportTable {
    std::vector<LapReportColumn> columns;  // "Lap\nNumber" first
    std::vector<LapReportRow> rows;
};

inline constexpr const char* kBestLapRow = "Best Lap";
inline constexpr ColorRef kMarkedSegmentGrey = MakeRGB(225, 225, 225);
inline constexpr ColorRef kBestGrey = MakeRGB(192, 192, 192);

// A lap time with three decimals, as the lap times are written: "1:02.350".
std::string FormatSegmentTime(int32_t t);

// The report's columns for the segments and options.
std::vector<LapReportColumn> LapReportColumns(const MapSegments& map, bool displaySpeeds);

// The report of `ds`'s laps read through the distance source `source` (1..4). `selected` are
// the selected laps; `lapView`: the session's distances start at its lap line.
LapReportTable BuildLapReport(CBriodashDataset& ds, int source, const MapSegments& map,
                              const LapReportOptions& options, const std::set<int>& selected,
                              Units units, const LapReportColours& colours = {},
                              bool lapView = false);

}  // namespace orvex
