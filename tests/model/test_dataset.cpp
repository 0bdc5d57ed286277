#include <gtest/gtest.h>

#include "model/Dataset.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

CSample S(int32_t t, int32_t v, int32_t d = 0) {
    CSample s;
    s.m_lTime = t;
    s.m_lRaw = s.m_lFiltered = v;
    s.m_lDistance = d;
    return s;
}

void AddMarker(CBriodashDataset& ds, int32_t t, int32_t code) {
    ds.m_markers.AddTail(S(t, code));
}

TEST(Dataset, SplitAtInterpolatesAndMovesTheRest) {
    CBriodashDataset a, b;
    for (int i = 0; i <= 4; ++i) a.m_analog[0].AddTail(S(i * 100, i * 10, i * 1000));
    a.m_digital[0].AddTail(S(0, 0));
    a.m_digital[0].AddTail(S(200, 1));
    a.m_rpm[0].AddTail(CShaft{});
    AddMarker(a, 100, 0);
    AddMarker(a, 260, 100);
    a.m_lZeroTime = 300;
    ASSERT_TRUE(a.SplitAt(250, b));

    // Analog: 0 100 200 [250 interpolated] | [0 copy] 50 150
    ASSERT_EQ(a.m_analog[0].Size(), 4u);
    EXPECT_EQ(a.m_analog[0][3].m_lTime, 250);
    EXPECT_EQ(a.m_analog[0][3].m_lRaw, 25);
    ASSERT_EQ(b.m_analog[0].Size(), 3u);
    EXPECT_EQ(b.m_analog[0][0].m_lTime, 0);
    EXPECT_EQ(b.m_analog[0][0].m_lRaw, 25);
    EXPECT_EQ(b.m_analog[0][1].m_lTime, 50);
    EXPECT_EQ(b.m_analog[0][1].m_lDistance, 500);
    // Digital steps: nothing after 250, so nothing moves.
    EXPECT_EQ(b.m_digital[0].Size(), 0u);
    // RPM series with a single sample at 0: nothing later.
    EXPECT_EQ(b.m_rpm[0].Size(), 0u);
    ASSERT_EQ(b.m_markers.Size(), 1u);
    EXPECT_EQ(b.m_markers[0].m_lTime, 10);
    EXPECT_EQ(a.m_markers.Size(), 1u);
    EXPECT_EQ(a.m_lZeroTime, 50);
    EXPECT_EQ(b.m_lZeroTime, 50);
}

TEST(Dataset, SplitAtExactSampleKeepsItInFirstPart) {
    CBriodashDataset a, b;
    for (int i = 0; i <= 3; ++i) a.m_analog[2].AddTail(S(i * 100, i));
    ASSERT_TRUE(a.SplitAt(200, b));
    EXPECT_EQ(a.m_analog[2].Size(), 3u);
    ASSERT_EQ(b.m_analog[2].Size(), 1u);
    EXPECT_EQ(b.m_analog[2][0].m_lTime, 100);
    CBriodashDataset c;
    EXPECT_FALSE(a.SplitAt(5000, c));
}

TEST(Dataset, MarkersFromDigitalNumbersLapsAndBeacons) {
    CBriodashDataset ds;
    ds.m_nBeaconsPerLap = 3;
    for (int i = 0; i < 7; ++i) ds.m_digital[4].AddTail(S(i * 10, 1));
    AddMarker(ds, 5, 999);
    ds.MarkersFromDigital(5);
    std::vector<int32_t> codes;
    for (auto& m : ds.m_markers.m_samples) codes.push_back(m.m_lRaw);
    EXPECT_EQ(codes, (std::vector<int32_t>{0, 1, 2, 100, 101, 102, 200}));
}

TEST(Dataset, DropUnconfiguredEmptiesChannelsWithoutSetup) {
    CBriodashDataset ds;
    ds.m_analog[0].AddTail(S(0, 1));
    ds.m_analog[0].m_nOn = 1;
    ds.m_analog[1].AddTail(S(0, 1));
    ds.m_rpm[1].AddTail(CShaft{});
    CAnalogSetup a;
    a.m_nChannel = 2;
    ds.m_carSetup.m_analog.push_back(a);
    ds.DropUnconfigured();
    EXPECT_TRUE(ds.m_analog[0].IsEmpty());
    EXPECT_EQ(ds.m_analog[0].m_nOn, 0);
    EXPECT_FALSE(ds.m_analog[1].IsEmpty());
    EXPECT_TRUE(ds.m_rpm[1].IsEmpty());
}

TEST(Dataset, StartAndEndTimeOverShownChannels) {
    CBriodashDataset ds;
    EXPECT_EQ(ds.GetStartTime(), kNotSet);
    EXPECT_EQ(ds.GetEndTime(), kMinInt32);
    ds.m_analog[3].AddTail(S(50, 1));
    ds.m_analog[3].AddTail(S(900, 1));
    ds.m_digital[0].AddTail(S(10, 1));
    ds.m_digital[0].AddTail(S(2000, 1));
    ds.m_analog[3].m_nOn = 1;
    EXPECT_EQ(ds.GetStartTime(), 50);
    EXPECT_EQ(ds.GetEndTime(), 900);
    EXPECT_EQ(ds.GetStartTime(true), 10);
    EXPECT_EQ(ds.GetEndTime(true), 2000);
    ds.m_lZeroTime = 40;
    ds.m_nTimeRef = 1;
    EXPECT_EQ(ds.GetStartTime(false, true), 10);
}

TEST(Dataset, SetZeroAtStartOrEndOfData) {
    CBriodashDataset ds;
    ds.m_analog[0].AddTail(S(120, 1));
    ds.m_analog[0].AddTail(S(800, 1));
    ds.SetZero(kMinInt32, 3);
    EXPECT_EQ(ds.m_lZeroTime, 120);
    EXPECT_EQ(ds.m_nTimeRef, 3);
    ds.SetZero(kNotSet, 3);
    EXPECT_EQ(ds.m_lZeroTime, 800);
    EXPECT_EQ(ds.m_analog[0].GetSampleTime(0, true), -680);
}

TEST(Dataset, DisplayNameWithLapLabels) {
    CBriodashDataset ds;
    ds.m_strName = "Run 3";
    AddMarker(ds, 0, 0);
    AddMarker(ds, 652340, 100);
    AddMarker(ds, 1234560, 200);
    struct Case {
        int flags, lap;
        const char* text;
    } cases[] = {
        {1, 0, "Run 3"},
        {2, 0, "Lap #2"},
        {3, 1, "Run 3:Lap #1"},
        {6, 2, "Lap #2 @ 58.222"},
        {7, 1, "Run 3:Lap #1 @ 1:05.234"},
        {4, 2, "58.222"},
    };
    for (const Case& c : cases) EXPECT_EQ(ds.GetDisplayName(c.flags, c.lap), c.text);
    CBriodashDataset start;
    start.m_strName = "S";
    AddMarker(start, 0, 0);
    EXPECT_EQ(start.GetDisplayName(3, 0), "S:Start");
}

TEST(Dataset, CopyTakesSettingsButNoSamples) {
    CBriodashDataset ds;
    ds.m_strName = "X";
    ds.m_lstComments = {"first", "second"};
    ds.m_nLap = 4;
    ds.m_analog[5].AddTail(S(0, 1));
    ds.m_analog[5].m_nOn = 1;
    ds.m_analog[5].m_crTrace = 0x123456;
    ds.m_rpm[0].m_nSlipOn = 1;
    ds.m_carSetup.m_nGears = 3;
    CBriodashDataset copy(ds);
    EXPECT_EQ(copy.m_nLap, 0);
    EXPECT_EQ(copy.GetFirstComment(), "first");
    EXPECT_TRUE(copy.m_analog[5].IsEmpty());
    EXPECT_EQ(copy.m_analog[5].m_crTrace, 0x123456);
    EXPECT_EQ(copy.m_rpm[0].m_nSlipOn, 1);
    EXPECT_EQ(copy.m_carSetup.m_nGears, 3);
    EXPECT_EQ(copy.m_analog[5].m_pDataset, &copy);
}

TEST(Dataset, AfterReadRemovesMarkersPastEndWithOneMessage) {
    CBriodashDataset ds;
    ds.m_analog[0].AddTail(S(0, 1));
    ds.m_analog[0].AddTail(S(1000, 1));
    AddMarker(ds, 500, 0);
    AddMarker(ds, 1500, 100);
    AddMarker(ds, 2500, 200);
    test::FakeHost host;
    ds.PrepareAfterRead(host);
    EXPECT_EQ(ds.m_markers.Size(), 1u);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "Lap Times extends past End of Data.\nExtra Lap Times will be removed!");
}

TEST(Dataset, IsShownInLapRangeMode) {
    CBriodashDataset session;
    EXPECT_TRUE(session.IsShown(false));
    session.m_nTimeRef = 7;
    AddMarker(session, 0, 100);
    EXPECT_FALSE(session.IsShown(false));
    EXPECT_TRUE(session.IsShown(true));
    CBriodashDataset lap(session);
    lap.m_nLap = 2;
    lap.m_nTimeRef = 7;
    EXPECT_TRUE(lap.IsShown(false));
    lap.m_bDeleted = 1;
    EXPECT_FALSE(lap.IsShown(false));
}

}  // namespace
}  // namespace orvex
