// The beacons, move-marks, data-alignment and switch/timer dialogs on a document: rows per
// session, nothing written before OK, entries that cannot be read refused with a message.
#include <gtest/gtest.h>

#include "app/DocumentSetup.h"
#include "processing/AnalysisFixture.h"
#include "processing/LapToolDialogs.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::AddMark;
using test::FillRpm;

std::vector<int32_t> Codes(const CBriodashDataset& ds) {
    std::vector<int32_t> out;
    for (const CSample& m : ds.m_markers.m_samples) out.push_back(m.m_lRaw);
    return out;
}

// "Laps": engine RPM for 10 s, distance 1 ft per 0.1 s, marks at 1, 4 and 7 s.
// "Drag": the same without distance, its marks an ET slip (codes 0 and 1).
struct LapToolDoc : ::testing::Test {
    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), DocumentOptions{}};
    CBriodashDataset* laps = nullptr;
    CBriodashDataset* drag = nullptr;
    void SetUp() override {
        drag = &doc.AddUploadDataset();
        laps = &doc.AddUploadDataset();
        laps->m_strName = "Laps";
        drag->m_strName = "Drag";
        for (CBriodashDataset* ds : {laps, drag}) {
            ds->m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
            FillRpm(*ds, 1, 4000, 1000, 100000);
        }
        for (CShaft& s : laps->m_rpm[0].m_samples) s.m_lDistance = s.m_lTime / 100;
        laps->m_nDistanceSource = kDistanceEngine;
        for (auto [t, code] : {std::pair{10000, 0}, {40000, 100}, {70000, 200}})
            AddMark(*laps, t, code, t / 100);
        AddMark(*drag, 2000, 0);
        AddMark(*drag, 30000, 1);
    }
    template <class D>
    void Select(D& dlg, int row) {
        dlg.m_session.selected = row;
        dlg.Changed("session");
    }
};

TEST_F(LapToolDoc, BeaconsAreKeptPerSessionAndRenumberOnOk) {
    AddMark(*drag, 40000, 100);  // no longer an ET slip: it has lap marks
    CBeaconsDialog dlg(doc, drag);
    EXPECT_EQ(dlg.m_session.items, (std::vector<std::string>{"Laps", "Drag"}));
    EXPECT_EQ(dlg.m_session.selected, 1);
    EXPECT_EQ(dlg.m_beacons.value, 1);
    EXPECT_EQ(dlg.m_beacons.hi, 100);
    Select(dlg, 0);
    dlg.m_beacons.value = 3;
    dlg.Changed("beacons");
    Select(dlg, 1);
    EXPECT_EQ(dlg.m_beacons.value, 1);
    Select(dlg, 0);
    EXPECT_EQ(dlg.m_beacons.value, 3);
    EXPECT_EQ(Codes(*laps), (std::vector<int32_t>{0, 100, 200}));  // nothing before OK

    EXPECT_TRUE(dlg.Accept());
    EXPECT_EQ(Codes(*laps), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(laps->m_nBeaconsPerLap, 3);
    EXPECT_EQ(Codes(*drag), (std::vector<int32_t>{0, 1, 100}));  // unchanged
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(LapToolDoc, MoveMarksTakesFeetPerSessionAndRefusesABadEntry) {
    CMoveLapMarksDialog dlg(doc, laps);
    EXPECT_TRUE(dlg.m_distance.enabled);
    EXPECT_FALSE(dlg.m_note.shown);
    Select(dlg, 1);
    EXPECT_FALSE(dlg.m_distance.enabled);
    EXPECT_EQ(dlg.m_note.text, "The markers of this Session/Pass are ET-Slip times.");
    Select(dlg, 0);

    dlg.m_distance.Type("5x");
    EXPECT_TRUE(dlg.m_distance.error);
    dlg.Changed("distance");
    EXPECT_FALSE(dlg.Accept());
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{"The distance entered is invalid, please correct"}));
    EXPECT_EQ(laps->m_markers[1].m_lTime, 40000);

    dlg.m_distance.Type("-10");  // 10 ft back: 1 s earlier
    dlg.Changed("distance");
    EXPECT_TRUE(dlg.Accept());
    EXPECT_EQ(laps->m_markers[0].m_lTime, 10000);  // the start would reach 0 ft: it stays
    EXPECT_EQ(laps->m_markers[1].m_lTime, 30000);
    EXPECT_EQ(laps->m_markers[2].m_lTime, 60000);
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(LapToolDoc, DataAlignmentNeedsBothMarkersAndADriveShaft) {
    EXPECT_FALSE(CDataAlignmentDialog::CanOpen(kNotSet, 3000, host));
    EXPECT_TRUE(CDataAlignmentDialog::CanOpen(5000, 3000, host));
    CDataAlignmentDialog dlg(doc, laps, 5000, 3000);
    EXPECT_EQ(dlg.m_green.text, "@ 0:00.5000");
    EXPECT_FALSE(dlg.Accept());  // no drive shaft: the dialog stays
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{
                  "Both the Green and Red Markers must be set\n to align tach and drive shaft "
                  "data",
                  "This function is only designed to work with Engine and Drive Shaft RPM!"}));
    laps->m_carSetup.m_rpm.push_back(test::RpmSetup(2, 10, "Drive Shaft", 3, 0.0f, 1));
    FillRpm(*laps, 2, 2000, 1000, 10000);
    EXPECT_TRUE(dlg.Accept());
    EXPECT_EQ(laps->m_rpm[1][2].m_lTime, 5000);  // the sample at 3000 moved to 5000
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(LapToolDoc, SwitchTimerListFollowsItsFiltersAndTheSelection) {
    CDigitalSetup brake;
    brake.m_nChannel = 1;
    brake.m_nType = 4;
    brake.m_strDescription = "Brake";
    for (CBriodashDataset* ds : {laps, drag}) {
        ds->m_carSetup.m_digital = {brake};
        for (int i = 0; i < 5; ++i) {
            CSample s;
            s.m_lTime = 10000 * i;
            s.m_lRaw = s.m_lFiltered = i % 2;
            ds->m_digital[0].AddTail(s);
        }
    }
    laps->m_digital[0].m_nOn = 1;  // only the laps' brake is shown
    CSwitchTimerDialog dlg(doc, 15000, 35000);
    EXPECT_EQ(dlg.m_events.items,
              (std::vector<std::string>{"Laps:Brake @ 0:01.0000", "Laps:Brake @ 0:02.0000",
                                        "Laps:Brake @ 0:03.0000", "Laps:Brake @ 0:04.0000"}));
    dlg.m_channels.selected = 0;  // "Viewed Data Pts": inside the graph's window
    dlg.Changed("channels");
    EXPECT_EQ(dlg.m_events.items.size(), 2u);
    dlg.m_channels.selected = 2;  // "All Channels"
    dlg.Changed("channels");
    EXPECT_EQ(dlg.m_events.items.size(), 8u);
    EXPECT_EQ(dlg.m_difference.text, "Can Only calculate difference between 2 selections!");
    dlg.m_events.marked = {0, 3};
    dlg.Changed("events");
    EXPECT_EQ(dlg.m_difference.text, "0:03.0000");
    dlg.m_events.marked = {0, 1, 2};
    dlg.Changed("events");
    EXPECT_EQ(dlg.m_difference.text, "Can Only calculate difference between 2 selections!");
}

}  // namespace
}  // namespace orvex
