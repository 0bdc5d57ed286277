#include "trackmap/TrackMapView.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "graph/Markers.h"
#include "host/HostServices.h"
#include "processing/LapView.h"
#include "processing/SpeedDistance.h"
#include "trackmap/RaceMarkers.h"

namespace orvex {

namespace {

// A rubber band smaller than this on either side is a click, not a zoom.
constexpr int kMinBand = 4;

int32_t RelativeTime(const CBriodashDataset& ds, int32_t time) {
    return ds.m_nTimeRef != 0 ? time - ds.m_lZeroTime : time;
}

}  // namespace

const std::vector<TrackCommandInfo>& TrackCommandTable() {
    static const std::vector<TrackCommandInfo> table{
        {TrackCommand::SelectLap, "Select Lap", "Select which Lap to use for Track Map.", "", "",
         "", false},
        {TrackCommand::WholeMap, "Track View", "Show the whole track map", "", "", "", true},
        {TrackCommand::ZoomIn, "Zoom In (Ctrl + F3)", "Magnify current view by 2X", "Ctrl+F3", "",
         "", false},
        {TrackCommand::ZoomOut, "Zoom Out (Ctrl + F4)", "Make current view 1/2 as large.",
         "Ctrl+F4", "", "", false},
        {TrackCommand::ColorBackground, "Background", "", "", "Set Track Map Background Color",
         "Colors", true},
        {TrackCommand::ColorTrack, "Track", "", "", "Set Track Map Color", "Colors", false},
        {TrackCommand::ColorStartFinish, "Start/Finish", "", "",
         "Set Track Map Start/Finish Line Color", "Colors", false},
        {TrackCommand::ColorLeft, "Left Turn Segment", "", "",
         "Set Track Map Left Turn Segment Color", "Colors", false},
        {TrackCommand::ColorRight, "Right Turn Segment", "", "",
         "Set Track Map Right Turn Segment Color", "Colors", false},
        {TrackCommand::ColorAccel, "Acceleration Segment", "", "",
         "Set Track Map Acceleration Segment Color", "Colors", false},
        {TrackCommand::ColorDecel, "Deceleration Segment", "", "",
         "Set Track Map Deceleration Segment Color", "Colors", false},
        {TrackCommand::DrawAccel, "Draw Acceleration Segments", "", "", "", "", true},
        {TrackCommand::DrawCorners, "Draw Corner Segments", "", "", "", "", false},
        {TrackCommand::DrawBoth, "Draw Corner && Accel Segments", "", "", "", "", false},
        {TrackCommand::CornerNumbers, "Show Corner Segment Numbers", "", "", "", "", false},
        {TrackCommand::RampAccel, "Ramp Acceleration Colors", "", "", "", "", false},
        {TrackCommand::AccelSettings, "Set/Adjust Acceleration Settings", "", "", "", "", true},
        {TrackCommand::CornerSettings, "Set/Adjust Corner Settings", "", "", "", "", false},
        {TrackCommand::FollowGreen, "Auto Track Green Marker", "", "", "", "", true},
        {TrackCommand::FollowRed, "Auto Track Red Marker", "", "", "", "", false},
        {TrackCommand::FollowRace, "Auto Track Race Markers", "", "", "", "", false},
        {TrackCommand::StayOnTop, "Always keep Track Map visible.", "", "", "", "", true},
    };
    return table;
}

const TrackCommandInfo& FindTrackCommand(TrackCommand id) {
    for (const TrackCommandInfo& c : TrackCommandTable())
        if (c.id == id) return c;
    return TrackCommandTable().front();
}

CTrackView::CTrackView(CBriodashDoc& doc, IHostServices& host, IViewCanvas& canvas)
    : CViewBase(doc, ViewKind::TrackMap, canvas), m_host(host) {
    m_model.SetMap(&m_map);
    ApplySettings();
}

CTrackView::~CTrackView() = default;

void CTrackView::ApplySettings() {
    m_model.m_colors = m_settings.colors;
    m_model.m_nDrawFlags = m_settings.drawSegments;
    m_model.m_bRamp = m_settings.ramp;
}

std::string CTrackView::Title() const {
    std::string name = Document().m_strTitle;
    if (name.empty() && m_bHasLap && m_lap.dataset) name = m_lap.dataset->m_strName;
    return TrackMapTitle(name, LapNumber());
}

bool CTrackView::SelectLap(const TrackLap& lap) {
    m_bHasLap = false;
    m_map.RemoveAll();
    m_model.SetMap(&m_map);
    CBriodashDoc& doc = Document();
    {
        // The map is made in the plain view; the lap datasets are cut again afterwards, with
        // the distances computed here. The lap's session outlives the lap datasets.
        const CPlainViewScope plain(doc);
        TrackMapOptions options = m_settings.map;
        // Acceleration segments are found whenever a map is made, so that the menu can show
        // them without building the map again.
        options.accelerationSegments = true;
        if (lap.dataset && !HasSpeedSource(*lap.dataset, options.speedSource))
            options.speedSource = SpeedSourceOfDistanceSource(lap.dataset->m_nDistanceSource);
        const TrackMapResult r = MakeTrackMap(lap, options, doc.m_options.units, m_map, m_host);
        if (r == TrackMapResult::Ok) {
            m_lap = lap;
            m_bHasLap = true;
            // Markers are placed on the map by distance: every shown session gets one.
            const int source = DistanceSourceOfSpeedSource(options.speedSource);
            for (CBriodashDataset* ds : doc.ShownDatasets())
                if (ds->m_nDistanceSource == 0 && source != 0)
                    ComputeDistance(*ds, source, doc.m_options.units, m_host);
            doc.SyncMarkerPositions();
        } else {
            m_map.RemoveAll();
        }
    }
    m_model.SetMap(&m_map);
    // A map from the accelerometer may have recomputed the session's distances.
    RefreshMarkerDistances(Document());
    ApplySettings();
    PlaceMarkers();
    doc.UpdateAllViews(ViewUpdate{.hint = kHintMarkersShown, .sender = this});
    Canvas().Invalidate(ViewLayer::All);
    return m_bHasLap;
}

bool CTrackView::SelectLapCode(int32_t code) {
    const int32_t group = code & 0xFF;
    const int32_t lap = static_cast<int32_t>(static_cast<uint32_t>(code) >> 16);
    for (CBriodashDataset* ds : Document().ShownDatasets()) {
        if ((ds->m_nGroup & 0xFF) != group) continue;
        std::optional<TrackLap> found = FindTrackLap(*ds, lap);
        if (found) return SelectLap(*found);
    }
    // The lap is gone: the view is left empty.
    m_bHasLap = false;
    m_map.RemoveAll();
    m_model.SetMap(&m_map);
    PlaceMarkers();
    Canvas().Invalidate(ViewLayer::All);
    return false;
}

int32_t CTrackView::LapStartDistance() const {
    return m_bHasLap && m_lap.dataset ? DistanceAtTime(*m_lap.dataset, m_lap.start) : 0;
}

bool CTrackView::PlaceMarkers() {
    m_model.m_greenDistance.reset();
    m_model.m_redDistance.reset();
    m_model.m_raceCircles.clear();
    if (!m_bHasLap || !m_model.Valid()) return false;
    const CBriodashDoc& doc = Document();
    const int32_t start = LapStartDistance();
    if (doc.m_lGreenDistance != kNotSet)
        m_model.m_greenDistance = (doc.m_lGreenDistance - start) / 10.0;
    if (doc.m_lRedDistance != kNotSet) m_model.m_redDistance = (doc.m_lRedDistance - start) / 10.0;
    const bool race = m_pRace && m_pRace->IsActive();
    if (race)
        for (int i = 0; i < m_pRace->LapCount(); ++i)
            m_model.m_raceCircles.push_back({m_pRace->LapDistanceFeet(i), m_pRace->LapColour(i)});
    std::optional<double> follow;
    if (race) {
        if (m_settings.followRace && !m_model.m_raceCircles.empty())
            follow = m_model.m_raceCircles.front().distance;
    } else if (m_settings.follow == kFollowGreen) {
        follow = m_model.m_greenDistance;
    } else if (m_settings.follow == kFollowRed) {
        follow = m_model.m_redDistance;
    }
    return follow && m_model.FollowMarker(*follow);
}

bool CTrackView::IsEnabled(TrackCommand id) const {
    switch (id) {
        case TrackCommand::ZoomOut:
            return m_model.CanZoomOut();
        case TrackCommand::WholeMap:
        case TrackCommand::ZoomIn:
            return m_model.Valid();
        default:
            return true;
    }
}

bool CTrackView::IsChecked(TrackCommand id) const {
    const int32_t mode = m_settings.drawSegments & 3;
    switch (id) {
        case TrackCommand::DrawAccel:
            return mode == kDrawAccelSegments;
        case TrackCommand::DrawCorners:
            return mode == kDrawCornerSegments;
        case TrackCommand::DrawBoth:
            return mode == (kDrawAccelSegments | kDrawCornerSegments);
        case TrackCommand::CornerNumbers:
            return (m_settings.drawSegments & kDrawCornerNumbers) != 0;
        case TrackCommand::RampAccel:
            return m_settings.ramp;
        case TrackCommand::FollowGreen:
            return m_settings.follow == kFollowGreen;
        case TrackCommand::FollowRed:
            return m_settings.follow == kFollowRed;
        case TrackCommand::FollowRace:
            return m_settings.followRace;
        case TrackCommand::StayOnTop:
            return m_settings.onTop;
        default:
            return false;
    }
}

ColorRef* CTrackView::ColorOf(TrackCommand id) {
    TrackColors& c = m_settings.colors;
    switch (id) {
        case TrackCommand::ColorBackground:
            return &c.background;
        case TrackCommand::ColorTrack:
            return &c.track;
        case TrackCommand::ColorStartFinish:
            return &c.startFinish;
        case TrackCommand::ColorLeft:
            return &c.left;
        case TrackCommand::ColorRight:
            return &c.right;
        case TrackCommand::ColorAccel:
            return &c.accel;
        case TrackCommand::ColorDecel:
            return &c.decel;
        default:
            return nullptr;
    }
}

bool CTrackView::Execute(TrackCommand id) {
    if (!IsEnabled(id)) return false;
    auto segments = [this](int32_t mode) {
        const int32_t keep = m_settings.drawSegments & ~3;
        // Choosing the mode that is set clears it.
        m_settings.drawSegments = keep | ((m_settings.drawSegments & 3) == mode ? 0 : mode);
    };
    switch (id) {
        case TrackCommand::WholeMap:
            m_model.WholeMap();
            break;
        case TrackCommand::ZoomIn:
            m_model.ZoomIn();
            break;
        case TrackCommand::ZoomOut:
            m_model.ZoomOut();
            break;
        case TrackCommand::DrawAccel:
            segments(kDrawAccelSegments);
            break;
        case TrackCommand::DrawCorners:
            segments(kDrawCornerSegments);
            break;
        case TrackCommand::DrawBoth:
            segments(kDrawAccelSegments | kDrawCornerSegments);
            break;
        case TrackCommand::CornerNumbers:
            m_settings.drawSegments ^= kDrawCornerNumbers;
            break;
        case TrackCommand::RampAccel:
            m_settings.ramp = !m_settings.ramp;
            break;
        case TrackCommand::FollowGreen:
            m_settings.follow = m_settings.follow == kFollowGreen ? kFollowNone : kFollowGreen;
            break;
        case TrackCommand::FollowRed:
            m_settings.follow = m_settings.follow == kFollowRed ? kFollowNone : kFollowRed;
            break;
        case TrackCommand::FollowRace:
            m_settings.followRace = !m_settings.followRace;
            if (m_pRace) m_pRace->Race().m_bFollowMarkers = m_settings.followRace;
            break;
        case TrackCommand::StayOnTop:
            m_settings.onTop = !m_settings.onTop;
            return true;
        default:
            return false;  // a dialog command: the window asks first
    }
    ApplySettings();
    PlaceMarkers();
    Canvas().Invalidate(ViewLayer::All);
    return true;
}

void CTrackView::SetThresholds(bool corners, float positive, float negative) {
    if (corners) {
        m_settings.map.longitudePos = m_map.m_fLongitudePos = positive;
        m_settings.map.longitudeNeg = m_map.m_fLongitudeNeg = negative;
        if (m_model.Valid()) m_map.FindCornerSegments(nullptr);
    } else {
        m_settings.map.lateralPos = m_map.m_fLateralPos = positive;
        m_settings.map.lateralNeg = m_map.m_fLateralNeg = negative;
        if (m_model.Valid()) m_map.FindAccelerationSegments(nullptr);
    }
    Canvas().Invalidate(ViewLayer::All);
}

void CTrackView::OnUpdate(const ViewUpdate& update) {
    switch (update.hint) {
        case kHintGreenMoved:
        case kHintRedMoved:
        case kHintRedMovedRaceSync:
        case kHintMarkersShown:
        case kHintRaceMarkerMoved:
            // Only the squares and circles move, unless the view follows them elsewhere.
            Canvas().Invalidate(PlaceMarkers() ? ViewLayer::All : ViewLayer::Overlay);
            return;
        default:
            break;
    }
    // The data changed: the map of the same lap is made again.
    if ((update.hint & kHintSetupsChanged) == kHintSetupsChanged && m_bHasLap) {
        const int32_t code = m_lap.code;
        if (!SelectLapCode(code)) m_bHasLap = false;
        return;
    }
    PlaceMarkers();
    Canvas().Invalidate(ViewLayer::All);
}

const CGraphScene& CTrackView::BuildScene(int width, int height, double devicePixelRatio,
                                          bool onPaper) {
    ApplySettings();
    m_model.SetClientSize(width, height);
    m_model.BuildScene(m_scene);
    m_scene.devicePixelRatio = devicePixelRatio;
    if (!onPaper) AddRubberBand(m_scene);
    return m_scene;
}

const CGraphScene& CTrackView::BuildOverlay(int width, int height, double devicePixelRatio) {
    ApplySettings();
    m_model.SetClientSize(width, height);
    m_model.BuildOverlay(m_overlay);
    m_overlay.devicePixelRatio = devicePixelRatio;
    AddRubberBand(m_overlay);
    return m_overlay;
}

void CTrackView::AddRubberBand(CGraphScene& scene) const {
    if (!m_bBand) return;
    const float l = static_cast<float>(std::min(m_band[0], m_band[2]));
    const float r = static_cast<float>(std::max(m_band[0], m_band[2]));
    const float t = static_cast<float>(std::min(m_band[1], m_band[3]));
    const float b = static_cast<float>(std::max(m_band[1], m_band[3]));
    const ColorRef c = MakeRGB(255, 255, 255);
    for (const auto& [x1, y1, x2, y2] :
         {std::array<float, 4>{l, t, r, t}, {r, t, r, b}, {r, b, l, b}, {l, b, l, t}})
        scene.AddLine(x1, y1, x2, y2, c, true, 1.0f, LineStyle::Solid, LineBlend::Xor);
}

void CTrackView::MouseDown(const ViewMouse& m) {
    if (m.button != MouseButton::Left || !m_model.Valid()) return;
    m_bBand = true;
    m_band[0] = m_band[2] = m.x;
    m_band[1] = m_band[3] = m.y;
}

void CTrackView::MouseMove(const ViewMouse& m) {
    if (!m_bBand) return;
    m_band[2] = m.x;
    m_band[3] = m.y;
    Canvas().Invalidate(ViewLayer::Overlay);
}

void CTrackView::MouseUp(const ViewMouse& m) {
    if (!m_bBand) return;
    m_bBand = false;
    m_band[2] = m.x;
    m_band[3] = m.y;
    const int w = std::abs(m_band[2] - m_band[0]), h = std::abs(m_band[3] - m_band[1]);
    if (w >= kMinBand && h >= kMinBand && m_model.Valid()) {
        double cx = 0.0, cy = 0.0;
        m_model.ToMap((m_band[0] + m_band[2]) / 2.0, (m_band[1] + m_band[3]) / 2.0, cx, cy);
        const GPoint size = m_model.ToPixels(m_map.m_dMaxX, m_map.m_dMaxY);
        const GPoint origin = m_model.ToPixels(m_map.m_dMinX, m_map.m_dMinY);
        // The band's larger share of the drawn map decides the new zoom.
        const double share = std::max(w / std::max<double>(size.x - origin.x, 1.0),
                                      h / std::max<double>(size.y - origin.y, 1.0));
        m_model.SetZoom(static_cast<float>(m_model.Zoom() / std::max(share, 1e-6)));
        m_model.SetCentre(cx, cy);
    }
    Canvas().Invalidate(ViewLayer::All);
}

void CTrackView::DoubleClick(const ViewMouse& m) {
    m_bBand = false;
    if (!m_bHasLap || !m_model.Valid()) return;
    const std::optional<std::size_t> nearest = m_model.NearestPoint(m.x, m.y);
    if (!nearest) return;
    const CTrackSample& p = m_map.m_samples[*nearest];
    CBriodashDoc& doc = Document();
    const auto absolute = static_cast<int32_t>(std::lround(p.m_dTime * 10000.0));
    const int32_t x = LapStartDistance() + static_cast<int32_t>(std::lround(p.m_dS * 10.0));
    const int32_t time = RelativeTime(*m_lap.dataset, absolute);
    if (m.button == MouseButton::Left && m.ctrl) {
        if (!m_pRace || !m_pRace->IsActive()) return;
        CRaceModeData& race = m_pRace->Race();
        if (!race.Selected().empty() && race.Selected().front().dataset == m_lap.dataset)
            race.SetRaceTime(absolute);
        else
            race.SetElapsed(absolute - m_lap.start);
        Canvas().Invalidate(PlaceMarkers() ? ViewLayer::All : ViewLayer::Overlay);
        Broadcast(ViewUpdate{.hint = kHintRaceMarkerMoved,
                             .time = m_pRace->RaceMarkerTime(0),
                             .x = m_pRace->RaceMarkerX(0, false)});
        return;
    }
    const bool green = m.button == MouseButton::Left;
    if (!green && m.button != MouseButton::Right) return;
    (green ? doc.m_lGreenTime : doc.m_lRedTime) = time;
    (green ? doc.m_lGreenDistance : doc.m_lRedDistance) = x;
    bool resynced = false;
    if (m_pRace && m_pRace->IsActive() && m_pRace->FollowsMarkers()) {
        m_pRace->Resync();
        resynced = true;
    }
    Canvas().Invalidate(PlaceMarkers() ? ViewLayer::All : ViewLayer::Overlay);
    const uint32_t hint =
        green ? kHintGreenMoved : (resynced ? kHintRedMovedRaceSync : kHintRedMoved);
    Broadcast(ViewUpdate{.hint = hint, .time = time, .x = x});
    if (resynced)
        Broadcast(ViewUpdate{.hint = kHintRaceMarkerMoved,
                             .time = m_pRace->RaceMarkerTime(0),
                             .x = m_pRace->RaceMarkerX(0, false)});
}

}  // namespace orvex
