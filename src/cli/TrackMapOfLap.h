// The track map of the lap named on the command line (`--lap` or `--map-lap`, `--dataset`,
// `--source`, `--open`, `--banking`, `--yes`), made as the windows make it; shared by
// `trackmap` and `lap-report`.
#pragma once

#include "app/LapTrackMap.h"
#include "cli/Args.h"
#include "cli/Command.h"

namespace orvex {
class CBriodashDoc;
}

namespace orvex::cli {

// The map of the lap given by `lapOption`; the reason on the error stream when there is none.
LapMapOutcome TrackMapOfLap(const Args& args, const char* lapOption, Context& ctx,
                            CBriodashDoc& doc, CTrackMap& map);

}  // namespace orvex::cli
