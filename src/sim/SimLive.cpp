// The simulated Kavrane logger's live data: channel selection and poll replies with readings
// that stay the same from poll to poll (timer states and RPM sensor lights aside), or analog
// readings that rise steadily when asked to.
#include "SimLogger.h"

namespace orvexsim {

void SimLogger::Select(uint8_t cmd) {
    uint8_t b[4] = {};
    const int n = cmd == 0xEE ? 4 : 1;
    for (int i = 0; i < n; ++i)
        if (!m_link.Receive(b[i], 1000)) return;
    switch (cmd) {
        case 0xEA:
            m_sensorSel = b[0];
            break;
        case 0xEB:
            m_timerSel = b[0];
            break;
        case 0xEC:
            m_switchSel = b[0];
            break;
        case 0xED:
            m_rpmSel = b[0];
            break;
        default:
            m_analogSel = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                          static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
            break;
    }
}

// Readings: RPM channel n counts 1536 x n timer ticks a pulse, analog channel n reads
// 1000 + 100 x n (rising by the ramp with every poll, back down after 1000 counts), timer t
// last fired (10 + t) seconds of a 307200 Hz clock, switch n is on for odd n, and the RPM
// sensor lights change with every poll.
void SimLogger::Poll() {
    ++m_polls;
    const LiveOptions& live = m_c.live;
    if (live.silentFrom > 0 && m_polls >= live.silentFrom &&
        m_polls < live.silentFrom + live.silentCount)
        return;
    std::vector<uint8_t> data;
    auto word = [&data](unsigned v) {
        data.push_back(static_cast<uint8_t>(v));
        data.push_back(static_cast<uint8_t>(v >> 8));
    };
    for (unsigned ch = 1; ch <= 5; ++ch)
        if (m_rpmSel & (1u << (ch - 1))) word(1536 * ch);
    for (unsigned ch = 1; ch <= 5; ++ch)
        if (m_sensorSel & (1u << (ch - 1))) data.push_back(static_cast<uint8_t>(m_polls & 1));
    for (unsigned ch = 1; ch <= 32; ++ch)
        if (m_analogSel & (1u << (ch - 1)))
            word(1000 + 100 * ch +
                 static_cast<unsigned>(live.analogRamp) * static_cast<unsigned>(m_polls) % 1000);
    for (unsigned t = 1; t <= 2; ++t) {
        if (!(m_timerSel & (1u << (t - 1)))) continue;
        const uint32_t ticks = 307200u * (10 + t);
        data.push_back(1);
        for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(ticks >> (8 * i)));
    }
    for (unsigned ch = 1; ch <= 4; ++ch)
        if (m_switchSel & (1u << (ch - 1))) data.push_back(static_cast<uint8_t>(ch & 1));
    unsigned sum = 0;
    for (uint8_t b : data) sum += b;
    uint8_t check = static_cast<uint8_t>(0x100 - (sum & 0xFF));
    if (m_polls == live.badPoll) check = static_cast<uint8_t>(check + 1);
    data.push_back(check);
    data.insert(data.begin(), uint8_t{0x00});  // the leading byte
    m_link.Send(data);
}

}  // namespace orvexsim
