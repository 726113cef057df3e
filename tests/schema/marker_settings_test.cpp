#include "schema/marker.h"

#include "schema/marker_test_support.h"

namespace crv::test {
namespace {

const char* const kFullSet = R"(\+mkrset
\lngDefault Default
\mkrRecord lx
\Subfields

\+mkr ge
\nam Gloss
\desc English gloss,
 \second line
\lng English
\rngsetCharacter
\rngsetNoSpace
\rngset a b c 
\+fnt
\Name Charis SIL
\Size 12
\Bold
\Italic
\rgbColor 255,0,128
\-fnt
\NoWordWrap
\mkrOverThis sn
\mkrFollowingThis ps
\CharStyle
\sect 2
\Hidden
\Subfield
\-mkr
\+mkr lx
\nam Lexeme
\lng Default
\mkrFollowingThis ps
\-mkr
\+mkr ps
\nam Part of speech
\lng Default
\mkrOverThis lx
\-mkr
\+mkr sn
\lng Default
\mkrOverThis lx
\-mkr
\-mkrset
)";

TEST_F(MarkerTest, RoundTripKeepsEveryByte) {
    EXPECT_TRUE(ReadSet(Crlf(kFullSet)).empty());
    // Names not yet resolved are written as read.
    EXPECT_EQ(Written(set), Crlf(kFullSet));

    set.SetRecordMarker(set.Search("lx"));
    CMarker* ge = set.Search("ge");
    ASSERT_NE(ge, nullptr);
    EXPECT_EQ(ge->FieldName(), "Gloss");
    EXPECT_EQ(ge->Description(), "English gloss,\n \\second line");
    EXPECT_EQ(ge->LangEnc()->Name(), "English");
    EXPECT_TRUE(ge->RangeSetCharacters());
    EXPECT_FALSE(ge->RangeSetAllowsSpaces());
    EXPECT_EQ(ge->RangeSet().Count(), 3u);
    EXPECT_FALSE(ge->UsesLangEncFont());
    EXPECT_EQ(ge->Font().face, "Charis SIL");
    EXPECT_EQ(ge->Font().height, -16);
    EXPECT_EQ(ge->Font().weight, 700);
    EXPECT_EQ(ge->Font().color, 0x8000FFu);
    EXPECT_TRUE(ge->NoWordWrap());
    EXPECT_EQ(ge->Parent(), set.Search("sn"));
    EXPECT_EQ(ge->Level(), 2);
    EXPECT_EQ(ge->Following(), set.Search("ps"));
    EXPECT_TRUE(ge->CharStyle());
    EXPECT_EQ(ge->Section(), 2);
    EXPECT_TRUE(ge->Hidden());
    EXPECT_TRUE(ge->Subfield());
    EXPECT_TRUE(set.SubfieldsFlag());
    EXPECT_EQ(set.Search("lx")->Parent(), nullptr);
    EXPECT_FALSE(set.IsModified());
    EXPECT_EQ(Written(set), Crlf(kFullSet));

    // A second generation reads and writes the same bytes.
    CMarkerSet again(&encodings);
    std::istringstream in(Written(set));
    ObjectStream is(in);
    ASSERT_TRUE(again.Read(is));
    EXPECT_EQ(Written(again), Crlf(kFullSet));
}

TEST_F(MarkerTest, ReadsKeysInAnyOrderAndFillsDefaults) {
    CNoteList notes = ReadSet(R"(\+mkrset
\+mkr ps
\mkrOverThis nowhere
\unknownKey with a value
\+unknownObject
\-unknownObject
\-mkr
\+mkr lx
\Hidden
\nam Lexeme
\-mkr
\Subfields
\lngDefault Tok Pisin
\-mkrset
\mkrRecord this belongs to the type
)");
    EXPECT_TRUE(notes.empty());
    set.SetRecordMarker(set.Search("lx"));
    ASSERT_EQ(set.Count(), 2u);
    CMarker* ps = set.Search("ps");
    // \lngDefault after the markers still gives them their encoding.
    ASSERT_NE(encodings.Find("Tok Pisin"), nullptr);
    EXPECT_EQ(set.DefaultLangEnc()->Name(), "Tok Pisin");
    EXPECT_EQ(ps->LangEnc()->Name(), "Tok Pisin");
    EXPECT_EQ(ps->Parent(), set.Search("lx"));
    EXPECT_TRUE(ps->RangeSetAllowsSpaces());
    EXPECT_TRUE(set.Search("lx")->Hidden());
    EXPECT_TRUE(set.SubfieldsFlag());
    EXPECT_EQ(set.RecordMarkerNameRead(), "");
}

TEST_F(MarkerTest, EncodingNamedByAMarkerIsCreated) {
    EXPECT_EQ(encodings.Find("Kwaio"), nullptr);
    ReadSet("\\+mkrset\n\\lngDefault Default\n\n\\+mkr xv\n\\lng Kwaio\n\\-mkr\n\\-mkrset\n");
    ASSERT_NE(encodings.Find("Kwaio"), nullptr);
    EXPECT_EQ(set.Search("xv")->LangEnc(), encodings.Find("Kwaio"));
}

TEST_F(MarkerTest, AFieldNameThatBreaksTheStyleNameRuleIsRefusedWithANote) {
    CNoteList notes = ReadSet("\\+mkrset\n\\lngDefault Default\n\\mkrRecord lx\n\n"
                              "\\+mkr lx\n\\nam Lexeme\n\\-mkr\n"
                              "\\+mkr ge\n\\nam Gloss;English\n\\-mkr\n\\-mkrset\n");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].Text(), "Not expecting the character: ; in a style name");
    EXPECT_EQ(notes[0].FileLine(), 8);
    EXPECT_EQ(set.Search("ge")->FieldName(), "");
    EXPECT_EQ(set.Search("lx")->FieldName(), "Lexeme");
}

TEST_F(MarkerTest, MissingDefaultEncodingFallsBackWithANote) {
    CNoteList notes = ReadSet("\\+mkrset\n\\mkrRecord lx\n\n\\+mkr lx\n\\-mkr\n\\-mkrset\n");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].Text(), "The marker set names no default language encoding; using Default");
    EXPECT_EQ(notes[0].FileLine(), 1);
    EXPECT_EQ(set.DefaultLangEnc(), encodings.Default());
    EXPECT_EQ(set.Search("lx")->LangEnc(), encodings.Default());
    EXPECT_EQ(set.RecordMarkerNameRead(), "lx");
}

TEST_F(MarkerTest, BadDefinitionsBecomeNotesAndLoseNothingElse) {
    CMarker* placeholder = set.SearchOrAdd("dt");
    CNoteList notes = ReadSet(R"(\+mkrset
\lngDefault Default
\mkrRecord lx

\+mkr a,b
\nam Broken
\+fnt
\Name X
\-fnt
\-mkr
\+mkr dt
\nam Date
\mkrOverThis sn
\-mkr
\+mkr lx
\mkrFollowingThis lx
\-mkr
\+mkr sn
\mkrOverThis xv
\mkrFollowingThis lx
\-mkr
\+mkr xv
\mkrOverThis sn
\-mkr
\+mkr me
\mkrOverThis me
\+mkr dt
\nam Second
\-mkr
\+mkr ps
\nam Last (its end line missing)
\-mkrset
\-DatabaseType
)");
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].Text(), "Not expecting the character: , in a marker");
    EXPECT_EQ(notes[0].FileLine(), 5);
    EXPECT_EQ(notes[1].Text(), "This marker already exists: dt");
    EXPECT_EQ(notes[1].FileLine(), 27);
    // The definition fills the marker met before it by name.
    EXPECT_EQ(set.Search("dt"), placeholder);
    EXPECT_EQ(placeholder->FieldName(), "Date");
    EXPECT_EQ(set.Search("ps")->FieldName(), "Last (its end line missing)");

    CMarker* lx = set.Search("lx");
    set.SetRecordMarker(lx);
    // Circles and self-parents go under the record marker; a following marker that
    // names the record marker is none.
    EXPECT_EQ(placeholder->Parent(), set.Search("sn"));
    EXPECT_TRUE(set.Search("sn")->IsUnder(lx));
    EXPECT_TRUE(set.Search("xv")->IsUnder(lx));
    EXPECT_EQ(set.Search("me")->Parent(), lx);
    EXPECT_EQ(set.Search("sn")->Following(), nullptr);
    EXPECT_EQ(lx->Following(), nullptr);
    EXPECT_EQ(set.Count(), 6u);
    EXPECT_LE(set.MaxLevel(), 3);
}

TEST_F(MarkerTest, EnclosingEndLineIsLeftForTheCaller) {
    std::istringstream in("\\+mkrset\n\\+mkr lx\n\\nam Lexeme\n\\-DatabaseType\n");
    ObjectStream is(in);
    ASSERT_TRUE(set.Read(is));
    EXPECT_EQ(set.Search("lx")->FieldName(), "Lexeme");
    EXPECT_TRUE(is.ReadMarker('-', "DatabaseType"));
}

TEST_F(MarkerTest, LongRangeSetIsCutToOneReadableEntry) {
    CMarker* lx = Make("lx");
    set.SetRecordMarker(lx);
    CMarker* ge = Make("ge");
    Make("zz", "After the long one");
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += std::to_string(100000 + i) + " ";
    ge->RangeSet().Parse(text);
    EXPECT_EQ(ge->RangeSet().Count(), 5000u);
    EXPECT_EQ(ge->RangeSet().Text().size(), 32000u / 7 * 7);

    std::string written = Written(set);
    std::size_t start = written.find("\\rngset ");
    std::size_t end = written.find("\r\n", start);
    EXPECT_LE(end - start, ObjectStream::kMaxEntry);

    CMarkerSet again(&encodings);
    std::istringstream in(written);
    ObjectStream is(in);
    ASSERT_TRUE(again.Read(is));
    EXPECT_FALSE(is.Overflow());
    ASSERT_NE(again.Search("zz"), nullptr);
    EXPECT_EQ(again.Search("zz")->FieldName(), "After the long one");
    EXPECT_EQ(again.Search("ge")->RangeSet().Count(), (32000u - 8) / 7);
}

TEST_F(MarkerTest, FlagsAreWrittenOnlyWhenSet) {
    CMarker* lx = Make("lx");
    set.SetRecordMarker(lx);
    std::string plain = Written(set);
    for (const char* key : {"rngsetNoSpace", "rngsetCharacter", "NoWordWrap", "CharStyle", "Hidden",
                            "Subfield", "sect", "fnt", "rngset", "desc", "nam"})
        EXPECT_EQ(plain.find(std::string("\\") + key), std::string::npos) << key;
    EXPECT_EQ(plain, Crlf("\\+mkrset\n\\lngDefault Default\n\\mkrRecord lx\n\n\\+mkr lx\n"
                          "\\lng Default\n\\-mkr\n\\-mkrset\n"));
}

} // namespace
} // namespace crv::test
