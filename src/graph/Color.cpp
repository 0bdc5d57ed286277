// Colour sets and the colour-setup file.
#include "graph/Color.h"

namespace orvex {}  // namespace orvex
