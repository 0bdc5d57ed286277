// Feeds arbitrary bytes to the binary data file reader; every input must fail cleanly or read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "files/DataFile.h"
#include "host/NullHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvex::CNullHost host;
    orvex::DataFileReadOptions options;
    options.modificationTime = 0;
    orvex::DataFileContents contents;
    if (orvex::ReadDataFileFromMemory(data, size, "/fuzz/Data.tbc", host, options, contents)) {
        // What was read must write again.
        std::vector<uint8_t> bytes;
        orvex::WriteDataFileToBuffer("/fuzz/Data.tbc", contents, host, orvex::Units::Imperial,
                                     bytes);
    }
    return 0;
}
