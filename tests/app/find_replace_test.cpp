#include "app/find_replace.h"

#include "app/view_test_support.h"
#include "engine/index_set.h"

namespace crv::test {
namespace {

class FindReplaceTest : public ViewTest {
protected:
    void Look(std::string text, bool whole = false, int mask = 3) {
        find.AddToHistory(std::move(text), "Default");
        find.matchWhole = whole;
        find.mask = mask;
    }
    // Every hit from the first record of index: "key:marker:offset".
    Strings Hits(CCrvDoc& doc, const CIndex& index) {
        CFindScope scope(find, doc.Records(), &index);
        Strings out;
        CIndexPos first = index.First();
        CFindStart start{first.Record(), first.Record()->GetFirst(), 0, first};
        scope.ForEachHit(start, [&](const CFindHit& h) {
            out.push_back(h.record->GetKey() + ":" + h.field->Marker()->Name() + ":" +
                          std::to_string(h.begin));
            return true;
        });
        return out;
    }
};

TEST_F(FindReplaceTest, SearchesFieldsOfTheLanguageOrOneMarkerInIndexOrderEachRecordOnce) {
    CCrvDoc& doc = Open("\\lx b\r\n\\ge house\r\n\\ge big house\r\n\r\n"
                        "\\lx a\r\n\\ge House\r\n\r\n\\lx house\r\n");
    Look("house");
    EXPECT_EQ(Hits(doc, doc.Records().DefaultIndex()),
              (Strings{"a:ge:0", "b:ge:0", "b:ge:4", "house:lx:0"}));
    // Indexed by gloss: record b has two entries and is still visited once.
    CIndexKeys byGe;
    byGe.priMarker = doc.Records().Markers().Search("ge");
    CIndexRef index = doc.Records().GetIndex(byGe);
    ASSERT_EQ(index->Count(), 4u);
    EXPECT_EQ(Hits(doc, *index), (Strings{"house:lx:0", "b:ge:0", "b:ge:4", "a:ge:0"}));
    find.singleField = true;
    find.field = "ge";
    EXPECT_EQ(Hits(doc, doc.Records().DefaultIndex()), (Strings{"a:ge:0", "b:ge:0", "b:ge:4"}));
    // A marker the type lacks: nothing, at once.
    find.field = "zz";
    EXPECT_TRUE(Hits(doc, doc.Records().DefaultIndex()).empty());
    find.singleField = false;
    find.AddToHistory("house", "Nowhere");
    EXPECT_TRUE(Hits(doc, doc.Records().DefaultIndex()).empty());
}

TEST_F(FindReplaceTest, FindGoesRoundFromTheStartAndBackwardWalksTheOtherWay) {
    CCrvDoc& doc = Open("\\lx a\r\n\\ge one x\r\n\r\n\\lx b\r\n\\ge x two\r\n\r\n"
                        "\\lx c\r\n\\ge three\r\n");
    Look("x");
    CIndex& index = doc.Records().DefaultIndex();
    CFindScope scope(find, doc.Records(), &index);
    CIndexPos c = index.PosAt(2);
    CRecord* a = index.PosAt(0).Record();
    // From record c, forward: round to a.
    auto hit = scope.Find({c.Record(), c.Record()->GetFirst(), 0, c}, true);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->record, a);
    // Backward from a: round to b.
    hit = scope.Find({a, a->GetFirst(), 0, index.PosAt(0)}, false);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->record->GetKey(), "b");
    // The record searched last is the start record's part before the start.
    CField* ge = a->GetLast();
    hit = scope.Find({a, ge, 6, index.PosAt(0)}, true);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->record->GetKey(), "b");
    find.singleRecord = true;
    CFindScope single(find, doc.Records(), &index);
    EXPECT_FALSE(single.Find({a, ge, 6, index.PosAt(0)}, true));
    EXPECT_TRUE(single.Find({a, ge, 6, index.PosAt(0)}, false));
}

TEST_F(FindReplaceTest, ReplaceAllStampsEachRecordItChangesAndHonoursTheFieldLimit) {
    // 31985 characters in lines the reader keeps as they are.
    std::string big;
    for (int i = 0; i < 319; ++i)
        big += std::string(99, 'y') + "\r\n";
    big += std::string(85, 'y');
    CCrvDoc& doc = Open("\\lx a\r\n\\ge house, big house\r\n\\dt 01/Jan/2000\r\n\r\n"
                        "\\lx b\r\n\\ge tree\r\n\\dt 01/Jan/2000\r\n\r\n"
                        "\\lx c\r\n\\ge " +
                        big + " house house\r\n");
    Look("house", true);
    CIndex& index = doc.Records().DefaultIndex();
    CFindScope scope(find, doc.Records(), &index);
    CIndexPos first = index.First();
    CReplaceResult r = ReplaceAll(
        doc, scope, {first.Record(), first.Record()->GetFirst(), 0, first}, "mansion", nullptr);
    // In c (31997 characters) the first replacement fits, the second would not.
    EXPECT_EQ(r.replaced, 3u);
    EXPECT_EQ(r.records, 2u);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].record->GetKey(), "c");
    EXPECT_EQ(Fields(index.PosAt(0).Record()),
              (Strings{"\\lx a", "\\ge mansion, big mansion", "\\dt 05/Mar/2024"}));
    EXPECT_EQ(Fields(index.PosAt(1).Record())[2], "\\dt 01/Jan/2000") << "unchanged: no stamp";
    EXPECT_LE(index.PosAt(2).Record()->GetLast()->Text().size(), 32000u);
    EXPECT_EQ(rec.ProgressTexts().back(), "Replacing all...");
    ShowReplaceAllMessages(r);
    EXPECT_EQ(rec.Messages(), (Strings{"Fields are limited to 32000 characters in size.",
                                       "3 occurrences were replaced."}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(FindReplaceTest, ReplacingNeverLeavesALineBeginningWithABackslash) {
    std::size_t replaced = 0, skipped = 0;
    std::vector<CTextHit> hits{{2, 5}};
    EXPECT_EQ(ReplaceHits("a\nfoo", hits, "\\x", replaced, skipped), "a\n \\x");
    EXPECT_EQ(ReplaceHits("a\nfoo\\b", hits, "", replaced, skipped), "a\n \\b");
    EXPECT_EQ(replaced, 2u);
    EXPECT_EQ(skipped, 0u);
}

TEST_F(FindReplaceTest, AnEmptyTextOrALineBreakIsNoSearch) {
    CCrvDoc& doc = Open("\\lx a\r\n");
    CFindScope none(find, doc.Records(), nullptr);
    EXPECT_EQ(none.Problem(), "There is no text to find.");
    Look("a\nb");
    CFindScope broken(find, doc.Records(), nullptr);
    EXPECT_EQ(broken.Problem(), "The text to find cannot hold a line break.");
}

} // namespace
} // namespace crv::test
