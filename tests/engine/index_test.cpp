#include "engine/index.h"

#include "engine/engine_test_support.h"

namespace crv::test {
namespace {

TEST_F(EngineTest, RecordsWithoutOrWithSeveralSortFieldsHaveOneEntryEach) {
    Add({{lx, "b"}, {ge, "two"}, {ge, "one"}, {ge, "three"}});
    Add({{lx, "a"}});
    Add({{lx, "c"}, {ge, "alpha"}});
    CIndexRef byGe = Db().GetIndex(By(ge));
    EXPECT_EQ(Listing(*byGe), (Strings{"-/a", "alpha/c", "one/b", "three/b", "two/b"}));
    EXPECT_EQ(Listing(Db().DefaultIndex()), (Strings{"a/a", "b/b", "c/c"}));
}

TEST_F(EngineTest, FilteredIndexKeepsThePassingEntriesOfItsBaseInOrder) {
    TestFilter withPs("nouns", ps, "n");
    Add({{lx, "c"}, {ps, "n"}});
    Add({{lx, "b"}, {ps, "v"}});
    Add({{lx, "a"}, {ps, "n"}});
    CIndexRef nouns = Db().GetIndex(By(lx, {}, &withPs));
    EXPECT_EQ(nouns->Base(), &Db().DefaultIndex());
    EXPECT_EQ(Listing(*nouns), (Strings{"a/a", "c/c"}));
    EXPECT_EQ(withPs.calls, 3);
    EXPECT_EQ(rec.ProgressTexts().back(), "Filtering using nouns");
}

} // namespace
} // namespace crv::test
