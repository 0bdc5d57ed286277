// The program's one document factory: documents opened, overlaid and shown the way the GUI and
// the CLI both make them, with distance, laps, colours and displayed values derived once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "app/DocumentSetup.h"
#include "demo/SessionGenerator.h"
#include "files/DataFile.h"
#include "graph/GraphDerived.h"
#include "graph/GraphNav.h"
#include "graph/MarkerList.h"
#include "graph/Markers.h"
#include "processing/SpeedDistance.h"
#include "support/CliRunner.h"
#include "support/FakeHost.h"
#include "trackmap/TrackSamples.h"
#include "trackmap/TrackSettings.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

fs::path Dir() {
    return fs::path(ORVEX_TEST_BINARY_DIR) / ("factory-test-" + std::to_string(::getpid()));
}

// One minute of the demo circuit at 50 Hz, and an ASCII file with an engine, a rear wheel and
// three laps.
class FactoryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fs::create_directories(Dir());
        GeneratorOptions options;
        options.minutes = 1.0;
        options.rateHz = 50;
        test::FakeHost host;
        DataFileContents contents;
        contents.datasets.push_back(GenerateSession(options));
        ASSERT_TRUE(WriteDataFile(Tbc(), contents, host, Units::Imperial));
        WriteTac(Tac(), {100, 200, 300});
        WriteTac(UnevenTac(), {100, 150, 300});
    }
    // Laps marked at the given samples of 4 s at 100 Hz.
    static void WriteTac(const std::string& path, const std::vector<int>& laps) {
        std::ofstream out(path);
        out << "!Brio-Dash Data File Version 2.4\n#Sample Frequency: 100\n#Tire Circ: 80\n"
               "#Rearend Ratio: 4\nSAMPLE Tach Axle-MPH Lap\n";
        for (int i = 0; i <= 400; ++i)
            out << i << " 5 " << 7000 + 10 * (i % 40) << " "
                << (std::count(laps.begin(), laps.end(), i) ? 1 : 0) << "\n";
    }
    static void TearDownTestSuite() { fs::remove_all(Dir()); }
    static std::string Tbc() { return (Dir() / "demo.tbc").string(); }
    static std::string Tac() { return (Dir() / "run.tac").string(); }
    // Laps that differ by more than a tenth: their distance cannot be normalised.
    static std::string UnevenTac() { return (Dir() / "uneven.tac").string(); }

    test::FakeHost host;
    CDataAcqApp app;
    CDocumentFactory factory{host, app};
};

TEST_F(FactoryTest, BinaryAndAsciiFilesOpenWithDistanceAndLaps) {
    app.SetXDistMode(kDistanceRearWheel);  // both files have a rear wheel
    for (const std::string& path : {Tbc(), Tac()}) {
        std::unique_ptr<CBriodashDoc> doc = factory.OpenDocument(path);
        ASSERT_TRUE(doc) << path << ": " << ::testing::PrintToString(host.MessageTexts());
        ASSERT_FALSE(doc->m_datasets.empty()) << path;
        const CBriodashDataset& ds = *doc->m_datasets.front();
        EXPECT_NE(ds.m_nDistanceSource, 0) << path;
        EXPECT_TRUE(HasDistance(ds)) << path;
    }
    // The three even laps of the ASCII file were analysed: their length is known.
    std::unique_ptr<CBriodashDoc> ascii = factory.OpenDocument(Tac());
    ASSERT_TRUE(ascii);
    EXPECT_GT(ascii->m_datasets.front()->m_lLapDistance, 0);
    // It stores no colours: the session has those of the first colour set.
    EXPECT_EQ(static_cast<ColorRef>(ascii->m_datasets.front()->m_rpm[0].m_crTrace),
              CColor::Default(0).m_crRpm[0]);
    EXPECT_FALSE(factory.OpenDocument((Dir() / "missing.tac").string()));
    ASSERT_FALSE(host.messages.empty());
    EXPECT_NE(host.messages.back().text.find("Could NOT open file"), std::string::npos);
}

TEST_F(FactoryTest, NewDocumentsTakeTheDistanceSourceOfTheDefaults) {
    for (int source : {1, 2, 3, 4, 0}) {
        app.SetXDistMode(source);
        EXPECT_EQ(factory.NewDocument()->m_options.distanceMode, source);
    }
}

TEST_F(FactoryTest, OverlaidSessionsTakeTheNextColourSet) {
    const CColor first = CColor::Default(3), second = CColor::Default(1);
    app.GetColorSets() = {first, second};
    std::unique_ptr<CBriodashDoc> doc = factory.OpenDocument(Tbc());
    ASSERT_TRUE(doc);
    ASSERT_TRUE(doc->AddOverlay(Tbc()));
    ASSERT_EQ(doc->m_datasets.size(), 2u);
    const CBriodashDataset& overlaid = *doc->m_datasets[1];
    EXPECT_NE(doc->m_datasets[0]->m_rpm[0].m_crTrace, overlaid.m_rpm[0].m_crTrace);
    for (int i = 0; i < kRpmChannels; ++i) {
        EXPECT_EQ(static_cast<ColorRef>(overlaid.m_rpm[static_cast<std::size_t>(i)].m_crTrace),
                  second.m_crRpm[i]);
        EXPECT_EQ(static_cast<ColorRef>(overlaid.m_rpm[static_cast<std::size_t>(i)].m_crSlip),
                  second.m_crSlip[i]);
    }
    for (int i = 0; i < kAnalogChannels; ++i)
        EXPECT_EQ(static_cast<ColorRef>(overlaid.m_analog[static_cast<std::size_t>(i)].m_crTrace),
                  second.m_crAnalog[i]);
    // A third session starts the sets again.
    ASSERT_TRUE(doc->AddOverlay(Tbc()));
    EXPECT_EQ(static_cast<ColorRef>(doc->m_datasets[2]->m_rpm[0].m_crTrace), first.m_crRpm[0]);
}

// The marker list's text of a row for the green marker.
std::string GreenCell(CMarkerView& list, const std::string& row) {
    for (const std::string& line : list.PrintLines())
        if (line.rfind(row + "\t", 0) == 0) {
            const std::size_t from = row.size() + 1;
            return line.substr(from, line.find('\t', from) - from);
        }
    return "no row " + row;
}

TEST_F(FactoryTest, MarkerDistancesFollowANewDistanceSource) {
    std::unique_ptr<CBriodashDoc> doc = factory.OpenDocument(Tbc());
    ASSERT_TRUE(doc);
    CBriodashDataset& ds = *doc->m_datasets.front();
    CGraphViewState state;
    CGraphNavigator nav(*doc, state, host);
    nav.InitialUpdate(1600, 900);
    ASSERT_TRUE(nav.SetDistanceSource(kDistanceRearWheel));
    ASSERT_TRUE(nav.DisplayAsDistance());
    CMarkerView list(*doc, host);
    list.m_bTimeAxis = false;

    // Green at 0:19.980, then the accelerometer becomes the distance source.
    const int32_t green = 199800;
    doc->m_lGreenTime = green;
    doc->m_lGreenDistance = MarkerDistanceAt(ds, green);
    const int32_t rearWheel = doc->m_lGreenDistance;
    ASSERT_TRUE(nav.SetDistanceSource(3));
    ASSERT_EQ(ds.m_nDistanceSource, 3);
    EXPECT_EQ(doc->m_lGreenTime, green);
    EXPECT_EQ(doc->m_lGreenDistance, MarkerDistanceAt(ds, green));
    EXPECT_NE(doc->m_lGreenDistance, rearWheel);
    list.Rebuild();
    EXPECT_EQ(GreenCell(list, "Distance (Ft)"),
              FormatMarkerDistance(doc->m_lGreenDistance, Units::Imperial));

    // The Left key moves the marker one sample (20 ms at 50 Hz) back, not across the session.
    CMarkerController markers(*doc, host);
    markers.Nudge(Marker::Green, -1, MarkerAxisOf(state));
    EXPECT_LT(doc->m_lGreenTime, green);
    EXPECT_GE(doc->m_lGreenTime, green - 400);
}

TEST_F(FactoryTest, EveryNewDistanceMovesTheMarkerDistances) {
    // Ways the distances of a session are worked out again while the markers are set: a
    // changed channel setup (through the document), and the track map's speed source.
    struct Case {
        const char* name;
        int source;
        void (*recompute)(CBriodashDoc& doc, CBriodashDataset& ds, int source);
    } cases[] = {
        {"document", 3,
         [](CBriodashDoc& doc, CBriodashDataset& ds, int source) {
             ASSERT_TRUE(doc.Services().ComputeDistance(doc, ds, source));
         }},
        {"track map settings", kDistanceFrontWheel,
         [](CBriodashDoc& doc, CBriodashDataset& ds, int source) {
             CTrackMapSettings settings;
             ASSERT_TRUE(settings.Open({&ds}, kSpeedRearWheel, false, false, doc.Host()));
             settings.m_nSpeedSource = SpeedSourceOfDistanceSource(source);
             ASSERT_TRUE(settings.Ok(doc));
         }},
    };
    app.SetXDistMode(kDistanceRearWheel);
    for (const Case& c : cases) {
        std::unique_ptr<CBriodashDoc> doc = factory.OpenDocument(Tbc());
        ASSERT_TRUE(doc);
        CBriodashDataset& ds = *doc->m_datasets.front();
        ASSERT_EQ(ds.m_nDistanceSource, kDistanceRearWheel);
        doc->m_lGreenTime = 199800;
        doc->m_lRedTime = 401000;
        doc->m_lGreenDistance = MarkerDistanceAt(ds, doc->m_lGreenTime);
        doc->m_lRedDistance = MarkerDistanceAt(ds, doc->m_lRedTime);
        const int32_t before = doc->m_lRedDistance;
        c.recompute(*doc, ds, c.source);
        ASSERT_EQ(ds.m_nDistanceSource, c.source) << c.name;
        EXPECT_EQ(doc->m_lGreenDistance, MarkerDistanceAt(ds, 199800)) << c.name;
        EXPECT_EQ(doc->m_lRedDistance, MarkerDistanceAt(ds, 401000)) << c.name;
        EXPECT_NE(doc->m_lRedDistance, before) << c.name;
    }
}

TEST_F(FactoryTest, MarkerListShowsTheSmoothedValuesTheChartDraws) {
    std::unique_ptr<CBriodashDoc> doc = factory.OpenDocument(Tbc());
    ASSERT_TRUE(doc);
    CBriodashDataset& ds = *doc->m_datasets.front();
    CMarkerView list(*doc, host);
    const CShaftList& engine = ds.m_rpm[0];
    const std::vector<int32_t> plotted = graph::RpmPlotValues(ds, 1, Units::Imperial);
    ASSERT_GT(plotted.size(), 1000u);
    // Samples while the engine runs up and down, where the smoothing changes the value.
    for (Pos p : {Pos{500}, Pos{733}, Pos{1001}}) {
        const int32_t time = engine.GetSampleTime(p, true);
        const auto shown = RpmValueAt(ds, 1, time, Units::Imperial, list.m_conv);
        ASSERT_TRUE(shown) << p;
        EXPECT_EQ(FormatMarkerRpm(*shown), FormatMarkerRpm(plotted[static_cast<std::size_t>(p)]))
            << p;
    }

    // The command line's displayed values agree with the list at the green marker.
    const Pos p = 733;
    doc->m_lGreenTime = engine.GetSampleTime(p, true);
    list.Rebuild();
    const test::CliResult dump =
        test::RunCli("dump '" + Tbc() + "' --channel rpm1 --values display");
    ASSERT_EQ(dump.status, 0) << dump.err;
    std::string line;
    std::istringstream lines(dump.out);
    for (Pos i = 0; i <= p; ++i) std::getline(lines, line);
    const std::string value = line.substr(
        line.find('\t') + 1, line.find('\t', line.find('\t') + 1) - line.find('\t') - 1);
    const CFreqSetup& engineSetup = *ds.m_carSetup.FindRpmSetup(1);
    EXPECT_EQ(GreenCell(list, engineSetup.m_strDescription +
                                  RpmLabelSuffix(engineSetup, Units::Imperial)),
              value)
        << line;

    // An analog channel too: the list shows the moving average the command line displays.
    const CAnalogSetup& shock = *ds.m_carSetup.FindAnalogSetup(3);
    ASSERT_GT(shock.m_nSmoothing, 1);
    const test::CliResult analog =
        test::RunCli("dump '" + Tbc() + "' --channel analog3 --values display");
    ASSERT_EQ(analog.status, 0) << analog.err;
    for (Pos q : {Pos{500}, Pos{733}, Pos{1001}}) {
        doc->m_lGreenTime = ds.m_analog[2].GetSampleTime(q, true);
        list.Rebuild();
        std::istringstream analogLines(analog.out);
        for (Pos i = 0; i <= q; ++i) std::getline(analogLines, line);
        EXPECT_EQ(GreenCell(list, shock.m_strDescription), line.substr(line.find('\t') + 1))
            << line;
    }
}

TEST_F(FactoryTest, ExportAndDistanceWarnOnceAboutTheLapDistance) {
    // Settings that take distance from the rear wheel, which the file has; "distance" asks for
    // that source and for the engine's.
    std::ofstream(Dir() / "ORVEX.INI") << "[Settings]\nXDistMode=2\n";
    test::CliRunOptions options;
    options.configDir = Dir();
    for (const std::string& command :
         {"export '" + UnevenTac() + "' '" + (Dir() / "run.asc").string() + "'",
          "distance '" + UnevenTac() + "' --source 2",
          "distance '" + UnevenTac() + "' --source 4"}) {
        const test::CliResult r = test::RunCli(command, options);
        ASSERT_EQ(r.status, 0) << command << ": " << r.err;
        std::size_t warnings = 0;
        for (std::size_t at = r.err.find("Could NOT normalize Lap Distances.");
             at != std::string::npos; at = r.err.find("Could NOT normalize Lap Distances.", at + 1))
            ++warnings;
        EXPECT_EQ(warnings, 1u) << command << ": " << r.err;
    }
    const test::CliResult info = test::RunCli("info '" + Tac() + "'");
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("samples: 401"), std::string::npos) << info.out;
}

}  // namespace
}  // namespace orvex
