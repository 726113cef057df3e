// The same output whichever way the input is fed: one buffer, byte by byte through
// ZTPutBuffer, pulled through ZTGetBuffer with tiny output buffers, or through
// ZTMultiProcessBuffer in uneven pieces, on tables whose matches reach across pieces.
#include <gtest/gtest.h>

#include <random>

#include "zt_test_util.h"

namespace crv::zt::test {
namespace {

const char* const kContextTable =
    R"(begin > store(vowels) 'aeiou' endstore store(cons) 'bcdfghklmnprstvwz' endstore
  store(key) 'the' endstore use(main)
group(main)
'x' fol(vowels) fol(cons) > 'KS'
prec(vowels) 'n' fol(cons) > 'N'
cont(key) ' ' > 'THE_' append(seen) 't' endstore
'ab' > 'ba' back(1)
'-' wd(cons) > '~'
'q' > incr(count) use(second)
'zz' > store(tmp) 'zed' endstore outs(tmp) omit(1)
'k' > fwd(3) '|'
group(second)
'q' > '[' out(count) ']' use(main)
'e' > 'E'
'ththe' > dup
nl > nl '#'
endfile > '<END>' out(count) len(seen)
)";

const char* const kCaselessTable = R"(begin > caseless store(v) 'AEIOU' endstore
'the' > 'teh'
any(v) any(v) > '<' dup '>'
'qu' > 'kw'
)";

std::string Sample(std::size_t size, unsigned seed) {
    const char* pieces[] = {"the ", "ab", "abb", "x",  "xa", "xab",    "-",  "s-t",
                            "q",    "zz", "zzz", "k",  "ka", "ththe ", "nd", "an",
                            "ant",  "e",  "Quo", "AI", "\n", "\r\n",   " ",  "oo"};
    std::mt19937 rng(seed);
    std::string out;
    while (out.size() < size)
        out += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
    return out;
}

void ExpectSameEverywhere(const std::string& table, const std::string& input) {
    Collected m;
    ZTHANDLE h = LoadWithMessages(table, m);
    ASSERT_NE(h, 0u);
    int r = 0;
    std::string whole = ProcessWhole(h, input, &r);
    ASSERT_EQ(r, 0);
    ASSERT_GT(whole.size(), 0u);
    for (std::size_t piece : {1u, 2u, 3u, 7u, 64u, 999u, 1024u, 1025u})
        EXPECT_EQ(ProcessPushed(h, input, piece), whole) << "pushed, pieces of " << piece;
    for (int outSize : {1, 2, 5, 1024})
        for (std::size_t inPiece : {1u, 3u, 1024u})
            EXPECT_EQ(ProcessPulled(h, input, inPiece, outSize), whole)
                << "pulled, output " << outSize << " input " << inPiece;
    EXPECT_EQ(ProcessMulti(h, input, {1, 5, 2, 17, 3}, 7), whole);
    EXPECT_EQ(ProcessMulti(h, input, {1000, 1, 33}, 1), whole);
    EXPECT_EQ(ProcessMulti(h, input, {4096}, 100000), whole);
    ZTUnloadTable(h);
}

TEST(Streaming, ContextTableGivesTheSameOutputHoweverFed) {
    ExpectSameEverywhere(kContextTable, Sample(3000, 1));
    ExpectSameEverywhere(kContextTable, Sample(2500, 2));
}

TEST(Streaming, CaselessTableGivesTheSameOutputHoweverFed) {
    ExpectSameEverywhere(kCaselessTable, Sample(2000, 3));
}

TEST(Streaming, ContextTableDoesWhatItSays) {
    EXPECT_EQ(RunTable(kContextTable, "xab the q q q\n"), "KSba THE_ [1] \n#<END>21");
}

TEST(Streaming, OutputLongerThanTheBackBuffer) {
    std::string input = Sample(20000, 4);
    ExpectSameEverywhere("'a' > 'aaaa'\n'e' > back(1) 'E'\n", input);
}

} // namespace
} // namespace crv::zt::test

namespace crv::zt::test {
namespace {

// Plain-text tables run through a faster loop; an endfile change (which starts with a
// command) sends the same table through the general loop. Both must agree.
TEST(Streaming, PlainTextLoopAgreesWithGeneralLoop) {
    const std::string table = "'ab' > 'X'\n'abb' > 'Y'\n'th' > 'θ'\n'the' > 'ðə'\n'a' > 'A'\n"
                              "'zz' > ''\n'q' > 'QQQQ'\n'xa' > 'KS'\nx8140 > 'w'\n";
    std::string input = Sample(5000, 5) + "\x81\x40";
    std::string plain = RunTable(table, input);
    EXPECT_EQ(plain, RunTable(table + "endfile > ''\n", input));
    EXPECT_NE(plain, input);
    ExpectSameEverywhere(table, input);
}

} // namespace
} // namespace crv::zt::test
