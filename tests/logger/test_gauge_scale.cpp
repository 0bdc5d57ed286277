#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "logger/live/GaugeScale.h"

namespace orvex {

namespace {

std::vector<double> Labels(const GaugeScale& s) {
    std::vector<double> out;
    for (int i = 0; i < s.labels; ++i) out.push_back(s.Label(i));
    return out;
}

}  // namespace

// The ranges of the live-data gauges get labels at round values, 0 among them where the range
// holds it.
TEST(GaugeScale, LabelsSitAtRoundValuesInsideTheRange) {
    struct Case {
        const char* what;
        double low, high;
        int maxLabels;
        std::vector<double> labels;
        int minors, decimals;
    };
    const std::vector<Case> cases = {
        {"engine, thousands of RPM", 0, 10, 7, {0, 2, 4, 6, 8, 10}, 4, 0},
        {"lateral accelerometer", -2, 2, 7, {-2, -1, 0, 1, 2}, 5, 0},
        {"vertical accelerometer", -1, 3, 7, {-1, 0, 1, 2, 3}, 5, 0},
        {"steering wheel", -180, 180, 7, {-150, -100, -50, 0, 50, 100, 150}, 5, 0},
        {"throttle", 0, 100, 7, {0, 20, 40, 60, 80, 100}, 4, 0},
        {"exhaust in Fahrenheit", 32, 2084, 9, {250, 500, 750, 1000, 1250, 1500, 1750, 2000}, 5, 0},
        {"shock travel", -4, 4, 9, {-4, -3, -2, -1, 0, 1, 2, 3, 4}, 5, 0},
        {"battery on a small dial", 0, 20, 5, {0, 5, 10, 15, 20}, 5, 0},
        {"small range", 0.3, 1.2, 5, {0.4, 0.6, 0.8, 1.0, 1.2}, 4, 1},
        {"tiny steps", 0, 0.05, 6, {0, 0.01, 0.02, 0.03, 0.04, 0.05}, 5, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const GaugeScale s = MakeGaugeScale(c.low, c.high, c.maxLabels);
        const std::vector<double> got = Labels(s);
        ASSERT_EQ(got.size(), c.labels.size()) << ::testing::PrintToString(got);
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.labels[i], 1e-9);
        EXPECT_EQ(s.minors, c.minors);
        EXPECT_EQ(s.decimals, c.decimals);
        EXPECT_LE(s.labels, c.maxLabels);
        for (double v : got) EXPECT_FALSE(std::signbit(v) && v == 0.0);
    }
}

TEST(GaugeScale, AnEmptyOrBrokenRangeHasNoLabels) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(MakeGaugeScale(5, 5, 7).labels, 0);
    EXPECT_EQ(MakeGaugeScale(5, 1, 7).labels, 0);
    EXPECT_EQ(MakeGaugeScale(nan, 1, 7).labels, 0);
    EXPECT_EQ(MakeGaugeScale(0, std::numeric_limits<double>::infinity(), 7).labels, 0);
    // At least two labels are asked for, whatever the caller says.
    EXPECT_GE(MakeGaugeScale(0, 10, 0).labels, 1);
    EXPECT_LE(MakeGaugeScale(0, 10, 0).labels, 2);
}

TEST(GaugeScale, TheSweepStartsAtZeroWhenTheRangeHoldsIt) {
    EXPECT_EQ(GaugeOrigin(-2, 2), 0.0);
    EXPECT_EQ(GaugeOrigin(-1, 3), 0.0);
    EXPECT_EQ(GaugeOrigin(0, 100), 0.0);
    EXPECT_EQ(GaugeOrigin(32, 2084), 32.0);
    EXPECT_EQ(GaugeOrigin(-40, -10), -40.0);
}

}  // namespace orvex
