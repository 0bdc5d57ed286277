// Replacing a file's contents so that a failure never leaves a half-written file: the bytes
// go to a temporary file of its own in the same folder, are flushed to disk and renamed over
// the target.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orvex {

// Steps of a write, for tests that make one of them fail.
enum class AtomicWriteStep { Create, Write, Sync, Rename };

struct AtomicWriteResult {
    enum Stage { Ok, Open, Write } stage = Ok;
    int error = 0;                                   // errno of the failing step
    AtomicWriteStep step = AtomicWriteStep::Create;  // the failing step
    explicit operator bool() const { return stage == Ok; }
};
// Called before each step; returns an errno to make the step fail, 0 to go on.
using AtomicWriteFault = std::function<int(AtomicWriteStep)>;

// One replacement of a file. Through a symbolic link (also one whose file does not exist yet)
// the file it names is replaced, not the link. The temporary file is created exclusively
// under `tempPrefix` plus a unique suffix (default: the target's name plus a dot) and locked
// while it lives, so concurrent saves into one folder never meet, and a later save removes
// the temporaries that killed saves of the same prefix left behind. The replaced file keeps
// its mode; a new one gets 0666 less the umask.
class CFileReplacement {
  public:
    explicit CFileReplacement(const std::string& path, std::string tempPrefix = {},
                              AtomicWriteFault fault = {});
    ~CFileReplacement();  // an uncommitted temporary file is removed
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Creates the temporary file; stage Open on failure.
    AtomicWriteResult Create();
    int Descriptor() const { return m_fd; }
    const std::string& TargetPath() const { return m_target; }
    const std::string& TemporaryPath() const { return m_temp; }
    // Writes bytes to the temporary file; false with errno set on failure.
    bool Append(std::string_view bytes);
    // Mode, flush to disk, rename over the target (the temporary still held), then the folder is
    // flushed and stale temporaries removed. On failure the temporary file is gone and the
    // target as it was.
    AtomicWriteResult Commit();

  private:
    int Injected(AtomicWriteStep step) const { return m_fault ? m_fault(step) : 0; }
    void RemoveStaleTemporaries() const;

    std::string m_target;
    std::string m_prefix;
    std::string m_temp;
    AtomicWriteFault m_fault;
    int m_fd = -1;
    bool m_committed = false;
};

// The whole replacement in one call. A failed temporary-file creation is stage Open, every
// later failure stage Write; the old file is then left as it was.
AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view contents,
                                      const AtomicWriteFault& fault = {});

}  // namespace orvex
