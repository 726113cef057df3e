#include "record/record_arena.h"

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "record_fixture.h"

namespace crv::test {
namespace {

class RecordArenaTest : public RecordTest {
protected:
    void SetUp() override { blocksBefore = RecordArena::BlocksInUse(); }
    // A file of records lx, ge, xv (two lines), enough to fill several blocks.
    static std::string Lexicon(int records) {
        std::string s;
        for (int i = 0; i < records; ++i)
            s += "\\lx w" + std::to_string(i) + "\r\n\\ge gloss " + std::to_string(i) +
                 "\r\n\\xv line one\r\nline two " + std::to_string(i) + "\r\n\r\n";
        return s;
    }
    static std::string Expected(int i, int field) {
        switch (field) {
        case 0:
            return "w" + std::to_string(i);
        case 1:
            return "gloss " + std::to_string(i);
        default:
            return "line one\nline two " + std::to_string(i);
        }
    }
    std::size_t blocksBefore = 0;
};

// Reading places every field in a block; reading a text leaves it there, changing it
// moves it out; either way the neighbours' texts stay as they were.
TEST_F(RecordArenaTest, TextsAreReadInPlaceAndMoveOutWhenChanged) {
    ReadText(markers, "\\lx a\r\n\\ge one\r\n\\xv x\r\ny\r\n", "lx", true, false, &records);
    CRecord* r = records.GetFirst();
    ASSERT_NE(r, nullptr);
    CField* lx = r->GetFirst();
    CField* ge = r->GetNext(lx);
    CField* xv = r->GetLast();
    const CField& cge = *ge;
    FieldText before = cge.Text();
    EXPECT_EQ(before, "one");
    EXPECT_EQ(before.c_str()[3], '\0');
    EXPECT_EQ(cge.Text().data(), before.data()) << "reading does not move the text";

    ge->Text() += " more and more, longer than the text it had";
    EXPECT_EQ(cge.Text(), "one more and more, longer than the text it had");
    EXPECT_EQ(cge.Length(), cge.Text().size());
    EXPECT_EQ(std::as_const(*xv).Text(), "x\ny");
    EXPECT_EQ(r->GetKey(), "a");

    xv->SetText("z");
    EXPECT_EQ(std::as_const(*xv).Text(), "z");
    lx->SetText({});
    EXPECT_EQ(r->GetKey(), "");
    EXPECT_EQ(r->GetKey().c_str()[0], '\0');

    CField copy(cge);
    ge->Text() = "changed";
    EXPECT_EQ(std::as_const(copy).Text(), "one more and more, longer than the text it had");
    EXPECT_EQ(ge->Marker()->UseCount(), 2);
}

// Blocks live as long as anything in them, wherever it went; deleting everything in
// any order leaves no block behind, and the markers' use counts come back to zero.
TEST_F(RecordArenaTest, BlocksLiveAsLongAsAnythingInThem) {
    const int n = 60000; // several blocks
    ReadText(markers, Lexicon(n), "lx", true, false, &records);
    ASSERT_GT(RecordArena::BlocksInUse(), blocksBefore + 2);
    CMarker* ge = markers.Search("ge");
    EXPECT_EQ(ge->UseCount(), n);

    // Every 7th gloss moves to a record of a list of its own; the rest goes in a random
    // order, the records and their fields separately.
    CRecordList kept;
    std::vector<CRecord*> all;
    for (CRecord& r : records)
        all.push_back(&r);
    for (std::size_t i = 0; i < all.size(); i += 7) {
        CField* gloss = all[i]->Remove(all[i]->GetNext(all[i]->GetFirst()));
        kept.Add(new CRecord(gloss));
    }
    std::mt19937 random(11);
    std::shuffle(all.begin(), all.end(), random);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i % 2)
            delete all[i]->Remove(all[i]->GetLast());
        delete records.Remove(all[i]);
    }
    ASSERT_GT(RecordArena::BlocksInUse(), blocksBefore) << "the kept glosses hold their blocks";
    int i = 0;
    for (const CRecord& r : kept) {
        ASSERT_EQ(r.GetKey(), Expected(i, 1));
        i += 7;
    }
    kept.DeleteAll();
    EXPECT_EQ(RecordArena::BlocksInUse(), blocksBefore);
    EXPECT_EQ(ge->UseCount(), 0);
    EXPECT_EQ(markers.Search("lx")->UseCount(), 0);
}

TEST_F(RecordArenaTest, EveryTextSurvivesTheBlockBoundaries) {
    const int n = 60000;
    ReadText(markers, Lexicon(n), "lx", true, false, &records);
    int i = 0;
    for (const CRecord& r : records) {
        int field = 0;
        for (const CField& f : r)
            ASSERT_EQ(f.Text(), Expected(i, field++)) << i;
        ASSERT_EQ(field, 3);
        ++i;
    }
    EXPECT_EQ(i, n);
    records.DeleteAll();
    EXPECT_EQ(RecordArena::BlocksInUse(), blocksBefore);
}

// An arena asked for a text larger than a block can take gives a field of its own.
TEST_F(RecordArenaTest, TextsLargerThanABlockGoElsewhere) {
    CMarker* lx = RecordMarker("lx");
    std::string big(RecordArena::kBlockSize, 'a');
    {
        RecordArena arena;
        CRecord* r = arena.NewRecord(arena.NewField(lx, "key"));
        r->Add(arena.NewField(lx, big, 2));
        records.Add(r);
    }
    EXPECT_EQ(std::as_const(*records.GetFirst()->GetLast()).Text(), big + "\n\n");
    records.DeleteAll();
    EXPECT_EQ(RecordArena::BlocksInUse(), blocksBefore);
    EXPECT_EQ(lx->UseCount(), 0);
}

} // namespace
} // namespace crv::test
