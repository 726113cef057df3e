#include "base/file_names.h"

#include "support/test_support.h"

namespace crv {
namespace {

TEST(FileNames, SiblingNamesAvoidExistingFiles) {
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
