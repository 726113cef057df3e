#include "corpus/corpus_dialogs.h"

#include "base/message_text.h"
#include "corpus/corpus_messages.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

class CorpusDialogsTest : public PlatformTest {
protected:
    CorpusDialogsTest() {
        CCorpusProperties props;
        props.files = {"a.txt"};
        props.wordListOutput = "bible-words.db";
        set.Add("Bible", props);
        set.Add("Stories", {});
    }
    CCorpusSet set;
};

TEST_F(CorpusDialogsTest, WordListAndConcordanceRefuseWhatCannotRunAndKeepTheirChoices) {
    CWordListDialog words(set);
    EXPECT_EQ(words.CorpusNames(), (std::vector<std::string>{"Bible", "Stories"}));
    EXPECT_EQ(words.corpus, "");
    EXPECT_FALSE(words.Confirm());
    words.ChooseCorpus("Bible");
    EXPECT_EQ(words.output, "bible-words.db");
    words.output = " ";
    EXPECT_FALSE(words.Confirm());
    words.output = "w.db";
    words.maxRefs = 0;
    EXPECT_FALSE(words.Confirm());
    words.limitRefs = false;
    words.counts = false;
    EXPECT_TRUE(words.Confirm());
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{std::string(kSelectCorpus), std::string(kNameOutput),
                                        std::string(kReferencesAboveZero)}));
    EXPECT_EQ(set.Find("Bible")->Properties().wordListOutput, "w.db");
    EXPECT_EQ(words.Options().maxRefs, 0);
    CWordListDialog again(set);
    EXPECT_EQ(again.corpus, "Bible");
    EXPECT_EQ(again.output, "w.db");
    EXPECT_FALSE(again.counts);

    rec.Clear();
    CConcordanceDialog conc(set);
    EXPECT_EQ(conc.kind, MatchKind::Whole);
    EXPECT_EQ(conc.output, "lookup.db");
    EXPECT_EQ(conc.maxMatches, 1000);
    EXPECT_FALSE(conc.Confirm());
    conc.corpus = "Stories";
    conc.output.clear();
    EXPECT_FALSE(conc.Confirm());
    conc.output = "l.db";
    EXPECT_FALSE(conc.Confirm());
    conc.search = "kelo kuru";
    conc.maxMatches = 0;
    EXPECT_FALSE(conc.Confirm());
    conc.maxMatches = 5;
    conc.kind = MatchKind::End;
    EXPECT_TRUE(conc.Confirm());
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  std::string(kSelectCorpus), std::string(kNameOutput),
                                  std::string(kEnterSearch), std::string(kMatchesAboveZero)}));
    EXPECT_EQ(set.Concordance().search, "kelo kuru");
    EXPECT_EQ(set.Concordance().kind, MatchKind::End);
    EXPECT_EQ(conc.Options().maxMatches, 5);
    EXPECT_EQ(CConcordanceDialog::Kinds().size(), 4u);
}

TEST_F(CorpusDialogsTest, CorporaAreAddedCopiedModifiedAndDeletedThroughTheirProperties) {
    std::vector<std::function<bool(CCorpusPropertiesDialog&)>> steps;
    CCorpusListDialog list(set, {"Default", "Tsaloni"}, [&](CCorpusPropertiesDialog& d) {
        if (steps.empty())
            return false;
        auto step = steps.front();
        steps.erase(steps.begin());
        return step(d);
    });

    // Add: the new name and defaults; OK without files is refused and the sheet stays.
    steps.push_back([](CCorpusPropertiesDialog& d) {
        EXPECT_EQ(d.name, "added");
        EXPECT_EQ(d.LangEncNames().size(), 2u);
        return true;
    });
    steps.push_back([](CCorpusPropertiesDialog& d) {
        CFilesListEditor files = d.EditFiles();
        files.chosen = {"b.txt", "c.txt"};
        files.Last();
        files.chosen = {"a.txt"};
        files.First();
        files.selected = 2;
        files.chosen = {"b2.txt"};
        files.Insert();
        files.chosen = {"a.txt"};
        files.Last(); // listed once: moved
        EXPECT_EQ(files.Files(), (std::vector<std::string>{"b.txt", "b2.txt", "c.txt", "a.txt"}));
        files.selected = 1;
        files.Remove();
        d.TakeFiles(files);
        d.name = "New";
        d.props.langEnc = "Tsaloni";
        d.props.wordMarkers = "v \\tx  \\v";
        d.props.bookMarker = "id x";
        return true;
    });
    CCorpus* added = list.Add();
    ASSERT_TRUE(added);
    EXPECT_EQ(added->Name(), "New");
    EXPECT_EQ(added->Properties().files, (std::vector<std::string>{"b.txt", "c.txt", "a.txt"}));
    EXPECT_EQ(added->Properties().wordMarkers, "\\v \\tx");
    EXPECT_EQ(added->Properties().bookMarker, "\\id");
    EXPECT_EQ(rec.Messages(), std::vector<std::string>{std::string(kNeedFiles)});

    // Cancel adds nothing; a copy gets a new name and its own index.
    EXPECT_FALSE(list.Add());
    set.Find("Bible")->Properties().wordIndex = "bible.wi";
    steps.push_back([](CCorpusPropertiesDialog& d) {
        EXPECT_EQ(d.name, "Bible2");
        return true;
    });
    CCorpus* copy = list.Copy("Bible");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Properties().files, std::vector<std::string>{"a.txt"});
    EXPECT_EQ(copy->Properties().wordIndex, "");

    // Modify: a name in use is refused.
    rec.Clear();
    steps.push_back([](CCorpusPropertiesDialog& d) {
        d.name = "Bible";
        return true;
    });
    steps.push_back([](CCorpusPropertiesDialog& d) {
        d.name = "Bible 2";
        return true;
    });
    EXPECT_TRUE(list.Modify("Bible2"));
    EXPECT_EQ(rec.Messages().size(), 1u);
    EXPECT_TRUE(set.Find("Bible 2"));

    // Delete asks; No keeps it.
    EXPECT_FALSE(list.Delete("Bible 2"));
    EXPECT_EQ(rec.Questions().back(), FormatMessage(kDeleteCorpus, {"Bible 2"}));
    rec.answers.push_back(Answer::Yes);
    EXPECT_TRUE(list.Delete("Bible 2"));
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Bible", "New", "Stories"}));
}

} // namespace
} // namespace crv::test
