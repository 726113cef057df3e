#include "interlinear/interlinear_proc.h"

#include "interlinear/interlinear_test_support.h"
#include "record/record.h"

namespace crv::test {
namespace {

TEST_F(InterlinearTest, QuickSetupAddsProcessesThatRunAndDeleteAsks) {
    Lexicon("\\lx kelo\n\\ge dog\n\\ps n\n\n\\lx -ne\n\\ge LOC\n\\ps sfx\n");
    CInterlinearProcList& list = TextType("");
    CQuickSetup setup;
    setup.textMarker = "tx";
    setup.morphemeMarker = "mb";
    setup.glossMarker = "ge";
    std::string error;
    EXPECT_FALSE(ApplyQuickSetup(list, setup, error)); // no lexicon chosen
    EXPECT_FALSE(error.empty());
    setup.lexicons = {"lex.db"};
    setup.lexiconType = "Lexicon";
    ASSERT_TRUE(ApplyQuickSetup(list, setup, error)) << error;
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.GetFirst()->GetKind(), CInterlinearProc::Kind::Parse);
    EXPECT_TRUE(M("tx")->InterlinearFlags() & CMarker::kInterlinearTextLine);
    CRecord* r = Text({{"tx", "kelone"}});
    Run(r);
    EXPECT_EQ(Dump(*r), "\\tx kelone|\n\\mb kelo -ne|\n\\ge dog  -LOC\n|\n");
    // Spell check stops at the first word neither looked up nor parsed.
    CRecord* s = Text({{"tx", "kelo kelone zumba"}});
    std::vector<CRecord*> all{s};
    // From the text line on (the record's name line is in the same encoding here).
    CRecPos from(s, s->GetNext(s->GetFirst()), 0);
    auto hit = SpellCheck(list, all, 0, from, host);
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->start.Offset(), 12);
    EXPECT_EQ(hit->end.Offset(), 17);
    s->GetNext(s->GetFirst())->SetText("kelo");
    EXPECT_FALSE(SpellCheck(list, all, 0, from, host).has_value());
    EXPECT_EQ(rec.Messages().back(), "Spell Check is complete");
    // Delete asks; No keeps the process.
    rec.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(list.DeleteProc(list.GetLast()));
    EXPECT_TRUE(list.DeleteProc(list.GetLast()));
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(rec.Questions().back(), "Do you want to delete the interlinear process?");
}

} // namespace
} // namespace crv::test
