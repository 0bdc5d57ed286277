#include "app/ProgramData.h"

#include <cstdlib>
#include <filesystem>

namespace orvex {

std::string ProgramDataDir() {
    namespace fs = std::filesystem;
    if (const char* env = std::getenv("ORVEX_DATA_DIR"); env && *env) return env;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "data";
    const fs::path dir = exe.parent_path();
    if (fs::is_directory(dir / ".." / "share" / "orvex", ec))
        return (dir / ".." / "share" / "orvex").lexically_normal().string();
    fs::path up = dir;  // the build tree's programs sit up to two folders below its "data"
    for (int level = 0; level < 3 && !up.empty(); ++level, up = up.parent_path())
        if (fs::is_directory(up / "data", ec)) return (up / "data").string();
    return (dir / "data").string();
}

std::string FirmwareFolder() {
    return ProgramDataDir() + "/Firmware";
}

}  // namespace orvex
