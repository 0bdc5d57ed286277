// The document's race-mode record as the strip chart, the marker list and the track map read
// it: lap names, colours and race marker positions on the graph's horizontal axis.
#pragma once

#include <functional>

#include "graph/Markers.h"
#include "trackmap/RaceMode.h"

namespace orvex {

class IHostServices;

class CRaceMarkers : public IRaceMarkers {
  public:
    CRaceMarkers(CBriodashDoc& doc, CRaceModeData& race, IHostServices& host)
        : m_doc(doc), m_race(race), m_host(host) {}

    // Whether the graph's horizontal axis shows time (else distance); asked on every use.
    std::function<bool()> m_timeAxis = [] { return true; };

    CRaceModeData& Race() { return m_race; }
    const CRaceModeData& Race() const { return m_race; }

    bool IsActive() const override { return m_race.m_bRaceMode; }
    bool FollowsMarkers() const override { return m_race.m_bFollowMarkers; }
    int LapCount() const override { return static_cast<int>(m_race.Selected().size()); }
    std::string LapName(int lap) const override;
    ColorRef LapColour(int lap) const override;
    CBriodashDataset* LapDataset(int lap) const override;
    int32_t RaceMarkerTime(int lap) const override;
    int32_t RaceMarkerX(int lap, bool relativeToGreen) const override;
    void SetRaceMarker(int32_t x) override;
    void Resync() override;
    void SetClockStep(int32_t samplePeriod) override { m_race.SetClockStep(samplePeriod); }
    void Step(int direction) override { m_race.Step(direction); }
    void Restart() override { m_race.Restart(); }

    // How far (feet) lap `lap` has run past the start of its own lap: its race circle on the
    // track map of that lap.
    double LapDistanceFeet(int lap) const;

  private:
    const CRaceLap* Lap(int lap) const;

    CBriodashDoc& m_doc;
    CRaceModeData& m_race;
    IHostServices& m_host;
};

}  // namespace orvex
