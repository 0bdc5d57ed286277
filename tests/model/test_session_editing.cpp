// The rename and comments dialogs edit copies of the shown sessions' texts; OK writes them.
#include <gtest/gtest.h>

#include "app/DocumentSetup.h"
#include "model/SessionEditing.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

struct TwoSessionDoc : ::testing::Test {
    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), DocumentOptions{}};
    CBriodashDataset* heat = nullptr;
    CBriodashDataset* finalRun = nullptr;
    void SetUp() override {
        finalRun = &doc.AddUploadDataset();
        finalRun->m_strName = "Final";
        heat = &doc.AddUploadDataset();  // goes first
        heat->m_strName = "Heat 1";
        heat->m_lstComments = {"Uploaded 10:02", "dry"};
    }
    void Select(CSessionTexts& dlg, int row) {
        dlg.m_session.selected = row;
        dlg.Changed("session");
    }
    void Type(CSessionTexts& dlg, const std::string& field, const std::string& text) {
        dlg.m_text.Type(text);
        dlg.Changed(field);
    }
};

TEST_F(TwoSessionDoc, RenameRefusesAnEmptyNameAndWritesEveryEditOnOk) {
    CRenameSessions dlg(doc);
    EXPECT_EQ(dlg.m_session.items, (std::vector<std::string>{"Heat 1", "Final"}));
    EXPECT_EQ(dlg.m_text.text, "Heat 1");
    Type(dlg, "name", "Heat 2");
    EXPECT_EQ(dlg.m_session.items[0], "Heat 2");
    Select(dlg, 1);
    EXPECT_EQ(dlg.m_text.text, "Final");
    Type(dlg, "name", "");
    Select(dlg, 0);
    EXPECT_EQ(dlg.m_text.text, "Heat 2");
    EXPECT_EQ(heat->m_strName, "Heat 1");  // nothing written before OK

    EXPECT_FALSE(dlg.Accept());
    EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"A Name must be specified!"}));
    EXPECT_EQ(dlg.m_session.selected, 1);  // the session without a name
    EXPECT_EQ(heat->m_strName, "Heat 1");
    EXPECT_FALSE(doc.m_bModified);

    Type(dlg, "name", "Final A");
    EXPECT_TRUE(dlg.Accept());
    EXPECT_EQ(heat->m_strName, "Heat 2");
    EXPECT_EQ(finalRun->m_strName, "Final A");
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(TwoSessionDoc, CommentsEditAsLinesAndOnlyChangedSessionsAreWritten) {
    CSessionComments dlg(doc);
    EXPECT_EQ(dlg.m_text.text, "Uploaded 10:02\ndry");
    Type(dlg, "comments", "Uploaded 10:02\nwet\nsoft tires");
    Select(dlg, 1);
    EXPECT_EQ(dlg.m_text.text, "");
    EXPECT_TRUE(dlg.Accept());
    EXPECT_EQ(heat->m_lstComments,
              (std::vector<std::string>{"Uploaded 10:02", "wet", "soft tires"}));
    EXPECT_TRUE(finalRun->m_lstComments.empty());

    doc.m_bModified = false;
    CSessionComments unchanged(doc);
    EXPECT_TRUE(unchanged.Accept());
    EXPECT_FALSE(doc.m_bModified);
}

}  // namespace
}  // namespace orvex
