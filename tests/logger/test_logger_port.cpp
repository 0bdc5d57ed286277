#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "logger/link/Framing.h"
#include "logger/link/LoggerPort.h"
#include "logger/link/SerialLine.h"
#include "support/FakeHost.h"
#include "support/PtyPair.h"

namespace orvex {

using Bytes = std::vector<uint8_t>;

TEST(Framing, ChecksumBringsTheSumToZero) {
    const Bytes data{0x10, 0x20, 0xF0};
    EXPECT_EQ(PacketChecksum(data.data(), data.size()), 0xE0);
    EXPECT_EQ(PacketChecksum(nullptr, 0), 0x00);
    EXPECT_TRUE(PacketSumValid(Bytes{0x10, 0x20, 0xF0, 0xE0}.data(), 4));
    EXPECT_FALSE(PacketSumValid(Bytes{0x10, 0x20, 0xF0, 0xE1}.data(), 4));
    EXPECT_TRUE(PacketLengthValid(512));
    EXPECT_FALSE(PacketLengthValid(513));
}

TEST(Framing, FramedPacketIsStxLengthLowFirstDataSum) {
    Bytes data(0x0103, 0x01);
    Bytes framed = FramePacket(data.data(), data.size());
    ASSERT_EQ(framed.size(), 0x0103u + 4);
    EXPECT_EQ(framed[0], 0x02);
    EXPECT_EQ(framed[1], 0x03);
    EXPECT_EQ(framed[2], 0x01);
    EXPECT_EQ(framed.back(), 0xFD);  // 0x103 ones sum to 0x03
}

TEST(SerialLine, ParsesSettingsAndPortNumbers) {
    LineSettings ls;
    ASSERT_TRUE(ParseLineSettings("38400,N,8,1", ls));
    EXPECT_EQ(ls.baud, 38400);
    EXPECT_FALSE(ParseLineSettings("9600,X,8,1", ls));
    EXPECT_FALSE(ParseLineSettings("fast", ls));
    ::unsetenv("ORVEX_COM3");
    EXPECT_EQ(ResolvePortArgument("3"), "/dev/ttyS2");
    ::setenv("ORVEX_COM3", "/dev/ttyUSB0", 1);
    EXPECT_EQ(ResolvePortArgument("3"), "/dev/ttyUSB0");
    ::unsetenv("ORVEX_COM3");
    EXPECT_EQ(ResolvePortArgument("/dev/pts/7"), "/dev/pts/7");
}

// A port on a scripted pseudo-terminal with short waits.
class LoggerPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_line->Open(m_pty.SlavePath(), kSettings9600)) << m_line->LastError();
        CLinkTiming t;
        t.wakeInterval = 0.02;
        t.packetIdle = 0.05;
        t.bytesIdle = 0.05;
        t.resendInterval = 0.05;
        t.drainTime = 0.05;
        t.insidePacketIdle = 0.1;
        t.delayScale = 0.01;
        m_port.SetTiming(t);
        m_port.SetStatusWindow(m_window.get());
    }
    Bytes Packet(const Bytes& data) { return FramePacket(data.data(), data.size()); }
    Bytes Join(std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
        return out;
    }
    Bytes Received(std::size_t& length, long mode = 0) {
        uint8_t buffer[520] = {};
        if (!m_port.ReceivePacket(buffer, length, mode)) return {};
        return Bytes(buffer, buffer + length);
    }
    std::string LastLine4() const {
        std::string s;
        for (auto& [line, text] : m_host.statuses)
            if (line == kLinkLine4) s = text;
        return s;
    }

    test::PtyPair m_pty;
    std::unique_ptr<ISerialLine> m_line = MakePosixSerialLine();
    test::FakeHost m_host;
    std::unique_ptr<IProgress> m_window = m_host.OpenProgress("link");
    CLoggerPort m_port{*m_line, m_host};
};

TEST_F(LoggerPortTest, WakeUpNeedsTheFullAnswer) {
    struct Case {
        Bytes answer;
        bool accepted;
    } cases[] = {
        {{0x90, 0x06}, false},
        {{0x16, 0x16, 0x90, 0x06}, true},
        {{0x41, 0x00, 0x16, 0x90, 0x06}, true},
        {{0x16, 0x90, 0x41, 0x06}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        m_pty.Write(c.answer);
        EXPECT_EQ(m_port.WakeLogger(), c.accepted) << ::testing::PrintToString(c.answer);
        Bytes sent = m_pty.ReadFor(10);
        if (!c.accepted) {
            EXPECT_EQ(sent, Bytes(5, 0x90));  // five wake-up bytes, then give up
        }
        m_line->DiscardInput();
    }
}

TEST_F(LoggerPortTest, WriteAwaitReplyWithoutRetriesFailsAtOnce) {
    m_pty.Write({0x55});
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const uint8_t cmd[] = {0xE0};
    EXPECT_FALSE(m_port.WriteAwaitReply(cmd, 1));
    EXPECT_EQ(m_pty.ReadFor(10), Bytes{0xE0});
    m_port.SetRetries(1);
    EXPECT_TRUE(m_port.WriteAwaitReply(cmd, 1));
    EXPECT_EQ(m_port.InBufferCount(), 1u);  // the reply stays waiting
}

TEST_F(LoggerPortTest, BadSumAndOverlongLengthAreRefusedThenTheRepeatIsTaken) {
    const Bytes data{0x11, 0x22, 0x33};
    Bytes bad = Packet(data);
    bad.back() = static_cast<uint8_t>(bad.back() + 1);           // sum becomes 0x01
    m_pty.Write(Join({bad, {0x02, 0x01, 0x02}, Packet(data)}));  // length 513, no data read
    std::size_t length = 0;
    EXPECT_EQ(Received(length), data);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(m_pty.ReadFor(20), (Bytes{0x15, 0x15, 0x06}));
}

TEST_F(LoggerPortTest, SynAnswersFirstAfterOtherByteThenEveryTwentieth) {
    struct Case {
        Bytes before;
        int syns;
        int answers;
    } cases[] = {
        {{0x41}, 21, 2}, {{0x41}, 20, 1}, {{0x41}, 41, 3}, {{}, 255, 0}, {{}, 256, 1},
    };
    for (const Case& c : cases) {
        Bytes in = c.before;
        in.insert(in.end(), static_cast<std::size_t>(c.syns), 0x16);
        m_pty.Write(Join({in, Packet({0x07})}));
        std::size_t length = 0;
        EXPECT_EQ(Received(length), Bytes{0x07});
        Bytes expected(static_cast<std::size_t>(c.answers), 0x16);
        expected.push_back(0x06);
        EXPECT_EQ(m_pty.ReadFor(20), expected) << c.syns;
    }
}

TEST_F(LoggerPortTest, TwoBytePacketInModeTwoAndStxRuns) {
    m_pty.Write(Join({{0x02, 0x02}, Packet({0xAB, 0x02})}));
    std::size_t length = 0;
    EXPECT_EQ(Received(length, 2), (Bytes{0xAB, 0x02}));
    EXPECT_EQ(length, 2u);
    m_pty.Write(Join({{0x02, 0x02}, Packet({0x00, 0x01, 0x02, 0x03})}));
    EXPECT_EQ(Received(length, 4), (Bytes{0x00, 0x01, 0x02, 0x03}));
}

TEST_F(LoggerPortTest, QuietLineWakesTheLoggerAndResendsTheCommandPerRetry) {
    m_port.Write({0xE0});
    m_pty.ReadFor(5);
    m_port.SetRetries(1);
    std::size_t length = 0;
    EXPECT_TRUE(Received(length).empty());
    Bytes expected(5, 0x90);
    expected.push_back(0xE0);
    EXPECT_EQ(m_pty.ReadFor(20), expected);
    EXPECT_EQ(m_port.LastOutput(), Bytes{0xE0});
}

TEST_F(LoggerPortTest, LineDeadInsideAPacketEndsTheReceive) {
    m_pty.Write({0x02, 0x10, 0x00, 0x01, 0x02});
    std::size_t length = 0;
    EXPECT_TRUE(Received(length).empty());
}

TEST_F(LoggerPortTest, WaitForBytesReportsAQuietLogger) {
    m_pty.Write({0x01, 0x02});
    uint8_t buffer[5] = {};
    EXPECT_FALSE(m_port.WaitForBytes(buffer, 4, m_window.get()));
    EXPECT_EQ(LastLine4(), "Kavrane Data Data Logger NOT responding...");
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].text, "Kavrane Data Data Logger NOT responding...");
    m_pty.Write({0x03, 0x04});
    EXPECT_TRUE(m_port.WaitForBytes(buffer, 4, m_window.get()));
    EXPECT_EQ(Bytes(buffer, buffer + 5), (Bytes{1, 2, 3, 4, 0}));
}

TEST_F(LoggerPortTest, WaitForTextMatchesAcrossReadsAndWaitsForLineEnd) {
    std::thread feeder([this] {
        for (const char* part : {"Main Me", "nu: ver", "sion 2\r", "\n>"}) {
            std::string s = part;
            m_pty.Write(Bytes(s.begin(), s.end()));
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    });
    std::string out;
    EXPECT_TRUE(m_port.WaitForText("Menu: ver", 1.0f, true, &out, 100, m_window.get()));
    feeder.join();
    EXPECT_EQ(out, "Main Menu: version 2\r\n");
    m_pty.Write({'a', 'b', 'c'});
    EXPECT_FALSE(m_port.WaitForText("abc", 0.05f, true, nullptr, 0, m_window.get()));
    EXPECT_EQ(LastLine4(), "Kavrane Data Data Logger NOT responding...");
    EXPECT_TRUE(m_host.messages.empty());
}

TEST_F(LoggerPortTest, AbortEndsEveryWait) {
    m_host.abortAfterPumps = 0;
    uint8_t buffer[600];
    std::size_t length = 0;
    m_port.SetRetries(3);
    EXPECT_FALSE(m_port.WakeLogger());
    EXPECT_FALSE(m_port.ReceivePacket(buffer, length, 0));
    EXPECT_FALSE(m_port.WaitForText("x", 0, false, nullptr, 0, m_window.get()));
    EXPECT_EQ(LastLine4(), "User Aborted Upload...");
    m_host.statuses.clear();
    EXPECT_FALSE(m_port.WaitForBytes(buffer, 8, m_window.get()));
    EXPECT_EQ(LastLine4(), "User Aborted Upload...");
    EXPECT_EQ(m_host.MessageTexts(),
              std::vector<std::string>{"Failed to establish communications wih Data Logger"});
    const uint8_t cmd[] = {0xE0};
    EXPECT_FALSE(m_port.WriteAwaitReply(cmd, 1));
    m_port.ClearAbort();
    m_host.abortAfterPumps = -1;
    m_pty.Write({0x16, 0x90, 0x06});
    EXPECT_TRUE(m_port.WakeLogger());
}

TEST_F(LoggerPortTest, AbortIsSeenEvenWithThePacketAlreadyWaiting) {
    // A fast line has the next packet in hand each time the program asks for one.
    const Bytes waiting = Packet({1, 2, 3});
    m_pty.Write(waiting);
    ASSERT_TRUE(m_line->WaitForInput(waiting.size(), 2000));
    m_host.abortAfterPumps = 0;
    std::size_t length = 0;
    EXPECT_TRUE(Received(length).empty());
}

}  // namespace orvex

namespace orvex {
namespace {

// A simulator left behind by a test that died (its starter gone, no host ever talking) ends by
// itself, so nothing waits on its output for ever.
TEST(Simulator, EndsWhenItsStarterHasGone) {
    const std::string sim = test::SimulatorPath();
    if (sim.empty()) GTEST_SKIP() << "no simulator";
    const std::string command = "'" + sim + "' --idle-exit 200 >/dev/null 2>&1 & echo $!; sleep 1";
    FILE* p = ::popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    int pid = 0;
    ASSERT_EQ(std::fscanf(p, "%d", &pid), 1);
    ::pclose(p);  // the shell that started it has ended
    auto running = [pid] {
        std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
        if (!f) return false;
        int id = 0;
        char name[256] = {}, state = 'X';
        const bool read = std::fscanf(f, "%d %255s %c", &id, name, &state) == 3;
        std::fclose(f);
        return read && state != 'Z' && state != 'X';
    };
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (running() && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const bool ended = !running();
    if (!ended) ::kill(pid, SIGKILL);
    EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace orvex
