#include "logger/live/GaugeScale.h"

#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

int DecimalsOf(double step) {
    for (int d = 0; d < 4; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) return d;
    }
    return 4;
}

}  // namespace

GaugeScale MakeGaugeScale(double low, double high, int maxLabels) {
    GaugeScale scale;
    if (!std::isfinite(low) || !std::isfinite(high) || !(high > low)) return scale;
    maxLabels = std::max(maxLabels, 2);
    const double span = high - low;
    // Small tolerances keep a label that sits on an end of the range despite rounding.
    const double slack = span * 1e-9;
    constexpr double kMantissas[] = {1.0, 2.0, 2.5, 5.0};
    constexpr int kMinors[] = {5, 4, 5, 5};
    double power = std::pow(10.0, std::floor(std::log10(span / maxLabels)) - 1);
    for (int guard = 0; guard < 60; ++guard, power *= 10.0) {
        for (int m = 0; m < 4; ++m) {
            const double step = kMantissas[m] * power;
            const double first = std::ceil((low - slack) / step) * step;
            const int labels = static_cast<int>(std::floor((high + slack - first) / step)) + 1;
            if (labels > maxLabels) continue;
            scale.first = first == 0.0 ? 0.0 : first;  // no "-0"
            scale.step = step;
            scale.labels = labels;
            scale.minors = kMinors[m];
            scale.decimals = DecimalsOf(step);
            return scale;
        }
    }
    return scale;
}

double GaugeOrigin(double low, double high) {
    const double a = std::min(low, high), b = std::max(low, high);
    return a <= 0.0 && b >= 0.0 ? 0.0 : a;
}

}  // namespace orvex
