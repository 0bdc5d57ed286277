#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "TestPaths.h"
#include "files/DataFile.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;
using test::FakeHost;

class DataFileSave : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::path(ORVEX_TEST_BINARY_DIR) / "datafile-save" /
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Put(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // Names in the folder that start with "save.tmp".
    std::vector<std::string> Temporaries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir)) {
            const std::string name = e.path().filename().string();
            if (name.rfind("save.tmp", 0) == 0) names.push_back(name);
        }
        return names;
    }
    static DataFileContents OneDataset() {
        DataFileContents c;
        c.datasets.push_back(std::make_unique<CBriodashDataset>());
        CSample s;
        s.m_lTime = 100;
        s.m_lRaw = s.m_lFiltered = 42;
        for (int i = 0; i < 50; ++i) c.datasets[0]->m_analog[4].AddTail(s);
        return c;
    }

    fs::path m_dir;
};

TEST_F(DataFileSave, ExtensionIsCheckedOrAdded) {
    struct Case {
        const char* name;
        const char* written;  // nullptr: refused
    };
    const Case cases[] = {{"a.tbc", "a.tbc"},
                          {"b.TbC", "b.TbC"},
                          {"c", "c.tbc"},
                          {"d.txt", nullptr},
                          {"e.tbc.bak", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost host;
        const bool ok = WriteDataFile(Path(c.name), OneDataset(), host, Units::Imperial);
        EXPECT_EQ(ok, c.written != nullptr);
        if (c.written) {
            EXPECT_TRUE(fs::exists(Path(c.written)));
            EXPECT_TRUE(host.messages.empty());
        } else {
            EXPECT_FALSE(fs::exists(Path(c.name)));
            EXPECT_EQ(
                host.MessageTexts(),
                std::vector<std::string>{"Only Files with '.TBC' extension allowed for saving."});
        }
    }
    EXPECT_TRUE(Temporaries().empty());
}

TEST_F(DataFileSave, SaveReplacesTheOldFileAndReadsBack) {
    const std::string target = Path("run.tbc");
    Put(target, "old contents");
    // What killed saves left behind goes; a plain "save.tmp" is not one of them.
    Put(Path("save.tmp.Ab12Cd"), "left over");
    Put(Path("save.tmp.x9Y8z7"), "left over");
    Put(Path("save.tmp"), "someone's file");
    FakeHost host;
    ASSERT_TRUE(WriteDataFile(target, OneDataset(), host, Units::Imperial));
    EXPECT_EQ(Temporaries(), std::vector<std::string>{"save.tmp"});

    DataFileContents back;
    ASSERT_TRUE(ReadDataFile(target, host, DataFileReadOptions{}, back));
    ASSERT_EQ(back.datasets.size(), 1u);
    EXPECT_EQ(back.datasets[0]->m_strName, "run");
    EXPECT_EQ(back.datasets[0]->m_analog[4].m_samples.size(), 50u);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(DataFileSave, FailuresKeepTheOldFile) {
    // The rename fails when the target is a directory that holds a file.
    const std::string dirTarget = Path("dir.tbc");
    fs::create_directories(dirTarget);
    Put(dirTarget + "/inside", "keep");
    FakeHost host;
    EXPECT_FALSE(WriteDataFile(dirTarget, OneDataset(), host, Units::Imperial));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text.rfind("Could NOT rename temporary file to requested save file "
                                          "name.\n'" +
                                              Path("save.tmp."),
                                          0),
              0u);
    EXPECT_NE(host.messages[0].text.find("' -> '" + dirTarget + "'.\nException Error #"),
              std::string::npos);
    EXPECT_EQ(Contents(dirTarget + "/inside"), "keep");
    EXPECT_TRUE(Temporaries().empty());

    // An abort while writing leaves the old file as it was.
    const std::string target = Path("run.tbc");
    Put(target, "old contents");
    FakeHost aborting;
    aborting.abortAfterPumps = 3;
    EXPECT_FALSE(WriteDataFile(target, OneDataset(), aborting, Units::Imperial));
    EXPECT_TRUE(aborting.messages.empty());
    EXPECT_EQ(Contents(target), "old contents");
    EXPECT_TRUE(Temporaries().empty());

    // Something in the way under the old temporary name does not matter: each save takes a
    // name of its own.
    fs::create_directories(Path("save.tmp/x"));
    FakeHost unblocked;
    EXPECT_TRUE(WriteDataFile(target, OneDataset(), unblocked, Units::Imperial));
    EXPECT_TRUE(unblocked.messages.empty());
    EXPECT_EQ(Temporaries(), std::vector<std::string>{"save.tmp"});
}

TEST_F(DataFileSave, ReadOnlyDirectoryKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    const std::string target = Path("run.tbc");
    Put(target, "old contents");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    FakeHost host;
    EXPECT_FALSE(WriteDataFile(target, OneDataset(), host, Units::Imperial));
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{"Could NOT open file '" + Path("save.tmp") +
                                       "'.\nReason: Access Denied"});
    EXPECT_EQ(Contents(target), "old contents");
}

TEST_F(DataFileSave, OpenErrorsNameTheirCause) {
    Put(Path("plain"), "x");
    fs::create_directories(Path("folder.tbc"));
    const std::pair<std::string, std::string> cases[] = {
        {Path("missing.tbc"), "Reason: File NOT found."},
        {Path("plain") + "/x.tbc", "Reason: Invalid Path Name."},
        {Path("folder.tbc"), "Reason: Access Denied"},
    };
    for (const auto& [path, reason] : cases) {
        FakeHost host;
        DataFileContents out;
        EXPECT_FALSE(ReadDataFile(path, host, DataFileReadOptions{}, out));
        EXPECT_EQ(host.MessageTexts(),
                  std::vector<std::string>{"Could NOT open file '" + path + "'.\n" + reason});
    }
}

TEST_F(DataFileSave, SaveKeepsTheModeAndWritesThroughLinks) {
    fs::create_directories(Path("real"));
    const std::string real = Path("real/run.tbc");
    Put(real, "old contents");
    ::chmod(real.c_str(), 0600);
    fs::create_symlink(real, Path("link.tbc"));
    fs::create_symlink("real/new.tbc", Path("dangling.tbc"));  // its file does not exist yet
    for (const char* name : {"link.tbc", "dangling.tbc"}) {
        SCOPED_TRACE(name);
        FakeHost host;
        ASSERT_TRUE(WriteDataFile(Path(name), OneDataset(), host, Units::Imperial));
        EXPECT_TRUE(fs::is_symlink(Path(name)));
        DataFileContents back;
        ASSERT_TRUE(ReadDataFile(Path(name), host, DataFileReadOptions{}, back));
        ASSERT_EQ(back.datasets.size(), 1u);
        EXPECT_EQ(back.datasets[0]->m_strName, fs::path(name).stem().string());
    }
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::is_regular_file(Path("real/new.tbc")));
    EXPECT_TRUE(Temporaries().empty());
}

// Saves into one folder at the same time: each one that reports success holds its own data.
TEST_F(DataFileSave, ConcurrentSavesIntoOneFolderNeverMeet) {
    auto withSamples = [](int n) {
        DataFileContents c = OneDataset();
        c.datasets[0]->m_analog[4].m_samples.resize(static_cast<std::size_t>(n));
        return c;
    };
    const DataFileContents contents[2] = {withSamples(3000), withSamples(7000)};
    int successes = 0;
    for (int round = 0; round < 25; ++round) {
        bool ok[2] = {false, false};
        std::thread other([&] {
            FakeHost host;
            ok[1] = WriteDataFile(Path("b.tbc"), contents[1], host, Units::Imperial);
        });
        FakeHost host;
        ok[0] = WriteDataFile(Path("a.tbc"), contents[0], host, Units::Imperial);
        other.join();
        for (int i = 0; i < 2; ++i) {
            if (!ok[i]) continue;
            ++successes;
            FakeHost reader;
            DataFileContents back;
            ASSERT_TRUE(ReadDataFile(Path(i ? "b.tbc" : "a.tbc"), reader, {}, back));
            EXPECT_EQ(back.datasets[0]->m_analog[4].m_samples.size(), i ? 7000u : 3000u)
                << "round " << round;
        }
    }
    EXPECT_EQ(successes, 50);
    EXPECT_TRUE(Temporaries().empty());
}

}  // namespace
}  // namespace orvex
