// Channel setups: how the raw numbers of one analog, digital or RPM channel become
// engineering values, what the channel is called and how it is drawn.
#pragma once

#include <cstdint>
#include <string>

#include "model/Units.h"

namespace orvex {

class CAnalogSetup {
  public:
    int32_t m_nFamily = 1;  // 1 = first type family (codes 1..8), 0 = second (129..137)
    int32_t m_nInvert = 0;  // invert, or the sender's output range for pressure transducers
    std::string m_strDescription;
    int16_t m_nSmoothing = 4;
    int16_t m_nScaleMode = 1;  // 1 fixed, 2 automatic, 3 extended upward, 4 extended downward
    int32_t m_nChannel = 1;    // 1..20
    int32_t m_nType = 0;
    int32_t m_nBits = 12;
    int32_t m_nResolution = 1;  // 1, 10, 100 or 1000
    int32_t m_nWord = 0;
    float m_fMin = 0, m_fMax = 0, m_fOffset = 0;  // held in °F / inches for those types
    float m_fScale[3] = {1.0f, 1.0f, 1.0f};
    float m_fGraphBottom = 0.0f, m_fGraphTop = 1.0f;
    int32_t m_nAltInvert = 0;
    float m_fAltMin = 0, m_fAltMax = 0, m_fAltOffset = 0;
};

class CDigitalSetup {
  public:
    int32_t m_nInvert = 0;
    std::string m_strDescription;
    int16_t m_nBand = 2;     // 1 full, 2 0.1..0.9, 3 lower half, 4 upper half
    int32_t m_nChannel = 1;  // 1..6
    int32_t m_nType = 0;     // 0 none, 1 generic, 2 lap timer, 3 event timer, 4 switch, 5 GPS
    int32_t m_nUnitOffset = 0;
    float m_fBandLow = 0.0f, m_fBandHigh = 1.0f;
    float m_fHeightFactor = 1.0f;
};

class CFreqSetup {
  public:
    std::string m_strDescription;
    int32_t m_nTireSizeMode = 0;
    int16_t m_nSmoothing = 4;
    int32_t m_nChannel = 1;  // 1..5
    int32_t m_nRpmType = 0;
    int32_t m_nSlipPartner = 0;
    int32_t m_nDisplayMode = 1;  // 0 speed, 1 engine, 2 wheel, 3 drive shaft, 4 clutch RPM
    int32_t m_nPPR = 1;
    float m_fDiameter = 1.0f;        // current units (in or cm)
    float m_fCircumference = 3.14f;  // current units
};

}  // namespace orvex
