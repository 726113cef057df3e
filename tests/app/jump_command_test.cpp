#include "app/jump_command.h"

#include "engine/engine_test_support.h"

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
