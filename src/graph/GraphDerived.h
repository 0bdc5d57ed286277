// What the strip chart needs from the speed, distance and slip code: the value an RPM channel
// plots in its display mode, whether speed can be shown, and the dataset-wide maxima.
#pragma once

#include <cstdint>

#include "model/Document.h"
#include "model/Units.h"

namespace orvex {
class IHostServices;
}

namespace orvex::graph {

// Whether the car setup has what road speed from a shaft of `rpmType` needs: the front tire
// for a front wheel, a usable rear wheel for a rear wheel, plus the rear end for a drive shaft,
// plus the gears for engine and clutch shafts.
bool SpeedPrerequisites(const CCarSetup& car, int32_t rpmType);

// The value plotted for a milli-RPM reading of a shaft: RPM × 1000 in the setup's display mode,
// or speed × 100 (MPH or KPH) in speed mode. The no-reading value 1000 is kept.
int32_t PlotValue(const CCarSetup& car, const CFreqSetup& setup, int32_t milliRpm, int gear,
                  Units units);

// The moving average of the shaft's periods over the `n` samples up to p (the first sample
// repeated before the start), as a milli-RPM reading.
int32_t SmoothedMilliRpm(const CShaftList& s, Pos p, int n);

// Largest value in RPM mode (RPM × 1000) and in speed mode (speed × 100) over the shown
// datasets' RPM channels with data.
void RpmAndSpeedMaxima(const CBriodashDoc& doc, Units units, int32_t& rpmMax, int32_t& mphMax);

// The series distance was computed from for `source` (1 front wheel, 2 rear wheel or drive
// shaft, 3 the front-rear accelerometer, 4 engine RPM), or nullptr.
const CSeriesBase* DistanceSourceSeries(const CBriodashDataset& ds, int source);

// Distance of a dataset from a source; false when it could not be computed.
bool ComputeDatasetDistance(CBriodashDataset& ds, int source, Units units, IHostServices& host);

// Slip of one RPM channel when it is marked for recomputation.
void ComputeChannelSlip(CBriodashDataset& ds, int channel, Units units, IHostServices& host);

}  // namespace orvex::graph
