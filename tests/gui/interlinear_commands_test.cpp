#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "app/crv_app.h"
#include "app/project.h"
#include "gui/database_window.h"
#include "gui/jump_dialogs_qt.h"
#include "gui/process_editor.h"
#include "gui/record_widget.h"
#include "gui_test_support.h"
#include "record/record.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

using gui::DatabaseWindow;

// Makes window the active one with its record on key, the caret at offset of the first
// field of marker.
void PlaceCaret(gui::MainWindow& main, DatabaseWindow* window, const std::string& key,
                const std::string& marker, std::size_t offset) {
    ASSERT_NE(window, nullptr);
    main.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
    window->Record()->setFocus();
    CIndex& index = window->Index();
    CIndexPos at;
    for (CIndexPos p = index.First(); p.IsValid() && !at.IsValid(); p = index.Next(p))
        if (p.Record()->GetKey() == key)
            at = p;
    ASSERT_TRUE(at.IsValid()) << key;
    window->MoveTo(at);
    int i = 0;
    for (const CField& f : *at.Record()) {
        if (f.Marker()->Name() == marker)
            break;
        ++i;
    }
    window->RecordView().SetCaret(CViewCaret{i, offset});
    QApplication::processEvents();
}

TEST_F(GuiTest, JumpToShowsTheLexiconEntryOfTheWordAtTheCaretAndJumpInsertAddsAMissingOne) {
    Start();
    // "Kelo  kuru  sáwe-ko": the caret inside "kuru".
    PlaceCaret(Window(), WindowOf("texts.db"), "Kelo ne ponyu", "tx", 8);
    QString offered;
    {
        ModalScript script;
        script.Then([&offered](QWidget* w) {
            auto* dialog = qobject_cast<gui::JumpToDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Jump To");
            offered = dialog->KeyEdit()->text();
            dialog->accept();
        });
        Trigger("jumpTo");
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(offered, "kuru");
    DatabaseWindow* shown = Window().ActiveWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Document().Title(), "lexicon.db");
    EXPECT_EQ(shown->Current().Record()->GetKey(), "kuru");

    // "zíko" is in no lexicon: Jump Insert offers the key, then the database to take it.
    const std::string before = ReadFileBytes(SamplePath("lexicon.db"));
    PlaceCaret(Window(), WindowOf("texts.db"), "Ta-sáwe-ko", "tx", 42);
    {
        ModalScript insert;
        insert
            .Then([](QWidget* w) {
                auto* dialog = qobject_cast<gui::JumpToDialog*>(w);
                ASSERT_NE(dialog, nullptr);
                EXPECT_EQ(dialog->windowTitle(), "Jump Insert");
                EXPECT_EQ(dialog->KeyEdit()->text(), QString::fromUtf8("zíko"));
                dialog->accept();
            })
            .Then([](QWidget* w) {
                auto* choose = qobject_cast<QInputDialog*>(w);
                ASSERT_NE(choose, nullptr);
                EXPECT_EQ(choose->windowTitle(), "Select Database");
                EXPECT_TRUE(choose->comboBoxItems().first().endsWith("lexicon.db"));
                choose->accept();
            });
        Trigger("jumpInsert");
        EXPECT_TRUE(insert.Done());
        EXPECT_TRUE(insert.unexpected.empty());
    }
    shown = Window().ActiveWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Document().Title(), "lexicon.db");
    EXPECT_EQ(shown->Current().Record()->GetKey(), "zíko");
    Trigger("fileSave");
    const std::string after = Lines(SamplePath("lexicon.db"));
    EXPECT_EQ(before.find("\\lx zíko\n"), std::string::npos);
    EXPECT_NE(after.find("\\lx zíko\n"), std::string::npos);

    // With the project's warning on, closing a database the text type's jump path names
    // asks first; No keeps it open. Clearing its check box turns the warning off.
    bool& warn = m_app->App().Project()->Options().warnDocClose;
    warn = true;
    ModalScript close;
    close.Then([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->text().startsWith("This database is referenced by a jump path."));
        ASSERT_NE(box->checkBox(), nullptr);
        EXPECT_EQ(box->checkBox()->text(), "&Display this warning in the future");
        EXPECT_TRUE(box->checkBox()->isChecked());
        box->checkBox()->setChecked(false);
        ClickButton(w, "No");
    });
    Trigger("fileClose");
    EXPECT_TRUE(close.Done());
    EXPECT_NE(WindowOf("lexicon.db"), nullptr);
    EXPECT_FALSE(warn);
}

TEST_F(GuiTest, AltIOnATextLineWritesWhatCrvInterlinearizeWritesForThatRecord) {
    // crv on a second copy of the sample, as the reference.
    std::filesystem::copy(CORVANE_SAMPLE_DIR, dir.File("crv"),
                          std::filesystem::copy_options::recursive);
    QProcess crv;
    crv.start(CORVANE_CRV, {"-s", QString::fromStdString(dir.File("crv")), "interlinearize",
                            QString::fromStdString(dir.File("crv/texts.db")), "--record",
                            QString::fromUtf8("Ta-sáwe-ko")});
    ASSERT_TRUE(crv.waitForFinished(60000));
    ASSERT_EQ(crv.exitCode(), 0) << crv.readAllStandardError().toStdString();
    const std::string expected = ReadFileBytes(dir.File("crv/texts.db"));

    Start();
    DatabaseWindow* texts = WindowOf("texts.db");
    PlaceCaret(Window(), texts, "Ta-sáwe-ko", "tx", 0);
    EXPECT_EQ(Window().Action("interlinearize")->shortcut(), QKeySequence("Alt+I"));
    EXPECT_EQ(Window().Action("interlinearAdapt")->shortcut(), QKeySequence("Alt+A"));
    ModalScript script; // nothing is ambiguous in this record: no dialog may open
    QTest::keyClick(texts->Record(), Qt::Key_I, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_TRUE(script.unexpected.empty());
    // The interlinear lines stand under the text line in the window.
    bool morphemes = false;
    for (const CField& f : *texts->RecordView().Record())
        morphemes |= f.Marker()->Name() == "mb" && f.Text().find("sáwe") != std::string::npos;
    EXPECT_TRUE(morphemes);
    Trigger("fileSave");
    EXPECT_EQ(ReadFileBytes(SamplePath("texts.db")), expected);
}

TEST_F(GuiTest, MultipleMatchesShowTheChosenFieldAndPathAndKeepTheChoice) {
    Start();
    DatabaseWindow* texts = WindowOf("texts.db");
    PlaceCaret(Window(), texts, "Ámi ngári-ne", "tx", 0);
    // The caret on "nga" of the second text line: the lexicon has two entries for it.
    int field = 0;
    std::size_t offset = 0;
    for (const CField& f : *texts->Current().Record()) {
        if (f.Marker()->Name() == "tx" && f.Text().find("nga ") != std::string::npos) {
            offset = f.Text().find("nga ") + 1;
            break;
        }
        ++field;
    }
    texts->RecordView().SetCaret(CViewCaret{field, offset});
    QStringList before, after;
    ModalScript script;
    script
        .Then([](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); }) // Jump To
        .Then([&](QWidget* w) {
            auto* list = qobject_cast<gui::MultipleMatchesDialog*>(w);
            ASSERT_NE(list, nullptr);
            ASSERT_NE(list->FieldToView(), nullptr);
            EXPECT_EQ(list->FieldToView()->currentText(), "ge");
            for (int r = 0; r < list->List()->count(); ++r)
                before.push_back(list->List()->item(r)->text());
            list->FieldToView()->setCurrentText("ps");
            list->ShowPath()->setChecked(true);
            for (int r = 0; r < list->List()->count(); ++r)
                after.push_back(list->List()->item(r)->text());
            list->List()->setCurrentRow(1);
            ClickButton(w, "OK");
        });
    Trigger("jumpTo");
    EXPECT_TRUE(script.Done());
    ASSERT_GE(before.size(), 2) << before.join("|").toStdString();
    EXPECT_TRUE(before.join("|").contains("I, me")) << before.join("|").toStdString();
    EXPECT_TRUE(after.join("|").contains("pro")) << after.join("|").toStdString();
    EXPECT_FALSE(after.join("|").contains("I, me"));
    DatabaseWindow* shown = Window().ActiveWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Document().Title(), "lexicon.db");
    // The choices stay: the type's file names the field, the project shows paths.
    EXPECT_NE(Lines(SamplePath("Lexicon.typ")).find("\\mkrMultipleMatchShow ps\n"),
              std::string::npos);
    EXPECT_TRUE(m_app->App().Project()->Options().showWholePath);
}

TEST_F(GuiTest, AnAmbiguousWordIsChosenInTheAmbiguitySelectionList) {
    Start();
    DatabaseWindow* texts = WindowOf("texts.db");
    PlaceCaret(Window(), texts, "Ta-sáwe-ko", "tx", 0);
    QTest::keyClicks(texts->Record(), "nga ");
    PlaceCaret(Window(), texts, "Ta-sáwe-ko", "tx", 0);
    QStringList offered;
    ModalScript script;
    script.Then([&offered](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Ambiguity Selection");
        auto* list = w->findChild<QListWidget*>("ambiguityList");
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < list->count(); ++i)
            offered.push_back(list->item(i)->text());
        list->setCurrentRow(1);
        ClickButton(w, "OK");
    });
    Trigger("interlinearWord");
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(offered, QStringList({"I, me", "fish"}));
    // Only the word at the caret was done, with the gloss chosen.
    std::string gloss;
    for (const CField& f : *texts->RecordView().Record())
        if (f.Marker()->Name() == "ge")
            gloss = f.Text();
    EXPECT_EQ(gloss, "fish");
}

TEST_F(GuiTest, TheProcessEditorWritesAnAddedProcessToTheTypeFileAndCancelWritesNothing) {
    Start();
    PlaceCaret(Window(), WindowOf("texts.db"), "Kelo ne ponyu", "tx", 0);
    const std::string typeFile = SamplePath("Text.typ");
    const std::string original = ReadFileBytes(typeFile);
    auto addGiven = [](ModalScript& script, bool ok) {
        script
            .Then([](QWidget* w) {
                auto* editor = qobject_cast<gui::ProcessEditorDialog*>(w);
                ASSERT_NE(editor, nullptr);
                EXPECT_EQ(editor->List()->count(), 5);
                editor->findChild<QPushButton*>("processAdd")->click();
            })
            .Then([](QWidget* w) {
                auto* kind = qobject_cast<QInputDialog*>(w);
                ASSERT_NE(kind, nullptr);
                EXPECT_EQ(kind->windowTitle(), "Select Process");
                kind->setTextValue("Given");
                kind->accept();
            })
            .Then([](QWidget* w) {
                w->findChild<QComboBox*>("processFrom")->setCurrentText("tx");
                w->findChild<QComboBox*>("processTo")->setCurrentText("ft");
                ClickButton(w, "OK");
            })
            .Then([ok](QWidget* w) {
                auto* editor = qobject_cast<gui::ProcessEditorDialog*>(w);
                ASSERT_NE(editor, nullptr);
                EXPECT_EQ(editor->List()->count(), 6);
                ClickButton(w, ok ? "OK" : "Cancel");
            });
    };
    {
        ModalScript script;
        addGiven(script, false);
        Trigger("typeInterlinearProcesses");
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(script.unexpected.empty());
    }
    EXPECT_EQ(ReadFileBytes(typeFile), original);
    {
        ModalScript script;
        addGiven(script, true);
        Trigger("typeInterlinearProcesses");
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(script.unexpected.empty());
    }
    const std::string written = Lines(typeFile);
    EXPECT_NE(written.find("\\+intprc Given\n\\From tx\n\\To ft\n\\-intprc\n\\-intprclst"),
              std::string::npos);
    // What was there stays: the earlier processes and their lexicons.
    EXPECT_NE(written.find("\\+intprc Rearrange"), std::string::npos);
    EXPECT_NE(written.find("\\File affixes.db"), std::string::npos);
}

} // namespace
} // namespace crv::test
