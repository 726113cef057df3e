#include "app/batch_file.h"

#include <chrono>
#include <filesystem>

#include "app/crv_doc.h"
#include "app/doc_manager.h"
#include "app/preferences.h"
#include "app/project.h"
#include "project_test_support.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

// Stands in for the shell: runs a function in the script's place.
class FakeRunner : public CBatchRunner {
public:
    std::function<BatchOutcome(const BatchJob&)> run;
    BatchJob job;
    BatchOutcome Run(const BatchJob& j) override {
        job = j;
        return run(j);
    }
};

class BatchFileTest : public PlatformTest {
protected:
    BatchFileTest() : prefs(dir.File("config/corvane.ini")) {
        folder = dir.Path().string();
        WriteFileBytes(folder + "/Lex.typ", TypeFileText("Lex", "4.0"));
        WriteFileBytes(folder + "/Default.lng", kDefaultEncodingFile);
        for (const char* db : {"/a.db", "/b.db"}) {
            WriteFileBytes(folder + db, kLexDatabase);
            // Older than the run, so that a rewrite shows in the file's time.
            fs::last_write_time(folder + db,
                                fs::file_time_type::clock::now() - std::chrono::minutes(5));
        }
        WriteFileBytes(folder + "/p.prj", Crlf("\\+CrvProjectSettings\n\\ver 4.0\n\\+dblst\n"
                                               "\\+db a.db\n\\-db\n\\+db b.db\n\\-db\n"
                                               "\\-dblst\n\\-CrvProjectSettings\n"));
        ProjectOpenSettings settings;
        settings.makeCurrentFolder = false;
        project = CProject::Open(folder + "/p.prj", {&prefs, nullptr}, settings);
    }

    ScratchDir dir;
    Preferences prefs;
    std::string folder;
    std::unique_ptr<CProject> project;
};

TEST_F(BatchFileTest, TheScriptRunsInItsFolderAndDatabasesItRewroteAreReadAgain) {
    ASSERT_TRUE(project);
    CDocManager& docs = project->Documents();
    CCrvDoc* a = docs.FindDocument(folder + "/a.db");
    CCrvDoc* b = docs.FindDocument(folder + "/b.db");
    ASSERT_TRUE(a && b);
    b->InsertNewRecord("unsaved", b->Records().DefaultIndex());
    FakeRunner runner;
    runner.run = [&](const BatchJob&) {
        WriteFileBytes(folder + "/a.db", std::string(kLexDatabase) + "\r\n\\lx from-script\r\n");
        WriteFileBytes(folder + "/b.db", std::string(kLexDatabase) + "\r\n\\lx lost?\r\n");
        BatchOutcome o;
        o.started = true;
        return o;
    };
    rec.files.push_back(folder + "/tools/run.sh");
    rec.answers = {Answer::No, Answer::Yes}; // do not save b first; read a again
    std::vector<CCrvDoc*> reread = RunBatchFileCommand(*project, a, runner);

    EXPECT_EQ(runner.job.folder, folder + "/tools");
    EXPECT_EQ(runner.job.environment.back(),
              (std::pair<std::string, std::string>{"CORVANE_DATABASE", folder + "/a.db"}));
    ASSERT_EQ(reread.size(), 1u);
    EXPECT_EQ(reread[0]->Path(), folder + "/a.db");
    EXPECT_EQ(reread[0]->Records().DefaultIndex().Count(), 2u);
    // b keeps its unsaved record, and the user hears that saving replaces the script's work.
    EXPECT_EQ(docs.FindDocument(folder + "/b.db"), b);
    EXPECT_TRUE(b->IsModified());
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_NE(rec.Messages()[0].find("b.db"), std::string::npos);
}

TEST_F(BatchFileTest, AFailureOrAScriptThatWouldNotStartIsToldAndNothingIsReadAgain) {
    ASSERT_TRUE(project);
    FakeRunner runner;
    runner.run = [](const BatchJob&) {
        BatchOutcome o;
        o.started = true;
        o.exitCode = 3;
        o.output = "line 1\nsed: no such file\n";
        return o;
    };
    EXPECT_TRUE(RunBatchFileCommand(*project, nullptr, runner, folder + "/x.sh").empty());
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_EQ(rec.Messages()[0],
              "The batch file x.sh ended with exit code 3.\n\nline 1\nsed: no such file");

    runner.run = [](const BatchJob&) {
        BatchOutcome o;
        o.error = "Permission denied";
        return o;
    };
    RunBatchFileCommand(*project, nullptr, runner, folder + "/x.sh");
    EXPECT_EQ(rec.Messages().back(), "The batch file x.sh could not be run.\n\nPermission denied");
    EXPECT_EQ(OutputTail("a\nb\nc\n\n", 2), "b\nc");
}

} // namespace
} // namespace crv::test
