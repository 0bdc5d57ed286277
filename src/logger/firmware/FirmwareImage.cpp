// Intel HEX reading, image identification and the firmware archive file.
#include "logger/firmware/FirmwareImage.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "files/Archive.h"
#include "host/AtomicWrite.h"
#include "host/FileBytes.h"

namespace orvex {

namespace {

__attribute__((format(printf, 1, 2))) std::string Fmt(const char* fmt, ...) {
    char buf[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte written by the two characters at `at`; -1 when they are missing or not hex.
int HexByte(std::string_view line, std::size_t at) {
    if (at + 2 > line.size()) return -1;
    const int hi = HexDigit(line[at]), lo = HexDigit(line[at + 1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

// One data or extended-address line, checked and applied. Returns false with the message
// shown when its checksum (or form) is wrong.
bool ApplyRecord(std::string_view line, CIntelHexFile& hex, int32_t& highest, IHostServices& host) {
    const int count = std::max(HexByte(line, 1), 0);
    const int addrHi = std::max(HexByte(line, 3), 0), addrLo = std::max(HexByte(line, 5), 0);
    const int type = HexByte(line, 7);
    const int address = addrHi * 256 + addrLo;
    unsigned sum = static_cast<unsigned>(count + addrHi + addrLo + std::max(type, 0));
    bool sound = HexByte(line, 1) >= 0 && HexByte(line, 3) >= 0 && HexByte(line, 5) >= 0 &&
                 (type == 0x00 || type == 0x04);
    std::vector<uint8_t> data;
    data.reserve(static_cast<std::size_t>(count));
    for (int j = 0; j <= count; ++j) {  // the data bytes, then the checksum byte
        const int b = HexByte(line, 9 + 2 * static_cast<std::size_t>(j));
        if (b < 0) {
            sound = false;
            break;
        }
        sum += static_cast<unsigned>(b);
        if (j < count) data.push_back(static_cast<uint8_t>(b));
    }
    sum &= 0xFF;
    if (!sound || sum != 0 || (type == 0x04 && count != 2)) {
        std::string shown(line);
        host.Message(
            Fmt("Invalid check sum for following line:\n%s\n", shown.c_str()) +
                Fmt("Bytes: 0x%02X, Start: 0x%04X, Check-Sum: 0x%02X\n", count, address, sum),
            Icon::Error);
        return false;
    }
    if (type == 0x00) {
        for (int j = 0; j < count; ++j) {
            // Addresses stay 16-bit: data past 0xFFFF wraps around.
            const int32_t at = (address + j) & 0xFFFF;
            hex.m_image[static_cast<std::size_t>(at)] = data[static_cast<std::size_t>(j)];
            highest = std::max(highest, at);
        }
    }
    return true;
}

// The NUL-terminated text that starts at `at`, not reaching past `end`.
std::string TextAt(const std::vector<uint8_t>& image, int32_t at, int32_t end) {
    std::string text;
    for (int32_t i = at; i <= end && image[static_cast<std::size_t>(i)] != 0; ++i)
        text.push_back(static_cast<char>(image[static_cast<std::size_t>(i)]));
    return text;
}

}  // namespace

std::string CIntelHexFile::VersionText(int version, bool battery) {
    return Fmt("V%1d.%02d%s", version / 100, version % 100, battery ? " w/Battery" : "");
}

bool CIntelHexFile::ReadHexFile(const std::string& path, IHostServices& host) {
    std::string text;
    int error = 0;
    if (!ReadWholeFile(path, text, &error, kFirmwareFileLimit)) {
        // A file far larger than any firmware image is not one.
        host.Message(Fmt(error == EFBIG || error == ENOMEM ? "Invalid Firmware File:\n%s\n"
                                                           : "Can NOT open file:\n%s\n",
                         path.c_str()),
                     Icon::Error);
        return false;
    }
    m_strPath = path;
    return ReadHexText(text, host);
}

bool CIntelHexFile::ReadHexText(std::string_view text, IHostServices& host) {
    std::fill(m_image.begin(), m_image.end(), 0xFF);
    m_image.resize(kImageSize, 0xFF);
    m_bVersionFound = m_bFastCpu = m_bBattery = 0;
    m_nBootVersion = m_nVersion = 0;
    int32_t highest = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] != ':') {
            host.Message(Fmt("Invalid line contained in file:\n<%s>\n", std::string(line).c_str()),
                         Icon::Error);
            return false;
        }
        if (line.size() >= 9 && line.substr(7, 2) == "01") break;
        if (!ApplyRecord(line, *this, highest, host)) return false;
    }
    m_nEnd = highest;
    m_nStart = kCodeStart;
    while (m_nStart <= 0xFFFF && m_image[static_cast<std::size_t>(m_nStart)] == 0xFF) ++m_nStart;
    Identify();
    return true;
}

void CIntelHexFile::Identify() {
    m_bVersionFound = m_bFastCpu = m_bBattery = 0;
    m_nVersion = 0;
    bool bootFound = false, clockFound = false;
    int32_t banner = -1;
    const int32_t last = std::min<int32_t>(m_nEnd, 0xFFFF);
    for (int32_t i = std::max(m_nStart, 0); i <= last; ++i) {
        const uint8_t b = m_image[static_cast<std::size_t>(i)];
        if (b != '\n' && b != ',') continue;
        const std::string text = TextAt(m_image, i, last);
        if (b == '\n') {
            if (text.find("Corvane") != std::string::npos) banner = i;
        } else if (auto boot = text.find("Boot V"); boot != std::string::npos) {
            m_nBootVersion = std::atoi(text.c_str() + boot + 6);
            bootFound = true;
        } else if (auto mhz = text.find("MHz"); mhz != std::string::npos) {
            m_bFastCpu = text.find("22MHz", mhz >= 3 ? mhz - 3 : 0) != std::string::npos;
            clockFound = true;
        } else if (text.find("Bat-Volts") != std::string::npos) {
            m_bBattery = 1;
        }
        i += static_cast<int32_t>(text.size());  // the whole text, up to its NUL
        if (banner >= 0 && (bootFound || clockFound || m_bBattery)) break;
    }
    if (banner >= 0) {
        const uint8_t signature[9] = {0x7E,
                                      0x14,
                                      static_cast<uint8_t>(banner >> 8),
                                      static_cast<uint8_t>(banner & 0xFF),
                                      0x7E,
                                      0x04,
                                      0x00,
                                      0xFF,
                                      0x12};
        for (int32_t i = std::max(m_nStart, 4); i + 9 <= static_cast<int32_t>(kImageSize); ++i) {
            if (std::memcmp(&m_image[static_cast<std::size_t>(i)], signature, 9) != 0) continue;
            m_bVersionFound = 1;
            m_nVersion = m_image[static_cast<std::size_t>(i - 4)] * 100 +
                         m_image[static_cast<std::size_t>(i - 1)];
            break;
        }
    }
    if (!bootFound) m_nBootVersion = m_nStart == 0x4002 ? 102 : 103;
}

// ---- Firmware archive ----

std::vector<uint8_t> FirmwareArchiveBytes(const std::vector<CIntelHexFile>& images) {
    CVectorSink sink;
    CArchiveWriter ar(sink);
    ar.Count(static_cast<uint32_t>(images.size()));
    for (const CIntelHexFile& hex : images) {
        ar.NewObject(CIntelHexFile::kClassName, CIntelHexFile::kSchema);
        const int32_t start = std::clamp<int32_t>(hex.m_nStart, 0, 0x10000);
        const int32_t end = std::clamp<int32_t>(hex.m_nEnd + 1, start, 0x10000);
        ar.Long(hex.m_bVersionFound);
        ar.Long(hex.m_bFastCpu);
        ar.Long(hex.m_bBattery);
        ar.Long(hex.m_nBootVersion);
        ar.Long(hex.m_nVersion);
        ar.Long(start);
        ar.Long(end);
        if (end > start)
            ar.Bytes(hex.m_image.data() + start, static_cast<std::size_t>(end - start));
    }
    ar.Flush();
    return sink.bytes;
}

bool WriteFirmwareArchive(const std::string& path, const std::vector<CIntelHexFile>& images,
                          IHostServices& host) {
    const std::vector<uint8_t> bytes = FirmwareArchiveBytes(images);
    if (WriteFileAtomically(
            path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return true;
    host.Message(Fmt("Can NOT write file:\n%s\n", path.c_str()), Icon::Error);
    return false;
}

bool ParseFirmwareArchive(const uint8_t* data, std::size_t size, const std::string& path,
                          std::vector<CIntelHexFile>& out, IHostServices& host) {
    CArchiveReader ar(data, size);
    ar.RegisterClass(CIntelHexFile::kClassName, CIntelHexFile::kSchema, 1);
    try {
        const uint32_t count = ar.Count();
        for (uint32_t n = 0; n < count; ++n) {
            CArchiveReader::ObjectTag tag = ar.ReadObjectTag();
            if (tag.kind == CArchiveReader::ObjectTag::Null) continue;
            if (tag.kind != CArchiveReader::ObjectTag::New)
                throw CArchiveException(ArchiveError::BadObject);
            CIntelHexFile hex;
            hex.m_strPath = path;
            hex.m_bVersionFound = ar.Long();
            hex.m_bFastCpu = ar.Long();
            hex.m_bBattery = ar.Long();
            hex.m_nBootVersion = ar.Long();
            hex.m_nVersion = ar.Long();
            const int32_t start = ar.Long(), end = ar.Long();
            if (start < 0 || end > 0x10000 || end < start)
                throw CArchiveException(ArchiveError::BadObject);
            const uint8_t* bytes = ar.Take(static_cast<std::size_t>(end - start));
            std::copy(bytes, bytes + (end - start), hex.m_image.begin() + start);
            hex.m_nStart = start;
            hex.m_nEnd = end - 1;
            out.push_back(std::move(hex));
        }
        return true;
    } catch (const CArchiveException& e) {
        if (e.Cause() == ArchiveError::BadSchema)
            host.Message(
                "The Firmware File you are trying to load is incompatible with this program.\n"
                "Please contact your vendor for a newer version of this program.",
                Icon::Error);
        else
            host.Message(Fmt("Invalid Firmware File:\n%s\n", path.c_str()), Icon::Error);
        return false;
    }
}

bool ReadFirmwareArchive(const std::string& path, std::vector<CIntelHexFile>& out,
                         IHostServices& host) {
    std::string bytes;
    int error = 0;
    if (!ReadWholeFile(path, bytes, &error, kFirmwareFileLimit)) {
        host.Message(Fmt(error == EFBIG || error == ENOMEM ? "Invalid Firmware File:\n%s\n"
                                                           : "Can NOT open file:\n%s\n",
                         path.c_str()),
                     Icon::Error);
        return false;
    }
    return ParseFirmwareArchive(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), path,
                                out, host);
}

}  // namespace orvex
