// Colour sets and the colour-setup file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestPaths.h"
#include "graph/Color.h"
#include "support/CliRunner.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

class ColorFile : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::path(ORVEX_TEST_BINARY_DIR) / "test-color" /
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    std::string Write(const std::string& name, const std::string& text) {
        const fs::path p = m_dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path m_dir;
    test::FakeHost host;
};

TEST(Color, DefaultSets) {
    const CColor c0 = CColor::Default(0);
    EXPECT_EQ(c0.m_crMarker, MakeRGB(0, 0, 255));
    EXPECT_EQ(c0.m_crRpm[1], MakeRGB(255, 0, 0));
    EXPECT_EQ(c0.m_crRpm[4], MakeRGB(192, 192, 192));
    EXPECT_EQ(c0.m_crSlip[0], MakeRGB(128, 128, 128));
    EXPECT_EQ(c0.m_crSlip[3], MakeRGB(192, 255, 128));
    const CColor c2 = CColor::Default(2);  // c1 = 155, c2 = 92
    EXPECT_EQ(c2.m_crRpm[0], MakeRGB(0, 0, 155));
    EXPECT_EQ(c2.m_crRpm[3], MakeRGB(0, 92, 92));
    EXPECT_EQ(c2.m_crSlip[4], MakeRGB(128, 92, 155));
    EXPECT_EQ(CColor::Default(4), c0);
    struct Case {
        int i;
        ColorRef color;
    };
    for (const Case& k : {Case{0, MakeRGB(128, 128, 128)}, Case{1, 0}, Case{3, MakeRGB(0, 128, 0)},
                          Case{4, MakeRGB(128, 0, 128)}, Case{6, MakeRGB(128, 128, 0)},
                          Case{12, MakeRGB(128, 128, 128)}}) {
        EXPECT_EQ(c2.m_crAnalog[k.i], k.color) << k.i;
        if (k.i < 6) {
            EXPECT_EQ(c2.m_crDigital[k.i], k.color) << k.i;
        }
    }
    EXPECT_EQ(GetRValue(MakeRGB(1, 2, 3)), 1);
    EXPECT_EQ(GetBValue(MakeRGB(1, 2, 3)), 3);
    EXPECT_EQ(MakeRGB(1, 2, 3), 0x030201u);
}

TEST(Color, Names) {
    EXPECT_EQ(CColor::MarkerName(), "Marker");
    EXPECT_EQ(CColor::RpmName(0), "RPM #1");
    EXPECT_EQ(CColor::SlipName(4), "Slip #5");
    EXPECT_EQ(CColor::AnalogName(0), "Ana #0");
    EXPECT_EQ(CColor::DigitalName(5), "Dig #5");
}

TEST(Color, PartsConstructor) {
    const ColorRef rpm[5] = {1, 2, 3, 4, 5}, slip[5] = {6, 7, 8, 9, 10};
    ColorRef analog[20] = {}, digital[6] = {};
    analog[19] = 11;
    digital[5] = 12;
    const CColor c(rpm, slip, 13, analog, digital);
    EXPECT_EQ(c.m_crRpm[4], 5u);
    EXPECT_EQ(c.m_crSlip[0], 6u);
    EXPECT_EQ(c.m_crMarker, 13u);
    EXPECT_EQ(c.m_crAnalog[19], 11u);
    EXPECT_EQ(c.m_crDigital[5], 12u);
}

TEST(Color, WrittenText) {
    const std::string text = FormatColorText({CColor::Default(0)});
    std::string expected =
        "!Brio-Dash Color Setup File Version 2.0\n(\n"
        " RPM1: 0 0 255\n RPM2: 255 0 0\n RPM3: 0 192 0\n"
        " RPM4: 0 192 192\n RPM5: 192 192 192\n"
        " Slip#1: 128 128 128\n Slip#2: 192 0 192\n Slip#3: 192 192 0\n"
        " Slip#4: 192 255 128\n Slip#5: 128 192 255\n";
    const char* analog[] = {"128 128 128", "0 0 0",     "128 0 0",     "0 128 0",   "128 0 128",
                            "0 0 0",       "128 128 0", "0 0 0",       "128 0 128", "0 128 0",
                            "128 0 0",     "0 0 0",     "128 128 128", "0 0 0",     "128 0 0",
                            "0 128 0",     "128 0 128", "0 0 0",       "128 128 0", "0 0 0"};
    for (int i = 0; i < 20; ++i)
        expected += " Analog" + std::to_string(i + 1) + ": " + analog[i] + "\n";
    for (int i = 0; i < 6; ++i)
        expected += " Digital" + std::to_string(i + 1) + ": " + analog[i] + "\n";
    expected += ")\n";
    EXPECT_EQ(text, expected);
}

TEST_F(ColorFile, RoundTripKeepsEverythingButTheMarker) {
    const std::vector<CColor> sets = {CColor::Default(0), CColor::Default(1), CColor::Default(2)};
    const std::string path = (m_dir / "default.col").string();
    ASSERT_TRUE(WriteColorFile(path, sets, host));
    auto back = ReadColorFile(path, host);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 3u);
    for (std::size_t i = 0; i < sets.size(); ++i) {
        CColor expected = sets[i];
        expected.m_crMarker = 0;
        EXPECT_EQ((*back)[i], expected) << i;
    }
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);

    ASSERT_TRUE(WriteColorFile(path, {CColor::Default(3)}, host));  // replaces the old file
    EXPECT_EQ(Slurp(path), FormatColorText({CColor::Default(3)}));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(ColorFile, LegacyAndNumberedKeys) {
    const std::string path = Write("old.col",
                                   "!Brio-Dash Color Setup File Version 1.0\r\n"
                                   "(\r\n"
                                   "Tach: 255 0 0\r\n"
                                   "Axle: 0 255 0\r\n"
                                   "Lap: 1 2 3\r\n"
                                   "Slip: 4 5 6\r\n"
                                   "Wheel: 7 8 9\r\n"
                                   "FrtvsRear: 10 11 12\r\n"
                                   "Clutch: 13 14 15\r\n"
                                   "TransSlip: 16 17 18\r\n"
                                   " Analog20: 19 20 21\r\n"
                                   " Analog21: 99 99 99\r\n"
                                   " Analog0: 99 99 99\r\n"
                                   " Digital6: 22 23 24\r\n"
                                   " Digital7: 99 99 99\r\n"
                                   " RPM5: 25 26 27\r\n"
                                   " RPM6: 99 99 99\r\n"
                                   " Slip#2: 28 29 30\r\n"
                                   " Slip#5: 256 -1 300\r\n"
                                   "Tach: 1 2\r\n"
                                   "unknown line 1 2 3\r\n"
                                   ")\r\n"
                                   "(\r\n"
                                   " RPM1: 40 41 42" +
                                       std::string(100, ' ') +
                                       "\r\n"
                                       ")\r\n");
    auto sets = ReadColorFile(path, host);
    ASSERT_TRUE(sets);
    ASSERT_EQ(sets->size(), 2u);
    const CColor& c = (*sets)[0];
    EXPECT_EQ(c.m_crRpm[0], MakeRGB(255, 0, 0));
    EXPECT_EQ(c.m_crRpm[1], MakeRGB(0, 255, 0));
    EXPECT_EQ(c.m_crMarker, MakeRGB(1, 2, 3));
    EXPECT_EQ(c.m_crSlip[0], MakeRGB(4, 5, 6));
    EXPECT_EQ(c.m_crRpm[2], MakeRGB(7, 8, 9));
    EXPECT_EQ(c.m_crSlip[2], MakeRGB(10, 11, 12));
    EXPECT_EQ(c.m_crRpm[3], MakeRGB(13, 14, 15));
    EXPECT_EQ(c.m_crSlip[3], MakeRGB(16, 17, 18));
    EXPECT_EQ(c.m_crAnalog[19], MakeRGB(19, 20, 21));
    EXPECT_EQ(c.m_crAnalog[0], 0u);
    EXPECT_EQ(c.m_crDigital[5], MakeRGB(22, 23, 24));
    EXPECT_EQ(c.m_crRpm[4], MakeRGB(25, 26, 27));
    EXPECT_EQ(c.m_crSlip[1], MakeRGB(28, 29, 30));
    EXPECT_EQ(c.m_crSlip[4], MakeRGB(0, 255, 44));  // low byte of each number
    EXPECT_EQ((*sets)[1].m_crRpm[0], MakeRGB(40, 41, 42));
    EXPECT_EQ((*sets)[1].m_crSlip[0], 0u);  // every set starts black
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ColorFile, HeaderOnlyGivesNoSets) {
    auto sets = ReadColorFile(Write("none.col", "!Brio-Dash Color Setup File Version 2.0\n"), host);
    ASSERT_TRUE(sets);
    EXPECT_TRUE(sets->empty());
}

TEST_F(ColorFile, UnusableFilesAreReported) {
    struct Case {
        const char* name;
        const char* text;
        const char* message;
    };
    for (const Case& k : {Case{"empty.col", "", "This Color Setup file is empty"},
                          Case{"other.col", "[Settings]\nUnits=Metric\n",
                               "This file is not a Vexa-Log Color Setup file"},
                          Case{"blank.col", "\n!Brio-Dash Color\n",
                               "This file is not a Vexa-Log Color Setup file"}}) {
        host.messages.clear();
        EXPECT_FALSE(ReadColorFile(Write(k.name, k.text), host)) << k.name;
        ASSERT_EQ(host.MessageTexts(), std::vector<std::string>{k.message}) << k.name;
        EXPECT_EQ(host.messages[0].icon, Icon::Warning);
    }
    EXPECT_FALSE(ParseColorText("", host));
    EXPECT_EQ(host.messages.back().text, "This Color Setup file is empty");
}

TEST_F(ColorFile, MissingFileMessageOnlyWhenAsked) {
    const std::string path = (m_dir / "missing.col").string();
    EXPECT_FALSE(ReadColorFile(path, host, false));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(ReadColorFile(path, host, true));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File could not be opened error # 2"});
    host.messages.clear();
    EXPECT_FALSE(ReadColorFile(m_dir.string(), host, true));  // a folder is no file
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File could not be opened error # 21"});
}

TEST_F(ColorFile, WriteFailureIsReportedAndLeavesTheOldFile) {
    EXPECT_FALSE(WriteColorFile((m_dir / "no-such-dir" / "x.col").string(), {}, host));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File could not be opened error # 2"});
    EXPECT_EQ(host.messages[0].icon, Icon::Warning);

    // The finished file cannot replace a folder of that name: nothing is left behind.
    fs::create_directories(m_dir / "taken.col");
    Write("taken.col/inside", "old contents");
    host.messages.clear();
    EXPECT_FALSE(WriteColorFile((m_dir / "taken.col").string(), {CColor::Default(0)}, host));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File could not be opened error # 21"});
    EXPECT_EQ(Slurp((m_dir / "taken.col" / "inside").string()), "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(ColorFile, ParsesTextInMemory) {
    auto sets = ParseColorText(FormatColorText({CColor::Default(1)}), host);
    ASSERT_TRUE(sets);
    ASSERT_EQ(sets->size(), 1u);
    EXPECT_EQ((*sets)[0].m_crRpm[1], MakeRGB(205, 0, 0));
}

TEST_F(ColorFile, CommandLineListsTheSets) {
    const std::string path = Write("cli.col", FormatColorText({CColor::Default(0)}));
    test::CliResult r = test::RunCli("colors '" + path + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("1 color set\nSet 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  RPM #2:  255   0   0\n"), std::string::npos) << r.out;

    r = test::RunCli("colors '" + Write("bad.col", "x") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("This file is not a Vexa-Log Color Setup file"), std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace orvex
