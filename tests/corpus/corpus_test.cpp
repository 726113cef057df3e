#include "corpus/corpus.h"

#include <sstream>

#include "support/test_support.h"

namespace crv::test {
namespace {

class CorpusSettingsTest : public PlatformTest {
protected:
    bool Read(CCorpusSet& set, const std::string& text, std::string_view enclosing = {}) {
        std::istringstream in(Crlf(text));
        ObjectStream is(in);
        return set.Read(is, enclosing);
    }
    std::string Written(const CCorpusSet& set) {
        std::ostringstream out;
        ObjectStream os(out);
        set.Write(os);
        return out.str();
    }
};

TEST_F(CorpusSettingsTest, CorporaAndChoicesReadAndWriteWithUnknownEntriesKept) {
    const std::string text = "\\+CorpusSet\n"
                             "\\+Corpus Bible\n"
                             "\\lng Tsaloni\n"
                             "\\+FilesList\n"
                             "\\File gen.sfm\n"
                             "\\Future one\n"
                             "\\File exo.sfm\n"
                             "\\-FilesList\n"
                             "\\WordMarkers \\v \\p\n"
                             "\\BookMarker \\id\n"
                             "\\ChapMarker \\c\n"
                             "\\VerseMarker \\v\n"
                             "\\WordIndex bible.wi\n"
                             "\\WordListOutput words.db\n"
                             "\\NewKey value\n"
                             "\\+NewObject x\n"
                             "\\k v\n"
                             "\\-NewObject\n"
                             "\\-Corpus\n"
                             "\\+Corpus Added\n"
                             "\\-Corpus\n"
                             "\\WordLstCorpus Bible\n"
                             "\\NoWordLstCounts\n"
                             "\\NoWordLstLimitCount\n"
                             "\\WordLstMaxCount 5\n"
                             "\\ConcordanceSearch ngári\n"
                             "\\ConcordanceSearchType 7\n"
                             "\\NoConcordanceLimitCount\n"
                             "\\ConcordanceMatchCase\n"
                             "\\Unknown top\n"
                             "\\-CorpusSet\n";
    CCorpusSet set;
    ASSERT_TRUE(Read(set, text));
    CCorpus* bible = set.Find("Bible");
    ASSERT_TRUE(bible);
    const CCorpusProperties& p = bible->Properties();
    EXPECT_EQ(p.langEnc, "Tsaloni");
    EXPECT_EQ(p.files, (std::vector<std::string>{"gen.sfm", "exo.sfm"}));
    EXPECT_EQ(p.wordMarkers, "\\v \\p");
    EXPECT_EQ(p.wordIndex, "bible.wi");
    EXPECT_EQ(p.wordListOutput, "words.db");
    EXPECT_EQ(set.Find("Added")->Properties(), CCorpusProperties{}) << "defaults of a new corpus";
    EXPECT_EQ(set.WordList().corpus, "Bible");
    EXPECT_FALSE(set.WordList().counts);
    EXPECT_TRUE(set.WordList().refs);
    EXPECT_FALSE(set.WordList().limitRefs);
    EXPECT_EQ(set.WordList().maxRefs, 5);
    EXPECT_EQ(set.Concordance().kind, MatchKind::Whole) << "an unknown kind is Whole";
    EXPECT_FALSE(set.Concordance().limitMatches);
    EXPECT_EQ(set.Concordance().maxMatches, 1000);
    EXPECT_TRUE(set.Concordance().matchCase);
    EXPECT_EQ(set.Concordance().output, "lookup.db");

    std::string written = Written(set);
    EXPECT_EQ(written, Crlf("\\+CorpusSet\n"
                            "\\+Corpus Added\n\\lng Default\n\\+FilesList\n\\-FilesList\n"
                            "\\WordMarkers \\v \\q \\q2 \\m \\p\n\\BookMarker \\id\n"
                            "\\ChapMarker \\c\n\\VerseMarker \\v\n\\WordListOutput wordlist.db\n"
                            "\\-Corpus\n"
                            "\\+Corpus Bible\n\\lng Tsaloni\n\\+FilesList\n\\File gen.sfm\n"
                            "\\File exo.sfm\n\\Future one\n\\-FilesList\n\\WordMarkers \\v \\p\n"
                            "\\BookMarker \\id\n\\ChapMarker \\c\n\\VerseMarker \\v\n"
                            "\\WordIndex bible.wi\n\\WordListOutput words.db\n\\NewKey value\n"
                            "\\+NewObject x\n\\k v\n\\-NewObject\n\\-Corpus\n"
                            "\\WordLstCorpus Bible\n\\NoWordLstCounts\n\\NoWordLstLimitCount\n"
                            "\\WordLstMaxCount 5\n\\ConcordanceSearch ngári\n"
                            "\\NoConcordanceLimitCount\n\\ConcordanceMatchCase\n"
                            "\\Unknown top\n\\-CorpusSet\n"));
    CCorpusSet again;
    std::istringstream in(written);
    ObjectStream is(in);
    ASSERT_TRUE(again.Read(is));
    EXPECT_EQ(Written(again), written);
    EXPECT_TRUE(CCorpusSet().IsDefault());
    EXPECT_FALSE(again.IsDefault());
}

TEST_F(CorpusSettingsTest, MissingEndLinesEndAtTheNextCorpusOrTheProject) {
    CCorpusSet set;
    std::istringstream in(Crlf("\\+CorpusSet\n\\+Corpus A\n\\+FilesList\n\\File a.txt\n"
                               "\\+Corpus A\n\\lng X\n\\+Corpus\n\\-CrvProjectSettings\n"));
    ObjectStream is(in);
    ASSERT_TRUE(set.Read(is, "CrvProjectSettings"));
    EXPECT_EQ(set.Corpora().Count(), 3u);
    EXPECT_EQ(set.Find("A")->Properties().files, std::vector<std::string>{"a.txt"});
    EXPECT_EQ(set.Find("A2")->Properties().langEnc, "X") << "a second A is kept apart";
    EXPECT_TRUE(set.Find("added")) << "a nameless corpus gets the new name";
    EXPECT_TRUE(is.ReadMarker('-', "CrvProjectSettings")) << "the project's end line stays";

    // Renaming keeps the dialogs' last choices on the corpus; names must be new.
    set.WordList().corpus = "A";
    set.Rename(set.Find("A"), "Bible");
    EXPECT_EQ(set.WordList().corpus, "Bible");
    EXPECT_TRUE(set.CheckName("Bible", set.Find("Bible")));
    EXPECT_FALSE(set.CheckName("A2", set.Find("Bible")));
    EXPECT_FALSE(set.CheckName("", nullptr));
    EXPECT_EQ(rec.Messages().size(), 2u);
    EXPECT_EQ(MarkerNames(" \\v \\q v\n\\p "), (std::vector<std::string>{"v", "q", "p"}));
}

} // namespace
} // namespace crv::test
