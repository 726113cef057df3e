#include "app/corpus_command.h"

#include "app/preferences.h"
#include "corpus/corpus_messages.h"
#include "project_test_support.h"
#include "schema/database_type.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

class CorpusCommandTest : public PlatformTest {
protected:
    CorpusCommandTest() : prefs(dir.File("config/corvane.ini")) {
        folder = dir.Path().string();
        prj = folder + "/p.prj";
        WriteFileBytes(folder + "/Lex.typ", TypeFileText("Lex", "4.0"));
        WriteFileBytes(folder + "/Default.lng", kDefaultEncodingFile);
        WriteFileBytes(folder + "/lex.db",
                       "\\_sh v3.0  400  Lex\r\n\\_DateStampHasFourDigitYear\r\n"
                       "\r\n\\lx kelo\r\n\r\n\\lx kuru\r\n");
        fs::last_write_time(folder + "/lex.db",
                            fs::file_time_type::clock::now() - std::chrono::minutes(5));
        WriteFileBytes(prj, Crlf("\\+CrvProjectSettings\n\\ver 4.0\n"
                                 "\\+CorpusSet\n\\+Corpus Lexicon\n\\+FilesList\n\\File lex.db\n"
                                 "\\-FilesList\n\\WordMarkers \\lx\n\\-Corpus\n\\-CorpusSet\n"
                                 "\\+dblst\n\n\\+db lex.db\n\\-db\n\n\\-dblst\n"
                                 "\\-CrvProjectSettings\n"));
        ProjectOpenSettings settings;
        settings.makeCurrentFolder = false;
        project = CProject::Open(prj, {&prefs, nullptr}, settings);
    }

    ScratchDir dir;
    Preferences prefs;
    std::string folder, prj;
    std::unique_ptr<CProject> project;
};

TEST_F(CorpusCommandTest, ModifiedDatabasesAreSavedFirstAndTheResultOpensAsADocument) {
    ASSERT_TRUE(project);
    ASSERT_TRUE(project->Corpora().Find("Lexicon"));
    CCrvDoc* lex = project->Documents().At(0);
    CIndex& index = lex->Records().DefaultIndex();
    lex->InsertNewRecord("ponyu", index);
    ASSERT_TRUE(lex->IsModified());

    // No: the run reads the file as it is on disk.
    rec.answers.push_back(Answer::No);
    CCorpusCommandResult result;
    ASSERT_TRUE(RunWordListCommand(*project, "Lexicon", {}, "words.db", result));
    EXPECT_EQ(rec.Questions(), std::vector<std::string>{std::string(kSaveBeforeRun)});
    ASSERT_TRUE(result.doc);
    EXPECT_EQ(result.doc->Path(), folder + "/words.db");
    EXPECT_EQ(result.doc->Records().RecordCount(), 2u);
    EXPECT_EQ(result.doc->Type().Name(), "Word List- Default");
    EXPECT_FALSE(result.doc->IsModified());
    EXPECT_EQ(result.window.SettingsText(),
              Crlf("\\+wnd\n\\Browse\n\\+brflst\n\\+brf\n\\mkr w\n\\width 75\n\\-brf\n"
                   "\\+brf\n\\mkr c\n\\width 50\n\\rightjustify\n\\-brf\n"
                   "\\+brf\n\\mkr r\n\\width 600\n\\-brf\n\\-brflst\n"
                   "\\+ind\n\\mkrPriKey w\n\\-ind\n\\-wnd\n"));

    // Yes: saved first, so the new word is counted; the open result is replaced.
    rec.Clear();
    rec.answers.push_back(Answer::Yes);
    ASSERT_TRUE(RunWordListCommand(*project, "Lexicon", {true, false, 0}, "words.db", result));
    EXPECT_FALSE(lex->IsModified());
    ASSERT_TRUE(result.doc);
    EXPECT_EQ(result.doc->Records().RecordCount(), 3u);
    EXPECT_EQ(project->Documents().Count(), 2u);
    EXPECT_EQ(WordListWindow({true, false, 0}).columns.size(), 2u);

    rec.Clear();
    EXPECT_FALSE(RunWordListCommand(*project, "Nothing", {}, "words.db", result));
    EXPECT_EQ(rec.Messages(), std::vector<std::string>{std::string(kSelectCorpus)});

    // The corpora are written back with the project.
    project->Corpora().WordList().maxRefs = 3;
    ASSERT_TRUE(project->Save());
    EXPECT_NE(ReadFileBytes(prj).find("\\+Corpus Lexicon\r\n\\lng Default\r\n\\+FilesList\r\n"
                                      "\\File lex.db\r\n"),
              std::string::npos);
    EXPECT_NE(ReadFileBytes(prj).find("\\WordLstMaxCount 3\r\n\\-CorpusSet\r\n"),
              std::string::npos);
}

TEST_F(CorpusCommandTest, ConcordanceOpensWithItsColumnsInReadingOrder) {
    ASSERT_TRUE(project);
    CCorpusCommandResult result;
    ASSERT_TRUE(RunConcordanceCommand(*project, "Lexicon", {"kelo", MatchKind::Whole, false, 0},
                                      "lookup.db", result));
    ASSERT_TRUE(result.doc);
    EXPECT_EQ(result.doc->Records().RecordCount(), 1u);
    EXPECT_EQ(result.doc->Type().Name(), "Concordance- Default");
    EXPECT_EQ(result.window.sortMarker, "concref");
    EXPECT_EQ(result.window.columns[1].marker, "concbef");
    EXPECT_TRUE(result.window.columns[1].rightJustify);

    CResultWindow rtl = ConcordanceWindow(true);
    std::vector<std::string> order;
    for (const CResultColumn& c : rtl.columns)
        order.push_back(c.marker + (c.rightJustify ? ">" : ""));
    EXPECT_EQ(order, (std::vector<std::string>{"concref", "concaft>", "conctar>", "concbef"}));

    // No matches: an empty database, still opened.
    ASSERT_TRUE(RunConcordanceCommand(*project, "Lexicon", {"zzz", MatchKind::Whole, false, 0},
                                      "lookup.db", result));
    ASSERT_TRUE(result.doc);
    EXPECT_EQ(result.doc->Records().RecordCount(), 0u);
}

} // namespace
} // namespace crv::test
