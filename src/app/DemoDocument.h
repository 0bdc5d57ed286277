// The demo: a generated session put into a document as if it had been read from a data file.
#pragma once

#include "demo/SessionGenerator.h"
#include "model/Document.h"

namespace orvex {

inline constexpr const char* kDemoTitle = "Demo Session";

// Replaces the document's datasets by a session generated with `options`, passed through the
// data file writer and reader so it looks exactly like an opened file. The document stays
// untitled (no path) and unmodified. Returns false (after a message) when nothing was made.
bool FillDemoDocument(CBriodashDoc& doc, const GeneratorOptions& options);

}  // namespace orvex
