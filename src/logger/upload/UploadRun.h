// Internal state of one upload conversation, shared by the top level and the Vexa-Log and
// Kavrane transfers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/FormatText.h"
#include "logger/link/Framing.h"
#include "logger/upload/Upload.h"

namespace orvex {

enum class TransferStatus { Ok, Failed, Partial };

// "%s" names of the two logger families.
inline constexpr const char* kKavraneName = "Kavrane Data";
inline constexpr const char* kVexaName = "Vexa-Log";

// Parses "%lf CLK, %d CLK-DIV, %d SAMPLE-DIV, %d PCA-DIV, %[^\n]" of a Kavrane pre-amble.
struct KavraneClock {
    double crystal = 0;
    int clockDiv = 0, sampleDiv = 0, pcaDiv = 0;
    std::string rest;
    double TickRate() const { return crystal / clockDiv / pcaDiv; }
};
bool ParseKavraneClock(const std::string& text, KavraneClock& out);

// The engine description "N CYL, Y CYCLE, P PPR" (or "1/2 PPR").
struct EngineSpec {
    int cylinders = 8;
    int cycle = 0;
    int ppr = 0;  // 0: not given
    bool halfRate = false;
};
// Reads the text from the cylinders on and completes cycle and PPR.
EngineSpec ParseEngine(const char* text);

// The integer read at three characters before the first "PPR" (1 when absent).
int PprBeforeMarker(const std::string& text);

int32_t ToTime(double t);

// Words of the logger's records, most significant byte first, and the little-endian byte
// counts.
inline uint32_t Be16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}
inline uint32_t Be32(const uint8_t* p) {
    return Be16(p) << 16 | Be16(p + 2);
}
inline uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The setup of `channel` in a list kept in channel order; `fresh` is inserted at its place
// when there is none.
template <class List, class Setup>
Setup& FindOrInsert(List& list, int channel, const Setup& fresh) {
    auto it = std::find_if(list.begin(), list.end(),
                           [channel](const Setup& s) { return s.m_nChannel == channel; });
    if (it != list.end()) return *it;
    auto at = std::find_if(list.begin(), list.end(),
                           [channel](const Setup& s) { return s.m_nChannel > channel; });
    return *list.insert(at, fresh);
}

// The RPM setup of `channel`, made afresh with the type's defaults unless it has that type.
CFreqSetup& RpmSetupOf(CBriodashDataset& ds, int channel, int type, Units units);

class CUploadRun {
  public:
    CUploadRun(ISerialLine& line, const CUploadDefaults& defaults, const CUploadOptions& options,
               IHostServices& host)
        : m_line(line), m_defaults(defaults), m_options(options), m_host(host), m_port(line, host) {
        m_port.SetTiming(options.timing);
    }
    CUploadResult Run();

  private:
    // Top level.
    void NewDataset();
    bool OpenPort();
    bool Identify();
    bool SelectSession();
    bool TransfersKavrane();
    bool TransfersVexa();
    // After a transfer: 0 continue, 1 keep the data and close, -1 discard and end.
    int AfterTransfer(TransferStatus status);
    void ReopenAtHighSpeed();
    void Finish(bool ok);
    bool DatasetHasData() const;

    // Vexa-Log.
    TransferStatus VexaChannel(uint8_t command);
    // Kavrane.
    TransferStatus KavraneTimer(int k);
    TransferStatus KavraneMemory();
    bool KavranePreamble(uint8_t command, int channel, const char* failure, KavraneClock& clock,
                         int& downCount, std::string& rest);
    TransferStatus ReceiveData(uint32_t total, std::vector<uint8_t>& data);
    void UnpackTimer(const std::vector<uint8_t>& data, int k, int mode, double q);
    void UnpackImage(const std::vector<uint8_t>& data);
    void ShowRecordingTime(double t);

    void Status(int line, const std::string& text) { m_port.SetStatus(line, text); }
    const char* FamilyName() const { return m_bKavrane ? kKavraneName : kVexaName; }
    std::string Version() const { return FormatText("V%1d.%02d", m_ident[4], m_ident[5]); }

    ISerialLine& m_line;
    const CUploadDefaults& m_defaults;
    const CUploadOptions& m_options;
    IHostServices& m_host;
    CLoggerPort m_port;
    std::unique_ptr<IProgress> m_window;
    std::unique_ptr<CBriodashDataset> m_ds;
    CUploadResult m_result;
    uint8_t m_ident[14] = {};
    bool m_bKavrane = false;
    bool m_bHighSpeed = false;
    bool m_bAnswered = false;
    bool m_bPortOpen = false;

    // Memory image layout from the pre-ambles.
    int m_rpmDown[kRpmChannels] = {};
    double m_rpmRate[kRpmChannels] = {};
    int m_analogDown[kAnalogChannels] = {};
    double m_analogRate[kAnalogChannels] = {};
    int m_switchDown = 1;
    double m_switchRate = 1;
    int m_analogBits = 12;
};

}  // namespace orvex
