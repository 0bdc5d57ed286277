// Moving the strip chart's window over the data: zoom, scroll bars and keys, rubber-band zoom,
// view history, Reset Display and the switch between a time and a distance axis; plus the
// graph window's command table (menu texts, keys, status texts) for the window to bind.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graph/GraphView.h"

namespace orvex {

class IHostServices;

enum class GraphCommand {
    ZoomInX,
    ZoomOutX,
    ZoomInRpm,
    ZoomOutRpm,
    Backward,
    Forward,
    ResetDisplay,
    Redraw,
    ScrollLineLeft,
    ScrollLineRight,
    ScrollPageLeft,
    ScrollPageRight,
    ScrollRpmLineUp,
    ScrollRpmLineDown,
    ScrollRpmPageUp,
    ScrollRpmPageDown,
    DisplayAsTime,
    DisplayAsDistance,
    DistanceFrontWheel,
    DistanceRearWheel,
    DistanceAccelerometer,
    DistanceEngine,
    MphLowerHalf,
    CombineAnalogs,
    AnalogScales,
};

// One command of the graph window. Keys are written as "Shift+F3", "Ctrl+Left", "Alt+R"
// (several keys for one command are separate entries of `keys`).
struct GraphCommandInfo {
    GraphCommand id;
    const char* menuText;  // the text while no state changes it; empty: key only
    std::vector<const char*> keys;
    const char* statusText;  // empty: none
};

// Every command of the graph window in menu order.
const std::vector<GraphCommandInfo>& GraphCommandTable();
const GraphCommandInfo& GraphCommandInfoOf(GraphCommand id);

// Scroll bar range and thumb position.
struct ScrollBarState {
    int32_t min = 0, max = 0, pos = 0;
};

enum class ScrollAction { LineBack, LineForward, PageBack, PageForward, Thumb };

// Moves the window of one graph view over its document. Every step ends by moving the
// datasets' windows, recomputing scale factors, setting the scroll bars, repainting and
// appending to the history ("finishing the move").
class CGraphNavigator {
  public:
    static constexpr uint32_t kHintDisplayReset = kHintResetDisplay;

    CGraphNavigator(CBriodashDoc& doc, CGraphViewState& state, IHostServices& host);

    // Called to repaint the window (default: nothing).
    std::function<void()> m_repaint;
    // Distance of a dataset from a source; returns false when it could not be computed.
    // Default: the processing code's distance computation.
    std::function<bool(CBriodashDataset&, int source)> m_computeDistance;
    // Slip of RPM channel 1..5 of a dataset, computed before a drawing that shows it.
    // Default: the processing code's slip computation.
    std::function<void(CBriodashDataset&, int channel)> m_computeSlip;
    // Lap view switch of the document (default: the document's own hook).
    std::function<void(bool)> m_setLapView;
    // The options the layout draws with; "Turn Analog Scales On/Off" toggles its flag.
    GraphOptions* m_pOptions = nullptr;

    // Initial update: picks the current dataset, computes distance when the axis asks for it
    // (falling back to time) and resets the display.
    void InitialUpdate(int width, int height);
    void OnSize(int width, int height);

    // Commands by id (menu, keys); returns whether anything changed.
    bool Execute(GraphCommand id);
    bool IsEnabled(GraphCommand id) const;
    bool IsChecked(GraphCommand id) const;
    // Menu text in the current state ("Zoom In Distance (F3)" on a distance axis ...).
    std::string MenuText(GraphCommand id) const;

    bool ZoomInX();
    bool ZoomOutX();
    bool ZoomInRpm();
    bool ZoomOutRpm();
    bool HScroll(ScrollAction action, int32_t thumb = 0);
    bool VScroll(ScrollAction action, int32_t thumb = 0);
    bool Backward();
    bool Forward();
    void ResetDisplay();
    bool DisplayAsTime();
    bool DisplayAsDistance();
    // Source 1 front wheel, 2 axle/rear wheel, 3 accelerometer, 4 engine RPM.
    bool SetDistanceSource(int source);
    // "Display MPH in lower half", "Combine Scale for Same Type of Analog Channels",
    // "Turn Analog Scales On/Off".
    void ToggleMphLowerHalf();
    void ToggleCombineAnalogs();
    void ToggleAnalogScales();

    // Refresh ranges after a change of data (resetRpm: the full RPM range is shown).
    void RefreshRanges(bool resetRpm);

    // Rubber band (client pixels). MouseUp returns whether the view zoomed.
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    bool MouseUp(int x, int y);
    bool RubberBandActive() const { return m_bBand; }
    // The rectangle to draw while the band is active.
    GRectI RubberBand() const { return m_band; }

    ScrollBarState HorzScroll() const;
    ScrollBarState VertScroll() const;
    bool CanGoBack() const;
    bool CanGoForward() const;

    // Whether a shown dataset offers distance source 1..4.
    bool OffersSource(int source) const;

  private:
    void FinishMove();
    void AppendHistory();
    void Recompute();
    void RestoreFromHistory();
    void RefreshHistoryMaxima(int32_t oldRpmMax, int32_t oldMphMax);
    // Checks a dataset for a distance source; shows the failure and returns false.
    bool CheckSource(const CBriodashDataset& ds, int source);
    // Window converted between time and distance through the source channel of the first
    // shown dataset with distances.
    bool SourceWindow(bool toDistance, int32_t& start, int32_t& span) const;
    int32_t DistanceSource() const;
    void SetDistanceSourceValue(int source);
    void TimeExtent(int32_t& lo, int32_t& hi) const;
    void DistanceExtent(int32_t& lo, int32_t& hi) const;
    void Repaint();

    CBriodashDoc& m_doc;
    CGraphViewState& m_state;
    IHostServices& m_host;
    bool m_bBand = false;
    int m_anchorX = 0, m_anchorY = 0;
    GRectI m_band;
};

}  // namespace orvex
