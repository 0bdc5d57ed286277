// Speed, distance and slip derived from the shaft channels with the car setup: RPM values in
// their display mode, road speed, distance travelled from one source and shaft slip.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Dataset.h"
#include "model/Gears.h"
#include "model/RpmSetups.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;

// Sources of ComputeDistance.
enum DistanceSource : int {
    kDistanceNone = 0,
    kDistanceFrontWheel = 1,
    kDistanceRearWheel = 2,  // axle / rear wheel, or the drive shaft read as wheel RPM
    kDistanceAccelerometer = 3,
    kDistanceEngine = 4,
};

// Wheel, drive-shaft and clutch conversions need a usable gear g of the car: 1 ≤ g ≤ gears.
bool GearKnown(const CCarSetup& car, int gear);

// A rear wheel with a tire size that has its own channel or can be derived from another shaft.
bool HasUsableRearWheel(const CCarSetup& car);

// Whether the car setup allows `setup` to be shown in display mode `mode`.
bool CanDisplay(const CCarSetup& car, const CFreqSetup& setup, int32_t mode);
inline bool CanDisplay(const CCarSetup& car, const CFreqSetup& setup) {
    return CanDisplay(car, setup, setup.m_nDisplayMode);
}

// Road speed (MPH × 100 or KPH × 100) of a shaft turning at `rpm` in `gear`.
int32_t ShaftSpeed(const CCarSetup& car, const CFreqSetup& setup, double rpm, int gear,
                   Units units);
// Road speed at sample p of RPM channel `channel` (1..5); 0 without a setup.
int32_t ShaftSpeed(const CBriodashDataset& ds, int channel, Pos p, Units units);

// A milli RPM value of a shaft in display mode `mode` (mode 0: the speed). The no-reading value
// 1000 is returned unchanged.
int32_t ConvertRPM(const CCarSetup& car, const CFreqSetup& setup, int32_t mode, int32_t milliRpm,
                   int gear, Units units);
// The same in the setup's own display mode, for sample p of channel `channel` (1..5).
int32_t ConvertRPM(const CBriodashDataset& ds, int channel, int32_t milliRpm, Pos p, Units units);

// The values the strip chart plots for RPM channel `channel`, one per sample of its current
// view: the moving average over the setup's smoothing word, in display mode `mode` (-1: the
// setup's own). With `noReadingAsZero` a sample without a reading gives 0.
std::vector<int32_t> SmoothedRpmValues(CBriodashDataset& ds, int channel, int32_t mode, Units units,
                                       bool noReadingAsZero);

// Switches off the traces that the setups cannot show; with `report` the reasons are shown.
void CheckSlipInfo(CBriodashDataset& ds, bool report, IHostServices& host);

// Accumulates distance from `source`, gives every sample its distance and normalises the lap
// distance. False (distances unchanged) when the source is missing; false also on abort.
bool ComputeDistance(CBriodashDataset& ds, int source, Units units, IHostServices& host);
// The series ComputeDistance reads for `source` (the shaft, or the front-rear accelerometer);
// nullptr when the source cannot be used.
const CSeriesBase* DistanceSourceSeries(const CBriodashDataset& ds, int source);
// Mean lap length from the lap markers' distances into m_lLapDistance (−1 when not available).
void NormaliseLapDistance(CBriodashDataset& ds, IHostServices& host);
// The distance at time t from the distances of the samples (the RPM series with most samples).
int32_t DistanceAtTime(const CBriodashDataset& ds, int32_t t);

// Slip of RPM channel `channel` (1..5) against its slip partner, when its slip is dirty.
void ComputeSlip(CBriodashDataset& ds, int channel, bool showProgress, Units units,
                 IHostServices& host);

// What follows filling a dataset: the trace check, distance from `distanceSource` (0: none)
// and the slip of every channel marked for it.
void DeriveAfterLoad(CBriodashDataset& ds, int distanceSource, Units units, IHostServices& host);

// Analog value of a raw sample in units of 1/resolution factor (the channel's conversion).
// `voltageCorrection` is the application's channel-20 correction.
int32_t AnalogValue(const CAnalogSetup& setup, int32_t raw, Units units,
                    float voltageCorrection = 0.0f);

// Applies a gear dialog's choice to every RPM channel and recomputes the slip traces.
void ApplyGearChoice(CBriodashDataset& ds, const GearDialog& dialog, GearAction action, Units units,
                     IHostServices& host);

}  // namespace orvex
