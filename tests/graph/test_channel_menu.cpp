// The "Channel Menu" state: the rows of a session's channels, all on / all off, OK through the
// race-mode guard, and colour files loaded into and saved from the listed sessions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "graph/ChannelMenu.h"
#include "processing/AnalysisFixture.h"
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

// A race that holds no session.
struct EmptyRace : IRaceMode {
    bool IsActive() const override { return true; }
    bool Contains(const CBriodashDataset&) const override { return false; }
    bool Add(CBriodashDataset&) override { return false; }
};

struct ChannelMenuTest : ::testing::Test {
    test::FakeHost host;
    NoServices services;
    std::unique_ptr<CBriodashDoc> doc;
    std::string dir;

    void SetUp() override {
        doc = std::make_unique<CBriodashDoc>(host, services, DocumentOptions{});
        for (const char* name : {"Pass 1", "Pass 2", "Pass 3"}) {
            auto ds = std::make_unique<CBriodashDataset>();
            ds->m_strName = name;
            ds->m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
            ds->m_carSetup.m_rpm.push_back(test::RpmSetup(2, 12, "Rear Wheel", 0, 80.0f, 1));
            CAnalogSetup a;
            a.m_nChannel = 4;
            a.m_strDescription = "Throttle";
            ds->m_carSetup.m_analog.push_back(a);
            test::FillRpm(*ds, 1, 4000, 1000, 10000);
            test::AddMark(*ds, 1000, 0);
            doc->m_datasets.push_back(std::move(ds));
        }
        char name[] = "/tmp/orvex-colours-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override {
        std::remove((dir + "/two.col").c_str());
        std::remove((dir + "/all.col").c_str());
        ::rmdir(dir.c_str());
    }
    CBriodashDataset& First() { return *doc->m_datasets.front(); }
};

std::string NoPath(bool) {
    return "";
}

TEST_F(ChannelMenuTest, RowsSwitchOnlyOnOk) {
    CChannelMenu menu(*doc, NoPath);
    EXPECT_EQ(menu.Sessions(), 3);
    std::vector<std::string> texts;
    for (const CChannelMenu::Row& r : menu.Rows()) texts.push_back(r.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Lap Markers", "RPM #1: Engine", "RPM #2: Rear Wheel",
                                        "Slip #2: Rear Wheel", "Analog #4: Throttle"}));
    EXPECT_EQ(menu.ColourTitle(1), "Choose Color for RPM #1: Engine");
    menu.m_allOn.enabled = true;
    menu.Clicked("allOn");
    for (const CChannelMenu::Row& r : menu.Rows()) EXPECT_TRUE(r.on) << r.text;
    EXPECT_EQ(First().m_rpm[0].m_nOn, 0);  // nothing before OK
    menu.SetOn(1, false);
    menu.SetColour(4, MakeRGB(255, 0, 0));
    ASSERT_TRUE(menu.Accept());
    EXPECT_EQ(First().m_rpm[0].m_nOn, 0);
    EXPECT_NE(First().m_rpm[1].m_nSlipOn, 0);
    EXPECT_NE(First().m_analog[3].m_nOn, 0);
    EXPECT_EQ(static_cast<ColorRef>(First().m_analog[3].m_crTrace), MakeRGB(255, 0, 0));
    EXPECT_EQ(doc->m_datasets[1]->m_analog[3].m_nOn, 0);  // another session kept its choice
}

TEST_F(ChannelMenuTest, RaceModeIgnoresASessionTurnedOnOutsideTheRace) {
    EmptyRace race;
    doc->SetRaceMode(&race);
    CChannelMenu menu(*doc, NoPath);
    menu.SetAll(true);
    host.answers = {Answer::No};
    ASSERT_TRUE(menu.Accept());
    ASSERT_FALSE(host.questions.empty());
    EXPECT_NE(host.questions.front().find("is NOT currently being used for Race Mode"),
              std::string::npos);
    EXPECT_EQ(First().m_rpm[0].m_nOn, 0);
}

TEST_F(ChannelMenuTest, ColourFileWithFewerSetsColoursTheFirstSessionsAndSays) {
    std::vector<CColor> two = {CColor::Default(1), CColor::Default(2)};
    two[1].m_crAnalog[3] = MakeRGB(1, 2, 3);
    ASSERT_TRUE(WriteColorFile(dir + "/two.col", two, host));
    CChannelMenu menu(*doc, [this](bool) { return dir + "/two.col"; });
    menu.Clicked("loadColors");
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{"The color file contained only 2 color entries"});
    menu.m_session.selected = 1;
    EXPECT_EQ(menu.Rows().back().colour, MakeRGB(1, 2, 3));
    ASSERT_TRUE(menu.Accept());
    EXPECT_EQ(static_cast<ColorRef>(doc->m_datasets[1]->m_analog[3].m_crTrace), MakeRGB(1, 2, 3));

    // Saving writes one set per listed session, read back the same but for the marker.
    ASSERT_TRUE(menu.SaveColours(dir + "/all.col"));
    auto sets = ReadColorFile(dir + "/all.col", host);
    ASSERT_TRUE(sets);
    ASSERT_EQ(sets->size(), 3u);
    EXPECT_EQ((*sets)[1].m_crAnalog[3], MakeRGB(1, 2, 3));
    EXPECT_EQ((*sets)[0].m_crMarker, 0u);
}

}  // namespace
}  // namespace orvex
