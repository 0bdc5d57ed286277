// The binary data file (.tbc): every dataset of a document with three document options,
// written in version 3.3e and read back from any older version.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "model/DocumentServices.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;

struct DataFileReadOptions {
    Units units = Units::Imperial;
    // Overlay reading drops the document options and uses May 5 to 8 for a 2.5 'C' file.
    bool overlay = false;
    // Run the dataset's after-read steps (framing, clock, marker trim, filtering again).
    bool afterRead = true;
    // Modification time that dates a 2.5 file without a letter; file reading takes the file's.
    std::optional<std::time_t> modificationTime;
};

// Status lines of the progress window.
inline constexpr int kStatusDataSet = 1;
inline constexpr int kStatusSeries = 2;

// Reads the file into `out` (replaced only on success). Every failure has been reported to the
// user through `host` when this returns false; an abort returns false without a message.
bool ReadDataFile(const std::string& path, IHostServices& host, const DataFileReadOptions& options,
                  DataFileContents& out);
// The same from bytes in memory; `path` supplies the base name used for dataset names.
bool ReadDataFileFromMemory(const uint8_t* data, std::size_t size, const std::string& path,
                            IHostServices& host, const DataFileReadOptions& options,
                            DataFileContents& out);

// Writes the file through "save.tmp" in the target's directory, renamed over the target only
// when complete; on failure the old target is untouched and the failure has been reported.
bool WriteDataFile(const std::string& path, const DataFileContents& contents, IHostServices& host,
                   Units units);
// Writes the bytes of the file that `WriteDataFile` would write to `path` into `out`.
bool WriteDataFileToBuffer(const std::string& path, const DataFileContents& contents,
                           IHostServices& host, Units units, std::vector<uint8_t>& out);

// The file name without directory and extension.
std::string DataFileBaseName(const std::string& path);
// The name a dataset is written and read under: an empty name, or "Data" while the file's base
// name does not begin with "Data", becomes the file's base name.
std::string DataFileDatasetName(const std::string& name, const std::string& path);

}  // namespace orvex
