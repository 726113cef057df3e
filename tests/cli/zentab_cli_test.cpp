// The zentab program: usage, checking and listing tables, running them over standard input
// or files into standard output or a file, messages and exit statuses, interruption.
#include "run_program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/test_support.h"

namespace crv::test {
namespace {

TEST(ZentabCli, Usage) {
    EXPECT_EQ(RunZentab({}).status, 2);
    EXPECT_EQ(RunZentab({"--check"}).status, 2);
    EXPECT_EQ(RunZentab({"--bogus", "t.ztt"}).status, 2);
    EXPECT_EQ(RunZentab({"-a", "t.ztt"}).status, 2);
    EXPECT_EQ(RunZentab({"--check", "t.ztt", "input"}).status, 2);
    auto help = RunZentab({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.err.find("usage: zentab"), std::string::npos);
}

TEST(ZentabCli, CheckAndListing) {
    ScratchDir dir;
    WriteFileBytes(dir.File("good.ztt"), "'a' > store(x) 'b' endstore\n");
    WriteFileBytes(dir.File("bad.ztt"), "'a' > bogus\n");
    EXPECT_EQ(RunZentab({"--check", dir.File("good.ztt")}).status, 0);
    // A name without extension is tried with .ZTT, then (names are case-sensitive here) .ztt.
    EXPECT_EQ(RunZentab({"--check", dir.File("good")}).status, 0);
    auto bad = RunZentab({"--check", dir.File("bad.ztt")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("zentab: [53] 'a' > bogus\n      ^\n?ZT-F-Unrecognized keyword\n"),
              std::string::npos);
    auto missing = RunZentab({"--check", dir.File("none.ztt")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("zentab: [55] Change table "), std::string::npos);
    auto listing = RunZentab({"--listing", dir.File("good.ztt")});
    EXPECT_EQ(listing.status, 0);
    EXPECT_NE(listing.out.find("Stores:    Number  Name\n\t   127     x\n"), std::string::npos);
}

TEST(ZentabCli, RunsOverInputsAsOneStream) {
    ScratchDir dir;
    WriteFileBytes(dir.File("t.ztt"), "'ab' > 'X'\nendfile > '.'\n");
    WriteFileBytes(dir.File("one.txt"), "cca");
    WriteFileBytes(dir.File("two.txt"), "bab\n");
    auto r = RunZentab({dir.File("t.ztt"), dir.File("one.txt"), dir.File("two.txt")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ccXX\n.");
    auto piped = RunZentab({dir.File("t.ztt")}, "abab");
    EXPECT_EQ(piped.out, "XX.");
    EXPECT_EQ(RunZentab({"-o", dir.File("out.txt"), dir.File("t.ztt"), dir.File("one.txt")}).status,
              0);
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "cca.");
    EXPECT_EQ(
        RunZentab({"-a", "-o", dir.File("out.txt"), dir.File("t.ztt"), dir.File("two.txt")}).status,
        0);
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "cca.bX\n.");
    EXPECT_EQ(RunZentab({"-o", dir.File("one.txt"), dir.File("t.ztt"), dir.File("one.txt")}).status,
              1);
    EXPECT_EQ(ReadFileBytes(dir.File("one.txt")), "cca");
    EXPECT_EQ(RunZentab({dir.File("t.ztt"), dir.File("absent.txt")}).status, 1);
}

TEST(ZentabCli, MessagesAndStatus) {
    ScratchDir dir;
    WriteFileBytes(dir.File("warn.ztt"), "'a' > out(s)\n");
    auto warn = RunZentab({dir.File("warn.ztt")}, "a");
    EXPECT_EQ(warn.status, 0);
    EXPECT_EQ(warn.err, "zentab: [32] WARNING: Store s used but never stored into\n");
    auto quiet = RunZentab({"-q", dir.File("warn.ztt")}, "a");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
    WriteFileBytes(dir.File("fail.ztt"), "'a' > back(3)\n");
    WriteFileBytes(dir.File("out.txt"), "keep me");
    auto fail = RunZentab({"-q", "-o", dir.File("out.txt"), dir.File("fail.ztt")}, "xa");
    EXPECT_EQ(fail.status, 1);
    EXPECT_NE(fail.err.find("zentab: [0] ?ZT-E-Backed up too far\n"), std::string::npos);
    EXPECT_NE(fail.err.find("zentab: [91] "), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "keep me");
}

TEST(ZentabCli, AnOutputThatCannotBeWrittenFailsWithItsReason) {
    ScratchDir dir;
    WriteFileBytes(dir.File("t.ztt"), "'a' > 'b'\n");
    WriteFileBytes(dir.File("in.txt"), std::string(100000, 'a'));
    std::string full = dir.File("full");
    if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "device nodes cannot be made here";
    auto r = RunZentab({"-q", "-o", full, dir.File("t.ztt"), dir.File("in.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zentab: cannot write " + full + ": No space left on device\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(std::filesystem::is_character_file(full));
}

TEST(ZentabCli, LoopingTableStopsOnInterrupt) {
    ScratchDir dir;
    WriteFileBytes(dir.File("loop.ztt"), "'a' > 'a' back(1)\n");
    WriteFileBytes(dir.File("in.txt"), "a");
    std::string program = ZENTAB_BIN, table = dir.File("loop.ztt"), out = dir.File("out.txt"),
                input = dir.File("in.txt");
    pid_t pid = fork();
    if (pid == 0) {
        execl(program.c_str(), program.c_str(), "-o", out.c_str(), table.c_str(), input.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0); // still looping
    kill(pid, SIGINT);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    pid_t done = 0;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "zentab did not stop on SIGINT";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130);
    std::size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.path().filename() == "out.txt" || e.path().extension() == ".tmp";
    EXPECT_EQ(files, 0u); // no output file, no temporary left behind
}

} // namespace
} // namespace crv::test
