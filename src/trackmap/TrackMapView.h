// The track map view of a document (`CTrackView`): the map of one chosen lap with its colours
// and segment options, the "Change &Map" commands, the green and red marker squares and race
// circles following the document's hints, double clicks that set markers at the nearest map
// point, zoom, scrolling and rubber-band zoom. The Qt window paints its scene.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graph/ViewBase.h"
#include "trackmap/TrackMap.h"
#include "trackmap/TrackSamples.h"
#include "trackmap/TrackView.h"

namespace orvex {

class CRaceMarkers;
class IHostServices;

// The document's track map settings: colours, segment flags, ramping, marker following and
// how maps are made.
struct TrackViewSettings {
    TrackColors colors;
    int32_t drawSegments = 0;  // "TrackMap-DrawSegments"
    bool ramp = false;         // "TrackMap-RampAccel"
    int32_t follow = kFollowNone;
    bool followRace = true;  // "TrackMap-TrackRace"
    bool onTop = false;      // "Track-Map"/"View On Top"
    TrackMapOptions map;
};

enum class TrackCommand {
    SelectLap,
    WholeMap,
    ZoomIn,
    ZoomOut,
    ColorBackground,
    ColorTrack,
    ColorStartFinish,
    ColorLeft,
    ColorRight,
    ColorAccel,
    ColorDecel,
    DrawAccel,
    DrawCorners,
    DrawBoth,
    CornerNumbers,
    RampAccel,
    AccelSettings,
    CornerSettings,
    FollowGreen,
    FollowRed,
    FollowRace,
    StayOnTop,
};

struct TrackCommandInfo {
    TrackCommand id;
    const char* text;
    const char* statusText;
    const char* shortcut;    // portable key text, or ""
    const char* colorTitle;  // the colour dialog's title of a colour command, or ""
    const char* submenu;     // "Colors" for the colour commands, or ""
    bool separatorBefore;
};

// The "Change &Map" menu in order.
const std::vector<TrackCommandInfo>& TrackCommandTable();
const TrackCommandInfo& FindTrackCommand(TrackCommand id);

class CTrackView : public CViewBase {
  public:
    CTrackView(CBriodashDoc& doc, IHostServices& host, IViewCanvas& canvas);
    ~CTrackView() override;

    TrackViewSettings m_settings;
    // The document's race markers (null without race mode).
    CRaceMarkers* m_pRace = nullptr;

    // Builds the map of `lap` (from "Track Map Lap Selection"); false with the program's
    // message, the view then empty.
    bool SelectLap(const TrackLap& lap);
    // The lap of the shown sessions by its code (session group number, lap number).
    bool SelectLapCode(int32_t code);
    int32_t LapCode() const { return m_bHasLap ? m_lap.code : 0; }
    int32_t LapNumber() const { return m_bHasLap ? m_lap.lap : 0; }
    const TrackLap* Lap() const { return m_bHasLap ? &m_lap : nullptr; }
    // "Demo - Map (Lap #3)".
    std::string Title() const;

    const CTrackMap& Map() const { return m_map; }
    CTrackMap& Map() { return m_map; }
    CTrackViewModel& Model() { return m_model; }
    const CTrackViewModel& Model() const { return m_model; }

    // A "Change &Map" command that needs no dialog; false for the dialog commands or when it
    // is disabled.
    bool Execute(TrackCommand id);
    bool IsEnabled(TrackCommand id) const;
    bool IsChecked(TrackCommand id) const;
    // The colour a colour command sets (null for the other commands).
    ColorRef* ColorOf(TrackCommand id);
    // The segment settings dialog's outcome: the thresholds stored, the segments found again.
    void SetThresholds(bool corners, float positive, float negative);

    // The marker squares and race circles from the document's markers and race record; with
    // marker following the view moves to a marker that left the window. Returns whether the
    // view moved.
    bool PlaceMarkers();

    // Height of the text "0" in pixels on the device drawn on.
    void SetTextHeight(int height) { m_model.SetTextHeight(height); }

    void OnUpdate(const ViewUpdate& update) override;
    const CGraphScene& BuildScene(int width, int height, double devicePixelRatio,
                                  bool onPaper) override;
    // The marker squares, race circles and rubber band alone, over the kept map.
    const CGraphScene& BuildOverlay(int width, int height, double devicePixelRatio) override;
    bool BuildsOverlayApart() const override { return true; }
    // Left button drags the rubber band; releasing it zooms onto the band.
    void MouseDown(const ViewMouse& m) override;
    void MouseMove(const ViewMouse& m) override;
    void MouseUp(const ViewMouse& m) override;
    // Left / right: the green / red marker at the nearest map point; Ctrl + left: the race
    // marker there.
    void DoubleClick(const ViewMouse& m) override;

    bool RubberBandActive() const { return m_bBand; }
    GRectI RubberBand() const { return {m_band[0], m_band[1], m_band[2], m_band[3]}; }

  private:
    void ApplySettings();
    void AddRubberBand(CGraphScene& scene) const;
    int32_t LapStartDistance() const;

    IHostServices& m_host;
    CTrackMap m_map;
    CTrackViewModel m_model;
    CGraphScene m_scene;
    CGraphScene m_overlay;
    TrackLap m_lap;
    bool m_bHasLap = false;
    bool m_bBand = false;
    int m_band[4] = {};
};

}  // namespace orvex
