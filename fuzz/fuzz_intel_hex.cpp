// Feeds arbitrary text to the Intel HEX reader, then writes whatever image it read to a
// firmware archive and reads that back.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "host/NullHost.h"
#include "logger/firmware/FirmwareImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvex::CNullHost host;
    orvex::CIntelHexFile hex;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!hex.ReadHexText(text, host)) return 0;
    const std::vector<uint8_t> archive = orvex::FirmwareArchiveBytes({hex});
    std::vector<orvex::CIntelHexFile> back;
    orvex::ParseFirmwareArchive(archive.data(), archive.size(), "fuzz.cfw", back, host);
    // The archive also takes damaged bytes without reading past them.
    orvex::ParseFirmwareArchive(data, size, "fuzz.cfw", back, host);
    return 0;
}
