#include "engine/jump.h"

#include <map>
#include <sstream>

#include "base/object_stream.h"
#include "engine/engine_test_support.h"
#include "engine/map_databases.h"

namespace crv::test {
namespace {

struct Dialogs : CJumpDialogs {
    bool JumpTo(CKeySearch& s, bool, const CLangEnc*) override {
        asked.push_back("JumpTo");
        if (keys.empty())
            return false;
        s.key = keys.front();
        keys.erase(keys.begin());
        return true;
    }
    Choice NoMatches(const CKeySearch&, bool canInsert) override {
        asked.push_back(canInsert ? "NoMatches+Insert" : "NoMatches");
        return Next();
    }
    Choice MultipleMatches(const std::vector<CJumpMatch>& m, const std::vector<std::string>& r,
                           bool, std::size_t& row) override {
        asked.push_back("Multiple " + std::to_string(m.size()));
        rows = r;
        row = 0;
        return Next();
    }
    std::optional<std::size_t> SelectDatabase(const std::vector<std::string>& names) override {
        asked.push_back("Select " + std::to_string(names.size()));
        return 0;
    }
    Choice Next() {
        Choice c = choices.empty() ? Choice::Cancel : choices.front();
        if (!choices.empty())
            choices.erase(choices.begin());
        return c;
    }
    std::vector<std::string> keys;
    std::vector<Choice> choices;
    std::vector<std::string> asked;
    std::vector<std::string> rows;
};
using Choice = CJumpDialogs::Choice;
using Outcome = CJumpResult::Outcome;

TEST(JumpWord, TakenAroundTheCaret) {
    EXPECT_EQ(JumpWordAt("the  dog", 4, nullptr), "");   // between two spaces
    EXPECT_EQ(JumpWordAt("the dog", 5, nullptr), "dog"); // inside
    EXPECT_EQ(JumpWordAt("the dog", 7, nullptr), "dog"); // at the end
    EXPECT_EQ(JumpWordAt("(dog), cat", 2, nullptr), "dog");
    EXPECT_EQ(JumpWordAt("a\ndog", 2, nullptr), "dog");
    EXPECT_EQ(JumpWordOfSelection("big dog"), "big dog");
    EXPECT_EQ(JumpWordOfSelection("big\ndog"), "");
}

TEST_F(EngineTest, JumpSearchAlongAPathAndInTheCurrentDatabase) {
    Add({{lx, "kelo"}, {ge, "dog"}});
    Add({{lx, "nga"}, {ge, "I"}});
    Add({{lx, "nga"}, {ge, "fish"}});
    MapDatabases dbs;
    dbs.sets["lex.db"] = &Db();
    CDbRefList path;
    path.Add(new CDbRef("lex.db"));
    path.Add(new CDbRef("closed.db"));
    CJumpScope scope{&path, "", &dbs, &Db(), false};
    CKeySearch s;
    s.key = "kelo";
    s.matchWhole = true;
    Dialogs d;
    // One match in Jump mode: taken at once.
    CJumpResult r = RunJumpSearch(scope, s, false, true, d);
    EXPECT_EQ(r.outcome, Outcome::Found);
    EXPECT_EQ(r.pos.Record()->GetKey(), "kelo");
    EXPECT_TRUE(d.asked.empty());
    // In Jump Insert mode one match still shows the list; Insert picks the database.
    d.choices = {Choice::Insert};
    r = RunJumpSearch(scope, s, true, true, d);
    EXPECT_EQ(d.asked, (Strings{"Multiple 1", "Select 1"}));
    EXPECT_EQ(r.outcome, Outcome::Insert);
    EXPECT_EQ(r.target, &Db());
    // No match: Try Again asks the Jump To dialog; in Jump Insert mode it inserts.
    d.asked.clear();
    s.key = "zzz";
    d.choices = {Choice::TryAgain};
    d.keys = {"nga"};
    d.choices.push_back(Choice::Take);
    r = RunJumpSearch(scope, s, false, true, d);
    EXPECT_EQ(d.asked, (Strings{"NoMatches+Insert", "JumpTo", "Multiple 2"}));
    EXPECT_EQ(d.rows, (Strings{"nga", "nga"}));
    EXPECT_EQ(r.outcome, Outcome::Found);
    s.key = "zzz";
    EXPECT_EQ(RunJumpSearch(scope, s, true, true, d).outcome, Outcome::Insert);
    // Read-only: nothing can take a record, Insert is not offered.
    Db().SetReadOnly(true);
    d.asked.clear();
    EXPECT_EQ(RunJumpSearch(scope, s, false, true, d).outcome, Outcome::Cancelled);
    EXPECT_EQ(d.asked, Strings{"NoMatches"});
    // An empty path searches the current database's default index.
    Db().SetReadOnly(false);
    CJumpScope own{nullptr, "", &dbs, &Db(), false};
    s.key = "kelo";
    EXPECT_EQ(RunJumpSearch(own, s, false, true, d).outcome, Outcome::Found);
}

TEST_F(EngineTest, JumpPathReadsWritesAndFollowsMarkerRenames) {
    const std::string text = "\\+drflst\n\\+drf\n\\File lex.db\n\\mkr ge\n\\zNew 2\n\\-drf\n"
                             "\\+drf\n\\File \n\\-drf\n\\+drf\n\\File other.db\n\\-drf\n\\zList\n"
                             "\\-drflst\n";
    std::istringstream in(text);
    ObjectStream is(in);
    CJumpPath path;
    CNoteList notes;
    ASSERT_TRUE(path.Read(is, notes));
    ASSERT_EQ(path.Refs().Count(), 2u); // the reference without a file is dropped
    std::ostringstream out;
    ObjectStream os(out);
    path.Write(os);
    EXPECT_EQ(out.str(), Crlf("\\+drflst\n\\+drf\n\\File lex.db\n\\mkr ge\n\\zNew 2\n\\-drf\n"
                              "\\+drf\n\\File other.db\n\\-drf\n\\zList\n\\-drflst\n"));
    // The index searched is by the named marker; a renamed marker follows.
    Add({{lx, "kelo"}, {ge, "dog"}});
    MapDatabases dbs;
    dbs.sets["lex.db"] = &Db();
    CIndex* index = path.Refs().GetFirst()->GetIndex(dbs, "");
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->PriMarker(), ge);
    CMarkerUpdate rename;
    rename.marker = ge;
    rename.nameChanged = true;
    rename.oldName = "ge";
    CMarkerProperties p = ge->Properties();
    p.name = "gl";
    CNote error;
    ASSERT_TRUE(markers.Modify(ge, p, error));
    path.OnMarkerUpdate(rename);
    EXPECT_EQ(path.Refs().GetFirst()->MarkerName(), "gl");
    EXPECT_TRUE(path.IsModified());
    // The cached index goes with the database.
    db.reset();
    dbs.sets.clear();
    EXPECT_EQ(path.Refs().GetFirst()->GetIndex(dbs, ""), nullptr);
}

TEST_F(EngineTest, JumpPathEditorBuildsThePath) {
    Add({{lx, "kelo"}});
    MapDatabases dbs;
    dbs.sets["/data/lex.db"] = &Db();
    CDbRefList path;
    CJumpPathEditor editor(path, "", dbs, false);
    EXPECT_EQ(editor.Available(), Strings{"lex.db"});
    EXPECT_EQ(editor.FieldsOf(0).front(), "lx");
    EXPECT_TRUE(editor.AddLast(0, "ge"));
    EXPECT_FALSE(editor.AddFirst(0, "lx")); // already in the path
    EXPECT_EQ(editor.InPath(), Strings{"lex.db\tge"});
    EXPECT_TRUE(editor.Apply(path));
    EXPECT_EQ(path.GetFirst()->Path(), "/data/lex.db");
    editor.Clear();
    EXPECT_TRUE(editor.InPath().empty());
}

} // namespace
} // namespace crv::test
