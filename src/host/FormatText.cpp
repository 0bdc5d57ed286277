#include "host/FormatText.h"

#include <cstdio>

namespace orvex {

std::string FormatTextV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatTextV(format, args);
    va_end(args);
    return text;
}

}  // namespace orvex
