#include "app/find_text.h"

#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"
#include "schema/sort_order.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

// X has default properties: letters and digits primary, the apostrophe a secondary mark,
// the hyphen ignored, punctuation undefined. Y also has the multigraph ng.
class FindTextTest : public PlatformTest {
protected:
    FindTextTest() : x(set.FindOrCreate("X")), y(set.FindOrCreate("Y")) {
        CSortOrderDef def = y->DefaultSortOrder()->Definition();
        def.primary += "\nNg ng";
        CNote error;
        EXPECT_TRUE(y->DefaultSortOrder()->Modify(def, error)) << error.Text();
    }
    std::string Find(std::string_view find, std::string_view text, int mask = kMatchPrimary,
                     bool whole = false, const CLangEnc* enc = nullptr) {
        CFindMatcher m(find, enc ? enc : x, mask, whole);
        auto hit = m.FindForward(text, 0);
        return hit ? std::to_string(hit->begin) + "-" + std::to_string(hit->end) : "-";
    }

    CLangEncSet set;
    CLangEnc* x;
    CLangEnc* y;
};

TEST_F(FindTextTest, UnitsCompareAtTheChosenLevel) {
    EXPECT_EQ(Find("house", "The House"), "4-9");
    EXPECT_EQ(Find("house", "The House", kMatchNoCase), "4-9");
    EXPECT_EQ(Find("house", "The House", kMatchExact), "-");
    EXPECT_EQ(Find("house", "the house", kMatchAll), "4-9");
    // An ignored character is looked past below level i, and counts at level i.
    EXPECT_EQ(Find("house", "hou-se"), "0-6");
    EXPECT_EQ(Find("house", "hou-se", kMatchAll), "-");
    // A secondary mark counts from the case level on.
    EXPECT_EQ(Find("ma", "m'a"), "0-3");
    EXPECT_EQ(Find("ma", "m'a", kMatchNoCase), "-");
    // A find text of ignored characters only is looked for at level i.
    EXPECT_EQ(Find("-", "a-b"), "1-2");
    // Characters no sort order defines match only themselves.
    EXPECT_EQ(Find("caf\xC3\xA9", "un caf\xC3\xA9."), "3-8");
    EXPECT_EQ(Find("cafe", "caf\xC3\xA9"), "-");
    EXPECT_EQ(Find("", "abc"), "-");
}

TEST_F(FindTextTest, AMultigraphIsOneCharacter) {
    EXPECT_EQ(Find("n", "ngo", kMatchPrimary, false, y), "-");
    EXPECT_EQ(Find("g", "ngo", kMatchPrimary, false, y), "-");
    EXPECT_EQ(Find("ng", "ongo", kMatchPrimary, false, y), "1-3");
    EXPECT_EQ(Find("Ng", "ongo", kMatchPrimary, false, y), "1-3");
    EXPECT_EQ(Find("n", "ongo", kMatchPrimary, false, x), "1-2") << "no multigraph in X";
    EXPECT_EQ(Find("o", "ngo", kMatchPrimary, false, y), "2-3");
}

TEST_F(FindTextTest, WholeWordsEndAtSpacesAndUndefinedCharacters) {
    EXPECT_EQ(Find("house", "houses house,", kMatchPrimary, true), "7-12");
    EXPECT_EQ(Find("house", "(house)", kMatchPrimary, true), "1-6");
    EXPECT_EQ(Find("house", "big\nhouse", kMatchPrimary, true), "4-9");
    // The hyphen belongs to words (the sort order knows it), the apostrophe too.
    EXPECT_EQ(Find("house", "house-boat", kMatchPrimary, true), "-");
    EXPECT_EQ(Find("ma", "ma'", kMatchPrimary, true), "-");
    EXPECT_EQ(Find("ng", "ngo ng", kMatchPrimary, true, y), "4-6");
}

TEST_F(FindTextTest, ASpaceInsideTheFindTextAlsoMatchesALineBreak) {
    EXPECT_EQ(Find("big house", "a big\nhouse"), "2-11");
    EXPECT_EQ(Find("big house", "a big  house"), "-");
    // Not at the edges: a space there is a space.
    EXPECT_EQ(Find(" house", "a\nhouse"), "-");
    EXPECT_EQ(Find(" house", "a house"), "1-7");
}

TEST_F(FindTextTest, BackwardTakesTheLastHitBeginningBeforeTheOffsetAndForwardSkipsHits) {
    CFindMatcher m("a", x, kMatchPrimary, false);
    auto back = m.FindBackward("a a a", 4);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->begin, 2u);
    EXPECT_FALSE(m.FindBackward("a a a", 0));
    std::vector<std::size_t> all;
    CFindMatcher aa("aa", x, kMatchPrimary, false);
    aa.ForEach("aaaaa", 0, [&](const CTextHit& h) { all.push_back(h.begin); });
    EXPECT_EQ(all, (std::vector<std::size_t>{0, 2}));
    // Without an encoding bytes are compared as they stand.
    CFindMatcher bytes("A", nullptr, kMatchPrimary, false);
    EXPECT_FALSE(bytes.FindForward("abc", 0));
    EXPECT_TRUE(bytes.FindForward("xAb", 0));
}

} // namespace
} // namespace crv::test
