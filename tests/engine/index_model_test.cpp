// Randomized model test: thousands of inserts, edits (of fields, or of texts only) and
// deletions; after every step
// every index must hold exactly the entries an index built from scratch holds, in the
// same order (entries that compare equal may stand in any order among themselves, but
// a filtered index must list its base's passing entries in the base's order).
#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "engine/engine_test_support.h"

namespace crv::test {
namespace {

// A view's copy of every index's rows, kept by applying the row notices alone, one
// change at a time. Before each change and after it, the copy must equal the index.
class RowCopies : public CIndexSetListener {
public:
    using Rows = std::vector<const CIndexEntry*>;
    std::map<const CIndex*, Rows> rows;
    // Entries told changed since the last clear.
    std::set<const CIndexEntry*> changed;

    void OnEntriesRemoving(CIndex&, const std::vector<const CIndexEntry*>&) override {}

    void OnRowsChanging(CIndex& index, const IndexRowChange& change) override {
        EXPECT_FALSE(m_pending) << "a change told inside another";
        m_pending = true;
        m_kind = change.kind;
        ExpectEqual(index);
        const Rows& copy = rows[&index];
        if (change.kind == IndexRowChange::Kind::Insert) {
            EXPECT_LE(change.first, copy.size());
        } else if (change.kind != IndexRowChange::Kind::Reset) {
            EXPECT_LE(change.first + change.count, copy.size());
        }
    }

    void OnRowsChanged(CIndex& index, const IndexRowChange& change) override {
        EXPECT_TRUE(m_pending && m_kind == change.kind) << "changed without changing";
        m_pending = false;
        Rows& copy = rows[&index];
        const auto first = static_cast<long>(change.first);
        switch (change.kind) {
        case IndexRowChange::Kind::Insert:
            ASSERT_LE(change.first + change.count, index.Count());
            for (std::size_t i = 0; i < change.count; ++i)
                copy.insert(copy.begin() + first + static_cast<long>(i),
                            index.EntryAt(change.first + i));
            break;
        case IndexRowChange::Kind::Remove:
            ASSERT_LE(change.first + change.count, copy.size());
            copy.erase(copy.begin() + first,
                       copy.begin() + first + static_cast<long>(change.count));
            break;
        case IndexRowChange::Kind::Change:
            for (std::size_t i = 0; i < change.count; ++i)
                changed.insert(index.EntryAt(change.first + i));
            break;
        case IndexRowChange::Kind::Reset:
            copy.clear();
            for (std::size_t i = 0; i < index.Count(); ++i)
                copy.push_back(index.EntryAt(i));
            break;
        }
        ExpectEqual(index);
    }

    void ExpectEqual(const CIndex& index) {
        const Rows& copy = rows[&index];
        ASSERT_EQ(copy.size(), index.Count());
        for (std::size_t i = 0; i < copy.size(); ++i)
            ASSERT_EQ(copy[i], index.EntryAt(i)) << "row " << i;
    }

private:
    bool m_pending = false;
    IndexRowChange::Kind m_kind = IndexRowChange::Kind::Reset;
};

class IndexModel : public EngineTest {
protected:
    std::mt19937 random{20261206};

    int Pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

    std::string Text() {
        static const char* const kWords[] = {"",   "a",   "b",  "ab", "A",
                                             "ba", "b a", "aa", "c",  "x\ny"};
        return kWords[Pick(10)];
    }

    CRecord* NewRecord() {
        auto* r = new CRecord(new CField(lx, Text()));
        int senses = Pick(4);
        for (int s = 0; s < senses; ++s) {
            r->Add(new CField(sn, std::to_string(s)));
            if (Pick(3))
                r->Add(new CField(ge, Text()));
            if (Pick(2))
                r->Add(new CField(ps, Pick(2) ? "n" : "v"));
        }
        return r;
    }

    CRecord* AnyRecord() {
        std::size_t n = Pick(static_cast<int>(Db().RecordCount()));
        for (CRecord& r : Db().Records())
            if (n-- == 0)
                return &r;
        return nullptr;
    }

    void Edit(CRecord* r) {
        int fieldCount = static_cast<int>(r->Count());
        CField* f = FieldAt(*r, Pick(fieldCount));
        switch (Pick(4)) {
        case 0: // a new text, key fields included
            f->SetText(f->Marker() == ps ? (Pick(2) ? "n" : "v") : Text());
            break;
        case 1: // a new gloss or record-marker field somewhere after the first
            r->InsertAfter(f, new CField(Pick(3) ? ge : lx, Text()));
            break;
        case 2: // a field goes (never the first)
            if (f != r->GetFirst())
                delete r->Remove(f);
            break;
        default: // a part of speech appears or changes
            r->InsertAfter(f, new CField(ps, Pick(2) ? "n" : "v"));
            break;
        }
    }

    // The entries of index as built from scratch: every record's entries in default
    // order, stably sorted; a filtered index from its base.
    static void CheckIndex(const CIndex& index) {
        if (index.Base()) {
            const CIndex& base = *index.Base();
            std::vector<const CIndexEntry*> expected;
            for (std::size_t i = 0; i < base.Count(); ++i)
                if (index.Filter()->Matches(base, i))
                    expected.push_back(base.EntryAt(i));
            ASSERT_EQ(index.Count(), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
                ASSERT_EQ(index.EntryAt(i)->Record(), expected[i]->Record()) << i;
                ASSERT_EQ(index.EntryAt(i)->Field(), expected[i]->Field()) << i;
                ASSERT_EQ(index.EntryAt(i)->Key(), expected[i]->Key()) << i;
            }
            return;
        }
        std::vector<CIndexEntry> made;
        for (const CRecord& r : index.Set().Records()) {
            auto* rec = const_cast<CRecord*>(&r);
            bool any = false;
            for (CField& f : *rec)
                if (f.Marker() == index.PriMarker()) {
                    made.emplace_back(rec, &f, index.MakeEntryKey(r, &f));
                    any = true;
                }
            if (!any)
                made.emplace_back(rec, nullptr, index.MakeEntryKey(r, nullptr));
        }
        ASSERT_EQ(index.Count(), made.size());
        std::vector<const CIndexEntry*> expected;
        for (const CIndexEntry& e : made)
            expected.push_back(&e);
        // Same order: each run of equal entries holds the same entries with the same keys.
        auto less = [&](const CIndexEntry* a, const CIndexEntry* b) {
            return index.CompareEntries(*a, *b) < 0;
        };
        std::stable_sort(expected.begin(), expected.end(), less);
        using Item = std::pair<const CRecord*, const CField*>;
        std::vector<Item> want, got;
        for (std::size_t i = 0; i < expected.size();) {
            std::size_t j = i + 1;
            while (j < expected.size() && !less(expected[i], expected[j]))
                ++j;
            want.clear();
            got.clear();
            for (std::size_t k = i; k < j; ++k) {
                want.emplace_back(expected[k]->Record(), expected[k]->Field());
                const CIndexEntry* e = index.EntryAt(k);
                got.emplace_back(e->Record(), e->Field());
                ASSERT_EQ(e->Key(), index.MakeEntryKey(*e->Record(), e->Field())) << k;
            }
            std::sort(want.begin(), want.end());
            std::sort(got.begin(), got.end());
            ASSERT_EQ(got, want) << "run at " << i;
            i = j;
        }
    }

    void CheckAll() {
        for (std::size_t i = 0; i < Db().IndexCount(); ++i) {
            SCOPED_TRACE("index " + std::to_string(i));
            CheckIndex(Db().IndexAt(i));
            copies.ExpectEqual(Db().IndexAt(i));
            if (HasFatalFailure())
                return;
        }
    }

    RowCopies copies;
};

TEST_F(IndexModel, EveryIndexEqualsOneBuiltFromScratchAfterEveryStep) {
    TestFilter nouns("nouns", ps, "n");
    TestFilter glossed("glossed", ge);
    Db({ps});
    Db().AddListener(&copies);
    CRecordList start;
    for (int i = 0; i < 40; ++i)
        start.Add(NewRecord());
    Db().AddRecords(start);
    CIndexRef byGe = Db().GetIndex(By(ge, {lx}));
    CIndexRef byPs = Db().GetIndex(By(ps, {ge, lx}));
    CIndexRef nounsByGe = Db().GetIndex(By(ge, {lx}, &nouns));
    CIndexRef glossedByLx = Db().GetIndex(By(lx, {}, &glossed));
    CIndexKeys fromEnd = By(lx, {ge});
    fromEnd.fromEnd = true;
    CIndexRef byLxFromEnd = Db().GetIndex(fromEnd);
    CheckAll();
    for (int step = 0; step < 1200 && !HasFatalFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        // Insertions and deletions balance, so the database stays near its first size.
        int op = Pick(20);
        if (op < 3 || Db().RecordCount() < 5) {
            CRecord* r = NewRecord();
            Db().AddRecord(r);
        } else if (op < 4) {
            CIndex& calling = Pick(2) ? *byGe : Db().DefaultIndex();
            Db().AddNewRecord(Text(), calling);
        } else if (op < 8 && Db().RecordCount() > 30) {
            Db().DeleteRecord(AnyRecord());
        } else if (op == 8) {
            // Every index sorted again (or left alone when nothing moves).
            Db().SetLeaveUndefinedOut(!Db().LeavesUndefinedOut());
        } else if (op < 14) {
            CRecord* r = AnyRecord();
            for (int n = Pick(3) + 1; n > 0; --n)
                Edit(r);
            copies.changed.clear();
            Db().RecordChanged(r);
            // Every row of the edited record is told changed (or was inserted anew).
            for (std::size_t i = 0; i < Db().IndexCount(); ++i) {
                const CIndex& index = Db().IndexAt(i);
                for (std::size_t k = 0; k < index.Count(); ++k) {
                    if (index.EntryAt(k)->Record() == r) {
                        EXPECT_TRUE(copies.changed.count(index.EntryAt(k))) << i << ", row " << k;
                    }
                }
            }
        } else {
            // Texts only, as Replace All and Reshape change them.
            CRecord* r = AnyRecord();
            for (int n = Pick(3) + 1; n > 0; --n) {
                CField* f = FieldAt(*r, Pick(static_cast<int>(r->Count())));
                f->SetText(f->Marker() == ps ? (Pick(2) ? "n" : "v") : Text());
            }
            Db().RecordTextChanged(r);
        }
        CheckAll();
    }
    EXPECT_GT(Db().RecordCount(), 20u);
    Db().RemoveListener(&copies);
}

} // namespace
} // namespace crv::test
