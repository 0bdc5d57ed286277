// Retrieving a recorded session into a new document: the one flow behind the GUI's "Retrieve
// from Data-Logger" and `orvex-cli upload`.
#pragma once

#include <memory>

#include "app/DocumentSetup.h"
#include "logger/upload/Upload.h"

namespace orvex {

// The upload defaults taken from the application's settings.
CUploadDefaults UploadDefaultsFrom(const CDataAcqApp& app);

struct UploadedDocument {
    // The new untitled, modified document holding the session; null when nothing was received.
    std::unique_ptr<CBriodashDoc> doc;
    CUploadResult result;  // its dataset has moved into the document
};

// Runs the upload on `line`, then the spike filter at the application's levels (its report is
// shown), drops channels without a setup, gives the session the first colour set and derives
// distance, speed and slip as after opening a file.
UploadedDocument UploadToDocument(ISerialLine& line, const CUploadOptions& options,
                                  CDocumentFactory& factory);

}  // namespace orvex
