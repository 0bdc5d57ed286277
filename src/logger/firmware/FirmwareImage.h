// One firmware image for a Kavrane logger: read from an Intel HEX file or a firmware archive
// ("cfw"), with what its bytes tell about it (banner, boot version, CPU clock, battery, version).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostServices.h"

namespace orvex {

class CIntelHexFile {
  public:
    static constexpr std::size_t kImageSize = 65536;
    static constexpr int32_t kCodeStart = 0x2000;  // below lies the boot monitor
    static constexpr uint16_t kSchema = 1;
    static constexpr const char* kClassName = "CIntelHexFile";

    CIntelHexFile() : m_image(kImageSize, 0xFF) {}

    int32_t m_bVersionFound = 0;
    int32_t m_bFastCpu = 0;
    int32_t m_bBattery = 0;
    std::vector<uint8_t> m_image;  // the 16-bit address space; bytes not given are 0xFF
    int32_t m_nBootVersion = 0;    // major x 100 + minor
    int32_t m_nVersion = 0;        // major x 100 + minor
    int32_t m_nStart = 0;          // first address from 0x2000 whose byte is not 0xFF
    int32_t m_nEnd = 0;            // highest address written by the file
    std::string m_strPath;

    // Reads an Intel HEX file; every fault is reported through `host`.
    bool ReadHexFile(const std::string& path, IHostServices& host);
    // The same from text already in memory (lines end in LF or CR LF).
    bool ReadHexText(std::string_view text, IHostServices& host);
    // Finds banner, boot version, clock, battery and version signature in the image bytes.
    void Identify();

    // Bytes sent to the logger on a reload: m_nEnd - m_nStart + 1, none for an empty image.
    long SendLength() const { return m_nEnd >= m_nStart ? m_nEnd - m_nStart + 1L : 0L; }

    // "V%1d.%02d%s" with " w/Battery" for battery images.
    std::string VersionText() const { return VersionText(m_nVersion, m_bBattery != 0); }
    static std::string VersionText(int version, bool battery);
};

// Firmware archive file: a count, then each image as a "CIntelHexFile" object of schema 1 with
// its flags, versions, start and end, then the image bytes. The end stored in the file is one
// past the last image byte, so that every byte of the image is kept.
std::vector<uint8_t> FirmwareArchiveBytes(const std::vector<CIntelHexFile>& images);
bool WriteFirmwareArchive(const std::string& path, const std::vector<CIntelHexFile>& images,
                          IHostServices& host);
// Appends the images of an archive to `out`. An image of another schema is reported and ends
// the reading; a damaged file is reported. Returns true when the whole file was read.
bool ParseFirmwareArchive(const uint8_t* data, std::size_t size, const std::string& path,
                          std::vector<CIntelHexFile>& out, IHostServices& host);
bool ReadFirmwareArchive(const std::string& path, std::vector<CIntelHexFile>& out,
                         IHostServices& host);

}  // namespace orvex
