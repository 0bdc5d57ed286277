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

constexpr const char* kSettings = "Settings";

// The format version written at exit.
constexpr int kMajor = 3, kMinor = 3;
constexpr char kLetter = 'E';

struct ColorKey {
    const char* key;
    ColorRef color;
};
const ColorKey kColorKeys[kAppColors] = {
    {"Graph-Background", MakeRGB(255, 255, 255)},
    {"Graph-RPMLabel", MakeRGB(0, 0, 255)},
    {"Graph-MPHLabel", MakeRGB(255, 0, 0)},
    {"Graph-TimeLabel", MakeRGB(0, 0, 0)},
    {"Trackmap-Background", MakeRGB(255, 255, 255)},
    {"Trackmap-Track", MakeRGB(0, 0, 255)},
    {"Trackmap-StartFinish", MakeRGB(0, 0, 0)},
    {"Trackmap-AccelSeg", MakeRGB(0, 255, 0)},
    {"Trackmap-DecelSeg", MakeRGB(255, 0, 0)},
    {"Trackmap-LeftSeg", MakeRGB(0, 255, 255)},
    {"Trackmap-RightSeg", MakeRGB(255, 0, 255)},
    {"FrictionCircle-Background", MakeRGB(255, 255, 255)},
    {"FrictionCircle-Axes", MakeRGB(0, 0, 0)},
};

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

std::string GearKey(int gear) {
    static const char* const kFirst[] = {"1st Gear", "2nd Gear", "3rd Gear"};
    if (gear <= 3) return kFirst[gear - 1];
    return std::to_string(gear) + "th Gear";
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
    for (int i = 0; i < kAppColors; ++i) m_colors[i] = kColorKeys[i].color;
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
    ch.m_units = m_units;
    ch.m_fVoltageCorrection = m_fAnalog20Offset;
    for (int n = 1; n <= 5; ++n) ch.m_pFreq[n - 1] = m_defaultCarSetup.FindRpmSetup(n);
    for (int n = 1; n <= 20; ++n) ch.m_pAnalog[n - 1] = m_defaultCarSetup.FindAnalogSetup(n);
    for (int n = 1; n <= 6; ++n) ch.m_pDigital[n - 1] = m_defaultCarSetup.FindDigitalSetup(n);
    return ch;
}

double CDataAcqApp::GetPlaybackPeriodMs() const {
    return std::pow(10.0, m_nServerTimer / 10.0);
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

    // An empty version counts as current; a missing one as V2.8D.
    std::string version = GetProfileString(kSettings, "Version", "V2.8D");
    int major = kMajor, minor = kMinor;
    char letter = kLetter;
    if (!version.empty()) ParseVersion(version, major, minor, letter);
    m_bOldFormat = IsOldVersion(major, minor, letter);

    LoadSettingRows();
    m_nPrinterSetupFlags |= 0x849;
    m_theme = ThemeFromName(GetProfileString(kSettings, "Theme", "System"));
    m_units = GetProfileString(kSettings, "Units", "Imperial") == "Metric" ? Units::Metric
                                                                           : Units::Imperial;
    if (m_bOldFormat) {
        LoadOldEngine();
        LoadOldShafts();
        LoadOldSmoothing();
    }
    LoadTransmission();  // with the old speed sensor keys between gears and rear end
    if (m_bOldFormat)
        LoadOldTires();
    else
        LoadRpmChannels();
    LoadAnalogChannels();
    LoadDigitalChannels();
    LoadLoggerConfigs();
    LoadSpikeFilter();
    LoadColors();
    LoadRecentFiles();
    m_server = ServerState{};
    m_profile.Clear();
}

void CDataAcqApp::LoadTransmission() {
    CCarSetup& car = m_defaultCarSetup;
    car.m_nGears = GetProfileRangedInt("Transmission", "Gears", 0, 0, 6);
    for (int g = 1; g <= 6; ++g)
        car.m_fGearRatio[g - 1] = GetProfileFloat("Transmission", GearKey(g), 1.0f, 0.01f, 99.99f);
    if (m_bOldFormat) LoadOldSpeedSensor();
    bool byRatio = GetProfileBool("Differential", "By Ratio", false);
    car.m_nRearEndMode = byRatio ? 1 : 0;
    if (byRatio) {
        car.m_fRearEndRatio = GetProfileFloat("Differential", "Ratio", 1.0f, 0.01f, 999.9f);
    } else {
        car.m_nDriveTeeth = GetProfileRangedInt("Differential", "Pinion", 1, 1, 999);
        car.m_nAxleTeeth = GetProfileRangedInt("Differential", "Ring", 1, 1, 999);
        car.m_fRearEndRatio = car.m_nDriveTeeth < 1 ? 1.0f
                                                    : static_cast<float>(car.m_nAxleTeeth) /
                                                          static_cast<float>(car.m_nDriveTeeth);
    }
}

void CDataAcqApp::LoadSpikeFilter() {
    for (int n = 1; n <= kRpmSpikeChannels; ++n)
        m_rpmSpike[n - 1] =
            GetProfileRangedInt("Spike Filter", "RPM Channel #" + std::to_string(n), 0, 0, 2);
    for (int n = 1; n <= kAnalogSpikeChannels; ++n)
        m_analogSpike[n - 1] =
            GetProfileRangedInt("Spike Filter", "Analog Channel #" + std::to_string(n), 0, 0, 2);
}

void CDataAcqApp::LoadColors() {
    for (int i = 0; i < kAppColors; ++i)
        m_colors[i] = GetProfileColor("ColorSettings", kColorKeys[i].key, kColorKeys[i].color);
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
    SaveSettingRows();
    file = std::move(m_profile);
    m_profile.Clear();
}

void CDataAcqApp::SaveVersion() {
    char version[32];
    std::snprintf(version, sizeof version, "V%1d.%02d%c", kMajor, kMinor, kLetter);
    WriteProfileString(kSettings, "Version", version);
}

void CDataAcqApp::SaveTheme() {
    WriteProfileString(kSettings, "Theme", ThemeName(m_theme));
}

constexpr const char* kRecentSection = "Recent File List";

void CDataAcqApp::AddRecentFile(const std::string& path) {
    if (path.empty()) return;
    RemoveRecentFile(path);
    m_recentFiles.insert(m_recentFiles.begin(), path);
    if (m_recentFiles.size() > static_cast<std::size_t>(kRecentFiles))
        m_recentFiles.resize(kRecentFiles);
}

void CDataAcqApp::RemoveRecentFile(const std::string& path) {
    std::erase(m_recentFiles, path);
}

void CDataAcqApp::LoadRecentFiles() {
    m_recentFiles.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        std::string v = GetProfileString(kRecentSection, "File" + std::to_string(i), "");
        if (!v.empty()) m_recentFiles.push_back(std::move(v));
    }
}

// Written last, as the list was always saved after every other setting.
void CDataAcqApp::SaveRecentFiles() {
    m_profile.DeleteSection(kRecentSection);
    for (std::size_t i = 0; i < m_recentFiles.size(); ++i)
        WriteProfileString(kRecentSection, "File" + std::to_string(i + 1), m_recentFiles[i]);
}

void CDataAcqApp::SaveUnits() {
    WriteProfileString(kSettings, "Units", m_units == Units::Metric ? "Metric" : "Imperial");
}

void CDataAcqApp::SaveTransmission() {
    const CCarSetup& car = m_defaultCarSetup;
    WriteProfileInt("Transmission", "Gears", car.m_nGears);
    for (int g = 1; g <= 6; ++g)
        WriteProfileRatio("Transmission", GearKey(g), car.m_fGearRatio[g - 1]);
    WriteProfileBool("Differential", "By Ratio", car.m_nRearEndMode == 1);
    if (car.m_nRearEndMode == 1) {
        WriteProfileRatio("Differential", "Ratio", car.m_fRearEndRatio);
    } else {
        WriteProfileInt("Differential", "Pinion", car.m_nDriveTeeth);
        WriteProfileInt("Differential", "Ring", car.m_nAxleTeeth);
    }
}

void CDataAcqApp::SaveSpikeFilter() {
    for (int n = 1; n <= kRpmSpikeChannels; ++n)
        WriteProfileInt("Spike Filter", "RPM Channel #" + std::to_string(n), m_rpmSpike[n - 1]);
    for (int n = 1; n <= kAnalogSpikeChannels; ++n)
        WriteProfileInt("Spike Filter", "Analog Channel #" + std::to_string(n),
                        m_analogSpike[n - 1]);
}

void CDataAcqApp::SaveColors() {
    for (int i = 0; i < kAppColors; ++i)
        WriteProfileColor("ColorSettings", kColorKeys[i].key, m_colors[i]);
}

}  // namespace orvex
