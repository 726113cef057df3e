#include "record/date_condition.h"

#include "support/test_support.h"

namespace crv::test {
namespace {

class DateConditionTest : public PlatformTest {};

CDateCondition Condition(CDateCondition::Relation rel, std::string_view date) {
    CDateCondition c;
    c.SetRel(rel);
    CNote error;
    EXPECT_TRUE(c.SetDate(date, error)) << error.Text();
    return c;
}

TEST_F(DateConditionTest, RelationCodes) {
    using R = CDateCondition::Relation;
    EXPECT_EQ(CDateCondition::RelationOfCode("="), R::Equal);
    EXPECT_EQ(CDateCondition::RelationOfCode(">"), R::After);
    EXPECT_EQ(CDateCondition::RelationOfCode("<"), R::Before);
    EXPECT_EQ(CDateCondition::RelationOfCode("?"), R::Before);
    EXPECT_EQ(CDateCondition::RelationOfCode(""), R::Before);
    for (R r : {R::Before, R::Equal, R::After})
        EXPECT_EQ(CDateCondition::RelationOfCode(CDateCondition::RelationCode(r)), r);
}

TEST_F(DateConditionTest, ComparesOverTheLengthOfTheConditionsDate) {
    using R = CDateCondition::Relation;
    CDateCondition year = Condition(R::Equal, "2001");
    EXPECT_TRUE(MatchDate(year, "15/Jun/2001"));
    EXPECT_TRUE(MatchDate(year, " 01/Jan/2001\n")); // trimmed
    EXPECT_FALSE(MatchDate(year, "31/Dec/2000"));
    CDateCondition month = Condition(R::Equal, "Jun/2001");
    EXPECT_TRUE(MatchDate(month, "30/Jun/2001"));
    EXPECT_FALSE(MatchDate(month, "01/Jul/2001"));
    CDateCondition before = Condition(R::Before, "30/Jun/2001");
    EXPECT_TRUE(MatchDate(before, "29/Jun/2001"));
    EXPECT_FALSE(MatchDate(before, "30/Jun/2001"));
    CDateCondition after = Condition(R::After, "Jun/2001");
    EXPECT_TRUE(MatchDate(after, "01/Jul/2001"));
    EXPECT_FALSE(MatchDate(after, "30/Jun/2001"));
    EXPECT_TRUE(MatchDate(Condition(R::After, "1999"), "5/dec/2000")); // nonstandard field
    // Fields that are not full dates never match, in any relation.
    for (R r : {R::Before, R::Equal, R::After}) {
        CDateCondition c = Condition(r, "2001");
        EXPECT_FALSE(MatchDate(c, "Jun/2001"));
        EXPECT_FALSE(MatchDate(c, "2001"));
        EXPECT_FALSE(MatchDate(c, "someday"));
        EXPECT_FALSE(MatchDate(c, ""));
        EXPECT_FALSE(MatchDate(c, "01/Jan/100"));        // no three-digit years in fields
        EXPECT_FALSE(MatchDate(c, "15/Jun/2001\nnote")); // the whole text must be a date
    }
}

TEST_F(DateConditionTest, TypedAndStoredDates) {
    CDateCondition c;
    CNote error;
    EXPECT_TRUE(c.SetDate("5/jun/01", error));
    EXPECT_EQ(c.DateText(), "05/Jun/2001");
    EXPECT_EQ(c.Key(), "20010605");
    EXPECT_TRUE(c.SetDate(" jun/2001 ", error));
    EXPECT_EQ(c.DateText(), "Jun/2001");
    // A typed date that is no date is refused and changes nothing.
    EXPECT_FALSE(c.SetDate("midsummer", error));
    EXPECT_EQ(error.Text(), "Unrecognized date:  midsummer");
    EXPECT_EQ(c.DateText(), "Jun/2001");
    // A stored one is kept for writing back, and matches nothing.
    CNote stored;
    EXPECT_FALSE(c.SetStoredDate("30/Feb/20011", stored));
    EXPECT_EQ(stored.Text(), "Unrecognized date:  30/Feb/20011");
    EXPECT_EQ(c.DateText(), "30/Feb/20011");
    EXPECT_FALSE(c.IsValid());
    EXPECT_FALSE(MatchDate(c, "30/Feb/2001"));
    CNote none;
    EXPECT_TRUE(c.SetStoredDate("1/Jan/2001", none));
    EXPECT_EQ(c.DateText(), "01/Jan/2001");
    EXPECT_TRUE(none.IsEmpty());
}

} // namespace
} // namespace crv::test
