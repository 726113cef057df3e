#include "gui/database_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QtTest>

#include "app/doc_manager.h"
#include "gui/document_dialogs_qt.h"
#include "gui/record_widget.h"
#include "gui/sort_dialogs.h"
#include "gui_test_support.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

using gui::DatabaseWindow;

void Activate(gui::MainWindow& main, DatabaseWindow* w) {
    main.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
}

// The blocks of a database file after its header: one per record.
std::vector<std::string> RecordBlocks(const std::string& file) {
    std::vector<std::string> blocks;
    std::size_t at = file.find("\r\n\r\n");
    while (at != std::string::npos) {
        std::size_t next = file.find("\r\n\r\n", at + 4);
        std::string block = file.substr(at + 4, next == std::string::npos ? next : next - at - 4);
        while (!block.empty() && (block.back() == '\n' || block.back() == '\r'))
            block.pop_back();
        blocks.push_back(block + "\r\n");
        at = next;
    }
    return blocks;
}

TEST_F(GuiTest, SavingWritesEveryRecordBackUnchangedWithTheNewOneAndKeepsABackup) {
    Start();
    DatabaseWindow* lex = WindowOf("lexicon.db");
    Activate(Window(), lex);
    const std::string path = SamplePath("lexicon.db");
    const std::string before = ReadFileBytes(path);
    // Saving without changes leaves the file alone, byte for byte.
    Trigger("fileSave");
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(SamplePath("lexicon.bak")));

    ModalScript script;
    script.Then([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>(), "zaza");
        ClickButton(w, "OK");
    });
    Trigger("recordInsert");
    ASSERT_EQ(lex->Current().Record()->GetKey(), "zaza");
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(lex->Table(), Qt::Key_S, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_FALSE(lex->Document().IsModified());
    EXPECT_FALSE(lex->Caption().endsWith("*"));
    const std::string after = ReadFileBytes(path);
    EXPECT_EQ(ReadFileBytes(SamplePath("lexicon.bak")), before);
    EXPECT_EQ(after.substr(0, after.find("\r\n\r\n")), before.substr(0, before.find("\r\n\r\n")));
    std::vector<std::string> written = RecordBlocks(after);
    for (const std::string& block : RecordBlocks(before))
        EXPECT_NE(std::find(written.begin(), written.end(), block), written.end()) << block;
    EXPECT_NE(std::find(written.begin(), written.end(), "\\lx zaza\r\n"), written.end());
    EXPECT_EQ(written.size(), RecordBlocks(before).size() + 1);
}

TEST_F(GuiTest, ClosingWithChangesAsksAndCancelKeepsEverythingOpen) {
    Start();
    DatabaseWindow* lex = WindowOf("lexicon.db");
    Activate(Window(), lex);
    const std::string before = ReadFileBytes(SamplePath("lexicon.db"));
    ModalScript script;
    script.Press("Yes"); // delete the current record
    Trigger("recordDelete");
    EXPECT_EQ(lex->Model()->rowCount(), 31);
    script.Press("Cancel");
    EXPECT_FALSE(CloseProgram());
    EXPECT_EQ(script.texts.back(), "Save changes to lexicon.db?");
    EXPECT_EQ(Window().Windows().size(), 3u);
    EXPECT_TRUE(m_app->App().HasProject());

    // No: nothing is written to the database; the project file is written.
    script.Press("No");
    EXPECT_TRUE(CloseProgram());
    EXPECT_EQ(ReadFileBytes(SamplePath("lexicon.db")), before);
    EXPECT_FALSE(m_app->App().HasProject());
    EXPECT_TRUE(Window().Windows().empty());
    EXPECT_NE(ReadFileBytes(SamplePath("sample.prj")).find("\\placementMain"), std::string::npos);
    EXPECT_TRUE(script.unexpected.empty());
}

TEST_F(GuiTest, ClosingTheLastWindowOfAModifiedDatabaseAsksAndYesSaves) {
    Start();
    DatabaseWindow* lex = WindowOf("lexicon.db");
    Activate(Window(), lex);
    ModalScript script;
    script.Press("Yes");
    Trigger("recordDelete");
    // A second window on the same database: closing the first asks nothing.
    Trigger("windowDuplicate");
    ASSERT_EQ(Window().Windows().size(), 4u);
    lex->parentWidget()->close();
    QApplication::processEvents();
    EXPECT_EQ(Window().Windows().size(), 3u);
    script.Press("Yes");
    Window().ActiveWindow()->parentWidget()->close();
    QApplication::processEvents();
    EXPECT_EQ(script.texts.back(), "Save changes to lexicon.db?");
    EXPECT_EQ(RecordBlocks(ReadFileBytes(SamplePath("lexicon.db"))).size(), 31u);
    EXPECT_EQ(m_app->App().Project()->Documents().Count(), 2u);
}

// The browse table's first column as the window's index holds it.
void ExpectTableMatchesIndex(DatabaseWindow* w) {
    QAbstractItemModel* model = w->Model();
    ASSERT_EQ(static_cast<std::size_t>(model->rowCount()), w->Index().Count());
    for (int r = 0; r < model->rowCount(); ++r)
        EXPECT_EQ(model->index(r, 0).data().toString().toStdString(),
                  std::string(w->Index().EntryAt(static_cast<std::size_t>(r))->Record()->GetKey()))
            << "row " << r;
}

TEST_F(GuiTest, ABrowseWindowFollowsInsertsEditsAndDeletesOfAnotherWindowRowByRow) {
    Start();
    DatabaseWindow* lex = WindowOf("lexicon.db");
    Activate(Window(), lex);
    Trigger("windowDuplicate");
    DatabaseWindow* browse = Window().ActiveWindow();
    ASSERT_NE(browse, lex);
    QTest::keyClick(browse->Record(), Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(browse->IsBrowse());
    // A model that breaks Qt's rules for row changes ends the test run.
    QAbstractItemModelTester tester(browse->Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(browse->Model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(browse->Model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(browse->Model(), &QAbstractItemModel::rowsRemoved);
    browse->MoveTo(browse->Index().PosAt(20));
    const CRecord* shown = browse->Current().Record();

    Activate(Window(), lex);
    ModalScript script;
    script.Then([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>(), "aaa");
        ClickButton(w, "OK");
    });
    Trigger("recordInsert");
    EXPECT_EQ(browse->Model()->rowCount(), 33);
    EXPECT_EQ(browse->Model()->index(0, 0).data().toString(), "aaa");
    ExpectTableMatchesIndex(browse);
    EXPECT_EQ(inserted.count(), 1);

    // The new key typed in the record window moves the record to the end when it is left.
    QTest::keyClicks(lex->Record(), "zzz");
    Trigger("recordNext");
    ExpectTableMatchesIndex(browse);
    EXPECT_EQ(browse->Model()->index(32, 0).data().toString(), "zzzaaa");

    Activate(Window(), lex);
    Trigger("recordLast");
    script.Press("Yes");
    Trigger("recordDelete");
    EXPECT_EQ(browse->Model()->rowCount(), 32);
    ExpectTableMatchesIndex(browse);
    EXPECT_GE(removed.count(), 2);
    // Row by row: the table never started over, and it still shows the record it showed.
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(browse->Current().Record(), shown);
    EXPECT_EQ(browse->Table()->currentIndex().row(), static_cast<int>(browse->Current().Ordinal()));
    EXPECT_TRUE(script.unexpected.empty());
}

TEST_F(GuiTest, SortingByAnotherFieldReordersTheWindowOnly) {
    Start();
    DatabaseWindow* lex = WindowOf("lexicon.db");
    Activate(Window(), lex);
    Trigger("windowDuplicate");
    DatabaseWindow* copy = Window().ActiveWindow();
    ModalScript script;
    script.Then([](QWidget* w) {
        auto* dialog = qobject_cast<gui::SortDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Fields()->clear();
        auto items = dialog->Available()->findItems("\\ge", Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        dialog->Available()->setCurrentItem(items[0]);
        ClickButton(w, "First ->");
        EXPECT_EQ(dialog->Orders()->currentText(), "English");
        ClickButton(w, "OK");
    });
    Trigger("databaseSort");
    EXPECT_EQ(copy->Index().PriMarker()->Name(), "ge");
    EXPECT_EQ(lex->Index().PriMarker()->Name(), "lx");
    EXPECT_TRUE(copy->StatusText().contains("Sorted by \\ge"));
    EXPECT_EQ(copy->Model()->headerData(0, Qt::Horizontal).toString(), "\\ge");
}

TEST_F(GuiTest, FieldsInWindows1252ShowAsTheirCharacters) {
    WriteFileBytes(SamplePath("old.db"), "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx caf\xE9\r\n\\ge "
                                         "\x93quoted\x94\r\n");
    Start();
    CCrvDoc* doc = m_app->App().Project()->Documents().OpenDocument(SamplePath("old.db"));
    ASSERT_NE(doc, nullptr);
    DatabaseWindow* w = Window().OpenWindow(*doc);
    EXPECT_EQ(w->Model()->index(0, 0).data().toString(), QString::fromUtf8("café"));
    EXPECT_EQ(w->Model()->index(0, 1).data().toString(),
              QString::fromUtf8("\xE2\x80\x9Cquoted\xE2\x80\x9D"));
}

TEST_F(GuiTest, ImportingATextFileGoesThroughTheImportDialog) {
    const std::string path = SamplePath("notes.txt");
    WriteFileBytes(path, "\\lx ba\r\n\\ge go\r\n\r\n\\lx ab\r\n\\ge come\r\n");
    Start();
    ModalScript script;
    script.ChooseFile(path);
    script.Then([](QWidget* w) {
        auto* dialog = qobject_cast<gui::ImportDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->Backup()->isChecked());
        ClickButton(w, "OK"); // no type yet
    });
    script.Press("OK"); // "You must choose a Database Type!"
    script.Then([](QWidget* w) {
        auto* dialog = qobject_cast<gui::ImportDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Types()->setCurrentText("Lexicon");
        dialog->Backup()->setChecked(false);
        ClickButton(w, "OK");
    });
    Trigger("fileImport");
    EXPECT_TRUE(script.Done());
    ASSERT_GE(script.texts.size(), 1u);
    EXPECT_EQ(script.texts[0], "You must choose a Database Type!");
    DatabaseWindow* w = WindowOf("notes.txt");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Model()->rowCount(), 2);
    EXPECT_EQ(ReadFileBytes(path).substr(0, 24), "\\_sh v3.0  400  Lexicon\r");
}

} // namespace
} // namespace crv::test
