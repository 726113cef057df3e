// crv list --filter: a database listed through a filter of its type, found in the
// settings folder of -s.
#include <gtest/gtest.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

const std::string kType = "\\+DatabaseType Lexicon\r\n"
                          "\\+mkrset\r\n\\lngDefault Default\r\n\\mkrRecord lx\r\n\r\n"
                          "\\+mkr dt\r\n\\-mkr\r\n"
                          "\\+mkr ge\r\n\\mkrOverThis sn\r\n\\-mkr\r\n"
                          "\\+mkr lx\r\n\\-mkr\r\n"
                          "\\+mkr ps\r\n\\mkrOverThis sn\r\n\\-mkr\r\n"
                          "\\+mkr sn\r\n\\-mkr\r\n"
                          "\\-mkrset\r\n"
                          "\\+filset\r\n"
                          "\\+fil Nouns\r\n\\mkr ps\r\n\\txt n\r\n\\MatchWhole\r\n\\-fil\r\n"
                          "\\+fil Recent walking\r\n\\mkr ge\r\n\\txt walk\r\n\\fel And\r\n\\mkr "
                          "dt\r\n\\rel >\r\n\\dat 2000\r\n\\-fil\r\n"
                          "\\+fil Twins\r\n\\fel NonUnique\r\n\\-fil\r\n"
                          "\\+fil Broken\r\n\\mkr ge\r\n\\txt walk\r\n\\fel Or\r\n\\-fil\r\n"
                          "\\-filset\r\n"
                          "\\mkrRecord lx\r\n"
                          "\\-DatabaseType\r\n";

const std::string kLexicon = "\\_sh v3.0  400  Lexicon\r\n"
                             "\r\n\\lx tali\r\n\\sn 1\r\n\\ps v\r\n\\ge walk\r\n\\sn 2\r\n\\ps "
                             "n\r\n\\ge walking stick\r\n\\dt 05/Dec/1998\r\n"
                             "\r\n\\lx kamba\r\n\\ps n\r\n\\ge rope\r\n\\dt 01/Jan/2005\r\n"
                             "\r\n\\lx tali\r\n\\ps v\r\n\\ge to walk about\r\n\\dt 3/mar/01\r\n";

class CrvFilter : public ::testing::Test {
protected:
    CrvFilter() : db(dir.File("lexicon.db")) {
        WriteFileBytes(dir.File("lexicon.typ"), kType);
        WriteFileBytes(db, kLexicon);
    }
    ProgramResult List(std::vector<std::string> extra) {
        std::vector<std::string> args{"-q", "-s", dir.Path().string(), "list", db};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCrv(args);
    }
    ScratchDir dir;
    std::string db;
};

TEST_F(CrvFilter, ListThroughAFilterOfTheType) {
    auto r = List({"--filter", "Nouns"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "kamba\ntali\n");
    // Sorted by the sense, each sense is tested on its own.
    r = List({"--filter", "Nouns", "--by", "sn"});
    EXPECT_EQ(r.out, "*no field*\n2\n");
    r = List({"--filter", "Recent walking", "--columns", "dt"});
    EXPECT_EQ(r.out, "tali\t3/mar/01\n");
    r = List({"--filter", "Twins"});
    EXPECT_EQ(r.out, "tali\ntali\n");
    // The types of a project hold their filters too.
    WriteFileBytes(dir.File("p.prj"),
                   "\\+CrvProjectSettings\r\n\\ver 4.0\r\n\\-CrvProjectSettings\r\n");
    r = RunCrv({"-q", "-p", dir.File("p.prj"), "list", db, "--filter", "Nouns"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "kamba\ntali\n");
    // The type's default index without a filter.
    EXPECT_EQ(List({}).out, "kamba\ntali\ntali\n");
}

TEST_F(CrvFilter, BrokenOrUnknownFilters) {
    // A filter that does not parse is reported with the type file and is not applied.
    auto r = List({"--filter", "Broken"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(
        r.err.find("lexicon.typ, line 36:\nIn a filter: Broken Expecting a Text or Date Element"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("crv: --filter: the filter Broken cannot be applied: "), std::string::npos)
        << r.err;
    r = List({"--filter", "Verbs"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("crv: --filter: the database type has no filter named Verbs\n"),
              std::string::npos);
}

} // namespace
} // namespace crv::test
