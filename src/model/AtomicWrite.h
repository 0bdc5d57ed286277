// Replacing a file's contents so that a failure never leaves a half-written file: the text
// goes to a temporary file in the same folder, is flushed to disk and renamed over the target.
#pragma once

#include <string>
#include <string_view>

namespace orvex {

struct AtomicWriteResult {
    enum Stage { Ok, Open, Write } stage = Ok;
    int error = 0;  // errno of the failing step
    explicit operator bool() const { return stage == Ok; }
};

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view contents);

}  // namespace orvex
