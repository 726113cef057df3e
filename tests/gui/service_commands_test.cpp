#include "gui/service_commands.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QTextBrowser>
#include <QtTest>

#include "app/crv_doc.h"
#include "gui/database_window.h"
#include "gui/help_window.h"
#include "gui/language_bar.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/record_printer.h"
#include "gui/record_widget.h"
#include "gui/sound_player.h"
#include "gui_test_support.h"
#include "record/date_text.h"
#include "record/record.h"
#include "schema/database_type.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

using gui::DatabaseWindow;
using gui::ServiceCommands;

DatabaseWindow* ActivateLexicon(gui::MainWindow& main, DatabaseWindow* lex) {
    main.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(lex->parentWidget()));
    return lex;
}

QString PdfText(const std::string& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", gui::Q(pdf), "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PrintToPdf(DatabaseWindow& window, bool all, const std::string& pdf,
               std::string* message = nullptr) {
    gui::RecordPrinter job = ServiceCommands::PrinterFor(window, all);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(gui::Q(pdf));
    printer.setPageSize(QPageSize(QPageSize::A5));
    std::string m;
    job.SetUpPage(printer, m);
    if (message)
        *message = m;
    return job.Print(printer);
}

TEST_F(GuiTest, RecordsPrintWithTheTypesHeaderFooterAndMargins) {
    Start();
    DatabaseWindow* lex = ActivateLexicon(Window(), WindowOf("lexicon.db"));
    CPrintProperties& props = lex->Document().Type().PrintProperties();
    props.header = "Lexicon &f printed &d";
    props.footer = "Page &p && more";
    props.topMargin = "2cm";
    props.leftMargin = "1in";

    std::string all = dir.File("all.pdf");
    int pages = PrintToPdf(*lex, true, all);
    ASSERT_GT(pages, 1);
    QString text = PdfText(all);
    EXPECT_TRUE(text.contains(gui::Q("Lexicon lexicon.db printed " + TodayText())))
        << text.left(400).toStdString();
    EXPECT_TRUE(text.contains(QString("Page %1 & more").arg(pages)));
    EXPECT_FALSE(text.contains(QString("Page %1 & more").arg(pages + 1)));
    EXPECT_TRUE(text.contains("I walked to the river."));
    EXPECT_TRUE(text.contains("\\xe"));
    EXPECT_EQ(text.count(QString::fromUtf8("tsumá-ko")) > 0, true);
    // The sample's 32 records each print once, every one with its \lx.
    EXPECT_GE(text.count("\\lx"), 32);
    // Markers print in the font the window shows them in.
    m_app->App().Project()->Options().markerFont.face = "Liberation Mono";
    PrintToPdf(*lex, false, all);
    QProcess fonts;
    fonts.start("pdffonts", {gui::Q(all)});
    fonts.waitForFinished(30000);
    EXPECT_TRUE(QString::fromUtf8(fonts.readAllStandardOutput()).contains("LiberationMono"));

    // The current record alone, on one page; a margin that is not a measurement is named.
    lex->MoveTo(lex->Index().First());
    props.rightMargin = "wide";
    std::string message;
    std::string one = dir.File("one.pdf");
    EXPECT_EQ(PrintToPdf(*lex, false, one, &message), 1);
    EXPECT_NE(message.find("\"wide\""), std::string::npos);
    QString first = PdfText(one);
    EXPECT_TRUE(first.contains("Page 1 & more"));
    EXPECT_FALSE(first.contains("I walked to the river."));
    EXPECT_EQ(first.count("\\lx"), 1);

    // Margins that leave no room for records give way to the printer's.
    props.rightMargin.clear();
    props.topMargin = "19in";
    EXPECT_EQ(PrintToPdf(*lex, false, one, &message), 1);
    EXPECT_NE(message.find("too little of the page"), std::string::npos) << message;
    EXPECT_TRUE(PdfText(one).contains(QString::fromUtf8("ámi")));
}

TEST_F(GuiTest, PrintAndPrintPreviewAskWhichRecordsThenShowTheirDialogs) {
    Start();
    ActivateLexicon(Window(), WindowOf("lexicon.db"));
    ModalScript script;
    bool previewShown = false;
    script.Then([](QWidget* w) {
        auto* list = w->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        // The print properties choose the current record by default.
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_EQ(list->item(1)->text(), "All 32 records of this window");
        list->setCurrentRow(1);
        ClickButton(w, "OK");
    });
    script.Then([&](QWidget* w) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(w);
        ASSERT_NE(preview, nullptr);
        previewShown = true;
        preview->reject();
    });
    Trigger("filePrintPreview");
    EXPECT_TRUE(previewShown);
    script.Then([](QWidget* w) { ClickButton(w, "OK"); });
    script.Then([](QWidget* w) {
        EXPECT_NE(qobject_cast<QPrintDialog*>(w), nullptr);
        qobject_cast<QDialog*>(w)->reject();
    });
    Trigger("filePrint");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
}

TEST_F(GuiTest, HelpOpensTheUserGuide) {
    Start();
    ASSERT_FALSE(gui::UserGuidePath().isEmpty());
    Trigger("helpUserGuide");
    QWidget* guide = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "userGuide" && w->isVisible())
            guide = w;
    ASSERT_NE(guide, nullptr);
    QString text = guide->findChild<QTextBrowser*>()->toPlainText();
    for (const char* heading :
         {"Opening a project", "Sorting", "Filters", "Import", "Printing", "Sound"})
        EXPECT_TRUE(text.contains(heading)) << heading;
    guide->close();
}

class FakePlayer : public gui::SoundPlayer {
public:
    void Play(const QString& path) override { played.push_back(path); }
    std::vector<QString> played;
};

TEST_F(GuiTest, PlaySoundPlaysTheFileTheRecordNames) {
    Start();
    FakePlayer player;
    gui::ScopedSoundPlayer installed(player);
    DatabaseWindow* lex = ActivateLexicon(Window(), WindowOf("lexicon.db"));
    std::filesystem::create_directories(dir.Path() / "sample/sounds");
    WriteFileBytes(SamplePath("sounds/nga.wav"), "RIFF");
    CRecord* record = lex->Current().Record();
    CMarker* sf = lex->Document().Type().MarkerSet().SearchOrAddFromData("sf");
    ModalScript script;
    script.Press("OK");
    Trigger("recordPlaySound");
    EXPECT_TRUE(player.played.empty());
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_EQ(script.texts[0], "This record has no field that names a sound file.");

    record->Add(new CField(sf, "sounds\\nga.wav"));
    Trigger("recordPlaySound");
    ASSERT_EQ(player.played.size(), 1u);
    EXPECT_EQ(player.played[0], gui::Q(SamplePath("sounds/nga.wav")));

    record->GetLast()->SetText("sounds/gone.wav");
    script.Press("OK");
    Trigger("recordPlaySound");
    EXPECT_EQ(player.played.size(), 1u);
    ASSERT_EQ(script.texts.size(), 2u);
    EXPECT_EQ(script.texts[1], "The sound file sounds/gone.wav was not found.");
}

TEST_F(GuiTest, ABatchFileRunsOnTheActiveDatabaseAndItsRewriteIsReadAgainInItsWindows) {
    // The script adds a record to the database it is given; a second script fails.
    WriteFileBytes(SamplePath("add.sh"),
                   "printf '\\r\\n\\\\lx zebatch\\r\\n' >> \"$CORVANE_DATABASE\"\n");
    WriteFileBytes(SamplePath("fail.sh"), "echo cannot do that\nexit 4\n");
    Start();
    DatabaseWindow* lex = ActivateLexicon(Window(), WindowOf("lexicon.db"));
    QTest::keyClick(lex->Record(), Qt::Key_R, Qt::AltModifier); // browse
    const std::size_t windowsBefore = Window().Windows().size();
    ModalScript script;
    script.ChooseFile(SamplePath("add.sh"));
    script.Press("Yes"); // read lexicon.db again
    Trigger("fileRunBatch");
    EXPECT_TRUE(script.Done());
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_EQ(script.texts[0], "The batch file changed lexicon.db.\nRead it again?");
    DatabaseWindow* again = WindowOf("lexicon.db");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Window().Windows().size(), windowsBefore);
    EXPECT_TRUE(again->IsBrowse()); // as it stood
    EXPECT_EQ(again->Index().Count(), 33u);
    EXPECT_FALSE(again->Document().IsModified());

    script.ChooseFile(SamplePath("fail.sh"));
    script.Press("OK");
    Trigger("fileRunBatch");
    ASSERT_EQ(script.texts.size(), 2u);
    EXPECT_EQ(script.texts[1], "The batch file fail.sh ended with exit code 4.\n\ncannot do that");
    EXPECT_TRUE(script.unexpected.empty());
}

TEST_F(GuiTest, TheLanguageBarShowsAndSetsTheCurrentFieldsLanguage) {
    Start();
    DatabaseWindow* lex = ActivateLexicon(Window(), WindowOf("lexicon.db"));
    QApplication::processEvents();
    auto* bar = Window().findChild<gui::LanguageBar*>();
    ASSERT_NE(bar, nullptr);
    QComboBox* combo = bar->Combo();
    EXPECT_EQ(combo->currentText(), "Vernacular"); // the window sorts by \lx
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_GE(combo->findText("English"), 0);
    CMarker* lx = lex->Index().PriMarker();

    ModalScript script;
    script.Press("No");
    combo->setCurrentIndex(combo->findText("English"));
    emit combo->activated(combo->currentIndex());
    EXPECT_EQ(lx->LangEnc()->Name(), "Vernacular");
    EXPECT_EQ(combo->currentText(), "Vernacular");
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_TRUE(script.texts[0].contains("Every \\lx field of the database type Lexicon"));

    script.Press("Yes");
    combo->setCurrentIndex(combo->findText("English"));
    emit combo->activated(combo->currentIndex());
    EXPECT_EQ(lx->LangEnc()->Name(), "English");
    EXPECT_EQ(combo->currentText(), "English");

    // The record window tells the bar of the field at its caret.
    bar->SetCurrentField(nullptr);
    EXPECT_FALSE(combo->isEnabled());
}

} // namespace
} // namespace crv::test
