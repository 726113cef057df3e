#include <filesystem>

#include <gtest/gtest.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

// An encoding with a digraph, a trigraph, a preceding accent, a following length mark,
// an ignored hyphen and an undefined full stop.
const char* const kMiniLng = "\\+LanguageEncoding Mini\r\n"
                             "\\case A a\r\nCH ch\r\n"
                             "\\+srtset\r\n"
                             "\\+srt Main\r\n"
                             "\\primary a A\r\nb\r\nc\r\nch CH\r\nchh\r\nz\r\n"
                             "\\SecPreceding `\r\n"
                             "\\SecFollowing :\r\n"
                             "\\ignore -\r\n"
                             "\\-srt\r\n"
                             "\\+srt Bytes\r\n\\SkipSeq\r\n\\-srt\r\n"
                             "\\srtDefault Main\r\n"
                             "\\-srtset\r\n"
                             "\\-LanguageEncoding\r\n";

class CrvLang : public ::testing::Test {
protected:
    CrvLang() { WriteFileBytes(dir.File("mini.lng"), kMiniLng); }
    ProgramResult Crv(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"-s", dir.Path().string()});
        return RunCrv(args, input);
    }
    ScratchDir dir;
};

TEST_F(CrvLang, ListsEncodingsWithUnitsAndSortOrders) {
    auto r = Crv({"lang", "list"});
    EXPECT_EQ(r.status, 0) << r.err;
    // Default was created beside Mini; Mini has the four initial units and 11 of its own.
    EXPECT_EQ(r.out, "Default\t85\tDefault\nMini\t15\tMain\tBytes\n");
    EXPECT_TRUE(std::filesystem::exists(dir.File("Default.lng")));
}

TEST_F(CrvLang, UnitsKeysAndComparisons) {
    EXPECT_EQ(Crv({"units", "Mini", "chhachx"}).out, "chh a ch x\n");
    EXPECT_EQ(Crv({"units", "Mini", "a b"}).out, "a   b\n");
    // Codes: 0x1A 2, space 3, tab 4, LF 5, then A a CH ch from the case text, b c chh z ` : -.
    EXPECT_EQ(Crv({"key", "Mini", "  ach b\nnext"}).out, "07 09 03 0b\n");
    EXPECT_EQ(Crv({"key", "Mini", "--from-end", "ach"}).out, "09 07\n");
    EXPECT_EQ(Crv({"key", "Mini", "--max", "2", "abc"}).out, "07 0b (failed)\n");
    EXPECT_EQ(Crv({"key", "Mini", "--max", "2", "--from-end", "abc"}).out, " (failed)\n");
    EXPECT_EQ(Crv({"key", "Mini", "--order", "Bytes", "ab"}).out, "61 62\n");

    EXPECT_EQ(Crv({"compare", "Mini", "a", "A"}).out, "-1\n");
    EXPECT_EQ(Crv({"compare", "Mini", "--level", "c", "a", "A"}).out, "0\n");
    EXPECT_EQ(Crv({"compare", "Mini", "--level", "p", "a:", "a"}).out, "0\n");
    EXPECT_EQ(Crv({"compare", "Mini", "--level", "e", "--whole", "a:", "a"}).out, "1\n");
    EXPECT_EQ(Crv({"compare", "Mini", "--level", "e", "--whole", "a`", "a"}).out, "-1\n");
    EXPECT_EQ(Crv({"compare", "Mini", "--level", "e", "c-h", "ch"}).out, "-1\n"); // c before ch
    EXPECT_EQ(Crv({"compare", "Mini", "--level", "e", "cz", "ch"}).out, "-1\n");
    EXPECT_EQ(Crv({"compare", "Mini", "ab", "abz"}).out, "0\n");
    EXPECT_EQ(Crv({"compare", "Mini", "--whole", "ab", "abz"}).out, "-1\n");
}

TEST_F(CrvLang, SortsLinesStablyInTheLanguagesOrder) {
    std::string input = "chha\r\nz\nb\ncza\nA\nch\na\n\nco-op\nc.\n";
    auto r = Crv({"sort", "Mini"}, input);
    EXPECT_EQ(r.status, 0) << r.err;
    // Undefined units (. o p) sort after every defined one; the ignored hyphen counts
    // only at the last level.
    EXPECT_EQ(r.out, "\na\nA\nb\ncza\nc.\nco-op\nch\nchha\nz\n");
    WriteFileBytes(dir.File("words.txt"), "ba\nab\nca");
    EXPECT_EQ(Crv({"sort", "Mini", "--from-end", dir.File("words.txt")}).out, "ba\nca\nab\n");
    EXPECT_EQ(Crv({"sort", "Mini", "--order", "Bytes"}, "b\nB\na\n").out, "B\na\nb\n");
}

TEST_F(CrvLang, ProjectFolderAndFailures) {
    WriteFileBytes(dir.File("sample.prj"), "\\+CrvProjectSettings\r\n\\-CrvProjectSettings\r\n");
    auto r = RunCrv({"-p", dir.File("sample.prj"), "units", "Mini", "ach"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "a ch\n");

    r = Crv({"units", "Nope", "a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no language encoding named Nope"), std::string::npos);
    EXPECT_EQ(Crv({"key", "Mini", "--order", "Nope", "a"}).status, 1);
    EXPECT_EQ(Crv({"sort", "Mini", dir.File("missing.txt")}).status, 1);
    EXPECT_EQ(RunCrv({"-s", dir.File("no-such-folder"), "lang", "list"}).status, 1);
    EXPECT_EQ(Crv({"compare", "Mini", "--level", "x", "a", "b"}).status, 2);
    EXPECT_EQ(Crv({"key", "Mini", "--max", "-1", "a"}).status, 2);
    EXPECT_EQ(Crv({"units", "Mini"}).status, 2);
    // Without -s or -p the default encoding lives in memory.
    EXPECT_EQ(RunCrv({"units", "Default", "ab"}, {}, dir.Path().string()).out, "a b\n");
}

} // namespace
} // namespace crv::test
