// The strip chart's core view: its view state, layout, navigation and markers, the scene it
// draws at any size (screen, printer page, picture) with the marker lines on the overlay, and
// what it does with the document's hints and the mouse.
#pragma once

#include <memory>

#include "graph/GraphNav.h"
#include "graph/GraphView.h"
#include "graph/Markers.h"
#include "graph/ViewBase.h"

namespace orvex {

class IHostServices;

class CStripChart : public CViewBase {
  public:
    CStripChart(CBriodashDoc& doc, IHostServices& host, IViewCanvas& canvas);
    ~CStripChart() override;

    CGraphViewState& State() { return m_state; }
    const CGraphViewState& State() const { return m_state; }
    CGraphNavigator& Navigator() { return m_nav; }
    CMarkerController& Markers() { return m_markers; }
    GraphOptions& Options() { return m_options; }

    // The first layout at the client size; later calls do nothing.
    void Initialise(int width, int height);
    bool Initialised() const { return m_bInitialised; }
    // The view after the document's datasets changed.
    void ResetDisplay(int width, int height);
    // A new client size.
    void Resize(int width, int height);

    // A graph window command (menu or key); returns whether anything changed.
    bool Execute(GraphCommand id);
    // The marker commands of the view menu and the arrow keys.
    void Nudge(Marker which, int direction);
    void ToggleMarkers();
    // Ctrl + Alt + arrows (direction -1 or +1) and "Restart Race" (direction 0).
    void StepRace(int direction);
    // Puts a marker at a time (relative to the zero) as a double click there would.
    void PlaceMarker(Marker which, int32_t time);
    MarkerAxis Axis() const;

    void OnUpdate(const ViewUpdate& update) override;
    void OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) override;
    const CGraphScene& BuildScene(int width, int height, double devicePixelRatio,
                                  bool onPaper) override;
    const CGraphScene& BuildOverlay(int width, int height, double devicePixelRatio) override;
    bool BuildsOverlayApart() const override { return true; }

    // Left button: the rubber band; double clicks set the markers (Ctrl: the race marker).
    void MouseDown(const ViewMouse& m) override;
    void MouseMove(const ViewMouse& m) override;
    void MouseUp(const ViewMouse& m) override;
    void DoubleClick(const ViewMouse& m) override;

  private:
    void Apply(const MarkerOutcome& outcome);

    [[maybe_unused]] IHostServices& m_host;
    CGraphViewState m_state;
    GraphOptions m_options;
    CGraphLayout m_layout;
    CGraphScene m_overlay;  // the marker lines alone, over a kept base drawing
    // Layout of other sizes than the client's (printer pages, pictures).
    std::unique_ptr<CGraphLayout> m_otherSize;
    CGraphNavigator m_nav;
    CMarkerController m_markers;
    bool m_bInitialised = false;
};

}  // namespace orvex
