// printf-style formatting into a string as long as the text needs, for messages, labels and
// file lines.
#pragma once

#include <cstdarg>
#include <string>

namespace orvex {

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatTextV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace orvex
