// The application object: every program-wide default (units, port, view options, colours,
// default car setup, logger configurations, spike-filter levels, server settings), read from
// the settings file at start-up and written back at exit.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SettingsGroups.h"
#include "graph/Color.h"
#include "host/HostServices.h"
#include "host/ProfileFile.h"
#include "logger/config/TachConfig.h"
#include "logger/config/Thresholds.h"
#include "model/CarSetup.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;
enum class MainCommand;

// Run-time state of the data server; it starts idle and is not stored.
struct ServerState {
    bool enabled = false;
    int32_t playbackStart = kNotSet;
    int32_t playbackEnd = kNotSet;
    int connections = 0;
    int advises = 0;
    unsigned timerId = 0;
    double periodMs = 0.0;
};

class CDataAcqApp {
  public:
    static constexpr int kRpmSpikeChannels = SpikeFilterSettings::kRpmChannels;
    static constexpr int kAnalogSpikeChannels = SpikeFilterSettings::kAnalogChannels;
    static constexpr int kLoggerConfigs = 4;

    // Uses the settings file of DefaultSettingsPath().
    CDataAcqApp();
    explicit CDataAcqApp(std::string settingsPath);

    // $ORVEX_CONFIG_DIR/ORVEX.INI, else $XDG_CONFIG_HOME/orvex/ORVEX.INI, else
    // ~/.config/orvex/ORVEX.INI.
    static std::string DefaultSettingsPath();
    const std::string& SettingsPath() const { return m_strSettingsPath; }
    // The file an old-format settings file is moved to before the new one is written.
    std::string OldSettingsPath() const;

    // Start-up: reads every setting from the settings file (a missing file gives defaults),
    // then the colour sets.
    void LoadSettings(IHostServices& host);
    // Reads every setting from a settings file already in memory.
    void ReadSettings(const CProfileFile& file);
    // Reads the colour sets of the default colour file; without any, three default sets.
    void LoadColorSets(IHostServices& host);
    // The user's data directory's "default.col" when present, else the installed one.
    std::string ColorFilePath() const;
    void SetColorFilePath(std::string path) { m_strColorFilePath = std::move(path); }
    // Exit: moves an old-format file aside, then writes every setting. Returns false when the
    // file could not be moved or written (the user has been told).
    bool SaveSettings(IHostServices& host);
    // Writes every setting into `file` as the exit does.
    void WriteSettings(CProfileFile& file);

    // One key of the settings file as its group's table declares it.
    enum class SettingKind { Bool, Int, Long, Float, Ratio, Smoothing, Color, String, List };
    struct SettingKey {
        std::string section;  // empty: each section of its group
        std::string key;
        SettingKind kind;
        double defaultValue, minimum, maximum;  // Bool: 0 or 1
        std::string defaultText;                // String
        bool recordDefault = false;  // the default comes from the record (a value read before)
        bool conditional = false;    // read or written only for some records, or its kind
                                     // depends on the record
        bool neverWritten = false;   // read from files that have it, never written
        int count = 0;               // List: the numbers of one key
    };
    // A group of the settings file: its table's keys and the sections the table applies to.
    struct SettingGroup {
        std::string name;
        std::vector<std::string> sections;
        std::vector<SettingKey> keys;
    };
    // Every group in the order the file is written.
    static std::vector<SettingGroup> SettingGroups();
    // Every key of the groups that hold one value per key, in the order the file lists them.
    static std::vector<SettingKey> SettingKeys();
    // The member behind a key of one of those groups (found by key alone, which is unique),
    // or nullptr when the key holds no value of that type.
    bool* BoolSetting(std::string_view key);
    const bool* BoolSetting(std::string_view key) const;
    int32_t* IntSetting(std::string_view key);
    const int32_t* IntSetting(std::string_view key) const;
    // The menu commands that show and change one setting, as the settings tables name them: a
    // flag's command flips it; a choice's command sets its value and is checked while the
    // setting holds it. Nothing (false) for a command that changes no setting.
    std::optional<bool> IsSettingCommandChecked(MainCommand id) const;
    bool ApplySettingCommand(MainCommand id);

    // The recent-file list, newest first, at most kRecentFiles ("Recent File List").
    static constexpr int kRecentFiles = RecentFileSettings::kFiles;
    const std::vector<std::string>& GetRecentFiles() const { return m_recent.files; }
    // Puts `path` first (once); the oldest entry beyond eight drops off.
    void AddRecentFile(const std::string& path);
    void RemoveRecentFile(const std::string& path);

    // True when the settings read were older than V2.8E (they are migrated at exit).
    bool IsOldFormat() const { return m_bOldFormat; }

    // --- Settings members ---
    int32_t GetPrinterSetupFlags() const { return m_general.printerSetupFlags; }
    void SetPrinterSetupFlags(int32_t v) { m_general.printerSetupFlags = v; }
    bool GetShowToolTips() const { return m_general.showToolTips; }
    void SetShowToolTips(bool v) { m_general.showToolTips = v; }
    // "Theme" of the windows: the desktop's colours, or a light or dark palette.
    AppTheme GetTheme() const { return m_general.theme; }
    void SetTheme(AppTheme v) { m_general.theme = v; }
    int32_t GetRecordSegments() const { return m_general.recordSegments; }
    void SetRecordSegments(int32_t v) { m_general.recordSegments = v; }
    int32_t GetComPort() const { return m_general.comPort; }
    void SetComPort(int32_t v) { m_general.comPort = v; }
    // A typed device path kept beside the port number ("ComDevice"); empty: the number's device.
    const std::string& GetComDevice() const { return m_comPort.device; }
    void SetComDevice(const std::string& v) { m_comPort.device = v; }
    bool GetSharedPort() const { return m_comPort.shared; }
    void SetSharedPort(bool v) { m_comPort.shared = v; }
    bool GetStackedTabs() const { return m_liveData.stackedTabs; }
    void SetStackedTabs(bool v) { m_liveData.stackedTabs = v; }
    bool GetAutoSave() const { return m_general.autoSave; }
    void SetAutoSave(bool v) { m_general.autoSave = v; }
    bool GetMphScale() const { return m_general.mphScale; }
    void SetMphScale(bool v) { m_general.mphScale = v; }
    bool GetLikeAnalogs() const { return m_general.likeAnalogs; }
    void SetLikeAnalogs(bool v) { m_general.likeAnalogs = v; }
    int32_t GetXAxisMode() const { return m_general.xAxisMode; }
    void SetXAxisMode(int32_t v) { m_general.xAxisMode = v; }
    int32_t GetXDistMode() const { return m_general.xDistMode; }
    void SetXDistMode(int32_t v) { m_general.xDistMode = v; }
    bool GetAnalogScales() const { return m_general.analogScales; }
    void SetAnalogScales(bool v) { m_general.analogScales = v; }
    bool GetOpenTrackMap() const { return m_general.openTrackMap; }
    void SetOpenTrackMap(bool v) { m_general.openTrackMap = v; }
    bool GetCalcBanking() const { return m_general.calcBanking; }
    void SetCalcBanking(bool v) { m_general.calcBanking = v; }
    int32_t GetGroundSpeedMap() const { return m_general.groundSpeedMap; }
    void SetGroundSpeedMap(int32_t v) { m_general.groundSpeedMap = v; }
    int32_t GetTrackMapDrawSegments() const { return m_trackMap.drawSegments; }
    void SetTrackMapDrawSegments(int32_t v) { m_trackMap.drawSegments = v; }
    float GetTrackMapLateralPos() const { return m_trackMap.lateralPos; }
    void SetTrackMapLateralPos(float v) { m_trackMap.lateralPos = v; }
    float GetTrackMapLateralNeg() const { return m_trackMap.lateralNeg; }
    void SetTrackMapLateralNeg(float v) { m_trackMap.lateralNeg = v; }
    float GetTrackMapLongitudePos() const { return m_trackMap.longitudePos; }
    void SetTrackMapLongitudePos(float v) { m_trackMap.longitudePos = v; }
    float GetTrackMapLongitudeNeg() const { return m_trackMap.longitudeNeg; }
    void SetTrackMapLongitudeNeg(float v) { m_trackMap.longitudeNeg = v; }
    int32_t GetTrackMapTrackMarkers() const { return m_trackMap.trackMarkers; }
    void SetTrackMapTrackMarkers(int32_t v) { m_trackMap.trackMarkers = v; }
    bool GetTrackMapTrackRace() const { return m_trackMap.trackRace; }
    void SetTrackMapTrackRace(bool v) { m_trackMap.trackRace = v; }
    bool GetTrackMapRampAccel() const { return m_trackMap.rampAccel; }
    void SetTrackMapRampAccel(bool v) { m_trackMap.rampAccel = v; }
    bool GetFcDrawCurve() const { return m_circle.drawCurve; }
    void SetFcDrawCurve(bool v) { m_circle.drawCurve = v; }
    bool GetFcXGrid() const { return m_circle.xGrid; }
    void SetFcXGrid(bool v) { m_circle.xGrid = v; }
    bool GetFcYGrid() const { return m_circle.yGrid; }
    void SetFcYGrid(bool v) { m_circle.yGrid = v; }
    bool GetFcValues() const { return m_circle.values; }
    void SetFcValues(bool v) { m_circle.values = v; }
    bool GetLapReportDisplaySpeeds() const { return m_lapReport.displaySpeeds; }
    void SetLapReportDisplaySpeeds(bool v) { m_lapReport.displaySpeeds = v; }
    bool GetLapReportCalculateBest() const { return m_lapReport.calculateBest; }
    void SetLapReportCalculateBest(bool v) { m_lapReport.calculateBest = v; }
    bool GetLapReportColorSegs() const { return m_lapReport.colorSegs; }
    void SetLapReportColorSegs(bool v) { m_lapReport.colorSegs = v; }
    bool GetLapReportHighliteBest() const { return m_lapReport.highliteBest; }
    void SetLapReportHighliteBest(bool v) { m_lapReport.highliteBest = v; }
    bool GetLapReportViewAll() const { return m_lapReport.viewAll; }
    void SetLapReportViewAll(bool v) { m_lapReport.viewAll = v; }
    bool GetLapReportUseSelected() const { return m_lapReport.useSelected; }
    void SetLapReportUseSelected(bool v) { m_lapReport.useSelected = v; }
    Units GetUnits() const { return m_units.units; }
    void SetUnits(Units v) { m_units.units = v; }
    bool GetTrackMapOnTop() const { return m_trackMapWindow.onTop; }
    void SetTrackMapOnTop(bool v) { m_trackMapWindow.onTop = v; }
    bool GetMarkerViewBottom() const { return m_markerView.bottom; }
    void SetMarkerViewBottom(bool v) { m_markerView.bottom = v; }
    int32_t GetMarkerViewHeight() const { return m_markerView.height; }
    void SetMarkerViewHeight(int32_t v) { m_markerView.height = v; }
    int32_t GetMarkerViewWidth() const { return m_markerView.width; }
    void SetMarkerViewWidth(int32_t v) { m_markerView.width = v; }

    // --- Server settings and state ---
    const std::string& GetSuspensionApp() const { return m_serverSettings.suspensionApp; }
    void SetSuspensionApp(std::string v) { m_serverSettings.suspensionApp = std::move(v); }
    bool GetServerAutoMode() const { return m_serverSettings.autoMode; }
    void SetServerAutoMode(bool v) { m_serverSettings.autoMode = v; }
    int32_t GetServerTimer() const { return m_serverSettings.timer; }
    void SetServerTimer(int32_t v) { m_serverSettings.timer = v; }
    // Playback period of the timer exponent: 10^(Timer/10) milliseconds.
    double GetPlaybackPeriodMs() const;
    ServerState& GetServerState() { return m_server; }
    const ServerState& GetServerState() const { return m_server; }

    // --- Default car setup, channel 20 correction, spike filter, colours ---
    CCarSetup& GetDefaultCarSetup() { return m_defaultCarSetup; }
    const CCarSetup& GetDefaultCarSetup() const { return m_defaultCarSetup; }
    // Voltage correction of analog channel 20; -1.0 when the settings have no channel 20.
    float GetAnalog20Offset() const { return m_fAnalog20Offset; }
    void SetAnalog20Offset(float v) { m_fAnalog20Offset = v; }
    // Spike filter levels 0..2 of RPM channels 1..5 and analog channels 1..20.
    int32_t GetRpmSpikeLevel(int channel) const { return m_spike.rpm.at(channel - 1); }
    void SetRpmSpikeLevel(int channel, int32_t v) { m_spike.rpm.at(channel - 1) = v; }
    int32_t GetAnalogSpikeLevel(int channel) const { return m_spike.analog.at(channel - 1); }
    void SetAnalogSpikeLevel(int channel, int32_t v) { m_spike.analog.at(channel - 1) = v; }
    const std::array<int, kRpmSpikeChannels>& GetRpmSpikeLevels() const { return m_spike.rpm; }
    const std::array<int, kAnalogSpikeChannels>& GetAnalogSpikeLevels() const {
        return m_spike.analog;
    }
    ColorRef GetColor(AppColor which) const { return m_colors.colors.at(static_cast<int>(which)); }
    void SetColor(AppColor which, ColorRef c) { m_colors.colors.at(static_cast<int>(which)) = c; }

    // Stored logger configurations User 1 to User 4 (index 0 to 3).
    CTachConfig& GetLoggerConfig(int index) { return m_configs.at(index); }
    const CTachConfig& GetLoggerConfig(int index) const { return m_configs.at(index); }
    void SetLoggerConfig(int index, const CTachConfig& config) { m_configs.at(index) = config; }
    // The default channel setups, units and channel-20 correction that describe the terms of
    // the trigger equations.
    EquationChannels GetEquationChannels() const;
    // Colour sets handed out to datasets in order.
    std::vector<CColor>& GetColorSets() { return m_colorSets; }
    const std::vector<CColor>& GetColorSets() const { return m_colorSets; }

    // --- Not stored ---
    void ClearAbort() { m_abort.Clear(); }
    void RequestAbort() { m_abort.Request(); }
    bool IsAborted() const { return m_abort.IsRequested(); }
    // The abort request itself, shared with the host's progress and link windows.
    CAbortRequest& AbortRequest() { return m_abort; }
    bool GetLiveDemo() const { return m_bLiveDemo; }
    void SetLiveDemo(bool v) { m_bLiveDemo = v; }

    // --- Typed access to the settings file being read or written ---
    bool GetProfileBool(std::string_view section, std::string_view key, bool defaultValue) const;
    void WriteProfileBool(std::string_view section, std::string_view key, bool value);
    int32_t GetProfileRangedInt(std::string_view section, std::string_view key,
                                int32_t defaultValue, int32_t minimum, int32_t maximum) const;
    void WriteProfileInt(std::string_view section, std::string_view key, int32_t value);
    int32_t GetProfileLong(std::string_view section, std::string_view key, int32_t defaultValue,
                           int32_t minimum, int32_t maximum) const;
    void WriteProfileLong(std::string_view section, std::string_view key, int32_t value);
    float GetProfileFloat(std::string_view section, std::string_view key, float defaultValue,
                          float minimum, float maximum) const;
    // "%0.3f", or "%7.4f" for ratios and tire sizes.
    void WriteProfileFloat(std::string_view section, std::string_view key, float value);
    void WriteProfileRatio(std::string_view section, std::string_view key, float value);
    int16_t GetProfileSmoothing(std::string_view section, std::string_view key) const;
    void WriteProfileSmoothing(std::string_view section, std::string_view key, int16_t value);
    ColorRef GetProfileColor(std::string_view section, std::string_view key,
                             ColorRef defaultValue) const;
    void WriteProfileColor(std::string_view section, std::string_view key, ColorRef value);
    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const;
    void WriteProfileString(std::string_view section, std::string_view key, std::string_view value);

  private:
    // The groups of the settings file in the order they are written (SettingsTable.cpp).
    enum class GroupId {
        General,
        TrackMap,
        TractionCircle,
        LapReport,
        LiveData,
        ComPort,
        Transmission,
        Differential,
        Units,
        RpmChannels,
        AnalogChannels,
        DigitalChannels,
        LoggerConfigs,
        SpikeFilter,
        Colors,
        TrackMapWindow,
        MarkerView,
        Server,
        RecentFiles,
        OldFormat,  // read only from settings older than V2.8E, never written
    };
    struct GroupEntry {
        const char* name;
        SettingGroup (*describe)();
        void (*reset)(CDataAcqApp&);
        void (*load)(CDataAcqApp&);
        void (*save)(CDataAcqApp&);
        bool* (*flag)(CDataAcqApp&, std::string_view key);
        int32_t* (*integer)(CDataAcqApp&, std::string_view key);
        // Finds the setting that menu command `id` shows; changes it when `apply`. Returns
        // false when no field of the group names the command, else whether it is checked.
        bool (*command)(CDataAcqApp&, MainCommand id, bool apply, bool& checked);
        bool singleValues;  // one value per key: listed by SettingKeys()
    };
    static const std::vector<GroupEntry>& Groups();
    // The entry of a group of members whose table `Table()` gives.
    template <auto Member, auto Table>
    static GroupEntry ValueGroup(const char* name, bool singleValues);
    void LoadGroup(GroupId id) { Groups()[static_cast<std::size_t>(id)].load(*this); }
    // The groups whose tables apply to numbered sections (SettingsChannels.cpp,
    // SettingsTachConfig.cpp).
    static SettingGroup RpmChannelGroup();
    static SettingGroup AnalogChannelGroup();
    static SettingGroup DigitalChannelGroup();
    static SettingGroup LoggerConfigGroup();
    static SettingGroup OldFormatGroup();
    void LoadRpmChannels();
    void SaveRpmChannels();
    void LoadAnalogChannels();
    void SaveAnalogChannels();
    void LoadDigitalChannels();
    void SaveDigitalChannels();
    void LoadLoggerConfigs();
    void SaveLoggerConfigs();
    // The keys of settings older than V2.8E, read once and moved into the RPM channels.
    void LoadOldFormat();
    CFreqSetup& RpmSetup(int channel, int type);

    std::string m_strSettingsPath;
    std::string m_strColorFilePath;  // empty: ColorFilePath() looks for it
    CProfileFile m_profile;          // the file being read or written
    CProfileFile m_loaded;           // the file as read at start-up
    bool m_bOldFormat = false;
    RecentFileSettings m_recent;

    GeneralSettings m_general;
    TrackMapSettings m_trackMap;
    TractionCircleSettings m_circle;
    LapReportSettings m_lapReport;
    LiveDataSettings m_liveData;
    ComPortSettings m_comPort;
    UnitSettings m_units;
    TrackMapWindowSettings m_trackMapWindow;
    MarkerViewSettings m_markerView;
    ServerSettings m_serverSettings;
    ServerState m_server;

    CCarSetup m_defaultCarSetup;
    float m_fAnalog20Offset = -1.0f;
    SpikeFilterSettings m_spike;
    ColorSettings m_colors;
    std::array<CTachConfig, kLoggerConfigs> m_configs;
    std::vector<CColor> m_colorSets;

    CAbortRequest m_abort;
    bool m_bLiveDemo = false;
};

}  // namespace orvex
