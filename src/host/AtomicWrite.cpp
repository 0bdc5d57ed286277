#include "host/AtomicWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace orvex {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The mode a new file gets: the target's own when it exists, else 0666 less the umask.
mode_t ModeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view contents,
                                      const AtomicWriteFault& fault) {
    if (path.empty()) return {AtomicWriteResult::Open, ENOENT};
    auto injected = [&](AtomicWriteStep step) { return fault ? fault(step) : 0; };
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }

    if (const int error = injected(AtomicWriteStep::Create))
        return {AtomicWriteResult::Open, error};
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return {AtomicWriteResult::Open, errno};

    int error = injected(AtomicWriteStep::Write);
    if (error == 0 && (::fchmod(fd, ModeFor(target)) != 0 || !WriteAll(fd, contents)))
        error = errno;
    if (error == 0) error = injected(AtomicWriteStep::Sync);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) error = injected(AtomicWriteStep::Rename);
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return {AtomicWriteResult::Write, error};
    }
    // Make the rename itself durable; a failure here leaves a complete file either way.
    const int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace orvex
