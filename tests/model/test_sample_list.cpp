#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "model/Dataset.h"
#include "model/SampleList.h"

namespace orvex {
namespace {

CSample S(int32_t t, int32_t v, int32_t d = 0) {
    CSample s;
    s.m_lTime = t;
    s.m_lRaw = s.m_lFiltered = v;
    s.m_lDistance = d;
    return s;
}

template <class L>
std::vector<int32_t> Times(const L& l) {
    std::vector<int32_t> out;
    for (Pos p = l.First(); p != kNoPos; p = l.Next(p)) out.push_back(l.TimeAt(p));
    return out;
}

TEST(SampleList, RangeViewChangesWalkingAndCount) {
    CSampleList l;
    for (int i = 0; i < 10; ++i) l.AddTail(S(i * 100, i));
    EXPECT_EQ(l.GetCount(), 10u);
    l.SetRange(250, 620);
    l.SetRangeMode(true);
    EXPECT_EQ(Times(l), (std::vector<int32_t>{300, 400, 500, 600}));
    EXPECT_EQ(l.GetCount(), 4u);
    EXPECT_EQ(l.Prev(l.First()), kNoPos);
    l.ClearRange();
    EXPECT_TRUE(l.IsEmpty());
    l.SetRangeMode(false);
    EXPECT_FALSE(l.IsEmpty());
    // Beyond the data the ends fall back to the tail and the head.
    l.SetRange(5000, -5);
    EXPECT_EQ(l.m_pFirst, 9);
    EXPECT_EQ(l.m_pLast, 0);
}

TEST(SampleList, ShiftTimeRoundsToFramesAndPads) {
    CSampleList l;
    l.m_bFramed = 1;
    l.AddTail(S(0, 5, 0));
    l.AddTail(S(1000, 6, 10));
    l.ShiftTime(true, 500, 7);  // 500 rounds to 2 frames = 666
    EXPECT_EQ(Times(l), (std::vector<int32_t>{0, 333, 666, 1666}));
    EXPECT_EQ(l[0].m_lRaw, 0xFFFF);
    EXPECT_EQ(l[3].m_lDistance, 17);

    CSampleList u;
    u.m_bFramed = 0;
    for (int32_t t : {100, 499, 500, 900}) u.AddTail(S(t, t, t));
    u.ShiftTime(false, 500, 500);
    EXPECT_EQ(Times(u), (std::vector<int32_t>{0, 400}));
    EXPECT_EQ(u[0].m_lDistance, 0);
}

TEST(SampleList, MinMaxNeverTakesZeroAsMinimum) {
    CSampleList l;
    for (int32_t v : {0, 7, 3, 0, 9, 5}) l.AddTail(S(static_cast<int32_t>(l.Size()) * 10, v));
    EXPECT_EQ(l.GetSampleValue(l.FindMinMax(true)), 3);
    EXPECT_EQ(l.GetSampleValue(l.FindMinMax(false)), 9);
    l.SetRangeAndMinMax(15, 35);
    EXPECT_EQ(l.m_pFirst, 2);
    EXPECT_EQ(l.m_pLast, 4);
    EXPECT_EQ(l.GetSampleValue(l.m_pMin), 3);
    EXPECT_EQ(l.GetSampleValue(l.m_pMax), 9);
    l.SetRangeAndMinMax(kMinInt32, kMinInt32);
    EXPECT_EQ(l.m_pFirst, kNoPos);
    EXPECT_EQ(l.m_pMin, kNoPos);
}

TEST(SampleList, LoadEstimatesRateFromEvenlySpacedTimes) {
    struct Case {
        std::vector<int32_t> times;
        float rate;
    } cases[] = {
        {{0, 100, 200, 300}, 100.0f},
        {{0, 100, 250, 300, 400, 500}, 100.0f},  // first triple uneven, next one even
        {{0, 100, 250, 300, 400, 550}, 1.0f},    // never three evenly spaced in a triple
        {{0, 100}, 1.0f},
    };
    for (const Case& c : cases) {
        CSampleList l;
        for (int32_t t : c.times) l.AddTail(S(t, 1));
        l.FinishLoad(false);
        EXPECT_FLOAT_EQ(l.m_fRate, c.rate);
    }
    CSampleList empty;
    empty.FinishLoad(false);
    EXPECT_EQ(empty.m_pMin, kNoPos);
    EXPECT_EQ(empty.m_pMax, kNoPos);
}

TEST(SampleList, InterpolateLinearStepAndMissingEnds) {
    CSampleList l;
    l.AddTail(S(0, 0, 0));
    l.AddTail(S(100, 10, 50));
    CSample lin = l.Interpolate(60, 0, 1, false);
    EXPECT_EQ(lin.m_lRaw, 6);
    EXPECT_EQ(lin.m_lDistance, 30);
    EXPECT_EQ(l.Interpolate(40, 0, 1, true).m_lRaw, 0);
    EXPECT_EQ(l.Interpolate(60, 0, 1, true).m_lRaw, 10);
    CSample copy = l.Interpolate(70, kNoPos, 1, false);
    EXPECT_EQ(copy.m_lTime, 70);
    EXPECT_EQ(copy.m_lRaw, 10);

    CShaftList s;
    CShaft a, b;
    a.m_lTime = 0, a.m_lRaw = a.m_lFiltered = 1000, a.m_nGear = 2, a.m_lSlip = 0;
    b.m_lTime = 10, b.m_lRaw = b.m_lFiltered = 2000, b.m_nGear = 3, b.m_lSlip = 100;
    s.AddTail(a);
    s.AddTail(b);
    CShaft m = s.Interpolate(5, 0, 1, true);
    EXPECT_EQ(m.m_lRaw, 1500);
    EXPECT_EQ(m.m_lSlip, 50);
    EXPECT_EQ(m.m_nGear, 2);
}

TEST(SampleList, FindBeforeAndAfter) {
    CSampleList l;
    for (int i = 0; i < 5; ++i) l.AddTail(S(i * 100, i, i * 10));
    EXPECT_EQ(l.FindBefore(250, l.Last(), false, false), 2);
    EXPECT_EQ(l.FindBefore(-5, l.Last(), false, false), 0);
    EXPECT_EQ(l.FindAfter(250, l.First(), false, false), 2);
    EXPECT_EQ(l.FindAfter(250, l.First(), false, true), 4);
    EXPECT_EQ(l.FindAfter(1000, l.First(), false, true), 4);
    EXPECT_EQ(l.FindAfter(15, l.First(), true, false), 1);
    EXPECT_EQ(l.FindBefore(250, l.Last(), false, true), 2);
}

TEST(ShaftList, RpmFromPeriods) {
    CShaftList s;  // clock 307200, PPR 1, framed
    EXPECT_DOUBLE_EQ(s.GetRPM(18432, false), 1000.0);
    EXPECT_EQ(s.GetRPMMilli(18432), 1000000);
    EXPECT_DOUBLE_EQ(s.GetRPM(0xFFFE, false), 1.0);
    EXPECT_DOUBLE_EQ(s.GetRPM(0, false), 1.0);
    EXPECT_DOUBLE_EQ(s.GetRPM(1, false), 25000.0);
    s.m_nPerLap = 0;
    EXPECT_DOUBLE_EQ(s.GetRPM(18432, false), 2000.0);
    s.m_nPerLap = 4;
    s.m_bFramed = 0;
    EXPECT_DOUBLE_EQ(s.GetRPM(18432, false), 250.0);
    EXPECT_DOUBLE_EQ(s.GetRPM(7, false), 658285.5);  // no upper limit unframed
    EXPECT_DOUBLE_EQ(s.GetRPM(0, false), 1.0);       // zero period is no reading
    EXPECT_DOUBLE_EQ(s.GetRPM(0xFFFFFFF0u, false), 1.0);
    // RPM × 1000 past the int32 range (a damaged file's periods) is held to it.
    EXPECT_EQ(s.GetRPMMilli(1), INT32_MAX);
    // A clock rate no logger has (NaN, negative, past 32 bits a minute) gives a reading.
    s.m_bFramed = 1;
    for (float clock : {std::nanf(""), -307200.0f, 1e30f}) {
        SCOPED_TRACE(clock);
        s.m_fClock = clock;
        const double rpm = s.GetRPM(18432, false);
        EXPECT_TRUE(std::isfinite(rpm));
    }
}

TEST(SampleList, OldMarkerCodesRenumberedByGroup) {
    CSampleList m;
    m.m_nPerLap = 3;
    for (int i = 0; i < 7; ++i) m.AddTail(S(i * 10, 0));
    m.RenumberOldMarkers();
    std::vector<int32_t> codes;
    for (auto& s : m.m_samples) codes.push_back(s.m_lRaw);
    EXPECT_EQ(codes, (std::vector<int32_t>{0, 1, 2, 100, 101, 102, 200}));
}

}  // namespace
}  // namespace orvex
