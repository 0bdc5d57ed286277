#include "trackmap/TrackSamples.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>

#include "host/HostServices.h"
#include "processing/Laps.h"
#include "processing/SpeedDistance.h"
#include "trackmap/TrackMap.h"

namespace orvex {

namespace {

constexpr double kFeetPerSecondPerMph = 1.47;
constexpr double kGravityFeet = 32.19;
constexpr std::size_t kProgressEvery = 2000;

bool ContainsNoCase(const std::string& text, const char* what) {
    std::string a = text, b = what;
    for (char& c : a) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : b) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return a.find(b) != std::string::npos;
}

// An accelerometer read in G at increasing times, interpolated between its samples.
class AccelReader {
  public:
    AccelReader(const CBriodashDataset& ds, const CAnalogSetup* setup, Units units)
        : m_setup(setup), m_units(units) {
        if (setup) m_series = &ds.m_analog[static_cast<std::size_t>(setup->m_nChannel - 1)];
    }
    bool Present() const { return m_series != nullptr; }
    double At(int32_t t) {
        const auto& v = m_series->m_samples;
        while (m_cursor + 1 < v.size() && v[m_cursor + 1].m_lTime <= t) ++m_cursor;
        const double a = G(m_cursor);
        if (m_cursor + 1 >= v.size() || v[m_cursor].m_lTime >= t) return a;
        const double b = G(m_cursor + 1);
        const double span = v[m_cursor + 1].m_lTime - v[m_cursor].m_lTime;
        return a + (b - a) * (t - v[m_cursor].m_lTime) / span;
    }

  private:
    double G(std::size_t i) const {
        const double m = m_setup->m_nResolution > 0 ? m_setup->m_nResolution : 1;
        return AnalogValue(*m_setup, m_series->ValueAt(static_cast<Pos>(i)), m_units) / m;
    }
    const CAnalogSetup* m_setup;
    Units m_units;
    const CSampleList* m_series = nullptr;
    std::size_t m_cursor = 0;
};

std::string MinutesSeconds(int32_t t) {
    const long seconds = std::max<long>(t, 0) / kTicksPerSecond;
    char buf[64];
    std::snprintf(buf, sizeof buf, " %02ld:%02ld of data processed", seconds / 60, seconds % 60);
    return buf;
}

}  // namespace

int DistanceSourceOfSpeedSource(int speedSource) {
    switch (speedSource) {
        case kSpeedEngine:
            return kDistanceEngine;
        case kSpeedFrontWheel:
            return kDistanceFrontWheel;
        case kSpeedRearWheel:
            return kDistanceRearWheel;
        case kSpeedAccelerometer:
            return kDistanceAccelerometer;
        default:
            return kDistanceNone;
    }
}

int SpeedSourceOfDistanceSource(int distanceSource) {
    for (int s = kSpeedEngine; s <= kSpeedAccelerometer; ++s)
        if (DistanceSourceOfSpeedSource(s) == distanceSource) return s;
    return 0;
}

const char* SpeedSourceName(int speedSource) {
    switch (speedSource) {
        case kSpeedEngine:
            return "Engine RPM";
        case kSpeedFrontWheel:
            return "Front Wheel";
        case kSpeedRearWheel:
            return "Rear Wheel";
        case kSpeedAccelerometer:
            return "Accelerometer";
        default:
            return "";
    }
}

bool HasSpeedSource(const CBriodashDataset& ds, int speedSource) {
    const int distance = DistanceSourceOfSpeedSource(speedSource);
    return distance != kDistanceNone && DistanceSourceSeries(ds, distance) != nullptr;
}

const CAnalogSetup* FindAccelerometer(const CBriodashDataset& ds, const char* direction) {
    for (const CAnalogSetup& a : ds.m_carSetup.m_analog) {
        if ((a.m_nType == kAnalogAccel || a.m_nType == kAnalog2Accel) &&
            ContainsNoCase(a.m_strDescription, direction) && a.m_nChannel >= 1 &&
            a.m_nChannel <= kAnalogChannels &&
            !ds.m_analog[static_cast<std::size_t>(a.m_nChannel - 1)].m_samples.empty())
            return &a;
    }
    return nullptr;
}

bool BuildTrackSamples(CBriodashDataset& ds, CTrackMap& map, int32_t start, int32_t end, int mode,
                       Units units, IHostServices& host) {
    map.RemoveAll();
    const int source = mode & 7;
    const bool banking = (mode & kTrackBanking) != 0;
    const CAnalogSetup* frontRear = FindAccelerometer(ds, "FRONT-REAR");
    const CAnalogSetup* leftRight = FindAccelerometer(ds, "LEFT-RIGHT");
    const CAnalogSetup* upDown = banking ? FindAccelerometer(ds, "UP-DOWN") : nullptr;
    const CSeriesBase* series = nullptr;
    int channel = 0;
    std::string what;
    if (source == kSpeedAccelerometer) {
        if (!frontRear) return false;
        // The speed comes from the distances integrated from this accelerometer.
        if (ds.m_nDistanceSource != kDistanceAccelerometer &&
            !ComputeDistance(ds, kDistanceAccelerometer, units, host))
            return false;
        series = &ds.m_analog[static_cast<std::size_t>(frontRear->m_nChannel - 1)];
        what = frontRear->m_strDescription;
    } else {
        const int distanceSource = DistanceSourceOfSpeedSource(source);
        if (distanceSource == kDistanceNone) return false;
        series = DistanceSourceSeries(ds, distanceSource);
        if (!series) return false;
        for (int k = 0; k < kRpmChannels; ++k)
            if (series == &ds.m_rpm[static_cast<std::size_t>(k)]) channel = k + 1;
        if (channel == 0) return false;
        if (const CFreqSetup* f = ds.m_carSetup.FindRpmSetup(channel)) what = f->m_strDescription;
    }

    std::unique_ptr<IProgress> progress = host.OpenProgress("Calculating Track Map");
    char line[256];
    std::snprintf(line, sizeof line,
                  units == Units::Metric ? "Calculating KPH from %s" : "Calculating MPH from %s",
                  what.c_str());
    progress->SetStatus(1, line);

    AccelReader longitudinal(ds, frontRear, units), lateral(ds, leftRight, units),
        vertical(ds, upDown, units);
    const double g = map.m_dGScale;
    const std::size_t n = series->Size();
    double previousMph = 0.0;
    int32_t previousTime = 0;
    bool first = true;
    for (std::size_t i = 0; i < n; ++i) {
        const Pos p = static_cast<Pos>(i);
        const int32_t t = series->TimeAt(p);
        if (t < start) continue;
        if (t > end) break;
        double mph = 0.0;
        if (source == kSpeedAccelerometer) {
            // Speed from the distances computed from this accelerometer, over the neighbours.
            const Pos a = i > 0 ? p - 1 : p;
            const Pos b = i + 1 < n ? p + 1 : p;
            const double dt = (series->TimeAt(b) - series->TimeAt(a)) / double(kTicksPerSecond);
            const double feet = (series->DistanceAt(b) - series->DistanceAt(a)) / 10.0;
            mph = dt > 0.0 ? feet / dt / kFeetPerSecondPerMph : 0.0;
        } else {
            mph = ShaftSpeed(ds, channel, p, Units::Imperial) / 100.0;
        }
        CTrackSample s;
        s.m_dTime = t / double(kTicksPerSecond);
        s.m_dSpeed = mph * kFeetPerSecondPerMph;
        if (longitudinal.Present()) {
            s.m_dLongG = longitudinal.At(t) * g;
        } else if (!first && t != previousTime) {
            const double rate = kTicksPerSecond / double(t - previousTime);
            s.m_dLongG = (mph - previousMph) * 5280.0 / 3600.0 * rate / kGravityFeet * g;
        }
        s.m_dLatG = lateral.Present() ? lateral.At(t) * g : 0.0;
        s.m_dVertG = (vertical.Present() ? vertical.At(t) : 1.0) * g;
        map.m_samples.push_back(s);
        previousMph = mph;
        previousTime = t;
        first = false;
        if (map.m_samples.size() % kProgressEvery == 0) {
            progress->SetStatus(2, MinutesSeconds(t - start));
            if (progress->Pump()) {
                map.RemoveAll();
                return false;
            }
        }
    }
    if (!longitudinal.Present() && map.m_samples.size() > 1)
        map.m_samples[0].m_dLongG = map.m_samples[1].m_dLongG;
    return true;
}

std::optional<TrackLap> FindTrackLap(CBriodashDataset& session, int32_t lap) {
    if (lap < 1 || !HasLapMarks(session)) return std::nullopt;
    const auto& marks = session.m_markers.m_samples;
    const CSample* previousLine = nullptr;
    for (const CSample& m : marks) {
        if (BeaconOfCode(m.m_lRaw) != 0) continue;
        if (LapOfCode(m.m_lRaw) == lap) {
            TrackLap out;
            out.dataset = &session;
            out.lap = lap;
            out.code = TrackLapCode(session.m_nGroup, lap);
            out.name = session.GetDisplayName(1 | 2, lap);
            out.end = m.m_lTime;
            out.start = previousLine ? previousLine->m_lTime : session.GetStartTime(true);
            out.distance = m.m_lDistance - (previousLine ? previousLine->m_lDistance : 0);
            return out;
        }
        previousLine = &m;
    }
    return std::nullopt;
}

bool LapDistanceDiffers(const TrackLap& lap) {
    const int32_t average = lap.dataset ? lap.dataset->m_lLapDistance : -1;
    if (average <= 0) return false;
    const double ratio = lap.distance / double(average);
    return ratio < 0.9 || ratio > 1.1;
}

std::string LapDistanceQuestion(const TrackLap& lap) {
    return lap.name +
           " calculated distance differs by more than 10% from the average lap distance.\n"
           "Do you wish to include this lap for Track Mapping?";
}

void CTrackMapLapSelection::Open(const std::vector<CBriodashDataset*>& sessions, int speedSource,
                                 IHostServices& host) {
    m_laps.clear();
    m_leftOut.clear();
    for (CBriodashDataset* ds : sessions) {
        if (!ds || ds->m_bDeleted || ds->m_nLap != 0) continue;
        if (!HasLapMarks(*ds) || !HasSpeedSource(*ds, speedSource)) continue;
        for (const CSample& m : ds->m_markers.m_samples) {
            if (BeaconOfCode(m.m_lRaw) != 0 || LapOfCode(m.m_lRaw) < 1) continue;
            std::optional<TrackLap> lap = FindTrackLap(*ds, LapOfCode(m.m_lRaw));
            if (!lap) continue;
            if (LapDistanceDiffers(*lap)) {
                const std::string question = LapDistanceQuestion(*lap);
                if (host.Ask(question, Buttons::YesNo, Answer::No) != Answer::Yes) {
                    m_leftOut.push_back(question);
                    continue;
                }
            }
            m_laps.push_back(*lap);
        }
    }
}

std::vector<std::string> CTrackMapLapSelection::Entries() const {
    std::vector<std::string> out{"<No Lap Selected>"};
    for (const TrackLap& l : m_laps) out.push_back(l.name);
    return out;
}

const TrackLap* CTrackMapLapSelection::Choose(int entry) const {
    if (entry < 1 || entry > static_cast<int>(m_laps.size())) return nullptr;
    return &m_laps[static_cast<std::size_t>(entry - 1)];
}

const TrackLap* CTrackMapLapSelection::FindCode(int32_t code) const {
    for (const TrackLap& l : m_laps)
        if (l.code == code) return &l;
    return nullptr;
}

TrackMapResult MakeTrackMap(const TrackLap& lap, const TrackMapOptions& options, Units units,
                            CTrackMap& map, IHostServices& host) {
    map.RemoveAll();
    map.m_bClose = options.open ? 0 : 1;
    map.m_fLateralPos = options.lateralPos;
    map.m_fLateralNeg = options.lateralNeg;
    map.m_fLongitudePos = options.longitudePos;
    map.m_fLongitudeNeg = options.longitudeNeg;
    const int mode = options.speedSource + (options.banking ? kTrackBanking : 0);
    if (!lap.dataset || !HasSpeedSource(*lap.dataset, options.speedSource))
        return TrackMapResult::NoSpeedSource;
    if (!BuildTrackSamples(*lap.dataset, map, lap.start, lap.end, mode, units, host)) {
        map.RemoveAll();
        return TrackMapResult::Aborted;
    }
    if (map.GetCount() < kMinTrackSamples) {
        map.RemoveAll();
        host.Message(kTooLittleLapData, Icon::Warning);
        return TrackMapResult::TooFewSamples;
    }
    std::unique_ptr<IProgress> progress = host.OpenProgress("Calculating Track Map");
    if (!map.Calculate(progress.get()) || !map.FindCornerSegments(progress.get()) ||
        (options.accelerationSegments && !map.FindAccelerationSegments(progress.get()))) {
        map.RemoveAll();
        return TrackMapResult::Aborted;
    }
    return TrackMapResult::Ok;
}

}  // namespace orvex
