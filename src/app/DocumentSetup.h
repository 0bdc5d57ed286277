// Makes a document behave as the program's documents do: the ASCII reader, the lap view and
// the derivations of distance, speed and slip after every read.
#pragma once

#include <memory>

#include "app/DataAcqApp.h"
#include "model/Document.h"

namespace orvex {

void InstallDocumentServices(CBriodashDoc& doc);

// A new document with the application's options and the services above.
std::unique_ptr<CBriodashDoc> NewDocument(IHostServices& host, const CDataAcqApp& app);

}  // namespace orvex
