// Fuzzes the colour-setup file reader with arbitrary bytes, in memory and from a file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "graph/Color.h"
#include "host/NullHost.h"

namespace {

// A scratch file for the file reader, removed when the fuzzer exits.
struct ScratchFile {
    std::string path = "/tmp/fuzz-color-" + std::to_string(::getpid()) + ".col";
    ~ScratchFile() { ::unlink(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orvex::CNullHost host;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto fromText = orvex::ParseColorText(text, host);

    // The file reader costs a file write; it runs on one input length in sixteen.
    static const ScratchFile scratch;
    const std::string& path = scratch.path;
    std::FILE* f = (size & 15) == 0 ? std::fopen(path.c_str(), "wb") : nullptr;
    if (f) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        const auto fromFile = orvex::ReadColorFile(path, host);
        // Both readers see the same sets.
        if (fromText.has_value() != fromFile.has_value()) __builtin_trap();
        if (fromText && *fromText != *fromFile) __builtin_trap();
    }
    // What was read writes out as text that reads back to the same sets, marker aside.
    if (fromText && fromText->size() <= 64) {
        const auto again = orvex::ParseColorText(orvex::FormatColorText(*fromText), host);
        if (!again || again->size() != fromText->size()) __builtin_trap();
        for (std::size_t i = 0; i < again->size(); ++i) {
            orvex::CColor expected = (*fromText)[i];
            expected.m_crMarker = 0;
            if (!((*again)[i] == expected)) __builtin_trap();
        }
    }
    return 0;
}
