// What the traction circle, histogram and lap segment report read from a session: its
// accelerometers, its channels by kind, its laps and the sessions and laps a user can pick.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Dataset.h"
#include "model/Document.h"

namespace orvex {

// The accelerometer setup whose description contains `name` ("LEFT-RIGHT", "FRONT-REAR"),
// without regard to case, among the customer-defined and accelerometer types (5, 7, 135) with
// a channel of 1..20; nullptr when there is none.
const CAnalogSetup* FindAccelerometer(const CCarSetup& car, std::string_view name);

enum class ChannelKind : uint16_t { Rpm = 0x1000, Analog = 0x2000, Digital = 0x3000 };

// Whether the session holds channel `channel` of `kind`: a setup of that channel and samples.
bool HasChannel(const CBriodashDataset& ds, ChannelKind kind, int channel);

// Start and end (chart times) of lap `lap`: from lap line 100 × (lap − 1) to lap line
// 100 × lap. False when the session lacks either line.
bool LapBounds(const CBriodashDataset& ds, int lap, int32_t& start, int32_t& end);
// The laps with both lap lines, in order.
std::vector<int> CompleteLaps(const CBriodashDataset& ds);

// A whole session (start and end not set) or one lap of it.
CDatasetList SessionEntry(CBriodashDataset& ds);
CDatasetList LapEntry(CBriodashDataset& ds, int lap);

// The entries a user may select: for every dataset that is not deleted the whole session,
// or one entry per lap when it has laps.
std::vector<CDatasetList> AvailableEntries(const CBriodashDoc& doc);

// Start and end of an entry with unset ends taken from the session's data (chart times).
int32_t EntryStart(const CDatasetList& entry);
int32_t EntryEnd(const CDatasetList& entry);

// Positions offered by the "Start Time" and "Stop Time" lists of an entry's session.
struct TimeChoice {
    std::string text;
    int32_t time = kNotSet;  // chart time; kNotSet for the beginning and the end of data
};
std::vector<TimeChoice> EntryTimeChoices(const CDatasetList& entry, int32_t green, int32_t red);

}  // namespace orvex
