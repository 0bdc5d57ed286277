// The "Calibrate Sensors for Suspension Analysis" dialog's state: the steering sensor and the
// four shock sensors of the current dataset, each with minimum, maximum, offset and invert,
// edited on copies and applied to the dataset on OK.
#pragma once

#include <string>
#include <vector>

#include "model/ChannelSetups.h"
#include "model/Units.h"

namespace orvex {

class CBriodashDataset;
class CCarSetup;

inline constexpr int32_t kSteeringSensorType = 7;
inline constexpr int32_t kShockSensorType = 6;

struct SensorRow {
    std::string name;  // "Steering", "LF", "RF", "LR", "RR"
    bool present = false;
    float minimum = 0, maximum = 0, offset = 0;  // display units
    bool invert = false;
};

class CSensorCalibration {
  public:
    static constexpr const char* kNames[5] = {"Steering", "LF", "RF", "LR", "RR"};

    CSensorCalibration(CBriodashDataset& ds, Units units);

    std::vector<SensorRow> m_rows;  // always the five sensors in the order of kNames

    // "Load Defaults": the values of the default setups of the same names.
    void LoadDefaults(const CCarSetup& defaults);
    // OK: the values go into the dataset's setups of those names.
    void Apply();

  private:
    static bool Matches(const CAnalogSetup& s, int row);
    CBriodashDataset& m_ds;
    Units m_units;
};

}  // namespace orvex
