#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "logger/LinkTestSupport.h"
#include "logger/firmware/FirmwareUpdate.h"

namespace orvex {

namespace {

using test::Contains;
using test::Count;

// An image of `size` bytes from 0x2000 with the given identification.
CIntelHexFile Image(long size, int version, int boot, bool fast) {
    CIntelHexFile h;
    for (long i = 0; i < size; ++i)
        h.m_image[static_cast<std::size_t>(0x2000 + i)] = static_cast<uint8_t>(i * 13 + 1);
    h.m_nStart = 0x2000;
    h.m_nEnd = static_cast<int32_t>(0x2000 + size - 1);
    h.m_nVersion = version;
    h.m_bVersionFound = 1;
    h.m_nBootVersion = boot;
    h.m_bFastCpu = fast;
    return h;
}

class FirmwareTest : public test::LinkTest {
  protected:
    std::unique_ptr<CFirmwareDlg> Dialog(const std::string& device) {
        m_lines.push_back(MakePosixSerialLine());
        return std::make_unique<CFirmwareDlg>(*m_lines.back(), m_host, Options(device), false,
                                              m_dir,
                                              [this](const std::string& title, const std::string&) {
                                                  m_chooserTitles.push_back(title);
                                                  return std::optional<std::string>();
                                              });
    }
    std::vector<std::unique_ptr<ISerialLine>> m_lines;  // outlive the dialogs using them
    std::vector<std::string> m_chooserTitles;
};

}  // namespace

TEST_F(FirmwareTest, AnalysisTellsOldAndNewBootMonitorsApart) {
    struct Case {
        std::vector<std::string> args;
        int boot;
        std::string version;
        bool fast;
    };
    const std::vector<Case> cases = {
        {{"--in-boot", "--boot-version", "102"}, 102, "V2.24", false},
        {{"--boot-version", "103", "--fast-cpu", "--battery"}, 103, "V2.24 w/Battery", true},
        {{"--in-boot", "--boot-version", "103"}, 103, "V2.24", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        m_host = test::FakeHost();
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--firmware", "2.24"});
        test::SimProcess sim(SimArgs(args));
        auto dlg = Dialog(sim.Path());
        ASSERT_TRUE(dlg->AnalyzeLogger());
        EXPECT_EQ(dlg->BootVersion(), c.boot);
        EXPECT_EQ(dlg->FastCpu(), c.fast);
        EXPECT_EQ(dlg->CurrentVersionText(), c.version);
        EXPECT_TRUE(Showed(2, "Analysis Complete."));
        EXPECT_TRUE(Contains(SimLog(), {'B', 'O', 'O', 'T', '\r'}));  // left in the boot monitor
        dlg->OnExit();
        EXPECT_TRUE(LogEndsWith({'E', 'X', 'I', 'T', '\r'}));
    }
    // An old monitor's messages: the missing identification is reported on the way.
    EXPECT_EQ(m_host.titles.front(), "Analyzing Data Logger.");
}

TEST_F(FirmwareTest, ASignOnWithoutCopyrightAsksForTheProcessorSpeed) {
    test::SimProcess sim(SimArgs({"--no-copyright", "--fast-cpu"}));
    auto dlg = Dialog(sim.Path());
    m_host.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(dlg->AnalyzeLogger());
    EXPECT_EQ(m_host.questions, (std::vector<std::string>{
                                    "Can NOT establish Processor Speed! Proceeding could cause "
                                    "the wrong firmware to be loaded!\nDo you wish to continue?",
                                    "Does the Data Logger have a Fast CPU clock?"}));
    EXPECT_TRUE(dlg->FastCpu());

    m_host = test::FakeHost();
    test::SimProcess again(SimArgs({"--no-copyright"}));
    auto refused = Dialog(again.Path());
    EXPECT_FALSE(refused->AnalyzeLogger());
    EXPECT_EQ(m_host.questions.size(), 1u);
}

TEST_F(FirmwareTest, OnlyImagesForTheLoggersBootMonitorAndClockAreOffered) {
    std::vector<CIntelHexFile> images = {Image(10, 224, 103, false), Image(10, 230, 102, false),
                                         Image(10, 231, 103, true), Image(10, 225, 103, false)};
    images[3].m_bBattery = 1;
    {
        const std::vector<uint8_t> bytes = FirmwareArchiveBytes(images);
        std::ofstream out(TempPath("all.cfw"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    test::SimProcess sim(SimArgs({"--firmware", "2.20"}));
    auto dlg = Dialog(sim.Path());
    dlg->OnAnalyze();
    EXPECT_EQ(dlg->ListTexts(), (std::vector<std::string>{"V2.24", "V2.25 w/Battery"}));
    EXPECT_EQ(dlg->ButtonCaption(), "Update");
    EXPECT_EQ(dlg->Selected(), 0);
    dlg->OnExit();

    // A slow logger with a 102 monitor and no image of its own: the user is asked to look.
    std::remove(TempPath("all.cfw").c_str());
    m_host = test::FakeHost();
    m_host.answers = {Answer::Yes};
    test::SimProcess old(SimArgs({"--in-boot", "--boot-version", "102"}));
    auto none = Dialog(old.Path());
    none->OnAnalyze();
    EXPECT_EQ(m_host.questions.back(),
              "No Firmware Files found!\nDo you want to try and locate them yourself?");
    EXPECT_EQ(m_chooserTitles, std::vector<std::string>{"Select Folder for Hex Files."});
    EXPECT_EQ(none->ButtonCaption(), "Analyze");
    none->OnExit();
}

TEST_F(FirmwareTest, AReloadSendsLengthBlocksAndChecksum) {
    const CIntelHexFile image = Image(300, 224, 103, false);
    std::vector<uint8_t> wire = {0x2C, 0x01};
    unsigned sum = 0;
    for (int i = 0; i < 300; ++i) {
        wire.push_back(image.m_image[static_cast<std::size_t>(0x2000 + i)]);
        sum += wire.back();
    }
    wire.push_back(static_cast<uint8_t>(0x100 - (sum & 0xFF)));

    test::SimProcess sim(SimArgs({"--in-boot", "--flash-out", TempPath("flash"), "--flash-naks",
                                  "1", "--reerase-ms", "700"}));
    auto dlg = Dialog(sim.Path());
    ASSERT_TRUE(dlg->AnalyzeLogger());
    m_host.answers = {Answer::Yes};
    ASSERT_TRUE(dlg->SendFirmware(image)) << ::testing::PrintToString(m_host.MessageTexts());
    EXPECT_EQ(
        m_host.questions,
        std::vector<std::string>{"Failed to correctly send Firmware.\nDo you wish to try again?"});
    const std::vector<uint8_t> log = SimLog();
    EXPECT_EQ(log.front(), 0xE0);
    EXPECT_EQ(Count(log, wire), 2);
    EXPECT_EQ(test::ReadFile(TempPath("flash")),
              std::vector<uint8_t>(wire.begin() + 2, wire.end() - 1));
    for (const char* step : {"0% Sent", "42% Sent", "85% Sent"})
        EXPECT_TRUE(Showed(3, step)) << step;
    EXPECT_EQ(m_host.titles.back(), "Change Firmware on Data Logger.");
}

TEST_F(FirmwareTest, ALoggerThatAbortsTheReloadFailsTheUpdate) {
    test::SimProcess sim(SimArgs({"--in-boot", "--flash-abort", "--firmware", "2.20"}));
    auto dlg = Dialog(sim.Path());
    {
        const std::vector<uint8_t> bytes = FirmwareArchiveBytes({Image(40, 224, 103, false)});
        std::ofstream out(TempPath("one.cfw"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    dlg->OnAnalyze();
    ASSERT_EQ(dlg->ButtonCaption(), "Update");
    EXPECT_FALSE(dlg->OnUpdate());
    EXPECT_EQ(m_host.MessageTexts(),
              (std::vector<std::string>{
                  "Data Logger aborted Firmware Download!",
                  "Failed to update Firmware on Data Logger.\nConsult your vendor for help!"}));
    EXPECT_EQ(dlg->CurrentVersionText(), "V2.20");
}

}  // namespace orvex
