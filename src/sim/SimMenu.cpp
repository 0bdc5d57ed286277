// The simulated Kavrane logger's configuration menu: the block of four records up and down,
// the number of recording sessions with the memory erase, and the clock pre-amble.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "SimLogger.h"

namespace orvexsim {

namespace {

constexpr uint8_t kAck = 0x06, kNak = 0x15, kSyn = 0x16;

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Four records of the block size, the second one active, each summing to 0.
std::vector<uint8_t> GeneratedBlock(long size) {
    std::vector<uint8_t> block(static_cast<std::size_t>(size > 0 ? size : 0));
    const std::size_t record = block.size() / 4;
    for (std::size_t r = 0; r < 4 && record > 1; ++r) {
        uint8_t* p = block.data() + r * record;
        unsigned sum = 0;
        for (std::size_t i = 0; i + 1 < record; ++i) {
            p[i] = i == 0 ? static_cast<uint8_t>(0x80 | (r == 1))
                          : static_cast<uint8_t>((r * 7 + i) % 23);
            sum += p[i];
        }
        p[record - 1] = static_cast<uint8_t>(0x100 - (sum & 0xFF));
    }
    return block;
}

bool RecordsSound(const std::vector<uint8_t>& block) {
    const std::size_t record = block.size() / 4;
    for (std::size_t r = 0; r < 4; ++r) {
        unsigned sum = 0;
        for (std::size_t i = 0; i < record; ++i) sum += block[r * record + i];
        if (sum & 0xFF) return false;
    }
    return true;
}

}  // namespace

void SimLogger::SetConversations(const Conversations& c) {
    m_c = c;
    m_inBoot = c.boot.inBoot;
    if (!c.menu.configIn.empty()) {
        std::ifstream in(c.menu.configIn, std::ios::binary);
        m_configBlock.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (m_configBlock.empty()) m_configBlock = GeneratedBlock(c.menu.configBytes);
}

void SimLogger::SendText(const std::string& text) {
    m_link.Send(std::vector<uint8_t>(text.begin(), text.end()));
}

void SimLogger::SetSessions(int n) {
    for (Session& s : m_sessions)
        s.ident[3] = static_cast<uint8_t>((s.ident[3] & 0xF0) | (n & 0x0F));
}

void SimLogger::SendClock() {
    char text[128];
    std::snprintf(text, sizeof text, "%ld CLK, %d CLK-DIV, %d SAMPLE-DIV, %d PCA-DIV", m_c.menu.clk,
                  m_c.menu.clkDiv, m_c.menu.sampleDiv, m_c.menu.pcaDiv);
    std::string s = text;
    SendPacket(std::vector<uint8_t>(s.begin(), s.end()), -1, 0);
}

void SimLogger::ConfigMenu() {
    SendText("\r\nCorvane Configuration Menu\r\nU)pload D)ownload C)onfigure Q)uit\r\nMenu> ");
    std::string line;
    int sessions = 0;
    for (;;) {
        uint8_t b = 0;
        if (!m_link.Receive(b, 10000)) return;
        if (b != '\r') {
            line.push_back(static_cast<char>(b));
            continue;
        }
        const std::string cmd = line;
        line.clear();
        if (cmd == "U") {
            MenuUpload();
        } else if (cmd == "D") {
            MenuDownload();
        } else if (cmd == "C") {
            SendText("\r\nConfigure> ");
        } else if (cmd.rfind("S ", 0) == 0) {
            sessions = std::atoi(cmd.c_str() + 2);
            SendText("\r\nConfigure> ");
        } else if (cmd == "X") {
            SendText("\r\nErasing...");
            Sleep(m_c.menu.eraseMs);
            if (sessions == 1 || sessions == 2 || sessions == 4 || sessions == 8)
                SetSessions(sessions);
            SendText("\r\nMain Menu\r\nMenu> ");
        } else if (cmd == "Q") {
            SendText("\r\n\r\n> ");
            return;
        } else {
            SendText("\r\nMenu> ");
        }
    }
}

void SimLogger::MenuUpload() {
    SendText("\r\nCorvane Config V1.02 Bytes=" + std::to_string(m_c.menu.configBytes) + "\r\n");
    uint8_t b = 0;
    if (!m_link.Receive(b, 3000)) return;
    if (b != kAck) {
        m_link.Unread(b);
        return;
    }
    for (;;) {
        std::vector<uint8_t> block = m_configBlock;
        if (m_receptions++ < m_c.menu.badReceptions && block.size() >= 8)
            block[block.size() / 4 + 3] ^= 0x5A;  // spoils the second record
        m_link.Send(block);
        if (!m_link.Receive(b, 1500)) return;
        if (b != kNak) {
            m_link.Unread(b);
            return;
        }
        if (!m_link.Receive(b, 1500)) return;
        if (b != kSyn) return;  // 0x15 0x15: the host gave up
        Sleep(30);              // the host drops what it holds before the block comes again
    }
}

void SimLogger::MenuDownload() {
    SendText("\r\nCorvane Config V1.02 Bytes=" + std::to_string(m_c.menu.configBytes) + "\r\n");
    uint8_t b = 0;
    if (!m_link.Receive(b, 3000)) return;
    if (b == kNak) {
        m_link.Receive(b, 1000);  // 0x15 0x00: the host cancelled
        return;
    }
    if (b != kAck) {
        m_link.Unread(b);
        return;
    }
    const std::size_t size = static_cast<std::size_t>(m_c.menu.configBytes);
    for (int attempt = 0; attempt < 10; ++attempt) {
        Sleep(10);
        m_link.Send(kAck);  // ready for the block
        std::vector<uint8_t> block;
        while (block.size() < size) {
            if (!m_link.Receive(b, 2000)) return;
            block.push_back(b);
        }
        if (m_downloadNaks < m_c.menu.sendNaks || !RecordsSound(block)) {
            ++m_downloadNaks;
            m_link.Send(kNak);
            continue;
        }
        m_configBlock = block;
        if (!m_c.menu.configOut.empty()) {
            std::ofstream out(m_c.menu.configOut, std::ios::binary);
            out.write(reinterpret_cast<const char*>(block.data()), static_cast<long>(block.size()));
        }
        m_link.Send(kAck);
        return;
    }
}

}  // namespace orvexsim
