#include "SimLink.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace orvexsim {

using Clock = std::chrono::steady_clock;

bool SimLink::Create() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        std::fprintf(stderr, "orvex-logger-sim: no pseudo-terminal: %s\n", std::strerror(errno));
        return false;
    }
    m_slavePath = ::ptsname(m_master);
    termios tio{};
    ::tcgetattr(m_master, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_master, TCSANOW, &tio);
    // Holding the terminal open lets the host close and reopen its end in mid-conversation.
    m_keepSlave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

void SimLink::Send(const std::vector<uint8_t>& bytes) {
    // Paced: write in slices of about 5 ms of line time, each when the line is free.
    const std::size_t slice =
        m_pace ? std::max<std::size_t>(1, static_cast<std::size_t>(m_baud / 10 / 200))
               : bytes.size();
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t n = std::min(slice, bytes.size() - done);
        if (m_pace) {
            auto now = Clock::now();
            if (m_lineFree > now) std::this_thread::sleep_until(m_lineFree);
            m_lineFree = std::max(m_lineFree, now) +
                         std::chrono::microseconds(static_cast<long>(n) * 10'000'000L / m_baud);
        }
        std::size_t sent = 0;
        while (sent < n) {
            ssize_t w = ::write(m_master, bytes.data() + done + sent, n - sent);
            if (w > 0) {
                sent += static_cast<std::size_t>(w);
            } else {
                pollfd p{m_master, POLLOUT, 0};
                ::poll(&p, 1, 20);
            }
        }
        done += n;
    }
}

bool SimLink::Receive(uint8_t& byte, int timeoutMs) {
    if (!m_pushed.empty()) {
        byte = m_pushed.front();
        m_pushed.erase(m_pushed.begin());
        return true;
    }
    auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (m_inHead < m_in.size()) {
            byte = m_in[m_inHead++];
            if (m_inHead == m_in.size()) {
                m_in.clear();
                m_inHead = 0;
            }
            return true;
        }
        int wait = 1000;
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0) return false;
            wait = static_cast<int>(std::min<long>(left.count(), 1000));
        }
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, wait) > 0 && (p.revents & POLLIN)) {
            uint8_t buf[1024];
            ssize_t r = ::read(m_master, buf, sizeof buf);
            if (r > 0) m_in.insert(m_in.end(), buf, buf + r);
        } else if (p.revents & (POLLHUP | POLLERR)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

}  // namespace orvexsim
