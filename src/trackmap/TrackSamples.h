// What a track map is made from: the speed sources, the accelerometers found by their
// direction texts, the laps a map can be made of ("Track Map Lap Selection") and the dataset
// operation that builds the map's samples over one lap.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex {

class CTrackMap;
class IHostServices;

// Speed sources of the track map ("GroundSpeedMap"); mode adds kTrackBanking for banking.
enum TrackSpeedSource : int {
    kSpeedEngine = 1,
    kSpeedFrontWheel = 2,
    kSpeedRearWheel = 3,
    kSpeedAccelerometer = 4,
};
inline constexpr int kTrackBanking = 8;

// The distance source that reads the same channel as a speed source (1 → 4, 2 → 1, 3 → 2,
// 4 → 3), and the reverse; 0 for anything else.
int DistanceSourceOfSpeedSource(int speedSource);
int SpeedSourceOfDistanceSource(int distanceSource);
// "Engine RPM", "Front Wheel", "Rear Wheel", "Accelerometer".
const char* SpeedSourceName(int speedSource);
// Whether the session has the channel the speed source reads.
bool HasSpeedSource(const CBriodashDataset& ds, int speedSource);

// The accelerometer setup (of either analog family) whose direction text contains
// `direction` ("FRONT-REAR", "LEFT-RIGHT", "UP-DOWN") and whose channel holds data.
const CAnalogSetup* FindAccelerometer(const CBriodashDataset& ds, const char* direction);

// Fills `map` (emptied first) with one sample per sample of the speed source between the
// absolute times `start` and `end`. mode = speed source + kTrackBanking when banking is
// calculated. False when the source is missing or on abort.
bool BuildTrackSamples(CBriodashDataset& ds, CTrackMap& map, int32_t start, int32_t end, int mode,
                       Units units, IHostServices& host);

// A lap as the track map takes it: from the lap line that starts it to the one that ends it.
struct TrackLap {
    CBriodashDataset* dataset = nullptr;
    int32_t code = 0;  // low byte the session's group number, upper 16 bits the lap number
    int32_t lap = 0;
    std::string name;
    int32_t start = 0, end = 0;  // absolute times
    int32_t distance = 0;        // tenths of a foot
};
inline int32_t TrackLapCode(int32_t group, int32_t lap) {
    return static_cast<int32_t>((static_cast<uint32_t>(lap) << 16) |
                                (static_cast<uint32_t>(group) & 0xFFu));
}

// Lap `lap` of a session, ended by the lap line coded 100 × lap; nothing without that line.
std::optional<TrackLap> FindTrackLap(CBriodashDataset& session, int32_t lap);

// Whether the lap's distance lies outside 0.9 to 1.1 times the session's average lap distance.
bool LapDistanceDiffers(const TrackLap& lap);
// The text asked about a lap whose distance is off the session's average by more than 10 %.
std::string LapDistanceQuestion(const TrackLap& lap);

// "Track Map Lap Selection": "<No Lap Selected>" and the laps of every session with lap marks
// and the speed source; a lap off the average distance is offered only when the user says Yes.
class CTrackMapLapSelection {
  public:
    void Open(const std::vector<CBriodashDataset*>& sessions, int speedSource, IHostServices& host);
    std::vector<std::string> Entries() const;
    const std::vector<TrackLap>& Laps() const { return m_laps; }
    // Entry index (0 = no lap) to its lap; nullptr for "<No Lap Selected>".
    const TrackLap* Choose(int entry) const;
    const TrackLap* FindCode(int32_t code) const;
    // The questions that were answered No.
    const std::vector<std::string>& LeftOut() const { return m_leftOut; }

  private:
    std::vector<TrackLap> m_laps;
    std::vector<std::string> m_leftOut;
};

// How a map is made of a lap: the settings of the "Track Map Settings" and segment dialogs.
struct TrackMapOptions {
    int speedSource = kSpeedEngine;
    bool open = false;     // "Do NOT Close Map"
    bool banking = false;  // "Calculate Track Banking"
    bool accelerationSegments = true;
    float lateralPos = 0.2f, lateralNeg = 0.2f, longitudePos = 0.2f, longitudeNeg = 0.2f;
};

enum class TrackMapResult { Ok, NoSpeedSource, TooFewSamples, Aborted };
inline constexpr const char* kTooLittleLapData = "Lap selected does NOT contain enough data!";

// Builds the samples of the lap, calculates the map and finds its segments. A lap of fewer than
// 100 samples is refused with the message before any calculation; the map is then empty.
TrackMapResult MakeTrackMap(const TrackLap& lap, const TrackMapOptions& options, Units units,
                            CTrackMap& map, IHostServices& host);

}  // namespace orvex
