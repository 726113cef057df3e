#include <filesystem>

#include <gtest/gtest.h>

#include "sample_project_fixture.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

// A copy of the sample: its text type parses against two lexicons and rearranges by a
// rule file.
class CrvInterlinear : public SampleCopyTest {};

TEST_F(CrvInterlinear, JumpFindsOrInsertsAlongTheJumpPath) {
    auto found = Crv({"jump", dir.File("texts.db"), "kelo"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, dir.File("lexicon.db") + "\tkelo\n");
    // Two homonyms: the first is taken, and crv says so.
    auto two = Crv({"jump", dir.File("texts.db"), "nga"});
    EXPECT_EQ(two.out, dir.File("lexicon.db") + "\tnga\n");
    EXPECT_NE(two.err.find("crv: 2 matches; the first is taken"), std::string::npos) << two.err;
    // Not found: status 1, nothing written.
    const std::string before = ReadFileBytes(dir.File("lexicon.db"));
    EXPECT_EQ(Crv({"jump", dir.File("texts.db"), "tsíko"}).status, 1);
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.db")), before);
    // Jump Insert adds the record to the first database of the path and saves it.
    auto inserted = Crv({"jump", dir.File("texts.db"), "tsíko", "--insert"});
    EXPECT_EQ(inserted.status, 0) << inserted.err;
    EXPECT_EQ(inserted.out, dir.File("lexicon.db") + "\ttsíko\n");
    EXPECT_NE(ReadFileBytes(dir.File("lexicon.db")).find("\\lx tsíko\r\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir.File("lexicon.bak")));
    EXPECT_EQ(Crv({"jump", dir.File("texts.db")}).status, 2);
}

TEST_F(CrvInterlinear, ParsePrintsEveryAnalysis) {
    auto r = Crv({"parse", dir.File("texts.db"), "kelokelo"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "DUP- kelo\n");
    r = Crv({"parse", dir.File("texts.db"), "tsilumá"});
    EXPECT_EQ(r.out, "tsumá -il-\n");
    EXPECT_EQ(Crv({"parse", dir.File("texts.db"), "zzz"}).status, 1);
    EXPECT_EQ(Crv({"parse", dir.File("lexicon.db"), "kelo"}).status, 1);
}

TEST_F(CrvInterlinear, InterlinearizeFillsNewTextAndSavesWithABackup) {
    auto r = Crv({"interlinearize", dir.File("texts.db"), "--record", "Ta-sáwe-ko"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string text = ReadFileBytes(dir.File("texts.db"));
    EXPECT_NE(text.find("\\mb ta-  sáwe -ko   DUP-    kelo\r\n"
                        "\\ge NEG- see  -PAST INTENS- dog\r\n"
                        "\\ps pfx- v    -sfx  pfx-    n\r\n"
                        "\\lt see NEG-  -PAST dog INTENS-\r\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(fs::exists(dir.File("texts.bak")));
    // Existing bundles are left alone: a second run changes nothing.
    auto again = Crv({"interlinearize", dir.File("texts.db")});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(ReadFileBytes(dir.File("texts.db")), text);
    EXPECT_EQ(Crv({"interlinearize", dir.File("texts.db"), "--record", "none"}).status, 1);
}

} // namespace
} // namespace crv::test
