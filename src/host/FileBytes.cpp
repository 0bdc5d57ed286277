#include "host/FileBytes.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>

namespace orvex {

namespace {

// A line's number from /proc, "Key: 1234 kB" or the first field of statm.
std::uint64_t MemInfoBytes(const char* key) {
    std::FILE* f = std::fopen("/proc/meminfo", "r");
    if (!f) return UINT64_MAX;
    char line[256];
    std::uint64_t value = UINT64_MAX;
    const std::size_t keyLength = std::char_traits<char>::length(key);
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long kb = 0;
        if (std::char_traits<char>::compare(line, key, keyLength) == 0 &&
            std::sscanf(line + keyLength, ": %llu", &kb) == 1) {
            value = static_cast<std::uint64_t>(kb) * 1024u;
            break;
        }
    }
    std::fclose(f);
    return value;
}

std::uint64_t AddressSpaceInUse() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    unsigned long long pages = 0;
    const int got = std::fscanf(f, "%llu", &pages);
    std::fclose(f);
    return got == 1 ? static_cast<std::uint64_t>(pages) *
                          static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE))
                    : 0;
}

}  // namespace

bool MemoryAllows(std::uint64_t bytes) {
    for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        rlimit limit{};
        if (::getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
            const std::uint64_t used = AddressSpaceInUse();
            if (used >= limit.rlim_cur || bytes > limit.rlim_cur - used) return false;
        }
    }
    const std::uint64_t available = MemInfoBytes("MemAvailable");
    const std::uint64_t swap = MemInfoBytes("SwapFree");
    if (available != UINT64_MAX) {
        const std::uint64_t total = available + (swap == UINT64_MAX ? 0 : swap);
        if (bytes > total) return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& out, int* error, std::size_t limit) {
    out.clear();
    auto fail = [&](int e) {
        out.clear();
        out.shrink_to_fit();
        if (error) *error = e;
        return false;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return fail(e);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(EISDIR);
    }
    const auto size = static_cast<std::uint64_t>(std::max<off_t>(st.st_size, 0));
    if (size > limit) {
        ::close(fd);
        return fail(EFBIG);
    }
    if (!MemoryAllows(size)) {
        ::close(fd);
        return fail(ENOMEM);
    }
    constexpr std::size_t kPiece = 1u << 20;
    try {
        out.reserve(static_cast<std::size_t>(size));
        for (;;) {
            // A file that grows while it is read is still held to its limit.
            if (out.size() > limit) {
                ::close(fd);
                return fail(EFBIG);
            }
            // Read in place while the reserved room lasts; past it (the file grew, or its
            // size was not known) through a small buffer.
            const std::size_t at = out.size();
            char spill[4096];
            const std::size_t room = std::min(kPiece, out.capacity() - at);
            if (room > 0) out.resize(at + room);
            char* into = room > 0 ? out.data() + at : spill;
            const ssize_t n = ::read(fd, into, room > 0 ? room : sizeof spill);
            if (room > 0) out.resize(at + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                const int e = errno;
                ::close(fd);
                return fail(e);
            }
            if (room == 0) out.append(spill, static_cast<std::size_t>(n));
            if (n == 0) break;
        }
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return fail(ENOMEM);
    }
    ::close(fd);
    if (error) *error = 0;
    return true;
}

}  // namespace orvex
