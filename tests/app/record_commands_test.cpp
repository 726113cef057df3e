#include "app/record_commands.h"

#include "app/crv_doc.h"
#include "app/doc_test_support.h"

namespace crv::test {
namespace {

// A window on a document's default index; leaving can be refused.
class TestWindow : public CRecordWindow, public CDocView {
public:
    explicit TestWindow(CCrvDoc& doc) : m_doc(doc) {
        m_pos = doc.Records().DefaultIndex().First();
        doc.AddView(this);
    }
    ~TestWindow() override { m_doc.RemoveView(this); }
    CCrvDoc& Document() override { return m_doc; }
    CIndex& Index() override { return m_doc.Records().DefaultIndex(); }
    CIndexPos Current() override { return m_pos; }
    void MoveTo(const CIndexPos& pos) override { m_pos = pos; }
    bool LeaveRecord() override { return leave; }
    CDocView* View() override { return this; }
    void OnUpdate(CCrvDoc&, const CRecordHint& hint, CDocView*) override {
        hints.push_back(hint.op);
    }
    CIndex* ViewIndex() override { return &Index(); }

    std::string Key() const { return m_pos.IsValid() ? m_pos.Record()->GetKey() : "-"; }
    bool leave = true;
    std::vector<RecordHintOp> hints;

private:
    CCrvDoc& m_doc;
    CIndexPos m_pos;
};

class RecordCommandsTest : public DocTest {
protected:
    CCrvDoc& Open(const std::string& name, const std::string& bytes) {
        CCrvDoc* doc = docs->OpenDocument(Db(name, bytes));
        EXPECT_NE(doc, nullptr);
        return *doc;
    }
};

TEST_F(RecordCommandsTest, MovesBeepWhereThereIsNoRecordAndARefusedLeaveStaysPut) {
    TestWindow w(Open("a.db", Lexicon("\\lx b\r\n\r\n\\lx a\r\n\r\n\\lx c\r\n")));
    EXPECT_EQ(w.Key(), "a");
    EXPECT_FALSE(MoveToPreviousRecord(w));
    EXPECT_FALSE(MoveToFirstRecord(w));
    EXPECT_EQ(rec.Beeps(), 2);
    EXPECT_TRUE(MoveToNextRecord(w));
    EXPECT_EQ(w.Key(), "b");
    EXPECT_TRUE(MoveToLastRecord(w));
    EXPECT_EQ(w.Key(), "c");
    EXPECT_FALSE(MoveToNextRecord(w));
    EXPECT_EQ(rec.Beeps(), 3);
    w.leave = false;
    EXPECT_FALSE(MoveToFirstRecord(w));
    EXPECT_EQ(w.Key(), "c");
    EXPECT_EQ(rec.Beeps(), 3);
}

TEST_F(RecordCommandsTest, DeleteAsksAndInsertAnnouncesTheNewRecord) {
    CCrvDoc& doc = Open("a.db", Lexicon("\\lx a\r\n\r\n\\lx b\r\n"));
    TestWindow w(doc);
    TestWindow other(doc);
    rec.answers = {Answer::No};
    EXPECT_FALSE(DeleteRecordCommand(w));
    EXPECT_EQ(rec.Questions(),
              (std::vector<std::string>{"Do you want to delete the current record?"}));
    EXPECT_EQ(doc.Records().RecordCount(), 2u);
    rec.answers = {Answer::Yes};
    other.MoveTo(w.Current());
    EXPECT_TRUE(DeleteRecordCommand(w));
    EXPECT_EQ(doc.Records().RecordCount(), 1u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(other.hints, (std::vector<RecordHintOp>{RecordHintOp::Deleted}));

    CKeySearch search;
    search.key = "zz";
    CPlatformKeySearchDialogs keyDialogs;
    w.MoveTo(doc.Records().DefaultIndex().First());
    KeyCommandResult r = InsertRecordCommand(w, search, keyDialogs);
    EXPECT_EQ(r.outcome, KeyCommandResult::Outcome::Inserted);
    EXPECT_EQ(w.Key(), "zz");
    EXPECT_EQ(other.hints.back(), RecordHintOp::Inserted);
    EXPECT_EQ(doc.Records().RecordCount(), 2u);
}

TEST_F(RecordCommandsTest, CopyingToADatabaseOfAnotherTypeKeepsEveryFieldAndStartsARecord) {
    CCrvDoc& lexicon = Open("a.db", Lexicon("\\lx a\r\n\\ge one\r\n"));
    CCrvDoc& texts = Open("t.db", "\\_sh v3.0  400  Text\r\n\r\n\\id t1\r\n");
    {
        // Windows close before their documents do.
        TestWindow w(lexicon);
        ASSERT_TRUE(CopyRecordCommand(w)); // the only other database is chosen
        EXPECT_EQ(rec.events.back().text, "&Database to insert record into:");
    }
    ASSERT_EQ(texts.Records().RecordCount(), 2u);
    EXPECT_TRUE(texts.IsModified());
    ASSERT_TRUE(texts.OnSaveDocument(texts.Path()));
    EXPECT_EQ(ReadFileBytes(texts.Path()),
              "\\_sh v3.0  400  Text\r\n\r\n\\id a\r\n\\lx a\r\n\\ge one\r\n\r\n\\id t1\r\n");
    CCrvDoc* again = nullptr;
    ASSERT_TRUE(docs->CloseAll());
    again = docs->OpenDocument(dir.File("t.db"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Records().RecordCount(), 2u);
}

TEST_F(RecordCommandsTest, MergingCopiesEveryRecordInTheOtherWindowsOrder) {
    CCrvDoc& into = Open("a.db", Lexicon("\\lx m\r\n"));
    CCrvDoc& from = Open("b.db", Lexicon("\\lx z\r\n\\ge last\r\n\r\n\\lx b\r\n"));
    TestWindow w(into);
    TestWindow source(from);
    ASSERT_TRUE(MergeDatabaseCommand(w));
    EXPECT_EQ(rec.ProgressTexts().back(), "Merging databases...");
    EXPECT_EQ(into.Records().RecordCount(), 3u);
    EXPECT_EQ(w.Key(), "b");
    EXPECT_EQ(w.hints, (std::vector<RecordHintOp>{RecordHintOp::Inserted, RecordHintOp::Inserted}));
    EXPECT_EQ(from.Records().RecordCount(), 2u);
    EXPECT_FALSE(from.IsModified());
    // The copies are the merged database's own records.
    CRecord* z = into.Records().DefaultIndex().EntryAt(2)->Record();
    EXPECT_EQ(z->GetKey(), "z");
    EXPECT_EQ(z->GetFirst()->Marker(), into.Records().RecordMarker());
}

} // namespace
} // namespace crv::test
