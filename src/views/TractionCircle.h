// The traction circle's numbers: left-right against front-rear acceleration of the selected
// sessions or laps, their ranges, the isotropic layout with its ticks, and the marker values.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "graph/Color.h"
#include "host/HostServices.h"
#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex {

inline constexpr const char* kLeftRightName = "LEFT-RIGHT";
inline constexpr const char* kFrontRearName = "FRONT-REAR";
inline constexpr const char* kMoreSessions = "More Sessions...";

// Smoothing words of the view's "None", "Light", "Medium" and "Heavy".
inline constexpr int kSmoothingWords[4] = {1, 4, 8, 16};
inline constexpr const char* kSmoothingNames[4] = {"None", "Light", "Medium", "Heavy"};

struct FrictionSettings {
    bool drawCurve = true;
    bool xGrid = false;
    bool yGrid = false;
    bool values = true;
    ColorRef background = MakeRGB(255, 255, 255);
    ColorRef axes = MakeRGB(0, 0, 0);
    int lrSmoothing = 1;  // smoothing word
    int frSmoothing = 1;
};

// One selected session or lap with the accelerometer values it plots.
struct FrictionEntry {
    CDatasetList list;
    ColorRef colour = 0;
    const CAnalogSetup* lr = nullptr;
    const CAnalogSetup* fr = nullptr;
    Pos lrFirst = kNoPos, lrLast = kNoPos, frFirst = kNoPos, frLast = kNoPos;
    std::vector<int32_t> times;     // of the left-right samples walked
    std::vector<int32_t> lrValues;  // converted, units of 1 / its resolution factor
    std::vector<int32_t> frValues;  // front-rear value at the same step
    // Both values of each step in plot units (at the selection's common scale), made once
    // whenever the values are read so that drawing at any size starts from them.
    std::vector<double> lrPlot, frPlot;
    bool Plots() const { return lr && fr && !lrValues.empty(); }
};

enum class TickKind { Short, Medium, Long, Line };
struct FrictionTick {
    double value = 0;  // plot units
    TickKind kind = TickKind::Short;
    std::string label;  // "%0.1f" G at half and whole G
};

// Plot units to pixels: x = originX + value × scale, y = originY − value × scale.
struct FrictionLayout {
    double xLo = 0, xHi = 0, yLo = 0, yHi = 0;  // plot units shown
    double scale = 1;
    double originX = 0, originY = 0;
    double left = 0, top = 0, right = 0, bottom = 0;  // the plot in pixels
    double X(double v) const { return originX + v * scale; }
    double Y(double v) const { return originY - v * scale; }
};

struct FrictionMarker {
    int32_t time = kNotSet;  // time last drawn
    bool drawn = false;
    bool messageShown = false;
    int entry = -1;
    std::size_t step = 0;     // index into the entry's values
    double lrG = 0, frG = 0;  // values in G
};

class CFrictionCircle {
  public:
    CFrictionCircle(FrictionSettings settings, Units units, float voltageCorrection = 0.0f);

    FrictionSettings& Settings() { return m_settings; }
    const FrictionSettings& Settings() const { return m_settings; }

    // The selection (default colours from each session's left-right trace); recomputes.
    void SetSelection(const std::vector<CDatasetList>& entries);
    const std::vector<FrictionEntry>& Entries() const { return m_entries; }
    void SetColour(int entry, ColorRef colour);
    // Items of "Select Session Colors": the first nine sessions' names, then
    // "More Sessions..." when more are selected.
    std::vector<std::string> ColourItems() const;
    // Walks the selection again (after a data or smoothing change).
    void Recompute();

    // Ranges over the selection in plot units (inverted when nothing plots).
    int32_t LrMin() const { return m_lrMin; }
    int32_t LrMax() const { return m_lrMax; }
    int32_t FrMin() const { return m_frMin; }
    int32_t FrMax() const { return m_frMax; }
    // Largest resolution factors of each channel over the selection.
    int32_t LrUnitsPerG() const { return m_lrUnits; }
    int32_t FrUnitsPerG() const { return m_frUnits; }
    // Plot units per G on both axes: every session is scaled to the finest factor.
    int32_t PlotUnitsPerG() const { return std::max(m_lrUnits, m_frUnits); }
    std::size_t PointCount() const;
    // Plot units of step i of an entry.
    double PlotLr(const FrictionEntry& e, std::size_t i) const { return e.lrPlot[i]; }
    double PlotFr(const FrictionEntry& e, std::size_t i) const { return e.frPlot[i]; }

    FrictionLayout Layout(int width, int height) const;
    // Ticks of the x axis (left-right) or the y axis (front-rear) inside the layout.
    std::vector<FrictionTick> Ticks(const FrictionLayout& layout, bool xAxis) const;

    // Moves a marker; false when its time is unchanged (nothing to redraw). A time that no
    // entry encloses shows the missing-position message once until a position is found.
    bool MoveMarker(bool green, int32_t time, IHostServices& host);
    const FrictionMarker& Marker(bool green) const { return green ? m_green : m_red; }
    // " F-R: 0.30  L-R: 0.40  Max G: 0.50 " for a drawn marker, else empty.
    std::string ValueText(bool green) const;

  private:
    void Walk(FrictionEntry& e);

    FrictionSettings m_settings;
    Units m_units;
    float m_fVoltage;
    std::vector<FrictionEntry> m_entries;
    int32_t m_lrMin = 0, m_lrMax = 0, m_frMin = 0, m_frMax = 0;
    int32_t m_lrUnits = 1, m_frUnits = 1;
    FrictionMarker m_green, m_red;
};

}  // namespace orvex
