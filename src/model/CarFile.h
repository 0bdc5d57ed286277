// The ".car" car-setup text file: export, import, and the import of a setup dialog that asks
// which of the kinds found in the file to take over.
#pragma once

#include <string>
#include <string_view>

#include "model/CarSetup.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;

// What an import found; 0 when the file could not be read.
enum CarFileFlags : int {
    kCarFileRead = 1,
    kCarFileGears = 2,
    kCarFileRpm = 4,
    kCarFileAnalog = 8,
    kCarFileDigital = 16,
};

// The file's text for `car`; tire sizes are written in inches whatever the units.
std::string CarFileText(const CCarSetup& car, Units units);

// Writes the file through a temporary file in the same folder, so that a failure never
// leaves a half-written file behind. Returns false after reporting the failure.
bool ExportCarFile(const CCarSetup& car, const std::string& path, Units units, IHostServices& host);

// Reads the file's text into `car` (setups of the same channel are overwritten, others are
// kept) and returns the flags. A text that is empty or not a car-setup file changes nothing.
int ParseCarFile(CCarSetup& car, std::string_view text, Units units, IHostServices& host);
int ImportCarFile(CCarSetup& car, const std::string& path, Units units, IHostServices& host);

// Import from the setup dialog of `kind`: the file is read into a copy of `current` with
// empty setup lists, then each kind found is taken over as the user answers. Returns true
// when `current` changed (the Session/Pass is then marked changed).
bool ImportCarFileForDialog(CCarSetup& current, const std::string& path, SetupKind kind,
                            Units units, IHostServices& host);
// The questions of that import, given the setup read from the file and its flags.
bool ApplyCarFileImport(CCarSetup& current, const CCarSetup& imported, int flags, SetupKind kind,
                        IHostServices& host);

}  // namespace orvex
