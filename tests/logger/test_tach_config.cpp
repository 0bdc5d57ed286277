// Logger configuration: wire records, text report and recording-time estimate.
#include <gtest/gtest.h>

#include "logger/config/TachConfig.h"
#include "logger/config/Thresholds.h"

namespace orvex {
namespace {

const std::string kRule = "----------------------------------------\r\n";

// RPM 1, 3 (no filter) and 5 (no kind); switches 1 and 3; a lap timer and a GPS timer;
// analog 1, 18 (no kind) and 20.
CTachConfig SampleConfig() {
    CTachConfig c;
    c.m_nActive = 0x81;
    c.m_nTimerStatus = 0x03;
    c.m_nSwitchStatus = 0x05;
    c.m_nFreqStatus = 0x15;
    c.m_lAnalogStatus = 0x000A0001;
    c.m_switch[1] = 2;
    c.m_switch[2] = 0;
    c.m_switch[3] = 4;
    c.m_timer[0] = {2, 1, 300, 5000};
    c.m_timer[1] = {5, 3, 50, 1000};
    c.m_freq[1] = {20, 2, 10};
    c.m_freq[2] = {10, 1, 0x4B};
    c.m_freq[4] = {10, 4, 0x40};
    c.m_analog[0] = {5, 13};
    c.m_analog[17] = {10, 0};
    c.m_analog[19] = {50, 25};
    return c;
}

TEST(TachConfig, DefaultsReportNothingAndHaveNoRecordingTime) {
    CTachConfig c;
    EXPECT_EQ(c.m_nClockRate, 200);
    EXPECT_EQ(c.m_fPcaClock, 307200.0f);
    EXPECT_EQ(c.m_freq[0].m_nKind, 1);
    EXPECT_EQ(c.m_freq[1].m_nKind, 10);
    EXPECT_EQ(c.m_switch[3], 1);
    EXPECT_EQ(c.m_timer[1], (TachTimer{1, 2, 50, 5000}));
    EXPECT_EQ(c.m_nAutoStartTime, 1);
    EXPECT_EQ(c.Report(), "");
    EXPECT_EQ(c.RecordingTimeText(1), "N/A");
    CTachConfig copy(SampleConfig());
    EXPECT_EQ(copy, SampleConfig());
}

TEST(TachConfig, FormsFollowTheAnnouncedBlockSize) {
    struct Case {
        long block;
        int analogs;
        bool equations;
        std::size_t record;
    };
    for (const Case& k : {Case{316, 19, false, 79}, Case{324, 20, false, 81},
                          Case{976, 19, true, 244}, Case{984, 20, true, 246}}) {
        auto form = TachRecordForm::FromBlockSize(k.block);
        ASSERT_TRUE(form) << k.block;
        EXPECT_EQ(*form, (TachRecordForm{k.analogs, k.equations}));
        EXPECT_EQ(form->RecordSize(), k.record);
        EXPECT_EQ(form->BlockSize(), static_cast<std::size_t>(k.block));
    }
    EXPECT_FALSE(TachRecordForm::FromBlockSize(980));
    EXPECT_FALSE(TachRecordForm::FromBlockSize(0));
}

TEST(TachConfig, ShortRecordWith19AnalogsMatchesTheLayoutByteForByte) {
    const std::vector<uint8_t> expected = {
        0x81, 0x03, 0x05, 0x14, 0x15,                    // active, timers, switches, divider, RPM
        0x00, 0x0A, 0x00, 0x01,                          // analog status
        0x01, 0x02, 0x00, 0x04,                          // switch kinds
        0x02, 0x01, 0x01, 0x2C, 0x13, 0x88,              // timer 1
        0x05, 0x03, 0x00, 0x32, 0x03, 0xE8,              // timer 2
        0x0A, 0x04, 0x01, 0x14, 0x02, 0x0A, 0x0A, 0x01,  // RPM 1 to 5
        0x4B, 0x0A, 0x04, 0x0A, 0x0A, 0x04, 0x40,        //
        0x05, 0x0D,                                      // analog 1
        0x0A, 0x01, 0x0A, 0x01, 0x0A, 0x01, 0x0A, 0x01,  // analog 2 to 17
        0x0A, 0x01, 0x0A, 0x01, 0x0A, 0x01, 0x0A, 0x01,  //
        0x0A, 0x01, 0x0A, 0x01, 0x0A, 0x01, 0x0A, 0x01,  //
        0x0A, 0x01, 0x0A, 0x01, 0x0A, 0x01, 0x0A, 0x01,  //
        0x0A, 0x00, 0x0A, 0x01,                          // analog 18 and 19
        0x8A};                                           // checksum
    EXPECT_EQ(SampleConfig().EncodeRecord({19, false}), expected);
}

TEST(TachConfig, LongRecordPlacesEquationsAfterTheAnalogs) {
    CTachConfig c = SampleConfig();
    c.m_nActive = 0x7E;  // only bit 0 goes on the wire, with bit 7 set
    c.m_nEqnFlags = 0x41;
    c.m_nAutoStartTime = 0x1234;
    c.m_eqn[0][0] = {0xF0, 7, 0x0599, 0x0A66};
    c.m_eqn[2][8] = {0x81, 2, 0xFFFE, 0xABCD};
    const std::vector<uint8_t> r = c.EncodeRecord({20, true});
    ASSERT_EQ(r.size(), 246u);
    EXPECT_EQ(r[0], 0x80);
    EXPECT_EQ(
        std::vector<uint8_t>(r.begin() + 78, r.begin() + 89),
        (std::vector<uint8_t>{0x32, 0x19, 0x41, 0x12, 0x34, 0xF0, 0x07, 0x05, 0x99, 0x0A, 0x66}));
    EXPECT_EQ(std::vector<uint8_t>(r.begin() + 239, r.begin() + 245),
              (std::vector<uint8_t>{0x81, 0x02, 0xFF, 0xFE, 0xAB, 0xCD}));
    EXPECT_EQ(CTachConfig::RecordSum(r.data(), r.size()), 0);
    EXPECT_EQ(c.EncodeRecord({19, true}).size(), 244u);
    EXPECT_EQ(c.EncodeRecord({19, true})[78], 0x41);  // flags right after 19 analogs
}

TEST(TachConfig, LongRecordReadsBackEveryField) {
    CTachConfig c = SampleConfig();
    c.m_nEqnFlags = 0xC5;
    c.m_nAutoStartTime = 30001;
    for (int e = 0; e < 3; ++e)
        for (int k = 0; k < 9; ++k)
            c.m_eqn[e][k] = {static_cast<uint8_t>(0x80 | (e * 9 + k)), static_cast<uint8_t>(k),
                             static_cast<uint16_t>(1000 * e + k), static_cast<uint16_t>(60000 - k)};
    CTachConfig back;
    ASSERT_EQ(back.DecodeRecord(c.EncodeRecord({20, true}), {20, true}), TachDecode::Read);
    EXPECT_EQ(back, c);
}

TEST(TachConfig, ShortRecordClearsTheEquationsAndKeepsAnAbsentTwentiethAnalog) {
    CTachConfig c = SampleConfig();
    CTachConfig back;
    back.m_eqn[1][4] = {0x83, 2, 77, 88};
    back.m_analog[19] = {7, 7};
    ASSERT_EQ(back.DecodeRecord(c.EncodeRecord({19, false}), {19, false}), TachDecode::Read);
    EXPECT_EQ(back.m_nEqnFlags, 0x38);
    EXPECT_EQ(back.m_nAutoStartTime, 1);
    EXPECT_EQ(back.m_eqn[1][4], TachTerm{});
    EXPECT_EQ(back.m_analog[19], (TachAnalog{7, 7}));
    EXPECT_EQ(back.m_analog[0], c.m_analog[0]);
    EXPECT_EQ(back.m_timer[1], c.m_timer[1]);
}

TEST(TachConfig, UnusableRecordsLeaveTheConfigurationAlone) {
    const TachRecordForm form{20, false};
    std::vector<uint8_t> r = SampleConfig().EncodeRecord(form);
    const CTachConfig before;
    CTachConfig c;

    std::vector<uint8_t> badSum = r;
    badSum[10] ^= 0x01;
    EXPECT_EQ(c.DecodeRecord(badSum, form), TachDecode::BadChecksum);

    std::vector<uint8_t> shortRec(r.begin(), r.end() - 1);
    EXPECT_EQ(c.DecodeRecord(shortRec, form), TachDecode::BadSize);
    EXPECT_EQ(c.DecodeRecord(r, {20, true}), TachDecode::BadSize);
    EXPECT_EQ(c.DecodeRecord(nullptr, 0, form), TachDecode::BadSize);

    std::vector<uint8_t> empty = r;  // bit 7 clear: no configuration in this slot
    empty[0] &= 0x7F;
    empty.back() = static_cast<uint8_t>(empty.back() + 0x80);
    EXPECT_EQ(c.DecodeRecord(empty, form), TachDecode::Skipped);
    EXPECT_EQ(c, before);
}

TEST(TachConfig, FirstRpmChannelWithItsDefaults) {
    CTachConfig c;
    c.m_nFreqStatus = 0x01;
    EXPECT_EQ(c.Report(),
              "RPM Configuration:\r\n" + kRule + "#1: Eight Cylinder @ 20 Hz with 4 PPR\r\n\r\n");
}

TEST(TachConfig, ReportOfChannelSections) {
    const std::string expected =
        "RPM Configuration:\r\n" + kRule +
        "#1: Eight Cylinder @ 20 Hz with 4 PPR\r\n"
        "#3: Front Wheel @ 20 Hz with 1 PPR & No Filter\r\n"
        "#5: Unknown @ 20 Hz with 4 PPR\r\n"
        "\r\n"
        "Switch Configuration:\r\n" +
        kRule +
        "#1: Generic @ 10 Hz\r\n"
        "#3: Unknown @ 10 Hz\r\n"
        "\r\n"
        "Timer Configuration:\r\n" +
        kRule +
        "#1: Lap Timer when Opening with 300 Max Events and 25000 mSec Min Time\r\n"
        "#2: GPS Receiver\r\n"
        "\r\n"
        "Analog Configuration:\r\n" +
        kRule +
        "#1: Front-Rear Accel @ 40 Hz\r\n"
        "#18:Unknown @ 20 Hz\r\n"
        "#20: Battery Voltage @ 4 Hz\r\n"
        "\r\n";
    EXPECT_EQ(SampleConfig().Report(), expected);

    CTachConfig c;
    c.m_nTimerStatus = 0x02;
    c.m_timer[1] = {0, 9, 12, 100};
    c.m_lAnalogStatus = 1 << 19;
    c.m_analog[19].m_nKind = 0;
    EXPECT_EQ(c.Report(),
              "Timer Configuration:\r\n" + kRule +
                  "#2: Unknown on Unknown with Max Events: 12 and Min Time: 500 mSec\r\n"
                  "\r\nAnalog Configuration:\r\n" +
                  kRule + "#20: Battery Voltage @ 20 Hz\r\n\r\n");
}

// Default setups for the equation texts: engine RPM 1, accelerometer 1, brake switch 1 and a
// lap timer on input 5.
struct Setups {
    CFreqSetup engine;
    CAnalogSetup accel;
    CDigitalSetup brake, lap;
    EquationChannels channels;
    Setups() {
        engine.m_strDescription = "Engine";
        engine.m_nRpmType = 1;
        engine.m_nPPR = 4;
        accel.m_strDescription = "Lateral";
        accel.m_nType = 135;
        accel.m_nResolution = 100;
        accel.m_fMin = -5;
        accel.m_fMax = 5;
        brake.m_strDescription = "Brake";
        brake.m_nType = 4;
        lap.m_strDescription = "Lap";
        lap.m_nType = 2;
        lap.m_nChannel = 5;
        channels.m_pFreq[0] = &engine;
        channels.m_pAnalog[0] = &accel;
        channels.m_pDigital[0] = &brake;
        channels.m_pDigital[4] = &lap;
    }
};

TEST(TachConfig, AutoStartEquationBracketsGroupsAndConvertsValues) {
    Setups s;
    CTachConfig c;
    c.m_nFreqStatus = 0x01;
    c.m_lAnalogStatus = 0x01;
    c.m_nSwitchStatus = 0x01;
    c.m_nTimerStatus = 0x01;
    c.m_nEqnFlags = 0xC1;
    c.m_nAutoStartTime = 30001;
    c.m_eqn[0][0] = {0x80, 1, 4608, 0};     // RPM, stored ">" shows as "<="
    c.m_eqn[0][1] = {0xE0, 6, 2661, 1433};  // analog |x| >
    c.m_eqn[0][4] = {0xC4, 2, 6550, 0};     // lap time >=
    c.m_eqn[0][8] = {0xA0, 0, 1, 0};        // switch = On
    const std::string expected = "Auto-Start Recording for 2.50 minutes then Pause when:\r\n" +
                                 kRule +
                                 "{(Engine RPM    <= 1000) AND (ABS(Lateral G's)  > 1.50)}"
                                 "\r\n\tOR\r\n(Lap Time    >= 1:05.50)"
                                 "\r\n\tOR\r\n(Brake State    = On)\r\n\r\n";
    EXPECT_EQ(c.ReportEquation(0, &s.channels), expected);
    EXPECT_EQ(c.Report(&s.channels).substr(c.Report(&s.channels).size() - expected.size()),
              expected);
}

TEST(TachConfig, OutputEquationsJoinNeighboursWithAnd) {
    CTachConfig c;  // no setups: terms name their channel and show the raw value
    c.m_nEqnFlags = 0x06;
    for (int k : {0, 1, 2, 3, 5}) c.m_eqn[1][k] = {static_cast<uint8_t>(0x80 + k), 0, 10, 0};
    c.m_eqn[2][7] = {0xE5, 5, 3, 0};
    EXPECT_EQ(c.ReportEquation(1, nullptr),
              "Output #1 turns On when:\r\n" + kRule +
                  "{(RPM #1    = 10) AND (RPM #2    = 10) AND (RPM #3    = 10)}"
                  "\r\n\tOR\r\n{(RPM #4    = 10) AND (RPM #6    = 10)}\r\n\r\n");
    EXPECT_EQ(c.ReportEquation(2, nullptr),
              "Output #2 turns On when:\r\n" + kRule + "(Analog #6    <> 3)\r\n\r\n");
    c.m_nEqnFlags = 0x02;
    EXPECT_EQ(c.ReportEquation(2, nullptr), "");
}

TEST(TachConfig, EquationFlagFollowsTheTermsInUse) {
    CTachConfig c;
    c.m_eqn[2][5].m_nChannel = 0x80;
    EXPECT_TRUE(c.UpdateEquationFlag(2));
    EXPECT_EQ(c.m_nEqnFlags, 0x04);
    c.m_eqn[2][5].m_nChannel = 0x00;
    EXPECT_FALSE(c.UpdateEquationFlag(2));
    EXPECT_EQ(c.m_nEqnFlags, 0x00);
}

TEST(TachConfig, RecordingTime) {
    CTachConfig c;
    c.m_nFreqStatus = 0x01;  // 2 x 20 bytes a second
    EXPECT_EQ(c.BytesPerSecond(), 40);
    EXPECT_EQ(c.RecordingTimeText(1), "14 Hr, 33 Min, 49 Sec.");  // 2097184 / 40 = 52429 s
    c.m_nTimerStatus = 0x01;                                      // 4 bytes per event, 50 events
    EXPECT_EQ(c.RecordingTimeText(8), "1 Hr, 49 Min, 8 Sec.");    // (262148 - 200) / 40
    c.m_nTimerStatus = 0x03;
    c.m_timer[1].m_nKind = 5;                                    // a GPS receiver ends the sum
    EXPECT_EQ(c.RecordingTimeText(8), "1 Hr, 30 Min, 56 Sec.");  // (261948 - 18) / 48
    CTachConfig fast;
    fast.m_lAnalogStatus = 0xFFFFF;
    fast.m_nSwitchStatus = 0x01;
    for (auto& a : fast.m_analog) a.m_nDivider = 1;
    EXPECT_EQ(fast.BytesPerSecond(), 20 * 400 + 10);
    EXPECT_EQ(fast.RecordingTimeText(8), "0 Min, 32 Sec.");
}

}  // namespace
}  // namespace orvex
