#include "interlinear/lookup_proc.h"

#include "interlinear/interlinear_test_support.h"
#include "record/record.h"

namespace crv::test {
namespace {

const std::string kLexicon = "\\lx kelo\n\\ge dog\n\\ps n\n\n"
                             "\\lx kuru\n\\ge big\n\\ps adj\n\n"
                             "\\lx sáwe\n\\ge see\n\\ps v\n\n"
                             "\\lx -ko\n\\ge PAST\n\\ps sfx\n\n"
                             "\\lx ta-\n\\ge NEG\n\\ps pfx\n\n"
                             "\\lx -ne\n\\ge LOC\n\\ps sfx\n\n"
                             "\\lx nga\n\\ge I\n\n\\lx nga\n\\ge fish\n\n"
                             "\\lx mará\n\\ge water\n\n\\lx mará\n\\ge water\n\n"
                             "\\lx ósi kuru\n\\ge bonfire\n\n\\lx pe\n\\ge person\n";

std::string GlossProc(const std::string& from, const std::string& flags = "\\bShowFailMark\n") {
    return "\\+intprc Lookup\n\\From " + from + "\n\\To ge\n" + TrieText("triLook", "ge") + flags +
           "\\-intprc\n";
}

std::string ParseProc(const std::string& flags = "\\bShowFailMark\n\\bPreferSuffix\n") {
    return "\\+intprc Lookup\n\\bParseProc\n\\From tx\n\\To mb\n" + TrieText("triLook", "lx") +
           TrieText("triPref", "lx") + TrieText("triRoot", "lx") + flags + "\\-intprc\n";
}

TEST_F(InterlinearTest, LookupFillsAlignedColumnsAndWidensTheBundle) {
    Lexicon(kLexicon);
    TextType(GlossProc("tx"));
    // A capital word found in lower case, a number copied, an unknown word failed, a word
    // with an inner break not found whole, the last word reaching to the line end.
    CRecord* r = Text({{"tx", "Kelo  kuru 42 zumba sáwe-ko."}});
    InterlinearizeResult res = Run(r);
    EXPECT_TRUE(res.ran);
    EXPECT_FALSE(res.stopped);
    EXPECT_EQ(Dump(*r), "\\tx Kelo  kuru 42 zumba sáwe-ko.|\n"
                        "\\ge dog   big  42 ***   ***\n|\n");
    // An output longer than the room before the next word widens every line.
    r = Text({{"tx", "ósi kuru kelo"}});
    Run(r);
    EXPECT_EQ(Dump(*r), "\\tx ósi kuru kelo|\n\\ge bonfire  dog\n|\n");
    r = Text({{"tx", "kuru kelo"}});
    Run(r);
    EXPECT_EQ(Dump(*r), "\\tx kuru kelo|\n\\ge big  dog\n|\n");
    // A single word or phrase: the column at the caret alone, also on a new line.
    r = Text({{"tx", "kelo ósi kuru sáwe"}});
    CField* tx = r->GetNext(r->GetFirst());
    Interlinearize(*InterlinearProcsOf(*textType), *r, CRecPos(r, tx, 6), false, host, true);
    EXPECT_EQ(Dump(*r), "\\tx kelo ósi kuru sáwe|\n\\ge      bonfire\n|\n");
}

} // namespace
} // namespace crv::test
namespace crv::test {
namespace {
TEST_F(InterlinearTest, ANewBundleIsWrappedWholeByCharactersWithoutClosingSpaces) {
    Lexicon(kLexicon);
    TextType(GlossProc("tx"));
    host.wrap = 10;
    // Column 10 begins a word in both lines only when the two bytes of á count as one.
    CRecord* r = Text({{"tx", "sáwe kelo kuru sáwe"}});
    Run(r);
    EXPECT_EQ(Dump(*r), "\\tx sáwe kelo|\n\\ge see  dog\n|\n\\tx kuru sáwe|\n\\ge big  see\n|\n");
}

TEST_F(InterlinearTest, ParseCutsAffixes) {
    Lexicon(kLexicon);
    TextType(ParseProc() + GlossProc("mb"));
    CRecord* r = Text({{"tx", "ta-sáwe  kelo-ne sáweko"}});
    Run(r);
    EXPECT_EQ(Dump(*r), "\\tx ta-sáwe   kelo-ne   sáweko|\n"
                        "\\mb ta-  sáwe kelo -ne  sáwe -ko|\n"
                        "\\ge NEG- see  dog  -LOC see  -PAST\n|\n");
    // Run again at a later word: that column is done anew, the others stay.
    Run(r, 1, 13);
    EXPECT_EQ(Dump(*r), "\\tx ta-sáwe   kelo-ne   sáweko|\n"
                        "\\mb ta-  sáwe kelo -ne  sáwe -ko|\n"
                        "\\ge NEG- see  dog  -LOC see  -PAST\n|\n");
}

TEST_F(InterlinearTest, AmbiguityForcedValuesAndFailureQuestions) {
    Lexicon(kLexicon);
    TextType(GlossProc("tx", "\\bShowFailMark\n\\bInsertFail\n"));
    // Two identical results are one; two different ones are offered.
    rec.choices.push_back(1);
    CRecord* r = Text({{"tx", "mará nga"}});
    Run(r);
    EXPECT_EQ(Dump(*r), "\\tx mará  nga|\n\\ge water fish\n|\n");
    std::vector<std::string> choices;
    for (const auto& e : rec.events)
        if (e.kind == RecordingPlatform::EventKind::Choice)
            choices.push_back(e.text);
    EXPECT_EQ(choices, Strings{"Ambiguity Selection"});
    // A forced value picks without asking; one not in the lexicon is reported.
    rec.Clear();
    r = Text({{"tx", "nga{fish} nga{cat}"}});
    Run(r);
    EXPECT_EQ(Dump(*r), "\\tx nga{fish} nga{cat}|\n\\ge fish      ***\n|\n");
    EXPECT_EQ(rec.Messages(), Strings{"Forced value not in lexicon: cat"});
    // Lookup failure: Yes inserts through the view and stops; Cancel stops; lines
    // already written stay.
    rec.Clear();
    rec.answers = {Answer::Yes};
    r = Text({{"tx", "kelo zumba kuru"}});
    InterlinearizeResult res = Run(r);
    EXPECT_TRUE(res.stopped);
    EXPECT_EQ(host.jumpInserts, Strings{"zumba"});
    EXPECT_EQ(Dump(*r), "\\tx kelo zumba kuru|\n\\ge dog\n|\n");
    rec.answers = {Answer::Cancel};
    r = Text({{"tx", "zumba"}});
    EXPECT_TRUE(Run(r).stopped);
    // Cancel in the ambiguity dialog stops too.
    rec.choices.push_back(std::nullopt);
    r = Text({{"tx", "nga kelo"}});
    EXPECT_TRUE(Run(r).stopped);
}

TEST_F(InterlinearTest, CapitalsAndPunctuationKept) {
    Lexicon(kLexicon);
    TextType(GlossProc("tx", "\\bShowFailMark\n\\bKeepCap\n\\bKeepPunc\n"));
    CRecord* r = Text({{"tx", "(Kelo kuru."}});
    Run(r);
    EXPECT_EQ(Dump(*r), "\\tx (Kelo kuru.|\n\\ge (Dog  big.\n|\n");
}

TEST_F(InterlinearTest, AdaptationRunsOnlyFromTheFirstAdaptationProcess) {
    Lexicon(kLexicon);
    std::string adaptProc = "\\+intprc Lookup\n\\From ge\n\\To ps\n" + TrieText("triLook", "ps") +
                            "\\bShowFailMark\n\\bAdapt\n\\-intprc\n";
    TextType(GlossProc("tx") + adaptProc);
    CRecord* r = Text({{"tx", "kelo"}, {"ge", "dog"}});
    Run(r, 2, 0, true);
    // The normal process did not run (ge stays as typed); the adaptation one did.
    EXPECT_EQ(Dump(*r), "\\tx kelo|\n\\ge dog|\n\\ps ***\n|\n");
    // A new line adapted is first interlinearized the normal way.
    r = Text({{"tx", "kuru kelo"}});
    Run(r, 1, 0, true);
    EXPECT_EQ(Dump(*r), "\\tx kuru kelo|\n\\ge big  dog|\n\\ps ***  ***\n|\n");
}

TEST_F(InterlinearTest, WideningPastTheFieldLimitIsRefusedAndLosesNothing) {
    Lexicon(kLexicon);
    TextType(GlossProc("tx"));
    std::string text = "pe " + std::string(31995, 'x');
    CRecord* r = Text({{"tx", text}});
    InterlinearizeResult res = Run(r);
    EXPECT_TRUE(res.stopped);
    EXPECT_EQ(r->GetNext(r->GetFirst())->Text(), text);
    EXPECT_EQ(rec.Messages(), Strings{"Fields are limited to 32000 characters in size."});
}

} // namespace
} // namespace crv::test
