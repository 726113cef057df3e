#include "schema/marker_name.h"

#include <initializer_list>

#include <gtest/gtest.h>

namespace crv {
namespace {

using NameCheck = bool (*)(std::string_view, CNote&);

// Each name is refused with "Not expecting the character: " and the context item.
void ExpectStrayRefused(NameCheck check, std::initializer_list<const char*> names, int context) {
    for (const char* bad : names) {
        CNote note;
        EXPECT_FALSE(check(bad, note)) << bad;
        EXPECT_NE(note.Find(kNoteNotExpectingChar), nullptr) << bad;
        EXPECT_NE(note.Find(context), nullptr) << bad;
    }
}

TEST(MarkerName, RefusesEmptyAndStrayCharactersWithTheirNotes) {
    CNote ok;
    EXPECT_TRUE(CheckMarkerName("lx", ok));
    EXPECT_TRUE(CheckMarkerName("_x*9", ok));
    EXPECT_TRUE(ok.IsEmpty());

    CNote empty;
    EXPECT_FALSE(CheckMarkerName("", empty));
    EXPECT_EQ(empty.Text(), "Expecting a marker");

    ExpectStrayRefused(CheckMarkerName, {"a,b", "a{", "}", "a|b", "a\\b", "a b", "a\tb", "a\nb"},
                       kNoteInMarker);
    CNote comma;
    CheckMarkerName("ge,x", comma);
    EXPECT_EQ(comma.Text(), "Not expecting the character: , in a marker");
    EXPECT_EQ(comma.Position(), 2);
    EXPECT_EQ(comma.Length(), 1);
}

TEST(FieldName, AllowsSpacesButNotStyleSeparators) {
    CNote ok;
    EXPECT_TRUE(CheckFieldName("Gloss (English)", ok));
    EXPECT_TRUE(CheckFieldName("*", ok));
    EXPECT_TRUE(ok.IsEmpty());

    CNote semicolon;
    EXPECT_FALSE(CheckFieldName("Gloss;English", semicolon));
    EXPECT_EQ(semicolon.Text(), "Not expecting the character: ; in a style name");
    ExpectStrayRefused(CheckFieldName, {"a,b", "a{b", "a}b", "a\\b", "a\tb", "a\nb"},
                       kNoteInStyleName);

    CNote empty;
    EXPECT_FALSE(CheckFieldName("", empty));
    EXPECT_EQ(empty.Text(), "Expecting a style name");
}

} // namespace
} // namespace crv
