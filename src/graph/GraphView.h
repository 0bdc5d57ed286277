// The strip chart's core: its view state (window, ranges, scale factors, history) and the layout
// that turns a document and that state into a display list for a given client size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graph/Color.h"
#include "graph/GraphScene.h"
#include "model/Document.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;

// Screen layout of the plot area.
inline constexpr int kLeftMargin = 55;
inline constexpr int kBottomMargin = 25;
inline constexpr int kTickLength = 5;

// Axis modes and spans.
inline constexpr int32_t kAxisTime = 1;
inline constexpr int32_t kAxisDistance = 2;
inline constexpr int32_t kMinTimeSpan = 1000;    // 0.1 s
inline constexpr int32_t kMinDistanceSpan = 10;  // 1 ft
inline constexpr int32_t kMinRpmSpan = 100;
inline constexpr int32_t kFirstMinute = 600000;   // the first view of a time axis
inline constexpr int32_t kFirstDistance = 10000;  // the first 1000 ft of a distance axis

// Options the view takes from the application settings and the document.
struct GraphOptions {
    ColorRef background = 0xFFFFFF;
    ColorRef rpmLabel = 0x000000;
    ColorRef mphLabel = 0x000000;
    ColorRef timeLabel = 0x000000;
    bool analogScales = true;  // "AnalogScales"
    Units units = Units::Imperial;
    float voltageCorrection = 0.0f;  // channel-20 correction of analog conversions
};

// The part of the view state that the history keeps, in the order it is saved.
struct CSavedViewState {
    int32_t m_lXStart = 0;
    int32_t m_lXSpan = kFirstMinute;
    int32_t m_lOtherSpan = 0;  // span last used in the other axis mode
    int32_t m_lXMin = 0;
    int32_t m_lXMax = 0;
    int32_t m_lRpmBottom = 0;
    int32_t m_lRpmSpan = 0;
    int32_t m_lRpmMax = 0;
    int32_t m_lMphMax = 0;
    int32_t m_nTimeAxis = 1;  // 1 time, 0 distance
    int32_t m_nAxisMode = kAxisTime;
    int32_t m_nDistanceSource = 0;
    bool m_bMphLowerHalf = false;
    bool m_bCombineAnalogs = true;

    bool operator==(const CSavedViewState&) const = default;
};

// Units per pixel and tick steps derived from the window and the client size.
struct GraphScaleFactors {
    int width = 0, height = 0;  // client size the factors were made for
    double xUnitsPerPixel = 1.0;
    bool atStart = true, atEnd = true;
    int32_t rpmPerPixel = 1;
    int32_t mphFactor = 1;
    int32_t slipBottom = 0;
    int32_t slipPerPixel = 1;
    int32_t xMinor = 10000, xMajor = 100000;
    int32_t rpmMinor = 100000, rpmMajor = 1000000;
    int32_t mphMinor = 0, mphMajor = 0;
    int32_t slipMinor = 2000, slipMajor = 10000;
    bool speedScale = false;  // some shown dataset draws an RPM channel as speed
    bool slipScale = false;   // some shown dataset has a slip trace switched on
    bool rpmScale = false;    // some shown dataset has a shown RPM channel with data
};

// Pixel mappings of one drawing (origin at the left and bottom margins).
struct GraphMapping {
    int width = 0, height = 0;
    int32_t xStart = 0, xSpan = 0;
    double xUnitsPerPixel = 1.0;
    int32_t rpmBottom = 0, rpmPerPixel = 1;
    int32_t slipBottom = 0, slipPerPixel = 1;

    double PlotBottom() const { return height - kBottomMargin; }
    double PlotHeight() const { return height - kBottomMargin; }
    // x of a horizontal value; values before x start sit on the left margin.
    double XToPixel(int32_t x) const;
    // Horizontal value at a pixel column.
    int32_t PixelToX(double px) const;
    // y of an RPM-axis value (values below the bottom sit on the bottom).
    double RpmToPixel(int32_t v) const;
    int32_t PixelToRpm(double py) const;
    double SlipToPixel(int32_t v) const;
};

// The view state of one graph window.
class CGraphViewState : public CSavedViewState {
  public:
    int32_t m_lScrollDivisor = 1;
    int32_t m_lSlipBottom = 0;
    bool m_bGreenShown = true;
    bool m_bRedShown = true;
    // The dataset drawn on top and used for titles and marker conversions.
    const CBriodashDataset* m_pCurrent = nullptr;
    // Client size and the factors last computed for it.
    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
    GraphScaleFactors m_scale;

    // View history.
    std::vector<CSavedViewState> m_history;
    int m_nHistoryPos = -1;

    // Starts from the settings' "XAxisMode", "MPHScale" and "LikeAnalogs".
    void InitFromSettings(int32_t axisMode, bool mphLowerHalf, bool combineAnalogs);

    CSavedViewState Saved() const { return *this; }
    void Restore(const CSavedViewState& s) { static_cast<CSavedViewState&>(*this) = s; }
    bool IsTimeAxis() const { return m_nTimeAxis != 0; }
    int32_t MinXSpan() const { return IsTimeAxis() ? kMinTimeSpan : kMinDistanceSpan; }

    // Recompute scale factors for the client size (also done on a size change).
    void RecomputeScaleFactors(const CBriodashDoc& doc, int width, int height);
    void SetClientSize(const CBriodashDoc& doc, int width, int height) {
        RecomputeScaleFactors(doc, width, height);
    }
    GraphMapping Mapping() const;
};

// Scale factors of the window and client size, and whether speed, slip and RPM scales are needed.
GraphScaleFactors ComputeScaleFactors(const CBriodashDoc& doc, const CSavedViewState& state,
                                      int width, int height);
// Horizontal tick steps (minor, major) for a span.
void XTickSteps(bool timeAxis, int32_t span, int32_t& minor, int32_t& major);
// RPM tick steps (minor, major) for an RPM span.
void RpmTickSteps(int32_t span, int32_t& minor, int32_t& major);
// Speed tick steps for w = RPM span / MPH factor, in RPM-axis units.
void MphTickSteps(int32_t w, int32_t mphFactor, int32_t& minor, int32_t& major);

// Label formats of the axes.
std::string FormatAxisTime(int32_t v);
std::string FormatAxisDistance(int32_t v, Units units);
std::string FormatAxisRpm(int32_t v);
std::string FormatAxisSlip(int32_t v);
std::string FormatAxisSpeed(int32_t v);
// Analog label of a value on a scale with type code, multiplier and the channel's range.
std::string FormatAxisAnalog(int32_t code, double value, double multiplier, double minimum,
                             double maximum);

// Builds the display list of the strip chart. Keeps its buffers between drawings so that a
// drawing allocates nothing once the buffers have grown.
class CGraphLayout {
  public:
    CGraphLayout();
    ~CGraphLayout();
    CGraphLayout(const CGraphLayout&) = delete;
    CGraphLayout& operator=(const CGraphLayout&) = delete;

    // Everything the strip chart draws for the client size (device-independent pixels). The
    // scene stays valid until the next Build.
    const CGraphScene& Build(const CBriodashDoc& doc, const CGraphViewState& state,
                             const GraphOptions& options, int width, int height,
                             double devicePixelRatio = 1.0);
    const CGraphScene& Scene() const { return m_scene; }
    CGraphScene& Scene() { return m_scene; }
    // The mappings of the last drawing (for the marker code and mouse handling).
    const GraphMapping& Mapping() const { return m_mapping; }
    // Forgets the cached trace values (after the document's data or setups changed).
    void InvalidateCache();

    struct Impl;

  private:
    CGraphScene m_scene;
    GraphMapping m_mapping;
    std::unique_ptr<Impl> m_impl;
};

// Whether the document has anything to draw: a shown dataset with a shown RPM, slip, analog,
// digital or lap-beacon channel with data.
bool HasAnythingToDraw(const CBriodashDoc& doc);

// Lists, per shown dataset, the RPM channels shown as speed whose car setup lacks what speed
// needs, in one information box per dataset. Returns the number of boxes shown.
int CheckSpeedData(const CBriodashDoc& doc, IHostServices& host);

}  // namespace orvex
