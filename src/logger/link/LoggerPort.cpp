#include "logger/link/LoggerPort.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "logger/link/Framing.h"

namespace orvex {

namespace {

using Clock = std::chrono::steady_clock;

// Longest single wait of a loop turn, so that events are pumped often enough.
constexpr double kTurnSeconds = 0.010;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

constexpr const char* kNotResponding = "Kavrane Data Data Logger NOT responding...";
constexpr const char* kUserAborted = "User Aborted Upload...";

}  // namespace

void CLoggerPort::SetStatus(int line, const std::string& text) {
    if (m_pWindow) m_pWindow->SetStatus(line, text);
}

bool CLoggerPort::Open(const std::string& device, const std::string& settings) {
    return m_line.Open(device, settings);
}

bool CLoggerPort::PumpAndTestAbort() {
    if (m_pumpMessages) {
        bool abort = m_pWindow ? m_pWindow->Pump() : m_host.Pump();
        if (abort) m_bAborted = true;
    }
    return m_bAborted;
}

bool CLoggerPort::WaitInput(std::size_t want, double maxSeconds) {
    int ms = static_cast<int>(std::max(0.0, std::min(maxSeconds, kTurnSeconds)) * 1000.0 + 0.5);
    return m_line.WaitForInput(want, std::max(ms, 1));
}

std::size_t CLoggerPort::Read(uint8_t* buffer, std::size_t n) {
    std::size_t got = m_line.Read(buffer, n);
    if (got < n) std::memset(buffer + got, 0, n - got);
    return n;
}

void CLoggerPort::Write(const uint8_t* bytes, std::size_t n) {
    m_lastOutput.assign(bytes, bytes + n);
    m_line.Write(bytes, n);
}

void CLoggerPort::Write(std::initializer_list<uint8_t> bytes) {
    Write(bytes.begin(), bytes.size());
}

void CLoggerPort::Resend() {
    if (!m_lastOutput.empty()) m_line.Write(m_lastOutput.data(), m_lastOutput.size());
}

void CLoggerPort::SendRaw(uint8_t byte) {
    m_line.Write(&byte, 1);
}

bool CLoggerPort::WriteAwaitReply(const uint8_t* bytes, std::size_t n) {
    Write(bytes, n);
    int32_t r = m_retries;
    if (r <= 0) return false;
    auto start = Clock::now();
    for (;;) {
        if (Since(start) > m_timing.resendInterval) {
            Resend();
            start = Clock::now();
            --r;
        }
        if (InBufferCount() >= 1) return true;
        if (r <= 0 || IsLineLost()) return false;
        if (PumpAndTestAbort()) return false;
        WaitInput(1, m_timing.resendInterval - Since(start));
    }
}

void CLoggerPort::Delay(double seconds) {
    double s = seconds * m_timing.delayScale;
    if (s > 0) std::this_thread::sleep_for(std::chrono::duration<double>(s));
}

void CLoggerPort::Drain() {
    auto start = Clock::now();
    uint8_t b;
    while (Since(start) < m_timing.drainTime && !IsLineLost()) {
        while (InBufferCount() > 0) m_line.Read(&b, 1);
        WaitInput(1, m_timing.drainTime - Since(start));
    }
    DiscardInput();
}

bool CLoggerPort::WakeLogger() {
    auto start = Clock::now();
    uint8_t state = 0;
    int sendsLeft = 5;
    for (;;) {
        if (Since(start) > m_timing.wakeInterval) {
            Write({kWake});
            start = Clock::now();
            --sendsLeft;
        }
        while (InBufferCount() > 0) {
            uint8_t b = 0;
            m_line.Read(&b, 1);
            if (b == kSyn) {
                state = kSyn;
            } else if (b == kWake) {
                state = state == kSyn ? kWake : 0;
            } else if (b == kAck && state == kWake) {
                return true;
            } else {
                state = 0;
            }
        }
        if (PumpAndTestAbort()) return false;
        if (sendsLeft <= 0 || IsLineLost()) return false;
        WaitInput(1, m_timing.wakeInterval - Since(start));
    }
}

bool CLoggerPort::WaitInsidePacket(std::size_t want) {
    // A started packet has no time-out of its own; a line that has gone dead or an abort
    // still ends the wait instead of hanging the program.
    auto quietSince = Clock::now();
    std::size_t seen = InBufferCount();
    while (seen < want) {
        if (PumpAndTestAbort()) return false;
        // Half a packet from a logger that has hung up will never be completed.
        if (Since(quietSince) > m_timing.insidePacketIdle || CannotReach(want)) return false;
        WaitInput(want, m_timing.insidePacketIdle - Since(quietSince));
        std::size_t now = InBufferCount();
        if (now != seen) quietSince = Clock::now();
        seen = now;
    }
    return true;
}

bool CLoggerPort::ReceivePacket(uint8_t* buffer, std::size_t& lengthOut, long mode) {
    // A fast line may have the next packet waiting every time; the abort button is still
    // looked at once per packet.
    if (PumpAndTestAbort()) return false;
    int32_t r = m_retries;
    uint8_t synCount = 0;
    for (;;) {
        auto start = Clock::now();
        bool restart = false;
        while (InBufferCount() == 0) {
            if (PumpAndTestAbort() || IsLineLost()) return false;
            if (Since(start) > m_timing.packetIdle) {
                if (r <= 0) return false;
                --r;
                std::vector<uint8_t> command = m_lastOutput;
                WakeLogger();
                m_lastOutput = command;
                Resend();
                restart = true;
                break;
            }
            WaitInput(1, m_timing.packetIdle - Since(start));
        }
        if (restart) continue;

        uint8_t b = 0;
        m_line.Read(&b, 1);
        if (b == kSyn) {
            // Answer the first SYN after any other byte, then every twentieth.
            if (--synCount == 0) {
                SendRaw(kSyn);
                synCount = 20;
            }
            continue;
        }
        if (b != kStx) {
            synCount = 1;
            continue;
        }
        do {
            if (!WaitInsidePacket(1)) return false;
            m_line.Read(&b, 1);
        } while (b == kStx);

        std::size_t length;
        std::size_t toRead;
        if (mode == 2) {
            // The low length byte of a two-byte packet equals STX and went with the STX run;
            // the byte in hand is the high length byte.
            length = 2;
            toRead = 3;
        } else {
            if (!WaitInsidePacket(1)) return false;
            uint8_t high = 0;
            m_line.Read(&high, 1);
            length = static_cast<std::size_t>(b) + 256u * high;
            toRead = length + 1;
        }
        if (!PacketLengthValid(length)) {
            SendRaw(kNak);
            continue;
        }
        if (!WaitInsidePacket(toRead)) return false;
        Read(buffer, toRead);
        if (PacketSumValid(buffer, toRead)) {
            SendRaw(kAck);
            lengthOut = length;
            return true;
        }
        SendRaw(kNak);
    }
}

bool CLoggerPort::WaitForBytes(uint8_t* buffer, std::size_t n, IProgress* statusWindow) {
    int32_t r = m_retries;
    std::size_t lastSeen = 0;
    auto start = Clock::now();
    for (;;) {
        std::size_t waiting = InBufferCount();
        if (waiting >= n) {
            Read(buffer, n);
            buffer[n] = 0;
            return true;
        }
        if (Since(start) > m_timing.bytesIdle || CannotReach(n)) {
            if (waiting == lastSeen || CannotReach(n)) {
                if (r > 0 && !CannotReach(n)) {
                    --r;
                    Resend();
                } else {
                    if (statusWindow) statusWindow->SetStatus(kLinkLine4, kNotResponding);
                    m_host.Message(kNotResponding, Icon::Error);
                    return false;
                }
            } else {
                lastSeen = waiting;
            }
            start = Clock::now();
        }
        if (PumpAndTestAbort()) {
            if (statusWindow) statusWindow->SetStatus(kLinkLine4, kUserAborted);
            m_host.Message("Failed to establish communications wih Data Logger", Icon::Error);
            return false;
        }
        WaitInput(n, m_timing.bytesIdle - Since(start));
    }
}

bool CLoggerPort::WaitForText(const std::string& pattern, float timeout, bool toLineEnd,
                              std::string* out, std::size_t outLength, IProgress* statusWindow) {
    std::string window;
    window.reserve(256);
    bool matched = false;
    std::size_t matchPos = 0;
    auto start = Clock::now();
    for (;;) {
        if (InBufferCount() > 0) {
            uint8_t b = 0;
            m_line.Read(&b, 1);
            if (window.size() >= 255) {
                // Keep the newer half; a noted match moves with the text.
                window.erase(0, 128);
                matchPos = matchPos >= 128 ? matchPos - 128 : 0;
            }
            window.push_back(static_cast<char>(b));
            start = Clock::now();
        }
        bool done = false;
        if (!matched) {
            std::size_t at = window.find(pattern);
            if (at != std::string::npos) {
                matchPos = at;
                if (toLineEnd)
                    matched = true;
                else
                    done = true;
            }
        }
        if (matched && window.find("\r\n", matchPos) != std::string::npos) done = true;
        if (done) {
            if (out) *out = window.substr(0, std::min(outLength, window.size()));
            return true;
        }
        if ((timeout > 0 && Since(start) > timeout) || (InBufferCount() == 0 && IsLineLost())) {
            if (statusWindow) statusWindow->SetStatus(kLinkLine4, kNotResponding);
            return false;
        }
        if (PumpAndTestAbort()) {
            if (statusWindow) statusWindow->SetStatus(kLinkLine4, kUserAborted);
            return false;
        }
        if (InBufferCount() == 0) WaitInput(1, timeout > 0 ? timeout - Since(start) : kTurnSeconds);
    }
}

}  // namespace orvex
