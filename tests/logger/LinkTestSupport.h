// Test fixture for the Kavrane conversations against the logger simulator: a scratch folder,
// the simulator's log of the bytes the host sent, short link times and byte-run searches.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "logger/link/LinkSession.h"
#include "support/FakeHost.h"
#include "support/PtyPair.h"

namespace orvex::test {

inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

inline long Count(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& run) {
    long n = 0;
    for (auto it = hay.begin();
         (it = std::search(it, hay.end(), run.begin(), run.end())) != hay.end(); ++it)
        ++n;
    return n;
}
inline bool Contains(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& run) {
    return Count(hay, run) > 0;
}
inline bool EndsWith(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& run) {
    return hay.size() >= run.size() && std::equal(run.begin(), run.end(), hay.end() - run.size());
}

class LinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (SimulatorPath().empty()) GTEST_SKIP() << "logger simulator not built";
        char name[] = "/tmp/orvex-link-XXXXXX";
        ASSERT_TRUE(::mkdtemp(name));
        m_dir = name;
    }
    void TearDown() override {
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
    }

    std::string TempPath(const std::string& name) const { return m_dir + "/" + name; }
    // A Kavrane simulator that logs what it receives and erases quickly.
    std::vector<std::string> SimArgs(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--family", "kavrane"});
        args.insert(args.end(),
                    {"--idle-exit", "1500", "--log", TempPath("log"), "--erase-ms", "20"});
        return args;
    }
    std::vector<uint8_t> SimLog() const { return ReadFile(TempPath("log")); }
    // Whether the simulator's log comes to end with `run` within a second (it reads the
    // line on its own time).
    bool LogEndsWith(const std::vector<uint8_t>& run) const {
        for (int i = 0; i < 100; ++i) {
            if (EndsWith(SimLog(), run)) return true;
            ::usleep(10000);
        }
        return false;
    }

    static CLinkOptions Options(const std::string& device) {
        CLinkOptions o;
        o.device = device;
        o.timing.wakeInterval = 0.05;
        o.timing.packetIdle = 0.6;
        o.timing.bytesIdle = 0.6;
        o.timing.resendInterval = 0.1;
        o.timing.drainTime = 0.05;
        o.timing.insidePacketIdle = 0.6;
        o.timing.delayScale = 0.01;
        o.waitScale = 0.25;
        return o;
    }

    bool Showed(int line, const std::string& text) const {
        return std::any_of(m_host.statuses.begin(), m_host.statuses.end(),
                           [&](const auto& st) { return st.first == line && st.second == text; });
    }

    std::string m_dir;
    FakeHost m_host;
};

}  // namespace orvex::test
