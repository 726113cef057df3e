#include "base/object_stream.h"

#include <sstream>

#include "support/test_support.h"

namespace crv {
namespace {

class ObjectStreamTest : public test::PlatformTest {};

std::string Written(void (*write)(ObjectStream&)) {
    std::ostringstream out;
    ObjectStream os(out);
    write(os);
    return out.str();
}

TEST_F(ObjectStreamTest, WritesEntriesWithCrLfAndProtectedBackslashLines) {
    std::string s = Written([](ObjectStream& os) {
        os.WriteBeginMarker("DatabaseType", "Lexicon");
        os.WriteString("desc", "one\n\\two\nthree");
        os.WriteString("empty", "");
        os.WriteStringAlways("always", "");
        os.WriteBool("AutoWrap", true);
        os.WriteBool("Off", false);
        os.WriteInteger("n", -12);
        os.WriteColor("rgb", 255 | (0 << 8) | (128u << 16));
        os.WriteChar("c", '|');
        os.WriteNewline();
        os.WriteEndMarker("DatabaseType");
    });
    EXPECT_EQ(s, "\\+DatabaseType Lexicon\r\n"
                 "\\desc one\r\n \\two\r\nthree\r\n"
                 "\\always\r\n"
                 "\\AutoWrap\r\n"
                 "\\n -12\r\n"
                 "\\rgb 255,0,128\r\n"
                 "\\c |\r\n"
                 "\r\n"
                 "\\-DatabaseType\r\n");
}

TEST_F(ObjectStreamTest, ReadsWhatItWrote) {
    std::string s = Written([](ObjectStream& os) {
        os.WriteBeginMarker("obj", "name with spaces");
        os.WriteString("desc", "line one\n\\second\n\nfourth");
        os.WriteBool("flag", true);
        os.WriteInteger("num", 42);
        os.WriteDouble("real", 0.1);
        WindowPlacement p;
        p.state = WindowPlacement::State::Maximized;
        p.left = 1, p.top = 2, p.right = 300, p.bottom = 400;
        os.WriteWindowPlacement("placement", p);
        os.WriteEndMarker("obj");
    });
    std::istringstream in(s);
    ObjectStream is(in);
    ASSERT_TRUE(is.AtBackslash());
    std::string name, desc;
    ASSERT_TRUE(is.ReadBeginMarker("obj", name));
    EXPECT_EQ(name, "name with spaces");
    bool flag = false;
    int num = 0;
    double real = 0;
    WindowPlacement p;
    int loops = 0;
    while (!is.AtEnd()) {
        ++loops;
        if (is.ReadString("desc", desc) || is.ReadBool("flag", flag) ||
            is.ReadInteger("num", num) || is.ReadDouble("real", real) ||
            is.ReadWindowPlacement("placement", p))
            continue;
        if (is.ReadEnd("obj"))
            break;
    }
    EXPECT_EQ(desc, "line one\n \\second\n\nfourth") << "the protecting space stays";
    EXPECT_TRUE(flag);
    EXPECT_EQ(num, 42);
    EXPECT_EQ(real, 0.1);
    EXPECT_EQ(p.state, WindowPlacement::State::Maximized);
    EXPECT_EQ(p.right, 300);
    EXPECT_EQ(loops, 6);
    EXPECT_TRUE(is.AtEnd());
}

TEST_F(ObjectStreamTest, UnknownEntriesAndObjectsAreSkippedAndDefaultsKept) {
    std::istringstream in("\\+DatabaseType X\n\\zzz unknown\n\\+nested a\n\\inner 1\n\\-nested\n"
                          "\\AutoWrap\n\\-DatabaseType\n");
    ObjectStream is(in);
    std::string v;
    ASSERT_TRUE(is.ReadBeginMarker("DatabaseType", v));
    bool autoWrap = false, other = false;
    while (!is.AtEnd()) {
        if (is.ReadBool("AutoWrap", autoWrap) || is.ReadBool("Other", other))
            continue;
        if (is.ReadMarker('-', "DatabaseType"))
            break;
        is.SkipEntry();
    }
    EXPECT_TRUE(autoWrap);
    EXPECT_FALSE(other);
    EXPECT_TRUE(is.AtEnd());
}

TEST_F(ObjectStreamTest, KeyValueSplitAndTrim) {
    std::istringstream in(
        "\\a  padded value \t\n\\b\tafter tab\n\\c\n\\d value\r\n continued  \r\n\r\n");
    ObjectStream is(in);
    std::string a, b, c = "x", d;
    EXPECT_TRUE(is.ReadString("a", a));
    EXPECT_EQ(a, "padded value");
    EXPECT_TRUE(is.ReadString("b", b));
    EXPECT_EQ(b, "after tab");
    EXPECT_TRUE(is.ReadString("c", c));
    EXPECT_EQ(c, "");
    EXPECT_TRUE(is.ReadString("d", d));
    EXPECT_EQ(d, "value\n continued");
    EXPECT_TRUE(is.AtEnd());
}

TEST_F(ObjectStreamTest, ColourComponentsMissingKeepCallersValue) {
    std::istringstream in("\\c1 255,0,128\n\\c2 10\n\\c3 ,7\n\\c4 900,-5,x\n");
    ObjectStream is(in);
    std::uint32_t c = 0;
    ASSERT_TRUE(is.ReadColor("c1", c));
    EXPECT_EQ(c, 255u | (128u << 16));
    std::uint32_t c2 = 0x030201;
    ASSERT_TRUE(is.ReadColor("c2", c2));
    EXPECT_EQ(c2, 0x03020Au);
    ASSERT_TRUE(is.ReadColor("c3", c2));
    EXPECT_EQ(c2, 0x03070Au);
    ASSERT_TRUE(is.ReadColor("c4", c2));
    EXPECT_EQ(c2, 0x0300FFu) << "components are clamped; unreadable ones kept";
}

TEST_F(ObjectStreamTest, PlacementNeedsAllNineItems) {
    std::istringstream in("\\p max 1 2 3 4 5 6 7\n\\q what 1 2 3 4 5 6 7 8\n");
    ObjectStream is(in);
    WindowPlacement p;
    p.left = 99;
    EXPECT_TRUE(is.ReadWindowPlacement("p", p));
    EXPECT_EQ(p.left, 99);
    EXPECT_EQ(p.state, WindowPlacement::State::Normal);
    EXPECT_TRUE(is.ReadWindowPlacement("q", p));
    EXPECT_EQ(p.state, WindowPlacement::State::Normal) << "unknown state word reads as normal";
    EXPECT_EQ(p.bottom, 8);
}

TEST_F(ObjectStreamTest, FontSizeAndHeightConvert) {
    EXPECT_EQ(FontHeightFromSize(12), -16);
    EXPECT_EQ(FontSizeFromHeight(-16), 12);
    EXPECT_EQ(FontHeightFromSize(10), -13);
    EXPECT_EQ(FontSizeFromHeight(-13), 10);
    CFontDef f;
    f.face = "Charis";
    f.height = -16;
    f.weight = 700;
    f.italic = true;
    f.hasColor = true;
    f.color = 0x00FF00;
    std::ostringstream out;
    ObjectStream os(out);
    os.WriteFont("Markers", f);
    EXPECT_EQ(out.str(), "\\+fntMarkers\r\n\\Name Charis\r\n\\Size 12\r\n\\Bold\r\n\\Italic\r\n"
                         "\\rgbColor 0,255,0\r\n\\-fntMarkers\r\n");
    std::istringstream in(out.str());
    ObjectStream is(in);
    CFontDef g;
    g.underline = true;
    ASSERT_TRUE(is.ReadFont("Markers", g));
    EXPECT_EQ(g.face, "Charis");
    EXPECT_EQ(g.height, -16);
    EXPECT_EQ(g.weight, 700);
    EXPECT_TRUE(g.italic);
    EXPECT_FALSE(g.underline);
    EXPECT_TRUE(g.hasColor);
    EXPECT_EQ(g.color, 0x00FF00u);
    EXPECT_TRUE(is.AtEnd());

    // An empty face is not written; read, it keeps the face the font had, so that what is
    // written reads back the same.
    std::istringstream empty("\\+fnt\r\n\\Name \r\n\\Size 1\r\n\\-fnt\r\n");
    ObjectStream is2(empty);
    ASSERT_TRUE(is2.ReadFont("", g));
    EXPECT_EQ(g.face, "Charis");
}

TEST_F(ObjectStreamTest, MissingEndLineStopsAtNextObject) {
    std::istringstream in("\\+mkr a\n\\nam first\n\\+mkr b\n\\nam second\n\\-mkr\n");
    ObjectStream is(in);
    std::vector<std::string> names;
    std::string v;
    while (is.ReadBeginMarker("mkr", v)) {
        std::string nam;
        while (!is.AtEnd()) {
            if (is.ReadString("nam", nam))
                continue;
            if (is.ReadEnd("mkr"))
                break;
        }
        names.push_back(v + "=" + nam);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a=first", "b=second"}));
}

TEST_F(ObjectStreamTest, OverlongEntryFailsEveryLaterRead) {
    std::string text = "\\a ok\n\\big " + std::string(20000, 'x') + "\n" + std::string(20000, 'y') +
                       "\n\\c later\n";
    std::istringstream in(text);
    ObjectStream is(in);
    std::string a, big, c;
    EXPECT_TRUE(is.ReadString("a", a));
    EXPECT_FALSE(is.ReadString("big", big));
    EXPECT_TRUE(is.Overflow());
    int skipped = 0;
    while (!is.AtEnd()) {
        EXPECT_FALSE(is.ReadString("c", c));
        is.SkipEntry();
        ++skipped;
    }
    EXPECT_GT(skipped, 0);
    EXPECT_EQ(c, "");
}

TEST_F(ObjectStreamTest, TextBeforeFirstEntryIsNotASettingsFile) {
    std::istringstream in("plain text\n\\a b\n");
    ObjectStream is(in);
    EXPECT_FALSE(is.AtBackslash());
    std::string v;
    EXPECT_FALSE(is.ReadString("a", v));
    is.SkipEntry();
    EXPECT_TRUE(is.ReadString("a", v));
    EXPECT_EQ(v, "b");
}

} // namespace
} // namespace crv
