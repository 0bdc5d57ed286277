// Reading the logger's four channel configurations and writing them back through its text
// menu ("Corvane Configuration Menu"), with the segment count and the clock of the logger.
#pragma once

#include <array>

#include "host/HostServices.h"
#include "logger/config/TachConfig.h"
#include "logger/config/Thresholds.h"
#include "logger/link/LinkSession.h"

namespace orvex {

// What the configuration dialog hands to "Retrieve" and "Send".
struct CConfigWorkset {
    std::array<CTachConfig, 4> configs;
    int shown = 0;     // index of the configuration shown
    int segments = 1;  // 1, 2, 4 or 8
};

// The number of recording sessions the logger may be set to, in the order of the list.
inline constexpr int kSegmentChoices[4] = {1, 2, 4, 8};
bool IsSegmentChoice(int n);

// The first configuration marked active (bit 0 of m_nActive), else 0.
int FirstActiveConfig(const std::array<CTachConfig, 4>& configs);

// Parses the clock pre-amble "%ld CLK, %d CLK-DIV, %d SAMPLE-DIV, %d PCA-DIV" into the
// logger's sample clock rate (rounded up) and its period timer rate.
bool ParseConfigClock(const std::string& text, int32_t& clockRate, float& pcaClock);

// "Retrieve": fills the four configurations and, when the logger's count is one of the
// choices, the segment count; `shown` becomes the first active configuration. Returns true
// when the records were read.
bool RetrieveConfiguration(ISerialLine& line, bool sharedPort, CConfigWorkset& work,
                           const CLinkOptions& options, IHostServices& host);

// "Send": brings the clock fields (and the thresholds that depend on them) in line with the
// logger, changes the segment count when it differs (after asking; this erases the logger's
// memory) and writes the four records. `channels` describe the terms for the rescaling.
bool SendConfiguration(ISerialLine& line, bool sharedPort, CConfigWorkset& work,
                       const EquationChannels& channels, const CLinkOptions& options,
                       IHostServices& host);

}  // namespace orvex
