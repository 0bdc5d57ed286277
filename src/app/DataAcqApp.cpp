#include "app/DataAcqApp.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/ProfileValues.h"
#include "app/ProgramData.h"
#include "host/AtomicWrite.h"
#include "host/FileBytes.h"
#include "host/HostServices.h"

namespace orvex {

namespace {

// Settings older than V2.8E keep the RPM channels in the engine, shaft, tire and wheel keys.
bool IsOldVersion(int major, int minor, char letter) {
    return major < 2 || (major == 2 && minor < 8) || (major == 2 && minor == 8 && letter < 'E');
}

// "V%d.%d%c": fields that do not parse stay 0.
void ParseVersion(const std::string& text, int& major, int& minor, char& letter) {
    major = minor = 0;
    letter = 0;
    int n[2] = {0, 0};
    const char* p = text.c_str();
    const char* end = p + text.size();
    if (p == end || *p != 'V') return;
    ++p;
    int parsed =
        ScanProfileInts(std::string_view(p, static_cast<std::size_t>(end - p)), ".", 2, n, &p);
    if (parsed >= 1) major = n[0];
    if (parsed >= 2) {
        minor = n[1];
        if (p < end) letter = *p;
        if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    }
}

}  // namespace

const char* ThemeName(AppTheme theme) {
    switch (theme) {
        case AppTheme::Light:
            return "Light";
        case AppTheme::Dark:
            return "Dark";
        case AppTheme::System:
            break;
    }
    return "System";
}

AppTheme ThemeFromName(std::string_view name) {
    if (name == "Light") return AppTheme::Light;
    if (name == "Dark") return AppTheme::Dark;
    return AppTheme::System;
}

CDataAcqApp::CDataAcqApp() : CDataAcqApp(DefaultSettingsPath()) {}

CDataAcqApp::CDataAcqApp(std::string settingsPath) : m_strSettingsPath(std::move(settingsPath)) {
    for (const GroupEntry& group : Groups()) group.reset(*this);
}

std::string CDataAcqApp::DefaultSettingsPath() {
    namespace fs = std::filesystem;
    const char* dir = std::getenv("ORVEX_CONFIG_DIR");
    if (dir && *dir) return (fs::path(dir) / "ORVEX.INI").string();
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return (fs::path(xdg) / "orvex" / "ORVEX.INI").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : ".") / ".config" / "orvex" / "ORVEX.INI").string();
}

std::string CDataAcqApp::OldSettingsPath() const {
    return std::filesystem::path(m_strSettingsPath).replace_extension("old").string();
}

EquationChannels CDataAcqApp::GetEquationChannels() const {
    EquationChannels ch;
    ch.m_units = m_units.units;
    ch.m_fVoltageCorrection = m_fAnalog20Offset;
    for (int n = 1; n <= 5; ++n) ch.m_pFreq[n - 1] = m_defaultCarSetup.FindRpmSetup(n);
    for (int n = 1; n <= 20; ++n) ch.m_pAnalog[n - 1] = m_defaultCarSetup.FindAnalogSetup(n);
    for (int n = 1; n <= 6; ++n) ch.m_pDigital[n - 1] = m_defaultCarSetup.FindDigitalSetup(n);
    return ch;
}

double CDataAcqApp::GetPlaybackPeriodMs() const {
    return std::pow(10.0, m_serverSettings.timer / 10.0);
}

// --- Typed profile access ---

bool CDataAcqApp::GetProfileBool(std::string_view section, std::string_view key,
                                 bool defaultValue) const {
    auto v = m_profile.Get(section, key);
    return v ? *v == "TRUE" : defaultValue;
}

void CDataAcqApp::WriteProfileBool(std::string_view section, std::string_view key, bool value) {
    m_profile.Write(section, key, value ? "TRUE" : "FALSE");
}

int32_t CDataAcqApp::GetProfileRangedInt(std::string_view section, std::string_view key,
                                         int32_t defaultValue, int32_t minimum,
                                         int32_t maximum) const {
    int32_t v = m_profile.GetInt(section, key, defaultValue);
    return (v < minimum || v > maximum) ? defaultValue : v;
}

void CDataAcqApp::WriteProfileInt(std::string_view section, std::string_view key, int32_t value) {
    m_profile.Write(section, key, std::to_string(value));
}

int32_t CDataAcqApp::GetProfileLong(std::string_view section, std::string_view key,
                                    int32_t defaultValue, int32_t minimum, int32_t maximum) const {
    auto v = m_profile.Get(section, key);
    int64_t n = 0;
    if (!v || !ParseProfileLong(*v, n) || n < minimum || n > maximum) return defaultValue;
    return static_cast<int32_t>(n);
}

void CDataAcqApp::WriteProfileLong(std::string_view section, std::string_view key, int32_t value) {
    m_profile.Write(section, key, std::to_string(value));
}

float CDataAcqApp::GetProfileFloat(std::string_view section, std::string_view key,
                                   float defaultValue, float minimum, float maximum) const {
    auto v = m_profile.Get(section, key);
    float f = 0;
    if (!v || !ParseProfileFloat(*v, f) || f < minimum || f > maximum) return defaultValue;
    return f;
}

void CDataAcqApp::WriteProfileFloat(std::string_view section, std::string_view key, float value) {
    m_profile.Write(section, key, FormatFixed(value, 0, 3));
}

void CDataAcqApp::WriteProfileRatio(std::string_view section, std::string_view key, float value) {
    m_profile.Write(section, key, FormatFixed(value, 7, 4));
}

int16_t CDataAcqApp::GetProfileSmoothing(std::string_view section, std::string_view key) const {
    return SmoothingFromText(m_profile.GetString(section, key, "Light"));
}

void CDataAcqApp::WriteProfileSmoothing(std::string_view section, std::string_view key,
                                        int16_t value) {
    m_profile.Write(section, key, SmoothingText(value));
}

ColorRef CDataAcqApp::GetProfileColor(std::string_view section, std::string_view key,
                                      ColorRef defaultValue) const {
    auto v = m_profile.Get(section, key);
    int rgb[3];
    if (!v || v->empty() || ScanProfileInts(*v, ",", 3, rgb) != 3) return defaultValue;
    return MakeRGB(rgb[0], rgb[1], rgb[2]);
}

void CDataAcqApp::WriteProfileColor(std::string_view section, std::string_view key,
                                    ColorRef value) {
    char text[40];
    std::snprintf(text, sizeof text, "%d, %d, %d", static_cast<int>(value & 0xFF),
                  static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
    m_profile.Write(section, key, text);
}

std::string CDataAcqApp::GetProfileString(std::string_view section, std::string_view key,
                                          std::string_view defaultValue) const {
    return m_profile.GetString(section, key, defaultValue);
}

void CDataAcqApp::WriteProfileString(std::string_view section, std::string_view key,
                                     std::string_view value) {
    m_profile.Write(section, key, value);
}

// --- Start-up ---

void CDataAcqApp::LoadSettings(IHostServices& host) {
    CProfileFile file;
    file.Load(m_strSettingsPath);  // a missing or unreadable file gives every default
    ReadSettings(file);
    LoadColorSets(host);
}

std::string CDataAcqApp::ColorFilePath() const {
    namespace fs = std::filesystem;
    if (!m_strColorFilePath.empty()) return m_strColorFilePath;
    fs::path user;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        user = fs::path(xdg) / "orvex";
    else if (const char* home = std::getenv("HOME"); home && *home)
        user = fs::path(home) / ".local" / "share" / "orvex";
    std::error_code ec;
    if (!user.empty() && fs::exists(user / "default.col", ec))
        return (user / "default.col").string();
    return (fs::path(ProgramDataDir()) / "default.col").string();
}

void CDataAcqApp::LoadColorSets(IHostServices& host) {
    auto sets = ReadColorFile(ColorFilePath(), host, false);
    m_colorSets = sets ? std::move(*sets) : std::vector<CColor>{};
    if (m_colorSets.empty())
        for (int n = 0; n < 3; ++n) m_colorSets.push_back(CColor::Default(n));
}

void CDataAcqApp::ReadSettings(const CProfileFile& file) {
    m_profile = file;
    m_loaded = file;
    m_defaultCarSetup.m_rpm.clear();
    m_defaultCarSetup.m_analog.clear();
    m_defaultCarSetup.m_digital.clear();

    using G = GroupId;
    LoadGroup(G::General);
    // An empty version counts as current; a missing one as V2.8D.
    int major = GeneralSettings::kMajor, minor = GeneralSettings::kMinor;
    char letter = GeneralSettings::kLetter;
    if (!m_general.version.empty()) ParseVersion(m_general.version, major, minor, letter);
    m_bOldFormat = IsOldVersion(major, minor, letter);
    m_general.printerSetupFlags |= 0x849;

    for (G id : {G::TrackMap, G::TractionCircle, G::LapReport, G::LiveData, G::ComPort, G::Units})
        LoadGroup(id);
    // The units decide how the channel setups below are made.
    LoadGroup(m_bOldFormat ? G::OldFormat : G::RpmChannels);
    LoadGroup(G::Transmission);
    LoadGroup(G::Differential);
    for (G id : {G::AnalogChannels, G::DigitalChannels, G::LoggerConfigs, G::SpikeFilter, G::Colors,
                 G::TrackMapWindow, G::MarkerView, G::Server, G::RecentFiles})
        LoadGroup(id);
    m_server = ServerState{};
    m_profile.Clear();
}

// --- Exit ---

bool CDataAcqApp::SaveSettings(IHostServices& host) {
    namespace fs = std::filesystem;
    CProfileFile file;
    std::error_code ec;
    fs::path dir = fs::path(m_strSettingsPath).parent_path();
    if (!dir.empty()) fs::create_directories(dir, ec);
    if (m_bOldFormat) {
        // The old file is kept under the extension "old" as a copy, written completely before
        // the new file replaces the old one: at every instant a whole settings file is there.
        // The new file starts empty.
        std::string oldText;
        int err = 0;
        if (ReadWholeFile(m_strSettingsPath, oldText, &err, kSettingsFileLimit)) {
            const AtomicWriteResult kept = WriteFileAtomically(OldSettingsPath(), oldText);
            err = kept.error;
        }
        if (err != 0 && err != ENOENT) {
            host.Message("Could NOT rename old INI file '" + m_strSettingsPath + "' to '" +
                             OldSettingsPath() + "'\nError Number = " + std::to_string(err),
                         Icon::Warning);
            return false;
        }
    } else {
        int err = 0;
        if (!file.Load(m_strSettingsPath, &err) && err != ENOENT) {
            // Unreadable now: keep at least the lines read at start-up.
            file = m_loaded;
        }
    }
    WriteSettings(file);

    int err = 0;
    if (!file.Save(m_strSettingsPath, &err)) {
        // The old file is still in place, and so is its copy.
        host.Message("Could NOT write the settings file '" + m_strSettingsPath +
                         "'\nError Number = " + std::to_string(err),
                     Icon::Warning);
        return false;
    }
    m_loaded = file;
    m_bOldFormat = false;
    return true;
}

void CDataAcqApp::WriteSettings(CProfileFile& file) {
    m_profile = std::move(file);
    for (const GroupEntry& group : Groups()) group.save(*this);
    file = std::move(m_profile);
    m_profile.Clear();
}

void CDataAcqApp::AddRecentFile(const std::string& path) {
    if (path.empty()) return;
    RemoveRecentFile(path);
    std::vector<std::string>& files = m_recent.files;
    files.insert(files.begin(), path);
    if (files.size() > static_cast<std::size_t>(kRecentFiles)) files.resize(kRecentFiles);
}

void CDataAcqApp::RemoveRecentFile(const std::string& path) {
    std::erase(m_recent.files, path);
}

}  // namespace orvex
