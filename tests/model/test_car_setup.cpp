#include <gtest/gtest.h>

#include "model/CarSetup.h"

namespace orvex {
namespace {

std::string Channels(const CCarSetup& car) {
    std::string out;
    for (const auto& s : car.m_analog)
        out += "a" + std::to_string(s.m_nChannel) + s.m_strDescription + " ";
    for (const auto& s : car.m_digital)
        out += "d" + std::to_string(s.m_nChannel) + s.m_strDescription + " ";
    for (const auto& s : car.m_rpm)
        out += "r" + std::to_string(s.m_nChannel) + s.m_strDescription + " ";
    return out;
}

CCarSetup CarWithAnalog(std::initializer_list<std::pair<int, const char*>> channels) {
    CCarSetup car;
    for (auto [channel, name] : channels)
        car.GetOrCreateAnalogSetup(channel).m_strDescription = name;
    return car;
}

TEST(CarSetup, GetOrCreateKeepsChannelOrderAndDefaults) {
    CCarSetup car;
    car.GetOrCreateAnalogSetup(5);
    car.GetOrCreateAnalogSetup(2, kAnalog2Egt);
    car.GetOrCreateAnalogSetup(9);
    car.GetOrCreateDigitalSetup(4);
    car.GetOrCreateDigitalSetup(1);
    car.GetOrCreateRpmSetup(3, kRpmFrontWheel, Units::Imperial);
    car.GetOrCreateRpmSetup(1, 0, Units::Imperial);
    EXPECT_EQ(Channels(car), "a2 a5 a9 d1 d4 r1User Defined r3Front Wheel ");

    const CAnalogSetup& egt = *car.FindAnalogSetup(2);
    EXPECT_EQ(egt.m_nFamily, 0);
    EXPECT_EQ(egt.m_fMax, 2085.0f);
    const CAnalogSetup& plain = *car.FindAnalogSetup(5);
    EXPECT_EQ(plain.m_nFamily, 1);
    EXPECT_EQ(plain.m_nType, 0);
    EXPECT_EQ(plain.m_nSmoothing, 4);
    EXPECT_EQ(plain.m_nScaleMode, 1);
    const CDigitalSetup& digital = *car.FindDigitalSetup(4);
    EXPECT_EQ(digital.m_nBand, 2);
    EXPECT_EQ(digital.m_fBandLow, 0.0f);
    EXPECT_EQ(digital.m_fBandHigh, 1.0f);
    EXPECT_EQ(car.FindRpmSetup(3)->m_nPPR, 2);

    // An existing setup is returned as it is.
    EXPECT_EQ(&car.GetOrCreateAnalogSetup(5, kAnalog2Accel), car.FindAnalogSetup(5));
    EXPECT_EQ(car.FindAnalogSetup(5)->m_nType, 0);
}

TEST(CarSetup, MergeReplacesSameChannelsAndKeepsOthers) {
    CCarSetup car = CarWithAnalog({{1, "A"}, {3, "B"}, {5, "C"}});
    const CCarSetup imported = CarWithAnalog({{3, "new"}, {4, "D"}});
    CCarSetup merged = car;
    merged.MergeAnalogSetups(imported.m_analog);
    EXPECT_EQ(Channels(merged), "a1A a3new a4D a5C ");
    CCarSetup replaced = car;
    replaced.ReplaceAnalogSetups(imported.m_analog);
    EXPECT_EQ(Channels(replaced), "a3new a4D ");

    CCarSetup digital;
    digital.GetOrCreateDigitalSetup(2).m_strDescription = "x";
    CCarSetup other;
    other.GetOrCreateDigitalSetup(6).m_strDescription = "y";
    other.GetOrCreateRpmSetup(1, 1, Units::Imperial);
    digital.MergeDigitalSetups(other.m_digital);
    digital.MergeRpmSetups(other.m_rpm);
    EXPECT_EQ(Channels(digital), "d2x d6y r1Engine ");
    digital.ReplaceDigitalSetups({});
    digital.ReplaceRpmSetups(other.m_rpm);
    EXPECT_EQ(Channels(digital), "r1Engine ");
}

TEST(CarSetup, CopiesAreDeepAndRemovalsReportMisses) {
    CCarSetup car = CarWithAnalog({{1, "A"}});
    car.GetOrCreateRpmSetup(2, kRpmRearWheel, Units::Imperial);
    car.GetOrCreateDigitalSetup(3);
    CCarSetup copy = car;
    copy.FindAnalogSetup(1)->m_strDescription = "changed";
    EXPECT_EQ(car.FindAnalogSetup(1)->m_strDescription, "A");

    EXPECT_TRUE(car.RemoveRpmSetup(2));
    EXPECT_FALSE(car.RemoveRpmSetup(2));
    EXPECT_TRUE(car.RemoveDigitalSetup(3));
    EXPECT_TRUE(car.RemoveAnalogSetup(1));
    EXPECT_EQ(Channels(car), "");
    copy.ClearSetups();
    EXPECT_EQ(Channels(copy), "");
}

TEST(CarSetup, GearsAndRearEnd) {
    struct Case {
        int gears;
        float ratio2;
        int mode, drive, axle;
        float rearEnd;
        bool hasGears, hasRearEnd;
    } cases[] = {
        {0, 1, 1, 2, 8, 4.0f, false, false},  // untouched defaults
        {2, 1.5f, 1, 2, 8, 4.11f, true, true},
        {2, 0, 1, 2, 8, 4.11f, false, true},  // a ratio of 0 among the used gears
        {1, 0, 1, 2, 8, 4.11f, true, true},   // unused ratios do not count
        {7, 1, 1, 2, 8, 4.0f, false, false},
        {2, 1, 0, 2, 8, 4.0f, true, true},  // the same ratio from the teeth counts
        {2, 1, 1, 2, 8, 0.0f, true, false},
    };
    for (const Case& c : cases) {
        CCarSetup car;
        car.m_nGears = c.gears;
        car.m_fGearRatio[1] = c.ratio2;
        car.m_nRearEndMode = c.mode;
        car.m_nDriveTeeth = c.drive;
        car.m_nAxleTeeth = c.axle;
        car.m_fRearEndRatio = c.rearEnd;
        EXPECT_EQ(car.HasGears(), c.hasGears) << c.gears << " " << c.ratio2;
        EXPECT_EQ(car.HasRearEnd(), c.hasRearEnd) << c.mode << " " << c.rearEnd;
    }
}

TEST(CarSetup, FindRpmSetupsByTypeAndName) {
    CCarSetup car;
    car.GetOrCreateRpmSetup(0, kRpmRearWheel, Units::Imperial);  // a definition
    car.GetOrCreateRpmSetup(1, kRpmClutch, Units::Imperial);
    car.GetOrCreateRpmSetup(3, 2, Units::Imperial);
    EXPECT_EQ(car.FindRpmSetupByType(kRpmLastEngine)->m_nChannel, 3);
    EXPECT_EQ(car.FindRpmSetupByType(kRpmRearWheel)->m_nChannel, 0);
    car.GetOrCreateRpmSetup(4, kRpmRearWheel, Units::Imperial);
    EXPECT_EQ(car.FindRpmSetupByType(kRpmRearWheel)->m_nChannel, 4);
    EXPECT_EQ(car.FindRpmSetupByType(kRpmDriveShaft), nullptr);
    EXPECT_EQ(car.FindRpmSetupByTypeAndName(kRpmClutch, "LUT")->m_nChannel, 1);
    EXPECT_EQ(car.FindRpmSetupByTypeAndName(kRpmClutch, "engine"), nullptr);
}

TEST(CarSetup, FindAnalogSetupsByLoggerType) {
    struct Map {
        int loggerType, family, code;
    } maps[] = {{1, 1, 1},   {2, 1, 2},   {3, 1, 3},   {4, 1, 6},   {5, 1, 7},   {6, 1, 5},
                {8, 1, 5},   {1, 0, 136}, {2, 0, 137}, {3, 0, 134}, {4, 0, 133}, {5, 0, 135},
                {6, 0, 130}, {7, 0, 131}, {8, 0, 132}, {9, 0, 0},   {0, 1, 0}};
    for (const Map& m : maps)
        EXPECT_EQ(AnalogCodeForLoggerType(m.loggerType, m.family), m.code)
            << m.loggerType << " " << m.family;

    CCarSetup car;
    car.GetOrCreateAnalogSetup(17, kAnalog2Accel).m_strDescription = "LEFT-RIGHT";
    car.GetOrCreateAnalogSetup(18, kAnalog2Accel).m_strDescription = "FRONT-REAR";
    car.GetOrCreateAnalogSetup(2, kAnalogAccel).m_strDescription = "Front-Rear g";
    EXPECT_EQ(car.FindAnalogSetupByLoggerTypeAndName(5, "front-rear")->m_nChannel, 2);
    EXPECT_EQ(car.FindAnalogSetupByLoggerType(5)->m_nChannel, 2);
    car.RemoveAnalogSetup(2);
    EXPECT_EQ(car.FindAnalogSetupByLoggerTypeAndName(5, "FRONT-REAR")->m_nChannel, 18);
    EXPECT_EQ(car.FindAnalogSetupByLoggerTypeAndName(1, "FRONT-REAR"), nullptr);

    car.GetOrCreateDigitalSetup(5).m_nType = kDigitalLapTimer;
    car.FindDigitalSetup(5)->m_strDescription = "Lap Timer";
    EXPECT_EQ(car.FindDigitalSetupByTypeAndName(kDigitalLapTimer, "Lap Timer")->m_nChannel, 5);
    EXPECT_EQ(car.FindDigitalSetupByTypeAndName(kDigitalLapTimer, "lap timer"), nullptr);
    EXPECT_EQ(car.FindDigitalSetupByType(kDigitalLapTimer)->m_nChannel, 5);
}

TEST(CarSetup, ValidationResetsLostSlipPartners) {
    CCarSetup car;
    car.GetOrCreateRpmSetup(1, 1, Units::Imperial).m_nSlipPartner = 4;
    car.GetOrCreateRpmSetup(2, kRpmDriveShaft, Units::Imperial).m_nSlipPartner = 1;
    EXPECT_EQ(ValidateSetups(car, SetupKind::Rpm), "");
    EXPECT_EQ(car.FindRpmSetup(1)->m_nSlipPartner, 0);
    EXPECT_EQ(car.FindRpmSetup(2)->m_nSlipPartner, 1);

    car.GetOrCreateAnalogSetup(3, kAnalog2Throttle).m_strDescription = "Throttle";
    car.GetOrCreateAnalogSetup(6, kAnalog2Shock);
    EXPECT_EQ(ValidateSetups(car, SetupKind::Analog), "No Name specified for Channel #6");
    EXPECT_EQ(ValidateSetups(car, SetupKind::Digital), "");
}

}  // namespace
}  // namespace orvex
