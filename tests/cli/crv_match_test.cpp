#include <gtest/gtest.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

// An encoding with a digraph, a following length mark, an ignored hyphen and variables.
const char* const kMiniLng = "\\+LanguageEncoding Mini\r\n"
                             "\\case A a\r\nE e\r\nCH ch\r\n"
                             "\\+srtset\r\n"
                             "\\+srt Main\r\n"
                             "\\primary a A\r\nb\r\nc\r\nch CH\r\ne E\r\ng\r\ni\r\nn\r\ns\r\nz\r\n"
                             "\\SecFollowing :\r\n"
                             "\\ignore -\r\n"
                             "\\SecAfterBase\r\n"
                             "\\-srt\r\n"
                             "\\srtDefault Main\r\n"
                             "\\-srtset\r\n"
                             "\\+varset\r\n"
                             "\\+var !\r\n\\chars . , ( )\r\n\\-var\r\n"
                             "\\+var vowel\r\n\\chars a A e E i\r\n\\-var\r\n"
                             "\\-varset\r\n"
                             "\\-LanguageEncoding\r\n";

class CrvMatch : public ::testing::Test {
protected:
    CrvMatch() { WriteFileBytes(dir.File("mini.lng"), kMiniLng); }
    ProgramResult Crv(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"-s", dir.Path().string()});
        return RunCrv(args, input);
    }
    ScratchDir dir;
};

TEST_F(CrvMatch, PrintsTheLinesWhereThePatternIsFound) {
    const std::string lines = "sing\r\nsinging\nAnge\nchin\nse:nd\nbe-ing\n";
    auto r = Crv({"match", "Mini", "[#]s[...]ing"}, lines);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "sing\nsinging\n");
    // The primary level by default: case, marks and ignored units do not count.
    EXPECT_EQ(Crv({"match", "Mini", "ng"}, lines).out, "sing\nsinging\nAnge\nbe-ing\n");
    EXPECT_EQ(Crv({"match", "Mini", "en"}, lines).out, "se:nd\n");
    EXPECT_EQ(Crv({"match", "Mini", "--level", "e", "en"}, lines).out, "");
    // Marks follow their base in Mini: at the exact level e: is no e.
    EXPECT_EQ(Crv({"match", "Mini", "se"}, lines).out, "se:nd\n");
    EXPECT_EQ(Crv({"match", "Mini", "--level", "e", "se"}, lines).out, "");
    EXPECT_EQ(Crv({"match", "Mini", "--level", "c", "an"}, lines).out, "Ange\n");
    EXPECT_EQ(Crv({"match", "Mini", "--level", "e", "an"}, lines).out, "");
    EXPECT_EQ(Crv({"match", "Mini", "ei"}, lines).out, "be-ing\n");
    EXPECT_EQ(Crv({"match", "Mini", "--level", "i", "ei"}, lines).out, "");
    // ch is one unit: the pattern h finds nothing in chin.
    EXPECT_EQ(Crv({"match", "Mini", "h"}, lines).out, "");
    EXPECT_EQ(Crv({"match", "Mini", "[?]in"}, lines).out, "sing\nsinging\nchin\nbe-ing\n");
}

TEST_F(CrvMatch, WholeMatchesFromTheFirstCharacterToTheEnd) {
    const std::string lines = "sing\nsinging\nasing\nsings\n";
    EXPECT_EQ(Crv({"match", "Mini", "--whole", "s[...]ing"}, lines).out, "sing\nsinging\n");
    EXPECT_EQ(Crv({"match", "Mini", "--whole", "[vowel]"}, "a\nab\nE\n\n").out, "a\nE\n");
    EXPECT_EQ(Crv({"match", "Mini", "--whole", ""}, "\nx\n-\n").out, "\n-\n");
}

TEST_F(CrvMatch, ReadsAFileAndKeepsItsBytes) {
    WriteFileBytes(dir.File("words.txt"), std::string("a\tb\nab\nno\xE9 b\n(a) b"));
    auto r = Crv({"match", "Mini", "[#]b", dir.File("words.txt")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string("a\tb\nno\xE9 b\n(a) b\n"));
    r = Crv({"match", "Mini", "x", dir.File("missing.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos) << r.err;
}

TEST_F(CrvMatch, BadPatternsLevelsAndEncodings) {
    auto r = Crv({"match", "Mini", "ab[tone]"}, "ab\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(
        r.err.find("Variable or metacharacter name not defined: tone in a text pattern string\n"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("at character 4 of the pattern"), std::string::npos) << r.err;

    r = Crv({"match", "Mini", "a]"}, "a]\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("This right bracket doesn't enclose a variable or metacharacter;\r\n"
                         "use \\] if you want to match a literal right bracket"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(Crv({"match", "Mini", "a\\]"}, "a]\n").out, "a]\n");

    EXPECT_EQ(Crv({"match", "Mini", "--level", "x", "a"}, "a\n").status, 2);
    EXPECT_EQ(Crv({"match", "Mini"}, "a\n").status, 2);
    r = Crv({"match", "Nope", "a"}, "a\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no language encoding named Nope"), std::string::npos) << r.err;
}

TEST_F(CrvMatch, LongLinesWithBacktrackingPatternsAreAnswered) {
    // A pattern that backtracks over a very long line: the matcher's memory of failed
    // positions keeps it linear, so crv answers rather than giving up.
    std::string line(30000, 'a');
    auto r = Crv({"match", "Mini", "[...]a[...]a[...]a[...]b"}, line + "\n" + line + "b\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, line + "b\n");
}

} // namespace
} // namespace crv::test
