#include "support/PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "TestPaths.h"

extern char** environ;

namespace orvex::test {

PtyPair::PtyPair() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    m_slave = ::ptsname(m_master);
    termios tio{};
    ::tcgetattr(m_master, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_master, TCSANOW, &tio);
    m_keepSlave = ::open(m_slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    if (m_keepSlave >= 0) ::close(m_keepSlave);
    if (m_master >= 0) ::close(m_master);
}

void PtyPair::Write(const std::vector<uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
        } else {
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 20);
        }
    }
}

std::vector<uint8_t> PtyPair::ReadFor(int waitMs) {
    std::vector<uint8_t> out;
    for (;;) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0 || !(p.revents & POLLIN)) return out;
        uint8_t buf[1024];
        ssize_t r = ::read(m_master, buf, sizeof buf);
        if (r <= 0) return out;
        out.insert(out.end(), buf, buf + r);
    }
}

std::string SimulatorPath() {
#ifdef ORVEX_SIM_PATH
    return ORVEX_SIM_PATH;
#else
    return {};
#endif
}

SimProcess::SimProcess(const std::vector<std::string>& args) {
    std::string program = SimulatorPath();
    if (program.empty()) return;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    // First line of its output: the terminal to open.
    std::string line;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (m_pid > 0 && std::chrono::steady_clock::now() < end) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char c;
        if (::read(fds[0], &c, 1) != 1) break;
        if (c == '\n') {
            m_path = line;
            break;
        }
        line.push_back(c);
    }
    ::close(fds[0]);
}

int SimProcess::Wait(int waitMs) {
    if (m_pid <= 0) return -1;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

SimProcess::~SimProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
}

}  // namespace orvex::test
