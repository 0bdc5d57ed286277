// The program's own data folder and the colour file shipped in it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "app/ProgramData.h"
#include "graph/Color.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

TEST(ProgramData, EnvironmentOverridesTheFolderBesideTheBinary) {
    const std::string found = ProgramDataDir();
    EXPECT_TRUE(fs::is_directory(found)) << found;
    ::setenv("ORVEX_DATA_DIR", "/nowhere/orvex", 1);
    EXPECT_EQ(ProgramDataDir(), "/nowhere/orvex");
    ::unsetenv("ORVEX_DATA_DIR");
    EXPECT_EQ(ProgramDataDir(), found);
}

TEST(ProgramData, ShippedColourFileHoldsTheThreeDefaultSets) {
    test::FakeHost host;
    const auto sets = ReadColorFile((fs::path(ProgramDataDir()) / "default.col").string(), host);
    ASSERT_TRUE(sets.has_value());
    ASSERT_EQ(sets->size(), 3u);
    for (int n = 0; n < 3; ++n) {
        CColor set = (*sets)[n];
        set.m_crMarker = CColor::Default(n).m_crMarker;  // the file has no marker colour
        EXPECT_EQ(set, CColor::Default(n)) << n;
    }
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace orvex
