// Keys and objects a reader does not know: kept in their place, whatever their depth,
// and written back among the entries a writer writes in its own order.
#include "base/kept_entries.h"

#include <sstream>

#include "base/object_stream.h"
#include "support/test_support.h"

namespace crv {
namespace {

// A settings object of the shape most owners have: keys, repeated keys and nested
// objects with readers of their own. Its writer puts b before a.
struct Part {
    std::string name, x;
    KeptEntries kept;
};

struct Sample {
    std::string a, b;
    std::vector<std::string> items;
    std::vector<Part> parts;
    KeptEntries kept;

    void Read(ObjectStream& is, SettingsObjectReader::Place place) {
        SettingsObjectReader reader(is, "obj", kept, {"part"}, place);
        while (reader.Next()) {
            std::string value;
            if (is.ReadString("a", a) || is.ReadString("b", b))
                continue;
            if (is.ReadString("item", value)) {
                items.push_back(value);
                continue;
            }
            Part part;
            if (is.ReadBeginMarker("part", part.name)) {
                SettingsObjectReader inner(is, "part", part.kept);
                while (inner.Next()) {
                    if (is.ReadString("x", part.x))
                        continue;
                    inner.Keep();
                }
                parts.push_back(std::move(part));
                continue;
            }
            reader.Keep();
        }
    }

    std::string Written() const {
        std::ostringstream out;
        ObjectStream os(out);
        os.WriteBeginMarker("obj");
        SettingsObjectWriter keep(os, kept);
        os.WriteString("b", b);
        os.WriteString("a", a);
        os.WriteNewline();
        for (const std::string& item : items)
            os.WriteString("item", item);
        for (const Part& part : parts) {
            os.WriteBeginMarker("part", part.name);
            SettingsObjectWriter keepPart(os, part.kept);
            os.WriteString("x", part.x);
            os.WriteEndMarker("part");
        }
        os.WriteEndMarker("obj");
        return out.str();
    }
};

Sample ReadSample(const std::string& text,
                  SettingsObjectReader::Place place = SettingsObjectReader::Place::File) {
    std::istringstream in(text);
    ObjectStream is(in);
    EXPECT_TRUE(is.ReadBeginMarker("obj"));
    Sample s;
    s.Read(is, place);
    return s;
}

// Written, read again and written again: the same text.
void ExpectStable(const Sample& s) {
    std::string first = s.Written();
    EXPECT_EQ(ReadSample(first).Written(), first);
}

TEST(KeptEntries, UnknownEntriesComeBackInTheirPlaces) {
    Sample s = ReadSample("\\+obj\n"
                          "\\new1 before everything\n"
                          "\\a 1\n"
                          "\\new2 after a\n"
                          "\\+newobj one\n\\k v\n\\+deeper\n\\+deepest\n\\-deepest\n\\-deeper\n"
                          "\\-newobj\n"
                          "\\b 2\n"
                          "\\item i1\n"
                          "\\item i2\n"
                          "\\new3 after the second item\n"
                          "continued\n"
                          "\\item i3\n"
                          "\\+part p\n\\new4 in a part\n\\x 3\n\\+partobj\n\\-partobj\n\\-part\n"
                          "\\new5 after the part\n"
                          "\\-obj\n");
    // Known settings are all read.
    EXPECT_EQ(s.a, "1");
    EXPECT_EQ(s.b, "2");
    EXPECT_EQ(s.items, (std::vector<std::string>{"i1", "i2", "i3"}));
    ASSERT_EQ(s.parts.size(), 1u);
    EXPECT_EQ(s.parts[0].x, "3");
    EXPECT_EQ(s.Written(), test::Crlf("\\+obj\n"
                                      "\\new1 before everything\n"
                                      "\\b 2\n"
                                      "\\a 1\n"
                                      "\n"
                                      "\\new2 after a\n"
                                      "\\+newobj one\n\\k v\n\\+deeper\n\\+deepest\n\\-deepest\n"
                                      "\\-deeper\n\\-newobj\n"
                                      "\\item i1\n"
                                      "\\item i2\n"
                                      "\\new3 after the second item\n"
                                      "continued\n"
                                      "\\item i3\n"
                                      "\\+part p\n\\new4 in a part\n\\x 3\n\\+partobj\n\\-partobj\n"
                                      "\\-part\n"
                                      "\\new5 after the part\n"
                                      "\\-obj\n"));
    ExpectStable(s);
}

TEST(KeptEntries, EntriesWhosePlaceIsGoneGoBeforeTheEndLine) {
    // "b" is empty and not written; an object's place is its key and name.
    Sample s = ReadSample("\\+obj\n\\b\n\\after b\n\\+part p\n\\-part\n\\after p\n\n\n"
                          "\\a 1\n\\-obj\n");
    s.parts[0].name = "renamed";
    EXPECT_EQ(s.Written(), test::Crlf("\\+obj\n\\a 1\n\n\\+part renamed\n\\-part\n"
                                      "\\after b\n\\after p\n\\-obj\n"));
    ExpectStable(s);
}

TEST(KeptEntries, MissingEndLines) {
    // A sibling's begin line ends a part whose end line is missing; an unknown object
    // does not, and neither does a stray end line inside the file's object. An unknown
    // object left open is closed where its enclosing object ends.
    Sample s = ReadSample("\\+obj\n"
                          "\\+part p\n\\x 1\n\\+newobj\n\\k\n\\-newobj\n\\-stray\n"
                          "\\+part q\n\\+open\n\\x inside\n\\-part\n"
                          "\\-other\n\\a 1\n\\-obj\n\\b not read\n");
    ASSERT_EQ(s.parts.size(), 2u);
    EXPECT_EQ(s.parts[0].x, "1");
    EXPECT_EQ(s.parts[0].kept.Text(), "\\+newobj\n\\k\n\\-newobj\n\\-stray\n");
    EXPECT_EQ(s.parts[1].x, "");
    EXPECT_EQ(s.parts[1].kept.Text(), "\\+open\n\\x inside\n\\-open\n");
    EXPECT_EQ(s.a, "1");
    EXPECT_EQ(s.kept.Text(), "\\-other\n");
    EXPECT_EQ(s.b, "");
    ExpectStable(s);

    // Read where the enclosing reader is unknown, another object's end line ends it.
    std::istringstream in("\\+obj\n\\a 1\n\\-enclosing\n\\b 2\n");
    ObjectStream is(in);
    ASSERT_TRUE(is.ReadBeginMarker("obj"));
    Sample inner;
    inner.Read(is, SettingsObjectReader::Place::Inner);
    EXPECT_TRUE(inner.kept.Empty());
    EXPECT_TRUE(is.ReadMarker('-', "enclosing"));
}

TEST(KeptEntries, DeepNestingIsKeptWithoutRecursion) {
    // As deep as a damaged or hostile file may go; the stray end lines after it must not
    // make the reader search the open objects again and again.
    constexpr int kDepth = 300000;
    std::string opens, strays, closes;
    for (int i = 0; i < kDepth; ++i) {
        opens += "\\+n\n";
        strays += "\\-x\n";
        closes += "\\-n\n";
    }
    Sample s = ReadSample("\\+obj\n\\a 1\n" + opens + strays + "\\-obj\n");
    EXPECT_EQ(s.a, "1");
    std::string written = s.Written();
    // The objects left open are closed where the file's object ends.
    EXPECT_EQ(written, test::Crlf("\\+obj\n\\a 1\n\n" + opens + strays + closes + "\\-obj\n"));
    EXPECT_EQ(ReadSample(written).Written(), written);
}

TEST(KeptEntries, FontObjectsKeepTheirEntries) {
    std::istringstream in("\\+fnt\n\\Name Charis\n\\Shadow 2\n\\+future\n\\-future\n"
                          "\\Size 12\n\\-fnt\n\\after\n");
    ObjectStream is(in);
    CFontDef font;
    ASSERT_TRUE(is.ReadFont("", font));
    EXPECT_EQ(font.face, "Charis");
    EXPECT_EQ(font.height, -16);
    EXPECT_EQ(is.PeekKey(), "after");
    std::ostringstream out;
    ObjectStream os(out);
    os.WriteFont("", font);
    EXPECT_EQ(out.str(), test::Crlf("\\+fnt\n\\Name Charis\n\\Shadow 2\n\\+future\n\\-future\n"
                                    "\\Size 12\n\\-fnt\n"));
}

} // namespace
} // namespace crv
