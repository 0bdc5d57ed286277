// The lap choice with its 10 % distance question, the "Track Map Settings" source check and
// outcome, and the segment threshold texts.
#include <gtest/gtest.h>

#include <memory>

#include "app/DocumentSetup.h"
#include "demo/SessionGenerator.h"
#include "model/Document.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"
#include "trackmap/TrackMap.h"
#include "trackmap/TrackSettings.h"

namespace orvex {
namespace {

std::unique_ptr<CBriodashDataset> Demo(const char* name) {
    GeneratorOptions options;
    options.minutes = 5.0;
    options.rateHz = 20.0;
    std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
    ds->m_strName = name;
    test::FakeHost host;
    DeriveAfterLoad(*ds, kDistanceFrontWheel, Units::Imperial, host);
    return ds;
}

TEST(TrackMapLapSelection, LapsOffTheAverageDistanceNeedAYes) {
    auto ds = Demo("Heat");
    std::optional<TrackLap> lap2 = FindTrackLap(*ds, 2);
    ASSERT_TRUE(lap2);
    EXPECT_EQ(lap2->code, TrackLapCode(ds->m_nGroup, 2));
    EXPECT_EQ(lap2->code >> 16, 2);
    test::FakeHost host;
    CTrackMapLapSelection selection;
    selection.Open({ds.get()}, kSpeedFrontWheel, host);
    EXPECT_TRUE(host.questions.empty());
    ASSERT_EQ(selection.Entries().size(), 3u);
    EXPECT_EQ(selection.Entries()[0], "<No Lap Selected>");
    EXPECT_EQ(selection.Choose(0), nullptr);
    EXPECT_EQ(selection.Choose(2)->lap, 2);

    // An average 20 % longer than the laps: each lap is asked about; No leaves it out.
    ds->m_lLapDistance = static_cast<int32_t>(lap2->distance * 1.2);
    host.answers = {Answer::Yes, Answer::No};
    selection.Open({ds.get()}, kSpeedFrontWheel, host);
    ASSERT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(host.questions[1], ds->GetDisplayName(1 | 2, 2) +
                                     " calculated distance differs by more than 10% from the "
                                     "average lap distance.\nDo you wish to include this lap "
                                     "for Track Mapping?");
    ASSERT_EQ(selection.Laps().size(), 1u);
    EXPECT_EQ(selection.Laps()[0].lap, 1);
    EXPECT_EQ(selection.LeftOut(), std::vector<std::string>{host.questions[1]});

    // A session without the speed source offers no laps.
    ds->m_lLapDistance = -1;
    ds->m_carSetup.RemoveRpmSetup(FindRpmType(ds->m_carSetup, kRpmFrontWheel)->m_nChannel);
    CTrackMapLapSelection none;
    int offered = 0;
    for (int s = kSpeedEngine; s <= kSpeedAccelerometer; ++s) {
        none.Open({ds.get()}, s, host);
        offered += none.Laps().empty() ? 0 : 1;
    }
    EXPECT_EQ(offered, 3);
    none.Open({ds.get()}, kSpeedFrontWheel, host);
    EXPECT_TRUE(none.Laps().empty());
}

TEST(TrackMapSettings, SourceCheckMessagesAndTheDistanceSource) {
    auto heat = Demo("Heat");
    auto practice = Demo("Practice");
    practice->m_markers.RemoveAll();  // no lap marks: not for track mapping
    const CFreqSetup* front = FindRpmType(heat->m_carSetup, kRpmFrontWheel);
    ASSERT_TRUE(front);
    const int frontChannel = front->m_nChannel;
    heat->m_carSetup.RemoveRpmSetup(frontChannel);
    practice->m_carSetup.RemoveRpmSetup(frontChannel);

    test::FakeHost host;
    CTrackMapSettings settings;
    ASSERT_TRUE(settings.Open({heat.get(), practice.get()}, kSpeedFrontWheel, true, false, host));
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{
                  "The following Session(s) will ONLY be used for Track Mapping:\nHeat",
                  "Channel to \"Calculate Distance from\" has been changed from Front Wheel to "
                  "Engine RPM.\nFront Wheel channel NOT valid."}));
    EXPECT_EQ(settings.m_nSpeedSource, kSpeedEngine);
    EXPECT_EQ(settings.Offered(),
              (std::vector<int>{kSpeedEngine, kSpeedRearWheel, kSpeedAccelerometer}));
    EXPECT_TRUE(settings.m_bOpen);

    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    settings.m_nSpeedSource = kSpeedRearWheel;
    EXPECT_TRUE(settings.Ok(doc));
    EXPECT_EQ(doc.m_options.distanceMode, kDistanceRearWheel);
    EXPECT_EQ(doc.m_options.groundSpeedMap, kSpeedRearWheel);
    EXPECT_EQ(heat->m_nDistanceSource, kDistanceRearWheel);
    EXPECT_EQ(doc.m_options.openTrackMap, 1);

    CTrackMapSettings empty;
    EXPECT_FALSE(empty.Open({practice.get()}, kSpeedEngine, false, false, host));
}

TEST(TrackSegmentSettings, SliderTexts) {
    CTrackMap map;
    map.m_samples.resize(3);
    map.m_samples[0].m_dLatG = 1200.0;
    map.m_samples[1].m_dLatG = -900.0;
    map.m_dMaxLongG = 500.0;
    map.m_dMinLongG = -1100.0;
    struct Case {
        bool corners;
        const CTrackMap* map;
        const char *title, *positive, *positiveG, *negativeG;
    };
    const Case cases[] = {
        {false, &map, "Track Map Front-Rear Settings", "Positive G", " 0.10 Gs", "-0.33 Gs"},
        {true, &map, "Track Map Left-Right Settings", "Right Turn G", " 0.24 Gs", "-0.27 Gs"},
        {false, nullptr, "Track Map Front-Rear Settings", "Positive G", " 0.00 Gs", " 0.00 Gs"},
    };
    for (const Case& c : cases) {
        CTrackSegmentSettings s(c.corners, c.map, 0.2f, 0.3f);
        EXPECT_EQ(s.Title(), c.title);
        EXPECT_EQ(s.PositiveLabel(), c.positive);
        EXPECT_EQ(s.PercentText(true), "  20 %");
        EXPECT_EQ(s.PercentText(false), "  30 %");
        EXPECT_EQ(s.GText(true), c.positiveG);
        EXPECT_EQ(s.GText(false), c.negativeG);
        s.m_nNegative = 75;
        EXPECT_FLOAT_EQ(s.Fraction(false), 0.75f);
        s.Defaults();
        EXPECT_EQ(s.PercentText(false), "  20 %");
    }
}

}  // namespace
}  // namespace orvex
