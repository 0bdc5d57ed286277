// orvex-cli: headless commands on the core.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvex-cli COMMAND [ARGS]\n");
        return 1;
    }
    std::fprintf(stderr, "orvex-cli: unknown command '%s'\n", argv[1]);
    return 1;
}
