#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "logger/firmware/FirmwareImage.h"
#include "support/FakeHost.h"

namespace orvex {

namespace {

// One Intel HEX record with its checksum (sumOffset spoils it on purpose).
std::string HexLine(int address, int type, const std::vector<uint8_t>& data, int sumOffset = 0) {
    char buf[16];
    std::snprintf(buf, sizeof buf, ":%02X%04X%02X", static_cast<unsigned>(data.size()), address,
                  type);
    std::string line = buf;
    unsigned sum = static_cast<unsigned>(data.size() + (address >> 8) + (address & 0xFF) + type);
    for (uint8_t b : data) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        line += buf;
        sum += b;
    }
    std::snprintf(buf, sizeof buf, "%02X\r\n", (0x100 - (sum & 0xFF) + sumOffset) & 0xFF);
    return line + buf;
}

const char* kEnd = ":00000001FF\r\n";

std::vector<uint8_t> Text(const std::string& s, bool nul = true) {
    std::vector<uint8_t> v(s.begin(), s.end());
    if (nul) v.push_back(0);
    return v;
}

// The code image of a firmware: banner, option texts and the version signature that loads
// the banner address, with major and minor version bytes at -4 and -1.
std::vector<uint8_t> FirmwareBytes(int base, int major, int minor, const std::string& options) {
    std::vector<uint8_t> code = {0x02, 0x20, 0x10, 0x00};  // a jump, then the texts
    const int banner = base + static_cast<int>(code.size());
    auto add = [&code](const std::vector<uint8_t>& v) {
        code.insert(code.end(), v.begin(), v.end());
    };
    add(Text("\nCorvane Data Logger"));
    add(Text(options));
    add({static_cast<uint8_t>(major), 0xF5, 0x74, static_cast<uint8_t>(minor)});
    add({0x7E, 0x14, static_cast<uint8_t>(banner >> 8), static_cast<uint8_t>(banner & 0xFF), 0x7E,
         0x04, 0x00, 0xFF, 0x12});
    add({0x22, 0x00});
    return code;
}

std::string HexOf(int base, const std::vector<uint8_t>& bytes) {
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 16) {
        std::vector<uint8_t> chunk(
            bytes.begin() + static_cast<long>(at),
            bytes.begin() + static_cast<long>(std::min(bytes.size(), at + 16)));
        text += HexLine(base + static_cast<int>(at), 0, chunk);
    }
    return text + kEnd;
}

}  // namespace

TEST(IntelHex, DataRecordsFillTheImageAndTheRestStaysErased) {
    test::FakeHost host;
    CIntelHexFile hex;
    const std::string text = HexLine(0x0000, 0, {0x02, 0x00, 0x40}) +
                             HexLine(0x2100, 0, {0x11, 0x22, 0x33, 0x44}) +
                             HexLine(0, 4, {0x00, 0x00}) + kEnd + "not read after the end\n";
    ASSERT_TRUE(hex.ReadHexText(text, host)) << ::testing::PrintToString(host.MessageTexts());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(hex.m_image[0x0002], 0x40);
    EXPECT_EQ(hex.m_image[0x2100], 0x11);
    EXPECT_EQ(hex.m_image[0x2103], 0x44);
    EXPECT_EQ(hex.m_image[0x2104], 0xFF);
    EXPECT_EQ(hex.m_image[0x20FF], 0xFF);
    EXPECT_EQ(hex.m_nStart, 0x2100);
    EXPECT_EQ(hex.m_nEnd, 0x2103);
    EXPECT_EQ(hex.SendLength(), 4);
    EXPECT_EQ(hex.m_nBootVersion, 103);
    EXPECT_EQ(hex.m_bVersionFound, 0);
}

TEST(IntelHex, FaultyLinesFailWithTheirMessage) {
    struct Case {
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {HexLine(0x1234, 2, {0x10, 0x00}) + kEnd,
         "Invalid check sum for following line:\n:021234021000A6\n"
         "Bytes: 0x02, Start: 0x1234, Check-Sum: 0x00\n"},
        {HexLine(0x2000, 0, {0xAA, 0xBB}, 1) + kEnd,
         "Invalid check sum for following line:\n:02200000AABB7A\n"
         "Bytes: 0x02, Start: 0x2000, Check-Sum: 0x01\n"},
        {"garbage\r\n" + std::string(kEnd), "Invalid line contained in file:\n<garbage>\n"},
        {":0420000011\r\n",
         "Invalid check sum for following line:\n:0420000011\n"
         "Bytes: 0x04, Start: 0x2000, Check-Sum: 0x35\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        test::FakeHost host;
        CIntelHexFile hex;
        EXPECT_FALSE(hex.ReadHexText(c.text, host));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, c.message);
    }
}

TEST(IntelHex, BootVersionComesFromTheTextOrTheStartAddress) {
    struct Case {
        int base;
        std::string options;
        int boot;
    };
    for (const Case& c : std::vector<Case>{
             {0x4002, ",11MHz", 102}, {0x2000, ",11MHz", 103}, {0x4002, ",Boot V105", 105}}) {
        test::FakeHost host;
        CIntelHexFile hex;
        ASSERT_TRUE(hex.ReadHexText(HexOf(c.base, FirmwareBytes(c.base, 2, 24, c.options)), host));
        EXPECT_EQ(hex.m_nStart, c.base);
        EXPECT_EQ(hex.m_nBootVersion, c.boot) << c.options;
    }
}

TEST(IntelHex, IdentificationFindsClockBatteryAndVersion) {
    struct Case {
        std::string options;
        bool fast, battery;
        std::string version;
    };
    const std::vector<Case> cases = {
        {",22MHz", true, false, "V2.24"},
        {",11MHz", false, false, "V2.24"},
        {",Bat-Volts", false, true, "V2.24 w/Battery"},
    };
    for (const Case& c : cases) {
        test::FakeHost host;
        CIntelHexFile hex;
        ASSERT_TRUE(hex.ReadHexText(HexOf(0x2000, FirmwareBytes(0x2000, 2, 24, c.options)), host));
        EXPECT_EQ(hex.m_bVersionFound, 1) << c.options;
        EXPECT_EQ(hex.m_nVersion, 224);
        EXPECT_EQ(hex.m_bFastCpu != 0, c.fast) << c.options;
        EXPECT_EQ(hex.m_bBattery != 0, c.battery) << c.options;
        EXPECT_EQ(hex.VersionText(), c.version);
    }
    // Without the banner text no signature is looked for.
    std::vector<uint8_t> bytes = FirmwareBytes(0x2000, 3, 1, ",22MHz");
    bytes[5] = 'X';  // "Corvane" -> "Xorvane"
    test::FakeHost host;
    CIntelHexFile hex;
    ASSERT_TRUE(hex.ReadHexText(HexOf(0x2000, bytes), host));
    EXPECT_EQ(hex.m_bVersionFound, 0);
    EXPECT_EQ(CIntelHexFile::VersionText(301, false), "V3.01");
}

TEST(FirmwareArchive, ImagesAreWrittenAsClassTaggedObjects) {
    CIntelHexFile a;
    a.m_bVersionFound = 1;
    a.m_bFastCpu = 1;
    a.m_bBattery = 0;
    a.m_nBootVersion = 103;
    a.m_nVersion = 224;
    a.m_nStart = 0x2000;
    a.m_nEnd = 0x2002;
    a.m_image[0x2000] = 0xA1;
    a.m_image[0x2001] = 0xA2;
    a.m_image[0x2002] = 0xA3;
    CIntelHexFile b = a;
    b.m_nEnd = 0x2000;
    b.m_nVersion = 0x0102;
    const std::vector<uint8_t> expected = {
        0x02, 0x00,                          // count
        0xFF, 0xFF, 0x01, 0x00, 0x0D, 0x00,  // new class, schema 1, name length 13
        'C',  'I',  'n',  't',  'e',  'l',  'H',  'e', 'x', 'F',  'i',  'l', 'e', 1,    0,
        0,    0,    1,    0,    0,    0,    0,    0,   0,   0,  // version found, fast CPU, battery
        103,  0,    0,    0,    224,  0,    0,    0,            // boot version, version
        0x00, 0x20, 0,    0,    0x03, 0x20, 0,    0,            // start, one past the last byte
        0xA1, 0xA2, 0xA3, 0x01, 0x80,                           // class tag of class index 1
        1,    0,    0,    0,    1,    0,    0,    0,   0,   0,    0,    0,   103, 0,    0,
        0,    0x02, 0x01, 0,    0,    0x00, 0x20, 0,   0,   0x01, 0x20, 0,   0,   0xA1,
    };
    EXPECT_EQ(FirmwareArchiveBytes({a, b}), expected);

    test::FakeHost host;
    std::vector<CIntelHexFile> back;
    ASSERT_TRUE(ParseFirmwareArchive(expected.data(), expected.size(), "x.cfw", back, host));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].m_image, a.m_image);
    EXPECT_EQ(back[0].m_nEnd, 0x2002);
    EXPECT_EQ(back[0].m_nVersion, 224);
    EXPECT_EQ(back[0].m_bFastCpu, 1);
    EXPECT_EQ(back[1].m_nEnd, 0x2000);
    EXPECT_EQ(back[1].m_image[0x2001], 0xFF);
    EXPECT_EQ(back[1].m_strPath, "x.cfw");
}

TEST(FirmwareArchive, AnotherSchemaOrADamagedFileIsReported) {
    CIntelHexFile a;
    a.m_nStart = 0x2000;
    a.m_nEnd = 0x2000;
    std::vector<uint8_t> bytes = FirmwareArchiveBytes({a});
    bytes[4] = 2;  // schema 2
    test::FakeHost host;
    std::vector<CIntelHexFile> back;
    EXPECT_FALSE(ParseFirmwareArchive(bytes.data(), bytes.size(), "x.cfw", back, host));
    EXPECT_TRUE(back.empty());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "The Firmware File you are trying to load is incompatible with this program.\n"
              "Please contact your vendor for a newer version of this program.");

    bytes = FirmwareArchiveBytes({a});
    bytes.resize(bytes.size() - 2);
    EXPECT_FALSE(ParseFirmwareArchive(bytes.data(), bytes.size(), "x.cfw", back, host));
    EXPECT_TRUE(back.empty());
    EXPECT_EQ(host.messages.size(), 2u);
}

// Images converted by independent tools read back byte for byte.
TEST(IntelHex, FilesFromOtherToolsReadTheSameImage) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("orvex-hex-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<uint8_t> bin(3000);
    for (std::size_t i = 0; i < bin.size(); ++i) bin[i] = static_cast<uint8_t>(i * 7 + 3);
    bin[0] = 0x02;
    {
        std::ofstream out(dir / "image.bin", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bin.data()), static_cast<long>(bin.size()));
    }
    struct Tool {
        const char* name;
        std::string command;
    };
    const std::string in = (dir / "image.bin").string();
    const std::vector<Tool> tools = {
        // The reader takes record types 00, 01 and 04 only: objcopy's start address record
        // (type 03) is left out.
        {"objcopy", "objcopy -I binary -O ihex --change-addresses 0x2400 '" + in + "' '" +
                        (dir / "objcopy.hex").string() + "' && sed -i '/^:04000003/d' '" +
                        (dir / "objcopy.hex").string() + "'"},
        {"srec_cat", "srec_cat '" + in + "' -binary -offset 0x2400 -o '" +
                         (dir / "srec_cat.hex").string() + "' -intel"},
    };
    int ran = 0;
    for (const Tool& t : tools) {
        if (std::system((std::string("command -v ") + t.name + " >/dev/null 2>&1").c_str()) != 0)
            continue;
        ASSERT_EQ(std::system((t.command + " 2>/dev/null").c_str()), 0) << t.command;
        ++ran;
        test::FakeHost host;
        CIntelHexFile hex;
        ASSERT_TRUE(hex.ReadHexFile((dir / (std::string(t.name) + ".hex")).string(), host))
            << t.name << ::testing::PrintToString(host.MessageTexts());
        EXPECT_EQ(hex.m_nStart, 0x2400) << t.name;
        EXPECT_EQ(hex.m_nEnd, 0x2400 + 2999) << t.name;
        EXPECT_TRUE(std::equal(bin.begin(), bin.end(), hex.m_image.begin() + 0x2400)) << t.name;
        EXPECT_EQ(hex.m_image[0x2400 + 3000], 0xFF);
    }
    fs::remove_all(dir);
    if (ran == 0) GTEST_SKIP() << "neither objcopy nor srec_cat is installed";
}

}  // namespace orvex
