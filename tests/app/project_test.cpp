#include "app/project.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/preferences.h"
#include "app/record_view.h"
#include "engine/engine_type_settings.h"
#include "project_test_support.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

class ProjectTest : public PlatformTest {
protected:
    ProjectTest() : prefs(dir.File("config/corvane.ini")) {
        fs::create_directories(dir.Path() / "proj");
        folder = (dir.Path() / "proj").string();
        prj = folder + "/p.prj";
        WriteFileBytes(folder + "/Lex.typ", TypeFileText("Lex", "4.0"));
        WriteFileBytes(folder + "/Default.lng", kDefaultEncodingFile);
    }

    ProjectContext Ctx() { return {&prefs, nullptr}; }
    ProjectOpenSettings Settings() {
        ProjectOpenSettings s;
        s.makeCurrentFolder = false;
        return s;
    }
    std::unique_ptr<CProject> OpenWith(const std::string& text) {
        WriteFileBytes(prj, Crlf(text));
        return CProject::Open(prj, Ctx(), Settings());
    }
    void Touch(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        WriteFileBytes(path, kLexDatabase);
    }

    ScratchDir dir;
    std::string folder, prj;
    Preferences prefs;
};

TEST_F(ProjectTest, OptionsReadWithDefaultsAndClampedHeight) {
    auto p =
        OpenWith("\\+CrvProjectSettings\n\\ver 4.0\n\\LangCtrlHeight 100\n\\KeepSpaces\n"
                 "\\UseImportZTT\n\\ImportZTT in.ztt\n\\ToolBarHidden\n\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Options().langCtrlHeight, 43);
    EXPECT_FALSE(p->Options().import.removeSpaces);
    EXPECT_TRUE(p->Options().import.useChangeTable);
    EXPECT_EQ(p->Options().import.changeTable, "in.ztt");
    EXPECT_TRUE(p->Options().toolBarHidden);
    EXPECT_FALSE(p->Options().statusBarHidden);
    EXPECT_TRUE(p->Options().autoWrap);
    EXPECT_FALSE(p->Options().warnDocClose);
    EXPECT_EQ(p->Options().markerFont.face, "MS Sans Serif");
    EXPECT_EQ(p->Options().markerFont.height, -13);
    EXPECT_FALSE(p->Options().mainPlacement);
    EXPECT_EQ(p->SettingsFolderText(), "Settings folder: " + folder);
    p.reset();

    p = OpenWith("\\+CrvProjectSettings\n\\LangCtrlHeight 5\n\\NoAutoWrap\n"
                 "\\+fntMarkers\n\\Name\n\\Size 12\n\\-fntMarkers\n"
                 "\\placementMain normal 1 2 3 4 5 6 7\n\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Options().langCtrlHeight, 19);
    EXPECT_FALSE(p->Options().autoWrap);
    EXPECT_FALSE(p->Options().mainPlacement) << "eight items are not a placement";
    EXPECT_EQ(p->Options().markerFont.face, "MS Sans Serif") << "a face is needed";
    EXPECT_EQ(p->Options().markerFont.height, FontHeightFromSize(12));
    EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
}

// Carried objects, and what the window and find settings do not know, come back byte for
// byte in their places; the recent-files list of older versions is dropped; options are
// written in order.
TEST_F(ProjectTest, FileComesBackInItsOrderWithCarriedObjects) {
    Touch(folder + "/lex.db");
    Touch(folder + "/texts.db");
    std::string body =
        "\\+CorpusSet\n\\+corpus Main\n\\File texts.db\n\\-corpus\n\\-CorpusSet\n"
        "\\WarnDocClose\n\\ShowWholePath\n\\AutoWrap\n\\UseImportZTT\n\\ImportZTT imp.ztt\n"
        "\\KeepSpaces\n\\StatusBarHidden\n\\ToolBarHidden\n\\LangCtrlHeight 25\n"
        "\\+fntMarkers\n\\Name Arial\n\\Size 12\n\\Bold\n\\-fntMarkers\n"
        "\\placementMain max -1 -1 -4 -4 10 20 600 400\n"
        "\\+dblst\n\n"
        "\\+db lex.db\n\\ReadOnly\n\\+wndlst\n\\+crvwnd\n\\z 2\n\\+ind\n\\mkrPri lx\n\\-ind\n"
        "\\-crvwnd\n\\+crvwnd\n\\z 1\n\\-crvwnd\n\\-wndlst\n\\-db\n\n"
        "\\+db " +
        folder +
        "/texts.db\n\\-db\n\n"
        "\\-dblst\n"
        "\\+Find\n\\+ftxlst\n\\ftx kelo\n\\-ftxlst\n\\MatchCase\n\\-Find\n"
        "\\-CrvProjectSettings\n";
    std::string head = "\\+CrvProjectSettings\n\\ver 4.0\n\\ProjectPath " + prj + "\n";
    std::string text = head + body;
    // The find settings are read: their level is written, what they do not know is kept.
    text.replace(text.find("\\+Find\n") + 7, 0, "\\match_char p\n");
    std::string read = head + "\\+mrulst\n\\mru a.db\n\\-mrulst\n" + body;
    auto p = OpenWith(read);
    ASSERT_TRUE(p);
    EXPECT_EQ(DocPaths(*p), (std::vector<std::string>{folder + "/lex.db", folder + "/texts.db"}));
    EXPECT_TRUE(p->Documents().At(0)->IsReadOnly());
    EXPECT_FALSE(p->Documents().At(1)->IsReadOnly());
    EXPECT_EQ(p->FileText(), Crlf(text));
    ASSERT_TRUE(p->Save());
    EXPECT_EQ(ReadFileBytes(prj), Crlf(text));
}

// A project file of a newer version: keys and objects this version does not know at every
// level, kept in the places this version's writer gives them, opened with its databases
// or without them.
TEST_F(ProjectTest, WhatANewerVersionWroteIsKeptInPlace) {
    Touch(folder + "/lex.db");
    std::string text = "\\+CrvProjectSettings\n\\ver 4.0\n\\ProjectPath " + prj +
                       "\n"
                       "\\newAfterPath 1\n"
                       "\\+CorpusSet\n\\+corpus Main\n\\newCorpusKey\n\\-corpus\n\\-CorpusSet\n"
                       "\\WarnDocClose\n\\AutoWrap\n"
                       "\\+newProjectObject\n\\+inner\n\\k\n\\-inner\n\\-newProjectObject\n"
                       "\\LangCtrlHeight 19\n"
                       "\\+fntMarkers\n\\Name MS Sans Serif\n\\Size 10\n\\newFontKey\n"
                       "\\-fntMarkers\n"
                       "\\+dblst\n\n"
                       "\\+newListObject\n\\-newListObject\n"
                       "\\+db lex.db\n\\newDbKey\n"
                       "\\+wndlst\n\\+crvwnd\n\\newWindowKey\n\\-crvwnd\n\\-wndlst\n"
                       "\\+newDbObject\n\\-newDbObject\n\\-db\n\n"
                       "\\-dblst\n"
                       "\\+Find\n\\match_char p\n\\+ftxlst\n\\-ftxlst\n\\newFindKey\n\\-Find\n"
                       "\\newLastKey\n"
                       "\\-CrvProjectSettings\n";
    for (bool openDatabases : {true, false}) {
        WriteFileBytes(prj, Crlf(text));
        ProjectOpenSettings settings = Settings();
        settings.openDatabases = openDatabases;
        auto p = CProject::Open(prj, Ctx(), settings);
        ASSERT_TRUE(p);
        EXPECT_TRUE(p->Options().warnDocClose);
        EXPECT_EQ(p->Documents().Count(), openDatabases ? 1u : 0u);
        EXPECT_EQ(p->FileText(), Crlf(text)) << openDatabases;
        ASSERT_TRUE(p->Save());
        EXPECT_EQ(ReadFileBytes(prj), Crlf(text)) << openDatabases;
    }
    EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
}

TEST_F(ProjectTest, NewProjectIsWrittenAtOnce) {
    std::string path = folder + "/new.prj";
    auto p = CProject::New(path, Ctx());
    ASSERT_TRUE(p);
    EXPECT_EQ(ReadFileBytes(path),
              Crlf("\\+CrvProjectSettings\n\\ver 4.0\n\\ProjectPath " + path +
                   "\n\\AutoWrap\n\\LangCtrlHeight 19\n\\+fntMarkers\n\\Name MS Sans Serif\n"
                   "\\Size 10\n\\-fntMarkers\n\\+dblst\n\n\\-dblst\n"
                   "\\+Find\n\\match_char p\n\\+ftxlst\n\\-ftxlst\n\\-Find\n"
                   "\\-CrvProjectSettings\n"));
    EXPECT_TRUE(IsProjectFile(path));
    CDatabaseType* lex = p->Types().Find("Lex");
    ASSERT_NE(lex, nullptr);
    EXPECT_NE(FilterSetOf(*lex), nullptr) << "the project's types hold real filter sets";

    EXPECT_FALSE(CProject::New(folder + "/nowhere/x.prj", Ctx()));
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{"Error writing project file!"}));
    EXPECT_FALSE(fs::exists(folder + "/nowhere"));
}

TEST_F(ProjectTest, BadProjectFilesGiveTheirMessages) {
    EXPECT_FALSE(CProject::Open(folder + "/missing.prj", Ctx(), Settings()));
    WriteFileBytes(prj, "lx not settings\r\n");
    EXPECT_FALSE(CProject::Open(prj, Ctx(), Settings()));
    EXPECT_FALSE(IsProjectFile(prj));
    WriteFileBytes(prj, "\\+DatabaseType X\r\n\\-DatabaseType\r\n");
    EXPECT_FALSE(CProject::Open(prj, Ctx(), Settings()));
    EXPECT_FALSE(CProject::Open(folder, Ctx(), Settings()));
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{
                  "The specified path to the project file does not exist.",
                  "This is not a valid project file!", "This is not a valid project file!",
                  folder + "\nCannot open this project file.\n\nPlease check "
                           "whether it is already open in another program."}));
    // A truncated file opens with what it has.
    rec.Clear();
    auto p = OpenWith("\\+CrvProjectSettings\n\\ver 4.0\n\\+dblst\n\n\\+db lex");
    ASSERT_TRUE(p);
    EXPECT_EQ(rec.Messages().size(), 1u) << "lex is missing";
}

TEST_F(ProjectTest, VersionCheckListsOlderThenNewerFiles) {
    WriteFileBytes(folder + "/Old.typ", TypeFileText("Old", ""));
    WriteFileBytes(folder + "/Next.typ", TypeFileText("Next", "4.5"));
    std::string text = "\\+CrvProjectSettings\n\\ver 3.5\n\\-CrvProjectSettings\n";

    rec.answers = {Answer::Cancel};
    EXPECT_FALSE(OpenWith(text));
    ASSERT_EQ(rec.Questions().size(), 1u);
    EXPECT_EQ(rec.Questions()[0],
              "These settings files were written by an older version of Corvane.\n"
              "Corvane will update them to the current version.\n\n"
              "p.prj  (version 3.5)\nOld.typ  (version 3.0)\n\n"
              "Settings folder: " +
                  folder +
                  "\nProject file:  p.prj\n"
                  "Current version of Corvane:  4.0");
    EXPECT_TRUE(rec.events.back().beep);
    EXPECT_EQ(ReadFileBytes(folder + "/Old.typ"), TypeFileText("Old", ""));

    rec.Clear();
    rec.answers = {Answer::Ok, Answer::Cancel};
    EXPECT_FALSE(OpenWith(text));
    ASSERT_EQ(rec.Questions().size(), 2u);
    EXPECT_NE(rec.Questions()[1].find("newer version"), std::string::npos);
    EXPECT_NE(rec.Questions()[1].find("Next.typ  (version 4.5)\n"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(folder + "/Old.typ"), TypeFileText("Old", ""))
        << "cancelled: untouched";

    // Confirmed: older files are written back in the current format, newer ones left.
    rec.Clear();
    auto p = OpenWith(text);
    ASSERT_TRUE(p);
    EXPECT_EQ(rec.Questions().size(), 2u);
    EXPECT_NE(ReadFileBytes(folder + "/Old.typ").find("\\ver 4.0\r\n"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(folder + "/Next.typ"), TypeFileText("Next", "4.5"));
    EXPECT_NE(ReadFileBytes(prj).find("\\ver 4.0\r\n"), std::string::npos);
    EXPECT_FALSE(p->OlderSettingsLeft());

    // Told to leave them, the project opens and says it left them.
    p.reset();
    WriteFileBytes(folder + "/Old.typ", TypeFileText("Old", ""));
    ProjectOpenSettings keep = Settings();
    keep.rewriteOlderSettings = false;
    WriteFileBytes(prj, Crlf(text));
    p = CProject::Open(prj, Ctx(), keep);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->OlderSettingsLeft());
    EXPECT_EQ(ReadFileBytes(folder + "/Old.typ"), TypeFileText("Old", ""));
    EXPECT_EQ(ReadFileBytes(prj), Crlf(text));
}

TEST_F(ProjectTest, AppPathComesFromThePreferencesOrTheCorvaneFolder) {
    std::string app = dir.File("app");
    Touch(app + "/sub/lex.db");
    Touch(folder + "/Corvane/sub/lex.db");
    std::string text = "\\+CrvProjectSettings\n\\+dblst\n\\+db <AppPath>\\sub\\lex.db\n\\-db\n"
                       "\\-dblst\n\\-CrvProjectSettings\n";
    ASSERT_TRUE(prefs.Set(Preferences::kAppPath, dir.File("gone")));
    ASSERT_TRUE(prefs.Set(Preferences::kAppPath2, app));
    auto p = OpenWith(text);
    ASSERT_TRUE(p);
    EXPECT_EQ(DocPaths(*p), (std::vector<std::string>{app + "/sub/lex.db"}));
    // Written back as it was, so that the project works on another computer.
    EXPECT_NE(p->FileText().find("\\+db <AppPath>\\sub\\lex.db\r\n"), std::string::npos);
    p.reset();

    ASSERT_TRUE(prefs.Set(Preferences::kAppPath2, ""));
    p = OpenWith(text);
    ASSERT_TRUE(p);
    EXPECT_EQ(DocPaths(*p), (std::vector<std::string>{folder + "/Corvane/sub/lex.db"}));
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(ProjectTest, MovedProjectFindsItsDatabasesInItsOwnFolder) {
    std::string elsewhere = dir.File("shared/words.db");
    Touch(elsewhere);
    Touch(folder + "/lex.db");
    Touch(folder + "/texts.db");
    auto p = OpenWith("\\+CrvProjectSettings\n\\ProjectPath /old/place/p.prj\n\\+dblst\n"
                      "\\+db /old/place/lex.db\n\\-db\n\\+db " +
                      elsewhere +
                      "\n\\-db\n"
                      "\\+db /old/place/data/texts.db\n\\-db\n\\-dblst\n\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    // lex.db by the moved-folder rule, texts.db through the project folder without asking.
    EXPECT_EQ(DocPaths(*p),
              (std::vector<std::string>{folder + "/lex.db", elsewhere, folder + "/texts.db"}));
    EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
    EXPECT_TRUE(rec.fileRequests.empty());
    // Moved paths are written where they are now.
    EXPECT_NE(p->FileText().find("\\+db " + folder + "/lex.db\r\n"), std::string::npos);
}

TEST_F(ProjectTest, PathFromAnotherSystemAsksWithTheBareFileName) {
    auto p = OpenWith("\\+CrvProjectSettings\n\\ProjectPath " + prj +
                      "\n\\+dblst\n"
                      "\\+db Disk:Data:lex.db\n\\-db\n\\+db Disk:Data:more.db\n\\-db\n\\-dblst\n"
                      "\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Documents().Count(), 0u);
    ASSERT_EQ(rec.Messages().size(), 1u) << "the message is shown once";
    EXPECT_EQ(
        rec.Messages()[0],
        "lex.db\nIt looks as if this file came from a different computer system.\n\nAfter you "
        "choose OK, Corvane will let you select the folders on your computer that contains "
        "this project's files.");
    ASSERT_EQ(rec.fileRequests.size(), 2u);
    EXPECT_EQ(rec.fileRequests[0].title, "Open a File which has been moved");
    EXPECT_EQ(rec.fileRequests[0].initialPath, "lex.db");
    EXPECT_EQ(rec.fileRequests[0].filter, "All files (*.*)|*.*||");
    EXPECT_TRUE(rec.fileRequests[0].mustExist);
    EXPECT_EQ(rec.fileRequests[1].initialPath, "more.db");
}

TEST_F(ProjectTest, ChosenFolderServesTheFilesThatFollow) {
    std::string data = dir.File("data");
    Touch(data + "/lex.db");
    Touch(data + "/texts.db");
    rec.files = {data + "/lex.db"};
    auto p = OpenWith("\\+CrvProjectSettings\n\\ProjectPath " + prj +
                      "\n\\+dblst\n"
                      "\\+db /gone/lex.db\n\\-db\n\\+db /gone/texts.db\n\\-db\n"
                      "\\+db /gone/none.db\n\\-db\n\\-dblst\n\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(
        rec.Messages(),
        (std::vector<std::string>{
            "/gone/lex.db\nCorvane cannot find this file.\n\nThis can happen if you've copied "
            "this project from a different computer or if you've moved files around on your "
            "computer.\n\nAfter you choose OK, Corvane will let you select the folders that "
            "contain this project's files."}));
    EXPECT_EQ(DocPaths(*p), (std::vector<std::string>{data + "/lex.db", data + "/texts.db"}));
    EXPECT_EQ(p->MovedFolder(), data);
    EXPECT_EQ(rec.fileRequests.size(), 2u) << "none.db is asked for; texts.db is not";
}

TEST_F(ProjectTest, ListedTwiceOpensOnceAndFailuresStayClosed) {
    Touch(folder + "/lex.db");
    WriteFileBytes(folder + "/bad.db", "\\_sh v3.0  400  Gone\r\n\r\n\\lx a\r\n");
    auto p = OpenWith("\\+CrvProjectSettings\n\\ver 4.0\n\\ProjectPath " + prj +
                      "\n\\+dblst\n"
                      "\\+db lex.db\n\\+wndlst\n\\+crvwnd\n\\-crvwnd\n\\-wndlst\n\\-db\n"
                      "\\+db bad.db\n\\-db\n"
                      "\\+db " +
                      folder +
                      "/lex.db\n\\ReadOnly\n\\+wndlst\n\\+crvwnd 2\n\\-crvwnd\n"
                      "\\-wndlst\n\\-db\n\\-dblst\n\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    ASSERT_EQ(DocPaths(*p), (std::vector<std::string>{folder + "/lex.db"}));
    EXPECT_FALSE(p->Documents().At(0)->IsReadOnly());
    ASSERT_EQ(rec.Questions().size(), 1u) << "the type Gone is missing; the import is declined";
    EXPECT_EQ(ReadFileBytes(folder + "/bad.db"), "\\_sh v3.0  400  Gone\r\n\r\n\\lx a\r\n");
    EXPECT_NE(p->FileText().find("\\+dblst\r\n\r\n\\+db lex.db\r\n\\+wndlst\r\n\\+crvwnd\r\n"
                                 "\\-crvwnd\r\n\\-wndlst\r\n\\-db\r\n\r\n\\-dblst\r\n"),
              std::string::npos)
        << p->FileText();
}

TEST_F(ProjectTest, CloseAsksDocumentsFirstAndWritesTheFile) {
    Touch(folder + "/lex.db");
    auto p = OpenWith("\\+CrvProjectSettings\n\\ver 4.0\n\\+dblst\n\\+db lex.db\n\\-db\n\\-dblst\n"
                      "\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    std::string before = ReadFileBytes(prj);
    CCrvDoc* doc = p->Documents().At(0);
    doc->SetModified();
    rec.answers = {Answer::Cancel};
    EXPECT_FALSE(p->Close());
    EXPECT_EQ(rec.Questions(), (std::vector<std::string>{"Save changes to lex.db?"}));
    EXPECT_EQ(p->Documents().Count(), 1u);
    EXPECT_EQ(ReadFileBytes(prj), before);

    // No: the changes are dropped and not asked for again.
    rec.answers = {Answer::No};
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
    bool writable = std::ofstream(folder + "/probe").good();
    if (!writable) {
        EXPECT_FALSE(p->Close());
        EXPECT_EQ(rec.Messages().back(), "Error writing project file!");
        EXPECT_EQ(p->Documents().Count(), 1u) << "the project stays open";
        doc->SetModified(false);
    }
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(p->Close());
    EXPECT_EQ(rec.Questions().size(), 2u);
    EXPECT_EQ(ReadFileBytes(folder + "/lex.db"), kLexDatabase);
    EXPECT_EQ(p->Documents().Count(), 0u);
    EXPECT_NE(ReadFileBytes(prj).find("\\ProjectPath " + prj + "\r\n"), std::string::npos);
}

TEST_F(ProjectTest, DateConversionIsToldOnceForAllDatabases) {
    // Two-digit years in files that do not say they have four.
    WriteFileBytes(folder + "/a.db", "\\_sh v3.0  400  Lex\r\n\r\n\\lx a\r\n\\dt 05/Mar/99\r\n");
    WriteFileBytes(folder + "/b.db", "\\_sh v3.0  400  Lex\r\n\r\n\\lx b\r\n\\dt 06/Mar/98\r\n");
    auto p = OpenWith("\\+CrvProjectSettings\n\\+dblst\n\\+db a.db\n\\-db\n\\+db b.db\n\\-db\n"
                      "\\-dblst\n\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{
                  "Corvane date stamp fields now have four-digit years for year-2000 "
                  "compatibility.\n\nCorvane has converted existing date stamp fields in this "
                  "project's databases as it opened them."}));
    EXPECT_EQ(rec.events.back().messageKind, MessageKind::Information);
    EXPECT_TRUE(p->Documents().At(1)->IsModified());
    EXPECT_NE(ReadFileBytes(folder + "/a.db").find("05/Mar/99"), std::string::npos) << "not saved";
}

TEST_F(ProjectTest, SaveAsInAnotherFolderTakesTheSettingsAlong) {
    Touch(folder + "/lex.db");
    auto p = OpenWith("\\+CrvProjectSettings\n\\+dblst\n\\+db lex.db\n\\-db\n\\-dblst\n"
                      "\\-CrvProjectSettings\n");
    ASSERT_TRUE(p);
    std::string other = dir.File("other");
    fs::create_directories(other);
    WriteFileBytes(other + "/Lex.typ", "someone else's\r\n");

    rec.answers = {Answer::No};
    EXPECT_FALSE(p->SaveAs(other + "/copy.prj"));
    EXPECT_EQ(ReadFileBytes(other + "/Lex.typ"), "someone else's\r\n");
    EXPECT_FALSE(fs::exists(other + "/copy.prj"));
    EXPECT_EQ(p->Path(), prj);

    rec.answers = {Answer::Yes};
    ASSERT_TRUE(p->SaveAs(other + "/copy.prj"));
    EXPECT_EQ(p->Path(), other + "/copy.prj");
    EXPECT_EQ(p->SettingsFolder(), other);
    EXPECT_EQ(ReadFileBytes(other + "/Lex.typ"), TypeFileText("Lex", "4.0"));
    EXPECT_TRUE(fs::exists(other + "/Default.lng"));
    std::string saved = ReadFileBytes(other + "/copy.prj");
    EXPECT_NE(saved.find("\\+db " + folder + "/lex.db\r\n"), std::string::npos)
        << "a relative path would now point into the new folder";
    EXPECT_NE(saved.find("\\ProjectPath " + other + "/copy.prj\r\n"), std::string::npos);

    // In the same folder only the file is written.
    ASSERT_TRUE(p->SaveAs(other + "/again.prj"));
    EXPECT_TRUE(IsProjectFile(other + "/again.prj"));
}

// A window opener that makes record views, as the desktop program makes its windows.
class ViewOpener : public CWindowOpener {
public:
    void OpenWindows(CProject& project, CCrvDoc& doc, const CWindowList& list) override {
        CViewEnvironment env{&project.Options(), &project.Find(), nullptr};
        for (const CWindowSettings& w : list.windows)
            views.push_back(std::make_unique<CRecordView>(doc, env, w));
    }
    std::vector<std::unique_ptr<CRecordView>> views;
};

// The windows a project lists open on their records and write back where they are now.
TEST_F(ProjectTest, WindowsOpenFromTheFileAndAreWrittenAsTheyStandNow) {
    WriteFileBytes(folder + "/lex.db",
                   "\\_sh v3.0  400  Lex\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
                   "\\lx a\r\n\r\n\\lx b\r\n\r\n\\lx c\r\n");
    std::string windows = "\\+wndlst\n\\+wnd\n\\z 2\n\\ViewFieldNames\n\\widthMarkerArea 100\n"
                          "\\+brflst\n\\FieldEmptyEntry *empty*\n\\NoFieldEntry *no field*\n"
                          "\\-brflst\n\\+rec Cur\n\\fldPriKey b\n\\-rec\n%KEYS%"
                          "\\CaretLine 0\n\\CaretLineScroll 0\n\\CaretChar 1\n\\Mine 1\n"
                          "\\-wnd\n\\-wndlst\n";
    std::string keys;
    for (const char* k : {"Search", "Insert", "Jump", "JumpInsert"})
        keys += std::string("\\+key ") + k + "\n\\match_char p\n\\-key\n";
    windows.replace(windows.find("%KEYS%"), 6, keys);
    std::string text = "\\+CrvProjectSettings\n\\ver 4.0\n\\ProjectPath " + prj +
                       "\n\\AutoWrap\n\\LangCtrlHeight 19\n\\+fntMarkers\n\\Name MS Sans Serif\n"
                       "\\Size 10\n\\-fntMarkers\n\\+dblst\n\n\\+db lex.db\n" +
                       windows +
                       "\\-db\n\n\\-dblst\n\\+Find\n\\match_char p\n\\+ftxlst\n\\-ftxlst\n"
                       "\\-Find\n\\-CrvProjectSettings\n";
    WriteFileBytes(prj, Crlf(text));
    ViewOpener opener;
    ProjectContext ctx = Ctx();
    ctx.windows = &opener;
    auto p = CProject::Open(prj, ctx, Settings());
    ASSERT_TRUE(p);
    ASSERT_EQ(opener.views.size(), 1u);
    CRecordView& v = *opener.views[0];
    EXPECT_EQ(v.Record()->GetKey(), "b");
    EXPECT_EQ(v.Caret(), (CViewCaret{0, 1}));
    EXPECT_EQ(p->FileText(), Crlf(text)) << "read and written unchanged";
    ASSERT_TRUE(MoveToNextRecord(v));
    std::string moved = text;
    moved.replace(moved.find("\\fldPriKey b"), 12, "\\fldPriKey c");
    moved.replace(moved.find("\\CaretChar 1"), 12, "\\CaretChar 0");
    EXPECT_EQ(p->FileText(), Crlf(moved));
    opener.views.clear(); // windows close before their project
}

} // namespace
} // namespace crv::test
