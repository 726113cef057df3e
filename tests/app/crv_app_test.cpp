#include "app/crv_app.h"

#include <filesystem>

#include "app/instance_lock.h"
#include "app/preferences.h"
#include "project_test_support.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

class CrvAppTest : public PlatformTest {
protected:
    CrvAppTest() : prefs(dir.File("config/corvane.ini")), app(prefs) {
        prj = dir.File("p.prj");
        WriteFileBytes(dir.File("Lex.typ"), TypeFileText("Lex", "4.0"));
        WriteFileBytes(dir.File("Default.lng"), kDefaultEncodingFile);
        WriteFileBytes(dir.File("lex.db"), kLexDatabase);
        WriteFileBytes(prj,
                       Crlf("\\+CrvProjectSettings\n\\ver 4.0\n\\ProjectPath " + prj +
                            "\n\\+dblst\n\\+db lex.db\n\\-db\n\\-dblst\n\\-CrvProjectSettings\n"));
    }
    ~CrvAppTest() override { fs::current_path(oldCurrent); }

    fs::path oldCurrent = fs::current_path();
    ScratchDir dir;
    std::string prj;
    Preferences prefs;
    CCrvApp app;
};

TEST_F(CrvAppTest, StartupNeedsAFullPathThatExists) {
    EXPECT_EQ(app.OpenStartupProject(""), CCrvApp::StartupResult::NoPath);
    EXPECT_EQ(app.OpenStartupProject("p.prj"), CCrvApp::StartupResult::NotFullPath);
    EXPECT_EQ(app.OpenStartupProject(dir.File("gone.prj")), CCrvApp::StartupResult::PathMissing);
    EXPECT_EQ(app.OpenStartupProject(dir.File("lex.db")), CCrvApp::StartupResult::NotProjectFile);
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{"You must specify the full pathname of the project file.",
                                        "The specified path to the project file does not exist.",
                                        "This is not a valid project file!"}));
    EXPECT_FALSE(app.HasProject());

    // Without a command line the project last closed opens; its folder becomes current.
    ASSERT_TRUE(prefs.Set(Preferences::kProjectLastClosed, prj));
    EXPECT_EQ(app.OpenStartupProject(""), CCrvApp::StartupResult::Opened);
    ASSERT_TRUE(app.HasProject());
    EXPECT_EQ(DocPaths(*app.Project()), (std::vector<std::string>{dir.File("lex.db")}));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.Path()));
}

TEST_F(CrvAppTest, RefusedSaveKeepsTheProjectAndTheLastClosedPath) {
    ASSERT_TRUE(app.OpenProject(prj));
    std::string before = ReadFileBytes(prj);
    app.Project()->Documents().At(0)->SetModified();
    rec.answers = {Answer::Cancel, Answer::Cancel};
    EXPECT_FALSE(app.CloseProject());
    EXPECT_TRUE(app.HasProject());
    EXPECT_EQ(prefs.Get(Preferences::kProjectLastClosed), "");
    EXPECT_EQ(ReadFileBytes(prj), before);
    // Opening another project must close this one first: refused, nothing changes.
    EXPECT_FALSE(app.NewProject(dir.File("other.prj")));
    EXPECT_FALSE(fs::exists(dir.File("other.prj")));
    EXPECT_EQ(app.Project()->Path(), prj);

    rec.answers = {Answer::No};
    EXPECT_TRUE(app.CloseProject());
    EXPECT_FALSE(app.HasProject());
    EXPECT_EQ(prefs.Get(Preferences::kProjectLastClosed), prj);
    EXPECT_NE(ReadFileBytes(prj).find("\\+db lex.db\r\n"), std::string::npos);
    EXPECT_EQ(app.Project(), nullptr);
    ASSERT_EQ(rec.InternalErrors().size(), 1u) << "asking for a project when none is open";
    rec.events.clear();
}

TEST_F(CrvAppTest, ExitClosesTheProjectBeforeClearingTheTitle) {
    InstanceLock lock(dir.File("config"));
    ASSERT_TRUE(lock.TryAcquire());
    RecordWindowTitle(prefs, "Corvane - p.prj");
    ASSERT_TRUE(app.OpenProject(prj));
    app.Project()->Documents().At(0)->SetModified();
    rec.answers = {Answer::Cancel};
    EXPECT_FALSE(app.ExitInstance(lock));
    EXPECT_TRUE(app.HasProject());
    EXPECT_EQ(prefs.Get(Preferences::kLastWndTitle), "Corvane - p.prj");

    rec.answers = {Answer::No};
    EXPECT_TRUE(app.ExitInstance(lock));
    EXPECT_FALSE(app.HasProject());
    EXPECT_EQ(prefs.Get(Preferences::kLastWndTitle), "");
    EXPECT_EQ(prefs.Get(Preferences::kProjectLastClosed), prj);
}

TEST_F(CrvAppTest, ProjectMenuDialogs) {
    ASSERT_TRUE(prefs.Set(Preferences::kDefaultSettingsFolder, dir.Path().string()));
    rec.files = {dir.File("new.prj")};
    ASSERT_TRUE(app.NewProjectDialog());
    EXPECT_EQ(rec.fileRequests[0].title, "Enter the Name for the New Project");
    EXPECT_EQ(rec.fileRequests[0].initialPath, dir.Path().string());
    EXPECT_EQ(rec.fileRequests[0].filter, "Project files (*.prj)|*.prj|All files (*.*)|*.*||");
    EXPECT_TRUE(IsProjectFile(dir.File("new.prj")));

    rec.files = {dir.File("lex.db")};
    EXPECT_FALSE(app.OpenProjectDialog());
    EXPECT_EQ(rec.fileRequests[1].title, "Choose the Project file to open");
    EXPECT_EQ(rec.Messages(), (std::vector<std::string>{"This is not a valid project file!"}));
    EXPECT_EQ(app.Project()->Path(), dir.File("new.prj")) << "the project stays open";

    rec.files = {prj};
    ASSERT_TRUE(app.OpenProjectDialog());
    EXPECT_EQ(prefs.Get(Preferences::kProjectLastClosed), dir.File("new.prj"));
    EXPECT_EQ(app.Project()->Path(), prj);

    rec.files = {dir.File("saved.prj")};
    ASSERT_TRUE(app.SaveProjectAsDialog());
    EXPECT_EQ(rec.fileRequests[3].title, "Save this project as:");
    EXPECT_EQ(app.Project()->Path(), dir.File("saved.prj"));
    EXPECT_TRUE(IsProjectFile(dir.File("saved.prj")));
    EXPECT_FALSE(app.NewProjectDialog()) << "cancelled";
}

} // namespace
} // namespace crv::test
