#include "app/instance_lock.h"
#include "app/preferences.h"

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_support.h"

namespace crv {
namespace {

class PreferencesTest : public test::PlatformTest {};

TEST_F(PreferencesTest, KeepsForeignLinesAndMatchesKeysWithoutCase) {
    test::ScratchDir dir;
    std::string path = dir.File("corvane.ini");
    test::WriteFileBytes(path, "; comment\r\n[Other]\r\nx=1\r\n\r\n[the linguist's corvane]\r\n"
                               "projectlastclosed = \"/home/a/b.prj\"\r\nAppPath=/nowhere\r\n");
    Preferences prefs(path);
    ASSERT_TRUE(prefs.Load());
    EXPECT_EQ(prefs.Get(Preferences::kProjectLastClosed), "/home/a/b.prj");
    EXPECT_EQ(prefs.ResolvedAppPath(), "Corvane") << "AppPath that does not exist";
    ASSERT_TRUE(prefs.Set(Preferences::kLastWndTitle, "Corvane - b.prj"));
    ASSERT_TRUE(prefs.Set(Preferences::kAppPath2, dir.Path().string()));
    EXPECT_EQ(prefs.ResolvedAppPath(), dir.Path().string());

    EXPECT_EQ(test::ReadFileBytes(path),
              "; comment\r\n[Other]\r\nx=1\r\n\r\n[the linguist's corvane]\r\n"
              "projectlastclosed = \"/home/a/b.prj\"\r\nAppPath=/nowhere\r\n"
              "LastWndTitle=Corvane - b.prj\r\nAppPath2=" +
                  dir.Path().string() + "\r\n");
}

TEST_F(PreferencesTest, MissingFileStartsEmptyAndValuesKeepTheirLimits) {
    test::ScratchDir dir;
    std::string path = dir.File("sub/corvane.ini");
    Preferences prefs(path);
    ASSERT_TRUE(prefs.Load());
    EXPECT_EQ(prefs.Get(Preferences::kProjectLastClosed), "");
    EXPECT_FALSE(prefs.Set(Preferences::kAppPath, std::string(300, 'a')));
    EXPECT_EQ(rec.Messages().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing written for a refused value";
    EXPECT_TRUE(prefs.Set(Preferences::kProjectLastClosed, std::string(300, 'a')));
    EXPECT_TRUE(std::filesystem::exists(path));

    test::WriteFileBytes(path, "[The Linguist's Corvane]\nAppPath=" + std::string(400, 'x') + "\n");
    Preferences again(path);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Get(Preferences::kAppPath), "") << "a hand-edited overlong value is not used";
}

TEST_F(PreferencesTest, ConfigFolderFollowsTheEnvironment) {
    const char* old = std::getenv("CORVANE_CONFIG_DIR");
    std::string saved = old ? old : "";
    setenv("CORVANE_CONFIG_DIR", "/tmp/crv-prefs", 1);
    EXPECT_EQ(Preferences::DefaultPath(), "/tmp/crv-prefs/corvane.ini");
    if (old)
        setenv("CORVANE_CONFIG_DIR", saved.c_str(), 1);
    else
        unsetenv("CORVANE_CONFIG_DIR");
}

TEST_F(PreferencesTest, SecondInstanceIsRefusedAndLeavesTheTitle) {
    test::ScratchDir dir;
    Preferences prefs(dir.File("corvane.ini"));
    InstanceLock first(dir.Path().string());
    ASSERT_EQ(CheckSingleInstance(first), StartupDecision::Run);
    RecordWindowTitle(prefs, "Corvane - sample.prj");

    // The second instance is another process: flock locks are per open file.
    pid_t pid = fork();
    if (pid == 0) {
        InstanceLock second(dir.Path().string());
        Preferences p2(dir.File("corvane.ini"));
        p2.Load();
        bool refused = CheckSingleInstance(second) == StartupDecision::AnotherInstanceRunning;
        ClearWindowTitleAtExit(p2, second); // must not touch the running instance's title
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    Preferences reread(dir.File("corvane.ini"));
    reread.Load();
    EXPECT_EQ(reread.Get(Preferences::kLastWndTitle), "Corvane - sample.prj");
    ClearWindowTitleAtExit(prefs, first);
    reread.Load();
    EXPECT_EQ(reread.Get(Preferences::kLastWndTitle), "");
}

} // namespace
} // namespace crv
