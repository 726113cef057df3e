#include "base/sf_header.h"

#include <sstream>

#include "support/test_support.h"

namespace crv::test {
namespace {

class SFHeaderTest : public PlatformTest {
protected:
    HeaderStatus Read(const std::string& text, SFHeader& h) {
        std::istringstream in(text);
        return ReadHeader(in, h);
    }
};

TEST_F(SFHeaderTest, FormatsTheValueWithTheTypeNameAtCharacterEleven) {
    EXPECT_EQ(FormatHeaderValue(400, "Lexicon"), "v3.0  400  Lexicon");
    EXPECT_EQ(FormatHeaderValue(7, "Text"), "v3.0  7    Text");
    EXPECT_EQ(FormatHeaderValue(9999, "T"), "v3.0  9999 T");
    EXPECT_EQ(FormatHeaderValue(10000, "T"), "v3.0  400  T");
    EXPECT_EQ(FormatHeaderValue(-3, "T"), "v3.0  400  T");
}

TEST_F(SFHeaderTest, ReadsTypeNumberAndFourDigitFlag) {
    SFHeader h;
    ASSERT_EQ(
        Read("\\_sh v3.0  321  Lexicon   \r\n\\_DateStampHasFourDigitYear\r\n\r\n\\lx a\r\n", h),
        HeaderStatus::Found);
    EXPECT_EQ(h.typeName, "Lexicon");
    EXPECT_EQ(h.number, 321);
    EXPECT_TRUE(h.fourDigitYear);

    SFHeader g;
    ASSERT_EQ(Read("\\_sh v3.0  400  Multi Word Type\n\n\\lx a\n", g), HeaderStatus::Found);
    EXPECT_EQ(g.typeName, "Multi Word Type");
    EXPECT_FALSE(g.fourDigitYear);
    // Text lines after the header line are not part of the type name.
    ASSERT_EQ(Read("\\_sh v3.0  400  Lexicon\nstray text\n\\lx a\n", g), HeaderStatus::Found);
    EXPECT_EQ(g.typeName, "Lexicon");
}

TEST_F(SFHeaderTest, WhatIsNoHeader) {
    SFHeader h;
    EXPECT_EQ(Read("\n\\_sh v3.0  400  Lexicon\n", h), HeaderStatus::NoHeader);
    EXPECT_EQ(Read(" \\_sh v3.0  400  Lexicon\n", h), HeaderStatus::NoHeader);
    EXPECT_EQ(Read("\\_sh v3.0  400\n", h), HeaderStatus::NoHeader);
    EXPECT_EQ(Read("\\_sh v3.0  400    \n", h), HeaderStatus::NoHeader);
    EXPECT_EQ(Read("\\_sh v2.0  400  Lexicon\n", h), HeaderStatus::NoHeader);
    EXPECT_EQ(Read("\\lx a\n\\_sh v3.0  400  Lexicon\n", h), HeaderStatus::NoHeader);
    EXPECT_EQ(Read("", h), HeaderStatus::NoHeader);
    EXPECT_EQ(Read(std::string("\\_sh v3.0  400  \0\0", 18), h), HeaderStatus::Found);
}

TEST_F(SFHeaderTest, AnOversizedHeaderEntryIsTooLarge) {
    SFHeader h;
    EXPECT_EQ(Read("\\_sh v3.0  400  Lexicon\n" + std::string(40000, 'x') + "\n", h),
              HeaderStatus::TooLarge);
}

} // namespace
} // namespace crv::test
