// One sample of a channel: time, filtered and recorded value, distance; shaft samples add the
// gear and the slip, GPS samples a fix.
#pragma once

#include <cstdint>

namespace orvex {

struct CSample {
    int32_t m_lTime = 0;           // 0.1 ms
    int32_t m_lFiltered = 0xFFFF;  // value after the spike filter; equals m_lRaw until filtered
    int32_t m_lRaw = 0xFFFF;       // value as recorded (the value saved)
    int32_t m_lDistance = 0;       // tenths of a foot
};

struct CShaft : CSample {
    int16_t m_nGear = 1;  // index into the car setup's gear ratios
    int32_t m_lSlip = -1;  // 1/100000, -1 = not computed
};

struct CGPSSample : CSample {
    int32_t m_nSouth = 1;
    int32_t m_nWest = 0;
    float m_fTime = 0;
    float m_fSpeed = 0;
    float m_fHeading = 0;
    float m_fLatitude = 0;
    float m_fLongitude = 0;

    // Builds a fix from the logger's five words: time, speed, heading, latitude, longitude.
    static CGPSSample FromLoggerWords(uint32_t time, uint32_t speed, uint32_t heading,
                                      uint32_t latitude, uint32_t longitude) {
        CGPSSample s;
        s.m_nSouth = (latitude >> 31) & 1;
        s.m_nWest = (longitude >> 31) & 1;
        s.m_fTime = static_cast<float>(time) / 10000.0f;
        s.m_fSpeed = static_cast<float>(speed) / 10.0f;
        s.m_fHeading = static_cast<float>(heading) / 10.0f;
        s.m_fLatitude = static_cast<float>(latitude & 0x7FFFFFFFu) / 10000.0f;
        s.m_fLongitude = static_cast<float>(longitude & 0x7FFFFFFFu) / 10000.0f;
        return s;
    }
};

static_assert(sizeof(CSample) == 16);
static_assert(sizeof(CShaft) == 24);

}  // namespace orvex
