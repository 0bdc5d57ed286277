// Lap and ET marks of a session: their codes and numbering, the lap datasets of the lap view,
// the time texts and time entry of the lap dialogs, moving marks by a distance, drive-shaft
// alignment and the switch/timer events of the digital channels.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;
class IProgress;

// Mark codes: 100 × lap + beacon index for lap marks; 0..5 for the ET points of a time slip.
inline int32_t LapOfCode(int32_t code) {
    return code / 100;
}
inline int32_t BeaconOfCode(int32_t code) {
    return code % 100;
}
// The code after `code` with `beaconsPerLap` beacons (after the last index: the next lap line).
int32_t NextCode(int32_t code, int32_t beaconsPerLap);

enum EtPoint : int32_t {
    kEtLaunch = 0,
    kEt60 = 1,
    kEt330 = 2,
    kEt660 = 3,
    kEt1000 = 4,
    kEt1320 = 5
};

// 2 to 6 marks, each recorded code at least its position and at most 5.
bool IsEtConfigured(const CSampleList& markers);
// The "Lap Timer Beacons" command applies: marks that are not ET-configured.
bool HasLapMarks(const CBriodashDataset& ds);
// Sets the beacons per lap (1..100) and renumbers the marks from the first one's code.
void RenumberBeacons(CBriodashDataset& ds, int32_t beaconsPerLap);

// Time texts of the lap dialogs.
std::string FormatLapTime(int32_t t);   // lap times report: "1:02.35"
std::string FormatEtTime(int32_t t);    // ET slip: "0:10.123"
std::string FormatZeroTime(int32_t t);  // zero time and switch events: "1:02.3500"

// Reads a typed time "[-][[h:]m:]s[.ffff]" into 0.1 ms. `maxFields` limits the colon-separated
// fields (2: "mmm:ss.sss", 3: "hh:mm:ss.ssss"). Empty or malformed text gives nothing.
std::optional<int32_t> ParseTimeEntry(const std::string& text, int maxFields = 3);
inline constexpr const char* kInvalidTimeEntry = "Invalid Time Entered! (Format mmm:ss.sss)";
inline constexpr const char* kInvalidEtTime = "ERROR: Invalid Time Format (hh:mm:ss.ssss)!";

// --- Lap view -------------------------------------------------------------------------------

// Number of lap datasets of a session: one per lap line after the first lap, and an "End"
// segment when data follow the last mark.
int LapDatasetCount(const CBriodashDataset& session);
// Colour given to every channel of lap dataset n when laps are shown in one colour each.
int32_t LapColour(int n);
// Cuts the session into lap datasets numbered 1..N. Each holds the data between two lap lines
// (from the start of data for the first, to the end of data for the "End" segment), the marks
// in that range and its zero at the range start. `progress` (may be null) shows the part cut.
std::vector<std::unique_ptr<CBriodashDataset>> CutLaps(const CBriodashDataset& session,
                                                       bool oneColour, IProgress* progress);

// --- Move lap marks, data alignment ---------------------------------------------------------

// Moves every mark of a session with distances by `tenthsOfFeet` along the distance trace.
// Returns whether any mark moved. ET-configured sessions and sessions without distance stay.
bool MoveLapMarks(CBriodashDataset& ds, int32_t tenthsOfFeet);

// Shifts the drive-shaft channel so that its sample at `red` moves to `green` (both times as
// the chart shows them) and recomputes the slip it takes part in. Messages on failure.
bool AlignDriveShaft(CBriodashDataset& ds, int32_t green, int32_t red, Units units,
                     IHostServices& host);

// --- Digital events -------------------------------------------------------------------------

struct DigitalEvent {
    CBriodashDataset* dataset = nullptr;
    int channel = 0;    // 1..6
    int32_t time = 0;   // relative to the dataset's zero
    int32_t state = 0;  // the sample's value
    std::string text;   // "session:channel @ time"
};

// Events of one digital channel: every sample of an event-timer channel (type 3), otherwise the
// samples whose state differs from the sample before. Times relative to the zero.
std::vector<DigitalEvent> ChannelEvents(CBriodashDataset& ds, int channel);

// Filters of the "Switch/Timer Data" list.
struct SwitchEventFilter {
    bool allDatasets = false;  // "All Data-Sets" instead of "Viewed Data-Sets"
    int channels = 0;          // 0 "Viewed Data Pts", 1 "Viewed Channels", 2 "All Channels"
    int32_t windowStart = kMinInt32, windowEnd = kNotSet;  // graph window (relative times)
};
std::vector<DigitalEvent> SwitchEvents(const std::vector<CBriodashDataset*>& datasets,
                                       const SwitchEventFilter& filter);
// Difference of two selected events ("%s%d:%02d.%04d"), or the message for another count.
std::string SwitchEventDifference(const std::vector<DigitalEvent>& events,
                                  const std::vector<int>& selected);

}  // namespace orvex
