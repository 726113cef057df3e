#include "base/dbl_list.h"

#include "support/test_support.h"

namespace crv {
namespace {

struct Item : CDblListEl {
    Item(int v, int* deaths) : v(v), deaths(deaths) {}
    ~Item() override { ++*deaths; }
    int v;
    int* deaths;
};

std::string Values(const CDblList<Item>& l) {
    std::string s;
    for (auto& i : l)
        s += std::to_string(i.v);
    // Walk back as well so that prev links are checked.
    std::string r;
    for (Item* i = l.GetLast(); i; i = l.GetPrev(i))
        r.insert(r.begin(), static_cast<char>('0' + i->v));
    EXPECT_EQ(s, r);
    return s;
}

class DblListTest : public test::PlatformTest {};

TEST_F(DblListTest, InsertRemoveDeleteKeepLinks) {
    int deaths = 0;
    CDblList<Item> l;
    auto* a = new Item(1, &deaths);
    auto* b = new Item(2, &deaths);
    auto* c = new Item(3, &deaths);
    l.Add(b);
    l.InsertBefore(b, a);
    l.InsertAfter(b, c);
    EXPECT_EQ(Values(l), "123");
    EXPECT_EQ(l.Count(), 3u);

    Item* ref = c;
    Item* removed = l.RemoveRef(ref); // at the tail: ref moves to the predecessor
    EXPECT_EQ(removed, c);
    EXPECT_EQ(ref, b);
    EXPECT_EQ(Values(l), "12");
    delete removed;

    ref = a;
    l.DeleteRef(ref); // ref moves to the successor
    EXPECT_EQ(ref, b);
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(Values(l), "2");
    l.DeleteAll();
    EXPECT_EQ(deaths, 3);
    EXPECT_TRUE(l.IsEmpty());
}

TEST_F(DblListTest, MoveAllToSplicesAtTail) {
    int deaths = 0;
    CDblList<Item> a, b;
    a.Add(new Item(1, &deaths));
    a.Add(new Item(2, &deaths));
    b.Add(new Item(3, &deaths));
    b.MoveAllTo(a);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(Values(a), "123");
    CDblList<Item> empty;
    a.MoveAllTo(empty);
    EXPECT_EQ(Values(empty), "123");
    EXPECT_EQ(deaths, 0);
}

TEST_F(DblListTest, LinkingALinkedElementIsReported) {
    int deaths = 0;
    CDblList<Item> l;
    auto* a = new Item(1, &deaths);
    auto* b = new Item(2, &deaths);
    l.Add(a);
    l.Add(b);
    CDblList<Item> other;
    other.Add(a); // a has a next: misuse
    EXPECT_EQ(rec.InternalErrors().size(), 1u);
    rec.Clear();
}

} // namespace
} // namespace crv
