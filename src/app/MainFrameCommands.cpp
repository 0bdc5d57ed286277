// The main frame's command table and the default-settings toggles it carries out.
#include "app/MainFrameCommands.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace orvex {
namespace {

using K = CommandKind;
using C = MainCommand;

constexpr const char* kFile = "&File";
constexpr const char* kSettings = "&Settings";
constexpr const char* kUnits = "&Settings/Units";
constexpr const char* kDefaults = "Defaults";
constexpr const char* kMarkerView = "Defaults/Marker View";
constexpr const char* kGraph = "Defaults/Graph";
constexpr const char* kXAxis = "Defaults/Graph/X Axis";
constexpr const char* kDistance = "Defaults/Graph/Distance Traveled From";
constexpr const char* kGraphColors = "Defaults/Graph Colors";
constexpr const char* kTrackMap = "Defaults/Track Map View";
constexpr const char* kMapColors = "Defaults/Track Map View/Map Colors";
constexpr const char* kSegColors = "Defaults/Track Map View/Segment Colors";
constexpr const char* kCircle = "Defaults/Traction Circle Graph";
constexpr const char* kLapReport = "Defaults/Lap Segment Report";
constexpr const char* kView = "&View";
constexpr const char* kTheme = "&View/T&heme";
constexpr const char* kWindow = "&Window";
constexpr const char* kHelp = "&Help";

const std::vector<MainFrameCommand> kCommands = {
    {C::Retrieve, kFile, "Retrieve from Data-Logger", "Ctrl+N",
     "Retrieve new data from ORVEX Data Logger", K::Action, false},
    {C::Open, kFile, "&Open...", "Ctrl+O", "Open an existing data file", K::Action, false},
    {C::Close, kFile, "&Close", "", "Close the active data file", K::Action, false},
    {C::Save, kFile, "&Save", "Ctrl+S", "Save the active data file", K::Action, true},
    {C::SaveAs, kFile, "Save &As...", "", "Save the active data file with a new name", K::Action,
     false},
    {C::AddOverlay, kFile, "Add File for Overlaying", "",
     "Add the sessions of another data file to the active data window", K::Action, false},
    {C::DemoSession, kFile, "Open &Demo Session", "",
     "Open a generated session of a simulated car lapping a circuit", K::Action, true},
    {C::Print, kFile, "&Print...", "Ctrl+P", "Print the active graph", K::Action, true},
    {C::PrintPreview, kFile, "Print Pre&view", "", "Show the printed graph on screen", K::Action,
     false},
    {C::PrintSetup, kFile, "Print Setup...", "", "Change the printer and printing options",
     K::Action, false},
    {C::ExportChart, kFile, "&Export Graph...", "", "Save the active graph as a PDF or PNG picture",
     K::Action, false},
    {C::Exit, kFile, "E&xit", "", "Quit the program; prompts to save data files", K::Action, true},

    {C::ComPort, kSettings, "COM &Port", "", "Choose the serial port of the data logger", K::Action,
     false},
    {C::UnitsImperial, kUnits, "&Imperial", "", "Show values in imperial units", K::Radio, false},
    {C::UnitsMetric, kUnits, "&Metric", "", "Show values in metric units", K::Radio, false},
    {C::AutoSave, kSettings, "Auto Save on Upload", "",
     "Save the data file automatically after an upload", K::Toggle, false},
    {C::MenuTips, kSettings, "Display Menu Help Tips", "",
     "Show the help text of a menu item as a tip", K::Toggle, false},
    {C::SetupLoggerChannels, kSettings, "Setup Data Logger's Channels", "",
     "Edit the channel configurations of the data logger", K::Action, true},
    {C::UpdateFirmware, kSettings, "Update Firmware on Data Logger", "",
     "Load new firmware into the data logger", K::Action, false},
    {C::LiveData, kSettings, "Live Data", "", "View Live Data from Data Logger", K::Action, false},

    {C::SetupAnalog, kDefaults, "Setup Analog Channels", "",
     "Default setups of the analog channels", K::Action, false},
    {C::SetupDigital, kDefaults, "Setup Digital Channels", "",
     "Default setups of the digital channels", K::Action, false},
    {C::SetupRpm, kDefaults, "Setup RPM/MPH Channels", "",
     "Default setups of the RPM and speed channels", K::Action, false},
    {C::SetupTransmission, kDefaults, "Setup Transmission/Rear End", "",
     "Default gear ratios and rear end", K::Action, false},
    {C::SpikeFilter, kDefaults, "Spike Filter Settings", "",
     "Default spike filter of the RPM and analog channels", K::Action, false},
    {C::MarkerRight, kMarkerView, "to the Right of the Graph", "",
     "Place the marker list to the right of the graph", K::Radio, false},
    {C::MarkerBelow, kMarkerView, "Below the Graph", "", "Place the marker list below the graph",
     K::Radio, false},
    {C::MphLowerHalf, kGraph, "Display MPH in lower half", "",
     "Scale speeds so that the highest speed reaches the middle of the graph", K::Toggle, false},
    {C::CombineAnalogScales, kGraph, "Combine Scale for Same Type of Analog Channels", "",
     "One scale for analog channels of the same type", K::Toggle, false},
    {C::AnalogScales, kGraph, "Turn On/Off Analog Scales", "", "Draw the analog scales", K::Toggle,
     false},
    {C::DisplayTime, kXAxis, "Display as Time", "", "Set X Axis Display Units to be time.",
     K::Radio, false},
    {C::DisplayDistance, kXAxis, "Display as Distance", "",
     "Set X Axis Display Units to be distance traveled.", K::Radio, false},
    {C::DistFrontWheel, kDistance, "Front Wheel", "",
     "Use Front Wheel Input for Distance Traveled.", K::Radio, false},
    {C::DistRearWheel, kDistance, "Axle/Rear Wheel", "",
     "Use Rear Wheel Input for Distance Traveled.", K::Radio, false},
    {C::DistAccelerometer, kDistance, "Accelerometer", "",
     "Use Front-Rear Accelerometer Input for Distance Traveled.", K::Radio, false},
    {C::DistEngine, kDistance, "Engine RPM", "", "Use Engine RPM Input for Distance Traveled.",
     K::Radio, false},
    {C::GraphBackground, kGraphColors, "Background", "", "Set Graph Background Color", K::Action,
     false},
    {C::GraphRpmLabel, kGraphColors, "RPM Scales", "", "Set Graph RPM Label Color", K::Action,
     false},
    {C::GraphMphLabel, kGraphColors, "MPH Scales", "", "Set Graph MPH Label Color", K::Action,
     false},
    {C::GraphTimeLabel, kGraphColors, "Time/Distance Scales", "",
     "Set Graph Time/Distance Label Color", K::Action, false},
    {C::TrackCalcSettings, kTrackMap, "Calculation Settings", "",
     "Default settings of the track map calculation", K::Action, false},
    {C::MapBackground, kMapColors, "Background", "", "Set Track Map Background Color", K::Action,
     false},
    {C::MapTrack, kMapColors, "Track Color", "", "Set Track Map Color", K::Action, false},
    {C::MapStartFinish, kMapColors, "Start/Finish", "", "Set Track Map Start/Finish Line Color",
     K::Action, false},
    {C::SegLeft, kSegColors, "Left Turn Segment", "", "Set Track Map Left Turn Segment Color",
     K::Action, false},
    {C::SegRight, kSegColors, "Right Turn Segment", "", "Set Track Map Right Turn Segment Color",
     K::Action, false},
    {C::SegAccel, kSegColors, "Acceleration Segment", "",
     "Set Track Map Acceleration Segment Color", K::Action, false},
    {C::SegDecel, kSegColors, "Deceleration Segment", "",
     "Set Track Map Deceleration Segment Color", K::Action, false},
    {C::DrawAccelSegments, kTrackMap, "Draw Acceleration Segments", "",
     "Draw the acceleration segments on the track map", K::Toggle, true},
    {C::DrawCornerSegments, kTrackMap, "Draw Corner Segments", "",
     "Draw the corner segments on the track map", K::Toggle, false},
    {C::DrawBothSegments, kTrackMap, "Draw Corner && Accel Segments", "",
     "Draw the corner and acceleration segments on the track map", K::Toggle, false},
    {C::ShowCornerNumbers, kTrackMap, "Show Corner Segment Numbers", "",
     "Number the corner segments on the track map", K::Toggle, false},
    {C::RampAccel, kTrackMap, "Ramp Acceleration Colors", "",
     "Ramp the colours of the acceleration segments", K::Toggle, false},
    {C::TrackGreen, kTrackMap, "Auto Track Green Marker", "",
     "The track map follows the green marker", K::Radio, true},
    {C::TrackRed, kTrackMap, "Auto Track Red Marker", "", "The track map follows the red marker",
     K::Radio, false},
    {C::TrackRace, kTrackMap, "Auto Track Race Markers", "",
     "The track map follows the race markers", K::Toggle, false},
    {C::AccelThresholds, kTrackMap, "Set/Adjust settings for determining Acceleration Segments", "",
     "Default Track Map Front-Rear Settings", K::Action, true},
    {C::CornerThresholds, kTrackMap, "Set/Adjust settings for determining Corning Segments", "",
     "Default Track Map Left-Right Settings", K::Action, false},
    {C::FcBackground, kCircle, "Background Color", "", "Set Traction Circle Background Color",
     K::Action, false},
    {C::FcAxes, kCircle, "X and Y Axes Color", "", "Set Traction Circle Axes Color", K::Action,
     false},
    {C::FcXGrid, kCircle, "Display X Axis Grid", "", "Draw the x axis grid", K::Toggle, true},
    {C::FcYGrid, kCircle, "Display Y Axis Grid", "", "Draw the y axis grid", K::Toggle, false},
    {C::FcDrawCurve, kCircle, "Display Data Points", "",
     "Draw the data points or the curve through them", K::Action, false},
    {C::FcValues, kCircle, "Display L-R, F-R and Max G", "",
     "Show the left-right, front-rear and maximum G values", K::Toggle, false},
    {C::LapUseSelected, kLapReport, "Use Selected Laps Only", "",
     "Use only the selected laps in the lap segment report", K::Toggle, false},
    {C::LapDisplaySpeeds, kLapReport, "Display Segment Speeds", "",
     "Show the segment speeds in the lap segment report", K::Toggle, false},
    {C::LapHighliteBest, kLapReport, "Highlite Fastest Segments", "",
     "Highlight the fastest segments", K::Toggle, false},
    {C::LapCalculateBest, kLapReport, "Calculate Fastest Lap", "",
     "Compute the fastest lap from the best segments", K::Toggle, false},
    {C::LapColorSegs, kLapReport, "Color Key Segments to Map", "",
     "Colour the segments as on the track map", K::Toggle, false},
    {C::LapViewAll, "", "Toggle between Viewing All of the Laps or Selected Laps Only.", "",
     "Toggle between Viewing All of the Laps or Selected Laps Only.", K::Toggle, false},

    {C::ToolBar, kView, "&Toolbar", "", "Show or hide the toolbar", K::Toggle, false},
    {C::StatusBar, kView, "&Status Bar", "", "Show or hide the status bar", K::Toggle, false},
    {C::ThemeSystem, kTheme, "&System Colors", "", "Use the desktop's window colours", K::Radio,
     false},
    {C::ThemeLight, kTheme, "&Light", "", "Use light window colours", K::Radio, false},
    {C::ThemeDark, kTheme, "&Dark", "", "Use dark window colours", K::Radio, false},

    {C::Cascade, kWindow, "&Cascade", "", "Arrange windows so they overlap", K::Action, false},
    {C::Tile, kWindow, "&Tile", "", "Arrange windows as non-overlapping tiles", K::Action, false},

    {C::HelpIndex, kHelp, "Help &Index", "", "List the topics of the user guide", K::Action, false},
    {C::HelpTopic, kHelp, "&Help on This Window", "F1",
     "Show the guide's topic of the active window", K::Action, false},
    {C::ContextHelp, kHelp, "&What's This?", "Shift+F1",
     "Click a window or dialog to show its topic in the guide", K::Action, false},
    {C::About, kHelp, "&About ORVEX...", "", "Display program information and version", K::Action,
     true},
};

}  // namespace

const std::vector<MainFrameCommand>& MainFrameCommands() {
    return kCommands;
}

const MainFrameCommand& FindMainCommand(MainCommand id) {
    for (const auto& c : kCommands)
        if (c.id == id) return c;
    throw std::out_of_range("unknown main frame command");
}

std::string MainCommandText(MainCommand id, const CDataAcqApp& app) {
    if (id == C::FcDrawCurve) return app.GetFcDrawCurve() ? "Display Data Points" : "Display Curve";
    return FindMainCommand(id).text;
}

bool IsMainCommandChecked(MainCommand id, const CDataAcqApp& app) {
    if (FindMainCommand(id).kind == K::Action) return false;
    // The commands of the settings tables' toggles and choices.
    if (std::optional<bool> checked = app.IsSettingCommandChecked(id)) return *checked;
    const int segments = app.GetTrackMapDrawSegments();
    switch (id) {
        case C::UnitsImperial:
            return app.GetUnits() == Units::Imperial;
        case C::UnitsMetric:
            return app.GetUnits() == Units::Metric;
        case C::ThemeSystem:
            return app.GetTheme() == AppTheme::System;
        case C::ThemeLight:
            return app.GetTheme() == AppTheme::Light;
        case C::ThemeDark:
            return app.GetTheme() == AppTheme::Dark;
        case C::DrawAccelSegments:
            return (segments & 3) == 1;
        case C::DrawCornerSegments:
            return (segments & 3) == 2;
        case C::DrawBothSegments:
            return (segments & 3) == 3;
        case C::ShowCornerNumbers:
            return (segments & 4) != 0;
        default:
            return false;
    }
}

bool ApplyMainToggle(MainCommand id, CDataAcqApp& app) {
    if (app.ApplySettingCommand(id)) return true;
    // The three segment modes share the low two bits: choosing the mode already set clears it.
    auto segmentMode = [&app](int mode) {
        const int v = app.GetTrackMapDrawSegments();
        app.SetTrackMapDrawSegments((v & ~3) | ((v & 3) == mode ? 0 : mode));
    };
    switch (id) {
        case C::UnitsImperial:
            app.SetUnits(Units::Imperial);
            return true;
        case C::UnitsMetric:
            app.SetUnits(Units::Metric);
            return true;
        case C::ThemeSystem:
            app.SetTheme(AppTheme::System);
            return true;
        case C::ThemeLight:
            app.SetTheme(AppTheme::Light);
            return true;
        case C::ThemeDark:
            app.SetTheme(AppTheme::Dark);
            return true;
        case C::DrawAccelSegments:
            segmentMode(1);
            return true;
        case C::DrawCornerSegments:
            segmentMode(2);
            return true;
        case C::DrawBothSegments:
            segmentMode(3);
            return true;
        case C::ShowCornerNumbers:
            app.SetTrackMapDrawSegments(app.GetTrackMapDrawSegments() ^ 4);
            return true;
        default:
            return false;
    }
}

std::optional<ColorCommand> ColorCommandOf(MainCommand id) {
    switch (id) {
        case C::GraphBackground:
            return ColorCommand{AppColor::GraphBackground, "Set Graph Background Color"};
        case C::GraphRpmLabel:
            return ColorCommand{AppColor::GraphRpmLabel, "Set Graph RPM Label Color"};
        case C::GraphMphLabel:
            return ColorCommand{AppColor::GraphMphLabel, "Set Graph MPH Label Color"};
        case C::GraphTimeLabel:
            return ColorCommand{AppColor::GraphTimeLabel, "Set Graph Time/Distance Label Color"};
        case C::MapBackground:
            return ColorCommand{AppColor::TrackmapBackground, "Set Track Map Background Color"};
        case C::MapTrack:
            return ColorCommand{AppColor::TrackmapTrack, "Set Track Map Color"};
        case C::MapStartFinish:
            return ColorCommand{AppColor::TrackmapStartFinish,
                                "Set Track Map Start/Finish Line Color"};
        case C::SegLeft:
            return ColorCommand{AppColor::TrackmapLeftSeg, "Set Track Map Left Turn Segment Color"};
        case C::SegRight:
            return ColorCommand{AppColor::TrackmapRightSeg,
                                "Set Track Map Right Turn Segment Color"};
        case C::SegAccel:
            return ColorCommand{AppColor::TrackmapAccelSeg,
                                "Set Track Map Acceleration Segment Color"};
        case C::SegDecel:
            return ColorCommand{AppColor::TrackmapDecelSeg,
                                "Set Track Map Deceleration Segment Color"};
        case C::FcBackground:
            return ColorCommand{AppColor::FrictionCircleBackground,
                                "Set Traction Circle Background Color"};
        case C::FcAxes:
            return ColorCommand{AppColor::FrictionCircleAxes, "Set Traction Circle Axes Color"};
        default:
            return std::nullopt;
    }
}

bool IsLoggerConversation(MainCommand id) {
    return id == C::Retrieve || id == C::SetupLoggerChannels || id == C::UpdateFirmware ||
           id == C::LiveData;
}

bool NeedsDataWindow(MainCommand id) {
    switch (id) {
        case C::Close:
        case C::Save:
        case C::SaveAs:
        case C::AddOverlay:
        case C::Print:
        case C::PrintPreview:
        case C::ExportChart:
        case C::Cascade:
        case C::Tile:
            return true;
        default:
            return false;
    }
}

std::string PickerTitle(const std::string& documentTitle) {
    return documentTitle.substr(0, documentTitle.find('.'));
}

std::string GraphFrameTitle(const std::string& documentTitle) {
    return documentTitle + " - Graph";
}

SplitSizes GraphSplitSizes(int client, bool listBelow, int saved) {
    client = std::max(client, 0);
    SplitSizes s;
    if (saved < 0) {
        s.chart = static_cast<int>(client * (listBelow ? 0.6 : 0.8));
        s.list = client - s.chart;
        return s;
    }
    // The saved list size wins; the chart gets what is left after the splitter's borders.
    s.list = std::min(saved, client);
    s.chart = std::max(client - s.list - (listBelow ? 38 : 18), 0);
    return s;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string flag = a;
        while (!flag.empty() && (flag[0] == '-' || flag[0] == '/')) flag.erase(0, 1);
        if (flag != a && lower(flag) == "livedemo") {
            cl.liveDemo = true;
        } else if (a == "--demo") {
            cl.demo = true;
        } else if (a == "--retrieve") {
            cl.retrieve = true;
        } else if (a == "--trackmap") {
            char* end = nullptr;
            const long lap = i + 1 < args.size() ? std::strtol(args[i + 1].c_str(), &end, 10) : 0;
            if (i + 1 >= args.size() || *end || lap < 1 || lap > 1000000) {
                cl.error = "--trackmap takes a lap number";
                return cl;
            }
            cl.trackMapLap = static_cast<int>(lap);
            ++i;
        } else if (a == "--page") {
            if (i + 1 >= args.size()) {
                cl.error = a + " needs a value";
                return cl;
            }
            cl.page = args[++i];
        } else if (a == "--screenshot" || a == "--size" || a == "--view" || a == "--dialog") {
            if (i + 1 >= args.size()) {
                cl.error = a + " needs a value";
                return cl;
            }
            const std::string& v = args[++i];
            if (a == "--screenshot" || a == "--dialog") {
                (a == "--screenshot" ? cl.screenshot : cl.dialog) = v;
                continue;
            }
            if (a == "--view") {
                if (v != "histogram" && v != "traction" && v != "lap-report") {
                    cl.error = "--view takes histogram, traction or lap-report";
                    return cl;
                }
                cl.view = v;
                continue;
            }
            char* end = nullptr;
            long w = std::strtol(v.c_str(), &end, 10);
            long h = (*end == 'x' || *end == 'X') ? std::strtol(end + 1, &end, 10) : 0;
            if (*end || w < 100 || h < 100 || w > 10000 || h > 10000) {
                cl.error = "--size takes WIDTHxHEIGHT, each 100 to 10000";
                return cl;
            }
            cl.width = static_cast<int>(w);
            cl.height = static_cast<int>(h);
        } else if (a.size() > 1 && a.rfind("--", 0) == 0) {
            cl.error = "unknown option " + a;
            return cl;
        } else if (cl.file.empty()) {
            cl.file = a;
        } else {
            cl.error = "only one data file can be given";
            return cl;
        }
    }
    if (!cl.dialog.empty() && cl.screenshot.empty()) cl.error = "--dialog needs --screenshot";
    if (!cl.page.empty() && cl.dialog.empty()) cl.error = "--page needs --dialog";
    return cl;
}

}  // namespace orvex
