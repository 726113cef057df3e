#include "base/set.h"

#include "support/test_support.h"

namespace crv {
namespace {

class Named : public CSetEl {
public:
    explicit Named(std::string n, int tag = 0) : CSetEl(std::move(n)), tag(tag) {}
    int tag;
};

class SetTest : public test::PlatformTest {};

std::string Order(const CSet<Named>& s) {
    std::string out;
    for (auto& el : s)
        out += el.Name() + std::to_string(el.tag) + " ";
    return out;
}

TEST_F(SetTest, AddKeepsByteOrderAndPutsEqualNamesAfter) {
    CSet<Named> s;
    s.Add(new Named("b", 1));
    s.Add(new Named("a", 2));
    s.Add(new Named("b", 3));
    s.Add(new Named("\xE9", 4)); // high bytes sort after ASCII
    s.Add(new Named("B", 5));
    EXPECT_EQ(Order(s), "B5 a2 b1 b3 \xE9"
                        "4 ");
}

TEST_F(SetTest, SearchExactAndPrefix) {
    for (bool indexed : {false, true}) {
        CSet<Named> s(indexed);
        s.Add(new Named("abc"));
        s.Add(new Named("b"));
        EXPECT_EQ(s.Search("ab", true), nullptr);
        ASSERT_NE(s.Search("ab", false), nullptr);
        EXPECT_EQ(s.Search("ab", false)->Name(), "abc");
        EXPECT_EQ(s.Search("b")->Name(), "b");
        EXPECT_EQ(s.Search("c"), nullptr);
        EXPECT_EQ(s.SearchN("bxyz", 1)->Name(), "b");
        EXPECT_EQ(s.Search("", false)->Name(), "abc") << "empty prefix matches the first";
    }
}

TEST_F(SetTest, IndexedSetFollowsRemoveAndRename) {
    CIndexedSet<Named> s;
    auto* a1 = new Named("aa");
    auto* a2 = new Named("ab");
    s.Add(a2);
    s.Add(a1);
    EXPECT_EQ(s.Search("ab"), a2);
    s.Delete(a1);
    EXPECT_EQ(s.Search("ab"), a2);
    s.Rename(a2, "zz");
    EXPECT_EQ(s.Search("ab"), nullptr);
    EXPECT_EQ(s.Search("zz"), a2);
    s.Add(new Named("za"));
    EXPECT_EQ(s.Search("zz"), a2);
    EXPECT_EQ(s.Search("za")->Name(), "za");
}

TEST_F(SetTest, MakeUniqueName) {
    CSet<Named> s;
    EXPECT_EQ(s.MakeUniqueName("Lexicon"), "Lexicon");
    s.Add(new Named("Lexicon"));
    EXPECT_EQ(s.MakeUniqueName("Lexicon"), "Lexicon2");
    s.Add(new Named("Lexicon2"));
    EXPECT_EQ(s.MakeUniqueName("Lexicon"), "Lexicon3");
    s.Add(new Named("Text12"));
    EXPECT_EQ(s.MakeUniqueName("Text12"), "Text13");
    s.Add(new Named("99"));
    EXPECT_EQ(s.MakeUniqueName("99"), "100");
}

TEST_F(SetTest, CheckNewName) {
    CSet<Named> s;
    s.Add(new Named("x"));
    CNote e1, e2;
    EXPECT_FALSE(s.CheckNewName("", e1));
    EXPECT_EQ(e1.Text(), "Expecting a name");
    EXPECT_FALSE(s.CheckNewName("x", e2));
    EXPECT_EQ(e2.Text(), "This name has already been used: x");
    CNote e3;
    EXPECT_TRUE(s.CheckNewName("y", e3));
    EXPECT_TRUE(e3.IsEmpty());
}

} // namespace
} // namespace crv
