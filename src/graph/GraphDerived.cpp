// RPM display values and speed for the strip chart.
#include "graph/GraphDerived.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "model/Document.h"

namespace orvex::graph {

namespace {

bool IsEngine(int32_t type) {
    return type <= kRpmLastEngine;
}

const CFreqSetup* RearWheel(const CCarSetup& car) {
    const CFreqSetup* found = nullptr;
    for (const CFreqSetup& s : car.m_rpm) {
        if (s.m_nRpmType != kRpmRearWheel) continue;
        if (s.m_nChannel >= 1 && s.m_nChannel <= kRpmChannels) return &s;
        if (!found) found = &s;
    }
    return found;
}

bool GearKnown(const CCarSetup& car, int gear) {
    return gear >= 1 && gear <= car.m_nGears && car.m_fGearRatio[gear - 1] > 0.0f;
}

int32_t Trunc(double v) {
    return static_cast<int32_t>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

int32_t Speed(const CCarSetup& car, const CFreqSetup& setup, double rpm, int gear, Units units) {
    const CFreqSetup* rear = RearWheel(car);
    const double e = car.m_fRearEndRatio;
    const bool known = GearKnown(car, gear);
    const double g = known ? car.m_fGearRatio[gear - 1] : 1.0;
    double h = rpm * 60.0;
    const int32_t type = setup.m_nRpmType;
    double speed = 0.0;
    if (type == kRpmFrontWheel || type == kRpmRearWheel) {
        speed = std::trunc(h * setup.m_fCircumference / 634.0);
    } else if (type == kRpmUserDefined) {
        speed = 0.0;
    } else if (type == kRpmDriveShaft) {
        if (rear) {
            const double hh = h >= 839997.0 ? 840000.0 : h;
            const double a = e > 0.0 ? std::trunc(hh / e) : 0.0;
            speed = std::trunc(a * rear->m_fCircumference / 634.0);
        }
    } else {
        if (known) h = type == kRpmClutch ? std::trunc(h * g) : std::trunc(h / g);
        if (rear) {
            const double a = e > 0.0 ? std::trunc(std::min(h, 840000.0) / e) : 0.0;
            speed = std::trunc(a * rear->m_fCircumference / 634.0);
        }
    }
    speed = std::min(speed, 35000.0);
    if (units == Units::Metric) speed *= 0.634;
    return Trunc(speed);
}

}  // namespace

bool SpeedPrerequisites(const CCarSetup& car, int32_t rpmType) {
    if (rpmType == kRpmFrontWheel) {
        const CFreqSetup* front = car.FindRpmSetupByType(kRpmFrontWheel);
        return front && front->HasTireSize();
    }
    const CFreqSetup* rear = RearWheel(car);
    const bool usableRear = rear && rear->HasTireSize();
    if (rpmType == kRpmRearWheel) return usableRear;
    if (rpmType == kRpmUserDefined) return false;
    if (rpmType == kRpmDriveShaft) return usableRear && car.HasRearEnd();
    return usableRear && car.HasRearEnd() && car.HasGears();
}

int32_t PlotValue(const CCarSetup& car, const CFreqSetup& setup, int32_t milliRpm, int gear,
                  Units units) {
    if (milliRpm == 1000) return milliRpm;
    const int32_t mode = setup.m_nDisplayMode;
    if (mode == kDisplaySpeed) return Speed(car, setup, milliRpm / 1000.0, gear, units);
    const double r = milliRpm;
    const double e = car.m_fRearEndRatio;
    const bool known = GearKnown(car, gear);
    const double g = known ? car.m_fGearRatio[gear - 1] : 1.0;
    const int32_t type = setup.m_nRpmType;
    double frontToRear = 1.0;
    if (type == kRpmFrontWheel) {
        const CFreqSetup* rear = RearWheel(car);
        if (rear && rear->m_fCircumference > 0.0f)
            frontToRear = static_cast<double>(setup.m_fCircumference) / rear->m_fCircumference;
    }
    switch (mode) {
        case kDisplayEngine:
            if (type == kRpmDriveShaft) return Trunc(r * g);
            if (type == kRpmRearWheel) return Trunc(r * e * g);
            if (type == kRpmFrontWheel) return Trunc(r * frontToRear * e * g);
            return Trunc(r);
        case kDisplayWheel:
            if (IsEngine(type)) return (!known || !(e > 0.0)) ? 1 : Trunc(std::trunc(r / g) / e);
            if (type == kRpmDriveShaft) return e > 0.0 ? Trunc(r / e) : Trunc(r);
            if (type == kRpmClutch) return e > 0.0 ? Trunc(r * g / e) : Trunc(r * g);
            if (type == kRpmUserDefined) return 1;
            return Trunc(r);
        case kDisplayDriveShaft:
            if (IsEngine(type)) return Trunc(r / g);
            if (type == kRpmClutch) return Trunc(r * g);
            if (type == kRpmUserDefined) return 1;
            if (type == kRpmRearWheel) return Trunc(r * e);
            if (type == kRpmFrontWheel) return Trunc(r * frontToRear * e);
            return Trunc(r);
        default:
            return Trunc(r);
    }
}

int32_t SmoothedMilliRpm(const CShaftList& s, Pos p, int n) {
    if (n <= 1) return s.GetRPMMilli(static_cast<uint32_t>(std::max(s.ValueAt(p), 0)));
    int64_t sum = 0;
    for (int k = 0; k < n; ++k) sum += s.ValueAt(std::max<Pos>(p - k, 0));
    return s.GetRPMMilli(static_cast<uint32_t>(std::max<int64_t>(sum / n, 0)));
}

void RpmAndSpeedMaxima(const CBriodashDoc& doc, Units units, int32_t& rpmMax, int32_t& mphMax) {
    rpmMax = 0;
    mphMax = 0;
    for (const CBriodashDataset* ds : doc.ShownDatasets()) {
        for (int ch = 0; ch < kRpmChannels; ++ch) {
            const CShaftList& s = ds->m_rpm[static_cast<std::size_t>(ch)];
            const CFreqSetup* setup = ds->m_carSetup.FindRpmSetup(ch + 1);
            if (!setup || s.IsEmpty()) continue;
            const bool speed = setup->m_nDisplayMode == kDisplaySpeed;
            if (speed && !SpeedPrerequisites(ds->m_carSetup, setup->m_nRpmType)) continue;
            int32_t& best = speed ? mphMax : rpmMax;
            const int n = std::max<int>(setup->m_nSmoothing, 1);
            for (Pos p = s.First(); p != kNoPos; p = s.Next(p)) {
                const int32_t v = PlotValue(ds->m_carSetup, *setup, SmoothedMilliRpm(s, p, n),
                                            s[p].m_nGear, units);
                best = std::max(best, v);
            }
        }
    }
}

namespace {

bool ContainsNoCase(const std::string& text, const char* what) {
    const std::string w(what);
    auto it = std::search(text.begin(), text.end(), w.begin(), w.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
    return it != text.end();
}

const CSeriesBase* RpmSeriesOfType(const CBriodashDataset& ds, int32_t type) {
    for (const CFreqSetup& s : ds.m_carSetup.m_rpm) {
        const bool match =
            type == kRpmLastEngine ? s.m_nRpmType <= kRpmLastEngine : s.m_nRpmType == type;
        if (match && s.m_nChannel >= 1 && s.m_nChannel <= kRpmChannels)
            return &ds.m_rpm[static_cast<std::size_t>(s.m_nChannel - 1)];
    }
    return nullptr;
}

}  // namespace

const CSeriesBase* DistanceSourceSeries(const CBriodashDataset& ds, int source) {
    switch (source) {
        case 1:
            return RpmSeriesOfType(ds, kRpmFrontWheel);
        case 2: {
            const CSeriesBase* rear = RpmSeriesOfType(ds, kRpmRearWheel);
            if (rear && !rear->IsEmpty()) return rear;
            const CSeriesBase* shaft = RpmSeriesOfType(ds, kRpmDriveShaft);
            return shaft ? shaft : rear;
        }
        case 3:
            for (const CAnalogSetup& a : ds.m_carSetup.m_analog)
                if (ContainsNoCase(a.m_strDescription, "FRONT-REAR") && a.m_nChannel >= 1 &&
                    a.m_nChannel <= kAnalogChannels)
                    return &ds.m_analog[static_cast<std::size_t>(a.m_nChannel - 1)];
            return nullptr;
        case 4:
            return RpmSeriesOfType(ds, kRpmLastEngine);
        default:
            return nullptr;
    }
}

bool ComputeDatasetDistance(CBriodashDataset&, int, Units, IHostServices&) {
    // The distance integration lives with the speed code; until it is linked in, a dataset
    // keeps the distances it has.
    return false;
}

void ComputeChannelSlip(CBriodashDataset&, int, Units, IHostServices&) {}

}  // namespace orvex::graph
