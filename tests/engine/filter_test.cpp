#include "engine/filter.h"
#include "engine/filter_scope.h"

#include "engine/filter_test_support.h"

namespace crv::test {
namespace {

TEST_F(FilterTest, MarkerTextFindsOrMatchesWholeFieldsAtTheFiltersMask) {
    CRecord* walk = Add({{lx, "a"}, {sn, "1"}, {ge, "to walk"}});
    CRecord* upper = Add({{lx, "b"}, {sn, "1"}, {ge, "Walk"}});
    CRecord* none = Add({{lx, "c"}, {sn, "1"}, {ps, "walk"}});
    CFilter* find = AddFilter("find", {"\\ge walk"});
    CFilter* whole = AddFilter("whole", {"\\ge walk"}, true);
    CFilter* exact = AddFilter("exact", {"\\ge walk"}, false, 7);
    EXPECT_TRUE(find->Evaluate(*walk, nullptr));
    EXPECT_TRUE(find->Evaluate(*upper, nullptr)); // case does not count at the primary level
    EXPECT_FALSE(find->Evaluate(*none, nullptr));
    EXPECT_FALSE(whole->Evaluate(*walk, nullptr));
    EXPECT_TRUE(whole->Evaluate(*upper, nullptr));
    EXPECT_TRUE(exact->Evaluate(*walk, nullptr));
    EXPECT_FALSE(exact->Evaluate(*upper, nullptr));
    // Variables of the project's encodings.
    EXPECT_TRUE(AddFilter("vowel", {"\\ge W[vowel]lk"}, true)->Evaluate(*upper, nullptr));
    EXPECT_EQ(Listing(*Filtered(find)), (Strings{"a/a", "b/b"}));
}

TEST_F(FilterTest, OperatorsEvaluateAsTheyGroup) {
    CRecord* a = Add({{lx, "a"}, {ge, "x"}});
    CRecord* b = Add({{lx, "b"}, {ge, "y"}});
    CRecord* c = Add({{lx, "c"}, {ps, "z"}});
    auto passes = [&](std::initializer_list<std::string> items) {
        CFilter f(filters.get(), "t", Seq(items), true, 3);
        EXPECT_TRUE(f.IsParsed()) << f.ParseError().Text();
        std::string out;
        for (CRecord* r : {a, b, c})
            if (f.Evaluate(*r, nullptr))
                out += r->GetKey();
        return out;
    };
    EXPECT_EQ(passes({"\\ge x", "And", "\\ge y", "Or", "\\ps z"}), "c"); // (x And y) Or z
    EXPECT_EQ(passes({"\\ps z", "Or", "\\ge x", "And", "\\ge y"}), "");  // (z Or x) And y
    EXPECT_EQ(passes({"\\ge x", "Or", "\\ge y"}), "ab");
    EXPECT_EQ(passes({"Not", "\\ge x"}), "bc");
    EXPECT_EQ(passes({"Not", "Not", "\\ge x"}), passes({"\\ge x"}));
    EXPECT_EQ(passes({"Not", "(", "\\ge x", "Or", "\\ge y", ")"}), "c");
    EXPECT_EQ(passes({"Not", "\\ge x", "Or", "\\ge y"}), "bc");
}

TEST_F(FilterTest, MarkerElementsLookAtTheEntrysSubEntry) {
    // Only the second sense has a gloss.
    Add({{lx, "a"}, {sn, "1"}, {ps, "n"}, {sn, "2"}, {ge, "walk"}, {dt, "01/Jan/2001"}});
    Add({{lx, "b"}, {sn, "1"}, {ge, "walk"}});
    CFilter* gloss = AddFilter("gloss", {"\\ge walk"});
    EXPECT_EQ(Listing(*Filtered(gloss, sn)), (Strings{"1/b", "2/a"}));
    // Sorted by the record marker the whole record is the scope.
    EXPECT_EQ(Listing(*Filtered(gloss)), (Strings{"a/a", "b/b"}));
    // A part of speech in the entry's sense, from the gloss: both stand under sn.
    CFilter* noun = AddFilter("noun", {"\\ps n"});
    EXPECT_EQ(Listing(*Filtered(noun, ge)), (Strings{}));
    // From a sense, the date stands under the record marker: the scope is the record.
    CFilter* dated = AddFilter("dated", {"\\dt = 2001"});
    EXPECT_EQ(Listing(*Filtered(dated, sn)), (Strings{"1/a", "2/a"}));
}

TEST_F(FilterTest, ScopeRules) {
    CRecord* r = Add({{lx, "a"},
                      {sn, "1"},
                      {ge, "g1"},
                      {xv, "v1"},
                      {xe, "e1"},
                      {sn, "2"},
                      {ge, "g2"},
                      {xv, "v2"},
                      {ps, "p2"},
                      {dt, "d"}});
    auto field = [&](int i) {
        const CField* f = r->GetFirst();
        while (i-- > 0)
            f = r->GetNext(f);
        return f;
    };
    auto scope = [&](int entry, CMarker* m) {
        CFieldScope s = MarkerElementScope(*r, entry < 0 ? nullptr : field(entry), m);
        std::string out;
        for (const CField* f = s.first; f && f != s.end; f = r->GetNext(f))
            out += f->Text() + " ";
        return out;
    };
    const std::string all = "a 1 g1 v1 e1 2 g2 v2 p2 d ";
    EXPECT_EQ(scope(-1, ge), all);          // no field
    EXPECT_EQ(scope(0, ge), all);           // under the record marker
    EXPECT_EQ(scope(1, ge), "1 g1 v1 e1 "); // under the entry's marker
    EXPECT_EQ(scope(5, sn), "2 g2 v2 p2 "); // the entry's own marker
    EXPECT_EQ(scope(2, ge), "g1 ");
    EXPECT_EQ(scope(4, sn), "1 g1 v1 e1 "); // over the entry's marker
    EXPECT_EQ(scope(4, ge), "1 g1 v1 e1 "); // the group that holds both
    EXPECT_EQ(scope(8, xe), "2 g2 v2 p2 ");
    EXPECT_EQ(scope(6, dt), all); // nothing but the record over both
    EXPECT_EQ(scope(9, ge), all);

    // A marker outside the hierarchy: the whole record.
    CMarkerSet other(&encodings);
    CMarker* stray = other.SearchOrAdd("stray");
    EXPECT_EQ(scope(2, stray), all);
}

TEST_F(FilterTest, MarkerDateComparesOverTheGivenDate) {
    CRecord* jun = Add({{lx, "a"}, {dt, "15/Jun/2001"}});
    CRecord* dec = Add({{lx, "b"}, {dt, "5/dec/2000"}});
    CRecord* word = Add({{lx, "c"}, {dt, "someday"}});
    auto passes = [&](const std::string& cond) {
        CFilter f(filters.get(), "t", Seq({cond}), false, 3);
        std::string out;
        for (CRecord* r : {jun, dec, word})
            if (f.Evaluate(*r, nullptr))
                out += r->GetKey();
        return out;
    };
    EXPECT_EQ(passes("\\dt = 2001"), "a");
    EXPECT_EQ(passes("\\dt = Jun/2001"), "a");
    EXPECT_EQ(passes("\\dt < 2001"), "b");
    EXPECT_EQ(passes("\\dt > 14/Jun/2001"), "a");
    EXPECT_EQ(passes("\\dt > 1/jan/00"), "ab");
}

TEST_F(FilterTest, LanguageTextTestsFieldsOfTheEncodingAnywhereInTheRecord) {
    CNote error;
    CLangEnc* english = encodings.Add("English", error);
    ASSERT_TRUE(english) << error.Text();
    CMarkerProperties p = ge->Properties();
    p.langEnc = english;
    ASSERT_TRUE(markers.Modify(ge, p, error)) << error.Text();
    CRecord* a = Add({{lx, "a"}, {sn, "1"}, {ps, "walk"}});
    CRecord* b = Add({{lx, "b"}, {sn, "1"}, {ge, "walk"}});
    CFilter* eng = AddFilter("eng", {"@English walk"});
    CFilter* any = AddFilter("any", {"@* walk"});
    CFilter* def = AddFilter("def", {"@Default walk"});
    EXPECT_FALSE(eng->Evaluate(*a, nullptr));
    EXPECT_TRUE(eng->Evaluate(*b, nullptr));
    EXPECT_TRUE(any->Evaluate(*a, nullptr));
    EXPECT_TRUE(any->Evaluate(*b, nullptr));
    EXPECT_TRUE(def->Evaluate(*a, nullptr));
    EXPECT_FALSE(def->Evaluate(*b, nullptr));
    // The whole record, whatever the entry: sorted by sense, the language test ignores scope.
    EXPECT_EQ(Listing(*Filtered(eng, sn)), (Strings{"1/b"}));
    // A renamed encoding is followed.
    CLangEncUpdate rename;
    rename.langEnc = english;
    rename.nameChanged = true;
    rename.oldName = "Olde";
    filters->OnLangEncUpdate(rename);
    EXPECT_EQ(eng->Elements()[0]->DisplayText(), "English: walk");
}

TEST_F(FilterTest, NonUniqueComparesNeighboursInTheIndex) {
    Add({{lx, "b"}, {ge, "3"}});
    Add({{lx, "a"}, {ge, "1"}});
    Add({{lx, "c"}, {ge, "2"}});
    Add({{lx, "a"}, {ge, "4"}});
    Add({{lx, "d"}, {ge, "5"}, {ge, "6"}});
    CFilter* dup = AddFilter("dup", {"Non-Unique"});
    // By the record marker the two a's stand together.
    EXPECT_EQ(Listing(*Filtered(dup)), (Strings{"a/a", "a/a"}));
    // By the gloss they do not; d next to itself is no duplicate.
    EXPECT_EQ(Listing(*Filtered(dup, ge)), (Strings{}));
}

TEST_F(FilterTest, WithTiesMatchesInTheSameColumn) {
    CRecord* aligned = Add({{lx, "t1"}, {xv, "ni   kamba  walk"}, {xe, "I    rope   walk"}});
    CRecord* skewed = Add({{lx, "t2"}, {xv, "ni   kamba  walk"}, {xe, "rope I walk"}});
    CRecord* second = Add({{lx, "t3"}, {xv, "x\nni   kamba"}, {xe, "y\nI    rope"}});
    CFilter* with = AddFilter("with", {"\\xv kamba", "With", "\\xe rope"});
    EXPECT_TRUE(with->Evaluate(*aligned, nullptr));
    EXPECT_FALSE(with->Evaluate(*skewed, nullptr));
    EXPECT_TRUE(with->Evaluate(*second, nullptr)); // columns count from the line's start
    CFilter* chain = AddFilter("chain", {"\\xv walk", "With", "\\xe walk", "With", "\\xe w[?]lk"});
    EXPECT_TRUE(chain->Evaluate(*aligned, nullptr));
    EXPECT_FALSE(chain->Evaluate(*skewed, nullptr));
    // The record's first field takes no part.
    CRecord* first = Add({{lx, "kamba"}, {xe, "rope"}});
    EXPECT_FALSE(
        AddFilter("first", {"\\lx kamba", "With", "\\xe rope"})->Evaluate(*first, nullptr));
}

TEST_F(FilterTest, MissingMarkersAndBrokenFiltersMatchNothing) {
    // A marker the type lacks makes its element false, and true again once it exists.
    ReadSet(
        "\\+filset\n\\+fil later\n\\mkr zz\n\\txt x\n\\-fil\n\\+fil notlater\n\\fel Not\n\\mkr zz\n"
        "\\txt x\n\\-fil\n\\-filset\n");
    CRecord* a = Add({{lx, "a"}, {ge, "x"}});
    EXPECT_FALSE(filters->Find("later")->Evaluate(*a, nullptr));
    EXPECT_TRUE(filters->Find("notlater")->Evaluate(*a, nullptr));
    CMarker* zz = markers.SearchOrAddFromData("zz");
    a->Add(new CField(zz, "x"));
    EXPECT_TRUE(filters->Find("later")->Evaluate(*a, nullptr));
    EXPECT_FALSE(filters->Find("notlater")->Evaluate(*a, nullptr));
    EXPECT_EQ(zz->SettingsRefCount(), 2);
}

TEST_F(FilterTest, MarkersOfFiltersAreSettingsReferences) {
    EXPECT_EQ(ge->SettingsRefCount(), 0);
    CFilter* f = AddFilter("f", {"\\ge x", "And", "\\dt = 2001", "Or", "\\ge y"});
    EXPECT_EQ(ge->SettingsRefCount(), 2);
    EXPECT_EQ(dt->SettingsRefCount(), 1);
    CNote error;
    ASSERT_TRUE(filters->Modify(f, "f", Seq({"\\ge x"}), false, 3, error));
    EXPECT_EQ(ge->SettingsRefCount(), 1);
    EXPECT_EQ(dt->SettingsRefCount(), 0);
    // A renamed marker is written under its new name.
    CMarkerProperties p = ge->Properties();
    p.name = "gn";
    ASSERT_TRUE(markers.Modify(ge, p, error)) << error.Text();
    EXPECT_EQ(f->Elements()[0]->DisplayText(), "\\gn x");
    rec.answers.push_back(Answer::Yes);
    ASSERT_TRUE(filters->Delete(f));
    EXPECT_EQ(ge->SettingsRefCount(), 0);
}

TEST_F(FilterTest, ChangingAFilterRefillsTheIndexesUsingIt) {
    Add({{lx, "a"}, {ge, "x"}});
    Add({{lx, "b"}, {ge, "y"}});
    CFilter* f = AddFilter("f", {"\\ge x"});
    CIndexRef index = Filtered(f);
    EXPECT_EQ(Listing(*index), (Strings{"a/a"}));
    CNote error;
    ASSERT_TRUE(filters->Modify(f, "g", Seq({"\\ge y"}), false, 3, error));
    EXPECT_EQ(Listing(*index), (Strings{"b/b"}));
    EXPECT_EQ(filters->Find("g"), f);
    EXPECT_EQ(filters->Find("f"), nullptr);
    // A refused change leaves the filter and its index as they were.
    EXPECT_FALSE(filters->Modify(f, "g", Seq({"\\ge y", "And"}), false, 3, error));
    EXPECT_EQ(Listing(*index), (Strings{"b/b"}));
    EXPECT_TRUE(f->IsParsed());
    // Found by name for window settings.
    EXPECT_EQ(Db().FilterSource()->FindIndexFilter("g"), f);
}

TEST_F(FilterTest, AddingAndDeletingFilters) {
    CNote error;
    EXPECT_TRUE(filters->Add("f", Seq({"\\ge x"}), false, 3, error));
    EXPECT_FALSE(filters->Add("f", Seq({"\\ge y"}), false, 3, error));
    EXPECT_EQ(error.Text(), "A filter already exists with this name: f");
    CNote empty;
    EXPECT_FALSE(filters->Add("g", Seq({}), false, 3, empty));
    EXPECT_EQ(empty.Text(), "Expecting a Filter Element");
    EXPECT_EQ(filters->Find("g"), nullptr);

    CFilter* f = filters->Find("f");
    CIndexRef held = Filtered(f);
    rec.answers.push_back(Answer::No);
    EXPECT_FALSE(filters->Delete(f));
    EXPECT_EQ(rec.Questions().back(), "Do you want to delete this filter: f");
    rec.answers.push_back(Answer::Yes);
    EXPECT_FALSE(filters->Delete(f)); // a window's index holds it
    EXPECT_EQ(filters->Find("f"), f);
    held = CIndexRef();
    rec.answers.push_back(Answer::Yes);
    EXPECT_TRUE(filters->Delete(f));
    EXPECT_EQ(filters->Find("f"), nullptr);
}

} // namespace
} // namespace crv::test
