#include <gtest/gtest.h>

#include "logger/config/ConfigSheet.h"
#include "support/FakeHost.h"

namespace orvex {

namespace {

// Default setups for every channel, as the application keeps them.
struct Setups {
    CFreqSetup freq[5];
    CAnalogSetup analog[20];
    CDigitalSetup digital[6];
    EquationChannels Channels() {
        EquationChannels ch;
        for (int i = 0; i < 5; ++i) ch.m_pFreq[i] = &freq[i];
        for (int i = 0; i < 20; ++i) ch.m_pAnalog[i] = &analog[i];
        for (int i = 0; i < 6; ++i) ch.m_pDigital[i] = &digital[i];
        return ch;
    }
};

}  // namespace

TEST(ConfigSheet, TabsScrollTheReportAndConfigurationsMoveThePages) {
    std::array<CTachConfig, 4> configs;
    configs[1].m_nActive = 1;
    configs[1].m_nSwitchStatus = 0x04;
    configs[2].m_nFreqStatus = 0x02;
    configs[2].m_lAnalogStatus = 0x10;
    test::FakeHost host;
    Setups setups;
    CLoggerConfigSheet sheet(configs, 4, setups.Channels(), host, {}, false);
    // Opens on the active configuration, on the tab of its enabled switch.
    EXPECT_EQ(sheet.m_config.selected, 1);
    EXPECT_TRUE(sheet.m_active.checked);
    EXPECT_EQ(sheet.m_segments.selected, 2);
    EXPECT_EQ(sheet.CurrentTab(), kTabSwitches);
    EXPECT_EQ(sheet.ChannelPage(kTabSwitches).Channel(), 3);
    EXPECT_EQ(sheet.TakeScrollLine(), sheet.Dialog().FirstLineOfTab(kTabSwitches));
    EXPECT_EQ(sheet.TakeScrollLine(), -1);
    EXPECT_EQ(sheet.m_report.text.find('\r'), std::string::npos);

    sheet.SelectTab(kTabOutput2);
    EXPECT_EQ(sheet.CurrentTab(), kTabOutput2);
    EXPECT_EQ(sheet.TakeScrollLine(), sheet.Dialog().FirstLineOfTab(kTabOutput2));

    sheet.m_config.selected = 2;
    sheet.Changed("config");
    EXPECT_EQ(sheet.CurrentTab(), kTabRpm);
    EXPECT_EQ(sheet.ChannelPage(kTabRpm).Channel(), 2);
    EXPECT_EQ(sheet.ChannelPage(kTabAnalog).Channel(), 5);
    EXPECT_FALSE(sheet.m_active.checked);

    // Segments and "Data Configuration Active" go to the working copies.
    sheet.m_segments.selected = 3;
    sheet.Changed("segments");
    EXPECT_EQ(sheet.Segments(), 8);
    sheet.m_active.checked = true;
    sheet.Changed("active");
    EXPECT_EQ(sheet.Configs()[2].m_nActive & 1, 1);
    EXPECT_EQ(sheet.Configs()[1].m_nActive & 1, 0);
    EXPECT_TRUE(host.messages.empty());
}

TEST(ConfigSheet, EquationRowsFollowTheEnabledChannels) {
    std::array<CTachConfig, 4> configs;
    configs[0].m_nFreqStatus = 0x01;
    test::FakeHost host;
    Setups setups;
    CLoggerConfigSheet sheet(configs, 1, setups.Channels(), host, {}, false);
    CEquationPageForm& out1 = sheet.EquationPage(1);
    ASSERT_EQ(out1.m_channel[3].items.size(), 1u);
    EXPECT_FALSE(out1.m_value[3].enabled);
    EXPECT_EQ(out1.m_value[3].tip, "Empty");
    EXPECT_FALSE(out1.m_recordFor.shown);
    EXPECT_TRUE(sheet.EquationPage(0).m_recordFor.shown);

    out1.m_row[3].checked = true;
    out1.Changed("row4");
    EXPECT_TRUE(out1.m_row[3].checked);
    EXPECT_TRUE(out1.m_value[3].enabled);
    EXPECT_EQ(out1.m_channel[3].selected, 0);
    EXPECT_EQ(out1.m_operator[3].items.size(), 5u);
    EXPECT_EQ(sheet.Configs()[0].m_nEqnFlags & 0x02, 0x02);

    // Typing a text the pattern refuses marks it; leaving the field refuses it.
    out1.m_value[3].Type("1x");
    EXPECT_TRUE(out1.m_value[3].error);
    EXPECT_FALSE(out1.Edited("value4"));
    EXPECT_EQ(host.MessageTexts().back(), "Invalid Input!");

    // Disabling the only RPM channel takes the term out of use.
    CConfigChannelPage& rpm = sheet.ChannelPage(kTabRpm);
    rpm.m_enabled.checked = false;
    rpm.Changed("enabled");
    EXPECT_FALSE(out1.m_row[3].checked);
    EXPECT_TRUE(out1.m_channel[3].items.empty());
    EXPECT_EQ(sheet.Configs()[0].m_nEqnFlags & 0x02, 0);

    // With nothing enabled a row cannot be checked.
    out1.m_row[0].checked = true;
    out1.Changed("row1");
    EXPECT_FALSE(out1.m_row[0].checked);
    EXPECT_EQ(host.MessageTexts().back(), "There are no channel definitions for enabled channels!");
}

}  // namespace orvex
