// A colour set: one colour for every channel of a dataset, and the colour-setup file (".col")
// that stores a list of colour sets as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

class CBriodashDataset;
class IHostServices;

// A colour value: red in the low byte, then green, then blue.
using ColorRef = uint32_t;
constexpr ColorRef MakeRGB(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(ColorRef c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(ColorRef c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(ColorRef c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

class CColor {
  public:
    static constexpr int kRpm = 5;
    static constexpr int kSlip = 5;
    static constexpr int kAnalog = 20;
    static constexpr int kDigital = 6;

    // All colours black.
    CColor() = default;
    // A set made of its parts.
    CColor(const ColorRef (&rpm)[kRpm], const ColorRef (&slip)[kSlip], ColorRef marker,
           const ColorRef (&analog)[kAnalog], const ColorRef (&digital)[kDigital]);
    // Default colour set number n (0, 1 and 2 are the ones the program creates).
    static CColor Default(int n);

    ColorRef m_crMarker = 0;
    ColorRef m_crSlip[kSlip] = {};
    ColorRef m_crRpm[kRpm] = {};
    ColorRef m_crAnalog[kAnalog] = {};
    ColorRef m_crDigital[kDigital] = {};

    bool operator==(const CColor&) const = default;

    // Display names: "Marker", "RPM #1".."RPM #5", "Slip #1".."Slip #5", "Ana #0".., "Dig #0"..
    static std::string MarkerName() { return "Marker"; }
    static std::string RpmName(int i);      // i = 0..4
    static std::string SlipName(int i);     // i = 0..4
    static std::string AnalogName(int i);   // i = 0..19
    static std::string DigitalName(int i);  // i = 0..5
};

// Gives a dataset's RPM, slip, marker, analog and digital series the colours of a set.
void ApplyColourSet(const CColor& set, CBriodashDataset& ds);

// The first line of a colour-setup file.
inline constexpr const char* kColorFileHeader = "!Brio-Dash Color Setup File Version 2.0";

// Reads a colour-setup file. Returns the sets read (possibly none), or nothing when the file
// cannot be used, after showing the reason through `host`; a file that cannot be opened is
// reported only when `showMessages` is set (the start-up load is silent about it).
std::optional<std::vector<CColor>> ReadColorFile(const std::string& path, IHostServices& host,
                                                 bool showMessages = true);
// Reads colour-setup text already in memory (the file's bytes); same results and messages.
std::optional<std::vector<CColor>> ParseColorText(const std::string& text, IHostServices& host);
// The text of a colour-setup file holding `sets`.
std::string FormatColorText(const std::vector<CColor>& sets);
// Writes a colour-setup file; the old file stays untouched unless the new one is complete.
// Returns false after showing the message.
bool WriteColorFile(const std::string& path, const std::vector<CColor>& sets, IHostServices& host);

}  // namespace orvex
