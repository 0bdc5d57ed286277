// The data window's commands: every one names a dialog the gallery knows or none, and each is
// enabled by its rule (sessions, lap marks, gears and markers, one report at a time).
#include <gtest/gtest.h>

#include <set>

#include "app/DataWindowCommands.h"
#include "app/DocumentSetup.h"
#include "processing/AnalysisFixture.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using C = DataCommand;

TEST(DataWindowCommands, TableHasEachCommandOnceWithItsText) {
    std::set<C> seen;
    for (const DataCommandInfo& c : DataCommandTable()) {
        EXPECT_TRUE(seen.insert(c.id).second);
        EXPECT_TRUE(*c.text);
        EXPECT_EQ(&DataCommandInfoOf(c.id), &c);
    }
    EXPECT_STREQ(DataCommandInfoOf(C::LapBeacons).text, "Lap Timer Beacons");
    EXPECT_STREQ(DataCommandInfoOf(C::LapBeacons).dialog, "Number of Beacons");
    EXPECT_STREQ(DataCommandInfoOf(C::AdjustLapMarker).dialog, "Move Lap Markers");
    EXPECT_STREQ(DataCommandInfoOf(C::ExportData).statusTip,
                 "Save the active document to a text file for use by Excel, etc.");
}

struct CommandDoc : ::testing::Test {
    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), DocumentOptions{}};
    DataWindowState state{&doc, nullptr, false};
    bool On(C id) const { return IsDataCommandEnabled(id, state); }
};

TEST_F(CommandDoc, EnablingFollowsTheDocument) {
    // Without any session nothing applies.
    for (const DataCommandInfo& c : DataCommandTable()) EXPECT_FALSE(On(c.id)) << c.text;
    EXPECT_FALSE(IsDataCommandEnabled(C::Rename, DataWindowState{}));

    CBriodashDataset& ds = doc.AddUploadDataset();
    ds.m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
    test::FillRpm(ds, 1, 4000, 1000, 100000);
    state.current = &ds;
    for (C id : {C::ExportData, C::DeleteData, C::Rename, C::Comments, C::SetupAnalog,
                 C::SpikeFilter, C::ChannelMenu, C::LapTimes, C::EtSlips, C::ZeroTime,
                 C::DataAlignment, C::SetGreenMarker})
        EXPECT_TRUE(On(id)) << DataCommandInfoOf(id).text;
    for (C id : {C::LapBeacons, C::AdjustLapMarker, C::ViewAsLaps, C::SwitchTimer, C::GearSelection,
                 C::SetShiftPoint})
        EXPECT_FALSE(On(id)) << DataCommandInfoOf(id).text;

    // Lap marks: the beacons, moving the marks and the lap view; an ET slip gives none of them.
    test::AddMark(ds, 2000, 0);
    test::AddMark(ds, 30000, 1);
    EXPECT_FALSE(On(C::LapBeacons));
    ds.m_markers.m_samples[1].m_lRaw = 100;
    EXPECT_TRUE(On(C::LapBeacons));
    EXPECT_TRUE(On(C::AdjustLapMarker));
    EXPECT_TRUE(On(C::ViewAsLaps));
    EXPECT_FALSE(IsDataCommandChecked(C::ViewAsLaps, state));

    // Either report open: both report commands wait.
    state.reportShown = true;
    EXPECT_FALSE(On(C::LapTimes));
    EXPECT_FALSE(On(C::EtSlips));
    EXPECT_FALSE(On(C::DeleteData));
    EXPECT_TRUE(On(C::Rename));
    state.reportShown = false;

    // Gears: two or more, and the gear command also needs a marker.
    ds.m_carSetup.m_nGears = 1;
    EXPECT_FALSE(On(C::SetShiftPoint));
    ds.m_carSetup.m_nGears = 4;
    EXPECT_TRUE(On(C::SetShiftPoint));
    EXPECT_FALSE(On(C::GearSelection));
    doc.m_lRedTime = 5000;
    EXPECT_TRUE(On(C::GearSelection));

    CSample sw;
    ds.m_digital[0].AddTail(sw);
    EXPECT_TRUE(On(C::SwitchTimer));
}

TEST(GearMarker, TheMarkerSetOrTheUsersChoice) {
    EXPECT_EQ(GearMarkerToUse(kNotSet, kNotSet), GearMarker::None);
    EXPECT_EQ(GearMarkerToUse(100, kNotSet), GearMarker::Green);
    EXPECT_EQ(GearMarkerToUse(kNotSet, 0), GearMarker::Red);
    EXPECT_EQ(GearMarkerToUse(100, 200), GearMarker::Ask);
    CGearMarkerChoice choice;
    EXPECT_EQ(choice.Chosen(), GearMarker::Green);
    choice.m_marker.selected = 1;
    EXPECT_EQ(choice.Chosen(), GearMarker::Red);
    EXPECT_TRUE(IsInWindow(100, 100, 50));
    EXPECT_TRUE(IsInWindow(150, 100, 50));
    EXPECT_FALSE(IsInWindow(151, 100, 50));
    EXPECT_FALSE(IsInWindow(kNotSet, 0, 2147483647));
}

}  // namespace
}  // namespace orvex
