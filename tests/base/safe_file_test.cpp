#include "base/safe_file.h"

#include <filesystem>

#include "support/test_support.h"

namespace crv {
namespace {

TEST(SafeFile, ReplacesContentsAndLeavesNoTemporary) {
    test::ScratchDir dir;
    std::string path = dir.File("lexicon.db");
    test::WriteFileBytes(path, "old");
    auto r = WriteFileSafely(path, [](std::ostream& out) {
        out << "new contents";
        return true;
    });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(test::ReadFileBytes(path), "new contents");
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(SafeFile, AbandonedOrFailedWriteKeepsTheOldFile) {
    test::ScratchDir dir;
    std::string path = dir.File("lexicon.db");
    test::WriteFileBytes(path, "old");
    auto abandoned = WriteFileSafely(path, [](std::ostream& out) {
        out << "half";
        return false;
    });
    EXPECT_FALSE(abandoned.ok);
    EXPECT_EQ(abandoned.failure, SafeWriteResult::Failure::Write);
    EXPECT_EQ(test::ReadFileBytes(path), "old");
    EXPECT_FALSE(std::filesystem::exists(dir.File("lexicon.tmp")));

    auto noFolder = WriteFileSafely(dir.File("missing/x.db"), [](std::ostream&) { return true; });
    EXPECT_EQ(noFolder.failure, SafeWriteResult::Failure::Create);
}

TEST(SafeFile, FullDiskKeepsTheOldFile) {
    test::ScratchDir dir;
    std::string path = dir.File("lexicon.db");
    test::WriteFileBytes(path, "old");
    {
        test::FileSizeLimit limit(4096); // writes past 4 KB fail as on a full disk
        auto r = WriteFileSafely(path, [](std::ostream& out) {
            out << std::string(100000, 'x');
            return true;
        });
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.failure, SafeWriteResult::Failure::Write);
    }
    EXPECT_EQ(test::ReadFileBytes(path), "old");
    EXPECT_FALSE(std::filesystem::exists(dir.File("lexicon.tmp")));
}

TEST(SafeFile, UnusedSiblingNamesAvoidExistingFiles) {
    test::ScratchDir dir;
    std::string path = dir.File("dict.db");
    EXPECT_EQ(UnusedSiblingName(path, ".tmp"), dir.File("dict.tmp"));
    test::WriteFileBytes(dir.File("dict.tmp"), "");
    EXPECT_EQ(UnusedSiblingName(path, ".tmp"), dir.File("dict1.tmp"));
    EXPECT_EQ(UnusedSiblingName(dir.File("x.tmp"), ".tmp"), dir.File("x1.tmp"))
        << "never the file itself";
}

} // namespace
} // namespace crv
