// "Select Channels to Export": channels move between the two lists, the rate combo follows the
// selection, OK writes the chosen channels at the chosen rate after the file is chosen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestPaths.h"
#include "app/DocumentSetup.h"
#include "files/ExportDialog.h"
#include "processing/AnalysisFixture.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

// One session: engine at 100 Hz and throttle at 10 Hz over 1 s, two lap marks.
struct ExportDialogDoc : ::testing::Test {
    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), DocumentOptions{}};
    CBriodashDataset* ds = nullptr;
    std::string path =
        (std::filesystem::path(ORVEX_TEST_BINARY_DIR) / "export-dialog.asc").string();
    void SetUp() override {
        std::filesystem::remove(path);
        ds = &doc.AddUploadDataset();
        ds->m_strName = "Run";
        ds->m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
        test::FillRpm(*ds, 1, 4000, 100, 10000);
        ds->m_rpm[0].m_fRate = 100.0f;
        CAnalogSetup throttle;
        throttle.m_nChannel = 2;
        throttle.m_nType = 5;
        throttle.m_fMax = 100;
        throttle.m_strDescription = "Throttle";
        ds->m_carSetup.m_analog = {throttle};
        ds->m_analog[1].m_fRate = 10.0f;
        for (int32_t t = 0; t <= 10000; t += 1000) {
            CSample s;
            s.m_lTime = t;
            s.m_lRaw = s.m_lFiltered = t;
            ds->m_analog[1].AddTail(s);
        }
        test::AddMark(*ds, 2000, 0);
        test::AddMark(*ds, 8000, 100);
    }
    std::string Written() const {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(ExportDialogDoc, ListsAndRatesFollowTheSelection) {
    CExportChannelsDialog dlg(doc, ds, ExportOptions{}, {});
    EXPECT_EQ(dlg.m_available.items,
              (std::vector<std::string>{"RPM #1:Engine", "Analog #2:Throttle", "Lap Times"}));
    EXPECT_TRUE(dlg.m_selected.items.empty());
    EXPECT_FALSE(dlg.m_rate.enabled);
    EXPECT_FALSE(dlg.m_remove.enabled);

    dlg.m_available.marked = {1, 2};
    dlg.Clicked("add");
    EXPECT_EQ(dlg.m_available.items, (std::vector<std::string>{"RPM #1:Engine"}));
    EXPECT_EQ(dlg.m_selected.items, (std::vector<std::string>{"Analog #2:Throttle", "Lap Times"}));
    EXPECT_EQ(dlg.m_rate.items, (std::vector<std::string>{"10 Hz"}));
    EXPECT_TRUE(dlg.m_rate.enabled);

    dlg.m_available.selected = 0;  // no marks: the current entry moves
    dlg.Clicked("add");
    EXPECT_EQ(dlg.m_rate.items, (std::vector<std::string>{"10 Hz", "100 Hz"}));
    EXPECT_EQ(dlg.m_rate.selected, 0);  // the rate chosen before stays
    dlg.m_rate.selected = 1;
    dlg.Changed("rate");
    EXPECT_EQ(dlg.Rate(), 100.0);

    dlg.m_selected.marked = {1};  // "Analog #2:Throttle" (the lists keep the channel order)
    dlg.Clicked("remove");
    EXPECT_EQ(dlg.Mask(), RpmBit(1) | kExportTimesBit);
    EXPECT_EQ(dlg.m_rate.items, (std::vector<std::string>{"100 Hz"}));
    dlg.Clicked("removeAll");
    EXPECT_EQ(dlg.Mask(), 0u);
    dlg.Clicked("addAll");
    EXPECT_EQ(dlg.m_available.items.size(), 0u);
    EXPECT_FALSE(dlg.m_add.enabled);
}

TEST_F(ExportDialogDoc, OkWritesOnlyAfterTheFileIsChosen) {
    std::string answer;
    int asked = 0;
    CExportChannelsDialog dlg(doc, ds, ExportOptions{}, [&] {
        ++asked;
        return answer;
    });
    dlg.m_available.marked = {1};
    dlg.Clicked("add");
    EXPECT_TRUE(dlg.Accept());  // the file choice was cancelled
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(dlg.Written().empty());

    answer = path;
    EXPECT_TRUE(dlg.Accept());
    EXPECT_EQ(dlg.Written(), path);
    const std::string text = Written();
    EXPECT_NE(text.find("Analog #2: Throttle @ 10 Hz"), std::string::npos) << text;
    EXPECT_EQ(text.find("RPM #1"), std::string::npos);
    EXPECT_EQ(text.find("Lap Times"), std::string::npos);
    EXPECT_FALSE(doc.m_bModified);
}

}  // namespace
}  // namespace orvex
