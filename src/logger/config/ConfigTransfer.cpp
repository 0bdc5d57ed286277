// The configuration menu conversation: identify, enter the menu, move the block of four
// records in either direction, and always leave the menu again.
#include "logger/config/ConfigTransfer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "logger/config/ConfigPagesTerms.h"
#include "logger/link/Framing.h"

namespace orvex {

bool IsSegmentChoice(int n) {
    return n == 1 || n == 2 || n == 4 || n == 8;
}

int FirstActiveConfig(const std::array<CTachConfig, 4>& configs) {
    for (int i = 0; i < 4; ++i)
        if (configs[static_cast<std::size_t>(i)].m_nActive & 1) return i;
    return 0;
}

bool ParseConfigClock(const std::string& text, int32_t& clockRate, float& pcaClock) {
    long k = 0;
    int clockDiv = 0, sampleDiv = 0, pcaDiv = 0;
    if (std::sscanf(text.c_str(), "%ld CLK, %d CLK-DIV, %d SAMPLE-DIV, %d PCA-DIV", &k, &clockDiv,
                    &sampleDiv, &pcaDiv) != 4 ||
        k <= 0 || clockDiv <= 0 || sampleDiv <= 0 || pcaDiv <= 0)
        return false;
    const double rate = std::ceil(static_cast<double>(k) / clockDiv / sampleDiv);
    if (rate < 1 || rate > 1e6) return false;
    clockRate = static_cast<int32_t>(rate);
    pcaClock = static_cast<float>(k) / static_cast<float>(clockDiv) / static_cast<float>(pcaDiv);
    return true;
}

namespace {

constexpr std::size_t kRetrieveTextKeep = 650;
constexpr std::size_t kSendTextKeep = 324;
constexpr int kRetrieveTries = 5;

class CConfigTransfer {
  public:
    CConfigTransfer(ISerialLine& line, IHostServices& host, const CLinkOptions& options)
        : m_s(line, host, options) {}

    bool Retrieve(CConfigWorkset& work);
    bool Send(CConfigWorkset& work, const EquationChannels& channels);

  private:
    // Window, port and identification; false when the conversation cannot go on.
    bool Start(bool sending);
    bool EnterMenu();
    // Reads the block size after "Bytes=" from the menu's answer.
    bool BlockForm(const std::string& answer, TachRecordForm& form, long& size);
    bool ReceiveBlock(std::vector<uint8_t>& block, long size, const TachRecordForm& form);
    bool ChangeSegments(int segments);
    bool Download(const std::vector<uint8_t>& block);
    bool SendSteps(CConfigWorkset& work, const EquationChannels& channels);
    bool Ask(const std::string& text) { return m_s.Ask(text) == Answer::Yes; }
    void Fail(const std::string& text) { m_s.Message(text); }
    void Leave();

    CLinkSession m_s;
    int m_nSessions = 0;
};

bool CConfigTransfer::Start(bool sending) {
    m_s.ShowWindow(
        LinkText(sending ? "Sending Configuration to %s" : "Retrieving Configuration from %s",
                 kKavraneFamily));
    m_s.Status(kLinkLine1, LinkText("Opening %s...", kKavraneFamily));
    m_s.Port().ClearAbort();
    if (!m_s.Open()) return false;
    m_s.Send({0xE0});
    uint8_t ident[5] = {};
    if (!m_s.Port().WaitForBytes(ident, 4, m_s.Window())) {
        Fail(sending ? "Failed to get ID Code."
                     : WithDevice("Failed to establish communications wih Data Logger",
                                  m_s.Options().device));
        return false;
    }
    if (!(ident[0] & 0x20)) {
        m_s.Status(kLinkLine1, LinkText("Invalid Repsonse from %s Data Logger.", kKavraneFamily));
        Fail("Box did NOT respond correctly");
        return false;
    }
    m_nSessions = ident[3] & 0x0F;
    return true;
}

bool CConfigTransfer::EnterMenu() {
    m_s.Send({0x98});
    if (!m_s.WaitText("Corvane Configuration Menu", 2.0)) {
        Fail("Failed to enter Configuration Menu");
        return false;
    }
    m_s.Port().Drain();
    return true;
}

bool CConfigTransfer::BlockForm(const std::string& answer, TachRecordForm& form, long& size) {
    const std::size_t at = answer.find("Bytes=");
    size = at == std::string::npos ? 0 : std::strtol(answer.c_str() + at + 6, nullptr, 10);
    const auto found = TachRecordForm::FromBlockSize(size);
    if (!found) {
        Fail(LinkText("Unknown Config Size = %d!.\nContact your vendor for help.",
                      static_cast<int>(size)));
        return false;
    }
    form = *found;
    return true;
}

bool CConfigTransfer::ReceiveBlock(std::vector<uint8_t>& block, long size,
                                   const TachRecordForm& form) {
    block.assign(static_cast<std::size_t>(size) + 1, 0);
    if (!m_s.Port().WaitForBytes(block.data(), static_cast<std::size_t>(size), m_s.Window())) {
        Fail("Failed receiving Config");
        return false;
    }
    const std::size_t record = form.RecordSize();
    for (int failures = 0;;) {
        bool bad = false;
        for (int r = 0; r < 4; ++r) {
            const uint8_t sum =
                CTachConfig::RecordSum(block.data() + static_cast<std::size_t>(r) * record, record);
            if (sum == 0) continue;
            bad = true;
            Fail(LinkText("Check-Sum Failure with Config #%d (Check-Sum=0x%02X)!", r + 1, sum));
        }
        if (!bad) return true;
        ++failures;
        m_s.Send({kNak, static_cast<uint8_t>(failures < kRetrieveTries ? kSyn : kNak)});
        m_s.Port().DiscardInput();
        if (failures >= kRetrieveTries) {
            Fail(LinkText("Check Sum Failure during Upload (Check-Sum=0x%02X)!",
                          CTachConfig::RecordSum(block.data(), static_cast<std::size_t>(size))));
            return false;
        }
        if (!m_s.Port().WaitForBytes(block.data(), static_cast<std::size_t>(size), m_s.Window())) {
            Fail("Failed receiving Config");
            return false;
        }
    }
}

bool CConfigTransfer::Retrieve(CConfigWorkset& work) {
    bool ok = false;
    if (Start(false) && EnterMenu()) {
        m_s.Send(std::string("U\r"));
        std::string answer;
        TachRecordForm form;
        long size = 0;
        std::vector<uint8_t> block;
        if (!m_s.WaitText("Corvane Config V", 2.0, true, &answer, kRetrieveTextKeep)) {
            Fail("Failed to enter Upload Command");
        } else if (BlockForm(answer, form, size)) {
            m_s.Send({kAck});
            if (ReceiveBlock(block, size, form)) {
                const std::size_t record = form.RecordSize();
                for (std::size_t r = 0; r < 4; ++r)
                    work.configs[r].DecodeRecord(block.data() + r * record, record, form);
                work.shown = FirstActiveConfig(work.configs);
                if (IsSegmentChoice(m_nSessions)) work.segments = m_nSessions;
                ok = true;
            }
        }
    }
    Leave();
    return ok;
}

bool CConfigTransfer::ChangeSegments(int segments) {
    if (!Ask("You are changing the number of recording sessions.\nThis will erase all memory in "
             "the box.\nDo you wish to continue?"))
        return false;
    m_s.Status(kLinkLine2, "Changing number of Recording Sessions");
    m_s.Status(kLinkLine3, "Erasing Memory (Takes up to 40 seconds)");
    m_s.Send(LinkText("C\rS %d\rX\r", segments));
    if (!m_s.WaitText("Main", 0.0)) {
        Fail("Failed Memory Erasure");
        return false;
    }
    m_s.Port().Drain();
    return true;
}

bool CConfigTransfer::Download(const std::vector<uint8_t>& block) {
    m_s.Port().DiscardInput();
    m_s.Send({kAck});
    for (int failures = 0;;) {
        if (!m_s.WaitText(std::string(1, static_cast<char>(kAck)), 2.0)) {
            Fail("Failed to get Starting ACK");
            return false;
        }
        m_s.Port().Write(block.data(), block.size());
        bool aborted = false, nak = false;
        while (!nak) {
            const std::optional<uint8_t> b = m_s.WaitByte(3.0, &aborted);
            if (!b) break;
            if (*b == kAck) return true;
            if (*b == kNak) {
                nak = true;
                m_s.Status(kLinkLine3,
                           LinkText("Bad Transmission #%0d, Trying again!", ++failures));
            }
        }
        if (nak) continue;
        if (aborted) {
            m_s.Status(kLinkLine4, "User Aborted Download...");
            Fail("User Aborted Download!");
        } else {
            m_s.Status(kLinkLine4, LinkText("%s Data Logger NOT responding...", kKavraneFamily));
            Fail("Download response incorrect");
        }
        return false;
    }
}

bool CConfigTransfer::Send(CConfigWorkset& work, const EquationChannels& channels) {
    bool ok = false;
    if (Start(true) && SendSteps(work, channels)) ok = true;
    Leave();
    return ok;
}

bool CConfigTransfer::SendSteps(CConfigWorkset& work, const EquationChannels& channels) {
    m_s.Status(kLinkLine2, "Retrieving Pre-Amble...");
    m_s.Send({0xDE});
    uint8_t packet[kMaxPacketData + 8] = {};
    std::size_t length = 0;
    int32_t rate = 0;
    float pca = 0;
    const bool received = m_s.Port().ReceivePacket(packet, length, 0);
    if (received) m_s.Send({kAck, kAck, kAck, kAck});
    if (!received ||
        !ParseConfigClock(std::string(reinterpret_cast<const char*>(packet),
                                      strnlen(reinterpret_cast<const char*>(packet), length)),
                          rate, pca)) {
        Fail("Failed to establish communications wih Data Logger");
        return false;
    }
    for (CTachConfig& c : work.configs) {
        if (c.m_fPcaClock != pca || c.m_nClockRate != rate)
            ReexpressForClock(c, channels, rate, pca);
    }
    for (CTachConfig& c : work.configs) {
        c.m_nClockRate = rate;
        c.m_fPcaClock = pca;
    }
    if (!EnterMenu()) return false;
    if (work.segments != m_nSessions && !ChangeSegments(work.segments)) return false;

    m_s.Status(kLinkLine2, "Sending Configuration Data");
    m_s.Status(kLinkLine3, "");
    m_s.Send(std::string("D\r"));
    std::string answer;
    TachRecordForm form;
    long size = 0;
    if (!m_s.WaitText("Corvane Config V", 2.0, true, &answer, kSendTextKeep)) {
        Fail("Failed to enter Download");
        return false;
    }
    if (!BlockForm(answer, form, size)) return false;

    std::vector<uint8_t> block;
    bool battery = false, equations = false;
    for (const CTachConfig& c : work.configs) {
        const std::vector<uint8_t> record = c.EncodeRecord(form);
        block.insert(block.end(), record.begin(), record.end());
        battery = battery || (c.m_lAnalogStatus & (1L << 19));
        equations = equations || (c.m_nEqnFlags & 0x07);
    }
    if ((form.m_nAnalogs == 19 && battery &&
         !Ask("You have enabled the Battery Voltage channel but the current\nversion of "
              "Firmware does NOT support it and will be ignored.\nDo you still wish to "
              "continue?")) ||
        (!form.m_bEquations && equations &&
         !Ask("You have enabled the Auto-Start and/or the Output channels but the\ncurrent "
              "version of Firmware does NOT support it and will be ignored.\nDo you still wish "
              "to continue?"))) {
        m_s.Send({kNak, 0x00});
        return false;
    }
    return Download(block);
}

void CConfigTransfer::Leave() {
    if (!m_s.IsOpen()) {
        m_s.HideWindow();
        return;
    }
    m_s.Port().ClearAbort();
    m_s.Port().DiscardInput();
    m_s.Send(std::string("\rQ\r\r"));
    if (!m_s.WaitText("\r\n\r\n> ", 2.0)) Fail("Failed to exit Configuration Menu");
    m_s.Close();
    m_s.HideWindow();
}

}  // namespace

bool RetrieveConfiguration(ISerialLine& line, bool sharedPort, CConfigWorkset& work,
                           const CLinkOptions& options, IHostServices& host) {
    if (sharedPort) {
        host.Message("Upload NOT supported with shared Communication Port!", Icon::Error);
        return false;
    }
    CConfigTransfer transfer(line, host, options);
    return transfer.Retrieve(work);
}

bool SendConfiguration(ISerialLine& line, bool sharedPort, CConfigWorkset& work,
                       const EquationChannels& channels, const CLinkOptions& options,
                       IHostServices& host) {
    bool anyActive = false;
    for (const CTachConfig& c : work.configs) anyActive = anyActive || (c.m_nActive & 1);
    if (!anyActive) {
        host.Message("Download Aborted! No Active Configuration Selected!", Icon::Error);
        return false;
    }
    if (sharedPort) {
        host.Message("Download NOT supported with shared Communication Port!", Icon::Error);
        return false;
    }
    CConfigTransfer transfer(line, host, options);
    return transfer.Send(work, channels);
}

}  // namespace orvex
