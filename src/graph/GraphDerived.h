// What the strip chart takes from the speed, distance and slip code: whether a channel can be
// drawn as speed, the values an RPM channel plots, and the dataset-wide maxima.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Document.h"
#include "model/Units.h"

namespace orvex::graph {

// Whether the car setup lets `setup` be drawn as road speed: what the setup itself needs for
// speed, and for engine and clutch shafts also a usable rear wheel, a rear end and gears.
bool SpeedPrerequisites(const CCarSetup& car, const CFreqSetup& setup);

// The plotted value of every sample of RPM channel `channel` (1..5), indexed by position: the
// smoothed reading in the setup's display mode (speed × 100 in speed mode). Samples outside a
// sub-range view get their unsmoothed value. Empty without a setup or data.
std::vector<int32_t> RpmPlotValues(CBriodashDataset& ds, int channel, Units units);

// Largest value in RPM mode (RPM × 1000) and in speed mode (speed × 100) over the shown
// datasets' RPM channels with data.
void RpmAndSpeedMaxima(const CBriodashDoc& doc, Units units, int32_t& rpmMax, int32_t& mphMax);

}  // namespace orvex::graph
