#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "support/CliRunner.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The lines of one section as written, header included, up to the next header.
std::string SectionText(const std::string& file, const std::string& section) {
    auto start = file.find("[" + section + "]\n");
    if (start == std::string::npos) return {};
    auto end = file.find("\n[", start + 1);
    return file.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

class Settings : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "orvex-settings-XXXXXX").string();
        m_dir = ::mkdtemp(tmpl.data());
        if (const char* before = std::getenv("ORVEX_CONFIG_DIR")) m_before = before;
        ::setenv("ORVEX_CONFIG_DIR", m_dir.c_str(), 1);
    }
    void TearDown() override {
        CProfileFile::SetSaveFaultHook({});
        if (m_before)
            ::setenv("ORVEX_CONFIG_DIR", m_before->c_str(), 1);
        else
            ::unsetenv("ORVEX_CONFIG_DIR");
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    fs::path IniPath() const { return m_dir / "ORVEX.INI"; }
    void WriteIni(const std::string& text) { std::ofstream(IniPath(), std::ios::binary) << text; }
    // An application loaded as at start-up, without a colour file.
    std::unique_ptr<CDataAcqApp> Start() {
        auto app = std::make_unique<CDataAcqApp>();
        app->SetColorFilePath((m_dir / "none.col").string());
        app->LoadSettings(host);
        return app;
    }
    std::string Written(CDataAcqApp& app) {
        CProfileFile f;
        app.WriteSettings(f);
        return f.Text();
    }

    fs::path m_dir;
    std::optional<std::string> m_before;
    test::FakeHost host;
};

TEST_F(Settings, PathFollowsTheConfigDirectory) {
    EXPECT_EQ(CDataAcqApp::DefaultSettingsPath(), IniPath().string());
    CDataAcqApp app;
    EXPECT_EQ(app.OldSettingsPath(), (m_dir / "ORVEX.old").string());
}

// Every member away from its default, so that a member not read back shows.
void FillNonDefaults(CDataAcqApp& app) {
    app.SetPrinterSetupFlags(0x849 | 0x4000);
    app.SetShowToolTips(true);
    app.SetRecordSegments(4);
    app.SetComPort(3);
    app.SetComDevice("/dev/serial/by-id/usb-Logger-if00");
    app.SetSharedPort(true);
    app.SetStackedTabs(false);
    app.SetAutoSave(false);
    app.SetMphScale(true);
    app.SetLikeAnalogs(false);
    app.SetXAxisMode(2);
    app.SetXDistMode(3);
    app.SetAnalogScales(false);
    app.SetOpenTrackMap(true);
    app.SetCalcBanking(true);
    app.SetGroundSpeedMap(4);
    app.SetTrackMapDrawSegments(7);
    app.SetTrackMapLateralPos(0.25f);
    app.SetTrackMapLateralNeg(0.5f);
    app.SetTrackMapLongitudePos(0.75f);
    app.SetTrackMapLongitudeNeg(1.0f);
    app.SetTrackMapTrackMarkers(2);
    app.SetTrackMapTrackRace(false);
    app.SetTrackMapRampAccel(true);
    app.SetFcDrawCurve(false);
    app.SetFcXGrid(true);
    app.SetFcYGrid(true);
    app.SetFcValues(false);
    app.SetLapReportDisplaySpeeds(true);
    app.SetLapReportCalculateBest(true);
    app.SetLapReportColorSegs(true);
    app.SetLapReportHighliteBest(true);
    app.SetLapReportViewAll(false);
    app.SetLapReportUseSelected(true);
    app.SetUnits(Units::Metric);
    app.SetTrackMapOnTop(false);
    app.SetMarkerViewBottom(true);
    app.SetMarkerViewHeight(120);
    app.SetMarkerViewWidth(9999);
    app.SetSuspensionApp("/opt/suspension/bin/run");
    app.SetServerAutoMode(true);
    app.SetServerTimer(12);
    app.SetAnalog20Offset(0.125f);
    for (int n = 1; n <= 5; ++n) app.SetRpmSpikeLevel(n, n % 3);
    for (int n = 1; n <= 20; ++n) app.SetAnalogSpikeLevel(n, (n + 1) % 3);
    for (int i = 0; i < kAppColors; ++i)
        app.SetColor(static_cast<AppColor>(i), MakeRGB(i, 2 * i + 1, 255 - i));

    CCarSetup& car = app.GetDefaultCarSetup();
    car.m_rpm.clear();
    car.m_analog.clear();
    car.m_digital.clear();
    car.m_nGears = 5;
    for (int g = 0; g < 6; ++g) car.m_fGearRatio[g] = 3.5f - 0.5f * static_cast<float>(g);
    car.m_nRearEndMode = 0;
    car.m_nDriveTeeth = 9;
    car.m_nAxleTeeth = 37;
    car.m_fRearEndRatio = 37.0f / 9.0f;

    CFreqSetup engine = CFreqSetup::Make(1, 2, Units::Metric);
    engine.m_strDescription = "V6 Engine";
    engine.m_nSmoothing = 16;
    car.m_rpm.push_back(engine);
    CFreqSetup rear = CFreqSetup::Make(2, 12, Units::Metric);
    rear.m_nSlipPartner = 3;
    rear.m_nDisplayMode = 0;
    rear.m_nPPR = 12;
    rear.m_nTireSizeMode = 1;
    rear.m_fDiameter = 63.5f;
    rear.m_fCircumference = 63.5f * 3.1415926535f;
    rear.m_nSmoothing = 1;
    car.m_rpm.push_back(rear);
    CFreqSetup front = CFreqSetup::Make(3, 11, Units::Metric);
    front.m_fCircumference = 200.0f;
    front.m_fDiameter = 200.0f / 3.1415926535f;
    car.m_rpm.push_back(front);

    auto newAnalog = [](int channel, int type) {
        CAnalogSetup s;
        s.m_nChannel = channel;
        s.SetType(type);
        return s;
    };
    CAnalogSetup pressure = newAnalog(4, 133);
    pressure.m_strDescription = "Oil Pressure";
    pressure.m_nInvert = 3;
    pressure.m_nAltInvert = 2;
    pressure.m_fMax = 150.0f;
    pressure.m_fAltMax = 100.0f;
    pressure.m_nScaleMode = 2;
    pressure.m_nSmoothing = 8;
    pressure.ApplyTypeResolution();
    pressure.ComputeGraphRange(Units::Metric, std::nullopt);
    car.m_analog.push_back(pressure);
    CAnalogSetup volts = newAnalog(20, 134);
    volts.m_strDescription = "Battery";
    volts.m_fMax = 20.0f;
    volts.m_fAltMax = 20.0f;
    volts.m_nAltInvert = 1;
    volts.m_fAltOffset = -0.5f;
    volts.ApplyTypeResolution();
    volts.ComputeGraphRange(Units::Metric, std::nullopt);
    car.m_analog.push_back(volts);

    CDigitalSetup brake;
    brake.m_nChannel = 2;
    brake.m_nType = 4;
    brake.m_strDescription = "Brake Switch";
    brake.m_nBand = 3;
    brake.m_nInvert = 1;
    brake.ApplyBand();
    car.m_digital.push_back(brake);
    CDigitalSetup gps;
    gps.m_nChannel = 6;
    gps.m_nType = 5;
    gps.m_strDescription = "GPS";
    gps.ApplyBand();
    car.m_digital.push_back(gps);

    for (int u = 0; u < 4; ++u) {
        CTachConfig c;
        c.m_nClockRate = 400 + u;
        c.m_nActive = static_cast<uint8_t>(u == 2 ? 0x81 : 0x80);
        c.m_nTimerStatus = 3;
        c.m_nSwitchStatus = 9;
        c.m_nSwitchDivider = 4;  // 100 Hz at 400 ticks a second
        c.m_nFreqStatus = 0x13;
        c.m_lAnalogStatus = 0xF00F1;
        c.m_switch[1] = 3;
        c.m_timer[1] = TachTimer{5, 3, 1000, 250};
        c.m_freq[4] = TachFreq{20, 1, 0x4C};
        c.m_analog[19] = TachAnalog{40, 25};
        c.m_nAutoStartTime = 24001;
        c.m_eqn[0][0] = TachTerm{0x80, 1, 3000, 0};
        c.m_eqn[0][1] = TachTerm{0xE3, 7, 2048, 1024};
        c.m_eqn[2][8] = TachTerm{0xA5, 5, 1, 65535};
        c.m_nEqnFlags = 0x40 | 0x80 | 0x01 | 0x04;
        app.SetLoggerConfig(u, c);
    }
}

TEST_F(Settings, FileWrittenReadsBackToTheSameMembers) {
    auto first = Start();
    FillNonDefaults(*first);
    ASSERT_TRUE(first->SaveSettings(host));
    EXPECT_TRUE(host.messages.empty());

    auto second = Start();
    EXPECT_FALSE(second->IsOldFormat());
    EXPECT_EQ(Written(*second), Written(*first));

    // A few members checked directly, beyond the text written.
    EXPECT_EQ(second->GetUnits(), Units::Metric);
    EXPECT_FLOAT_EQ(second->GetAnalog20Offset(), 0.125f);
    EXPECT_EQ(second->GetPrinterSetupFlags(), 0x849 | 0x4000);
    EXPECT_EQ(second->GetComDevice(), "/dev/serial/by-id/usb-Logger-if00");
    EXPECT_EQ(second->GetComPort(), 3);
    for (int u = 0; u < 4; ++u) {
        CTachConfig expected = first->GetLoggerConfig(u);
        expected.m_fPcaClock = CTachConfig().m_fPcaClock;  // never written
        EXPECT_EQ(second->GetLoggerConfig(u), expected) << "User " << u + 1;
    }
    const CCarSetup& car = second->GetDefaultCarSetup();
    ASSERT_EQ(car.m_rpm.size(), 3u);
    EXPECT_NEAR(car.m_rpm[1].m_fDiameter, 63.5f, 1e-3f);
    EXPECT_EQ(car.m_rpm[1].m_nPPR, 12);
    EXPECT_EQ(car.m_rpm[0].m_nPPR, 3);  // engines take their type's pulse count
    ASSERT_EQ(car.m_analog.size(), 2u);
    EXPECT_EQ(car.m_analog[0].m_nInvert, 3);
    EXPECT_EQ(car.m_analog[0].m_nAltInvert, 2);
    EXPECT_EQ(car.m_analog[1].m_fOffset, 0.0f);  // channel 20's correction is the app's
    ASSERT_EQ(car.m_digital.size(), 2u);
    EXPECT_EQ(car.m_digital[1].m_nType, 5);
    EXPECT_EQ(car.m_nRearEndMode, 0);
    EXPECT_FLOAT_EQ(car.m_fRearEndRatio, 37.0f / 9.0f);
}

TEST_F(Settings, EveryKeyOfTheTableIsWrittenOnceInItsSectionAndKeptInItsRange) {
    const auto keys = CDataAcqApp::SettingKeys();
    ASSERT_GT(keys.size(), 40u);
    std::string outOfRange = "[Settings]\nVersion=V3.03E\n";
    std::string lastSection = "Settings";
    for (const auto& k : keys) {
        if (k.kind != CDataAcqApp::SettingKind::Int) continue;
        if (k.section != lastSection) outOfRange += std::string("[") + k.section + "]\n";
        lastSection = k.section;
        outOfRange += std::string(k.key) + "=" + std::to_string(int64_t(k.minimum) - 1) + "\n";
    }
    WriteIni(outOfRange);
    auto app = Start();
    const std::string file = Written(*app);
    for (const auto& k : keys) {
        SCOPED_TRACE(std::string(k.section) + "/" + k.key);
        const std::string section = SectionText(file, k.section);
        const std::string line = "\n" + std::string(k.key) + "=";
        const auto at = section.find(line);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(section.find(line, at + 1), std::string::npos);
        if (k.kind == CDataAcqApp::SettingKind::Int) {
            int32_t expected = static_cast<int32_t>(k.defaultValue);
            if (std::string(k.key) == "Printer-SetupFlags") expected |= 0x849;
            EXPECT_EQ(*app->IntSetting(k.key), expected);
        }
    }
}

TEST_F(Settings, NoFileGivesDefaultsAndMigratesToTheNewFormat) {
    auto app = Start();
    EXPECT_TRUE(app->IsOldFormat());
    EXPECT_TRUE(app->GetAutoSave());
    EXPECT_EQ(app->GetComPort(), 1);
    EXPECT_EQ(app->GetPrinterSetupFlags(), 0x849);
    EXPECT_EQ(app->GetServerTimer(), 30);
    EXPECT_FLOAT_EQ(app->GetAnalog20Offset(), -1.0f);
    EXPECT_EQ(app->GetColor(AppColor::TrackmapLeftSeg), MakeRGB(0, 255, 255));
    EXPECT_EQ(app->GetColorSets().size(), 3u);
    EXPECT_EQ(app->GetColorSets()[1], CColor::Default(1));

    // Channels 1 to 4 come from the old keys' defaults.
    const CCarSetup& car = app->GetDefaultCarSetup();
    ASSERT_EQ(car.m_rpm.size(), 4u);
    struct Expect {
        int channel, type, ppr, slip, display;
        const char* description;
    } expect[] = {
        {1, 1, 4, 0, 1, "Engine"},
        {2, 12, 1, 0, 1, "Rear Wheel"},
        {3, 11, 1, 0, 2, "Front Wheel"},
        {4, 13, 1, 1, 4, "Clutch"},
    };
    for (int i = 0; i < 4; ++i) {
        const CFreqSetup& s = car.m_rpm[i];
        EXPECT_EQ(s.m_nChannel, expect[i].channel);
        EXPECT_EQ(s.m_nRpmType, expect[i].type) << i;
        EXPECT_EQ(s.m_nPPR, expect[i].ppr) << i;
        EXPECT_EQ(s.m_nSlipPartner, expect[i].slip) << i;
        EXPECT_EQ(s.m_nDisplayMode, expect[i].display) << i;
        EXPECT_EQ(s.m_strDescription, expect[i].description) << i;
        EXPECT_EQ(s.m_nSmoothing, 4) << i;
    }
    EXPECT_FLOAT_EQ(car.m_rpm[1].m_fCircumference, 3.14f);
    EXPECT_EQ(car.m_nRearEndMode, 0);
    EXPECT_FLOAT_EQ(car.m_fRearEndRatio, 1.0f);

    ASSERT_TRUE(app->SaveSettings(host));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(fs::exists(app->OldSettingsPath()));
    std::string text = ReadText(IniPath());
    EXPECT_EQ(
        text.rfind("[Settings]\nVersion=V3.03E\nRecord-Segments=1\nComPort=1\nAutoSave=TRUE\n", 0),
        0u);
    EXPECT_EQ(SectionText(text, "Transmission"),
              "[Transmission]\nGears=0\n1st Gear= 1.0000\n2nd Gear= 1.0000\n3rd Gear= 1.0000\n"
              "4th Gear= 1.0000\n5th Gear= 1.0000\n6th Gear= 1.0000\n\n");
    EXPECT_EQ(SectionText(text, "Differential"),
              "[Differential]\nBy Ratio=FALSE\nPinion=1\nRing=1\n\n");
    EXPECT_EQ(SectionText(text, "RPM Channel 0"), "[RPM Channel 0]\nRPM Type=-1\n\n");
    EXPECT_EQ(SectionText(text, "RPM Channel 2"),
              "[RPM Channel 2]\nRPM Type=12\nDescription=Rear Wheel\nSmoothing=Light\n"
              "Slip Channel=0\nDisplay Mode=1\nPPR=1\nTire By Diameter=FALSE\n"
              "Tire Circumference= 3.1400\n\n");
    EXPECT_EQ(SectionText(text, "Digital Channel 1"), "[Digital Channel 1]\nDigital Type=-1\n\n");
    EXPECT_EQ(SectionText(text, "Server-Settings"),
              "[Server-Settings]\nSuspension-App=\nAuto-Mode=FALSE\nTimer=30\n");
    EXPECT_NE(text.find("[ColorSettings]\nGraph-Background=255, 255, 255\n"), std::string::npos);
    EXPECT_NE(text.find("\n[User 1]\nClock Rate=200\nActive Settings=0\nTimer Status=0\n"
                        "Switch Status=0\nSwitch Rate=10\nFrequency Status=0\nAnalog Status=0\n"
                        "Analog #1=10, 1\n"),
              std::string::npos);
    EXPECT_NE(text.find("Timer #1=50, 5000, 1, 2\nTimer #2=50, 5000, 1, 2\n"
                        "Auto-Start-Use-Time=FALSE\nAuto-Start-Time=1\n"
                        "Auto-Start-Pause-Only=FALSE\nAuto-Start #0=0, 0, 0, 0\n"),
              std::string::npos);
    EXPECT_FALSE(Start()->IsOldFormat());
}

TEST_F(Settings, VersionDecidesTheOldFormat) {
    struct Case {
        const char* file;
        bool old;
    } cases[] = {
        {"[Settings]\nVersion=\n", false},      {"[Settings]\nVersion=V2.8D\n", true},
        {"[Settings]\nVersion=V2.8E\n", false}, {"[Settings]\nVersion=V2.8e\n", false},
        {"[Settings]\nVersion=V2.7Z\n", true},  {"[Settings]\nVersion=V3.03E\n", false},
        {"[Settings]\nVersion=V1.9\n", true},   {"[Settings]\nAutoSave=TRUE\n", true},
        {"[settings]\nversion=v3.3E\n", true},
    };
    for (const Case& c : cases) {
        CProfileFile f;
        f.Parse(c.file);
        CDataAcqApp app;
        app.ReadSettings(f);
        EXPECT_EQ(app.IsOldFormat(), c.old) << c.file;
    }
}

TEST_F(Settings, BadValuesFallBackSilently) {
    CProfileFile f;
    f.Parse(
        "[Settings]\nVersion=V3.03E\nAutoSave=true\nComPort=12abc\nRecord-Segments=abc\n"
        "XDistMode=abc\nTrackMap-LateralPos=1.5\nTrackMap-LateralNeg=abc\n"
        "TrackMap-LongitudePos=nan\nTrackMap-LongitudeNeg=.5xyz\nUnits=metric\n"
        "Printer-SetupFlags=-5\nShow-ToolTips=TRUE\n"
        "[Server-Settings]\nTimer=50\n"
        "[ColorSettings]\nGraph-Background=300, 0, 0\nGraph-RPMLabel=\nGraph-MPHLabel=1, 2\n"
        "Graph-TimeLabel=-1, 2, 3\nTrackmap-Background=1,2 ,3\nTrackmap-Track=1,2,3\n"
        "[Marker-View]\nHeight=-2\nWidth=9999\n"
        "[RPM Channel 1]\nRPM Type=1\nSmoothing=light\nDisplay Mode=7\n"
        "[Channel 3]\nAnalog Type=3\nSmoothing=Heavy\nMin Value=-600000\nMax Value=5.5\n");
    CDataAcqApp app;
    app.ReadSettings(f);
    EXPECT_FALSE(app.GetAutoSave());        // only "TRUE" is true
    EXPECT_EQ(app.GetComPort(), 1);         // 12 is out of range
    EXPECT_EQ(app.GetRecordSegments(), 1);  // 0 is out of range
    EXPECT_EQ(app.GetXDistMode(), 0);       // no digits reads 0, which is in range
    EXPECT_FLOAT_EQ(app.GetTrackMapLateralPos(), 0.2f);
    EXPECT_FLOAT_EQ(app.GetTrackMapLateralNeg(), 0.2f);
    EXPECT_FLOAT_EQ(app.GetTrackMapLongitudePos(), 0.2f);
    EXPECT_FLOAT_EQ(app.GetTrackMapLongitudeNeg(), 0.5f);
    EXPECT_EQ(app.GetUnits(), Units::Imperial);
    EXPECT_EQ(app.GetPrinterSetupFlags(), 0x849);
    EXPECT_TRUE(app.GetShowToolTips());
    EXPECT_EQ(app.GetServerTimer(), 30);
    EXPECT_EQ(app.GetColor(AppColor::GraphBackground), MakeRGB(44, 0, 0));
    EXPECT_EQ(app.GetColor(AppColor::GraphRpmLabel), MakeRGB(0, 0, 255));
    EXPECT_EQ(app.GetColor(AppColor::GraphMphLabel), MakeRGB(255, 0, 0));
    EXPECT_EQ(app.GetColor(AppColor::GraphTimeLabel), MakeRGB(255, 2, 3));
    EXPECT_EQ(app.GetColor(AppColor::TrackmapBackground), MakeRGB(255, 255, 255));  // "2 ," stops
    EXPECT_EQ(app.GetColor(AppColor::TrackmapTrack), MakeRGB(1, 2, 3));
    EXPECT_EQ(app.GetMarkerViewHeight(), -1);
    EXPECT_EQ(app.GetMarkerViewWidth(), 9999);
    const CFreqSetup* engine = app.GetDefaultCarSetup().FindRpmSetup(1);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->m_nSmoothing, 1);
    EXPECT_EQ(engine->m_nDisplayMode, 1);
    const CAnalogSetup* volts = app.GetDefaultCarSetup().FindAnalogSetup(3);
    ASSERT_NE(volts, nullptr);
    EXPECT_EQ(volts->m_nSmoothing, 16);
    EXPECT_FLOAT_EQ(volts->m_fMin, 0.0f);
    EXPECT_FLOAT_EQ(volts->m_fMax, 5.5f);
    EXPECT_FLOAT_EQ(volts->m_fAltMax, 5.5f);
    EXPECT_EQ(volts->m_nResolution, 100);
}

TEST_F(Settings, TimerExponentGivesThePlaybackPeriod) {
    CDataAcqApp app;
    app.SetServerTimer(10);
    EXPECT_DOUBLE_EQ(app.GetPlaybackPeriodMs(), 10.0);
    app.SetServerTimer(40);
    EXPECT_DOUBLE_EQ(app.GetPlaybackPeriodMs(), 10000.0);
}

TEST_F(Settings, MetricTireSizesAreStoredInInches) {
    WriteIni(
        "[Settings]\nVersion=V3.03E\nUnits=Metric\n"
        "[RPM Channel 2]\nRPM Type=12\nTire By Diameter=TRUE\nTire Diameter=25\n"
        "[RPM Channel 3]\nRPM Type=11\nTire Circumference=100\n");
    auto app = Start();
    const CFreqSetup* rear = app->GetDefaultCarSetup().FindRpmSetup(2);
    const CFreqSetup* front = app->GetDefaultCarSetup().FindRpmSetup(3);
    ASSERT_TRUE(rear && front);
    EXPECT_FLOAT_EQ(rear->m_fDiameter, 63.5f);
    EXPECT_NEAR(rear->m_fCircumference, 63.5f * 3.1415926535f, 1e-3f);
    EXPECT_FLOAT_EQ(front->m_fCircumference, 254.0f);
    EXPECT_NEAR(front->m_fDiameter, 254.0f / 3.1415926535f, 1e-3f);

    ASSERT_TRUE(app->SaveSettings(host));
    std::string text = ReadText(IniPath());
    EXPECT_NE(text.find("Tire By Diameter=TRUE\nTire Diameter=25.0000\n"), std::string::npos);
    // Keys already in the file keep their place.
    EXPECT_NE(text.find("RPM Type=11\nTire Circumference=100.0000\n"), std::string::npos);
}

TEST_F(Settings, RpmTypeMinusOneSkipsTheSection) {
    CProfileFile f;
    f.Parse(
        "[Settings]\nVersion=V3.03E\n"
        "[RPM Channel 1]\nRPM Type=-1\nDescription=Ghost\nPPR=9\n"
        "[RPM Channel 2]\nRPM Type=15\nDescription=Out of range\n"
        "[RPM Channel 5]\nRPM Type=13\nPPR=7\n"
        "[Channel 1]\nAnalog Type=-1\nDescription=Ghost\n"
        "[Digital Channel 1]\nDigital Type=-1\nDescription=Ghost\n");
    CDataAcqApp app;
    app.ReadSettings(f);
    const CCarSetup& car = app.GetDefaultCarSetup();
    ASSERT_EQ(car.m_rpm.size(), 1u);
    EXPECT_EQ(car.m_rpm[0].m_nChannel, 5);
    EXPECT_EQ(car.m_rpm[0].m_nPPR, 7);
    EXPECT_EQ(car.m_rpm[0].m_strDescription, "<none>");
    EXPECT_EQ(car.m_rpm[0].m_nDisplayMode, 4);
    EXPECT_TRUE(car.m_analog.empty());
    EXPECT_TRUE(car.m_digital.empty());
}

TEST_F(Settings, RemovedDefaultIsRemovedFromTheFile) {
    WriteIni(
        "[Settings]\nVersion=V3.03E\n"
        "[Channel 5]\nAnalog Type=3\nDescription=Spare\n"
        "[Digital Channel 2]\nDigital Type=4\nDescription=Brake\n"
        "[Recent File List]\nFile1=/data/run.tbc\n");
    auto app = Start();
    ASSERT_NE(app->GetDefaultCarSetup().FindAnalogSetup(5), nullptr);
    app->GetDefaultCarSetup().m_analog.clear();
    app->GetDefaultCarSetup().m_digital.clear();
    ASSERT_TRUE(app->SaveSettings(host));
    std::string text = ReadText(IniPath());
    EXPECT_EQ(SectionText(text, "Channel 5"), "[Channel 5]\nAnalog Type=-1\nDescription=Spare\n");
    EXPECT_NE(text.find("[Recent File List]\nFile1=/data/run.tbc\n"), std::string::npos);
    auto again = Start();
    EXPECT_TRUE(again->GetDefaultCarSetup().m_analog.empty());
    EXPECT_TRUE(again->GetDefaultCarSetup().m_digital.empty());
}

TEST_F(Settings, AnalogChannelKeys) {
    CProfileFile f;
    f.Parse(
        "[Settings]\nVersion=V3.03E\n"
        "[Channel 4]\nAnalog Type=133\nInvert Channel=0\nMax Value=150\n"
        "[Channel 6]\nAnalog Type=8\nInvert Channel=2\nAlt Invert Channel=9\n"
        "[Channel 7]\nAnalog Type=136\nInvert Channel=TRUE\nAlt Invert Channel=1\n"
        "Min Value=32\nMax Value=2085\nAlt Offset Value=7\n"
        "[Channel 20]\nAnalog Type=134\nMin Value=0\nMax Value=20\nOffset Value=0.35\n");
    CDataAcqApp app;
    app.ReadSettings(f);
    const CCarSetup& car = app.GetDefaultCarSetup();
    ASSERT_EQ(car.m_analog.size(), 4u);
    const CAnalogSetup& p4 = car.m_analog[0];
    EXPECT_EQ(p4.m_nInvert, 1);     // a stored 0 becomes 1
    EXPECT_EQ(p4.m_nAltInvert, 1);  // the new setup's value
    EXPECT_EQ(p4.m_nFamily, 0);
    EXPECT_FLOAT_EQ(p4.m_fAltMax, 150.0f);
    EXPECT_EQ(p4.m_nResolution, 10);  // by span: 150
    const CAnalogSetup& p6 = car.m_analog[1];
    EXPECT_EQ(p6.m_nInvert, 2);
    EXPECT_EQ(p6.m_nAltInvert, 1);  // 9 is out of range
    EXPECT_EQ(p6.m_nFamily, 1);
    const CAnalogSetup& egt = car.m_analog[2];
    EXPECT_EQ(egt.m_nInvert, 1);
    EXPECT_EQ(egt.m_nAltInvert, 0);  // a Boolean: only "TRUE" sets it
    EXPECT_FLOAT_EQ(egt.m_fAltOffset, 7.0f);
    EXPECT_EQ(egt.m_strDescription, "<none>");
    const CAnalogSetup& v20 = car.m_analog[3];
    EXPECT_EQ(v20.m_fOffset, 0.0f);
    EXPECT_EQ(v20.m_fAltOffset, 0.0f);
    EXPECT_EQ(v20.m_nResolution, 10);
    EXPECT_FLOAT_EQ(app.GetAnalog20Offset(), 0.35f);
}

TEST_F(Settings, LoggerConfigurationKeys) {
    CProfileFile f;
    f.Parse(
        "[Settings]\nVersion=V3.03E\n"
        "[User 2]\nClock Rate=1000\nPCA Clock=400000\nActive Settings=129\nSwitch Status=15\n"
        "Switch Rate=50\nAnalog Status=1048576\nAnalog #3=5, 7\nFrequency #1=10, 2, 65\n"
        "Switch #4=300\nTimer #2=60, 1000, 2, 1\nAuto-Start-Use-Time=TRUE\n"
        "Auto-Start-Time=70000\nOutput-1 #4=131, 2, 512, 9\nOutput-2 #0=3, 1, 1, 1\n"
        "[User 3]\nClock Rate=20\nSwitch Rate=200\nActive Settings=0\nAnalog #1=oops\n");
    CDataAcqApp app;
    app.ReadSettings(f);
    const CTachConfig& u2 = app.GetLoggerConfig(1);
    EXPECT_EQ(u2.m_nClockRate, 1000);
    EXPECT_FLOAT_EQ(u2.m_fPcaClock, 400000.0f);
    EXPECT_EQ(u2.m_nActive, 129);
    EXPECT_EQ(u2.m_nSwitchStatus, 15);
    EXPECT_EQ(u2.m_nSwitchDivider, 20);
    EXPECT_EQ(u2.m_lAnalogStatus, 0);  // above 0xFFFFF
    EXPECT_EQ(u2.m_analog[2], (TachAnalog{5, 7}));
    EXPECT_EQ(u2.m_freq[0], (TachFreq{10, 2, 65}));
    EXPECT_EQ(u2.m_switch[3], 300 & 0xFF);
    EXPECT_EQ(u2.m_timer[1], (TachTimer{2, 1, 60, 1000}));
    EXPECT_EQ(u2.m_nAutoStartTime, 1);
    EXPECT_EQ(u2.m_eqn[1][4], (TachTerm{131, 2, 512, 9}));
    EXPECT_EQ(u2.m_eqn[2][0], (TachTerm{3, 1, 1, 1}));
    // Output 1 has a term in use; output 2's only term lacks the in-use bit.
    EXPECT_EQ(u2.m_nEqnFlags, 0x40 | 0x02);

    const CTachConfig& u3 = app.GetLoggerConfig(2);
    EXPECT_EQ(u3.m_nSwitchDivider, 1);  // 20 / 200 would be 0
    EXPECT_EQ(u3.m_nActive, 0);
    EXPECT_EQ(u3.m_analog[0], TachAnalog{});
    EXPECT_EQ(app.GetLoggerConfig(0), CTachConfig());
}

TEST_F(Settings, OldFormatKeysMigrate) {
    const std::string old =
        "[Settings]\nVersion=V2.8D\nComPort=2\nSlippage=TRUE\nTransSlippage=TRUE\n"
        "Tach Smoothing=Heavy\nClutch Smoothing=None\nUnits=Metric\n"
        "[Engine]\nCylinders=6\nStrokes=4\n"
        "[Speed Sensor]\nOn Axle=TRUE\nRPM Display=3\n"
        "[Shaft]\nPPR=2\n"
        "[Tire]\nBy Diameter=TRUE\nDiameter=26\n"
        "[Wheel]\nPPR=4\nCircumference=80\n"
        "[Clutch]\nPPR=6\n"
        "[RPM Channel 5]\nRPM Type=13\n"
        "[Recent File List]\nFile1=/data/run.tbc\n";
    WriteIni(old);
    auto app = Start();
    ASSERT_TRUE(app->IsOldFormat());
    EXPECT_EQ(app->GetComPort(), 2);
    const CCarSetup& car = app->GetDefaultCarSetup();
    ASSERT_EQ(car.m_rpm.size(), 5u);  // channels 0 to 4; the RPM sections are not read
    const CFreqSetup& tire = car.m_rpm[0];
    EXPECT_EQ(tire.m_nChannel, 0);
    EXPECT_EQ(tire.m_nRpmType, 12);
    EXPECT_EQ(tire.m_nTireSizeMode, 1);
    EXPECT_NEAR(tire.m_fDiameter, 26.0f * 2.54f, 1e-4f);
    const CFreqSetup& engine = car.m_rpm[1];
    EXPECT_EQ(engine.m_nRpmType, 2);
    EXPECT_EQ(engine.m_nPPR, 3);
    EXPECT_EQ(engine.m_nSmoothing, 16);
    const CFreqSetup& shaft = car.m_rpm[2];
    EXPECT_EQ(shaft.m_nRpmType, 10);
    EXPECT_EQ(shaft.m_strDescription, "Drive Shaft");
    EXPECT_EQ(shaft.m_nDisplayMode, 3);
    EXPECT_EQ(shaft.m_nPPR, 2);
    EXPECT_EQ(shaft.m_nSlipPartner, 1);
    const CFreqSetup& wheel = car.m_rpm[3];
    EXPECT_EQ(wheel.m_nSlipPartner, 2);
    EXPECT_EQ(wheel.m_nPPR, 4);
    EXPECT_NEAR(wheel.m_fCircumference, 80.0f * 2.54f, 1e-3f);
    EXPECT_EQ(car.m_rpm[4].m_nPPR, 6);
    EXPECT_EQ(car.m_rpm[4].m_nSmoothing, 1);
    EXPECT_EQ(car.m_rpm[4].m_nSlipPartner, 1);

    ASSERT_TRUE(app->SaveSettings(host));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(ReadText(app->OldSettingsPath()), old);
    std::string text = ReadText(IniPath());
    EXPECT_EQ(text.find("[Engine]"), std::string::npos);
    EXPECT_EQ(text.find("Slippage"), std::string::npos);
    // The recent-file list is the program's own and is kept (it is written last).
    EXPECT_NE(text.find("[Recent File List]\nFile1=/data/run.tbc\n"), std::string::npos);
    EXPECT_NE(text.find("[RPM Channel 0]\nRPM Type=12\n"), std::string::npos);
    EXPECT_NE(text.find("Tire By Diameter=TRUE\nTire Diameter=26.0000\n"), std::string::npos);

    auto again = Start();
    EXPECT_FALSE(again->IsOldFormat());
    EXPECT_EQ(Written(*again), Written(*app));
}

TEST_F(Settings, EngineTypeFromCylindersAndStrokes) {
    struct Case {
        int cylinders, strokes, type;
    } cases[] = {{8, 4, 1}, {8, 2, 1}, {6, 4, 2}, {4, 4, 3}, {1, 2, 9}, {1, 4, 8},
                 {1, 1, 9}, {1, 3, 8}, {2, 4, 3}, {3, 2, 3}, {5, 4, 2}, {12, 4, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(EngineRpmType(c.cylinders, c.strokes), c.type) << c.cylinders << " " << c.strokes;
}

TEST_F(Settings, FailedRenameKeepsTheOldFile) {
    const std::string old = "[Settings]\nVersion=V2.8D\nComPort=2\n";
    WriteIni(old);
    auto app = Start();
    // A non-empty directory where the old copy should go can be neither removed nor replaced.
    fs::create_directories(fs::path(app->OldSettingsPath()) / "keep");
    app->SetComPort(5);
    EXPECT_FALSE(app->SaveSettings(host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Could NOT rename old INI file '" + IniPath().string() +
                                         "' to '" + app->OldSettingsPath() +
                                         "'\nError Number = " + std::to_string(EISDIR));
    EXPECT_EQ(host.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ReadText(IniPath()), old);
}

TEST_F(Settings, FailedSaveIsReportedAndKeepsTheOldFile) {
    const std::string current = "[Settings]\nVersion=V3.03E\nComPort=2\n";
    WriteIni(current);
    auto app = Start();
    app->SetComPort(5);
    CProfileFile::SetSaveFaultHook(
        [](CProfileFile::SaveStep s) { return s == CProfileFile::SaveStep::Rename ? EROFS : 0; });
    EXPECT_FALSE(app->SaveSettings(host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Could NOT write the settings file '" + IniPath().string() +
                                         "'\nError Number = " + std::to_string(EROFS));
    EXPECT_EQ(ReadText(IniPath()), current);
}

TEST_F(Settings, FailedSaveAfterMigrationKeepsTheOldFile) {
    const std::string old = "[Settings]\nVersion=V2.8D\nComPort=2\n";
    WriteIni(old);
    auto app = Start();
    CProfileFile::SetSaveFaultHook(
        [](CProfileFile::SaveStep s) { return s == CProfileFile::SaveStep::Write ? ENOSPC : 0; });
    EXPECT_FALSE(app->SaveSettings(host));
    ASSERT_EQ(host.messages.size(), 1u);
    // The old file never left its place; its copy is already written.
    EXPECT_EQ(ReadText(IniPath()), old);
    EXPECT_EQ(ReadText(app->OldSettingsPath()), old);
}

TEST_F(Settings, CreatesTheConfigDirectory) {
    fs::path nested = m_dir / "a" / "b";
    CDataAcqApp app((nested / "ORVEX.INI").string());
    app.SetColorFilePath((m_dir / "none.col").string());
    app.LoadSettings(host);
    ASSERT_TRUE(app.SaveSettings(host));
    EXPECT_TRUE(fs::exists(nested / "ORVEX.INI"));
}

}  // namespace
}  // namespace orvex

namespace orvex {
namespace {

// The command's output and messages, in order.
std::string RunCli(const std::string& args) {
    test::CliRunOptions options;
    options.merged = true;
    return test::RunCli(args, options).out;
}

TEST_F(Settings, CommandLinePrintsAndResaves) {
    const std::string old = "[Settings]\nVersion=V2.8D\nAutoSave=FALSE\n[Engine]\nCylinders=4\n";
    WriteIni(old);
    std::string printed = RunCli("settings");
    EXPECT_NE(printed.find("Settings/Version = V3.03E\n"), std::string::npos);
    EXPECT_NE(printed.find("Settings/AutoSave = FALSE\n"), std::string::npos);
    EXPECT_NE(printed.find("RPM Channel 1/RPM Type = 3\n"), std::string::npos);
    EXPECT_NE(printed.find("Transmission/1st Gear = 1.0000\n"), std::string::npos);
    EXPECT_NE(printed.find("Server-Settings/Timer = 30\n"), std::string::npos);
    EXPECT_EQ(ReadText(IniPath()), old);  // printing alone writes nothing

    EXPECT_EQ(RunCli("settings --resave"), printed);
    EXPECT_EQ(ReadText(m_dir / "ORVEX.old"), old);
    EXPECT_EQ(RunCli("settings"), printed);

    std::string report = RunCli("config-report --user 4");
    EXPECT_EQ(report, "Recording Time : N/A\n");
}

}  // namespace
}  // namespace orvex
