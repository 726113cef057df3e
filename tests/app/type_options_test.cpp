#include "app/type_options.h"

#include "app/crv_doc.h"
#include "doc_test_support.h"
#include "record/record.h"

namespace crv::test {
namespace {

TEST_F(DocTest, TypeOptionsRefuseWithoutChangingAndANewStampMarkerConvertsTheDates) {
    std::string path = Db("t.db", "\\_sh v3.0  400  Text\r\n\r\n\\id one\r\n\\dt 1/Jan/05\r\n");
    CCrvDoc* doc = docs->OpenDocument(path);
    ASSERT_TRUE(doc);
    CDatabaseType& type = doc->Type();
    type.SetModified(false);
    CTypeOptions o = TypeOptionsOf(type);
    EXPECT_EQ(o.dateStamp, "");
    EXPECT_EQ(o.interlinCharWidth, 8);
    EXPECT_EQ(MarkerChoices(type), (std::vector<std::string>{"[none]", "dt", "id"}));

    o.description = "Texts";
    o.dateStamp = "qq";
    EXPECT_FALSE(ApplyTypeOptions(type, o, docs.get()));
    EXPECT_EQ(rec.Messages().back(), "Marker not in marker list: \\qq");
    o.dateStamp = "dt";
    o.interlinCharWidth = 0;
    EXPECT_FALSE(ApplyTypeOptions(type, o, docs.get()));
    o.interlinCharWidth = 9;
    o.recordTemplate = "id\n\\dt";
    EXPECT_FALSE(ApplyTypeOptions(type, o, docs.get()));
    EXPECT_FALSE(type.IsModified());
    EXPECT_EQ(type.Description(), "");

    o.recordTemplate = "\\id\n\\dt";
    EXPECT_TRUE(ApplyTypeOptions(type, o, docs.get()));
    EXPECT_EQ(TypeOptionsOf(type), o);
    EXPECT_TRUE(type.IsModified());
    EXPECT_EQ(doc->Records().Records().GetFirst()->GetLast()->Text(), "01/Jan/2005");
    EXPECT_TRUE(doc->IsModified());
}

} // namespace
} // namespace crv::test
