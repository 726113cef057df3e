#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QInputDialog>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QtTest>

#include "app/doc_manager.h"
#include "app/project.h"
#include "gui/database_window.h"
#include "gui/find_dialog.h"
#include "gui/record_widget.h"
#include "gui_test_support.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

using gui::DatabaseWindow;

DatabaseWindow* ActiveLexicon(GuiTest& test, gui::MainWindow& main, DatabaseWindow* lex) {
    main.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(lex->parentWidget()));
    lex->Record()->setFocus();
    QApplication::processEvents();
    (void)test;
    return lex;
}

// The fields of a record as "\mkr text" lines.
std::string FieldsOf(const CRecord& record) {
    std::string out;
    for (const CField& f : record)
        out += "\\" + f.Marker()->Name() + " " + f.Text() + "\n";
    return out;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST_F(GuiTest, TypingSplittingAndUndoingInARecordWindowAndSavingWritesOnlyThatRecord) {
    Start();
    DatabaseWindow* lex = ActiveLexicon(*this, Window(), WindowOf("lexicon.db"));
    gui::RecordWidget* record = lex->Record();
    ASSERT_TRUE(record->isVisible());
    EXPECT_FALSE(lex->IsBrowse());
    // The record is drawn from the view's lines, the first field first.
    EXPECT_EQ(record->LineText(0), QString::fromUtf8("ámi"));
    Trigger("recordNext");
    Trigger("recordNext");
    CRecord* r = lex->Current().Record();
    const std::string key = r->GetKey();
    const std::string original = FieldsOf(*r);
    const std::string before = ReadFileBytes(SamplePath("lexicon.db"));

    // At the end of the key field: type, then a line break and a backslash split the
    // field; the chooser names the new field's marker.
    QTest::keyClick(record, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(record, Qt::Key_End);
    QTest::keyClicks(record, "zq");
    EXPECT_EQ(r->GetKey(), key + "zq");
    EXPECT_TRUE(Window().Action("editUndo")->isEnabled());
    ModalScript script;
    script.Then([](QWidget* w) {
        auto* chooser = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(chooser, nullptr);
        chooser->setTextValue("\\xe");
        chooser->accept();
    });
    QTest::keyClick(record, Qt::Key_Return);
    QTest::keyClicks(record, "\\");
    QTest::keyClicks(record, "new note");
    EXPECT_TRUE(script.Done());
    ASSERT_GE(r->Count(), 2u);
    auto second = std::next(r->begin());
    EXPECT_EQ(second->Marker()->Name(), "xe");
    EXPECT_EQ(second->Text(), "new note");
    // Undo takes back the typing, then the split joins the fields again.
    Trigger("editUndo");
    EXPECT_EQ(second->Text(), "");
    Trigger("editUndo");
    EXPECT_NE(std::next(r->begin())->Marker()->Name(), "xe");
    // Undo All asks, then the record is as it was.
    script.Press("Yes");
    Trigger("editUndoAll");
    EXPECT_EQ(FieldsOf(*r), original);

    // An edit kept and saved: the other records' bytes stay as they were.
    QTest::keyClick(record, Qt::Key_End);
    QTest::keyClicks(record, "zq");
    Trigger("fileSave");
    const std::string after = ReadFileBytes(SamplePath("lexicon.db"));
    // Saving left the record first: it is stamped with today's date.
    const std::size_t at = after.find("\\lx " + key + "zq\r\n");
    ASSERT_NE(at, std::string::npos);
    const std::string today = QDate::currentDate().toString("dd/MMM/yyyy").toStdString();
    EXPECT_NE(after.substr(at, after.find("\r\n\r\n", at) - at).find("\\dt " + today),
              std::string::npos);
    EXPECT_FALSE(Window().Action("editUndo")->isEnabled());
    std::size_t kept = 0;
    for (std::size_t at = before.find("\r\n\r\n"); at != std::string::npos;) {
        std::size_t next = before.find("\r\n\r\n", at + 4);
        std::string block = before.substr(at + 2, next == std::string::npos ? next : next - at);
        kept += after.find(block) != std::string::npos;
        at = next;
    }
    EXPECT_EQ(kept, Count(before, "\r\n\\lx ") - 1);
    EXPECT_TRUE(script.unexpected.empty());
}

TEST_F(GuiTest, BrowseShowsTheWindowsColumnsAndChoosingACellOpensTheRecordOnThatField) {
    Start();
    DatabaseWindow* lex = ActiveLexicon(*this, Window(), WindowOf("lexicon.db"));
    QTest::keyClick(lex->Record(), Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(lex->IsBrowse());
    EXPECT_TRUE(lex->Table()->isVisible());
    QAbstractItemModel* model = lex->Table()->model();
    EXPECT_EQ(model->rowCount(), 32);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "\\lx");
    int ge = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == "\\ge")
            ge = c;
    ASSERT_GE(ge, 0);
    QModelIndex cell = model->index(5, ge);
    const QString gloss = cell.data().toString();
    lex->Table()->setCurrentIndex(cell);
    QTest::keyClick(lex->Table(), Qt::Key_Return);
    EXPECT_FALSE(lex->IsBrowse());
    EXPECT_EQ(lex->Current().Ordinal(), 5u);
    // The caret is in the cell's field.
    int n = 0;
    const CField* caretField = nullptr;
    for (const CField& f : *lex->Current().Record())
        if (n++ == lex->RecordView().Caret().field)
            caretField = &f;
    ASSERT_NE(caretField, nullptr);
    EXPECT_EQ(caretField->Marker()->Name(), "ge");
    EXPECT_EQ(QString::fromStdString(caretField->Text()), gloss);
}

TEST_F(GuiTest, WindowsReopenAsTheyWereSavedInTheProject) {
    Start();
    DatabaseWindow* lex = ActiveLexicon(*this, Window(), WindowOf("lexicon.db"));
    Trigger("recordNext");
    Trigger("recordNext");
    Trigger("recordNext");
    Trigger("viewBrowse");
    ASSERT_TRUE(lex->IsBrowse());
    lex->Table()->horizontalHeader()->resizeSection(0, 222);
    const std::string key = lex->Current().Record()->GetKey();
    ASSERT_TRUE(CloseProgram());
    const std::string project = ReadFileBytes(SamplePath("sample.prj"));
    EXPECT_NE(project.find("\\+wnd"), std::string::npos);
    EXPECT_NE(project.find("\\Browse"), std::string::npos);
    EXPECT_NE(project.find("\\width 222"), std::string::npos);
    EXPECT_NE(project.find("\\+rec Cur"), std::string::npos);

    m_app.reset();
    Start();
    ASSERT_EQ(Window().Windows().size(), 3u);
    lex = WindowOf("lexicon.db");
    ASSERT_NE(lex, nullptr);
    EXPECT_TRUE(lex->IsBrowse());
    EXPECT_EQ(lex->Current().Record()->GetKey(), key);
    EXPECT_EQ(lex->Table()->columnWidth(0), 222);
    // Saved again without changes, the project says the same.
    ASSERT_TRUE(CloseProgram());
    EXPECT_EQ(ReadFileBytes(SamplePath("sample.prj")), project);
}

TEST_F(GuiTest, DuplicateStartsWhereTheWindowStands) {
    Start();
    DatabaseWindow* lex = ActiveLexicon(*this, Window(), WindowOf("lexicon.db"));
    Trigger("recordNext");
    QTest::keyClick(lex->Record(), Qt::Key_Down);
    QTest::keyClick(lex->Record(), Qt::Key_Right);
    Trigger("viewFieldNames");
    Trigger("windowDuplicate");
    DatabaseWindow* copy = Window().ActiveWindow();
    ASSERT_NE(copy, lex);
    EXPECT_EQ(copy->Current().Record(), lex->Current().Record());
    EXPECT_EQ(copy->RecordView().Caret(), lex->RecordView().Caret());
    EXPECT_TRUE(copy->RecordView().MarkerArea().fieldNames);
    EXPECT_EQ(copy->RecordView().MarkerAreaWidth(), 100);
}

TEST_F(GuiTest, FindAndReplaceThroughTheDialogWithItsHistory) {
    Start();
    DatabaseWindow* lex = ActiveLexicon(*this, Window(), WindowOf("lexicon.db"));
    ModalScript script;
    script.Then([](QWidget* w) {
        auto* dialog = qobject_cast<gui::FindDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Text()->setEditText("fish");
        dialog->Language()->setCurrentText("English");
        dialog->LanguageChoice()->setChecked(true);
        ClickButton(w, "Find Next");
    });
    Trigger("editFind");
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(lex->RecordView().SelectedText(), "fish");
    EXPECT_EQ(m_app->App().Project()->Find().Text(), "fish");

    // Replace All over the database, then save: the bytes say what the dialog did.
    const std::string before = ReadFileBytes(SamplePath("lexicon.db"));
    script.Then([](QWidget* w) {
        auto* dialog = qobject_cast<gui::FindDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Text()->itemText(0), "fish"); // the history
        dialog->Text()->setEditText("walk");
        dialog->Replacement()->setEditText("stroll");
        ClickButton(w, "Replace All");
    });
    script.Press("OK");
    Trigger("editReplace");
    ASSERT_FALSE(script.texts.empty());
    const QString told = script.texts.back();
    EXPECT_TRUE(told.endsWith("occurrences were replaced.")) << told.toStdString();
    const std::size_t replaced = told.section(' ', 0, 0).toULong();
    EXPECT_GT(replaced, 0u);
    Trigger("fileSave");
    const std::string after = ReadFileBytes(SamplePath("lexicon.db"));
    EXPECT_EQ(Count(after, "stroll"), Count(before, "stroll") + replaced);
    EXPECT_EQ(Count(after, "walk"), Count(before, "walk") - replaced);
    EXPECT_EQ(m_app->App().Project()->Find().replace, "stroll");
    // Find Previous (Ctrl+D) goes back to an earlier hit of the history's text.
    EXPECT_EQ(Window().Action("editFindPrevious")->shortcut(), QKeySequence("Ctrl+D"));
    EXPECT_EQ(Window().Action("editFindNext")->shortcut(), QKeySequence("Ctrl+G"));
    EXPECT_TRUE(script.unexpected.empty());
}

TEST_F(GuiTest, InputMethodTextGoesInAndARightToLeftFieldRunsFromTheRightEdge) {
    Start();
    DatabaseWindow* lex = ActiveLexicon(*this, Window(), WindowOf("lexicon.db"));
    CMarker* lx = lex->Document().Records().RecordMarker();
    ASSERT_NE(lx->LangEnc(), nullptr);
    lx->LangEnc()->SetRightToLeft(true);
    gui::RecordWidget* record = lex->Record();
    // The key replaced by what an input method commits.
    QTest::keyClick(record, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(record, Qt::Key_End, Qt::ShiftModifier);
    QInputMethodEvent compose(QString::fromUtf8("\xD7\xA9"), {});
    QApplication::sendEvent(record, &compose);
    EXPECT_EQ(lex->Current().Record()->GetKey(), "\xC3\xA1mi"); // nothing yet
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"));
    QApplication::sendEvent(record, &commit);
    EXPECT_EQ(lex->Current().Record()->GetKey(), "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D");
    record->viewport()->repaint();
    // A click near the right edge of the first line is the start of the field's text,
    // one at the left of the text its end.
    const CViewLine line = lex->RecordView().Lines().front();
    int y = line.top - lex->RecordView().ScrollTop() + line.height / 2;
    QTest::mouseClick(record->viewport(), Qt::LeftButton, {},
                      QPoint(record->viewport()->width() - 5, y));
    EXPECT_EQ(lex->RecordView().Caret().offset, 0u);
    QTest::mouseClick(record->viewport(), Qt::LeftButton, {},
                      QPoint(lex->RecordView().TextLeft() + 1, y));
    EXPECT_EQ(lex->RecordView().Caret().offset, line.end);
    // Down from the start of the text, at the right edge, goes to the right end of the
    // next (left-to-right) line, and Up comes back to where it was drawn.
    QTest::mouseClick(record->viewport(), Qt::LeftButton, {},
                      QPoint(record->viewport()->width() - 5, y));
    QTest::keyClick(record, Qt::Key_Down);
    const CViewCaret below = lex->RecordView().Caret();
    EXPECT_EQ(below.field, lex->RecordView().Lines()[1].field);
    EXPECT_EQ(below.offset, lex->RecordView().Lines()[1].end);
    QTest::keyClick(record, Qt::Key_Up);
    EXPECT_EQ(lex->RecordView().Caret().field, line.field);
    EXPECT_EQ(lex->RecordView().Caret().offset, 0u);
    lx->LangEnc()->SetRightToLeft(false);
}

} // namespace
} // namespace crv::test
