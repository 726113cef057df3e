// crv project new and check, and -p opening the project for other commands.
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "run_program.h"
#include "sample_project_fixture.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

// Every file of a folder with its bytes.
std::map<std::string, std::string> FolderBytes(const fs::path& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
        out[e.path().filename().string()] = ReadFileBytes(e.path().string());
    return out;
}

using CrvProject = SampleProjectTest;

TEST_F(CrvProject, CheckOpensTheSampleAndChangesNothing) {
    auto before = FolderBytes(dir.Path());
    auto r = RunCrv({"-p", prj, "check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "types: 4\nencodings: 4\ndatabases: 3\nrecords: 41\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(FolderBytes(dir.Path()), before);

    // The original sample, from another working folder: paths in the project file are
    // the project folder's.
    before = FolderBytes(CORVANE_SAMPLE_DIR);
    r = RunCrv({"-p", std::string(CORVANE_SAMPLE_DIR) + "/sample.prj", "check"}, {},
               config.Path().string());
    EXPECT_EQ(r.out, "types: 4\nencodings: 4\ndatabases: 3\nrecords: 41\n");
    EXPECT_EQ(FolderBytes(CORVANE_SAMPLE_DIR), before);

    // A settings folder lists no databases.
    r = RunCrv({"-s", dir.Path().string(), "check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "types: 4\nencodings: 4\ndatabases: 0\nrecords: 0\n");
    EXPECT_EQ(RunCrv({"check"}).status, 2);
    EXPECT_EQ(RunCrv({"-p", prj, "check", "extra"}).status, 2);
}

TEST_F(CrvProject, CheckReportsWhatCannotBeOpenedAndSavesNothing) {
    auto missing = RunCrv({"-p", dir.File("none.prj"), "check"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "The specified path to the project file does not exist.\n\n");

    auto notProject = RunCrv({"-p", dir.File("lexicon.db"), "check"});
    EXPECT_EQ(notProject.status, 1);
    EXPECT_EQ(notProject.err, "This is not a valid project file!\n\n");
    // Every command opens the project of -p.
    EXPECT_EQ(RunCrv({"-p", dir.File("lexicon.db"), "type", "list"}).status, 1);

    // A database that is gone is looked for, then left closed; one that converts its
    // dates on opening is told of and not saved.
    std::string old = "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n\\dt 5/Dec/98\r\n";
    WriteFileBytes(dir.File("old.db"), old);
    WriteFileBytes(prj,
                   "\\+CrvProjectSettings\r\n\\ver 4.0\r\n\\+dblst\r\n\\+db gone.db\r\n"
                   "\\-db\r\n\\+db old.db\r\n\\-db\r\n\\+db lexicon.db\r\n\\-db\r\n\\-dblst\r\n"
                   "\\-CrvProjectSettings\r\n");
    auto before = FolderBytes(dir.Path());
    auto r = RunCrv({"-p", prj, "check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "types: 4\nencodings: 4\ndatabases: 2\nrecords: 33\n");
    EXPECT_NE(r.err.find(dir.File("gone.db") + "\nCorvane cannot find this file."),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Open a File which has been moved\n-> Cancel\n"), std::string::npos);
    EXPECT_NE(r.err.find("Corvane date stamp fields now have four-digit years"), std::string::npos);
    EXPECT_NE(r.err.find("crv: " + dir.File("old.db") +
                         " was changed as it was opened; check does not save it\n"),
              std::string::npos);
    EXPECT_EQ(FolderBytes(dir.Path()), before);
}

TEST_F(CrvProject, OlderSettingsAreListedAndLeftAsTheyAre) {
    std::string typ = ReadFileBytes(dir.File("Text.typ"));
    std::string older = typ;
    older.replace(older.find("\\ver 4.0"), 8, "\\ver 3.0");
    WriteFileBytes(dir.File("Text.typ"), older);
    auto before = FolderBytes(dir.Path());

    auto r = RunCrv({"-p", prj, "check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Text.typ  (version 3.0)\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Project file:  sample.prj\nCurrent version of Corvane:  4.0\n-> OK\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("crv: settings files of an older version were left as they are"),
              std::string::npos);
    EXPECT_EQ(FolderBytes(dir.Path()), before);

    auto refused = RunCrv({"--no", "-p", prj, "check"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
}

TEST_F(CrvProject, ProjectNewWritesADefaultProject) {
    fs::create_directories(dir.Path() / "fresh");
    std::string path = dir.File("fresh/my.prj");
    auto r = RunCrv({"project", "new", path});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string text = ReadFileBytes(path);
    EXPECT_EQ(text.substr(0, 32), "\\+CrvProjectSettings\r\n\\ver 4.0\r\n");
    EXPECT_NE(text.find("\\ProjectPath " + path + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\\+dblst\r\n\r\n\\-dblst\r\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir.Path() / "fresh" / "Default.lng"));

    auto check = RunCrv({"-p", path, "check"});
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.out, "types: 0\nencodings: 1\ndatabases: 0\nrecords: 0\n");

    // An existing file is replaced only when the user says so.
    WriteFileBytes(path, "mine\r\n");
    r = RunCrv({"project", "new", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("already exists.\n\nDo you want to replace it?\n-> No\n"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(path), "mine\r\n");
    EXPECT_EQ(RunCrv({"--yes", "project", "new", path}).status, 0);
    EXPECT_EQ(ReadFileBytes(path).substr(0, 22), "\\+CrvProjectSettings\r\n");

    auto nowhere = RunCrv({"project", "new", dir.File("no/such/folder/x.prj")});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_EQ(nowhere.err, "Error writing project file!\n\n");
    EXPECT_FALSE(fs::exists(dir.Path() / "no"));
    EXPECT_EQ(RunCrv({"project", "new", dir.Path().string()}).status, 1);
    EXPECT_EQ(RunCrv({"project", "new"}).status, 2);
}

TEST_F(CrvProject, OtherCommandsUseTheProjectsTypesAndAppPath) {
    auto list = RunCrv({"-p", prj, "list", dir.File("lexicon.db")});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, RunCrv({"-s", dir.Path().string(), "list", dir.File("lexicon.db")}).out);

    // A database under "<AppPath>" is found in the folder the preferences name.
    fs::create_directories(dir.Path() / "app" / "data");
    fs::rename(dir.Path() / "texts.db", dir.Path() / "app" / "data" / "texts.db");
    WriteFileBytes(config.File("corvane.ini"),
                   "[The Linguist's Corvane]\r\nAppPath=" + dir.File("app") + "\r\n");
    WriteFileBytes(prj, "\\+CrvProjectSettings\r\n\\ver 4.0\r\n\\+dblst\r\n"
                        "\\+db <AppPath>\\data\\texts.db\r\n\\-db\r\n\\-dblst\r\n"
                        "\\-CrvProjectSettings\r\n");
    auto r = RunCrv({"-p", prj, "check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "types: 4\nencodings: 4\ndatabases: 1\nrecords: 3\n");
    EXPECT_EQ(r.err, "");
}

} // namespace
} // namespace crv::test
