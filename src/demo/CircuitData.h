// Outlines of real circuits (longitude/latitude points in racing order, the first point on the
// start/finish line) for the session generator; the table is generated into CircuitData.cpp.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace orvex {

struct LonLat {
    double lon = 0.0;
    double lat = 0.0;
};

struct CircuitOutline {
    const char* id;         // e.g. "gb-1948"
    const char* name;       // e.g. "Silverstone Circuit"
    const char* location;   // e.g. "Silverstone"
    double officialLength;  // metres
    const LonLat* points;   // closed outline; the last point does not repeat the first
    std::size_t pointCount;
};

// Every circuit the program carries, in a fixed order.
std::span<const CircuitOutline> Circuits();

// The circuit with the given id, or nullptr.
inline const CircuitOutline* FindCircuit(std::string_view id) {
    for (const CircuitOutline& c : Circuits())
        if (id == c.id) return &c;
    return nullptr;
}

}  // namespace orvex
