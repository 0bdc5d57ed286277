#include <gtest/gtest.h>

#include "model/Gears.h"
#include "processing/AnalysisFixture.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::FakeHost;
using test::FillRpm;

std::vector<int> GearsOf(const CShaftList& s) {
    std::vector<int> out;
    for (const CShaft& x : s.m_samples) out.push_back(x.m_nGear);
    return out;
}

std::vector<std::string> Texts(const GearDialog& d) {
    std::vector<std::string> out;
    for (auto& c : d.choices) out.push_back(c.text);
    return out;
}

// Engine on channel 1 and rear wheel on channel 2, 10 samples 0.1 s apart; gears 1 1 1 2 2 2 2
// 2 3 3 on both.
struct GearFixture : ::testing::Test {
    CBriodashDataset ds;
    void SetUp() override {
        test::RearWheelCar(ds);
        ds.m_carSetup.m_rpm[1].m_nSlipPartner = 1;
        FillRpm(ds, 1, 4000, 1000, 10000);
        FillRpm(ds, 2, 1000, 1000, 10000);
        const int16_t gears[] = {1, 1, 1, 2, 2, 2, 2, 2, 3, 3};
        for (auto& s : ds.m_rpm)
            for (std::size_t i = 0; i < s.m_samples.size(); ++i) s.m_samples[i].m_nGear = gears[i];
    }
};

TEST(GearOrdinal, Names) {
    EXPECT_EQ(GearOrdinal(1), "1st");
    EXPECT_EQ(GearOrdinal(2), "2nd");
    EXPECT_EQ(GearOrdinal(3), "3rd");
    EXPECT_EQ(GearOrdinal(4), "4th");
    EXPECT_EQ(GearOrdinal(6), "6th");
}

TEST_F(GearFixture, ReferenceChannelPrefersTheRearWheelOverTheEngine) {
    EXPECT_EQ(GearReferenceChannel(ds), 2);
    ds.m_carSetup.m_rpm.push_back(test::RpmSetup(3, 10, "Drive Shaft", 3));
    FillRpm(ds, 3, 2000, 1000, 10000);
    EXPECT_EQ(GearReferenceChannel(ds), 3);
    CBriodashDataset noChannel;
    noChannel.m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
    noChannel.m_carSetup.m_rpm.push_back(test::RpmSetup(0, 12, "Rear Wheel", 0, 80.0f));
    FillRpm(noChannel, 1, 4000, 1000, 10000);
    EXPECT_EQ(GearReferenceChannel(noChannel), 0);
}

TEST_F(GearFixture, ChoicesAtEachPlace) {
    // Sample 6 (t = 6000) in 2nd, came from 1st.
    EXPECT_EQ(Texts(OpenGearDialog(ds, 6000, false)),
              (std::vector<std::string>{"Upshift 2nd to 3rd", "Downshift 2nd to 1st",
                                        "Move 1st to 2nd shift"}));
    // Sample 1 in 1st, nothing before: no downshift, no move.
    EXPECT_EQ(Texts(OpenGearDialog(ds, 1000, false)),
              (std::vector<std::string>{"Upshift 1st to 2nd"}));
    // In the highest gear no upshift is offered.
    ds.m_carSetup.m_nGears = 3;
    EXPECT_EQ(Texts(OpenGearDialog(ds, 9500, false)),
              (std::vector<std::string>{"Downshift 3rd to 2nd", "Move 2nd to 3rd shift"}));
    GearDialog d = OpenGearDialog(ds, 9500, false);
    EXPECT_EQ(d.currentGear, 3);
    EXPECT_EQ(d.previousGear, 2);
}

TEST_F(GearFixture, UpshiftInsideARunOfSecondGear) {
    FakeHost host;
    GearDialog d = OpenGearDialog(ds, 6000, false);
    ApplyGearChoice(ds, d, GearAction::Upshift, Units::Imperial, host);
    const std::vector<int> expected = {1, 1, 1, 2, 2, 3, 3, 3, 3, 3};
    EXPECT_EQ(GearsOf(ds.m_rpm[0]), expected);
    EXPECT_EQ(GearsOf(ds.m_rpm[1]), expected);
    // The slip of the wheel against the engine was recomputed.
    EXPECT_EQ(ds.m_rpm[1].m_bSlipDirty, 0);
    EXPECT_NE(ds.m_rpm[1][0].m_lSlip, -1);
    EXPECT_EQ(host.titles.front(), "Computing Rear Wheel vs Engine Slippage");
}

TEST_F(GearFixture, MovesAndDownshift) {
    CShaftList& s = ds.m_rpm[1];
    MoveShift(ds, 2, 5, true);  // 2nd-gear run from sample 5 back to 3 becomes 1st
    EXPECT_EQ(GearsOf(s), (std::vector<int>{1, 1, 1, 1, 1, 1, 2, 2, 3, 3}));
    MoveShift(ds, 2, 2, false);  // run reaching the start goes up to 2nd
    EXPECT_EQ(GearsOf(s), (std::vector<int>{2, 2, 2, 1, 1, 1, 2, 2, 3, 3}));
    Shift(ds, 2, 8, false);
    EXPECT_EQ(GearsOf(s), (std::vector<int>{2, 2, 2, 1, 1, 1, 2, 2, 2, 2}));
}

}  // namespace
}  // namespace orvex
