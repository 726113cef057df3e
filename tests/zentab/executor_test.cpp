// Running tables: matching order, match-part elements, output commands, stores, groups.
#include <gtest/gtest.h>

#include "zt_test_util.h"

namespace crv::zt::test {
namespace {

TEST(Executor, UnmatchedInputIsCopied) {
    EXPECT_EQ(RunTable("'q' > 'z'\n", "abc\ndef"), "abc\ndef");
    EXPECT_EQ(RunTable("'abc' > 'x'\n'ab' > 'y'\n", "abcab abd"), "xy yd");
}

} // namespace
} // namespace crv::zt::test
