#include "files/DataFileText.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>

namespace orvex {

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

std::string OpenErrorText(const std::string& path, int error) {
    const char* file = path.c_str();
    switch (error) {
        case ENOENT:
            return FormatText("Could NOT open file '%s'.\nReason: File NOT found.", file);
        case ENAMETOOLONG:
        case ENOTDIR:
        case EINVAL:
        case ELOOP:
            return FormatText("Could NOT open file '%s'.\nReason: Invalid Path Name.", file);
        case EMFILE:
        case ENFILE:
            return FormatText("Could NOT open file '%s'.\nReason: Too many opened files.", file);
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return FormatText("Could NOT open file '%s'.\nReason: Access Denied", file);
        default:
            return FormatText("Could NOT open file '%s'.\nException Error #:%d", file, error);
    }
}

}  // namespace orvex
