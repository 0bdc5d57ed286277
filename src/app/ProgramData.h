#pragma once
// Where the program's own data (default colour file, firmware folder, help) lives: found at run
// time, never compiled in.
#include <string>

namespace orvex {

// $ORVEX_DATA_DIR when set; else "../share/orvex" beside the running binary when it exists
// (installed); else the nearest "data" folder at most two folders above the binary (the build
// tree links one to the sources' data).
std::string ProgramDataDir();

// The folder the firmware images are first looked for in: "Firmware" in the program's data.
std::string FirmwareFolder();

}  // namespace orvex
