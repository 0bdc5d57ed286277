// The delete-data dialog on a document: the cut point comes from the chosen group (the lap
// marker picked with its spin control), every refusal keeps the dialog and the data.
#include <gtest/gtest.h>

#include "app/DocumentSetup.h"
#include "model/DeleteDataDialog.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

CSample S(int32_t t, int32_t v) {
    CSample s;
    s.m_lTime = t;
    s.m_lRaw = s.m_lFiltered = v;
    return s;
}

// "Run": analog channel 1 every 100 ticks from 0 to 1000, marks at 200 (start), 500 (lap 1)
// and 800 (lap 2). "Other": the same data without marks.
struct DeleteDialog : ::testing::Test {
    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), DocumentOptions{}};
    CBriodashDataset* run = nullptr;
    CBriodashDataset* other = nullptr;
    void SetUp() override {
        for (const char* name : {"Other", "Run"}) {
            CBriodashDataset& ds = doc.AddUploadDataset();
            ds.m_strName = name;
            CAnalogSetup a;
            a.m_nChannel = 1;
            a.m_strDescription = "Throttle";
            ds.m_carSetup.m_analog.push_back(a);
            for (int i = 0; i <= 10; ++i) ds.m_analog[0].AddTail(S(i * 100, i));
            ds.m_analog[0].m_nOn = 1;
        }
        run = doc.m_datasets[0].get();
        other = doc.m_datasets[1].get();
        run->m_nGroup = 1;  // as an opened file numbers its sessions
        other->m_nGroup = 2;
        for (auto [t, code] : {std::pair{200, 0}, {500, 100}, {800, 200}})
            run->m_markers.AddTail(S(t, code));
    }
    void Click(CDeleteDataDialog& dlg, const std::string& name) {
        auto* box = std::get<CheckField*>(dlg.Find(name)->field);
        box->checked = !box->checked;
        dlg.Changed(name);
    }
    void PickLapMarker(CDeleteDataDialog& dlg, int n) {
        dlg.m_lapMarker.value = n;
        dlg.Changed("lapMarker");
    }
};

TEST_F(DeleteDialog, LapChoicesCutAtTheMarkerAndTheOneBeforeIt) {
    CDeleteDataDialog dlg(doc, other);
    EXPECT_EQ(dlg.m_session.items, (std::vector<std::string>{"Run", "Other"}));
    EXPECT_EQ(dlg.m_session.selected, 1);
    // Neither marker is set and "Other" has no lap markers: nothing to choose.
    for (const char* name : {"greenBefore", "redAfter", "lapBefore", "lapAfter"})
        EXPECT_FALSE(std::get<CheckField*>(dlg.Find(name)->field)->enabled) << name;
    EXPECT_FALSE(dlg.m_lapMarker.enabled);

    dlg.m_session.selected = 0;
    dlg.Changed("session");
    EXPECT_TRUE(dlg.m_lapMarker.enabled);
    EXPECT_EQ(dlg.m_lapMarker.hi, 3);
    EXPECT_EQ(dlg.m_lapMarkerTime.text, "Start @ 0:00.0200");
    PickLapMarker(dlg, 3);
    EXPECT_EQ(dlg.m_lapMarkerTime.text, "Lap #2 @ 0:00.0800");

    struct Case {
        const char* click;
        int marker;
        int32_t before, after;
    };
    const Case cases[] = {
        {"lapBefore", 3, 500, kNotSet},  // the marker before lap 2
        {"lapBefore", 1, 0, kNotSet},    // none before the first: the start of data
        {"lapAfter", 2, kNotSet, 500},
    };
    for (const Case& c : cases) {
        CDeleteDataDialog d(doc, run);
        PickLapMarker(d, c.marker);
        Click(d, c.click);
        int32_t before = 0, after = 0;
        d.CutTimes(before, after);
        EXPECT_EQ(before, c.before) << c.click << c.marker;
        EXPECT_EQ(after, c.after) << c.click << c.marker;
    }
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(DeleteDialog, OkCutsBeforeTheGreenMarkerOnlyAfterYes) {
    doc.m_lGreenTime = 450;
    doc.m_lRedTime = 900;
    CDeleteDataDialog dlg(doc, run);
    EXPECT_EQ(dlg.m_greenTime.text, "@ 0:00.0450");
    Click(dlg, "greenBefore");

    host.answers = {Answer::No};
    EXPECT_FALSE(dlg.Accept());  // the dialog stays, nothing is cut
    EXPECT_EQ(doc.m_datasets.size(), 2u);
    EXPECT_FALSE(doc.m_bModified);

    host.answers = {Answer::Yes};
    EXPECT_TRUE(dlg.Accept());
    ASSERT_EQ(doc.m_datasets.size(), 3u);
    EXPECT_TRUE(run->m_bDeleted);
    ASSERT_EQ(dlg.Kept(), doc.m_datasets[1].get());
    EXPECT_EQ(dlg.Kept()->m_analog[0].Size(), 7u);  // 450 (interpolated) .. 1000
    EXPECT_EQ(doc.m_lGreenTime, 0);
    EXPECT_EQ(doc.m_lRedTime, 450);
    EXPECT_EQ(host.messages.back().text, "Data has been deleted.");
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(DeleteDialog, NothingChosenIsReportedAndTheWholeDataSetGoesOnYes) {
    CDeleteDataDialog dlg(doc, run);
    host.answers = {Answer::Yes};
    EXPECT_FALSE(dlg.Accept());
    EXPECT_EQ(host.messages.back().text, "Nothing has been selected to delete!");
    EXPECT_FALSE(run->m_bDeleted);

    Click(dlg, "wholeDataset");
    host.answers = {Answer::No};
    EXPECT_FALSE(dlg.Accept());
    EXPECT_FALSE(run->m_bDeleted);
    host.answers = {Answer::Yes};
    EXPECT_TRUE(dlg.Accept());
    EXPECT_TRUE(run->m_bDeleted);
    EXPECT_EQ(run->GetFirstComment(), "DELETED");
    EXPECT_FALSE(other->m_bDeleted);
}

}  // namespace
}  // namespace orvex
