// The car: transmission, rear end and the analog, digital and RPM channel setups, each list
// ordered by channel number.
#pragma once

#include <cstdint>
#include <vector>

#include "model/ChannelSetups.h"

namespace orvex {

class CCarSetup {
  public:
    int32_t m_nRearEndMode = 1;  // 1 = ratio given ("Gear Ratio"), 0 = from the teeth
    int32_t m_nDriveTeeth = 2;
    int32_t m_nAxleTeeth = 8;
    int32_t m_nGears = 0;  // 0..6
    float m_fGearRatio[6] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    float m_fRearEndRatio = 4.0f;
    std::vector<CAnalogSetup> m_analog;
    std::vector<CDigitalSetup> m_digital;
    std::vector<CFreqSetup> m_rpm;

    CFreqSetup* FindRpmSetup(int channel);
    const CFreqSetup* FindRpmSetup(int channel) const;
    CAnalogSetup* FindAnalogSetup(int channel);
    const CAnalogSetup* FindAnalogSetup(int channel) const;
    CDigitalSetup* FindDigitalSetup(int channel);
    const CDigitalSetup* FindDigitalSetup(int channel) const;
};

}  // namespace orvex
