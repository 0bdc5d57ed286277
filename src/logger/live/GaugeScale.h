// The scale of a live-data gauge: labelled ticks at round values (steps of 1, 2, 2.5 or 5
// times a power of ten) inside the gauge's range, with the minor ticks between them.
#pragma once

namespace orvex {

struct GaugeScale {
    double first = 0.0;  // the lowest labelled value at or above the range's low end
    double step = 0.0;   // between labelled values
    int labels = 0;      // labelled values from `first`, none for an empty range
    int minors = 1;      // parts a step is cut into by the minor ticks
    int decimals = 0;    // decimals the labels need

    double Label(int i) const {
        const double v = first + step * i;
        return v < step * 1e-6 && v > -step * 1e-6 ? 0.0 : v;  // no "-0.0" from rounding
    }
};

// The finest round step that puts at most `maxLabels` (at least 2) labels in [low, high].
GaugeScale MakeGaugeScale(double low, double high, int maxLabels);

// Where the swept part of a gauge starts: 0 when the range holds it (an accelerometer sweeps
// from its middle), else the low end.
double GaugeOrigin(double low, double high);

}  // namespace orvex
