#include "app/jump_command.h"

#include "app/doc_test_support.h"
#include "engine/engine_test_support.h"
#include "interlinear/interlinear_type_settings.h"
#include "schema/database_type.h"

namespace crv::test {
namespace {

struct Window : CJumpWindow {
    Window(CIndex& index, bool target) : index(&index), target(target) {}
    CCrvDoc& Document() override { return *doc; }
    CIndex& Index() override { return *index; }
    CIndexPos Current() override { return pos; }
    void MoveTo(const CIndexPos& p) override { pos = p; }
    bool LeaveRecord() override { return true; }
    bool IsJumpTarget() const override { return target; }
    void Activate() override {}
    CCrvDoc* doc = nullptr;
    CIndex* index;
    bool target;
    CIndexPos pos;
};

TEST_F(EngineTest, JumpResultGoesToAJumpTargetThatHoldsTheRecord) {
    CRecord* kelo = Add({{lx, "kelo"}, {ge, "dog"}});
    Add({{lx, "nga"}, {ge, "fish"}});
    TestFilter onlyFish("fish", ge, "fish");
    CIndexRef filtered = Db().GetIndex(By(lx, {}, &onlyFish));
    CIndexRef byGloss = Db().GetIndex(By(ge));
    Window plain(Db().DefaultIndex(), false);
    Window fishOnly(*filtered, true);
    Window glosses(*byGloss, true);
    // The exact index wins only in a jump target; a filtered window without the record
    // is passed over; a window sorted by another marker is never used.
    EXPECT_EQ(ChooseJumpWindow({&plain, &fishOnly, &glosses}, Db().DefaultIndex(), kelo), nullptr);
    // For an insert any jump target of the same primary marker will do.
    EXPECT_EQ(ChooseJumpWindow({&plain, &fishOnly, &glosses}, Db().DefaultIndex(), nullptr),
              &fishOnly);
    Window exact(Db().DefaultIndex(), true);
    EXPECT_EQ(ChooseJumpWindow({&fishOnly, &exact}, Db().DefaultIndex(), kelo), &exact);
}

} // namespace
} // namespace crv::test

namespace crv::test {
namespace {

TEST_F(DocTest, ClosingADatabaseAJumpPathReferencesAsksFirst) {
    const std::string lex = Db("lex.db", Lexicon("\\lx kelo\r\n"));
    WriteFileBytes(settings.File("Text.typ"),
                   "\\+DatabaseType Text\r\n\\+drflst\r\n\\+drf\r\n\\File " + lex +
                       "\r\n\\-drf\r\n\\-drflst\r\n\\mkrRecord id\r\n\\-DatabaseType\r\n");
    CInterlinearTypeSettings factory;
    CDatabaseTypeSet withPaths(*encodings, &factory);
    withPaths.LoadAll();
    CImportSettings importSettings;
    CDocManager manager(withPaths, importSettings);
    CCrvDoc* doc = manager.OpenDocument(lex);
    ASSERT_NE(doc, nullptr);
    CDocDatabases dbs(manager);
    // Only loaded types are asked; the warning off, nothing is asked.
    bool warn = true, off = false;
    EXPECT_TRUE(ConfirmCloseReferenced(dbs, withPaths, *doc, warn));
    ASSERT_NE(withPaths.Find("Text"), nullptr);
    EXPECT_TRUE(ConfirmCloseReferenced(dbs, withPaths, *doc, off));
    EXPECT_TRUE(rec.Questions().empty());
    rec.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(ConfirmCloseReferenced(dbs, withPaths, *doc, warn));
    EXPECT_TRUE(ConfirmCloseReferenced(dbs, withPaths, *doc, warn));
    EXPECT_EQ(rec.Questions().front(), std::string(kJumpCloseWarning));
    manager.CloseAll();
}

} // namespace
} // namespace crv::test
