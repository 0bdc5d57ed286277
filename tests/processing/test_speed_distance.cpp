#include <gtest/gtest.h>

#include "processing/AnalysisFixture.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::AddMark;
using test::FakeHost;
using test::FillRpm;
using test::RpmSetup;

struct SpeedCase {
    int type;
    double rpm;
    int gear;
    float circumference;
    Units units;
    int32_t expected;
};

TEST(ShaftSpeed, FromEachKindOfShaft) {
    const SpeedCase cases[] = {
        {12, 1000, 1, 80.0f, Units::Imperial, 7570},   // 75.70 MPH
        {12, 1000, 1, 203.2f, Units::Metric, 12191},   // 121.91 KPH
        {1, 6000, 4, 80.0f, Units::Imperial, 11356},   // engine in 4th: 113.56 MPH
        {1, 6000, 1, 80.0f, Units::Imperial, 3785},    // 1st (3.0): 120000 / 4 axle rev/h
        {10, 4000, 1, 80.0f, Units::Imperial, 7570},   // 240000 / 4 = 60000 axle rev/h
        {13, 2000, 1, 80.0f, Units::Imperial, 11356},  // clutch × 3.0 in 1st, capped at 840000
        {14, 5000, 1, 80.0f, Units::Imperial, 0},
        {12, 6000, 1, 80.0f, Units::Imperial, 35000},  // limited
    };
    for (const SpeedCase& c : cases) {
        CCarSetup car;
        car.m_nGears = 4;
        car.m_fGearRatio[0] = 3.0f;
        car.m_fGearRatio[3] = 1.0f;
        car.m_fRearEndRatio = 4.0f;
        car.m_rpm.push_back(RpmSetup(2, 12, "Rear Wheel", 0, c.circumference));
        CFreqSetup shaft = c.type == 12 ? car.m_rpm[0] : RpmSetup(1, c.type, "x", 0);
        EXPECT_EQ(ShaftSpeed(car, shaft, c.rpm, c.gear, c.units), c.expected)
            << "type " << c.type << " rpm " << c.rpm;
    }
}

TEST(ShaftSpeed, NoRearWheelGivesNoSpeedForEngine) {
    CCarSetup car;
    CFreqSetup engine = RpmSetup(1, 1, "Engine", 0);
    EXPECT_EQ(ShaftSpeed(car, engine, 6000, 1, Units::Imperial), 0);
}

struct ConvertCase {
    int type;
    int mode;
    int32_t milli;
    int gear;
    int32_t expected;
};

TEST(ConvertRPM, DisplayModes) {
    CCarSetup car;
    car.m_nGears = 4;
    car.m_fGearRatio[1] = 2.0f;
    car.m_fRearEndRatio = 4.0f;
    car.m_rpm.push_back(RpmSetup(2, 12, "Rear Wheel", 2, 80.0f));
    const ConvertCase cases[] = {
        {1, 1, 6000000, 2, 6000000},   // engine as engine
        {10, 1, 1500000, 2, 3000000},  // drive shaft × gear
        {10, 1, 1500000, 0, 1500000},  // gear unknown
        {12, 1, 500000, 2, 4000000},   // wheel × rear end × gear
        {11, 1, 400000, 2, 1600000},   // front wheel of half the size: × 0.5 × 4 × 2
        {1, 2, 6000000, 2, 750000},    // engine as wheel: / 2 / 4
        {1, 2, 6000000, 0, 1},         // gear unknown
        {10, 2, 2000000, 1, 500000},   // drive shaft / rear end
        {13, 2, 2000000, 2, 1000000},  // clutch × gear / rear end
        {14, 2, 2000000, 1, 1},
        {1, 3, 6000000, 2, 3000000},  // engine as drive shaft
        {13, 3, 1000000, 2, 2000000},
        {12, 3, 500000, 1, 2000000},  // wheel as drive shaft: × rear end
        {12, 2, 1000, 2, 1000},       // no reading stays
    };
    for (const ConvertCase& c : cases) {
        CFreqSetup s = c.type == 11 ? RpmSetup(3, 11, "Front", c.mode, 40.0f)
                                    : RpmSetup(1, c.type, "x", c.mode, 80.0f);
        EXPECT_EQ(ConvertRPM(car, s, c.mode, c.milli, c.gear, Units::Imperial), c.expected)
            << "type " << c.type << " mode " << c.mode;
    }
}

TEST(CanDisplay, NeedsTheCarSetupParts) {
    CCarSetup bare;
    CFreqSetup shaft = RpmSetup(2, 10, "Drive Shaft", 0);
    EXPECT_FALSE(CanDisplay(bare, shaft, 0));
    EXPECT_FALSE(CanDisplay(bare, shaft, 1));
    EXPECT_FALSE(CanDisplay(bare, shaft, 2));  // the default rear end counts as not given
    EXPECT_TRUE(CanDisplay(bare, shaft, 3));

    CCarSetup car = bare;
    car.m_fRearEndRatio = 3.5f;
    car.m_nGears = 2;
    CFreqSetup rearDefinition = RpmSetup(0, 12, "Rear Wheel", 2, 80.0f);  // no channel
    car.m_rpm.push_back(rearDefinition);
    car.m_rpm.push_back(shaft);
    EXPECT_TRUE(CanDisplay(car, shaft, 0));  // rear wheel derived from the drive shaft
    EXPECT_TRUE(CanDisplay(car, shaft, 1));
    EXPECT_FALSE(CanDisplay(car, RpmSetup(3, 11, "Front", 0, 0.0f), 0));
    EXPECT_TRUE(CanDisplay(car, RpmSetup(3, 11, "Front", 0, 60.0f), 0));
    EXPECT_FALSE(CanDisplay(bare, RpmSetup(4, 13, "Clutch", 3), 3));
    EXPECT_TRUE(CanDisplay(bare, RpmSetup(1, 3, "Engine", 0), 0));
}

TEST(CheckSlipInfo, SwitchesOffWhatCannotBeShownAndSaysWhy) {
    CBriodashDataset ds;
    ds.m_strName = "Run 1";
    ds.m_carSetup.m_rpm.push_back(RpmSetup(1, 1, "Engine", 1, 0.0f, 2));
    ds.m_carSetup.m_rpm.push_back(RpmSetup(2, 10, "Drive Shaft", 0));
    ds.m_rpm[0].m_nSlipOn = 1;
    ds.m_rpm[1].m_nOn = 1;
    ds.m_rpm[2].m_nOn = 1;  // no setup
    ds.m_analog[0].m_nOn = 1;
    FakeHost host;
    CheckSlipInfo(ds, true, host);
    EXPECT_EQ(ds.m_rpm[1].m_nOn, 0);
    EXPECT_EQ(ds.m_rpm[2].m_nOn, 0);
    EXPECT_EQ(ds.m_rpm[0].m_nSlipOn, 0);
    EXPECT_EQ(ds.m_analog[0].m_nOn, 0);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text,
              "Not enough information available to display\nEngine vs Drive Shaft slippage "
              "for\nSession 'Run 1'.\nPlease Correct Car Setup Info.");
    EXPECT_EQ(host.messages[1].text,
              "Not enough information available to\ndisplay Drive Shaft as desired for\n"
              "Session 'Run 1'.\nPlease Correct Car Setup Info.");
    FakeHost quiet;
    ds.m_rpm[1].m_nOn = 1;
    CheckSlipInfo(ds, false, quiet);
    EXPECT_TRUE(quiet.messages.empty());
}

TEST(ComputeDistance, RearWheelAtConstantSpeedWithAPause) {
    CBriodashDataset ds;
    test::RearWheelCar(ds);
    // 1000 RPM of an 80 in wheel: 1111.1 ft in 10 s; one second without reading adds nothing.
    FillRpm(ds, 2, 1000, 1000, 100000);
    ds.m_rpm[1][9].m_lRaw = 0xFFFE;
    ds.m_rpm[1][9].m_lFiltered = 0xFFFE;  // the 1 s sample
    CSample analog;
    analog.m_lTime = 50000;
    ds.m_analog[0].AddTail(analog);
    AddMark(ds, 200000, 100);  // after the last source sample
    FakeHost host;
    ASSERT_TRUE(ComputeDistance(ds, kDistanceRearWheel, Units::Imperial, host));
    EXPECT_EQ(ds.m_nDistanceSource, kDistanceRearWheel);
    const int32_t total = ds.m_rpm[1].m_samples.back().m_lDistance;
    EXPECT_NEAR(total, 11000, 1);  // 99 of 100 steps of 111.1 tenths
    EXPECT_EQ(ds.m_rpm[1][9].m_lDistance, ds.m_rpm[1][8].m_lDistance);
    EXPECT_EQ(ds.m_analog[0][0].m_lDistance, 5444);  // at the 50th sample: 49 steps
    EXPECT_EQ(ds.m_markers[0].m_lDistance, total);
    EXPECT_EQ(host.titles.front(), "Calculating distance from Rear Wheel");
    bool sawTime = false, sawFeet = false;
    for (auto& [line, text] : host.statuses) {
        sawTime |= text == " 00:05 of data processed";
        sawFeet |= text == " 544 Feet Traveled";
    }
    EXPECT_TRUE(sawTime);
    EXPECT_TRUE(sawFeet);
}

TEST(ComputeDistance, MissingSourceChangesNothing) {
    CBriodashDataset ds;
    test::RearWheelCar(ds);
    FakeHost host;
    EXPECT_FALSE(ComputeDistance(ds, kDistanceFrontWheel, Units::Imperial, host));
    EXPECT_EQ(ds.m_nDistanceSource, 0);
    EXPECT_TRUE(host.titles.empty());
}

TEST(ComputeDistance, EngineInGearMatchesTheWheel) {
    CBriodashDataset ds;
    test::RearWheelCar(ds);
    // 4000 RPM in 4th (1.0) through a 4.0 rear end turns the wheel at 1000 RPM.
    FillRpm(ds, 1, 4000, 1000, 100000, 4);
    FakeHost host;
    ASSERT_TRUE(ComputeDistance(ds, kDistanceEngine, Units::Imperial, host));
    EXPECT_EQ(ds.m_rpm[0].m_samples.back().m_lDistance, 11111);
    EXPECT_EQ(host.titles.front(), "Calculating distance from Engine RPM");
}

TEST(ComputeDistance, AccelerometerStopsAtAStandstill) {
    CBriodashDataset ds;
    CAnalogSetup accel;
    accel.m_nChannel = 1;
    accel.m_nType = 135;
    accel.m_nFamily = 0;
    accel.m_nResolution = 100;
    accel.m_fMin = -5.0f;
    accel.m_fMax = 5.0f;
    accel.m_nBits = 12;
    accel.m_strDescription = "FRONT-REAR";
    ds.m_carSetup.m_analog.push_back(accel);
    ds.m_carSetup.m_rpm.push_back(RpmSetup(2, 12, "Rear Wheel", 0, 80.0f));
    // Raw 2252 of 4095 on -5..5 G is 0.49 G (in hundredths, truncated) for 2 s.
    for (int32_t t = 1000; t <= 20000; t += 1000) {
        CSample s;
        s.m_lTime = t;
        s.m_lRaw = s.m_lFiltered = 2252;
        ds.m_analog[0].AddTail(s);
    }
    FakeHost host;
    ASSERT_TRUE(ComputeDistance(ds, kDistanceAccelerometer, Units::Imperial, host));
    EXPECT_EQ(host.titles.front(), "Calculating distance from Analog #1");
    // a = 0.49 × 32.17 ft/s²; each 0.1 s step adds the new speed's distance and a t² / 2:
    // 21.9 a tenths of a foot after 20 steps.
    EXPECT_NEAR(ds.m_analog[0].m_samples.back().m_lDistance, 345, 1);

    // The same with a standing rear wheel: no reading 0.6 s apart resets the speed.
    CBriodashDataset still;
    still.m_carSetup = ds.m_carSetup;
    still.m_analog[0].m_samples = ds.m_analog[0].m_samples;
    still.m_nFramed = 1;
    FillRpm(still, 2, 0, 3000, 20000);
    FakeHost host2;
    ASSERT_TRUE(ComputeDistance(still, kDistanceAccelerometer, Units::Imperial, host2));
    EXPECT_LT(still.m_analog[0].m_samples.back().m_lDistance, 345 / 2);
}

TEST(NormaliseLapDistance, MeanOfTheLapsNearTheReference) {
    CBriodashDataset ds;
    AddMark(ds, 1000, 100, 30000);
    AddMark(ds, 2000, 200, 62000);
    AddMark(ds, 3000, 300, 97000);
    FakeHost host;
    NormaliseLapDistance(ds, host);
    EXPECT_EQ(ds.m_lLapDistance, 31000);
    EXPECT_TRUE(host.messages.empty());

    ds.m_markers.m_samples[1].m_lDistance = 40000;  // 3000, 1000, 5700 ft: no close pair
    NormaliseLapDistance(ds, host);
    EXPECT_EQ(ds.m_lLapDistance, -1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "Could NOT normalize Lap Distances.\nDistances calculated for each lap vary by "
              "more than 10%.");

    CBriodashDataset drag;  // ET marks are not laps
    AddMark(drag, 0, 0, 0);
    AddMark(drag, 100, 1, 600);
    NormaliseLapDistance(drag, host);
    EXPECT_EQ(drag.m_lLapDistance, -1);
    EXPECT_EQ(host.messages.size(), 1u);
}

struct SlipCase {
    int32_t ownRpm, partnerRpm, expected;
};

TEST(ComputeSlip, WheelAgainstPartner) {
    const SlipCase cases[] = {{1000, 1000, 0}, {900, 1000, 10000}, {1000, 0, 0}};
    for (const SlipCase& c : cases) {
        CBriodashDataset ds;
        ds.m_nFramed = 1;
        ds.m_carSetup.m_rpm.push_back(RpmSetup(2, 12, "Rear Wheel", 2, 80.0f, 3));
        ds.m_carSetup.m_rpm.push_back(RpmSetup(3, 11, "Front Wheel", 2, 80.0f));
        FillRpm(ds, 2, c.ownRpm, 1000, 10000);
        FillRpm(ds, 3, c.partnerRpm, 1500, 12000);
        ds.m_rpm[1].m_nSlipOn = 1;
        FakeHost host;
        ComputeSlip(ds, 2, true, Units::Imperial, host);
        EXPECT_EQ(ds.m_rpm[1][0].m_lSlip, 0) << "before the first partner sample";
        EXPECT_EQ(ds.m_rpm[1][5].m_lSlip, c.expected) << c.ownRpm << " vs " << c.partnerRpm;
        EXPECT_EQ(ds.m_rpm[1].m_bSlipDirty, 0);
        EXPECT_EQ(host.titles.front(), "Computing Rear Wheel vs Front Wheel Slippage");
    }
}

TEST(ComputeSlip, WithoutPartnerClearsBothFlags) {
    CBriodashDataset ds;
    ds.m_carSetup.m_rpm.push_back(RpmSetup(2, 12, "Rear Wheel", 2, 80.0f, 3));
    FillRpm(ds, 2, 1000, 1000, 5000);
    ds.m_rpm[1].m_nSlipOn = 1;
    FakeHost host;
    ComputeSlip(ds, 2, true, Units::Imperial, host);
    EXPECT_EQ(ds.m_rpm[1].m_nSlipOn, 0);
    EXPECT_EQ(ds.m_rpm[1].m_bSlipDirty, 0);
    EXPECT_EQ(ds.m_rpm[1][0].m_lSlip, -1);
}

}  // namespace
}  // namespace orvex
