// Spike filter and smoothing: isolated wrong readings are replaced by values interpolated from
// their neighbours (kept beside the recorded ones), and a moving sum smooths displayed values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Dataset.h"

namespace orvex {

class IHostServices;

// Window (odd, at least 5 samples) and relative tolerance of the spike test of one channel.
struct SpikeRule {
    int window = 5;
    double tolerance = 0.25;
};

// The rule of an analog type code at `rate` samples per second.
SpikeRule AnalogSpikeRule(int32_t analogType, double rate);
// The rule of an RPM channel at `rate` samples per second.
SpikeRule RpmSpikeRule(double rate);

// What one run of the filter did: changes counted over all passes, passes run, and whether the
// host asked to abort (the values changed so far stay).
struct SpikeResult {
    long changes = 0;
    int passes = 0;
    bool aborted = false;
};

inline constexpr int kMaxSpikePasses = 50;

// Filters an analog, digital or marker series with the rules of the analog type code, or only
// switches between raw and filtered data (see the data modes of CSeriesBase).
SpikeResult RunSpikeFilter(CSampleList& series, int requestedMode, int32_t analogType,
                           IHostServices& host);
// Filters an RPM series: spikes are judged on RPM values, replacements interpolate the periods.
SpikeResult RunSpikeFilter(CShaftList& series, int requestedMode, IHostServices& host);

// The same, returning the number of samples whose filtered value changed.
long SpikeFilter(CSampleList& series, int requestedMode, int32_t analogType, IHostServices& host);
long SpikeFilter(CShaftList& series, int requestedMode, IHostServices& host);

// Filters or switches every channel as requested and reports the result. Returns the report
// text (empty when no channel line was added); a non-empty report is shown to the user.
std::string FilterAndReport(CBriodashDataset& dataset,
                            const std::array<int, kRpmChannels>& rpmModes,
                            const std::array<int, kAnalogChannels>& analogModes, bool afterLoad,
                            IHostServices& host);

// What follows reading a dataset from a file: the dataset's own steps, then the channels saved
// filtered are filtered again (the report is shown).
void AfterRead(CBriodashDataset& dataset, IHostServices& host);

// Moving sum over n slots (the caller divides by n). Start fills the window from `p` on;
// Continue moves it by one sample to `p`. Values are read with GetSampleValue.
int64_t SmoothStart(CSeriesBase& series, Pos p, int n);
int64_t SmoothContinue(CSeriesBase& series, Pos p);
// The moving sum that Start at the series' first sample and Continue up to `p` give, computed
// from the samples alone (the series' smoothing state is not touched).
int64_t SmoothedSumAt(const CSeriesBase& series, Pos p, int n);
// SmoothedSumAt for every sample of the series, in one pass (the sums are those values, which
// always fit 32 bits).
template <class TSample>
void SmoothedSums(const CSeries<TSample>& series, int n, std::vector<int32_t>& sums);
inline int64_t SmoothedSum(CSeriesBase& series, Pos p, int n, bool cont) {
    return cont ? SmoothContinue(series, p) : SmoothStart(series, p, n);
}

}  // namespace orvex
