// The simulated Kavrane logger's text commands, boot monitor and flash reload.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "SimLogger.h"

namespace orvexsim {

namespace {
constexpr uint8_t kAck = 0x06, kNak = 0x15, kAbort = 0x90;
}

bool SimLogger::HandleKavrane(uint8_t cmd) {
    if (HandleText(cmd)) return true;
    switch (cmd) {
        case 0x98:
            ConfigMenu();
            return true;
        case 0xDE:
            SendClock();
            return true;
        case 0x97:
            m_link.Send(static_cast<uint8_t>(m_c.live.recording ? 1 : 0));
            return true;
        case 0xEA:
        case 0xEB:
        case 0xEC:
        case 0xED:
        case 0xEE:
            Select(cmd);
            return true;
        case 0xEF:
            Poll();
            return true;
        case kAck:
            return true;  // the host's acknowledgements of a pre-amble
        default:
            return false;
    }
}

bool SimLogger::HandleText(uint8_t b) {
    const int boot = m_c.boot.bootVersion;
    if (m_inBoot) {
        if (b == 0xE0) {
            if (boot >= 103) m_link.Send({Current().ident[0], 0xFF, 0xFF, 0xFF});
            return true;
        }
        if (b == 0xE1) {
            if (boot >= 103)
                m_link.Send({static_cast<uint8_t>(boot / 100), static_cast<uint8_t>(boot % 100)});
            return true;
        }
        if (b == 0x9A) {
            FlashReload();
            return true;
        }
    }
    if (b >= 0x20 && b < 0x7F) {
        m_text.push_back(static_cast<char>(b));
        if (m_text.size() > 16) m_text.erase(0, m_text.size() - 16);
        return true;
    }
    if (b == '\r') {
        const std::string t = m_text;
        m_text.clear();
        if (m_inBoot) {
            if (t == "EXIT") {
                m_inBoot = false;
                SignOn();
            } else {
                SendText("\r\nBoot> ");
            }
            return true;
        }
        if (t == "BOOT") {
            m_inBoot = true;
            SendText("\r\nBoot Monitor V" + std::to_string(boot / 100) + "." +
                     std::to_string(boot % 100) + "\r\nBoot> ");
            return true;
        }
        return !t.empty();
    }
    return m_inBoot;  // the boot monitor ignores everything else
}

void SimLogger::SignOn() {
    char text[200];
    std::snprintf(text, sizeof text, "\r\nCorvane Data Logger V%d.%02d, %s%s\r\n%s\r\n> ",
                  m_o.major, m_o.minor, m_c.boot.fastCpu ? "22MHz" : "11MHz",
                  m_c.boot.battery ? ", Bat-Volts" : "",
                  m_c.boot.copyright ? "Copyright (c) Corvane Systems" : "Ready");
    SendText(text);
}

void SimLogger::FlashReload() {
    auto erase = [this](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        m_link.Send(kAck);
    };
    m_link.Send(kAck);
    erase(m_c.boot.eraseMs);
    for (;;) {
        uint8_t lo = 0, hi = 0, b = 0;
        if (!m_link.Receive(lo, 3000)) return;
        if (!m_link.Receive(hi, 3000)) {
            m_link.Unread(lo);
            return;
        }
        if (lo == 'E' && hi == 'X') {  // the host gave up and restarts the firmware
            m_link.Unread(lo);
            m_link.Unread(hi);
            return;
        }
        const std::size_t length = static_cast<std::size_t>(lo | hi << 8);
        std::vector<uint8_t> image;
        unsigned sum = 0;
        while (image.size() < length) {
            const std::size_t n = std::min<std::size_t>(128, length - image.size());
            for (std::size_t i = 0; i < n; ++i) {
                if (!m_link.Receive(b, 3000)) return;
                image.push_back(b);
                sum += b;
            }
            m_link.Send(kAck);
        }
        if (!m_link.Receive(b, 3000)) return;
        sum += b;
        if (m_c.boot.flashAbort) {
            m_link.Send(kAbort);
            return;
        }
        if (m_flashNaks < m_c.boot.flashNaks || (sum & 0xFF) != 0) {
            ++m_flashNaks;
            m_link.Send(kNak);
            erase(m_c.boot.reeraseMs);
            continue;
        }
        if (!m_c.boot.flashOut.empty()) {
            std::ofstream out(m_c.boot.flashOut, std::ios::binary);
            out.write(reinterpret_cast<const char*>(image.data()), static_cast<long>(image.size()));
        }
        m_link.Send(kAck);
        return;
    }
}

}  // namespace orvexsim
