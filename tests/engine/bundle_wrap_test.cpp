#include "engine/bundle_wrap.h"

#include "engine/engine_test_support.h"
#include "engine/text_measure.h"

namespace crv::test {
namespace {

class BundleWrapTest : public EngineTest {
protected:
    BundleWrapTest() {
        tx = Make("tx", "Text");
        mb = Make("mb", "Morphemes");
        gl = Make("gl", "Word gloss");
        tx->SetInterlinearFlags(CMarker::kInterlinearLine | CMarker::kInterlinearTextLine);
        mb->SetInterlinearFlags(CMarker::kInterlinearLine);
        gl->SetInterlinearFlags(CMarker::kInterlinearLine);
        FontSpec font;
        font.height = -20; // 12 pixels a character on the recording platform
        markers.DefaultLangEnc()->SetFont(font);
    }
    ~BundleWrapTest() override { records.DeleteAll(); }

    // Each field as "\mkr text".
    static Strings Fields(const CRecord& r) {
        Strings out;
        for (const CField& f : r)
            out.push_back("\\" + f.Marker()->Name() + " " + f.Text());
        return out;
    }

    CMarker *tx, *mb, *gl;
    CRecordList records;
};

TEST_F(BundleWrapTest, ABundleIsATextLineAndTheInterlinearLinesAfterIt) {
    CRecord* r = AddRecord(
        records, {{lx, "t"}, {tx, "a b"}, {mb, "a b"}, {gl, "x y"}, {ge, "free"}, {tx, "alone"}});
    CField* text = FieldAt(*r, 1);
    EXPECT_TRUE(IsBundleTextLine(*r, text));
    EXPECT_EQ(BundleFields(*r, text).size(), 3u);
    EXPECT_EQ(BundleTextLine(*r, FieldAt(*r, 3)), text);
    EXPECT_TRUE(IsInBundle(*r, FieldAt(*r, 2)));
    EXPECT_FALSE(IsInBundle(*r, FieldAt(*r, 4)));
    // A text line with nothing interlinear after it is ordinary text.
    EXPECT_FALSE(IsBundleTextLine(*r, FieldAt(*r, 5)));
    EXPECT_EQ(BundleWrapColumns(400, 8), 50u);
    EXPECT_EQ(BundleWrapColumns(0, 0), 1u);
}

TEST_F(BundleWrapTest, WrapsWholeBundlesAtAColumnWhereEveryLineStartsAWord) {
    CRecord* r = AddRecord(records, {{lx, "t"},
                                     {tx, "one two   three four\n"},
                                     {mb, "one tw -o three four"},
                                     {gl, "1   2     3     4"}});
    // Column 7 begins a word of the morpheme line only; 4 is the largest column not
    // beyond 9 that begins a word in every line.
    EXPECT_EQ(WrapBundle(*r, FieldAt(*r, 1), 9), 3u);
    EXPECT_EQ(Fields(*r),
              (Strings{"\\lx t", "\\tx one \n", "\\mb one ", "\\gl 1   ", "\\tx two   \n",
                       "\\mb tw -o ", "\\gl 2     ", "\\tx three \n", "\\mb three ", "\\gl 3     ",
                       "\\tx four\n", "\\mb four", "\\gl 4"}));
    // In a UTF-8 line a column is a character: kelo stands at column 5 over dog.
    CRecord* u = AddRecord(records, {{lx, "u"}, {tx, "sáwe kelo\n"}, {mb, "see  dog"}});
    EXPECT_EQ(WrapBundle(*u, FieldAt(*u, 1), 5), 1u);
    EXPECT_EQ(Fields(*u),
              (Strings{"\\lx u", "\\tx sáwe \n", "\\mb see  ", "\\tx kelo\n", "\\mb dog"}));
}

TEST_F(BundleWrapTest, TakesTheFirstColumnBeyondTheWidthWhenNoneFitsAndNeverCutsAWord) {
    CRecord* r = AddRecord(records, {{lx, "t"}, {tx, "longword next"}, {mb, "longword next"}});
    EXPECT_EQ(WrapBundle(*r, FieldAt(*r, 1), 4), 1u);
    EXPECT_EQ(Fields(*r),
              (Strings{"\\lx t", "\\tx longword ", "\\mb longword ", "\\tx next", "\\mb next"}));
    CRecord* solid = AddRecord(records, {{lx, "u"}, {tx, "abcdefghijkl"}, {mb, "abc defghijkl"}});
    EXPECT_EQ(WrapBundle(*solid, FieldAt(*solid, 1), 4), 0u);
    EXPECT_EQ(FieldAt(*solid, 1)->Text(), "abcdefghijkl");
}

TEST_F(BundleWrapTest, FormattingARecordWrapsBundlesWholeAndParagraphsByLine) {
    CRecord* r = AddRecord(records, {{lx, "t"},
                                     {tx, "aa bb cc"},
                                     {mb, "aa bb cc"},
                                     {ge, "one two three"},
                                     {ps, "one two three"}});
    ps->SetNoWordWrap(true);
    CTextMeasure measure;
    // 72 pixels: six characters, or six columns of width 12.
    RecordFormatResult result = FormatRecord(*r, 72, 12, measure);
    EXPECT_TRUE(result.changed);
    EXPECT_TRUE(result.fieldsAdded);
    EXPECT_EQ(Fields(*r), (Strings{"\\lx t", "\\tx aa bb ", "\\mb aa bb ", "\\tx cc", "\\mb cc",
                                   "\\ge one\ntwo\nthree", "\\ps one two three"}));
    EXPECT_FALSE(FormatRecord(*r, 72, 12, measure).changed);
}

} // namespace
} // namespace crv::test
