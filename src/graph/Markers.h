// The green and red markers of one strip chart: setting them by double click, nudging them a
// data point, showing or hiding them, their lines on the plot, and zero offsets via a marker.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "graph/Color.h"
#include "graph/GraphScene.h"
#include "graph/GraphView.h"
#include "graph/MarkerValues.h"
#include "model/Document.h"

namespace orvex {

enum class Marker { Green, Red };

inline constexpr ColorRef kGreenMarkerColour = MakeRGB(0, 200, 0);
inline constexpr ColorRef kRedMarkerColour = MakeRGB(255, 0, 0);

// What the marker code needs of the strip chart's state and geometry.
struct MarkerAxis {
    bool timeAxis = true;  // horizontal axis shows time (else distance)
    int32_t xStart = 0;    // value at the left border of the plot
    int32_t xSpan = 0;     // width of the plot in x units
    double xUnitsPerPixel = 1.0;
    int clientHeight = 0;
    int leftMargin = 55;
    int bottomMargin = 25;
};

// The marker axis of a graph view's state and client size.
MarkerAxis MarkerAxisOf(const CGraphViewState& state);

// How a marker line is put on the screen: drawing it again with the same operation erases it.
enum class RasterOp { Xor, NotXor };

// One marker line, a vertical line from the plot bottom to the top at pixel position x.
struct MarkerLine {
    double x = 0;
    int top = 0;
    int bottom = 0;
    ColorRef colour = 0;
    RasterOp op = RasterOp::Xor;
    bool operator==(const MarkerLine&) const = default;
};

// A hint sent to the document's views with what it carries: the marker's new time and x.
struct MarkerHint {
    uint32_t code = 0;
    int32_t time = kNotSet;
    int32_t x = kNotSet;
    bool operator==(const MarkerHint&) const = default;
};

// What a marker operation did: the lines drawn in order (each drawing of a line already on the
// screen erases it) and the hints sent to the views.
struct MarkerOutcome {
    bool changed = false;
    std::vector<MarkerLine> strokes;
    std::vector<MarkerHint> hints;
};

// Puts marker lines on the scene's overlay layer, combined with the pixels below by their
// raster operation.
void AddMarkerOverlay(CGraphScene& scene, const std::vector<MarkerLine>& lines);

// The race-mode record as the markers need it.
class IRaceMarkers {
  public:
    virtual ~IRaceMarkers() = default;
    virtual bool IsActive() const = 0;
    // Race start follows the green marker and race end the red marker.
    virtual bool FollowsMarkers() const = 0;
    virtual int LapCount() const = 0;
    virtual std::string LapName(int lap) const = 0;
    virtual ColorRef LapColour(int lap) const = 0;
    virtual CBriodashDataset* LapDataset(int lap) const = 0;
    // The lap's race marker time (relative to its dataset's zero) and x on the graph's axis;
    // with `relativeToGreen` the distance (0.1 ft) the lap has run past its race start (its
    // green x), which is what the laps' distance differences compare.
    virtual int32_t RaceMarkerTime(int lap) const = 0;
    virtual int32_t RaceMarkerX(int lap, bool relativeToGreen) const = 0;
    virtual void SetRaceMarker(int32_t x) = 0;
    virtual void Resync() = 0;
    virtual void SetClockStep(int32_t samplePeriod) = 0;
    // Ctrl + Alt + arrows: the race clock one step back (-1) or forward; "Restart Race".
    virtual void Step(int /*direction*/) {}
    virtual void Restart() {}
};

// Background lightness ((largest + smallest of red, green, blue) × 240 + 255) / 510.
int Lightness(ColorRef c);
// Exclusive-or on a dark background (lightness below 90), inverted exclusive-or otherwise.
RasterOp MarkerRasterOp(ColorRef background);

// The marker state of one graph view and its operations on the document's markers.
class CMarkerController {
  public:
    CMarkerController(CBriodashDoc& doc, IHostServices& host) : m_doc(doc), m_host(host) {}

    bool m_bMarkersShown = false;  // green and red together
    bool m_bRaceMarkersShown = false;
    ColorRef m_crBackground = 0;
    IRaceMarkers* m_pRace = nullptr;
    // Posts the data server's advise to its linked client; false when posting failed.
    std::function<bool()> m_postAdvise;

    // Double click at client x `mouseX`; with `race` (Ctrl held, left button) the race marker.
    MarkerOutcome DoubleClick(Marker which, int mouseX, const MarkerAxis& axis);
    // Puts the marker at axis value x (time, or distance on a distance axis) as a double click
    // there does.
    MarkerOutcome PlaceAt(Marker which, int32_t x, const MarkerAxis& axis);
    MarkerOutcome SetRaceMarkerAt(int mouseX, const MarkerAxis& axis);
    // The race clock a step back (direction < 0) or forward; with direction 0 back to the
    // race start ("Restart Race"). The race markers are shown.
    MarkerOutcome StepRace(int direction, const MarkerAxis& axis);
    // One data point left (direction < 0) or right.
    MarkerOutcome Nudge(Marker which, int direction, const MarkerAxis& axis);
    // "&Turn On Green/Red Markers".
    MarkerOutcome ToggleShown(const MarkerAxis& axis);

    bool IsSet(Marker which) const;
    bool CanNudge(Marker which) const { return IsSet(which); }
    bool CanToggle() const { return IsSet(Marker::Green) || IsSet(Marker::Red); }
    std::string ToggleMenuText() const;

    // The marker's value on the horizontal axis (time, or distance on a distance axis).
    int32_t AxisValue(Marker which, bool timeAxis) const;
    // The line of a marker at axis value x, when x lies inside the window.
    std::optional<MarkerLine> LineAt(int32_t x, ColorRef colour, const MarkerAxis& axis) const;
    // Every marker line now on the screen, for a view that repaints an overlay.
    std::vector<MarkerLine> Overlay(const MarkerAxis& axis) const;

  private:
    int32_t& TimeOf(Marker which);
    int32_t& DistanceOf(Marker which);
    void Stroke(Marker which, const MarkerAxis& axis, MarkerOutcome& out) const;
    void StrokeRace(const MarkerAxis& axis, MarkerOutcome& out) const;
    // Race markers following the green/red marker are re-synchronised; returns whether they were.
    bool ResyncRace(const MarkerAxis& axis, MarkerOutcome& out);
    void Send(MarkerOutcome& out, uint32_t code, int32_t time, int32_t x);
    void PostAdvise();
    CBriodashDataset* FirstShownWithData() const;
    void Moved(Marker which, const MarkerAxis& axis, MarkerOutcome& out);

    CBriodashDoc& m_doc;
    IHostServices& m_host;
};

// The green and red markers' distances taken again from their times after the datasets'
// distances were computed anew (another source): the markers stay at their instants.
void RefreshMarkerDistances(CBriodashDoc& doc);

// "Change/Set Zero Offset(s) via Green/Red Marker": the chosen analog channels (1..20) of `ds`
// and of the following datasets of its session read 0 at the marker (1 G for an up-down
// accelerometer). Returns whether an accelerometer changed, so that its derived quantities are
// recomputed.
struct ZeroOffsetResult {
    int channelsChanged = 0;
    bool accelerometerChanged = false;
};
ZeroOffsetResult SetZeroOffsetsAtMarker(CBriodashDoc& doc, CBriodashDataset& ds,
                                        const std::vector<int>& channels, Marker which,
                                        const MarkerConverters& conv);

}  // namespace orvex
