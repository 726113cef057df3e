#include "record/date_text.h"

#include <limits>

#include "record/record_fixture.h"
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

TEST_F(DateTextTest, BrokenClockIsReportedOnceAndStampsNothing) {
    // Year 1850 and a moment the system cannot convert at all.
    for (std::time_t broken : {std::time_t{-3786825600}, std::numeric_limits<std::time_t>::max()}) {
        EXPECT_EQ(TodayText(broken), "");
        CDateClock clock([broken] { return broken; });
        EXPECT_EQ(clock.Today(), "");
        EXPECT_EQ(clock.Today(), "");
    }
    ASSERT_EQ(rec.Messages().size(), 2u); // once per clock
    EXPECT_NE(rec.Messages()[0].find("1850"), std::string::npos);

    CLangEncSet encodings;
    CMarkerSet markers(&encodings);
    CMarker* lx = markers.SearchOrAdd("lx");
    markers.SetRecordMarker(lx);
    CMarker* dt = markers.SearchOrAdd("dt");
    CRecord record(new CField(lx, "a"));
    record.Add(new CField(dt, "01/Jan/1990"));
    CDateClock broken([] { return std::time_t{-3786825600}; });
    EXPECT_FALSE(broken.StampRecord(record, dt));
    EXPECT_EQ(record.GetLast()->Text(), "01/Jan/1990");
    CDateClock good([] { return std::time_t{1710504000}; });
    EXPECT_TRUE(good.StampRecord(record, dt));
    EXPECT_EQ(record.GetLast()->Text(), "15/Mar/2024");
}

struct Parsed {
    bool ok;
    std::string key;
    bool nonstandard;
};

Parsed Parse(std::string_view text, bool partial, bool threeDigit) {
    Parsed p{};
    p.ok = ParseDate(text, partial, threeDigit, p.key, p.nonstandard);
    return p;
}

TEST_F(DateTextTest, ParseDateRules) {
    auto ok = [](std::string_view text, bool partial, bool three, const std::string& key, bool ns) {
        Parsed p = Parse(text, partial, three);
        EXPECT_TRUE(p.ok) << text;
        EXPECT_EQ(p.key, key) << text;
        EXPECT_EQ(p.nonstandard, ns) << text;
    };
    auto bad = [](std::string_view text, bool partial, bool three) {
        EXPECT_FALSE(Parse(text, partial, three).ok) << text;
    };
    ok("05/Dec/1998", false, false, "19981205", false);
    ok("5/Dec/1998", false, false, "19981205", true);  // one-digit day
    ok("05/dec/1998", false, false, "19981205", true); // case of the month
    ok("05/DEC/1998", false, false, "19981205", true);
    ok("01/Jan/100", false, true, "20000101", true); // three-digit year
    bad("01/Jan/100", false, false);
    bad("01/Jan/200", false, true);                  // only "1" and two digits
    ok("01/Jan/05", false, false, "20050101", true); // two digits after a month
    ok("01/Jan/39", false, false, "20390101", true);
    ok("01/Jan/40", false, false, "19400101", true);
    ok("01/Jan/45", false, false, "19450101", true);
    ok("Jun/2001", true, false, "200106", false); // partial dates
    ok("jun/01", true, false, "200106", true);
    ok("2001", true, false, "2001", false);
    bad("01", true, false); // two digits need a month
    bad("Jun/2001", false, false);
    bad("2001", false, false);
    bad("05/Xyz/1998", false, false); // no such month
    bad("05/1998", true, false);      // a day needs a month
    bad("05/Dec/19980", false, false);
    bad("05/Dec/1998 ", false, false); // callers trim
    bad("05/Dec/", false, false);
    bad("", true, true);
    bad("/Dec/1998", false, false);
    bad("123/Dec/1998", false, false);
}

TEST_F(DateTextTest, FormatDateKeyIsTheInverse) {
    EXPECT_EQ(FormatDateKey("19981205"), "05/Dec/1998");
    EXPECT_EQ(FormatDateKey("200106"), "Jun/2001");
    EXPECT_EQ(FormatDateKey("2001"), "2001");
    EXPECT_EQ(FormatDateKey("20011305"), "");
    EXPECT_EQ(FormatDateKey("2001x"), "");
    EXPECT_EQ(FormatDateKey(""), "");
    for (std::string_view text : {"05/Dec/1998", "Jun/2001", "2001", "31/Jan/2045"}) {
        Parsed p = Parse(text, true, false);
        ASSERT_TRUE(p.ok);
        EXPECT_FALSE(p.nonstandard);
        EXPECT_EQ(FormatDateKey(p.key), text);
    }
}

TEST_F(DateTextTest, ConvertDateField) {
    auto converted = [](std::string_view text) {
        DateFieldConversion c = ConvertDateField(text);
        EXPECT_FALSE(c.invalid) << text;
        return c.changed ? c.newText : std::string(text);
    };
    EXPECT_EQ(converted("5/dec/98"), "05/Dec/1998");
    EXPECT_EQ(converted("01/Jan/100"), "01/Jan/2000");
    EXPECT_EQ(converted("01/Jan/05"), "01/Jan/2005");
    EXPECT_EQ(converted("01/Jan/45"), "01/Jan/1945");
    EXPECT_FALSE(ConvertDateField("05/Dec/1998").changed);
    // The white space after the date stays; a leading one goes with the conversion.
    EXPECT_EQ(converted("5/Dec/1998\n"), "05/Dec/1998\n");
    EXPECT_EQ(converted(" 5/Dec/98 \n"), "05/Dec/1998 \n");
    EXPECT_FALSE(ConvertDateField("05/Dec/1998\n").changed);
    DateFieldConversion word = ConvertDateField("yesterday");
    EXPECT_TRUE(word.invalid);
    EXPECT_FALSE(word.changed);
    EXPECT_TRUE(ConvertDateField("Dec/1998").invalid); // no partial dates in stamps
}

class ConvertRecordDatesTest : public RecordTest {};

TEST_F(ConvertRecordDatesTest, EveryFieldOfTheMarker) {
    RecordMarker("lx");
    CMarker* dt = Marker("dt");
    Marker("ge");
    CRecord* r = MakeRecord("lx a\ndt 5/dec/98\nge g\ndt 01/Jan/05|");
    bool invalid = false;
    EXPECT_TRUE(ConvertRecordDates(*r, dt, invalid));
    EXPECT_FALSE(invalid);
    EXPECT_EQ(Dump(records), "lx:a|dt:05/Dec/1998|ge:g|dt:01/Jan/2005\\n\n");

    CRecord* same = MakeRecord("lx b\ndt 05/Dec/1998");
    EXPECT_FALSE(ConvertRecordDates(*same, dt, invalid));
    EXPECT_FALSE(invalid);

    CRecord* word = MakeRecord("lx c\ndt someday\ndt 5/Dec/1998");
    EXPECT_TRUE(ConvertRecordDates(*word, dt, invalid));
    EXPECT_TRUE(invalid);
    EXPECT_EQ(word->GetNext(word->GetFirst())->Text(), "someday");

    invalid = false;
    CRecord* none = MakeRecord("lx d\nge g");
    EXPECT_FALSE(ConvertRecordDates(*none, dt, invalid));
    EXPECT_TRUE(invalid);
}

} // namespace
} // namespace crv::test
