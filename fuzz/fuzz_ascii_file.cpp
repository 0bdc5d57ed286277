// Feeds arbitrary text to the ASCII data file reader; every input must fail cleanly or read,
// and what was read must take the derivations and the export.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "files/AsciiFile.h"
#include "files/ExportFile.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvex::CNullHost host;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const orvex::Units units = size % 2 ? orvex::Units::Metric : orvex::Units::Imperial;
    orvex::AsciiReadResult r = orvex::ReadAsciiText(text, "/fuzz/run.tac", units, host);
    for (auto& ds : r.datasets) {
        // Keep the work bounded: long sessions are only read.
        std::size_t samples = 0;
        ds->ForEachChannel([&samples](const orvex::CSeriesBase& s) { samples += s.Size(); });
        if (samples > 20000) continue;
        orvex::DeriveAfterLoad(*ds, orvex::kDistanceRearWheel, units, host);
        const int64_t span = static_cast<int64_t>(ds->GetEndTime(true)) - ds->GetStartTime(true);
        if (span >= 0 && span < 1000000) (void)orvex::ExportText(*ds, 0, 10.0, {});
    }
    return 0;
}
