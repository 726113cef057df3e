// Saving: the ".bak" rules, every failure message, and that no failure harms the file.
#include <filesystem>
#include <sys/stat.h>

#include "app/crv_doc.h"
#include "app/doc_test_support.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

class DocSaveTest : public DocTest {
protected:
    // A lexicon whose saved form differs from the file (LF line ends).
    CCrvDoc* OpenLexicon(const std::string& name = "lex.db") {
        path = Db(name,
                  "\\_sh v3.0  400  Lexicon\n\\_DateStampHasFourDigitYear\n\n\\lx a\n\\ge one\n");
        original = ReadFileBytes(path);
        CCrvDoc* doc = docs->OpenDocument(path);
        EXPECT_NE(doc, nullptr);
        return doc;
    }
    std::string Saved() const { return Lexicon("\\lx a\r\n\\ge one\r\n"); }

    std::string path;
    std::string original;
};

TEST_F(DocSaveTest, SavingKeepsThePreviousVersionAsTheOneBackup) {
    CCrvDoc* doc = OpenLexicon();
    doc->SetModified();
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(ReadFileBytes(path), Saved());
    EXPECT_EQ(ReadFileBytes(dir.File("lex.bak")), original);
    EXPECT_EQ(rec.ProgressTexts().back(), "Writing " + path);

    doc->Records().Records().GetFirst()->GetLast()->SetText("two");
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_EQ(ReadFileBytes(dir.File("lex.bak")), Saved());
    EXPECT_EQ(ReadFileBytes(path), Lexicon("\\lx a\r\n\\ge two\r\n"));
    EXPECT_EQ(Files(), (std::vector<std::string>{"lex.bak", "lex.db"}));
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(DocSaveTest, ABakFileIsReplacedDirectlyAndKeepsItsPermissions) {
    CCrvDoc* doc = OpenLexicon("old.BAK");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_EQ(ReadFileBytes(path), Saved());
    EXPECT_EQ(Files(), (std::vector<std::string>{"old.BAK"}));
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(DocSaveTest, ALinkedDatabaseIsRewrittenWhereTheLinkPoints) {
    CCrvDoc* doc = OpenLexicon();
    fs::create_directory(dir.Path() / "links");
    std::string link = (dir.Path() / "links" / "lex.db").string();
    fs::create_symlink(path, link);
    ASSERT_TRUE(doc->OnSaveDocument(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(path), Saved());
    EXPECT_EQ(ReadFileBytes(dir.File("lex.bak")), original);
}

TEST_F(DocSaveTest, AReadOnlyFileIsNotSavedOver) {
    CCrvDoc* doc = OpenLexicon();
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(doc->OnSaveDocument(path));
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  path + "\nThis file exists and is read-only.\n\nPlease use a "
                                         "different filename."}));
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(Files(), (std::vector<std::string>{"lex.db"}));
}

TEST_F(DocSaveTest, AFullDiskLeavesTheFileAndItsBackupAsTheyWere) {
    CCrvDoc* doc = OpenLexicon();
    WriteFileBytes(dir.File("lex.bak"), "older");
    doc->Records().Records().GetFirst()->GetLast()->SetText(std::string(20000, 'x'));
    doc->SetModified();
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(doc->OnSaveDocument(path));
    }
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  path + "\nFailed to save this file.\n\nPlease check whether "
                                         "there is enough disk space."}));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(ReadFileBytes(dir.File("lex.bak")), "older");
    EXPECT_EQ(Files(), (std::vector<std::string>{"lex.bak", "lex.db"}));
}

TEST_F(DocSaveTest, AFolderThatCannotTakeTheTemporaryFileIsReported) {
    CCrvDoc* doc = OpenLexicon();
    std::string elsewhere = dir.File("no/such/folder/lex.db");
    EXPECT_FALSE(doc->OnSaveDocument(elsewhere));
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  elsewhere + "\nFailed to save this file.\n\nPlease check whether "
                                              "the disk is write-protected."}));
    EXPECT_EQ(doc->Path(), path);
}

TEST_F(DocSaveTest, ABackupThatCannotBeReplacedStopsTheSave) {
    CCrvDoc* doc = OpenLexicon();
    const std::string message =
        path +
        "\nFailed to save this file.\n\nPlease check whether its .bak backup copy is read-only.";
    WriteFileBytes(dir.File("lex.bak"), "older");
    ::chmod(dir.File("lex.bak").c_str(), 0444);
    EXPECT_FALSE(doc->OnSaveDocument(path));
    ::chmod(dir.File("lex.bak").c_str(), 0644);
    // A rename over the backup that fails (a folder of that name, say) likewise.
    fs::remove(dir.File("lex.bak"));
    fs::create_directories(dir.Path() / "lex.bak" / "inside");
    EXPECT_FALSE(doc->OnSaveDocument(path));
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{message, message}));
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(Files(), (std::vector<std::string>{"lex.bak", "lex.db"}));
}

TEST_F(DocSaveTest, AnOldFileThatCannotBeKeptStopsTheSave) {
    CCrvDoc* doc = OpenLexicon();
    ops.failCopy = true;
    EXPECT_FALSE(doc->OnSaveDocument(path));
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  path + "\nFailed to save this file.\n\nPlease check whether it "
                                         "is also open in another program."}));
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(Files(), (std::vector<std::string>{"lex.db"}));
}

TEST_F(DocSaveTest, ANewFileThatCannotBeRenamedLeavesTheOldOneAndNoTemporary) {
    CCrvDoc* doc = OpenLexicon();
    ops.failRename = 2; // the first rename puts the backup in place
    EXPECT_FALSE(doc->OnSaveDocument(path));
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{
                                  path + "\nFailed to save this file.\n\nPlease check whether it "
                                         "is also open in another program."}));
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(ReadFileBytes(dir.File("lex.bak")), original);
    EXPECT_EQ(Files(), (std::vector<std::string>{"lex.bak", "lex.db"}));
}

TEST_F(DocSaveTest, SavingAReadOnlyDocumentAsksForAnotherName) {
    CCrvDoc* doc = OpenLexicon();
    doc->SetReadOnly(true);
    doc->SetModified();
    std::string other = dir.File("copy.db");
    rec.files = {other};
    rec.answers = {Answer::Yes};
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_EQ(rec.Questions(), (std::vector<std::string>{"Save changes to lex.db?"}));
    EXPECT_EQ(doc->Path(), other);
    EXPECT_FALSE(doc->IsReadOnly());
    EXPECT_EQ(ReadFileBytes(other), Saved());
    EXPECT_EQ(ReadFileBytes(path), original);
}

} // namespace
} // namespace crv::test
