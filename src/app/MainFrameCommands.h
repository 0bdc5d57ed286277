// The main frame's commands: menu places, texts, keys, status tips, check marks and what each
// default-settings command changes in the application object. The GUI builds its menus from it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"

namespace orvex {

enum class MainCommand {
    // File
    Retrieve,
    Open,
    Close,
    Save,
    SaveAs,
    AddOverlay,
    DemoSession,
    Print,
    PrintPreview,
    PrintSetup,
    ExportChart,
    Exit,
    // Settings
    ComPort,
    UnitsImperial,
    UnitsMetric,
    AutoSave,
    MenuTips,
    SetupLoggerChannels,
    UpdateFirmware,
    LiveData,
    // Defaults
    SetupAnalog,
    SetupDigital,
    SetupRpm,
    SetupTransmission,
    SpikeFilter,
    MarkerRight,
    MarkerBelow,
    MphLowerHalf,
    CombineAnalogScales,
    AnalogScales,
    DisplayTime,
    DisplayDistance,
    DistFrontWheel,
    DistRearWheel,
    DistAccelerometer,
    DistEngine,
    GraphBackground,
    GraphRpmLabel,
    GraphMphLabel,
    GraphTimeLabel,
    TrackCalcSettings,
    MapBackground,
    MapTrack,
    MapStartFinish,
    SegLeft,
    SegRight,
    SegAccel,
    SegDecel,
    DrawAccelSegments,
    DrawCornerSegments,
    DrawBothSegments,
    ShowCornerNumbers,
    RampAccel,
    TrackGreen,
    TrackRed,
    TrackRace,
    AccelThresholds,
    CornerThresholds,
    FcBackground,
    FcAxes,
    FcXGrid,
    FcYGrid,
    FcDrawCurve,
    FcValues,
    LapUseSelected,
    LapDisplaySpeeds,
    LapHighliteBest,
    LapCalculateBest,
    LapColorSegs,
    LapViewAll,
    // View
    ToolBar,
    StatusBar,
    ThemeSystem,
    ThemeLight,
    ThemeDark,
    // Window
    Cascade,
    Tile,
    // Help
    HelpIndex,
    HelpTopic,
    ContextHelp,
    About,
};

enum class CommandKind { Action, Toggle, Radio };

struct MainFrameCommand {
    MainCommand id;
    // Menu path of the item, parts separated by '/': "&File", "Defaults/Graph Colors".
    // Empty: the command has no menu item (key or tool bar only).
    const char* menu;
    const char* text;
    const char* shortcut;   // key sequence in portable text ("Ctrl+N"), or ""
    const char* statusTip;  // shown in the status bar and as menu help tip
    CommandKind kind;
    bool separatorBefore;
};

// Every command in menu order.
const std::vector<MainFrameCommand>& MainFrameCommands();
const MainFrameCommand& FindMainCommand(MainCommand id);

// The item's text now (a few items change their text with the setting).
std::string MainCommandText(MainCommand id, const CDataAcqApp& app);
// Whether the item shows a check mark now (toggle and radio commands).
bool IsMainCommandChecked(MainCommand id, const CDataAcqApp& app);
// Carries out a toggle or radio command on the application's defaults. Returns false for
// commands that are not toggles or radio choices (the frame handles those).
bool ApplyMainToggle(MainCommand id, CDataAcqApp& app);

// A colour command: the colour it sets and its dialog title.
struct ColorCommand {
    AppColor color;
    const char* title;
};
std::optional<ColorCommand> ColorCommandOf(MainCommand id);

// Whether the command needs an active data window (save, print, overlay, export ...).
bool NeedsDataWindow(MainCommand id);

// Whether the command talks to the logger over the serial port (only one at a time can).
bool IsLoggerConversation(MainCommand id);

// A document's entry in the document picker: the title up to the first '.'.
std::string PickerTitle(const std::string& documentTitle);
// The graph window's caption: the document title and " - Graph".
std::string GraphFrameTitle(const std::string& documentTitle);

// Sizes of the strip chart and the marker list in the graph window's splitter, along the
// splitter's direction (width with the list on the right, height with it below).
struct SplitSizes {
    int chart = 0;
    int list = 0;
};
// `client` is the window's client width (list right) or height (list below); `saved` the
// stored list width or height, -1 when none.
SplitSizes GraphSplitSizes(int client, bool listBelow, int saved);

// The command-line request of the program.
struct CommandLine {
    std::string file;                // a data file to open, or empty
    bool liveDemo = false;           // "LiveDemo", any case
    bool demo = false;               // --demo: open a generated session
    bool retrieve = false;           // --retrieve: "Retrieve from Data-Logger" at start-up
    std::string screenshot;          // --screenshot FILE.png
    std::string dialog;              // --dialog TITLE: the screenshot shows that dialog open
    std::string page;                // --page NAME: the dialog's tab, page or step shown
    int width = 1280, height = 800;  // --size WxH
    int trackMapLap = 0;             // --trackmap LAP: the track map of that lap beside the graph
    std::string view;                // --view histogram|traction|lap-report
    std::string error;               // set when the arguments cannot be used
};
CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace orvex
