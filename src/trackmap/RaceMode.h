// Race mode: laps raced against each other. Every selected lap has a race marker at the same
// elapsed time from its own race start; the chart, marker list and track map show where each
// lap's car was then and how far apart the laps are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/Color.h"
#include "model/Dataset.h"
#include "model/Document.h"

namespace orvex {

class IHostServices;

// One lap in the race: the lap's range, the race range it runs over, where its marker stands.
struct CRaceLap {
    CBriodashDataset* dataset = nullptr;
    std::string name;
    int32_t lap = 0;  // 0: the whole session
    int32_t lapStart = 0, lapEnd = 0;
    int32_t raceStart = 0, raceEnd = 0;
    int32_t greenX = kNotSet, redX = kNotSet;  // the lap's own x at its race start and end
    int32_t raceTime = 0, raceX = 0;
    ColorRef color = 0;
};

struct RaceMenuEntry {
    std::string text;
    ColorRef color = 0;
    bool more = false;  // "More Sessions..."
};

inline constexpr int kRaceMenuLaps = 9;
inline constexpr const char* kTooFewRaceLaps =
    "Two or more Laps need to be selected for Race Mode.\nDisabling Race Mode!";
inline constexpr const char* kNoRaceDatasets =
    "Could NOT set Race Mode Marker.\nNo Data-Sets are visible.";

// The time (absolute) at which the session reaches distance x (tenths of a foot), interpolated
// along its distance trace; kNotSet without distances.
int32_t TimeAtDistance(const CBriodashDataset& ds, int32_t x);

class CRaceModeData : public IRaceMode {
  public:
    CRaceModeData();

    bool m_bRaceMode = false;
    bool m_bFollowMarkers = false;  // "TrackMap-TrackRace"
    ColorRef m_crLaps[kRaceMenuLaps];
    int32_t m_lClockStep = 1000;  // time units per nudge
    int32_t m_nSteps = 0;

    // The laps that can race: one per lap line of sessions with lap marks (or in lap view),
    // otherwise one per session. Selected laps no longer offered are dropped.
    void BuildAvailable(const std::vector<CBriodashDataset*>& sessions, bool lapView);
    const std::vector<CRaceLap>& Available() const { return m_available; }
    const std::vector<CRaceLap>& Selected() const { return m_selected; }
    // The lap choice's outcome (indexes into Available()). With fewer than two laps race mode
    // goes off with the message. Returns whether race mode is on.
    bool Choose(const std::vector<int>& availableIndexes, IHostServices& host);
    void TurnOff() { m_bRaceMode = false; }

    // The race menu: at most nine laps with their colours, then "More Sessions...".
    std::vector<RaceMenuEntry> Menu() const;
    void SetLapColor(int selected, ColorRef color);
    std::string ColorDialogTitle(int selected) const;

    // Race markers where the first lap reaches graph x; false with the message when no lap
    // has data.
    bool SetRaceMarker(int32_t x, IHostServices& host);
    // Race markers `elapsed` time units past every lap's race start (a click on the map).
    void SetElapsed(int32_t elapsed);
    // Race markers where the first lap stands at the absolute time `time`.
    void SetRaceTime(int32_t time);
    int32_t Elapsed() const { return m_lElapsed; }
    // Ctrl + Alt + arrows: the race clock one step back (-1) or forward (+1).
    void Step(int direction);
    // "Restart Race": back to each lap's race start.
    void Restart();
    // Race starts and ends from the laps, or, when following the markers, where each lap
    // reaches the green and red x (counted from the first lap's start) past its own start.
    void Resynchronise(int32_t greenX, int32_t redX);
    // The clock step becomes the sample period of the reference channel.
    void SetClockStep(int32_t samplePeriod);

    // Marker-list race columns: the lap names; the rows "%s Dist Diff"; cell (row r, column c)
    // the race marker x of c minus that of r in feet, each from its lap's race start, and
    // "Car Color" where a lap meets itself.
    std::vector<std::string> ColumnHeaders() const;
    std::vector<std::string> RowLabels() const;
    std::string Cell(int row, int column) const;

    // IRaceMode
    bool IsActive() const override { return m_bRaceMode; }
    bool Contains(const CBriodashDataset& ds) const override;
    bool Add(CBriodashDataset& ds) override;

  private:
    void PlaceMarkers();
    int32_t RelativeX(const CRaceLap& lap) const;

    std::vector<CRaceLap> m_available;
    std::vector<CRaceLap> m_selected;
    int32_t m_lElapsed = 0;  // race time past every lap's race start
};

}  // namespace orvex
