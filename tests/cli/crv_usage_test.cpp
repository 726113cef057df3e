#include "run_program.h"

#include <gtest/gtest.h>

namespace crv::test {
namespace {

TEST(CrvUsage, WrongUsageExitsWithTwo) {
    auto r = RunCrv({});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: crv"), std::string::npos);
    EXPECT_EQ(RunCrv({"no-such-command"}).status, 2);
    EXPECT_EQ(RunCrv({"--bogus"}).status, 2);
    EXPECT_EQ(RunCrv({"-p"}).status, 2);
    EXPECT_EQ(RunCrv({"-p", "a.prj", "-s", "dir", "x"}).status, 2);
}

TEST(CrvUsage, HelpListsUsage) {
    auto r = RunCrv({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: crv"), std::string::npos);
}

} // namespace
} // namespace crv::test
