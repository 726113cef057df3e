#include "gui/main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QtTest>

#include "app/doc_manager.h"
#include "app/preferences.h"
#include "gui/database_window.h"
#include "gui/key_search_dialogs.h"
#include "gui/qt_text.h"
#include "gui_test_support.h"

namespace crv::test {
namespace {

using gui::DatabaseWindow;

TEST_F(GuiTest, StartsOnTheSampleProjectWithAWindowPerDatabase) {
    Start();
    EXPECT_EQ(Window().windowTitle(), "Corvane - sample.prj");
    EXPECT_EQ(m_app->Prefs().Get(Preferences::kLastWndTitle), "Corvane - sample.prj");
    ASSERT_EQ(Window().Windows().size(), 3u);
    DatabaseWindow* lex = WindowOf("lexicon.db");
    ASSERT_NE(lex, nullptr);
    EXPECT_EQ(lex->Model()->rowCount(), 32);
    EXPECT_EQ(lex->Model()->index(0, 0).data().toString(), QString::fromUtf8("ámi"));
    // Each command has its prompt in the status bar and its tooltip.
    QAction* next = Window().Action("recordNext");
    EXPECT_EQ(next->statusTip(), "Go to the next record");
    EXPECT_EQ(next->toolTip(), "Next Record (Ctrl+PgDown)");
    EXPECT_EQ(Window().Action("windowDuplicate")->statusTip(), "Duplicate the active window.");
    EXPECT_TRUE(CloseProgram());
    EXPECT_EQ(m_app->Prefs().Get(Preferences::kLastWndTitle), "");
    EXPECT_EQ(m_app->Prefs().Get(Preferences::kProjectLastClosed), SamplePath("sample.prj"));
}

TEST_F(GuiTest, MovesThroughRecordsByMenuAndKeyAndBeepsAtTheEnds) {
    Start();
    DatabaseWindow* lex = WindowOf("lexicon.db");
    Window().Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(lex->parentWidget()));
    Trigger("recordNext");
    EXPECT_EQ(lex->Current().Ordinal(), 1u);
    EXPECT_TRUE(lex->StatusText().startsWith("Record 2 of 32"));
    Trigger("recordLast");
    EXPECT_EQ(lex->Current().Ordinal(), 31u);
    int beeps = m_app->Platform().Beeps();
    Trigger("recordNext");
    EXPECT_EQ(lex->Current().Ordinal(), 31u);
    EXPECT_EQ(m_app->Platform().Beeps(), beeps + 1);
    Trigger("recordFirst");
    EXPECT_EQ(lex->Current().Ordinal(), 0u);
    // The shortcut, and the arrow keys of the list.
    QTest::keyClick(lex->Table(), Qt::Key_PageDown, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(lex->Current().Ordinal(), 1u);
    QTest::keyClick(lex->Table(), Qt::Key_Down);
    EXPECT_EQ(lex->Current().Ordinal(), 2u);
    // Typing in the list goes to the first record that begins so, in the sort order.
    QTest::keyClicks(lex->Table(), "tsu");
    EXPECT_EQ(lex->Current().Record()->GetKey(), "tsum\xC3\xA1");
}

TEST_F(GuiTest, SearchByKeyMovesToAMatchChoosesAmongSeveralAndInsertsWhenNone) {
    Start();
    DatabaseWindow* lex = WindowOf("lexicon.db");
    Window().Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(lex->parentWidget()));
    auto typeKey = [](const QString& key) {
        return [key](QWidget* w) {
            auto* dialog = qobject_cast<gui::KeyDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            dialog->KeyEdit()->clear();
            QTest::keyClicks(dialog->KeyEdit(), key);
            ClickButton(w, "OK");
        };
    };
    ModalScript script;
    script.Then(typeKey("kelo"));
    Trigger("recordSearch");
    EXPECT_EQ(lex->Current().Record()->GetKey(), "kelo");

    // Two homographs: the list, and the second chosen.
    script.Then(typeKey("nga")).Then([](QWidget* w) {
        auto* list = qobject_cast<gui::MultipleMatchesDialog*>(w);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->List()->count(), 3); // nga 1, nga 2, ngári: a key may be a prefix
        list->List()->setCurrentRow(1);
        ClickButton(w, "OK");
    });
    Trigger("recordSearch");
    EXPECT_EQ(lex->Current().Record()->GetKey(), "nga");
    const CRecord* r = lex->Current().Record();
    EXPECT_EQ(r->GetNext(r->GetFirst())->Text(), "2");
    EXPECT_TRUE(script.unexpected.empty());

    // No match: Insert adds the record, the window shows it and the database is modified.
    script.Then(typeKey("zaza")).Press("Insert");
    Trigger("recordSearch");
    EXPECT_EQ(lex->Current().Record()->GetKey(), "zaza");
    EXPECT_EQ(lex->Model()->rowCount(), 33);
    EXPECT_TRUE(lex->Document().IsModified());
    EXPECT_TRUE(lex->Caption().endsWith(" *"));
    EXPECT_TRUE(script.Done());
}

TEST_F(GuiTest, ABareFileNameIsRefusedAndTheStartDialogOffersNewOpenOrLeave) {
    ModalScript script;
    script.Press("OK").Press("Exit Corvane");
    m_app = std::make_unique<gui::DesktopApp>();
    EXPECT_EQ(m_app->Start("sample.prj", true), gui::DesktopApp::StartResult::Left);
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_EQ(script.texts[0], "You must specify the full pathname of the project file.");
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(m_app->App().HasProject());
}

TEST_F(GuiTest, ASecondInstanceEndsAndLeavesTheFirstOneAlone) {
    Start();
    {
        gui::DesktopApp second;
        EXPECT_EQ(second.Start(SamplePath("sample.prj"), false),
                  gui::DesktopApp::StartResult::AnotherInstance);
    }
    QApplication::processEvents();
    EXPECT_EQ(m_app->Prefs().Get(Preferences::kLastWndTitle), "Corvane - sample.prj");
    EXPECT_TRUE(m_app->App().HasProject());
}

TEST(QtTextTest, FileFiltersBecomeQtFilters) {
    EXPECT_EQ(gui::QtFileFilter("Project files (*.prj)|*.prj|All files (*.*)|*.*||"),
              "Project files (*.prj);;All files (*)");
    EXPECT_EQ(gui::QtFileFilter("Change Table (*.ztt;*.zt)|*.ztt;*.zt||"),
              "Change Table (*.ztt *.zt)");
}

} // namespace
} // namespace crv::test
