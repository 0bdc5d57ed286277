// The dialog models of the track map and race mode: fields, texts and outcomes.
#include <gtest/gtest.h>

#include <memory>

#include "app/DocumentSetup.h"
#include "demo/SessionGenerator.h"
#include "model/Document.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"
#include "trackmap/TrackDialogs.h"
#include "trackmap/TrackMap.h"

namespace orvex {
namespace {

std::unique_ptr<CBriodashDataset> Demo() {
    GeneratorOptions options;
    options.minutes = 5.0;
    options.rateHz = 20.0;
    std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
    test::FakeHost host;
    DeriveAfterLoad(*ds, kDistanceFrontWheel, Units::Imperial, host);
    return ds;
}

TEST(TrackDialogs, LapSelectionListsTheLapsAndKeepsTheCurrentOne) {
    auto ds = Demo();
    test::FakeHost host;
    CTrackMapLapSelection selection;
    selection.Open({ds.get()}, kSpeedFrontWheel, host);
    CTrackLapDialog dialog(selection);
    EXPECT_EQ(dialog.lap.items, selection.Entries());
    EXPECT_EQ(dialog.lap.selected, 0);
    EXPECT_EQ(dialog.Chosen(), nullptr);
    dialog.SelectCode(TrackLapCode(ds->m_nGroup, 2));
    EXPECT_EQ(dialog.lap.selected, 2);
    ASSERT_NE(dialog.Chosen(), nullptr);
    EXPECT_EQ(dialog.Chosen()->lap, 2);
    EXPECT_EQ(dialog.BoundNames(), std::vector<std::string>{"lap"});
}

TEST(TrackDialogs, SettingsRadioOrderDefaultsAndOutcome) {
    EXPECT_EQ(CTrackSettingsDialog::SourceOfOption(0), kSpeedFrontWheel);
    EXPECT_EQ(CTrackSettingsDialog::SourceOfOption(3), kSpeedEngine);
    EXPECT_EQ(CTrackSettingsDialog::OptionOfSource(kSpeedAccelerometer), 2);
    test::FakeHost host;
    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    doc.m_datasets.push_back(Demo());
    CTrackMapSettings settings;
    ASSERT_TRUE(settings.Open(doc.ShownDatasets(), kSpeedFrontWheel, false, true, host));
    CTrackSettingsDialog dialog(settings, &doc);
    EXPECT_EQ(dialog.source.selected, 0);
    EXPECT_TRUE(dialog.banking.checked);
    dialog.openMap.checked = true;
    dialog.Changed("openMap");
    dialog.Clicked("defaults");
    EXPECT_FALSE(dialog.openMap.checked);
    EXPECT_FALSE(dialog.banking.checked);
    dialog.openMap.checked = true;
    dialog.Changed("openMap");
    EXPECT_TRUE(dialog.Accept());
    EXPECT_EQ(doc.m_options.openTrackMap, 1);
}

TEST(TrackDialogs, SegmentSlidersShowPercentAndGAndDefaults) {
    CTrackMap map;
    map.m_samples.resize(3);
    map.m_dMaxLongG = 800.0;  // 0.8 G at a G scale of 1000
    map.m_dMinLongG = -1200.0;
    CTrackSegmentSettings settings(false, &map, 0.2f, 0.2f);
    CTrackSegmentDialog dialog(settings);
    EXPECT_EQ(dialog.title.text, "Track Map Front-Rear Settings");
    EXPECT_EQ(dialog.positiveLabel.text, "Positive G");
    EXPECT_EQ(dialog.positive.hi, 100);
    dialog.positive.value = 50;
    dialog.Changed("positive");
    EXPECT_EQ(dialog.positivePercent.text, "  50 %");
    EXPECT_EQ(dialog.positiveG.text, " 0.40 Gs");
    EXPECT_EQ(dialog.negativeG.text, "-0.24 Gs");
    dialog.Clicked("defaults");
    EXPECT_EQ(dialog.positive.value, 20);
    EXPECT_EQ(dialog.positivePercent.text, "  20 %");
    EXPECT_FLOAT_EQ(settings.Fraction(true), 0.2f);
    // Without a map the G reads nothing.
    CTrackSegmentSettings none(true, nullptr, 0.3f, 0.3f);
    CTrackSegmentDialog corners(none);
    EXPECT_EQ(corners.positiveLabel.text, "Right Turn G");
    EXPECT_EQ(corners.positiveG.text, " 0.00 Gs");
}

TEST(TrackDialogs, RaceLapChoiceMovesLapsAndNeedsTwo) {
    auto ds = Demo();
    CRaceModeData race;
    race.BuildAvailable({ds.get()}, false);
    ASSERT_GE(race.Available().size(), 2u);
    test::FakeHost host;
    CRaceLapDialog dialog(race, host);
    EXPECT_EQ(dialog.available.items.size(), race.Available().size());
    EXPECT_TRUE(dialog.selected.items.empty());
    EXPECT_FALSE(dialog.remove.enabled);
    dialog.available.selected = 1;
    dialog.Clicked("add");
    EXPECT_EQ(dialog.selected.items, std::vector<std::string>{race.Available()[1].name});
    EXPECT_EQ(dialog.available.items.size(), race.Available().size() - 1);
    EXPECT_TRUE(dialog.Accept());
    EXPECT_FALSE(dialog.RaceOn());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{kTooFewRaceLaps});
    dialog.Clicked("addAll");
    EXPECT_TRUE(dialog.available.items.empty());
    EXPECT_FALSE(dialog.add.enabled);
    EXPECT_EQ(dialog.Chosen(), (std::vector<int>{1, 0}));  // in the order they were moved
    EXPECT_TRUE(dialog.Accept());
    EXPECT_TRUE(dialog.RaceOn());
    EXPECT_EQ(race.Selected().size(), 2u);
    EXPECT_EQ(race.Selected()[0].lap, 2);
    // Opened again, the racing laps stand chosen.
    CRaceLapDialog again(race, host);
    EXPECT_EQ(again.selected.items.size(), race.Selected().size());
    dialog.selected.selected = 0;
    dialog.Clicked("remove");
    EXPECT_EQ(dialog.Chosen(), std::vector<int>{0});
    dialog.Clicked("removeAll");
    EXPECT_TRUE(dialog.Chosen().empty());
}

}  // namespace
}  // namespace orvex
