#include <gtest/gtest.h>

#include "app/SensorCalibration.h"
#include "app/ServerSetupDialog.h"
#include "app/ServerTestSupport.h"

namespace orvex {
namespace {

using test::ServerRig;

TEST(ServerSetup, RateLabelFollowsTheSlider) {
    struct Row {
        int32_t timer;
        const char* text;
    } rows[] = {{30, "Rate: 1.0 Sec."},  {40, "Rate: 10.0 Sec."}, {31, "Rate: 1.3 Sec."},
                {29, "Rate: 0.79 Sec."}, {20, "Rate: 0.10 Sec."}, {19, "Rate: 0.079 Sec."},
                {10, "Rate: 0.010 Sec."}};
    for (const Row& r : rows) EXPECT_EQ(PlaybackRateText(r.timer), r.text) << r.timer;
    EXPECT_EQ(SliderOfTimer(30), 20);
    EXPECT_EQ(SliderOfTimer(10), 40) << "fast to the right";
    EXPECT_EQ(TimerOfSlider(SliderOfTimer(17)), 17);
}

TEST(ServerSetup, PositionsOfTheCurrentDataset) {
    ServerRig rig;
    rig.doc.m_lGreenTime = 1000;
    auto positions = PlaybackPositions(&rig.doc, rig.window.ds);
    std::vector<PlaybackPosition> expected = {
        {"Beginning of Data", 0}, {"Green Marker @ 0:00.100", 1000}, {"End of Data", 4000}};
    EXPECT_EQ(positions, expected);
    EXPECT_TRUE(PlaybackPositions(&rig.doc, nullptr).empty());
}

TEST(ServerSetup, OpensOnTheStoredValuesAndAppliesOnlyChanges) {
    ServerRig rig;
    rig.launcher.running = true;
    rig.app.SetServerTimer(25);
    CServerSetupDialog dlg(rig.app, *rig.server, rig.host,
                           PlaybackPositions(&rig.doc, rig.window.ds));
    EXPECT_EQ(dlg.m_nSlider, 25);
    EXPECT_EQ(dlg.m_nStart, 0);
    EXPECT_EQ(dlg.m_nEnd, 1) << "End of Data when nothing is stored";
    EXPECT_FALSE(dlg.RangeControlsEnabled());
    EXPECT_EQ(dlg.Status(), "Server Not Installed");
    EXPECT_FALSE(dlg.StatusTimerWanted());
    EXPECT_TRUE(dlg.CanApply()) << "the range differs from the unset stored one";

    dlg.m_bAutoMode = true;
    dlg.m_bEnable = true;
    dlg.m_nSlider = 40;
    EXPECT_TRUE(dlg.RangeControlsEnabled());
    EXPECT_EQ(dlg.RateText(), "Rate: 0.010 Sec.");
    dlg.Apply();
    EXPECT_EQ(rig.app.GetServerTimer(), 10);
    EXPECT_TRUE(rig.app.GetServerAutoMode());
    EXPECT_EQ(rig.State().playbackStart, 0);
    EXPECT_EQ(rig.State().playbackEnd, 4000);
    EXPECT_TRUE(rig.State().enabled);
    EXPECT_EQ(dlg.Status(), "Server Active, 0 Client(s)");
    EXPECT_TRUE(dlg.StatusTimerWanted());
    EXPECT_FALSE(dlg.CanApply());
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(ServerSetup, StartNotBeforeEndSwitchesAutoModeOffOnApplyAndKeepsTheDialogOnOk) {
    ServerRig rig;
    rig.launcher.running = true;
    CServerSetupDialog dlg(rig.app, *rig.server, rig.host,
                           PlaybackPositions(&rig.doc, rig.window.ds));
    dlg.m_bAutoMode = true;
    dlg.m_nStart = 1;
    dlg.m_nEnd = 0;
    EXPECT_FALSE(dlg.Ok());
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "Start Time is greater than End Time!");
    EXPECT_EQ(rig.host.messages[0].icon, Icon::Stop);

    dlg.Apply();
    ASSERT_EQ(rig.host.messages.size(), 2u);
    EXPECT_EQ(rig.host.messages[1].text,
              "Start Time is greater than End Time!\nAuto Mode is Disabled.");
    EXPECT_FALSE(dlg.m_bAutoMode) << "unchecked";
    EXPECT_FALSE(rig.app.GetServerAutoMode());
    EXPECT_EQ(dlg.Status(), "Server Not Installed") << "the box was not checked";

    // Manual mode: OK stores manual and enables the server before the check box decides.
    dlg.m_bEnable = false;
    EXPECT_TRUE(dlg.Ok());
    EXPECT_FALSE(rig.State().enabled);
    EXPECT_TRUE(rig.server->IsRegistered());

    dlg.m_bAutoMode = true;
    dlg.m_bEnable = true;
    dlg.m_nStart = 0;
    dlg.m_nEnd = 1;
    EXPECT_TRUE(dlg.Ok());
    EXPECT_TRUE(rig.app.GetServerAutoMode());
    EXPECT_TRUE(rig.State().enabled);
}

TEST(SensorCalibration, EditsCopiesAndAppliesThemOnOk) {
    test::FakeHost host;
    auto ds = test::ServerSession();
    CAnalogSetup steering;
    steering.m_nChannel = 5;
    steering.m_nType = kSteeringSensorType;
    steering.m_strDescription = "Steering";
    steering.m_fMin = -90;
    steering.m_fMax = 90;
    CAnalogSetup lf = steering;
    lf.m_nChannel = 6;
    lf.m_nType = kShockSensorType;
    lf.m_strDescription = "LF";
    lf.m_fMin = 0;
    lf.m_fMax = 4;
    ds->m_carSetup.m_analog.push_back(steering);
    ds->m_carSetup.m_analog.push_back(lf);

    CSensorCalibration cal(*ds, Units::Imperial);
    ASSERT_EQ(cal.m_rows.size(), 5u);
    EXPECT_TRUE(cal.m_rows[0].present);
    EXPECT_EQ(cal.m_rows[0].maximum, 90.0f);
    EXPECT_TRUE(cal.m_rows[1].present);
    EXPECT_FALSE(cal.m_rows[2].present) << "no RF sensor";
    cal.m_rows[1].maximum = 5;
    cal.m_rows[1].invert = true;
    EXPECT_EQ(ds->m_carSetup.FindAnalogSetup(6)->m_fMax, 4.0f) << "copies until OK";
    cal.Apply();
    EXPECT_EQ(ds->m_carSetup.FindAnalogSetup(6)->m_fMax, 5.0f);
    EXPECT_EQ(ds->m_carSetup.FindAnalogSetup(6)->m_nInvert, 1);

    CCarSetup defaults;
    lf.m_fMax = 3;
    defaults.m_analog = {lf};
    cal.LoadDefaults(defaults);
    EXPECT_EQ(cal.m_rows[1].maximum, 3.0f);
    EXPECT_EQ(cal.m_rows[0].maximum, 90.0f) << "no default for the steering sensor";
}

}  // namespace
}  // namespace orvex
