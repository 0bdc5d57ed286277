// The export file (.asc): one dataset as tab-separated text for spreadsheets, with channel
// descriptions, lap or ET-slip times, a column header and rows at a chosen rate; and the
// channel and rate lists of the "Select Channels to Export" dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;

// Channel mask bits: 0..4 RPM 1..5, 5..24 analog 1..20, 25..30 digital 1..6, 31 the lap or
// ET-slip times. A mask of 0 selects everything the dataset has.
inline constexpr uint32_t RpmBit(int channel) {
    return 1u << (channel - 1);
}
inline constexpr uint32_t AnalogBit(int channel) {
    return 1u << (channel + 4);
}
inline constexpr uint32_t DigitalBit(int channel) {
    return 1u << (channel + 24);
}
inline constexpr uint32_t kExportTimesBit = 1u << 31;

struct ExportOptions {
    bool distanceAxis = false;  // the chart's x axis shows distance: a "Distance" column
    Units units = Units::Imperial;
    float voltageCorrection = 0.0f;
};

// The selection of a mask of 0: every channel with samples, and the times when there are marks.
uint32_t ExportEverything(const CBriodashDataset& ds);

// The text of the export file.
std::string ExportText(CBriodashDataset& ds, uint32_t mask, double rate,
                       const ExportOptions& options);

// "Export Data": writes the text through a temporary file renamed over `path`. Progress shows
// "Saved: mm:ss"; an abort or a failure leaves any old file as it was. False on failure.
bool ExportAscii(const std::string& path, CBriodashDataset& ds, uint32_t mask, double rate,
                 const ExportOptions& options, IHostServices& host);

// --- "Select Channels to Export" -----------------------------------------------------------

struct ExportChannel {
    uint32_t bit = 0;
    std::string text;  // "RPM #1:Engine", "Analog #3:Throttle", "Lap Times" ...
    float rate = 0;    // samples per second, 0 for the times
};

// The dataset's channels in the order of the "Available Channels" list.
std::vector<ExportChannel> ExportChannels(const CBriodashDataset& ds);

// The "Export Data Rate (Hz):" combo for a selection: distinct rates ascending ("%1.0f Hz"),
// with the previous rate kept selected when still offered, else the last entry.
struct ExportRateList {
    std::vector<float> rates;
    std::vector<std::string> texts;
    int selected = -1;  // -1: the combo is empty and disabled
};
ExportRateList ExportRates(const CBriodashDataset& ds, uint32_t selectedMask, float previousRate);

}  // namespace orvex
