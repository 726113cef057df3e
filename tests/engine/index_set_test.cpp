#include "engine/index_set.h"

#include "engine/engine_test_support.h"
#include "record/sf_writer.h"
#include "schema/database_type.h"

namespace crv::test {
namespace {

struct RecordingListener : CIndexSetListener {
    explicit RecordingListener(CIndexSet& s) : set(&s) {}
    void OnEntriesRemoving(CIndex& index, const std::vector<const CIndexEntry*>& entries) override {
        for (const CIndexEntry* e : entries) {
            // The entries are still in the index while the views are told.
            EXPECT_TRUE(index.PosOf(e).IsValid());
            told.push_back(e->Field() ? e->Field()->Text() : "-");
        }
        deleting.push_back(set->RecordBeingDeleted());
    }
    CIndexSet* set;
    std::vector<std::string> told;
    std::vector<CRecord*> deleting;
};

TEST_F(EngineTest, SharedIndexesLiveWhileHeldAndFilteredOnesHoldTheirBase) {
    TestFilter nouns("nouns", ps, "n");
    Add({{lx, "a"}, {ge, "x"}, {ps, "n"}});
    EXPECT_EQ(Db().IndexCount(), 1u);
    {
        CIndexRef a = Db().GetIndex(By(ge, {lx}));
        CIndexRef b = Db().GetIndex(By(ge, {lx}));
        EXPECT_EQ(a.Get(), b.Get());
        EXPECT_NE(Db().GetIndex(By(ge, {})).Get(), a.Get()); // other secondary markers
        CIndexKeys fromEnd = By(ge, {lx});
        fromEnd.fromEnd = true;
        EXPECT_NE(Db().GetIndex(fromEnd).Get(), a.Get());
        CIndexRef f = Db().GetIndex(By(ge, {lx}, &nouns));
        EXPECT_EQ(f->Base(), a.Get());
        EXPECT_EQ(nouns.RefCount(), 1);
        EXPECT_EQ(Db().IndexCount(), 3u);
        a = CIndexRef();
        b = CIndexRef();
        EXPECT_EQ(Db().IndexCount(), 3u); // the filtered index still holds its base
    }
    EXPECT_EQ(Db().IndexCount(), 1u);
    EXPECT_EQ(nouns.RefCount(), 0);
}

TEST_F(EngineTest, InsertedRecordShowsInTheCallingWindowWhateverItsFilter) {
    TestFilter nouns("nouns", ps, "n");
    TestFilter verbs("verbs", ps, "v");
    Add({{lx, "b"}, {ps, "n"}});
    CIndexRef mine = Db().GetIndex(By(lx, {}, &nouns));
    CIndexRef other = Db().GetIndex(By(lx, {}, &verbs));
    CIndexRef alsoNouns = Db().GetIndex(By(ge, {}, &nouns));
    CIndexPos p = Db().AddNewRecord("a", *mine);
    EXPECT_EQ(p.Ordinal(), 0u);
    EXPECT_EQ(Listing(*mine), (Strings{"a/a", "b/b"}));
    EXPECT_EQ(Listing(*other), Strings{});
    EXPECT_EQ(Listing(*alsoNouns), (Strings{"-/b"}));
    EXPECT_EQ(Listing(Db().DefaultIndex()), (Strings{"a/a", "b/b"}));
    // Once edited, the record is judged like any other.
    Db().RecordChanged(p.Record());
    EXPECT_EQ(Listing(*mine), (Strings{"b/b"}));
}

TEST_F(EngineTest, EditingKeepsUnchangedEntriesAndMovesChangedOnes) {
    CRecord* a = Add({{lx, "a"}, {sn, "1"}, {ge, "cat"}, {sn, "2"}, {ge, "dog"}});
    Add({{lx, "b"}, {ge, "bird"}});
    CIndexRef byGe = Db().GetIndex(By(ge));
    RecordingListener views(Db());
    Db().AddListener(&views);
    const CIndexEntry* cat = byGe->EntryAt(1);
    const CIndexEntry* lxEntry = Db().DefaultIndex().EntryAt(0);
    // A change outside every key: nothing moves, nothing is told.
    a->Add(new CField(dt, "today"));
    EXPECT_FALSE(Db().RecordChanged(a));
    EXPECT_EQ(byGe->EntryAt(1), cat);
    EXPECT_EQ(Db().DefaultIndex().EntryAt(0), lxEntry);
    // A change of text that keeps the key byte for byte (trailing space is trimmed).
    FieldAt(*a, 2)->SetText("cat ");
    EXPECT_FALSE(Db().RecordChanged(a));
    EXPECT_EQ(byGe->EntryAt(1), cat);
    // The second gloss changes: its entry is made anew, the views told of the old one.
    FieldAt(*a, 4)->SetText("ant");
    EXPECT_TRUE(Db().RecordChanged(a));
    EXPECT_EQ(Listing(*byGe), (Strings{"ant/a", "bird/b", "cat /a"}));
    EXPECT_EQ(byGe->EntryAt(2), cat);
    EXPECT_EQ(views.told, (Strings{"ant"}));
    Db().RemoveListener(&views);
}

TEST_F(EngineTest, RemovingAndAddingSortFieldsChangesTheEntries) {
    CRecord* a = Add({{lx, "a"}, {ge, "x"}});
    CIndexRef byGe = Db().GetIndex(By(ge));
    CField* g = FieldAt(*a, 1);
    delete a->Remove(g);
    EXPECT_TRUE(Db().RecordChanged(a));
    EXPECT_EQ(Listing(*byGe), (Strings{"-/a"}));
    a->Add(new CField(ge, "y"));
    a->Add(new CField(ge, "w"));
    EXPECT_TRUE(Db().RecordChanged(a));
    EXPECT_EQ(Listing(*byGe), (Strings{"w/a", "y/a"}));
}

TEST_F(EngineTest, DeletionTellsTheViewsThenRemovesEveryEntry) {
    TestFilter any("any", ge);
    CRecord* a = Add({{lx, "a"}, {ge, "x"}, {ge, "y"}});
    Add({{lx, "b"}, {ge, "z"}});
    CIndexRef byGe = Db().GetIndex(By(ge, {}, &any));
    RecordingListener views(Db());
    Db().AddListener(&views);
    Db().DeleteRecord(a);
    EXPECT_EQ(views.told.size(), 5u); // default 1, by ge 2, filtered 2
    for (CRecord* r : views.deleting)
        EXPECT_EQ(r, a);
    EXPECT_EQ(Db().RecordBeingDeleted(), nullptr);
    EXPECT_EQ(Db().RecordCount(), 1u);
    EXPECT_EQ(Listing(*byGe), (Strings{"z/b"}));
    EXPECT_EQ(Listing(*byGe->Base()), (Strings{"z/b"}));
    Db().RemoveListener(&views);
}

TEST_F(EngineTest, ChangedFilterRefillsItsIndexes) {
    TestFilter f("f", ps, "n");
    Add({{lx, "a"}, {ps, "n"}});
    Add({{lx, "b"}, {ps, "v"}});
    CIndexRef idx = Db().GetIndex(By(lx, {}, &f));
    EXPECT_EQ(Listing(*idx), (Strings{"a/a"}));
    f.SetText("v");
    Db().FilterChanged(&f);
    EXPECT_EQ(Listing(*idx), (Strings{"b/b"}));
}

TEST_F(EngineTest, MarkerChangesRekeyAndMergesMoveFieldsAndIndexes) {
    Add({{lx, "b"}, {ge, "y"}, {ps, "a"}});
    Add({{lx, "a"}, {ge, "z"}});
    CIndexRef byPs = Db().GetIndex(By(ps));
    EXPECT_EQ(Listing(*byPs), (Strings{"-/a", "a/b"}));
    // ps merged into ge: the fields move, the index now sorts by ge.
    markers.Merge(ps, ge);
    EXPECT_EQ(byPs->PriMarker(), ge);
    EXPECT_EQ(Listing(*byPs), (Strings{"a/b", "y/b", "z/a"}));
}

TEST_F(EngineTest, RecordsAreWrittenInDefaultOrderEachOnce) {
    struct Collect : RecordOutput {
        void WriteField(const CField& f, bool first) override {
            text += (first ? "|" : " ") + f.Text();
        }
        std::string text;
    } out;
    CRecord* c = Add({{lx, "c"}, {ge, "1"}});
    Add({{lx, "a"}});
    Add({{lx, "b"}});
    // A second record-marker field gives the record a second entry, but not a second copy.
    c->Add(new CField(lx, ""));
    Db().RecordChanged(c);
    EXPECT_EQ(Db().DefaultIndex().Count(), 4u);
    Db().WriteRecords(out);
    EXPECT_EQ(out.text, "|c 1 |a|b");
}

TEST_F(EngineTest, RecordWidthOutsideItsRangeIsWrittenAs400) {
    CIndexSet& s = Db();
    EXPECT_EQ(s.HeaderRecordWidth(), 400);
    s.SetRecordWidth(0);
    EXPECT_EQ(s.HeaderRecordWidth(), 0);
    s.SetRecordWidth(9999);
    EXPECT_EQ(s.HeaderRecordWidth(), 9999);
    s.SetRecordWidth(10000);
    EXPECT_EQ(s.HeaderRecordWidth(), 400);
    s.SetRecordWidth(-1);
    EXPECT_EQ(s.HeaderRecordWidth(), 400);
}

TEST_F(EngineTest, ReadFileIndexesEveryRecord) {
    ScratchDir dir;
    WriteFileBytes(
        dir.File("db.txt"),
        "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx b\r\n\\ge x\r\n\r\n\\lx a\r\n\\zz new\r\n");
    DatabaseReadResult r = Db().ReadFile(dir.File("db.txt"));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(Listing(Db().DefaultIndex()), (Strings{"a/a", "b/b"}));
    EXPECT_NE(markers.Search("zz"), nullptr);
}

TEST_F(EngineTest, ASetOfATypeSortsByItsRecordMarkerAndSecondaryKeysAndHoldsIt) {
    CDatabaseType type(encodings, "Lexicon");
    CNote error;
    ASSERT_TRUE(type.SetRecordMarkerName("lx", error));
    CMarker* tlx = type.RecordMarker();
    CMarker* thm = type.MarkerSet().SearchOrAddFromData("hm");
    type.SetSecKeyMarkers({thm});
    {
        CIndexSet set(type);
        EXPECT_EQ(type.RefCount(), 1);
        EXPECT_EQ(set.Type(), &type);
        EXPECT_EQ(set.DefaultIndex().PriMarker(), tlx);
        EXPECT_EQ(set.DefaultIndex().SecMarkers(), (std::vector<CMarker*>{thm}));
        CRecordList list;
        AddRecord(list, {{tlx, "a"}, {thm, "2"}});
        AddRecord(list, {{tlx, "a"}, {thm, "1"}});
        set.AddRecords(list);
        EXPECT_EQ(set.DefaultIndex().EntryAt(0)->Record()->GetLast()->Text(), "1");
    }
    EXPECT_EQ(type.RefCount(), 0);
}

} // namespace
} // namespace crv::test
