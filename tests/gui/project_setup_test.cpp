// A project set up from an empty folder through the desktop program alone: a language with
// a multigraph and its own order, a type with its markers, a database with records typed
// in, and a filter; the window then shows the passing records in that order.
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>
#include <cstring>
#include <filesystem>

#include "app/crv_doc.h"
#include "app/project.h"
#include "engine/index.h"
#include "gui/database_window.h"
#include "gui/filter_editor_dialog.h"
#include "gui/lang_enc_dialogs.h"
#include "gui/record_widget.h"
#include "gui/sort_order_dialog.h"
#include "gui_test_support.h"
#include "record/record.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

using ModalStep = ModalScript::Step;

ModalStep TypeInto(const char* text) {
    return [text](QWidget* w) {
        auto* input = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(input, nullptr);
        input->setTextValue(QString::fromUtf8(text));
        input->accept();
    };
}

TEST_F(GuiTest, AProjectSetUpFromAnEmptyFolderShowsItsFilteredRecordsInItsOwnOrder) {
    Start();
    const std::string folder = dir.File("fresh");
    std::filesystem::create_directories(folder);
    const std::string prj = folder + "/words.prj";

    {
        ModalScript project;
        project.ChooseFile(prj);
        Trigger("projectNew");
        ASSERT_TRUE(project.Done());
    }
    ASSERT_NE(m_app->App().Project(), nullptr);
    ASSERT_EQ(m_app->App().Project()->Path(), prj);

    // A language whose order makes ch a letter of its own, after c.
    {
        ModalScript language;
        language.Then([](QWidget* list) { PressNamed(list, "langEncNew"); })
            .Then(TypeInto("Tonal"))
            .Then([](QWidget* w) {
                auto* sheet = qobject_cast<gui::LangEncSheet*>(w);
                ASSERT_NE(sheet, nullptr);
                ShowPage(w, "Sort Orders");
                PressNamed(w, "sortAdd");
            })
            .Then([](QWidget* w) {
                auto* order = qobject_cast<gui::SortOrderDialog*>(w);
                ASSERT_NE(order, nullptr);
                order->NameEdit()->setText("Tonal order");
                order->PrimaryEdit()->setPlainText("a A\nb B\nc C\nch Ch CH\nd D\nk K\nl L\nn N\n"
                                                   "o O\nr R\nt T\nu U\nw W\ne E\ns S");
                ClickButton(w, "OK");
            })
            .Then([](QWidget* w) {
                auto* sheet = qobject_cast<gui::LangEncSheet*>(w);
                ASSERT_NE(sheet, nullptr);
                sheet->DefaultOrder()->setCurrentText("Tonal order");
                ClickButton(w, "OK");
            })
            .Then([](QWidget* list) { ClickButton(list, "Close"); });
        Trigger("projectLangEncs");
        EXPECT_TRUE(language.Done());
        EXPECT_TRUE(language.unexpected.empty());
    }
    CLangEnc* tonal = m_app->App().Project()->LangEncs().Find("Tonal");
    ASSERT_NE(tonal, nullptr);
    EXPECT_NE(tonal->FindUnit("ch"), nullptr);
    EXPECT_NE(ReadFileBytes(folder + "/Tonal.lng").find("ch Ch CH"), std::string::npos);

    // A type whose record marker is written in that language, with a gloss under it.
    {
        ModalScript type;
        type.Then([](QWidget* list) { PressNamed(list, "typeNew"); })
            .Then([](QWidget* w) {
                w->findChild<QLineEdit*>("newTypeName")->setText("Words");
                w->findChild<QLineEdit*>("newTypeRecordMarker")->setText("w");
                ClickButton(w, "OK");
            })
            .Then([](QWidget* sheet) {
                ShowPage(sheet, "Markers");
                SelectItem(sheet->findChild<QListWidget*>("typeMarkers"), "w");
                PressNamed(sheet, "markerModify");
            })
            .Then([](QWidget* w) {
                w->findChild<QLineEdit*>("markerFieldName")->setText("Word");
                w->findChild<QComboBox*>("markerLangEnc")->setCurrentText("Tonal");
                ClickButton(w, "OK");
            })
            .Then([](QWidget* sheet) { PressNamed(sheet, "markerAdd"); })
            .Then([](QWidget* w) {
                w->findChild<QLineEdit*>("markerName")->setText("g");
                w->findChild<QLineEdit*>("markerFieldName")->setText("Gloss");
                w->findChild<QComboBox*>("markerParent")->setCurrentText("w");
                ClickButton(w, "OK");
            })
            .Then([](QWidget* sheet) { ClickButton(sheet, "OK"); })
            .Then([](QWidget* list) { ClickButton(list, "Close"); });
        Trigger("typeList");
        EXPECT_TRUE(type.Done());
        EXPECT_TRUE(type.unexpected.empty());
    }
    const std::string typ = Lines(folder + "/Words.typ");
    EXPECT_NE(typ.find("\\+mkr w\n\\nam Word\n\\lng Tonal\n"), std::string::npos) << typ;
    EXPECT_NE(typ.find("\\+mkr g\n\\nam Gloss\n"), std::string::npos) << typ;

    // A new database of that type, and three records typed in.
    {
        ModalScript database;
        database.ChooseFile(folder + "/words.db").Then([](QWidget* w) {
            SelectItem(w->findChild<QListWidget*>(), "Words");
            ClickButton(w, "OK");
        });
        Trigger("fileNew");
        EXPECT_TRUE(database.Done());
    }
    gui::DatabaseWindow* words = WindowOf("words.db");
    ASSERT_NE(words, nullptr);
    for (const auto& [word, gloss] :
         {std::pair{"chaka", "water"}, std::pair{"dolo", "stone"}, std::pair{"cuna", "cradle"}}) {
        {
            ModalScript insert;
            insert.Then([word](QWidget* w) {
                QTest::keyClicks(w->findChild<QLineEdit*>(), word);
                ClickButton(w, "OK");
            });
            Trigger("recordInsert");
            ASSERT_TRUE(insert.Done());
        }
        const CRecord* record = words->RecordView().Record();
        ASSERT_NE(record, nullptr);
        ASSERT_EQ(record->GetKey(), word);
        // A new line at the end of the key, and a backslash there asks for the marker.
        words->Record()->setFocus();
        words->RecordView().SetCaret(CViewCaret{0, std::strlen(word)});
        QTest::keyClick(words->Record(), Qt::Key_Return);
        {
            ModalScript chooser;
            chooser.Then(TypeInto("g"));
            QTest::keyClicks(words->Record(), "\\");
            ASSERT_TRUE(chooser.Done());
            EXPECT_TRUE(chooser.unexpected.empty());
        }
        QTest::keyClicks(words->Record(), gloss);
        const CField* glossField = record->GetNext(record->GetFirst());
        ASSERT_NE(glossField, nullptr);
        EXPECT_EQ(glossField->Marker()->Name(), "g");
        EXPECT_EQ(std::string(glossField->Text()), gloss);
        QApplication::processEvents();
    }
    Trigger("recordFirst");

    // A filter on the gloss: the records whose gloss holds an "a".
    {
        ModalScript filter;
        filter
            .Then([](QWidget* sheet) {
                ShowPage(sheet, "Filters");
                PressNamed(sheet, "filterAdd");
            })
            .Then([](QWidget* w) {
                auto* editor = qobject_cast<gui::FilterEditorDialog*>(w);
                ASSERT_NE(editor, nullptr);
                w->findChild<QLineEdit*>("filterName")->setText("with a");
                editor->Choices()->setCurrentRow(static_cast<int>(FilterElementChoice::MarkerText));
                PressNamed(w, "elementLast");
            })
            .Then([](QWidget* w) {
                auto* marker = w->findChild<QComboBox*>("elementWhich");
                marker->setCurrentIndex(marker->findData("g"));
                w->findChild<QLineEdit*>("elementText")->setText("a");
                ClickButton(w, "OK");
            })
            .Then([](QWidget* w) {
                auto* editor = qobject_cast<gui::FilterEditorDialog*>(w);
                ASSERT_NE(editor, nullptr);
                // The new database's first, empty record is the fourth.
                EXPECT_EQ(editor->Count()->text(), "2 of 4 records of the active window pass.");
                ClickButton(w, "OK");
            })
            .Then([](QWidget* sheet) { ClickButton(sheet, "OK"); })
            .Then([](QWidget* w) {
                SelectItem(w->findChild<QListWidget*>(), "with a");
                ClickButton(w, "OK");
            });
        Trigger("typeProperties");
        Trigger("databaseFilter");
        EXPECT_TRUE(filter.Done());
        EXPECT_TRUE(filter.unexpected.empty());
    }

    // cuna before chaka: ch is a letter after c; dolo has no "a" in its gloss.
    ASSERT_EQ(words->Index().Count(), 2u);
    // The key field keeps the line break typed before the gloss's backslash.
    EXPECT_EQ(words->Model()->index(0, 0).data().toString().trimmed(), "cuna");
    EXPECT_EQ(words->Model()->index(1, 0).data().toString().trimmed(), "chaka");

    Trigger("fileSave");
    const std::string db = Lines(folder + "/words.db");
    for (const char* line :
         {"\\w chaka\n", "\\g water\n", "\\w dolo\n", "\\g stone\n", "\\w cuna\n", "\\g cradle\n"})
        EXPECT_NE(db.find(line), std::string::npos) << db;
}

} // namespace
} // namespace crv::test
