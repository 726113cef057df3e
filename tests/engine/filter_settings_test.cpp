// The stored form of filter sets: written and read back byte for byte, older and broken
// forms loaded with their notes.
#include "engine/filter.h"

#include "engine/filter_test_support.h"

namespace crv::test {
namespace {

std::string NoteTexts(const CNoteList& notes) {
    std::string out;
    for (const CNote& n : notes)
        out += n.Text() + "|";
    return out;
}

const char* const kStored = "\\+filset\r\n"
                            "\\+fil Dated nouns\r\n"
                            "\\fel (\r\n"
                            "\\mkr ps\r\n"
                            "\\txt n\r\n"
                            "\\fel Or\r\n"
                            "\\lngAny\r\n"
                            "\\txt [vowel]x\r\n"
                            "\\fel )\r\n"
                            "\\fel And\r\n"
                            "\\fel Not\r\n"
                            "\\mkr dt\r\n"
                            "\\rel >\r\n"
                            "\\dat Jun/2001\r\n"
                            "\\fel And\r\n"
                            "\\fel NonUnique\r\n"
                            "\\MatchWhole\r\n"
                            "\\match_char c\r\n"
                            "\\-fil\r\n"
                            "\\+fil With\r\n"
                            "\\mkr xv\r\n"
                            "\\txt a\r\n"
                            "\\fel With\r\n"
                            "\\mkr xe\r\n"
                            "\\txt b\r\n"
                            "\\fel And\r\n"
                            "\\lng Default\r\n"
                            "\\txt\r\n"
                            "\\match_char p\r\n"
                            "\\-fil\r\n"
                            "\\-filset\r\n";

TEST_F(FilterTest, StoredFormRoundTrips) {
    EXPECT_TRUE(ReadSet(kStored).empty());
    EXPECT_EQ(WriteSet(), kStored);
    CFilter* f = filters->Find("Dated nouns");
    ASSERT_TRUE(f && f->IsParsed());
    EXPECT_TRUE(f->MatchWhole());
    EXPECT_EQ(f->MatchMask(), 23);
    EXPECT_TRUE(filters->Find("With")->IsParsed());

    // Filters made through the set write the same way.
    filters = std::make_unique<CFilterSet>(markers);
    AddFilter("With", {"\\xv a", "With", "\\xe b", "And", "@Default "});
    AddFilter("Dated nouns",
              {"(", "\\ps n", "Or", "@* [vowel]x", ")", "And", "Not", "\\dt > Jun/2001", "And",
               "Non-Unique"},
              true, 23);
    EXPECT_EQ(WriteSet(), kStored);
}

TEST_F(FilterTest, OlderFormsAreAccepted) {
    CNoteList notes =
        ReadSet("\\+filset\n\\+fil old\n\\mkrRecord lx\n\\fel Non-Unique\n\\fel And\n\\mkr dt\n"
                "\\rel ?\n\\dat 5/jun/01\n\\match_char z\n\\-fil\n\\-filset\n");
    EXPECT_EQ(NoteTexts(notes), "");
    CFilter* f = filters->Find("old");
    ASSERT_TRUE(f && f->IsParsed());
    EXPECT_EQ(f->MatchMask(), 3);
    EXPECT_EQ(WriteSet(),
              "\\+filset\r\n\\+fil old\r\n\\fel NonUnique\r\n\\fel And\r\n\\mkr dt\r\n\\rel <\r\n"
              "\\dat 05/Jun/2001\r\n\\match_char p\r\n\\-fil\r\n\\-filset\r\n");
    // A date element without a relation is a before.
    ReadSet("\\+filset\n\\+fil d\n\\mkr dt\n\\dat 2001\n\\-fil\n\\-filset\n");
    auto* date = dynamic_cast<const CFilterMarkerDate*>(filters->Find("d")->Elements()[0].get());
    ASSERT_TRUE(date);
    EXPECT_EQ(date->Condition().Rel(), CDateCondition::Relation::Before);
}

TEST_F(FilterTest, BrokenFiltersLoadWithNotesAndAreWrittenBackAsRead) {
    const std::string text =
        "\\+filset\n"
        "\\+fil seq\n\\mkr ge\n\\txt a\n\\fel And\n\\-fil\n"
        "\\+fil marker\n\\mkr zz\n\\txt a\n\\-fil\n"
        "\\+fil badname\n\\mkr a,b\n\\txt a\n\\-fil\n"
        "\\+fil date\n\\mkr dt\n\\rel =\n\\dat soon\n\\-fil\n"
        "\\+fil pattern\n\\mkr ge\n\\txt [nosuch]\n\\-fil\n"
        "\\+fil lang\n\\lng Klingon\n\\txt a\n\\-fil\n"
        "\\+fil pieces\n\\mkr ge\n\\fel Or\n\\txt stray\n\\rel =\n\\fel Xor\n\\-fil\n"
        "\\-filset\n";
    CNoteList notes = ReadSet(text);
    EXPECT_EQ(NoteTexts(notes), "In a filter: seq Expecting a Text or Date Element|"
                                "In a filter: date Unrecognized date:  soon|"
                                "In a filter: pattern Variable or metacharacter name not defined: "
                                "nosuch in a text pattern string "
                                "in a marker-string filter condition|"
                                "In a filter: pieces Expecting a Text or Date Element\n\\mkr ge|"
                                "In a filter: badname Not expecting the character: , in a marker|"
                                "In a filter: lang Language encoding not found: Klingon|"
                                "In a filter: marker Marker not in marker list: \\zz|");
    EXPECT_GT(notes[0].FileLine(), 0);
    CRecord* r = Add({{lx, "a"}, {ge, "a"}, {dt, "01/Jan/2001"}});
    for (const char* name : {"seq", "marker", "badname", "date", "pattern", "lang", "pieces"}) {
        ASSERT_TRUE(filters->Find(name)) << name;
        EXPECT_FALSE(filters->Find(name)->Evaluate(*r, r->GetFirst())) << name;
    }
    // Written back entry for entry (with the match mask each filter now states).
    std::string again = WriteSet();
    ReadSet(again);
    EXPECT_EQ(WriteSet(), again);
    EXPECT_NE(again.find("\\mkr ge\r\n\\fel Or\r\n\\txt stray\r\n\\rel =\r\n\\fel Xor\r\n"),
              std::string::npos);
    EXPECT_NE(again.find("\\dat soon\r\n"), std::string::npos);
    EXPECT_NE(again.find("\\mkr a,b\r\n\\txt a\r\n"), std::string::npos);
}

TEST_F(FilterTest, WhatANewerVersionWroteIsKeptInPlace) {
    const std::string stored = Crlf("\\+filset\n"
                                    "\\newSetKey\n"
                                    "\\+fil a\n"
                                    "\\mkr ge\n"
                                    "\\newKey 1\n"
                                    "\\txt x\n"
                                    "\\+newer\n\\k v\n\\+deeper\n\\-deeper\n\\-newer\n"
                                    "\\MatchWhole\n"
                                    "\\match_char p\n"
                                    "\\-fil\n"
                                    "\\+newSetObject\n\\-newSetObject\n"
                                    "\\+fil b\n"
                                    "\\fel NonUnique\n"
                                    "\\match_char p\n"
                                    "\\-fil\n"
                                    "\\-filset\n");
    EXPECT_EQ(NoteTexts(ReadSet(stored)), "");
    ASSERT_TRUE(filters->Find("a") && filters->Find("b"));
    EXPECT_TRUE(filters->Find("a")->IsParsed());
    EXPECT_TRUE(filters->Find("a")->MatchWhole());
    EXPECT_EQ(WriteSet(), stored);
}

TEST_F(FilterTest, ObjectsEndWhereTheirEndLinesAreMissing) {
    // A filter without its end line ends at the next filter; unknown objects do not end it.
    CNoteList notes = ReadSet("\\+filset\n\\+fil a\n\\mkr ge\n\\txt x\n\\+newer\n\\k v\n\\-newer\n"
                              "\\+fil b\n\\fel NonUnique\n\\-filset\n\\mkrDateStamp dt\n");
    EXPECT_EQ(NoteTexts(notes), "");
    ASSERT_TRUE(filters->Find("a") && filters->Find("b"));
    EXPECT_TRUE(filters->Find("a")->IsParsed());
    EXPECT_TRUE(filters->Find("b")->IsParsed());
    // An empty set is not written.
    filters = std::make_unique<CFilterSet>(markers);
    EXPECT_EQ(WriteSet(), "");
}

} // namespace
} // namespace crv::test
