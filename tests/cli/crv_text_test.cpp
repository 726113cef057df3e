// crv text find, text replace and reshape, with the settings of -s.
#include <gtest/gtest.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

const char* const kLexiconType =
    "\\+DatabaseType Lexicon\r\n\\ver 4.0\r\n\\+mkrset\r\n\\lngDefault Default\r\n"
    "\\mkrRecord lx\r\n\r\n\\+mkr lx\r\n\\lng Default\r\n\\-mkr\r\n"
    "\\+mkr ge\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
    "\\+mkr dt\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
    "\\-mkrset\r\n\\mkrRecord lx\r\n\\mkrDateStamp dt\r\n\\-DatabaseType\r\n";

const char* const kRecords = "\\_sh v3.0  96   Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
                             "\\lx b\r\n\\ge big House\r\nhouses\r\n\\dt 01/Jan/2000\r\n\r\n"
                             "\\lx a\r\n\\ge house\r\n\\dt 01/Jan/2000\r\n\r\n"
                             "\\lx house\r\n\\ge tree\r\n";

class CrvText : public ::testing::Test {
protected:
    CrvText() {
        WriteFileBytes(settings.File("Lexicon.typ"), kLexiconType);
        WriteFileBytes(db, kRecords);
    }
    ProgramResult Crv(std::vector<std::string> args) {
        args.insert(args.begin(), {"-s", settings.Path().string()});
        return RunCrv(args);
    }

    ScratchDir settings;
    ScratchDir dir;
    std::string db = dir.File("lex.db");
};

TEST_F(CrvText, FindListsEveryHitInSearchOrder) {
    auto r = Crv({"text", "find", db, "house"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "a\t\\ge\t0\thouse\n"
                     "b\t\\ge\t4\tbig House\n"
                     "b\t\\ge\t10\thouses\n"
                     "house\t\\lx\t0\thouse\n");
    r = Crv({"text", "find", db, "house", "--whole-word", "--field", "ge", "--level", "e"});
    EXPECT_EQ(r.out, "a\t\\ge\t0\thouse\n");
    r = Crv({"text", "find", db, "house", "--backward", "--by", "ge"});
    EXPECT_EQ(r.out, "house\t\\lx\t0\thouse\na\t\\ge\t0\thouse\nb\t\\ge\t10\thouses\n"
                     "b\t\\ge\t4\tbig House\n");
    r = Crv({"text", "find", db, "house", "--record-only", "b"});
    EXPECT_EQ(r.out, "b\t\\ge\t4\tbig House\nb\t\\ge\t10\thouses\n");
    r = Crv({"text", "find", db, "boat"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Not found: boat\n\n");
}

TEST_F(CrvText, BadInputIsRefusedAndLeavesTheFileAlone) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    std::vector<Case> cases = {
        {{"text", "find", db, ""}, "crv: the text to find is empty\n"},
        {{"text", "find", db, "a\nb"}, "crv: the text to find cannot hold a line break\n"},
        {{"text", "replace", db, "a", "b\nc"}, "crv: the replacement cannot hold a line break\n"},
        {{"text", "find", db, "a", "--field", "zz"},
         "crv: --field: the database has no marker \\zz\n"},
        {{"text", "find", db, "a", "--lang", "Klingon"},
         "crv: --lang: the database type has no marker in the language Klingon\n"},
        {{"text", "replace", db, "a", "b", "--filter", "none"},
         "crv: --filter: the database type has no filter named none\n"},
        {{"text", "find", db, "a", "--record-only", "zz"},
         "crv: --record-only: no record of the index has the key zz\n"},
    };
    for (const Case& c : cases) {
        auto r = Crv(c.args);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(Crv({"text", "find", db, "a", "--field", "ge", "--lang", "Default"}).status, 2);
    EXPECT_EQ(Crv({"reshape", db, "--margin", "0"}).status, 2);
    EXPECT_EQ(ReadFileBytes(db), kRecords);
    EXPECT_FALSE(std::filesystem::exists(dir.File("lex.bak")));
}

TEST_F(CrvText, ReplaceStampsWhatItChangesAndSavesWithABackup) {
    auto r = Crv({"text", "replace", db, "house", "home", "--field", "ge"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "3 occurrences were replaced.\n\n");
    std::string today = ReadFileBytes(db).substr(ReadFileBytes(db).find("\\dt ") + 4, 11);
    EXPECT_NE(today, "01/Jan/2000");
    EXPECT_EQ(ReadFileBytes(db), "\\_sh v3.0  96   Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
                                 "\\lx a\r\n\\ge home\r\n\\dt " +
                                     today +
                                     "\r\n\r\n"
                                     "\\lx b\r\n\\ge big home\r\nhomes\r\n\\dt " +
                                     today +
                                     "\r\n\r\n"
                                     "\\lx house\r\n\\ge tree\r\n");
    EXPECT_EQ(ReadFileBytes(dir.File("lex.bak")), kRecords);
    r = Crv({"text", "replace", db, "palace", "x"});
    EXPECT_EQ(r.status, 1) << "nothing replaced, nothing saved";
    EXPECT_EQ(r.err, "0 occurrences were replaced.\n\n");
}

TEST_F(CrvText, ReplacementsThatWouldPassTheFieldLimitAreLeftOutAndReported) {
    std::string big;
    for (int i = 0; i < 319; ++i)
        big += std::string(99, 'y') + "\r\n";
    big += std::string(92, 'y') + " x x"; // 31996 characters
    WriteFileBytes(db, "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n\\ge " + big + "\r\n");
    auto r = Crv({"text", "replace", db, "x", "wide"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Fields are limited to 32000 characters in size.\n\n"
                     "1 occurrences were replaced.\n\n"
                     "crv: left as it was in a \\ge: the field would pass 32000 characters\n");
    std::string after = ReadFileBytes(db);
    EXPECT_NE(after.find(" wide x\r\n"), std::string::npos);
}

TEST_F(CrvText, ReshapeAsksThenFormatsEveryRecordAtTheMargin) {
    WriteFileBytes(db, "\\_sh v3.0  96   Lexicon\r\n\r\n\\lx a\r\n\\ge one two three\r\n\r\n"
                       "\\lx b\r\n\\ge short\r\n");
    std::string before = ReadFileBytes(db);
    auto r = Crv({"--no", "reshape", db});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Do you really want to do this?\n-> No\n"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(db), before);
    r = Crv({"reshape", db});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string after = ReadFileBytes(db);
    EXPECT_NE(after.find("\\ge one two\r\nthree\r\n\\dt "), std::string::npos) << after;
    EXPECT_TRUE(after.ends_with("\\lx b\r\n\\ge short\r\n")) << "b is unchanged";
    EXPECT_EQ(ReadFileBytes(dir.File("lex.bak")), before);
    r = Crv({"reshape", db, "--margin", "400"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadFileBytes(db).find("\\ge one two three\r\n"), std::string::npos);
}

} // namespace
} // namespace crv::test
