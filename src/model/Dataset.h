// One recorded session ("Session/Pass"): every channel series, the car setup that converts
// them, name and comment lines, time reference and the flags the views and analyses use.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/CarSetup.h"
#include "model/SampleList.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;

inline constexpr int kRpmChannels = 5;
inline constexpr int kAnalogChannels = 20;
inline constexpr int kDigitalChannels = 6;

class CBriodashDataset {
  public:
    int32_t m_bDeleted = 0;
    int32_t m_nDistanceSource = 0;
    int32_t m_nLap = 0;
    int32_t m_nGroup = 0;
    int32_t m_nTimeRef = 0;  // 0 absolute, 7 lap-range view, others from the zero-time command
    int32_t m_nFramed = 0;
    int32_t m_nLoggerFamily = 0;
    int32_t m_nBeaconsPerLap = 1;
    uint16_t m_nOptions = 0;
    int32_t m_lZeroTime = 0;
    int32_t m_lZeroDistance = 0;
    int32_t m_lLapDistance = -1;
    float m_fClock = 307200.0f;
    std::string m_strName;
    std::vector<std::string> m_lstComments;
    CCarSetup m_carSetup;
    CGPSList m_gps;
    CSampleList m_markers;
    std::array<CShaftList, kRpmChannels> m_rpm;
    uint32_t m_nChannelEnable = 0;
    std::array<CSampleList, kAnalogChannels> m_analog;
    std::array<CSampleList, kDigitalChannels> m_digital;

    CBriodashDataset();
    // Copies the settings, setups and every series' display settings but no samples.
    CBriodashDataset(const CBriodashDataset& other);
    CBriodashDataset& operator=(const CBriodashDataset&) = delete;

    // Calls `f(series)` for the RPM, analog and digital series in that order.
    template <class F>
    void ForEachChannel(F&& f) {
        for (auto& s : m_rpm) f(static_cast<CSeriesBase&>(s));
        for (auto& s : m_analog) f(static_cast<CSeriesBase&>(s));
        for (auto& s : m_digital) f(static_cast<CSeriesBase&>(s));
    }
    template <class F>
    void ForEachChannel(F&& f) const {
        for (auto& s : m_rpm) f(static_cast<const CSeriesBase&>(s));
        for (auto& s : m_analog) f(static_cast<const CSeriesBase&>(s));
        for (auto& s : m_digital) f(static_cast<const CSeriesBase&>(s));
    }

    void ShiftTime(bool add, int32_t dt, int32_t dd);
    bool HasData() const;
    void DropUnconfigured();
    void CopyRange(const CBriodashDataset& other);
    void SetRangeMode(bool on);
    void AllChannelsOff();
    void MarkersFromDigital(int channel);
    void SetZero(int32_t time, int32_t mode, const CBriodashDataset* other = nullptr);
    bool SplitAt(int32_t time, CBriodashDataset& other);
    bool IsShown(bool flag) const;
    // Smallest first / largest last time over the shown channels (all when `all`).
    int32_t GetStartTime(bool all = false, bool relative = false) const;
    int32_t GetEndTime(bool all = false, bool relative = false);
    std::string GetFirstComment() const;
    // flags: 1 name, 2 lap label, 4 lap time; lap 0 = the lap of the last marker.
    std::string GetDisplayName(int flags, int lap = 0) const;
    // Lap time of the given lap from the marker series (kNotSet when unknown).
    int32_t GetLapTime(int lap) const;

    // After a file was read: framing and clock into the series, markers past the end of data
    // removed (one message). The spike filter's part follows (AfterRead in SpikeFilter.h).
    void PrepareAfterRead(IHostServices& host);
    // Framing, clock, pulses per revolution and RPM type from the dataset and its setups.
    void ApplySettingsToSeries();
    // Removes markers later than the end of data; returns true when any were removed.
    bool TrimMarkersPastEnd();

  private:
    void AttachSeries();
};

// The record by which auxiliary views keep a selected dataset or lap.
struct CDatasetList {
    CBriodashDataset* m_pDataset = nullptr;
    std::string m_strName;
    int32_t m_nLap = 0;
    int32_t m_lStart = 0, m_lEnd = 0;
    int32_t m_lStart2 = 0, m_lEnd2 = 0;
    int32_t m_lValues[4] = {kNotSet, kNotSet, kNotSet, kNotSet};
    int32_t m_nWords[5] = {0, 0, 0, 0, 0};

    CDatasetList() = default;
    CDatasetList(CBriodashDataset* ds, std::string name, int32_t lap);
};

}  // namespace orvex
