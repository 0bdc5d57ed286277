// Threshold conversions of equation terms: RPM, analog and digital values to text and back.
#include <gtest/gtest.h>

#include "logger/config/Thresholds.h"

namespace orvex {
namespace {

CFreqSetup Freq(int type, int ppr, int displayMode = 1, float circumference = 0.0f) {
    CFreqSetup s;
    s.m_nRpmType = type;
    s.m_nPPR = ppr;
    s.m_nDisplayMode = displayMode;
    s.m_fCircumference = circumference;
    return s;
}

CAnalogSetup Analog(int type, float min, float max, int resolution, int invert = 0) {
    CAnalogSetup s;
    s.m_nType = type;
    s.m_fMin = min;
    s.m_fMax = max;
    s.m_nResolution = resolution;
    s.m_nInvert = invert;
    return s;
}

TEST(RpmThreshold, EngineChannelWorkedValues) {
    const CTachConfig cfg;  // P = 307200
    const CFreqSetup engine = Freq(1, 4);
    EXPECT_EQ(RpmThresholdText(cfg, engine, Units::Imperial, 4608), "1000");
    EXPECT_EQ(RpmThreshold(cfg, engine, Units::Imperial, "1000"), 4608);
    EXPECT_EQ(RpmThreshold(cfg, engine, Units::Imperial, "+1000"), 4608);
    // 0 and anything above 65472 read as the slowest period: 307200 * 60 / 65472 / 4 = 70.4.
    EXPECT_EQ(RpmThresholdText(cfg, engine, Units::Imperial, 0), "70");
    EXPECT_EQ(RpmThresholdText(cfg, engine, Units::Imperial, 65535), "70");
    EXPECT_EQ(RpmThreshold(cfg, engine, Units::Imperial, "0"), 65472);
    EXPECT_EQ(RpmThreshold(cfg, engine, Units::Imperial, "10"), 65472);
}

TEST(RpmThreshold, HalfPulsePerRevolution) {
    const CTachConfig cfg;
    EXPECT_EQ(RpmThresholdText(cfg, Freq(1, 0), Units::Imperial, 9216), "4000");
    EXPECT_EQ(RpmThreshold(cfg, Freq(7, 0), Units::Imperial, "4000"), 9216);
    // Without the single-cylinder type the text still converts as one pulse per two turns.
    EXPECT_EQ(RpmThreshold(cfg, Freq(1, 0), Units::Imperial, "4000"), 9216);
}

TEST(RpmThreshold, SpeedChannel) {
    const CTachConfig cfg;
    const CFreqSetup wheel = Freq(12, 1, 0, 80.0f);  // 80 in around
    ASSERT_TRUE(IsSpeedChannel(wheel));
    EXPECT_FALSE(IsSpeedChannel(Freq(12, 1, 2, 80.0f)));
    EXPECT_FALSE(IsSpeedChannel(Freq(12, 1, 0, 0.0f)));
    // 100 MPH: 63360 / 80 * 100 / 3600 = 22 turns a second.
    EXPECT_EQ(RpmThreshold(cfg, wheel, Units::Imperial, "100"), 13963);
    EXPECT_EQ(RpmThresholdText(cfg, wheel, Units::Imperial, 13963), "100");
    EXPECT_EQ(RpmThresholdText(cfg, wheel, Units::Metric, 13963), "63");
    EXPECT_EQ(RpmMaximum(wheel, Units::Imperial), 300);
    EXPECT_EQ(RpmMaximum(Freq(12, 20, 0, 80.0f), Units::Imperial), 272);  // 216000 * 80 / 63360
    EXPECT_EQ(RpmTipText(wheel, Units::Metric), "Enter a speed up to 300 KPH");
}

TEST(RpmThreshold, ValidityAndMaximumByType) {
    const CTachConfig cfg;
    struct Case {
        int type, ppr;
        const char* text;
        bool valid;
    };
    for (const Case& k :
         {Case{1, 4, "10000", true}, Case{2, 3, "10001", false}, Case{3, 2, "14000", true},
          Case{4, 6, "12001", false}, Case{7, 0, "749", false}, Case{8, 1, "750", true},
          Case{9, 1, "20000", true}, Case{9, 1, "20001", false},
          // drive shaft: 256 <= 18432000 / n <= 65471
          Case{10, 1, "72000", true}, Case{10, 1, "72001", false}, Case{10, 1, "282", true},
          Case{10, 1, "281", false}, Case{10, 1, "0", false}})
        EXPECT_EQ(RpmTextValid(cfg, Freq(k.type, k.ppr), Units::Imperial, k.text), k.valid)
            << k.type << " " << k.text;
    EXPECT_EQ(RpmMaximum(Freq(1, 4), Units::Imperial), 10000);
    EXPECT_EQ(RpmMaximum(Freq(7, 0), Units::Imperial), 14000);
    EXPECT_EQ(RpmMaximum(Freq(10, 3), Units::Imperial), 24000);
    EXPECT_FALSE(RpmMaximum(Freq(10, 0), Units::Imperial));
    EXPECT_EQ(RpmTipText(Freq(5, 3), Units::Imperial), "Enter a RPM up to 12000");
}

TEST(AnalogThreshold, AccelerometerTextAndBack) {
    const CAnalogSetup accel = Analog(135, -5, 5, 100);  // 12 bits
    EXPECT_EQ(AnalogThresholdText(accel, Units::Imperial, 0, 2661), "1.50");
    EXPECT_EQ(AnalogThreshold(accel, Units::Imperial, 0, "1.50"), 2661);
    EXPECT_EQ(AnalogThreshold(accel, Units::Imperial, 0, "-1.500"), 1433);     // the spare word
    EXPECT_EQ(AnalogThresholdText(accel, Units::Imperial, 0, 65535), "5.00");  // full scale
    const CAnalogSetup inverted = Analog(135, -5, 5, 100, 1);
    EXPECT_EQ(AnalogThresholdText(inverted, Units::Imperial, 0, 2661), "-1.50");
    EXPECT_EQ(AnalogThreshold(inverted, Units::Imperial, 0, "-1.50"), 2661);  // 4095 - 1433.25
}

TEST(AnalogThreshold, OperatorsOfferedAndInversion) {
    EquationEntry e;
    e.m_kind = EntryKind::Analog;
    const CAnalogSetup accel = Analog(135, -5, 5, 100, 1);
    const CAnalogSetup throttle = Analog(132, 0, 100, 10, 1);
    const CAnalogSetup pressure = Analog(133, 0, 100, 1, 1);
    e.m_pAnalog = &accel;
    EXPECT_EQ(OperatorCount(e, Units::Imperial), 10);
    EXPECT_TRUE(IsInvertedEntry(e));
    e.m_pAnalog = &throttle;
    EXPECT_EQ(OperatorCount(e, Units::Imperial), 5);
    e.m_pAnalog = &pressure;
    EXPECT_FALSE(IsInvertedEntry(e));  // the sender mode of a pressure channel is no inversion
    EXPECT_TRUE(IsInvertedEntry(EquationEntry{}));  // RPM
    EXPECT_EQ(ExchangeOperator(1), 3);
    EXPECT_EQ(ExchangeOperator(4), 2);
    EXPECT_EQ(ExchangeOperator(6), 6);
}

TEST(AnalogThreshold, TypesAndResolutions) {
    struct Case {
        CAnalogSetup setup;
        Units units;
        uint16_t raw;
        const char* text;
    };
    CAnalogSetup battery = Analog(134, 0, 20, 10);
    battery.m_nChannel = 20;
    battery.m_fOffset = 5;  // ignored on channel 20
    CAnalogSetup volts = Analog(134, 0, 5, 100);
    volts.m_fOffset = 1;
    CAnalogSetup egt = Analog(136, 32, 2085, 1);
    const Case cases[] = {
        {Analog(133, 0, 100, 1, 1), Units::Imperial, 400, "0"},  // below 10 % in mode 1
        {Analog(133, 0, 100, 1, 3), Units::Imperial, 4095, "100"},
        {Analog(133, 0, 100, 1, 0), Units::Imperial, 1234, "1234"},
        {battery, Units::Imperial, 4095, "19.5"},  // correction 0.5
        {volts, Units::Imperial, 4095, "4.00"},
        {egt, Units::Imperial, 4095, "2085"},
        {egt, Units::Metric, 4095, "1141"},
        {Analog(130, -4, 4, 1000), Units::Imperial, 4095, "4.000"},
        {Analog(7, -5, 5, 100), Units::Imperial, 100, "1.00"},  // first family: no conversion
    };
    for (const Case& k : cases)
        EXPECT_EQ(AnalogThresholdText(k.setup, k.units, 0.5f, k.raw), k.text) << k.setup.m_nType;
    EXPECT_EQ(AnalogThreshold(battery, Units::Imperial, 0.5f, "19.5"), 4095);
    EXPECT_EQ(AnalogThreshold(Analog(133, 0, 100, 1, 1), Units::Imperial, 0, "50"), 2047);
}

TEST(AnalogThreshold, RangeTestAndTips) {
    const CAnalogSetup accel = Analog(135, -5, 3, 100);
    EXPECT_EQ(AnalogRangeTest(accel, Units::Imperial, "-5.01", 0), -1);
    EXPECT_EQ(AnalogRangeTest(accel, Units::Imperial, "3.01", 4), 1);
    EXPECT_EQ(AnalogRangeTest(accel, Units::Imperial, "3", 4), 0);
    EXPECT_EQ(AnalogRangeTest(accel, Units::Imperial, "3.5", 6), 1);  // |x| up to 3
    EXPECT_EQ(AnalogRangeTest(Analog(135, -3, 5, 100), Units::Imperial, "3.5", 7), -1);
    EXPECT_EQ(AnalogTipText(accel, Units::Imperial, 0), "Enter a 'G' value between -5.00 and 3.00");
    EXPECT_EQ(AnalogTipText(accel, Units::Imperial, 6), "Enter a 'G' value between -3.00 and 3.00");
    EXPECT_EQ(AnalogTipText(Analog(131, -1000, 180, 100), Units::Imperial, 0),
              "Enter an Angle between -720.00 and 180.00");
    EXPECT_EQ(AnalogTipText(Analog(132, 0, 100, 10), Units::Imperial, 0),
              "Enter a Percentage between 0% and 100%");
    EXPECT_EQ(AnalogTipText(Analog(133, 0, 150, 1), Units::Imperial, 0),
              "Enter a Pressure between 0 and 150");
    EXPECT_EQ(AnalogTipText(Analog(130, -4, 4, 1000), Units::Metric, 0),
              "Enter a Position between -10.160 and 10.160");
    EXPECT_EQ(AnalogTipText(Analog(129, 0, 50, 10), Units::Imperial, 0),
              "Enter a value between 0.0 and 50.0");
    EXPECT_EQ(AnalogValuePattern(10), "0|[0-9]*[.]?[0-9]?|-[0-9]*[.]?[0-9]?");
}

TEST(DigitalThreshold, SwitchesAndLapTimes) {
    CDigitalSetup sw;
    sw.m_nType = 4;
    EXPECT_EQ(DigitalThresholdText(sw, 1), "On");
    EXPECT_EQ(DigitalThresholdText(sw, 0), "Off");
    EXPECT_EQ(DigitalThreshold(sw, "on"), 1);
    EXPECT_EQ(DigitalThreshold(sw, "OFF"), 0);
    sw.m_nInvert = 1;
    EXPECT_EQ(DigitalThresholdText(sw, 1), "Off");
    EXPECT_EQ(DigitalThresholdText(sw, 0), "On");
    EXPECT_EQ(DigitalThreshold(sw, "On"), 0);

    CDigitalSetup lap;
    lap.m_nType = 2;
    EXPECT_EQ(DigitalThresholdText(lap, 6550), "1:05.50");
    EXPECT_EQ(DigitalThresholdText(lap, 0), "0:00.00");
    EXPECT_EQ(DigitalThreshold(lap, "1:05.5"), 6550);
    EXPECT_EQ(DigitalThreshold(lap, "65.504"), 6550);
    EXPECT_TRUE(TimeLimitOk("5:27"));
    EXPECT_FALSE(TimeLimitOk("5:27.01"));
    EXPECT_TRUE(TimeLimitOk("59.999"));
}

TEST(AutoStartMinutes, LimitAtTheDefaultClock) {
    EXPECT_EQ(AutoStartPattern(200), "[0-5]|[0-5]?[.,][0-9]{0,2}");
    EXPECT_EQ(AutoStartTip(200), "Enter a value (in minutes) up to 5.46");
    EXPECT_EQ(AutoStartTimeForMinutes(200, "5.46"), 65521);
    EXPECT_EQ(AutoStartTimeForMinutes(200, "5,46"), 65521);
    EXPECT_FALSE(AutoStartTimeForMinutes(200, "5.47"));
    EXPECT_EQ(AutoStartTimeForMinutes(200, "2.5"), 30001);
    CTachConfig cfg;
    cfg.m_nAutoStartTime = 30001;
    EXPECT_EQ(AutoStartMinutesText(cfg), "2.50");
}

TEST(EquationEntries, ListsEnabledChannelsAndResolvesTerms) {
    CFreqSetup engine = Freq(1, 4);
    engine.m_strDescription = "Engine";
    CAnalogSetup a3 = Analog(133, 0, 100, 1), a5 = Analog(0, 0, 1, 1);
    a3.m_strDescription = "Oil";
    a5.m_strDescription = "Spare";
    CDigitalSetup t6;
    t6.m_nType = 3;
    t6.m_strDescription = "Trans";
    EquationChannels ch;
    ch.m_pFreq[0] = &engine;
    ch.m_pAnalog[2] = &a3;
    ch.m_pAnalog[4] = &a5;
    ch.m_pDigital[5] = &t6;
    CTachConfig cfg;
    cfg.m_nFreqStatus = 0x01;
    cfg.m_lAnalogStatus = 0x14;
    cfg.m_nTimerStatus = 0x02;
    const auto entries = EquationEntries(cfg, ch);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].m_strLabel, "Engine RPM");
    EXPECT_EQ(entries[1].m_strLabel, "Oil PSI");
    EXPECT_EQ(entries[2].m_strLabel, "Spare ");
    EXPECT_EQ(entries[3].m_strLabel, "Trans State");

    uint8_t c = 0xE4;  // analog 5
    EXPECT_EQ(ResolveTermEntry(entries, c), 2);
    c = 0xE9;  // analog 10 is not listed: the first analog entry takes its place
    EXPECT_EQ(ResolveTermEntry(entries, c), 1);
    EXPECT_EQ(c, 0xE2);
    c = 0xA5;  // digital 6
    EXPECT_EQ(ResolveTermEntry(entries, c), 3);

    cfg.m_nFreqStatus = 0;
    cfg.m_nTimerStatus = 0;
    const auto analogsOnly = EquationEntries(cfg, ch);
    c = 0x82;  // RPM 3, no RPM or digital entries: moves on to the analogs, channel 3 kept
    EXPECT_EQ(ResolveTermEntry(analogsOnly, c), 0);
    EXPECT_EQ(c, 0xE2);
    c = 0x80;
    EXPECT_EQ(ResolveTermEntry({}, c), -1);
}

TEST(EquationEntries, AbsoluteValueTermsShowTheMagnitude) {
    CAnalogSetup accel = Analog(135, -5, 5, 100, 1);  // inverted
    accel.m_strDescription = "Lateral";
    EquationChannels ch;
    ch.m_pAnalog[0] = &accel;
    CTachConfig cfg;
    cfg.m_lAnalogStatus = 0x01;
    const auto entries = EquationEntries(cfg, ch);
    // -1.50 on an inverted channel is raw 4095 - 1433.25.
    TermDisplay d = DescribeTerm(cfg, ch, entries, TachTerm{0xE0, 6, 2661, 1433});
    EXPECT_TRUE(d.m_bValid);
    EXPECT_EQ(d.m_nOperator, 6);
    EXPECT_EQ(d.m_strValue, "1.50");
    d = DescribeTerm(cfg, ch, entries, TachTerm{0xE0, 1, 2661, 0});
    EXPECT_EQ(d.m_nOperator, 3);  // stored ">" reads "<=" on an inverted channel
    EXPECT_EQ(d.m_strValue, "-1.50");
    d = DescribeTerm(cfg, ch, entries, TachTerm{0xE0, 12, 2661, 0});
    EXPECT_EQ(d.m_nOperator, 0);  // an operator beyond the list reads as the first
}

}  // namespace
}  // namespace orvex
