// orvex-cli: headless commands on the core, for users' scripts and acceptance checks.
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "cli/Command.h"

namespace orvex::cli {

std::map<std::string, CommandInfo>& Commands() {
    static std::map<std::string, CommandInfo> commands;
    return commands;
}

}  // namespace orvex::cli

namespace {

void PrintUsage() {
    std::fprintf(stderr, "usage: orvex-cli COMMAND [ARGS]\n");
    for (const auto& [name, info] : orvex::cli::Commands())
        std::fprintf(stderr, "  orvex-cli %s\n", info.usage.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "help") {
        PrintUsage();
        return argc < 2 ? 1 : 0;
    }
    auto& commands = orvex::cli::Commands();
    auto it = commands.find(argv[1]);
    if (it == commands.end()) {
        std::fprintf(stderr, "orvex-cli: unknown command '%s'\n", argv[1]);
        PrintUsage();
        return 1;
    }
    try {
        return it->second.run(argc, argv, 2);
    } catch (const orvex::cli::UsageError& e) {
        std::fprintf(stderr, "orvex-cli %s: %s\nusage: orvex-cli %s\n", argv[1], e.what(),
                     it->second.usage.c_str());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "orvex-cli %s: not enough memory to complete the command\n", argv[1]);
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvex-cli %s: %s\n", argv[1], e.what());
        return 1;
    }
}
