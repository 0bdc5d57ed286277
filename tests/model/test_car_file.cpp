#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "model/CarFile.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::FakeHost;

class TempDir {
  public:
    TempDir() {
        char name[] = "/tmp/orvex-car-XXXXXX";
        m_path = ::mkdtemp(name);
    }
    ~TempDir() {
        for (const std::string& f : Files()) ::unlink((m_path + "/" + f).c_str());
        ::rmdir(m_path.c_str());
    }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    std::vector<std::string> Files() const {
        std::vector<std::string> out;
        if (DIR* d = ::opendir(m_path.c_str())) {
            while (dirent* e = ::readdir(d))
                if (e->d_name[0] != '.') out.push_back(e->d_name);
            ::closedir(d);
        }
        return out;
    }

  private:
    std::string m_path;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A car with every kind of line; the rear wheel is sized in centimetres (Metric).
CCarSetup SampleCar() {
    CCarSetup car;
    car.m_nGears = 4;
    const float ratios[] = {2.97f, 1.9f, 1.36f, 1.0f};
    std::copy(std::begin(ratios), std::end(ratios), car.m_fGearRatio);
    car.m_fRearEndRatio = 4.11f;
    CAnalogSetup& egt = car.GetOrCreateAnalogSetup(3, kAnalog2Egt);
    egt.m_strDescription = "EGT Cyl #1";
    egt.m_nScaleMode = 2;
    CAnalogSetup& shock = car.GetOrCreateAnalogSetup(1, kAnalog2Shock);
    shock.m_strDescription = "Shock-LF";
    shock.m_fOffset = 0.25f;
    shock.m_nInvert = 1;
    CDigitalSetup& lap = car.GetOrCreateDigitalSetup(5);
    lap.m_nType = kDigitalLapTimer;
    lap.m_nBand = 1;
    lap.m_strDescription = "Lap Timer";
    CFreqSetup& rear = car.GetOrCreateRpmSetup(2, kRpmRearWheel, Units::Metric);
    rear.m_nDisplayMode = kDisplaySpeed;
    rear.m_fCircumference = 207.5f;
    rear.m_nSmoothing = 8;
    CFreqSetup& engine = car.GetOrCreateRpmSetup(1, 1, Units::Metric);
    engine.m_nSlipPartner = 2;
    return car;
}

const char* const kSampleText =
    "!Brio-Dash Car Setup File Version 3.0\n"
    "#Gears: 4,  2.9700,  1.9000,  1.3600,  1.0000\n"
    "#Rearend Ratio:  4.1100\n"
    "#Analog Settings #1: 130, 4, 1, 1, -4.000, 4.000, 0.250, 12\n"
    "#Analog Description #1: Shock-LF\n"
    "#Analog Settings #3: 136, 4, 2, 0, 32.000, 2085.000, 0.000, 12\n"
    "#Analog Description #3: EGT Cyl #1\n"
    "#Digital Settings #5: 2, 1, 0\n"
    "#Digital Description #5: Lap Timer\n"
    "#RPM Settings #1: 1, 2, 1, 4, 3.140, 4\n"
    "#RPM Description #1: Engine\n"
    "#RPM Settings #2: 12, 0, 0, 1, 81.693, 8\n"
    "#RPM Description #2: Rear Wheel\n";

TEST(CarFile, ExportWritesTheExactText) {
    EXPECT_EQ(CarFileText(SampleCar(), Units::Metric), kSampleText);

    CCarSetup teeth;
    teeth.m_nRearEndMode = 0;
    teeth.m_nDriveTeeth = 11;
    teeth.m_nAxleTeeth = 41;
    EXPECT_EQ(CarFileText(teeth, Units::Imperial),
              "!Brio-Dash Car Setup File Version 3.0\n#Drive Teeth: 11\n#Axle Teeth: 41\n");

    CCarSetup nothing;  // 0 gears, mode 1 with ratio 0: neither gears nor rear-end line
    nothing.m_fRearEndRatio = 0;
    nothing.GetOrCreateDigitalSetup(2).m_strDescription = "two\nlines";
    EXPECT_EQ(CarFileText(nothing, Units::Imperial),
              "!Brio-Dash Car Setup File Version 3.0\n"
              "#Digital Settings #2: 0, 2, 0\n"
              "#Digital Description #2: two lines\n");
}

TEST(CarFile, ExportReplacesTheFileWholeOrReportsTheFailure) {
    TempDir dir;
    FakeHost host;
    WriteAll(dir / "race.car", "old contents");
    ASSERT_TRUE(ExportCarFile(SampleCar(), dir / "race.car", Units::Metric, host));
    EXPECT_EQ(ReadAll(dir / "race.car"), kSampleText);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"race.car"});  // no temporary file left
    EXPECT_TRUE(host.messages.empty());

    EXPECT_FALSE(ExportCarFile(SampleCar(), dir / "missing/race.car", Units::Metric, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "File could not be opened error # 2");

    // Renaming onto a folder fails after the text was written: the temporary file goes away.
    ::mkdir((dir / "folder.car").c_str(), 0755);
    EXPECT_FALSE(ExportCarFile(SampleCar(), dir / "folder.car", Units::Metric, host));
    EXPECT_EQ(host.messages.back().text, "File could not be written error # 21");
    ::rmdir((dir / "folder.car").c_str());
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"race.car"});
}

TEST(CarFile, ImportReadsEveryKind) {
    for (Units units : {Units::Imperial, Units::Metric}) {
        CCarSetup car;
        FakeHost host;
        EXPECT_EQ(ParseCarFile(car, kSampleText, units, host), 31);
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(car.m_nGears, 4);
        EXPECT_FLOAT_EQ(car.m_fGearRatio[2], 1.36f);
        EXPECT_FLOAT_EQ(car.m_fRearEndRatio, 4.11f);
        EXPECT_EQ(car.m_nRearEndMode, 1);
        const CAnalogSetup& shock = *car.FindAnalogSetup(1);
        EXPECT_EQ(shock.m_nFamily, 0);
        EXPECT_EQ(shock.m_nInvert, 1);
        EXPECT_EQ(shock.m_nResolution, 1000);
        EXPECT_FLOAT_EQ(shock.m_fOffset, 0.25f);
        EXPECT_EQ(shock.m_strDescription, "Shock-LF");
        EXPECT_EQ(car.FindAnalogSetup(3)->m_nScaleMode, 2);
        const CDigitalSetup& lap = *car.FindDigitalSetup(5);
        EXPECT_EQ(lap.m_nType, 2);
        EXPECT_EQ(lap.m_fBandLow, 0.0f);
        EXPECT_EQ(lap.m_strDescription, "Lap Timer");
        const CFreqSetup& rear = *car.FindRpmSetup(2);
        EXPECT_EQ(rear.m_nSmoothing, 8);
        EXPECT_EQ(rear.m_nDisplayMode, 0);
        EXPECT_EQ(car.FindRpmSetup(1)->m_nSlipPartner, 2);
        // Exported again in the same units, the text is the same.
        if (units == Units::Metric) {
            EXPECT_EQ(CarFileText(car, units), kSampleText);
        }
    }
}

TEST(CarFile, RpmCircumferenceInInchesGivesTheDiameter) {
    const char* text =
        "!Brio-Dash Car Setup File Version 3.0\n#RPM Settings #2: 12, 0, 2, 1, 81.681, 4\n";
    CCarSetup car;
    FakeHost host;
    EXPECT_EQ(ParseCarFile(car, text, Units::Imperial, host), 1 | 4);
    EXPECT_NEAR(car.FindRpmSetup(2)->m_fDiameter, 25.99987, 1e-4);
    EXPECT_FLOAT_EQ(car.FindRpmSetup(2)->m_fCircumference, 81.681f);
    CCarSetup metric;
    ParseCarFile(metric, text, Units::Metric, host);
    EXPECT_NEAR(metric.FindRpmSetup(2)->m_fDiameter, 25.99987 * 2.54, 1e-3);
    EXPECT_NEAR(metric.FindRpmSetup(2)->m_fCircumference, 81.681 * 2.54, 1e-3);
}

TEST(CarFile, TireSizesWithUnits) {
    struct Case {
        const char* line;
        Units units;
        int channel;
        double diameter, circumference;
        const char* warning;
    } cases[] = {
        {"#Tire Dia: 66 cm", Units::Imperial, 2, 25.984, 81.632, nullptr},
        {"#Tire Dia: 26 in", Units::Metric, 2, 66.04, 207.470, nullptr},
        {"#Tire Dia: 26", Units::Imperial, 2, 26.0, 81.681, nullptr},
        {"#Tire Circ: 81.681 in", Units::Imperial, 2, 25.99987, 81.681, nullptr},
        {"#Tire Dia: 26 ft", Units::Imperial, 2, 26.0, 81.681,
         "WARNING: Attempted to read a tire diameter in ft which is not supported\n"
         "The current unit of measure is assumed"},
        {"#Tire Circ: 80 yd", Units::Imperial, 2, 25.465, 80.0,
         "WARNING: Attempted to read a tire circumference in yd which is not supported\n"
         "The current unit of measure is assumed"},
        {"#Wheel Dia: 50 mm", Units::Metric, 3, 50.0, 157.080,
         "WARNING: Attempted to read a wheel diameter in mm which is not supported\n"
         "The current unit of measure is assumed"},
        {"#Wheel Circ: 200 cm", Units::Metric, 3, 63.662, 200.0, nullptr},
    };
    for (const Case& c : cases) {
        CCarSetup car;
        FakeHost host;
        const std::string text = std::string("!Brio-Dash Car Setup File Version 3.0\n") + c.line;
        EXPECT_EQ(ParseCarFile(car, text, c.units, host), 1 | 4) << c.line;
        const CFreqSetup* s = car.FindRpmSetup(c.channel);
        ASSERT_NE(s, nullptr) << c.line;
        EXPECT_EQ(s->m_nRpmType, c.channel == 2 ? kRpmRearWheel : kRpmFrontWheel);
        EXPECT_NEAR(s->m_fDiameter, c.diameter, 1e-3) << c.line;
        EXPECT_NEAR(s->m_fCircumference, c.circumference, 1e-3) << c.line;
        if (c.warning) {
            ASSERT_EQ(host.messages.size(), 1u) << c.line;
            EXPECT_EQ(host.messages[0].text, c.warning);
        } else {
            EXPECT_TRUE(host.messages.empty()) << c.line;
        }
    }
}

TEST(CarFile, OlderSensorAndTeethLines) {
    const char* text =
        "!Brio-Dash Car Setup File Version 1.0\r\n"
        "#Speed Sensor: Drive Shaft\r\n"
        "#Drive Shaft PPR: 4\r\n"
        "#Tire Dia: 26 in\r\n"
        "#Drive Teeth: 10\r\n"
        "#Axle Teeth: 41\r\n"
        "a remark\r\n";
    CCarSetup car;
    FakeHost host;
    EXPECT_EQ(ParseCarFile(car, text, Units::Imperial, host), 1 | 4);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(car.FindRpmSetup(2)->m_nRpmType, kRpmDriveShaft);
    EXPECT_EQ(car.FindRpmSetup(2)->m_nPPR, 4);
    // Channel 2 is the drive shaft, so the rear wheel becomes a definition derived from it.
    EXPECT_EQ(car.FindRpmSetup(0)->m_nRpmType, kRpmRearWheel);
    EXPECT_FLOAT_EQ(car.FindRpmSetup(0)->m_fDiameter, 26.0f);
    EXPECT_EQ(car.m_nRearEndMode, 0);
    EXPECT_FLOAT_EQ(car.m_fRearEndRatio, 4.1f);

    CCarSetup axle;
    ParseCarFile(axle, "!Brio-Dash Car Setup File Version 1.0\n#Speed Sensor: Axle\n",
                 Units::Imperial, host);
    EXPECT_EQ(axle.FindRpmSetup(2)->m_nRpmType, kRpmRearWheel);
    EXPECT_EQ(axle.FindRpmSetup(2)->m_strDescription, "Rear Wheel");
}

TEST(CarFile, ConverterBitsByVersionAndFamily) {
    const std::string lines =
        "#Analog Settings #1: 136, 4, 1, 0, 32.000, 2085.000, 0.000, 10\n"
        "#Analog Settings #2: 135, 4, 1, 0, -5.000, 5.000, 0.000, 0\n"
        "#Analog Settings #3: 5, 4, 1, 0, 0.000, 10.000, 0.000, 0\n";
    struct Case {
        const char* version;
        int bits1, bits2, bits3;
    } cases[] = {{"2.0", 12, 12, 12}, {"3.0", 10, 12, 0}, {"2.1", 10, 12, 0}};
    for (const Case& c : cases) {
        CCarSetup car;
        FakeHost host;
        const std::string text =
            std::string("!Brio-Dash Car Setup File Version ") + c.version + "\n" + lines;
        EXPECT_EQ(ParseCarFile(car, text, Units::Imperial, host), 1 | 8);
        EXPECT_EQ(car.FindAnalogSetup(1)->m_nBits, c.bits1) << c.version;
        EXPECT_EQ(car.FindAnalogSetup(2)->m_nBits, c.bits2) << c.version;
        EXPECT_EQ(car.FindAnalogSetup(3)->m_nBits, c.bits3) << c.version;
        EXPECT_EQ(car.FindAnalogSetup(3)->m_nFamily, 1);
        EXPECT_EQ(car.FindAnalogSetup(3)->m_nResolution, 100);
    }
}

TEST(CarFile, UnknownAndOddLines) {
    const std::string text =
        "!Brio-Dash Car Setup File Version 3.0\n"
        "#Frobnicate: 3\n"
        "#Analog Settings #25: 136, 4, 1, 0, 32.000, 2085.000, 0.000, 12\n"
        "#Analog Description #4: Gears: and Sensor: in a name\n"
        "#Analog Description #5:\n"
        "#Digital Description #2: " +
        std::string(120, 'x') + "\n" + "#Gears: 9, 3.1, 2.2\n";
    CCarSetup car;
    FakeHost host;
    EXPECT_EQ(ParseCarFile(car, text, Units::Imperial, host), 1 | 2 | 8 | 16);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text,
              "WARNING: Unknown setup option '#Frobnicate: 3' found in file.\nSetup is being "
              "ignored!");
    EXPECT_EQ(host.messages[1].text,
              "WARNING: Unknown setup option '#Analog Settings #25: 136, 4, 1, 0, 32.000, "
              "2085.000, 0.000, 12' found in file.\nSetup is being ignored!");
    EXPECT_EQ(car.FindAnalogSetup(4)->m_strDescription, "Gears: and Sensor: in a name");
    EXPECT_EQ(car.FindAnalogSetup(5)->m_strDescription, "");
    EXPECT_EQ(car.FindDigitalSetup(2)->m_strDescription, std::string(120, 'x'));
    EXPECT_EQ(car.m_nGears, 6);  // at most six gears
    EXPECT_FLOAT_EQ(car.m_fGearRatio[1], 2.2f);
    EXPECT_FLOAT_EQ(car.m_fGearRatio[2], 1.0f);
}

TEST(CarFile, RefusedFilesChangeNothing) {
    struct Case {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "This Car Setup file is empty"},
        {"Setup File\n#Gears: 2, 3.0, 2.0\n", "This file is not a Vexa-Log Car Setup file"},
        {"\n!Brio-Dash Car Setup File Version 3.0\n", "This file is not a Vexa-Log Car Setup file"},
    };
    for (const Case& c : cases) {
        CCarSetup car = SampleCar();
        FakeHost host;
        EXPECT_EQ(ParseCarFile(car, c.text, Units::Imperial, host), 0);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, c.message);
        EXPECT_EQ(CarFileText(car, Units::Metric), kSampleText);
    }
    FakeHost host;
    CCarSetup car;
    EXPECT_EQ(ImportCarFile(car, "/nonexistent/orvex/x.car", Units::Imperial, host), 0);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File could not be opened error # 2"});
}

TEST(CarFile, ZeroGearsRoundTripReportsNoTransmission) {
    TempDir dir;
    FakeHost host;
    CCarSetup car;
    car.GetOrCreateAnalogSetup(2, kAnalog2Throttle).m_strDescription = "Throttle";
    ASSERT_TRUE(ExportCarFile(car, dir / "a.car", Units::Imperial, host));
    CCarSetup read;
    EXPECT_EQ(ImportCarFile(read, dir / "a.car", Units::Imperial, host), 1 | 8);
}

class DialogImport : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteAll(m_dir / "all.car", kSampleText);
        WriteAll(m_dir / "analog3.car",
                 "!Brio-Dash Car Setup File Version 3.0\n"
                 "#Analog Settings #3: 132, 4, 1, 0, 0.000, 100.000, 0.000, 12\n"
                 "#Analog Description #3: Throttle\n");
        m_current.GetOrCreateAnalogSetup(1).m_strDescription = "One";
        m_current.GetOrCreateAnalogSetup(3).m_strDescription = "Three";
        m_current.GetOrCreateAnalogSetup(5).m_strDescription = "Five";
        m_current.GetOrCreateDigitalSetup(1).m_strDescription = "Brake";
        m_current.GetOrCreateRpmSetup(4, kRpmClutch, Units::Imperial);
    }
    std::string Names() const {
        std::string out;
        for (const auto& s : m_current.m_analog)
            out += "a" + std::to_string(s.m_nChannel) + ":" + s.m_strDescription + " ";
        for (const auto& s : m_current.m_digital)
            out += "d" + std::to_string(s.m_nChannel) + ":" + s.m_strDescription + " ";
        for (const auto& s : m_current.m_rpm)
            out += "r" + std::to_string(s.m_nChannel) + ":" + s.m_strDescription + " ";
        return out;
    }
    TempDir m_dir;
    FakeHost m_host;
    CCarSetup m_current;
};

TEST_F(DialogImport, MergeKeepsTheOtherChannels) {
    m_host.answers = {Answer::Yes};
    EXPECT_TRUE(ImportCarFileForDialog(m_current, m_dir / "analog3.car", SetupKind::Analog,
                                       Units::Imperial, m_host));
    EXPECT_EQ(
        m_host.questions,
        std::vector<std::string>{"Do you wish to Merge(Yes) or Replace(No) current Analog Setup?"});
    EXPECT_EQ(Names(), "a1:One a3:Throttle a5:Five d1:Brake r4:Clutch ");
    EXPECT_EQ(m_current.FindAnalogSetup(3)->m_nType, kAnalog2Throttle);
}

TEST_F(DialogImport, NoIsTheDefaultAndReplaces) {
    EXPECT_TRUE(ImportCarFileForDialog(m_current, m_dir / "analog3.car", SetupKind::Analog,
                                       Units::Imperial, m_host));
    EXPECT_EQ(Names(), "a3:Throttle d1:Brake r4:Clutch ");
}

TEST_F(DialogImport, AnalogDialogOffersTheOtherKinds) {
    // RPM: load, merge; transmission: no; digital: load, replace; analog: merge.
    m_host.answers = {Answer::Yes, Answer::Yes, Answer::No, Answer::Yes, Answer::No, Answer::Yes};
    EXPECT_TRUE(ImportCarFileForDialog(m_current, m_dir / "all.car", SetupKind::Analog,
                                       Units::Imperial, m_host));
    EXPECT_EQ(m_host.questions,
              (std::vector<std::string>{
                  "RPM Setup data found while loading Analog information.\nDo you wish to load "
                  "this setup too?",
                  "Do you wish to Merge(Yes) or Replace(No) current RPM Setup?",
                  "Transmission/Rear End Setup found while loading Analog Setup.\nDo you wish to "
                  "load this setup too?",
                  "Digital Setup found while loading Analog Setup.\nDo you wish to load this setup "
                  "too?",
                  "Do you wish to Merge(Yes) or Replace(No) current Digital Setup?",
                  "Do you wish to Merge(Yes) or Replace(No) current Analog Setup?"}));
    EXPECT_EQ(Names(),
              "a1:Shock-LF a3:EGT Cyl #1 a5:Five d5:Lap Timer r1:Engine r2:Rear Wheel r4:Clutch ");
    EXPECT_EQ(m_current.m_nGears, 0);
}

TEST_F(DialogImport, OtherDialogsAskInTheirOwnOrder) {
    struct Case {
        SetupKind kind;
        std::vector<std::string> questions;
    } cases[] = {
        {SetupKind::Digital,
         {"RPM Setup data found while loading Digital Setup.\nDo you wish to load this setup too?",
          "Transmission/Rear End Setup found while loading Digital Setup.\nDo you wish to load "
          "this setup too?",
          "Analog Setup found while loading Digital Setup.\nDo you wish to load this setup too?",
          "Do you wish to Merge(Yes) or Replace(No) current Digital Setup?"}},
        {SetupKind::Rpm,
         {"Transmission/Rear End Setup found while loading RPM Setup.\nDo you wish to load this "
          "setup too?",
          "Digital Setup found while loading RPM Setup.\nDo you wish to load this setup too?",
          "Analog Setup found while loading RPM Setup.\nDo you wish to load this setup too?",
          "Do you wish to Merge(Yes) or Replace(No) current RPM Setup?"}},
        {SetupKind::Transmission,
         {"RPM Setup data found while loading Gear-Setup information.\nDo you wish to load the "
          "RPM Setup data too?",
          "Analog Setup data found while loading Gear-Setup information.\nDo you wish to load the "
          "Analog Setup data too?",
          "Digital Setup data found while loading Gear-Setup information.\nDo you wish to load "
          "the Digital Setup data too?"}},
    };
    for (const Case& c : cases) {
        CCarSetup current = m_current;
        FakeHost host;
        EXPECT_TRUE(
            ImportCarFileForDialog(current, m_dir / "all.car", c.kind, Units::Imperial, host));
        EXPECT_EQ(host.questions, c.questions);
        // Every offer was declined, so only the dialog's own kind changed.
        EXPECT_EQ(current.m_analog.size(), 3u);
        EXPECT_EQ(current.m_nGears, c.kind == SetupKind::Transmission ? 4 : 0);
    }
}

TEST_F(DialogImport, FileWithoutTheDialogsKindChangesNothing) {
    const std::string before = CarFileText(m_current, Units::Imperial);
    EXPECT_FALSE(ImportCarFileForDialog(m_current, m_dir / "analog3.car", SetupKind::Rpm,
                                        Units::Imperial, m_host));
    EXPECT_EQ(m_host.MessageTexts(),
              std::vector<std::string>{"No RPM Setup Information found in the file!"});
    EXPECT_TRUE(m_host.questions.empty());
    EXPECT_EQ(CarFileText(m_current, Units::Imperial), before);

    FakeHost host;
    EXPECT_FALSE(ImportCarFileForDialog(m_current, m_dir / "analog3.car", SetupKind::Digital,
                                        Units::Imperial, host));
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{"No Digital Setup Information found in the file!"});
}

}  // namespace
}  // namespace orvex
