#include "engine/index.h"

#include <random>

#include "engine/engine_test_support.h"
#include "schema/sort_order.h"

namespace crv::test {
namespace {

TEST_F(EngineTest, RecordsWithoutOrWithSeveralSortFieldsHaveOneEntryEach) {
    Add({{lx, "b"},
         {sn, "1"},
         {ge, "two"},
         {ps, "v"},
         {sn, "2"},
         {ge, "one"},
         {sn, "3"},
         {ge, "three"},
         {ps, "n"}});
    Add({{lx, "a"}});
    Add({{lx, "c"}, {ge, "alpha"}});
    CIndexRef byGe = Db().GetIndex(By(ge, {ps}));
    EXPECT_EQ(Listing(*byGe), (Strings{"-/a", "alpha/c", "one/b", "three/b", "two/b"}));
    EXPECT_EQ(Listing(Db().DefaultIndex()), (Strings{"a/a", "b/b", "c/c"}));
    // Each gloss finds the part of speech of its own sense.
    std::string none = byGe->MakeTypedKey("one", {""});
    EXPECT_EQ(byGe->EntryAt(2)->Key(), none);
    EXPECT_EQ(byGe->EntryAt(3)->Key(), byGe->MakeTypedKey("three", {"n"}));
    EXPECT_EQ(byGe->EntryAt(4)->Key(), byGe->MakeTypedKey("two", {"v"}));
    // An entry without field sorts first even when its key is greater.
    EXPECT_FALSE(byGe->EntryAt(0)->HasField());
    EXPECT_EQ(byGe->Find(byGe->EntryAt(0)->Record(), nullptr).Ordinal(), 0u);
}

TEST_F(EngineTest, RecordMarkerFieldsAfterTheFirstFieldAreFound) {
    // As many lx fields as records, but one stands second in its record (a record marker
    // changed after reading): the quick fill by first fields must not be taken.
    Add({{ge, "g"}, {lx, "b"}});
    Add({{lx, "a"}});
    CIndexRef byLx = Db().GetIndex(By(lx, {dt}));
    EXPECT_EQ(Listing(*byLx), (Strings{"a/a", "b/g"}));
    // Every record begins with lx, but one has a second: counted, and found.
    CRecordList list;
    AddRecord(list, {{lx, "d"}, {lx, "c"}});
    CIndexSet other(markers);
    other.AddRecords(list);
    EXPECT_EQ(Listing(other.DefaultIndex()), (Strings{"c/d", "d/d"}));
}

TEST_F(EngineTest, SortIsStableSkippedWhenInOrderAndInsertsAfterEquals) {
    CRecord* r1 = Add({{lx, "same"}});
    CRecord* r0 = Add({{lx, "a"}});
    CRecord* r2 = Add({{lx, "same"}});
    CRecord* rb = Add({{lx, "z"}});
    CIndex& def = Db().DefaultIndex();
    EXPECT_EQ(def.FindRecord(r0).Ordinal(), 0u);
    EXPECT_EQ(def.FindRecord(r1).Ordinal(), 1u);
    EXPECT_EQ(def.FindRecord(r2).Ordinal(), 2u);
    // A new record equal to both goes after them.
    CIndexPos p = Db().AddNewRecord("same", def);
    EXPECT_EQ(p.Ordinal(), 3u);
    EXPECT_EQ(p.Entry(), def.EntryAt(3));
    EXPECT_EQ(def.Next(p).Record(), rb);
    // Asking for the same keys shares the default index.
    EXPECT_EQ(Db().GetIndex(By(lx)).Get(), &def);
    // No record has dt: all keys are equal, and the entries keep the default order.
    CIndexRef byDt = Db().GetIndex(By(dt));
    EXPECT_EQ(Listing(*byDt), (Strings{"-/a", "-/same", "-/same", "-/same", "-/z"}));
    EXPECT_EQ(byDt->EntryAt(1)->Record(), r1);
    EXPECT_EQ(byDt->EntryAt(3)->Record(), p.Record());
    rec.Clear();
    // Re-keying indexes that stay in order sorts nothing.
    Db().OnLangEncUpdate(CLangEncUpdate{encodings.Default(), false, {}, nullptr, false});
    EXPECT_EQ(rec.ProgressTexts(), (Strings{"Indexing by \\lx", "Indexing by \\dt"}));
    EXPECT_EQ(def.FindRecord(r1).Ordinal(), 1u);
    EXPECT_EQ(def.FindRecord(r2).Ordinal(), 2u);
}

TEST_F(EngineTest, BinaryOrderComparesBytesAndUndefinedCharactersCanBeLeftOut) {
    CSortOrderDef def = encodings.Default()->DefaultSortOrder()->Definition();
    def.binary = true;
    CNote error;
    CSortOrder* bin = encodings.Default()->SortOrders().AddSortOrder("Bytes", def, error);
    ASSERT_NE(bin, nullptr) << error.Text();
    Add({{lx, "b"}});
    Add({{lx, "B"}});
    Add({{lx, "a#"}});
    Add({{lx, "a"}});
    CIndexKeys k = By(lx);
    k.sortOrder = bin;
    CIndexRef bytes = Db().GetIndex(k);
    EXPECT_EQ(Listing(*bytes), (Strings{"B/B", "a/a", "a#/a#", "b/b"}));
    EXPECT_EQ(Listing(Db().DefaultIndex())[0], "a/a");
    EXPECT_EQ(Listing(Db().DefaultIndex())[1], "a#/a#");
    // "#" is not defined in the default order: left out, "a#" equals "a" and keeps its
    // place before it.
    Db().SetLeaveUndefinedOut(true);
    CIndex& d = Db().DefaultIndex();
    EXPECT_EQ(d.CompareEntries(*d.EntryAt(0), *d.EntryAt(1)), 0);
}

TEST_F(EngineTest, MergeSortSurvivesAComparisonThatContradictsItself) {
    std::mt19937 random(7);
    for (int n : {0, 1, 2, 17, 100, 1000}) {
        std::vector<int> items(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            items[static_cast<std::size_t>(i)] = i;
        StableMergeSort(items, [&](int, int) { return static_cast<int>(random() % 3) - 1; });
        std::vector<int> sorted = items;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(sorted[static_cast<std::size_t>(i)], i);
    }
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < 300; ++i)
        pairs.emplace_back(static_cast<int>(random() % 5), i);
    StableMergeSort(pairs, [](const auto& a, const auto& b) { return a.first - b.first; });
    for (std::size_t i = 1; i < pairs.size(); ++i)
        ASSERT_TRUE(pairs[i - 1].first < pairs[i].first || (pairs[i - 1].first == pairs[i].first &&
                                                            pairs[i - 1].second < pairs[i].second));
}

TEST_F(EngineTest, KeysAreCutAtTheKeyLength) {
    CRecord* r = Add({{lx, std::string(300, 'a')}});
    const CIndex& d = Db().DefaultIndex();
    EXPECT_EQ(d.FindRecord(r).Entry()->Key().size(), 100u);
    EXPECT_EQ(d.MakeTypedKey(std::string(150, 'b'), {}).size(), 100u);
}

} // namespace
} // namespace crv::test
