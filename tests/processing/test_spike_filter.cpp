#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "demo/SessionGenerator.h"
#include "processing/SpikeFilter.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::FakeHost;

constexpr int32_t kFlatPeriod = 18432;  // 1000 RPM at 307200 Hz, one pulse per revolution
constexpr int32_t kSpikePeriod = 1843;  // about 10000 RPM

template <class List>
void Fill(List& s, const std::vector<int32_t>& values, int32_t dt) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        typename List::Sample x;
        x.m_lTime = static_cast<int32_t>(i) * dt;
        x.m_lRaw = x.m_lFiltered = values[i];
        s.AddTail(x);
    }
}

std::vector<int32_t> Flat(std::size_t n, int32_t v,
                          std::vector<std::pair<std::size_t, int32_t>> set) {
    std::vector<int32_t> values(n, v);
    for (auto [i, x] : set) values[i] = x;
    return values;
}

std::vector<int32_t> Filtered(const CSampleList& s) {
    std::vector<int32_t> out;
    for (const CSample& x : s.m_samples) out.push_back(x.m_lFiltered);
    return out;
}

TEST(SpikeRule, WindowAndToleranceFollowTypeAndRate) {
    struct Case {
        int32_t type;
        double rate;
        int window;
        double tolerance;
    } cases[] = {
        {5, 1.0, 5, 0.25},  // ceil(2) raised to 4, made odd
        {0, 10.0, 21, 0.25},   {134, 2.5, 5, 0.25}, {1, 30.03, 31, 0.05}, {137, 9.0, 9, 0.05},
        {6, 12.0, 13, 0.2},    {133, 3.0, 5, 0.2},  {7, 10.0, 41, 0.2},   {135, 2.2, 9, 0.2},
        {130, 10.0, 101, 0.5}, {131, 3.0, 7, 0.2},  {42, 100.0, 5, 0.25},  // unknown type: window
                                                                           // of 5
    };
    for (const Case& c : cases) {
        SpikeRule r = AnalogSpikeRule(c.type, c.rate);
        EXPECT_EQ(r.window, c.window) << c.type << " @ " << c.rate;
        EXPECT_DOUBLE_EQ(r.tolerance, c.tolerance) << c.type;
    }
    EXPECT_EQ(RpmSpikeRule(50.0).window, 101);
    EXPECT_EQ(RpmSpikeRule(1.0).window, 5);
    EXPECT_DOUBLE_EQ(RpmSpikeRule(50.0).tolerance, 0.25);
    EXPECT_EQ(AnalogSpikeRule(5, std::nan("")).window, 5);
}

TEST(SpikeFilter, AnalogTraces) {
    std::vector<int32_t> ramp, rampSpike, rampFixed;
    for (int32_t i = 0; i < 30; ++i) ramp.push_back(100 + 10 * i);
    rampSpike = rampFixed = ramp;
    rampSpike[10] = 2000;
    std::vector<int32_t> step = Flat(30, 100, {});
    for (std::size_t i = 15; i < 30; ++i) step[i] = 200;

    struct Case {
        const char* name;
        int32_t type;
        std::vector<int32_t> in;
        std::vector<int32_t> out;
        long changes;
    } cases[] = {
        {"10x spike on flat trace", 5, Flat(30, 100, {{10, 1000}}), Flat(30, 100, {}), 1},
        // Window 5: the first two samples are never a centre.
        {"spike among first H samples", 5, Flat(30, 100, {{1, 1000}}), Flat(30, 100, {{1, 1000}}),
         0},
        {"spike on ramp is interpolated", 5, rampSpike, rampFixed, 1},
        {"6% bump over 5% tolerance", 1, Flat(30, 100, {{10, 106}}), Flat(30, 100, {}), 1},
        {"6% bump within 25% tolerance", 5, Flat(30, 100, {{10, 106}}), Flat(30, 100, {{10, 106}}),
         0},
        {"level step is kept", 5, step, step, 0},
        {"spike on last sample has no match", 5, Flat(30, 100, {{29, 1000}}),
         Flat(30, 100, {{29, 1000}}), 0},
        {"negative trace", 5, Flat(30, -100, {{10, -1000}}), Flat(30, -100, {}), 1},
        {"two spikes", 2, Flat(40, 500, {{8, 50}, {30, 5000}}), Flat(40, 500, {}), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSampleList s;
        Fill(s, c.in, 10000);
        FakeHost host;
        EXPECT_EQ(SpikeFilter(s, 2, c.type, host), c.changes);
        EXPECT_EQ(Filtered(s), c.out);
        EXPECT_EQ(s.m_nDataMode, 2);
        for (std::size_t i = 0; i < c.in.size(); ++i) EXPECT_EQ(s.m_samples[i].m_lRaw, c.in[i]);
        EXPECT_TRUE(host.messages.empty());
    }
}

TEST(SpikeFilter, MinMaxFollowTheFilteredValues) {
    CSampleList s;
    Fill(s, Flat(30, 100, {{10, 1000}, {20, 300}}), 10000);
    s.FindMinMax(true);
    EXPECT_EQ(s.m_pMax, 10);
    FakeHost host;
    EXPECT_EQ(SpikeFilter(s, 2, 5, host), 2);
    ASSERT_NE(s.m_pMax, kNoPos);  // recomputed, not left cleared
    EXPECT_EQ(s.GetSampleValue(s.m_pMax), 100);
}

TEST(SpikeFilter, RangeModeFiltersOnlyTheRange) {
    CSampleList s;
    Fill(s, Flat(50, 100, {{10, 1000}, {30, 1000}, {45, 1000}}), 10000);
    s.m_bRange = 1;
    s.m_pFirst = 20;
    s.m_pLast = 40;
    FakeHost host;
    EXPECT_EQ(SpikeFilter(s, 2, 5, host), 1);
    EXPECT_EQ(Filtered(s), Flat(50, 100, {{10, 1000}, {45, 1000}}));
}

TEST(SpikeFilter, RpmChannelAt50HzUsesWindowOf101) {
    CShaftList s;
    Fill(s, Flat(300, kFlatPeriod, {{49, kSpikePeriod}, {150, kSpikePeriod}}), 200);
    s.m_fRate = 50.0f;
    FakeHost host;
    // Sample 49 lies in the left half of the first window (H = 50) and stays.
    EXPECT_EQ(SpikeFilter(s, 2, host), 1);
    EXPECT_EQ(s[49].m_lFiltered, kSpikePeriod);
    EXPECT_EQ(s[150].m_lFiltered, kFlatPeriod);
    EXPECT_EQ(s[150].m_lRaw, kSpikePeriod);
    EXPECT_EQ(s.m_nDataMode, 2);
}

TEST(SpikeFilter, RpmBandIsOnRpmAndInterpolationOnPeriods) {
    // Periods rising linearly: RPM falls along a curve, the spike is replaced by the period
    // half-way between its neighbours two samples away.
    std::vector<int32_t> periods;
    for (int32_t i = 0; i < 30; ++i) periods.push_back(18000 + 100 * i);
    periods[12] = 1800;
    CShaftList s;
    Fill(s, periods, 10000);
    FakeHost host;
    EXPECT_EQ(SpikeFilter(s, 2, host), 1);
    EXPECT_EQ(s[12].m_lFiltered, 18000 + 100 * 12);
}

TEST(SpikeFilter, ModeRequestsSwitchWithoutRefiltering) {
    CSampleList s;
    Fill(s, Flat(30, 100, {{10, 1000}}), 10000);
    FakeHost host;
    EXPECT_EQ(SpikeFilter(s, 1, 5, host), 0);  // never filtered: raw stays
    EXPECT_EQ(s.m_nDataMode, 0);
    EXPECT_EQ(SpikeFilter(s, 2, 5, host), 1);
    EXPECT_EQ(s.GetSampleValue(10), 100);
    EXPECT_EQ(SpikeFilter(s, 1, 5, host), 0);
    EXPECT_EQ(s.m_nDataMode, 1);
    EXPECT_EQ(s.GetSampleValue(10), 1000);
    EXPECT_EQ(s[10].m_lFiltered, 100);  // kept for the way back
    s[20].m_lFiltered = 555;            // a refilter would undo this
    EXPECT_EQ(SpikeFilter(s, 2, 5, host), 0);
    EXPECT_EQ(s.m_nDataMode, 2);
    EXPECT_EQ(s.GetSampleValue(20), 555);
    EXPECT_EQ(s.FindMinMax(false), 20);
}

TEST(SpikeFilter, VeryNoisyDataStopsAfter50Passes) {
    // A trace growing by 30% a sample is never settled: every pass finds new spikes.
    std::vector<int32_t> values;
    double x = 10;
    for (int i = 0; i < 12; ++i, x *= 1.3) values.push_back(static_cast<int32_t>(x));
    CSampleList s;
    Fill(s, values, 10000);
    FakeHost host;
    SpikeResult r = RunSpikeFilter(s, 2, 5, host);
    EXPECT_EQ(r.passes, kMaxSpikePasses);
    EXPECT_GT(r.changes, 0);
    EXPECT_EQ(s.m_nDataMode, 2);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Data is VERY Noisy. Spike Filter terminating!");
    EXPECT_EQ(host.messages[0].icon, Icon::Warning);
}

TEST(SpikeFilter, AbortBetweenPassesKeepsChangesSoFar) {
    CSampleList s;
    Fill(s, Flat(30, 100, {{10, 1000}}), 10000);
    FakeHost host;
    host.abortAfterPumps = 0;
    SpikeResult r = RunSpikeFilter(s, 2, 5, host);
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(r.passes, 1);
    EXPECT_EQ(r.changes, 1);
    EXPECT_EQ(s[10].m_lFiltered, 100);
}

// A dataset with two RPM channels and three analog channels of type 5, each 30 samples at 1 Hz.
struct ReportFixture : ::testing::Test {
    CBriodashDataset ds;
    FakeHost host;
    std::array<int, kRpmChannels> rpmModes{};
    std::array<int, kAnalogChannels> analogModes{};

    void SetUp() override {
        ds.m_strName = "Run 7";
        ds.m_nFramed = 1;
        ds.m_carSetup.m_rpm.resize(2);
        ds.m_carSetup.m_rpm[0].m_nChannel = 1;
        ds.m_carSetup.m_rpm[0].m_strDescription = "Engine";
        ds.m_carSetup.m_rpm[1].m_nChannel = 2;
        ds.m_carSetup.m_rpm[1].m_strDescription = "Driveshaft";
        ds.m_carSetup.m_analog.resize(3);
        const char* names[] = {"Oil Press", "Fuel Press", "Water Temp"};
        for (int i = 0; i < 3; ++i) {
            ds.m_carSetup.m_analog[i].m_nChannel = i + 1;
            ds.m_carSetup.m_analog[i].m_nType = 5;
            ds.m_carSetup.m_analog[i].m_strDescription = names[i];
        }
        Fill(ds.m_rpm[0], Flat(30, kFlatPeriod, {{10, kSpikePeriod}}), 10000);
        Fill(ds.m_rpm[1], Flat(30, kFlatPeriod, {{12, kSpikePeriod}}), 10000);
        Fill(ds.m_analog[0], Flat(30, 100, {{10, 1000}}), 10000);
        Fill(ds.m_analog[1], Flat(30, 100, {}), 10000);
        Fill(ds.m_analog[2], Flat(30, 100, {{15, 1000}}), 10000);
        for (auto& r : ds.m_rpm) r.m_bSlipDirty = 0;
        rpmModes.fill(0);  // as the channels are: nothing to do
        analogModes.fill(0);
    }
};

TEST_F(ReportFixture, FilteringReportsEveryChannel) {
    rpmModes[0] = 2;
    analogModes[0] = 2;
    analogModes[1] = 2;
    std::string report = FilterAndReport(ds, rpmModes, analogModes, false, host);
    const std::string expected =
        "Results for Run 7 DataSet.\n"
        "1 points have been removed from Engine data.\n"
        "1 points have been removed from Oil Press data.\n"
        "No data points have been removeed from Fuel Press data.";
    EXPECT_EQ(report, expected);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, expected);
    EXPECT_EQ(host.messages[0].icon, Icon::Information);
    EXPECT_EQ(ds.m_rpm[0].m_bSlipDirty, 1);
    EXPECT_EQ(ds.m_rpm[1].m_bSlipDirty, 0);
    EXPECT_EQ(ds.m_rpm[0][10].m_lFiltered, kFlatPeriod);
    EXPECT_EQ(ds.m_analog[0][10].m_lFiltered, 100);
    EXPECT_EQ(ds.m_analog[2][15].m_lFiltered, 1000);
}

TEST_F(ReportFixture, RawRequestForNeverFilteredChannelOnlyReports) {
    analogModes[2] = 1;  // the dialog shows mode 0 as raw
    EXPECT_EQ(FilterAndReport(ds, rpmModes, analogModes, false, host),
              "Results for Run 7 DataSet.\nRaw data is being used for Water Temp data.");
    EXPECT_EQ(ds.m_analog[2].m_nDataMode, 0);
    EXPECT_EQ(ds.m_analog[2][15].m_lFiltered, 1000);
}

TEST_F(ReportFixture, SwitchingReportsRawOrFilteredUse) {
    rpmModes[0] = 2;
    analogModes[0] = 2;
    FilterAndReport(ds, rpmModes, analogModes, false, host);
    host.messages.clear();
    ds.m_rpm[0].m_bSlipDirty = 0;

    rpmModes[0] = 1;
    analogModes[0] = 1;
    EXPECT_EQ(FilterAndReport(ds, rpmModes, analogModes, false, host),
              "Results for Run 7 DataSet.\n"
              "Raw data is being used for Engine data.\n"
              "Raw data is being used for Oil Press data.");
    EXPECT_EQ(ds.m_rpm[0].m_nDataMode, 1);
    EXPECT_EQ(ds.m_rpm[0].m_bSlipDirty, 1);
    EXPECT_EQ(ds.m_analog[0].GetSampleValue(10), 1000);

    rpmModes[0] = 2;
    analogModes[0] = 2;
    EXPECT_EQ(FilterAndReport(ds, rpmModes, analogModes, false, host),
              "Results for Run 7 DataSet.\n"
              "Filtered data is being used for Engine data.\n"
              "Filtered data is being used for Oil Press data.");
    EXPECT_EQ(ds.m_analog[0].GetSampleValue(10), 100);
    EXPECT_EQ(host.messages.size(), 2u);

    // Nothing requested differs from the channels' modes: no report, no message.
    EXPECT_EQ(FilterAndReport(ds, rpmModes, analogModes, false, host), "");
    EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(ReportFixture, AfterLoadRefiltersChannelsSavedFiltered) {
    // As read from a file: the engine was stored with mode 1, which a shaft series reads as 0.
    ds.m_rpm[0].m_nDataMode = 0;
    ds.m_rpm[1].m_nDataMode = 2;
    ds.m_analog[0].m_nDataMode = 1;
    ds.m_analog[1].m_nDataMode = 2;
    ds.m_analog[2].m_nDataMode = 0;
    AfterRead(ds, host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "Results for Run 7 DataSet.\n"
              "1 points have been removed from Driveshaft data.\n"
              "1 points have been removed from Oil Press data.\n"
              "No data points have been removeed from Fuel Press data.");
    EXPECT_EQ(ds.m_rpm[0].m_nDataMode, 0);
    EXPECT_EQ(ds.m_rpm[0].GetSampleValue(10), kSpikePeriod);
    EXPECT_EQ(ds.m_rpm[1].m_nDataMode, 2);
    EXPECT_EQ(ds.m_rpm[1].GetSampleValue(12), kFlatPeriod);
    EXPECT_EQ(ds.m_rpm[1].m_bSlipDirty, 1);
    EXPECT_EQ(ds.m_analog[0].m_nDataMode, 2);
    EXPECT_EQ(ds.m_analog[2].GetSampleValue(15), 1000);
}

TEST_F(ReportFixture, AfterLoadWithNothingFilteredShowsNothing) {
    AfterRead(ds, host);
    EXPECT_TRUE(host.messages.empty());
}

TEST(Smoothing, MovingSumOverSlots) {
    struct Case {
        const char* name;
        Pos start;
        int n;
        std::vector<Pos> next;
        std::vector<int64_t> sums;  // after start, then after each continue
    } cases[] = {
        {"none gives the value itself", 2, 1, {3, 4}, {30, 40, 50}},
        {"light from the head", 0, 4, {4, 1}, {100, 110, 100}},
        {"end of series repeats the last value", 3, 4, {}, {190}},
        {"index cycles", 0, 2, {2, 3, 4}, {30, 40, 70, 90}},
    };
    CSampleList s;
    Fill(s, {10, 20, 30, 40, 50}, 10000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int64_t> sums{SmoothStart(s, c.start, c.n)};
        for (Pos p : c.next) sums.push_back(SmoothContinue(s, p));
        EXPECT_EQ(sums, c.sums);
    }
}

// The one-pass sums over a whole series equal the sum at each position, before, inside and
// after a sub-range, for windows longer than the series and sums beyond the int32 range.
TEST(Smoothing, OnePassSumsEqualTheSumAtEachPosition) {
    std::vector<int32_t> values;
    uint32_t x = 12345;
    for (int i = 0; i < 60; ++i) {
        x = x * 1103515245u + 12345u;
        values.push_back(i % 7 == 0 ? 2000000000 : static_cast<int32_t>(x >> 12) - 500000);
    }
    for (std::size_t size : {0u, 1u, 3u, 60u}) {
        for (bool range : {false, true}) {
            CSampleList s;
            Fill(s, std::vector<int32_t>(values.begin(), values.begin() + size), 10);
            if (range && size > 2) {
                s.SetRange(10, static_cast<int32_t>(size - 2) * 10);
                s.SetRangeMode(true);
            }
            for (int n : {1, 2, 4, 7, 64}) {
                SCOPED_TRACE(testing::Message()
                             << size << " samples, range " << range << ", n " << n);
                std::vector<int32_t> sums;
                SmoothedSums(s, n, sums);
                ASSERT_EQ(sums.size(), size);
                for (std::size_t p = 0; p < size; ++p)
                    ASSERT_EQ(sums[p], SmoothedSumAt(s, static_cast<Pos>(p), n)) << "at " << p;
            }
        }
    }
}

TEST(Smoothing, ReadsFilteredValuesInFilteredMode) {
    CSampleList s;
    Fill(s, {10, 20, 30}, 10000);
    s[1].m_lFiltered = 25;
    EXPECT_EQ(SmoothedSum(s, 1, 1, false), 20);
    s.m_nDataMode = 2;
    EXPECT_EQ(SmoothedSum(s, 1, 1, false), 25);
    EXPECT_EQ(SmoothedSum(s, 0, 1, true), 10);
}

}  // namespace
}  // namespace orvex

namespace orvex {
namespace {

// Filtered values, passes and changes of generated channels and of noisy series, as the
// filter gave them when every pass looked at every sample. Later passes may look only where
// the pass before changed something; what they find must stay the same to the last sample.
uint64_t Fingerprint(const std::vector<int32_t>& values, const SpikeResult& r) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    for (int32_t v : values) mix(static_cast<uint32_t>(v));
    mix(static_cast<uint64_t>(r.passes));
    mix(static_cast<uint64_t>(r.changes));
    return h;
}

template <class List>
std::vector<int32_t> FilteredOf(const List& s) {
    std::vector<int32_t> out;
    for (const auto& x : s.m_samples) out.push_back(x.m_lFiltered);
    return out;
}

TEST(SpikeFilter, PassesFindTheSameSpikesAsFullPasses) {
    GeneratorOptions o;
    o.minutes = 4;
    o.rateHz = 100;
    auto ds = GenerateSession(o);
    FakeHost host;
    struct Case {
        const char* name;
        std::function<uint64_t()> run;
        uint64_t expected;
    };
    auto analog = [&](int channel) {
        CSampleList s = ds->m_analog[static_cast<std::size_t>(channel - 1)];
        s.m_nDataMode = 0;
        const CAnalogSetup* a = ds->m_carSetup.FindAnalogSetup(channel);
        const SpikeResult r = RunSpikeFilter(s, 2, a ? a->m_nType : 0, host);
        return Fingerprint(FilteredOf(s), r);
    };
    auto rpm = [&](int channel) {
        CShaftList s = ds->m_rpm[static_cast<std::size_t>(channel - 1)];
        s.m_nDataMode = 0;
        const SpikeResult r = RunSpikeFilter(s, 2, host);
        return Fingerprint(FilteredOf(s), r);
    };
    // Random spikes and steps over a slow wave, and shaft periods with dropped pulses.
    auto noisy = [&](uint32_t seed, int32_t type) {
        std::mt19937 gen(seed);
        std::vector<int32_t> values;
        int32_t level = 2000;
        for (int i = 0; i < 20000; ++i) {
            if (gen() % 500 == 0) level = 500 + static_cast<int32_t>(gen() % 3000);
            int32_t v = level + static_cast<int32_t>(300 * std::sin(i / 50.0));
            if (gen() % 40 == 0) v = static_cast<int32_t>(gen() % 4096);
            values.push_back(v);
        }
        CSampleList s;
        Fill(s, values, 100);
        s.m_fRate = 100;
        const SpikeResult r = RunSpikeFilter(s, 2, type, host);
        return Fingerprint(FilteredOf(s), r);
    };
    auto periods = [&](uint32_t seed) {
        std::mt19937 gen(seed);
        CShaftList s;
        int32_t t = 0;
        for (int i = 0; i < 20000; ++i) {
            int32_t p = kFlatPeriod + static_cast<int32_t>(gen() % 2000);
            if (gen() % 60 == 0) p = (gen() % 2) ? p * 2 : kSpikePeriod;
            CShaft x;
            x.m_lTime = t += 100;
            x.m_lRaw = x.m_lFiltered = p;
            s.AddTail(x);
        }
        s.m_fRate = 100;
        const SpikeResult r = RunSpikeFilter(s, 2, host);
        return Fingerprint(FilteredOf(s), r);
    };
    const Case cases[] = {
        {"throttle", [&] { return analog(1); }, 4831900466337061596ull},
        {"brake", [&] { return analog(2); }, 18424082576673152793ull},
        {"shock", [&] { return analog(3); }, 7215372539412978533ull},
        {"lateral accel", [&] { return analog(17); }, 14267183005263928299ull},
        {"longitudinal accel", [&] { return analog(18); }, 4841981004089641261ull},
        {"drive shaft", [&] { return rpm(2); }, 12248802811548784062ull},
        {"noisy type 1", [&] { return noisy(7, 1); }, 14520701568407042033ull},
        {"noisy type 130", [&] { return noisy(8, 130); }, 8275853922182272219ull},
        {"noisy type 135", [&] { return noisy(9, 135); }, 15874572600996202739ull},
        {"dropped pulses", [&] { return periods(10); }, 17519665652225491359ull},
    };
    for (const Case& c : cases) EXPECT_EQ(c.run(), c.expected) << c.name;
}

}  // namespace
}  // namespace orvex
