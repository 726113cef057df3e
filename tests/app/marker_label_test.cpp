#include "app/marker_label.h"

#include "schema/marker_test_support.h"

namespace crv::test {
namespace {

class MarkerLabelTest : public MarkerTest {};

TEST_F(MarkerLabelTest, LabelsFollowTheMarkerAreaSettings) {
    CMarker* lx = Make("lx", "Lexeme");
    set.SetRecordMarker(lx);
    CMarker* sn = Make("sn", "Sense");
    CMarker* ge = Make("ge", "Gloss", sn);
    CMarker* nt = Make("nt");
    CMarker* xx = Make("xx", "*");
    CMarker* sub = Make("fv", "Form");
    sub->SetSubfield(true);
    set.ComputeLevels();
    CMarkerAreaSettings markers{true, false, false};
    CMarkerAreaSettings all{true, true, true};
    CMarkerAreaSettings names{false, false, true};
    EXPECT_EQ(MarkerLabel(*ge, markers), "\\ge");
    EXPECT_EQ(MarkerLabel(*ge, all), ".  .  \\ge  Gloss");
    EXPECT_EQ(MarkerLabel(*lx, all), "\\lx  Lexeme");
    EXPECT_EQ(MarkerLabel(*ge, names), "Gloss");
    // Without a field name the marker is shown even when only names are asked for.
    EXPECT_EQ(MarkerLabel(*nt, names), "\\nt");
    EXPECT_EQ(MarkerLabel(*xx, names), "\\xx");
    EXPECT_EQ(MarkerLabel(*sub, markers), "fv");
    CMarker* longName = Make("long", std::string(120, 'n'));
    EXPECT_EQ(MarkerLabel(*longName, all).size(), 99u);
}

} // namespace
} // namespace crv::test
