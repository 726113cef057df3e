#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>

#include "app/crv_doc.h"
#include "engine/index.h"
#include "gui/database_window.h"
#include "gui/filter_editor_dialog.h"
#include "gui/marker_dialogs.h"
#include "gui/record_widget.h"
#include "gui/type_properties_dialog.h"
#include "gui_test_support.h"
#include "record/record.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

using gui::DatabaseWindow;

class TypeSheetTest : public GuiTest {
protected:
    // Starts on the sample with the lexicon's window active.
    DatabaseWindow* StartOnLexicon() {
        Start();
        DatabaseWindow* w = WindowOf("lexicon.db");
        EXPECT_NE(w, nullptr);
        if (w)
            Window().Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        QApplication::processEvents();
        return w;
    }
    std::string TypeFile() const { return SamplePath("Lexicon.typ"); }
};

TEST_F(TypeSheetTest, AMarkerAddedThroughTheSheetIsWrittenWithItsLanguageAndFieldName) {
    ASSERT_TRUE(StartOnLexicon());
    ModalScript script;
    script
        .Then([](QWidget* w) {
            ASSERT_NE(qobject_cast<gui::TypePropertiesDialog*>(w), nullptr);
            EXPECT_EQ(w->windowTitle(), "Database Type Properties - Lexicon");
            ShowPage(w, "Markers");
            PressNamed(w, "markerAdd");
        })
        .Then([](QWidget* w) {
            ASSERT_NE(qobject_cast<gui::MarkerPropertiesDialog*>(w), nullptr);
            w->findChild<QLineEdit*>("markerName")->setText("cf");
            w->findChild<QLineEdit*>("markerFieldName")->setText("Cross reference");
            w->findChild<QComboBox*>("markerLangEnc")->setCurrentText("Vernacular");
            w->findChild<QComboBox*>("markerParent")->setCurrentText("sn");
            ClickButton(w, "OK");
        })
        .Then([](QWidget* w) {
            auto* list = w->findChild<QListWidget*>("typeMarkers");
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toString(), "cf");
            EXPECT_TRUE(list->currentItem()->text().startsWith(".  .  \\cf  Cross reference"));
            ClickButton(w, "OK");
        });
    Trigger("typeProperties");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    std::string written = Lines(TypeFile());
    EXPECT_NE(written.find("\\+mkr cf\n\\nam Cross reference\n\\lng Vernacular\n\\mkrOverThis "
                           "sn\n\\-mkr\n"),
              std::string::npos)
        << written;
    // The markers around it are as they were.
    EXPECT_NE(written.find("\\+mkr ps\n\\nam Part of speech\n"), std::string::npos);
}

TEST_F(TypeSheetTest, ARenamedMarkerIsFollowedByTheOpenWindowsFieldsAndCancelWritesNothing) {
    DatabaseWindow* window = StartOnLexicon();
    ASSERT_TRUE(window);
    const std::string original = ReadFileBytes(TypeFile());
    {
        // Cancel: a changed description and a marker dialog left with Cancel.
        ModalScript script;
        script
            .Then([](QWidget* w) {
                w->findChild<QPlainTextEdit*>("typeDescription")->setPlainText("changed");
                ShowPage(w, "Markers");
                SelectItem(w->findChild<QListWidget*>("typeMarkers"), "xe");
                PressNamed(w, "markerModify");
            })
            .Then([](QWidget* w) {
                w->findChild<QLineEdit*>("markerFieldName")->setText("Other");
                ClickButton(w, "Cancel");
            })
            .Then([](QWidget* w) { ClickButton(w, "Cancel"); });
        Trigger("typeProperties");
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(script.unexpected.empty());
    }
    EXPECT_EQ(ReadFileBytes(TypeFile()), original);

    ModalScript script;
    script
        .Then([](QWidget* w) {
            ShowPage(w, "Markers");
            SelectItem(w->findChild<QListWidget*>("typeMarkers"), "xe");
            PressNamed(w, "markerModify");
        })
        .Then([](QWidget* w) {
            w->findChild<QLineEdit*>("markerName")->setText("xt");
            ClickButton(w, "OK");
        })
        .Press("Yes")
        .Then([](QWidget* w) { ClickButton(w, "OK"); });
    Trigger("typeProperties");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_EQ(script.texts[0], "Replace marker \\xe with \\xt everywhere it occurs?");
    int xt = 0, xe = 0;
    for (const CRecord& r : window->Document().Records().Records())
        for (const CField& f : r) {
            xt += f.Marker()->Name() == "xt";
            xe += f.Marker()->Name() == "xe";
        }
    EXPECT_EQ(xt, 27);
    EXPECT_EQ(xe, 0);
    std::string written = Lines(TypeFile());
    EXPECT_NE(written.find("\\+mkr xt\n\\nam Example translation\n"), std::string::npos);
    EXPECT_EQ(written.find("\\+mkr xe\n"), std::string::npos);
}

TEST_F(TypeSheetTest, OptionsOkKeepsTheBytesOfAnOlderEncodingInTheDescription) {
    std::string typ = ReadFileBytes(TypeFile());
    const std::string legacy = "Tsal\xe9ni"; // Windows-1252, not UTF-8
    typ.replace(typ.find("Tsaloni"), 7, legacy);
    WriteFileBytes(TypeFile(), typ);
    ASSERT_TRUE(StartOnLexicon());
    ModalScript script;
    script.Then([](QWidget* w) {
        EXPECT_TRUE(w->findChild<QPlainTextEdit*>("typeDescription")
                        ->toPlainText()
                        .contains(QString::fromUtf8("Tsal\u00e9ni")));
        w->findChild<QSpinBox*>("typeInterlinWidth")->setValue(9);
        ClickButton(w, "OK");
    });
    Trigger("typeProperties");
    EXPECT_TRUE(script.Done());
    std::string written = Lines(TypeFile());
    EXPECT_NE(written.find("\\desc The " + legacy + " lexicon"), std::string::npos);
    EXPECT_NE(written.find("\\iInterlinCharWd 9\n"), std::string::npos);
}

TEST_F(TypeSheetTest, AFilterMadeInTheEditorShowsItsCountAndFiltersTheWindow) {
    DatabaseWindow* window = StartOnLexicon();
    ASSERT_TRUE(window);
    // Records with a part of speech holding "n" (only the noun records).
    std::size_t nouns = 0;
    for (const CRecord& r : window->Document().Records().Records()) {
        bool has = false;
        for (const CField& f : r)
            has = has || (f.Marker()->Name() == "ps" && f.Text().find('n') != std::string::npos);
        nouns += has;
    }
    ASSERT_GT(nouns, 0u);
    const std::size_t all = window->Index().Count();
    const QString expected =
        QString("%1 of %2 records of the active window pass.").arg(nouns).arg(all);
    {
        ModalScript script;
        script
            .Then([](QWidget* w) {
                ShowPage(w, "Filters");
                PressNamed(w, "filterAdd");
            })
            .Then([](QWidget* w) {
                auto* editor = qobject_cast<gui::FilterEditorDialog*>(w);
                ASSERT_NE(editor, nullptr);
                w->findChild<QLineEdit*>("filterName")->setText("nouns");
                // A lone And is no filter: the message names it and it stays selected.
                editor->Choices()->setCurrentRow(static_cast<int>(FilterElementChoice::And));
                PressNamed(w, "elementLast");
                EXPECT_EQ(editor->Count()->text(), "The elements do not make a whole filter yet.");
                ClickButton(w, "OK");
            })
            .Press("OK")
            .Then([expected](QWidget* w) {
                auto* editor = qobject_cast<gui::FilterEditorDialog*>(w);
                ASSERT_NE(editor, nullptr);
                EXPECT_EQ(editor->Elements()->currentRow(), 0);
                PressNamed(w, "elementDeleteAll");
                editor->Choices()->setCurrentRow(static_cast<int>(FilterElementChoice::MarkerText));
                PressNamed(w, "elementLast");
            })
            .Then([](QWidget* w) {
                EXPECT_EQ(w->windowTitle(), "Marker Text Filter Element");
                auto* marker = w->findChild<QComboBox*>("elementWhich");
                marker->setCurrentIndex(marker->findData("ps"));
                w->findChild<QLineEdit*>("elementText")->setText("n");
                ClickButton(w, "OK");
            })
            .Then([expected](QWidget* w) {
                auto* editor = qobject_cast<gui::FilterEditorDialog*>(w);
                ASSERT_NE(editor, nullptr);
                EXPECT_EQ(editor->Count()->text(), expected);
                ClickButton(w, "OK");
            })
            .Then([](QWidget* w) {
                EXPECT_EQ(w->findChild<QListWidget*>("typeFilters")->currentItem()->text(),
                          "nouns");
                ClickButton(w, "OK");
            });
        Trigger("typeProperties");
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(script.unexpected.empty());
        ASSERT_EQ(script.texts.size(), 1u);
        EXPECT_EQ(script.texts[0], "Expecting a Text or Date Element\nAnd");
    }
    EXPECT_NE(Lines(TypeFile()).find("\\+fil nouns\n\\mkr ps\n\\txt n\n"), std::string::npos);

    // The window takes the new filter.
    ModalScript choose;
    choose.Then([](QWidget* w) {
        auto* list = w->findChild<QListWidget*>();
        SelectItem(list, "nouns");
        ClickButton(w, "OK");
    });
    Trigger("databaseFilter");
    EXPECT_TRUE(choose.Done());
    EXPECT_EQ(window->Index().Count(), nouns);
}

TEST_F(TypeSheetTest, ABackslashWithANewNameAddsTheMarkerThroughItsPropertiesAndWritesIt) {
    DatabaseWindow* lex = StartOnLexicon();
    ASSERT_TRUE(lex);
    lex->Record()->setFocus();
    // A backslash at the start of a line of a field opens the chooser.
    const CRecord* record = lex->RecordView().Record();
    ASSERT_TRUE(record);
    const CField* second = record->GetNext(record->GetFirst());
    ASSERT_TRUE(second);
    lex->RecordView().SetCaret(CViewCaret{1, second->Text().size()});
    QTest::keyClick(lex->Record(), Qt::Key_Return);
    QApplication::processEvents();
    ModalScript script;
    script
        .Then([](QWidget* w) {
            auto* chooser = qobject_cast<QInputDialog*>(w);
            ASSERT_NE(chooser, nullptr);
            chooser->setTextValue("zz");
            chooser->accept();
        })
        .Press("Yes")
        .Then([](QWidget* w) {
            ASSERT_NE(qobject_cast<gui::MarkerPropertiesDialog*>(w), nullptr);
            EXPECT_EQ(w->findChild<QLineEdit*>("markerName")->text(), "zz");
            w->findChild<QLineEdit*>("markerFieldName")->setText("Compare");
            ClickButton(w, "OK");
        });
    QTest::keyClicks(lex->Record(), "\\");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_EQ(script.texts[0], "Marker not in marker list. Add it?");
    bool inserted = false;
    for (const CField& f : *lex->RecordView().Record())
        inserted = inserted || f.Marker()->Name() == "zz";
    EXPECT_TRUE(inserted);
    EXPECT_NE(Lines(TypeFile()).find("\\+mkr zz\n\\nam Compare\n"), std::string::npos);
}

TEST_F(TypeSheetTest, NewDatabaseTypeRefusesTakenNamesAndWritesItsFile) {
    Start();
    ModalScript script;
    auto typeIn = [](const char* name, const char* record) {
        return [name, record](QWidget* w) {
            ASSERT_EQ(w->windowTitle(), "New Database Type");
            w->findChild<QLineEdit*>("newTypeName")->setText(name);
            w->findChild<QLineEdit*>("newTypeRecordMarker")->setText(record);
            ClickButton(w, "OK");
        };
    };
    script.Then([](QWidget* w) { PressNamed(w, "typeNew"); })
        .Then(typeIn("Lexicon", "lx"))
        .Press("OK")
        .Then(typeIn("Notes", ""))
        .Press("OK")
        .Then(typeIn("Notes", "nt"))
        .Then([](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Database Type Properties - Notes");
            w->findChild<QPlainTextEdit*>("typeDescription")->setPlainText("Field notes");
            ClickButton(w, "OK");
        })
        .Then([](QWidget* w) {
            auto* list = w->findChild<QListWidget*>("typeListBox");
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->currentItem()->text(), "Notes");
            ClickButton(w, "Close");
        });
    Trigger("typeList");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    ASSERT_EQ(script.texts.size(), 2u);
    EXPECT_EQ(
        script.texts[0],
        "There is an existing database type using this name.  Please enter a different name.");
    EXPECT_EQ(script.texts[1], "You MUST enter the record marker for this database type!");
    std::string written = Lines(SamplePath("Notes.typ"));
    EXPECT_TRUE(written.starts_with("\\+DatabaseType Notes\n")) << written;
    EXPECT_NE(written.find("\\desc Field notes\n"), std::string::npos);
    EXPECT_NE(written.find("\\mkrRecord nt\n"), std::string::npos);
}

} // namespace
} // namespace crv::test
