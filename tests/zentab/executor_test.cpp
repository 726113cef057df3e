// Running tables: matching order, match-part elements, output commands, stores, switches,
// groups, arithmetic, and the messages the executor raises.
#include <gtest/gtest.h>

#include <ctime>

#include "zt_test_util.h"

namespace crv::zt::test {
namespace {

TEST(Executor, UnmatchedInputIsCopied) {
    EXPECT_EQ(RunTable("'q' > 'z'\n", "abc\ndef"), "abc\ndef");
    EXPECT_EQ(RunTable("'abc' > 'x'\n'ab' > 'y'\n", "abcab abd"), "xy yd");
    EXPECT_EQ(RunTable("begin > unsorted\n'ab' > 'y'\n'abc' > 'x'\n", "abc"), "yc");
}

TEST(Executor, LineEnds) {
    EXPECT_EQ(RunTable("nl > '|'\n", "a\nb\r\nc\rd\n"), "a|b|c|d|");
    EXPECT_EQ(RunTable("'x' > nl\n", "axb"), "a\nb");
    EXPECT_EQ(RunTable("begin > binary\nnl > '|'\n", "a\nb\r\n"), "a\nb|\n");
    // A CR LF split between two pieces is still one line end.
    Collected m;
    ZTHANDLE h = LoadWithMessages("nl > '|'\n", m);
    EXPECT_EQ(ProcessPushed(h, "a\r\nb", 2), "a|b");
    ZTUnloadTable(h);
}

TEST(Executor, Caseless) {
    const std::string table =
        "begin > caseless\n'abc' > 'xyz'\nany(v) > '*'\n'q' > store(v) 'e' endstore\n";
    EXPECT_EQ(RunTable(table, "Abc abc ABC"), "Xyz xyz ABC");
    EXPECT_EQ(RunTable(table, "qeE"), "**");
}

TEST(Executor, PrecAndWdAtStart) {
    const std::string table =
        "begin > store(sp) ' ' endstore\n'a' prec(sp) > 'P'\n'b' wd(sp) > 'W'\n";
    EXPECT_EQ(RunTable(table, "a a"), "a P");
    // wd(): the space before the first output, and the input character after the match.
    EXPECT_EQ(RunTable("begin > store(s) ' b' endstore\n'b' wd(s) > 'W'\n", "bb"), "Wb");
    EXPECT_EQ(RunTable("begin > store(v) 'xy' endstore\nprec(v) prec(v) 'z' > 'Z'\n", "xyz az xz"),
              "xyZ az xz");
}

TEST(Executor, FolAnyCont) {
    const std::string table = "begin > store(v) 'aeiou' endstore store(w) 'lo' endstore\n"
                              "'l' fol(v) fol(v) > 'L'\nany(v) 'x' > 'V'\n'h' cont(w) > 'HLO'\n";
    EXPECT_EQ(RunTable(table, "leaf lem hlo ax"), "Leaf lem HLO V");
    // At the end of the input fol() fails.
    EXPECT_EQ(RunTable(table, "la"), "la");
}

TEST(Executor, StoresAndOutput) {
    EXPECT_EQ(RunTable("'a' > store(x) 'one' endstore\n'b' > out(x) outs(x)\n", "ab"), "oneone");
    EXPECT_EQ(RunTable("'a' > store(x) 'A'\n'b' > append(x) 'B' endstore\n'c' > out(x)\n", "a1b2c"),
              "2A1B"); // unmatched input goes on into the store until endstore
    EXPECT_EQ(RunTable("'a' > store(x) 'A'\n'b' > out(x) '.'\n", "azb"), "Az.");
    EXPECT_EQ(RunTable("'ab' > dup dup\n", "xab"), "xabab");
    EXPECT_EQ(RunTable("'a' > store(x) 'hello' endstore len(x)\n", "a"), "5");
    EXPECT_EQ(RunTable("'a' > write 'not shown' 'b' wrstore(x) 'c'\n", "a"), "c");
}

TEST(Executor, StoringIntoSeveralStores) {
    EXPECT_EQ(RunTable("\"x\" > store(a,b) \"hi\" endstore out(a) \"|\" out(b)\n", "x"), "hi|hi");
    const std::string filled = "begin > store(a) 'A' endstore store(b) 'B' endstore\n";
    EXPECT_EQ(RunTable(filled + "'x' > append(a,b) '+' endstore out(a) '|' out(b)\n", "x"),
              "A+|B+");
    // Unmatched input and back() reach every store alike.
    EXPECT_EQ(RunTable(filled + "'x' > store(a,b) 'pq' back(1)\n'.' > out(a) '|' out(b)\n", "xr."),
              "pqr|pqr");
    // Written as two keywords, the second store() takes over from the first.
    EXPECT_EQ(RunTable("'x' > store(a) store(b) 'hi' endstore out(a) '|' out(b)\n", "x"), "|hi");
}

TEST(Executor, Switches) {
    const std::string table = "'s' > set(on)\n'c' > clear(on)\n'x' > if(on) 'Y' else 'N' endif\n"
                              "'z' > ifn(on) 'n' endif '.'\n";
    EXPECT_EQ(RunTable(table, "xsxcxz"), "NYNn.");
    // if(a,b) is true only when both are set; what follows endif runs either way.
    const std::string both = "'a' > set(a)\n'b' > set(b)\n'x' > if(a,b) 'Y' else 'N' endif '.'\n";
    EXPECT_EQ(RunTable(both, "xaxbx"), "N.N.Y.");
    // Nested blocks are skipped as a whole.
    EXPECT_EQ(RunTable("'x' > if(a) 'p' if(b) '1' endif '2' else '3' endif '4'\n", "x"), "34");
}

TEST(Executor, ABlockThatStartsWithAConditionNests) {
    // An else that begins with if: the else of a true branch skips to the outer endif.
    const std::string chain = "\"s\" > set(a)\n\"t\" > set(b) clear(b)\n"
                              "\"x\" > if(a) \"1\" else if(b) \"2\" else \"3\" endif \"4\" endif\n";
    EXPECT_EQ(RunTable(chain, "xsx"), "341");
    // A compiled stream cannot tell if(1,2) from if(1) if(2): the same command directly
    // after is taken as a further argument.
    EXPECT_EQ(RunTable(std::string("\xFE"
                                   "x\xFD\xF6\x01\xF6\x02Y\xF3Z"),
                       "x"),
              "Z");
    // Every kind of condition, false, with a block that begins with another condition:
    // skipped after its false test and after the else of a true one.
    const std::string conditions[] = {"if(off)",      "ifn(on)",      "ifeq(v) 'z'",
                                      "ifneq(v) 'q'", "ifgt(v) 'z'",  "ifngt(v) 'a'",
                                      "iflt(v) 'a'",  "ifnlt(v) 'z'", "ifsubset(v) 'z'"};
    for (const std::string& c : conditions) {
        const std::string table = "begin > store(v) 'q' endstore set(on)\n"
                                  "'x' > " +
                                  c +
                                  " if(on) '1' endif '2' endif '3'\n"
                                  "'y' > if(on) '1' else " +
                                  c +
                                  " if(on) '2' endif '3' endif '4' "
                                  "endif '5'\n";
        EXPECT_EQ(RunTable(table, "xy"), "315") << c;
    }
}

TEST(Executor, Comparisons) {
    const std::string table = "begin > store(n) '10' endstore store(t) 'abc' endstore\n"
                              "'1' > ifeq(t) 'abc' begin 'eq' end endif\n"
                              "'2' > ifneq(t) 'abd' begin 'ne' end endif\n"
                              "'3' > ifgt(n) '9' begin 'gt' end endif\n"
                              "'4' > iflt(t) 'abd' begin 'lt' end endif\n"
                              "'5' > ifngt(n) '10' begin 'ng' end endif\n"
                              "'6' > ifnlt(n) '11' begin 'no' end else 'nl' endif\n"
                              "'7' > ifsubset(t) 'cbaz' begin 'sub' end endif\n"
                              "'8' > ifeq(t) cont(t) begin 'cont' end endif\n";
    EXPECT_EQ(RunTable(table, "12345678"), "eqnegtltngnlsubcont");
}

TEST(Executor, IncrDecr) {
    EXPECT_EQ(RunTable("'i' > incr(n)\n'd' > decr(n)\n'o' > out(n) ' '\n",
                       "io" + std::string(9, 'i') + "odo" + std::string(91, 'i') + "odo"),
              "1 10 9 100 99 ");
    Collected m;
    EXPECT_EQ(RunTable("'d' > decr(n)\n'z' > store(n) '0' endstore decr(n)\n", "dz", m), "");
    EXPECT_TRUE(m.Has(12));
    EXPECT_TRUE(m.Has(13));
}

TEST(Executor, Arithmetic) {
    const std::string ops = "begin > store(n) '17' endstore\n"
                            "'a' > add(n) 5\n's' > sub(n) '30'\n'm' > mul(n) 3\n'd' > div(n) 4\n"
                            "'r' > mod(n) 5\n'o' > out(n) ' '\n";
    EXPECT_EQ(RunTable(ops, "aosomodoro"), "22 -8 -24 -6 -1 ");
    Collected m;
    EXPECT_EQ(RunTable("begin > store(n) '1999999999' endstore\n'a' > add(n) 1 out(n)\n", "a", m),
              "");
    ASSERT_EQ(m.numbers, (std::vector<int>{19, 20, 6, 84}));
    EXPECT_EQ(m.texts[0], "Arithmetic: overflow in group 1\n");
    EXPECT_EQ(m.texts[1], "1999999999 + 1\n");
    EXPECT_EQ(m.texts[2], "contents of store n unchanged\n");
    m.Clear();
    RunTable("begin > store(n) '' endstore store(z) '' endstore\n'a' > div(n) cont(z)\n", "a", m);
    ASSERT_EQ(m.texts.size(), 4u);
    EXPECT_EQ(m.texts[0], "Arithmetic: divide by zero in group 1\n");
    EXPECT_EQ(m.texts[1], "an empty store / an empty store\n");
    m.Clear();
    RunTable("begin > store(n) 'x' endstore\n'a' > add(n) 1\n", "a", m);
    EXPECT_EQ(m.texts[0], "Arithmetic: non-number in group 1\n");
    m.Clear();
    RunTable("begin > store(n) '3000000000' endstore\n'a' > add(n) 1\n", "a", m);
    EXPECT_EQ(m.texts[0], "Arithmetic: number greater than 2,000,000,000 in group 1\n");
}

TEST(Executor, FwdOmitBack) {
    EXPECT_EQ(RunTable("'a' > fwd(2) 'X'\n'b' > 'B'\n", "abbb"), "bbXB");
    EXPECT_EQ(RunTable("'a' > omit(2)\n", "abcd"), "d");
    EXPECT_EQ(RunTable("'a' > fwd(5)\n", "abc"), "bc");
    // back(2) after "ab" re-reads "ab": here as input that the next change matches.
    EXPECT_EQ(
        RunTable("'x' > 'ab' back(2) set(s)\n'ab' > if(s) clear(s) 'AB' else 'ab' endif\n", "x"),
        "AB");
    Collected m;
    RunTable("'x' > back(1)\n", "x", m);
    EXPECT_TRUE(m.Has(0));
    m.Clear();
    RunTable("'x' > store(s) 'a' back(2)\n", "x", m);
    EXPECT_TRUE(m.Has(11));
}

TEST(Executor, GroupsAndDefines) {
    const std::string table = "begin > use(one)\ngroup(one)\n'a' > 'A'\n'>' > use(two)\n"
                              "group(two)\n'a' > 'B'\n'<' > use(one)\n";
    EXPECT_EQ(RunTable(table, "a>a<a"), "ABA");
    // incl of an active group moves it to the end of the search order.
    const std::string order = "begin > use(g1,g2)\ngroup(g1)\n'a' > '1'\n'x' > incl(g1)\n"
                              "group(g2)\n'a' > '2'\n";
    EXPECT_EQ(RunTable(order, "axa"), "12");
    EXPECT_EQ(RunTable("'a' > do(d) do(d)\ndefine(d) > 'D' next\n'b' > 'x'\n", "a"), "DxDx");
    EXPECT_EQ(RunTable("'a' > 'x' next\n'b' > 'y'\n", "ab"), "xyy");
    Collected m;
    RunTable("'a' > do(d)\ndefine(d) > do(d)\n", "a", m);
    EXPECT_TRUE(m.Has(42));
    m.Clear();
    RunTable("'a' > do(nothing)\n", "a", m);
    EXPECT_TRUE(m.Has(26));
    m.Clear();
    RunTable("'a' > excl(g) excl(1)\ngroup(g)\n'b' > 'c'\n", "a", m);
    EXPECT_TRUE(m.Has(2));
    EXPECT_TRUE(m.Has(50));
    m.Clear();
    std::string many = "begin >";
    for (int i = 0; i < 26; ++i)
        many += " incl(g" + std::to_string(i) + ")";
    RunTable(many + "\n", "a", m);
    EXPECT_TRUE(m.Has(5));
}

TEST(Executor, Endfile) {
    EXPECT_EQ(RunTable("endfile > 'END'\n'a' > 'A'\n", "aa"), "AAEND");
    EXPECT_EQ(RunTable("'x' > 'X' endfile\n", "axbx"), "aX");
    EXPECT_EQ(RunTable("'x' > store(s) 'kept' endfile\n", "x"), "");
}

TEST(Executor, RepeatLoopsOverThePart) {
    EXPECT_EQ(RunTable("'a' > incr(n) ifneq(n) '3' begin 'r' repeat end endif\n", "a"), "rr");
}

TEST(Executor, PredefinedStores) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char date[32];
    std::snprintf(date, sizeof date, "%02d/%02d/%4d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
    EXPECT_EQ(RunTable("'d' > out(ztcurrentdate)\n", "d"), date);
    EXPECT_EQ(RunTable("'v' > out(ztversionmajor) '.' out(ztversionminor)\n", "v"), "8.04 beta");
    EXPECT_EQ(RunTable("'t' > out(ztcurrenttime)\n", "t").size(), 8u);
}

TEST(Executor, GroupDefaults) {
    Collected m;
    EXPECT_EQ(RunTable("group(main)\n'a' > 'b'\n", "a", m), "b");
    EXPECT_TRUE(m.numbers.empty());
    RunTable("begin > store(x) 'y' endstore\n", "a", m);
    EXPECT_TRUE(m.Has(136));
    m.Clear();
    RunTable("group(empty)\n", "a", m);
    EXPECT_TRUE(m.Has(23));
    m.Clear();
    RunTable("begin > use(g) excl(g)\ngroup(g)\n'a' > 'b'\n", "a", m);
    EXPECT_TRUE(m.Has(25));
}

TEST(Executor, CommandsOutsideBegin) {
    for (const auto& [cmd, number] : std::vector<std::pair<std::string, int>>{
             {"caseless", 45}, {"binary", 46}, {"doublebyte(0201)", 47}, {"unsorted", 48}}) {
        Collected m;
        RunTable("'a' > " + cmd + "\n", "a", m);
        EXPECT_TRUE(m.Has(number)) << cmd;
    }
    Collected m;
    RunTable("'a' > group(g) 'x'\n", "a", m);
    EXPECT_TRUE(m.Has(41));
}

TEST(Executor, CompiledStreamIllegalCommands) {
    Collected m;
    // A compiled stream may hold a match command after the wedge or an output one before it.
    RunTable(std::string("\xFE"
                         "a\xFD\xD6\x01"),
             "a", m); // any(1) in the output part
    EXPECT_TRUE(m.Has(49));
    m.Clear();
    RunTable(std::string("\xFE"
                         "a\xED\xFD"
                         "b"),
             "a", m); // dup in the match part
    EXPECT_TRUE(m.Has(52));
}

TEST(Executor, Doublebyte) {
    const std::string table = "begin > doublebyte(0201,0100)\nx8241 > 'A'\n'a' > x8140\n";
    EXPECT_EQ(RunTable(table, "\x82\x41z\x82\x42"
                              "a"),
              "Az\x82\x42\x81\x40");
    Collected m;
    RunTable("begin > doublebyte(0201,0100)\n'a' > x8130\n", "a", m);
    EXPECT_TRUE(m.Has(17));
}

TEST(Executor, StoreOverflowIsBounded) {
    Collected m;
    std::string input(300000, 'x');
    std::string out = RunTable("'x' > append(s) 'abcd' endstore\n", input, m);
    EXPECT_TRUE(m.Has(4));
}

} // namespace
} // namespace crv::zt::test
