// The strip chart's core view.
#include "graph/StripChart.h"

#include <algorithm>

#include "processing/SpeedDistance.h"

namespace orvex {

CStripChart::CStripChart(CBriodashDoc& doc, IHostServices& host, IViewCanvas& canvas)
    : CViewBase(doc, ViewKind::Graph, canvas),
      m_host(host),
      m_nav(doc, m_state, host),
      m_markers(doc, host) {
    // Distance and slip come from the document's services.
    m_nav.m_pOptions = &m_options;
}

CStripChart::~CStripChart() = default;

void CStripChart::Initialise(int width, int height) {
    if (m_bInitialised) return;
    m_bInitialised = true;
    m_nav.InitialUpdate(std::max(width, 1), std::max(height, 1));
    SetCurrent(m_state.m_pCurrent);
}

void CStripChart::ResetDisplay(int width, int height) {
    m_layout.InvalidateCache();
    if (!m_bInitialised) {
        Initialise(width, height);
        return;
    }
    m_nav.ResetDisplay();
    SetCurrent(m_state.m_pCurrent);
    Canvas().Invalidate(ViewLayer::All);
}

void CStripChart::Resize(int width, int height) {
    if (m_bInitialised) m_nav.OnSize(width, height);
}

void CStripChart::OnUpdate(const ViewUpdate& update) {
    switch (update.hint) {
        case kHintGreenMoved:
        case kHintRedMoved:
        case kHintRedMovedRaceSync:
            // A marker set elsewhere (the track map) shows both markers, as a double click
            // here does.
            m_markers.m_bMarkersShown = true;
            Canvas().Invalidate(ViewLayer::Overlay);
            return;
        case kHintRaceMarkerMoved:
            m_markers.m_bRaceMarkersShown = true;
            Canvas().Invalidate(ViewLayer::Overlay);
            return;
        case kHintMarkersShown:
            // Only the marker lines moved.
            Canvas().Invalidate(ViewLayer::Overlay);
            return;
        case kHintRepaint:
            m_layout.InvalidateCache();
            break;
        default:
            break;
    }
    // New distances move the ends of a distance axis.
    if (update.Has(kHintDistancesChanged) && m_bInitialised) m_nav.RefreshRanges(false);
    Canvas().Invalidate(ViewLayer::All);
}

void CStripChart::OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) {
    CViewBase::OnDatasetReplaced(old, now);
    if (m_state.m_pCurrent == old) m_state.m_pCurrent = now;
}

MarkerAxis CStripChart::Axis() const {
    MarkerAxis a;
    a.timeAxis = m_state.IsTimeAxis();
    a.xStart = m_state.m_lXStart;
    a.xSpan = m_state.m_lXSpan;
    a.xUnitsPerPixel = m_state.m_scale.xUnitsPerPixel;
    a.clientHeight = m_state.m_nClientHeight;
    return a;
}

bool CStripChart::Execute(GraphCommand id) {
    if (!m_nav.IsEnabled(id)) return false;
    const bool changed = m_nav.Execute(id);
    if (id == GraphCommand::Redraw) Document().UpdateAllViews(kHintRepaint);
    SetCurrent(m_state.m_pCurrent);
    Canvas().Invalidate(ViewLayer::All);
    return changed;
}

void CStripChart::Apply(const MarkerOutcome&) {
    // The marker controller has told the views; the strokes show by repainting the overlay.
    Canvas().Invalidate(ViewLayer::Overlay);
}

void CStripChart::PlaceMarker(Marker which, int32_t time) {
    const MarkerAxis axis = Axis();
    int32_t x = time;
    if (!axis.timeAxis) {
        x = kNotSet;
        for (CBriodashDataset* ds : Document().ShownDatasets())
            if (ds->HasData()) {
                x = MarkerDistanceAt(*ds, time);
                break;
            }
        if (x == kNotSet) return;
    }
    Apply(m_markers.PlaceAt(which, x, axis));
}

void CStripChart::Nudge(Marker which, int direction) {
    if (!m_markers.CanNudge(which)) return;
    Apply(m_markers.Nudge(which, direction, Axis()));
}

void CStripChart::StepRace(int direction) {
    Apply(m_markers.StepRace(direction, Axis()));
}

void CStripChart::ToggleMarkers() {
    Apply(m_markers.ToggleShown(Axis()));
}

const CGraphScene& CStripChart::BuildScene(int width, int height, double devicePixelRatio,
                                           bool onPaper) {
    m_markers.m_crBackground = m_options.background;
    MarkerAxis axis = Axis();
    CGraphScene* scene = nullptr;
    if (width != m_state.m_nClientWidth || height != m_state.m_nClientHeight) {
        // Another size (a printer page or a picture): lay out a copy of the view for it.
        CGraphViewState copy = m_state;
        copy.RecomputeScaleFactors(Document(), width, height);
        if (!m_otherSize) m_otherSize = std::make_unique<CGraphLayout>();
        m_otherSize->Build(Document(), copy, m_options, width, height, devicePixelRatio);
        scene = &m_otherSize->Scene();
        axis.xUnitsPerPixel = copy.m_scale.xUnitsPerPixel;
        axis.clientHeight = height;
    } else {
        m_layout.Build(Document(), m_state, m_options, width, height, devicePixelRatio);
        scene = &m_layout.Scene();
    }
    if (!onPaper) AddMarkerOverlay(*scene, m_markers.Overlay(axis));
    return *scene;
}

const CGraphScene& CStripChart::BuildOverlay(int width, int height, double devicePixelRatio) {
    if (width != m_state.m_nClientWidth || height != m_state.m_nClientHeight)
        return BuildScene(width, height, devicePixelRatio, false);
    m_overlay.Clear();
    m_overlay.width = width;
    m_overlay.height = height;
    m_overlay.devicePixelRatio = devicePixelRatio;
    m_overlay.background = m_options.background;
    m_markers.m_crBackground = m_options.background;
    AddMarkerOverlay(m_overlay, m_markers.Overlay(Axis()));
    return m_overlay;
}

void CStripChart::MouseDown(const ViewMouse& m) {
    if (m.button != MouseButton::Left) return;
    m_nav.MouseDown(m.x, m.y);
    Canvas().Invalidate(ViewLayer::Overlay);
}

void CStripChart::MouseMove(const ViewMouse& m) {
    if (!m_nav.RubberBandActive()) return;
    m_nav.MouseMove(m.x, m.y);
    Canvas().Invalidate(ViewLayer::Overlay);
}

void CStripChart::MouseUp(const ViewMouse& m) {
    if (m.button != MouseButton::Left || !m_nav.RubberBandActive()) return;
    const bool zoomed = m_nav.MouseUp(m.x, m.y);
    Canvas().Invalidate(zoomed ? ViewLayer::All : ViewLayer::Overlay);
}

void CStripChart::DoubleClick(const ViewMouse& m) {
    if (m.button == MouseButton::Left && m.ctrl)
        Apply(m_markers.SetRaceMarkerAt(m.x, Axis()));
    else if (m.button == MouseButton::Left)
        Apply(m_markers.DoubleClick(Marker::Green, m.x, Axis()));
    else if (m.button == MouseButton::Right)
        Apply(m_markers.DoubleClick(Marker::Red, m.x, Axis()));
}

}  // namespace orvex
