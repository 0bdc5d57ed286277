// The simulated logger's end of the serial line: a pseudo-terminal master with optional
// pacing of the bytes at the line rate.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace orvexsim {

class SimLink {
  public:
    // Creates the pseudo-terminal; false with a message on stderr when it cannot.
    bool Create();
    const std::string& SlavePath() const { return m_slavePath; }
    void SetPace(bool on) { m_pace = on; }
    void SetBaud(long baud) { m_baud = baud; }
    long Baud() const { return m_baud; }

    void Send(const std::vector<uint8_t>& bytes);
    void Send(uint8_t byte) { Send(std::vector<uint8_t>{byte}); }
    // Next byte from the host within timeoutMs (-1: wait for ever); false on time-out.
    bool Receive(uint8_t& byte, int timeoutMs);
    // Gives a byte back so that the next Receive returns it.
    void Unread(uint8_t byte) { m_pushed.push_back(byte); }

  private:
    int m_master = -1;
    int m_keepSlave = -1;
    std::string m_slavePath;
    bool m_pace = false;
    long m_baud = 9600;
    std::chrono::steady_clock::time_point m_lineFree{};
    std::vector<uint8_t> m_pushed;
    std::vector<uint8_t> m_in;
    std::size_t m_inHead = 0;
};

}  // namespace orvexsim
