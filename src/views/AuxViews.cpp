#include "views/AuxViews.h"

#include <utility>

#include "host/HostServices.h"

namespace orvex {

namespace {

// An overlay with nothing on it, over a kept drawing of `background`.
const CGraphScene& EmptyOverlay(CGraphScene& scene, int width, int height, double dpr,
                                ColorRef background) {
    scene.Clear();
    scene.width = width;
    scene.height = height;
    scene.devicePixelRatio = dpr;
    scene.background = background;
    scene.hasDrawing = true;
    return scene;
}

// Hints that move markers only: the data the views show stays.
bool IsMarkerMove(uint32_t hint) {
    return hint == kHintGreenMoved || hint == kHintRedMoved || hint == kHintRedMovedRaceSync ||
           hint == kHintRaceMarkerMoved;
}

}  // namespace

// --- Traction circle ---------------------------------------------------------------------------

CFrictionView::CFrictionView(CBriodashDoc& doc, IHostServices& host, IViewCanvas& canvas,
                             FrictionSettings settings, float voltageCorrection)
    : CViewBase(doc, ViewKind::TractionCircle, canvas),
      m_host(host),
      m_circle(settings, doc.m_options.units, voltageCorrection) {}

void CFrictionView::DataChanged() {
    m_tracesWidth = m_tracesHeight = -1;
    Canvas().Invalidate(ViewLayer::All);
}

void CFrictionView::SetSelection(const std::vector<CDatasetList>& entries) {
    m_circle.SetSelection(entries);
    m_circle.MoveMarker(true, Document().m_lGreenTime, m_host);
    m_circle.MoveMarker(false, Document().m_lRedTime, m_host);
    DataChanged();
}

void CFrictionView::SettingsChanged(bool recompute) {
    if (recompute) m_circle.Recompute();
    DataChanged();
}

void CFrictionView::SetColour(int entry, ColorRef colour) {
    m_circle.SetColour(entry, colour);
    // The reduced traces hold no colour.
    Canvas().Invalidate(ViewLayer::All);
}

void CFrictionView::SetMetrics(const SceneMetrics& metrics) {
    m_metrics = metrics;
}

void CFrictionView::OnUpdate(const ViewUpdate& update) {
    const CBriodashDoc& doc = Document();
    if (update.hint == kHintGreenMoved) {
        if (m_circle.MoveMarker(true, doc.m_lGreenTime, m_host))
            Canvas().Invalidate(ViewLayer::Overlay);
    } else if (update.hint == kHintRedMoved || update.hint == kHintRedMovedRaceSync) {
        if (m_circle.MoveMarker(false, doc.m_lRedTime, m_host))
            Canvas().Invalidate(ViewLayer::Overlay);
    } else if (update.hint == kHintMarkersShown) {
        const bool green = m_circle.MoveMarker(true, doc.m_lGreenTime, m_host);
        const bool red = m_circle.MoveMarker(false, doc.m_lRedTime, m_host);
        if (green || red) Canvas().Invalidate(ViewLayer::Overlay);
    } else if (update.hint != kHintRaceMarkerMoved) {
        m_circle.Recompute();
        DataChanged();
    }
}

void CFrictionView::OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) {
    CViewBase::OnDatasetReplaced(old, now);
    std::vector<CDatasetList> kept;
    for (const FrictionEntry& e : m_circle.Entries())
        if (e.list.m_pDataset != old) kept.push_back(e.list);
    SetSelection(kept);
}

const CGraphScene& CFrictionView::BuildScene(int width, int height, double devicePixelRatio,
                                             bool onPaper) {
    if (onPaper) {
        // Paper has finer pixels than the screen: every step is drawn where it lies.
        TractionTraces full;
        FullTractionTraces(m_circle, m_circle.Layout(width, height), full);
        BuildTractionScene(m_circle, full, width, height, m_metrics, m_scene);
        m_scene.devicePixelRatio = devicePixelRatio;
        return m_scene;
    }
    const bool curve = m_circle.Settings().drawCurve;
    if (width != m_tracesWidth || height != m_tracesHeight || curve != m_bTracesCurve ||
        devicePixelRatio != m_tracesRatio) {
        ReduceTractionTraces(m_circle, m_circle.Layout(width, height), width, height,
                             devicePixelRatio, m_traces);
        m_tracesWidth = width;
        m_tracesHeight = height;
        m_tracesRatio = devicePixelRatio;
        m_bTracesCurve = curve;
    }
    BuildTractionScene(m_circle, m_traces, width, height, m_metrics, m_scene);
    m_scene.devicePixelRatio = devicePixelRatio;
    return m_scene;
}

const CGraphScene& CFrictionView::BuildOverlay(int width, int height, double devicePixelRatio) {
    m_overlay.Clear();
    m_overlay.width = width;
    m_overlay.height = height;
    m_overlay.devicePixelRatio = devicePixelRatio;
    m_overlay.hasDrawing = true;
    m_overlay.background = m_circle.Settings().background;
    AddTractionMarkers(m_circle, m_circle.Layout(width, height), width, m_metrics, m_overlay);
    return m_overlay;
}

// --- Histogram ---------------------------------------------------------------------------------

CHistogramView::CHistogramView(CBriodashDoc& doc, IViewCanvas& canvas, float voltageCorrection)
    : CViewBase(doc, ViewKind::Histogram, canvas), m_fVoltage(voltageCorrection) {
    Refresh();
}

void CHistogramView::SetLook(const HistogramLook& look) {
    if (look.background == m_look.background && look.text == m_look.text &&
        look.grid == m_look.grid)
        return;
    m_look = look;
    Canvas().Invalidate(ViewLayer::All);
}

void CHistogramView::SetSessions(std::vector<CDatasetList> sessions) {
    m_selection.SetSessions(std::move(sessions), Document().m_options.units);
    Refresh();
}

void CHistogramView::Refresh() {
    m_chart = ComputeHistogram(m_selection.sessions, m_selection.channels, m_flags,
                               Document().m_options.units, m_fVoltage);
    Canvas().Invalidate(ViewLayer::All);
}

void CHistogramView::OnUpdate(const ViewUpdate& update) {
    if (!IsMarkerMove(update.hint)) Refresh();
}

void CHistogramView::OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) {
    CViewBase::OnDatasetReplaced(old, now);
    std::vector<CDatasetList> kept;
    for (const CDatasetList& e : m_selection.sessions)
        if (e.m_pDataset != old) kept.push_back(e);
    SetSessions(kept);
}

const CGraphScene& CHistogramView::BuildScene(int width, int height, double devicePixelRatio,
                                              bool) {
    m_geometry = BuildHistogramScene(m_chart, m_flags, width, height, m_metrics, m_look, m_scene);
    m_scene.devicePixelRatio = devicePixelRatio;
    return m_scene;
}

const CGraphScene& CHistogramView::BuildOverlay(int width, int height, double devicePixelRatio) {
    return EmptyOverlay(m_overlay, width, height, devicePixelRatio, m_look.background);
}

// --- Lap segment report ------------------------------------------------------------------------

CLapReportView::CLapReportView(CBriodashDoc& doc, IViewCanvas& canvas, LapReportOptions options,
                               LapReportColours colours)
    : CViewBase(doc, ViewKind::LapReport, canvas), m_options(options), m_colours(colours) {
    // Until the canvas measures its font: seven pixels a character.
    m_textWidth = [](const std::string& text) { return static_cast<int>(text.size()) * 7; };
}

void CLapReportView::SetTextWidth(std::function<int(const std::string&)> width) {
    m_textWidth = std::move(width);
    Rebuild();
}

void CLapReportView::SetMap(CBriodashDataset* session, MapSegments segments) {
    m_pSession = session;
    m_segments = std::move(segments);
    Rebuild();
}

void CLapReportView::Rebuild() {
    LapReportTable table;
    const CBriodashDoc& doc = Document();
    if (m_pSession)
        table = BuildLapReport(*m_pSession, doc.m_options.distanceMode, m_segments, m_options,
                               m_selected, doc.m_options.units, m_colours, doc.m_bLapView);
    else
        table.columns = LapReportColumns(m_segments, m_options.displaySpeeds);
    m_model.SetTable(std::move(table));
    m_model.FitColumns(m_textWidth);
    Canvas().Invalidate(ViewLayer::All);
}

void CLapReportView::OnUpdate(const ViewUpdate& update) {
    if (!IsMarkerMove(update.hint)) Rebuild();
}

void CLapReportView::OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) {
    CViewBase::OnDatasetReplaced(old, now);
    if (m_pSession == old) m_pSession = now;
    Rebuild();
}

const CGraphScene& CLapReportView::BuildScene(int width, int height, double devicePixelRatio,
                                              bool) {
    BuildLapReportScene(m_model, width, height, m_metrics, m_scene);
    m_scene.devicePixelRatio = devicePixelRatio;
    return m_scene;
}

const CGraphScene& CLapReportView::BuildOverlay(int width, int height, double devicePixelRatio) {
    return EmptyOverlay(m_overlay, width, height, devicePixelRatio, MakeRGB(255, 255, 255));
}

}  // namespace orvex
