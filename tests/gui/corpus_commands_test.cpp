#include "gui/corpus_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "gui/corpus_dialogs_qt.h"
#include "gui/database_window.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui_test_support.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

using gui::DatabaseWindow;

std::vector<std::string> ColumnMarkers(DatabaseWindow& w) {
    std::vector<std::string> markers;
    for (const CBrowseColumn& c : w.RecordView().BrowseColumns().columns)
        markers.push_back(c.marker + (c.rightJustify ? ">" : ""));
    return markers;
}

TEST_F(GuiTest, ConcordanceOpensABrowseWindowWithARowPerOccurrence) {
    Start();
    ModalScript script;
    script.Then([](QWidget* w) {
        auto* dialog = qobject_cast<gui::ConcordanceDialogQt*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Corpus()->setCurrentText("Tsaloni stories");
        QTest::keyClicks(dialog->Search(), "ponyu");
        ClickButton(w, "OK");
    });
    script.Press("OK"); // the project has no "Book References" encoding
    QTest::keyClick(&Window(), Qt::Key_L, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_TRUE(script.texts[0].startsWith("The  Book References  language is not available."));
    DatabaseWindow* w = WindowOf("lookup.db");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->IsBrowse());
    EXPECT_EQ(w->Model()->rowCount(), 5);
    EXPECT_EQ(ColumnMarkers(*w),
              (std::vector<std::string>{"concref", "concbef>", "conctar", "concaft"}));
    EXPECT_EQ(w->Index().PriMarker()->Name(), "concref");
    // Each row is one occurrence: the target is the word searched for.
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(w->Model()->index(row, 2).data().toString().toLower(), "ponyu") << row;
}

TEST_F(GuiTest, WordListOpensABrowseWindowWithWordAndCountColumns) {
    Start();
    ModalScript script;
    script.Then([](QWidget* w) {
        auto* dialog = qobject_cast<gui::WordListDialogQt*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Corpus()->setCurrentText("Tsaloni stories");
        EXPECT_EQ(dialog->Output()->text(), "wordlist.db");
        dialog->Refs()->setChecked(false);
        ClickButton(w, "OK");
    });
    Trigger("toolsWordList");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    DatabaseWindow* w = WindowOf("wordlist.db");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->IsBrowse());
    EXPECT_EQ(w->Model()->rowCount(), 26);
    EXPECT_EQ(ColumnMarkers(*w), (std::vector<std::string>{"w", "c>"}));
    EXPECT_EQ(w->Index().PriMarker()->Name(), "w");
    // "kelo" stands four times in the stories.
    bool found = false;
    for (int row = 0; row < w->Model()->rowCount(); ++row)
        if (w->Model()->index(row, 0).data().toString() == "kelo") {
            found = true;
            EXPECT_EQ(w->Model()->index(row, 1).data().toString(), "4");
        }
    EXPECT_TRUE(found);
}

TEST_F(GuiTest, CorpusPropertiesAddAFileThatTheProjectFileKeepsAndCancelKeepsNothing) {
    const std::string added = SamplePath("story4.sfm");
    const std::string dropped = SamplePath("story5.sfm");
    WriteFileBytes(added, "\\id Four\r\n\\c 1\r\n\\v 1 kelo\r\n");
    WriteFileBytes(dropped, "\\id Five\r\n\\c 1\r\n\\v 1 kelo\r\n");
    Start();
    auto addLast = [](QWidget* w) {
        auto* props = qobject_cast<gui::CorpusPropertiesDialogQt*>(w);
        ASSERT_NE(props, nullptr);
        EXPECT_EQ(props->Name()->text(), "Tsaloni stories");
        EXPECT_EQ(props->Files()->count(), 3);
        ClickButton(w, "Add Last..."); // the file chooser, answered by the next step
    };
    // The properties come back on top after the file chooser.
    auto confirm = [](const std::string& path, const char* button) {
        return [path, button](QWidget* w) {
            auto* props = qobject_cast<gui::CorpusPropertiesDialogQt*>(w);
            ASSERT_NE(props, nullptr);
            ASSERT_EQ(props->Files()->count(), 4);
            EXPECT_EQ(props->Files()->item(3)->text(), gui::Q(path));
            ClickButton(w, button);
        };
    };
    auto modify = [](QWidget* w) {
        auto* list = qobject_cast<gui::CorpusListDialogQt*>(w);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->List()->count(), 1);
        list->List()->setCurrentRow(0);
        ClickButton(w, "Modify...");
    };
    for (auto [path, button] : {std::pair{dropped, "Cancel"}, {added, "OK"}}) {
        ModalScript script;
        script.Then(modify);
        script.Then(addLast);
        script.ChooseFile(path);
        script.Then(confirm(path, button));
        script.Then([](QWidget* w) { ClickButton(w, "Close"); }); // the list, on top again
        Trigger("toolsCorpora");
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(script.unexpected.empty());
    }
    EXPECT_TRUE(CloseProgram());
    const std::string project = ReadFileBytes(SamplePath("sample.prj"));
    EXPECT_NE(project.find("\\File story3.sfm\r\n\\File " + added + "\r\n\\-FilesList"),
              std::string::npos)
        << project;
    EXPECT_EQ(project.find("story5.sfm"), std::string::npos);
}

} // namespace
} // namespace crv::test
