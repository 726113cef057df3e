// Session-level behaviour that the C interface does not reach directly: the step budget
// that keeps fuzzing bounded, and looping tables that must not grow memory.
#include <gtest/gtest.h>

#include "zentab/session.h"

namespace crv::zt {
namespace {

std::unique_ptr<Session> Load(const std::string& table, std::vector<int>& numbers) {
    return Session::FromText(table, [&numbers](const Message& m) {
        numbers.push_back(m.number);
        return true;
    });
}

TEST(Session, StepBudgetStopsALoopingTable) {
    std::vector<int> numbers;
    for (const char* table :
         {"'a' > 'a' back(1)\n", "'a' > 'x' repeat\n", "'a' > do(d)\ndefine(d) > repeat\n"}) {
        auto s = Load(table, numbers);
        ASSERT_NE(s, nullptr);
        s->GetExecutor().SetStepBudget(100000);
        std::string out;
        EXPECT_FALSE(s->ProcessAll("a", out)) << table;
        EXPECT_EQ(numbers.back(), msg::UnableToDoChanges);
        EXPECT_LT(out.size(), 200000u);
    }
}

TEST(Session, GrowingPushedBackInputIsRefused) {
    std::vector<int> numbers;
    // Each round reads one character and pushes 762 back: the input would grow for ever.
    std::string a400(400, 'a');
    auto s =
        Load("'a' > '" + a400 + "'\n '" + a400 + "'\n back(127,127,127,127,127,127)\n", numbers);
    ASSERT_NE(s, nullptr);
    std::string out;
    EXPECT_FALSE(s->ProcessAll("a", out));
    EXPECT_EQ(numbers.back(), msg::MemoryAllocation);
}

} // namespace
} // namespace crv::zt
