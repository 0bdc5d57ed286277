// The track map view of a document: the "Change &Map" commands, markers placed from the
// document and set by double clicks, race circles and rubber-band zoom.
#include <gtest/gtest.h>

#include <memory>

#include "app/DocumentSetup.h"
#include "demo/SessionGenerator.h"
#include "model/Document.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"
#include "trackmap/RaceMarkers.h"
#include "trackmap/TrackMapView.h"

namespace orvex {
namespace {

struct CountingCanvas : IViewCanvas {
    int all = 0, overlay = 0;
    void Invalidate(ViewLayer layer) override { ++(layer == ViewLayer::All ? all : overlay); }
};

// Records every hint the document sends.
struct HintRecorder : IDocumentView {
    std::vector<ViewUpdate> updates;
    ViewKind Kind() const override { return ViewKind::Graph; }
    void OnUpdate(const ViewUpdate& u) override { updates.push_back(u); }
};

class TrackMapViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GeneratorOptions options;
        options.minutes = 5.0;
        options.rateHz = 20.0;
        std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
        DeriveAfterLoad(*ds, kDistanceFrontWheel, Units::Imperial, host);
        doc.m_strTitle = "Demo.tbc";
        doc.m_datasets.push_back(std::move(ds));
        doc.AddView(&recorder);
        view.m_settings.map.speedSource = kSpeedFrontWheel;
        view.Model().SetClientSize(800, 600);
    }
    void TearDown() override { doc.RemoveView(&recorder); }
    CBriodashDataset& Session() { return *doc.m_datasets.front(); }
    bool SelectLap2() {
        std::optional<TrackLap> lap = FindTrackLap(Session(), 2);
        return lap && view.SelectLap(*lap);
    }
    // The pixel of the map point `i` at the view's current size.
    GPoint PixelOf(std::size_t i) {
        const CTrackSample& p = view.Map().m_samples[i];
        return view.Model().ToPixels(p.m_dX, p.m_dY);
    }

    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), {}};
    CountingCanvas canvas;
    HintRecorder recorder;
    CTrackView view{doc, host, canvas};
};

TEST_F(TrackMapViewTest, ALapMakesTheMapAndTheTitle) {
    EXPECT_EQ(view.LapCode(), 0);
    ASSERT_TRUE(SelectLap2());
    EXPECT_GT(view.Map().GetCount(), 1000u);
    EXPECT_EQ(view.LapNumber(), 2);
    EXPECT_EQ(view.Title(), "Demo - Map (Lap #2)");
    EXPECT_EQ(view.LapCode(), TrackLapCode(Session().m_nGroup, 2));
    ASSERT_FALSE(recorder.updates.empty());
    EXPECT_EQ(recorder.updates.back().hint, kHintMarkersShown);
    // The same lap again by its code.
    EXPECT_TRUE(view.SelectLapCode(view.LapCode()));
    EXPECT_FALSE(view.SelectLapCode(TrackLapCode(Session().m_nGroup + 1, 2)));
    EXPECT_EQ(view.LapCode(), 0);
}

// The map is made in the plain view: the lap view is off while it is calculated and comes back
// with the same laps afterwards, without the colour question asked again; a shown session
// without distance gets it from the map's speed source, its laps too.
TEST(TrackMapLapView, TheMapIsMadeWithTheLapViewOff) {
    struct ProbeHost : test::FakeHost {
        const CBriodashDoc* doc = nullptr;
        std::vector<bool> lapViewWhileCalculating;
        std::unique_ptr<IProgress> OpenProgress(const std::string& title) override {
            if (title == "Calculating Track Map" && doc)
                lapViewWhileCalculating.push_back(doc->m_bLapView);
            return FakeHost::OpenProgress(title);
        }
    };
    ProbeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), {}};
    host.doc = &doc;
    GeneratorOptions options;
    options.minutes = 5.0;
    options.rateHz = 20.0;
    for (int group = 1; group <= 2; ++group) {
        std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
        // The first session has its distance, the second none yet.
        DeriveAfterLoad(*ds, group == 1 ? kDistanceFrontWheel : kDistanceNone, Units::Imperial,
                        host);
        ds->m_nGroup = group;
        doc.m_datasets.push_back(std::move(ds));
    }
    CBriodashDataset* mapped = doc.m_datasets[0].get();
    CBriodashDataset* other = doc.m_datasets[1].get();
    ASSERT_EQ(other->m_nDistanceSource, 0);
    host.answers = {Answer::Yes};  // every channel of a lap in the lap's colour
    doc.SetLapView(true);
    const std::size_t withLaps = doc.m_datasets.size();
    ASSERT_GT(withLaps, 2u);
    const int32_t lapColour = doc.m_datasets[1]->m_rpm[0].m_crTrace;

    CountingCanvas canvas;
    CTrackView view{doc, host, canvas};
    view.m_settings.map.speedSource = kSpeedFrontWheel;
    view.Model().SetClientSize(800, 600);
    std::optional<TrackLap> lap = FindTrackLap(*mapped, 2);
    ASSERT_TRUE(lap);
    ASSERT_TRUE(view.SelectLap(*lap));
    ASSERT_FALSE(host.lapViewWhileCalculating.empty());
    for (bool lapView : host.lapViewWhileCalculating) EXPECT_FALSE(lapView);
    EXPECT_TRUE(doc.m_bLapView);
    EXPECT_EQ(doc.m_datasets.size(), withLaps);
    EXPECT_EQ(doc.m_datasets[1]->m_rpm[0].m_crTrace, lapColour);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(other->m_nDistanceSource, DistanceSourceOfSpeedSource(kSpeedFrontWheel));
    for (const auto& ds : doc.m_datasets) {
        if (ds->m_nGroup == 2) {
            EXPECT_NE(ds->m_nDistanceSource, 0) << ds->m_nLap;
        }
    }
    // The map's lap still points at its session, which outlived the lap datasets.
    EXPECT_EQ(view.Lap()->dataset, mapped);
}

TEST_F(TrackMapViewTest, SegmentCommandsSetClearAndKeepTheNumbersBit) {
    struct Step {
        TrackCommand command;
        int32_t flags;
    };
    const Step steps[] = {
        {TrackCommand::DrawAccel, 1},   {TrackCommand::CornerNumbers, 5},
        {TrackCommand::DrawBoth, 7},    {TrackCommand::DrawBoth, 4},
        {TrackCommand::DrawCorners, 6}, {TrackCommand::CornerNumbers, 2},
    };
    for (const Step& s : steps) {
        EXPECT_TRUE(view.Execute(s.command));
        EXPECT_EQ(view.m_settings.drawSegments, s.flags);
        EXPECT_EQ(view.Model().m_nDrawFlags, s.flags);
    }
    EXPECT_TRUE(view.IsChecked(TrackCommand::DrawCorners));
    EXPECT_FALSE(view.IsChecked(TrackCommand::DrawBoth));
    EXPECT_TRUE(view.Execute(TrackCommand::FollowGreen));
    EXPECT_TRUE(view.IsChecked(TrackCommand::FollowGreen));
    EXPECT_TRUE(view.Execute(TrackCommand::FollowRed));
    EXPECT_FALSE(view.IsChecked(TrackCommand::FollowGreen));
    EXPECT_EQ(view.m_settings.follow, kFollowRed);
    EXPECT_FALSE(view.Execute(TrackCommand::AccelSettings));  // the window opens the dialog
    ASSERT_NE(view.ColorOf(TrackCommand::ColorDecel), nullptr);
    EXPECT_EQ(view.ColorOf(TrackCommand::ZoomIn), nullptr);
    EXPECT_STREQ(FindTrackCommand(TrackCommand::ColorStartFinish).colorTitle,
                 "Set Track Map Start/Finish Line Color");
}

TEST_F(TrackMapViewTest, ZoomOutAtTwoReturnsToTheWholeMapCentred) {
    ASSERT_TRUE(SelectLap2());
    EXPECT_FALSE(view.IsEnabled(TrackCommand::ZoomOut));
    const double cx = view.Model().CentreX();
    view.Execute(TrackCommand::ZoomIn);
    view.Model().SetCentre(cx + 100.0, view.Model().CentreY());
    EXPECT_TRUE(view.IsEnabled(TrackCommand::ZoomOut));
    view.Execute(TrackCommand::ZoomOut);
    EXPECT_FLOAT_EQ(view.Model().Zoom(), 1.0f);
    EXPECT_DOUBLE_EQ(view.Model().CentreX(), cx);
}

TEST_F(TrackMapViewTest, DoubleClicksSetTheMarkersAtTheNearestPoint) {
    ASSERT_TRUE(SelectLap2());
    const std::size_t i = view.Map().GetCount() / 3;
    const GPoint p = PixelOf(i);
    recorder.updates.clear();
    view.DoubleClick({static_cast<int>(p.x), static_cast<int>(p.y), MouseButton::Left});
    ASSERT_EQ(recorder.updates.size(), 1u);
    EXPECT_EQ(recorder.updates[0].hint, kHintGreenMoved);
    EXPECT_EQ(recorder.updates[0].sender, &view);
    ASSERT_NE(doc.m_lGreenTime, kNotSet);
    // The green square stands on (or right by) the clicked point.
    ASSERT_TRUE(view.Model().m_greenDistance);
    double x = 0, y = 0;
    view.Model().PointAtDistance(*view.Model().m_greenDistance, x, y);
    const GPoint q = view.Model().ToPixels(x, y);
    EXPECT_NEAR(q.x, p.x, 3.0);
    EXPECT_NEAR(q.y, p.y, 3.0);
    // The marker time is the point's time on the session's own clock.
    EXPECT_NEAR(doc.m_lGreenTime / 10000.0, view.Map().m_samples[i].m_dTime, 0.06);

    view.DoubleClick({static_cast<int>(p.x), static_cast<int>(p.y), MouseButton::Right});
    EXPECT_EQ(recorder.updates.back().hint, kHintRedMoved);
    EXPECT_EQ(doc.m_lRedTime, doc.m_lGreenTime);
    // Without race mode Ctrl + double click does nothing.
    recorder.updates.clear();
    view.DoubleClick({static_cast<int>(p.x), static_cast<int>(p.y), MouseButton::Left, true});
    EXPECT_TRUE(recorder.updates.empty());
}

TEST_F(TrackMapViewTest, AMarkerBeforeTheLapStandsOnTheFirstPoint) {
    ASSERT_TRUE(SelectLap2());
    doc.m_lGreenTime = 0;
    doc.m_lGreenDistance = 0;
    view.OnUpdate({.hint = kHintGreenMoved});
    ASSERT_TRUE(view.Model().m_greenDistance);
    double x = 0, y = 0;
    view.Model().PointAtDistance(*view.Model().m_greenDistance, x, y);
    EXPECT_DOUBLE_EQ(x, view.Map().m_samples.front().m_dX);
    EXPECT_DOUBLE_EQ(y, view.Map().m_samples.front().m_dY);
}

TEST_F(TrackMapViewTest, AutoTrackRedMovesOnlyWhenTheSquareLeavesTheWindow) {
    ASSERT_TRUE(SelectLap2());
    view.Execute(TrackCommand::FollowRed);
    for (int k = 0; k < 3; ++k) view.Execute(TrackCommand::ZoomIn);  // zoom 8
    const double cx = view.Model().CentreX(), cy = view.Model().CentreY();
    // The red marker on the map point nearest the centre: inside, nothing moves, and only the
    // overlay (squares and circles) is painted again.
    const std::optional<std::size_t> inside = view.Model().NearestPoint(400, 300);
    ASSERT_TRUE(inside);
    const int32_t start = DistanceAtTime(Session(), view.Lap()->start);
    doc.m_lRedDistance = start + static_cast<int32_t>(view.Map().m_samples[*inside].m_dS * 10.0);
    canvas = CountingCanvas{};
    view.OnUpdate({.hint = kHintRedMoved});
    EXPECT_DOUBLE_EQ(view.Model().CentreX(), cx);
    EXPECT_DOUBLE_EQ(view.Model().CentreY(), cy);
    EXPECT_EQ(canvas.overlay, 1);
    EXPECT_EQ(canvas.all, 0);
    EXPECT_TRUE(view.BuildsOverlayApart());
    const CGraphScene& overlay = view.BuildOverlay(800, 600, 1.0);
    EXPECT_TRUE(overlay.base.empty());
    EXPECT_EQ(overlay.overlay.size(), 4u);  // the red square's four sides
    // At a point outside the window the view centres on it and the whole map is painted again.
    for (std::size_t i = 0; i < view.Map().GetCount(); i += 10) {
        if (view.Model().Visible(PixelOf(i))) continue;
        doc.m_lRedDistance = start + static_cast<int32_t>(view.Map().m_samples[i].m_dS * 10.0);
        view.OnUpdate({.hint = kHintRedMoved});
        double x = 0, y = 0;
        view.Model().PointAtDistance(*view.Model().m_redDistance, x, y);
        EXPECT_DOUBLE_EQ(view.Model().CentreX(), x);
        EXPECT_DOUBLE_EQ(view.Model().CentreY(), y);
        EXPECT_EQ(canvas.all, 1);
        return;
    }
    FAIL() << "no point outside the zoomed window";
}

TEST_F(TrackMapViewTest, RubberBandZoomsOntoTheBand) {
    ASSERT_TRUE(SelectLap2());
    view.BuildScene(800, 600, 1.0, false);
    view.MouseDown({300, 200, MouseButton::Left});
    view.MouseMove({400, 260, MouseButton::Left});
    EXPECT_TRUE(view.RubberBandActive());
    double cx = 0, cy = 0;
    view.Model().ToMap(350, 230, cx, cy);
    view.MouseUp({400, 260, MouseButton::Left});
    EXPECT_FALSE(view.RubberBandActive());
    EXPECT_GT(view.Model().Zoom(), 3.0f);
    EXPECT_NEAR(view.Model().CentreX(), cx, 1e-6);
    EXPECT_NEAR(view.Model().CentreY(), cy, 1e-6);
    // A click without a drag zooms nothing.
    const float zoom = view.Model().Zoom();
    view.MouseDown({100, 100, MouseButton::Left});
    view.MouseUp({101, 101, MouseButton::Left});
    EXPECT_FLOAT_EQ(view.Model().Zoom(), zoom);
}

TEST_F(TrackMapViewTest, RaceCirclesAndCtrlDoubleClick) {
    ASSERT_TRUE(SelectLap2());
    CRaceModeData race;
    race.BuildAvailable(doc.ShownDatasets(), false);
    ASSERT_GE(race.Available().size(), 2u);
    ASSERT_TRUE(race.Choose({1, 0}, host));  // lap 2 (the map's) against lap 1
    CRaceMarkers markers(doc, race, host);
    view.m_pRace = &markers;
    // Ctrl + double click a third of the way round lap 2: both laps race that long.
    const std::size_t i = view.Map().GetCount() / 3;
    const GPoint p = PixelOf(i);
    recorder.updates.clear();
    view.DoubleClick({static_cast<int>(p.x), static_cast<int>(p.y), MouseButton::Left, true});
    ASSERT_EQ(recorder.updates.size(), 1u);
    EXPECT_EQ(recorder.updates[0].hint, kHintRaceMarkerMoved);
    const double elapsed = view.Map().m_samples[i].m_dTime - view.Map().m_samples[0].m_dTime;
    // The lap starts at its lap line, a sample at most before the map's first point.
    EXPECT_NEAR(race.Elapsed() / 10000.0, elapsed, 0.12);
    ASSERT_EQ(view.Model().m_raceCircles.size(), 2u);
    // Lap 2's circle on the clicked point: the map's distances are its own, so allow a little.
    EXPECT_NEAR(view.Model().m_raceCircles[0].distance, view.Map().m_samples[i].m_dS,
                0.03 * view.Map().m_samples[i].m_dS);
    EXPECT_EQ(view.Model().m_raceCircles[1].color, race.Selected()[1].color);
}

TEST(RaceMarkers, GraphAxisPositionsAndDistancesAlongEachLap) {
    test::FakeHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), {}};
    GeneratorOptions options;
    options.minutes = 5.0;
    options.rateHz = 20.0;
    doc.m_datasets.push_back(GenerateSession(options));
    CBriodashDataset& ds = *doc.m_datasets.front();
    DeriveAfterLoad(ds, kDistanceFrontWheel, Units::Imperial, host);
    CRaceModeData race;
    race.BuildAvailable(doc.ShownDatasets(), false);
    ASSERT_TRUE(race.Choose({1, 0}, host));
    CRaceMarkers markers(doc, race, host);
    ASSERT_EQ(markers.LapCount(), 2);
    EXPECT_EQ(markers.LapDataset(1), &ds);
    EXPECT_EQ(markers.LapDataset(2), nullptr);
    // On a time axis a race marker set at a time puts the first lap's marker there.
    const int32_t t = race.Selected()[0].lapStart + 200000;  // 20 s into lap 2
    markers.SetRaceMarker(t);
    EXPECT_EQ(markers.RaceMarkerTime(0), t);
    EXPECT_EQ(markers.RaceMarkerX(0, false), t);
    EXPECT_EQ(markers.RaceMarkerTime(1), race.Selected()[1].lapStart + 200000);
    // Both laps have run about as far from their own starts.
    EXPECT_GT(markers.RaceMarkerX(0, true), 0);
    EXPECT_NEAR(markers.RaceMarkerX(1, true), markers.RaceMarkerX(0, true),
                0.1 * markers.RaceMarkerX(0, true));
    EXPECT_NEAR(markers.LapDistanceFeet(0) * 10.0, markers.RaceMarkerX(0, true), 1.0);
    // On a distance axis the x is the distance.
    markers.m_timeAxis = [] { return false; };
    EXPECT_EQ(markers.RaceMarkerX(0, false), race.Selected()[0].raceX);
    markers.Step(1);
    EXPECT_EQ(race.Elapsed(), 200000 / race.m_lClockStep * race.m_lClockStep + race.m_lClockStep);
    markers.Restart();
    EXPECT_EQ(markers.RaceMarkerTime(0), race.Selected()[0].lapStart);
}

}  // namespace
}  // namespace orvex
