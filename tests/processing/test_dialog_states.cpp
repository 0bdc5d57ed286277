// The states of the "Set Zero Time", "ET Slip Report" and gear dialogs as their fields show
// them: per-session rows, typed entries refused with their messages, OK and Apply.
#include <gtest/gtest.h>

#include "app/DocumentSetup.h"
#include "processing/AnalysisFixture.h"
#include "processing/EtSlipDialog.h"
#include "processing/GearSelection.h"
#include "processing/SpikeFilterDialog.h"
#include "processing/ZeroTimeDialog.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::AddMark;
using test::FakeHost;
using test::FillRpm;

// Two sessions of 10 s; "First" with marks at 0.1 s (start) and 6 s (lap 1).
struct TwoSessions : ::testing::Test {
    CBriodashDataset first, second;
    FakeHost host;
    void SetUp() override {
        for (CBriodashDataset* ds : {&first, &second}) {
            ds->m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
            FillRpm(*ds, 1, 4000, 1000, 100000);
        }
        first.m_strName = "First";
        second.m_strName = "Second";
        AddMark(first, 1000, 0);
        AddMark(first, 60000, 100);
    }
};

TEST_F(TwoSessions, ZeroTimeRowsKeepTheirChoiceAndOffsetPerSession) {
    ZeroTimeContext context;
    context.green = 20000;
    context.current = &first;
    context.shownSessions = 2;
    CZeroTimeDialog dlg({&first, &second}, context, host);
    EXPECT_EQ(dlg.m_session.items, (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(dlg.m_zeroBy.items,
              (std::vector<std::string>{"User Defined", "Green Marker @ 0:02.0000",
                                        "Start Lap @ 0:00.1000", "Lap #1 @ 0:06.0000"}));
    EXPECT_EQ(dlg.m_zeroBy.selected, 0);

    dlg.m_zeroBy.selected = 3;  // "Lap #1"
    dlg.Changed("zeroBy");
    dlg.m_offset.Type("0.5");
    dlg.Changed("offset");
    dlg.m_session.selected = 1;
    dlg.Changed("session");
    EXPECT_EQ(dlg.m_zeroBy.items.size(), 2u);  // no marks on the second session
    EXPECT_EQ(dlg.m_offset.text, "");
    dlg.m_offset.Type("x");
    dlg.Changed("offset");

    // A bad offset keeps the dialog open and changes no zero.
    EXPECT_FALSE(dlg.Accept());
    EXPECT_EQ(host.MessageTexts().back(), "Invalid Time Entered! (Format mmm:ss.sss)");
    EXPECT_EQ(first.m_lZeroTime, 0);
    EXPECT_EQ(context.green, 20000);

    dlg.m_offset.Type("1.0");
    dlg.Changed("offset");
    dlg.m_session.selected = 0;
    dlg.Changed("session");
    EXPECT_EQ(dlg.m_zeroBy.selected, 3);
    EXPECT_EQ(dlg.m_offset.text, "0.5");
    ASSERT_TRUE(dlg.Accept());
    EXPECT_EQ(first.m_lZeroTime, 65000);
    EXPECT_EQ(second.m_lZeroTime, 10000);
    EXPECT_EQ(context.green, 20000 - 65000);
}

TEST_F(TwoSessions, ZeroTimeWithoutSessionsHasNothingToChoose) {
    ZeroTimeContext context;
    CZeroTimeDialog dlg({}, context, host);
    EXPECT_EQ(dlg.m_session.selected, -1);
    EXPECT_FALSE(dlg.m_zeroBy.enabled || dlg.m_offset.enabled);
    dlg.Changed("zeroBy");
    EXPECT_TRUE(dlg.Accept());
}

TEST(EtSlipDialog, TypedTimesShowIncrementalsAndABadOneIsRefused) {
    CBriodashDataset drag;
    drag.m_strName = "Pass 3";
    const int32_t times[] = {20000, 40000, 70000, 100000, 120000, 150000};
    for (int i = 0; i < 6; ++i) AddMark(drag, times[i], i);
    FakeHost host;
    CEtSlipReport report;
    ASSERT_TRUE(report.Open({&drag}, &drag, host));
    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    CEtSlipDialog dlg(report, doc, 30000, kNotSet);
    EXPECT_EQ(dlg.m_session.items, (std::vector<std::string>{"Pass 3"}));
    EXPECT_EQ(dlg.m_launchFrom.items,
              (std::vector<std::string>{"User Defined", "Green Marker @ 0:03.000"}));
    EXPECT_EQ(dlg.m_launch.text, "0:02.000");
    EXPECT_EQ(dlg.m_elapsed[1].text, "0:05.000");
    EXPECT_EQ(dlg.m_incremental[1].text, "0:03.000");

    dlg.m_elapsed[1].Type("1.2x");
    EXPECT_FALSE(dlg.Edited("et1"));
    EXPECT_TRUE(dlg.m_elapsed[1].error);
    EXPECT_EQ(host.MessageTexts().back(), "ERROR: Invalid Time Format (hh:mm:ss.ssss)!");
    EXPECT_EQ(dlg.m_elapsed[1].text, "1.2x");  // left as typed to be corrected

    dlg.m_elapsed[1].Type("0:04.500");
    EXPECT_TRUE(dlg.Edited("et1"));
    EXPECT_FALSE(dlg.m_elapsed[1].error);
    EXPECT_EQ(dlg.m_incremental[1].text, "0:02.500");
    EXPECT_EQ(dlg.m_incremental[2].text, "0:03.500");

    dlg.m_launchFrom.selected = 1;  // the green marker
    dlg.Changed("launchFrom");
    EXPECT_EQ(dlg.m_launch.text, "0:03.000");
    EXPECT_FALSE(dlg.Applied());
    EXPECT_FALSE(doc.m_bModified);
    dlg.Clicked("apply");
    EXPECT_TRUE(dlg.Applied());
    EXPECT_TRUE(doc.m_bModified);  // the new marks are saved with the file
    EXPECT_EQ(drag.m_markers[0].m_lTime, 30000);
    EXPECT_EQ(drag.m_markers[2].m_lTime, 30000 + 45000);
}

// Engine on channel 1, 10 samples 0.1 s apart in gears 1 1 1 2 2 2 2 2 3 3.
TEST(GearSelection, ShowsTheGearAndAppliesTheChosenShiftOnOk) {
    CBriodashDataset ds;
    test::RearWheelCar(ds);
    FillRpm(ds, 1, 4000, 1000, 10000);
    FillRpm(ds, 2, 1000, 1000, 10000);
    const int16_t gears[] = {1, 1, 1, 2, 2, 2, 2, 2, 3, 3};
    for (auto& s : ds.m_rpm)
        for (std::size_t i = 0; i < s.m_samples.size(); ++i) s.m_samples[i].m_nGear = gears[i];
    FakeHost host;

    CGearSelection none(ds, 6000, false, Units::Imperial, host);
    ASSERT_TRUE(none.Valid());
    EXPECT_EQ(none.m_currentGear.text, "2nd");
    EXPECT_EQ(none.m_shift.items,
              (std::vector<std::string>{"Upshift 2nd to 3rd", "Downshift 2nd to 1st",
                                        "Move 1st to 2nd shift"}));
    EXPECT_TRUE(none.Accept());  // nothing chosen: nothing changes
    EXPECT_FALSE(none.Applied());
    EXPECT_EQ(ds.m_rpm[0].m_samples[6].m_nGear, 2);

    CGearSelection up(ds, 6000, false, Units::Imperial, host);
    up.m_shift.selected = 0;
    EXPECT_TRUE(up.Accept());
    EXPECT_TRUE(up.Applied());
    EXPECT_EQ(ds.m_rpm[0].m_samples[6].m_nGear, 3);
    EXPECT_EQ(ds.m_rpm[0].m_samples[2].m_nGear, 1);
}

TEST_F(TwoSessions, SpikeFilterFiltersOnlySessionsWhoseBoxesChanged) {
    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    CSpikeFilterDialog dlg(doc, {&first, &second});
    EXPECT_EQ(dlg.m_session.items, (std::vector<std::string>{"First", "Second"}));
    EXPECT_TRUE(dlg.m_apply.shown);
    EXPECT_TRUE(dlg.m_rpm[0].enabled);
    EXPECT_FALSE(dlg.m_rpm[1].enabled || dlg.m_analog[0].enabled);  // empty channels
    EXPECT_FALSE(dlg.m_rpm[0].checked);
    EXPECT_EQ(dlg.m_rpmLabel[0].text, first.m_carSetup.FindRpmSetup(1)->ShortLabel());

    // Checked and unchecked again: nothing to do, the never-filtered channel stays raw.
    for (bool on : {true, false}) {
        dlg.m_rpm[0].checked = on;
        dlg.Changed("rpm1");
    }
    dlg.Clicked("apply");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(first.m_rpm[0].m_nDataMode, 0);
    EXPECT_FALSE(doc.m_bModified);

    dlg.m_session.selected = 1;
    dlg.Changed("session");
    dlg.m_rpm[0].checked = true;
    dlg.Changed("rpm1");
    EXPECT_TRUE(dlg.Accept());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text.rfind("Results for Second DataSet.\n", 0), 0u);
    EXPECT_EQ(host.messages[0].icon, Icon::Information);
    EXPECT_EQ(second.m_rpm[0].m_nDataMode, 2);
    EXPECT_EQ(first.m_rpm[0].m_nDataMode, 0);
    EXPECT_TRUE(doc.m_bModified);  // the filter mode is saved with the file
    EXPECT_TRUE(dlg.m_rpm[0].checked);
}

TEST(SpikeFilterDialog, DefaultSettingsChangeOnlyOnOk) {
    CSpikeFilterDialog::RpmLevels rpm{0, 2, 1, 0, 0};
    CSpikeFilterDialog::AnalogLevels analog{};
    analog[19] = 2;
    FakeHost host;
    {
        CSpikeFilterDialog dlg(rpm, analog, host);
        EXPECT_EQ(dlg.m_session.items, (std::vector<std::string>{"Default Settings"}));
        EXPECT_FALSE(dlg.m_apply.shown);
        EXPECT_TRUE(dlg.m_rpm[1].checked && dlg.m_analog[19].checked && !dlg.m_rpm[2].checked);
        EXPECT_TRUE(dlg.m_analog[3].enabled);
        dlg.m_rpm[1].checked = false;
        dlg.Changed("rpm2");
        dlg.m_analog[3].checked = true;
        dlg.Changed("analog4");
        EXPECT_EQ(rpm[1], 2);  // Cancel would leave them
    }
    CSpikeFilterDialog dlg(rpm, analog, host);
    dlg.m_rpm[1].checked = false;
    dlg.Changed("rpm2");
    dlg.m_analog[3].checked = true;
    dlg.Changed("analog4");
    EXPECT_TRUE(dlg.Accept());
    EXPECT_EQ(rpm, (CSpikeFilterDialog::RpmLevels{0, 1, 1, 0, 0}));
    EXPECT_EQ(analog[3], 2);
    EXPECT_EQ(analog[19], 2);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace orvex
