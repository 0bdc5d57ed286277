#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "logger/LinkTestSupport.h"
#include "logger/live/LiveData.h"
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

// The line pulled: the logger's terminal goes away with it. ReConnect while it is gone says
// so and stays disconnected; once a logger is back on the same device the port is opened
// again and polling resumes without asking the logger for its channels again.
TEST_F(LiveDataTest, ReconnectOpensThePortAgainWhenTheLineWentAway) {
    const std::string device = TempPath("logger");
    std::optional<test::SimProcess> sim;
    sim.emplace(SimArgs({"--rpm", "1", "--link", device}));
    ASSERT_TRUE(sim->Started());
    auto sheet = Sheet(device);
    ASSERT_TRUE(sheet->Start()) << ::testing::PrintToString(m_host.MessageTexts());
    sheet->ActivatePage(0);
    ASSERT_TRUE(sheet->Poll());
    sim.reset();  // the simulator is killed: its terminal and the link to it are gone
    EXPECT_FALSE(sheet->Poll());
    EXPECT_TRUE(sheet->IsDisconnected());

    m_host.messages.clear();
    EXPECT_FALSE(sheet->Reconnect());
    EXPECT_TRUE(sheet->IsDisconnected());
    EXPECT_EQ(sheet->ButtonCaption(), "ReConnect");
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_NE(m_host.messages[0].text.find(device), std::string::npos) << m_host.messages[0].text;

    sim.emplace(SimArgs({"--rpm", "1", "--link", device}));
    ASSERT_TRUE(sim->Started());
    sheet->Pages()[0]->Gauges()[0].m_window.clear();
    m_host.messages.clear();
    ASSERT_TRUE(sheet->Reconnect()) << ::testing::PrintToString(m_host.MessageTexts());
    const long replies = sheet->Replies();
    ASSERT_TRUE(sheet->Poll());
    EXPECT_EQ(sheet->Replies(), replies + 1);
    EXPECT_DOUBLE_EQ(sheet->Pages()[0]->Gauges()[0].m_fValue, 3.0);
    EXPECT_TRUE(m_host.messages.empty());
    sheet->Close();
    const std::vector<uint8_t> log = SimLog();  // the second logger's
    EXPECT_EQ(Count(log, {0x97}), 0);
    EXPECT_TRUE(Contains(log, {0xED, 0x01, 0xEF}));
}

// Zeroing takes only readings that can be trusted: a gauge that has had no reading yet or one
// whose sensor sits at the end of the converter's range keeps its setup, and one warning names
// every channel left as it was.
TEST(LiveDataZeroing, ReadingsAtTheEndOfTheRangeOrMissingAreRefusedWithOneMessage) {
    CountingLine line;
    test::FakeHost host;
    CCarSetup car;
    car.m_analog = {Analog(1, kAnalog2Shock, "Shock-LF"), Analog(2, kAnalog2Shock, "Shock-RF"),
                    Analog(17, kAnalog2Accel, "LEFT-RIGHT"), Analog(18, kAnalog2Accel, "FWD-BACK"),
                    Analog(19, kAnalog2Accel, "UP-DOWN")};
    CLiveDataSheet sheet(line, host, CLinkOptions{}, car, Units::Imperial, 0.0f, true, false);
    ASSERT_TRUE(sheet.Start());
    ASSERT_EQ(Titles(sheet), (std::vector<std::string>{"Shocks", "Accels"}));
    auto& shocks = sheet.Pages()[0]->Gauges();
    auto& accels = sheet.Pages()[1]->Gauges();
    shocks[0].m_window.assign(8, 0);     // unplugged
    shocks[1].m_window.assign(8, 1800);  // fine
    accels[0].m_window.assign(8, 4095);  // shorted to the supply
    accels[1].m_window.clear();          // no reading yet
    accels[2].m_window.assign(8, 2500);  // fine
    for (auto* g : {&shocks[1], &accels[2]}) g->m_fValue = 0.37;
    const CCarSetup before = sheet.CarSetup();

    EXPECT_FALSE(sheet.CalibrateAccels());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, Icon::Warning);
    const std::string& text = host.messages[0].text;
    EXPECT_EQ(text.rfind("\"LEFT-RIGHT\" is left as it was. The sensor reads 4095, at or beyond "
                         "the end of its range (0 to 4095).",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\n\n\"FWD-BACK\" is left as it was. It has no reading yet"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("UP-DOWN"), std::string::npos);
    const auto offset = [&](int ch) { return sheet.CarSetup().FindAnalogSetup(ch)->m_fOffset; };
    EXPECT_EQ(offset(17), before.FindAnalogSetup(17)->m_fOffset);
    EXPECT_EQ(offset(18), before.FindAnalogSetup(18)->m_fOffset);
    // The good one is zeroed: it showed 0.37 g where it should read one g.
    EXPECT_NEAR(sheet.CarSetup().FindAnalogSetup(19)->GetOffset(Units::Imperial),
                before.FindAnalogSetup(19)->GetOffset(Units::Imperial) - 0.63, 1e-4);

    host.messages.clear();
    EXPECT_FALSE(sheet.CalibrateShocks({1, 2}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text.rfind("\"Shock-LF\" is left as it was. The sensor reads 0,", 0),
              0u);
    EXPECT_EQ(offset(1), before.FindAnalogSetup(1)->m_fOffset);
    EXPECT_NE(offset(2), before.FindAnalogSetup(2)->m_fOffset);
    // Readings that can be used: no message at all.
    host.messages.clear();
    EXPECT_TRUE(sheet.CalibrateShocks({2}));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(line.writes, 0);
}

}  // namespace orvex
