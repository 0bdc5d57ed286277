#include <gtest/gtest.h>

#include "logger/config/ConfigDialog.h"
#include "logger/config/ConfigPages.h"
#include "support/FakeHost.h"

namespace orvex {

TEST(ConfigDialog, OpensOnTheActiveConfigurationAndKeepsOneActive) {
    std::array<CTachConfig, 4> configs;
    CLoggerConfigDlg none(configs, 1, {});
    EXPECT_EQ(none.ShownIndex(), 0);
    EXPECT_FALSE(none.ActiveChecked());
    EXPECT_EQ(none.RecordingTime(), "N/A");

    configs[0].m_nActive = configs[1].m_nActive = configs[3].m_nActive = 1;
    CLoggerConfigDlg dlg(configs, 8, {});
    EXPECT_EQ(dlg.SegmentPosition(), 3);
    EXPECT_EQ(dlg.OkSegments(), 8);
    dlg.SelectConfiguration(2);
    dlg.SetActive(true);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dlg.Work().configs[static_cast<std::size_t>(i)].m_nActive & 1, i == 2 ? 1 : 0);
    dlg.SetActive(false);
    EXPECT_FALSE(dlg.ActiveChecked());
    dlg.SetSegmentPosition(1);
    EXPECT_EQ(dlg.OkSegments(), 2);
}

TEST(ConfigDialog, FocusTabFollowsTheEnabledChannels) {
    struct Case {
        uint8_t rpm, switches;
        int32_t analogs;
        int tab;
    };
    for (const Case& c : {Case{1, 1, 1, kTabRpm}, Case{0, 1, 4, kTabAnalog},
                          Case{0, 2, 0, kTabSwitches}, Case{0, 0, 0, kTabTimers}}) {
        std::array<CTachConfig, 4> configs;
        configs[0].m_nFreqStatus = c.rpm;
        configs[0].m_nSwitchStatus = c.switches;
        configs[0].m_lAnalogStatus = c.analogs;
        EXPECT_EQ(CLoggerConfigDlg(configs, 1, {}).FocusTab(), c.tab);
    }
}

TEST(ConfigDialog, ReportLinesLeadToTabsAndChannels) {
    std::array<CTachConfig, 4> configs;
    configs[0].m_nFreqStatus = 0x05;  // RPM 1 and 3
    configs[0].m_nSwitchStatus = 0x02;
    CLoggerConfigDlg dlg(configs, 1, {});
    EXPECT_EQ(dlg.SectionLines(kTabRpm), 5);
    EXPECT_EQ(dlg.FirstLineOfTab(kTabSwitches), 5);
    EXPECT_EQ(dlg.FirstLineOfTab(kTabAnalog), 9);
    struct Case {
        int line, tab, channel;
    };
    for (const Case& c : {Case{0, kTabRpm, -1}, Case{2, kTabRpm, 1}, Case{3, kTabRpm, 3},
                          Case{4, kTabRpm, -1}, Case{7, kTabSwitches, 2}}) {
        const ReportTarget t = dlg.TargetOfLine(c.line);
        EXPECT_EQ(t.tab, c.tab) << c.line;
        EXPECT_EQ(t.channel, c.channel) << c.line;
    }
    EXPECT_EQ(dlg.TargetOfLine(40).tab, -1);
}

TEST(ConfigPages, RateAndDescriptionLists) {
    EXPECT_EQ(RateList(200), (std::vector<int>{1, 2, 4, 5, 8, 10, 20, 25, 40, 50, 100, 200}));
    EXPECT_EQ(AnalogRateList(200, 15).back(), 25);
    EXPECT_EQ(AnalogRateList(200, 2).back(), 200);
    EXPECT_EQ(AnalogDescriptions(20), std::vector<std::string>{"Battery Voltage"});
    EXPECT_EQ(AnalogKindOfPosition(20, 0), 11);
    EXPECT_EQ(AnalogDescriptions(18).size(), 3u);
    EXPECT_EQ(AnalogKindOfPosition(18, 2), 14);
    EXPECT_EQ(AnalogDescriptions(3).size(), 25u);
    EXPECT_EQ(SuggestedAnalogRate(1), 100);
    EXPECT_EQ(SuggestedTimerMs(2), 2500);
    EXPECT_EQ(DefaultPulses(1 | 0x40), 4);
    std::string message;
    EXPECT_EQ(ReadBoundedInteger("20", 0, 20, &message), 20);
    EXPECT_FALSE(ReadBoundedInteger("21", 0, 20, &message));
    EXPECT_EQ(message, "Please enter an integer between 0 and 20.");
    EXPECT_FALSE(ReadBoundedInteger("0", 1, 500, &message));
    EXPECT_EQ(message, "Please enter an integer between 1 and 500.");
}

TEST(ConfigPages, OnlyOneLapTimerAndOneGpsReceiver) {
    test::FakeHost host;
    CTachConfig cfg;
    cfg.m_timer[0].m_nKind = 2;
    cfg.m_timer[1].m_nKind = 3;
    EXPECT_FALSE(StoreTimerKind(cfg, 1, 1, host));
    EXPECT_EQ(cfg.m_timer[1].m_nKind, 3);
    EXPECT_TRUE(StoreTimerKind(cfg, 1, 4, host));
    EXPECT_EQ(cfg.m_timer[1].m_nKind, 5);
    EXPECT_EQ(cfg.m_timer[1].m_nTrigger, 2);
    EXPECT_FALSE(StoreTimerKind(cfg, 0, 4, host));
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{"Only one channel may be configured for a Lap Timer Input.",
                                        "Only one channel may be configured for a GPS Receiver "
                                        "Input."}));
}

TEST(EquationPage, FieldsMatchWholeTextsAndRowsNeedChannels) {
    test::FakeHost host;
    CFilteredEdit f;
    ASSERT_TRUE(f.SetRegEx(kRpmValuePattern, host));
    EXPECT_TRUE(f.Matches("1000"));
    EXPECT_TRUE(f.Matches("+25"));
    EXPECT_FALSE(f.Matches("1000a"));
    EXPECT_FALSE(f.Matches("01"));
    ASSERT_TRUE(f.SetRegEx(kTimeValuePattern, host));
    EXPECT_TRUE(f.Matches("1:05.25"));
    EXPECT_FALSE(f.Matches("6:05"));
    EXPECT_FALSE(f.SetRegEx("[0-", host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text.rfind("SetRegEx failed:\r\n", 0), 0u);

    CTachConfig cfg;
    EquationChannels none;
    CConfigureEquationPage page(cfg, none, 1, host);
    EXPECT_FALSE(page.ClickRow(3, true));
    EXPECT_EQ(host.messages.back().text, "There are no channel definitions for enabled channels!");
    EXPECT_EQ(cfg.m_eqn[1][3].m_nChannel & 0x80, 0);

    CTachConfig autoStart;
    CConfigureEquationPage start(autoStart, none, 0, host);
    EXPECT_TRUE(start.MinutesEntered("5.46"));
    EXPECT_EQ(autoStart.m_nAutoStartTime, 1 + 65520);
    EXPECT_FALSE(start.MinutesEntered("5.47"));
    EXPECT_EQ(host.messages.back().text, "Value is Out of Range!");
    EXPECT_FALSE(start.MinutesEntered("abc"));
    EXPECT_EQ(host.messages.back().text, "Invalid Input!");
}

TEST(EquationPage, DisablingTheOnlyRpmChannelTakesItsTermsOutOfUse) {
    test::FakeHost host;
    CFreqSetup engine = CFreqSetup::Make(1, 1, Units::Imperial);
    engine.m_nPPR = 4;
    EquationChannels ch;
    ch.m_pFreq[0] = &engine;
    CTachConfig cfg;
    cfg.m_nFreqStatus = 1;
    CConfigureEquationPage page(cfg, ch, 2, host);
    ASSERT_TRUE(page.ClickRow(0, true));
    EXPECT_TRUE(cfg.m_nEqnFlags & 0x04);
    ASSERT_TRUE(page.ValueEntered(0, "1000"));
    EXPECT_EQ(cfg.m_eqn[2][0].m_nValue, 4608);
    EXPECT_EQ(page.Field(0).text, "1000");
    EXPECT_FALSE(page.ValueEntered(0, "10x"));
    EXPECT_EQ(host.messages.back().text, "Invalid Input!");
    EXPECT_EQ(cfg.m_eqn[2][0].m_nValue, 4608);

    cfg.m_nFreqStatus = 0;
    page.RebuildChannelLists();
    EXPECT_EQ(cfg.m_eqn[2][0].m_nChannel & 0x80, 0);
    EXPECT_EQ(cfg.m_nEqnFlags & 0x04, 0);
}

}  // namespace orvex
