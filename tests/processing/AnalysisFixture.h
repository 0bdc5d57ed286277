// Small datasets for the speed, distance, slip, gear and lap tests: RPM channels with constant
// speeds, sample times on a fixed step and marks at chosen times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Dataset.h"

namespace orvex::test {

// Period in timer counts for `rpm` at the default clock 307200 Hz and PPR 1.
inline int32_t PeriodFor(int32_t rpm) {
    return 18432000 / rpm;
}

inline CFreqSetup RpmSetup(int channel, int type, const std::string& name, int displayMode,
                           float circumference = 0.0f, int partner = 0) {
    CFreqSetup s;
    s.m_nChannel = channel;
    s.m_nRpmType = type;
    s.m_strDescription = name;
    s.m_nDisplayMode = displayMode;
    s.m_nPPR = 1;
    s.m_nSmoothing = 1;
    s.m_fCircumference = circumference;
    s.m_fDiameter = circumference / 3.1415926535f;
    s.m_nSlipPartner = partner;
    return s;
}

// Adds samples every `step` ticks from `step` to `end` at a constant RPM (0: no reading).
inline void FillRpm(CBriodashDataset& ds, int channel, int32_t rpm, int32_t step, int32_t end,
                    int16_t gear = 1) {
    CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    s.m_bFramed = ds.m_nFramed;
    s.m_nPerLap = 1;
    for (int32_t t = step; t <= end; t += step) {
        CShaft x;
        x.m_lTime = t;
        x.m_lRaw = x.m_lFiltered = rpm ? PeriodFor(rpm) : 0xFFFE;
        x.m_nGear = gear;
        s.AddTail(x);
    }
}

inline void AddMark(CBriodashDataset& ds, int32_t time, int32_t code, int32_t distance = 0) {
    CSample m;
    m.m_lTime = time;
    m.m_lRaw = m.m_lFiltered = code;
    m.m_lDistance = distance;
    ds.m_markers.AddTail(m);
}

// A car with a rear wheel of 80 in on channel 2, rear end 4.0 given by ratio, four gears.
inline void RearWheelCar(CBriodashDataset& ds) {
    ds.m_nFramed = 1;
    ds.m_carSetup.m_nGears = 4;
    ds.m_carSetup.m_fGearRatio[0] = 3.0f;
    ds.m_carSetup.m_fGearRatio[1] = 2.0f;
    ds.m_carSetup.m_fGearRatio[2] = 1.5f;
    ds.m_carSetup.m_fGearRatio[3] = 1.0f;
    ds.m_carSetup.m_nRearEndMode = 1;
    ds.m_carSetup.m_fRearEndRatio = 4.0f;
    ds.m_carSetup.m_nDriveTeeth = 9;
    ds.m_carSetup.m_nAxleTeeth = 36;
    ds.m_carSetup.m_rpm.push_back(RpmSetup(1, 1, "Engine", 1));
    ds.m_carSetup.m_rpm.push_back(RpmSetup(2, 12, "Rear Wheel", 0, 80.0f));
}

}  // namespace orvex::test
