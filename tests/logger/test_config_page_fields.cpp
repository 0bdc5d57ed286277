// The channel pages answer their fields as the form's binder hands them over: the value is
// written into the field first, then the page is told the field's name.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "logger/config/ConfigChannelPages.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

struct CountingSink : IConfigPageSink {
    int sections = 0;
    int times = 0;
    void SectionChanged(int, bool) override { ++sections; }
    void TimeChanged() override { ++times; }
};

struct PageFields : ::testing::Test {
    std::array<CTachConfig, 4> configs;
    CountingSink sink;
    test::FakeHost host;
    CTachConfig& cfg = configs[0];
};

TEST_F(PageFields, RpmPageTakesItsFieldsByName) {
    cfg.m_freq[0] = TachFreq{10, 9, 3};
    cfg.m_freq[2] = TachFreq{4, 7, 11};
    cfg.m_nFreqStatus = 0x04;
    CConfigureRPMPage page(configs, sink, host);
    page.Refresh();  // as the sheet shows its page
    EXPECT_EQ(page.BoundNames(),
              (std::vector<std::string>{"channel", "enabled", "suggested", "description", "rate",
                                        "pulses", "pulsesSpin", "filter"}));
    EXPECT_EQ(page.m_channel.value, 3);
    EXPECT_EQ(page.m_channel.hi, CTachConfig::kRpmChannels);

    // Typing is not taken until the field is left; out of range is refused there.
    page.m_pulses.Type("21");
    page.Changed("pulses");
    EXPECT_EQ(cfg.m_freq[2].m_nPPR, 7);
    EXPECT_FALSE(page.Edited("pulses"));
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{"Please enter an integer between 0 and 20."}));
    page.m_pulses.Type("12");
    EXPECT_TRUE(page.Edited("pulses"));
    EXPECT_EQ(cfg.m_freq[2].m_nPPR, 12);

    // A click on the checked "Using Suggested Rate" leaves it checked.
    page.m_rate.SelectText("20");
    page.Changed("rate");
    ASSERT_TRUE(page.Suggested());
    page.m_suggested.checked = false;
    page.Changed("suggested");
    EXPECT_TRUE(page.Suggested());

    page.m_channel.value = 1;
    page.Changed("channel");
    EXPECT_EQ(page.Channel(), 1);
    EXPECT_EQ(page.m_channel.value, 1);
    EXPECT_TRUE(page.m_filter.shown);
    page.m_filter.checked = true;
    page.Changed("filter");
    EXPECT_EQ(cfg.m_freq[0].m_nKind, 3 | 0x40);
    const int times = sink.times;
    page.m_enabled.checked = true;
    page.Changed("enabled");
    EXPECT_EQ(cfg.m_nFreqStatus, 0x05);
    EXPECT_EQ(sink.times, times + 1);
}

TEST_F(PageFields, TimerPageTakesTriggerAndMaximumEventsByName) {
    cfg.m_timer[0] = TachTimer{1, 1, 80, 100};
    cfg.m_nTimerStatus = 0x01;
    CConfigureTimerPage page(configs, sink, host);
    page.Refresh();
    EXPECT_EQ(page.m_trigger.options, 3);
    EXPECT_EQ(page.Trigger(), 1);
    page.m_trigger.selected = 2;  // "Both"
    page.Changed("trigger");
    EXPECT_EQ(cfg.m_timer[0].m_nTrigger, 3);

    page.m_maxEvents.Type("0");
    page.Changed("maxEvents");
    EXPECT_EQ(host.MessageTexts().back(), "Please enter an integer between 1 and 500.");
    EXPECT_EQ(cfg.m_timer[0].m_nMaxEvents, 80);
    page.m_maxEvents.Type("120");
    page.Changed("maxEvents");
    EXPECT_EQ(cfg.m_timer[0].m_nMaxEvents, 120);

    page.m_description.selected = 1;  // "Lap Timer"
    page.Changed("description");
    EXPECT_EQ(cfg.m_timer[0].m_nKind, 2);
    EXPECT_TRUE(page.TimingShown());
}

}  // namespace
}  // namespace orvex
