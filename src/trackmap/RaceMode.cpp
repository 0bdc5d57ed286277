#include "trackmap/RaceMode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/HostServices.h"
#include "processing/Laps.h"
#include "processing/SpeedDistance.h"

namespace orvex {

namespace {

// The series whose distances stand for the session's (the RPM series with most samples).
const CShaftList* DistanceSeries(const CBriodashDataset& ds) {
    const CShaftList* best = nullptr;
    for (const CShaftList& s : ds.m_rpm)
        if (!s.m_samples.empty() && (!best || s.Size() > best->Size())) best = &s;
    return best;
}

constexpr ColorRef kDefaultLapColors[kRaceMenuLaps] = {
    MakeRGB(255, 0, 0),   MakeRGB(0, 0, 255),   MakeRGB(0, 160, 0),
    MakeRGB(255, 128, 0), MakeRGB(160, 0, 160), MakeRGB(0, 160, 160),
    MakeRGB(128, 64, 0),  MakeRGB(255, 0, 128), MakeRGB(96, 96, 96)};

}  // namespace

int32_t TimeAtDistance(const CBriodashDataset& ds, int32_t x) {
    const CShaftList* s = DistanceSeries(ds);
    if (!s) return kNotSet;
    const auto& v = s->m_samples;
    auto it = std::find_if(v.begin(), v.end(), [x](const CShaft& p) { return p.m_lDistance >= x; });
    if (it == v.end()) return v.back().m_lTime;
    if (it == v.begin() || it->m_lDistance == (it - 1)->m_lDistance) return it->m_lTime;
    const CShaft& a = *(it - 1);
    const double f = (x - a.m_lDistance) / static_cast<double>(it->m_lDistance - a.m_lDistance);
    return a.m_lTime + static_cast<int32_t>(std::lround(f * (it->m_lTime - a.m_lTime)));
}

CRaceModeData::CRaceModeData() {
    std::copy(std::begin(kDefaultLapColors), std::end(kDefaultLapColors), m_crLaps);
}

void CRaceModeData::BuildAvailable(const std::vector<CBriodashDataset*>& sessions, bool lapView) {
    m_available.clear();
    for (CBriodashDataset* ds : sessions) {
        if (!ds || ds->m_bDeleted || ds->m_nLap != 0) continue;
        if (lapView || HasLapMarks(*ds)) {
            const CSample* previous = nullptr;
            for (const CSample& m : ds->m_markers.m_samples) {
                if (BeaconOfCode(m.m_lRaw) != 0) continue;
                if (LapOfCode(m.m_lRaw) >= 1) {
                    CRaceLap lap;
                    lap.dataset = ds;
                    lap.lap = LapOfCode(m.m_lRaw);
                    lap.name = ds->GetDisplayName(1 | 2, lap.lap);
                    lap.lapStart = previous ? previous->m_lTime : ds->GetStartTime(true);
                    lap.lapEnd = m.m_lTime;
                    m_available.push_back(lap);
                }
                previous = &m;
            }
            if (previous) continue;
        }
        CRaceLap whole;
        whole.dataset = ds;
        whole.name = ds->GetDisplayName(1);
        whole.lapStart = ds->GetStartTime(true);
        whole.lapEnd = ds->GetEndTime(true);
        m_available.push_back(whole);
    }
    std::erase_if(m_selected, [&](const CRaceLap& s) {
        return std::none_of(m_available.begin(), m_available.end(),
                            [&](const CRaceLap& a) { return a.name == s.name; });
    });
    if (m_selected.size() < 2) m_bRaceMode = false;
}

bool CRaceModeData::Choose(const std::vector<int>& availableIndexes, IHostServices& host) {
    std::vector<CRaceLap> chosen;
    for (int i : availableIndexes) {
        if (i < 0 || i >= static_cast<int>(m_available.size())) continue;
        CRaceLap lap = m_available[static_cast<std::size_t>(i)];
        // A lap already racing keeps its colour.
        auto old = std::find_if(m_selected.begin(), m_selected.end(),
                                [&](const CRaceLap& s) { return s.name == lap.name; });
        lap.color = old != m_selected.end()
                        ? old->color
                        : m_crLaps[chosen.size() % static_cast<std::size_t>(kRaceMenuLaps)];
        chosen.push_back(lap);
    }
    m_selected = std::move(chosen);
    m_bRaceMode = m_selected.size() >= 2;
    if (!m_bRaceMode) {
        host.Message(kTooFewRaceLaps, Icon::Warning);
        return false;
    }
    m_nSteps = 0;
    m_lElapsed = 0;
    Resynchronise(kNotSet, kNotSet);
    return true;
}

std::vector<RaceMenuEntry> CRaceModeData::Menu() const {
    std::vector<RaceMenuEntry> out;
    for (std::size_t i = 0; i < m_selected.size() && i < kRaceMenuLaps; ++i)
        out.push_back({m_selected[i].name, m_selected[i].color, false});
    if (m_selected.size() > kRaceMenuLaps) out.push_back({"More Sessions...", 0, true});
    return out;
}

void CRaceModeData::SetLapColor(int selected, ColorRef color) {
    if (selected < 0 || selected >= static_cast<int>(m_selected.size())) return;
    m_selected[static_cast<std::size_t>(selected)].color = color;
    if (selected < kRaceMenuLaps) m_crLaps[selected] = color;
}

std::string CRaceModeData::ColorDialogTitle(int selected) const {
    if (selected < 0 || selected >= static_cast<int>(m_selected.size())) return {};
    return "Set Color for " + m_selected[static_cast<std::size_t>(selected)].name;
}

void CRaceModeData::PlaceMarkers() {
    for (CRaceLap& lap : m_selected) {
        lap.raceTime = lap.raceStart + m_lElapsed;
        lap.raceX = DistanceAtTime(*lap.dataset, lap.raceTime);
    }
}

bool CRaceModeData::SetRaceMarker(int32_t x, IHostServices& host) {
    const CRaceLap* first = nullptr;
    for (const CRaceLap& lap : m_selected)
        if (lap.dataset && DistanceSeries(*lap.dataset)) {
            first = &lap;
            break;
        }
    if (!first) {
        host.Message(kNoRaceDatasets, Icon::Warning);
        return false;
    }
    const int32_t t = TimeAtDistance(*first->dataset, x);
    m_lElapsed = t - first->raceStart;
    m_nSteps = m_lClockStep > 0 ? m_lElapsed / m_lClockStep : 0;
    PlaceMarkers();
    return true;
}

void CRaceModeData::SetElapsed(int32_t elapsed) {
    m_lElapsed = elapsed;
    m_nSteps = m_lClockStep > 0 ? m_lElapsed / m_lClockStep : 0;
    PlaceMarkers();
}

void CRaceModeData::SetRaceTime(int32_t time) {
    if (m_selected.empty()) return;
    SetElapsed(time - m_selected.front().raceStart);
}

void CRaceModeData::Step(int direction) {
    m_nSteps += direction < 0 ? -1 : 1;
    m_lElapsed = m_lClockStep * m_nSteps;
    PlaceMarkers();
}

void CRaceModeData::Restart() {
    m_nSteps = 0;
    m_lElapsed = 0;
    PlaceMarkers();
}

void CRaceModeData::Resynchronise(int32_t greenX, int32_t redX) {
    if (m_selected.empty()) return;
    // Marker positions count from the first lap's start; every lap reaches them as far past
    // its own start.
    const CRaceLap& first = m_selected.front();
    const int32_t origin = DistanceAtTime(*first.dataset, first.lapStart);
    for (CRaceLap& lap : m_selected) {
        const int32_t start = DistanceAtTime(*lap.dataset, lap.lapStart);
        lap.raceStart = lap.lapStart;
        lap.raceEnd = lap.lapEnd;
        if (m_bFollowMarkers && greenX != kNotSet)
            lap.raceStart = TimeAtDistance(*lap.dataset, start + greenX - origin);
        if (m_bFollowMarkers && redX != kNotSet)
            lap.raceEnd = TimeAtDistance(*lap.dataset, start + redX - origin);
        lap.greenX = DistanceAtTime(*lap.dataset, lap.raceStart);
        lap.redX = DistanceAtTime(*lap.dataset, lap.raceEnd);
    }
    PlaceMarkers();
}

void CRaceModeData::SetClockStep(int32_t samplePeriod) {
    if (samplePeriod > 0) m_lClockStep = samplePeriod;
}

int32_t CRaceModeData::RelativeX(const CRaceLap& lap) const {
    return lap.raceX - lap.greenX;
}

std::vector<std::string> CRaceModeData::ColumnHeaders() const {
    std::vector<std::string> out;
    for (const CRaceLap& lap : m_selected) out.push_back(lap.name);
    return out;
}

std::vector<std::string> CRaceModeData::RowLabels() const {
    std::vector<std::string> out;
    for (const CRaceLap& lap : m_selected) out.push_back(lap.name + " Dist Diff");
    return out;
}

std::string CRaceModeData::Cell(int row, int column) const {
    const int n = static_cast<int>(m_selected.size());
    if (row < 0 || column < 0 || row >= n || column >= n) return {};
    if (row == column) return "Car Color";
    const int32_t diff = RelativeX(m_selected[static_cast<std::size_t>(column)]) -
                         RelativeX(m_selected[static_cast<std::size_t>(row)]);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", diff / 10.0);
    return buf;
}

bool CRaceModeData::Contains(const CBriodashDataset& ds) const {
    return std::any_of(m_selected.begin(), m_selected.end(),
                       [&](const CRaceLap& l) { return l.dataset == &ds; });
}

bool CRaceModeData::Add(CBriodashDataset& ds) {
    for (const CRaceLap& a : m_available) {
        if (a.dataset != &ds || Contains(ds)) continue;
        CRaceLap lap = a;
        lap.color = m_crLaps[m_selected.size() % static_cast<std::size_t>(kRaceMenuLaps)];
        m_selected.push_back(lap);
        Resynchronise(m_selected.front().greenX, m_selected.front().redX);
        return true;
    }
    return false;
}

}  // namespace orvex
