// A settings save killed at any system call that touches the settings folder leaves a complete
// settings file in place (the old one or the new one), and the next save cleans up after it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TestPaths.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;  // as from waitpid
    std::string out;
};

class SettingsKill : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace not found";
        m_dir = fs::path(ORVEX_TEST_BINARY_DIR) / "settings-kill" /
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "config");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // orvex-cli with the test's settings folder, optionally under strace.
    CliRun Cli(const std::string& args, const std::string& strace = {}) const {
        const std::string command = "cd '" + m_dir.string() + "' && ORVEX_CONFIG_DIR='" +
                                    Config().string() + "' " + strace + " '" ORVEX_CLI_PATH "' " +
                                    args + " 2>/dev/null";
        CliRun run;
        std::FILE* p = ::popen(command.c_str(), "r");
        if (!p) return run;
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) run.out.append(buffer, n);
        run.status = ::pclose(p);
        return run;
    }
    fs::path Config() const { return m_dir / "config"; }
    void Put(const std::string& text) const {
        std::ofstream(Config() / "ORVEX.INI", std::ios::binary) << text;
        fs::remove(Config() / "ORVEX.old");
    }
    std::string Read(const fs::path& p) const {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Config())) {
            const std::string name = e.path().filename().string();
            if (name != "ORVEX.INI" && name != "ORVEX.old") names.push_back(name);
        }
        return names;
    }

    // Every system call of a save that names the settings folder, as (call, its number among
    // the calls of that name), from one traced run.
    std::vector<std::pair<std::string, int>> SaveCalls() const {
        const fs::path trace = m_dir / "trace.txt";
        Cli("settings --resave", "strace -y -o '" + trace.string() + "' -e trace=" + kCalls);
        std::ifstream in(trace);
        std::string line;
        std::map<std::string, int> seen;
        std::vector<std::pair<std::string, int>> calls;
        while (std::getline(in, line)) {
            const std::size_t paren = line.find('(');
            if (paren == std::string::npos || line.find("resumed>") != std::string::npos) continue;
            const std::string name = line.substr(0, paren);
            const int number = ++seen[name];
            if (line.find(Config().string()) != std::string::npos) calls.emplace_back(name, number);
        }
        return calls;
    }

    void KillAtEveryCall(const std::string& original) {
        Put(original);
        const auto calls = SaveCalls();
        ASSERT_GE(calls.size(), 5u);  // at least create, write, flush, close and rename
        for (const auto& [call, number] : calls) {
            SCOPED_TRACE(call + " #" + std::to_string(number));
            Put(original);
            const CliRun killed = Cli(
                "settings --resave", "strace -o /dev/null -e trace=" + call + " -e inject=" + call +
                                         ":signal=SIGKILL:when=" + std::to_string(number));
            EXPECT_NE(killed.status, 0);
            // The settings are still there, whichever file holds them.
            EXPECT_NE(Cli("settings").out.find("Settings/ComPort = 3\n"), std::string::npos);
            // The next save succeeds, keeps the old file's copy and removes what was left.
            EXPECT_EQ(Cli("settings --resave").status, 0);
            EXPECT_NE(Cli("settings").out.find("Settings/ComPort = 3\n"), std::string::npos);
            EXPECT_EQ(Leftovers(), std::vector<std::string>{});
            if (original.find("Version=V3") == std::string::npos) {
                EXPECT_EQ(Read(Config() / "ORVEX.old"), original);
            }
        }
    }

    static constexpr const char* kCalls =
        "openat,write,fsync,fchmod,flock,close,rename,unlink,getdents64,mkdir";
    fs::path m_dir;
};

TEST_F(SettingsKill, OldFormatSaveKilledAtEveryStepKeepsTheSettings) {
    KillAtEveryCall("[Settings]\nComPort=3\nRecord-Segments=4\n");
}

TEST_F(SettingsKill, SaveKilledAtEveryStepKeepsTheSettings) {
    KillAtEveryCall("[Settings]\nVersion=V3.03E\nComPort=3\nRecord-Segments=4\n");
}

}  // namespace
}  // namespace orvex
