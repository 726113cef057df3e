#include "corpus/concordance.h"

#include <sstream>

#include "corpus_test_support.h"

namespace crv::test {
namespace {

const char* const kText = "\\id Kelo\n"
                          "\\c 1\n"
                          "\\v 1 Kelo kuru sáwe-ko ponyu.\n"
                          "\\v 2 Ponyu nyara rúma-ne, kelo ta-sáwe.\n"
                          "\\p The big Kelo Kuru\n"
                          "saw many kelos and ngári\n"
                          "\\v 3 kuru kelo\n";

class ConcordanceTest : public CorpusTest {
protected:
    ConcordanceTest() : chars(*tsaloni) {
        WriteText("a.txt", kText);
        corpus = &MakeCorpus({"a.txt"});
        scan = std::make_unique<CCorpusScan>(*corpus, dir.Path().string(), chars);
        CRefLimitNotices notices;
        EXPECT_EQ(UpdateWordIndex(*scan, index, notices), RunStatus::Ok);
    }

    // Each match as "ref|before|target|after".
    std::vector<std::string> Find(std::string search, MatchKind kind, bool matchCase = false,
                                  int max = 0) {
        std::vector<CConcordanceMatch> matches;
        CConcordanceOptions options{std::move(search), kind, matchCase, max};
        EXPECT_EQ(FindConcordance(*scan, index, options, matches), RunStatus::Ok);
        std::vector<std::string> out;
        for (const CConcordanceMatch& m : matches)
            out.push_back(ReferenceText(index, m.ref, false) + "|" + m.before + "|" + m.target +
                          "|" + m.after);
        return out;
    }
    std::vector<std::string> Targets(std::string search, MatchKind kind, bool matchCase = false) {
        std::vector<std::string> out;
        for (const std::string& m : Find(std::move(search), kind, matchCase))
            out.push_back(m.substr(0, m.find('|')) + " " +
                          m.substr(m.find('|', m.find('|') + 1) + 1,
                                   m.rfind('|') - m.find('|', m.find('|') + 1) - 1));
        return out;
    }

    CWordChars chars;
    CCorpus* corpus = nullptr;
    std::unique_ptr<CCorpusScan> scan;
    CWordIndex index;
};

TEST_F(ConcordanceTest, OccurrencesComeWithTheTextAroundThemInTheirField) {
    EXPECT_EQ(Find("KELO", MatchKind::Whole),
              (std::vector<std::string>{
                  "Kelo 1:1||Kelo|kuru sáwe-ko ponyu.",
                  "Kelo 1:2|Ponyu nyara rúma-ne,|kelo|ta-sáwe.",
                  "Kelo 1:2|The big|Kelo|Kuru saw many kelos and ngári",
                  "Kelo 1:3|kuru|kelo|",
              }));
    EXPECT_EQ(Targets("kelo", MatchKind::Whole, true),
              (std::vector<std::string>{"Kelo 1:2 kelo", "Kelo 1:3 kelo"}));
    EXPECT_EQ(Find("kelo", MatchKind::Whole, false, 2).size(), 2u);
    EXPECT_TRUE(Find("- ,", MatchKind::Whole).empty());

    // The text around is cut to whole words of at most 60 characters.
    std::string longText = "\\v 1";
    for (int i = 0; i < 30; ++i)
        longText += " word" + std::to_string(i);
    longText += " kelo";
    for (int i = 0; i < 30; ++i)
        longText += " after" + std::to_string(i);
    WriteText("a.txt", longText + "\n", 2);
    CRefLimitNotices notices;
    ASSERT_EQ(UpdateWordIndex(*scan, index, notices), RunStatus::Ok);
    std::vector<std::string> found = Find("kelo", MatchKind::Whole);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "a.txt 0:1|word22 word23 word24 word25 word26 word27 word28 word29|kelo|"
                        "after0 after1 after2 after3 after4 after5 after6 after7");
}

TEST_F(ConcordanceTest, MatchKindsCaseAndPhrases) {
    EXPECT_EQ(Targets("kel", MatchKind::Start),
              (std::vector<std::string>{"Kelo 1:1 Kelo", "Kelo 1:2 kelo", "Kelo 1:2 Kelo",
                                        "Kelo 1:2 kelos", "Kelo 1:3 kelo"}));
    EXPECT_EQ(Targets("LOS", MatchKind::End), std::vector<std::string>{"Kelo 1:2 kelos"});
    EXPECT_EQ(Targets("Elo", MatchKind::Middle).size(), 5u);
    EXPECT_EQ(Targets("Elo", MatchKind::Middle, true).size(), 0u);
    EXPECT_EQ(Targets("Kel", MatchKind::Start, true),
              (std::vector<std::string>{"Kelo 1:1 Kelo", "Kelo 1:2 Kelo"}));
    // A beginning ends between units: "n" does not begin "ngári".
    EXPECT_EQ(Targets("n", MatchKind::Start), std::vector<std::string>{"Kelo 1:2 nyara"});
    EXPECT_EQ(Targets("ng", MatchKind::Start), std::vector<std::string>{"Kelo 1:2 ngári"});

    // Phrases: the words in a row in one field, line breaks and punctuation between
    // them allowed; the kind opens the phrase's outer ends.
    EXPECT_EQ(Targets("kelo, kuru", MatchKind::Whole),
              (std::vector<std::string>{"Kelo 1:1 Kelo kuru", "Kelo 1:2 Kelo Kuru"}));
    EXPECT_EQ(Targets("kuru saw", MatchKind::Whole), std::vector<std::string>{"Kelo 1:2 Kuru saw"});
    EXPECT_TRUE(Targets("ponyu ponyu", MatchKind::Whole).empty()) << "fields are not crossed";
    EXPECT_EQ(Targets("lo ku", MatchKind::Middle),
              (std::vector<std::string>{"Kelo 1:1 Kelo kuru", "Kelo 1:2 Kelo Kuru"}));
    EXPECT_TRUE(Targets("lo ku", MatchKind::Whole).empty());
    EXPECT_EQ(Targets("big kelo ku", MatchKind::Start),
              std::vector<std::string>{"Kelo 1:2 big Kelo Kuru"});
    EXPECT_EQ(Targets("e big", MatchKind::End), std::vector<std::string>{"Kelo 1:2 The big"});
    EXPECT_TRUE(Targets("kelo kuru", MatchKind::Whole, true).empty());
}

TEST_F(ConcordanceTest, ChangedFilesAndTheDatabaseWritten) {
    // A file changed after the index was made: what no longer stands there is left out.
    std::string changed = kText;
    changed.replace(changed.find("kelo ta"), 4, "mupa");
    WriteFileBytes(dir.File("a.txt"), changed);
    EXPECT_EQ(Find("kelo", MatchKind::Whole).size(), 3u);

    std::vector<CConcordanceMatch> matches(1);
    matches[0].ref = {0, 1, 0, 2, 13};
    matches[0].target = "kelo";
    matches[0].after = "ta-sáwe.";
    std::ostringstream os;
    WriteConcordance(os, index, matches, "Concordance- Tsaloni");
    EXPECT_EQ(os.str(), "\\_sh v3.0  400  Concordance- Tsaloni\r\n\r\n\\concref Kelo 2:13\r\n"
                        "\\concrefz Kelo 002:013\r\n\\concbef\r\n\\conctar kelo\r\n"
                        "\\concaft ta-sáwe.\r\n");
}

} // namespace
} // namespace crv::test
