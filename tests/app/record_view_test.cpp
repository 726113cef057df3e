#include "app/record_view.h"

#include "app/view_test_support.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

// The lexicon's default font measures 19 pixels a line and n * 19 / 2 pixels for n bytes;
// the marker font 15 pixels a line. Text begins 4 pixels after the marker area.
class RecordViewTest : public ViewTest {};

TEST_F(RecordViewTest, LinesLabelsCaretBoxAndHitTesting) {
    CCrvDoc& doc = Open("\\lx kelo\r\n\\dt 01/Jan/2000\r\n\\ge one\r\ntwo\r\n");
    doc.Records().Markers().Search("dt")->SetHidden(true);
    CRecordView& v = View(doc);
    const auto& lines = v.Lines();
    ASSERT_EQ(lines.size(), 3u) << "the hidden field is not drawn";
    EXPECT_EQ(lines[0].label, "\\lx");
    EXPECT_EQ(lines[1].field, 2);
    EXPECT_EQ(lines[1].label, "\\ge");
    EXPECT_TRUE(lines[2].label.empty());
    EXPECT_EQ(lines[2].begin, 4u);
    EXPECT_EQ(lines[2].top, 38);
    EXPECT_EQ(v.TextLeft(), 54);
    v.SetCaret(CViewCaret{2, 2});
    CViewRect caret = v.CaretBox();
    EXPECT_EQ(caret.x, 54 + 19);
    EXPECT_EQ(caret.y, 19);
    EXPECT_EQ(v.HitTest(54 + 20, 25), (CViewCaret{2, 2}));
    EXPECT_EQ(v.HitTest(10, 45), (CViewCaret{2, 4})) << "the marker area: the line's start";
    // Down keeps the column; Right at the record's end stays; Left crosses the hidden field.
    v.Key(ViewKey::Down);
    EXPECT_EQ(v.Caret(), (CViewCaret{2, 6}));
    v.Key(ViewKey::RecordEnd);
    v.Key(ViewKey::Right);
    EXPECT_EQ(v.Caret(), (CViewCaret{2, 7}));
    v.SetCaret(CViewCaret{2, 0});
    v.Key(ViewKey::Left);
    EXPECT_EQ(v.Caret(), (CViewCaret{0, 4}));
    v.Key(ViewKey::WordLeft, true);
    EXPECT_EQ(v.SelectedText(), "kelo");
    EXPECT_EQ(v.SelectionBoxes().size(), 1u);
    v.ShowMarkersAndFieldNames();
    EXPECT_EQ(v.MarkerAreaWidth(), 150);
    EXPECT_EQ(v.Lines()[0].label, "\\lx  Lexeme");
    v.ShowFieldNames();
    v.ToggleHierarchy();
    EXPECT_EQ(v.MarkerAreaWidth(), 100);
    EXPECT_EQ(v.Lines()[1].label, ".  Gloss");
}

TEST_F(RecordViewTest, SettingsComeBackAndADuplicateStartsWhereTheWindowIs) {
    CCrvDoc& doc = Open("\\lx a\r\n\\ge zebra\r\n\r\n\\lx b\r\n\\ge ant\r\nbee\r\n\r\n\\lx c\r\n");
    CWindowSettings s = CWindowSettings::ForNewWindow();
    s.index = CIndexSettings{"ge", "", false, {}, "", {}};
    CRecordView& v = View(doc, s);
    EXPECT_EQ(Key(v), "c") << "no gloss sorts first";
    ASSERT_TRUE(MoveToNextRecord(v));
    EXPECT_EQ(Key(v), "b");
    v.SetCaret(CViewCaret{1, 6});
    v.SearchKey().key = "be";
    CWindowSettings saved = v.Settings();
    ASSERT_TRUE(saved.index);
    EXPECT_EQ(saved.index->priMarker, "ge");
    ASSERT_TRUE(saved.current);
    EXPECT_EQ(saved.current->primary, "ant\nbee");
    EXPECT_EQ(saved.caretLine, 2);
    EXPECT_EQ(saved.caretChar, 2);
    CRecordView& again = View(doc, saved);
    EXPECT_EQ(Key(again), "b");
    EXPECT_EQ(again.Caret(), (CViewCaret{1, 6}));
    EXPECT_EQ(again.SearchKey().key, "be");
    auto copy = v.Duplicate();
    EXPECT_EQ(copy->Record(), v.Record());
    EXPECT_EQ(copy->Caret(), v.Caret());
    EXPECT_EQ(&copy->Index(), &v.Index()) << "the same index, shared";
    v.MakeJumpTarget();
    again.MakeJumpTarget();
    EXPECT_FALSE(v.IsJumpTarget());
    EXPECT_TRUE(again.IsJumpTarget());
}

TEST_F(RecordViewTest, WindowsFollowTheirRecordThroughOtherWindowsEdits) {
    CCrvDoc& doc = Open("\\lx a\r\n\r\n\\lx b\r\n\r\n\\lx c\r\n");
    CRecordView& v = View(doc);
    CRecordView& other = View(doc);
    ASSERT_TRUE(MoveToNextRecord(v));
    ASSERT_TRUE(MoveToNextRecord(other));
    // The other window renames b to z: this one stays on the record in its new place.
    other.SetCaret(CViewCaret{0, 0});
    other.Key(ViewKey::Delete);
    other.TypeText("z");
    ASSERT_TRUE(other.LeaveRecord());
    EXPECT_EQ(Key(v), "z");
    EXPECT_EQ(v.Current().Ordinal(), 2u);
    // The other window deletes it: this one shows the record that takes its place.
    rec.answers = {Answer::Yes};
    ASSERT_TRUE(DeleteRecordCommand(other));
    EXPECT_EQ(v.Current().Ordinal(), 1u);
    EXPECT_EQ(Key(v), "c");
}

TEST_F(RecordViewTest, BrowseRowsAreTheIndexWithCellsMadeOnDemand) {
    CCrvDoc& doc = Open("\\lx b\r\n\\ge two\r\nlines\r\n\r\n\\lx a\r\n\\ge\r\n\r\n\\lx c\r\n");
    CRecordView& v = View(doc);
    CBrowseModel browse(v);
    auto columns = browse.Columns();
    ASSERT_EQ(columns.size(), 1u) << "without columns, the index's sort marker";
    EXPECT_EQ(columns[0].title, "\\lx");
    EXPECT_EQ(browse.RowCount(), 3u);
    CBrowseList list;
    list.fieldEmpty.clear();
    list.columns = {CBrowseColumn{"lx", 80, false, {}}, CBrowseColumn{"ge", 120, true, {}},
                    CBrowseColumn{"qq", 30, false, {}}};
    v.SetBrowseColumns(list);
    v.SetBrowse(true);
    columns = browse.Columns();
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_TRUE(columns[1].rightJustify);
    EXPECT_EQ(browse.CellText(0, columns[1]), "") << "an empty field, written blank";
    EXPECT_EQ(browse.CellText(1, columns[1]), "two lines");
    EXPECT_EQ(browse.CellText(2, columns[1]), "*no field*");
    EXPECT_EQ(browse.CellText(2, columns[2]), "*no field*") << "a marker the type lacks";
    EXPECT_EQ(browse.RowHeight(), 19);
    ASSERT_TRUE(browse.ChooseCell(1, columns[1]));
    EXPECT_FALSE(v.IsBrowse());
    EXPECT_EQ(Key(v), "b");
    EXPECT_EQ(v.Caret(), (CViewCaret{1, 0})) << "the caret in the cell's field";
    EXPECT_EQ(browse.CurrentRow(), 1u);
}

} // namespace
} // namespace crv::test
