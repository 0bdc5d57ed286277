#include "trackmap/RaceMarkers.h"

#include "host/HostServices.h"
#include "processing/SpeedDistance.h"

namespace orvex {

namespace {

// An absolute time of a session on its own time scale (relative to its zero).
int32_t Relative(const CBriodashDataset& ds, int32_t time) {
    if (time == kNotSet) return kNotSet;
    return ds.m_nTimeRef != 0 ? time - ds.m_lZeroTime : time;
}

int32_t Absolute(const CBriodashDataset& ds, int32_t time) {
    return ds.m_nTimeRef != 0 ? time + ds.m_lZeroTime : time;
}

}  // namespace

const CRaceLap* CRaceMarkers::Lap(int lap) const {
    const auto& laps = m_race.Selected();
    if (lap < 0 || lap >= static_cast<int>(laps.size())) return nullptr;
    const CRaceLap& l = laps[static_cast<std::size_t>(lap)];
    return l.dataset ? &l : nullptr;
}

std::string CRaceMarkers::LapName(int lap) const {
    const CRaceLap* l = Lap(lap);
    return l ? l->name : std::string();
}

ColorRef CRaceMarkers::LapColour(int lap) const {
    const CRaceLap* l = Lap(lap);
    return l ? l->color : 0;
}

CBriodashDataset* CRaceMarkers::LapDataset(int lap) const {
    const CRaceLap* l = Lap(lap);
    return l ? l->dataset : nullptr;
}

int32_t CRaceMarkers::RaceMarkerTime(int lap) const {
    const CRaceLap* l = Lap(lap);
    return l ? Relative(*l->dataset, l->raceTime) : kNotSet;
}

int32_t CRaceMarkers::RaceMarkerX(int lap, bool relativeToGreen) const {
    const CRaceLap* l = Lap(lap);
    if (!l) return kNotSet;
    if (relativeToGreen) return l->raceX - DistanceAtTime(*l->dataset, l->raceStart);
    return m_timeAxis() ? Relative(*l->dataset, l->raceTime) : l->raceX;
}

void CRaceMarkers::SetRaceMarker(int32_t x) {
    const CRaceLap* first = Lap(0);
    if (!first) {
        m_host.Message(kNoRaceDatasets, Icon::Warning);
        return;
    }
    if (m_timeAxis())
        m_race.SetRaceTime(Absolute(*first->dataset, x));
    else
        m_race.SetRaceMarker(x, m_host);
}

void CRaceMarkers::Resync() {
    m_race.Resynchronise(m_doc.m_lGreenDistance, m_doc.m_lRedDistance);
}

double CRaceMarkers::LapDistanceFeet(int lap) const {
    const CRaceLap* l = Lap(lap);
    if (!l) return 0.0;
    return (l->raceX - DistanceAtTime(*l->dataset, l->lapStart)) / 10.0;
}

}  // namespace orvex
