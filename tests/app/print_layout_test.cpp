#include "app/print_layout.h"

#include <gtest/gtest.h>

namespace crv {
namespace {

TEST(PrintLayoutTest, HeaderAndFooterCodesAreFilledIn) {
    EXPECT_EQ(ExpandPrintCodes("File: &f, Date: &d", "lexicon.db", "06/Dec/2026", 3),
              "File: lexicon.db, Date: 06/Dec/2026");
    EXPECT_EQ(ExpandPrintCodes("Page &p", "x", "d", 12), "Page 12");
    // && is one ampersand; other codes and a final & print as they stand.
    EXPECT_EQ(ExpandPrintCodes("A && B &x &P &&p &", "f", "d", 1), "A & B &x &P &p &");
    EXPECT_EQ(ExpandPrintCodes("", "f", "d", 1), "");
}

TEST(PrintLayoutTest, MarginsAreReadInTheirUnits) {
    std::optional<double> pt;
    EXPECT_TRUE(ParseMargin("", pt));
    EXPECT_FALSE(pt);
    EXPECT_TRUE(ParseMargin(" 1 ", pt));
    EXPECT_DOUBLE_EQ(*pt, 72);
    EXPECT_TRUE(ParseMargin("0.5in", pt));
    EXPECT_DOUBLE_EQ(*pt, 36);
    EXPECT_TRUE(ParseMargin("0,5\"", pt));
    EXPECT_DOUBLE_EQ(*pt, 36);
    EXPECT_TRUE(ParseMargin("2.54 cm", pt));
    EXPECT_DOUBLE_EQ(*pt, 72);
    EXPECT_TRUE(ParseMargin("25.4MM", pt));
    EXPECT_DOUBLE_EQ(*pt, 72);
    EXPECT_TRUE(ParseMargin("18pt", pt));
    EXPECT_DOUBLE_EQ(*pt, 18);
    for (const char* bad : {"abc", "-1", "1 furlong", "1.2.3", "30in", "in"})
        EXPECT_FALSE(ParseMargin(bad, pt)) << bad;

    CPrintProperties props;
    props.topMargin = "1";
    props.leftMargin = "wide";
    props.rightMargin = "2cm";
    std::string message;
    PrintMargins m = ResolveMargins(props, message);
    EXPECT_DOUBLE_EQ(*m.top, 72);
    EXPECT_FALSE(m.left);
    EXPECT_FALSE(m.bottom);
    EXPECT_NEAR(*m.right, 56.69, 0.01);
    EXPECT_NE(message.find("\"wide\""), std::string::npos) << message;
    props.leftMargin.clear();
    ResolveMargins(props, message);
    EXPECT_EQ(message, "");
}

// The pages as "record:first-end@top" slices, pages separated by "|".
std::string Layout(const std::vector<PrintPage>& pages) {
    std::string out;
    for (const PrintPage& page : pages) {
        if (!out.empty())
            out += " | ";
        for (std::size_t i = 0; i < page.slices.size(); ++i) {
            const PrintSlice& s = page.slices[i];
            out += (i ? " " : "") + std::to_string(s.record) + ":" + std::to_string(s.firstLine) +
                   "-" + std::to_string(s.endLine) + "@" + std::to_string(s.top);
        }
    }
    return out;
}

TEST(PrintLayoutTest, RecordsAreSpacedAndKeptWholeWhereTheyFit) {
    // Body 100 high, lines 10 high, 5 between records.
    std::vector<std::vector<int>> records = {{10, 10, 10}, {10, 10, 10, 10}, {10, 10, 10}, {}};
    // The third record does not fit in what is left (75 + 5 + 30 > 100): it starts the
    // next page, without the space at its top.
    EXPECT_EQ(Layout(PaginateRecords(records, 100, 5, true)), "0:0-3@0 1:0-4@35 | 2:0-3@0");
    // Not kept whole: the record breaks where the page ends.
    EXPECT_EQ(Layout(PaginateRecords(records, 100, 5, false)),
              "0:0-3@0 1:0-4@35 2:0-2@80 | 2:2-3@0");
    records.push_back({10, 10, 10});
    EXPECT_EQ(Layout(PaginateRecords(records, 100, 5, true)),
              "0:0-3@0 1:0-4@35 | 2:0-3@0 4:0-3@35");
    EXPECT_EQ(Layout(PaginateRecords(records, 100, 5, false)),
              "0:0-3@0 1:0-4@35 2:0-2@80 | 2:2-3@0 4:0-3@15");
}

TEST(PrintLayoutTest, RecordsTallerThanAPageBreakAtLines) {
    std::vector<std::vector<int>> records = {{10}, std::vector<int>(25, 10)};
    // Too tall for any page: it starts on the next page and breaks at lines.
    EXPECT_EQ(Layout(PaginateRecords(records, 100, 5, true)), "0:0-1@0 | 1:0-10@0 | 1:10-20@0 | "
                                                              "1:20-25@0");
    // A line taller than the body has a page of its own; a body of no height still ends.
    EXPECT_EQ(Layout(PaginateRecords({{10, 300, 10}}, 100, 5, true)),
              "0:0-1@0 | 0:1-2@0 | 0:2-3@0");
    EXPECT_EQ(Layout(PaginateRecords({{10, 10}}, 0, 5, false)), "0:0-1@0 | 0:1-2@0");
    // Nothing to print is one empty page.
    EXPECT_EQ(PaginateRecords({}, 100, 5, true).size(), 1u);
}

} // namespace
} // namespace crv
