// State of the "Set Zero Time" dialog: the positions a session's zero can be taken from, the
// offset entry, and setting the zeros with the marker and view-state shifts that follow.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "processing/EtSlipReport.h"

namespace orvex {

class IHostServices;

// Kinds of zero (the dataset's time-reference mode after the zero is set).
enum ZeroKind : int32_t {
    kZeroUser = 1,
    kZeroGreen = 2,
    kZeroRed = 3,
    kZeroDigital = 4,
    kZeroMark = 5,
};

struct ZeroChoice {
    std::string text;
    int32_t time = 0;  // data time (not relative to any zero)
    int32_t kind = kZeroUser;
};

// "Zero Time Determined by" of one session: "User Defined", the markers when set (green and red
// as the chart shows them, kNotSet when unset), the events of digital channels 5 and 6, and
// every mark.
std::vector<ZeroChoice> ZeroTimeChoices(CBriodashDataset& ds, int32_t green, int32_t red);

// The chart position of a graph view that the zero moves with.
struct ViewState {
    int32_t xStart = 0;
    int32_t xMin = 0;
    int32_t xMax = 0;
};

// What moves with the zeros: marker times and, when only one session is shown, the graph's x
// start and every saved view state.
struct ZeroTimeContext {
    int32_t green = kNotSet;
    int32_t red = kNotSet;
    int32_t graphXStart = 0;
    std::vector<ViewState> viewStates;
    const CBriodashDataset* current = nullptr;  // the graph's current dataset
    int shownSessions = 1;
};

struct ZeroTimeRequest {
    CBriodashDataset* dataset = nullptr;
    ZeroChoice choice;
    std::string offset;  // "Offset Time", may be empty
};

// OK of the dialog: reads every offset (a bad one is reported with its message and nothing
// changes), sets each session's zero and shifts the context. False on a bad offset.
bool ApplyZeroTimes(const std::vector<ZeroTimeRequest>& requests, ZeroTimeContext& context,
                    IHostServices& host);

}  // namespace orvex
