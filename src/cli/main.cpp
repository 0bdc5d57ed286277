// orvex-cli: headless commands on the core, for users' scripts and acceptance checks.
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/Command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(true);
    orvex::cli::Context context(std::cout, std::cerr);
    try {
        return orvex::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), context);
    } catch (const std::bad_alloc&) {
        std::cerr << "orvex-cli: not enough memory to complete the command\n";
        return 1;
    }
}
