#include "logger/upload/Upload.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

#include "logger/upload/UploadRun.h"

namespace orvex {

int32_t ToTime(double t) {
    if (!(t > -2147483648.0)) return std::numeric_limits<int32_t>::min();
    if (t >= 2147483647.0) return std::numeric_limits<int32_t>::max() - 1;
    return static_cast<int32_t>(t);
}

CFreqSetup& RpmSetupOf(CBriodashDataset& ds, int channel, int type, Units units) {
    CFreqSetup& s =
        FindOrInsert(ds.m_carSetup.m_rpm, channel, CFreqSetup::Make(channel, type, units));
    if (s.m_nRpmType != type) s = CFreqSetup::Make(channel, type, units);
    return s;
}

bool ParseKavraneClock(const std::string& text, KavraneClock& out) {
    std::vector<char> rest(text.size() + 1, '\0');
    int n = std::sscanf(text.c_str(), "%lf CLK, %d CLK-DIV, %d SAMPLE-DIV, %d PCA-DIV, %[^\n]",
                        &out.crystal, &out.clockDiv, &out.sampleDiv, &out.pcaDiv, rest.data());
    if (n < 4 || out.crystal <= 0 || out.clockDiv <= 0 || out.sampleDiv <= 0 || out.pcaDiv <= 0)
        return false;
    out.rest = n == 5 ? rest.data() : "";
    return true;
}

EngineSpec ParseEngine(const char* text) {
    EngineSpec e;
    std::vector<char> rest(std::strlen(text) + 1, '\0'), rest2(rest.size(), '\0');
    int n = 0;
    if (std::sscanf(text, "%d CYL, %[^\n]", &n, rest.data()) >= 1) {
        e.cylinders = n;
        if (std::sscanf(rest.data(), "%d CYCLE, %[^\n]", &e.cycle, rest2.data()) >= 1) {
            if (std::strstr(rest2.data(), "1/2 PPR")) {
                e.halfRate = true;
                e.ppr = 1;
            } else {
                int p = 0;
                if (std::sscanf(rest2.data(), "%d PPR", &p) == 1 && p > 0) e.ppr = p;
            }
        }
    } else if (e.cycle != 2 && e.cycle != 4) {
        e.cycle = 4;
    }
    if (e.ppr == 0) {
        e.ppr = e.cycle != 4 ? e.cylinders : e.cylinders / 2;
        if (e.ppr < 1) e.ppr = 1;
    }
    if (e.halfRate) e.cycle = 8;
    return e;
}

int PprBeforeMarker(const std::string& text) {
    std::size_t at = text.find("PPR");
    int p = 0;
    if (at == std::string::npos || at < 3 || std::sscanf(text.c_str() + at - 3, "%d", &p) != 1 ||
        p < 0)
        return 1;
    return p;
}

void CUploadRun::NewDataset() {
    m_ds = std::make_unique<CBriodashDataset>();
    char stamp[128];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "Uploaded %b %d, %Y @ %I:%M:%S %p", &local);
    m_ds->m_lstComments.push_back(stamp);
    const CCarSetup& d = m_defaults.carSetup;
    CCarSetup& c = m_ds->m_carSetup;
    c.m_nRearEndMode = d.m_nRearEndMode;
    c.m_nDriveTeeth = d.m_nDriveTeeth;
    c.m_nAxleTeeth = d.m_nAxleTeeth;
    c.m_nGears = d.m_nGears;
    for (int g = 0; g < 6; ++g) c.m_fGearRatio[g] = d.m_fGearRatio[g];
    if (d.m_nRearEndMode == 1) {
        c.m_fRearEndRatio = d.m_fRearEndRatio;
    } else if (d.m_nDriveTeeth > 0) {
        c.m_fRearEndRatio =
            static_cast<float>(d.m_nAxleTeeth) / static_cast<float>(d.m_nDriveTeeth);
    } else {
        c.m_fRearEndRatio = 1.0f;
        c.m_nDriveTeeth = c.m_nAxleTeeth = 1;
    }
    m_port.ClearAbort();
}

bool CUploadRun::OpenPort() {
    Status(kLinkLine2, "Com Port Open");
    Status(kLinkLine2, "Baud Rate Set");
    Status(kLinkLine2, "Buffer Size");
    if (!m_port.Open(m_options.device, kSettings9600)) {
        Status(kLinkLine4, m_port.LastError());
        return false;
    }
    m_bPortOpen = true;
    Status(kLinkLine2, "Port Open");
    return true;
}

namespace {
bool TypeAccepted(uint8_t t) {
    return t == 1 || t == 2 || t == 8 || t == 9 || t == 0x11 || t == 0x12 || (t & 0x60);
}
}  // namespace

bool CUploadRun::Identify() {
    m_port.WakeLogger();
    m_port.DiscardInput();
    m_port.Write({0xE0, 0xE1, 0xE2, 0xE3});
    if (!m_port.WaitForBytes(m_ident, 8, m_window.get())) {
        m_host.Message("Failed to establish communications wih Data Logger", Icon::Error);
        Status(kLinkLine1, "Closing...");
        return false;
    }
    const uint8_t t = m_ident[0];
    if (!TypeAccepted(t)) {
        m_host.Message("Invalid Repsonse from Unknown Data Logger.", Icon::Error);
        Status(kLinkLine1, "Closing...");
        return false;
    }
    m_bAnswered = true;
    m_bKavrane = (t & 0x20) != 0;
    if (m_bKavrane && (m_ident[4] > 2 || (m_ident[4] == 2 && m_ident[5] >= 24))) {
        m_port.Write({0x93});
        m_port.Delay(0.5);
        m_port.ChangeSettings(kSettings38400);
        m_bHighSpeed = true;
    }
    return true;
}

bool CUploadRun::SelectSession() {
    const int sessions = m_ident[3] & 0x0F;
    const uint8_t t = m_ident[0];
    if (!(t == 8 || t == 9 || m_bKavrane) || sessions <= 1) return true;
    std::optional<int> choice =
        m_options.chooseSession ? m_options.chooseSession(sessions, m_ident[3] >> 4) : 0;
    if (!choice || *choice < 0 || *choice > sessions) return false;
    m_port.Write({0xE4, static_cast<uint8_t>(*choice)});
    if (m_bKavrane) {
        m_port.DiscardInput();
        m_port.Write({0xE2, 0xE3, 0xE6, 0xE5, 0xE7});
        uint8_t reply[8] = {};
        if (!m_port.WaitForBytes(reply, 7, m_window.get())) {
            m_host.Message("Failed communications wih Data Logger", Icon::Error);
            return false;
        }
        std::memcpy(m_ident + 6, reply, 7);
        m_ds->m_nChannelEnable =
            static_cast<uint32_t>(m_ident[7]) | static_cast<uint32_t>(m_ident[8]) << 8 |
            static_cast<uint32_t>(m_ident[9]) << 16 | static_cast<uint32_t>(m_ident[10]) << 24;
    }
    return true;
}

bool CUploadRun::DatasetHasData() const {
    return m_ds && (m_ds->HasData() || !m_ds->m_markers.IsEmpty() || !m_ds->m_gps.IsEmpty());
}

int CUploadRun::AfterTransfer(TransferStatus status) {
    // A transfer that failed or was cut short leaves the logger in mid-conversation: the data
    // received so far is kept only when the user asks for it, and no further transfer starts.
    if (status == TransferStatus::Ok && !m_port.IsAborted()) return 0;
    if (status == TransferStatus::Partial && !m_port.IsAborted()) return 1;
    if (DatasetHasData() &&
        m_host.Ask(
            FormatText("%s Upload ABORTED. Data exists, do you wish to save it?", FamilyName()),
            Buttons::YesNo, Answer::No) == Answer::Yes) {
        m_port.WakeLogger();
        return 1;
    }
    m_ds.reset();
    m_port.WakeLogger();
    return -1;
}

void CUploadRun::ReopenAtHighSpeed() {
    m_port.Close();
    m_port.Open(m_options.device, kSettings9600);
    m_port.Write({0x93});
    m_port.Delay(0.5);
    m_port.Close();
    m_bPortOpen = m_port.Open(m_options.device, kSettings38400);
}

bool CUploadRun::TransfersKavrane() {
    for (int k = 0; k < 2; ++k) {
        if (!(m_ident[12] & (1 << k))) continue;
        Status(kLinkLine1, FormatText("Uploading Timer #%d data from %s %s...", k + 1, kKavraneName,
                                      Version().c_str()));
        if (AfterTransfer(KavraneTimer(k)) != 0) return false;
        if (m_bHighSpeed) ReopenAtHighSpeed();
    }
    Status(kLinkLine1, "Uploading Memory...");
    Status(kLinkLine2, "");
    Status(kLinkLine3, "");
    Status(kLinkLine4, "");
    return AfterTransfer(KavraneMemory()) == 0;
}

bool CUploadRun::TransfersVexa() {
    static const char* names[5] = {"Tach", "Drive Shaft/Axle", "Lap", "Front Wheel", "Clutch"};
    for (int i = 0; i < 5; ++i) {
        if (!(m_ident[6] & (1 << i))) continue;
        Status(kLinkLine1, FormatText("Uploading %s data from %s %s...", names[i], kVexaName,
                                      Version().c_str()));
        if (AfterTransfer(VexaChannel(static_cast<uint8_t>(0xA0 + i))) != 0) return false;
    }
    if (!(m_ident[2] & 0x0F)) return true;
    for (int i = 0; i < kAnalogChannels; ++i) {
        if (!(m_ds->m_nChannelEnable & (1u << i))) continue;
        std::string name = FormatText("Analog %d", i + 1);
        Status(kLinkLine1, FormatText("Uploading %s data from %s %s...", name.c_str(), kVexaName,
                                      Version().c_str()));
        if (!m_ds->m_carSetup.FindAnalogSetup(i + 1)) {
            CAnalogSetup a;
            a.m_nChannel = i + 1;
            auto& list = m_ds->m_carSetup.m_analog;
            auto at = std::find_if(list.begin(), list.end(), [&](const CAnalogSetup& s) {
                return s.m_nChannel > a.m_nChannel;
            });
            list.insert(at, a);
        }
        if (AfterTransfer(VexaChannel(static_cast<uint8_t>(0xB0 + i))) != 0) return false;
    }
    return true;
}

void CUploadRun::Finish(bool ok) {
    m_port.Delay(0.5);
    if (m_bPortOpen && m_bHighSpeed && (!ok || m_port.IsAborted())) {
        m_port.Write({0x91});
        m_port.Delay(0.5);
    }
    m_port.Close();
    m_bPortOpen = false;
}

CUploadResult CUploadRun::Run() {
    NewDataset();
    m_window = m_host.OpenLinkWindow("Retrieving Data from Unknown System");
    m_port.SetStatusWindow(m_window.get());
    Status(kLinkLine1, "Opening...");

    bool ok = OpenPort() && Identify();
    if (ok) {
        CBriodashDataset& ds = *m_ds;
        const uint8_t t = m_ident[0];
        ds.m_nLoggerFamily = (m_ident[2] & 0x80) ? 0 : 1;
        if (t == 1 || t == 8 || (t & 0x60)) {
            ds.m_nFramed = 1;
            ds.m_nChannelEnable = m_ident[7];
            if (m_bKavrane) {
                m_port.DiscardInput();
                m_port.Write({0xE6, 0xE5, 0xE7});
                uint8_t reply[6] = {};
                if (m_port.WaitForBytes(reply, 5, m_window.get())) {
                    std::memcpy(m_ident + 8, reply, 5);
                    ds.m_nChannelEnable |= static_cast<uint32_t>(m_ident[8]) << 8 |
                                           static_cast<uint32_t>(m_ident[9]) << 16 |
                                           static_cast<uint32_t>(m_ident[10]) << 24;
                } else {
                    m_host.Message("Failed to Re-Establish communications wih Data Logger",
                                   Icon::Error);
                    ok = false;
                }
            }
        } else if (t == 2 || t == 9 || t == 0x12) {
            ds.m_nFramed = 0;
            ds.m_nChannelEnable = m_ident[7];
        }
        if (ok) {
            m_window->SetTitle(FormatText("Retrieving Data from %s System", FamilyName()));
            ok = SelectSession();
        }
        if (ok) ok = m_bKavrane ? TransfersKavrane() : TransfersVexa();
        if (!m_ds) {
            // The user chose not to keep the data of an aborted upload.
            Finish(false);
            m_result.loggerAnswered = true;
            std::copy(m_ident, m_ident + 13, m_result.ident.begin());
            return std::move(m_result);
        }
        Status(kLinkLine1, FormatText("Closing %s.", FamilyName()));
    }
    Finish(ok);

    m_result.loggerAnswered = m_bAnswered;
    m_result.highSpeed = m_bHighSpeed;
    std::copy(m_ident, m_ident + 13, m_result.ident.begin());
    if (!DatasetHasData()) {
        m_ds.reset();
        m_host.Message(m_bAnswered
                           ? FormatText("No data was uploaded from %s.", FamilyName())
                           : WithDevice("Unable to establish communications with Data Logger.",
                                        m_options.device),
                       Icon::Error);
        return std::move(m_result);
    }
    PrepareUploadedDataset(*m_ds, m_bKavrane, m_defaults, m_host);
    m_result.succeeded = ok && !m_port.IsAborted();
    m_result.dataset = std::move(m_ds);
    return std::move(m_result);
}

CUploadResult UploadFromLogger(ISerialLine& line, const CUploadDefaults& defaults,
                               const CUploadOptions& options, IHostServices& host) {
    CUploadRun run(line, defaults, options, host);
    return run.Run();
}

}  // namespace orvex
