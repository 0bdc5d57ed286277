// The tables of the settings file's groups of members, and the list of every group in the
// order the file is written. Loading, saving, the defaults of a new application object and the
// menu's toggles all work from these tables; the channel sections and the logger
// configurations have theirs in SettingsChannels.cpp and SettingsTachConfig.cpp.
#include "app/SettingsTable.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "app/MainFrameCommands.h"
#include "app/ProfileValues.h"

namespace orvex {

std::string SettingKeyName(const char* pattern, int n) {
    std::string key = pattern;
    if (auto at = key.find("%d"); at != std::string::npos) key.replace(at, 2, std::to_string(n));
    return key;
}

std::string JoinSettingInts(const std::array<int, 4>& list, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(list[static_cast<std::size_t>(i)]);
    }
    return text;
}

bool ScanSettingInts(const std::string& text, int count, std::array<int, 4>& list) {
    return ScanProfileInts(text, ", ", count, list.data()) == count;
}

namespace {

using Kind = SettingKind;
using C = MainCommand;

constexpr const char* kSettings = "Settings";
constexpr const char* kRecentSection = "Recent File List";

// Gives the fields without a section of their own the group's section.
template <class T>
SettingTable<T> InSection(const char* section, SettingTable<T> table) {
    for (SettingField<T>& f : table)
        if (!f.section) f.section = section;
    return table;
}

const SettingTable<GeneralSettings>& GeneralTable() {
    using G = GeneralSettings;
    static const SettingTable<G> table = InSection<G>(
        kSettings,
        {
            // A missing version is that of the last format before the channel sections.
            {.key = "Version",
             .kind = Kind::String,
             .defText = "V2.8D",
             .get =
                 [](const G&, int) {
                     char version[32];
                     std::snprintf(version, sizeof version, "V%1d.%02d%c", G::kMajor, G::kMinor,
                                   G::kLetter);
                     return TextValue(version);
                 },
             .set = [](G& g, const SettingValue& v, int) { g.version = v.text; }},
            Integer<&G::recordSegments>("Record-Segments", 1, 1, 8),
            Integer<&G::comPort>("ComPort", 1, 1, 8),
            Flag<&G::autoSave>("AutoSave", true).Menu({{C::AutoSave}}),
            Flag<&G::mphScale>("MPHScale", false).Menu({{C::MphLowerHalf}}),
            Flag<&G::likeAnalogs>("LikeAnalogs", true).Menu({{C::CombineAnalogScales}}),
            Integer<&G::xAxisMode>("XAxisMode", 1, 1, 2)
                .Menu({{C::DisplayTime, 1}, {C::DisplayDistance, 2}}),
            Integer<&G::xDistMode>("XDistMode", 1, 0, 4)
                .Menu({{C::DistFrontWheel, 1},
                       {C::DistRearWheel, 2},
                       {C::DistAccelerometer, 3},
                       {C::DistEngine, 4}}),
            Flag<&G::analogScales>("AnalogScales", true).Menu({{C::AnalogScales}}),
            Integer<&G::printerSetupFlags>("Printer-SetupFlags", 0, 0, INT_MAX),
            Flag<&G::showToolTips>("Show-ToolTips", false).Menu({{C::MenuTips}}),
            {.key = "Theme",
             .kind = Kind::String,
             .defText = "System",
             .get = [](const G& g, int) { return TextValue(ThemeName(g.theme)); },
             .set = [](G& g, const SettingValue& v, int) { g.theme = ThemeFromName(v.text); }},
            Flag<&G::openTrackMap>("OpenTrackMap", false),
            Flag<&G::calcBanking>("CalcBanking", false),
            Integer<&G::groundSpeedMap>("GroundSpeedMap", 2, 1, 4),
        });
    return table;
}

const SettingTable<TrackMapSettings>& TrackMapTable() {
    using G = TrackMapSettings;
    static const SettingTable<G> table = InSection<G>(
        kSettings, {
                       Integer<&G::drawSegments>("TrackMap-DrawSegments", 0, 0, 7),
                       Fraction<&G::lateralPos>("TrackMap-LateralPos", 0.2f, 0, 1.0f),
                       Fraction<&G::lateralNeg>("TrackMap-LateralNeg", 0.2f, 0, 1.0f),
                       Fraction<&G::longitudePos>("TrackMap-LongitudePos", 0.2f, 0, 1.0f),
                       Fraction<&G::longitudeNeg>("TrackMap-LongitudeNeg", 0.2f, 0, 1.0f),
                       Integer<&G::trackMarkers>("TrackMap-TrackMarkers", 0, 0, 2)
                           .Menu({{C::TrackGreen, 1}, {C::TrackRed, 2}}),
                       Flag<&G::trackRace>("TrackMap-TrackRace", true).Menu({{C::TrackRace}}),
                       Flag<&G::rampAccel>("TrackMap-RampAccel", false).Menu({{C::RampAccel}}),
                   });
    return table;
}

const SettingTable<TractionCircleSettings>& TractionCircleTable() {
    using G = TractionCircleSettings;
    static const SettingTable<G> table = InSection<G>(
        kSettings, {
                       Flag<&G::drawCurve>("FC-Draw Curve", true).Menu({{C::FcDrawCurve}}),
                       Flag<&G::xGrid>("FC-XGrid", false).Menu({{C::FcXGrid}}),
                       Flag<&G::yGrid>("FC-YGrid", false).Menu({{C::FcYGrid}}),
                       Flag<&G::values>("FC-Values", true).Menu({{C::FcValues}}),
                   });
    return table;
}

const SettingTable<LapReportSettings>& LapReportTable() {
    using G = LapReportSettings;
    static const SettingTable<G> table = InSection<G>(
        kSettings,
        {
            Flag<&G::displaySpeeds>("LapReport-DisplaySpeeds", false).Menu({{C::LapDisplaySpeeds}}),
            Flag<&G::calculateBest>("LapReport-CalculateBest", false).Menu({{C::LapCalculateBest}}),
            Flag<&G::colorSegs>("LapReport-ColorSegs", false).Menu({{C::LapColorSegs}}),
            Flag<&G::highliteBest>("LapReport-HighliteBest", false).Menu({{C::LapHighliteBest}}),
            Flag<&G::viewAll>("LapReport-ViewAll", true).Menu({{C::LapViewAll}}),
            Flag<&G::useSelected>("LapReport-UseSelected", false).Menu({{C::LapUseSelected}}),
        });
    return table;
}

const SettingTable<LiveDataSettings>& LiveDataTable() {
    using G = LiveDataSettings;
    static const SettingTable<G> table =
        InSection<G>("Customer-Specific", {Flag<&G::stackedTabs>("LD-Stacked-Tabs", true)});
    return table;
}

const SettingTable<ComPortSettings>& ComPortTable() {
    using G = ComPortSettings;
    static const SettingTable<G> table = {
        // Not among the keys written by older versions; written so a migration keeps it.
        Flag<&G::shared>("Shared", false).In("ComPort"),
        // A typed device path, after the keys of the original order.
        Words<&G::device>("ComDevice", "").In(kSettings),
    };
    return table;
}

const SettingTable<CCarSetup>& TransmissionTable() {
    using G = CCarSetup;
    auto gear = [](const char* key, int first, int last) {
        return SettingField<G>{
            .key = key,
            .kind = Kind::Ratio,
            .def = 1.0,
            .min = 0.01,
            .max = 99.99,
            .first = first,
            .last = last,
            .get = [](const G& car, int n) { return NumberValue(car.m_fGearRatio[n - 1]); },
            .set = [](G& car, const SettingValue& v,
                      int n) { car.m_fGearRatio[n - 1] = static_cast<float>(v.number); }};
    };
    static const SettingTable<G> table =
        InSection<G>("Transmission", {
                                         Integer<&G::m_nGears>("Gears", 0, 0, 6),
                                         gear("1st Gear", 1, 1),
                                         gear("2nd Gear", 2, 2),
                                         gear("3rd Gear", 3, 3),
                                         gear("%dth Gear", 4, 6),
                                     });
    return table;
}

bool ByRatio(const CCarSetup& car, int) {
    return car.m_nRearEndMode == 1;
}
bool ByTeeth(const CCarSetup& car, int) {
    return car.m_nRearEndMode != 1;
}

const SettingTable<CCarSetup>& DifferentialTable() {
    using G = CCarSetup;
    auto onlyIf = [](SettingField<G> f, bool (*when)(const G&, int)) {
        f.readIf = f.writeIf = when;
        return f;
    };
    static const SettingTable<G> table = InSection<G>(
        "Differential",
        {
            {.key = "By Ratio",
             .kind = Kind::Bool,
             .get = [](const G& car, int) { return NumberValue(car.m_nRearEndMode == 1); },
             .set = [](G& car, const SettingValue& v,
                       int) { car.m_nRearEndMode = v.number != 0 ? 1 : 0; }},
            onlyIf(Ratio<&G::m_fRearEndRatio>("Ratio", 1.0f, 0.01f, 999.9f), ByRatio),
            onlyIf(Integer<&G::m_nDriveTeeth>("Pinion", 1, 1, 999), ByTeeth),
            onlyIf(Integer<&G::m_nAxleTeeth>("Ring", 1, 1, 999), ByTeeth),
        });
    return table;
}

const SettingTable<UnitSettings>& UnitsTable() {
    using G = UnitSettings;
    static const SettingTable<G> table = {
        {.key = "Units",
         .kind = Kind::String,
         .defText = "Imperial",
         .get = [](const G& g,
                   int) { return TextValue(g.units == Units::Metric ? "Metric" : "Imperial"); },
         .set = [](G& g, const SettingValue& v,
                   int) { g.units = v.text == "Metric" ? Units::Metric : Units::Imperial; },
         .section = kSettings},
    };
    return table;
}

const SettingTable<SpikeFilterSettings>& SpikeFilterTable() {
    using G = SpikeFilterSettings;
    static const SettingTable<G> table =
        InSection<G>("Spike Filter",
                     {
                         {.key = "RPM Channel #%d",
                          .kind = Kind::Int,
                          .min = 0,
                          .max = 2,
                          .first = 1,
                          .last = G::kRpmChannels,
                          .get = [](const G& g, int n) { return NumberValue(g.rpm.at(n - 1)); },
                          .set = [](G& g, const SettingValue& v,
                                    int n) { g.rpm.at(n - 1) = static_cast<int>(v.number); }},
                         {.key = "Analog Channel #%d",
                          .kind = Kind::Int,
                          .min = 0,
                          .max = 2,
                          .first = 1,
                          .last = G::kAnalogChannels,
                          .get = [](const G& g, int n) { return NumberValue(g.analog.at(n - 1)); },
                          .set = [](G& g, const SettingValue& v,
                                    int n) { g.analog.at(n - 1) = static_cast<int>(v.number); }},
                     });
    return table;
}

const SettingTable<ColorSettings>& ColorTable() {
    using G = ColorSettings;
    auto color = [](const char* key, AppColor which, int r, int g, int b) {
        const int i = static_cast<int>(which);
        return SettingField<G>{
            .key = key,
            .kind = Kind::Color,
            .def = static_cast<double>(MakeRGB(r, g, b)),
            .first = i,
            .last = i,
            .get = [](const G& c, int n) { return NumberValue(c.colors.at(n)); },
            .set = [](G& c, const SettingValue& v,
                      int n) { c.colors.at(n) = static_cast<ColorRef>(v.number); }};
    };
    using A = AppColor;
    static const SettingTable<G> table = InSection<G>(
        "ColorSettings",
        {
            color("Graph-Background", A::GraphBackground, 255, 255, 255),
            color("Graph-RPMLabel", A::GraphRpmLabel, 0, 0, 255),
            color("Graph-MPHLabel", A::GraphMphLabel, 255, 0, 0),
            color("Graph-TimeLabel", A::GraphTimeLabel, 0, 0, 0),
            color("Trackmap-Background", A::TrackmapBackground, 255, 255, 255),
            color("Trackmap-Track", A::TrackmapTrack, 0, 0, 255),
            color("Trackmap-StartFinish", A::TrackmapStartFinish, 0, 0, 0),
            color("Trackmap-AccelSeg", A::TrackmapAccelSeg, 0, 255, 0),
            color("Trackmap-DecelSeg", A::TrackmapDecelSeg, 255, 0, 0),
            color("Trackmap-LeftSeg", A::TrackmapLeftSeg, 0, 255, 255),
            color("Trackmap-RightSeg", A::TrackmapRightSeg, 255, 0, 255),
            color("FrictionCircle-Background", A::FrictionCircleBackground, 255, 255, 255),
            color("FrictionCircle-Axes", A::FrictionCircleAxes, 0, 0, 0),
        });
    return table;
}

const SettingTable<TrackMapWindowSettings>& TrackMapWindowTable() {
    using G = TrackMapWindowSettings;
    static const SettingTable<G> table =
        InSection<G>("Track-Map", {Flag<&G::onTop>("View On Top", true)});
    return table;
}

const SettingTable<MarkerViewSettings>& MarkerViewTable() {
    using G = MarkerViewSettings;
    static const SettingTable<G> table = InSection<G>(
        "Marker-View",
        {
            Flag<&G::bottom>("Bottom", false).Menu({{C::MarkerRight, 0}, {C::MarkerBelow, 1}}),
            Integer<&G::height>("Height", -1, -1, 9999),
            Integer<&G::width>("Width", -1, -1, 9999),
        });
    return table;
}

const SettingTable<ServerSettings>& ServerTable() {
    using G = ServerSettings;
    static const SettingTable<G> table =
        InSection<G>("Server-Settings", {
                                            Words<&G::suspensionApp>("Suspension-App", ""),
                                            Flag<&G::autoMode>("Auto-Mode", false),
                                            Integer<&G::timer>("Timer", 30, 10, 40),
                                        });
    return table;
}

const SettingTable<RecentFileSettings>& RecentFileTable() {
    using G = RecentFileSettings;
    static const SettingTable<G> table = {
        {.key = "File%d",
         .kind = Kind::String,
         .first = 1,
         .last = G::kFiles,
         .get = [](const G& g, int n) { return TextValue(g.files.at(n - 1)); },
         // Read in order; empty entries are left out.
         .set =
             [](G& g, const SettingValue& v, int) {
                 if (!v.text.empty()) g.files.push_back(v.text);
             },
         .section = kRecentSection,
         .writeIf = [](const G& g,
                       int n) { return static_cast<std::size_t>(n) <= g.files.size(); }},
    };
    return table;
}

// The sections of a group's keys, each once, in order.
std::vector<std::string> SectionsOf(const std::vector<CDataAcqApp::SettingKey>& keys) {
    std::vector<std::string> sections;
    for (const auto& k : keys)
        if (std::find(sections.begin(), sections.end(), k.section) == sections.end())
            sections.push_back(k.section);
    return sections;
}

}  // namespace

template <auto Member, auto Table>
CDataAcqApp::GroupEntry CDataAcqApp::ValueGroup(const char* name, bool singleValues) {
    GroupEntry e{};
    e.name = name;
    e.describe = [] {
        SettingGroup g;
        g.keys = DescribeSettingFields(Table());
        g.sections = SectionsOf(g.keys);
        return g;
    };
    e.reset = [](CDataAcqApp& app) { ResetSettingFields(Table(), app.*Member); };
    e.load = [](CDataAcqApp& app) { LoadSettingFields(app, "", Table(), app.*Member); };
    e.save = [](CDataAcqApp& app) { SaveSettingFields(app, "", Table(), app.*Member); };
    e.flag = [](CDataAcqApp& app, std::string_view key) -> bool* {
        for (const auto& f : Table())
            if (f.flag && key == f.key) return f.flag(app.*Member);
        return nullptr;
    };
    e.integer = [](CDataAcqApp& app, std::string_view key) -> int32_t* {
        for (const auto& f : Table())
            if (f.integer && key == f.key) return f.integer(app.*Member);
        return nullptr;
    };
    e.command = [](CDataAcqApp& app, MainCommand id, bool apply, bool& checked) {
        for (const auto& f : Table()) {
            for (const SettingMenuItem& item : f.menu) {
                if (item.command != id) continue;
                if (f.flag) {
                    bool& b = *f.flag(app.*Member);
                    if (apply) b = item.value == kFlipSetting ? !b : item.value != 0;
                    checked = item.value == kFlipSetting ? b : b == (item.value != 0);
                } else {
                    int32_t& n = *f.integer(app.*Member);
                    if (apply) n = item.value;
                    checked = n == item.value;
                }
                return true;
            }
        }
        return false;
    };
    e.singleValues = singleValues;
    return e;
}

const std::vector<CDataAcqApp::GroupEntry>& CDataAcqApp::Groups() {
    using App = CDataAcqApp;
    // A group whose table applies to numbered sections: its members are not reached by key.
    auto numbered = [](const char* name, SettingGroup (*describe)(), void (*load)(App&),
                       void (*save)(App&)) {
        return GroupEntry{name,
                          describe,
                          [](App&) {},
                          load,
                          save,
                          [](App&, std::string_view) -> bool* { return nullptr; },
                          [](App&, std::string_view) -> int32_t* { return nullptr; },
                          [](App&, MainCommand, bool, bool&) { return false; },
                          false};
    };
    static const std::vector<GroupEntry> groups = [&] {
        // Carried by the entries of the differential and the recent files beyond their tables.
        GroupEntry differential =
            ValueGroup<&App::m_defaultCarSetup, &DifferentialTable>("Differential", false);
        differential.load = [](App& app) {
            CCarSetup& car = app.m_defaultCarSetup;
            LoadSettingFields(app, "", DifferentialTable(), car);
            if (car.m_nRearEndMode != 1)
                car.m_fRearEndRatio = car.m_nDriveTeeth < 1
                                          ? 1.0f
                                          : static_cast<float>(car.m_nAxleTeeth) /
                                                static_cast<float>(car.m_nDriveTeeth);
        };
        GroupEntry recent = ValueGroup<&App::m_recent, &RecentFileTable>("Recent File List", false);
        recent.load = [](App& app) {
            app.m_recent.files.clear();
            LoadSettingFields(app, "", RecentFileTable(), app.m_recent);
        };
        // The list is written whole, after every other setting.
        recent.save = [](App& app) {
            app.m_profile.DeleteSection(kRecentSection);
            SaveSettingFields(app, "", RecentFileTable(), app.m_recent);
        };

        GroupEntry transmission =
            ValueGroup<&App::m_defaultCarSetup, &TransmissionTable>("Transmission", false);
        // The default car setup keeps its own defaults until a file is read.
        transmission.reset = differential.reset = [](App&) {};
        return std::vector<GroupEntry>{
            ValueGroup<&App::m_general, &GeneralTable>("Settings", true),
            ValueGroup<&App::m_trackMap, &TrackMapTable>("Track map", true),
            ValueGroup<&App::m_circle, &TractionCircleTable>("Traction circle", true),
            ValueGroup<&App::m_lapReport, &LapReportTable>("Lap report", true),
            ValueGroup<&App::m_liveData, &LiveDataTable>("Live data", true),
            ValueGroup<&App::m_comPort, &ComPortTable>("COM port", true),
            transmission,
            differential,
            ValueGroup<&App::m_units, &UnitsTable>("Units", true),
            numbered(
                "RPM channels", &App::RpmChannelGroup, [](App& app) { app.LoadRpmChannels(); },
                [](App& app) { app.SaveRpmChannels(); }),
            numbered(
                "Analog channels", &App::AnalogChannelGroup,
                [](App& app) { app.LoadAnalogChannels(); },
                [](App& app) { app.SaveAnalogChannels(); }),
            numbered(
                "Digital channels", &App::DigitalChannelGroup,
                [](App& app) { app.LoadDigitalChannels(); },
                [](App& app) { app.SaveDigitalChannels(); }),
            numbered(
                "Logger configurations", &App::LoggerConfigGroup,
                [](App& app) { app.LoadLoggerConfigs(); },
                [](App& app) { app.SaveLoggerConfigs(); }),
            ValueGroup<&App::m_spike, &SpikeFilterTable>("Spike filter", false),
            ValueGroup<&App::m_colors, &ColorTable>("Colours", false),
            ValueGroup<&App::m_trackMapWindow, &TrackMapWindowTable>("Track map window", true),
            ValueGroup<&App::m_markerView, &MarkerViewTable>("Marker view", true),
            ValueGroup<&App::m_serverSettings, &ServerTable>("Server", true),
            recent,
            numbered(
                "Settings older than V2.8E", &App::OldFormatGroup,
                [](App& app) { app.LoadOldFormat(); }, [](App&) {}),
        };
    }();
    return groups;
}

std::vector<CDataAcqApp::SettingGroup> CDataAcqApp::SettingGroups() {
    std::vector<SettingGroup> out;
    for (const GroupEntry& e : Groups()) {
        out.push_back(e.describe());
        out.back().name = e.name;
    }
    return out;
}

std::vector<CDataAcqApp::SettingKey> CDataAcqApp::SettingKeys() {
    std::vector<SettingKey> keys;
    for (const GroupEntry& e : Groups())
        if (e.singleValues)
            for (SettingKey& k : e.describe().keys) keys.push_back(std::move(k));
    return keys;
}

bool* CDataAcqApp::BoolSetting(std::string_view key) {
    for (const GroupEntry& e : Groups())
        if (bool* b = e.singleValues ? e.flag(*this, key) : nullptr) return b;
    return nullptr;
}

std::optional<bool> CDataAcqApp::IsSettingCommandChecked(MainCommand id) const {
    bool checked = false;
    for (const GroupEntry& e : Groups())
        if (e.command(const_cast<CDataAcqApp&>(*this), id, false, checked)) return checked;
    return std::nullopt;
}

bool CDataAcqApp::ApplySettingCommand(MainCommand id) {
    bool checked = false;
    for (const GroupEntry& e : Groups())
        if (e.command(*this, id, true, checked)) return true;
    return false;
}

const bool* CDataAcqApp::BoolSetting(std::string_view key) const {
    return const_cast<CDataAcqApp*>(this)->BoolSetting(key);
}

int32_t* CDataAcqApp::IntSetting(std::string_view key) {
    for (const GroupEntry& e : Groups())
        if (int32_t* n = e.singleValues ? e.integer(*this, key) : nullptr) return n;
    return nullptr;
}

const int32_t* CDataAcqApp::IntSetting(std::string_view key) const {
    return const_cast<CDataAcqApp*>(this)->IntSetting(key);
}

}  // namespace orvex
