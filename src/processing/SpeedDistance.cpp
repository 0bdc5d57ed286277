#include "processing/SpeedDistance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "host/HostServices.h"
#include "host/Progress.h"
#include "processing/Laps.h"
#include "processing/SpikeFilter.h"

namespace orvex {

namespace {

constexpr int32_t kTypeDriveShaft = 10;
constexpr int32_t kTypeFrontWheel = 11;
constexpr int32_t kTypeRearWheel = 12;
constexpr int32_t kTypeClutch = 13;
constexpr int32_t kTypeUser = 14;
constexpr int32_t kNoReadingMilli = 1000;
constexpr int32_t kSpeedLimit = 35000;

bool GearsGiven(const CCarSetup& car) {
    return car.HasGears();
}

bool RearEndGiven(const CCarSetup& car) {
    return car.HasRearEnd();
}

bool HasTireSize(const CFreqSetup& s) {
    return s.HasTireSize();
}

double Gear(const CCarSetup& car, int gear) {
    return static_cast<double>(car.m_fGearRatio[gear - 1]);
}

double RearEnd(const CCarSetup& car) {
    return static_cast<double>(car.m_fRearEndRatio);
}

int32_t Trunc(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return kMinInt32;
    return static_cast<int32_t>(v);
}

// Seconds of data between two progress updates: 5 s for framed loggers, else 1 s.
int32_t ProgressStep(const CBriodashDataset& ds) {
    return ds.m_nFramed ? 5 * kTicksPerSecond : kTicksPerSecond;
}

std::string MinutesSeconds(int32_t t) {
    char buf[32];
    long secs = std::max<long>(t, 0) / kTicksPerSecond;
    std::snprintf(buf, sizeof buf, "%02ld:%02ld", secs / 60, secs % 60);
    return buf;
}

}  // namespace

bool GearKnown(const CCarSetup& car, int gear) {
    return gear >= 1 && gear <= car.m_nGears && gear <= 6 && car.m_fGearRatio[gear - 1] > 0.0f;
}

bool HasUsableRearWheel(const CCarSetup& car) {
    const CFreqSetup* rear = FindRearWheel(car);
    if (!rear || !HasTireSize(*rear)) return false;
    if (HasOwnChannel(*rear)) return true;
    if (RearEndGiven(car) && FindRpmType(car, kTypeDriveShaft)) return true;
    return RearEndGiven(car) && GearsGiven(car) &&
           (FindRpmType(car, kTypeClutch) || FindRpmType(car, 9));
}

bool CanDisplay(const CCarSetup& car, const CFreqSetup& setup, int32_t mode) {
    switch (setup.m_nRpmType) {
        case kTypeDriveShaft:
            if (mode == 0) return RearEndGiven(car) && HasUsableRearWheel(car);
            if (mode == 1) return GearsGiven(car);
            if (mode == 2) return RearEndGiven(car);
            return true;
        case kTypeFrontWheel:
            return mode != 0 || HasTireSize(setup);
        case kTypeRearWheel:
            if (mode == 0) return HasUsableRearWheel(car);
            if (mode == 1) return RearEndGiven(car) && GearsGiven(car);
            if (mode == 3) return RearEndGiven(car);
            return true;
        case kTypeClutch:
            return mode != 3 || GearsGiven(car);
        default:
            return true;
    }
}

int32_t ShaftSpeed(const CCarSetup& car, const CFreqSetup& setup, double rpm, int gear,
                   Units units) {
    double h = rpm * 60.0;  // revolutions per hour
    const CFreqSetup* rear = FindRearWheel(car);
    const double e = RearEnd(car);
    const bool known = GearKnown(car, gear);
    double speed = 0.0;
    auto throughRearEnd = [&](double revs) {
        if (!rear) return 0.0;
        double axle = e > 0.0 ? std::trunc(revs / e) : 0.0;
        return std::trunc(axle * static_cast<double>(rear->m_fCircumference) / 634.0);
    };
    const int32_t type = setup.m_nRpmType;
    if (IsEngineType(type)) {
        if (known) h = std::trunc(h / Gear(car, gear));
        speed = throughRearEnd(std::min(h, 840000.0));
    } else if (type == kTypeDriveShaft) {
        speed = throughRearEnd(h >= 839997.0 ? 840000.0 : h);
    } else if (type == kTypeClutch) {
        if (known) h = std::trunc(h * Gear(car, gear));
        speed = throughRearEnd(std::min(h, 840000.0));
    } else if (type == kTypeFrontWheel || type == kTypeRearWheel) {
        speed = std::trunc(h * static_cast<double>(setup.m_fCircumference) / 634.0);
    }
    int32_t result = std::min(Trunc(speed), kSpeedLimit);
    if (units == Units::Metric) result = Trunc(result * 0.634);
    return result;
}

int32_t ShaftSpeed(const CBriodashDataset& ds, int channel, Pos p, Units units) {
    if (channel < 1 || channel > kRpmChannels || p == kNoPos) return 0;
    const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(channel);
    if (!setup) return 0;
    const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    double rpm = s.GetRPM(static_cast<uint32_t>(s.GetSampleValue(p)), false);
    return ShaftSpeed(ds.m_carSetup, *setup, rpm, s[p].m_nGear, units);
}

int32_t ConvertRPM(const CCarSetup& car, const CFreqSetup& setup, int32_t mode, int32_t milliRpm,
                   int gear, Units units) {
    if (milliRpm == kNoReadingMilli) return milliRpm;
    if (mode == 0) return ShaftSpeed(car, setup, milliRpm / 1000.0, gear, units);
    const double r = milliRpm;
    const double e = RearEnd(car);
    const bool known = GearKnown(car, gear);
    const double g = known ? Gear(car, gear) : 1.0;
    const int32_t type = setup.m_nRpmType;
    const CFreqSetup* rear = FindRearWheel(car);
    // Front wheel turns relative to the rear wheel by the ratio of their circumferences.
    double frontToRear = 1.0;
    if (type == kTypeFrontWheel && rear && rear->m_fCircumference > 0.0f)
        frontToRear = static_cast<double>(setup.m_fCircumference) / rear->m_fCircumference;
    if (mode == 1) {
        if (type == kTypeDriveShaft) return Trunc(r * g);
        if (type == kTypeRearWheel) return Trunc(r * e * g);
        if (type == kTypeFrontWheel) return Trunc(r * frontToRear * e * g);
        return Trunc(r);
    }
    if (mode == 2) {
        if (IsEngineType(type)) {
            if (!known || !(e > 0.0)) return 1;
            return Trunc(std::trunc(r / g) / e);
        }
        if (type == kTypeDriveShaft) return e > 0.0 ? Trunc(r / e) : Trunc(r);
        if (type == kTypeClutch) return e > 0.0 ? Trunc(r * g / e) : Trunc(r * g);
        if (type == kTypeUser) return 1;
        return Trunc(r);
    }
    if (mode == 3) {
        if (IsEngineType(type)) return Trunc(r / g);
        if (type == kTypeClutch) return Trunc(r * g);
        if (type == kTypeUser) return 1;
        // A wheel turns the drive shaft through the rear end: shaft = wheel × rear-end ratio.
        if (type == kTypeRearWheel) return Trunc(r * e);
        if (type == kTypeFrontWheel) return Trunc(r * frontToRear * e);
        return Trunc(r);
    }
    return Trunc(r);
}

int32_t ConvertRPM(const CBriodashDataset& ds, int channel, int32_t milliRpm, Pos p, Units units) {
    if (channel < 1 || channel > kRpmChannels) return milliRpm;
    const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(channel);
    if (!setup) return milliRpm;
    const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    return ConvertRPM(ds.m_carSetup, *setup, setup->m_nDisplayMode, milliRpm, s.GetGear(p), units);
}

std::vector<int32_t> SmoothedRpmValues(CBriodashDataset& ds, int channel, int32_t mode, Units units,
                                       bool noReadingAsZero) {
    std::vector<int32_t> out;
    if (channel < 1 || channel > kRpmChannels) return out;
    const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(channel);
    CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    if (!setup || s.IsEmpty()) return out;
    if (mode < 0) mode = setup->m_nDisplayMode;
    const int n = std::max<int>(setup->m_nSmoothing, 1);
    out.reserve(s.GetCount());
    bool started = false;
    for (Pos p = s.First(); p != kNoPos; p = s.Next(p)) {
        int64_t sum = started ? SmoothContinue(s, p) : SmoothStart(s, p, n);
        started = true;
        auto period = static_cast<uint32_t>(std::max<int64_t>(sum / n, 0));
        int32_t milli = s.GetRPMMilli(period);
        if (noReadingAsZero && milli == kNoReadingMilli) {
            out.push_back(0);
            continue;
        }
        out.push_back(ConvertRPM(ds.m_carSetup, *setup, mode, milli, s[p].m_nGear, units));
    }
    return out;
}

int32_t AnalogValue(const CAnalogSetup& setup, int32_t raw, Units units, float voltageCorrection) {
    return setup.Convert(raw, units, voltageCorrection);
}

void CheckSlipInfo(CBriodashDataset& ds, bool report, IHostServices& host) {
    const CCarSetup& car = ds.m_carSetup;
    const std::string name = ds.GetDisplayName(ds.m_nLap ? 3 : 1);
    for (int i = 0; i < kRpmChannels; ++i) {
        CShaftList& s = ds.m_rpm[static_cast<std::size_t>(i)];
        const CFreqSetup* setup = car.FindRpmSetup(i + 1);
        if (s.m_nOn) {
            if (!setup) {
                s.m_nOn = 0;
            } else if (!CanDisplay(car, *setup)) {
                s.m_nOn = 0;
                if (report)
                    host.Message("Not enough information available to\ndisplay " +
                                     setup->m_strDescription + " as desired for\nSession '" + name +
                                     "'.\nPlease Correct Car Setup Info.",
                                 Icon::Warning);
            }
        }
        if (!s.m_nSlipOn) continue;
        const CFreqSetup* partner = setup ? car.FindRpmSetup(setup->m_nSlipPartner) : nullptr;
        if (!setup || !partner) {
            s.m_nSlipOn = 0;
            continue;
        }
        const bool selfEngine = IsEngineType(setup->m_nRpmType);
        const bool partnerEngine = IsEngineType(partner->m_nRpmType);
        bool ok;
        if (selfEngine)
            ok = CanDisplay(car, *partner, 1);
        else if (partnerEngine)
            ok = CanDisplay(car, *setup, 1);
        else
            ok = CanDisplay(car, *setup, 2) && CanDisplay(car, *partner, 2);
        if (!ok) {
            s.m_nSlipOn = 0;
            if (report)
                host.Message("Not enough information available to display\n" +
                                 setup->m_strDescription + " vs " + partner->m_strDescription +
                                 " slippage for\nSession '" + name +
                                 "'.\nPlease Correct Car Setup Info.",
                             Icon::Warning);
        }
    }
    for (int i = 0; i < kAnalogChannels; ++i)
        if (!car.FindAnalogSetup(i + 1)) ds.m_analog[static_cast<std::size_t>(i)].m_nOn = 0;
    for (int i = 0; i < kDigitalChannels; ++i)
        if (!car.FindDigitalSetup(i + 1)) ds.m_digital[static_cast<std::size_t>(i)].m_nOn = 0;
}

namespace {

// The source of a distance computation: one shaft or the accelerometer.
struct SourceInfo {
    int shaft = 0;             // RPM channel 1..5
    int analog = 0;            // analog channel 1..20
    int32_t mode = 2;          // display mode the shaft is read in (wheel RPM)
    double circumference = 0;  // inches
    bool engine = false;
    const CFreqSetup* setup = nullptr;
    const CAnalogSetup* accel = nullptr;
    std::string title;
};

bool ContainsNoCase(const std::string& text, const std::string& what) {
    auto it = std::search(text.begin(), text.end(), what.begin(), what.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
    return it != text.end();
}

bool FindSource(const CBriodashDataset& ds, int source, Units units, SourceInfo& from) {
    const CCarSetup& car = ds.m_carSetup;
    const CFreqSetup* rear = FindRearWheel(car);
    const double toInches = units == Units::Metric ? 1.0 / 2.54 : 1.0;
    auto shaftSeries = [&](const CFreqSetup* s) {
        return s && HasOwnChannel(*s) &&
               !ds.m_rpm[static_cast<std::size_t>(s->m_nChannel - 1)].IsEmpty();
    };
    char buf[160];
    switch (source) {
        case kDistanceFrontWheel: {
            const CFreqSetup* front = FindRpmType(car, kTypeFrontWheel);
            if (!shaftSeries(front)) return false;
            from.setup = front;
            from.circumference = front->m_fCircumference * toInches;
            break;
        }
        case kDistanceRearWheel: {
            if (!rear) return false;
            from.setup = shaftSeries(rear) ? rear : FindRpmType(car, kTypeDriveShaft);
            if (!shaftSeries(from.setup)) return false;
            // The drive shaft turns the wheel through the rear end.
            if (from.setup != rear && !(car.m_fRearEndRatio > 0.0f)) return false;
            from.circumference = rear->m_fCircumference * toInches;
            break;
        }
        case kDistanceEngine: {
            const CFreqSetup* engine = FindRpmType(car, 9);
            if (!rear || !shaftSeries(engine)) return false;
            from.setup = engine;
            from.engine = true;
            from.circumference = rear->m_fCircumference * toInches;
            from.title = "Calculating distance from Engine RPM";
            break;
        }
        case kDistanceAccelerometer:
            for (const CAnalogSetup& a : car.m_analog) {
                if ((a.m_nType == 7 || a.m_nType == 135) &&
                    ContainsNoCase(a.m_strDescription, "FRONT-REAR") && a.m_nChannel >= 1 &&
                    a.m_nChannel <= kAnalogChannels &&
                    !ds.m_analog[static_cast<std::size_t>(a.m_nChannel - 1)].IsEmpty()) {
                    from.accel = &a;
                    from.analog = a.m_nChannel;
                    std::snprintf(buf, sizeof buf, "Calculating distance from Analog #%1d",
                                  a.m_nChannel);
                    from.title = buf;
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
    from.shaft = from.setup->m_nChannel;
    if (from.title.empty()) {
        std::snprintf(buf, sizeof buf, "Calculating distance from %s",
                      from.setup->m_strDescription.c_str());
        from.title = buf;
    }
    return true;
}

// Distance at time t between the source points (times ascending, D in tenths of a foot).
class SourceTrack {
  public:
    std::vector<int32_t> times;
    std::vector<double> dist;

    // Walks forward with a cursor; calls must come in ascending time.
    int32_t At(int32_t t, std::size_t& cursor) const {
        if (times.empty()) return 0;
        while (cursor < times.size() && times[cursor] < t) ++cursor;
        if (cursor >= times.size()) return Trunc(dist.back());
        const double d1 = dist[cursor];
        const int32_t t1 = times[cursor];
        if (t1 == t) return Trunc(d1);
        const double d0 = cursor ? dist[cursor - 1] : 0.0;
        const int32_t t0 = cursor ? times[cursor - 1] : 0;
        if (t <= t0 || t1 <= t0) return Trunc(t <= t0 ? d0 : d1);
        return Trunc(d0 +
                     (d1 - d0) * (static_cast<double>(t) - t0) / (static_cast<double>(t1) - t0));
    }
};

template <class List>
void AssignDistances(List& series, const SourceTrack& track) {
    std::size_t cursor = 0;
    int32_t last = kMinInt32;
    for (auto& s : series.m_samples) {
        if (s.m_lTime < last) cursor = 0;  // out of order: search again from the start
        last = s.m_lTime;
        s.m_lDistance = track.At(s.m_lTime, cursor);
    }
}

// Times at which a drive-shaft or wheel series shows no reading, in ascending order.
std::vector<int32_t> NoReadingTimes(const CBriodashDataset& ds) {
    std::vector<int32_t> times;
    for (int i = 0; i < kRpmChannels; ++i) {
        const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(i + 1);
        if (!setup || setup->m_nRpmType < kTypeDriveShaft || setup->m_nRpmType > kTypeRearWheel)
            continue;
        const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(i)];
        for (Pos p = s.First(); p != kNoPos; p = s.Next(p))
            if (s.GetRPM(static_cast<uint32_t>(s.GetSampleValue(p)), false) == 1.0)
                times.push_back(s.TimeAt(p));
    }
    std::sort(times.begin(), times.end());
    return times;
}

}  // namespace

bool ComputeDistance(CBriodashDataset& ds, int source, Units units, IHostServices& host) {
    SourceInfo from;
    if (!FindSource(ds, source, units, from)) return false;
    auto progress = OpenProgressWindow(host, from.title);
    const CCarSetup& car = ds.m_carSetup;
    const CSeriesBase& src =
        from.shaft
            ? static_cast<const CSeriesBase&>(ds.m_rpm[static_cast<std::size_t>(from.shaft - 1)])
            : ds.m_analog[static_cast<std::size_t>(from.analog - 1)];
    SourceTrack track;
    track.times.reserve(src.GetCount());
    track.dist.reserve(src.GetCount());

    const std::vector<int32_t> stillTimes =
        from.accel ? NoReadingTimes(ds) : std::vector<int32_t>();
    std::size_t stillCursor = 0;
    int32_t stillTimer = kNotSet;
    bool standstill = false;

    const int32_t step = ProgressStep(ds);
    int64_t nextReport = step;
    double d = 0.0, v = 0.0;
    int32_t prevT = 0;
    bool first = true;
    char buf[96];
    auto report = [&](int32_t t) {
        progress->SetStatus(1, " " + MinutesSeconds(t) + " of data processed");
        if (units == Units::Metric)
            std::snprintf(buf, sizeof buf, " %1ld Meters Traveled",
                          static_cast<long>(d * 0.3048 / 10.0));
        else
            std::snprintf(buf, sizeof buf, " %1ld Feet Traveled", static_cast<long>(d / 10.0));
        progress->SetStatus(2, buf);
        return progress->Pump();
    };

    const CShaftList* shaft =
        from.shaft ? &ds.m_rpm[static_cast<std::size_t>(from.shaft - 1)] : nullptr;
    for (Pos p = src.First(); p != kNoPos; p = src.Next(p)) {
        const int32_t t = src.TimeAt(p);
        const double dt = first ? static_cast<double>(t) : static_cast<double>(t) - prevT;
        if (shaft) {
            int32_t milli = shaft->GetRPMMilli(static_cast<uint32_t>(shaft->GetSampleValue(p)));
            double speed = 0.0;
            if (milli != kNoReadingMilli) {
                if (from.engine) {
                    const int gear = (*shaft)[p].m_nGear;
                    const double div = GearKnown(car, gear) ? Gear(car, gear) * RearEnd(car) : 0.0;
                    speed = div > 0.0 ? milli * from.circumference * 10.0 / div : 0.0;
                } else {
                    const int32_t wheel =
                        ConvertRPM(car, *from.setup, 2, milli, (*shaft)[p].m_nGear, units);
                    speed = static_cast<double>(wheel) * from.circumference * 10.0;
                }
            }
            d += dt * speed / 7.2e9;
        } else {
            // Standstills seen while the samples up to the previous step were swept.
            while (stillCursor < stillTimes.size() && !first && stillTimes[stillCursor] <= prevT) {
                const int32_t ts = stillTimes[stillCursor++];
                if (stillTimer == kNotSet) {
                    stillTimer = ts;
                } else if (ts - stillTimer > 5000) {
                    standstill = true;
                    stillTimer = kNotSet;
                }
            }
            const double a =
                static_cast<double>(AnalogValue(*from.accel, src.GetSampleValue(p), units)) /
                std::max(from.accel->m_nResolution, 1) * 32.17;
            v += dt / 10000.0 * a;
            if (v < 0.0 || standstill) {
                v = 0.0;
                standstill = false;
            }
            double inc = first ? dt * dt * 10.0 / 2e8 * a
                               : v * dt * 10.0 / 10000.0 + dt * dt * 10.0 / 2e8 * a;
            if (inc > 0.0) d += inc;
        }
        track.times.push_back(t);
        track.dist.push_back(d);
        prevT = t;
        first = false;
        if (t >= nextReport) {
            nextReport = (static_cast<int64_t>(t) / step + 1) * step;
            if (report(t)) return false;
        }
    }
    if (!track.times.empty()) report(track.times.back());

    AssignDistances(ds.m_markers, track);
    for (auto& s : ds.m_rpm)
        if (!s.IsEmpty()) AssignDistances(s, track);
    for (auto& s : ds.m_analog)
        if (!s.IsEmpty()) AssignDistances(s, track);
    for (auto& s : ds.m_digital)
        if (!s.IsEmpty()) AssignDistances(s, track);

    ds.m_nDistanceSource = source;
    std::size_t cursor = 0;
    ds.m_lZeroDistance = track.At(ds.m_lZeroTime, cursor);
    NormaliseLapDistance(ds, host);
    return true;
}

const CSeriesBase* DistanceSourceSeries(const CBriodashDataset& ds, int source) {
    SourceInfo from;
    if (!FindSource(ds, source, Units::Imperial, from)) return nullptr;
    if (from.shaft) return &ds.m_rpm[static_cast<std::size_t>(from.shaft - 1)];
    return &ds.m_analog[static_cast<std::size_t>(from.analog - 1)];
}

void NormaliseLapDistance(CBriodashDataset& ds, IHostServices& host) {
    ds.m_lLapDistance = -1;
    if (IsEtConfigured(ds.m_markers)) return;
    std::vector<double> laps;
    double prev = 0.0;
    for (const CSample& m : ds.m_markers.m_samples) {
        if (m.m_lRaw % 100 != 0) continue;
        const double feet = m.m_lDistance / 10.0;
        laps.push_back(feet - prev);
        prev = feet;
    }
    if (laps.empty()) return;
    auto inBand = [](double ratio) { return ratio >= 0.9 && ratio < 1.1; };
    double reference = 0.0;
    for (std::size_t i = 1; i < laps.size(); ++i) {
        if (laps[i] > 0.0 && inBand(laps[i - 1] / laps[i])) {
            reference = (laps[i - 1] + laps[i]) / 2.0;
            break;
        }
    }
    if (reference <= 0.0) {
        host.Message(
            "Could NOT normalize Lap Distances.\nDistances calculated for each lap vary by more "
            "than 10%.",
            Icon::Warning);
        return;
    }
    double sum = 0.0;
    int count = 0;
    for (double lap : laps) {
        if (lap > 0.0 && inBand(reference / lap)) {
            sum += lap;
            ++count;
        }
    }
    if (count > 0) ds.m_lLapDistance = Trunc(sum / count * 10.0);
}

int32_t DistanceAtTime(const CBriodashDataset& ds, int32_t t) {
    const CShaftList* best = nullptr;
    for (const CShaftList& s : ds.m_rpm)
        if (!s.m_samples.empty() && (!best || s.Size() > best->Size())) best = &s;
    if (!best) return 0;
    const auto& v = best->m_samples;
    auto it = std::lower_bound(v.begin(), v.end(), t,
                               [](const CShaft& s, int32_t key) { return s.m_lTime < key; });
    if (it == v.end()) return v.back().m_lDistance;
    if (it == v.begin() || it->m_lTime == t) return it->m_lDistance;
    const CShaft& b = *it;
    const CShaft& a = *(it - 1);
    return Trunc(a.m_lDistance + static_cast<double>(b.m_lDistance - a.m_lDistance) *
                                     (t - a.m_lTime) / static_cast<double>(b.m_lTime - a.m_lTime));
}

void ComputeSlip(CBriodashDataset& ds, int channel, bool showProgress, Units units,
                 IHostServices& host) {
    if (channel < 1 || channel > kRpmChannels) return;
    CShaftList& own = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(channel);
    const int partnerChannel = setup ? setup->m_nSlipPartner : 0;
    const CFreqSetup* partnerSetup =
        partnerChannel ? ds.m_carSetup.FindRpmSetup(partnerChannel) : nullptr;
    if (!setup || !partnerSetup || partnerChannel < 1 || partnerChannel > kRpmChannels ||
        own.IsEmpty() || ds.m_rpm[static_cast<std::size_t>(partnerChannel - 1)].IsEmpty()) {
        own.m_bSlipDirty = 0;
        own.m_nSlipOn = 0;
        return;
    }
    if (!own.m_bSlipDirty) return;
    CShaftList& partner = ds.m_rpm[static_cast<std::size_t>(partnerChannel - 1)];

    std::unique_ptr<IProgress> progress;
    const std::string pair = setup->m_strDescription + " vs " + partnerSetup->m_strDescription;
    if (showProgress) progress = OpenProgressWindow(host, "Computing " + pair + " Slippage");

    // The two shafts are compared in one mode: engine RPM when an engine or clutch takes part,
    // road speed when a wheel does.
    auto isWheel = [](int32_t t) { return t == kTypeFrontWheel || t == kTypeRearWheel; };
    auto isEngineLike = [](int32_t t) { return IsEngineType(t) || t == kTypeClutch; };
    int32_t ownMode = setup->m_nDisplayMode, partnerMode = partnerSetup->m_nDisplayMode;
    if (isEngineLike(setup->m_nRpmType) || isEngineLike(partnerSetup->m_nRpmType))
        ownMode = partnerMode = 1;
    if (isWheel(setup->m_nRpmType) || isWheel(partnerSetup->m_nRpmType)) ownMode = partnerMode = 0;

    const std::vector<int32_t> mine = SmoothedRpmValues(ds, channel, ownMode, units, true);
    const std::vector<int32_t> theirs =
        partnerChannel == channel ? mine
                                  : SmoothedRpmValues(ds, partnerChannel, partnerMode, units, true);
    std::vector<int32_t> theirTimes;
    theirTimes.reserve(theirs.size());
    for (Pos q = partner.First(); q != kNoPos; q = partner.Next(q))
        theirTimes.push_back(partner.TimeAt(q));

    const int32_t step = ProgressStep(ds);
    int64_t nextReport = step;
    std::size_t j = 0, k = 0;
    for (Pos p = own.First(); p != kNoPos; p = own.Next(p), ++j) {
        const int32_t t = own.TimeAt(p);
        int32_t slip = 0;
        while (k < theirTimes.size() && theirTimes[k] <= t) ++k;
        if (k > 0) {
            // Partner value at t: between partner samples k − 1 (at or before t) and k.
            double w = theirs[k - 1];
            if (k < theirTimes.size() && theirTimes[k] > theirTimes[k - 1])
                w += (static_cast<double>(theirs[k]) - theirs[k - 1]) * (t - theirTimes[k - 1]) /
                     (theirTimes[k] - theirTimes[k - 1]);
            const int64_t wi = Trunc(w);
            const int64_t f = mine[j];
            const int64_t diff = wi - f;
            if (diff == 0 || wi == 0)
                slip = 0;
            else if (diff > wi)
                slip = static_cast<int32_t>(-(wi * 100000 / diff));
            else
                slip = static_cast<int32_t>(diff * 100000 / wi);
        }
        own[p].m_lSlip = slip;
        if (progress && t >= nextReport) {
            nextReport = (static_cast<int64_t>(t) / step + 1) * step;
            progress->SetStatus(1, " " + MinutesSeconds(t) + " of " + pair + " data processed");
            if (progress->Pump()) break;
        }
    }
    own.m_bSlipDirty = 0;
}

void DeriveAfterLoad(CBriodashDataset& ds, int distanceSource, Units units, IHostServices& host) {
    CheckSlipInfo(ds, false, host);
    if (distanceSource != kDistanceNone) ComputeDistance(ds, distanceSource, units, host);
    for (int c = 1; c <= kRpmChannels; ++c) ComputeSlip(ds, c, true, units, host);
}

void ApplyGearChoice(CBriodashDataset& ds, const GearDialog& dialog, GearAction action, Units units,
                     IHostServices& host) {
    ApplyGearShift(ds, dialog, action);
    for (int c = 1; c <= kRpmChannels; ++c) ComputeSlip(ds, c, true, units, host);
}

}  // namespace orvex
