#include <gtest/gtest.h>

#include "files/ByteBuilder.h"
#include "files/DataFile.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::ByteBuilder;
using test::FakeHost;

ByteBuilder Header(uint16_t major, uint16_t minor, uint16_t letter) {
    ByteBuilder b;
    b.W(0xAAAA).S("Brio-Dash Link Dataset").W(major).W(minor).W(letter);
    return b;
}

void EmptySeries(ByteBuilder& b, int count, bool modeWord, bool slipWords) {
    for (int i = 0; i < count; ++i) {
        if (modeWord) b.D(0);
        b.D(0).D(0).W(0);
        if (slipWords) b.D(0).W(0);
    }
}

// A 3.x file: one analog setup and samples in RPM 1 (saved in mode 1) and the last analog.
ByteBuilder File3x(uint16_t minor) {
    ByteBuilder b = Header(3, minor, 'a');
    b.W(0).W(0).W(0).W(1).Class("CBriodashDataset");
    if (minor >= 1) b.D(0);
    b.W(0).W(0).W(0).F(307200.0f).W(1).W(0).W(0).D(0).S("old");
    b.W(0);
    for (int i = 0; i < 6; ++i) b.F(1.0f);
    b.W(1).W(2).W(8).F(4.0f).W(0);
    b.W(1).Class("CAnalogSetup").W(1).W(1).S("A").W(0).W(1).W(1).W(3).W(12).W(100);
    b.F(0.0f).F(5.0f).F(0.5f);
    if (minor >= 2) b.W(0).F(0.0f).F(0.0f).F(0.0f);
    b.W(0).W(0);                                       // no digital setups; option word
    EmptySeries(b, 1, true, false);                    // markers
    b.D(1).D(1).D(10).D(20).W(3).D(0).W(0).D(0).W(0);  // RPM 1
    EmptySeries(b, 4, true, true);
    const int analogs = minor >= 2 ? 20 : 19;
    EmptySeries(b, analogs - 1, true, false);
    b.D(0).D(1).D(5).D(9).D(0).W(0);
    EmptySeries(b, 6, true, false);
    return b;
}

TEST(DataFileVersions, ThreeXFilesReadByTheirVersion) {
    for (uint16_t minor : {0, 1, 2}) {
        SCOPED_TRACE(minor);
        const auto bytes = File3x(minor).bytes;
        FakeHost host;
        DataFileContents c;
        ASSERT_TRUE(ReadDataFileFromMemory(bytes.data(), bytes.size(), "/x/old.tbc", host,
                                           DataFileReadOptions{}, c));
        EXPECT_EQ(c.minor, minor);
        EXPECT_EQ(c.letter, 'a');  // as the file stores it
        ASSERT_EQ(c.datasets.size(), 1u);
        const CBriodashDataset& d = *c.datasets[0];
        EXPECT_EQ(d.m_rpm[0].m_nDataMode, 0);  // a shaft saved in mode 1 reads as mode 0
        EXPECT_EQ(d.m_rpm[0][0].m_nGear, 3);
        const int last = minor >= 2 ? 19 : 18;
        ASSERT_EQ(d.m_analog[last].Size(), 1u);
        EXPECT_EQ(d.m_analog[last][0].m_lRaw, 9);
        const CAnalogSetup& a = d.m_carSetup.m_analog.at(0);
        EXPECT_EQ(a.m_nSmoothing, 4);  // a stored 0 reads as 4
        EXPECT_EQ(a.m_nAltInvert, minor >= 2 ? 0 : 1);
        EXPECT_FLOAT_EQ(a.m_fAltMax, minor >= 2 ? 0.0f : 5.0f);
        EXPECT_FLOAT_EQ(a.m_fAltOffset, minor >= 2 ? 0.0f : 0.5f);
    }
}

TEST(DataFileVersions, FileBefore30UsesTheFixedSeriesOrder) {
    ByteBuilder b = Header(2, 7, 'A');
    b.W(1).Class("CBriodashDataset");
    b.W(1).W(0).W(0).W(3).W(0);  // framed, family, no comments, engine words: four cylinders
    b.F(307200.0f).W(2).W(0);    // clock, two beacons per lap, distance source
    b.Class("CCarSetup").W(0);
    for (int i = 0; i < 6; ++i) b.F(1.0f);
    b.W(1).W(1).W(1).W(2).W(8).F(4.0f).W(0).W(0);       // engine flag, axle sensor, ratio given
    b.W(0);                                             // option word
    b.D(1).D(50).D(100).W(2).D(0).W(1);                 // engine
    b.D(0).D(0).W(0);                                   // axle
    b.D(3).D(10).D(0).D(20).D(0).D(30).D(0).D(0).W(0);  // markers
    EmptySeries(b, 19, false, false);
    EmptySeries(b, 2, false, false);  // wheel, clutch
    EmptySeries(b, 6, false, false);
    FakeHost host;
    DataFileContents c;
    ASSERT_TRUE(ReadDataFileFromMemory(b.bytes.data(), b.bytes.size(), "/x/old.tbc", host,
                                       DataFileReadOptions{}, c));
    ASSERT_EQ(c.datasets.size(), 1u);
    const CBriodashDataset& d = *c.datasets[0];
    EXPECT_EQ(d.m_strName, "old");
    const CFreqSetup* engine = d.m_carSetup.FindRpmSetup(1);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->m_nRpmType, 3);
    EXPECT_EQ(engine->m_nPPR, 2);
    ASSERT_NE(d.m_carSetup.FindRpmSetup(2), nullptr);
    EXPECT_EQ(d.m_carSetup.FindRpmSetup(2)->m_nRpmType, 12);
    ASSERT_EQ(d.m_rpm[0].Size(), 1u);
    EXPECT_EQ(d.m_rpm[0][0].m_nGear, 2);
    // Old marker codes are renumbered in groups of the beacons per lap.
    ASSERT_EQ(d.m_markers.Size(), 3u);
    EXPECT_EQ(d.m_markers[0].m_lRaw, 0);
    EXPECT_EQ(d.m_markers[1].m_lRaw, 1);
    EXPECT_EQ(d.m_markers[2].m_lRaw, 100);
    EXPECT_TRUE(host.messages.empty());
}

TEST(DataFileVersions, NoVersionWordsMeans25A) {
    ByteBuilder b;
    b.W(0xAAAA).S("Brio-Dash Link Dataset").W(11);  // straight to a list of 11 null entries
    for (int i = 0; i < 11; ++i) b.W(0);
    FakeHost host;
    DataFileContents c;
    ASSERT_TRUE(ReadDataFileFromMemory(b.bytes.data(), b.bytes.size(), "x.tbc", host,
                                       DataFileReadOptions{}, c));
    EXPECT_EQ(c.major, 2);
    EXPECT_EQ(c.minor, 5);
    EXPECT_EQ(c.letter, 'A');
}

}  // namespace
}  // namespace orvex
