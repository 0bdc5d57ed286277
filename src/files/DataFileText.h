// Message texts of the data file commands, formatted printf-style.
#pragma once

#include <string>

namespace orvex {

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "Could NOT open file ..." with the reason for an errno value.
std::string OpenErrorText(const std::string& path, int error);

}  // namespace orvex
