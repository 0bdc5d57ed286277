// What the track map window shows: the map fitted into the window, zoom and scrolling, the
// track, segments, start/finish line, marker squares and race circles as a scene in pixels,
// the nearest map point for a double click and the window title.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graph/Color.h"
#include "graph/GraphScene.h"

namespace orvex {

class CTrackMap;

// Segment drawing flags ("TrackMap-DrawSegments").
enum TrackDrawFlags : int32_t {
    kDrawAccelSegments = 1,
    kDrawCornerSegments = 2,
    kDrawCornerNumbers = 4,
};

// Marker following ("TrackMap-TrackMarkers").
enum TrackFollow : int32_t { kFollowNone = 0, kFollowGreen = 1, kFollowRed = 2 };

struct TrackColors {
    ColorRef background = MakeRGB(255, 255, 255);
    ColorRef track = MakeRGB(0, 0, 0);
    ColorRef startFinish = MakeRGB(255, 0, 0);
    ColorRef accel = MakeRGB(0, 160, 0);
    ColorRef decel = MakeRGB(200, 0, 0);
    ColorRef left = MakeRGB(0, 0, 255);
    ColorRef right = MakeRGB(255, 128, 0);
};

inline constexpr ColorRef kTrackGreenMarker = MakeRGB(0, 200, 0);
inline constexpr ColorRef kTrackRedMarker = MakeRGB(200, 0, 0);
inline constexpr int kTrackMargin = 25;

// A race marker on the map: its distance along the lap (feet) and its lap's colour.
struct TrackRaceCircle {
    double distance = 0.0;
    ColorRef color = 0;
};

struct TrackScroll {
    bool shown = false;
    double min = 0.0, max = 0.0, page = 0.0, pos = 0.0;  // map feet
};

// Lightness of a ramped segment colour on the 0..1 scale for G against the extreme G.
double RampLightness(double g, double extreme);
// `color` with its lightness (hue, lightness, saturation) replaced by `lightness`.
ColorRef WithLightness(ColorRef color, double lightness);
// "Demo - Map (Lap #3)": the name up to its first "." and the lap number.
std::string TrackMapTitle(const std::string& documentName, int32_t lap);

class CTrackViewModel {
  public:
    // The map is not owned; nullptr or an empty map draws the background only.
    void SetMap(const CTrackMap* map);
    const CTrackMap* Map() const { return m_map; }
    bool Valid() const;

    void SetClientSize(int width, int height) {
        m_width = width;
        m_height = height;
    }
    // Height of the text "0" in pixels; the track is half of it wide.
    void SetTextHeight(int height) { m_textHeight = height; }

    // "Track View", "Zoom In", "Zoom Out".
    void WholeMap();
    void ZoomIn();
    void ZoomOut();
    // A zoom factor of the rubber band; 1.0 at least.
    void SetZoom(float zoom) { m_zoom = zoom > 1.0f ? zoom : 1.0f; }
    bool CanZoomOut() const { return m_zoom > 1.0f; }
    float Zoom() const { return m_zoom; }
    double CentreX() const { return m_centreX; }
    double CentreY() const { return m_centreY; }
    void SetCentre(double x, double y);
    TrackScroll HorizontalScroll() const;
    TrackScroll VerticalScroll() const;

    // Map feet to window pixels and back.
    double Scale() const;
    GPoint ToPixels(double x, double y) const;
    void ToMap(double px, double py, double& x, double& y) const;

    // Index of the map point at `distance` feet along the lap, interpolated with the point
    // before it: the point (x, y). Before the lap start the first point, after it the last.
    void PointAtDistance(double distance, double& x, double& y) const;
    // The map point nearest to a click at pixel (px, py); nothing without a map.
    std::optional<std::size_t> NearestPoint(double px, double py) const;
    // Whether the pixel lies in the client area.
    bool Visible(const GPoint& p) const;
    // Auto-track: centres on the marker at `distance` when it lies outside the window.
    // Returns whether the view moved.
    bool FollowMarker(double distance);

    int32_t m_nDrawFlags = 0;
    bool m_bRamp = false;
    TrackColors m_colors;
    std::optional<double> m_greenDistance, m_redDistance;  // feet along the lap
    std::vector<TrackRaceCircle> m_raceCircles;

    // The whole drawing for the current size; markers and race circles on the overlay,
    // combined with the pixels below so that they show over the track and any segment.
    void BuildScene(CGraphScene& scene) const;
    // The overlay alone (marker squares and race circles).
    void BuildOverlay(CGraphScene& scene) const;

  private:
    void DrawTrack(CGraphScene& scene, float width) const;
    void DrawSegments(CGraphScene& scene, bool corners, float offset, float width) const;
    void DrawStartFinish(CGraphScene& scene, float width) const;
    void DrawSquare(CGraphScene& scene, double distance, ColorRef color) const;
    void DrawCircle(CGraphScene& scene, double distance, ColorRef color) const;
    void AddMarkers(CGraphScene& scene) const;
    LineBlend MarkerBlend() const;
    float PenWidth() const;

    const CTrackMap* m_map = nullptr;
    int m_width = 0, m_height = 0;
    int m_textHeight = 16;
    float m_zoom = 1.0f;
    double m_centreX = 0.0, m_centreY = 0.0;
};

}  // namespace orvex
