#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/AtomicWrite.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

class AtomicWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "orvex-atomic-XXXXXX").string();
        m_dir = ::mkdtemp(tmpl.data());
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    size_t Entries() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }
    fs::path m_dir;
};

TEST_F(AtomicWrite, ReplacesTheFileThroughALinkKeepingItsMode) {
    const fs::path real = m_dir / "real.txt", link = m_dir / "link.txt";
    std::ofstream(real) << "old";
    ::chmod(real.c_str(), 0600);
    fs::create_symlink(real, link);
    ASSERT_TRUE(WriteFileAtomically(link.string(), "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(real), "new");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(AtomicWrite, AnotherSaveIntoTheFolderNeverSweepsAFinishedTemporary) {
    // The other save, sharing the temporary prefix, completes (and sweeps for leftovers) in
    // the instant just before this one renames its temporary over the target.
    const fs::path a = m_dir / "a.tbc", b = m_dir / "b.tbc";
    CFileReplacement first(a.string(), "save.tmp.", [&](AtomicWriteStep step) {
        if (step == AtomicWriteStep::Rename) {
            CFileReplacement second(b.string(), "save.tmp.");
            EXPECT_TRUE(second.Create());
            EXPECT_TRUE(second.Append("second"));
            EXPECT_TRUE(second.Commit());
        }
        return 0;
    });
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(first.Append("first"));
    EXPECT_TRUE(first.Commit());
    EXPECT_EQ(Read(a), "first");
    EXPECT_EQ(Read(b), "second");
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(AtomicWrite, FailedStepLeavesTheOldFileAndNoTemporary) {
    const fs::path path = m_dir / "file.txt";
    std::ofstream(path) << "old";
    struct Case {
        AtomicWriteStep step;
        AtomicWriteResult::Stage stage;
    } cases[] = {{AtomicWriteStep::Create, AtomicWriteResult::Open},
                 {AtomicWriteStep::Write, AtomicWriteResult::Write},
                 {AtomicWriteStep::Sync, AtomicWriteResult::Write},
                 {AtomicWriteStep::Rename, AtomicWriteResult::Write}};
    for (const Case& c : cases) {
        const AtomicWriteResult r = WriteFileAtomically(
            path.string(), "new", [&](AtomicWriteStep s) { return s == c.step ? ENOSPC : 0; });
        EXPECT_EQ(r.stage, c.stage) << static_cast<int>(c.step);
        EXPECT_EQ(r.error, ENOSPC);
        EXPECT_EQ(Read(path), "old");
        EXPECT_EQ(Entries(), 1u);
    }
    const AtomicWriteResult missing = WriteFileAtomically((m_dir / "no/such.txt").string(), "x");
    EXPECT_EQ(missing.stage, AtomicWriteResult::Open);
    EXPECT_EQ(missing.error, ENOENT);
}

}  // namespace
}  // namespace orvex
