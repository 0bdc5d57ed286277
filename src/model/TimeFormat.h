// Text of a time in 0.1 ms as minutes, seconds and a fraction ("1:02.35").
#pragma once

#include <cstdint>
#include <string>

namespace orvex {

// `digits` fraction digits, 1 to 4 (anything else is taken as 4); negative times get a
// leading minus sign.
std::string FormatTime(int32_t t, int digits);

}  // namespace orvex
