#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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
    EXPECT_FALSE(fs::exists(Path("save.tmp")));
}

TEST_F(DataFileSave, SaveReplacesTheOldFileAndReadsBack) {
    const std::string target = Path("run.tbc");
    Put(target, "old contents");
    Put(Path("save.tmp"), "left over");
    FakeHost host;
    ASSERT_TRUE(WriteDataFile(target, OneDataset(), host, Units::Imperial));
    EXPECT_FALSE(fs::exists(Path("save.tmp")));

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
                                              Path("save.tmp") + "' -> '" + dirTarget +
                                              "'.\nException Error #",
                                          0),
              0u);
    EXPECT_EQ(Contents(dirTarget + "/inside"), "keep");
    EXPECT_FALSE(fs::exists(Path("save.tmp")));

    // An abort while writing leaves the old file as it was.
    const std::string target = Path("run.tbc");
    Put(target, "old contents");
    FakeHost aborting;
    aborting.abortAfterPumps = 3;
    EXPECT_FALSE(WriteDataFile(target, OneDataset(), aborting, Units::Imperial));
    EXPECT_TRUE(aborting.messages.empty());
    EXPECT_EQ(Contents(target), "old contents");
    EXPECT_FALSE(fs::exists(Path("save.tmp")));

    // A temporary file that cannot be deleted stops the save before anything is written.
    fs::create_directories(Path("save.tmp/x"));
    FakeHost blocked;
    EXPECT_FALSE(WriteDataFile(target, OneDataset(), blocked, Units::Imperial));
    ASSERT_EQ(blocked.messages.size(), 1u);
    EXPECT_EQ(
        blocked.messages[0].text.rfind(
            "Could NOT delete temporary file '" + Path("save.tmp") + "'.\nException Error #", 0),
        0u);
    EXPECT_EQ(Contents(target), "old contents");
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

}  // namespace
}  // namespace orvex
