// Runs orvex-cli's logger commands against the logger simulator on a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "logger/LinkTestSupport.h"
#include "logger/config/TachConfig.h"
#include "support/CliRunner.h"

namespace orvex {

namespace {

using Bytes = std::vector<uint8_t>;

using test::CliResult;

// A firmware image for boot monitor 1.03 and the slow clock, version 2.25, at 0x2000: the
// banner "\nCorvane X", the text ",Boot V103", the version bytes 2 and 25 and the signature
// that points at the banner.
const char* const kImageHex =
    ":102000000A436F7276616E652058002C426F6F74C0\r\n"
    ":10201000205631303300020000197E1420007E0467\r\n"
    ":0320200000FF12AC\r\n"
    ":00000001FF\r\n";

Bytes ImageBytes() {
    const std::string text = std::string("\nCorvane X") + '\0' + ",Boot V103" + '\0';
    Bytes b(text.begin(), text.end());
    b.insert(b.end(), {2, 0, 0, 25, 0x7E, 0x14, 0x20, 0x00, 0x7E, 0x04, 0x00, 0xFF, 0x12});
    return b;
}

class LoggerCliTest : public test::LinkTest {
  protected:
    CliResult Cli(const std::string& args) {
        CliResult r = test::RunCli(args, {m_dir, m_dir + "/config"});
        m_stderr = r.err;
        return r;
    }
    // The command run against a freshly started simulator.
    CliResult CliOnSim(const std::string& args, const std::vector<std::string>& simArgs) {
        test::SimProcess sim(SimArgs(simArgs));
        EXPECT_TRUE(sim.Started());
        return Cli(args + " --port '" + sim.Path() + "'");
    }
    std::string Stderr() const { return m_stderr; }
    std::string m_stderr;
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(TempPath(name), std::ios::binary) << text;
    }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(LoggerCliTest, HexInfoDescribesTheImageAndRejectsDamagedFiles) {
    Write("fw.hex", kImageHex);
    const CliResult ok = Cli("hex-info fw.hex");
    ASSERT_EQ(ok.status, 0) << Stderr();
    EXPECT_EQ(ok.out,
              "file: fw.hex\nversion: V2.25\nboot version: 1.03\ncpu: slow\nbattery: no\n"
              "start: 0x2000\nend: 0x2022\n");

    // A record of type 02 fails the checksum rule; so does a spoiled checksum.
    for (const char* line : {":020000020000FC", ":0320200000FF12AD"}) {
        SCOPED_TRACE(line);
        Write("bad.hex", std::string(line) + "\r\n:00000001FF\r\n");
        EXPECT_EQ(Cli("hex-info bad.hex").status, 1);
        EXPECT_TRUE(Has(Stderr(), "Invalid check sum for following line:")) << Stderr();
    }
    EXPECT_NE(Cli("hex-info missing.hex").status, 0);
}

TEST_F(LoggerCliTest, ConfigRetrieveKeepsTheConfigurationsThatSendWritesBack) {
    std::array<CTachConfig, 4> configs;
    for (int i = 0; i < 4; ++i) {
        CTachConfig& c = configs[static_cast<std::size_t>(i)];
        c.m_nFreqStatus = static_cast<uint8_t>(1 + i);
        c.m_lAnalogStatus = 0x5u << i;
        c.m_nAutoStartTime = static_cast<uint16_t>(60 * (i + 1));
    }
    configs[1].m_nActive = 1;
    Bytes block;
    for (const CTachConfig& c : configs) {
        const Bytes r = c.EncodeRecord({20, true});
        block.insert(block.end(), r.begin(), r.end());
    }
    std::ofstream(TempPath("block-in"), std::ios::binary)
        .write(reinterpret_cast<const char*>(block.data()), static_cast<long>(block.size()));

    const CliResult got = CliOnSim("config retrieve", {"--config-in", TempPath("block-in")});
    ASSERT_EQ(got.status, 0) << Stderr();
    EXPECT_EQ(got.out, "retrieved: 4 configurations, configuration 2 active, 1 segment\n");

    // Without --yes the question about erasing the memory is answered No: nothing is sent.
    const CliResult refused =
        CliOnSim("config send --segments 4", {"--config-out", TempPath("block-out")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Has(Stderr(), "You are changing the number of recording sessions.")) << Stderr();
    EXPECT_TRUE(test::ReadFile(TempPath("block-out")).empty());

    const CliResult sent =
        CliOnSim("config send --segments 4 --yes", {"--config-out", TempPath("block-out")});
    ASSERT_EQ(sent.status, 0) << Stderr();
    EXPECT_EQ(sent.out, "sent: 4 configurations, configuration 2 active, 4 segments\n");
    EXPECT_EQ(test::ReadFile(TempPath("block-out")), block);
    EXPECT_TRUE(test::Contains(SimLog(), {'S', ' ', '4', 0x0D}));

    EXPECT_EQ(Cli("config send --segments 3 --port 1").status, 2);  // a usage error
    EXPECT_TRUE(Has(Stderr(), "--segments is 1, 2, 4 or 8")) << Stderr();
}

TEST_F(LoggerCliTest, FirmwareAnalyzeAndUpdateReloadTheImage) {
    const CliResult analysis = CliOnSim("firmware analyze", {"--firmware", "2.20", "--fast-cpu"});
    ASSERT_EQ(analysis.status, 0) << Stderr();
    EXPECT_EQ(analysis.out, "boot version: 1.03\ncpu: fast (22MHz)\nfirmware: V2.20\n");

    Write("fw.hex", kImageHex);
    const CliResult update = CliOnSim("firmware update --image fw.hex",
                                      {"--firmware", "2.20", "--flash-out", TempPath("flash")});
    ASSERT_EQ(update.status, 0) << Stderr();
    EXPECT_TRUE(Has(update.out, "updated to V2.25\n")) << update.out;
    EXPECT_EQ(test::ReadFile(TempPath("flash")), ImageBytes());
    EXPECT_TRUE(Has(Stderr(), "Firmware has been successfully updated on Data Logger."));

    // Going back to an older version needs --yes; an image for another clock is not sent.
    ::unlink(TempPath("flash").c_str());
    EXPECT_EQ(CliOnSim("firmware update --image fw.hex",
                       {"--firmware", "2.30", "--flash-out", TempPath("flash")})
                  .status,
              1);
    EXPECT_TRUE(Has(Stderr(), "older version of Firmware is NOT recommended")) << Stderr();
    EXPECT_EQ(
        CliOnSim("firmware update --image fw.hex", {"--fast-cpu", "--flash-out", TempPath("flash")})
            .status,
        1);
    EXPECT_TRUE(Has(Stderr(), "holds no image for this logger")) << Stderr();
    EXPECT_TRUE(test::ReadFile(TempPath("flash")).empty());
    ASSERT_EQ(CliOnSim("firmware update --image fw.hex --yes",
                       {"--firmware", "2.30", "--flash-out", TempPath("flash")})
                  .status,
              0)
        << Stderr();
    EXPECT_EQ(test::ReadFile(TempPath("flash")), ImageBytes());
}

TEST_F(LoggerCliTest, LivePrintsEveryPageOnceAndFailsWithoutALogger) {
    const CliResult live = CliOnSim("live --seconds 0", {"--rpm", "1,2", "--switches", "1"});
    ASSERT_EQ(live.status, 0) << Stderr();
    EXPECT_TRUE(Has(live.out, "RPM/MPH: #1 Engine=")) << live.out;
    EXPECT_TRUE(Has(live.out, "RPM Sensors: #1 Engine=")) << live.out;
    EXPECT_TRUE(Has(live.out, " #2 Rear Wheel=")) << live.out;

    const std::string nowhere = TempPath("no-such-port");
    EXPECT_EQ(Cli("live --seconds 0 --port '" + nowhere + "'").status, 1);
    EXPECT_EQ(Cli("config retrieve --port '" + nowhere + "'").status, 1);
    EXPECT_FALSE(Stderr().empty());
}

}  // namespace orvex
