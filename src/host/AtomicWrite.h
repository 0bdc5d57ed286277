// Replacing a file's contents so that a failure never leaves a half-written file: the text
// goes to a temporary file in the same folder, is flushed to disk and renamed over the target.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orvex {

struct AtomicWriteResult {
    enum Stage { Ok, Open, Write } stage = Ok;
    int error = 0;  // errno of the failing step
    explicit operator bool() const { return stage == Ok; }
};

// Steps of a write, for tests that make one of them fail.
enum class AtomicWriteStep { Create, Write, Sync, Rename };
// Called before each step; returns an errno to make the step fail, 0 to go on.
using AtomicWriteFault = std::function<int(AtomicWriteStep)>;

// Through a symbolic link the file it names is replaced, not the link. The file keeps its
// mode; a new one gets 0666 less the umask. A failed temporary-file creation is stage Open,
// every later failure stage Write; the old file is then left as it was.
AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view contents,
                                      const AtomicWriteFault& fault = {});

}  // namespace orvex
