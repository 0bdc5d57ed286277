// Builds little-endian byte fixtures by hand for the archive and data file tests.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace orvex::test {

struct ByteBuilder {
    std::vector<uint8_t> bytes;

    ByteBuilder& B(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    ByteBuilder& W(uint16_t v) {
        return B(static_cast<uint8_t>(v)).B(static_cast<uint8_t>(v >> 8));
    }
    ByteBuilder& D(uint32_t v) {
        return W(static_cast<uint16_t>(v)).W(static_cast<uint16_t>(v >> 16));
    }
    ByteBuilder& F(float v) { return D(std::bit_cast<uint32_t>(v)); }
    ByteBuilder& Raw(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    // A string shorter than 255 characters: its length byte and its text.
    ByteBuilder& S(const std::string& s) { return B(static_cast<uint8_t>(s.size())).Raw(s); }
    // A new class record with schema 1.
    ByteBuilder& Class(const std::string& name, uint16_t schema = 1) {
        return W(0xFFFF).W(schema).W(static_cast<uint16_t>(name.size())).Raw(name);
    }
    ByteBuilder& Append(const ByteBuilder& other) {
        bytes.insert(bytes.end(), other.bytes.begin(), other.bytes.end());
        return *this;
    }
};

}  // namespace orvex::test
