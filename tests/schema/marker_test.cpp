#include "schema/marker.h"

#include "schema/marker_test_support.h"

namespace crv::test {
namespace {

TEST_F(MarkerTest, AddRefusesExistingNamesInvalidNamesAndDuplicateFieldNames) {
    CMarker* lx = Make("lx", "Lexeme");
    set.SetRecordMarker(lx);
    CMarker* ge = Make("ge", "Gloss");
    EXPECT_EQ(ge->Parent(), lx);
    EXPECT_EQ(ge->Level(), 1);
    EXPECT_EQ(ge->LangEnc(), encodings.Default());

    CMarkerProperties p;
    p.name = "ge";
    CNote exists;
    EXPECT_EQ(set.Add(p, exists), nullptr);
    EXPECT_EQ(exists.Text(), "This marker already exists: ge");

    p.name = "gn";
    p.fieldName = "Gloss";
    CNote clash;
    EXPECT_EQ(set.Add(p, clash), nullptr);
    EXPECT_EQ(clash.Text(), "Another marker already has this Field Name: Gloss");

    p.name = "g,n";
    p.fieldName = "";
    CNote bad;
    EXPECT_EQ(set.Add(p, bad), nullptr);
    EXPECT_NE(bad.Find(kNoteNotExpectingChar), nullptr);
    // A field name is a style name: ; , { } \ refused (spaces allowed).
    p.name = "gn";
    for (const char* name : {"Gloss;English", "a,b", "a{b", "a}b", "a\\b"}) {
        p.fieldName = name;
        CNote badField;
        EXPECT_EQ(set.Add(p, badField), nullptr) << name;
        EXPECT_NE(badField.Find(kNoteInStyleName), nullptr) << name;
    }
    EXPECT_EQ(set.Count(), 2u);

    // "*" and empty field names may repeat.
    EXPECT_NE(Make("a", "*"), nullptr);
    EXPECT_NE(Make("b", "*"), nullptr);
    EXPECT_NE(Make("c"), nullptr);
    EXPECT_NE(Make("d"), nullptr);
}

TEST_F(MarkerTest, MarkersFromDataAndNamesMetInSettings) {
    CMarker* lx = Make("lx", "Lexeme");
    set.SetRecordMarker(lx);
    set.SetModified(false);
    bool added = false;
    CMarker* xx = set.SearchOrAddFromData("xx", &added);
    EXPECT_TRUE(added);
    EXPECT_EQ(xx->FieldName(), "*");
    EXPECT_EQ(xx->Description(), "");
    EXPECT_EQ(xx->Parent(), lx);
    EXPECT_EQ(xx->Level(), 1);
    EXPECT_EQ(xx->LangEnc(), encodings.Default());
    EXPECT_TRUE(xx->RangeSet().IsEmpty());
    EXPECT_TRUE(xx->RangeSetAllowsSpaces());
    EXPECT_TRUE(xx->UsesLangEncFont());
    EXPECT_TRUE(set.IsModified());
    EXPECT_EQ(set.SearchOrAddFromData("xx", &added), xx);
    EXPECT_FALSE(added);

    CMarker* dt = set.SearchOrAdd("dt");
    ASSERT_NE(dt, nullptr);
    EXPECT_EQ(dt->FieldName(), "");
    EXPECT_EQ(set.SearchOrAdd("dt"), dt);
    CNoteList notes;
    EXPECT_EQ(set.SearchOrAdd("d t", &notes), nullptr);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(set.SearchOrAdd("", &notes), nullptr);
    EXPECT_EQ(notes[1].Text(), "Expecting a marker");

    // Without a record marker a marker from data stands at the top.
    CMarkerSet empty(&encodings);
    CMarker* first = empty.SearchOrAddFromData("lx");
    EXPECT_EQ(first->Parent(), nullptr);
    EXPECT_EQ(first->Level(), 0);

    TellNewMarkersAdded();
    EXPECT_EQ(rec.Messages(), std::vector<std::string>{"One or more new markers were added.\nThey "
                                                       "are marked with * as their field name."});
}

TEST_F(MarkerTest, HierarchyQueriesAndParentChoices) {
    CMarker* lx = Make("lx");
    set.SetRecordMarker(lx);
    CMarker* sn = Make("sn");
    CMarker* ge = Make("ge", {}, sn);
    CMarker* xv = Make("xv", {}, ge);
    CMarker* ps = Make("ps");
    CMarker* sub = Make("fv", "Subfield");
    CMarkerProperties p = sub->Properties();
    p.subfield = true;
    CNote error;
    ASSERT_TRUE(set.Modify(sub, p, error));

    EXPECT_EQ(xv->Level(), 3);
    EXPECT_EQ(set.MaxLevel(), 3);
    EXPECT_EQ(set.Indent(), ".  .  .  ");
    EXPECT_TRUE(xv->IsUnder(sn));
    EXPECT_TRUE(xv->IsUnder(lx));
    EXPECT_FALSE(sn->IsUnder(xv));
    EXPECT_TRUE(sn->IsOver(xv));
    EXPECT_FALSE(ps->IsOver(xv));
    EXPECT_TRUE(xv->IsLowerLevelThan(ge));
    EXPECT_FALSE(ps->IsLowerLevelThan(sn));
    EXPECT_EQ(xv->NearestCommonAncestor(ps), lx);
    CMarker* de = Make("de", {}, sn);
    EXPECT_EQ(xv->NearestCommonAncestor(de), sn);
    EXPECT_EQ(xv->NearestCommonAncestor(sn), sn);
    EXPECT_EQ(lx->NearestCommonAncestor(ps), nullptr);

    // Not itself, not a descendant, never a subfield marker.
    std::vector<CMarker*> choices = set.ParentChoices(sn);
    EXPECT_EQ(choices, (std::vector<CMarker*>{lx, ps}));
    EXPECT_EQ(set.ParentChoices(xv), (std::vector<CMarker*>{de, ge, lx, ps, sn}));
    EXPECT_FALSE(sub->CanBeParentOf(ps));
    EXPECT_TRUE(ps->CanBeParentOf(xv));

    // A parent that would close a circle is refused and the hierarchy stays whole.
    rec.Clear();
    sn->SetParent(xv);
    EXPECT_EQ(rec.InternalErrors().size(), 1u);
    rec.Clear();
    EXPECT_EQ(sn->Parent(), lx);
    ge->SetParent(ps);
    EXPECT_EQ(xv->Level(), 3);
    EXPECT_TRUE(xv->IsUnder(ps));
}

TEST_F(MarkerTest, RecordMarkerChangeMovesTheOldOneUnderTheNew) {
    CMarker* lx = Make("lx");
    set.SetRecordMarker(lx);
    CMarker* se = Make("se");
    CMarker* ge = Make("ge", {}, se);
    struct Listener : CUpdateListener {
        std::vector<CMarkerUpdate> seen;
        void OnMarkerUpdate(const CMarkerUpdate& u) override { seen.push_back(u); }
    } listener;
    CUpdateSubscription sub(encodings.UpdateHub(), &listener, ListenerRank::Documents);

    set.ChangeRecordMarker(se);
    EXPECT_EQ(set.RecordMarker(), se);
    EXPECT_EQ(se->Parent(), nullptr);
    EXPECT_EQ(lx->Parent(), se);
    EXPECT_EQ(se->Level(), 0);
    EXPECT_EQ(lx->Level(), 1);
    EXPECT_EQ(ge->Level(), 1);
    ASSERT_EQ(listener.seen.size(), 1u);
    EXPECT_TRUE(listener.seen[0].recordMarkerChanged);
    EXPECT_EQ(listener.seen[0].marker, se);
}

TEST_F(MarkerTest, ListLabels) {
    CMarker* lx = Make("lx", "Lexeme");
    set.SetRecordMarker(lx);
    CMarker* ge = Make("ge", "Gloss");
    CMarker* fv = Make("fv", "Vernacular", ge);
    CMarkerProperties p = fv->Properties();
    p.subfield = true;
    CNote error;
    ASSERT_TRUE(set.Modify(fv, p, error));

    EXPECT_EQ(ge->ListLabel(true, true, true), ".  \\ge  Gloss");
    EXPECT_EQ(ge->ListLabel(false, true, false), "\\ge");
    EXPECT_EQ(fv->ListLabel(true, true, false), ".  .  fv");
    EXPECT_EQ(lx->ListLabel(true, true, true), "\\lx  Lexeme");
    EXPECT_EQ(ge->ShortLabel(), "ge  Gloss");
    EXPECT_EQ(ge->TabLabel(), "ge\tGloss");

    p = ge->Properties();
    p.fieldName = std::string(200, 'x');
    ASSERT_TRUE(set.Modify(ge, p, error));
    EXPECT_EQ(ge->ListLabel(true, true, true).size(), 99u);
    EXPECT_EQ(ge->ShortLabel().size(), 99u);
    EXPECT_EQ(ge->TabLabel().size(), 99u);
}

TEST_F(MarkerTest, InterlinearFlagsComeFromTheProcesses) {
    CMarker* tx = Make("tx");
    CMarker* mb = Make("mb");
    CMarker* ge = Make("ge");
    CMarker* ps = Make("ps");
    ps->SetInterlinearFlags(3);
    std::vector<std::pair<CMarker*, CMarker*>> processes{{tx, mb}, {mb, ge}};
    set.SetInterlinearFlags(processes);
    EXPECT_EQ(tx->InterlinearFlags(), 3);
    EXPECT_EQ(mb->InterlinearFlags(), 1);
    EXPECT_EQ(ge->InterlinearFlags(), 1);
    EXPECT_EQ(ps->InterlinearFlags(), 0);
}

TEST_F(MarkerTest, ModifyStoresPropertiesAndBroadcastsNameAndEncodingChanges) {
    CMarker* lx = Make("lx");
    set.SetRecordMarker(lx);
    CMarker* ge = Make("ge", "Gloss");
    CMarker* ps = Make("ps");
    struct Listener : CUpdateListener {
        std::vector<CMarkerUpdate> seen;
        void OnMarkerUpdate(const CMarkerUpdate& u) override { seen.push_back(u); }
    } listener;
    CUpdateSubscription sub(encodings.UpdateHub(), &listener, ListenerRank::Types);

    CMarkerProperties p = ge->Properties();
    p.description = "English gloss";
    p.following = ps;
    p.rangeSetText = "b a";
    p.rangeSetAllowsSpaces = false;
    p.useLangEncFont = false;
    p.font.face = "Charis";
    p.noWordWrap = true;
    p.charStyle = true;
    CNote error;
    ASSERT_TRUE(set.Modify(ge, p, error));
    EXPECT_TRUE(listener.seen.empty());
    EXPECT_EQ(ge->Description(), "English gloss");
    EXPECT_EQ(ge->Following(), ps);
    EXPECT_EQ(ge->RangeSet().Text(), "a b ");
    EXPECT_FALSE(ge->RangeSetAllowsSpaces());
    EXPECT_FALSE(ge->UsesLangEncFont());
    EXPECT_EQ(ge->Font().face, "Charis");
    EXPECT_TRUE(ge->NoWordWrap());
    EXPECT_TRUE(ge->CharStyle());

    p.name = "gn";
    p.langEnc = encodings.FindOrCreate("English");
    ASSERT_TRUE(set.Modify(ge, p, error));
    ASSERT_EQ(listener.seen.size(), 1u);
    EXPECT_TRUE(listener.seen[0].nameChanged);
    EXPECT_EQ(listener.seen[0].oldName, "ge");
    EXPECT_TRUE(listener.seen[0].langEncChanged);
    EXPECT_EQ(set.Search("gn"), ge);
    EXPECT_EQ(set.Search("ge"), nullptr);
    EXPECT_EQ(ge->LangEnc()->Name(), "English");

    // The field name must stay unique; the marker keeps its properties when refused.
    p = ps->Properties();
    p.fieldName = "Gloss";
    CNote clash;
    EXPECT_FALSE(set.Modify(ps, p, clash));
    EXPECT_EQ(clash.Text(), "Another marker already has this Field Name: Gloss");
    p.fieldName = "Part of speech; word class";
    CNote semicolon;
    EXPECT_FALSE(set.Modify(ps, p, semicolon));
    EXPECT_EQ(semicolon.Text(), "Not expecting the character: ; in a style name");
    EXPECT_EQ(ps->FieldName(), "");
    p.name = "gn";
    p.fieldName = "";
    CNote exists;
    EXPECT_FALSE(set.Modify(ps, p, exists));
    EXPECT_EQ(exists.Text(), "This marker already exists: gn");
    EXPECT_EQ(listener.seen.size(), 1u);
}

TEST_F(MarkerTest, MarkerRefFollowsRenameAndMerge) {
    CMarker* lx = Make("lx");
    set.SetRecordMarker(lx);
    CMarker* ge = Make("ge");
    CMarker* gn = Make("gn");
    CMarkerRef named("ge");
    EXPECT_EQ(named.Marker(), nullptr);
    EXPECT_EQ(named.Resolve(set), ge);
    EXPECT_EQ(ge->RefCount(), 1);
    {
        CMarkerRef other(ge);
        EXPECT_EQ(ge->RefCount(), 2);
    }
    EXPECT_EQ(ge->RefCount(), 1);

    struct Settings : CUpdateListener {
        CMarkerRef* ref;
        void OnMarkerUpdate(const CMarkerUpdate& u) override { ref->Follow(u); }
    } settings;
    settings.ref = &named;
    CUpdateSubscription sub(encodings.UpdateHub(), &settings, ListenerRank::Types);

    CMarkerProperties p = ge->Properties();
    p.name = "gx";
    CNote error;
    ASSERT_TRUE(set.Modify(ge, p, error));
    EXPECT_EQ(named.Name(), "gx");

    set.Merge(ge, gn);
    EXPECT_EQ(named.Marker(), gn);
    EXPECT_EQ(named.Name(), "gn");
    EXPECT_EQ(gn->RefCount(), 1);
}

} // namespace
} // namespace crv::test
