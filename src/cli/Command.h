// Registry of orvex-cli commands: each command file registers itself with a static Register.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "cli/Args.h"

namespace orvex::cli {

// A command gets argv and the index of its first argument; it returns the exit status
// (0 on success, 1 with the message on stderr on failure). Throw UsageError for bad arguments.
using CommandFn = std::function<int(int argc, char** argv, int first)>;

struct CommandInfo {
    std::string usage;
    CommandFn run;
};

std::map<std::string, CommandInfo>& Commands();

struct Register {
    Register(const std::string& name, const std::string& usage, CommandFn fn) {
        Commands()[name] = CommandInfo{usage, std::move(fn)};
    }
};

}  // namespace orvex::cli
