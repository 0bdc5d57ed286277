// Feeds arbitrary bytes to the settings file parser and checks that reading, writing and
// printing the result back stay consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    orvex::CProfileFile file;
    file.Parse(text);

    // Every key found reads back the value listed for it.
    for (const auto& section : file.Sections()) {
        for (const auto& [key, value] : file.Entries(section)) {
            auto got = file.Get(section, key);
            if (!got || *got != value) std::abort();
            (void)file.GetInt(section, key, 0);
        }
    }

    // The printed text parses to the same keys.
    orvex::CProfileFile again;
    again.Parse(file.Text());
    if (again.Text() != file.Text()) std::abort();

    // A written key reads back, whatever the file held before.
    std::string value(text.substr(0, 16));
    file.Write("Settings", "Fuzz Key", value);
    auto got = file.Get("SETTINGS", "fuzz key");
    if (!got) std::abort();
    file.DeleteKey("Settings", "Fuzz Key");
    if (file.Get("Settings", "Fuzz Key")) std::abort();
    (void)orvex::ParseProfileInt(text);
    return 0;
}
