#include "files/DataFileText.h"

#include <cerrno>
#include <cstdio>

namespace orvex {

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
