// The simulated logger's side of the conversations: wake-up, identification, session choice,
// the channel transfers of both logger families, and the line faults it can inject.
#pragma once

#include <string>
#include <vector>

#include "SimConversations.h"
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
    bool hangUp = false;      // the logger end closes in the middle of a packet (cable pulled)
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
    // The Kavrane menu, boot monitor and live-data behaviour.
    void SetConversations(const Conversations& c);

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

    // Kavrane commands beyond the upload; true when `cmd` was one of them.
    bool HandleKavrane(uint8_t cmd);
    // Configuration menu (SimMenu.cpp).
    void ConfigMenu();
    void MenuUpload();
    void MenuDownload();
    void SendClock();
    void SetSessions(int n);
    // Boot monitor and flash reload (SimBoot.cpp).
    bool HandleText(uint8_t b);
    void SignOn();
    void FlashReload();
    // Live data (SimLive.cpp).
    void Select(uint8_t cmd);
    void Poll();
    void SendText(const std::string& text);

    SimLink& m_link;
    const Options& m_o;
    Faults m_faults;
    std::vector<Session>& m_sessions;
    int m_session = 0;
    bool m_dead = false;
    bool m_stalled = false;

    Conversations m_c;
    std::vector<uint8_t> m_configBlock;
    int m_receptions = 0, m_downloadNaks = 0, m_flashNaks = 0;
    bool m_inBoot = false;
    std::string m_text;  // a text command being typed ("BOOT", "EXIT")
    uint8_t m_rpmSel = 0, m_sensorSel = 0, m_timerSel = 0, m_switchSel = 0;
    uint32_t m_analogSel = 0;
    int m_polls = 0;
};

}  // namespace orvexsim
