// Value syntaxes of the settings file: integer lists such as "255, 0, 0", long and float
// numbers read like the C scanf conversions, fixed-point output and smoothing words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvex {

// Reads up to `count` decimal integers separated by `separator`, where a blank in the
// separator matches any run of blanks (so ", " reads "1, 2,3"). Returns how many were read;
// `stop` receives the position after the last one read.
int ScanProfileInts(std::string_view text, std::string_view separator, int count, int* out,
                    const char** stop = nullptr);
// A leading decimal number ("%ld"); false when none can be read or it does not fit.
bool ParseProfileLong(std::string_view text, int64_t& value);
// A leading floating-point number ("%f"); false when none can be read or it is not finite.
bool ParseProfileFloat(std::string_view text, float& value);
// "%<width>.<precision>f" without regard to the locale.
std::string FormatFixed(double value, int width, int precision);

// "Light" 4, "Medium" 8, "Heavy" 16, any other text 1 (no smoothing).
int16_t SmoothingFromText(std::string_view text);
// 4, 8 and 16 as those words, every other value "None".
std::string SmoothingText(int value);

}  // namespace orvex
