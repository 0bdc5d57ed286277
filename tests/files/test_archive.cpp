#include <gtest/gtest.h>

#include <functional>

#include "files/Archive.h"
#include "files/ByteBuilder.h"

namespace orvex {
namespace {

using test::ByteBuilder;

std::vector<uint8_t> Written(const std::function<void(CArchiveWriter&)>& body) {
    CVectorSink sink;
    CArchiveWriter w(sink);
    body(w);
    w.Flush();
    return sink.bytes;
}

TEST(Archive, StringsAndCountsUseTheirEscapes) {
    const std::string s254(254, 'a'), s255(255, 'b'), s65534(0xFFFE, 'c');
    auto bytes = Written([&](CArchiveWriter& w) {
        w.String(s254);
        w.String(s255);
        w.String(s65534);
        w.Count(0xFFFE);
        w.Count(0xFFFF);
    });
    ByteBuilder e;
    e.B(254).Raw(s254);
    e.B(0xFF).W(255).Raw(s255);
    e.B(0xFF).W(0xFFFF).D(0xFFFE).Raw(s65534);
    e.W(0xFFFE);
    e.W(0xFFFF).D(0xFFFF);
    EXPECT_EQ(bytes, e.bytes);

    CArchiveReader r(bytes.data(), bytes.size());
    EXPECT_EQ(r.String(), s254);
    EXPECT_EQ(r.String(), s255);
    EXPECT_EQ(r.String(), s65534);
    EXPECT_EQ(r.Count(), 0xFFFEu);
    EXPECT_EQ(r.Count(), 0xFFFFu);
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Archive, ClassRecordsAndIndicesCountFromOne) {
    auto bytes = Written([](CArchiveWriter& w) {
        w.NewObject("CA", 1);  // class 1, object 2
        w.NewObject("CB", 1);  // class 3, object 4
        w.NewObject("CA", 1);  // object 5
        w.NullObject();
        w.Reference(4);
    });
    ByteBuilder e;
    e.Class("CA").Class("CB").W(0x8001).W(0).W(4);
    EXPECT_EQ(bytes, e.bytes);

    CArchiveReader r(bytes.data(), bytes.size());
    r.RegisterClass("CA", 1, 10);
    r.RegisterClass("CB", 1, 11);
    using Tag = CArchiveReader::ObjectTag;
    Tag a = r.ReadObjectTag();
    EXPECT_EQ(a.kind, Tag::New);
    EXPECT_EQ(a.classId, 10);
    EXPECT_EQ(a.index, 2u);
    Tag b = r.ReadObjectTag();
    EXPECT_EQ(b.index, 4u);
    r.SetObjectSlot(b.index, 77);
    Tag a2 = r.ReadObjectTag();
    EXPECT_EQ(a2.classId, 10);
    EXPECT_EQ(a2.index, 5u);
    EXPECT_EQ(r.ReadObjectTag().kind, Tag::Null);
    Tag ref = r.ReadObjectTag();
    EXPECT_EQ(ref.kind, Tag::Reference);
    EXPECT_EQ(ref.classId, 11);
    EXPECT_EQ(ref.slot, 77u);
}

TEST(Archive, LargeIndicesUseTheBigTag) {
    auto bytes = Written([](CArchiveWriter& w) {
        for (int i = 0; i < 0x7FFF; ++i) w.NewObject("CFill", 1);  // indices 1 .. 0x8000
        w.NewObject("CLate", 1);                                   // class index 0x8001
        w.NewObject("CLate", 1);
        w.Reference(0x8000);
    });
    ByteBuilder tail;
    tail.Class("CLate").W(0x7FFF).D(0x80008001u).W(0x7FFF).D(0x8000);
    ASSERT_GE(bytes.size(), tail.bytes.size());
    EXPECT_TRUE(std::equal(tail.bytes.rbegin(), tail.bytes.rend(), bytes.rbegin()));

    CArchiveReader r(bytes.data(), bytes.size());
    r.RegisterClass("CFill", 1, 1);
    r.RegisterClass("CLate", 1, 2);
    for (int i = 0; i < 0x7FFF; ++i) r.SetObjectSlot(r.ReadObjectTag().index, 5);
    EXPECT_EQ(r.ReadObjectTag().classId, 2);
    EXPECT_EQ(r.ReadObjectTag().classId, 2);
    auto ref = r.ReadObjectTag();
    EXPECT_EQ(ref.kind, CArchiveReader::ObjectTag::Reference);
    EXPECT_EQ(ref.classId, 1);
}

TEST(Archive, MalformedInputFailsWithItsCause) {
    struct Case {
        const char* what;
        ByteBuilder bytes;
        ArchiveError cause;
    };
    std::vector<Case> cases = {
        {"unknown class", ByteBuilder().Class("CNope"), ArchiveError::BadObject},
        {"other schema", ByteBuilder().Class("CA", 2), ArchiveError::BadSchema},
        {"class tag of a never written class", ByteBuilder().W(0x8005), ArchiveError::BadObject},
        {"class tag naming an object", ByteBuilder().Class("CA").W(0x8002),
         ArchiveError::BadObject},
        {"reference to an unknown object", ByteBuilder().W(0x0009), ArchiveError::BadObject},
        {"reference to a class", ByteBuilder().Class("CA").W(0x0001), ArchiveError::BadObject},
        {"class name cut short", ByteBuilder().W(0xFFFF).W(1).W(40).Raw("CA"),
         ArchiveError::PrematureEnd},
        {"big tag cut short", ByteBuilder().W(0x7FFF).W(1), ArchiveError::PrematureEnd},
        {"huge string length", ByteBuilder().Class("CA").B(0xFF).W(0xFFFF).D(0xFFFFFFF0u),
         ArchiveError::PrematureEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CArchiveReader r(c.bytes.bytes.data(), c.bytes.bytes.size());
        r.RegisterClass("CA", 1, 1);
        try {
            for (int i = 0; i < 3; ++i) {
                r.ReadObjectTag();
                if (c.cause == ArchiveError::PrematureEnd) r.String();
            }
            ADD_FAILURE() << "no failure";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.Cause(), c.cause);
        }
    }
}

}  // namespace
}  // namespace orvex
