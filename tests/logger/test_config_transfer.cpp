#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "logger/LinkTestSupport.h"
#include "logger/config/ConfigTransfer.h"
#include "support/FakeHost.h"
#include "support/PtyPair.h"

namespace orvex {

namespace {

using Bytes = std::vector<uint8_t>;

// Four configurations that differ from the defaults and from each other.
std::array<CTachConfig, 4> SampleConfigs() {
    std::array<CTachConfig, 4> c;
    for (int i = 0; i < 4; ++i) {
        CTachConfig& t = c[static_cast<std::size_t>(i)];
        t.m_nFreqStatus = static_cast<uint8_t>(1 + i);
        t.m_lAnalogStatus = 0x3 << i;
        t.m_nSwitchStatus = static_cast<uint8_t>(i);
        t.m_freq[0].m_nDivider = static_cast<uint8_t>(10 + i);
        t.m_analog[2].m_nKind = static_cast<uint8_t>(7 + i);
        t.m_nEqnFlags = static_cast<uint8_t>(i == 3 ? 0x41 : 0);
        t.m_nAutoStartTime = static_cast<uint16_t>(1 + 1200 * i);
        t.m_eqn[0][0] = TachTerm{0x80, 1, static_cast<uint16_t>(4608 + i), 7};
    }
    c[2].m_nActive = 1;
    return c;
}

Bytes Block(const std::array<CTachConfig, 4>& configs, const TachRecordForm& form) {
    Bytes block;
    for (const CTachConfig& c : configs) {
        const Bytes r = c.EncodeRecord(form);
        block.insert(block.end(), r.begin(), r.end());
    }
    return block;
}

using test::Contains;
using test::Count;
using test::EndsWith;
using test::ReadFile;

class ConfigTransferTest : public test::LinkTest {
  protected:
    bool Retrieve(std::vector<std::string> args) {
        test::SimProcess sim(SimArgs(std::move(args)));
        EXPECT_TRUE(sim.Started());
        auto line = MakePosixSerialLine();
        return RetrieveConfiguration(*line, false, m_work, Options(sim.Path()), m_host);
    }
    bool Send(std::vector<std::string> args, bool shared = false) {
        test::SimProcess sim(SimArgs(std::move(args)));
        EXPECT_TRUE(sim.Started());
        auto line = MakePosixSerialLine();
        return SendConfiguration(*line, shared, m_work, m_channels, Options(sim.Path()), m_host);
    }
    Bytes WriteBlockFile(const Bytes& block) {
        std::ofstream out(TempPath("block-in"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<long>(block.size()));
        return block;
    }

    CConfigWorkset m_work;
    EquationChannels m_channels;
};

}  // namespace

TEST_F(ConfigTransferTest, RetrieveReadsEveryAnnouncedBlockSize) {
    const std::array<CTachConfig, 4> sample = SampleConfigs();
    for (long size : {316L, 324L, 976L, 984L}) {
        SCOPED_TRACE(size);
        m_host = test::FakeHost();
        m_work = CConfigWorkset();
        const TachRecordForm form = *TachRecordForm::FromBlockSize(size);
        WriteBlockFile(Block(sample, form));
        ASSERT_TRUE(Retrieve({"--config-bytes", std::to_string(size), "--config-in",
                              TempPath("block-in"), "--sessions", "2"}))
            << ::testing::PrintToString(m_host.MessageTexts());
        EXPECT_TRUE(m_host.messages.empty()) << ::testing::PrintToString(m_host.MessageTexts());
        for (std::size_t i = 0; i < 4; ++i) {
            CTachConfig expected;
            expected.DecodeRecord(sample[i].EncodeRecord(form), form);
            EXPECT_EQ(m_work.configs[i], expected) << i;
        }
        EXPECT_EQ(m_work.configs[1].m_analog[2].m_nKind, 8);
        EXPECT_EQ(m_work.configs[3].m_nEqnFlags, form.m_bEquations ? 0x41 : 0x38);
        EXPECT_EQ(m_work.shown, 2);
        EXPECT_EQ(m_work.segments, 2);
        EXPECT_EQ(m_host.titles.front(), "Retrieving Configuration from Kavrane Data");
        const Bytes log = SimLog();
        EXPECT_TRUE(Contains(log, {0xE0, 0x98, 'U', '\r', 0x06}));
        EXPECT_TRUE(EndsWith(log, {'\r', 'Q', '\r', '\r'}));
    }
}

TEST_F(ConfigTransferTest, UnknownBlockSizeEndsTheRetrieveAndLeavesTheMenu) {
    const std::array<CTachConfig, 4> before = m_work.configs;
    EXPECT_FALSE(Retrieve({"--config-bytes", "500"}));
    EXPECT_EQ(
        m_host.MessageTexts(),
        std::vector<std::string>{"Unknown Config Size = 500!.\nContact your vendor for help."});
    EXPECT_EQ(m_work.configs, before);
    const Bytes log = SimLog();
    EXPECT_FALSE(Contains(log, {'U', '\r', 0x06}));
    EXPECT_TRUE(EndsWith(log, {'\r', 'Q', '\r', '\r'}));
}

TEST_F(ConfigTransferTest, BadRecordsAreAskedForAgainUpToFiveTimes) {
    const Bytes block = WriteBlockFile(Block(SampleConfigs(), {20, true}));
    // The simulator spoils byte 3 of the second record.
    const uint8_t badSum = static_cast<uint8_t>((block[246 + 3] ^ 0x5A) - block[246 + 3]);
    char text[80];
    std::snprintf(text, sizeof text, "Check-Sum Failure with Config #2 (Check-Sum=0x%02X)!",
                  badSum);

    ASSERT_TRUE(Retrieve({"--config-in", TempPath("block-in"), "--config-bad", "1"}));
    EXPECT_EQ(m_host.MessageTexts(), std::vector<std::string>{text});
    EXPECT_EQ(m_work.configs[2].m_nActive & 1, 1);
    Bytes log = SimLog();
    EXPECT_EQ(Count(log, {0x15, 0x16}), 1);
    EXPECT_EQ(Count(log, {0x15, 0x15}), 0);

    m_host = test::FakeHost();
    m_work = CConfigWorkset();
    EXPECT_FALSE(Retrieve({"--config-in", TempPath("block-in"), "--config-bad", "5"}));
    std::vector<std::string> expected(5, text);
    char whole[80];
    std::snprintf(whole, sizeof whole, "Check Sum Failure during Upload (Check-Sum=0x%02X)!",
                  badSum);
    expected.push_back(whole);
    EXPECT_EQ(m_host.MessageTexts(), expected);
    EXPECT_EQ(m_work.configs, CConfigWorkset().configs);
    log = SimLog();
    EXPECT_EQ(Count(log, {0x15, 0x16}), 4);
    EXPECT_EQ(Count(log, {0x15, 0x15}), 1);
    EXPECT_TRUE(EndsWith(log, {'\r', 'Q', '\r', '\r'}));
}

TEST_F(ConfigTransferTest, SendWritesTheFourRecordsAfterAskingToChangeTheSegments) {
    m_work.configs = SampleConfigs();
    m_work.segments = 4;
    m_host.answers = {Answer::Yes};
    ASSERT_TRUE(Send({"--sessions", "2", "--config-out", TempPath("block-out")}))
        << ::testing::PrintToString(m_host.MessageTexts());
    EXPECT_TRUE(m_host.messages.empty()) << ::testing::PrintToString(m_host.MessageTexts());
    ASSERT_EQ(m_host.questions.size(), 1u);
    EXPECT_EQ(m_host.questions[0],
              "You are changing the number of recording sessions.\nThis will erase all memory in "
              "the box.\nDo you wish to continue?");
    const Bytes log = SimLog();
    EXPECT_TRUE(Contains(log, {'C', 0x0D, 'S', ' ', '4', 0x0D, 'X', 0x0D}));
    EXPECT_TRUE(Contains(log, {'D', '\r', 0x06}));
    EXPECT_TRUE(EndsWith(log, {'\r', 'Q', '\r', '\r'}));
    EXPECT_EQ(ReadFile(TempPath("block-out")), Block(m_work.configs, {20, true}));
    EXPECT_EQ(m_host.titles.front(), "Sending Configuration to Kavrane Data");

    // Declining the erase leaves the logger's memory and configurations alone.
    m_host = test::FakeHost();
    ::unlink(TempPath("block-out").c_str());
    EXPECT_FALSE(Send({"--sessions", "2", "--config-out", TempPath("block-out")}));
    EXPECT_EQ(m_host.questions.size(), 1u);
    const Bytes declined = SimLog();
    EXPECT_FALSE(Contains(declined, {'C', 0x0D}));
    EXPECT_FALSE(Contains(declined, {'D', 0x0D}));
    EXPECT_TRUE(EndsWith(declined, {'\r', 'Q', '\r', '\r'}));
    EXPECT_TRUE(ReadFile(TempPath("block-out")).empty());
}

TEST_F(ConfigTransferTest, OlderFirmwareQuestionsCancelTheDownload) {
    struct Case {
        const char* bytes;
        uint32_t analogs;
        uint8_t eqnFlags;
        std::string question;
    };
    const std::vector<Case> cases = {
        {"976", 1u << 19, 0,
         "You have enabled the Battery Voltage channel but the current\nversion of Firmware "
         "does NOT support it and will be ignored.\nDo you still wish to continue?"},
        {"324", 1, 0x02,
         "You have enabled the Auto-Start and/or the Output channels but the\ncurrent version "
         "of Firmware does NOT support it and will be ignored.\nDo you still wish to "
         "continue?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        m_host = test::FakeHost();
        m_work = CConfigWorkset();
        m_work.configs[0].m_nActive = 1;
        m_work.configs[1].m_lAnalogStatus = static_cast<int32_t>(c.analogs);
        m_work.configs[1].m_nEqnFlags = c.eqnFlags;
        EXPECT_FALSE(Send({"--config-bytes", c.bytes}));
        EXPECT_EQ(m_host.questions, std::vector<std::string>{c.question});
        const Bytes log = SimLog();
        EXPECT_TRUE(Contains(log, {'D', '\r', 0x15, 0x00}));
        EXPECT_TRUE(EndsWith(log, {'\r', 'Q', '\r', '\r'}));
    }
}

TEST_F(ConfigTransferTest, SendIsRefusedWithoutActiveConfigurationOrOnASharedPort) {
    EXPECT_FALSE(Send({}));
    EXPECT_EQ(m_host.MessageTexts(),
              std::vector<std::string>{"Download Aborted! No Active Configuration Selected!"});
    EXPECT_TRUE(m_host.titles.empty());
    EXPECT_TRUE(SimLog().empty());

    m_host = test::FakeHost();
    m_work.configs[3].m_nActive = 1;
    EXPECT_FALSE(Send({}, true));
    EXPECT_EQ(m_host.MessageTexts(),
              std::vector<std::string>{"Download NOT supported with shared Communication Port!"});
    EXPECT_TRUE(SimLog().empty());

    m_host = test::FakeHost();
    auto line = MakePosixSerialLine();
    EXPECT_FALSE(RetrieveConfiguration(*line, true, m_work, Options("/nonexistent"), m_host));
    EXPECT_EQ(m_host.MessageTexts(),
              std::vector<std::string>{"Upload NOT supported with shared Communication Port!"});
}

TEST_F(ConfigTransferTest, ANewLoggerClockReexpressesThresholdsAndAutoStart) {
    CFreqSetup engine = CFreqSetup::Make(1, 1, Units::Imperial);
    engine.m_nPPR = 4;
    m_channels.m_pFreq[0] = &engine;
    m_work.configs[0].m_nActive = 1;
    CTachConfig& c = m_work.configs[1];
    c.m_nFreqStatus = 1;
    c.m_nEqnFlags = 0x41;
    c.m_nAutoStartTime = 1 + 200 * 120;                     // two minutes
    c.m_eqn[0][0] = TachTerm{0x80, 1, 4608, 0};             // engine above 1000 RPM
    c.m_eqn[1][0] = TachTerm{0x80 | 0x60 | 2, 1, 1234, 0};  // analog terms stay as they are
    m_work.segments = 1;
    // 400 samples a second and a period timer of 153600 counts a second.
    ASSERT_TRUE(Send({"--clock", "11059200,12,2304,6", "--config-out", TempPath("block-out")}))
        << ::testing::PrintToString(m_host.MessageTexts());
    for (const CTachConfig& w : m_work.configs) {
        EXPECT_EQ(w.m_nClockRate, 400);
        EXPECT_FLOAT_EQ(w.m_fPcaClock, 153600.0f);
    }
    EXPECT_EQ(c.m_nAutoStartTime, 1 + 400 * 120);
    EXPECT_EQ(c.m_eqn[0][0].m_nValue, 2304);
    EXPECT_EQ(c.m_eqn[1][0].m_nValue, 1234);
    const Bytes out = ReadFile(TempPath("block-out"));
    ASSERT_EQ(out.size(), 984u);
    CTachConfig sent;
    ASSERT_EQ(sent.DecodeRecord(out.data() + 246, 246, {20, true}), TachDecode::Read);
    EXPECT_EQ(sent.m_nAutoStartTime, 1 + 400 * 120);
    EXPECT_EQ(sent.m_eqn[0][0].m_nValue, 2304);
}

TEST_F(ConfigTransferTest, ARefusedBlockIsSentAgain) {
    m_work.configs[0].m_nActive = 1;
    ASSERT_TRUE(Send({"--config-naks", "1", "--config-out", TempPath("block-out")}));
    EXPECT_TRUE(Showed(3, "Bad Transmission #1, Trying again!"));
    EXPECT_EQ(ReadFile(TempPath("block-out")), Block(m_work.configs, {20, true}));
}

}  // namespace orvex
