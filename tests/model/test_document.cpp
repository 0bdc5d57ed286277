#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestPaths.h"
#include "app/DocumentSetup.h"
#include "files/DataFile.h"
#include "model/Document.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

CSample S(int32_t t, int32_t v) {
    CSample s;
    s.m_lTime = t;
    s.m_lRaw = s.m_lFiltered = v;
    return s;
}

// A session with one configured analog channel sampled every 100 ticks from 0 to 1000.
std::unique_ptr<CBriodashDataset> Session(const std::string& name, const std::string& comment) {
    auto ds = std::make_unique<CBriodashDataset>();
    ds->m_strName = name;
    ds->m_lstComments = {comment};
    CAnalogSetup a;
    a.m_nChannel = 1;
    a.m_strDescription = "Throttle";
    ds->m_carSetup.m_analog.push_back(a);
    for (int i = 0; i <= 10; ++i) ds->m_analog[0].AddTail(S(i * 100, i));
    ds->m_analog[0].m_nOn = 1;
    return ds;
}

class DocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::path(ORVEX_TEST_BINARY_DIR) / "document-test" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    std::string Write(const std::string& name,
                      std::vector<std::unique_ptr<CBriodashDataset>> datasets) {
        DataFileContents c;
        c.datasets = std::move(datasets);
        std::string path = (dir / name).string();
        test::FakeHost h;
        EXPECT_TRUE(WriteDataFile(path, c, h, Units::Imperial));
        return path;
    }
    fs::path dir;
    test::FakeHost host;
};

TEST_F(DocumentTest, OverlayCountsDistinctNamesAndRenamesThePath) {
    std::vector<std::unique_ptr<CBriodashDataset>> two;
    two.push_back(Session("Alpha", "2026-05-01"));
    two.push_back(Session("Beta", "2026-05-01"));
    std::string first = Write("first.tbc", std::move(two));
    std::vector<std::unique_ptr<CBriodashDataset>> one;
    one.push_back(Session("Gamma", "Lap 3 - 12:00"));
    std::string second = Write("second.tbc", std::move(one));

    CBriodashDoc doc(host, DefaultDocumentServices(), {});
    ASSERT_TRUE(doc.Open(first));
    EXPECT_EQ(doc.m_nOverlayCount, 2);
    ASSERT_TRUE(doc.AddOverlay(second));
    ASSERT_TRUE(doc.AddOverlay(second));
    ASSERT_EQ(doc.m_datasets.size(), 4u);
    EXPECT_EQ(doc.m_datasets[2]->m_strName, "Gamma:Lap 3");
    EXPECT_EQ(doc.m_nOverlayCount, 4);
    EXPECT_EQ(doc.m_datasets[3]->m_nGroup, 4);
    EXPECT_EQ(doc.m_strPathName, (dir / "ZODARU4.tbc").string());
    EXPECT_EQ(doc.m_strTitle, "first.tbc & Gamma:Lap 3 & Gamma:Lap 3");

    // Saving under the overlay name never touches the first file.
    auto before = fs::last_write_time(first);
    ASSERT_TRUE(doc.Save(doc.m_strPathName));
    EXPECT_EQ(fs::last_write_time(first), before);
    CBriodashDoc reopened(host, DefaultDocumentServices(), {});
    ASSERT_TRUE(reopened.Open((dir / "ZODARU4.tbc").string()));
    EXPECT_EQ(reopened.m_datasets.size(), 4u);
}

TEST_F(DocumentTest, DeleteBeforeGreenUnsetsGreenInDeletedPart) {
    std::vector<std::unique_ptr<CBriodashDataset>> one;
    one.push_back(Session("Run", "c"));
    std::string path = Write("run.tbc", std::move(one));
    CBriodashDoc doc(host, DefaultDocumentServices(), {});
    ASSERT_TRUE(doc.Open(path));
    doc.m_lGreenTime = 200;
    doc.m_lGreenDistance = 5;
    doc.m_lRedTime = 800;
    host.answers = {Answer::Yes};
    CBriodashDataset* kept = doc.DeleteData(*doc.m_datasets[0], 450, kNotSet);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(doc.m_lGreenTime, kNotSet);
    EXPECT_EQ(doc.m_lGreenDistance, kNotSet);
    EXPECT_EQ(doc.m_lRedTime, 350);
    ASSERT_EQ(doc.m_datasets.size(), 2u);
    EXPECT_TRUE(doc.m_datasets[0]->m_bDeleted);
    EXPECT_EQ(doc.m_datasets[0]->GetFirstComment(), "DELETED");
    EXPECT_EQ(kept, doc.m_datasets[1].get());
    EXPECT_EQ(kept->m_analog[0][0].m_lTime, 0);
    EXPECT_EQ(kept->m_analog[0][0].m_lRaw, 4);  // interpolated at 450
    EXPECT_EQ(host.messages.back().text, "Data has been deleted.");

    // Saved and reopened, only the kept part remains.
    ASSERT_TRUE(doc.Save((dir / "cut.tbc").string()));
    CBriodashDoc reopened(host, DefaultDocumentServices(), {});
    ASSERT_TRUE(reopened.Open((dir / "cut.tbc").string()));
    ASSERT_EQ(reopened.m_datasets.size(), 1u);
    EXPECT_EQ(reopened.m_datasets[0]->m_analog[0].Size(), 7u);
}

TEST_F(DocumentTest, DeleteDataChecksSelection) {
    CBriodashDoc doc(host, DefaultDocumentServices(), {});
    doc.m_datasets.push_back(Session("Run", "c"));
    CBriodashDataset& ds = *doc.m_datasets[0];
    host.answers = {Answer::No};
    EXPECT_EQ(doc.DeleteData(ds, 100, kNotSet), nullptr);
    EXPECT_TRUE(host.messages.empty());
    host.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(doc.DeleteData(ds, kNotSet, kNotSet), nullptr);
    EXPECT_EQ(doc.DeleteData(ds, 500, 300), nullptr);
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{
                  "Nothing has been selected to delete!",
                  "Deleting an Interior selection of data NOT currently supported!"}));
    EXPECT_EQ(doc.m_datasets.size(), 1u);
}

TEST_F(DocumentTest, DeleteAfterKeepsTheEarlyPart) {
    CBriodashDoc doc(host, DefaultDocumentServices(), {});
    doc.m_datasets.push_back(Session("Run", "c"));
    doc.m_lRedTime = 900;
    host.answers = {Answer::Yes};
    CBriodashDataset* kept = doc.DeleteData(*doc.m_datasets[0], kNotSet, 600);
    ASSERT_EQ(kept, doc.m_datasets[0].get());
    EXPECT_EQ(kept->m_analog[0].Size(), 7u);
    EXPECT_TRUE(doc.m_datasets[1]->m_bDeleted);
    EXPECT_EQ(doc.m_lRedTime, kNotSet);
}

TEST_F(DocumentTest, RenameAndCommentsSurviveSaveAndReopen) {
    CBriodashDoc doc(host, DefaultDocumentServices(), {});
    doc.m_datasets.push_back(Session("Run", "first"));
    EXPECT_FALSE(doc.Rename(*doc.m_datasets[0], ""));
    EXPECT_EQ(host.MessageTexts().back(), "A Name must be specified!");
    EXPECT_TRUE(doc.Rename(*doc.m_datasets[0], "Qualifying"));
    doc.SetComments(*doc.m_datasets[0], "line one\r\nline two");
    std::string path = (dir / "renamed").string();
    ASSERT_TRUE(doc.Save(path));
    EXPECT_EQ(doc.m_strPathName, path + ".tbc");
    CBriodashDoc reopened(host, DefaultDocumentServices(), {});
    ASSERT_TRUE(reopened.Open(path + ".tbc"));
    EXPECT_EQ(reopened.m_datasets[0]->m_strName, "Qualifying");
    EXPECT_EQ(CBriodashDoc::CommentsText(*reopened.m_datasets[0]), "line one\r\nline two");
}

TEST_F(DocumentTest, FailedSaveKeepsPathAndOldFile) {
    CBriodashDoc doc(host, DefaultDocumentServices(), {});
    doc.m_datasets.push_back(Session("Run", "first"));
    std::string good = (dir / "good.tbc").string();
    ASSERT_TRUE(doc.Save(good));
    EXPECT_FALSE(doc.Save((dir / "bad.txt").string()));
    EXPECT_FALSE(doc.Save((dir / "missing-dir" / "x.tbc").string()));
    EXPECT_EQ(doc.m_strPathName, good);
    EXPECT_TRUE(fs::exists(good));
    EXPECT_FALSE(fs::exists(dir / "bad.txt"));
}

TEST(DeleteDataSelection, OnlyOneGroupAtATime) {
    test::FakeHost host;
    CDeleteDataSelection sel(host);
    sel.Choose(CDeleteDataSelection::Green, true);
    host.answers = {Answer::No};
    sel.Choose(CDeleteDataSelection::Red, true);
    EXPECT_EQ(sel.m_group, CDeleteDataSelection::Green);
    EXPECT_EQ(host.questions.back(),
              "Red Marker selection overlaps Green Marker selection.\nRemove Green Marker "
              "selection?");
    host.answers = {Answer::Yes};
    sel.Choose(CDeleteDataSelection::Lap, false);
    EXPECT_EQ(sel.m_group, CDeleteDataSelection::Lap);
    EXPECT_TRUE(sel.m_bAfter);
    sel.Choose(CDeleteDataSelection::Lap, false);  // clicked again: cleared
    EXPECT_EQ(sel.m_group, CDeleteDataSelection::None);
    sel.Choose(CDeleteDataSelection::Red, true);
    host.answers = {Answer::Yes};
    EXPECT_TRUE(sel.ChooseWholeDataset());
    EXPECT_EQ(sel.m_group, CDeleteDataSelection::None);
}

class FakeRace : public IRaceMode {
  public:
    bool IsActive() const override { return true; }
    bool Contains(const CBriodashDataset& ds) const override { return &ds == member; }
    bool Add(CBriodashDataset& ds) override {
        added = &ds;
        return true;
    }
    const CBriodashDataset* member = nullptr;
    CBriodashDataset* added = nullptr;
};

TEST(DocumentRaceGuard, AllOffForRaceSessionIsIgnored) {
    test::FakeHost host;
    CBriodashDoc doc(host, DefaultDocumentServices(), {});
    doc.m_datasets.push_back(Session("Race", "c"));
    doc.m_datasets.push_back(Session("Other", "c"));
    doc.m_datasets[1]->m_analog[0].m_nOn = 0;
    FakeRace race;
    race.member = doc.m_datasets[0].get();
    doc.SetRaceMode(&race);
    ChannelChoice off;
    ChannelChoice on;
    on.analogOn[0] = true;
    host.answers = {Answer::No};
    doc.ApplyChannelChanges({{doc.m_datasets[0].get(), off}, {doc.m_datasets[1].get(), on}});
    EXPECT_EQ(doc.m_datasets[0]->m_analog[0].m_nOn, 1);
    EXPECT_EQ(doc.m_datasets[1]->m_analog[0].m_nOn, 0);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text,
              "All channels have been turned off for Race.\nThis Session is being used for Race "
              "Mode.\nChanges to this Session will be ignored.");
    EXPECT_EQ(host.messages[1].text, "Changes to Session 'Other' will be ignored!");
    host.answers = {Answer::Yes};
    doc.ApplyChannelChanges({{doc.m_datasets[1].get(), on}});
    EXPECT_EQ(race.added, doc.m_datasets[1].get());
    EXPECT_EQ(doc.m_datasets[1]->m_analog[0].m_nOn, 1);
}

}  // namespace
}  // namespace orvex
