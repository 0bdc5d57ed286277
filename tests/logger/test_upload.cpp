#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "files/DataFile.h"
#include "graph/Color.h"
#include "logger/upload/Upload.h"
#include "support/CliRunner.h"
#include "support/FakeHost.h"
#include "support/PtyPair.h"

namespace orvex {

namespace {

using Lines = std::vector<std::string>;

std::string GpsLine(int32_t t, uint32_t speed, uint32_t heading, uint32_t lat, uint32_t lon) {
    CGPSSample s = CGPSSample::FromLoggerWords(static_cast<uint32_t>(t), speed, heading, lat, lon);
    char buf[160];
    std::snprintf(buf, sizeof buf, "gps %d %.2f %.2f %.4f %.4f %d %d", t, s.m_fSpeed, s.m_fHeading,
                  s.m_fLatitude, s.m_fLongitude, s.m_nSouth, s.m_nWest);
    return buf;
}

// The samples of one session as the simulator wrote them, GPS words turned into fixes.
Lines ExpectedSession(const std::string& path, int session) {
    std::ifstream in(path);
    Lines out;
    std::string line;
    int current = 0;
    while (std::getline(in, line)) {
        if (line.rfind("session ", 0) == 0) {
            current = std::stoi(line.substr(8));
            continue;
        }
        if (current != session) continue;
        if (line.rfind("gps ", 0) == 0) {
            int32_t t;
            uint32_t sp, hd, la, lo;
            std::sscanf(line.c_str(), "gps %d %u %u %u %u", &t, &sp, &hd, &la, &lo);
            line = GpsLine(t, sp, hd, la, lo);
        }
        out.push_back(line);
    }
    std::sort(out.begin(), out.end());
    return out;
}

Lines DatasetLines(const CBriodashDataset& ds) {
    Lines out;
    auto add = [&out](const char* kind, int ch, const CSample& s) {
        out.push_back(std::string(kind) + " " + std::to_string(ch) + " " +
                      std::to_string(s.m_lTime) + " " + std::to_string(s.m_lRaw));
    };
    for (int i = 0; i < kRpmChannels; ++i)
        for (const CShaft& s : ds.m_rpm[i].m_samples) add("rpm", i + 1, s);
    for (int i = 0; i < kAnalogChannels; ++i)
        for (const CSample& s : ds.m_analog[i].m_samples) add("analog", i + 1, s);
    for (int i = 0; i < kDigitalChannels; ++i)
        for (const CSample& s : ds.m_digital[i].m_samples) add("digital", i + 1, s);
    for (const CSample& s : ds.m_markers.m_samples)
        out.push_back("marker " + std::to_string(s.m_lTime) + " " + std::to_string(s.m_lRaw));
    for (const CGPSSample& s : ds.m_gps.m_samples) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "gps %d %.2f %.2f %.4f %.4f %d %d", s.m_lTime, s.m_fSpeed,
                      s.m_fHeading, s.m_fLatitude, s.m_fLongitude, s.m_nSouth, s.m_nWest);
        out.push_back(buf);
    }
    std::sort(out.begin(), out.end());
    return out;
}

CLinkTiming FastTiming() {
    CLinkTiming t;
    t.wakeInterval = 0.05;
    t.packetIdle = 0.6;
    t.bytesIdle = 0.6;
    t.insidePacketIdle = 0.6;
    t.delayScale = 0.01;
    return t;
}

// The last text shown on a status line.
std::string LastStatus(const test::FakeHost& host, int line) {
    std::string s;
    for (auto& [l, text] : host.statuses)
        if (l == line) s = text;
    return s;
}

bool Showed(const test::FakeHost& host, int line, const std::string& text) {
    return std::any_of(host.statuses.begin(), host.statuses.end(),
                       [&](const auto& st) { return st.first == line && st.second == text; });
}

bool ShowedContaining(const test::FakeHost& host, int line, const std::string& part) {
    return std::any_of(host.statuses.begin(), host.statuses.end(), [&](const auto& st) {
        return st.first == line && st.second.find(part) != std::string::npos;
    });
}

struct Upload {
    CUploadResult result;
    Lines expected;
    std::vector<std::pair<int, int>> dialogs;  // sessions, offered
    std::string device;
};

class UploadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::SimulatorPath().empty()) GTEST_SKIP() << "logger simulator not built";
        char name[] = "/tmp/orvex-expect-XXXXXX";
        int fd = ::mkstemp(name);
        ASSERT_GE(fd, 0);
        ::close(fd);
        m_expect = name;
    }
    void TearDown() override {
        if (!m_expect.empty()) ::unlink(m_expect.c_str());
    }

    // Runs one upload against a simulator started with `args`; the session dialog answers
    // `choice` (0 = last recorded session).
    Upload Run(std::vector<std::string> args, std::optional<int> choice = 0,
               IHostServices* host = nullptr, const CLinkTiming& timing = FastTiming()) {
        args.insert(args.end(), {"--expect", m_expect, "--idle-exit", "2000"});
        test::SimProcess sim(args);
        Upload up;
        EXPECT_TRUE(sim.Started());
        if (!sim.Started()) return up;
        auto line = MakePosixSerialLine();
        CUploadOptions options;
        options.device = sim.Path();
        up.device = options.device;
        options.timing = timing;
        options.chooseSession = [&](int sessions, int offered) {
            up.dialogs.emplace_back(sessions, offered);
            return choice;
        };
        up.result = UploadFromLogger(*line, m_defaults, options, host ? *host : m_host);
        int sessions = 1;
        for (std::size_t i = 0; i + 1 < args.size(); ++i)
            if (args[i] == "--sessions") sessions = std::stoi(args[i + 1]);
        up.expected = ExpectedSession(m_expect, choice && *choice > 0 ? *choice : sessions);
        return up;
    }

    void ExpectComplete(const Upload& up) {
        ASSERT_TRUE(up.result.dataset) << ::testing::PrintToString(m_host.MessageTexts());
        EXPECT_TRUE(up.result.succeeded);
        EXPECT_FALSE(up.expected.empty());
        EXPECT_EQ(DatasetLines(*up.result.dataset), up.expected);
        EXPECT_TRUE(m_host.messages.empty()) << ::testing::PrintToString(m_host.MessageTexts());
    }

    std::string m_expect;
    CUploadDefaults m_defaults;
    test::FakeHost m_host;
};

}  // namespace

TEST_F(UploadTest, VexaLogChannelMixesArriveSampleForSample) {
    const std::vector<std::vector<std::string>> mixes = {
        {"--rpm", "1,2,3,4,5", "--analog", "1,3", "--packet", "64"},
        {"--rpm", "1,2,4,5", "--analog", "2", "--per-rev", "--bits32", "--seed", "7"},
        {"--rpm", "1,3", "--half-rate", "--cylinders", "1", "--tail2", "--packet", "64"},
        {"--rpm", "1,2", "--analog", "8", "--type", "2", "--rate", "100"},
    };
    for (const auto& mix : mixes) {
        SCOPED_TRACE(::testing::PrintToString(mix));
        m_host = test::FakeHost();
        Upload up = Run(mix);
        ExpectComplete(up);
        EXPECT_FALSE(up.result.highSpeed);
        ASSERT_EQ(m_host.titles.size(), 2u);
        EXPECT_EQ(m_host.titles[0], "Retrieving Data from Unknown System");
        EXPECT_EQ(m_host.titles[1], "Retrieving Data from Vexa-Log System");
        EXPECT_EQ(LastStatus(m_host, 1), "Closing Vexa-Log.");
        EXPECT_TRUE(Showed(m_host, 1, "Uploading Tach data from Vexa-Log V2.10..."));
        const bool tail2 = std::find(mix.begin(), mix.end(), "--tail2") != mix.end();
        EXPECT_EQ(ShowedContaining(m_host, 4, "Bytes left:     2"), tail2);
    }
}

TEST_F(UploadTest, VexaLogSetupsFollowThePreambles) {
    Upload up = Run({"--rpm", "1,2,4,5", "--analog", "3", "--cylinders", "6", "--strokes", "2"});
    ExpectComplete(up);
    const CBriodashDataset& ds = *up.result.dataset;
    EXPECT_EQ(ds.m_nLoggerFamily, 1);
    EXPECT_EQ(ds.m_nFramed, 1);
    EXPECT_FLOAT_EQ(ds.m_fClock, 307200.0f);
    const CFreqSetup* engine = ds.m_carSetup.FindRpmSetup(1);
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->m_nRpmType, 2);
    EXPECT_EQ(engine->m_nPPR, 3);
    EXPECT_EQ(ds.m_carSetup.FindRpmSetup(2)->m_nRpmType, 10);
    EXPECT_EQ(ds.m_carSetup.FindRpmSetup(3)->m_nRpmType, 11);
    EXPECT_EQ(ds.m_carSetup.FindRpmSetup(3)->m_nPPR, 2);
    EXPECT_EQ(ds.m_carSetup.FindRpmSetup(4)->m_nRpmType, 13);
    const CAnalogSetup* analog = ds.m_carSetup.FindAnalogSetup(3);
    ASSERT_TRUE(analog);
    EXPECT_EQ(analog->m_strDescription, "Analog 3");
    EXPECT_EQ(analog->m_nType, 5);
    EXPECT_EQ(ds.m_rpm[0].m_bFramed, 1);
    EXPECT_FLOAT_EQ(ds.m_rpm[0].m_fRate, 50.0f);
    EXPECT_TRUE(Showed(m_host, 2, "Data: 6 Cylinders, 2 Cycle @ 6 PPR"));
    EXPECT_TRUE(Showed(m_host, 2, "Data: 16Bit Drive Shaft/Axle RPM-1 PPR @ 50 Hz"));
    EXPECT_TRUE(Showed(m_host, 2, "Data: Analog Freq @ 20 Hz"));
    EXPECT_TRUE(Showed(m_host, 1, "Uploading Analog 3 data from Vexa-Log V2.10..."));
    ASSERT_FALSE(ds.m_lstComments.empty());
    EXPECT_EQ(ds.m_lstComments[0].rfind("Uploaded ", 0), 0u);
}

TEST_F(UploadTest, HalfRateEngineIsTypeSevenAndPerPulseStartsAtItsPeriod) {
    Upload up = Run({"--rpm", "1", "--half-rate", "--cylinders", "1", "--per-rev"});
    ExpectComplete(up);
    const CBriodashDataset& ds = *up.result.dataset;
    EXPECT_EQ(ds.m_carSetup.FindRpmSetup(1)->m_nRpmType, 7);
    EXPECT_EQ(ds.m_rpm[0].m_bFramed, 0);
    EXPECT_GT(ds.m_rpm[0].m_samples.front().m_lTime, 0);
    EXPECT_TRUE(Showed(m_host, 2, "Data: 1 Cylinders, 4 Cycle @ 1/2 PPR"));
}

TEST_F(UploadTest, KavraneFirmwareDecidesTheLineSpeed) {
    struct Case {
        const char* firmware;
        bool highSpeed;
        std::vector<std::string> extra;
    } cases[] = {
        {"2.23", false, {"--timers", "1,2", "--timer2", "gps", "--switches", "1,3"}},
        {"2.24",
         true,
         {"--timers", "1,2", "--timer1", "event", "--timer2", "lap", "--tail2", "--packet", "64"}},
        {"2.05",
         false,
         {"--analog-bits", "8", "--switches", "2", "--analog", "1,2,3,4,5,6,7,8,17,20"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firmware);
        m_host = test::FakeHost();
        std::vector<std::string> args = {"--family", "kavrane",   "--firmware", c.firmware,
                                         "--rpm",    "1,2,3,4,5", "--analog",   "1,2,3"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        Upload up = Run(args);
        ExpectComplete(up);
        EXPECT_EQ(up.result.highSpeed, c.highSpeed);
        const bool tail2 = std::find(args.begin(), args.end(), "--tail2") != args.end();
        EXPECT_EQ(ShowedContaining(m_host, 4, "Bytes left:     2,"), tail2);
        EXPECT_EQ(up.result.dataset->m_nLoggerFamily, 0);
        EXPECT_EQ(m_host.titles.back(), "Retrieving Data from Kavrane Data System");
        EXPECT_EQ(LastStatus(m_host, 1), "Closing Kavrane Data.");
    }
}

TEST_F(UploadTest, KavraneSetupsAreNamedFromTheLogger) {
    Upload up = Run({"--family", "kavrane", "--firmware", "2.24", "--rpm", "1,2", "--analog",
                     "1,3,5", "--switches", "1,4", "--timers", "1,2", "--timer2", "gps"});
    ExpectComplete(up);
    const CCarSetup& car = up.result.dataset->m_carSetup;
    EXPECT_EQ(car.FindAnalogSetup(1)->m_strDescription, "Shock-LF");
    EXPECT_EQ(car.FindAnalogSetup(1)->m_nType, 130);
    EXPECT_EQ(car.FindAnalogSetup(3)->m_strDescription, "EGT Cyl #3");
    EXPECT_EQ(car.FindAnalogSetup(3)->m_nType, 136);
    EXPECT_EQ(car.FindAnalogSetup(5)->m_strDescription, "RIDE HEIGHT");
    EXPECT_EQ(car.FindAnalogSetup(5)->m_nType, 129);
    EXPECT_EQ(car.FindDigitalSetup(1)->m_strDescription, "Brake");
    EXPECT_EQ(car.FindDigitalSetup(1)->m_nType, 4);
    EXPECT_EQ(car.FindDigitalSetup(4)->m_strDescription, "LINE LOCK");
    EXPECT_EQ(car.FindDigitalSetup(6)->m_strDescription, "GPS Receiver");
    EXPECT_EQ(car.FindRpmSetup(1)->m_nRpmType, 1);
    EXPECT_EQ(car.FindRpmSetup(2)->m_nRpmType, 10);
    ASSERT_TRUE(up.result.recordingStart);
    EXPECT_EQ(*up.result.recordingStart, 1718459102);  // 15 June 2024 13:45:02 UTC
    EXPECT_TRUE(Showed(m_host, 1, "Uploading Timer #2 data from Kavrane Data V2.24..."));
    EXPECT_TRUE(Showed(m_host, 2, "Data: Event Timer #2"));
}

TEST_F(UploadTest, SessionDialogChoosesAmongRecordedSessions) {
    struct Case {
        std::vector<std::string> args;
        std::optional<int> choice;
    } cases[] = {
        {{"--sessions", "3", "--offered", "2"}, 2},
        {{"--sessions", "3", "--offered", "2"}, 0},
        {{"--family", "kavrane", "--sessions", "3", "--timers", "1"}, 1},
        {{"--family", "kavrane", "--sessions", "3", "--analog", "2"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        m_host = test::FakeHost();
        Upload up = Run(c.args, c.choice);
        ExpectComplete(up);
        ASSERT_EQ(up.dialogs.size(), 1u);
        EXPECT_EQ(up.dialogs[0].first, 3);
    }
    m_host = test::FakeHost();
    Upload one = Run({"--sessions", "1"});
    ExpectComplete(one);
    EXPECT_TRUE(one.dialogs.empty());
}

TEST_F(UploadTest, CancelledSessionDialogUploadsNothing) {
    Upload up = Run({"--sessions", "2"}, std::nullopt);
    EXPECT_FALSE(up.result.dataset);
    EXPECT_EQ(m_host.MessageTexts(), Lines{"No data was uploaded from Vexa-Log."});
}

TEST_F(UploadTest, RecoverableLineFaultsStillDeliverEverySample) {
    for (const char* fault :
         {"badsum", "syn", "noise", "overlength", "badsum,syn,noise,overlength"}) {
        for (const char* family : {"vexa", "kavrane"}) {
            SCOPED_TRACE(std::string(fault) + " " + family);
            m_host = test::FakeHost();
            Upload up = Run({"--family", family, "--fault", fault, "--rpm", "1,2", "--analog", "1",
                             "--timers", "1", "--packet", "64"});
            ExpectComplete(up);
        }
    }
}

TEST_F(UploadTest, StallOrDeadLineEndsWithoutADataset) {
    for (const char* fault : {"stall", "dead"}) {
        for (const char* family : {"vexa", "kavrane"}) {
            SCOPED_TRACE(std::string(fault) + " " + family);
            m_host = test::FakeHost();
            Upload up = Run({"--family", family, "--fault", fault, "--stall-ms", "1500", "--rpm",
                             "1,2", "--packet", "64"});
            EXPECT_FALSE(up.result.dataset);
            EXPECT_TRUE(Showed(m_host, 4, "User Aborted (Packet Failure)..."));
            const std::string upload =
                std::string(family == std::string("vexa") ? "Vexa-Log" : "Kavrane Data") +
                " Upload ABORTED. Data exists, do you wish to save it?";
            // Vexa-Log: the first channel is in when the second stalls. Kavrane: the memory
            // image is cut short and nothing else was received.
            Lines expected{upload};
            if (family == std::string("kavrane"))
                expected = {"Do you wish to process uploaded data?"};
            if (family == std::string("kavrane") || std::string(fault) == "stall") {
                EXPECT_EQ(m_host.questions, expected);
            }
            EXPECT_TRUE(m_host.messages.empty());
        }
    }
}

// The logger's end closing mid-packet (adapter pulled, simulator gone) ends the upload at once
// as a dead line does, and no wait spins meanwhile. Off for now: after the merge of the one
// upload flow a wait inside the packet spins for the idle time again (5 s of CPU); to be found.
TEST_F(UploadTest, HungUpLineEndsAtOnceWithoutSpinning) {
    CLinkTiming patient = FastTiming();
    patient.packetIdle = patient.bytesIdle = patient.insidePacketIdle = 5.0;
    auto seconds = [](clockid_t clock) {
        timespec ts{};
        ::clock_gettime(clock, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    };
    for (const char* family : {"vexa", "kavrane"}) {
        SCOPED_TRACE(family);
        m_host = test::FakeHost();
        const double wall0 = seconds(CLOCK_MONOTONIC), cpu0 = seconds(CLOCK_PROCESS_CPUTIME_ID);
        Upload up = Run({"--family", family, "--fault", "hangup", "--rpm", "1,2", "--packet", "64"},
                        0, nullptr, patient);
        const double wall = seconds(CLOCK_MONOTONIC) - wall0;
        const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        EXPECT_FALSE(up.result.dataset);
        EXPECT_TRUE(Showed(m_host, 4, "User Aborted (Packet Failure)..."));
        EXPECT_LT(wall, 4.0);  // a line that merely went quiet is waited for 5 s
        EXPECT_LT(cpu, 0.5);
    }
}

TEST_F(UploadTest, KeepingPartDataOfADeadLineIsTheUsersChoice) {
    m_host.answers = {Answer::Yes, Answer::Yes};
    Upload up = Run({"--family", "kavrane", "--fault", "dead", "--rpm", "1", "--packet", "64"});
    ASSERT_TRUE(up.result.dataset);
    EXPECT_FALSE(up.result.succeeded);
    Lines got = DatasetLines(*up.result.dataset);
    EXPECT_FALSE(got.empty());
    EXPECT_LT(got.size(), up.expected.size());
    for (const std::string& l : got)
        EXPECT_TRUE(std::binary_search(up.expected.begin(), up.expected.end(), l)) << l;
}

namespace {
// A host whose abort button is pressed once a given status text has been shown.
class AbortOnStatusHost : public test::FakeHost {
  public:
    explicit AbortOnStatusHost(std::string trigger) : m_trigger(std::move(trigger)) {}
    std::unique_ptr<IProgress> OpenProgress(const std::string& title) override {
        titles.push_back(title);
        return std::make_unique<Window>(*this);
    }

  private:
    class Window : public IProgress {
      public:
        explicit Window(AbortOnStatusHost& h) : m_h(h) {}
        void SetTitle(const std::string& t) override { m_h.titles.push_back(t); }
        void SetStatus(int line, const std::string& text) override {
            m_h.statuses.emplace_back(line, text);
            if (text == m_h.m_trigger) m_h.m_armed = true;
        }
        bool Pump() override { return m_h.m_armed; }

      private:
        AbortOnStatusHost& m_h;
    };
    std::string m_trigger;
    bool m_armed = false;
};
}  // namespace

TEST_F(UploadTest, AbortDuringSecondTimerAsksAndNoLeavesNothing) {
    AbortOnStatusHost host("Uploading Timer #2 data from Kavrane Data V2.10...");
    Upload up = Run({"--family", "kavrane", "--timers", "1,2", "--timer2", "lap"}, 0, &host);
    EXPECT_FALSE(up.result.dataset);
    EXPECT_EQ(host.questions,
              Lines{"Kavrane Data Upload ABORTED. Data exists, do you wish to save it?"});
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(UploadTest, AbortInEveryStepEndsTheUpload) {
    const char* triggers[] = {"Opening...", "Port Open", "Getting Pre-Amble",
                              "Packet:  2, Time 00:00, Bytes left:  1936"};
    for (const char* trigger : triggers) {
        SCOPED_TRACE(trigger);
        AbortOnStatusHost host(trigger);
        // Many small packets: the host is sure to wait for one of them after the trigger.
        Upload up = Run({"--rpm", "1,2", "--seconds", "20", "--packet", "64"}, 0, &host);
        EXPECT_FALSE(up.result.dataset);
    }
}

namespace {
// A host whose abort button is pressed once, while the memory image arrives, as the status
// line names packet `packet`; ClearAbort withdraws the press as the program's one abort
// request does.
class AbortDuringImageHost : public test::FakeHost {
  public:
    explicit AbortDuringImageHost(int packet) : m_packet(packet) {}
    std::unique_ptr<IProgress> OpenProgress(const std::string& title) override {
        titles.push_back(title);
        return std::make_unique<Window>(*this);
    }
    bool Pump() override { return m_requested; }
    void ClearAbort() override { m_requested = false; }
    long totalBytes = -1, bytesLeftAtAbort = -1;

  private:
    class Window : public IProgress {
      public:
        explicit Window(AbortDuringImageHost& h) : m_h(h) {}
        void SetTitle(const std::string& t) override { m_h.titles.push_back(t); }
        void SetStatus(int line, const std::string& text) override {
            m_h.statuses.emplace_back(line, text);
            long n = 0, left = 0;
            if (line == 3) std::sscanf(text.c_str(), "Total Bytes: %ld", &m_h.totalBytes);
            if (line == 4 && m_h.bytesLeftAtAbort < 0 &&
                std::sscanf(text.c_str(), "Packet:%ld, Bytes left: %ld", &n, &left) == 2 &&
                n == m_h.m_packet) {
                m_h.bytesLeftAtAbort = left;
                m_h.m_requested = true;
            }
        }
        bool Pump() override { return m_h.m_requested; }

      private:
        AbortDuringImageHost& m_h;
    };
    int m_packet;
    bool m_requested = false;
};
}  // namespace

TEST_F(UploadTest, AbortThenYesKeepsEverySampleOfThePacketsReceived) {
    AbortDuringImageHost host(60);
    host.answers = {Answer::Yes};
    Upload up = Run({"--family", "kavrane", "--firmware", "2.24", "--rpm", "1,2,3,4", "--analog",
                     "1,2,3,4,17,18,19", "--seconds", "120"},
                    0, &host);
    ASSERT_TRUE(up.result.dataset);
    EXPECT_FALSE(up.result.succeeded);
    // One question: processing what arrived; no second one about an aborted upload.
    EXPECT_EQ(host.questions, Lines{"Do you wish to process uploaded data?"});
    ASSERT_GT(host.totalBytes, 0);
    ASSERT_GT(host.bytesLeftAtAbort, 0);
    const Lines got = DatasetLines(*up.result.dataset);
    for (const std::string& l : got)
        EXPECT_TRUE(std::binary_search(up.expected.begin(), up.expected.end(), l)) << l;
    // The image interleaves the channels at a steady rate: the samples kept are the share of
    // the session that the received packets hold, within a packet.
    const double share = double(host.totalBytes - host.bytesLeftAtAbort) / double(host.totalBytes);
    const double keptShare = double(got.size()) / double(up.expected.size());
    EXPECT_NEAR(keptShare, share, 1024.0 / double(host.totalBytes) + 0.002)
        << got.size() << " of " << up.expected.size() << " samples kept";
}

TEST_F(UploadTest, UnknownLoggerIsRefused) {
    Upload up = Run({"--type", "3"});
    EXPECT_FALSE(up.result.dataset);
    EXPECT_EQ(
        m_host.MessageTexts(),
        (Lines{"Invalid Repsonse from Unknown Data Logger.",
               "Unable to establish communications with Data Logger.\nDevice: " + up.device}));
}

TEST_F(UploadTest, SilentLineReportsNoCommunication) {
    test::PtyPair pty;
    auto line = MakePosixSerialLine();
    CUploadOptions options;
    options.device = pty.SlavePath();
    options.timing = FastTiming();
    CUploadResult r = UploadFromLogger(*line, m_defaults, options, m_host);
    EXPECT_FALSE(r.dataset);
    EXPECT_EQ(m_host.MessageTexts(),
              (Lines{"Kavrane Data Data Logger NOT responding...",
                     "Failed to establish communications wih Data Logger",
                     "Unable to establish communications with Data Logger.\nDevice: " +
                         pty.SlavePath()}));
    EXPECT_EQ(LastStatus(m_host, 1), "Closing...");
    Lines line2;
    for (auto& [l, text] : m_host.statuses)
        if (l == 2) line2.push_back(text);
    EXPECT_EQ(line2, (Lines{"Com Port Open", "Baud Rate Set", "Buffer Size", "Port Open"}));
}

TEST_F(UploadTest, PacedLineDeliversTheSameSamples) {
    Upload up = Run({"--pace", "--rpm", "1", "--seconds", "0.5", "--family", "kavrane",
                     "--firmware", "2.24", "--analog", "1"});
    ExpectComplete(up);
}

TEST_F(UploadTest, DefaultsOfTheApplicationApplyToTheSetups) {
    CFreqSetup engine = CFreqSetup::Make(1, 1, Units::Imperial);
    engine.m_strDescription = "Big Block";
    engine.m_nSlipPartner = 5;
    m_defaults.carSetup.m_rpm.push_back(engine);
    CAnalogSetup kavraneDefault;
    kavraneDefault.m_nChannel = 1;
    kavraneDefault.m_nFamily = 0;
    kavraneDefault.m_nType = 130;
    m_defaults.carSetup.m_analog.push_back(kavraneDefault);
    m_defaults.carSetup.m_nGears = 4;
    Upload up = Run({"--rpm", "1", "--analog", "1"});
    ASSERT_TRUE(up.result.dataset);
    const CCarSetup& car = up.result.dataset->m_carSetup;
    EXPECT_EQ(car.FindRpmSetup(1)->m_strDescription, "Big Block");
    EXPECT_EQ(car.FindRpmSetup(1)->m_nSlipPartner, 0);  // channel 5 has no setup
    EXPECT_EQ(car.m_nGears, 4);
    EXPECT_EQ(m_host.MessageTexts(),
              Lines{"Default Analog Configuration is for a Kavrane Data system.\nDefaults will be "
                    "ignored!"});
    EXPECT_EQ(car.FindAnalogSetup(1)->m_nType, 5);
}

TEST(UploadParts, EngineTypesAndNames) {
    struct Case {
        int cylinders, cycle, type;
    } cases[] = {{8, 4, 1}, {6, 4, 2},  {4, 2, 3}, {1, 2, 9}, {1, 4, 8},
                 {1, 8, 7}, {12, 4, 1}, {5, 4, 2}, {3, 4, 3}, {2, 4, 3}};
    for (const Case& c : cases) EXPECT_EQ(EngineRpmType(c.cylinders, c.cycle), c.type);
    EXPECT_EQ(RpmDefaultPPR(7), 0);
    CAnalogSetup a;
    NameAnalogSetup(a, "cht #   2", true);
    EXPECT_EQ(a.m_strDescription, "CHT #2");
    EXPECT_EQ(a.m_nType, 137);
    NameAnalogSetup(a, "Oil Temp", false);
    EXPECT_EQ(a.m_strDescription, "Oil Temp");
    EXPECT_EQ(a.m_nType, 5);
    CDigitalSetup d;
    NameDigitalSetup(d, "throttle stop");
    EXPECT_EQ(d.m_strDescription, "Throttle Stop");
    EXPECT_EQ(d.m_nType, 3);
    NameDigitalSetup(d, "Nitrous");
    EXPECT_EQ(d.m_strDescription, "NITROUS");
    EXPECT_EQ(d.m_nType, 1);
}

}  // namespace orvex

namespace orvex {

TEST_F(UploadTest, CommandLineUploadWritesTheDataFile) {
    test::SimProcess sim(
        {"--rpm", "1,2", "--analog", "1", "--expect", m_expect, "--idle-exit", "2000"});
    ASSERT_TRUE(sim.Started());
    const std::string dir = std::string(ORVEX_TEST_BINARY_DIR) + "/test-config";
    const std::string out = dir + "/uploaded.tbc";
    std::filesystem::create_directories(dir);
    test::CliRunOptions run;
    run.configDir = dir;
    const test::CliResult r =
        test::RunCli("upload --port '" + sim.Path() + "' --out '" + out + "'", run);
    ASSERT_EQ(r.status, 0) << r.err;
    DataFileContents contents;
    ASSERT_TRUE(ReadDataFile(out, m_host, DataFileReadOptions{}, contents));
    ASSERT_EQ(contents.datasets.size(), 1u);
    EXPECT_EQ(contents.datasets[0]->m_strName, "uploaded");
    EXPECT_EQ(DatasetLines(*contents.datasets[0]), ExpectedSession(m_expect, 1));
    // The session has the colours of the first colour set loaded at start-up.
    CDataAcqApp app;
    app.LoadSettings(m_host);
    ASSERT_FALSE(app.GetColorSets().empty());
    const CColor& first = app.GetColorSets().front();
    for (int ch : {0, 1})
        EXPECT_EQ(static_cast<ColorRef>(
                      contents.datasets[0]->m_rpm[static_cast<std::size_t>(ch)].m_crTrace),
                  first.m_crRpm[ch]);
    EXPECT_EQ(static_cast<ColorRef>(contents.datasets[0]->m_analog[0].m_crTrace),
              first.m_crAnalog[0]);
    ::unlink(out.c_str());
}

}  // namespace orvex
