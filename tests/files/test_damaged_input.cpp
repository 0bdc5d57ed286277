// Damaged and oversized input: values that would overflow arithmetic, bytes after the last
// dataset, and files of 2 GB that must be refused with the program's message at low memory
// without being read whole.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "app/DocumentSetup.h"
#include "files/AsciiFile.h"
#include "files/DataFile.h"
#include "files/DataFileFixtures.h"
#include "host/ProfileFile.h"
#include "logger/firmware/FirmwareImage.h"
#include "model/CarFile.h"
#include "model/Document.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;
using test::ByteBuilder;
using test::FakeHost;
using Lines = std::vector<std::string>;

// One dataset with the default car setup whose analog channel 1 holds `times` (value 7).
ByteBuilder FileWithAnalogTimes(const std::vector<int32_t>& times) {
    test::DatasetBytes d;
    d.name.S("Run");
    d.carSetup = test::DefaultCarSetup();
    for (int32_t t : times) d.analog[0].samples.emplace_back(t, 7);
    ByteBuilder b = test::FileHeader();
    b.W(1).Class("CBriodashDataset").Append(test::DatasetRecord(d));
    return b;
}

bool ReadBytes(const std::vector<uint8_t>& bytes, FakeHost& host, DataFileContents& out) {
    DataFileReadOptions options;
    options.afterRead = false;
    return ReadDataFileFromMemory(bytes.data(), bytes.size(), "/runs/Run.tbc", host, options, out);
}

TEST(DamagedInput, TimesTheWholeRangeApartGiveNoRate) {
    // The first triples span INT32_MIN to positive times; the last one is even at 100 Hz.
    const std::vector<int32_t> times = {INT32_MIN, 500, 1000, 0,   500, INT32_MIN,
                                        INT32_MAX, 0,   500,  100, 200, 300};
    FakeHost host;
    DataFileContents c;
    ASSERT_TRUE(ReadBytes(FileWithAnalogTimes(times).bytes, host, c));
    EXPECT_FLOAT_EQ(c.datasets.at(0)->m_analog[0].m_fRate, 100.0f);
}

TEST(DamagedInput, BytesAfterTheLastDatasetAreDamage) {
    for (std::size_t extra : {1u, 2u, 16u, 4096u}) {
        SCOPED_TRACE(extra);
        ByteBuilder b = FileWithAnalogTimes({0, 100, 200});
        b.bytes.resize(b.bytes.size() + extra, 0);
        FakeHost host;
        DataFileContents c;
        EXPECT_FALSE(ReadBytes(b.bytes, host, c));
        EXPECT_EQ(host.MessageTexts(), Lines{"Bad Object Read while accessing data file."});
        EXPECT_TRUE(c.datasets.empty());
    }
}

TEST(DamagedInput, AClockRateNoLoggerHasIsDamage) {
    for (float clock : {std::nanf(""), INFINITY, -1.0f}) {
        SCOPED_TRACE(clock);
        test::DatasetBytes d;
        d.name.S("Run");
        d.carSetup = test::DefaultCarSetup();
        d.clock = clock;
        d.rpm[0].samples = {{0, 18432}, {100, 18432}};
        d.rpm[0].gears = {0, 0};
        ByteBuilder b = test::FileHeader();
        b.W(1).Class("CBriodashDataset").Append(test::DatasetRecord(d));
        FakeHost host;
        DataFileContents c;
        EXPECT_FALSE(ReadBytes(b.bytes, host, c));
        EXPECT_EQ(host.MessageTexts(), Lines{"Bad Object Read while accessing data file."});
    }
}

// Files of 2 GB, sparse so that they take no disk space, read by every reader in a child
// process whose address space is limited to 1 GB: each is refused with its message (reading
// one whole would run out of memory) and the child neither crashes nor hangs.
class OversizedInput : public ::testing::Test {
  protected:
    static constexpr off_t kSize = off_t{2} << 30;

    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "an address-space limit does not work under AddressSanitizer";
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
        GTEST_SKIP() << "an address-space limit does not work under AddressSanitizer";
#endif
#endif
        m_dir = fs::path(ORVEX_TEST_BINARY_DIR) / "oversized-input";
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        fs::remove_all(m_dir);
    }

    // A file that starts with `head` and is 2 GB long.
    std::string Sparse(const std::string& name, const std::vector<uint8_t>& head = {}) const {
        const std::string path = (m_dir / name).string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(fd, 0);
        if (!head.empty()) {
            EXPECT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
        }
        EXPECT_EQ(::ftruncate(fd, kSize), 0);
        ::close(fd);
        return path;
    }

    // Runs `read` in a child limited to 1 GB of address space; the messages it showed.
    static Lines InLowMemory(const std::function<Lines()>& read) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return {"no pipe"};
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(pipeFds[0]);
            rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
            ::setrlimit(RLIMIT_AS, &limit);
            std::string out;
            for (const std::string& line : read()) out += line + '\x1e';
            if (::write(pipeFds[1], out.data(), out.size()) < 0) ::_exit(3);
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        std::string text;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<std::size_t>(n));
        ::close(pipeFds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return {"child ended with status " + std::to_string(status)};
        Lines lines;
        for (std::size_t from = 0, at; (at = text.find('\x1e', from)) != std::string::npos;
             from = at + 1)
            lines.push_back(text.substr(from, at - from));
        return lines;
    }

    fs::path m_dir;
};

TEST_F(OversizedInput, EveryReaderRefusesWithItsMessage) {
    // A dataset whose first analog series claims 200 million samples, which the file holds.
    test::DatasetBytes d;
    d.name.S("Run");
    d.carSetup = test::DefaultCarSetup();
    ByteBuilder huge = test::FileHeader();
    huge.W(1).Class("CBriodashDataset").Append(test::DatasetRecord(d));
    // Cut the record after the RPM series: analog 1 follows with its mode and count.
    const std::size_t analogBlocks = 20 * 14 + 6 * 14;
    huge.bytes.resize(huge.bytes.size() - analogBlocks);
    huge.D(0).D(200'000'000);

    const std::string zeros = Sparse("zeros.tbc");
    const std::string trailing = Sparse("trailing.tbc", FileWithAnalogTimes({0, 100}).bytes);
    const std::string claims = Sparse("claims.tbc", huge.bytes);
    const std::string ascii = Sparse("run.tac");
    const std::string hex = Sparse("image.hex");
    const std::string archive = Sparse("image.cfw");
    const std::string car = Sparse("car.car");
    const std::string settings = Sparse("ORVEX.INI");

    auto dataFile = [](const std::string& path) {
        return [path] {
            FakeHost host;
            DataFileContents c;
            ReadDataFile(path, host, DataFileReadOptions{}, c);
            return host.MessageTexts();
        };
    };
    struct Case {
        const char* what;
        std::function<Lines()> read;
        Lines expected;
    };
    const Case cases[] = {
        {"zeros as a data file", dataFile(zeros), {"This file is not a Vexa-Log data file"}},
        {"a data file followed by zeros",
         dataFile(trailing),
         {"Bad Object Read while accessing data file."}},
        {"a series larger than memory",
         dataFile(claims),
         {"Could NOT read file '" + claims + "'.\nException Error #:12"}},
        {"an ASCII data file",
         [&] {
             FakeHost host;
             CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
             std::vector<std::unique_ptr<CBriodashDataset>> read;
             ReadAsciiFile(doc, ascii, read);
             return host.MessageTexts();
         },
         {"Could NOT read file '" + ascii + "'.\nException Error #:12"}},
        {"a HEX file",
         [&] {
             FakeHost host;
             CIntelHexFile file;
             file.ReadHexFile(hex, host);
             return host.MessageTexts();
         },
         {"Invalid Firmware File:\n" + hex + "\n"}},
        {"a firmware archive",
         [&] {
             FakeHost host;
             std::vector<CIntelHexFile> images;
             ReadFirmwareArchive(archive, images, host);
             return host.MessageTexts();
         },
         {"Invalid Firmware File:\n" + archive + "\n"}},
        {"a car file",
         [&] {
             FakeHost host;
             CCarSetup setup;
             ImportCarFile(setup, car, Units::Imperial, host);
             return host.MessageTexts();
         },
         {"File could not be opened error # 27"}},
        {"a settings file",
         [&] {
             CProfileFile file;
             int error = 0;
             const bool loaded = file.Load(settings, &error);
             return Lines{loaded ? "loaded" : "refused", std::to_string(error)};
         },
         {"refused", "27"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(InLowMemory(c.read), c.expected);
    }
}

}  // namespace
}  // namespace orvex
