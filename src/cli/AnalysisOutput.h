// Text of the values the strip chart plots for one channel, shared by "dump --values display".
#pragma once

#include <string>

#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex::cli {

// One line per sample: time in seconds, the displayed value (RPM, speed or the converted analog
// value, after smoothing) and, for RPM channels, the slip in percent. Distance and slip are
// derived first. `channel` is rpm1..5, analog1..20 or digital1..6; false when the name is
// unknown.
bool DisplayValueLines(CBriodashDataset& ds, const std::string& channel, Units units,
                       int distanceSource, float voltageCorrection, std::string& out);

}  // namespace orvex::cli
