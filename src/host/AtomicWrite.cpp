#include "host/AtomicWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace orvex {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names: links followed, also to a file that does not exist yet.
std::string ResolveLinks(const std::string& path) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string resolved = real;
        std::free(real);
        return resolved;
    }
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), buffer, sizeof buffer - 1);
        if (n < 0) break;
        std::string link(buffer, static_cast<size_t>(n));
        current = link.front() == '/' ? link : FolderOf(current) + "/" + link;
    }
    return current;
}

// The mode a new file gets: the target's own when it exists, else 0666 less the umask.
mode_t ModeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A name the temporary files of `prefix` take: the prefix and six characters of mkstemp.
bool IsTemporaryOf(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

}  // namespace

CFileReplacement::CFileReplacement(const std::string& path, std::string tempPrefix,
                                   AtomicWriteFault fault)
    : m_target(ResolveLinks(path)), m_prefix(std::move(tempPrefix)), m_fault(std::move(fault)) {
    // A prefix names a file beside the target.
    if (m_prefix.empty()) m_prefix = NameOf(m_target) + ".";
}

CFileReplacement::~CFileReplacement() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_committed && !m_temp.empty()) ::unlink(m_temp.c_str());
}

AtomicWriteResult CFileReplacement::Create() {
    if (m_target.empty()) return {AtomicWriteResult::Open, ENOENT, AtomicWriteStep::Create};
    if (const int error = Injected(AtomicWriteStep::Create))
        return {AtomicWriteResult::Open, error, AtomicWriteStep::Create};
    const std::string folder = FolderOf(m_target);
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string temp = (folder == "/" ? "/" : folder + "/") + m_prefix + "XXXXXX";
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) return {AtomicWriteResult::Open, errno, AtomicWriteStep::Create};
        // Held until the descriptor closes, also when the process is killed: a temporary
        // that nobody holds was left by a save that never finished. Another save that took
        // this one for such a leftover in the instant before the lock removed it; then a
        // new name is taken.
        struct stat st {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) {
            m_fd = fd;
            m_temp = temp;
            return {};
        }
        ::close(fd);
    }
    return {AtomicWriteResult::Open, EEXIST, AtomicWriteStep::Create};
}

bool CFileReplacement::Append(std::string_view bytes) {
    if (m_fd < 0) {
        errno = EBADF;
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

AtomicWriteResult CFileReplacement::Commit() {
    if (m_fd < 0) return {AtomicWriteResult::Open, EBADF, AtomicWriteStep::Create};
    AtomicWriteStep step = AtomicWriteStep::Write;
    int error = 0;
    if (::fchmod(m_fd, ModeFor(m_target)) != 0) error = errno;
    if (error == 0) error = Injected(step = AtomicWriteStep::Sync);
    if (error == 0 && ::fsync(m_fd) != 0) error = errno;
    // The descriptor, and with it the lock, is held across the rename: another save into
    // the same folder sweeping for leftovers must not take this finished temporary for one
    // in the instant between closing and renaming.
    if (error == 0) error = Injected(step = AtomicWriteStep::Rename);
    if (error == 0 && ::rename(m_temp.c_str(), m_target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(m_temp.c_str());
        ::close(m_fd);
        m_fd = -1;
        m_temp.clear();
        return {AtomicWriteResult::Write, error, step};
    }
    // The data were synced before the rename; a failing close cannot lose them.
    ::close(m_fd);
    m_fd = -1;
    m_committed = true;
    // Make the rename itself durable; a failure here leaves a complete file either way.
    const int dir = ::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    RemoveStaleTemporaries();
    return {};
}

void CFileReplacement::RemoveStaleTemporaries() const {
    const std::string folder = FolderOf(m_target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsTemporaryOf(entry->d_name, m_prefix)) stale.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : stale) {
        const std::string path = (folder == "/" ? "/" : folder + "/") + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        struct stat st {};
        // Only a regular file of this user that no running save holds.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(path.c_str());
        }
        ::close(fd);
    }
}

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view contents,
                                      const AtomicWriteFault& fault) {
    if (path.empty()) return {AtomicWriteResult::Open, ENOENT, AtomicWriteStep::Create};
    CFileReplacement replacement(path, {}, fault);
    if (AtomicWriteResult r = replacement.Create(); !r) return r;
    if (const int error = fault ? fault(AtomicWriteStep::Write) : 0)
        return {AtomicWriteResult::Write, error, AtomicWriteStep::Write};
    if (!replacement.Append(contents))
        return {AtomicWriteResult::Write, errno, AtomicWriteStep::Write};
    return replacement.Commit();
}

}  // namespace orvex
