// The "Lap Times Report" dialog's fields: deleting and inserting marks with "Update Elapsed
// Time", and OK writing the marks back into the document.
#include <gtest/gtest.h>

#include <memory>

#include "model/Document.h"
#include "processing/AnalysisFixture.h"
#include "processing/LapTimesDialog.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

struct NoServices : IDocumentServices {
    bool ReadFile(CBriodashDoc&, const std::string&, bool, bool, DataFileContents&) override {
        return false;
    }
    bool WriteFile(CBriodashDoc&, const std::string&, const DataFileContents&) override {
        return false;
    }
    void Derive(CBriodashDoc&) override {}
    void SetLapView(CBriodashDoc&, bool) override {}
    void ReanalyseLaps(CBriodashDoc&, CBriodashDataset&) override {}
    bool ComputeDistance(CBriodashDoc&, CBriodashDataset&, int) override { return false; }
    void ComputeSlip(CBriodashDoc&, CBriodashDataset&, int) override {}
    void AssignColours(CBriodashDataset&, int) override {}
};

std::vector<int32_t> Times(const CLapTimesReport& r) {
    std::vector<int32_t> out;
    for (const LapMark& m : r.Sessions()[0].marks) out.push_back(m.time);
    return out;
}
std::vector<int32_t> Codes(const CLapTimesReport& r) {
    std::vector<int32_t> out;
    for (const LapMark& m : r.Sessions()[0].marks) out.push_back(m.code);
    return out;
}

TEST(LapTimesDialog, DeleteAndInsertWithUpdateElapsedKeepTheLaterSplits) {
    test::FakeHost host;
    NoServices services;
    CBriodashDoc doc(host, services, DocumentOptions{});
    auto owned = std::make_unique<CBriodashDataset>();
    CBriodashDataset& ds = *owned;
    ds.m_strName = "Race";
    ds.m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
    test::FillRpm(ds, 1, 4000, 10000, 1000000);
    for (int i = 0; i < 4; ++i) test::AddMark(ds, i == 0 ? 10000 : i * 300000, i * 100);
    doc.m_datasets.push_back(std::move(owned));

    CLapTimesReport report;
    ASSERT_TRUE(report.Open(doc.ShownDatasets(), &ds, host));
    CLapTimesDialog dlg(report, doc);
    EXPECT_EQ(dlg.m_lines.items.size(), 4u);
    EXPECT_FALSE(dlg.m_relative.enabled);  // no line selected
    EXPECT_EQ(dlg.m_prompt.text, "Enter an absolute time from 0.000");

    dlg.Clicked("deleteLap");
    EXPECT_EQ(host.MessageTexts().back(), "A lap marker must be selected before it can be deleted");

    dlg.m_updateElapsed.checked = true;
    dlg.Changed("updateElapsed");
    dlg.m_lines.selected = 2;  // lap 2
    dlg.Changed("lines");
    EXPECT_TRUE(dlg.m_relative.enabled);
    dlg.Clicked("deleteLap");
    EXPECT_EQ(Times(report), (std::vector<int32_t>{10000, 300000, 600000}));
    EXPECT_EQ(Codes(report), (std::vector<int32_t>{0, 100, 200}));
    EXPECT_EQ(dlg.m_lines.items.size(), 3u);

    dlg.m_entry.Type("0:45");
    dlg.Clicked("elapsed");
    EXPECT_EQ(Times(report), (std::vector<int32_t>{10000, 300000, 450000, 750000}));
    EXPECT_EQ(Codes(report), (std::vector<int32_t>{0, 100, 200, 300}));
    EXPECT_TRUE(dlg.m_entry.text.empty());
    EXPECT_EQ(ds.m_markers.Size(), 4);  // nothing before OK
    EXPECT_EQ(ds.m_markers[3].m_lTime, 900000);

    ASSERT_TRUE(dlg.Accept());
    EXPECT_EQ(ds.m_markers[2].m_lTime, 450000);
    EXPECT_EQ(ds.m_markers[3].m_lTime, 750000);
    EXPECT_TRUE(doc.m_bModified);
    EXPECT_EQ(dlg.Written(), std::vector<CBriodashDataset*>{&ds});
}

}  // namespace
}  // namespace orvex
