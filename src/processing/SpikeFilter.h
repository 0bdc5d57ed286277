// Spike filter and smoothing: isolated wrong readings are replaced by values interpolated from
// their neighbours (kept beside the recorded ones), and a moving sum smooths displayed values.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/Dataset.h"

namespace orvex {

class IHostServices;

// Filters an analog, digital or marker series with the rules of the analog type code.
// Returns the number of samples whose filtered value changed.
long SpikeFilter(CSampleList& series, int requestedMode, int analogType, IHostServices& host);
// Filters an RPM series on its RPM values.
long SpikeFilter(CShaftList& series, int requestedMode, IHostServices& host);

// Filters or switches every channel as requested and reports the result. Returns the report
// text (empty when no channel line was added); a non-empty report is shown to the user.
std::string FilterAndReport(CBriodashDataset& dataset,
                            const std::array<int, kRpmChannels>& rpmModes,
                            const std::array<int, kAnalogChannels>& analogModes, bool afterLoad,
                            IHostServices& host);

// Moving sum over n slots. Start fills the window from `p` on; Continue moves it by one sample.
int64_t SmoothStart(CSeriesBase& series, Pos p, int n);
int64_t SmoothContinue(CSeriesBase& series, Pos p);

}  // namespace orvex
