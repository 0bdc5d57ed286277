// Main frame command table: texts, keys, check marks and the default-settings toggles.
#include <gtest/gtest.h>

#include <set>

#include "app/DocumentSetup.h"
#include "app/MainFrameCommands.h"

namespace orvex {
namespace {

CDataAcqApp MakeApp() {
    return CDataAcqApp("/nonexistent/ORVEX.INI");
}

TEST(MainFrameCommands, FileCommandsCarryTheirKeysAndTexts) {
    struct Row {
        MainCommand id;
        const char* text;
        const char* key;
    } rows[] = {
        {MainCommand::Retrieve, "Retrieve from Data-Logger", "Ctrl+N"},
        {MainCommand::Open, "&Open...", "Ctrl+O"},
        {MainCommand::Save, "&Save", "Ctrl+S"},
        {MainCommand::Print, "&Print...", "Ctrl+P"},
        {MainCommand::ComPort, "COM &Port", ""},
        {MainCommand::DrawBothSegments, "Draw Corner && Accel Segments", ""},
        {MainCommand::CornerThresholds, "Set/Adjust settings for determining Corning Segments", ""},
        {MainCommand::About, "&About ORVEX...", ""},
    };
    for (const Row& r : rows) {
        const MainFrameCommand& c = FindMainCommand(r.id);
        EXPECT_STREQ(c.text, r.text);
        EXPECT_STREQ(c.shortcut, r.key) << r.text;
    }
    EXPECT_STREQ(FindMainCommand(MainCommand::Retrieve).statusTip,
                 "Retrieve new data from ORVEX Data Logger");
}

TEST(MainFrameCommands, EveryCommandIsListedOnceAndKeysAreUnique) {
    std::set<MainCommand> ids;
    std::set<std::string> keys;
    for (const auto& c : MainFrameCommands()) {
        EXPECT_TRUE(ids.insert(c.id).second);
        if (*c.shortcut) {
            EXPECT_TRUE(keys.insert(c.shortcut).second) << c.shortcut;
        }
    }
}

TEST(MainFrameCommands, TogglesInvertTheirSettingAndShowACheck) {
    CDataAcqApp app = MakeApp();
    EXPECT_TRUE(IsMainCommandChecked(MainCommand::AutoSave, app));
    EXPECT_TRUE(ApplyMainToggle(MainCommand::AutoSave, app));
    EXPECT_FALSE(app.GetAutoSave());
    EXPECT_FALSE(IsMainCommandChecked(MainCommand::AutoSave, app));

    EXPECT_FALSE(app.GetShowToolTips());
    ApplyMainToggle(MainCommand::MenuTips, app);
    EXPECT_TRUE(app.GetShowToolTips());

    ApplyMainToggle(MainCommand::UnitsMetric, app);
    EXPECT_EQ(app.GetUnits(), Units::Metric);
    EXPECT_TRUE(IsMainCommandChecked(MainCommand::UnitsMetric, app));
    EXPECT_FALSE(IsMainCommandChecked(MainCommand::UnitsImperial, app));

    ApplyMainToggle(MainCommand::DistAccelerometer, app);
    EXPECT_EQ(app.GetXDistMode(), 3);
    ApplyMainToggle(MainCommand::MarkerBelow, app);
    EXPECT_TRUE(app.GetMarkerViewBottom());
    ApplyMainToggle(MainCommand::TrackRed, app);
    EXPECT_EQ(app.GetTrackMapTrackMarkers(), 2);
    ApplyMainToggle(MainCommand::TrackRed, app);  // choosing it again keeps it
    EXPECT_EQ(app.GetTrackMapTrackMarkers(), 2);

    EXPECT_FALSE(ApplyMainToggle(MainCommand::Open, app));
}

TEST(MainFrameCommands, EveryToggleAndChoiceChangesItsSettingAndShowsIt) {
    CDataAcqApp app = MakeApp();
    for (const MainFrameCommand& c : MainFrameCommands()) {
        if (c.kind == CommandKind::Action) continue;
        SCOPED_TRACE(c.text);
        const bool before = IsMainCommandChecked(c.id, app);
        if (!ApplyMainToggle(c.id, app)) continue;  // the frame's own (tool bar, status bar)
        if (c.kind == CommandKind::Radio)
            EXPECT_TRUE(IsMainCommandChecked(c.id, app));
        else
            EXPECT_NE(IsMainCommandChecked(c.id, app), before);
    }
}

TEST(MainFrameCommands, SegmentModesShareTheLowBitsAndKeepTheNumbersBit) {
    CDataAcqApp app = MakeApp();
    app.SetTrackMapDrawSegments(4 | 2);
    ApplyMainToggle(MainCommand::DrawCornerSegments, app);  // mode 2 set: cleared
    EXPECT_EQ(app.GetTrackMapDrawSegments(), 4);
    ApplyMainToggle(MainCommand::DrawBothSegments, app);
    EXPECT_EQ(app.GetTrackMapDrawSegments(), 7);
    EXPECT_TRUE(IsMainCommandChecked(MainCommand::DrawBothSegments, app));
    EXPECT_FALSE(IsMainCommandChecked(MainCommand::DrawAccelSegments, app));
    ApplyMainToggle(MainCommand::DrawAccelSegments, app);
    EXPECT_EQ(app.GetTrackMapDrawSegments(), 5);
    ApplyMainToggle(MainCommand::ShowCornerNumbers, app);
    EXPECT_EQ(app.GetTrackMapDrawSegments(), 1);
}

TEST(MainFrameCommands, DataPointsItemNamesWhatItWillShow) {
    CDataAcqApp app = MakeApp();
    EXPECT_EQ(MainCommandText(MainCommand::FcDrawCurve, app), "Display Data Points");
    ApplyMainToggle(MainCommand::FcDrawCurve, app);
    EXPECT_FALSE(app.GetFcDrawCurve());
    EXPECT_EQ(MainCommandText(MainCommand::FcDrawCurve, app), "Display Curve");
}

TEST(MainFrameCommands, ColourCommandsNameTheirDialogAndColour) {
    auto c = ColorCommandOf(MainCommand::GraphTimeLabel);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->color, AppColor::GraphTimeLabel);
    EXPECT_STREQ(c->title, "Set Graph Time/Distance Label Color");
    EXPECT_STREQ(ColorCommandOf(MainCommand::FcAxes)->title, "Set Traction Circle Axes Color");
    EXPECT_FALSE(ColorCommandOf(MainCommand::Save));
    int colours = 0;
    for (const auto& cmd : MainFrameCommands()) colours += ColorCommandOf(cmd.id) ? 1 : 0;
    EXPECT_EQ(colours, kAppColors);
}

TEST(MainFrameCommands, PickerAndFrameTitles) {
    EXPECT_EQ(PickerTitle("race.day.tbc"), "race");
    EXPECT_EQ(PickerTitle("Untitled"), "Untitled");
    EXPECT_EQ(GraphFrameTitle("race.tbc"), "race.tbc - Graph");
}

TEST(MainFrameCommands, GraphSplitterSizes) {
    EXPECT_EQ(GraphSplitSizes(1000, false, -1).chart, 800);
    EXPECT_EQ(GraphSplitSizes(1000, false, -1).list, 200);
    EXPECT_EQ(GraphSplitSizes(500, true, -1).chart, 300);
    EXPECT_EQ(GraphSplitSizes(1000, false, 250).chart, 1000 - 250 - 18);
    EXPECT_EQ(GraphSplitSizes(600, true, 200).chart, 600 - 200 - 38);
    // A saved size larger than the window leaves the chart empty rather than negative.
    EXPECT_EQ(GraphSplitSizes(100, false, 400).chart, 0);
}

TEST(MainFrameCommands, CommandLine) {
    CommandLine a = ParseCommandLine({"/LiveDemo", "race.tbc"});
    EXPECT_TRUE(a.liveDemo);
    EXPECT_EQ(a.file, "race.tbc");
    EXPECT_TRUE(ParseCommandLine({"-livedemo"}).liveDemo);
    EXPECT_FALSE(ParseCommandLine({"LiveDemo"}).liveDemo);  // a file of that name

    CommandLine s = ParseCommandLine({"--screenshot", "out.png", "--size", "800x600", "--demo"});
    EXPECT_EQ(s.screenshot, "out.png");
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 600);
    EXPECT_TRUE(s.demo);
    EXPECT_TRUE(s.error.empty());

    EXPECT_FALSE(ParseCommandLine({"--size", "800"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--size", "50x50"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--screenshot"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--bogus"}).error.empty());
    EXPECT_TRUE(ParseCommandLine({"--retrieve"}).retrieve);
    EXPECT_EQ(ParseCommandLine({"--screenshot", "m.png", "--trackmap", "3"}).trackMapLap, 3);
    for (const char* lap : {"0", "x", "2x"})
        EXPECT_FALSE(ParseCommandLine({"--trackmap", lap}).error.empty()) << lap;
    EXPECT_FALSE(ParseCommandLine({"--trackmap"}).error.empty());
    EXPECT_EQ(ParseCommandLine({"--screenshot", "v.png", "--view", "lap-report"}).view,
              "lap-report");
    EXPECT_FALSE(ParseCommandLine({"--view", "map"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--view"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"a.tbc", "b.tbc"}).error.empty());
    CommandLine d = ParseCommandLine({"--screenshot", "z.png", "--dialog", "Set Zero Time"});
    EXPECT_EQ(d.dialog, "Set Zero Time");
    EXPECT_TRUE(d.error.empty());
    EXPECT_FALSE(ParseCommandLine({"--dialog", "Set Zero Time"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--screenshot", "z.png", "--dialog"}).error.empty());
    EXPECT_EQ(ParseCommandLine({"/data/run.tbc"}).file, "/data/run.tbc");
    const CommandLine live =
        ParseCommandLine({"--screenshot", "l.png", "--dialog", "View Live Data from Data Logger",
                          "--page", "Shocks"});
    EXPECT_EQ(live.page, "Shocks");
    EXPECT_TRUE(live.error.empty());
    EXPECT_FALSE(ParseCommandLine({"--screenshot", "l.png", "--page", "Shocks"}).error.empty());
    EXPECT_FALSE(
        ParseCommandLine({"--screenshot", "l.png", "--dialog", "x", "--page"}).error.empty());
}

}  // namespace
}  // namespace orvex

#include "app/DemoDocument.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

TEST(DemoDocument, GeneratedSessionOpensUntitledAndUnmodified) {
    test::FakeHost host;
    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    GeneratorOptions o;
    o.minutes = 5;
    ASSERT_TRUE(FillDemoDocument(doc, o));
    EXPECT_TRUE(doc.m_strPathName.empty());
    EXPECT_EQ(doc.m_strTitle, "Demo Session");
    EXPECT_FALSE(doc.m_bModified);
    ASSERT_EQ(doc.m_datasets.size(), 1u);
    EXPECT_EQ(doc.ShownCount(), 1);
    EXPECT_TRUE(doc.AnyRpmData());
    EXPECT_NEAR(doc.LatestEnd(true) - doc.EarliestStart(true), 3000000, 1000);
    EXPECT_TRUE(host.messages.empty()) << (host.messages.empty() ? "" : host.messages[0].text);
}

TEST(DemoDocument, UnknownCircuitIsReported) {
    test::FakeHost host;
    CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
    GeneratorOptions o;
    o.circuitId = "nowhere";
    EXPECT_FALSE(FillDemoDocument(doc, o));
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(doc.m_datasets.empty());
}

}  // namespace
}  // namespace orvex
