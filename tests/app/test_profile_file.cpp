#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/ProfileFile.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteText(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

class TempDir {
  public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "orvex-profile-XXXXXX").string();
        m_path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, ec);
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
};

TEST(ProfileInt, ReadsLeadingDigitsWithSign) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"12", 12},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-7", -7},
        {"+7", 7},
        {"-", 0},
        {"  42  ", 42},
        {"3.9", 3},
        {"0x10", 0},
        {"-1x", -1},
        {"2147483647", 2147483647},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseProfileInt(c.text), c.value) << c.text;
}

TEST(ProfileFile, ParsesLikePrivateProfile) {
    CProfileFile f;
    f.Parse(
        "; leading comment\r\n"
        "[Settings]\r\n"
        "  AutoSave = TRUE  \r\n"
        "ComPort=12abc\r\n"
        "; Timer=20\r\n"
        "#Hidden=1\r\n"
        "Empty=\r\n"
        "Count=5\r\n"
        "count=6\r\n"
        "no equals sign\r\n"
        "[ Other ]\r\n"
        "Name=a=b\r\n"
        "[SETTINGS]\r\n"
        "Late=9\r\n"
        "Count=7");
    EXPECT_EQ(f.Get("settings", "autosave"), "TRUE");
    EXPECT_EQ(f.GetInt("Settings", "ComPort", 1), 12);
    EXPECT_EQ(f.Get("Settings", "Timer"), std::nullopt);  // commented out
    EXPECT_EQ(f.Get("Settings", "#Hidden"), std::nullopt);
    EXPECT_EQ(f.Get("Settings", "Empty"), "");
    EXPECT_EQ(f.GetInt("Settings", "Empty", 8), 0);    // present without digits
    EXPECT_EQ(f.GetInt("Settings", "Missing", 8), 8);  // missing: the default
    EXPECT_EQ(f.GetInt("Settings", "Count", 0), 5);    // the first of duplicates
    EXPECT_EQ(f.GetInt("Settings", "Late", 0), 9);     // a repeated section adds its keys
    EXPECT_EQ(f.Get("OTHER", "name"), "a=b");
    EXPECT_EQ(f.Get("Nowhere", "Name"), std::nullopt);
    EXPECT_EQ(f.GetString("Nowhere", "Name", "dflt"), "dflt");
    EXPECT_EQ(f.Sections(), (std::vector<std::string>{"Settings", "Other"}));
    EXPECT_EQ(f.Entries("Settings").size(), 5u);
}

TEST(ProfileFile, KeepsUnknownLinesAndLineEnds) {
    const std::string crlf = "; note\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny = 2 \r\n";
    CProfileFile f;
    f.Parse(crlf);
    EXPECT_EQ(f.Text(), crlf);

    f.Parse("[A]\nx=1");  // no line end after the last line
    EXPECT_EQ(f.Get("A", "x"), "1");
    EXPECT_EQ(f.Text(), "[A]\nx=1\n");
}

TEST(ProfileFile, WriteReplacesInPlaceOrAppendsToItsSection) {
    CProfileFile f;
    f.Parse("[A]\nx=1\n; about y\ny=2\n\n; B follows\n[B]\nz=3\n");
    f.Write("a", "Y", "two");
    f.Write("A", "w", "new");
    f.Write("C", "k", "v");
    f.Write("B", "z", "line\nbreak");
    EXPECT_EQ(f.Text(),
              "[A]\nx=1\n; about y\ny=two\nw=new\n\n; B follows\n[B]\nz=line break\n\n[C]\nk=v\n");
    EXPECT_EQ(f.Get("A", "y"), "two");

    CProfileFile empty;
    empty.Write("S", "k", "1");
    empty.Write("T", "k", "2");
    EXPECT_EQ(empty.Text(), "[S]\nk=1\n\n[T]\nk=2\n");
}

TEST(ProfileFile, DeletesKeysAndSections) {
    CProfileFile f;
    f.Parse("[A]\nx=1\nX=2\ny=3\n[B]\nz=4\n[a]\nx=5\n");
    EXPECT_TRUE(f.DeleteKey("A", "x"));
    EXPECT_FALSE(f.DeleteKey("A", "x"));
    EXPECT_EQ(f.Get("A", "x"), std::nullopt);
    EXPECT_EQ(f.Get("A", "y"), "3");
    EXPECT_TRUE(f.DeleteSection("b"));
    EXPECT_FALSE(f.HasSection("B"));
    EXPECT_EQ(f.Text(), "[A]\ny=3\n[a]\n");
}

TEST(ProfileFile, LoadsAndSavesWholeFile) {
    TempDir dir;
    fs::path path = dir.path() / "ORVEX.INI";
    CProfileFile f;
    int err = 0;
    EXPECT_FALSE(f.Load(path.string(), &err));
    EXPECT_EQ(err, ENOENT);

    f.Write("Settings", "AutoSave", "TRUE");
    ASSERT_TRUE(f.Save(path.string(), &err)) << err;
    EXPECT_EQ(ReadText(path), "[Settings]\nAutoSave=TRUE\n");

    CProfileFile g;
    ASSERT_TRUE(g.Load(path.string()));
    EXPECT_EQ(g.Get("SETTINGS", "autosave"), "TRUE");
    // Nothing but the file is left in the directory.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ProfileFile, FailedSaveLeavesTheOldFile) {
    TempDir dir;
    fs::path path = dir.path() / "ORVEX.INI";
    WriteText(path, "[Settings]\nComPort=2\n");
    CProfileFile f;
    f.Write("Settings", "ComPort", "3");

    for (auto step : {CProfileFile::SaveStep::Create, CProfileFile::SaveStep::Write,
                      CProfileFile::SaveStep::Sync, CProfileFile::SaveStep::Rename}) {
        CProfileFile::SetSaveFaultHook(
            [step](CProfileFile::SaveStep s) { return s == step ? ENOSPC : 0; });
        int err = 0;
        EXPECT_FALSE(f.Save(path.string(), &err));
        EXPECT_EQ(err, ENOSPC);
        EXPECT_EQ(ReadText(path), "[Settings]\nComPort=2\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
    CProfileFile::SetSaveFaultHook({});
    EXPECT_TRUE(f.Save(path.string()));
    EXPECT_EQ(ReadText(path), "[Settings]\nComPort=3\n");
}

TEST(ProfileFile, ReadOnlyDirectoryLeavesTheOldFile) {
    TempDir dir;
    fs::path path = dir.path() / "ORVEX.INI";
    WriteText(path, "[A]\nx=1\n");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    // Permissions are not enforced for a privileged user; the fault hook test covers that case.
    if (::access(dir.path().c_str(), W_OK) == 0) GTEST_SKIP() << "directory still writable";
    CProfileFile f;
    f.Write("A", "x", "2");
    int err = 0;
    EXPECT_FALSE(f.Save(path.string(), &err));
    EXPECT_EQ(err, EACCES);
    EXPECT_EQ(ReadText(path), "[A]\nx=1\n");
}

TEST(ProfileFile, SaveKeepsTheFileModeAndFollowsLinks) {
    TempDir dir;
    fs::path real = dir.path() / "real.ini";
    fs::path link = dir.path() / "ORVEX.INI";
    WriteText(real, "[A]\nx=1\n");
    ::chmod(real.c_str(), 0600);
    fs::create_symlink(real, link);
    CProfileFile f;
    ASSERT_TRUE(f.Load(link.string()));
    f.Write("A", "x", "2");
    ASSERT_TRUE(f.Save(link.string()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(real), "[A]\nx=2\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace orvex
