#include "app/crv_doc.h"

#include <sys/stat.h>

#include "app/doc_test_support.h"
#include "schema/database_type.h"

namespace crv::test {
namespace {

const std::string kCannotOpen =
    "\nCannot open this file.\n\nPlease check whether it is already open in another program.";

TEST_F(DocTest, OpensADatabaseOfAKnownTypeUnmodified) {
    std::string path =
        Db("lex.db", Lexicon("\\lx b\r\n\\ge bee\r\n\r\n\\lx a\r\n\\dt 01/Jan/2020\r\n"));
    CCrvDoc* doc = docs->OpenDocument(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Title(), "lex.db");
    EXPECT_EQ(doc->Type().Name(), "Lexicon");
    EXPECT_EQ(doc->Records().RecordCount(), 2u);
    EXPECT_EQ(doc->Records().DefaultIndex().EntryAt(0)->Record()->GetKey(), "a");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->IsReadOnly());
    EXPECT_FALSE(doc->DatesConverted());
    EXPECT_NE(doc->FileTime(), 0);
    EXPECT_TRUE(rec.Messages().empty());
    EXPECT_EQ(rec.ProgressTexts().front(), "Reading " + path);
}

TEST_F(DocTest, FilesThatCannotBeOpenedSayWhyAndStayClosed) {
    EXPECT_EQ(docs->OpenDocument(dir.File("missing.db")), nullptr);
    EXPECT_EQ(docs->OpenDocument(dir.Path().string()), nullptr); // a folder
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{dir.File("missing.db") + kCannotOpen,
                                                        dir.Path().string() + kCannotOpen}));
    EXPECT_EQ(docs->Count(), 0u);
}

TEST_F(DocTest, AHeaderPastTheEntryLimitAndAFieldPastTheFieldLimitRefuseTheOpen) {
    const std::string tooLarge =
        "\nCan not open this file because it contains a field more than 32000 characters in size.";
    std::string header = Db("h.db", "\\_sh v3.0  400  Lexicon" + std::string(33000, 'x') + "\r\n");
    std::string field = Db("f.db", Lexicon("\\lx a\r\n\\ge " + std::string(32500, 'y') + "\r\n"));
    std::string before = test::ReadFileBytes(field);
    EXPECT_EQ(docs->OpenDocument(header), nullptr);
    EXPECT_EQ(docs->OpenDocument(field), nullptr);
    auto messages = rec.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], header + tooLarge);
    EXPECT_EQ(messages[1], field + tooLarge);
    EXPECT_EQ(test::ReadFileBytes(field), before);
}

TEST_F(DocTest, AReadOnlyFileAsksFirstAndOpensReadOnlyWithoutConvertingDates) {
    std::string path = Db("ro.db", Lexicon("\\lx a\r\n\\dt 5/dec/98\r\n", false));
    ::chmod(path.c_str(), 0444);
    const std::string question =
        path + "\nThis file is read-only.\nIf you make changes, you will have to save them to a "
               "different file.\n\nDo you want to open this file?";
    EXPECT_EQ(docs->OpenDocument(path), nullptr); // the default answer is No
    ASSERT_EQ(rec.Questions(), (std::vector<std::string>{question}));
    EXPECT_EQ(rec.events.back().answer, Answer::No);

    rec.answers = {Answer::Yes};
    CCrvDoc* doc = docs->OpenDocument(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_TRUE(doc->Records().IsReadOnly());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->DatesConverted());
    EXPECT_EQ(doc->Records().Records().GetFirst()->GetLast()->Text(), "5/dec/98");
    ::chmod(path.c_str(), 0644);
}

TEST_F(DocTest, OpeningReadOnlyAtTheProjectsWishLeavesDatesAloneWithoutAsking) {
    std::string path = Db("p.db", Lexicon("\\lx a\r\n\\dt 5/dec/98\r\n", false));
    CCrvDoc* doc = docs->OpenDocument(path, true);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(rec.Questions().empty());
    EXPECT_FALSE(docs->AnyDatesConverted());
}

TEST_F(DocTest, OpeningConvertsTwoDigitYearsOnceAndMarksTheDocumentModified) {
    std::string path = Db("d.db", Lexicon("\\lx a\r\n\\dt 5/dec/98\r\n\r\n"
                                          "\\lx b\r\n\\dt 05/Dec/1998\r\n\r\n"
                                          "\\lx c\r\n\\dt someday\r\n\r\n"
                                          "\\lx d\r\n\\ge no date\r\n",
                                          false));
    CCrvDoc* doc = docs->OpenDocument(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->DatesConverted());
    EXPECT_TRUE(docs->AnyDatesConverted());
    EXPECT_TRUE(doc->HasFourDigitYears());
    EXPECT_EQ(doc->Records().Records().GetFirst()->GetLast()->Text(), "05/Dec/1998");
    EXPECT_EQ(rec.ProgressTexts().back(), "Converting date fields in " + path);
    EXPECT_TRUE(rec.Messages().empty()); // the project shows one message for all

    // Already four-digit stamps, but no flag: modified all the same, nothing converted.
    std::string flagless = Db("e.db", Lexicon("\\lx a\r\n\\dt 05/Dec/1998\r\n", false));
    CCrvDoc* second = docs->OpenDocument(flagless);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->IsModified());
    EXPECT_FALSE(second->DatesConverted());

    std::string flagged = Db("f.db", Lexicon("\\lx a\r\n\\dt 5/dec/98\r\n"));
    CCrvDoc* third = docs->OpenDocument(flagged);
    ASSERT_NE(third, nullptr);
    EXPECT_FALSE(third->IsModified());
    EXPECT_EQ(third->Records().Records().GetFirst()->GetLast()->Text(), "5/dec/98");
}

TEST_F(DocTest, SkippedMaterialIsReportedAndMarksTheDocumentModified) {
    std::string path = Db("s.db", Lexicon("stray line\r\n\\ge stray field\r\n\\lx a\r\n"));
    CCrvDoc* doc = docs->OpenDocument(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  "File read results:\n2 line(s) skipped\n1 field(s) skipped\n1 "
                                  "record(s) read"}));
}

TEST_F(DocTest, AMissingTypeOffersAnImportAsAnotherTypeWithTheOptionsDisabled) {
    std::string data = "\\_sh v3.0  400  Dictionary\r\n\r\n\\lx a\r\n\\ge one\r\n";
    std::string path = Db("m.db", data);
    EXPECT_EQ(docs->OpenDocument(path), nullptr); // the dialog cancelled
    ASSERT_EQ(dialogs.typeNotFound.size(), 1u);
    EXPECT_EQ(dialogs.typeNotFound[0],
              path + "\nis of database type   Dictionary,\nbut the type file is missing from the "
                     "project settings folder.");
    EXPECT_EQ(dialogs.shown, 0);
    EXPECT_EQ(test::ReadFileBytes(path), data);

    dialogs.importAsOther = true;
    dialogs.script = {ImportChoice{"Lexicon", true, "none.ztt", true, true}};
    CCrvDoc* doc = docs->OpenDocument(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(dialogs.modes, (std::vector<ImportMode>{ImportMode::TypeMissing}));
    EXPECT_EQ(rec.Messages()[0],
              "Warning Regarding Import:\nChoosing an inappropriate database type can clutter "
              "that type's settings with extraneous field markers.\nIf you're unsure,   Add a new "
              "type   (or Cancel)   from the Import dialog box.");
    // The disabled choices were not taken: no change table, no ".ori" copy.
    EXPECT_FALSE(FileExists(dir.File("m.ori")));
    EXPECT_EQ(
        test::ReadFileBytes(path),
        "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n\\lx a\r\n\\ge one\r\n");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocTest, AMissingTypeImportedAsATypeThatSkipsMaterialGoesBackToTheDialog) {
    std::string data = "\\_sh v3.0  400  Dictionary\r\n\r\n\\lx a\r\n\\ge one\r\n";
    std::string path = Db("m.db", data);
    dialogs.importAsOther = true;
    dialogs.script = {ImportChoice{"Text"}};
    EXPECT_EQ(docs->OpenDocument(path), nullptr);
    EXPECT_EQ(dialogs.shown, 2);
    auto messages = rec.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "You must choose a database type using the same record marker as the "
                           "data. \nMake a new type if necessary.");
    EXPECT_EQ(test::ReadFileBytes(path), data);
}

TEST_F(DocTest, TheSameFileOpensOnce) {
    std::string path = Db("lex.db", Lexicon("\\lx a\r\n"));
    CCrvDoc* doc = docs->OpenDocument(path);
    ASSERT_NE(doc, nullptr);
    bool already = false;
    EXPECT_EQ(docs->OpenDocument(dir.Path().string() + "/./lex.db", true, &already), doc);
    EXPECT_TRUE(already);
    EXPECT_FALSE(doc->IsReadOnly());
    std::filesystem::create_symlink(path, dir.File("link.db"));
    EXPECT_EQ(docs->FindDocument(dir.File("link.db")), doc);
    EXPECT_EQ(docs->Count(), 1u);
}

TEST_F(DocTest, ClosingADocumentLetsItsWindowsLetGoOfItsIndexesFirst) {
    CCrvDoc* doc = docs->OpenDocument(Db("lex.db", Lexicon("\\lx a\r\n\\ge x\r\n")));
    ASSERT_NE(doc, nullptr);
    // A window holding an index of its own, as a sorted window does.
    struct Window : CDocView {
        CCrvDoc* doc = nullptr;
        CIndexRef index;
        int closings = 0;
        void OnUpdate(CCrvDoc&, const CRecordHint&, CDocView*) override {}
        void OnDocumentClosing(CCrvDoc& d) override {
            ++closings;
            EXPECT_EQ(d.Records().RecordCount(), 1u);
            index = nullptr;
            d.RemoveView(this);
        }
    } window, other;
    CIndexKeys keys;
    keys.priMarker = doc->Records().Markers().Search("ge");
    window.index = doc->Records().GetIndex(keys);
    doc->AddView(&window);
    doc->AddView(&other);
    EXPECT_TRUE(docs->CloseDocument(doc));
    EXPECT_EQ(window.closings, 1);
    EXPECT_EQ(other.closings, 1);
    EXPECT_FALSE(window.index);
}

} // namespace
} // namespace crv::test
