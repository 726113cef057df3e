// Killing a saving crv at random moments, some of them while a second save of the same
// database runs: the database is always the complete old or the complete new version, its
// ".bak" always a complete earlier one, and a save that ends leaves no file behind.
// CORVANE_KILLS sets how many saves are killed (default 200; scripts/kill_test.sh runs a
// longer variant).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const kType =
    "\\+DatabaseType Lexicon\r\n\\ver 4.0\r\n\\+mkrset\r\n\\lngDefault Default\r\n"
    "\\mkrRecord lx\r\n\r\n\\+mkr lx\r\n\\lng Default\r\n\\-mkr\r\n\\-mkrset\r\n"
    "\\mkrRecord lx\r\n\\-DatabaseType\r\n";

// A version of the database with LF line ends, records in key order, so that a save
// writes the same text with CR LF.
std::string Version(int round, int records) {
    std::string lf =
        "\\_sh v3.0  400  Lexicon\n\n\\lx a-version\n\\ge round " + std::to_string(round) + "\n";
    char key[32];
    for (int i = 0; i < records; ++i) {
        std::snprintf(key, sizeof key, "w%06d", i);
        lf += std::string("\n\\lx ") + key + "\n\\ge gloss number " + std::to_string(i) +
              " of round " + std::to_string(round) + "\n\\ps n\n";
    }
    return lf;
}

std::string Saved(const std::string& lf) {
    std::string crlf;
    crlf.reserve(lf.size() * 11 / 10);
    for (char c : lf) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return crlf;
}

// Starts crv with args. Safe to call from several threads: the child only makes system
// calls before it runs crv.
pid_t StartCrv(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(CRV_BIN));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(CRV_BIN, argv.data());
        ::_exit(127);
    }
    return pid;
}

// Waits for a crv; true when it ended with status 0.
bool Succeeded(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs crv with args and kills it after delay (unless it ended; no delay: waits for its
// end); true when it was killed.
bool RunAndKill(const std::vector<std::string>& args,
                std::optional<std::chrono::microseconds> delay) {
    pid_t pid = StartCrv(args);
    if (delay) {
        std::this_thread::sleep_for(*delay);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// The files of a folder, by name.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

constexpr int kRecords = 2500;

// One lane of kills in its own folder; what went wrong, or empty.
struct Lane {
    std::string settings;
    unsigned seed = 0;
    int kills = 0;
    std::chrono::microseconds whole{};
    ScratchDir dir;
    int killed = 0;
    int rounds = 0;
    std::string failure;

    void Run() {
        const std::string db = dir.File("lex.db");
        const std::string bak = dir.File("lex.bak");
        const std::vector<std::string> args = {"-q", "-s", settings, "resave", db};
        std::string current = Version(-1, kRecords);
        WriteFileBytes(db, current);
        if (RunAndKill(args, std::nullopt) || ReadFileBytes(db) != Saved(current)) {
            failure = "a whole save did not give the saved text";
            return;
        }
        std::string backup = ReadFileBytes(bak);
        std::mt19937 random(seed);
        // Half the kills anywhere in a run, half in its second half, where it writes,
        // flushes and renames.
        std::uniform_int_distribution<long> anywhere(0, whole.count());
        std::uniform_int_distribution<long> late(whole.count() / 2, whole.count());
        for (; killed < kills && rounds < 2 * kills; ++rounds) {
            current = Version(rounds, kRecords);
            WriteFileBytes(db, current);
            long delay = rounds % 2 ? anywhere(random) : late(random);
            // Every fourth save has a second one of the same database running beside it,
            // which is left to finish.
            const bool together = rounds % 4 == 3;
            pid_t other = together ? StartCrv(args) : 0;
            killed += RunAndKill(args, std::chrono::microseconds(delay));
            if (together && !Succeeded(other)) {
                failure = Where() + ": a save beside a killed one failed";
                return;
            }

            std::string now = ReadFileBytes(db);
            std::string nowBackup = ReadFileBytes(bak);
            if (now != current && now != Saved(current)) {
                failure = Where() + ": the database is not a whole version";
                return;
            }
            // The backup is replaced before the database: a new database means the
            // backup holds the version before it (or, with two saves, the first one's).
            bool wholeBackup =
                now == current ? nowBackup == backup || nowBackup == current
                               : nowBackup == current || (together && nowBackup == Saved(current));
            if (!wholeBackup) {
                failure = Where() + ": the backup is not a whole earlier version";
                return;
            }
            backup = nowBackup;
            // A killed save leaves its temporary files; they are never the database.
            for (const auto& e : fs::directory_iterator(dir.Path()))
                if (e.path().extension() == ".tmp")
                    fs::remove(e.path());
            // A save that is not killed leaves nothing behind.
            if (rounds % 10 == 9) {
                if (RunAndKill(args, std::nullopt) || ReadFileBytes(db) != Saved(current)) {
                    failure = Where() + ": a whole save did not give the saved text";
                    return;
                }
                if (Names(dir.Path()) != std::vector<std::string>{"lex.bak", "lex.db"}) {
                    failure = Where() + ": a whole save left files behind";
                    return;
                }
                backup = ReadFileBytes(bak);
            }
        }
    }

    std::string Where() const {
        return "round " + std::to_string(rounds) + " of seed " + std::to_string(seed);
    }
};

TEST(CrvResaveKill, TheDatabaseAndItsBackupAreAlwaysWholeVersions) {
    ScratchDir settings;
    WriteFileBytes(settings.File("Lexicon.typ"), kType);
    const char* env = std::getenv("CORVANE_KILLS");
    const int kills = env ? std::max(1, std::atoi(env)) : 200;

    // The shortest of a few whole runs bounds the delays.
    auto whole = std::chrono::microseconds::max();
    {
        ScratchDir dir;
        const std::vector<std::string> args = {"-q", "-s", settings.Path().string(), "resave",
                                               dir.File("lex.db")};
        for (int run = 0; run < 3; ++run) {
            WriteFileBytes(dir.File("lex.db"), Version(-1 - run, kRecords));
            auto start = Clock::now();
            ASSERT_FALSE(RunAndKill(args, std::nullopt));
            whole = std::min(
                whole, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start));
        }
    }

    // Lanes in parallel: most of a save's time is spent waiting for the disk.
    constexpr int kLanes = 4;
    std::vector<std::unique_ptr<Lane>> lanes;
    std::vector<std::thread> threads;
    for (int i = 0; i < kLanes; ++i) {
        auto lane = std::make_unique<Lane>();
        lane->settings = settings.Path().string();
        lane->seed = 20240305u + static_cast<unsigned>(i);
        lane->kills = kills / kLanes + (i < kills % kLanes ? 1 : 0);
        lane->whole = whole;
        lanes.push_back(std::move(lane));
    }
    for (auto& lane : lanes)
        threads.emplace_back([&lane] { lane->Run(); });
    for (auto& t : threads)
        t.join();
    int killed = 0, rounds = 0;
    for (const auto& lane : lanes) {
        EXPECT_EQ(lane->failure, "");
        killed += lane->killed;
        rounds += lane->rounds;
    }
    EXPECT_EQ(killed, kills) << "the runs ended before the kills";
    std::printf("%d saves killed in %d rounds (a whole run took %ld us)\n", killed, rounds,
                static_cast<long>(whole.count()));
}

} // namespace
} // namespace crv::test
