#include "base/safe_file.h"

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

#include "support/test_support.h"

namespace crv {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const test::ScratchDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

SafeWriteResult WriteText(const std::string& path, const std::string& text,
                          const SafeWriteOptions& options = {}) {
    return WriteFileSafely(
        path,
        [&](std::ostream& out) {
            out << text;
            return true;
        },
        options);
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

// Fails the n-th rename (counted from 1) or the copy of the old file when asked.
class FailingOps : public FileOps {
public:
    bool Rename(const std::string& from, const std::string& to) override {
        return ++renames != failRename && FileOps::Rename(from, to);
    }
    bool MakeDurableCopy(const std::string& from, const std::string& to) override {
        return !failCopy && FileOps::MakeDurableCopy(from, to);
    }
    int renames = 0, failRename = 0;
    bool failCopy = false;
};

TEST(SafeFile, ReplacesTheFileKeepingItsPermissionsAndLeavesNoTemporary) {
    test::ScratchDir dir;
    std::string path = dir.File("lexicon.db");
    test::WriteFileBytes(path, "old");
    ::chmod(path.c_str(), 0640);
    // A temporary name someone else holds is passed over, never truncated.
    test::WriteFileBytes(dir.File("lexicon.tmp"), "not ours");
    ASSERT_TRUE(WriteText(path, "new contents"));
    EXPECT_EQ(test::ReadFileBytes(path), "new contents");
    EXPECT_EQ(Mode(path) & 0777, 0640u);
    EXPECT_EQ(test::ReadFileBytes(dir.File("lexicon.tmp")), "not ours");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"lexicon.db", "lexicon.tmp"}));
    // A new name is created.
    ASSERT_TRUE(WriteText(dir.File("new.db"), "x"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("new.db")), "x");
}

TEST(SafeFile, ADatabaseTemporaryNameIsMadeFromEightLettersAndDigits) {
    test::ScratchDir dir;
    auto tempName = [&](const std::string& name) {
        SafeFileWriter file;
        EXPECT_TRUE(file.Open(dir.File(name), {"", TempNaming::ShortName}));
        return fs::path(file.TempPath()).filename().string();
    };
    EXPECT_EQ(tempName("My Lexicon-2024.db"), "MyLexico.tmp");
    test::WriteFileBytes(dir.File("MyLexico.tmp"), "");
    EXPECT_EQ(tempName("My Lexicon-2024.db"), "MyLexico1.tmp");
    EXPECT_EQ(tempName("---.db"), "crv.tmp");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"MyLexico.tmp"})) << "abandoned writes";
}

TEST(SafeFile, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    test::ScratchDir dir;
    std::string path = dir.File("lexicon.db");
    test::WriteFileBytes(path, "old");
    auto abandoned = WriteFileSafely(path, [](std::ostream& out) {
        out << "half";
        return false;
    });
    EXPECT_EQ(abandoned.failure, SafeWriteResult::Failure::Write);
    {
        test::FileSizeLimit limit(4096); // writes past 4 KB fail as on a full disk
        auto full = WriteText(path, std::string(100000, 'x'));
        EXPECT_EQ(full.failure, SafeWriteResult::Failure::Write);
    }
    EXPECT_EQ(WriteText(dir.File("missing/x.db"), "").failure, SafeWriteResult::Failure::Create);
    // A folder cannot be written at all.
    fs::create_directory(dir.Path() / "folder.db");
    EXPECT_EQ(WriteText(dir.File("folder.db"), "x").failure, SafeWriteResult::Failure::Create);
    EXPECT_EQ(test::ReadFileBytes(path), "old");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"folder.db", "lexicon.db"}));
}

TEST(SafeFile, LinksAreFollowed) {
    test::ScratchDir dir;
    std::string file = dir.File("real.db"), link = dir.File("link.db");
    test::WriteFileBytes(file, "old");
    fs::create_symlink("real.db", link);
    ASSERT_TRUE(WriteText(link, "new", {dir.File("real.bak")}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadFileBytes(file), "new");
    EXPECT_EQ(test::ReadFileBytes(dir.File("real.bak")), "old");
    // A link to a file not there yet makes the file.
    fs::create_symlink("later.db", dir.File("dangling.db"));
    ASSERT_TRUE(WriteText(dir.File("dangling.db"), "made"));
    EXPECT_TRUE(fs::is_symlink(dir.File("dangling.db")));
    EXPECT_EQ(test::ReadFileBytes(dir.File("later.db")), "made");
    // A loop of links is refused, and stays.
    fs::create_symlink("loop2", dir.File("loop1"));
    fs::create_symlink("loop1", dir.File("loop2"));
    EXPECT_EQ(WriteText(dir.File("loop1"), "x").failure, SafeWriteResult::Failure::Create);
    EXPECT_TRUE(fs::is_symlink(dir.File("loop1")));
}

TEST(SafeFile, DevicesAndPipesAreWrittenDirectly) {
    test::ScratchDir dir;
    std::string null = dir.File("null"), full = dir.File("full");
    int fd = -1;
    if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0 ||
        (fd = ::open(null.c_str(), O_WRONLY | O_CLOEXEC)) < 0)
        GTEST_SKIP() << "device nodes cannot be made or opened here";
    ::close(fd);
    EXPECT_TRUE(WriteText(null, "gone", {dir.File("null.bak")}));
    EXPECT_TRUE(S_ISCHR(Mode(null)));
    // A full device reports the failure.
    EXPECT_EQ(WriteText(full, std::string(100000, 'x')).failure, SafeWriteResult::Failure::Write);
    EXPECT_TRUE(S_ISCHR(Mode(full)));

    std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = test::ReadFileBytes(fifo); });
    EXPECT_TRUE(WriteText(fifo, "through the pipe"));
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(S_ISFIFO(Mode(fifo)));
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"full", "null", "pipe"}));
}

TEST(SafeFile, TheBackupAlwaysHoldsTheOldVersion) {
    test::ScratchDir dir;
    std::string path = dir.File("lex.db"), bak = dir.File("lex.bak");
    test::WriteFileBytes(path, "one");
    ASSERT_TRUE(WriteText(path, "two", {bak}));
    EXPECT_EQ(test::ReadFileBytes(bak), "one");
    ASSERT_TRUE(WriteText(path, "three", {bak}));
    EXPECT_EQ(test::ReadFileBytes(bak), "two");
    // A backup that is a second name of the file itself keeps the old version, and the
    // copy on its way there does not stay behind.
    fs::remove(bak);
    fs::create_hard_link(path, bak);
    ASSERT_TRUE(WriteText(path, "four", {bak}));
    EXPECT_EQ(test::ReadFileBytes(path), "four");
    EXPECT_EQ(test::ReadFileBytes(bak), "three");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"lex.bak", "lex.db"}));
}

TEST(SafeFile, EachFailingStepLeavesTheFileTheBackupAndNoTemporary) {
    test::ScratchDir dir;
    std::string path = dir.File("lex.db"), bak = dir.File("lex.bak");
    test::WriteFileBytes(path, "old");
    test::WriteFileBytes(bak, "older");
    FailingOps ops;
    ops.failCopy = true;
    EXPECT_EQ(WriteText(path, "new", {bak, TempNaming::Sibling, &ops}).failure,
              SafeWriteResult::Failure::OldFile);
    ops.failCopy = false;
    ops.failRename = 1; // the copy of the old file over the backup
    EXPECT_EQ(WriteText(path, "new", {bak, TempNaming::Sibling, &ops}).failure,
              SafeWriteResult::Failure::Backup);
    ops.renames = 0;
    ops.failRename = 2; // the new file over the old
    EXPECT_EQ(WriteText(path, "new", {bak, TempNaming::Sibling, &ops}).failure,
              SafeWriteResult::Failure::Rename);
    EXPECT_EQ(test::ReadFileBytes(path), "old");
    EXPECT_EQ(test::ReadFileBytes(bak), "old") << "the backup was replaced before the rename";
    ::chmod(bak.c_str(), 0444);
    EXPECT_EQ(WriteText(path, "new", {bak}).failure, SafeWriteResult::Failure::Backup);
    EXPECT_EQ(test::ReadFileBytes(path), "old");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"lex.bak", "lex.db"}));
}

TEST(SafeFile, WritersAtOnceLeaveWholeVersionsAndNoTemporary) {
    test::ScratchDir dir;
    std::string path = dir.File("lex.db"), bak = dir.File("lex.bak");
    auto version = [](int writer, int round) {
        return std::string(5000 + writer * 10 + round, static_cast<char>('a' + writer));
    };
    test::WriteFileBytes(path, version(0, 0));
    constexpr int kWriters = 6, kRounds = 40;
    std::vector<std::thread> writers;
    std::atomic<int> failed{0};
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            for (int r = 0; r < kRounds; ++r)
                if (!WriteText(path, version(w, r), {bak, TempNaming::ShortName}))
                    ++failed;
        });
    for (auto& t : writers)
        t.join();
    EXPECT_EQ(failed, 0);
    auto whole = [&](const std::string& text) {
        for (int w = 0; w < kWriters; ++w)
            for (int r = 0; r < kRounds; ++r)
                if (text == version(w, r))
                    return true;
        return false;
    };
    EXPECT_TRUE(whole(test::ReadFileBytes(path)));
    EXPECT_TRUE(whole(test::ReadFileBytes(bak)));
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"lex.bak", "lex.db"}));
}

} // namespace
} // namespace crv
