// The settings file's table: every single-value key with its section, default and range, and
// the groups of keys with their own savers, in the order the file is written. Loading,
// saving and the menu toggles of the main frame all work from this one table.
#include <climits>
#include <variant>

#include "app/DataAcqApp.h"

namespace orvex {

struct CDataAcqApp::SettingRow {
    SettingKey key;
    // The member a single-value key is read into; monostate for a group row.
    std::variant<std::monostate, bool CDataAcqApp::*, int32_t CDataAcqApp::*, float CDataAcqApp::*,
                 std::string CDataAcqApp::*>
        member;
    // A group row's saver (its loader runs in the fixed order of ReadSettings); the group's
    // section and key name its sections only for the reader of this table.
    void (CDataAcqApp::*save)() = nullptr;
};

namespace {

using App = CDataAcqApp;
using Kind = CDataAcqApp::SettingKind;
using Row = CDataAcqApp::SettingRow;

constexpr const char* kSettings = "Settings";

Row Flag(const char* section, const char* key, bool App::*member, bool def) {
    return Row{{section, key, Kind::Bool, def ? 1.0 : 0.0, 0, 1}, member};
}
Row Number(const char* section, const char* key, int32_t App::*member, int32_t def, int32_t min,
           int32_t max) {
    return Row{{section, key, Kind::Int, double(def), double(min), double(max)}, member};
}
Row Fraction(const char* section, const char* key, float App::*member, float def, float min,
             float max) {
    return Row{{section, key, Kind::Float, def, min, max}, member};
}
Row Text(const char* section, const char* key, std::string App::*member) {
    return Row{{section, key, Kind::String, 0, 0, 0}, member};
}
Row Group(const char* section, const char* key, void (App::*save)()) {
    return Row{{section, key, Kind::String, 0, 0, 0}, std::monostate{}, save};
}

}  // namespace

const std::vector<CDataAcqApp::SettingRow>& CDataAcqApp::SettingRows() {
    static const std::vector<SettingRow> rows = {
        Group(kSettings, "Version", &App::SaveVersion),
        Number(kSettings, "Record-Segments", &App::m_nRecordSegments, 1, 1, 8),
        Number(kSettings, "ComPort", &App::m_nComPort, 1, 1, 8),
        Flag(kSettings, "AutoSave", &App::m_bAutoSave, true),
        Flag(kSettings, "MPHScale", &App::m_bMphScale, false),
        Flag(kSettings, "LikeAnalogs", &App::m_bLikeAnalogs, true),
        Number(kSettings, "XAxisMode", &App::m_nXAxisMode, 1, 1, 2),
        Number(kSettings, "XDistMode", &App::m_nXDistMode, 1, 0, 4),
        Flag(kSettings, "AnalogScales", &App::m_bAnalogScales, true),
        Number(kSettings, "Printer-SetupFlags", &App::m_nPrinterSetupFlags, 0, 0, INT_MAX),
        Flag(kSettings, "Show-ToolTips", &App::m_bShowToolTips, false),
        Group(kSettings, "Theme", &App::SaveTheme),
        Flag(kSettings, "OpenTrackMap", &App::m_bOpenTrackMap, false),
        Flag(kSettings, "CalcBanking", &App::m_bCalcBanking, false),
        Number(kSettings, "GroundSpeedMap", &App::m_nGroundSpeedMap, 2, 1, 4),
        Number(kSettings, "TrackMap-DrawSegments", &App::m_nTrackMapDrawSegments, 0, 0, 7),
        Fraction(kSettings, "TrackMap-LateralPos", &App::m_fTrackMapLateralPos, 0.2f, 0, 1.0f),
        Fraction(kSettings, "TrackMap-LateralNeg", &App::m_fTrackMapLateralNeg, 0.2f, 0, 1.0f),
        Fraction(kSettings, "TrackMap-LongitudePos", &App::m_fTrackMapLongitudePos, 0.2f, 0, 1.0f),
        Fraction(kSettings, "TrackMap-LongitudeNeg", &App::m_fTrackMapLongitudeNeg, 0.2f, 0, 1.0f),
        Number(kSettings, "TrackMap-TrackMarkers", &App::m_nTrackMapTrackMarkers, 0, 0, 2),
        Flag(kSettings, "TrackMap-TrackRace", &App::m_bTrackMapTrackRace, true),
        Flag(kSettings, "TrackMap-RampAccel", &App::m_bTrackMapRampAccel, false),
        Flag(kSettings, "FC-Draw Curve", &App::m_bFcDrawCurve, true),
        Flag(kSettings, "FC-XGrid", &App::m_bFcXGrid, false),
        Flag(kSettings, "FC-YGrid", &App::m_bFcYGrid, false),
        Flag(kSettings, "FC-Values", &App::m_bFcValues, true),
        Flag(kSettings, "LapReport-DisplaySpeeds", &App::m_bLapReportDisplaySpeeds, false),
        Flag(kSettings, "LapReport-CalculateBest", &App::m_bLapReportCalculateBest, false),
        Flag(kSettings, "LapReport-ColorSegs", &App::m_bLapReportColorSegs, false),
        Flag(kSettings, "LapReport-HighliteBest", &App::m_bLapReportHighliteBest, false),
        Flag(kSettings, "LapReport-ViewAll", &App::m_bLapReportViewAll, true),
        Flag(kSettings, "LapReport-UseSelected", &App::m_bLapReportUseSelected, false),
        Flag("Customer-Specific", "LD-Stacked-Tabs", &App::m_bStackedTabs, true),
        // Not among the keys written by older versions; written so a migration keeps it.
        Flag("ComPort", "Shared", &App::m_bSharedPort, false),
        // A typed device path, after the keys of the original order.
        Text(kSettings, "ComDevice", &App::m_strComDevice),
        Group("Transmission", "Differential", &App::SaveTransmission),
        Group(kSettings, "Units", &App::SaveUnits),
        Group("RPM Channel 1-5", "", &App::SaveRpmChannels),
        Group("Channel 1-20", "", &App::SaveAnalogChannels),
        Group("Digital Channel 1-6", "", &App::SaveDigitalChannels),
        Group("User 1-4", "", &App::SaveLoggerConfigs),
        Group("Spike Filter", "", &App::SaveSpikeFilter),
        Group("ColorSettings", "", &App::SaveColors),
        Flag("Track-Map", "View On Top", &App::m_bTrackMapOnTop, true),
        Flag("Marker-View", "Bottom", &App::m_bMarkerViewBottom, false),
        Number("Marker-View", "Height", &App::m_nMarkerViewHeight, -1, -1, 9999),
        Number("Marker-View", "Width", &App::m_nMarkerViewWidth, -1, -1, 9999),
        Text("Server-Settings", "Suspension-App", &App::m_strSuspensionApp),
        Flag("Server-Settings", "Auto-Mode", &App::m_bServerAutoMode, false),
        Number("Server-Settings", "Timer", &App::m_nServerTimer, 30, 10, 40),
        Group("Recent File List", "File1-8", &App::SaveRecentFiles),
    };
    return rows;
}

std::vector<CDataAcqApp::SettingKey> CDataAcqApp::SettingKeys() {
    std::vector<SettingKey> keys;
    for (const SettingRow& row : SettingRows())
        if (!std::holds_alternative<std::monostate>(row.member)) keys.push_back(row.key);
    return keys;
}

void CDataAcqApp::LoadSettingRows() {
    for (const SettingRow& row : SettingRows()) {
        const SettingKey& k = row.key;
        if (auto* b = std::get_if<bool App::*>(&row.member)) {
            this->*(*b) = GetProfileBool(k.section, k.key, k.defaultValue != 0);
        } else if (auto* n = std::get_if<int32_t App::*>(&row.member)) {
            this->*(*n) = GetProfileRangedInt(
                k.section, k.key, static_cast<int32_t>(k.defaultValue),
                static_cast<int32_t>(k.minimum), static_cast<int32_t>(k.maximum));
        } else if (auto* f = std::get_if<float App::*>(&row.member)) {
            this->*(*f) =
                GetProfileFloat(k.section, k.key, static_cast<float>(k.defaultValue),
                                static_cast<float>(k.minimum), static_cast<float>(k.maximum));
        } else if (auto* t = std::get_if<std::string App::*>(&row.member)) {
            this->*(*t) = GetProfileString(k.section, k.key, "");
        }
    }
}

void CDataAcqApp::SaveSettingRows() {
    for (const SettingRow& row : SettingRows()) {
        const SettingKey& k = row.key;
        if (auto* b = std::get_if<bool App::*>(&row.member)) {
            WriteProfileBool(k.section, k.key, this->*(*b));
        } else if (auto* n = std::get_if<int32_t App::*>(&row.member)) {
            WriteProfileInt(k.section, k.key, this->*(*n));
        } else if (auto* f = std::get_if<float App::*>(&row.member)) {
            WriteProfileFloat(k.section, k.key, this->*(*f));
        } else if (auto* t = std::get_if<std::string App::*>(&row.member)) {
            WriteProfileString(k.section, k.key, this->*(*t));
        } else if (row.save) {
            (this->*row.save)();
        }
    }
}

bool* CDataAcqApp::BoolSetting(std::string_view key) {
    for (const SettingRow& row : SettingRows())
        if (auto* m = std::get_if<bool App::*>(&row.member); m && key == row.key.key)
            return &(this->*(*m));
    return nullptr;
}

const bool* CDataAcqApp::BoolSetting(std::string_view key) const {
    return const_cast<CDataAcqApp*>(this)->BoolSetting(key);
}

int32_t* CDataAcqApp::IntSetting(std::string_view key) {
    for (const SettingRow& row : SettingRows())
        if (auto* m = std::get_if<int32_t App::*>(&row.member); m && key == row.key.key)
            return &(this->*(*m));
    return nullptr;
}

const int32_t* CDataAcqApp::IntSetting(std::string_view key) const {
    return const_cast<CDataAcqApp*>(this)->IntSetting(key);
}

}  // namespace orvex
