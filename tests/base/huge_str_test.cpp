#include "base/huge_str.h"

#include "support/test_support.h"

namespace crv::test {
namespace {

class HugeStrTest : public PlatformTest {};

TEST_F(HugeStrTest, GrowsInStepsOf128AndKeepsLittleEndianValues) {
    HugeStr s;
    s.AppendByte(0x01);
    EXPECT_EQ(s.Capacity(), 128u);
    s.AppendWord(0x0302);
    s.AppendDword(0x07060504);
    EXPECT_EQ(s.Length(), 7u);
    EXPECT_EQ(s.GetByte(0), 1);
    EXPECT_EQ(s.GetWord(1), 0x0302);
    EXPECT_EQ(s.GetDword(3), 0x07060504u);
    EXPECT_EQ(s.Data()[3], 0x04);
    s.SetDword(3, 0xAABBCCDD);
    EXPECT_EQ(s.GetByte(6), 0xAA);
    s.SetLength(128);
    EXPECT_EQ(s.Capacity(), 128u);
    s.SetLength(129);
    EXPECT_EQ(s.Capacity(), 256u);
    EXPECT_EQ(s.GetByte(128), 0);
    s.SetLength(0);
    EXPECT_EQ(s.Capacity(), 0u);
}

TEST_F(HugeStrTest, LargeBuffersKeepTheirContents) {
    HugeStr s;
    for (std::uint32_t i = 0; i < 65501; ++i)
        s.AppendByte(static_cast<std::uint8_t>(i * 7));
    EXPECT_EQ(s.Length(), 65501u);
    EXPECT_EQ(s.Capacity(), 65536u);
    bool same = true;
    for (std::uint32_t i = 0; i < 65501; ++i)
        same &= s.GetByte(i) == static_cast<std::uint8_t>(i * 7);
    EXPECT_TRUE(same);
    HugeStr copy = s;
    EXPECT_EQ(copy.GetByte(65500), s.GetByte(65500));
}

TEST_F(HugeStrTest, DeleteInsertAndFiles) {
    HugeStr a, b;
    for (char c : std::string("abcdef"))
        a.AppendByte(static_cast<std::uint8_t>(c));
    for (char c : std::string("XY"))
        b.AppendByte(static_cast<std::uint8_t>(c));
    a.Delete(1, 2);
    a.Insert(1, b);
    a.Insert(0, a);
    ScratchDir dir;
    std::string path = dir.File("h.bin");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(a.WriteTo(f));
    std::fclose(f);
    EXPECT_EQ(ReadFileBytes(path), "aXYdefaXYdef");
    f = std::fopen(path.c_str(), "rb");
    HugeStr back;
    back.ReadFrom(f, 100);
    std::fclose(f);
    EXPECT_EQ(back.Length(), 12u);
    EXPECT_EQ(back.GetByte(11), 'f');
}

TEST_F(HugeStrTest, ReadingPastTheLengthIsAnInternalError) {
    HugeStr s;
    s.AppendWord(1);
    EXPECT_EQ(s.GetDword(0), 0u);
    s.Delete(1, 5);
    EXPECT_EQ(rec.InternalErrors().size(), 2u);
    EXPECT_EQ(s.Length(), 2u);
    rec.Clear();
}

} // namespace
} // namespace crv::test
