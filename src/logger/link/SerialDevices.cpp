// The serial devices a logger may sit on, and the device a port setting names.
#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "logger/link/SerialLine.h"

namespace orvex {

std::string LoggerDevicePath(int port, const std::string& path) {
    return path.empty() ? PortDevicePath(port) : path;
}

std::string WithDevice(const std::string& text, const std::string& device) {
    return text + "\nDevice: " + device;
}

namespace {

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(d);
    }
    return names;
}

// "ttyUSB10" after "ttyUSB9": names compare by their text, then by their trailing number.
bool NumericLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t i = s.size();
        while (i > 0 && std::isdigit(static_cast<unsigned char>(s[i - 1]))) --i;
        const std::string digits = s.substr(i);
        return std::make_pair(s.substr(0, i), digits.empty() ? -1L : std::stol(digits));
    };
    return split(a) < split(b);
}

}  // namespace

std::vector<std::string> ListSerialDevices(const std::string& devRoot) {
    std::vector<std::string> found;
    const std::vector<std::string> names = Entries(devRoot);
    for (const char* prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
        const std::string p = prefix;
        std::vector<std::string> kind;
        for (const std::string& name : names)
            if (name.size() > p.size() && name.compare(0, p.size(), p) == 0 &&
                std::all_of(name.begin() + static_cast<long>(p.size()), name.end(),
                            [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
                kind.push_back(name);
        std::sort(kind.begin(), kind.end(), NumericLess);
        for (const std::string& name : kind) found.push_back(devRoot + "/" + name);
    }
    std::vector<std::string> byId = Entries(devRoot + "/serial/by-id");
    std::sort(byId.begin(), byId.end());
    for (const std::string& name : byId) found.push_back(devRoot + "/serial/by-id/" + name);
    return found;
}

}  // namespace orvex
