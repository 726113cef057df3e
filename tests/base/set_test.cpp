#include "base/set.h"

#include <random>
#include <vector>

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

// A set large enough to keep its name index must answer as the sorted list does: the
// first element with the name (or beginning with it), equal names in the order added,
// through adds, removals (of the first of equal names too) and renames.
TEST_F(SetTest, NameIndexAnswersAsTheSortedListDoes) {
    std::mt19937 random(7);
    auto name = [&] {
        std::string n;
        for (int i = static_cast<int>(random() % 3); i >= 0; --i)
            n += "ab\xE9"[random() % 3];
        return n;
    };
    for (bool indexed : {false, true}) {
        CSet<Named> s(indexed);
        std::vector<Named*> model; // in the order the set must hold them
        int tag = 0;
        for (int step = 0; step < 3000; ++step) {
            int op = static_cast<int>(random() % 10);
            if (op < 5 || model.size() < 3) {
                auto* el = new Named(name(), ++tag);
                s.Add(el);
                auto at = std::upper_bound(model.begin(), model.end(), el, [](auto* a, auto* b) {
                    return CompareNames(a->Name(), b->Name()) < 0;
                });
                model.insert(at, el);
            } else {
                std::size_t i = random() % model.size();
                Named* el = model[i];
                std::string renamed = name() + "b";
                if (op >= 8 && renamed == el->Name())
                    continue; // the same name: it stays where it is
                model.erase(model.begin() + static_cast<long>(i));
                if (op < 8) {
                    s.Delete(el);
                } else {
                    s.Rename(el, renamed);
                    auto at =
                        std::upper_bound(model.begin(), model.end(), el, [](auto* a, auto* b) {
                            return CompareNames(a->Name(), b->Name()) < 0;
                        });
                    model.insert(at, el);
                }
            }
            ASSERT_EQ(s.Count(), model.size());
            std::size_t i = 0;
            for (Named& el : s)
                ASSERT_EQ(&el, model[i++]) << "step " << step;
            std::string probe = name();
            Named* exact = nullptr;
            Named* prefix = nullptr;
            for (Named* el : model) {
                if (!exact && el->Name() == probe)
                    exact = el;
                if (!prefix && el->Name().compare(0, probe.size(), probe) == 0)
                    prefix = el;
            }
            ASSERT_EQ(s.Search(probe), exact) << "step " << step << " " << probe;
            ASSERT_EQ(s.Search(probe, false), prefix) << "step " << step << " " << probe;
        }
    }
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
