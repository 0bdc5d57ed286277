#include "app/ProfileValues.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace orvex {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t SkipSpace(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    return pos;
}

// Optional sign and at least one digit from `pos`; false when there is no digit or the
// number does not fit 32 bits.
bool ReadInt(std::string_view text, std::size_t& pos, int64_t& value) {
    std::size_t p = SkipSpace(text, pos);
    bool negative = false;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) negative = text[p++] == '-';
    std::size_t digits = p;
    int64_t n = 0;
    for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
        n = n * 10 + (text[p] - '0');
        if (n > int64_t{1} << 40) n = int64_t{1} << 40;
    }
    if (p == digits) return false;
    value = negative ? -n : n;
    pos = p;
    return true;
}

}  // namespace

int ScanProfileInts(std::string_view text, std::string_view separator, int count, int* out,
                    const char** stop) {
    std::size_t pos = 0;
    int parsed = 0;
    for (; parsed < count; ++parsed) {
        std::size_t p = pos;
        if (parsed > 0) {
            bool matched = true;
            for (char c : separator) {
                if (c == ' ') {
                    p = SkipSpace(text, p);
                } else if (p < text.size() && text[p] == c) {
                    ++p;
                } else {
                    matched = false;
                    break;
                }
            }
            if (!matched) break;
        }
        int64_t v = 0;
        if (!ReadInt(text, p, v) || v < INT_MIN || v > INT_MAX) break;
        out[parsed] = static_cast<int>(v);
        pos = p;
    }
    if (stop) *stop = text.data() + pos;
    return parsed;
}

bool ParseProfileLong(std::string_view text, int64_t& value) {
    std::size_t pos = 0;
    int64_t v = 0;
    if (!ReadInt(text, pos, v) || v < INT32_MIN || v > INT32_MAX) return false;
    value = v;
    return true;
}

bool ParseProfileFloat(std::string_view text, float& value) {
    std::size_t p = SkipSpace(text, 0);
    bool negative = false;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) negative = text[p++] == '-';
    if (p >= text.size() || text[p] == '-' || text[p] == '+') return false;
    float f = 0;
    auto [end, ec] = std::from_chars(text.data() + p, text.data() + text.size(), f);
    if (ec != std::errc() || !std::isfinite(f)) return false;
    value = negative ? -f : f;
    return true;
}

std::string FormatFixed(double value, int width, int precision) {
    char buf[128];
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
    std::string text = ec == std::errc() ? std::string(buf, end) : std::string("0");
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

int16_t SmoothingFromText(std::string_view text) {
    if (text == "Light") return 4;
    if (text == "Medium") return 8;
    if (text == "Heavy") return 16;
    return 1;
}

std::string SmoothingText(int value) {
    switch (value) {
        case 4:
            return "Light";
        case 8:
            return "Medium";
        case 16:
            return "Heavy";
        default:
            return "None";
    }
}

}  // namespace orvex
