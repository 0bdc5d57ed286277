// The application's settings, grouped as the settings file groups them. Each struct has one
// table in SettingsTable.cpp that gives every member its key, default and range; the members
// get their defaults from that table when the application object is made.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graph/Color.h"
#include "model/Units.h"

namespace orvex {

// The window colours the user chose under View > Theme.
enum class AppTheme { System, Light, Dark };
// The settings text of a theme ("System", "Light", "Dark") and back; unknown text is System.
const char* ThemeName(AppTheme theme);
AppTheme ThemeFromName(std::string_view name);

// The thirteen colours of the graph, the track map and the traction circle.
enum class AppColor {
    GraphBackground,
    GraphRpmLabel,
    GraphMphLabel,
    GraphTimeLabel,
    TrackmapBackground,
    TrackmapTrack,
    TrackmapStartFinish,
    TrackmapAccelSeg,
    TrackmapDecelSeg,
    TrackmapLeftSeg,
    TrackmapRightSeg,
    FrictionCircleBackground,
    FrictionCircleAxes,
};
inline constexpr int kAppColors = 13;

// [Settings]: the format version, logger and port numbers, the graph's options, printing,
// tips, theme and the track map's calculation.
struct GeneralSettings {
    // The format version written at exit: "V3.03E".
    static constexpr int kMajor = 3, kMinor = 3;
    static constexpr char kLetter = 'E';
    std::string version;  // as read; the file always gets the version of this program
    int32_t recordSegments{};
    int32_t comPort{};
    bool autoSave{};
    bool mphScale{};
    bool likeAnalogs{};
    int32_t xAxisMode{};
    int32_t xDistMode{};
    bool analogScales{};
    int32_t printerSetupFlags{};
    bool showToolTips{};
    AppTheme theme{};
    bool openTrackMap{};
    bool calcBanking{};
    int32_t groundSpeedMap{};
};

// [Settings] "TrackMap-*": the track map's segments and the markers it follows.
struct TrackMapSettings {
    int32_t drawSegments{};
    float lateralPos{};
    float lateralNeg{};
    float longitudePos{};
    float longitudeNeg{};
    int32_t trackMarkers{};
    bool trackRace{};
    bool rampAccel{};
};

// [Settings] "FC-*": the traction circle.
struct TractionCircleSettings {
    bool drawCurve{};
    bool xGrid{};
    bool yGrid{};
    bool values{};
};

// [Settings] "LapReport-*": the lap segment report.
struct LapReportSettings {
    bool displaySpeeds{};
    bool calculateBest{};
    bool colorSegs{};
    bool highliteBest{};
    bool viewAll{};
    bool useSelected{};
};

// [Customer-Specific]: the live data sheet.
struct LiveDataSettings {
    bool stackedTabs{};
};

// [ComPort] "Shared" and the typed device path kept beside the port number.
struct ComPortSettings {
    bool shared{};
    std::string device;
};

// [Settings] "Units".
struct UnitSettings {
    Units units{};
};

// [Spike Filter]: levels 0..2 of RPM channels 1..5 and analog channels 1..20.
struct SpikeFilterSettings {
    static constexpr int kRpmChannels = 5;
    static constexpr int kAnalogChannels = 20;
    std::array<int, kRpmChannels> rpm{};
    std::array<int, kAnalogChannels> analog{};
};

// [ColorSettings], indexed by AppColor.
struct ColorSettings {
    std::array<ColorRef, kAppColors> colors{};
};

// [Track-Map]: the track map window.
struct TrackMapWindowSettings {
    bool onTop{};
};

// [Marker-View]: where the marker view sits and its size.
struct MarkerViewSettings {
    bool bottom{};
    int32_t height{};
    int32_t width{};
};

// [Server-Settings]: the data server's stored settings.
struct ServerSettings {
    std::string suspensionApp;
    bool autoMode{};
    int32_t timer{};
};

// [Recent File List]: newest first.
struct RecentFileSettings {
    static constexpr int kFiles = 8;
    std::vector<std::string> files;
};

}  // namespace orvex
