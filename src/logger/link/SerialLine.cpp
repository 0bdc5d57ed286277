#include "logger/link/SerialLine.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace orvex {

bool ParseLineSettings(const std::string& text, LineSettings& out) {
    long baud = 0;
    char parity = 0;
    int data = 0, stop = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%ld,%c,%d,%d%c", &baud, &parity, &data, &stop, &extra) != 4)
        return false;
    parity = static_cast<char>(std::toupper(static_cast<unsigned char>(parity)));
    if (baud <= 0 || (parity != 'N' && parity != 'E' && parity != 'O') || data < 5 || data > 8 ||
        (stop != 1 && stop != 2))
        return false;
    out = LineSettings{baud, parity, data, stop};
    return true;
}

std::string PortDevicePath(int port) {
    std::string key = "ORVEX_COM" + std::to_string(port);
    if (const char* v = std::getenv(key.c_str()); v && *v) return v;
    return "/dev/ttyS" + std::to_string(port - 1);
}

std::string ResolvePortArgument(const std::string& arg) {
    if (arg.size() == 1 && arg[0] >= '1' && arg[0] <= '8') return PortDevicePath(arg[0] - '0');
    return arg;
}

namespace {

speed_t SpeedConstant(long baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

class CPosixSerialLine : public ISerialLine {
  public:
    ~CPosixSerialLine() override { Close(); }

    bool Open(const std::string& device, const std::string& settings) override {
        Close();
        m_fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) {
            m_error = device + ": " + std::strerror(errno);
            return false;
        }
        if (!SetSettings(settings)) {
            Close();
            return false;
        }
        return true;
    }

    bool SetSettings(const std::string& settings) override {
        LineSettings ls;
        if (!ParseLineSettings(settings, ls) || SpeedConstant(ls.baud) == B0) {
            m_error = "invalid line settings \"" + settings + "\"";
            return false;
        }
        if (m_fd < 0) return false;
        termios tio{};
        if (::tcgetattr(m_fd, &tio) != 0) {
            m_error = std::string("tcgetattr: ") + std::strerror(errno);
            return false;
        }
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
        tio.c_cflag |= ls.dataBits == 5   ? CS5
                       : ls.dataBits == 6 ? CS6
                       : ls.dataBits == 7 ? CS7
                                          : CS8;
        if (ls.parity != 'N') tio.c_cflag |= PARENB | (ls.parity == 'O' ? PARODD : 0);
        if (ls.stopBits == 2) tio.c_cflag |= CSTOPB;
        tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ::cfsetispeed(&tio, SpeedConstant(ls.baud));
        ::cfsetospeed(&tio, SpeedConstant(ls.baud));
        if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
            m_error = std::string("tcsetattr: ") + std::strerror(errno);
            return false;
        }
        m_baud = ls.baud;
        return true;
    }

    bool IsOpen() const override { return m_fd >= 0; }

    void Close() override {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
        m_bHungUp = false;
        m_in.clear();
        m_head = 0;
    }

    std::size_t BytesWaiting() override {
        Fill();
        return m_in.size() - m_head;
    }

    std::size_t Read(uint8_t* buffer, std::size_t n) override {
        Fill();
        std::size_t take = std::min(n, m_in.size() - m_head);
        std::memcpy(buffer, m_in.data() + m_head, take);
        m_head += take;
        if (m_head == m_in.size()) {
            m_in.clear();
            m_head = 0;
        } else if (m_head > 65536) {
            m_in.erase(m_in.begin(), m_in.begin() + static_cast<std::ptrdiff_t>(m_head));
            m_head = 0;
        }
        return take;
    }

    void Write(const uint8_t* bytes, std::size_t n) override {
        std::size_t done = 0;
        while (m_fd >= 0 && done < n) {
            ssize_t w = ::write(m_fd, bytes + done, n - done);
            if (w > 0) {
                done += static_cast<std::size_t>(w);
            } else if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd p{m_fd, POLLOUT, 0};
                ::poll(&p, 1, 50);
            } else {
                m_error = std::string("write: ") + std::strerror(errno);
                return;
            }
        }
    }

    void DiscardInput() override {
        if (m_fd >= 0) ::tcflush(m_fd, TCIFLUSH);
        Fill();
        m_in.clear();
        m_head = 0;
    }

    bool WaitForInput(std::size_t want, int timeoutMs) override {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            std::size_t have = BytesWaiting();
            if (have >= want) return true;
            if (m_bHungUp || m_fd < 0) return false;
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0) return false;
            pollfd p{m_fd, POLLIN, 0};
            int r = ::poll(&p, 1, static_cast<int>(left));
            if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
                // The other end is gone: what it sent before is still taken, then the line
                // counts as lost instead of waking this loop again and again.
                const std::size_t before = m_in.size();
                Fill();
                if (m_in.size() == before) m_bHungUp = true;
                continue;
            }
            if (r > 0 && want > 1) {
                // Several bytes still to come: let them arrive at the line rate before waking.
                std::size_t missing = want - BytesWaiting();
                if (missing > 1 && m_baud > 0) {
                    long ms = static_cast<long>(missing) * 10000 / m_baud;
                    ms = std::min<long>({ms, 10, left});
                    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                }
            }
        }
    }

    bool IsLost() override { return m_bHungUp && BytesWaiting() == 0; }
    bool IsHungUp() override { return m_bHungUp; }

    std::string LastError() const override { return m_error; }

  private:
    void Fill() {
        if (m_fd < 0) return;
        uint8_t chunk[4096];
        for (;;) {
            ssize_t r = ::read(m_fd, chunk, sizeof chunk);
            if (r > 0) {
                m_in.insert(m_in.end(), chunk, chunk + r);
                if (static_cast<std::size_t>(r) < sizeof chunk) return;
            } else {
                // EIO: the other end of a pseudo-terminal closed, or the device went away.
                if (r < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) m_bHungUp = true;
                return;
            }
        }
    }

    int m_fd = -1;
    bool m_bHungUp = false;
    long m_baud = 9600;
    std::vector<uint8_t> m_in;
    std::size_t m_head = 0;
    std::string m_error;
};

}  // namespace

std::unique_ptr<ISerialLine> MakePosixSerialLine() {
    return std::make_unique<CPosixSerialLine>();
}

}  // namespace orvex
