// crv open, resave, import and new, with the settings of -s.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

const char* const kLexiconType =
    "\\+DatabaseType Lexicon\r\n\\ver 4.0\r\n\\+mkrset\r\n\\lngDefault Default\r\n"
    "\\mkrRecord lx\r\n\r\n\\+mkr lx\r\n\\lng Default\r\n\\-mkr\r\n"
    "\\+mkr dt\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
    "\\-mkrset\r\n\\mkrRecord lx\r\n\\mkrDateStamp dt\r\n\\-DatabaseType\r\n";

class CrvDoc : public ::testing::Test {
protected:
    CrvDoc() { WriteFileBytes(settings.File("Lexicon.typ"), kLexiconType); }
    ProgramResult Crv(std::vector<std::string> args) {
        args.insert(args.begin(), {"-s", settings.Path().string()});
        return RunCrv(args);
    }
    std::string Db(const std::string& name, const std::string& bytes) {
        WriteFileBytes(dir.File(name), bytes);
        return dir.File(name);
    }

    ScratchDir settings;
    ScratchDir dir;
};

TEST_F(CrvDoc, OpenReportsRecordsAndWhetherOpeningChangedAnything) {
    std::string db = Db("lex.db", "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
                                  "\\lx a\r\n\r\n\\lx b\r\n");
    auto r = Crv({"open", db});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "records: 2\nmodified: no\n");
    EXPECT_EQ(r.err, "");

    std::string old = Db("old.db", "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n\\dt 5/dec/98\r\n");
    r = Crv({"open", old});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "records: 1\nmodified: yes\n");
    EXPECT_EQ(ReadFileBytes(old), "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n\\dt 5/dec/98\r\n");

    r = Crv({"open", dir.File("none.db")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, dir.File("none.db") + "\nCannot open this file.\n\nPlease check whether it is "
                                           "already open in another program.\n\n");
    EXPECT_EQ(Crv({"open"}).status, 2);
}

TEST_F(CrvDoc, ResaveWritesTheDatabaseAndKeepsTheOldFileAsBak) {
    std::string before = "\\_sh v3.0  400  Lexicon\n\n\\lx b\n\\dt 1/Jan/05\n\n\\lx a\n";
    std::string db = Db("lex.db", before);
    auto r = Crv({"resave", db});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(db), "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
                                 "\\lx a\r\n\r\n\\lx b\r\n\\dt 01/Jan/2005\r\n");
    EXPECT_EQ(ReadFileBytes(dir.File("lex.bak")), before);
}

TEST_F(CrvDoc, ResaveOfAReadOnlyFileAsksAndCannotSaveOverIt) {
    std::string bytes = "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n";
    std::string db = Db("ro.db", bytes);
    ::chmod(db.c_str(), 0444);
    auto r = Crv({"resave", db});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\nThis file is read-only.\n"), std::string::npos);
    EXPECT_NE(r.err.find("-> No\n"), std::string::npos);
    r = Crv({"--yes", "resave", db});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(db + "\nThis file exists and is read-only.\n\nPlease use a different "
                              "filename.\n\n"),
              std::string::npos);
    ::chmod(db.c_str(), 0644);
    EXPECT_EQ(ReadFileBytes(db), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir.File("ro.bak")));
}

TEST_F(CrvDoc, ResaveOnAFullDiskFailsAndKeepsTheFile) {
    std::string bytes =
        "\\_sh v3.0  400  Lexicon\n\n\\lx a\n\\ge " + std::string(30000, 'g') + "\n";
    std::string db = Db("big.db", bytes);
    ProgramResult r;
    {
        FileSizeLimit limit(10000);
        r = Crv({"resave", db});
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, db +
                         "\nFailed to save this file.\n\nPlease check whether there is enough disk "
                         "space.\n\n");
    EXPECT_EQ(ReadFileBytes(db), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(CrvDoc, ImportTakesTheDialogsChoicesFromTheOptions) {
    std::string text = "notes\n\\lx b\n  indented\n\n\\lx a\n";
    std::string file = Db("words.txt", text);
    auto r = Crv({"-q", "import", file, "--type", "Lexicon", "--backup"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(file),
              "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
              "\\lx a\r\n\r\n\\lx b\r\nindented\r\n");
    EXPECT_EQ(ReadFileBytes(dir.File("words.ori")), text);

    std::string kept = Db("kept.txt", "\\lx a\n  indented\n");
    r = Crv({"-q", "import", kept, "--type", "Lexicon", "--keep-spaces"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadFileBytes(kept).find("\r\n  indented\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("kept.ori")));

    std::string table = Db("up.ztt", "'a' > 'A'\n");
    std::string converted = Db("c.txt", "\\lx a\n");
    r = Crv({"-q", "import", converted, "--type", "Lexicon", "--ztt", table});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadFileBytes(converted).find("\\lx A\r\n"), std::string::npos);
}

TEST_F(CrvDoc, ADiscrepancyStopsUnlessAnsweredNo) {
    std::string text = "one\ntwo\n\\lx a\n";
    std::string file = Db("t.txt", text);
    auto r = Crv({"import", file, "--type", "Lexicon"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Import Discrepancy:\n2 lines were discarded before the Lexicon record "
                         "marker  \\lx  was found."),
              std::string::npos);
    EXPECT_NE(r.err.find("-> Yes\n"), std::string::npos);
    EXPECT_NE(r.err.find("crv: stopped at the import dialog"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file), text);

    r = Crv({"--no", "-q", "import", file, "--type", "Lexicon"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(file),
              "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n\\lx a\r\n");
}

TEST_F(CrvDoc, ImportFailuresExitWithTheMessage) {
    std::string file = Db("t.txt", "\\ge a\n");
    auto r = Crv({"import", file, "--type", "Lexicon"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(
        r.err.find("Import Failure:\nThe Lexicon record marker  \\lx  was not found in the data."),
        std::string::npos);
    r = Crv({"import", file, "--type", "Nope"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "crv: the settings have no database type named Nope\n");
    EXPECT_EQ(Crv({"import", file}).status, 2);
    ::chmod(file.c_str(), 0444);
    r = Crv({"import", file, "--type", "Lexicon"});
    ::chmod(file.c_str(), 0644);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, file + "\nCannot import this file because it is read-only.\n\n");
    EXPECT_EQ(ReadFileBytes(file), "\\ge a\n");
    // Opening a file that is not a database goes to the import dialog, which crv cannot fill.
    r = Crv({"open", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("You must choose a Database Type!"), std::string::npos);
}

TEST_F(CrvDoc, NewMakesAnEmptyDatabaseAndAsksBeforeReplacingAFile) {
    std::string db = dir.File("new.db");
    auto r = Crv({"new", db, "--type", "Lexicon"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string empty =
        "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n\\lx\r\n";
    EXPECT_EQ(ReadFileBytes(db), empty);
    WriteFileBytes(db, "mine");
    r = Crv({"new", db, "--type", "Lexicon"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, db + " already exists.\nDo you want to replace it?\n-> No\n\n");
    EXPECT_EQ(ReadFileBytes(db), "mine");
    r = Crv({"--yes", "new", db, "--type", "Lexicon"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(db), empty);
    EXPECT_EQ(ReadFileBytes(dir.File("new.bak")), "mine");
    EXPECT_EQ(Crv({"new", db, "--type", "Nope"}).status, 1);
    EXPECT_EQ(Crv({"new", db}).status, 2);
}

TEST_F(CrvDoc, AMissingSettingsFolderOrTypeIsReported) {
    std::string db = Db("lex.db", "\\_sh v3.0  400  Dictionary\r\n\r\n\\lx a\r\n");
    auto r = RunCrv({"-s", dir.File("nowhere"), "open", db});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not found"), std::string::npos);
    r = Crv({"open", db});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, db + "\nis of database type   Dictionary,\nbut the type file is missing from "
                          "the project settings folder.\n-> Cancel\n\n");
    EXPECT_EQ(ReadFileBytes(db), "\\_sh v3.0  400  Dictionary\r\n\r\n\\lx a\r\n");
}

} // namespace
} // namespace crv::test
