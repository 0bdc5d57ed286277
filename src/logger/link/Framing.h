// Checks of the logger's framed packets as pure functions over byte buffers: STX bytes, a
// 16-bit length low byte first, the data and a checksum byte that brings the sum to 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvex {

inline constexpr uint8_t kStx = 0x02;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;
inline constexpr uint8_t kSyn = 0x16;
inline constexpr uint8_t kWake = 0x90;
inline constexpr std::size_t kMaxPacketData = 512;

// The checksum byte that makes the sum of the data and itself 0 modulo 256.
uint8_t PacketChecksum(const uint8_t* data, std::size_t n);
// Sum of data bytes and checksum byte (the last of the n bytes) is 0 modulo 256.
bool PacketSumValid(const uint8_t* dataAndSum, std::size_t n);
// A length field the host accepts.
inline bool PacketLengthValid(std::size_t length) {
    return length <= kMaxPacketData;
}
// The bytes of one packet as the logger sends it: STX, length low, length high, data, sum.
std::vector<uint8_t> FramePacket(const uint8_t* data, std::size_t n);

}  // namespace orvex
