// The core views of the traction circle, histogram and lap segment report: each registers with
// its document on the shared view base, follows the document's hints, and builds its scene for
// the one scene widget that paints it on the screen, the printer and pictures.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "graph/ViewBase.h"
#include "views/Histogram.h"
#include "views/LapReportModel.h"
#include "views/LapSegmentReport.h"
#include "views/SelectionDialogs.h"
#include "views/TractionCircle.h"
#include "views/ViewScenes.h"

namespace orvex {

class IHostServices;

// The traction circle (`CFrictionView`). Axes and traces are the base drawing, kept as long as
// the size and the data stay; a marker move builds the overlay (boxes and value texts) alone.
// On paper the boxes and value texts are printed too: they are what the view reports.
class CFrictionView : public CViewBase {
  public:
    CFrictionView(CBriodashDoc& doc, IHostServices& host, IViewCanvas& canvas,
                  FrictionSettings settings, float voltageCorrection);

    CFrictionCircle& Circle() { return m_circle; }
    const CFrictionCircle& Circle() const { return m_circle; }
    // The selection, with both markers placed on it again.
    void SetSelection(const std::vector<CDatasetList>& entries);
    // After a change of the settings; `recompute` when the values must be read again (the
    // smoothing).
    void SettingsChanged(bool recompute = false);
    void SetColour(int entry, ColorRef colour);
    void SetMetrics(const SceneMetrics& metrics);
    const SceneMetrics& Metrics() const { return m_metrics; }

    void OnUpdate(const ViewUpdate& update) override;
    void OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) override;
    const CGraphScene& BuildScene(int width, int height, double devicePixelRatio,
                                  bool onPaper) override;
    const CGraphScene& BuildOverlay(int width, int height, double devicePixelRatio) override;
    bool BuildsOverlayApart() const override { return true; }

    const CGraphScene& LastScene() const { return m_scene; }
    const TractionTraces& Traces() const { return m_traces; }

  private:
    void DataChanged();

    IHostServices& m_host;
    CFrictionCircle m_circle;
    SceneMetrics m_metrics;
    CGraphScene m_scene, m_overlay;
    // The traces reduced for the size and pixel ratio they were drawn at, until the data or the
    // look changes.
    TractionTraces m_traces;
    int m_tracesWidth = -1, m_tracesHeight = -1;
    double m_tracesRatio = 1.0;
    bool m_bTracesCurve = true;
};

// The histogram (`CHistogramView`): the selections, the display flags and the chart computed
// from them.
class CHistogramView : public CViewBase {
  public:
    CHistogramView(CBriodashDoc& doc, IViewCanvas& canvas, float voltageCorrection);

    CHistogramSelection& Selection() { return m_selection; }
    HistogramFlags& Flags() { return m_flags; }
    void SetLook(const HistogramLook& look);
    void SetMetrics(const SceneMetrics& metrics) { m_metrics = metrics; }
    // The sessions; the available channels follow and the selected ones are pruned.
    void SetSessions(std::vector<CDatasetList> sessions);
    // The chart computed again from the selections and flags, and the view repainted.
    void Refresh();
    const HistogramChart& Chart() const { return m_chart; }
    const HistogramGeometry& Geometry() const { return m_geometry; }

    void OnUpdate(const ViewUpdate& update) override;
    void OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) override;
    const CGraphScene& BuildScene(int width, int height, double devicePixelRatio,
                                  bool onPaper) override;
    // Nothing lies over the bars: an expose paints the kept drawing alone.
    const CGraphScene& BuildOverlay(int width, int height, double devicePixelRatio) override;
    bool BuildsOverlayApart() const override { return true; }
    const CGraphScene& LastScene() const { return m_scene; }

  private:
    float m_fVoltage;
    CHistogramSelection m_selection;
    HistogramFlags m_flags;
    HistogramChart m_chart;
    HistogramGeometry m_geometry;
    HistogramLook m_look;
    SceneMetrics m_metrics;
    CGraphScene m_scene, m_overlay;
};

// The lap segment report (`CLapReportView`) of one session on the segments of a track map.
class CLapReportView : public CViewBase {
  public:
    CLapReportView(CBriodashDoc& doc, IViewCanvas& canvas, LapReportOptions options,
                   LapReportColours colours);

    // How wide a text is in the report's font, for fitting the columns.
    void SetTextWidth(std::function<int(const std::string&)> width);
    void SetMetrics(const SceneMetrics& metrics) { m_metrics = metrics; }
    // The session and the track map segments the report reads.
    void SetMap(CBriodashDataset* session, MapSegments segments);
    CBriodashDataset* Session() const { return m_pSession; }
    LapReportOptions& Options() { return m_options; }
    std::set<int>& SelectedLaps() { return m_selected; }
    // The report made again from the session, the segments and the options.
    void Rebuild();
    const LapReportTable& Table() const { return m_model.Table(); }
    const CLapReportModel& Model() const { return m_model; }

    void OnUpdate(const ViewUpdate& update) override;
    void OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) override;
    const CGraphScene& BuildScene(int width, int height, double devicePixelRatio,
                                  bool onPaper) override;
    // Nothing lies over the table: an expose paints the kept drawing alone.
    const CGraphScene& BuildOverlay(int width, int height, double devicePixelRatio) override;
    bool BuildsOverlayApart() const override { return true; }
    const CGraphScene& LastScene() const { return m_scene; }

  private:
    CBriodashDataset* m_pSession = nullptr;
    MapSegments m_segments;
    LapReportOptions m_options;
    LapReportColours m_colours;
    std::set<int> m_selected;
    CLapReportModel m_model;
    std::function<int(const std::string&)> m_textWidth;
    SceneMetrics m_metrics;
    CGraphScene m_scene, m_overlay;
};

}  // namespace orvex
