// Reader of the ASCII data file (.tac) of the older logger family: a magic line, comments, a
// keyword header, a column header and one line of raw counts per sample; several sessions per
// file, each becoming one dataset.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex {

class CBriodashDoc;
class IHostServices;

struct AsciiReadResult {
    // Sessions completed before any error, in file order.
    std::vector<std::unique_ptr<CBriodashDataset>> datasets;
    bool ok = false;             // the whole file was read and holds at least one session
    bool unitsMismatch = false;  // an axle column is in other units than `units`
    Units fileUnits = Units::Imperial;
};

// Reads the text of a file; `path` gives the datasets their name. Every problem is reported
// through `host` except the units mismatch, which the caller reports.
AsciiReadResult ReadAsciiText(std::string_view text, const std::string& path, Units units,
                              IHostServices& host);

// The document's ASCII reader: gives the sessions read to `out` (also those completed before an
// error). On a units mismatch the document takes the file's units and reports it. False when
// the file cannot be read or no session was completed.
bool ReadAsciiFile(CBriodashDoc& doc, const std::string& path,
                   std::vector<std::unique_ptr<CBriodashDataset>>& out);

// Raw value of one axle or wheel speed column (hundredths of MPH or KPH) as the period a shaft
// sample of RPM type `type` holds, so that the speed conversions give that speed back.
int32_t AsciiSpeedToPeriod(uint32_t speed, int32_t type, double circumference, double rearEndRatio,
                           int32_t ppr, Units units, double clock);
// RPM as the period a shaft sample holds (0 for no reading) with `ppr` pulses per revolution.
int32_t RpmToPeriod(double rpm, int32_t ppr, double clock);

}  // namespace orvex
