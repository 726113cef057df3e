#include "zentab/safe_file.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace crv::zt {
namespace {

namespace fs = std::filesystem;

class ZtSafeFile : public ::testing::Test {
protected:
    ZtSafeFile() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const char* base = std::getenv("CORVANE_TEST_TMP");
        dir = fs::path(base ? base : fs::temp_directory_path().string()) /
              ("zt." + std::string(info->name()) + "." + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~ZtSafeFile() override { fs::remove_all(dir); }

    std::string File(const std::string& name) const { return (dir / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void Put(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static bool Write(const std::string& path, const std::string& text, bool append = false) {
        SafeFileWriter file;
        return file.Open(path, append) && file.Write(text.data(), text.size()) && file.Commit();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static mode_t Mode(const std::string& path) {
        struct stat st {};
        ::lstat(path.c_str(), &st);
        return st.st_mode;
    }

    fs::path dir;
};

TEST_F(ZtSafeFile, ReplacesOrAppendsKeepingPermissions) {
    std::string out = File("out.txt");
    Put(out, "old");
    ::chmod(out.c_str(), 0600);
    ASSERT_TRUE(Write(out, "new"));
    EXPECT_EQ(Read(out), "new");
    ASSERT_TRUE(Write(out, "+more", true));
    EXPECT_EQ(Read(out), "new+more");
    EXPECT_EQ(Mode(out) & 0777, 0600u);
    EXPECT_EQ(Names(), std::vector<std::string>{"out.txt"});
}

TEST_F(ZtSafeFile, FailuresKeepTheTargetAndLeaveNoTemporary) {
    std::string out = File("out.txt");
    Put(out, "old");
    {
        SafeFileWriter file;
        ASSERT_TRUE(file.Open(out, false));
        file.Write("half", 4);
    } // never committed
    EXPECT_FALSE(Write(File("missing/out.txt"), "x"));
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(Write(File("folder"), "x"));
    EXPECT_EQ(Read(out), "old");
    EXPECT_EQ(Names(), (std::vector<std::string>{"folder", "out.txt"}));
}

TEST_F(ZtSafeFile, LinksAreFollowed) {
    Put(File("real.txt"), "old");
    fs::create_symlink("real.txt", File("link.txt"));
    ASSERT_TRUE(Write(File("link.txt"), "new"));
    EXPECT_TRUE(fs::is_symlink(File("link.txt")));
    EXPECT_EQ(Read(File("real.txt")), "new");
    fs::create_symlink("later.txt", File("dangling.txt"));
    ASSERT_TRUE(Write(File("dangling.txt"), "made"));
    EXPECT_EQ(Read(File("later.txt")), "made");
    EXPECT_TRUE(fs::is_symlink(File("dangling.txt")));
}

TEST_F(ZtSafeFile, DevicesAndPipesAreWrittenDirectly) {
    std::string null = File("null"), full = File("full");
    int fd = -1;
    if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0 ||
        (fd = ::open(null.c_str(), O_WRONLY | O_CLOEXEC)) < 0)
        GTEST_SKIP() << "device nodes cannot be made or opened here";
    ::close(fd);
    EXPECT_TRUE(Write(null, "gone"));
    EXPECT_TRUE(Write(null, "gone", true));
    EXPECT_TRUE(S_ISCHR(Mode(null)));
    EXPECT_FALSE(Write(full, std::string(100000, 'x')));
    EXPECT_TRUE(S_ISCHR(Mode(full)));
    std::string fifo = File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = Read(fifo); });
    EXPECT_TRUE(Write(fifo, "through the pipe"));
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_EQ(Names(), (std::vector<std::string>{"full", "null", "pipe"}));
}

} // namespace
} // namespace crv::zt
