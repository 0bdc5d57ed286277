// The simulated logger's side of the conversations: wake-up, identification, session choice,
// the channel transfers of both logger families, and the line faults it can inject.
#pragma once

#include <vector>

#include "SimLink.h"
#include "SimScenario.h"

namespace orvexsim {

struct Faults {
    bool badSum = false;      // the first data packet of a transfer goes out with a bad sum
    bool syn = false;         // a run of SYN bytes before the first data packet
    bool noise = false;       // stray bytes before every packet and wake-up answer
    bool stall = false;       // once, a pause longer than the host's time-outs mid-transfer
    bool overLength = false;  // a length field of 513 before the first data packet
    bool dead = false;        // the line goes dead in the middle of a packet
    int stallMs = 1500;
};

class SimLogger {
  public:
    SimLogger(SimLink& link, const Options& options, const Faults& faults,
              std::vector<Session>& sessions)
        : m_link(link), m_o(options), m_faults(faults), m_sessions(sessions) {
        m_session = static_cast<int>(sessions.size()) - 1;
    }
    // Answers the host until the line has been quiet for idleExitMs after a conversation
    // (never when forever is set).
    void Serve(bool forever, int idleExitMs);

  private:
    void Handle(uint8_t cmd);
    bool SendPacket(const std::vector<uint8_t>& data, int index, int count);
    bool SendTransfer(const Transfer& t);
    bool SendData(const std::vector<uint8_t>& data);
    void SendNoise();
    // 0x06, 0x15, or 0 when the host said something else or nothing.
    uint8_t AwaitReply();
    Session& Current() { return m_sessions[static_cast<std::size_t>(m_session)]; }
    bool Kavrane() const { return m_o.family == Family::Kavrane; }

    SimLink& m_link;
    const Options& m_o;
    Faults m_faults;
    std::vector<Session>& m_sessions;
    int m_session = 0;
    bool m_dead = false;
    bool m_stalled = false;
};

}  // namespace orvexsim
