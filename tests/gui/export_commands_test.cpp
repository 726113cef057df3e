#include "gui/export_commands.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QProcess>
#include <QtTest>
#include <filesystem>

#include "gui/database_window.h"
#include "gui/export_dialogs_qt.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui_test_support.h"

namespace crv::test {
namespace {

using gui::ExportDialogQt;

void Activate(gui::MainWindow& main, gui::DatabaseWindow* lex) {
    ASSERT_NE(lex, nullptr);
    main.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(lex->parentWidget()));
}

// The Export dialog's step: the process by name, the records, the output; the
// properties shown or not, Open after export or not.
ModalScript::Step ExportStep(const QString& process, const std::string& output, bool showProperties,
                             bool autoOpen) {
    return [=](QWidget* w) {
        auto* dialog = qobject_cast<ExportDialogQt*>(w);
        ASSERT_NE(dialog, nullptr);
        auto found = dialog->Processes()->findItems(process, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        dialog->Processes()->setCurrentItem(found.first());
        dialog->Records()->button(static_cast<int>(ExportRecords::EntireFile))->click();
        dialog->Output()->setText(gui::Q(output));
        dialog->ShowProperties()->setChecked(showProperties);
        EXPECT_EQ(dialog->AutoOpen()->isEnabled(), process != "Standard Format");
        dialog->AutoOpen()->setChecked(autoOpen);
        ClickButton(w, "OK");
    };
}

TEST_F(GuiTest, ExportsTheLexiconAsStandardFormatAsCrvDoesAndKeepsTheOutputInTheType) {
    // What crv writes for the same process, from an untouched copy of the sample.
    std::filesystem::copy(CORVANE_SAMPLE_DIR, dir.File("crvcopy"),
                          std::filesystem::copy_options::recursive);
    const std::string expected = dir.File("crv.txt");
    QProcess crv;
    crv.setWorkingDirectory(gui::Q(dir.File("crvcopy")));
    crv.start(CORVANE_CRV, {"-p", "sample.prj", "export", "lexicon.db", "--process",
                            "Standard Format", "-o", gui::Q(expected)});
    ASSERT_TRUE(crv.waitForFinished(30000));
    ASSERT_EQ(crv.exitCode(), 0) << crv.readAllStandardError().toStdString();

    Start();
    Activate(Window(), WindowOf("lexicon.db"));
    const std::string output = dir.File("lexicon export.txt");
    ModalScript script;
    script.Then(ExportStep("Standard Format", output, true, false));
    script.Then([](QWidget* w) { // the process's properties, shown before the run
        auto* props = qobject_cast<gui::ExportProcessDialogQt*>(w);
        ASSERT_NE(props, nullptr);
        EXPECT_EQ(props->windowTitle(), "SF Export Process Properties");
        EXPECT_EQ(props->NameEdit()->text(), "Standard Format");
        ClickButton(w, "OK");
    });
    Trigger("fileExport");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    const std::string bytes = ReadFileBytes(output);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, ReadFileBytes(expected));
    // The last output and the process chosen are the type file's now.
    const std::string type = ReadFileBytes(SamplePath("Lexicon.typ"));
    EXPECT_NE(type.find("\\exportedFile " + output), std::string::npos);
    EXPECT_NE(type.find("\\expDefault Standard Format"), std::string::npos);
    // The database itself is untouched.
    EXPECT_EQ(ReadFileBytes(SamplePath("lexicon.db")),
              ReadFileBytes(std::string(CORVANE_SAMPLE_DIR) + "/lexicon.db"));
}

TEST_F(GuiTest, RichTextExportOpensTheDocumentWhenAskedAndACancelledDialogExportsNothing) {
    std::vector<std::string> opened;
    auto saved = gui::QtExportDialogs::DocumentOpener();
    gui::QtExportDialogs::DocumentOpener() = [&](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    Start();
    Activate(Window(), WindowOf("lexicon.db"));
    const std::string output = dir.File("lexicon.rtf");
    {
        ModalScript script;
        script.Then([&](QWidget* w) {
            auto* dialog = qobject_cast<ExportDialogQt*>(w);
            ASSERT_NE(dialog, nullptr);
            dialog->Output()->setText(gui::Q(output));
            ClickButton(w, "Cancel");
        });
        Trigger("fileExport");
        EXPECT_TRUE(script.Done());
    }
    EXPECT_FALSE(std::filesystem::exists(output));
    const std::string typeBefore = ReadFileBytes(SamplePath("Lexicon.typ"));
    EXPECT_EQ(typeBefore, ReadFileBytes(std::string(CORVANE_SAMPLE_DIR) + "/Lexicon.typ"));

    ModalScript script;
    script.Then(ExportStep("Rich Text Format", output, false, true));
    Trigger("fileExport");
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.unexpected.empty());
    gui::QtExportDialogs::DocumentOpener() = saved;
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], output);
    EXPECT_EQ(ReadFileBytes(output).substr(0, 6), "{\\rtf1");
    EXPECT_NE(ReadFileBytes(SamplePath("Lexicon.typ")).find("\\AutoOpen"), std::string::npos);
}

} // namespace
} // namespace crv::test
