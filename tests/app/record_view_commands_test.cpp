#include "app/record_view.h"

#include "app/view_test_support.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

class RecordViewCommandsTest : public ViewTest {};

TEST_F(RecordViewCommandsTest, FindMovesToTheHitAndReplaceIsAnEditUndoTakesBack) {
    CCrvDoc& doc = Open("\\lx a\r\n\\ge tree\r\n\r\n\\lx b\r\n\\ge big house\r\n\r\n"
                        "\\lx c\r\n\\ge House\r\n");
    CRecordView& v = View(doc);
    ASSERT_TRUE(v.Find("house", "Default"));
    EXPECT_EQ(Key(v), "b");
    EXPECT_EQ(v.SelectedText(), "house");
    ASSERT_TRUE(v.FindNext());
    EXPECT_EQ(Key(v), "c");
    ASSERT_TRUE(v.FindNext(false));
    EXPECT_EQ(Key(v), "b");
    find.replace = "home";
    ASSERT_TRUE(v.ReplaceNext()); // replaces in b, then finds c's
    EXPECT_EQ(Key(v), "c");
    EXPECT_EQ(Fields(doc.Records().DefaultIndex().PosAt(1).Record()),
              (Strings{"\\lx b", "\\ge big home", "\\dt 05/Mar/2024"}))
        << "left, the changed record was stamped";
    find.AddToHistory("palace", "Default");
    rec.Clear();
    EXPECT_FALSE(v.FindNext());
    EXPECT_EQ(rec.Messages(), (Strings{"Not found: palace"}));
    EXPECT_EQ(Key(v), "c");
    // Replace in the current record is undone with Undo.
    find.AddToHistory("house", "Default");
    v.SetCaret(CViewCaret{0, 0});
    ASSERT_TRUE(v.FindNext());
    ASSERT_TRUE(v.ReplaceNext());
    EXPECT_EQ(Fields(v.Record())[1], "\\ge home");
    ASSERT_TRUE(v.Undo());
    EXPECT_EQ(Fields(v.Record())[1], "\\ge House");
}

TEST_F(RecordViewCommandsTest, ReplaceAllCountsAndStampsAndReadOnlyRefuses) {
    CCrvDoc& doc = Open("\\lx a\r\n\\ge house house\r\n\r\n\\lx b\r\n\\ge tree\r\n");
    CRecordView& v = View(doc);
    find.AddToHistory("house", "Default");
    find.replace = "home";
    CReplaceResult r = v.ReplaceAllCommand();
    EXPECT_EQ(r.replaced, 2u);
    EXPECT_EQ(rec.Messages().back(), "2 occurrences were replaced.");
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx a", "\\ge home home", "\\dt 05/Mar/2024"}));
    EXPECT_FALSE(v.CanUndo());
    doc.SetReadOnly(true);
    find.AddToHistory("tree", "Default");
    EXPECT_EQ(v.ReplaceAllCommand().replaced, 0u);
}

TEST_F(RecordViewCommandsTest, SetMarginAndReshape) {
    CCrvDoc& doc = Open("\\lx a\r\n\\ge one two three four five six\r\n\r\n\\lx b\r\n\\ge x\r\n");
    CRecordView& v = View(doc);
    v.SetClientSize(300, 200);
    v.SetMarginCommand();
    EXPECT_EQ(doc.Records().RecordWidth(), 240);
    EXPECT_EQ(rec.Messages(),
              (Strings{"The margin has been set to the\nwidth of the current view."}));
    doc.Records().SetRecordWidth(96); // ten characters
    rec.answers = {Answer::No};
    EXPECT_FALSE(v.ReshapeCommand());
    EXPECT_EQ(rec.Questions(), (Strings{kReshapeQuestion}));
    EXPECT_EQ(Fields(v.Record())[1], "\\ge one two three four five six");
    unsigned told = 0;
    v.SetListener([&](unsigned c) { told |= c; });
    EXPECT_TRUE(v.ReshapeCommand());
    EXPECT_EQ(Fields(v.Record()),
              (Strings{"\\lx a", "\\ge one two\nthree four\nfive six", "\\dt 05/Mar/2024"}));
    EXPECT_EQ(Fields(doc.Records().DefaultIndex().PosAt(1).Record()), (Strings{"\\lx b", "\\ge x"}))
        << "unchanged, not stamped";
    EXPECT_TRUE(told & kViewText);
    EXPECT_EQ(rec.ProgressTexts().back(), "Reshaping " + doc.Path());
}

TEST_F(RecordViewCommandsTest, FormatParagraphWrapsABundleWholeAndUndoPutsItBack) {
    CCrvDoc& doc = Open("\\lx a\r\n\\ge aa bb cc\r\n\\nt aa bb cc\r\n");
    CMarkerSet& markers = doc.Records().Markers();
    markers.Search("ge")->SetInterlinearFlags(CMarker::kInterlinearLine |
                                              CMarker::kInterlinearTextLine);
    markers.Search("nt")->SetInterlinearFlags(CMarker::kInterlinearLine);
    doc.Records().SetRecordWidth(48); // six columns of the type's eight pixels
    CRecordView& v = View(doc);
    v.SetCaret(CViewCaret{2, 1});
    ASSERT_TRUE(v.FormatParagraphCommand());
    EXPECT_EQ(Fields(v.Record()),
              (Strings{"\\lx a", "\\ge aa bb ", "\\nt aa bb ", "\\ge cc", "\\nt cc"}));
    ASSERT_TRUE(v.Undo());
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx a", "\\ge aa bb cc", "\\nt aa bb cc"}));
}

} // namespace
} // namespace crv::test
