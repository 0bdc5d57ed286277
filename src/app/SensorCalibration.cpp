#include "app/SensorCalibration.h"

#include "model/CarSetup.h"
#include "model/Dataset.h"

namespace orvex {

namespace {

void Fill(SensorRow& row, const CAnalogSetup& s, Units units) {
    row.present = true;
    row.minimum = s.GetMinimum(units);
    row.maximum = s.GetMaximum(units);
    row.offset = s.GetOffset(units);
    row.invert = s.m_nInvert != 0;
}

}  // namespace

bool CSensorCalibration::Matches(const CAnalogSetup& s, int row) {
    const int32_t type = row == 0 ? kSteeringSensorType : kShockSensorType;
    return s.m_nType == type && s.m_strDescription == kNames[row];
}

CSensorCalibration::CSensorCalibration(CBriodashDataset& ds, Units units)
    : m_ds(ds), m_units(units) {
    for (int i = 0; i < 5; ++i) {
        SensorRow row;
        row.name = kNames[i];
        for (const CAnalogSetup& s : ds.m_carSetup.m_analog)
            if (Matches(s, i)) {
                Fill(row, s, units);
                break;
            }
        m_rows.push_back(row);
    }
}

void CSensorCalibration::LoadDefaults(const CCarSetup& defaults) {
    for (int i = 0; i < 5; ++i) {
        SensorRow& row = m_rows[static_cast<std::size_t>(i)];
        if (!row.present) continue;
        for (const CAnalogSetup& s : defaults.m_analog)
            if (Matches(s, i)) {
                Fill(row, s, m_units);
                break;
            }
    }
}

void CSensorCalibration::Apply() {
    for (int i = 0; i < 5; ++i) {
        const SensorRow& row = m_rows[static_cast<std::size_t>(i)];
        if (!row.present) continue;
        for (CAnalogSetup& s : m_ds.m_carSetup.m_analog)
            if (Matches(s, i)) {
                s.SetMinimum(row.minimum, m_units);
                s.SetMaximum(row.maximum, m_units);
                s.SetOffset(row.offset, m_units);
                s.m_nInvert = row.invert ? 1 : 0;
                break;
            }
    }
}

}  // namespace orvex
