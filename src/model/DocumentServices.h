// What a document needs done by the program's readers and analysis: reading and writing data
// files, deriving distance, speed, slip and laps after a read, the lap view, and the colours of
// new sessions. Every document is given one implementation when it is made.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex {

class CBriodashDoc;

// The datasets of a data file and the document options it stores.
struct DataFileContents {
    uint16_t major = 3, minor = 3, letter = 'e';
    uint16_t openTrackMap = 0, calcBanking = 0, groundSpeedMap = 0;
    std::vector<std::unique_ptr<CBriodashDataset>> datasets;
};

class IDocumentServices {
  public:
    virtual ~IDocumentServices() = default;

    // Reads a binary data file (or, with `ascii`, an ASCII data file) into `out`. An ASCII file
    // gives the sessions it completed even when it fails; every failure has been reported.
    virtual bool ReadFile(CBriodashDoc& doc, const std::string& path, bool ascii, bool overlay,
                          DataFileContents& out) = 0;
    virtual bool WriteFile(CBriodashDoc& doc, const std::string& path,
                           const DataFileContents& contents) = 0;
    // Distance, speed, slip and the trace check of every session after a read or upload.
    virtual void Derive(CBriodashDoc& doc) = 0;
    // Enters or leaves the lap view.
    virtual void SetLapView(CBriodashDoc& doc, bool on) = 0;
    // The lap analysis of a session run again after its data were cut.
    virtual void ReanalyseLaps(CBriodashDoc& doc, CBriodashDataset& session) = 0;
    // Distance of a dataset from a source (1 front wheel .. 4 engine); false when it could not
    // be computed.
    virtual bool ComputeDistance(CBriodashDoc& doc, CBriodashDataset& ds, int source) = 0;
    // Slip of RPM channel 1..5 against its partner.
    virtual void ComputeSlip(CBriodashDoc& doc, CBriodashDataset& ds, int channel) = 0;
    // Gives session number `session` (0 for the first of the document) its channel colours.
    virtual void AssignColours(CBriodashDataset& ds, int session) = 0;
};

}  // namespace orvex
