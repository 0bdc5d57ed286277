#include "SimLogger.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace orvexsim {

namespace {
constexpr uint8_t kStx = 0x02, kAck = 0x06, kNak = 0x15, kSyn = 0x16;

uint8_t Checksum(const std::vector<uint8_t>& data) {
    unsigned sum = 0;
    for (uint8_t b : data) sum += b;
    return static_cast<uint8_t>(0x100 - (sum & 0xFF));
}
}  // namespace

void SimLogger::Serve(bool forever, int idleExitMs) {
    bool talked = false;
    // A simulator whose starter has gone (a test that crashed) ends at the next quiet spell
    // instead of waiting for a host forever.
    const pid_t starter = ::getppid();
    for (;;) {
        uint8_t b = 0;
        if (!m_link.Receive(b, idleExitMs)) {
            if (!forever && talked) return;
            if (::getppid() != starter) return;
            continue;
        }
        if (m_dead) continue;
        talked = true;
        Handle(b);
    }
}

void SimLogger::SendNoise() {
    if (m_faults.noise) m_link.Send({0x41, 0x00, 0xFF, 0x7E});
}

uint8_t SimLogger::AwaitReply() {
    for (;;) {
        uint8_t b = 0;
        if (!m_link.Receive(b, 2000)) return 0;
        if (b == kSyn) continue;  // the host answering a SYN run
        if (b == kAck || b == kNak) return b;
        m_link.Unread(b);  // a new command: this transfer is over
        return 0;
    }
}

bool SimLogger::SendPacket(const std::vector<uint8_t>& data, int index, int count) {
    const int faultAt = count > 1 ? 1 : 0;
    bool first = true;
    for (int attempt = 0; attempt < 20; ++attempt) {
        SendNoise();
        if (index == faultAt && m_faults.stall && !m_stalled) {
            m_stalled = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(m_faults.stallMs));
        }
        if (index == 0 && first && m_faults.syn) {
            std::vector<uint8_t> run(26, kSyn);
            run[0] = 0x00;
            m_link.Send(run);
        }
        if (index == 0 && first && m_faults.overLength) {
            m_link.Send({kStx, 0x01, 0x02});
            if (AwaitReply() != kNak) return false;
        }
        std::vector<uint8_t> frame(data.size() + 4);
        frame[0] = kStx;
        frame[1] = static_cast<uint8_t>(data.size() & 0xFF);
        frame[2] = static_cast<uint8_t>(data.size() >> 8);
        std::copy(data.begin(), data.end(), frame.begin() + 3);
        frame.back() = Checksum(data);
        if (index == faultAt && m_faults.hangUp) {
            // Half a packet, then the terminal closes with the process.
            frame.resize(3 + data.size() / 2);
            m_link.Send(frame);
            std::_Exit(0);
        }
        if (index == faultAt && m_faults.dead) {
            frame.resize(3 + data.size() / 2);
            m_link.Send(frame);
            m_dead = true;
            return false;
        }
        if (index == 0 && first && m_faults.badSum)
            frame.back() = static_cast<uint8_t>(frame.back() + 1);
        m_link.Send(frame);
        first = false;
        uint8_t reply = AwaitReply();
        if (reply == kAck) return true;
        if (reply != kNak) return false;
    }
    return false;
}

bool SimLogger::SendData(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> total(4);
    for (int i = 0; i < 4; ++i)
        total[static_cast<std::size_t>(i)] = static_cast<uint8_t>(data.size() >> (8 * i));
    if (!SendPacket(total, -1, 0)) return false;
    const std::size_t size = static_cast<std::size_t>(std::max(1, m_o.packet));
    const int count = static_cast<int>((data.size() + size - 1) / size);
    for (int i = 0; i < count; ++i) {
        std::size_t from = static_cast<std::size_t>(i) * size;
        std::vector<uint8_t> chunk(
            data.begin() + static_cast<long>(from),
            data.begin() + static_cast<long>(std::min(data.size(), from + size)));
        if (!SendPacket(chunk, i, count)) return false;
    }
    return true;
}

bool SimLogger::SendTransfer(const Transfer& t) {
    if (!SendPacket(std::vector<uint8_t>(t.preamble.begin(), t.preamble.end()), -1, 0))
        return false;
    return SendData(t.data);
}

void SimLogger::Handle(uint8_t cmd) {
    if (Kavrane() && HandleKavrane(cmd)) return;
    Session& s = Current();
    auto ident = [&](int from, int n) {
        m_link.Send(std::vector<uint8_t>(s.ident + from, s.ident + from + n));
    };
    uint8_t arg = 0;
    switch (cmd) {
        case 0x90:
            SendNoise();
            m_link.Send({0x16, 0x90, 0x06});
            return;
        case 0xE0:
            return ident(0, 4);
        case 0xE1:
            return ident(4, 2);
        case 0xE2:
            return ident(6, 1);
        case 0xE3:
            return ident(7, 1);
        case 0xE6:
            if (Kavrane()) ident(8, 3);
            return;
        case 0xE5:
            if (Kavrane()) ident(11, 1);
            return;
        case 0xE7:
            if (Kavrane()) ident(12, 1);
            return;
        case 0xE4:
            if (m_link.Receive(arg, 1000)) {
                int n = static_cast<int>(m_sessions.size());
                if (arg == 0)
                    m_session = n - 1;
                else if (arg <= n)
                    m_session = arg - 1;
            }
            return;
        case 0x93:
            if (Kavrane() && (m_o.major > 2 || (m_o.major == 2 && m_o.minor >= 24)))
                m_link.SetBaud(38400);
            return;
        case 0x91:
            m_link.SetBaud(9600);
            return;
        default:
            break;
    }
    if (!Kavrane()) {
        auto it = s.channels.find(cmd);
        if (it != s.channels.end()) SendTransfer(it->second);
        return;
    }
    if (cmd == 0xD0 || cmd == 0xD1) {
        auto it = s.timers.find(cmd - 0xD0);
        if (it != s.timers.end()) SendTransfer(it->second);
    } else if (cmd >= 0xD8 && cmd <= 0xDA) {
        if (!m_link.Receive(arg, 1000)) return;
        const std::string* text = nullptr;
        if (cmd == 0xD8 && arg < 5) text = &s.rpmPreamble[arg];
        if (cmd == 0xD9 && arg < 20) text = &s.analogPreamble[arg];
        if (cmd == 0xDA && arg < 4) text = &s.switchPreamble[arg];
        if (text && !text->empty())
            SendPacket(std::vector<uint8_t>(text->begin(), text->end()), -1, 0);
    } else if (cmd == 0xDF) {
        if (m_o.major == 2 && m_o.minor <= 8 && m_link.Receive(arg, 1000) && arg != 0x01)
            m_link.Unread(arg);
        SendData(s.image);
    }
}

}  // namespace orvexsim
