// The application object: every program-wide default (units, port, view options, colours,
// default car setup, logger configurations, spike-filter levels, server settings), read from
// the settings file at start-up and written back at exit.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graph/Color.h"
#include "host/HostServices.h"
#include "host/ProfileFile.h"
#include "logger/config/TachConfig.h"
#include "logger/config/Thresholds.h"
#include "model/CarSetup.h"
#include "model/Units.h"

namespace orvex {

// The window colours the user chose under View > Theme.
enum class AppTheme { System, Light, Dark };
// The settings text of a theme ("System", "Light", "Dark") and back; unknown text is System.
const char* ThemeName(AppTheme theme);
AppTheme ThemeFromName(std::string_view name);

class IHostServices;

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
    static constexpr int kRpmSpikeChannels = 5;
    static constexpr int kAnalogSpikeChannels = 20;
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

    // One key of the settings file that holds a single value, as its table declares it.
    enum class SettingKind { Bool, Int, Float, String };
    struct SettingKey {
        const char* section;
        const char* key;
        SettingKind kind;
        double defaultValue, minimum, maximum;  // Bool: 0 or 1; String: no default text
    };
    // A row of the settings table: a key and its member, or a group of keys with its saver.
    struct SettingRow;
    // Every single-value key in the order the file lists them.
    static std::vector<SettingKey> SettingKeys();
    // The member behind a key of [Settings] or another section (found by key alone, which
    // is unique), or nullptr when the key holds no value of that type.
    bool* BoolSetting(std::string_view key);
    const bool* BoolSetting(std::string_view key) const;
    int32_t* IntSetting(std::string_view key);
    const int32_t* IntSetting(std::string_view key) const;

    // The recent-file list, newest first, at most kRecentFiles ("Recent File List").
    static constexpr int kRecentFiles = 8;
    const std::vector<std::string>& GetRecentFiles() const { return m_recentFiles; }
    // Puts `path` first (once); the oldest entry beyond eight drops off.
    void AddRecentFile(const std::string& path);
    void RemoveRecentFile(const std::string& path);

    // True when the settings read were older than V2.8E (they are migrated at exit).
    bool IsOldFormat() const { return m_bOldFormat; }

    // --- Settings members ---
    int32_t GetPrinterSetupFlags() const { return m_nPrinterSetupFlags; }
    void SetPrinterSetupFlags(int32_t v) { m_nPrinterSetupFlags = v; }
    bool GetShowToolTips() const { return m_bShowToolTips; }
    void SetShowToolTips(bool v) { m_bShowToolTips = v; }
    // "Theme" of the windows: the desktop's colours, or a light or dark palette.
    AppTheme GetTheme() const { return m_theme; }
    void SetTheme(AppTheme v) { m_theme = v; }
    int32_t GetRecordSegments() const { return m_nRecordSegments; }
    void SetRecordSegments(int32_t v) { m_nRecordSegments = v; }
    int32_t GetComPort() const { return m_nComPort; }
    void SetComPort(int32_t v) { m_nComPort = v; }
    // A typed device path kept beside the port number ("ComDevice"); empty: the number's device.
    const std::string& GetComDevice() const { return m_strComDevice; }
    void SetComDevice(const std::string& v) { m_strComDevice = v; }
    bool GetSharedPort() const { return m_bSharedPort; }
    void SetSharedPort(bool v) { m_bSharedPort = v; }
    bool GetStackedTabs() const { return m_bStackedTabs; }
    void SetStackedTabs(bool v) { m_bStackedTabs = v; }
    bool GetAutoSave() const { return m_bAutoSave; }
    void SetAutoSave(bool v) { m_bAutoSave = v; }
    bool GetMphScale() const { return m_bMphScale; }
    void SetMphScale(bool v) { m_bMphScale = v; }
    bool GetLikeAnalogs() const { return m_bLikeAnalogs; }
    void SetLikeAnalogs(bool v) { m_bLikeAnalogs = v; }
    int32_t GetXAxisMode() const { return m_nXAxisMode; }
    void SetXAxisMode(int32_t v) { m_nXAxisMode = v; }
    int32_t GetXDistMode() const { return m_nXDistMode; }
    void SetXDistMode(int32_t v) { m_nXDistMode = v; }
    bool GetAnalogScales() const { return m_bAnalogScales; }
    void SetAnalogScales(bool v) { m_bAnalogScales = v; }
    bool GetOpenTrackMap() const { return m_bOpenTrackMap; }
    void SetOpenTrackMap(bool v) { m_bOpenTrackMap = v; }
    bool GetCalcBanking() const { return m_bCalcBanking; }
    void SetCalcBanking(bool v) { m_bCalcBanking = v; }
    int32_t GetGroundSpeedMap() const { return m_nGroundSpeedMap; }
    void SetGroundSpeedMap(int32_t v) { m_nGroundSpeedMap = v; }
    int32_t GetTrackMapDrawSegments() const { return m_nTrackMapDrawSegments; }
    void SetTrackMapDrawSegments(int32_t v) { m_nTrackMapDrawSegments = v; }
    float GetTrackMapLateralPos() const { return m_fTrackMapLateralPos; }
    void SetTrackMapLateralPos(float v) { m_fTrackMapLateralPos = v; }
    float GetTrackMapLateralNeg() const { return m_fTrackMapLateralNeg; }
    void SetTrackMapLateralNeg(float v) { m_fTrackMapLateralNeg = v; }
    float GetTrackMapLongitudePos() const { return m_fTrackMapLongitudePos; }
    void SetTrackMapLongitudePos(float v) { m_fTrackMapLongitudePos = v; }
    float GetTrackMapLongitudeNeg() const { return m_fTrackMapLongitudeNeg; }
    void SetTrackMapLongitudeNeg(float v) { m_fTrackMapLongitudeNeg = v; }
    int32_t GetTrackMapTrackMarkers() const { return m_nTrackMapTrackMarkers; }
    void SetTrackMapTrackMarkers(int32_t v) { m_nTrackMapTrackMarkers = v; }
    bool GetTrackMapTrackRace() const { return m_bTrackMapTrackRace; }
    void SetTrackMapTrackRace(bool v) { m_bTrackMapTrackRace = v; }
    bool GetTrackMapRampAccel() const { return m_bTrackMapRampAccel; }
    void SetTrackMapRampAccel(bool v) { m_bTrackMapRampAccel = v; }
    bool GetFcDrawCurve() const { return m_bFcDrawCurve; }
    void SetFcDrawCurve(bool v) { m_bFcDrawCurve = v; }
    bool GetFcXGrid() const { return m_bFcXGrid; }
    void SetFcXGrid(bool v) { m_bFcXGrid = v; }
    bool GetFcYGrid() const { return m_bFcYGrid; }
    void SetFcYGrid(bool v) { m_bFcYGrid = v; }
    bool GetFcValues() const { return m_bFcValues; }
    void SetFcValues(bool v) { m_bFcValues = v; }
    bool GetLapReportDisplaySpeeds() const { return m_bLapReportDisplaySpeeds; }
    void SetLapReportDisplaySpeeds(bool v) { m_bLapReportDisplaySpeeds = v; }
    bool GetLapReportCalculateBest() const { return m_bLapReportCalculateBest; }
    void SetLapReportCalculateBest(bool v) { m_bLapReportCalculateBest = v; }
    bool GetLapReportColorSegs() const { return m_bLapReportColorSegs; }
    void SetLapReportColorSegs(bool v) { m_bLapReportColorSegs = v; }
    bool GetLapReportHighliteBest() const { return m_bLapReportHighliteBest; }
    void SetLapReportHighliteBest(bool v) { m_bLapReportHighliteBest = v; }
    bool GetLapReportViewAll() const { return m_bLapReportViewAll; }
    void SetLapReportViewAll(bool v) { m_bLapReportViewAll = v; }
    bool GetLapReportUseSelected() const { return m_bLapReportUseSelected; }
    void SetLapReportUseSelected(bool v) { m_bLapReportUseSelected = v; }
    Units GetUnits() const { return m_units; }
    void SetUnits(Units v) { m_units = v; }
    bool GetTrackMapOnTop() const { return m_bTrackMapOnTop; }
    void SetTrackMapOnTop(bool v) { m_bTrackMapOnTop = v; }
    bool GetMarkerViewBottom() const { return m_bMarkerViewBottom; }
    void SetMarkerViewBottom(bool v) { m_bMarkerViewBottom = v; }
    int32_t GetMarkerViewHeight() const { return m_nMarkerViewHeight; }
    void SetMarkerViewHeight(int32_t v) { m_nMarkerViewHeight = v; }
    int32_t GetMarkerViewWidth() const { return m_nMarkerViewWidth; }
    void SetMarkerViewWidth(int32_t v) { m_nMarkerViewWidth = v; }

    // --- Server settings and state ---
    const std::string& GetSuspensionApp() const { return m_strSuspensionApp; }
    void SetSuspensionApp(std::string v) { m_strSuspensionApp = std::move(v); }
    bool GetServerAutoMode() const { return m_bServerAutoMode; }
    void SetServerAutoMode(bool v) { m_bServerAutoMode = v; }
    int32_t GetServerTimer() const { return m_nServerTimer; }
    void SetServerTimer(int32_t v) { m_nServerTimer = v; }
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
    int32_t GetRpmSpikeLevel(int channel) const { return m_rpmSpike.at(channel - 1); }
    void SetRpmSpikeLevel(int channel, int32_t v) { m_rpmSpike.at(channel - 1) = v; }
    int32_t GetAnalogSpikeLevel(int channel) const { return m_analogSpike.at(channel - 1); }
    void SetAnalogSpikeLevel(int channel, int32_t v) { m_analogSpike.at(channel - 1) = v; }
    const std::array<int, kRpmSpikeChannels>& GetRpmSpikeLevels() const { return m_rpmSpike; }
    const std::array<int, kAnalogSpikeChannels>& GetAnalogSpikeLevels() const {
        return m_analogSpike;
    }
    ColorRef GetColor(AppColor which) const { return m_colors.at(static_cast<int>(which)); }
    void SetColor(AppColor which, ColorRef c) { m_colors.at(static_cast<int>(which)) = c; }

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
    // Loaders and savers of one group of keys each.
    // The rows of the settings file in the order they are written (SettingsTable.cpp).
    static const std::vector<SettingRow>& SettingRows();
    void LoadSettingRows();
    void SaveSettingRows();
    void SaveVersion();
    void SaveTheme();
    void SaveUnits();
    void LoadRecentFiles();
    void SaveRecentFiles();
    void LoadOldEngine();
    void LoadOldShafts();
    void LoadOldSmoothing();
    void LoadOldSpeedSensor();
    void LoadOldTires();
    void LoadTransmission();
    void SaveTransmission();
    void LoadRpmChannels();
    void SaveRpmChannels();
    void LoadAnalogChannels();
    void SaveAnalogChannels();
    void LoadDigitalChannels();
    void SaveDigitalChannels();
    void LoadSpikeFilter();
    void SaveSpikeFilter();
    void LoadColors();
    void SaveColors();
    void LoadLoggerConfigs();
    void SaveLoggerConfigs();
    CFreqSetup& RpmSetup(int channel, int type);

    std::string m_strSettingsPath;
    std::string m_strColorFilePath;  // empty: ColorFilePath() looks for it
    CProfileFile m_profile;          // the file being read or written
    CProfileFile m_loaded;           // the file as read at start-up
    bool m_bOldFormat = false;
    std::vector<std::string> m_recentFiles;

    int32_t m_nPrinterSetupFlags = 0;
    bool m_bShowToolTips = false;
    AppTheme m_theme = AppTheme::System;
    int32_t m_nRecordSegments = 1;
    int32_t m_nComPort = 1;
    std::string m_strComDevice;
    bool m_bSharedPort = false;
    bool m_bStackedTabs = true;
    bool m_bAutoSave = true;
    bool m_bMphScale = false;
    bool m_bLikeAnalogs = true;
    int32_t m_nXAxisMode = 1;
    int32_t m_nXDistMode = 1;
    bool m_bAnalogScales = true;
    bool m_bOpenTrackMap = false;
    bool m_bCalcBanking = false;
    int32_t m_nGroundSpeedMap = 2;
    int32_t m_nTrackMapDrawSegments = 0;
    float m_fTrackMapLateralPos = 0.2f;
    float m_fTrackMapLateralNeg = 0.2f;
    float m_fTrackMapLongitudePos = 0.2f;
    float m_fTrackMapLongitudeNeg = 0.2f;
    int32_t m_nTrackMapTrackMarkers = 0;
    bool m_bTrackMapTrackRace = true;
    bool m_bTrackMapRampAccel = false;
    bool m_bFcDrawCurve = true;
    bool m_bFcXGrid = false;
    bool m_bFcYGrid = false;
    bool m_bFcValues = true;
    bool m_bLapReportDisplaySpeeds = false;
    bool m_bLapReportCalculateBest = false;
    bool m_bLapReportColorSegs = false;
    bool m_bLapReportHighliteBest = false;
    bool m_bLapReportViewAll = true;
    bool m_bLapReportUseSelected = false;
    Units m_units = Units::Imperial;
    bool m_bTrackMapOnTop = true;
    bool m_bMarkerViewBottom = false;
    int32_t m_nMarkerViewHeight = -1;
    int32_t m_nMarkerViewWidth = -1;

    std::string m_strSuspensionApp;
    bool m_bServerAutoMode = false;
    int32_t m_nServerTimer = 30;
    ServerState m_server;

    CCarSetup m_defaultCarSetup;
    float m_fAnalog20Offset = -1.0f;
    std::array<int, kRpmSpikeChannels> m_rpmSpike{};
    std::array<int, kAnalogSpikeChannels> m_analogSpike{};
    std::array<ColorRef, kAppColors> m_colors{};
    std::array<CTachConfig, kLoggerConfigs> m_configs;
    std::vector<CColor> m_colorSets;

    CAbortRequest m_abort;
    bool m_bLiveDemo = false;
};

}  // namespace orvex
