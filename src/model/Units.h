// Stored units shared by the whole program and the application-wide units choice.
#pragma once

#include <cstdint>
#include <limits>

namespace orvex {

// The application's one units setting: 0 = Imperial (inches, °F, MPH, feet), 1 = Metric.
enum class Units : int { Imperial = 0, Metric = 1 };

// A time or position that is not set.
inline constexpr int32_t kNotSet = std::numeric_limits<int32_t>::max();
inline constexpr int32_t kMinInt32 = std::numeric_limits<int32_t>::min();

// Time is counted in 0.1 ms.
inline constexpr int32_t kTicksPerSecond = 10000;

}  // namespace orvex
