#include "corpus/corpus_scan.h"

#include "base/message_text.h"
#include "corpus/corpus_messages.h"
#include "corpus_test_support.h"

namespace crv::test {
namespace {

class CorpusScanTest : public CorpusTest {
protected:
    CorpusScanTest() : chars(*tsaloni) {}

    // Each reference of word as "book c:v@offset".
    std::vector<std::string> Refs(const CWordIndex& index, const std::string& word) {
        std::vector<std::string> out;
        const CRefList* refs = index.words.Find(word);
        if (!refs)
            return out;
        for (const CWordRef& r : refs->Unpacked())
            out.push_back(std::string(index.BookName(r.book)) + " " + std::to_string(r.chap) + ":" +
                          std::to_string(r.verse) + "@" + std::to_string(r.offset) + "#" +
                          std::to_string(r.file));
        return out;
    }
    RunStatus Update(const CCorpus& corpus, CWordIndex& index, CIndexUpdateInfo& info) {
        CCorpusScan scan(corpus, dir.Path().string(), chars);
        CRefLimitNotices notices;
        info = {};
        return UpdateWordIndex(scan, index, notices, &info);
    }

    CWordChars chars;
};

TEST_F(CorpusScanTest, ReferencesAndWordsComeFromTheirMarkersOnly) {
    std::string text = "\\_sh v3.0  400  Text\r\n\r\n"
                       "\\p kelo before any book\r\n"
                       "\\id  Kelo ne ponyu \r\n"
                       "\\c 1\r\n"
                       "\\v 1 Kelo kuru\r\n"
                       "sáwe-ko\r\n"
                       "\\ft kelo is not indexed here\r\n"
                       "\\v 2\r\n"
                       "\\q kelo\r\n"
                       "\\c -3\r\n"
                       "\\v 2-3 kelo\r\n"
                       "\\_no\r\n"
                       "kelo in a field without marker\r\n"
                       "\\c 300\r\n"
                       "\\v 999 kelo\r\n";
    WriteText("a.txt", text);
    CCorpus& corpus = MakeCorpus({"a.txt"});
    CCorpusScan scan(corpus, dir.Path().string(), chars);
    CWordIndex index;
    CRefLimitNotices notices;
    ASSERT_EQ(ScanCorpusFile(scan, 0, 4, index, notices), RunStatus::Ok);
    // Words before any book line are referred to by the file's name; a chapter line
    // starts its verses at 0; the verse number is no word; chapter and verse past 255
    // are 255, each told once.
    auto at = [&](const std::string& what, std::size_t skip) {
        return "@" + std::to_string(text.find(what) + skip) + "#4";
    };
    EXPECT_EQ(Refs(index, "kelo"), (std::vector<std::string>{
                                       "a.txt 0:0" + at("kelo before", 0),
                                       "Kelo ne ponyu 1:1" + at("Kelo kuru", 0),
                                       "Kelo ne ponyu 1:2" + at("\\q kelo", 3),
                                       "Kelo ne ponyu 3:2" + at("2-3 kelo", 4),
                                       "Kelo ne ponyu 255:255" + at("999 kelo", 4),
                                   }));
    EXPECT_EQ(Refs(index, "sáwe-ko").size(), 1u);
    EXPECT_TRUE(!index.words.Find("1"));
    EXPECT_TRUE(!index.words.Find("2-3"));
    EXPECT_TRUE(!index.words.Find("is"));
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  FormatMessage(kRefChapterLimit, {"255"}),
                                  FormatMessage(kRefVerseLimit, {"255"}),
                              }));
    // Once per run: a second file over the limits says nothing more.
    ASSERT_EQ(ScanCorpusFile(scan, 0, 5, index, notices), RunStatus::Ok);
    EXPECT_EQ(rec.Messages().size(), 2u);

    // Past 255 book names, "???".
    std::string many;
    for (int i = 0; i < 257; ++i)
        many += "\\id B" + std::to_string(i) + "\n\\v 1 kelo\n";
    WriteText("many.txt", many);
    CCorpus& other = *corpora.Add("Many", [] {
        CCorpusProperties p;
        p.langEnc = "Tsaloni";
        p.files = {"many.txt"};
        return p;
    }());
    CCorpusScan manyScan(other, dir.Path().string(), chars);
    CWordIndex manyIndex;
    ASSERT_EQ(ScanCorpusFile(manyScan, 0, 1, manyIndex, notices), RunStatus::Ok);
    EXPECT_EQ(Refs(manyIndex, "kelo").back(),
              "??? 0:1@" + std::to_string(many.rfind("kelo")) + "#1");
    EXPECT_EQ(rec.Messages().back(), FormatMessage(kRefNamesLimit, {"255"}));
}

TEST_F(CorpusScanTest, IndexIsUpdatedFileByFileAndRebuiltWhenItCannotBeUsed) {
    WriteText("a.txt", "\\id A\n\\v 1 kelo ponyu\n");
    WriteText("b.txt", "\\id B\n\\v 1 kelo\n");
    WriteText("c.txt", "\\id C\n\\v 1 ámi\n");
    CCorpus& corpus = MakeCorpus({"a.txt", "b.txt"});
    CWordIndex index;
    CIndexUpdateInfo info;
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_TRUE(info.rebuilt);
    EXPECT_EQ(info.filesRead, 2u);
    EXPECT_TRUE(info.written);
    std::string wi = dir.File("Texts.wi");
    EXPECT_TRUE(std::filesystem::exists(wi));

    // Unchanged files are not read again, and the index file is left alone.
    std::string before = ReadFileBytes(wi);
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_FALSE(info.rebuilt);
    EXPECT_EQ(info.filesRead, 0u);
    EXPECT_FALSE(info.written);
    EXPECT_EQ(ReadFileBytes(wi), before);

    // A changed file is read again under its number; a new one gets the next number; a
    // file gone from the list takes its words with it.
    WriteText("a.txt", "\\id A\n\\v 1 kelo\n", 2);
    corpus.Properties().files = {"a.txt", "c.txt"};
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_EQ(info.filesRead, 2u);
    EXPECT_EQ(Refs(index, "kelo"), std::vector<std::string>{"A 0:1@11#1"});
    EXPECT_EQ(Refs(index, "ámi"), std::vector<std::string>{"C 0:1@11#3"});
    EXPECT_TRUE(!index.words.Find("ponyu"));
    // The name of a file gone stays until the table fills.
    EXPECT_EQ(index.bookNames, (std::vector<std::string>{"A", "B", "C"}));

    // Other word markers: made again from scratch.
    corpus.Properties().wordMarkers = "\\v \\p \\tx";
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_TRUE(info.rebuilt);
    EXPECT_EQ(info.filesRead, 2u);
    EXPECT_EQ(Refs(index, "ámi"), std::vector<std::string>{"C 0:1@11#2"});

    // A file number above 900: rebuilt, the files numbered from 1 in list order.
    CWordIndex stored;
    ASSERT_TRUE(CWordIndex::Parse(ReadFileBytes(wi), stored));
    stored.files[1].number = 901;
    for (auto& [word, refs] : stored.words) {
        std::vector<CWordRef> all = refs.Unpacked();
        for (CWordRef& r : all)
            if (r.file == 2)
                r.file = 901;
        refs.Assign(all);
    }
    WriteFileBytes(wi, stored.Serialize());
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_TRUE(info.rebuilt);
    EXPECT_EQ(Refs(index, "ámi"), std::vector<std::string>{"C 0:1@11#2"});

    // A damaged file is never trusted.
    std::string bytes = ReadFileBytes(wi);
    bytes[bytes.size() / 2] ^= 1;
    WriteFileBytes(wi, bytes);
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_TRUE(info.rebuilt);
    WriteFileBytes(wi, ReadFileBytes(wi).substr(0, 100));
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_TRUE(info.rebuilt);
    EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
}

TEST_F(CorpusScanTest, FreshFilesAreReadAgainAndMissingOnesStopTheRun) {
    WriteText("a.txt", "\\v kelo\n", 0); // modified this very second
    CCorpus& corpus = MakeCorpus({"a.txt"});
    CWordIndex index;
    CIndexUpdateInfo info;
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_EQ(index.files[0].time, CWordIndex::kUnsureTime);
    ASSERT_EQ(Update(corpus, index, info), RunStatus::Ok);
    EXPECT_EQ(info.filesRead, 1u) << "a time that may hide a change is not trusted";

    corpus.Properties().files.push_back("gone.txt");
    EXPECT_EQ(Update(corpus, index, info), RunStatus::Failed);
    EXPECT_EQ(rec.Messages(),
              std::vector<std::string>{FormatMessage(kFailedToAccess, {"gone.txt"})});

    // The progress display names each file, and cancelling it stops the run.
    corpus.Properties().files = {"a.txt"};
    rec.cancelProgressAt = 0;
    EXPECT_EQ(Update(corpus, index, info), RunStatus::Cancelled);
    EXPECT_EQ(rec.ProgressTexts().back(), "Updating word list, processing a.txt...");
}

} // namespace
} // namespace crv::test
