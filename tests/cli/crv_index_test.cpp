#include <gtest/gtest.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

const std::string kLexicon = "\\_sh v3.0  400  Lexicon\r\n"
                             "\r\n"
                             "\\lx dog\r\n\\ge hound\r\n\\ps n\r\n"
                             "\r\n"
                             "\\lx cat\r\n\\ge\r\n"
                             "\r\n"
                             "\\lx Bat\r\n\\ge two\r\nlines\r\n"
                             "\r\n"
                             "\\lx bat\r\n\\ge club\r\n\\ge follow\r\n\\ps v\r\n";

class CrvIndex : public ::testing::Test {
protected:
    CrvIndex() : db(dir.File("lex.db")) { WriteFileBytes(db, kLexicon); }
    ScratchDir dir;
    std::string db;
};

TEST_F(CrvIndex, ListsTheDefaultIndexAndOtherSortsWithColumns) {
    auto r = RunCrv({"-q", "list", db});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Bat\nbat\ncat\ndog\n");
    r = RunCrv({"-q", "list", db, "--by", "ge", "--columns", "lx,ps"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "*empty*\tcat\t*no field*\n"
                     "club\tbat\tv\n"
                     "follow\tbat\tv\n"
                     "hound\tdog\tn\n"
                     "two\\nlines\tBat\t*no field*\n");
    r = RunCrv({"-q", "list", db, "--by", "\\ps", "--then", "ge"});
    EXPECT_EQ(r.out, "*no field*\n*no field*\nn\nv\n");
    r = RunCrv({"-q", "list", db, "--from-end"});
    EXPECT_EQ(r.out, "dog\nBat\nbat\ncat\n");
}

TEST_F(CrvIndex, ListRefusesUnknownMarkersOrdersAndFilters) {
    auto r = RunCrv({"-q", "list", db, "--by", "zz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "crv: --by: the database has no marker \\zz\n");
    r = RunCrv({"-q", "list", db, "--order", "Nope"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no sort order named Nope"), std::string::npos);
    r = RunCrv({"-q", "list", db, "--filter", "Nouns"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "crv: --filter: the database type has no filter named Nouns\n");
    EXPECT_EQ(RunCrv({"-q", "list", db, "--columns", "lx,,ge"}).status, 2);
    EXPECT_EQ(RunCrv({"-q", "list"}).status, 2);
    EXPECT_EQ(RunCrv({"-q", "list", dir.File("missing.db")}).status, 1);
}

TEST_F(CrvIndex, FindPrintsMatchesAtALevel) {
    auto r = RunCrv({"-q", "find", db, "bat"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Bat\nbat\n");
    r = RunCrv({"-q", "find", db, "bat", "--level", "e"});
    EXPECT_EQ(r.out, "bat\n");
    r = RunCrv({"-q", "find", db, "fol", "--by", "ge"});
    EXPECT_EQ(r.out, "follow\n");
    r = RunCrv({"-q", "find", db, "fol", "--by", "ge", "--whole"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(RunCrv({"-q", "find", db, "x", "--level", "z"}).status, 2);
}

// A settings folder whose Lexicon type puts ge and ps under sn, and sorts its default
// index by lx then hm.
const std::string kLexiconType =
    "\\+DatabaseType Lexicon\r\n"
    "\\+mkrset\r\n"
    "\\lngDefault Default\r\n"
    "\\+mkr lx\r\n\\nam Lexeme\r\n\\-mkr\r\n"
    "\\+mkr hm\r\n\\nam Homonym\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
    "\\+mkr sn\r\n\\nam Sense\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
    "\\+mkr ge\r\n\\nam Gloss\r\n\\mkrOverThis sn\r\n\\-mkr\r\n"
    "\\+mkr ps\r\n\\nam Part of speech\r\n\\mkrOverThis sn\r\n\\-mkr\r\n"
    "\\-mkrset\r\n"
    "\\mkrRecord lx\r\n"
    "\\mkrSecKey hm\r\n"
    "\\-DatabaseType\r\n";

TEST_F(CrvIndex, OpensTheDatabaseWithItsTypeFromTheSettingsFolder) {
    WriteFileBytes(dir.File("lexicon.typ"), kLexiconType);
    WriteFileBytes(dir.File("senses.db"),
                   "\\_sh v3.0  400  Lexicon\r\n\r\n"
                   "\\lx tse\r\n\\hm 2\r\n\\sn 1\r\n\\ge run\r\n\\ps v\r\n"
                   "\\sn 2\r\n\\ge race\r\n\r\n"
                   "\\lx tse\r\n\\hm 1\r\n\\sn 1\r\n\\ge salt\r\n\\ps n\r\n");
    auto r =
        RunCrv({"-q", "-s", dir.Path().string(), "list", dir.File("senses.db"), "--columns", "hm"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "tse\t1\ntse\t2\n"); // by lx, then hm
    // Each gloss shows the part of speech of its own sense only.
    r = RunCrv({"-q", "-s", dir.Path().string(), "list", dir.File("senses.db"), "--by", "ge",
                "--columns", "ps"});
    EXPECT_EQ(r.out, "race\t*no field*\nrun\tv\nsalt\tn\n");
    // A header naming a type the folder lacks is refused with its message.
    WriteFileBytes(dir.File("other.db"), "\\_sh v3.0  400  Wordlist\r\n\r\n\\w a\r\n");
    r = RunCrv({"-s", dir.Path().string(), "list", dir.File("other.db")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is of database type   Wordlist,"), std::string::npos) << r.err;
}

} // namespace
} // namespace crv::test
