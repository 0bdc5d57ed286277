// Histogram: default bands per channel kind, band times at the band edges, rows, value units,
// percentages, labels and the selection dialogs' refusals.
#include <gtest/gtest.h>

#include "support/FakeHost.h"
#include "views/Histogram.h"
#include "views/SelectionDialogs.h"
#include "views/ViewTestData.h"

namespace orvex {
namespace {

using test::SessionBuilder;
using test::Whole;

constexpr int32_t kSecond = 10000;

CChannelList Channel(const std::string& name, uint16_t code, int channel, float lo, float hi,
                     float inc) {
    CChannelList c;
    c.m_strName = name;
    c.m_nCode = code;
    c.m_nChannel = channel;
    c.m_fMinimum = lo;
    c.m_fMaximum = hi;
    c.m_fIncrement = inc;
    return c;
}

TEST(HistogramDefaults, AnalogBandsFollowTheSetupRange) {
    struct Case {
        float lo, hi;
        float min, max, inc;
        int bands;
    };
    const Case cases[] = {
        {0, 5, 0, 5, 0.5f, 10},          // 0-5 V: ten bands of 0.5
        {0, 100, 0, 100, 10, 10},        //
        {-5, 5, -5, 5, 1, 10},           //
        {-3.2f, 1.7f, -4, 2, 0.5f, 12},  // ends rounded outward to whole units
        {0, 0.8f, 0, 0.8f, 0.1f, 8},     //
        {0, 1200, 0, 2000, 500, 4},      //
        {0, 10000, 0, 10000, 1000, 10},  //
        {0, 7, 0, 7, 1, 7},              // 5 < r ≤ 10
        {100, 1700, 0, 2000, 500, 4},    //
    };
    for (const Case& c : cases) {
        auto ds = SessionBuilder("S").Analog(3, "Sensor", c.lo, c.hi, 100).Build();
        ds->m_analog[2].AddTail(SessionBuilder::Sample(0, 0));
        const std::vector<CChannelList> channels = AvailableChannels({Whole(*ds)}, Units::Imperial);
        ASSERT_EQ(channels.size(), 1u);
        const CChannelList& ch = channels[0];
        SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi);
        EXPECT_EQ(ch.m_strName, "Analog:Sensor");
        EXPECT_FLOAT_EQ(ch.m_fMinimum, c.min);
        EXPECT_FLOAT_EQ(ch.m_fMaximum, c.max);
        EXPECT_FLOAT_EQ(ch.m_fIncrement, c.inc);
        EXPECT_EQ(BandCount(ch), c.bands);
    }
}

TEST(HistogramDefaults, SwitchesGetBandsForOffAndOnAndCountTheOnTime) {
    auto ds = SessionBuilder("S")
                  .Switch(2, "Brake", {{0, 0}, {kSecond, 1}, {3 * kSecond, 1}, {4 * kSecond, 0}})
                  .Build();
    const std::vector<CChannelList> channels = AvailableChannels({Whole(*ds)}, Units::Imperial);
    ASSERT_EQ(channels.size(), 1u);
    EXPECT_EQ(channels[0].m_strName, "Digital:Brake");
    EXPECT_FLOAT_EQ(channels[0].m_fMinimum, 0);
    EXPECT_FLOAT_EQ(channels[0].m_fMaximum, 2);
    EXPECT_FLOAT_EQ(channels[0].m_fIncrement, 1);
    const std::vector<double> t = BandTimes(channels[0], Whole(*ds), Units::Imperial);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_DOUBLE_EQ(t[0], 1.0);  // the sample at 4 s stands for the second before it
    EXPECT_DOUBLE_EQ(t[1], 3.0);
}

TEST(HistogramDefaults, OnlyChannelsOfEverySessionAreOffered) {
    auto a =
        SessionBuilder("A").Analog(1, "Throttle", 0, 100, 10).Analog(7, "Oil", 0, 5, 100).Build();
    auto b = SessionBuilder("B").Analog(1, "Throttle", 0, 100, 10).Build();
    for (auto* ds : {a.get(), b.get()})
        for (auto& s : ds->m_analog) s.AddTail(SessionBuilder::Sample(0, 0));
    // Session B has the series but no setup for channel 7: it does not hold the channel.
    std::vector<std::string> names;
    for (const CChannelList& c : AvailableChannels({Whole(*a), Whole(*b)}, Units::Imperial))
        names.push_back(c.m_strName);
    EXPECT_EQ(names, std::vector<std::string>{"Analog:Throttle"});
    EXPECT_EQ(AvailableChannels({Whole(*a)}, Units::Imperial).size(), 2u);
}

TEST(HistogramBands, EdgeValuesCountInTheBandAboveAndTheMaximumNotAtAll) {
    // Volts with resolution 100: 0.50 lies on the upper edge of band 0.
    auto ds = SessionBuilder("S")
                  .Analog(1, "Volts", 0, 5, 100)
                  .Values(1, {{0, 200},
                              {1 * kSecond, 50},   // 1 s in band 1, not band 0
                              {3 * kSecond, 500},  // on the maximum edge: not counted
                              {4 * kSecond, 499},  // band 9
                              {5 * kSecond, -10},  // below the minimum: not counted
                              {7 * kSecond, 0}})   // 2 s in band 0
                  .Build();
    const CChannelList ch = Channel("Analog:Volts", 0x2005, 1, 0, 5, 0.5f);
    const std::vector<double> t = BandTimes(ch, Whole(*ds), Units::Imperial);
    const std::vector<double> want = {2, 1, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(t, want);
}

TEST(HistogramBands, BandCountCoversTheWholeRange) {
    // 0..1 in steps of 0.3 needs four bands, so 0.95 still counts.
    const CChannelList ch = Channel("Analog:X", 0x2005, 1, 0, 1, 0.3f);
    EXPECT_EQ(BandCount(ch), 4);
    auto ds =
        SessionBuilder("S").Analog(1, "X", 0, 1, 100).Values(1, {{0, 0}, {kSecond, 95}}).Build();
    EXPECT_DOUBLE_EQ(BandTimes(ch, Whole(*ds), Units::Imperial)[3], 1.0);
    EXPECT_EQ(BandCount(Channel("Analog:X", 0x2005, 1, 0, 1, 0)), 0);
    EXPECT_EQ(BandCount(Channel("Analog:X", 0x2005, 1, 1, 1, 0.5f)), 0);
}

TEST(HistogramBands, FramedSamplesStandForOneFrameAndTheSegmentIsHonoured) {
    auto ds = SessionBuilder("S").Analog(1, "X", 0, 10, 10).Build();
    CSampleList& s = ds->m_analog[0];
    for (int i = 0; i < 100; ++i)
        s.AddTail(
            SessionBuilder::Sample(i * 1000, test::RawFor(*ds->m_carSetup.FindAnalogSetup(1), 15)));
    s.m_bFramed = 1;
    s.m_fRate = 10.0f;
    const CChannelList ch = Channel("Analog:X", 0x2005, 1, 0, 10, 1);
    EXPECT_NEAR(BandTimes(ch, Whole(*ds), Units::Imperial)[1], 10.0, 1e-9);
    CDatasetList part = Whole(*ds);
    part.m_lStart = 2 * kSecond;  // samples at 2.0 .. 5.0 s inclusive
    part.m_lEnd = 5 * kSecond;
    EXPECT_NEAR(BandTimes(ch, part, Units::Imperial)[1], 3.1, 1e-9);
}

// Band i holds `seconds[i]` of channel 1 (one band per unit from 0).
std::unique_ptr<CBriodashDataset> Spread(const std::string& name, const std::vector<int>& seconds) {
    SessionBuilder b(name);
    b.Analog(1, "Level", 0, 100, 1);
    std::vector<std::pair<int32_t, int32_t>> samples = {{0, 0}};
    int32_t t = 0;
    for (std::size_t band = 0; band < seconds.size(); ++band) {
        t += seconds[band] * kSecond;
        samples.push_back({t, static_cast<int32_t>(band)});
    }
    b.Values(1, samples);
    return b.Build();
}

TEST(HistogramScale, LargestBandTimeChoosesTheUnit) {
    struct Case {
        double seconds;
        const char* unit;
        double axisMax;
    };
    const Case cases[] = {{59, "Secs", 59}, {61, "Mins", 2},    {0.5, "hSecs", 50},
                          {3601, "Hrs", 2}, {3600, "Mins", 60}, {1, "hSecs", 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        const TimeUnit u = ChooseTimeUnit(c.seconds);
        EXPECT_STREQ(u.name, c.unit);
        EXPECT_DOUBLE_EQ(std::ceil(c.seconds / u.divisor - 1e-9), c.axisMax);
    }
    const CChannelList ch = Channel("Analog:Level", 0x2005, 1, 0, 3, 1);
    for (auto [seconds, unit, axis] : {std::tuple{59, "Secs", 59.0}, std::tuple{61, "Mins", 2.0}}) {
        auto ds = Spread("S", {seconds, 30});
        const HistogramChart chart = ComputeHistogram({Whole(*ds)}, {ch}, {}, Units::Imperial);
        EXPECT_EQ(chart.valueAxis, unit);
        EXPECT_DOUBLE_EQ(chart.axisMax, axis);
        EXPECT_DOUBLE_EQ(chart.rows[0].values[1], unit == std::string("Mins") ? 0.5 : 30.0);
    }
}

TEST(HistogramScale, PercentagesOfRangeAndSelectedTime) {
    const CChannelList ch = Channel("Analog:Level", 0x2005, 1, 0, 2, 1);
    auto ds = Spread("S", {10, 30, 60});  // 60 s above the range are not counted
    HistogramFlags flags;
    flags.timeScale = false;
    HistogramChart chart = ComputeHistogram({Whole(*ds)}, {ch}, flags, Units::Imperial);
    EXPECT_EQ(chart.valueAxis, "% of Range Time");
    EXPECT_DOUBLE_EQ(chart.rows[0].values[0], 25.0);
    EXPECT_DOUBLE_EQ(chart.rows[0].values[1], 75.0);
    EXPECT_DOUBLE_EQ(chart.axisMax, 75.0);
    flags.selectedTimeBase = true;
    chart = ComputeHistogram({Whole(*ds)}, {ch}, flags, Units::Imperial);
    EXPECT_EQ(chart.valueAxis, "% of Selected Time");
    EXPECT_DOUBLE_EQ(chart.rows[0].totalSeconds, 100.0);
    EXPECT_DOUBLE_EQ(chart.rows[0].values[1], 30.0);
    EXPECT_DOUBLE_EQ(chart.axisMax, 30.0);
}

TEST(HistogramScale, ARowWithoutTimeShowsZeroPercent) {
    const CChannelList ch = Channel("Analog:Level", 0x2005, 1, 50, 60, 1);  // nothing in range
    auto ds = Spread("S", {10, 30});
    HistogramFlags flags;
    flags.timeScale = false;
    const HistogramChart chart = ComputeHistogram({Whole(*ds)}, {ch}, flags, Units::Imperial);
    ASSERT_EQ(chart.rows.size(), 1u);
    for (double v : chart.rows[0].values) EXPECT_EQ(v, 0.0);
    EXPECT_DOUBLE_EQ(chart.axisMax, 0.0);
}

TEST(HistogramRows, OneSessionGivesAChannelRowEachSeveralSessionsASessionRowEach) {
    auto a = Spread("Morning", {10, 20});
    auto b = Spread("Evening", {5, 5});
    const CChannelList level = Channel("Analog:Level", 0x2005, 1, 0, 2, 1);
    const CChannelList coarse = Channel("Analog:Level", 0x2005, 1, 0, 2, 2);
    HistogramChart chart = ComputeHistogram({Whole(*a)}, {level, coarse}, {}, Units::Imperial);
    ASSERT_EQ(chart.rows.size(), 2u);
    EXPECT_EQ(chart.rows[0].legend, "Level");
    EXPECT_EQ(chart.rows[1].seconds, std::vector<double>{30});
    chart = ComputeHistogram({Whole(*a), Whole(*b)}, {level}, {}, Units::Imperial);
    ASSERT_EQ(chart.rows.size(), 2u);
    EXPECT_EQ(chart.rows[0].legend, "Morning");
    EXPECT_EQ(chart.rows[1].legend, "Evening");
    EXPECT_EQ(chart.rows[1].seconds, (std::vector<double>{5, 5}));
    EXPECT_EQ(ComputeHistogram({}, {level}, {}, Units::Imperial).message, kSelectSessionsNote);
    EXPECT_EQ(ComputeHistogram({Whole(*a)}, {}, {}, Units::Imperial).message, kSelectChannelsNote);
}

TEST(HistogramLabels, MoreThanTwentyBandsAreLabelledSparsely) {
    auto ds = Spread("S", {1});
    struct Case {
        float inc;
        float max;
        int bands;
        std::vector<std::pair<int, std::string>> labels;
    };
    const Case cases[] = {
        {1, 45, 45, {{0, "0"}, {1, ""}, {2, "2"}, {43, ""}, {44, "44"}}},
        {1, 20, 20, {{0, "0"}, {1, "1"}, {19, "19"}}},
        {0.5f, 5, 10, {{0, "0.0"}, {1, "0.5"}, {9, "4.5"}}},
        {0.25f, 1, 4, {{1, "0.25"}}},
        {1, 61, 61, {{0, "0"}, {1, ""}, {2, ""}, {3, "3"}, {60, "60"}}},
    };
    for (const Case& c : cases) {
        const HistogramChart chart =
            ComputeHistogram({Whole(*ds)}, {Channel("Analog:Level", 0x2005, 1, 0, c.max, c.inc)},
                             {}, Units::Imperial);
        ASSERT_EQ(chart.bands, c.bands);
        for (const auto& [band, text] : c.labels)
            EXPECT_EQ(chart.bandLabels[static_cast<std::size_t>(band)], text)
                << c.bands << ":" << band;
    }
}

TEST(HistogramDialogs, ChannelsMustShareTheirTypeAndStandAloneWithSeveralSessions) {
    test::FakeHost host;
    const CChannelList throttle = Channel("Analog:Throttle", 0x2084, 1, 0, 100, 10);
    const CChannelList brake = Channel("Analog:Brake", 0x2085, 2, 0, 100, 10);
    const CChannelList rear = Channel("Analog:Rear Throttle", 0x2084, 3, 0, 100, 10);
    CChannelSelectDialog one(host, {throttle, brake, rear}, {}, 1);
    EXPECT_TRUE(one.Add(0));
    EXPECT_FALSE(one.Add(1));
    EXPECT_TRUE(one.Add(2));
    EXPECT_EQ(one.Selected().size(), 2u);
    CChannelSelectDialog several(host, {throttle, brake, rear}, {}, 2);
    EXPECT_TRUE(several.Add(0));
    EXPECT_FALSE(several.Add(2));
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{kChannelTypeRefused, kMultipleChannelsRefused}));
    for (const auto& m : host.messages) EXPECT_EQ(m.icon, Icon::Warning);
}

TEST(HistogramDialogs, SessionsAreRefusedWithSeveralChannelsAndBadTimesKeepTheDialogOpen) {
    test::FakeHost host;
    auto a = Spread("A", {1});
    auto b = Spread("B", {1});
    CSessionSelectDialog withTwoChannels(host, "Select Sessions for Histogram",
                                         {Whole(*a), Whole(*b)}, {}, 2);
    EXPECT_TRUE(withTwoChannels.Add(0));
    EXPECT_FALSE(withTwoChannels.Add(1));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{kMultipleSessionsRefused});

    CSessionSelectDialog dialog(host, "Traction Circle", {Whole(*a), Whole(*b)}, {}, 0);
    EXPECT_TRUE(dialog.AddAll());
    dialog.SetTimes(0, kNotSet, 5 * kSecond);  // one end open: fine
    dialog.SetTimes(1, 3 * kSecond, 3 * kSecond);
    EXPECT_FALSE(dialog.Accept());
    EXPECT_EQ(host.messages.back().text, "Invalid Time Selection for Data Set 'B'!");
    EXPECT_EQ(dialog.Highlighted(), 1);
    dialog.SetTimes(1, 2 * kSecond, 3 * kSecond);
    EXPECT_TRUE(dialog.Accept());
}

TEST(HistogramDialogs, NewSessionsDropChannelsNoLongerOffered) {
    auto a =
        SessionBuilder("A").Analog(1, "Throttle", 0, 100, 10).Analog(7, "Oil", 0, 5, 100).Build();
    auto b = SessionBuilder("B").Analog(1, "Throttle", 0, 100, 10).Build();
    for (auto* ds : {a.get(), b.get()})
        for (auto& s : ds->m_analog) s.AddTail(SessionBuilder::Sample(0, 0));
    CHistogramSelection sel;
    sel.SetSessions({Whole(*a)}, Units::Imperial);
    sel.channels = sel.available;
    ASSERT_EQ(sel.channels.size(), 2u);
    sel.SetSessions({Whole(*a), Whole(*b)}, Units::Imperial);
    ASSERT_EQ(sel.channels.size(), 1u);
    EXPECT_EQ(sel.channels[0].m_strName, "Analog:Throttle");
}

TEST(HistogramEntries, LapsOfASessionAreOfferedOneByOne) {
    // One sample a second: band 0 before 100 s, band 1 from then on.
    std::vector<std::pair<int32_t, int32_t>> samples;
    for (int32_t s = 0; s <= 200; ++s) samples.push_back({s * kSecond, s >= 100 ? 1 : 0});
    auto ds = SessionBuilder("Day").Analog(1, "Level", 0, 100, 1).Values(1, samples).Build();
    ds->m_markers.AddTail(SessionBuilder::Sample(10 * kSecond, 0));
    ds->m_markers.AddTail(SessionBuilder::Sample(70 * kSecond, 100));
    ds->m_markers.AddTail(SessionBuilder::Sample(130 * kSecond, 200));
    CBriodashDataset& d = *ds;
    CDatasetList lap2 = LapEntry(d, 2);
    EXPECT_EQ(lap2.m_lStart, 70 * kSecond);
    EXPECT_EQ(lap2.m_lEnd, 130 * kSecond);
    EXPECT_EQ(lap2.m_strName, "Day:Lap #2");
    const CChannelList ch = Channel("Analog:Level", 0x2005, 1, 0, 2, 1);
    // The sample at 70 s opens the lap and stands for nothing.
    EXPECT_EQ(BandTimes(ch, lap2, Units::Imperial), (std::vector<double>{29, 31}));
    EXPECT_EQ(CompleteLaps(d), (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace orvex
