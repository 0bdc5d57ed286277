#include "logger/link/Framing.h"

namespace orvex {

uint8_t PacketChecksum(const uint8_t* data, std::size_t n) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += data[i];
    return static_cast<uint8_t>(0x100 - (sum & 0xFF));
}

bool PacketSumValid(const uint8_t* dataAndSum, std::size_t n) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += dataAndSum[i];
    return n > 0 && (sum & 0xFF) == 0;
}

std::vector<uint8_t> FramePacket(const uint8_t* data, std::size_t n) {
    std::vector<uint8_t> out(n + 4);
    out[0] = kStx;
    out[1] = static_cast<uint8_t>(n & 0xFF);
    out[2] = static_cast<uint8_t>((n >> 8) & 0xFF);
    for (std::size_t i = 0; i < n; ++i) out[3 + i] = data[i];
    out[n + 3] = PacketChecksum(data, n);
    return out;
}

}  // namespace orvex
