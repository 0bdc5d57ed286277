// Boot-monitor analysis, firmware image search and flash reload of a Kavrane logger.
#include "logger/firmware/FirmwareUpdate.h"

#include <algorithm>
#include <filesystem>

#include "logger/link/Framing.h"

namespace orvex {

namespace {

constexpr uint8_t kFlashReload = 0x9A;
constexpr uint8_t kLoggerAbort = 0x90;
constexpr std::size_t kBlock = 128;
constexpr std::size_t kSignOnKeep = 30000;

std::vector<std::string> FilesOf(const std::string& folder, const std::string& extension) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (ext == extension && e.is_regular_file(ec)) out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

CFirmwareDlg::CFirmwareDlg(ISerialLine& line, IHostServices& host, const CLinkOptions& options,
                           bool sharedPort, std::string folder, FolderChooser chooser)
    : m_s(line, host, options),
      m_bShared(sharedPort),
      m_strFolder(std::move(folder)),
      m_chooser(std::move(chooser)) {}

CFirmwareDlg::~CFirmwareDlg() {
    if (m_s.IsOpen()) m_s.Close();
}

std::string CFirmwareDlg::CurrentVersionText() const {
    return m_nVersion > 0 ? CIntelHexFile::VersionText(m_nVersion, m_bBattery) : "Unknown";
}

std::vector<std::string> CFirmwareDlg::ListTexts() const {
    std::vector<std::string> out;
    for (int i : m_suitable) out.push_back(m_images[static_cast<std::size_t>(i)].VersionText());
    return out;
}

bool CFirmwareDlg::AnalyzeLogger() {
    if (m_bShared) {
        m_s.Message("Upload NOT supported with shared Communication Port!");
        return false;
    }
    m_s.Port().ClearAbort();
    const bool ok = Analyze();
    m_s.Port().ClearAbort();
    if (!ok && m_s.IsOpen()) m_s.Close();
    m_s.HideWindow();
    m_bAnalyzed = ok;
    return ok;
}

bool CFirmwareDlg::Analyze() {
    m_nBootVersion = 0;
    m_nVersion = 0;
    m_s.ShowWindow("Analyzing Data Logger.");
    m_s.Status(kLinkLine1, LinkText("Opening %s...", kKavraneFamily));
    m_s.Status(kLinkLine2, "Initializing Port...");
    if (!m_s.IsOpen() && !m_s.Open()) return false;
    CLoggerPort& port = m_s.Port();
    port.DiscardInput();
    m_s.Status(kLinkLine2, "Requesting type of Data Logger...");
    port.Write({0xE0, 0xE1});
    uint8_t id[7] = {};
    if (!port.WaitForBytes(id, 6, m_s.Window())) {
        port.Write({'\r'});
        if (!m_s.WaitText("Boot> ", 2.0)) {
            m_s.Message(
                "Can NOT establish communications with Data Logger!\nMake sure power is On "
                "and Host cable is plugged in.");
            return false;
        }
        m_nBootVersion = 102;  // an old boot monitor that does not identify itself
    } else {
        if (!(id[0] & 0x20)) {
            m_s.Status(kLinkLine1, "Invalid Response from Data Logger.");
            m_s.Message(LinkText("Only %s Data Loggers support Firmware Updates!", kKavraneFamily));
            return false;
        }
        if (id[1] == 0xFF && id[2] == 0xFF && id[3] == 0xFF) {
            m_nBootVersion = id[4] * 100 + id[5];
        } else {
            m_nVersion = id[4] * 100 + id[5];
            m_s.Status(kLinkLine2, "Requesting Boot version...");
            m_s.Send(std::string("BOOT\r"));
            if (!m_s.WaitText("Boot> ", 2.0)) {
                m_s.Message("Could NOT enter Boot Monitor.");
                return false;
            }
            m_s.Status(kLinkLine2, "Retrieving Boot version...");
            port.Write({0xE0, 0xE1});
            if (!port.WaitForBytes(id, 6, m_s.Window())) {
                m_nBootVersion = 102;
            } else if ((id[0] & 0x20) && id[1] == 0xFF && id[2] == 0xFF && id[3] == 0xFF) {
                m_nBootVersion = id[4] * 100 + id[5];
            } else {
                m_s.Message("Invalid Response from Boot Monitor.");
                return false;
            }
        }
    }
    port.DiscardInput();
    m_s.Send(std::string("EXIT\r"));
    std::string signOn;
    const bool signedOn = m_s.WaitText("\r\n> ", 2.0, false, &signOn, kSignOnKeep);
    if (signedOn && signOn.find("Copyright") != std::string::npos) {
        m_bFastCpu = signOn.find("22MHz") != std::string::npos;
        m_bBattery = signOn.find("Bat-Volts") != std::string::npos;
        m_s.Status(kLinkLine2, "Resetting to Boot Monitor...");
        if (m_nVersion == 0) {
            port.Write({0xE0, 0xE1});
            if (!port.WaitForBytes(id, 6, m_s.Window())) {
                m_s.Message("Failed to get Firmware Version.");
                return false;
            }
            m_nVersion = id[4] * 100 + id[5];
        }
        m_s.Send(std::string("BOOT\r"));
        if (!m_s.WaitText("Boot>", 2.0)) {
            m_s.Message("Failed to return to Boot Monitor!");
            return false;
        }
    } else {
        if (m_s.Ask("Can NOT establish Processor Speed! Proceeding could cause the wrong firmware "
                    "to be loaded!\nDo you wish to continue?") != Answer::Yes)
            return false;
        m_bFastCpu = m_s.Host().Ask("Does the Data Logger have a Fast CPU clock?", Buttons::YesNo,
                                    Answer::No) == Answer::Yes;
    }
    m_s.Status(kLinkLine2, "Analysis Complete.");
    return true;
}

bool CFirmwareDlg::LoadFolder() {
    m_images.clear();
    const std::vector<std::string> archives = FilesOf(m_strFolder, ".cfw");
    if (!archives.empty()) {
        for (const std::string& path : archives) ReadFirmwareArchive(path, m_images, m_s.Host());
        return true;
    }
    for (const std::string& path : FilesOf(m_strFolder, ".hex")) {
        CIntelHexFile hex;
        if (hex.ReadHexFile(path, m_s.Host())) m_images.push_back(std::move(hex));
    }
    return true;
}

void CFirmwareDlg::FilterSuitable() {
    m_suitable.clear();
    for (std::size_t i = 0; i < m_images.size(); ++i) {
        const CIntelHexFile& h = m_images[i];
        if (h.m_nBootVersion == m_nBootVersion && (h.m_bFastCpu != 0) == m_bFastCpu &&
            h.SendLength() > 0)
            m_suitable.push_back(static_cast<int>(i));
    }
}

void CFirmwareDlg::OfferImages(std::vector<CIntelHexFile> images) {
    m_images = std::move(images);
    FilterSuitable();
    m_nSelected = m_suitable.empty() ? -1 : 0;
    m_bListEnabled = !m_suitable.empty();
}

void CFirmwareDlg::FindFirmwareFiles() {
    for (;;) {
        LoadFolder();
        FilterSuitable();
        if (!m_suitable.empty()) return;
        const bool any = !m_images.empty();
        const std::string question =
            any ? "No appropriate Firmware Files found!\nDo you want to try and locate them "
                  "yourself?"
                : "No Firmware Files found!\nDo you want to try and locate them yourself?";
        std::optional<std::string> folder;
        if (m_s.Host().Ask(question, Buttons::YesNo, Answer::No) == Answer::Yes && m_chooser)
            folder = m_chooser("Select Folder for Hex Files.", m_strFolder);
        if (!folder) {
            if (any) m_images.clear();
            return;
        }
        m_strFolder = *folder;
    }
}

void CFirmwareDlg::OnAnalyze() {
    const bool ok = AnalyzeLogger();
    m_bListEnabled = false;
    m_nSelected = -1;
    if (!ok) return;
    FindFirmwareFiles();
    if (!m_suitable.empty()) {
        m_nSelected = 0;
        m_bListEnabled = true;
    }
}

bool CFirmwareDlg::WaitAck(double seconds, uint8_t* first) {
    bool seen = false;
    for (;;) {
        const std::optional<uint8_t> b = m_s.WaitByte(seconds);
        if (!b) return false;
        if (first && !seen) *first = *b;
        seen = true;
        if (*b == kAck) return true;
    }
}

bool CFirmwareDlg::SendImage(const CIntelHexFile& image) {
    CLoggerPort& port = m_s.Port();
    auto failed = [&](const char* text) {
        if (!port.IsAborted()) m_s.Message(text);
        return false;
    };
    m_s.ShowWindow("Change Firmware on Data Logger.");
    m_s.Status(kLinkLine1, LinkText("Updating Firmware on %s...", kKavraneFamily));
    m_s.Status(kLinkLine2, "Erasing...");
    port.Write({kFlashReload});
    if (!WaitAck(2.0)) return failed("Data Logger will NOT start Flash Reload!\n");
    if (!WaitAck(10.0)) return failed("Data Logger failed to erase Firmware!\n");
    const long length = image.SendLength();
    if (length <= 0) return failed("Data Logger failed to erase Firmware!\n");
    const uint8_t* bytes = image.m_image.data() + image.m_nStart;
    unsigned sum = 0;
    for (long i = 0; i < length; ++i) sum += bytes[i];
    const uint8_t checksum = static_cast<uint8_t>(0x100 - (sum & 0xFF));
    for (;;) {
        m_s.Status(kLinkLine2, "Sending...");
        port.Write({static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8)});
        for (long sent = 0; sent < length;) {
            const long n = std::min<long>(kBlock, length - sent);
            port.Write(bytes + sent, static_cast<std::size_t>(n));
            if (!WaitAck(2.0))
                return failed("Data Logger NOT responding after sending block of code!");
            m_s.Status(kLinkLine3, LinkText("%d%% Sent", static_cast<int>(sent * 100 / length)));
            sent += n;
        }
        port.Write({checksum});
        m_s.Status(kLinkLine2, "Waiting for Confirmation...");
        m_s.Status(kLinkLine3, "");
        uint8_t first = 0;
        if (WaitAck(2.0, &first)) return true;
        if (first == kNak) {
            if (m_s.Ask("Failed to correctly send Firmware.\nDo you wish to try again?") !=
                Answer::Yes)
                return false;
            if (!WaitAck(10.0)) return failed("Data Logger failed to erase Firmware!\n");
            continue;
        }
        if (first == kLoggerAbort) {
            m_s.Message("Data Logger aborted Firmware Download!");
            return false;
        }
        return !port.IsAborted();
    }
}

bool CFirmwareDlg::SendFirmware(const CIntelHexFile& image) {
    const bool ok = SendImage(image);
    CLoggerPort& port = m_s.Port();
    if (port.IsAborted()) {
        port.Write({kLoggerAbort});
        m_s.Message("Operation Aborted by User!");
    }
    port.ClearAbort();
    m_s.HideWindow();
    return ok && !port.IsAborted();
}

bool CFirmwareDlg::OnUpdate() {
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(m_suitable.size())) return false;
    const CIntelHexFile& image =
        m_images[static_cast<std::size_t>(m_suitable[static_cast<std::size_t>(m_nSelected)])];
    const bool battery = image.m_bBattery != 0;
    auto yes = [this](const char* q) { return m_s.Ask(q) == Answer::Yes; };
    if (image.m_nVersion < m_nVersion &&
        !yes("Choosing to change to an older version of Firmware is NOT recommended.\nThis could "
             "cause unpredictable problems. \nDo you still wish to continue?"))
        return false;
    if (battery != m_bBattery &&
        !yes("Choosing to change the Firmware to this version will cause loss of "
             "Configuration.\nIf you have NOT retrieved the current Configuration, it is "
             "recommended you do this now.\nDo you still wish to continue?"))
        return false;
    if (image.m_nVersion == m_nVersion && battery == m_bBattery &&
        !yes("You are choosing to reload the Data Logger with the same Firmware.\nThis is NOT "
             "recommended. Do you still wish to continue?"))
        return false;
    if (!SendFirmware(image)) {
        m_s.Message("Failed to update Firmware on Data Logger.\nConsult your vendor for help!");
        return false;
    }
    m_nVersion = image.m_nVersion;
    m_bBattery = battery;
    m_s.Message("Firmware has been successfully updated on Data Logger.", Icon::Information);
    return true;
}

void CFirmwareDlg::OnExit() {
    if (m_bAnalyzed && m_s.IsOpen()) {
        m_s.ShowWindow("Exiting Data Logger Firmware Update.");
        m_s.Status(kLinkLine1, "");
        m_s.Status(kLinkLine2, "Rebooting...");
        m_s.Port().DiscardInput();
        m_s.Send(std::string("EXIT\r"));
        std::string signOn;
        if (!m_s.WaitText("\r\n> ", 2.0, false, &signOn, kSignOnKeep) ||
            signOn.find("Copyright") == std::string::npos)
            m_s.Message(
                "Failed to Reboot Controller.\nTurn Data Logger Off then On, and check "
                "for proper operation.");
        m_s.Close();
        m_s.HideWindow();
    }
    m_bAnalyzed = false;
}

}  // namespace orvex
