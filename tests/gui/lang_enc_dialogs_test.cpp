#include "gui/lang_enc_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>

#include "gui/database_window.h"
#include "gui/project_options_dialog.h"
#include "gui/sort_order_dialog.h"
#include "gui_test_support.h"
#include "schema/lang_enc_set.h"

namespace crv::test {
namespace {

CLangEnc& Vernacular(gui::DesktopApp& app) {
    return *app.App().Project()->LangEncs().Find("Vernacular");
}

QString FirstKey(gui::DatabaseWindow* w) { return w->Model()->index(0, 0).data().toString(); }

TEST_F(GuiTest, TheEncodingSheetAddsAMultigraphAndAnOrderAndReSortsTheOpenWindowOnOk) {
    Start();
    gui::DatabaseWindow* lex = WindowOf("lexicon.db");
    ASSERT_NE(lex, nullptr);
    ASSERT_NE(FirstKey(lex), QString::fromUtf8("yéna"));
    CLangEnc& enc = Vernacular(*m_app);
    gui::LangEncSheet sheet(enc, &Window());
    EXPECT_EQ(sheet.windowTitle(), "Language Encoding Properties - Vernacular");
    sheet.show();

    ModalScript script;
    // A new order with the multigraph mb as a letter of its own.
    script.Then([](QWidget* w) {
        auto* d = qobject_cast<gui::SortOrderDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->NameEdit()->setText("Backwards");
        d->PrimaryEdit()->setPlainText("z Z\ny Y\nmb Mb\nm M\na A");
        ClickButton(w, "OK");
    });
    // The lexicon's order with y moved to the front.
    script.Then([](QWidget* w) {
        auto* d = qobject_cast<gui::SortOrderDialog*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(d->NameEdit()->isReadOnly());
        QString primary = d->PrimaryEdit()->toPlainText();
        primary.remove("\ny Y");
        d->PrimaryEdit()->setPlainText("y Y\n" + primary);
        ClickButton(w, "OK");
    });
    script.Then([](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->setTextValue("kp");
        d->accept();
    });
    sheet.Tabs()->setCurrentIndex(1);
    PressNamed(&sheet, "sortAdd");
    sheet.SortOrders()->setCurrentItem(
        sheet.SortOrders()->findItems("Vernacular", Qt::MatchExactly)[0]);
    PressNamed(&sheet, "sortModify");
    sheet.Tabs()->setCurrentIndex(4);
    PressNamed(&sheet, "charAdd");
    EXPECT_FALSE(sheet.Characters()->findItems("kp", Qt::MatchExactly).isEmpty());
    EXPECT_FALSE(sheet.Characters()->findItems("mb", Qt::MatchExactly).isEmpty());
    // Nothing reached the encoding before OK.
    EXPECT_EQ(enc.SortOrders().Search("Backwards"), nullptr);
    EXPECT_EQ(enc.FindUnit("mb"), nullptr);
    EXPECT_NE(FirstKey(lex), QString::fromUtf8("yéna"));

    ClickButton(&sheet, "OK");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    EXPECT_TRUE(script.texts.empty());
    ASSERT_NE(enc.FindUnit("mb"), nullptr);
    EXPECT_NE(enc.FindUnit("kp"), nullptr);
    std::string file = ReadFileBytes(SamplePath("Vernacular.lng"));
    EXPECT_NE(file.find("\\+srt Backwards\r\n\\primary z Z\r\ny Y\r\nmb Mb\r\nm M\r\na A\r\n"),
              std::string::npos);
    EXPECT_NE(file.find("\\primary y Y\r\na A"), std::string::npos);
    EXPECT_NE(file.find("\\srtDefault Vernacular\r\n"), std::string::npos);
    EXPECT_EQ(FirstKey(lex), QString::fromUtf8("yéna"));
}

TEST_F(GuiTest, CancellingTheEncodingSheetLeavesTheEncodingAndItsFileAsTheyWere) {
    Start();
    const std::string before = ReadFileBytes(SamplePath("Vernacular.lng"));
    CLangEnc& enc = Vernacular(*m_app);
    std::size_t orders = enc.SortOrders().Count(), units = enc.Count();
    {
        gui::LangEncSheet sheet(enc, &Window());
        sheet.show();
        ModalScript script;
        script.Then([](QWidget* w) {
            auto* d = qobject_cast<gui::SortOrderDialog*>(w);
            ASSERT_NE(d, nullptr);
            d->NameEdit()->setText("Scratch");
            d->PrimaryEdit()->setPlainText("qu\nq");
            ClickButton(w, "OK");
        });
        PressNamed(&sheet, "sortAdd");
        sheet.Description()->setPlainText("Changed");
        sheet.CaseText()->setPlainText("QU qu");
        sheet.Tabs()->setCurrentIndex(4);
        sheet.VarName()->setText("vl");
        sheet.VarChars()->setPlainText("a e");
        PressNamed(&sheet, "varAdd");
        ASSERT_NE(sheet.Edit().Working().Vars().Search("vl"), nullptr);
        EXPECT_EQ(sheet.Edit().Working().Vars().Search("vl")->Chars(), "a e");
        EXPECT_NE(sheet.Edit().Working().FindUnit("QU"), nullptr);
        ClickButton(&sheet, "Cancel");
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(enc.SortOrders().Count(), orders);
    EXPECT_EQ(enc.Count(), units);
    EXPECT_EQ(enc.Vars().Search("vl"), nullptr);
    EXPECT_EQ(ReadFileBytes(SamplePath("Vernacular.lng")), before);
}

TEST_F(GuiTest, ThePreviewSortsTypedLinesAsTheEditedOrderWouldAndLeavesTheEncodingAlone) {
    Start();
    CLangEnc& enc = Vernacular(*m_app);
    std::size_t units = enc.Count();
    const CSortOrder* so = enc.SortOrders().Search("Vernacular");
    gui::SortOrderDialog dialog(
        enc, so->Name(), so->Definition(), false,
        [](const std::string&, const CSortOrderDef&, CNote&) { return true; }, &Window());
    dialog.show();
    for (const char* line : {"tsaloni", "taa", "nga", "nyara"}) {
        QTest::keyClicks(dialog.PreviewLines(), line);
        QTest::keyClick(dialog.PreviewLines(), Qt::Key_Return);
    }
    QTest::keyClicks(dialog.PreviewLines(), "na");
    EXPECT_EQ(dialog.PreviewSorted()->toPlainText(), "na\nnyara\nnga\ntaa\ntsaloni");
    // ny as a letter after ng: only the preview's copy of the encoding learns it.
    QString primary = dialog.PrimaryEdit()->toPlainText();
    primary.replace("ng Ng NG", "ng Ng NG\nny Ny NY");
    dialog.PrimaryEdit()->setPlainText(primary);
    EXPECT_EQ(dialog.PreviewSorted()->toPlainText(), "na\nnga\nnyara\ntaa\ntsaloni");
    EXPECT_EQ(enc.FindUnit("ny"), nullptr);
    EXPECT_EQ(enc.Count(), units);
    ClickButton(&dialog, "Cancel");
}

TEST_F(GuiTest, ProjectOptionsAreWrittenToTheProjectFileOnOkOnly) {
    Start();
    const std::string prj = SamplePath("sample.prj");
    ModalScript script;
    script.Then([](QWidget* w) {
        auto* d = qobject_cast<gui::ProjectOptionsDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->WholePath()->setChecked(true);
        ClickButton(w, "Cancel");
    });
    script.Then([](QWidget* w) {
        auto* d = qobject_cast<gui::ProjectOptionsDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->WarnClose()->setChecked(true);
        ClickButton(w, "OK");
    });
    Trigger("projectOptions");
    EXPECT_FALSE(m_app->App().Project()->Options().showWholePath);
    Trigger("projectOptions");
    EXPECT_TRUE(script.Done());
    std::string file = ReadFileBytes(prj);
    EXPECT_NE(file.find("\\WarnDocClose\r\n"), std::string::npos);
    EXPECT_EQ(file.find("\\ShowWholePath"), std::string::npos);
}

TEST_F(GuiTest, TheEncodingListMakesANewEncodingWithItsFileAndRefusesToDeleteOneInUse) {
    Start();
    gui::LangEncListDialog list(m_app->App().Project()->LangEncs(), {}, &Window());
    list.show();
    QListWidget* names = list.List();
    ModalScript script;
    script.Then([](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->setTextValue("Tonal");
        d->accept();
    });
    script.Then([this](QWidget* w) {
        auto* sheet = qobject_cast<gui::LangEncSheet*>(w);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), "Language Encoding Properties - Tonal");
        EXPECT_TRUE(std::filesystem::exists(SamplePath("Tonal.lng")));
        ClickButton(w, "Cancel");
    });
    PressNamed(&list, "langEncNew");
    EXPECT_FALSE(names->findItems("Tonal", Qt::MatchExactly).isEmpty());
    // The lexicon's markers hold the vernacular: it stays. The new one goes after asking.
    script.Press("OK");
    names->setCurrentItem(names->findItems("Vernacular", Qt::MatchExactly)[0]);
    PressNamed(&list, "langEncDelete");
    script.Press("Yes");
    names->setCurrentItem(names->findItems("Tonal", Qt::MatchExactly)[0]);
    PressNamed(&list, "langEncDelete");
    EXPECT_TRUE(names->findItems("Tonal", Qt::MatchExactly).isEmpty());
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    ASSERT_EQ(script.texts.size(), 2u);
    EXPECT_EQ(script.texts[0], "The language encoding Vernacular is in use and cannot be deleted.");
    EXPECT_TRUE(
        script.texts[1].startsWith("Do you want to delete the language encoding named \"Tonal\""));
    EXPECT_TRUE(std::filesystem::exists(SamplePath("Vernacular.lng")));
    EXPECT_FALSE(std::filesystem::exists(SamplePath("Tonal.lng")));
}

} // namespace
} // namespace crv::test
