#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "logger/config/ConfigChannelPages.h"
#include "logger/config/ConfigDialog.h"
#include "logger/config/ConfigPages.h"
#include "support/FakeHost.h"

namespace orvex {

namespace {

using Strings = std::vector<std::string>;

// Records the notifications a page sends to the dialog.
struct SinkLog : IConfigPageSink {
    std::vector<std::pair<int, bool>> sections;
    int times = 0;
    void SectionChanged(int section, bool enablesChanged) override {
        sections.emplace_back(section, enablesChanged);
    }
    void TimeChanged() override { ++times; }
};

struct PageFixture : ::testing::Test {
    std::array<CTachConfig, 4> configs;
    SinkLog sink;
    test::FakeHost host;
    CTachConfig& cfg = configs[0];
};

}  // namespace

TEST_F(PageFixture, RpmPageShowsEngineAndOwnPulseChannels) {
    cfg.m_freq[0] = TachFreq{10, 9, 3 | 0x40};  // 20 Hz, engine kind 3 without filter
    cfg.m_freq[2] = TachFreq{4, 7, 11};         // 50 Hz, kind 11 with its own pulses
    cfg.m_nFreqStatus = 0x04;
    CConfigureRPMPage page(configs, sink, host);
    EXPECT_EQ(page.m_rate.items,
              (Strings{"1", "2", "4", "5", "8", "10", "20", "25", "40", "50", "100", "200"}));
    EXPECT_EQ(page.Channel(), 3);  // the first enabled channel

    page.SelectChannel(1);
    EXPECT_EQ(page.m_description.items.size(), 9u);
    EXPECT_EQ(page.m_description.selected, 2);
    EXPECT_EQ(page.m_pulses.text, "2");  // the kind's default, not the stored 9
    EXPECT_FALSE(page.m_pulses.enabled);
    EXPECT_TRUE(page.m_filter.shown && page.m_filter.checked);
    EXPECT_TRUE(page.Suggested());
    EXPECT_FALSE(page.Enabled());

    page.OnChannel(3);  // stores channel 1 as shown: its pulses become the default
    EXPECT_EQ(cfg.m_freq[0], (TachFreq{10, 2, 3 | 0x40}));
    EXPECT_EQ(page.m_description.items.size(), 13u);
    EXPECT_EQ(page.m_pulses.text, "7");
    EXPECT_TRUE(page.m_pulses.enabled && page.m_pulsesSpin.shown && !page.m_filter.shown);
    EXPECT_EQ(*page.m_rate.Text(), "50");
    EXPECT_FALSE(page.Suggested());

    // Pulses outside 0 to 20 are refused; a new engine kind takes its default pulses.
    EXPECT_FALSE(page.OnPulses("21"));
    EXPECT_EQ(host.MessageTexts(), Strings{"Please enter an integer between 0 and 20."});
    EXPECT_TRUE(page.OnPulses("12"));
    EXPECT_EQ(cfg.m_freq[2].m_nPPR, 12);
    page.OnDescription(3);  // kind 4: six pulses
    EXPECT_EQ(cfg.m_freq[2], (TachFreq{4, 6, 4}));
    EXPECT_FALSE(page.m_pulses.enabled);

    // "Using Suggested Rate": checking sets 20 Hz; a second click leaves it checked.
    sink = SinkLog();
    page.OnSuggested();
    page.OnSuggested();
    EXPECT_TRUE(page.Suggested());
    EXPECT_EQ(cfg.m_freq[2].m_nDivider, 10);
    EXPECT_EQ(*page.m_rate.Text(), "20");
    EXPECT_EQ(sink.sections, (std::vector<std::pair<int, bool>>{{0, false}}));
    EXPECT_EQ(sink.times, 2);

    page.OnEnabled(false);
    EXPECT_EQ(cfg.m_nFreqStatus, 0);
    EXPECT_EQ(sink.sections.back(), std::make_pair(0, true));
}

TEST_F(PageFixture, AnalogPageListsByChannelAndRate) {
    struct Case {
        int channel, kind, divider;
        std::size_t descriptions;
        int selected, storedKind;
        std::string lastRate;
        bool suggested;
    } cases[] = {
        {1, 2, 2, 25, 1, 2, "200", true},      // 100 Hz suggested for position 1
        {5, 16, 20, 25, 15, 16, "25", false},  // EGT kinds stop below 30 Hz
        {17, 3, 10, 3, 0, 12, "200", true},    // a stray kind becomes 12
        {19, 14, 2, 3, 2, 14, "200", true},    // position 2 suggests 100 Hz
        {20, 1, 10, 1, 0, 11, "200", true},    // "Battery Voltage" alone, stored as 11
    };
    CConfigureAnalogPage page(configs, sink, host);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channel);
        cfg.m_analog[c.channel - 1] =
            TachAnalog{static_cast<uint8_t>(c.divider), static_cast<uint8_t>(c.kind)};
        page.SelectChannel(c.channel);
        EXPECT_EQ(page.m_description.items.size(), c.descriptions);
        EXPECT_EQ(page.m_description.selected, c.selected);
        EXPECT_EQ(page.m_rate.items.back(), c.lastRate);
        EXPECT_EQ(page.Suggested(), c.suggested);
        page.Store(false);
        EXPECT_EQ(cfg.m_analog[c.channel - 1].m_nKind, c.storedKind);
    }
    EXPECT_EQ(page.m_description.items, Strings{"Battery Voltage"});

    // Choosing an EGT kind rebuilds the list; the stored 100 Hz is absent and the first entry
    // is shown, taken by the next store.
    cfg.m_analog[0] = TachAnalog{2, 1};
    page.SelectChannel(1);
    page.OnDescription(14);
    EXPECT_EQ(cfg.m_analog[0].m_nKind, 15);
    EXPECT_EQ(page.m_rate.items.back(), "25");
    EXPECT_EQ(*page.m_rate.Text(), "1");
    page.OnEnabled(true);
    EXPECT_EQ(cfg.m_analog[0].m_nDivider, 200);
    EXPECT_EQ(cfg.m_lAnalogStatus, 1);
    EXPECT_EQ(sink.sections.back(), std::make_pair(1, true));
}

TEST_F(PageFixture, SwitchPageSharesOneRateSuggesting10Hz) {
    cfg.m_switch[1] = 3;
    cfg.m_nSwitchStatus = 0x02;
    cfg.m_nSwitchDivider = 10;  // 20 Hz
    CConfigureSwitchesPage page(configs, sink, host);
    page.SelectChannel(page.Channel());
    EXPECT_EQ(page.Channel(), 2);
    EXPECT_EQ(*page.m_description.Text(), "Brake");
    EXPECT_FALSE(page.Suggested());
    page.OnSuggested();
    EXPECT_EQ(cfg.m_nSwitchDivider, 20);
    page.OnDescription(3);
    page.OnRate(5);  // "10"
    EXPECT_EQ(cfg.m_switch[1], 4);
    EXPECT_TRUE(page.Suggested());
    EXPECT_EQ(cfg.m_nSwitchDivider, 20);
}

TEST_F(PageFixture, TimerPageKeepsOneLapTimerAndOneGpsReceiver) {
    cfg.m_timer[0] = TachTimer{2, 1, 50, 500};  // lap timer, 2500 ms at 200 Hz
    cfg.m_timer[1] = TachTimer{1, 1, 80, 100};  // generic, 500 ms
    CConfigureTimerPage page(configs, sink, host);
    page.SelectChannel(1);
    EXPECT_EQ(page.m_description.items.size(), 4u);
    EXPECT_EQ(*page.m_minTime.Text(), "2500");
    EXPECT_TRUE(page.Suggested());

    page.OnChannel(2);
    EXPECT_EQ(page.m_description.items.size(), 5u);
    EXPECT_EQ(page.m_maxEvents.text, "80");
    EXPECT_EQ(page.Trigger(), 1);
    EXPECT_FALSE(page.Suggested());
    page.OnDescription(1);  // "Lap Timer" while timer 1 is one
    EXPECT_EQ(host.MessageTexts(),
              Strings{"Only one channel may be configured for a Lap Timer Input."});
    EXPECT_EQ(cfg.m_timer[1].m_nKind, 1);
    EXPECT_EQ(page.m_description.selected, 0);

    EXPECT_FALSE(page.OnMaxEvents("0"));
    EXPECT_EQ(host.MessageTexts().back(), "Please enter an integer between 1 and 500.");
    EXPECT_TRUE(page.OnMaxEvents("500"));
    page.OnSuggested();  // Generic: 5000 ms
    EXPECT_EQ(cfg.m_timer[1], (TachTimer{1, 1, 500, 1000}));
    page.OnTrigger(3);
    EXPECT_EQ(cfg.m_timer[1].m_nTrigger, 3);

    page.OnDescription(4);  // GPS receiver: trigger 2, timing controls hidden
    EXPECT_EQ(cfg.m_timer[1].m_nKind, 5);
    EXPECT_EQ(cfg.m_timer[1].m_nTrigger, 2);
    EXPECT_FALSE(page.TimingShown());
    page.Refresh();
    EXPECT_EQ(*page.m_minTime.Text(), "500");
}

TEST(EquationRows, ChannelsOperatorsAndInvertedTerms) {
    test::FakeHost host;
    SinkLog sink;
    CFreqSetup engine = CFreqSetup::Make(1, 1, Units::Imperial);
    engine.m_nPPR = 4;
    CAnalogSetup gs;  // G's from -2 to 2: ten operators
    gs.m_nFamily = 0;
    gs.m_nChannel = 3;
    gs.m_nType = 135;
    gs.m_fMin = -2;
    gs.m_fMax = 2;
    gs.m_nResolution = 100;
    gs.m_nInvert = 1;
    CDigitalSetup lap, sw;
    lap.m_nChannel = 5;
    lap.m_nType = 2;
    sw.m_nChannel = 2;
    sw.m_nType = 4;
    EquationChannels ch;
    ch.m_pFreq[0] = &engine;
    ch.m_pAnalog[2] = &gs;
    ch.m_pDigital[1] = &sw;
    ch.m_pDigital[4] = &lap;
    CTachConfig cfg;
    cfg.m_nFreqStatus = 1;
    cfg.m_lAnalogStatus = 0x4;
    cfg.m_nSwitchStatus = 0x2;
    cfg.m_nTimerStatus = 0x1;
    CConfigureEquationPage page(cfg, ch, 1, host);
    page.SetSink(&sink);
    ASSERT_EQ(page.Entries().size(), 4u);  // engine, G's, switch 2, timer 1 (digital 5)
    ASSERT_TRUE(page.ClickRow(0, true));

    struct Case {
        int entry;
        uint8_t channelByte;
        std::size_t operators;
        int chosen, stored;
    } cases[] = {
        {0, 0x80, 5, 1, 3},          // RPM: shown ">" is stored "<="
        {1, 0x80 | 0x62, 10, 2, 4},  // inverted analog
        {1, 0x80 | 0x62, 10, 7, 7},  // absolute values are not exchanged
        {2, 0x80 | 0x21, 1, 0, 0},   // switch: On/Off
        {3, 0x80 | 0x44, 3, 2, 2},   // lap timer: a time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        page.ChooseChannel(0, c.entry);
        EXPECT_EQ(cfg.m_eqn[1][0].m_nChannel, c.channelByte);
        EXPECT_EQ(page.SelectedEntry(0), c.entry);
        EXPECT_EQ(page.OperatorTexts(0).size(), c.operators);
        page.ChooseOperator(0, c.chosen);
        EXPECT_EQ(cfg.m_eqn[1][0].m_nOperator, c.stored);
        EXPECT_EQ(page.ShownOperator(0), c.chosen);
    }
    EXPECT_EQ(page.OperatorTexts(0).front(), CTachConfig::OperatorText(0));
    EXPECT_FALSE(page.ChooseOperator(0, 3));  // beyond the lap timer's three
    EXPECT_EQ(sink.sections.back(), std::make_pair(5, false));
    EXPECT_EQ(sink.sections.size(), 1u + 2 * 5);
}

TEST(EquationRows, AutoStartRecordForAndPause) {
    test::FakeHost host;
    SinkLog sink;
    EquationChannels none;
    CTachConfig cfg;
    cfg.m_nAutoStartTime = 1 + 12000;  // one minute at 200 Hz
    CConfigureEquationPage page(cfg, none, 0, host);
    page.SetSink(&sink);
    CFilteredEdit& minutes = page.ShowMinutes();
    EXPECT_EQ(minutes.text, "1.00");
    EXPECT_EQ(minutes.tip, "Enter a value (in minutes) up to 5.46");
    EXPECT_FALSE(page.RecordFor() || page.PauseEnabled());

    page.OnRecordFor(true);
    page.OnPause(true);
    EXPECT_EQ(cfg.m_nEqnFlags, 0xC0);
    EXPECT_TRUE(page.PauseEnabled() && page.PauseChecked());
    ASSERT_TRUE(page.MinutesEntered("2,5"));
    EXPECT_EQ(cfg.m_nAutoStartTime, 1 + 30000);
    EXPECT_EQ(page.ShowMinutes().text, "2.50");
    page.OnRecordFor(false);
    EXPECT_EQ(cfg.m_nEqnFlags, 0x80);
    EXPECT_EQ(sink.sections, (std::vector<std::pair<int, bool>>(4, {4, false})));
}

TEST(ConfigDialog, PagesReportChangesToTheDialog) {
    std::array<CTachConfig, 4> configs;
    configs[0].m_nSwitchStatus = 1;
    CLoggerConfigDlg dlg(configs, 1, EquationChannels());
    test::FakeHost host;
    CConfigureSwitchesPage page(dlg.Work().configs, dlg, host);
    page.SelectChannel(1);
    const std::string before = dlg.ReportText();
    page.OnRate(0);  // 1 Hz
    EXPECT_NE(dlg.ReportText(), before);
    EXPECT_EQ(dlg.RecordingTime(), dlg.Shown().RecordingTimeText(1));
    EXPECT_EQ(dlg.FocusTab(), kTabSwitches);
}

}  // namespace orvex
