// Importing files that are not yet databases: the dialog's choices, the discrepancy
// question, change tables, the ".ori" copy, and every failure leaving the source as it was.
#include <filesystem>
#include <sys/stat.h>

#include "app/crv_doc.h"
#include "app/doc_test_support.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

const std::string kBusy =
    "\nFailed to import this file.\n\nPlease check whether it is also open in another program.";

class DocImportTest : public DocTest {
protected:
    CCrvDoc* Import(const std::string& name, const std::string& bytes) {
        path = Db(name, bytes);
        original = bytes;
        return docs->OpenDocument(path);
    }
    std::string Discrepancy(const std::string& what) const {
        return "Import Discrepancy:\n" + what +
               " before the Lexicon record marker  \\lx  was found.\n\nDo you want to choose a "
               "different database type and/or change table?\n  (Choose No to import as it is.)";
    }

    std::string path;
    std::string original;
};

TEST_F(DocImportTest, AFileWithoutHeaderIsRewrittenAsADatabaseOfTheChosenType) {
    import.removeSpaces = false;
    dialogs.script = {ImportChoice{"Lexicon", false, "", true, false}};
    CCrvDoc* doc =
        Import("words.txt",
               "one line before\n\\lx b\n\\ge bee\n   continued  \n\n\\lx a\n\\dt 5/dec/98\n");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(dialogs.modes, (std::vector<ImportMode>{ImportMode::NoHeader}));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->Type().Name(), "Lexicon");
    // Written in the default index's order, dates converted, hanging indent removed.
    EXPECT_EQ(ReadFileBytes(path),
              Lexicon("\\lx a\r\n\\dt 05/Dec/1998\r\n\r\n\\lx b\r\n\\ge bee\r\ncontinued\r\n"));
    EXPECT_EQ(Files(), (std::vector<std::string>{"words.txt"}));
    // One skipped line is accepted without a question; the reading summary tells of it.
    EXPECT_TRUE(rec.Questions().empty());
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{"File read results:\n1 line(s) skipped\n0 "
                                                        "field(s) skipped\n2 record(s) read"}));
    // The dialog's indent choice goes back to the project.
    EXPECT_TRUE(import.removeSpaces);
}

TEST_F(DocImportTest, TheDialogStartsFromTheProjectsChoicesWithBackupChecked) {
    import = CImportSettings{true, dir.File("table.ztt"), false};
    CImportDialog dialog(*types, import, "x.txt", "text", ImportMode::NoHeader);
    EXPECT_TRUE(dialog.useChangeTable);
    EXPECT_FALSE(dialog.removeIndent);
    EXPECT_TRUE(dialog.backupOriginal);
    EXPECT_EQ(dialog.ChangeTableDisplayName(), "None"); // no such file
    WriteFileBytes(dir.File("table.ztt"), "");
    EXPECT_EQ(dialog.ChangeTableDisplayName(), "table.ztt");
    EXPECT_EQ(dialog.TypeItems(),
              (std::vector<std::string>{"Lexicon", "Text", "&Add a new Database Type..."}));
    EXPECT_FALSE(dialog.Confirm());
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{"You must choose a Database Type!"}));

    CImportDialog missing(*types, import, "x.txt", "text", ImportMode::TypeMissing, "Dictionary");
    EXPECT_EQ(missing.MissingTypeText(), "Database type   Dictionary   not found for:");
    EXPECT_FALSE(missing.OptionsEnabled());
    EXPECT_FALSE(missing.useChangeTable || missing.removeIndent || missing.backupOriginal);
}

TEST_F(DocImportTest, TwoSkippedLinesAskAndYesGoesBackToTheDialog) {
    const std::string data = "line one\nline two\n\\lx a\n";
    dialogs.script = {ImportChoice{"Lexicon"}};
    EXPECT_EQ(Import("t.txt", data), nullptr); // Yes (the default), then the dialog is cancelled
    EXPECT_EQ(dialogs.shown, 2);
    EXPECT_EQ(rec.Questions(), (std::vector<std::string>{Discrepancy("2 lines were discarded")}));
    EXPECT_EQ(ReadFileBytes(path), data);

    rec.Clear();
    rec.answers = {Answer::Cancel};
    dialogs.script = {ImportChoice{"Lexicon"}};
    EXPECT_EQ(docs->OpenDocument(path), nullptr);
    EXPECT_EQ(ReadFileBytes(path), data);

    rec.Clear();
    rec.answers = {Answer::No};
    dialogs.script = {ImportChoice{"Lexicon"}};
    ASSERT_NE(docs->OpenDocument(path), nullptr);
    EXPECT_EQ(ReadFileBytes(path), Lexicon("\\lx a\r\n"));
}

TEST_F(DocImportTest, TwoSkippedFieldsAreNamedAsFields) {
    rec.answers = {Answer::No};
    dialogs.script = {ImportChoice{"Lexicon"}};
    ASSERT_NE(Import("t.txt", "\\ge x\n\\ge y\n\\lx a\n"), nullptr);
    EXPECT_EQ(rec.Questions(), (std::vector<std::string>{Discrepancy("2 fields were discarded")}));
}

TEST_F(DocImportTest, ARecordMarkerThatNeverOccursIsReportedAndTheDialogShownAgain) {
    dialogs.script = {ImportChoice{"Text"}, ImportChoice{"Lexicon"}};
    // The dialog confirms Text; the failure sends it back, where the script's next
    // choice is taken at the next showing.
    CCrvDoc* doc = Import("t.txt", "\\lx a\n\\ge one\n");
    EXPECT_EQ(dialogs.shown, 2);
    ASSERT_NE(doc, nullptr);
    auto messages = rec.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0], "Import Failure:\nThe Text record marker  \\id  was not found in the "
                           "data.\nCheck that the database type and/or change table are correct.");
}

TEST_F(DocImportTest, AChangeTableConvertsTheTextAndOneThatDoesNotLoadReturnsToTheDialog) {
    std::string table = dir.File("upper.ztt");
    WriteFileBytes(table, "'one' > 'ONE'\n");
    dialogs.script = {ImportChoice{"Lexicon", true, dir.File("missing.ztt")},
                      ImportChoice{"Lexicon", true, table}};
    CCrvDoc* doc = Import("t.txt", "\\lx a\n\\ge one\n");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(dialogs.shown, 2);
    EXPECT_EQ(rec.Messages().at(0).rfind(
                  dir.File("missing.ztt") + "\nThe change table cannot be loaded.", 0),
              0u);
    EXPECT_EQ(ReadFileBytes(path), Lexicon("\\lx a\r\n\\ge ONE\r\n"));
    EXPECT_TRUE(import.useChangeTable);
    EXPECT_EQ(import.changeTable, table);
}

TEST_F(DocImportTest, TheWarningsOfAChangeTableAreShownAfterASuccessfulImport) {
    std::string table = dir.File("warn.ztt");
    WriteFileBytes(table, "'one' > 'ONE' out(s)\n'two' > decr(n)\n");
    dialogs.script = {ImportChoice{"Lexicon", true, table}};
    ASSERT_NE(Import("t.txt", "\\lx a\n\\ge one two\n"), nullptr);
    EXPECT_EQ(ReadFileBytes(path), Lexicon("\\lx a\r\n\\ge ONE \r\n"));
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  "WARNING: Store s used but never stored into\n"
                                  "Warning, cannot decr new variable, it is not decremented"}));
}

TEST_F(DocImportTest, TheOriginalIsKeptAsOriUnderAFreeName) {
    dialogs.script = {ImportChoice{"Lexicon", false, "", true, true}};
    ASSERT_NE(Import("t.txt", "\\lx a\n"), nullptr);
    EXPECT_EQ(ReadFileBytes(dir.File("t.ori")), original);
    EXPECT_TRUE(rec.Messages().empty());

    fs::remove(path);
    dialogs.script = {ImportChoice{"Lexicon", false, "", true, true}};
    docs->CloseAll();
    ASSERT_NE(Import("t.txt", "\\lx b\n"), nullptr);
    EXPECT_EQ(ReadFileBytes(dir.File("t1.ori")), "\\lx b\n");
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{"Backup Original will be named\n" + dir.File("t1.ori")}));
    EXPECT_EQ(Files(), (std::vector<std::string>{"t.ori", "t.txt", "t1.ori"}));
}

TEST_F(DocImportTest, AReadOnlyOrUnreadableSourceIsNotImported) {
    path = Db("ro.txt", "\\lx a\n");
    ::chmod(path.c_str(), 0444);
    dialogs.script = {ImportChoice{"Lexicon"}};
    EXPECT_EQ(docs->OpenDocument(path), nullptr);
    ::chmod(path.c_str(), 0644);
    std::string message;
    CCrvDoc doc(*docs);
    EXPECT_FALSE(doc.ImportFile(dir.Path().string(), ImportMode::NoHeader, {}, message));
    EXPECT_EQ(message, dir.Path().string() + kBusy);
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  path + "\nCannot import this file because it is read-only."}));
    EXPECT_EQ(dialogs.shown, 0);
}

TEST_F(DocImportTest, AFullDiskOrAFolderThatRefusesTheNewFileLeavesTheSourceAlone) {
    std::string big = "\\lx a\n\\ge " + std::string(20000, 'x') + "\n";
    dialogs.script = {ImportChoice{"Lexicon"}};
    {
        path = Db("big.txt", big);
        FileSizeLimit limit(1000);
        EXPECT_EQ(docs->OpenDocument(path), nullptr);
    }
    EXPECT_EQ(
        rec.Messages().back(),
        path + "\nFailed to import this file.\n\nPlease check whether there is enough disk space.");
    EXPECT_EQ(ReadFileBytes(path), big);
    EXPECT_EQ(Files(), (std::vector<std::string>{"big.txt"}));

    // A folder that refuses new files.
    rec.Clear();
    ops.failCreate = true;
    dialogs.script = {ImportChoice{"Lexicon"}};
    EXPECT_EQ(docs->OpenDocument(path), nullptr);
    EXPECT_EQ(
        rec.Messages().back(),
        path +
            "\nFailed to import this file.\n\nPlease check whether the disk is write-protected.");
    EXPECT_EQ(ReadFileBytes(path), big);
    EXPECT_EQ(Files(), (std::vector<std::string>{"big.txt"}));
}

TEST_F(DocImportTest, RenameFailuresKeepTheSource) {
    dialogs.script = {ImportChoice{"Lexicon", false, "", true, true}};
    ops.failCopy = true;
    EXPECT_EQ(Import("t.txt", "\\lx a\n"), nullptr);
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{path + kBusy}));
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(Files(), (std::vector<std::string>{"t.txt"}));

    rec.Clear();
    ops.failCopy = false;
    ops.failRename = ops.renames + 1; // without a backup the only rename: the new file's
    dialogs.script = {ImportChoice{"Lexicon"}};
    EXPECT_EQ(docs->OpenDocument(path), nullptr);
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{path + kBusy}));
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(Files(), (std::vector<std::string>{"t.txt"}));
}

TEST_F(DocImportTest, AFieldPastTheLimitStopsTheImportAndLeavesTheSource) {
    dialogs.script = {ImportChoice{"Lexicon"}};
    const std::string bytes = "\\lx " + std::string(32500, 'y') + "\n\\ge one\n";
    EXPECT_EQ(Import("huge.txt", bytes), nullptr);
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  path + "\nCan not open this file because it contains a field "
                                         "more than 32000 characters in size."}));
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(Files(), (std::vector<std::string>{"huge.txt"}));
}

} // namespace

} // namespace crv::test
