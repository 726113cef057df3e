#include "schema/marker_subset.h"

#include "schema/marker_test_support.h"

namespace crv::test {
namespace {

std::string WrittenSubset(const CMarkerSubSet& s) {
    std::ostringstream out;
    ObjectStream os(out);
    s.Write(os);
    return out.str();
}

TEST_F(MarkerTest, SubsetListsAndMarkersCreatedLater) {
    CMarker* lx = Make("lx");
    set.SetRecordMarker(lx);
    CMarker* ge = Make("ge");
    CMarker* ps = Make("ps");

    CMarkerSubSet excluded(&set);
    EXPECT_TRUE(excluded.IsWholeSet());
    EXPECT_EQ(WrittenSubset(excluded), "");
    excluded.SetIncluded(ge, false);
    EXPECT_FALSE(excluded.IncludesMarker(ge));
    EXPECT_TRUE(excluded.IncludesMarker(ps));
    EXPECT_EQ(WrittenSubset(excluded),
              Crlf("\\+mkrsubsetExcluded\n\\mkr ge\n\\-mkrsubsetExcluded\n"));

    CMarkerSubSet included(&set, CMarkerSubSet::Storage::Included);
    included.SetIncluded(ps, false);
    included.SetIncluded(ge, false);
    EXPECT_EQ(WrittenSubset(included),
              Crlf("\\+mkrsubsetIncluded\n\\mkr lx\n\\-mkrsubsetIncluded\n"));

    // Read back, each list puts every marker on the other side first; a marker made
    // afterwards follows the kind of list, and unknown names are ignored.
    std::istringstream in(Crlf("\\+mkrsubsetExcluded\n\\mkr ge\n\\mkr gone\n\\-mkrsubsetExcluded\n"
                               "\\+mkrsubsetIncluded\n\\mkr lx\n\\-mkrsubsetIncluded\n"));
    ObjectStream is(in);
    CMarkerSubSet a(&set), b(&set);
    ASSERT_TRUE(a.Read(is));
    ASSERT_TRUE(b.Read(is));
    EXPECT_TRUE(is.AtEnd());
    CMarker* later = Make("xv");
    EXPECT_TRUE(a.IncludesMarker(lx));
    EXPECT_FALSE(a.IncludesMarker(ge));
    EXPECT_TRUE(a.IncludesMarker(later));
    EXPECT_TRUE(b.IncludesMarker(lx));
    EXPECT_FALSE(b.IncludesMarker(ps));
    EXPECT_FALSE(b.IncludesMarker(later));
    EXPECT_EQ(WrittenSubset(a), Crlf("\\+mkrsubsetExcluded\n\\mkr ge\n\\-mkrsubsetExcluded\n"));

    // Changing the storage keeps the membership of existing markers.
    b.SetStorage(CMarkerSubSet::Storage::Excluded);
    EXPECT_FALSE(b.IncludesMarker(later));
    EXPECT_TRUE(b.IncludesMarker(Make("yy")));
    b.SetIncluded(later, true);
    EXPECT_TRUE(b.IncludesMarker(later));
    b.SetWholeSet();
    EXPECT_TRUE(b.IncludesMarker(ps));
    EXPECT_EQ(WrittenSubset(b), "");
}

// A subset variant overrides the two operations (as the export subset does).
TEST_F(MarkerTest, SubsetOperationsAreVirtual) {
    struct NeverHidden : CMarkerSubSet {
        using CMarkerSubSet::CMarkerSubSet;
        bool IncludesMarker(const CMarker* m) const override {
            return !m->Hidden() && CMarkerSubSet::IncludesMarker(m);
        }
    };
    CMarker* lx = Make("lx");
    CMarkerProperties p = lx->Properties();
    p.hidden = true;
    CNote error;
    ASSERT_TRUE(set.Modify(lx, p, error));
    NeverHidden s(&set);
    const CMarkerSubSet& base = s;
    EXPECT_FALSE(base.IncludesMarker(lx));
}

} // namespace
} // namespace crv::test
