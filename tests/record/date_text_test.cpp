#include "record/date_text.h"

#include "support/test_support.h"

namespace crv::test {
namespace {

class DateTextTest : public PlatformTest {};

TEST_F(DateTextTest, DateStampFormat) {
    EXPECT_EQ(DateStampText({1998, 12, 5}), "05/Dec/1998");
    EXPECT_EQ(DateStampText({2045, 1, 31}), "31/Jan/2045");
    EXPECT_EQ(MonthAbbreviation(13), "");
    // Noon UTC is the same date in nearly every time zone.
    EXPECT_EQ(TodayText(1710504000), "15/Mar/2024");
    EXPECT_EQ(TodayText(2538302400), "08/Jun/2050");
}

} // namespace
} // namespace crv::test
