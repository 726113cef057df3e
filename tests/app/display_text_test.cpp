#include "app/display_text.h"

#include <gtest/gtest.h>

namespace crv {
namespace {

TEST(DisplayTextTest, Utf8IsValidatedStrictly) {
    EXPECT_TRUE(IsValidUtf8("ts\xC3\xBAm\xC3\xA1"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));          // Windows-1252 e acute
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // cut short
}

TEST(DisplayTextTest, FieldsShowAsUtf8WhenMarkedOrValidElseWindows1252) {
    EXPECT_EQ(DisplayEncoding("tsum\xC3\xA1", false), ByteEncoding::Utf8);
    EXPECT_EQ(DisplayEncoding("caf\xE9", false), ByteEncoding::Windows1252);
    EXPECT_EQ(DisplayEncoding("caf\xE9", true), ByteEncoding::Utf8);
    EXPECT_EQ(DisplayUtf8("caf\xE9 \x80 \x93x\x94", false),
              "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D");
}

TEST(DisplayTextTest, EveryWindows1252ByteComesBackUnchanged) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    std::string shown = Windows1252ToUtf8(all);
    ASSERT_TRUE(IsValidUtf8(shown));
    EXPECT_EQ(EncodeTypedText(shown, ByteEncoding::Windows1252), all);
}

TEST(DisplayTextTest, TypedCharactersTheEncodingCannotHoldAreRefused) {
    EXPECT_EQ(EncodeTypedText("\xC3\xA9\xE2\x82\xAC", ByteEncoding::Windows1252), "\xE9\x80");
    EXPECT_EQ(EncodeTypedText("\xC5\x8B", ByteEncoding::Utf8), "\xC5\x8B");
    std::string refused;
    EXPECT_EQ(EncodeTypedText("a\xC5\x8B", ByteEncoding::Windows1252, &refused), std::nullopt);
    EXPECT_EQ(refused, "\xC5\x8B"); // eng
    EXPECT_NE(RefusedCharacterText(refused, ByteEncoding::Windows1252).find("Windows-1252"),
              std::string::npos);
}

} // namespace
} // namespace crv
