// Feeds arbitrary bytes to the car-setup file reader, in both units, and writes the result
// back out so that whatever was read can also be exported.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/NullHost.h"
#include "model/CarFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    orvex::CNullHost host;
    for (orvex::Units units : {orvex::Units::Imperial, orvex::Units::Metric}) {
        orvex::CCarSetup car;
        car.GetOrCreateRpmSetup(2, orvex::kRpmDriveShaft, units);
        const int flags = orvex::ParseCarFile(car, text, units, host);
        if (flags != 0) {
            const std::string out = orvex::CarFileText(car, units);
            orvex::CCarSetup again;
            orvex::ParseCarFile(again, out, units, host);
        }
    }
    return 0;
}
