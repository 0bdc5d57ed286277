// Retrieving one recorded session from a data logger: the upload conversation of both logger
// families over the serial line, unpacked into a new dataset prepared against the defaults.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/HostServices.h"
#include "logger/link/LoggerPort.h"
#include "logger/link/SerialLine.h"
#include "model/Dataset.h"

namespace orvex {

// The application defaults an upload starts from.
struct CUploadDefaults {
    // Gearing, rear end and the default channel setups (RPM channels 0 to 5, analog 1 to 20,
    // digital 1 to 6).
    CCarSetup carSetup;
    Units units = Units::Imperial;
    bool autoSave = true;
    // Spike-filter levels (0 to 2) the document applies after the upload.
    std::array<int, kRpmChannels> rpmFilter{};
    std::array<int, kAnalogChannels> analogFilter{};
};

// The "Select Session to Upload" dialog: given the number of recorded sessions and the one
// offered, returns 0 for "Upload Last Recorded Session", a session number, or nothing when
// cancelled.
using SessionChooser = std::function<std::optional<int>(int sessions, int offered)>;

struct CUploadOptions {
    std::string device;            // serial device path
    SessionChooser chooseSession;  // empty: the last recorded session
    CLinkTiming timing;
};

struct CUploadResult {
    std::unique_ptr<CBriodashDataset> dataset;  // null when no document results
    bool succeeded = false;                     // the whole conversation succeeded
    bool loggerAnswered = false;
    bool highSpeed = false;
    std::array<uint8_t, 13> ident{};
    // Start of recording from the first GPS fix, seconds since 1970 (UTC).
    std::optional<int64_t> recordingStart;
};

// Runs the whole upload. Every message and question goes through `host`; the link window is
// opened with host.OpenProgress.
CUploadResult UploadFromLogger(ISerialLine& line, const CUploadDefaults& defaults,
                               const CUploadOptions& options, IHostServices& host);

// Names an analog setup from the logger's description (Kavrane and Vexa-Log rules).
void NameAnalogSetup(CAnalogSetup& setup, const std::string& description, bool kavrane);
// Names a digital setup from the logger's description (switch names, then timer names).
void NameDigitalSetup(CDigitalSetup& setup, const std::string& description);
// Applies the application defaults to the setups of an uploaded dataset and shows every channel
// with data (in a built-in palette; the document gives it the colour set's colours).
void PrepareUploadedDataset(CBriodashDataset& dataset, bool kavrane,
                            const CUploadDefaults& defaults, IHostServices& host);

}  // namespace orvex
