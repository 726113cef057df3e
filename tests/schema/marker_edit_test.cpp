#include "schema/marker_edit.h"

#include "schema/marker_test_support.h"

namespace crv::test {
namespace {

// What an open document does with a marker notice: moves its fields to the survivor of
// a merge, and notes what it re-keyed.
struct TestDocument : CUpdateListener {
    CRecordList* records = nullptr;
    std::vector<std::string> log;
    void OnMarkerUpdate(const CMarkerUpdate& u) override {
        for (CRecord& record : *records)
            for (CField& field : record)
                field.SetMarker(MarkerAfterUpdate(u, field.Marker()));
        log.push_back(u.mergedInto ? "merge " + u.oldName + " into " + u.mergedInto->Name()
                                   : "rename " + u.oldName + " to " + u.marker->Name());
    }
};

class MarkerEditTest : public MarkerTest {
protected:
    MarkerEditTest() : sub(encodings.UpdateHub(), &doc, ListenerRank::Documents) {
        doc.records = &records;
        lx = Make("lx", "Lexeme");
        set.SetRecordMarker(lx);
        sn = Make("sn", "Sense");
        ge = Make("ge", "Gloss", sn);
        gn = Make("gn", "National gloss", sn);
        first = AddRecord(records, {{lx, "kuru"}, {sn, "1"}, {gn, "dog"}});
        second = AddRecord(records, {{lx, "aba"}, {ge, "father"}, {gn, "papa"}});
        set.SetModified(false);
    }

    MarkerDialogResult Rename(CMarker* m, const std::string& name) {
        props = m->Properties();
        props.name = name;
        return ApplyMarkerDialog(set, m, props);
    }

    TestDocument doc;
    CUpdateSubscription sub;
    CMarker *lx, *sn, *ge, *gn;
    CRecord *first, *second;
    CMarkerProperties props;
};

TEST_F(MarkerEditTest, RenameAsksAndEveryFieldFollows) {
    rec.answers = {Answer::Yes};
    MarkerDialogResult r = Rename(gn, "gr");
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::Applied);
    EXPECT_TRUE(r.ClosesDialog());
    EXPECT_EQ(rec.Questions(),
              std::vector<std::string>{"Replace marker \\gn with \\gr everywhere it occurs?"});
    EXPECT_EQ(rec.events[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(set.Search("gr"), gn);
    EXPECT_EQ(FieldAt(*first, 2)->Marker()->Name(), "gr");
    EXPECT_EQ(doc.log, std::vector<std::string>{"rename gn to gr"});
    EXPECT_TRUE(set.IsModified());
}

TEST_F(MarkerEditTest, RenameNoPutsTheNameBackAndCancelChangesNothing) {
    rec.answers = {Answer::No};
    props = gn->Properties();
    props.name = "gr";
    props.description = "changed";
    MarkerDialogResult r = ApplyMarkerDialog(set, gn, props);
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::NameRestored);
    EXPECT_FALSE(r.ClosesDialog());
    EXPECT_EQ(props.name, "gn");
    EXPECT_EQ(gn->Description(), "");

    rec.answers = {Answer::Cancel};
    props.name = "gr";
    r = ApplyMarkerDialog(set, gn, props);
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::Cancelled);
    EXPECT_TRUE(r.ClosesDialog());
    EXPECT_EQ(gn->Name(), "gn");
    EXPECT_EQ(gn->Description(), "");
    EXPECT_TRUE(doc.log.empty());
    EXPECT_FALSE(set.IsModified());

    // Bad entries are refused before any question.
    rec.Clear();
    props.name = "g r";
    r = ApplyMarkerDialog(set, gn, props);
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::Refused);
    ASSERT_NE(r.error.Find(kNoteNotExpectingChar), nullptr);
    EXPECT_EQ(r.error.Find(kNoteNotExpectingChar)->arg, " ");
    props.name = "gr";
    props.fieldName = "Gloss";
    r = ApplyMarkerDialog(set, gn, props);
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::Refused);
    EXPECT_EQ(r.error.Text(), "Another marker already has this Field Name: Gloss");
    EXPECT_TRUE(rec.Questions().empty());
}

TEST_F(MarkerEditTest, MergeMovesFieldsHierarchyAndRemovesTheMarker) {
    CMarker* xv = Make("xv", "Example", gn);
    CMarkerProperties p = lx->Properties();
    p.following = gn;
    CNote error;
    ASSERT_TRUE(set.Modify(lx, p, error));
    rec.answers = {Answer::Yes};
    MarkerDialogResult r = Rename(gn, "ge");
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::Merged);
    EXPECT_TRUE(r.ClosesDialog());
    EXPECT_EQ(rec.Questions(),
              std::vector<std::string>{"The marker \\ge already exists.  Do you want to merge \\gn "
                                       "with \\ge?\nAll \\gn fields will become \\ge fields."});
    EXPECT_EQ(set.Search("gn"), nullptr);
    EXPECT_EQ(FieldAt(*first, 2)->Marker(), ge);
    EXPECT_EQ(FieldAt(*second, 2)->Marker(), ge);
    EXPECT_EQ(ge->UseCount(), 3);
    EXPECT_EQ(xv->Parent(), ge);
    EXPECT_EQ(xv->Level(), 3);
    EXPECT_EQ(lx->Following(), ge);
    EXPECT_EQ(doc.log, std::vector<std::string>{"merge gn into ge"});
}

TEST_F(MarkerEditTest, MergeIntoADescendantKeepsTheHierarchyWhole) {
    // sn merged into ge, which stands under sn: ge takes sn's place.
    rec.answers = {Answer::Yes};
    EXPECT_EQ(Rename(sn, "ge").outcome, MarkerDialogOutcome::Merged);
    EXPECT_EQ(ge->Parent(), lx);
    EXPECT_EQ(gn->Parent(), ge);
    EXPECT_EQ(gn->Level(), 2);
    EXPECT_EQ(FieldAt(*first, 1)->Marker(), ge);
}

TEST_F(MarkerEditTest, MergeRefusals) {
    MarkerDialogResult r = Rename(gn, "lx");
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::NameRestored);
    EXPECT_EQ(props.name, "gn");
    EXPECT_EQ(rec.Messages(), std::vector<std::string>{"Can't merge with record marker!"});

    rec.Clear();
    r = Rename(lx, "ge");
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::NameRestored);
    EXPECT_EQ(props.name, "lx");
    EXPECT_TRUE(rec.events.empty());

    gn->IncSettingsRef(); // a filter uses it
    r = Rename(gn, "ge");
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::NameRestored);
    EXPECT_EQ(rec.Messages(),
              std::vector<std::string>{"Can't merge markers because \\gn is used in settings!"});
    gn->DecSettingsRef();

    rec.Clear();
    rec.answers = {Answer::No};
    r = Rename(gn, "ge");
    EXPECT_EQ(r.outcome, MarkerDialogOutcome::NameRestored);
    EXPECT_EQ(rec.Questions().size(), 1u);
    EXPECT_EQ(set.Search("gn"), gn);
    EXPECT_EQ(gn->UseCount(), 2);
    EXPECT_TRUE(doc.log.empty());
    EXPECT_FALSE(set.IsModified());
}

TEST_F(MarkerEditTest, MergedMarkerStillHeldStaysAlive) {
    // A copy of a field kept out of every document (an undo buffer, say).
    auto kept = std::make_unique<CField>(gn, "kept");
    rec.answers = {Answer::Yes};
    EXPECT_EQ(Rename(gn, "ge").outcome, MarkerDialogOutcome::Merged);
    EXPECT_EQ(set.Search("gn"), nullptr);
    EXPECT_EQ(kept->Marker()->Name(), "gn");
    EXPECT_EQ(kept->Marker()->UseCount(), 1);
    kept.reset();
}

TEST_F(MarkerEditTest, InsertingAFieldByMarkerName) {
    InsertFieldChoice c = ChooseMarkerForInsert(set, "ge");
    EXPECT_EQ(c.outcome, InsertFieldOutcome::Insert);
    EXPECT_EQ(c.marker, ge);

    c = ChooseMarkerForInsert(set, "lx");
    EXPECT_EQ(c.outcome, InsertFieldOutcome::Refused);
    EXPECT_EQ(rec.Messages(),
              std::vector<std::string>{
                  "Insertion of record marker not allowed. Use Database Insert Record."});

    rec.answers = {Answer::Yes, Answer::No, Answer::Cancel};
    EXPECT_EQ(ChooseMarkerForInsert(set, "xx").outcome, InsertFieldOutcome::AddNewMarker);
    EXPECT_EQ(ChooseMarkerForInsert(set, "xx").outcome, InsertFieldOutcome::Declined);
    EXPECT_EQ(ChooseMarkerForInsert(set, "xx").outcome, InsertFieldOutcome::Cancelled);
    EXPECT_EQ(rec.Questions(), std::vector<std::string>(3, "Marker not in marker list. Add it?"));
    EXPECT_EQ(set.Search("xx"), nullptr);
}

} // namespace
} // namespace crv::test
