#include "schema/database_type.h"

#include <memory>
#include <sstream>

#include "record/record.h"
#include "schema/lang_enc_set.h"
#include "schema/marker_test_support.h"
#include "schema/record_template.h"

namespace crv::test {
namespace {

// Every key of a type in the written order, with objects that later work owns
// (interlinear processes, filters, jump paths, export processes, older export keys).
const char* const kRichType = R"(\+DatabaseType Rich Text
\ver 4.0
\desc Texts with interlinear lines.
 \second line of the description
\+mkrset
\lngDefault English
\mkrRecord id

\+mkr dt
\nam Date
\lng English
\mkrOverThis id
\-mkr
\+mkr ft
\nam Free translation
\lng English
\mkrOverThis ref
\-mkr
\+mkr ge
\nam Gloss
\lng English
\mkrOverThis ref
\-mkr
\+mkr id
\nam Text name
\lng Vernacular
\mkrFollowingThis ref
\-mkr
\+mkr mb
\nam Morphemes
\lng Vernacular
\mkrOverThis ref
\-mkr
\+mkr ref
\nam Reference
\lng English
\mkrOverThis id
\mkrFollowingThis tx
\-mkr
\+mkr tx
\nam Text
\lng Vernacular
\mkrOverThis ref
\-mkr
\-mkrset
\iInterlinCharWd 10
\+intprclst
\fglst {
\fglend }
\mbnd +
\mbrks -
\+intprc Lookup
\bParseProc
\From tx
\To mb
\+triLook
\+drflst
\+drf
\File lexicon.db
\mkr lx
\-drf
\-drflst
\-triLook
\FailMark ***  
\-intprc
\+intprc Lookup
\From mb
\To ge
\-intprc
\-intprclst
\+filset
\+fil Unglossed
\txt [ge]  ,   odd   spacing
continued
\MatchWhole
\-fil
\-filset
\+drflst
\+drf
\File C:\data\lexicon.db
\mkr lx
\-drf
\-drflst
\+template
\fld \id
\fld \ref
\fld \tx line one\nline two
\fld \ft
\-template
\mkrRecord id
\mkrSecKey ref
\mkrSecKey tx
\mkrDateStamp dt
\mkrMultipleMatchShow ft
\+PrintProperties
\header
\footer Page &p of the texts
\topmargin 1 in
\breakrecordswithspace
\recordsspace 4
\-PrintProperties
\CurrentRecord
\+mrfsetExportFieldsExcluded
\mkr dt
\-mrfsetExportFieldsExcluded
\zttExportSF old.ztt
\+expset
\+expSF Standard Format
\zttFile out.ztt
\-expSF
\expDefault Standard Format
\-expset
\-DatabaseType
)";

class DatabaseTypeTest : public PlatformTest {
protected:
    // Reads settings text (LF line ends, written as CR LF) as a type, with the steps
    // after reading; the notes go to notes.
    std::unique_ptr<CDatabaseType> ReadType(const std::string& text, bool crlf = true) {
        std::istringstream in(crlf ? Crlf(text) : text);
        ObjectStream is(in);
        std::string name;
        EXPECT_TRUE(is.ReadBeginMarker("DatabaseType", name));
        auto type = std::make_unique<CDatabaseType>(encodings, name);
        notes.clear();
        type->Read(is, notes);
        hasRecordMarker = type->FinishReading(notes);
        return type;
    }

    static std::string Written(const CDatabaseType& type) {
        std::ostringstream out;
        ObjectStream os(out);
        type.Write(os);
        return out.str();
    }

    CLangEncSet encodings;
    CNoteList notes;
    bool hasRecordMarker = false;
};

TEST_F(DatabaseTypeTest, RichFileComesBackByteForByte) {
    auto type = ReadType(kRichType);
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(hasRecordMarker);
    EXPECT_FALSE(type->IsModified());
    EXPECT_EQ(Written(*type), Crlf(kRichType));

    const CMarkerSet& markers = type->MarkerSet();
    EXPECT_EQ(type->Name(), "Rich Text");
    EXPECT_EQ(type->Description(),
              "Texts with interlinear lines.\n \\second line of the description");
    EXPECT_EQ(type->RecordMarker(), markers.Search("id"));
    EXPECT_EQ(markers.Search("tx")->Parent(), markers.Search("ref"));
    EXPECT_EQ(type->SecKeyMarkers(),
              (std::vector<CMarker*>{markers.Search("ref"), markers.Search("tx")}));
    EXPECT_EQ(type->DateStampMarker(), markers.Search("dt"));
    EXPECT_EQ(type->MultipleMatchMarker(), markers.Search("ft"));
    EXPECT_EQ(type->InterlinCharWidth(), 10);
    EXPECT_EQ(type->Template(), "\\id\n\\ref\n\\tx line one\nline two\n\\ft");
    const CPrintProperties& print = type->PrintProperties();
    EXPECT_EQ(print.header, "");
    EXPECT_EQ(print.footer, "Page &p of the texts");
    EXPECT_EQ(print.topMargin, "1 in");
    EXPECT_TRUE(print.breakRecordsWithSpace);
    EXPECT_FALSE(print.printCurrentRecord); // absent from a present object
    EXPECT_EQ(print.recordsSpace, 4);

    // The interlinear processes' lines are flagged; the first source is the text line.
    EXPECT_EQ(markers.Search("tx")->InterlinearFlags(),
              CMarker::kInterlinearLine | CMarker::kInterlinearTextLine);
    EXPECT_EQ(markers.Search("mb")->InterlinearFlags(), CMarker::kInterlinearLine);
    EXPECT_EQ(markers.Search("ge")->InterlinearFlags(), CMarker::kInterlinearLine);
    EXPECT_EQ(markers.Search("ft")->InterlinearFlags(), 0);

    EXPECT_NE(type->Carried().filters.find("odd   spacing"), std::string::npos);
    EXPECT_EQ(
        type->Carried().olderExportKeys,
        "\\CurrentRecord\n\\+mrfsetExportFieldsExcluded\n\\mkr dt\n\\-mrfsetExportFieldsExcluded\n"
        "\\zttExportSF old.ztt\n");
}

// A type written by a newer version: keys and objects this version does not know at every
// level, some nested deeply, all in the places this version's writer gives them.
const char* const kNewerType = R"(\+DatabaseType Newer
\ver 4.0
\newTypeKey after ver
\desc From a newer version
\+mkrset
\lngDefault English
\mkrRecord lx

\newSetKey 1
\+mkr ge
\nam Gloss
\newMarkerKey g
\lng English
\+fnt
\Name Arial
\Size 10
\Shadow
\+fntFuture
\x
\-fntFuture
\-fnt
\mkrOverThis lx
\+mkrFuture
\+deeper a
\+deepest
\k v
continued
\-deepest
\-deeper
\-mkrFuture
\-mkr
\+futureobj x
\k
\+inner
\-inner
\-futureobj
\+mkr lx
\nam Lexeme
\lng Vernacular
\-mkr
\+mkr ps
\nam Part of speech
\lng English
\mkrOverThis lx
\-mkr
\-mkrset
\iInterlinCharWd 8
\+newTypeObject
\+nested
\key value
\-nested
\-newTypeObject
\+template
\fld \lx
\newTemplateKey
\fld \ps
\-template
\mkrRecord lx
\+PrintProperties
\header File: &f
\footer Page &p
\newPrintKey yes
\breakrecordswithspace
\printcurrentrecord
\recordsspace 10
\-PrintProperties
\newLastKey
\-DatabaseType
)";

TEST_F(DatabaseTypeTest, WhatANewerVersionWroteIsKeptInPlace) {
    auto type = ReadType(kNewerType);
    EXPECT_TRUE(notes.empty()) << notes[0].Text();
    ASSERT_TRUE(hasRecordMarker);
    // An unknown object between two markers ends neither the marker set nor the type.
    const CMarkerSet& markers = type->MarkerSet();
    ASSERT_EQ(markers.Count(), 3u);
    EXPECT_EQ(markers.Search("lx")->FieldName(), "Lexeme");
    EXPECT_EQ(markers.Search("ps")->FieldName(), "Part of speech");
    EXPECT_EQ(markers.Search("ge")->Parent(), markers.Search("lx"));
    EXPECT_EQ(markers.Search("ge")->Font().height, FontHeightFromSize(10));
    EXPECT_EQ(type->Template(), "\\lx\n\\ps");
    EXPECT_EQ(type->PrintProperties().header, "File: &f");
    EXPECT_EQ(Written(*type), Crlf(kNewerType));
    // And again from what was written.
    EXPECT_EQ(Written(*ReadType(Written(*type), false)), Crlf(kNewerType));
}

TEST_F(DatabaseTypeTest, AbsentKeysKeepTheirDefaults) {
    auto type = ReadType("\\+DatabaseType Plain\n\\mkrRecord lx\n\\-DatabaseType\n");
    EXPECT_TRUE(hasRecordMarker);
    EXPECT_EQ(type->InterlinCharWidth(), 8);
    EXPECT_EQ(type->PrintProperties(), CPrintProperties{});
    EXPECT_TRUE(type->PrintProperties().breakRecordsWithSpace);
    EXPECT_TRUE(type->PrintProperties().printCurrentRecord);
    EXPECT_EQ(type->PrintProperties().header, "File: &f, Date: &d");
    EXPECT_EQ(type->Template(), "");
    EXPECT_EQ(type->DateStampMarker(), nullptr);
    EXPECT_TRUE(type->SecKeyMarkers().empty());
    // The record marker was missing from the set: it is added.
    EXPECT_NE(type->MarkerSet().Search("lx"), nullptr);
    EXPECT_EQ(Written(*type),
              Crlf("\\+DatabaseType Plain\n\\ver 4.0\n\\+mkrset\n\\lngDefault Default\n"
                   "\\mkrRecord lx\n\n\\+mkr lx\n\\lng Default\n\\-mkr\n\\-mkrset\n"
                   "\\iInterlinCharWd 8\n\\mkrRecord lx\n\\+PrintProperties\n"
                   "\\header File: &f, Date: &d\n\\footer Page &p\n"
                   "\\breakrecordswithspace\n\\printcurrentrecord\n"
                   "\\recordsspace 10\n\\-PrintProperties\n\\-DatabaseType\n"));

    // Markers named by single keys without a marker set stand under the record marker.
    auto bare = ReadType("\\+DatabaseType B\n\\mkrDateStamp dt\n\\mkrRecord lx\n\\-DatabaseType\n");
    EXPECT_EQ(bare->DateStampMarker()->Parent(), bare->RecordMarker());
    EXPECT_EQ(bare->DateStampMarker()->Level(), 1);

    // Without mkrRecord the caller must ask; the set's own mkrRecord does not decide.
    auto without =
        ReadType("\\+DatabaseType X\n\\+mkrset\n\\mkrRecord lx\n\\-mkrset\n\\-DatabaseType\n");
    EXPECT_FALSE(hasRecordMarker);
    EXPECT_EQ(without->RecordMarker(), nullptr);
    EXPECT_EQ(without->MarkerSet().RecordMarkerNameRead(), "lx");
}

TEST_F(DatabaseTypeTest, MarkersNamedBySingleKeysAreAddedAndBadNamesNoted) {
    auto type =
        ReadType("\\+DatabaseType T\n"
                 "\\mkrDateStamp dt\n"
                 "\\mkrSecKey a,b\n"
                 "\\unknownKey value\n"
                 "\\+unknownObject\n\\mkrRecord zz\n\\-unknownObject\n"
                 "\\mkrSecKey hm\n"
                 "\\+mkrset\n\\lngDefault English\n\n\\+mkr hm\n\\nam Homonym\n\\-mkr\n\\-mkrset\n"
                 "\\mkrRecord lx\n"
                 "\\-DatabaseType\n");
    EXPECT_TRUE(hasRecordMarker);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].Text(), "Not expecting the character: , in a marker");
    EXPECT_EQ(notes[0].FileLine(), 3);
    const CMarkerSet& markers = type->MarkerSet();
    EXPECT_EQ(type->RecordMarker()->Name(), "lx"); // not the one inside the unknown object
    EXPECT_EQ(markers.Search("zz"), nullptr);
    ASSERT_NE(type->DateStampMarker(), nullptr);
    EXPECT_EQ(type->DateStampMarker()->Name(), "dt");
    // A marker named before the set defines it takes the definition.
    ASSERT_EQ(type->SecKeyMarkers().size(), 1u);
    EXPECT_EQ(type->SecKeyMarkers()[0]->FieldName(), "Homonym");
    EXPECT_EQ(type->SecKeyMarkers()[0]->Parent(), type->RecordMarker());
}

TEST_F(DatabaseTypeTest, UnclosedObjectsDoNotSwallowTheRestOfTheType) {
    auto type = ReadType("\\+DatabaseType T\n"
                         "\\+filset\n\\+fil A\n\\txt x\n"
                         "\\-DatabaseType\n"
                         "\\mkrRecord never\n");
    EXPECT_FALSE(hasRecordMarker);
    EXPECT_EQ(type->Carried().filters, "\\+filset\n\\+fil A\n\\txt x\n\\-fil\n\\-filset\n");

    // A template without its end line stops at the next object.
    auto t2 = ReadType("\\+DatabaseType T\n\\+template\n\\fld \\lx\n"
                       "\\+PrintProperties\n\\recordsspace 3\n\\-PrintProperties\n"
                       "\\mkrRecord lx\n\\-DatabaseType\n");
    EXPECT_EQ(t2->Template(), "\\lx");
    EXPECT_EQ(t2->PrintProperties().recordsSpace, 3);
    EXPECT_TRUE(hasRecordMarker);
}

TEST_F(DatabaseTypeTest, NoticesReachTheTypeAndItsSettings) {
    auto type =
        ReadType("\\+DatabaseType T\n\\+mkrset\n\\lngDefault English\n\n"
                 "\\+mkr ge\n\\-mkr\n\\+mkr hm\n\\-mkr\n\\+mkr lx\n\\-mkr\n\\+mkr sn\n\\-mkr\n"
                 "\\-mkrset\n\\+template\n\\fld \\lx\n\\fld \\hm 1\n\\fld \\hmx\n\\-template\n"
                 "\\mkrRecord lx\n\\mkrSecKey hm\n\\mkrDateStamp sn\n\\-DatabaseType\n");
    CMarkerSet& markers = type->MarkerSet();
    EXPECT_FALSE(type->IsModified());

    // A rename: the secondary key follows by pointer, the template by name.
    CMarker* hm = markers.Search("hm");
    CMarkerProperties props = hm->Properties();
    props.name = "hom";
    CNote error;
    ASSERT_TRUE(markers.Modify(hm, props, error));
    EXPECT_TRUE(type->IsModified());
    EXPECT_EQ(type->Template(), "\\lx\n\\hom 1\n\\hmx");
    std::string written = Written(*type);
    EXPECT_NE(written.find("\\mkrSecKey hom\r\n"), std::string::npos);

    // A merge: the date stamp moves to the survivor.
    type->SetModified(false);
    EXPECT_FALSE(type->IsModified());
    markers.Merge(markers.Search("sn"), markers.Search("ge"));
    EXPECT_EQ(type->DateStampMarker(), markers.Search("ge"));
    EXPECT_TRUE(type->IsModified());

    // A marker of another type's set leaves this type unmodified.
    auto other = ReadType("\\+DatabaseType O\n\\mkrRecord lx\n\\mkrSecKey ps\n\\-DatabaseType\n");
    type->SetModified(false);
    other->SetModified(false);
    CMarker* ps = other->MarkerSet().Search("ps");
    props = ps->Properties();
    props.name = "pos";
    ASSERT_TRUE(other->MarkerSet().Modify(ps, props, error));
    EXPECT_FALSE(type->IsModified());
    EXPECT_TRUE(other->IsModified());
    EXPECT_EQ(other->SecKeyMarkers()[0]->Name(), "pos");
}

TEST_F(DatabaseTypeTest, TemplateFromTheCurrentRecord) {
    auto type = ReadType("\\+DatabaseType T\n\\mkrRecord lx\n\\-DatabaseType\n");
    CMarkerSet& markers = type->MarkerSet();
    CRecordList records;
    CRecord* rec = AddRecord(records, {{markers.Search("lx"), "nga"},
                                       {markers.SearchOrAddFromData("ge"), "fish\nand more"},
                                       {markers.SearchOrAddFromData("nt"), ""}});
    EXPECT_EQ(TemplateFromRecord(*rec, false), "\\lx\n\\ge\n\\nt");
    type->SetTemplate(TemplateFromRecord(*rec, true));
    EXPECT_EQ(type->Template(), "\\lx nga\n\\ge fish\nand more\n\\nt");
    // The marker \nt is not a line break, the line inside \ge is.
    std::string written = Written(*type);
    EXPECT_NE(written.find("\\fld \\ge fish\\nand more\r\n\\fld \\nt\r\n"), std::string::npos);
    auto back = ReadType(written, false);
    EXPECT_EQ(back->Template(), type->Template());
    records.DeleteAll();
}

} // namespace
} // namespace crv::test
