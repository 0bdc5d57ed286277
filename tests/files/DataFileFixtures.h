// Hand-built data file bytes, written field by field from the file layout.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "files/ByteBuilder.h"

namespace orvex::test {

struct SeriesBytes {
    uint32_t mode = 0;
    std::vector<std::pair<int32_t, int32_t>> samples;  // time, value
    std::vector<uint16_t> gears;                       // RPM series only
    uint32_t colour = 0;
    uint16_t on = 0;
};

// Magic, header string, version 3.3e, the three options.
inline ByteBuilder FileHeader(uint16_t open = 0, uint16_t banking = 0, uint16_t ground = 0) {
    ByteBuilder b;
    b.W(0xAAAA).S("Brio-Dash Link Dataset").W(3).W(3).W(0x65).W(open).W(banking).W(ground);
    return b;
}

inline void SeriesBlock(ByteBuilder& b, const SeriesBytes& s, bool rpm) {
    b.D(s.mode).D(static_cast<uint32_t>(s.samples.size()));
    for (std::size_t i = 0; i < s.samples.size(); ++i) {
        b.D(static_cast<uint32_t>(s.samples[i].first))
            .D(static_cast<uint32_t>(s.samples[i].second));
        if (rpm) b.W(s.gears.at(i));
    }
    b.D(s.colour).W(s.on);
}

// The fields of a dataset after its name (car setup bytes given), all series from the maps.
struct DatasetBytes {
    uint16_t framed = 0, family = 0;
    std::vector<std::string> comments;
    float clock = 307200.0f;
    uint16_t beacons = 1, distanceSource = 0, timeRef = 0;
    int32_t zeroTime = 0;
    ByteBuilder name;      // the encoded STRING
    ByteBuilder carSetup;  // the encoded car setup record
    uint16_t options = 0;
    SeriesBytes markers;
    SeriesBytes rpm[5];
    uint32_t slipColour[5] = {};
    uint16_t slipOn[5] = {};
    SeriesBytes analog[20];
    SeriesBytes digital[6];
};

// The default car setup: no gears, ratio 4.0 given, no channel setups.
inline ByteBuilder DefaultCarSetup() {
    ByteBuilder b;
    b.W(0);
    for (int i = 0; i < 6; ++i) b.F(1.0f);
    b.W(1).W(2).W(8).F(4.0f).W(0).W(0).W(0);
    return b;
}

// The dataset record after its object tag (version 3.3e).
inline ByteBuilder DatasetRecord(const DatasetBytes& d) {
    ByteBuilder b;
    b.D(0).W(d.framed).W(d.family).W(static_cast<uint16_t>(d.comments.size()));
    for (const auto& c : d.comments) b.S(c);
    b.F(d.clock).W(d.beacons).W(d.distanceSource).W(d.timeRef).D(static_cast<uint32_t>(d.zeroTime));
    b.Append(d.name).Append(d.carSetup).W(d.options);
    b.D(d.markers.mode).D(static_cast<uint32_t>(d.markers.samples.size()));
    for (auto& s : d.markers.samples)
        b.D(static_cast<uint32_t>(s.first)).D(static_cast<uint32_t>(s.second));
    b.D(d.markers.colour).W(d.markers.on);
    for (int i = 0; i < 5; ++i) {
        SeriesBlock(b, d.rpm[i], true);
        b.D(d.slipColour[i]).W(d.slipOn[i]);
    }
    for (const auto& s : d.analog) SeriesBlock(b, s, false);
    for (const auto& s : d.digital) SeriesBlock(b, s, false);
    return b;
}

}  // namespace orvex::test
