#include "interlinear/lexicon_trie.h"

#include "interlinear/interlinear_test_support.h"
#include "interlinear/rearrange_proc.h"
#include "record/record.h"
#include "schema/marker_test_support.h"

namespace crv::test {
namespace {

std::string ParseProc(const std::string& flags) {
    return "\\+intprc Lookup\n\\bParseProc\n\\From tx\n\\To mb\n" + TrieText("triLook", "lx") +
           TrieText("triPref", "lx") + TrieText("triRoot", "lx") + flags + "\\-intprc\n";
}

CLookupProc& First(CInterlinearProcList& procs) {
    return static_cast<CLookupProc&>(*procs.GetFirst());
}

TEST_F(InterlinearTest, KeysEnterTheIndexOfTheirAffixShape) {
    Lexicon("\\lx ta-\n\n\\lx -ko\n\n\\lx -um-\n\n\\lx sawe\n\n\\lx -\n\n\\lx\n");
    CLookupProc& p = First(TextType(ParseProc("")));
    p.EnsureBuilt(dbs);
    auto keys = [&](int k) { return p.Trie(k).KeyCount(); };
    // The lookup index takes every key; a key of break characters alone, or empty, none.
    EXPECT_EQ(keys(CLexiconTrie::kLookup), 4u);
    EXPECT_EQ(keys(CLexiconTrie::kPrefix), 1u);
    EXPECT_EQ(keys(CLexiconTrie::kRoot), 1u);
    EXPECT_EQ(keys(CLexiconTrie::kSuffix), 1u);
    EXPECT_EQ(keys(CLexiconTrie::kInfix), 1u);
    EXPECT_EQ(p.Trie(CLexiconTrie::kSuffix).Find("saweko", 0).front().length, 2u);
}

TEST_F(InterlinearTest, ParserStripsAffixesInfixesAndReduplication) {
    CIndexSet& lex = Lexicon("\\lx ta-\n\\lx NEG-\n\n\\lx -ko\n\n\\lx -ne\n\n\\lx sawe\n\n"
                             "\\lx -um-\n\n\\lx [.]-\n\\ge DUP\n\n\\lx kelo\n");
    std::string proc = "\\+intprc Lookup\n\\bParseProc\n\\From tx\n\\To mb\n" +
                       TrieText("triPref", "ge") + TrieText("triRoot", "lx") +
                       "\\bShowFailMark\n\\bPreferSuffix\n\\-intprc\n";
    CLookupProc& p = First(TextType(proc));
    p.EnsureBuilt(dbs);
    bool cyclic = false;
    EXPECT_EQ(p.ParseWord("tasaweko", false, cyclic), Strings{"ta- sawe -ko"});
    EXPECT_EQ(p.ParseWord("sumawe", false, cyclic), Strings{"sawe -um-"});
    EXPECT_EQ(p.ParseWord("kelokelo", false, cyclic), Strings{"DUP kelo"});
    EXPECT_TRUE(p.ParseWord("zumba", false, cyclic).empty());
    // A root guess: one affix off, the rest guessed.
    p.showRootGuess = true;
    EXPECT_EQ(p.ParseWord("zumbako", true, cyclic), Strings{"***zumba -ko"});
    // The trie follows an edited lexicon record.
    CRecord* kelo = lex.Records().GetLast();
    kelo->GetFirst()->SetText("zumba");
    lex.RecordChanged(kelo);
    EXPECT_EQ(p.ParseWord("zumbane", false, cyclic), Strings{"zumba -ne"});
    EXPECT_TRUE(p.ParseWord("kelone", false, cyclic).empty());
}

TEST_F(InterlinearTest, CyclicMorphophonemicFormIsReportedOnce) {
    Lexicon("\\lx a-\n\\ge +a\n\n\\lx sawe\n");
    std::string proc = "\\+intprc Lookup\n\\bParseProc\n\\From tx\n\\To mb\n" +
                       TrieText("triPref", "ge") + TrieText("triRoot", "ge") +
                       "\\bPreferPrefix\n\\-intprc\n";
    CLookupProc& p = First(TextType(proc));
    p.EnsureBuilt(dbs);
    bool cyclic = false;
    EXPECT_TRUE(p.ParseWord("abc", false, cyclic).empty());
    EXPECT_TRUE(cyclic);
    EXPECT_EQ(rec.Messages(), Strings{"Morphophonemic form gives cyclical pattern abc"});
}

TEST_F(InterlinearTest, LexiconClosingEmptiesTheIndexes) {
    CLookupProc& p = First(TextType(ParseProc("")));
    // Built before the lexicon was open, the index takes it in once it is.
    p.EnsureBuilt(dbs);
    EXPECT_TRUE(p.Trie(CLexiconTrie::kRoot).IsEmpty());
    Lexicon("\\lx sawe\n");
    p.EnsureBuilt(dbs);
    EXPECT_FALSE(p.Trie(CLexiconTrie::kRoot).IsEmpty());
    lexicons.clear();
    dbs.sets.clear();
    EXPECT_FALSE(p.Trie(CLexiconTrie::kRoot).IsBuilt());
    EXPECT_TRUE(p.Trie(CLexiconTrie::kRoot).IsEmpty());
}

TEST_F(InterlinearTest, ProcessListReadsAndWritesWithUnknownEntriesKept) {
    const std::string procs = "\\fglst [\n\\fglend ]\n\\mbnd =\n\\mbrks -=\n"
                              "\\+intprc Lookup\n\\bParseProc\n\\From tx\n\\To mb\n" +
                              TrieText("triLook", "lx") +
                              "\\bShowFailMark\n\\bPreferSuffix\n"
                              "\\zNewer 1\n\\-intprc\n"
                              "\\+intprc Given\n\\From mb\n\\To nt\n\\-intprc\n"
                              "\\+intprc Lookup\n\\From tx\n\\-intprc\n"
                              "\\+intprc Future\n\\From tx\n\\To zz\n\\-intprc\n"
                              "\\+intprc Rearrange\n\\From ge\n\\To fr\n\\PSFrom ps\n"
                              "\\+drflst\n\\+drf\n\\File rules.db\n\\zKeep\n\\-drf\n\\-drflst\n"
                              "\\bAdapt\n\\-intprc\n";
    CInterlinearProcList& list = TextType(procs);
    // The process without a To line is gone; the unknown kind is kept.
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.MorphemeBreaks(), "-=");
    EXPECT_EQ(list.ForcedGlossStart(), '[');
    EXPECT_TRUE(M("mb")->InterlinearFlags() & CMarker::kInterlinearLine);
    EXPECT_TRUE(M("tx")->InterlinearFlags() & CMarker::kInterlinearTextLine);
    EXPECT_TRUE(M("nt")->InterlinearFlags() & CMarker::kInterlinearLine);
    std::ostringstream out;
    ObjectStream os(out);
    list.Write(os);
    std::string written = out.str();
    for (const char* kept : {"\\zNewer 1", "\\+intprc Future", "\\zKeep", "\\PSFrom ps",
                             "\\File lex.db", "\\bShowFailMark", "\\bAdapt"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept << "\n" << written;
    // Written again from what it wrote, the list is the same.
    std::string again;
    {
        auto& second = TextType(written.substr(
            written.find('\n') + 1, written.rfind("\\-intprclst") - written.find('\n') - 1));
        std::ostringstream o2;
        ObjectStream os2(o2);
        second.Write(os2);
        again = o2.str();
    }
    EXPECT_EQ(again, written);
}

TEST_F(InterlinearTest, RearrangeAndGenerateRules) {
    CLangEncSet& enc = encodings;
    (void)enc;
    CMarkerSet markers(&encodings);
    CMarker* ru = AddMarker(markers, "ru");
    markers.SetRecordMarker(ru);
    CMarker* def = AddMarker(markers, "def");
    CRecord record(new CField(ru, "[Adj*] [N]\n[N] [Adj*]"));
    record.Add(new CField(def, "N\ndog\nbird"));
    record.Add(new CField(def, "Adj\nadj"));
    record.Add(new CField(def, "Loop\nLoop x"));
    record.Add(new CField(def, "Empty"));
    record.Add(new CField(ru, "[Loop]\nnever"));
    record.Add(new CField(ru, "[Empty]\nnever"));
    CRearrangeRules rules;
    rules.Load(record, ru, def);
    std::vector<CRearrangeRules::Token> tokens = {
        {"big", "adj"}, {"black", "adj"}, {"dog", "n"}, {"runs", "v"}};
    std::size_t consumed = 0;
    // Adjectives named only on the part-of-speech line, repeated by the star.
    EXPECT_EQ(rules.Rearrange(tokens, 0, consumed), "dog big black");
    EXPECT_EQ(consumed, 3u);
    EXPECT_EQ(rules.Rearrange(tokens, 3, consumed), "");
    EXPECT_EQ(consumed, 0u);
    EXPECT_EQ(rec.Messages(), (Strings{"Loop is left recursive, and will not match.",
                                       "Definition Empty has no content."}));
    // Generate: rewrite rules, double spaces made single, boundaries and breaks taken out.
    CRecord gen(new CField(ru, "[V] -ko\n[V]ko"));
    gen.Add(new CField(def, "V\nsawe\nkelo"));
    CRearrangeRules g;
    g.Load(gen, ru, def);
    CInterlinearProcList list;
    CRearrangeProc proc(&list, true);
    EXPECT_EQ(proc.GenerateText("ta-  sawe -ko", g), "ta saweko");
}

TEST_F(InterlinearTest, MissingRuleFileIsReported) {
    std::string procs = "\\+intprc Rearrange\n\\From tx\n\\To fr\n\\+drflst\n\\+drf\n\\File "
                        "nowhere.db\n\\-drf\n\\-drflst\n\\bAdapt\n\\-intprc\n";
    TextType(procs);
    CRecord* r = Text({{"tx", "kelo"}});
    Run(r);
    EXPECT_EQ(rec.Messages(), Strings{"Rearrangement rule file nowhere.db not found."});
    EXPECT_EQ(Dump(*r), "\\tx kelo|\n");
}

} // namespace
} // namespace crv::test
