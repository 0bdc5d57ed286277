// The values the data server sends: what the marker list shows at the green marker for each
// client entry, as numbers in the units shown (seconds, feet or metres, RPM or speed, analog
// engineering units).
#pragma once

#include <vector>

#include "app/ServerClient.h"
#include "graph/MarkerValues.h"
#include "model/Document.h"

namespace orvex {

// Writes the 'X', 'R' and 'A' entries of every client from the dataset at the document's
// green marker (on a distance axis: where the dataset reaches the marker's distance); a
// value the list shows as "N/A" is written as a quiet NaN. 'D' and unknown entries keep theirs.
void WriteMarkerValues(const CBriodashDoc& doc, const CBriodashDataset& ds, bool timeAxis,
                       const MarkerConverters& conv, std::vector<CAdvReqClient>& clients);

}  // namespace orvex
