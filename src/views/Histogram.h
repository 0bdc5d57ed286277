// The histogram's numbers: the channels a selection offers with their default bands, the time
// each channel spent in each band, and the bar values, units, labels and legend of the chart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "model/Units.h"
#include "views/ViewData.h"

namespace orvex {

// One selectable channel: kind in the top four bits of the code, its type in the lower bits.
struct CChannelList {
    std::string m_strName;  // kind prefix and description, "Analog:Throttle"
    uint16_t m_nCode = 0;
    int32_t m_nChannel = 0;
    float m_fMinimum = 0.0f;
    float m_fMaximum = 0.0f;
    float m_fIncrement = 1.0f;

    ChannelKind Kind() const { return static_cast<ChannelKind>(m_nCode & 0xF000); }
    // The name without its kind prefix (the text after the first ':').
    std::string Description() const;
};

// "RPM:", "Analog:" or "Digital:" by the top four bits of a code.
std::string KindPrefix(uint16_t code);

// The histogram reads digital inputs 1 to 4 (the switches).
inline constexpr int kHistogramDigitalChannels = 4;

// Channels held by every selected session, each with the default bands of its setup.
std::vector<CChannelList> AvailableChannels(const std::vector<CDatasetList>& sessions, Units units);

// Number of bands, ceil((maximum − minimum) / increment); 0 for an unusable setup.
int BandCount(const CChannelList& channel);
// Decimals of the band labels and the "Channel Setup" fields: enough for minimum and increment.
int ChannelDecimals(const CChannelList& channel);

// Seconds the channel spent in each band over the entry's time segment.
std::vector<double> BandTimes(const CChannelList& channel, const CDatasetList& entry, Units units,
                              float voltageCorrection = 0.0f);

// How the chart is shown.
struct HistogramFlags {
    bool legend = true;
    bool horzGrid = true;
    bool vertGrid = false;
    bool verticalBars = true;
    bool bars3D = false;
    bool timeScale = true;          // false: percentage
    bool selectedTimeBase = false;  // percentage of the selected time instead of the range time
};

struct HistogramRow {
    std::string legend;
    double totalSeconds = 0;
    std::vector<double> seconds;  // per band
    std::vector<double> values;   // bar values in the value axis' unit
};

// Everything the bars are drawn from.
struct HistogramChart {
    std::string message;    // set when there is nothing to draw
    std::string valueAxis;  // "Hrs", "Mins", "Secs", "hSecs" or the percentage title
    std::string bandAxis;   // the channel's description
    double axisMax = 0;
    int bands = 0;
    std::vector<double> lowerEdges;
    std::vector<std::string> bandLabels;
    std::vector<HistogramRow> rows;
};

inline constexpr const char* kSelectSessionsNote =
    "Select Session/Pass for Histogram. Use 'Change Histogram->Data Selection' menu.";
inline constexpr const char* kSelectChannelsNote =
    "Select Channel(s) for Histogram. Use 'Change Histogram->Data Selection' menu.";

// Rows (one per channel of one session, or one per session of one channel), scaled.
HistogramChart ComputeHistogram(const std::vector<CDatasetList>& sessions,
                                const std::vector<CChannelList>& channels,
                                const HistogramFlags& flags, Units units,
                                float voltageCorrection = 0.0f);

// The value-axis unit of a largest band time m: name and divisor.
struct TimeUnit {
    const char* name;
    double divisor;
};
TimeUnit ChooseTimeUnit(double largestSeconds);

}  // namespace orvex
