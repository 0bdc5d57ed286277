#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "logger/LinkTestSupport.h"
#include "logger/LiveData.h"
#include "model/TimeFormat.h"

namespace orvex {

namespace {

using test::Contains;
using test::Count;

CAnalogSetup Analog(int channel, int32_t code, const std::string& name) {
    CAnalogSetup s;
    s.m_nChannel = channel;
    s.ChooseType(code);
    s.m_strDescription = name;
    return s;
}

CDigitalSetup Digital(int channel, int32_t type, const std::string& name) {
    CDigitalSetup s;
    s.m_nChannel = channel;
    s.m_nType = type;
    s.m_strDescription = name;
    return s;
}

std::vector<std::string> Titles(CLiveDataSheet& sheet) {
    std::vector<std::string> out;
    for (auto& p : sheet.Pages()) out.push_back(p->Title());
    return out;
}

// A serial line that counts what would be written and never opens.
class CountingLine : public ISerialLine {
  public:
    int opens = 0, writes = 0;
    bool Open(const std::string&, const std::string&) override { return ++opens, false; }
    bool SetSettings(const std::string&) override { return false; }
    bool IsOpen() const override { return false; }
    void Close() override {}
    std::size_t BytesWaiting() override { return 0; }
    std::size_t Read(uint8_t*, std::size_t) override { return 0; }
    void Write(const uint8_t*, std::size_t) override { ++writes; }
    void DiscardInput() override {}
    bool WaitForInput(std::size_t, int) override { return false; }
    std::string LastError() const override { return "closed"; }
};

class LiveDataTest : public test::LinkTest {
  protected:
    void SetUp() override {
        test::LinkTest::SetUp();
        for (int ch = 1; ch <= 5; ++ch)
            m_car.m_rpm.push_back(CFreqSetup::Make(ch, ch == 1 ? kRpmEightCylinder : kRpmDriveShaft,
                                                   Units::Imperial));
        m_car.m_rpm[0].m_nPPR = 4;
    }
    std::unique_ptr<CLiveDataSheet> Sheet(const std::string& device, bool demo = false) {
        m_line = MakePosixSerialLine();
        return std::make_unique<CLiveDataSheet>(*m_line, m_host, Options(device), m_car,
                                                Units::Imperial, 0.0f, demo, false);
    }

    CCarSetup m_car;
    std::unique_ptr<ISerialLine> m_line;
};

}  // namespace

TEST_F(LiveDataTest, ARecordingLoggerRefusesLiveData) {
    test::SimProcess sim(SimArgs({"--recording"}));
    auto sheet = Sheet(sim.Path());
    EXPECT_FALSE(sheet->Start());
    EXPECT_EQ(
        m_host.MessageTexts(),
        (std::vector<std::string>{"Live Data while Data Logger is recording is NOT recommended!",
                                  "Live Data request NOT allowed at this Time!"}));
    EXPECT_TRUE(sheet->Pages().empty());
    EXPECT_EQ(m_host.titles.front(), "Establishing Live Data with Kavrane Data");
}

TEST_F(LiveDataTest, PagesFollowTheLoggersChannelsAndTheSetups) {
    m_car.m_analog = {Analog(2, kAnalog2Shock, "Shock-LF"), Analog(5, kAnalog2Egt, "EGT #1")};
    m_car.m_digital = {Digital(2, kDigitalSwitch, "Brake"), Digital(5, kDigitalLapTimer, "Lap")};
    test::SimProcess sim(SimArgs(
        {"--rpm", "1,2,3,4,5", "--analog", "2,5,7", "--switches", "2,3", "--timers", "1,2"}));
    auto sheet = Sheet(sim.Path());
    ASSERT_TRUE(sheet->Start()) << ::testing::PrintToString(m_host.MessageTexts());
    EXPECT_EQ(Titles(*sheet), (std::vector<std::string>{"RPM/MPH", "RPM Sensors", "RPM/MPH",
                                                        "Shocks", "EGTs", "Switches and Timers"}));
    EXPECT_EQ(sheet->Pages()[0]->Gauges().size(), 4u);
    EXPECT_EQ(sheet->Pages()[1]->Gauges().size(), 5u);
    EXPECT_EQ(sheet->Pages()[2]->Gauges().size(), 1u);
    EXPECT_EQ(m_host.MessageTexts(),
              (std::vector<std::string>{
                  "Can NOT find an Analog configuration for Channel #7!\nChannel will be ignored.",
                  "Can NOT find a Digital Switch configuration for Channel #3!\nChannel will be "
                  "ignored.",
                  "Can NOT find a Timer configuration for Channel #2!\nChannel will be ignored."}));
    EXPECT_EQ(sheet->AnalogMask(), 0x12u);
    EXPECT_EQ(sheet->SwitchMask(), 0x02);
    EXPECT_EQ(sheet->TimerMask(), 0x01);
    // Timers come before switches; the pages' select commands carry their masks.
    const CLivePropertyPage& sw = *sheet->Pages()[5];
    EXPECT_EQ(sw.Gauges()[0].m_nChannel, 5);
    EXPECT_EQ(sw.ReplyBytes(), 6u);
    EXPECT_EQ(sw.SelectCommand(true), (std::vector<uint8_t>{0xEB, 0x01, 0xEC, 0x02}));
    EXPECT_EQ(sheet->Pages()[3]->SelectCommand(true),
              (std::vector<uint8_t>{0xEE, 0x02, 0x00, 0x00, 0x00}));
    EXPECT_EQ(sheet->Pages()[0]->SelectCommand(false), (std::vector<uint8_t>{0xED, 0x00}));
    EXPECT_TRUE(sheet->CarSetup().FindAnalogSetup(2)->m_nBits == 12);
    sheet->Close();
    EXPECT_TRUE(LogEndsWith(
        std::vector<uint8_t>(std::begin(kLiveDeselectAll), std::end(kLiveDeselectAll))));
}

TEST_F(LiveDataTest, DemoModeBuildsPagesFromTheSetupsWithoutThePort) {
    for (int ch = 1; ch <= 9; ++ch)
        m_car.m_analog.push_back(Analog(ch, kAnalog2Egt, "EGT #" + std::to_string(ch)));
    m_car.m_digital = {Digital(6, kDigitalEventTimer, "Trans-Brake")};
    CountingLine line;
    CLiveDataSheet sheet(line, m_host, Options("/nonexistent"), m_car, Units::Imperial, 0.0f, true,
                         false);
    ASSERT_TRUE(sheet.Start());
    EXPECT_EQ(Titles(sheet), (std::vector<std::string>{"RPM/MPH", "RPM Sensors", "RPM/MPH", "EGTs",
                                                       "EGTs", "Switches and Timers"}));
    EXPECT_EQ(sheet.TimerMask(), 0x02);
    sheet.ActivatePage(3);
    EXPECT_TRUE(sheet.Poll());
    sheet.CalibrateAccels();
    sheet.Close();
    EXPECT_EQ(line.opens, 0);
    EXPECT_EQ(line.writes, 0);
    EXPECT_TRUE(m_host.messages.empty());
}

TEST_F(LiveDataTest, PollsShowMeansAndABadChecksumChangesNothing) {
    CAnalogSetup lr = Analog(17, kAnalog2Accel, "LEFT-RIGHT");
    CAnalogSetup ud = Analog(19, kAnalog2Accel, "UP-DOWN");
    m_car.m_analog = {lr, ud};
    m_car.m_digital = {Digital(1, kDigitalSwitch, "Throttle"), Digital(5, kDigitalLapTimer, "Lap")};
    test::SimProcess sim(SimArgs({"--rpm", "1", "--analog", "17,19", "--switches", "1", "--timers",
                                  "1", "--bad-poll", "2"}));
    auto sheet = Sheet(sim.Path());
    ASSERT_TRUE(sheet->Start()) << ::testing::PrintToString(m_host.MessageTexts());
    ASSERT_EQ(Titles(*sheet), (std::vector<std::string>{"RPM/MPH", "RPM Sensors", "Accels",
                                                        "Switches and Timers"}));
    sheet->ActivatePage(0);
    ASSERT_TRUE(sheet->Poll());
    // 1536 counts a pulse of a 307200 Hz clock at 4 pulses a revolution: 3000 RPM.
    EXPECT_DOUBLE_EQ(sheet->Pages()[0]->Gauges()[0].m_fValue, 3.0);

    sheet->ActivatePage(2);  // poll 2 comes back with a bad checksum
    ASSERT_TRUE(sheet->Poll());
    EXPECT_FALSE(sheet->IsDisconnected());
    for (const LiveGauge& g : sheet->Pages()[2]->Gauges()) {
        EXPECT_EQ(g.m_fValue, 0.0);
        EXPECT_TRUE(g.m_window.empty());
    }
    ASSERT_TRUE(sheet->Poll());
    const auto& accels = sheet->Pages()[2]->Gauges();
    EXPECT_EQ(accels[0].m_window, std::vector<int32_t>(8, 1000 + 100 * 17));
    EXPECT_DOUBLE_EQ(accels[0].m_fValue,
                     lr.Convert(2700, Units::Imperial, 0) / static_cast<double>(lr.m_nResolution));
    sheet->CalibrateAccels();
    const CAnalogSetup* lr2 = sheet->CarSetup().FindAnalogSetup(17);
    const CAnalogSetup* ud2 = sheet->CarSetup().FindAnalogSetup(19);
    EXPECT_NEAR(lr2->Convert(2700, Units::Imperial, 0) / double(lr2->m_nResolution), 0.0, 0.011);
    EXPECT_NEAR(ud2->Convert(2900, Units::Imperial, 0) / double(ud2->m_nResolution), 1.0, 0.011);

    sheet->ActivatePage(3);
    ASSERT_TRUE(sheet->Poll());
    const auto& sw = sheet->Pages()[3]->Gauges();
    EXPECT_EQ(sw[0].m_strCaption, "Lap: " + FormatTime(110000, 3));
    EXPECT_TRUE(sw[1].m_bIndicator);
    EXPECT_EQ(test::Count(SimLog(), {0xEF}), 4);
}

TEST_F(LiveDataTest, ReconnectSelectsTheActivePageAgain) {
    test::SimProcess sim(SimArgs({"--rpm", "1", "--silent-polls", "2:6"}));
    auto sheet = Sheet(sim.Path());
    ASSERT_TRUE(sheet->Start());
    sheet->ActivatePage(0);
    ASSERT_TRUE(sheet->Poll());
    EXPECT_FALSE(sheet->Poll());
    EXPECT_TRUE(sheet->IsDisconnected());
    EXPECT_EQ(sheet->ButtonCaption(), "ReConnect");
    EXPECT_EQ(m_host.MessageTexts(),
              std::vector<std::string>{"Data Logger did NOT respond to Host Inquiry."});
    ASSERT_TRUE(sheet->Reconnect());
    EXPECT_EQ(sheet->ButtonCaption(), "Calibrate");
    EXPECT_TRUE(Showed(2, "Re-Establishing Connection..."));
    ASSERT_TRUE(sheet->Poll());
    EXPECT_DOUBLE_EQ(sheet->Pages()[0]->Gauges()[0].m_fValue, 3.0);
    const std::vector<uint8_t> log = SimLog();
    EXPECT_EQ(Count(log, {0xED, 0x01}), 2);
    EXPECT_EQ(Count(log, {0x97}), 1);  // the reconnect does not ask again
}

}  // namespace orvex
