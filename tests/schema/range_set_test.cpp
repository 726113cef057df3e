#include "schema/range_set.h"

#include "schema/marker_test_support.h"
#include "schema/range_set_check.h"
#include "schema/range_set_dialog.h"

namespace crv::test {
namespace {

const char* const kNoSpaces =
    "The field \\ps has a range set that does not allow spaces or multiple lines.\n\nDo you "
    "want to change the range set to allow spaces and multiple lines.\nIf you choose no, you "
    "must remove the spaces from this field and make it a single line.";

TEST(RangeSet, ParseTextContainsAndAdd) {
    CRangeSet set;
    set.Parse("  n\tv adj\nn  ");
    EXPECT_EQ(set.Count(), 4u); // duplicates are kept
    EXPECT_EQ(set.Text(), "adj n n v ");
    EXPECT_TRUE(set.Contains("adj"));
    EXPECT_FALSE(set.Contains("ad"));
    EXPECT_FALSE(set.Contains("N"));
    EXPECT_TRUE(set.AddElement("N"));
    EXPECT_FALSE(set.AddElement("N"));
    EXPECT_FALSE(set.AddElement(""));
    EXPECT_EQ(set.Text(), "N adj n n v ");
    EXPECT_EQ(set.Text(9), "N adj n ");
    set.Parse("");
    EXPECT_TRUE(set.IsEmpty());
    EXPECT_EQ(set.Text(), "");
}

class RangeSetTest : public MarkerTest {
protected:
    RangeSetTest() {
        set.SetRecordMarker(Make("lx", "Lexeme"));
        ps = Make("ps", "Part of speech");
        ps->RangeSet().Parse("n v");
        ps->SetRangeSetAllowsSpaces(false);
        fv = Make("fv", "Vernacular");
        fv->RangeSet().Parse("a b i k m r u");
        fv->SetRangeSetCharacters(true);
        set.SetModified(false);
    }
    CMarker *ps, *fv;
};

TEST_F(RangeSetTest, CheckAsksAboutSpacesThenMissingElements) {
    CRecord& record =
        *AddRecord(records, {{set.RecordMarker(), "kuru"}, {ps, "n  v\nadj"}, {fv, "kuru maba"}});
    // No (the default) to the spaces question: the run of white space is selected.
    auto v = CheckRecordAgainstRangeSets(record);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->field, 1u);
    EXPECT_EQ(v->span.offset, 1u);
    EXPECT_EQ(v->span.length, 2u);
    EXPECT_EQ(rec.Questions(), std::vector<std::string>{kNoSpaces});
    EXPECT_TRUE(rec.events[0].beep);
    EXPECT_EQ(rec.events[0].answer, Answer::No);
    EXPECT_FALSE(ps->RangeSetAllowsSpaces());

    // Yes allows spaces; then "adj" is missing: No selects it.
    rec.Clear();
    rec.answers = {Answer::Yes, Answer::No};
    v = CheckRecordAgainstRangeSets(record);
    ASSERT_TRUE(v);
    EXPECT_TRUE(ps->RangeSetAllowsSpaces());
    EXPECT_TRUE(set.IsModified());
    EXPECT_EQ(v->field, 1u);
    EXPECT_EQ(v->span.offset, 5u);
    EXPECT_EQ(v->span.length, 3u);
    EXPECT_EQ(rec.Questions()[1], "'adj' is not in the Range Set Definition for field "
                                  "'\\ps'.\n\nDo you want to add it?");
    EXPECT_EQ(rec.events[1].buttons, Buttons::YesNo);
    EXPECT_TRUE(rec.events[1].beep);

    // Yes adds each element and the check goes on, into the characters of \fv.
    fv->RangeSet().Parse("a b i k r");
    rec.Clear();
    rec.answers = {Answer::Yes, Answer::Yes, Answer::No};
    v = CheckRecordAgainstRangeSets(record);
    ASSERT_TRUE(v);
    EXPECT_TRUE(ps->RangeSet().Contains("adj"));
    EXPECT_TRUE(fv->RangeSet().Contains("u"));
    EXPECT_EQ(v->field, 2u);
    EXPECT_EQ(v->span.offset, 5u); // "m"; the space is no element
    EXPECT_EQ(v->span.length, 1u);
    EXPECT_EQ(rec.Questions(),
              (std::vector<std::string>{"'adj' is not in the Range Set Definition for field "
                                        "'\\ps'.\n\nDo you want to add it?",
                                        "'u' is not in the Range Set Definition for field "
                                        "'\\fv'.\n\nDo you want to add it?",
                                        "'m' is not in the Range Set Definition for field "
                                        "'\\fv'.\n\nDo you want to add it?"}));
    // Once everything is added the record passes without a question.
    rec.Clear();
    rec.answers = {Answer::Yes};
    EXPECT_FALSE(CheckRecordAgainstRangeSets(record));
    rec.Clear();
    EXPECT_FALSE(CheckRecordAgainstRangeSets(record));
    EXPECT_TRUE(rec.events.empty());
}

TEST_F(RangeSetTest, EmptyRangeSetChecksNothing) {
    CMarker* ge = Make("ge");
    ge->SetRangeSetAllowsSpaces(false);
    CRecord& record = *AddRecord(records, {{set.RecordMarker(), "x"}, {ge, "any thing\nat all"}});
    EXPECT_FALSE(CheckRecordAgainstRangeSets(record));
    EXPECT_TRUE(rec.events.empty());
}

TEST_F(RangeSetTest, DialogRules) {
    EXPECT_EQ(RangeSetDialogTitle(*ps), "&Range Set for \\ps  Part of speech");

    EXPECT_FALSE(AskDeleteRangeSetOnModeSwitch(" \n "));
    EXPECT_TRUE(rec.events.empty());
    rec.answers = {Answer::Yes, Answer::No};
    EXPECT_TRUE(AskDeleteRangeSetOnModeSwitch("n v"));
    EXPECT_FALSE(AskDeleteRangeSetOnModeSwitch("n v"));
    EXPECT_EQ(rec.Questions()[0],
              "You have changed whether the elements of this range set will be whole words or "
              "characters.\n\nThe existing contents of the range set may not be correct for this "
              "kind of elements.\n\nDo you want to delete the contents?");

    rec.Clear();
    EXPECT_FALSE(ValidateRangeSetText("a b c\nd", true));
    EXPECT_FALSE(ValidateRangeSetText("adj n v", false));
    EXPECT_TRUE(rec.events.empty());
    auto marked = ValidateRangeSetText("a b cd e", true);
    ASSERT_TRUE(marked);
    EXPECT_EQ(marked->offset, 4u);
    EXPECT_EQ(marked->length, 2u);
    marked = ValidateRangeSetText("n v adj v", false);
    ASSERT_TRUE(marked);
    EXPECT_EQ(marked->offset, 8u);
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{"Characters should be separated by spaces.",
                                        "The marked element occurs multiple times."}));
}

TEST_F(RangeSetTest, BuildFromTheDataOfEveryOpenDatabase) {
    CMarker* lx = set.RecordMarker();
    CRecordList first, second;
    AddRecord(first, {{lx, "a"}, {ps, "n"}, {ps, "adv"}});
    AddRecord(first, {{lx, "b"}, {ps, "v\nadv"}});
    AddRecord(second, {{lx, "c"}, {fv, "prep"}});
    AddRecord(second, {{lx, "d"}, {ps, "prep"}});
    std::vector<const CRecordList*> lists{&first, &second};

    ps->RangeSet().Parse("n n pro v");
    RangeSetBuildSummary s = BuildRangeSetFromData(*ps, ps->RangeSet(), false, lists);
    EXPECT_EQ(s.added, 2u);    // adv, prep
    EXPECT_EQ(s.notFound, 1u); // pro
    EXPECT_EQ(s.total, 6u);
    EXPECT_EQ(ps->RangeSet().Text(), "adv n n prep pro v ");
    EXPECT_EQ(rec.ProgressTexts(), std::vector<std::string>{"Building Range Set for \\ps"});
    EXPECT_EQ(rec.Messages(), std::vector<std::string>{"Summary of range set elements.\n"
                                                       "Total number:  6\nNewly added:  2\n"
                                                       "Not found in the data:  1\n"});

    CRangeSet chars;
    s = BuildRangeSetFromData(*fv, chars, true, lists);
    EXPECT_EQ(chars.Text(), "e p r ");
    EXPECT_EQ(s.added, 3u);
}

} // namespace
} // namespace crv::test
