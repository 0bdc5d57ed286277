#include <gtest/gtest.h>

#include "app/DocumentSetup.h"
#include "processing/AnalysisFixture.h"
#include "processing/LapView.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::AddMark;
using test::FakeHost;

TEST(LapView, EntersRebuildsAndLeaves) {
    FakeHost host;
    host.answers = {Answer::Yes};
    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    auto ds = std::make_unique<CBriodashDataset>();
    ds->m_strName = "Run";
    ds->m_nFramed = 1;
    ds->m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
    test::FillRpm(*ds, 1, 4000, 1000, 400000);
    for (int i = 0; i < 4; ++i) AddMark(*ds, 1000 + 100000 * i, 100 * i);
    CBriodashDataset& session = *ds;
    doc.m_datasets.push_back(std::move(ds));
    doc.m_datasets.push_back(std::make_unique<CBriodashDataset>());  // no marks: no laps

    doc.SetLapView(true);
    EXPECT_TRUE(doc.m_bLapView);
    ASSERT_EQ(doc.m_datasets.size(), 6u);
    EXPECT_EQ(host.questions,
              (std::vector<std::string>{"Do you wish to set all channels in a Lap to one color?"}));
    EXPECT_EQ(host.titles.front(), "Analyzing Laps");
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(doc.m_datasets[static_cast<std::size_t>(i)]->m_nLap, i);
    EXPECT_EQ(doc.m_datasets[5]->m_nLap, 0);

    // Three beacons per lap: the 4 marks make 1 lap line after the start and an end segment.
    ChangeBeaconsPerLap(doc, session, 3);
    EXPECT_TRUE(doc.m_bModified);
    EXPECT_EQ(doc.m_datasets.size(), 4u);

    doc.SetLapView(false);
    EXPECT_FALSE(doc.m_bLapView);
    EXPECT_EQ(doc.m_datasets.size(), 2u);
}

// A command that needs the plain view leaves the lap view for its duration; the laps come back
// cut afresh, in the colours they had, without the colour question asked again.
TEST(LapView, APlainViewScopeLeavesAndRestoresTheLapView) {
    for (const Answer oneColour : {Answer::Yes, Answer::No}) {
        FakeHost host;
        host.answers = {oneColour};
        CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
        auto ds = std::make_unique<CBriodashDataset>();
        ds->m_nFramed = 1;
        ds->m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
        test::FillRpm(*ds, 1, 4000, 1000, 400000);
        for (int i = 0; i < 4; ++i) AddMark(*ds, 1000 + 100000 * i, 100 * i);
        CBriodashDataset& session = *ds;
        doc.m_datasets.push_back(std::move(ds));
        doc.SetLapView(true);
        const std::size_t withLaps = doc.m_datasets.size();
        const int32_t lapColour = doc.m_datasets[1]->m_rpm[0].m_crTrace;
        {
            CPlainViewScope plain(doc);
            EXPECT_FALSE(doc.m_bLapView);
            ASSERT_EQ(doc.m_datasets.size(), 1u);
            EXPECT_EQ(doc.m_datasets[0].get(), &session);  // the session itself stays
        }
        EXPECT_TRUE(doc.m_bLapView);
        EXPECT_EQ(doc.m_datasets.size(), withLaps);
        EXPECT_EQ(doc.m_datasets[1]->m_rpm[0].m_crTrace, lapColour);
        EXPECT_EQ(host.questions.size(), 1u);
    }
    // Outside the lap view the scope does nothing.
    FakeHost host;
    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    { CPlainViewScope plain(doc); }
    EXPECT_FALSE(doc.m_bLapView);
    EXPECT_TRUE(host.questions.empty());
}

}  // namespace
}  // namespace orvex
