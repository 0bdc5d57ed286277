#include "model/TimeFormat.h"

#include <cstdio>
#include <cstdlib>

namespace orvex {

std::string FormatTime(int32_t t, int digits) {
    if (digits < 1 || digits > 4) digits = 4;
    int64_t unit = 1;
    for (int i = 0; i < 4 - digits; ++i) unit *= 10;
    int64_t a = std::llabs(static_cast<int64_t>(t));
    // Round the fraction to the shown digits; a fraction that rounds up to a whole unit of
    // the last place carries into the seconds instead of printing one digit too many.
    int64_t units = (a + unit / 2) / unit;  // time in units of the last digit shown
    int64_t perSecond = 10000 / unit;
    int64_t seconds = units / perSecond;
    int64_t frac = units % perSecond;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%lld:%02lld.%0*lld", t < 0 ? "-" : "",
                  static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60), digits,
                  static_cast<long long>(frac));
    return buf;
}

}  // namespace orvex
