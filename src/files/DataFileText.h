// Message texts of the data file commands, formatted printf-style.
#pragma once

#include <string>

#include "host/FormatText.h"

namespace orvex {

// "Could NOT open file ..." with the reason for an errno value.
std::string OpenErrorText(const std::string& path, int error);

}  // namespace orvex
