#include "schema/pattern_match.h"

#include <random>

#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv {
namespace {

// The encoding X has default properties: A a ... Z z, digits and _ as primaries, the grave
// accent as a preceding and the apostrophe as a following secondary, the hyphen ignored.
class PatternMatchTest : public test::PlatformTest {
protected:
    PatternMatchTest() : x(set.FindOrCreate("X")) {}

    CTextPattern Compile(std::string_view text) {
        CNote error;
        auto p = CTextPattern::Compile(text, "", "", set.VarNames(), error);
        EXPECT_TRUE(p) << error.Text();
        return p ? std::move(*p) : CTextPattern();
    }
    // Where the pattern is first found in text: "start-end", or "-" for nothing.
    std::string Find(std::string_view pattern, std::string_view text, int mask = kMatchPrimary,
                     bool brace = false, const CLangEnc* enc = nullptr) {
        CTextPattern p = Compile(pattern);
        CPatternMatcher m(p, {mask});
        CPatternSpan span;
        bool found = m.Find(CTextPos(text, enc ? *enc : *x, 0, brace), &span);
        EXPECT_FALSE(m.GaveUp());
        return found ? std::to_string(span.start) + "-" + std::to_string(span.end) : "-";
    }
    bool Whole(std::string_view pattern, std::string_view text, int mask = kMatchPrimary,
               const CLangEnc* enc = nullptr) {
        CTextPattern p = Compile(pattern);
        return PatternMatchWhole(p, CTextPos(text, enc ? *enc : *x), {mask});
    }
    std::ptrdiff_t Length(std::string_view pattern, std::string_view text, std::size_t at = 0,
                          int mask = kMatchPrimary, bool brace = false) {
        CTextPattern p = Compile(pattern);
        return CPatternMatcher(p, {mask}).MatchLength(CTextPos(text, *x, at, brace));
    }
    // An encoding like X whose sort order also knows the multigraph ch.
    CLangEnc* WithMultigraph() {
        CLangEnc* y = set.FindOrCreate("Y");
        CSortOrderDef def = y->DefaultSortOrder()->Definition();
        def.primary += "\nCh ch";
        CNote error;
        EXPECT_TRUE(y->DefaultSortOrder()->Modify(def, error)) << error.Text();
        return y;
    }

    CLangEncSet set;
    CLangEnc* x;
};

TEST_F(PatternMatchTest, LiteralsCompareUnitsAtTheMatchLevel) {
    EXPECT_EQ(Find("ab", "xAB"), "1-3");
    EXPECT_EQ(Find("ab", "xAB", kMatchNoCase), "1-3");
    EXPECT_EQ(Find("ab", "xAB", kMatchExact), "-");
    EXPECT_EQ(Find("ab", "xAB", kMatchAll), "-");
    EXPECT_EQ(Find("ab", "xab", kMatchAll), "1-3");
    EXPECT_EQ(Find("ac", "xab"), "-");
    // The space of a literal is a primary unit like any other.
    EXPECT_EQ(Find("a\\ b", "a b"), "0-3");
    EXPECT_EQ(Find("a\\ b", "a\tb"), "-");
}

TEST_F(PatternMatchTest, SecondaryMarksCountFromTheExactLevelOn) {
    // The apostrophe follows its base, the grave accent precedes it.
    EXPECT_EQ(Find("ex", "e'x"), "0-3");
    EXPECT_EQ(Find("ex", "e'x", kMatchNoCase), "-");
    EXPECT_EQ(Find("ex", "e'x", kMatchExact), "-");
    EXPECT_TRUE(Whole("e", "e'"));
    EXPECT_FALSE(Whole("e", "e'", kMatchExact));
    EXPECT_TRUE(Whole("e'", "e'", kMatchExact));
    EXPECT_TRUE(Whole("xe", "x`e"));
    EXPECT_FALSE(Whole("xe", "x`e", kMatchExact));
    // The mark in the pattern is skipped as well.
    EXPECT_EQ(Find("e'x", "ex"), "0-2");
    // White space after a skipped mark.
    EXPECT_TRUE(Whole("e x", "e' x"));
}

TEST_F(PatternMatchTest, AMarkWrittenAfterItsBaseBelongsToIt) {
    // With secondary-after-base, e' is one marked letter: from the exact level on, the
    // literal e is not found in it, as the key e is no prefix of the key of e'.
    CLangEnc* y = set.FindOrCreate("Y");
    CSortOrderDef def = y->DefaultSortOrder()->Definition();
    def.secAfterBase = true;
    CNote error;
    ASSERT_TRUE(y->DefaultSortOrder()->Modify(def, error)) << error.Text();
    EXPECT_EQ(Find("e", "e'", kMatchPrimary, false, y), "0-1");
    EXPECT_EQ(Find("e", "e'", kMatchExact, false, y), "-");
    EXPECT_EQ(Find("e", "e'", kMatchNoCase, false, y), "-");
    EXPECT_EQ(Find("e", "xe'ye", kMatchExact, false, y), "4-5");
    EXPECT_EQ(Find("e'", "e'", kMatchExact, false, y), "0-2");
    EXPECT_EQ(Find("e", "e-'", kMatchExact, false, y), "-"); // the ignored hyphen is looked past
    EXPECT_EQ(Find("e", "e-'", kMatchAll, false, y), "0-1");
    // Without the flag a mark after a unit may belong to the next one.
    EXPECT_EQ(Find("e", "e'", kMatchExact), "0-1");
}

TEST_F(PatternMatchTest, IgnoredUnitsCountOnlyAtTheStrictestLevel) {
    for (int mask : {kMatchPrimary, kMatchNoCase, kMatchExact})
        EXPECT_TRUE(Whole("coop", "co-op", mask)) << mask;
    EXPECT_FALSE(Whole("coop", "co-op", kMatchAll));
    EXPECT_TRUE(Whole("co-op", "co-op", kMatchAll));
    EXPECT_TRUE(Whole("co-op", "coop")); // the pattern's hyphen is skipped too
    EXPECT_TRUE(Whole("", "--"));
    EXPECT_FALSE(Whole("", "--", kMatchAll));
}

TEST_F(PatternMatchTest, UndefinedUnitsMatchOnlyTheSameBytes) {
    // Full stop and comma have no weights in X: their keys are equal, but a pattern
    // tells them apart by their bytes.
    EXPECT_EQ(Find(".", "a,b.c"), "3-4");
    EXPECT_EQ(Find(",", "a,b.c"), "1-2");
    // One undefined unit never matches a defined one.
    EXPECT_EQ(Find("a", "."), "-");
    EXPECT_EQ(Find(".", "a"), "-");
    // Bytes of no unit are each the 0x1A unit, told apart by their bytes.
    EXPECT_EQ(Find("\xC3\xA9", "\xC3\xA8 \xC3\xA9"), "3-5");
    EXPECT_EQ(Find("\xC3\xA8", "\xC3\xA9"), "-");

    // An encoding without sort orders: every unit is undefined, every byte counts.
    CLangEnc bare(set, "Bare");
    EXPECT_EQ(Find("ab", "xAbab", kMatchPrimary, false, &bare), "3-5");
    EXPECT_TRUE(Whole("a[...]", "abc", kMatchPrimary, &bare));
}

TEST_F(PatternMatchTest, MultigraphsAreOneUnitOnBothSides) {
    CLangEnc* y = WithMultigraph();
    EXPECT_EQ(Find("h", "chat", kMatchPrimary, false, y), "-");
    EXPECT_EQ(Find("c", "chat", kMatchPrimary, false, y), "-");
    EXPECT_EQ(Find("ch", "aChat", kMatchPrimary, false, y), "1-3");
    EXPECT_TRUE(Whole("[?]at", "chat", kMatchPrimary, y));
    EXPECT_FALSE(Whole("[cons]at", "chat", kMatchPrimary, y)); // ch is no member of cons
    // [...] gives back whole units: it never ends inside ch.
    EXPECT_FALSE(Whole("[...]hat", "chat", kMatchPrimary, y));
    EXPECT_TRUE(Whole("[...]hat", "chat"));
}

TEST_F(PatternMatchTest, VariablesMatchOneUnitOfTheTextsEncoding) {
    EXPECT_EQ(Find("[cons][vowel]", "aabe"), "2-4");
    EXPECT_EQ(Find("[vowel]", "xyz"), "-");
    EXPECT_TRUE(Whole("[U][L][D]", "Ab7"));
    EXPECT_FALSE(Whole("[U]", "a", kMatchNoCase)); // membership, not weights
    EXPECT_TRUE(Whole("[vowel]", "`a"));           // a mark before the unit is skipped at mask 3
    EXPECT_FALSE(Whole("[vowel]", "`a", kMatchExact));

    // A variable defined in one encoding only matches nothing in another.
    CLangEnc* y = set.FindOrCreate("Y");
    CNote error;
    ASSERT_NE(x->Vars().AddVar("tone", "1 2 3", error), nullptr);
    EXPECT_EQ(Find("a[tone]", "ba2"), "1-3");
    EXPECT_EQ(Find("a[tone]", "ba2", kMatchPrimary, false, y), "-");
    // Each encoding uses its own definition of a name.
    ASSERT_TRUE(y->Vars().ModifyVar(y->Vars().Search("vowel"), "vowel", "y", error));
    EXPECT_EQ(Find("[vowel]", "ay", kMatchPrimary, false, y), "1-2");
    EXPECT_EQ(Find("[vowel]", "ay"), "0-1");
}

TEST_F(PatternMatchTest, AnyUnitAndAnySequence) {
    EXPECT_EQ(Find("a[?]c", "xa-c"), "1-4");
    EXPECT_EQ(Find("a[?]c", "a c"), "0-3");
    EXPECT_EQ(Find("a[?]", "a"), "-");
    // [...]ing at a position: the sequence takes all it can and gives back until ing follows.
    EXPECT_EQ(Length("[...]ing", "singing"), 7);
    EXPECT_EQ(Length("[...]ing", "sing a song"), 4);
    EXPECT_EQ(Length("[...]ing", "singing", 2), 5);
    EXPECT_EQ(Length("[...]ing", "singing", 5), -1);
    EXPECT_EQ(Length("[...]", "abc"), 3);
    EXPECT_EQ(Length("[...]", ""), 0);
    EXPECT_TRUE(Whole("[...]b", "abab"));
    EXPECT_FALSE(Whole("[...]b", "abba"));
    EXPECT_TRUE(Whole("a[...]", "a"));
}

TEST_F(PatternMatchTest, WhiteSpaceTakesAllAndGivesBackKeepingOne) {
    EXPECT_EQ(Find("a b", "xa \t\n b"), "1-7");
    EXPECT_EQ(Find("a b", "ab"), "-");
    EXPECT_EQ(Length("a b", "a  b"), 4);
    // [?] after white space takes a space given back.
    EXPECT_EQ(Length("a [?]", "a  "), 3);
    EXPECT_EQ(Length("a [?]", "a "), -1);
    EXPECT_EQ(Length(" ", "   x"), 3);
}

TEST_F(PatternMatchTest, WordBoundaries) {
    // At the start of a field, after a space or punctuation, not inside a word.
    EXPECT_EQ(Find("[#]a", "ab"), "0-1");
    EXPECT_EQ(Find("[#]a", "x ab"), "1-3");
    EXPECT_EQ(Find("[#]a", "x,ab"), "1-3");
    EXPECT_EQ(Find("[#]a", "xab"), "-");
    // A boundary unit at the very start may be taken too.
    EXPECT_EQ(Find("[#]a", "(ab"), "0-2");
    EXPECT_EQ(Find("[#]a", " ab"), "0-2");
    // At the end of the field, before white space or punctuation.
    EXPECT_EQ(Find("a[#]", "ba"), "1-2");
    EXPECT_EQ(Find("a[#]", "ba."), "1-3");
    EXPECT_EQ(Find("a[#]", "bab"), "-");
    EXPECT_TRUE(Whole("[#]word[#]", "(word)"));
    EXPECT_TRUE(Whole("[#]", ""));
    // The hyphen is ignored at mask 3: [#] looks past it, [-] accepts it.
    EXPECT_EQ(Find("[#]op", "co-op"), "-");
    EXPECT_EQ(Find("[-]op", "co-op"), "2-5");
    EXPECT_EQ(Find("[-]op", "co-op", kMatchAll), "2-5");
    EXPECT_EQ(Find("[#]op", "co-op", kMatchAll), "-");
    // A following mark belongs to its word.
    EXPECT_EQ(Find("e[#]x", "e' x"), "0-4");
}

TEST_F(PatternMatchTest, BraceModeKeepsBracedGroupsWhole) {
    const std::string_view text = "ab{x y}cd";
    // A left brace stops literals, variables and [?].
    EXPECT_EQ(Find("b{x", text), "1-4");
    EXPECT_EQ(Find("b{x", text, kMatchPrimary, true), "-");
    EXPECT_EQ(Length("[?]", text, 2), 1);
    EXPECT_EQ(Length("[?]", text, 2, kMatchPrimary, true), -1);
    // A search steps over a group as one unit: nothing inside it is found.
    EXPECT_EQ(Find("x", text), "3-4");
    EXPECT_EQ(Find("x", text, kMatchPrimary, true), "-");
    EXPECT_EQ(Find("cd", text, kMatchPrimary, true), "7-9");
    // [...] gives back a group as a whole.
    EXPECT_EQ(Length("[...]y}", text), 7);
    EXPECT_EQ(Length("[...]y}", text, 0, kMatchPrimary, true), -1);
    EXPECT_EQ(Length("[...]cd", text, 0, kMatchPrimary, true), 9);
    // A group is a boundary; an unclosed one runs to the end.
    EXPECT_EQ(Length("ab[#]cd", text, 0, kMatchPrimary, true), 9);
    EXPECT_EQ(Length("ab[#]cd", text), -1);
    EXPECT_EQ(Length("ab[#]", "ab{x", 0, kMatchPrimary, true), 4);
}

TEST_F(PatternMatchTest, MatchAtMovesThePositionAndNeedNotReachTheEnd) {
    CTextPattern p = Compile("b[vowel]");
    CPatternMatcher m(p, {kMatchPrimary});
    CTextPos pos("abed", *x, 1);
    EXPECT_TRUE(m.MatchAt(pos));
    EXPECT_EQ(pos.offset, 3u);
    CTextPos at0("abed", *x);
    EXPECT_FALSE(m.MatchAt(at0));
    EXPECT_EQ(at0.offset, 0u);
    EXPECT_FALSE(m.MatchWhole(CTextPos("abed", *x, 1)));
    EXPECT_TRUE(m.MatchWhole(CTextPos("abe", *x, 1)));
    // A position past the end is the end.
    EXPECT_EQ(Length("", "ab", 9), 0);
}

TEST_F(PatternMatchTest, BacktrackingWorkStaysLinearAndIsBounded) {
    // Nested sequences that cannot match: without remembering failed positions this takes
    // time of the text length to the fifth power.
    CTextPattern p = Compile("[...]a[...]a[...] [...]a[...]b");
    CPatternMatcher m(p, {kMatchPrimary});
    std::string small(2000, 'a'), large(4000, 'a');
    EXPECT_FALSE(m.Find(CTextPos(small, *x)));
    EXPECT_FALSE(m.GaveUp());
    std::int64_t smallWork = m.WorkUsed();
    EXPECT_FALSE(m.Find(CTextPos(large, *x)));
    EXPECT_FALSE(m.GaveUp());
    EXPECT_LT(m.WorkUsed(), 3 * smallWork);
    large += " b";
    EXPECT_FALSE(m.MatchWhole(CTextPos(large, *x)));
    large.insert(2, " ");
    EXPECT_TRUE(m.MatchWhole(CTextPos(large, *x)));

    // White space alternatives are remembered as well.
    CTextPattern q = Compile(" [?] [?] [?] [?] [?] [?]x");
    CPatternMatcher mq(q, {kMatchPrimary});
    EXPECT_FALSE(mq.Find(CTextPos(std::string(3000, ' '), *x)));
    EXPECT_FALSE(mq.GaveUp());

    // Past the work limit a call gives up: no match, and it says so.
    m.SetWorkLimit(1000);
    EXPECT_FALSE(m.Find(CTextPos(small, *x)));
    EXPECT_TRUE(m.GaveUp());
    EXPECT_TRUE(m.MatchWhole(CTextPos("a a a b", *x)));
    EXPECT_FALSE(m.GaveUp());
}

TEST_F(PatternMatchTest, RememberingFailedPositionsNeverChangesAnAnswer) {
    // Patterns and texts built from pieces that backtrack, skip and stop in every way;
    // each answer with the memory of failed positions equals the one without it.
    const char* const pieces[] = {"a",   "b",   " ",       " [?]", "[?]", "[...]",
                                  "[#]", "[-]", "[vowel]", "ab",   "e'",  "\\{"};
    const char alphabet[] = {'a', 'b', ' ', ' ', ' ', '-', ',', 'e', '\'', '{', '}', '`'};
    std::mt19937 random(7);
    for (int n = 0; n < 3000; ++n) {
        std::string pattern, text;
        for (int k = static_cast<int>(random() % 5); k > 0; --k)
            pattern += pieces[random() % std::size(pieces)];
        for (int k = static_cast<int>(random() % 13); k > 0; --k)
            text += alphabet[random() % std::size(alphabet)];
        CTextPattern p = Compile(pattern);
        for (int mask : {kMatchPrimary, kMatchNoCase, kMatchExact, kMatchAll}) {
            for (bool brace : {false, true}) {
                CPatternMatcher fast(p, {mask}), slow(p, {mask});
                slow.SetRememberFailures(false);
                CTextPos pos(text, *x, 0, brace);
                CPatternSpan a{9, 9}, b{9, 9};
                ASSERT_EQ(fast.Find(pos, &a), slow.Find(pos, &b)) << pattern << " / " << text;
                EXPECT_EQ(a.start, b.start) << pattern << " / " << text;
                EXPECT_EQ(a.end, b.end) << pattern << " / " << text;
                EXPECT_EQ(fast.MatchWhole(pos), slow.MatchWhole(pos)) << pattern << " / " << text;
                EXPECT_FALSE(fast.GaveUp() || slow.GaveUp());
            }
        }
    }
}

} // namespace
} // namespace crv
