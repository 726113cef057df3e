// The document list: new databases, closing with the save questions, notices, and the
// conversion when a type's date-stamp marker changes.
#include "app/doc_manager.h"

#include "app/doc_test_support.h"
#include "schema/database_type.h"

namespace crv::test {
namespace {

// Records what a view or a notice listener is told.
class RecordingView : public CDocView, public CRecordNoticeListener {
public:
    void OnUpdate(CCrvDoc&, const CRecordHint& hint, CDocView*) override {
        hints.push_back(hint.op);
    }
    void OnDocumentSaved(CCrvDoc&) override { ++saved; }
    void OnRecordNotice(CCrvDoc&, const CRecordHint& hint) override { notices.push_back(hint.op); }
    std::vector<RecordHintOp> hints;
    std::vector<RecordHintOp> notices;
    int saved = 0;
};

TEST_F(DocTest, ANewDatabaseHoldsTheHeaderAndOneEmptyRecord) {
    CPlatformDocumentDialogs preset(
        CPresetChoices{"Lexicon", "", false, false, dir.File("new.db")});
    docs->SetDialogs(&preset);
    CCrvDoc* doc = docs->NewDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(ReadFileBytes(dir.File("new.db")),
              "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n\\lx\r\n");
    EXPECT_EQ(doc->Path(), dir.File("new.db"));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->Records().RecordCount(), 1u);

    // The same name again: asked before replacing (No by default), and refused while open.
    CPlatformDocumentDialogs again(CPresetChoices{"Text", "", false, false, dir.File("new.db")});
    docs->SetDialogs(&again);
    EXPECT_EQ(docs->NewDocument(), nullptr);
    EXPECT_EQ(rec.Questions(),
              (std::vector<std::string>{dir.File("new.db") +
                                        " already exists.\nDo you want to replace it?"}));
    rec.answers = {Answer::Yes};
    EXPECT_EQ(docs->NewDocument(), nullptr);
    EXPECT_EQ(rec.Messages().back(), dir.File("new.db") +
                                         "\nThis database is open. Close it before "
                                         "you make a new database in its place.");

    // Replacing a closed file keeps it as the backup.
    ASSERT_TRUE(docs->CloseAll());
    rec.answers = {Answer::Yes};
    ASSERT_NE(docs->NewDocument(), nullptr);
    EXPECT_EQ(ReadFileBytes(dir.File("new.db")), "\\_sh v3.0  400  Text\r\n\r\n\\id\r\n");
    EXPECT_EQ(ReadFileBytes(dir.File("new.bak")),
              "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n\\lx\r\n");
    docs->SetDialogs(nullptr);
}

TEST_F(DocTest, ANewDatabaseThatCannotBeWrittenLeavesNothingBehind) {
    CPlatformDocumentDialogs preset(
        CPresetChoices{"Lexicon", "", false, false, dir.File("new.db")});
    docs->SetDialogs(&preset);
    ops.failCreate = true;
    EXPECT_EQ(docs->NewDocument(), nullptr);
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{dir.File("new.db") +
                                        "\nCannot open this new file.\n\nPlease "
                                        "check whether there is enough disk space."}));
    EXPECT_FALSE(FileExists(dir.File("new.db")));
    EXPECT_EQ(docs->Count(), 0u);
    docs->SetDialogs(nullptr);
}

TEST_F(DocTest, ClosingAllAsksEachModifiedDocumentAndStopsAtCancel) {
    std::string a = Db("a.db", Lexicon("\\lx a\r\n"));
    std::string b = Db("b.db", Lexicon("\\lx b\r\n"));
    CCrvDoc* docA = docs->OpenDocument(a);
    CCrvDoc* docB = docs->OpenDocument(b);
    ASSERT_TRUE(docA && docB);
    RecordingView view;
    docA->AddView(&view);
    docA->Records().Records().GetFirst()->GetFirst()->SetText("a2");
    docA->RecordChanged(docA->Records().Records().GetFirst(), false);
    docB->SetModified();

    rec.answers = {Answer::Yes, Answer::Cancel};
    EXPECT_FALSE(docs->CloseAll());
    EXPECT_EQ(docs->Count(), 2u);
    EXPECT_EQ(rec.Questions(),
              (std::vector<std::string>{"Save changes to a.db?", "Save changes to b.db?"}));
    EXPECT_EQ(ReadFileBytes(a), Lexicon("\\lx a2\r\n"));
    EXPECT_EQ(view.saved, 1);
    EXPECT_FALSE(docA->IsModified());

    rec.answers = {Answer::No};
    EXPECT_TRUE(docs->CloseAll());
    EXPECT_EQ(docs->Count(), 0u);
    EXPECT_EQ(ReadFileBytes(b), Lexicon("\\lx b\r\n"));
}

TEST_F(DocTest, ChangesReachTheOtherViewsAndTheApplicationAndAreStamped) {
    std::string path = Db("a.db", Lexicon("\\lx a\r\n\r\n\\lx b\r\n"));
    CCrvDoc* doc = docs->OpenDocument(path);
    ASSERT_NE(doc, nullptr);
    RecordingView sender, other, listener;
    doc->AddView(&sender);
    doc->AddView(&other);
    docs->AddNoticeListener(&listener);
    CRecord* a = doc->Records().Records().GetFirst();
    a->GetFirst()->SetText("c");
    doc->RecordChanged(a, true, &sender);
    EXPECT_EQ(a->GetLast()->Text(), "05/Mar/2024");
    EXPECT_EQ(doc->Records().DefaultIndex().EntryAt(1)->Record(), a); // re-sorted after b
    EXPECT_TRUE(sender.hints.empty());
    EXPECT_EQ(other.hints, (std::vector<RecordHintOp>{RecordHintOp::Changed}));
    EXPECT_EQ(listener.notices, (std::vector<RecordHintOp>{RecordHintOp::Changed}));
    EXPECT_TRUE(doc->IsModified());

    doc->DeleteRecord(a, &sender);
    EXPECT_EQ(other.hints.back(), RecordHintOp::Deleted);
    EXPECT_EQ(doc->Records().RecordCount(), 1u);
    docs->RemoveNoticeListener(&listener);
}

TEST_F(DocTest, ANewDateStampMarkerConvertsEveryWritableDatabaseOfTheType) {
    std::string path = Db("t.db", "\\_sh v3.0  400  Text\r\n\r\n\\id one\r\n\\dt 1/Jan/05\r\n");
    std::string other = Db("o.db", "\\_sh v3.0  400  Text\r\n\r\n\\id two\r\n\\dt 1/Jan/05\r\n");
    CCrvDoc* doc = docs->OpenDocument(path);
    CCrvDoc* readOnly = docs->OpenDocument(other, true);
    ASSERT_TRUE(doc && readOnly);
    EXPECT_FALSE(doc->IsModified());
    CDatabaseType& type = doc->Type();
    type.SetDateStampMarker(type.MarkerSet().Search("dt"));
    EXPECT_TRUE(docs->DateStampMarkerChanged(type));
    EXPECT_EQ(doc->Records().Records().GetFirst()->GetLast()->Text(), "01/Jan/2005");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(readOnly->IsModified());
    EXPECT_EQ(readOnly->Records().Records().GetFirst()->GetLast()->Text(), "1/Jan/05");
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_EQ(ReadFileBytes(path),
              "\\_sh v3.0  400  Text\r\n\\_DateStampHasFourDigitYear\r\n\r\n\\id one\r\n\\dt "
              "01/Jan/2005\r\n");
}

} // namespace
} // namespace crv::test
