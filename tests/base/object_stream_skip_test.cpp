// Passing over objects a reader does not know, and noticing an enclosing object's end
// line where an object's own end line is missing.
#include "base/object_stream.h"

#include <sstream>

#include "support/test_support.h"

namespace crv {
namespace {

TEST(ObjectStreamSkip, SkipObjectPassesOverNestedObjectsButNotTheEnclosingEnd) {
    std::istringstream in("\\+new one\n\\key v\n\\+inner\n\\+deeper\n\\-deeper\n\\-inner\n"
                          "\\-new\n\\after\n"
                          "\\+open\n\\+unclosed\n\\-open\n\\next\n"
                          "\\+lost\n\\k\n\\-DatabaseType\n");
    ObjectStream is(in);
    is.SkipObject();
    EXPECT_EQ(is.PeekKey(), "after");
    is.SkipObject(); // a plain entry: just that one
    // A missing inner end line is closed by the outer one.
    is.SkipObject();
    EXPECT_EQ(is.PeekKey(), "next");
    is.SkipEntry();
    // An object without its end line stops before the enclosing object's end.
    is.SkipObject();
    EXPECT_TRUE(is.IsOtherEnd("lost"));
    EXPECT_FALSE(is.IsOtherEnd("DatabaseType"));
    EXPECT_TRUE(is.ReadMarker('-', "DatabaseType"));
    EXPECT_TRUE(is.AtEnd());
}

TEST(ObjectStreamSkip, DeepNestingDoesNotExhaustTheStack) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "\\+a\n";
    text += "\\b\n";
    std::istringstream in(text);
    ObjectStream is(in);
    is.SkipObject();
    EXPECT_TRUE(is.AtEnd());
}

TEST(ObjectStreamSkip, FontSizesNoFontHasAreNotRead) {
    for (const char* size : {"0", "-5", "2147483647", "99999"}) {
        std::istringstream in(std::string("\\+fnt\n\\Size ") + size + "\n\\-fnt\n");
        ObjectStream is(in);
        CFontDef font;
        ASSERT_TRUE(is.ReadFont("", font));
        EXPECT_EQ(font.height, -16) << size;
    }
    // A missing font end line stops before the enclosing object's end.
    std::istringstream in("\\+fnt\n\\Size 10\n\\-mkr\n");
    ObjectStream is(in);
    CFontDef font;
    ASSERT_TRUE(is.ReadFont("", font));
    EXPECT_EQ(font.height, -13);
    EXPECT_TRUE(is.ReadMarker('-', "mkr"));
}

} // namespace
} // namespace crv
