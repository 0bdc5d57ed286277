// Work shared with one other thread: a second thread that stays for the life of the program
// takes one part while the caller does the other.
#pragma once

#include <functional>

namespace orvex {

// Runs `mine` on the calling thread and `theirs` on the second thread at the same time, and
// returns when both are done. With one core, or while the second thread is busy with another
// caller's work (or when called from it), both run here one after the other. An exception
// thrown by `theirs` is thrown again here once `mine` is done.
void RunOnTwoThreads(const std::function<void()>& mine, const std::function<void()>& theirs);

// Whether RunOnTwoThreads can share work at all on this machine.
bool TwoThreadsAvailable();

}  // namespace orvex
