#include <gtest/gtest.h>

#include "model/ChannelSetups.h"

namespace orvex {
namespace {

CAnalogSetup Analog(int32_t code, float min, float max, float offset = 0, int32_t invert = 0,
                    int32_t channel = 1) {
    CAnalogSetup s;
    s.m_nChannel = channel;
    s.SetType(code);
    s.m_fMin = min;
    s.m_fMax = max;
    s.ApplyTypeDefaults();  // resolution factor; the range is set, so it stays
    s.m_fOffset = offset;
    s.m_nInvert = invert;
    return s;
}

TEST(AnalogSetup, ConvertsRawValuesOfBothFamilies) {
    struct Case {
        const char* what;
        CAnalogSetup setup;
        int32_t raw;
        Units units;
        int32_t expected;
    } cases[] = {
        {"EGT full scale", Analog(136, 32, 2085), 4095, Units::Imperial, 2085},
        {"EGT clamped above full scale", Analog(136, 32, 2085), 5000, Units::Imperial, 2085},
        {"EGT zero", Analog(136, 32, 2085), 0, Units::Imperial, 32},
        {"EGT in Celsius", Analog(136, 32, 2085), 4095, Units::Metric, 1140},
        {"EGT first family", Analog(1, 32, 1688), 50000, Units::Imperial, 860},
        {"custom", Analog(5, 0, 100, 2), 50000, Units::Imperial, 480},
        {"custom inverted before offset", Analog(5, 0, 100, 2, 1), 50000, Units::Imperial, -520},
        {"VDO at rest", Analog(6, 0, 80), 0, Units::Imperial, 0},
        {"VDO full", Analog(6, 0, 80), 100000, Units::Imperial, 800},
        {"sender 8 mode 1 below 10%", Analog(8, 0, 100, 0, 1), 6000, Units::Imperial, 0},
        {"sender 8 mode 1", Analog(8, 0, 100, 0, 1), 46554, Units::Imperial, 500},
        {"sender 8 mode 3", Analog(8, 0, 100, 0, 3), 50000, Units::Imperial, 500},
        {"sender 8 unknown mode keeps raw", Analog(8, 0, 100, 0, 0), 1234, Units::Imperial, 1234},
        {"sender 133 mode 1 below 10%", Analog(133, 0, 100, 0, 1), 409, Units::Imperial, 0},
        {"sender 133 mode 1 negative", Analog(133, 0, 100, 0, 1), -50, Units::Imperial, 0},
        {"sender 133 mode 1", Analog(133, 0, 100, 0, 1), 3686, Units::Imperial, 1000},
        {"sender 133 mode 2 below 20%", Analog(133, 0, 100, 0, 2), 819, Units::Imperial, 0},
        {"sender 133 mode 3", Analog(133, 0, 100, 0, 3), 4095, Units::Imperial, 1000},
        {"voltage with own offset", Analog(134, 0, 5, 0.5f, 0, 5), 4095, Units::Imperial, 450},
        {"accelerometer inverted", Analog(135, -5, 5, 0, 1), 0, Units::Imperial, 500},
        {"throttle", Analog(132, 0, 100, 0), 4095, Units::Imperial, 1000},
        {"no type", Analog(0, 0, 1), 777, Units::Imperial, 0},
        {"unknown first-family code", Analog(99, 0, 1), 777, Units::Imperial, 777},
        {"unknown second-family code", Analog(140, 0, 1), 777, Units::Imperial, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.setup.Convert(c.raw, c.units, 0.0f), c.expected) << c.what;
}

TEST(AnalogSetup, BatteryVoltageUsesTheApplicationCorrectionNotItsOffset) {
    CAnalogSetup s;
    s.m_nChannel = kVoltageChannel;
    s.ChooseType(kAnalog2Voltage);
    EXPECT_EQ(s.m_fMax, 20.0f);
    EXPECT_EQ(s.m_nResolution, 10);
    s.m_fOffset = 5.0f;
    EXPECT_EQ(s.Convert(4095, Units::Imperial, 0.25f), 197);  // 200 - 10 x 0.25
    EXPECT_EQ(s.Convert(4095, Units::Imperial, 0.0f), 200);
}

TEST(AnalogSetup, DisplayUnitsConvertTemperatureAndTravelOnly) {
    CAnalogSetup egt = Analog(136, 32, 2085, 9);
    EXPECT_FLOAT_EQ(egt.GetMinimum(Units::Metric), 0.0f);
    EXPECT_FLOAT_EQ(egt.GetMaximum(Units::Metric), 1140.5555f);
    EXPECT_FLOAT_EQ(egt.GetOffset(Units::Metric), 5.0f);  // a difference: no 32° shift

    // Metric and back leaves the held values as they were.
    const float min = egt.GetMinimum(Units::Metric), max = egt.GetMaximum(Units::Metric),
                offset = egt.GetOffset(Units::Metric);
    egt.SetMinimum(min, Units::Metric);
    egt.SetMaximum(max, Units::Metric);
    egt.SetOffset(offset, Units::Metric);
    EXPECT_FLOAT_EQ(egt.GetMinimum(Units::Imperial), 32.0f);
    EXPECT_FLOAT_EQ(egt.GetMaximum(Units::Imperial), 2085.0f);
    EXPECT_FLOAT_EQ(egt.GetOffset(Units::Imperial), 9.0f);

    CAnalogSetup shock = Analog(130, -4, 4, 1);
    EXPECT_FLOAT_EQ(shock.GetMaximum(Units::Metric), 10.16f);
    EXPECT_FLOAT_EQ(shock.GetOffset(Units::Metric), 2.54f);
    shock.SetMinimum(-5.08f, Units::Metric);
    EXPECT_FLOAT_EQ(shock.m_fMin, -2.0f);

    CAnalogSetup volts = Analog(134, 0, 5);
    volts.SetMaximum(16, Units::Metric);
    EXPECT_EQ(volts.m_fMax, 16.0f);
    EXPECT_EQ(volts.GetMaximum(Units::Metric), 16.0f);
    EXPECT_EQ(egt.UnitsLabel(Units::Metric), "Temp(C)");
    EXPECT_EQ(egt.UnitsLabel(Units::Imperial), "Temp(F)");
    EXPECT_EQ(shock.UnitsLabel(Units::Metric), "Position");
}

TEST(AnalogSetup, ChoosingATypeAppliesItsDefaults) {
    struct Case {
        int32_t code;
        int32_t channel;
        float min, max;
        int32_t resolution;
        int32_t invert;  // the setup starts with invert 2
        int32_t family;
    } cases[] = {
        {1, 1, 32, 1688, 1, 0, 1},   {2, 1, 32, 600, 1, 0, 1},       {3, 1, 0, 5, 100, 0, 1},
        {4, 1, 0, 16, 100, 0, 1},    {5, 1, 0, 100, 10, 2, 1},       {6, 1, 0, 80, 10, 0, 1},
        {7, 1, -5, 5, 100, 2, 1},    {8, 1, 0, 100, 10, 1, 1},       {129, 1, 0, 100, 10, 2, 0},
        {130, 1, -4, 4, 1000, 2, 0}, {131, 1, -180, 180, 100, 2, 0}, {132, 1, 0, 100, 10, 2, 0},
        {133, 1, 0, 100, 10, 1, 0},  {134, 1, 0, 5, 100, 0, 0},      {134, 20, 0, 20, 10, 0, 0},
        {135, 17, -5, 5, 100, 2, 0}, {136, 1, 32, 2085, 1, 0, 0},    {137, 1, 32, 2085, 1, 0, 0},
    };
    for (const Case& c : cases) {
        CAnalogSetup s = Analog(136, 32, 2085);  // a previous type's range is reset
        s.m_nChannel = c.channel;
        s.m_nInvert = 2;
        s.ChooseType(c.code);
        EXPECT_EQ(s.m_fMin, c.min) << c.code;
        EXPECT_EQ(s.m_fMax, c.max) << c.code;
        EXPECT_EQ(s.m_nResolution, c.resolution) << c.code;
        EXPECT_EQ(s.m_nInvert, c.invert) << c.code;
        EXPECT_EQ(s.m_nFamily, c.family) << c.code;
    }
}

TEST(AnalogSetup, DefaultsKeepASetRange) {
    CAnalogSetup custom = Analog(129, 0, 5);
    EXPECT_EQ(custom.m_nResolution, 1000);
    EXPECT_EQ(custom.m_fMax, 5.0f);

    CAnalogSetup sender = Analog(133, 0, 300, 0, 2);
    sender.ApplyTypeDefaults();
    EXPECT_EQ(sender.m_nInvert, 2);  // invert 1 only comes with the default range
    EXPECT_EQ(sender.m_nResolution, 10);

    CAnalogSetup unset = Analog(132, 0, 0);  // maximum 0 counts as unset too
    EXPECT_EQ(unset.m_fMax, 100.0f);

    struct Span {
        int32_t code;
        float max;
        int32_t factor;
    } spans[] = {{5, 9.99f, 1000}, {5, 10, 100},  {5, 99, 100},   {5, 100, 10},
                 {5, 499, 10},     {5, 500, 1},   {8, 5, 100},    {133, 9, 100},
                 {133, 499, 10},   {133, 500, 1}, {129, -20, 100}};
    for (const Span& s : spans)
        EXPECT_EQ(ResolutionBySpan(s.code, 0, s.max), s.factor) << s.code << " " << s.max;
}

TEST(AnalogSetup, GraphRangeFollowsTheScaleMode) {
    struct Case {
        int16_t mode;
        std::optional<DataExtremes> data;
        float bottom, top;
    } cases[] = {
        {1, DataExtremes{0, 1000}, 0, 100},  {2, DataExtremes{0, 1000}, -5, 105},
        {3, DataExtremes{0, 1000}, -5, 215}, {4, DataExtremes{0, 1000}, -115, 105},
        {2, DataExtremes{500, 500}, 49, 51}, {2, std::nullopt, 0, 100},
    };
    for (const Case& c : cases) {
        CAnalogSetup s = Analog(132, 0, 100);  // resolution 10
        s.m_nScaleMode = c.mode;
        s.ComputeGraphRange(Units::Imperial, c.data);
        EXPECT_FLOAT_EQ(s.m_fGraphBottom, c.bottom) << c.mode;
        EXPECT_FLOAT_EQ(s.m_fGraphTop, c.top) << c.mode;
    }
    CAnalogSetup egt = Analog(136, 32, 212);
    egt.ComputeGraphRange(Units::Metric, std::nullopt);
    EXPECT_FLOAT_EQ(egt.m_fGraphBottom, 0.0f);
    EXPECT_FLOAT_EQ(egt.m_fGraphTop, 100.0f);
}

TEST(AnalogSetup, GraphRangeOfAnInvertedChannelIsUpsideDownAndRounded) {
    struct Case {
        const char* what;
        CAnalogSetup setup;
        int16_t mode;
        std::optional<DataExtremes> data;
        float bottom, top;
    } cases[] = {
        {"rounded outward to 1/10", Analog(132, 0.25f, 99.96f), 1, std::nullopt, 0.2f, 100},
        {"inverted", Analog(132, 0, 100, 0, 1), 1, std::nullopt, 100, 0},
        {"inverted with data", Analog(132, 0, 100, 0, 1), 2, DataExtremes{0, 1000}, 105, -5},
        {"sender mode is no invert", Analog(133, 0, 150, 0, 1), 1, std::nullopt, 0, 150},
        {"first-family sender", Analog(8, 0, 80, 0, 3), 1, std::nullopt, 0, 80},
    };
    for (Case& c : cases) {
        c.setup.m_nScaleMode = c.mode;
        c.setup.ComputeGraphRange(Units::Imperial, c.data);
        EXPECT_FLOAT_EQ(c.setup.m_fGraphBottom, c.bottom) << c.what;
        EXPECT_FLOAT_EQ(c.setup.m_fGraphTop, c.top) << c.what;
    }
}

TEST(RpmSetup, EngineTypeFromCylindersAndCycle) {
    struct Case {
        int32_t cylinders, cycle, type;
    } cases[] = {{8, 4, 1},  {6, 4, 2}, {4, 4, 3}, {1, 2, 9}, {1, 4, 8}, {1, 8, 7}, {1, 1, 9},
                 {12, 4, 1}, {7, 2, 1}, {5, 4, 2}, {3, 2, 3}, {2, 4, 3}, {0, 4, 1}, {-3, 4, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(EngineRpmType(c.cylinders, c.cycle), c.type) << c.cylinders << " " << c.cycle;
}

TEST(DigitalSetup, BandsByTypeWithTheSwitchUpsideDown) {
    struct Case {
        int32_t type;
        int16_t band;
        float low, high;
    } cases[] = {{0, 2, 0.1f, 0.9f}, {1, 2, 0.1f, 0.9f}, {2, 1, 0.0f, 1.0f},
                 {3, 1, 0.0f, 1.0f}, {4, 2, 0.9f, 0.1f}, {5, 2, 0.1f, 0.9f}};
    for (const Case& c : cases) {
        CDigitalSetup s;
        s.m_nType = c.type;
        s.m_nBand = 3;
        s.ApplyTypeDefaults();
        EXPECT_EQ(s.m_nBand, c.band) << c.type;
        EXPECT_FLOAT_EQ(s.m_fBandLow, c.low) << c.type;
        EXPECT_FLOAT_EQ(s.m_fBandHigh, c.high) << c.type;
    }
    CDigitalSetup drawn;
    drawn.m_nType = 1;
    drawn.m_nBand = 4;
    drawn.m_fHeightFactor = 0.002f;  // set by the graph: the user's band stays
    drawn.ApplyTypeDefaults();
    EXPECT_EQ(drawn.m_nBand, 4);

    struct Band {
        int16_t band;
        float low, high;
    } bands[] = {{1, 0, 1}, {2, 0.1f, 0.9f}, {3, 0.05f, 0.45f}, {4, 0.55f, 0.95f}, {9, 0.1f, 0.9f}};
    for (const Band& b : bands) {
        CDigitalSetup s;
        s.m_nType = 1;
        s.m_nBand = b.band;
        s.ApplyBand();
        EXPECT_FLOAT_EQ(s.m_fBandLow, b.low) << b.band;
        EXPECT_FLOAT_EQ(s.m_fBandHigh, b.high) << b.band;
    }
}

TEST(DigitalSetup, KindsOfSwitchAndTimerInputs) {
    auto names = [](int channel) {
        std::string out;
        for (const DigitalKind& k : DigitalKinds(channel))
            out += std::string(k.name) + "=" + std::to_string(k.code) + ";";
        return out;
    };
    EXPECT_EQ(names(1), "Generic=1;Throttle Switch=4;Brake Switch=4;Pressure Switch=4;");
    EXPECT_EQ(names(4), names(1));
    EXPECT_EQ(names(5),
              "Generic=1;Lap Timer=2;Trans-Brake Timer=3;Throttle Stop Timer=3;GPS Receiver=5;");
    EXPECT_EQ(DigitalTypeName(4), "On/Off Switch");
    EXPECT_EQ(DigitalTypeName(5), "Generic");
    EXPECT_EQ(DigitalTypeName(3), "Event Timer");
}

TEST(FreqSetup, NewSetupsTakeTheTypeDefaults) {
    struct Case {
        int32_t type;
        const char* description;
        int32_t ppr;
        int32_t display;
    } cases[] = {
        {0, "User Defined", 1, 1}, {1, "Engine", 4, 1},        {3, "Engine", 2, 1},
        {4, "Engine", 6, 1},       {7, "Engine", 0, 1},        {9, "Engine", 1, 1},
        {10, "Drive Shaft", 1, 3}, {11, "Front Wheel", 2, 2},  {12, "Rear Wheel", 1, 2},
        {13, "Clutch", 1, 4},      {14, "User Defined", 1, 1},
    };
    for (const Case& c : cases) {
        const CFreqSetup s = CFreqSetup::Make(2, c.type, Units::Imperial);
        EXPECT_EQ(s.m_strDescription, c.description) << c.type;
        EXPECT_EQ(s.m_nPPR, c.ppr) << c.type;
        EXPECT_EQ(s.m_nDisplayMode, c.display) << c.type;
        EXPECT_EQ(s.m_nChannel, 2);
    }
    EXPECT_EQ(RpmTypeName(7), "1 Cylinder, 4 Cycle, 1/2PPR");
    const CFreqSetup imperial = CFreqSetup::Make(1, 12, Units::Imperial);
    EXPECT_EQ(imperial.m_fDiameter, 1.0f);
    EXPECT_EQ(imperial.m_fCircumference, 3.14f);
    const CFreqSetup metric = CFreqSetup::Make(1, 12, Units::Metric);
    EXPECT_EQ(metric.m_fDiameter, 2.54f);
    EXPECT_EQ(metric.m_fCircumference, 2.54f * 3.14f);
}

TEST(FreqSetup, TireSizeTestAndCopy) {
    CFreqSetup rear = CFreqSetup::Make(2, 12, Units::Imperial);
    EXPECT_TRUE(rear.HasTireSize());
    rear.m_fCircumference = 0;
    EXPECT_FALSE(rear.HasTireSize());
    EXPECT_FALSE(CFreqSetup::Make(1, 10, Units::Imperial).HasTireSize());
    EXPECT_TRUE(CFreqSetup::Make(3, 11, Units::Imperial).HasTireSize());

    CFreqSetup target = CFreqSetup::Make(2, 12, Units::Imperial);
    target.m_fDiameter = 26;
    target.m_fCircumference = 81.64f;
    CFreqSetup shaft = CFreqSetup::Make(4, 10, Units::Imperial);
    target.CopyFrom(shaft);
    EXPECT_EQ(target.m_nRpmType, 10);
    EXPECT_EQ(target.m_nChannel, 4);
    EXPECT_EQ(target.m_fDiameter, 26.0f);  // the source has no tire size
    CFreqSetup wheel = CFreqSetup::Make(3, 11, Units::Imperial);
    wheel.m_fDiameter = 20;
    target.CopyFrom(wheel);
    EXPECT_EQ(target.m_fDiameter, 20.0f);
}

TEST(FreqSetup, DisplayChoicesPerType) {
    auto text = [](int32_t type, Units units) {
        std::string out;
        for (const RpmDisplayChoice& c : RpmDisplayChoices(type, units))
            out += std::to_string(c.mode) + ":" + c.label + ";";
        return out;
    };
    EXPECT_EQ(text(10, Units::Imperial),
              "3:Drive Shaft RPM;2:Rear Wheel RPM;0:Rear Wheel MPH;1:Engine RPM;");
    EXPECT_EQ(text(11, Units::Metric), "2:Front Wheel RPM;0:Front Wheel KPH;");
    EXPECT_EQ(text(12, Units::Imperial), "2:Rear Wheel RPM;0:Rear Wheel MPH;1:Engine RPM;");
    EXPECT_EQ(text(13, Units::Imperial),
              "4:Clutch RPM;3:Drive Shaft RPM;2:Rear Wheel RPM;0:Rear Wheel MPH;");
    EXPECT_EQ(text(1, Units::Metric),
              "1:Engine RPM;3:Drive Shaft RPM;2:Rear Wheel RPM;0:Rear Wheel KPH;");
    EXPECT_EQ(TireSizeCaption("Tire Diameter", Units::Metric), "Tire Diameter (cm)");
    EXPECT_EQ(TireSizeCaption("Tire Circumference", Units::Imperial), "Tire Circumference (in)");
}

TEST(ChannelLabels, ShortLabels) {
    struct Case {
        const char* description;
        const char* label;
    } cases[] = {
        {"oil pressure", "Oil Pressure"},
        {"LEFT-RIGHT", "LEFT-RIGHT"},
        {"exhaust gas temperature", "Exhaust Gas Te"},
        {"Left-Right Accelerometer", "L-R Accelerome"},
        {"front-rear accel x axis", "F-R Accel X Axis"},
        {"trans-brake", "Trans-brake"},
        {"Trans-Brake Timer", "T-B Timer"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ShortLabel(c.description), c.label) << c.description;
    CFreqSetup s;
    s.m_strDescription = "rear wheel";
    EXPECT_EQ(s.ShortLabel(), "Rear Wheel");
}

TEST(ChannelLabels, TypeFromDescription) {
    EXPECT_EQ(RpmTypeFromDescription("  drive shaft"), 10);
    EXPECT_EQ(RpmTypeFromDescription("1 Cylinder, 4 Cycle, 1PPR"), 8);
    EXPECT_EQ(RpmTypeFromDescription("Turbo"), 1);

    struct Analog {
        const char* text;
        int32_t family;
        int32_t code;
    } analog[] = {{"Generic", 0, 129},         {"shock-rr", 0, 130},      {"Steering", 0, 131},
                  {"Throttle", 0, 132},        {"Fuel Pressure", 0, 133}, {"Voltage", 0, 134},
                  {"Up-Down Accel", 0, 135},   {" EGT Cyl #8", 0, 136},   {"CHT #2", 0, 137},
                  {"Battery Voltage", 0, 134}, {"Boost", 0, 129},         {"Shock-LF", 1, 5}};
    for (const Analog& a : analog)
        EXPECT_EQ(AnalogTypeFromDescription(a.text, a.family), a.code) << a.text;

    struct Digital {
        const char* text;
        int32_t channel;
        int32_t code;
    } digital[] = {{"Generic", 1, 1},       {"throttle", 2, 4},     {"Brake Switch", 3, 4},
                   {"Pressure", 4, 4},      {"Lap Timer", 5, 2},    {"Trans-Brake", 6, 3},
                   {"Throttle Stop", 5, 3}, {"GPS Receiver", 6, 5}, {"Lap Timer", 2, 1},
                   {"Nitrous", 5, 1}};
    for (const Digital& d : digital)
        EXPECT_EQ(DigitalTypeFromDescription(d.text, d.channel), d.code) << d.text;
}

TEST(ChannelValidation, MessagesOfTheSetupDialogs) {
    CAnalogSetup unnamed = Analog(129, 0, 100, 0, 0, 7);
    EXPECT_EQ(ValidateAnalogSetup(unnamed), "No Name specified for Channel #7");
    CAnalogSetup custom = Analog(5, 3, 3, 0, 0, 4);
    custom.m_strDescription = "Boost";
    EXPECT_EQ(ValidateAnalogSetup(custom),
              "ERROR: Channel 4 has invalid Custom parameters.\nThe minimum and maximum values "
              "must not match.");
    CAnalogSetup vdo = Analog(6, 0, 0, 0, 0, 2);
    vdo.m_fMax = 0;
    vdo.m_strDescription = "Oil";
    EXPECT_EQ(ValidateAnalogSetup(vdo),
              "ERROR: Channel 2 has invalid Maximum Pressure.\nThe maximum values must be "
              "greater than zero(0).");
    vdo.m_fMax = 80;
    EXPECT_EQ(ValidateAnalogSetup(vdo), "");

    CDigitalSetup digital;
    digital.m_nChannel = 3;
    EXPECT_EQ(ValidateDigitalSetup(digital), "No Name specified for Channel #3");

    CFreqSetup wheel = CFreqSetup::Make(3, 11, Units::Imperial);
    EXPECT_EQ(ValidateRpmSetup(wheel), "");
    wheel.m_nDisplayMode = kDisplayClutch;
    EXPECT_EQ(ValidateRpmSetup(wheel), "Please correct 'Display RPM Data' for Front Wheel!");
}

}  // namespace
}  // namespace orvex
