// The C interface: argument checks in order with their messages, return codes, calling
// order (completion, reinitialize), queries, files, and per-handle isolation.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "zentab/host_messages.h"
#include "zt_test_util.h"

namespace crv::zt::test {
namespace {

// Collects host messages (those raised without a handle) for one test.
class HostMessages {
public:
    HostMessages() {
        SetHostMessageHandler([this](const Message& m) {
            numbers.push_back(m.number);
            return true;
        });
    }
    ~HostMessages() { SetHostMessageHandler({}); }
    int Last() const { return numbers.empty() ? -1 : numbers.back(); }
    std::vector<int> numbers;
};

std::string TempFile(const std::string& name) {
    const char* base = std::getenv("CORVANE_TEST_TMP");
    std::filesystem::path dir = base ? base : std::filesystem::temp_directory_path().string();
    dir /= "zentab-api";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Api, LoadArgumentsAndResults) {
    HostMessages host;
    ZTHANDLE h = 7;
    EXPECT_EQ(ZTLoadTable("x.ztt", nullptr, 1), -1);
    EXPECT_EQ(host.Last(), 98);
    EXPECT_EQ(ZTLoadTable(nullptr, &h, 1), -1);
    EXPECT_EQ(host.Last(), 69);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(ZTLoadTable("", &h, 1), -1);
    EXPECT_EQ(host.Last(), 69);
    EXPECT_EQ(ZTLoadTable(std::string(251, 'a').c_str(), &h, 1), -1);
    EXPECT_EQ(host.Last(), 135);
    EXPECT_EQ(ZTLoadTable(TempFile("missing").c_str(), &h, 1), -2);
    EXPECT_EQ(host.numbers[host.numbers.size() - 2], 55);
    EXPECT_EQ(host.Last(), 70);
    EXPECT_EQ(ZTLoadTableFromBuffer("'a' > bogus\n", &h), -2);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(ZTLoadTableFromBuffer("begin > binary\n", &h), 1);
    ZTUnloadTable(h);
    // The name without extension finds NAME.ZTT.
    std::string path = TempFile("table");
    WriteFile(path + ".ZTT", "'a' > 'b'\n");
    EXPECT_EQ(ZTLoadTable(path.c_str(), &h, 0), 0);
    char out[16];
    int length = sizeof out;
    EXPECT_EQ(ZTProcessBuffer(h, "a", 1, out, &length), 0);
    EXPECT_EQ(std::string(out, static_cast<std::size_t>(length)), "b");
    ZTUnloadTable(h);
}

std::vector<std::tuple<std::string, int, int>> g_compileErrors;
void ZTAPI OnCompileError(const char* text, int line, int column) {
    g_compileErrors.emplace_back(text, line, column);
}

TEST(Api, CompileErrorCallback) {
    HostMessages host;
    ZTHANDLE h = 0;
    g_compileErrors.clear();
    EXPECT_EQ(
        ZTLoadTableFromBufferWithErrorCallback("'a' > 'b'\n'c' >  store(x\n", &h, OnCompileError),
        -2);
    ASSERT_EQ(g_compileErrors.size(), 1u);
    EXPECT_EQ(g_compileErrors[0], std::make_tuple(std::string("No close parenthesis"), 2, 15));
    EXPECT_EQ(host.Last(), 70);
}

TEST(Api, NullHandles) {
    HostMessages host;
    char buffer[8];
    int length = 8;
    EXPECT_EQ(ZTReinitializeTable(0), -1);
    EXPECT_EQ(host.Last(), 71);
    EXPECT_EQ(ZTUnloadTable(0), -1);
    EXPECT_EQ(host.Last(), 73);
    EXPECT_EQ(ZTSetErrorCallBack(0, nullptr), -1);
    EXPECT_EQ(host.Last(), 76);
    EXPECT_EQ(ZTSetDebugCallbacks(0, nullptr, nullptr), -1);
    EXPECT_EQ(host.Last(), 76);
    EXPECT_EQ(ZTSetUpInputFilter(0, nullptr, 0), -1);
    EXPECT_EQ(host.Last(), 77);
    EXPECT_EQ(ZTGetBuffer(0, buffer, &length), -1);
    EXPECT_EQ(host.Last(), 80);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(ZTSetUpOutputFilter(0, nullptr, 0), -1);
    EXPECT_EQ(host.Last(), 87);
    EXPECT_EQ(ZTPutBuffer(0, "a", 1, 0), -1);
    EXPECT_EQ(host.Last(), 90);
    EXPECT_EQ(ZTFlush(0), -1);
    EXPECT_EQ(host.Last(), 133);
    length = 8;
    EXPECT_EQ(ZTProcessBuffer(0, "a", 1, buffer, &length), -1);
    EXPECT_EQ(host.Last(), 82);
    EXPECT_EQ(ZTMultiProcessBuffer(0, "a", 1, 1, buffer, &length), -1);
    EXPECT_EQ(host.Last(), 105);
    EXPECT_EQ(ZTProcessFile(0, "a", "b", 0), -1);
    EXPECT_EQ(host.Last(), 125);
    EXPECT_EQ(ZTQueryStore(0, "s", buffer, 8), -1);
    EXPECT_EQ(ZTQuerySwitch(0, "s"), 0);
}

TEST(Api, ProcessBufferChecks) {
    Collected m;
    ZTHANDLE h = LoadWithMessages("'a' > 'bb'\n", m);
    char out[8];
    int length = 8;
    EXPECT_EQ(ZTProcessBuffer(h, "a", 1, out, nullptr), -1);
    EXPECT_EQ(m.numbers.back(), 102);
    length = 0;
    EXPECT_EQ(ZTProcessBuffer(h, "a", 1, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 137);
    length = 8;
    EXPECT_EQ(ZTProcessBuffer(h, nullptr, 1, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 103);
    length = 8;
    EXPECT_EQ(ZTProcessBuffer(h, "a", 1, nullptr, &length), -1);
    EXPECT_EQ(m.numbers.back(), 104);
    length = 8;
    EXPECT_EQ(ZTProcessBuffer(h, "a", 0, out, &length), 0);
    EXPECT_EQ(m.numbers.back(), 94);
    // One byte too small: -1, length 0, message 83 with the size given.
    length = 2;
    EXPECT_EQ(ZTProcessBuffer(h, "ax", 2, out, &length), -1);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(m.numbers.back(), 83);
    EXPECT_EQ(m.texts.back(),
              "ZTProcessBuffer was passed output buffer of only 2 bytes, more needed!\n"
              "Rerun with larger output buffer!\n");
    length = 3;
    EXPECT_EQ(ZTProcessBuffer(h, "ax", 2, out, &length), 0);
    EXPECT_EQ(std::string(out, 3), "bbx");
    ZTUnloadTable(h);
}

TEST(Api, EngineErrorsInEachDriver) {
    Collected m;
    ZTHANDLE h = LoadWithMessages("'a' > back(5)\n", m);
    char out[64];
    int length = 64;
    EXPECT_EQ(ZTProcessBuffer(h, "a", 1, out, &length), -1);
    EXPECT_TRUE(m.Has(0));
    EXPECT_EQ(m.numbers.back(), 84);
    EXPECT_EQ(length, 0);
    ZTReinitializeTable(h);
    length = 64;
    EXPECT_EQ(ZTMultiProcessBuffer(h, "a", 1, 1, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 110);
    ZTUnloadTable(h);
}

struct Feed {
    std::string text;
    std::size_t pos = 0;
};
int ZTAPI FeedInput(char* buffer, int size, intptr_t user) {
    auto* f = reinterpret_cast<Feed*>(user);
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), f->text.size() - f->pos);
    std::copy_n(f->text.data() + f->pos, n, buffer);
    f->pos += n;
    return static_cast<int>(n);
}
int ZTAPI FailingInput(char*, int, intptr_t) { return -1; }
int ZTAPI FailingOutput(const char*, int, intptr_t) { return -1; }

TEST(Api, GetBufferOrder) {
    Collected m;
    ZTHANDLE h = LoadWithMessages("'a' > 'b'\n'x' > back(9)\n", m);
    char out[64];
    int length = 64;
    EXPECT_EQ(ZTGetBuffer(h, nullptr, &length), -1);
    EXPECT_EQ(m.numbers.back(), 101);
    length = 0;
    EXPECT_EQ(ZTGetBuffer(h, out, &length), 0);
    EXPECT_EQ(m.numbers.back(), 93);
    length = 64;
    EXPECT_EQ(ZTGetBuffer(h, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 85);
    EXPECT_EQ(ZTSetUpInputFilter(h, nullptr, 0), -1);
    EXPECT_EQ(m.numbers.back(), 100);
    Feed feed{"aaa"};
    EXPECT_EQ(ZTSetUpInputFilter(h, FeedInput, reinterpret_cast<intptr_t>(&feed)), 0);
    length = 64;
    EXPECT_EQ(ZTGetBuffer(h, out, &length), 1);
    EXPECT_EQ(std::string(out, static_cast<std::size_t>(length)), "bbb");
    length = 64;
    EXPECT_EQ(ZTGetBuffer(h, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 112);
    EXPECT_EQ(ZTReinitializeTable(h), 0);
    feed = Feed{"ab"};
    length = 1;
    EXPECT_EQ(ZTGetBuffer(h, out, &length), 0);
    EXPECT_EQ(length, 1);
    length = 1;
    EXPECT_EQ(ZTGetBuffer(h, out, &length), 1);
    ZTReinitializeTable(h);
    feed = Feed{"x"};
    length = 64;
    EXPECT_EQ(ZTGetBuffer(h, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 81);
    ZTReinitializeTable(h);
    ZTSetUpInputFilter(h, FailingInput, 0);
    length = 64;
    EXPECT_EQ(ZTGetBuffer(h, out, &length), -1);
    ZTUnloadTable(h);
}

TEST(Api, PutBufferOrder) {
    Collected m;
    ZTHANDLE h = LoadWithMessages("'a' > 'b'\n'x' > back(9)\n", m);
    EXPECT_EQ(ZTPutBuffer(h, "a", 1, 0), -1);
    EXPECT_EQ(m.numbers.back(), 86);
    ZTSetUpOutputFilter(h, FailingOutput, 0);
    EXPECT_EQ(ZTPutBuffer(h, nullptr, 1, 0), -1);
    EXPECT_EQ(m.numbers.back(), 96);
    EXPECT_EQ(ZTPutBuffer(h, "a", 1, 1), -1);
    EXPECT_EQ(m.numbers.back(), 92);
    ZTReinitializeTable(h);
    EXPECT_EQ(ZTPutBuffer(h, "x", 1, 1), -1);
    EXPECT_EQ(m.numbers.back(), 91);
    ZTUnloadTable(h);
}

TEST(Api, MultiProcessBufferOrder) {
    Collected m;
    ZTHANDLE h = LoadWithMessages("'a' > 'bbbb'\n", m);
    char out[64];
    int length = 64;
    EXPECT_EQ(ZTMultiProcessBuffer(h, nullptr, 1, 0, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 106);
    EXPECT_EQ(ZTMultiProcessBuffer(h, "a", 1, 0, out, nullptr), -1);
    EXPECT_EQ(m.numbers.back(), 107);
    length = 0;
    EXPECT_EQ(ZTMultiProcessBuffer(h, "a", 1, 0, out, &length), 0);
    EXPECT_EQ(m.numbers.back(), 108);
    length = 64;
    EXPECT_EQ(ZTMultiProcessBuffer(h, "a", 1, 0, nullptr, &length), -1);
    EXPECT_EQ(m.numbers.back(), 109);
    // Output left after the last input is collected by calls without input.
    length = 3;
    EXPECT_EQ(ZTMultiProcessBuffer(h, "aa", 2, 1, out, &length), 0);
    EXPECT_EQ(length, 3);
    length = 3;
    EXPECT_EQ(ZTMultiProcessBuffer(h, "a", 1, 0, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 113);
    length = 3;
    EXPECT_EQ(ZTMultiProcessBuffer(h, nullptr, 0, 1, out, &length), 0);
    length = 3;
    EXPECT_EQ(ZTMultiProcessBuffer(h, nullptr, 0, 1, out, &length), 1);
    EXPECT_EQ(length, 2);
    length = 3;
    EXPECT_EQ(ZTMultiProcessBuffer(h, nullptr, 0, 1, out, &length), -1);
    EXPECT_EQ(m.numbers.back(), 111);
    ZTUnloadTable(h);
}

TEST(Api, ProcessFile) {
    Collected m;
    ZTHANDLE h = LoadWithMessages("'a' > 'b'\n", m);
    std::string in = TempFile("in.txt"), out = TempFile("out.txt");
    WriteFile(in, "banana\n");
    std::filesystem::remove(out);
    EXPECT_EQ(ZTProcessFile(h, nullptr, out.c_str(), 0), -1);
    EXPECT_EQ(m.numbers.back(), 126);
    EXPECT_EQ(ZTProcessFile(h, in.c_str(), nullptr, 0), -1);
    EXPECT_EQ(m.numbers.back(), 127);
    EXPECT_EQ(ZTProcessFile(h, TempFile("none").c_str(), out.c_str(), 0), -1);
    EXPECT_EQ(m.numbers.back(), 129);
    EXPECT_EQ(ZTProcessFile(h, in.c_str(), TempFile("no/such/dir/out").c_str(), 0), -1);
    EXPECT_EQ(m.numbers.back(), 130);
    EXPECT_EQ(ZTProcessFile(h, in.c_str(), in.c_str(), 0), -1);
    EXPECT_EQ(m.numbers.back(), 21);
    EXPECT_EQ(ReadFile(in), "banana\n");
    EXPECT_EQ(ZTProcessFile(h, in.c_str(), out.c_str(), 0), 0);
    EXPECT_EQ(ReadFile(out), "bbnbnb\n");
    EXPECT_EQ(ZTProcessFile(h, in.c_str(), out.c_str(), 1), 0);
    EXPECT_EQ(ReadFile(out), "bbnbnb\nbbnbnb\n");
    ZTUnloadTable(h);
    // An engine error leaves the old output file as it was.
    h = LoadWithMessages("'n' > back(9)\n", m);
    EXPECT_EQ(ZTProcessFile(h, in.c_str(), out.c_str(), 0), -1);
    EXPECT_EQ(m.numbers.back(), 131);
    EXPECT_EQ(ReadFile(out), "bbnbnb\nbbnbnb\n");
    ZTUnloadTable(h);
}

TEST(Api, Queries) {
    Collected m;
    ZTHANDLE h = LoadWithMessages("begin > store(s) 'hello' endstore set(w) use(main)\n"
                                  "group(main)\n'a' > 'A' out(ztcurrentdate)\n",
                                  m);
    char buffer[64];
    EXPECT_EQ(ZTGetActiveGroups(h, buffer, sizeof buffer), 15);
    EXPECT_STREQ(buffer, "begin statement");
    ProcessWhole(h, "xa");
    EXPECT_EQ(ZTQueryStore(h, "s", buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(ZTQueryStore(h, "s", buffer, 3), -1);
    EXPECT_STREQ(buffer, "he");
    EXPECT_EQ(ZTQueryStore(h, "unknown", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(ZTQueryStore(h, "ztcurrentdate", buffer, sizeof buffer), 10);
    EXPECT_EQ(buffer[2], '/');
    EXPECT_EQ(ZTQuerySwitch(h, "w"), 1);
    EXPECT_EQ(ZTQuerySwitch(h, "nope"), 0);
    EXPECT_EQ(ZTGetActiveGroups(h, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "main ");
    EXPECT_EQ(ZTGetActiveGroups(h, buffer, 3), -1);
    EXPECT_EQ(ZTQueryOutput(h, buffer, sizeof buffer), 12);
    EXPECT_EQ(std::string(buffer, 2), "xA");
    EXPECT_EQ(ZTQueryInput(h, buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "a");
    // A predefined store gives its value by name even where the table never names it.
    ZTHANDLE plain = LoadWithMessages("'a' > 'b'\n", m);
    EXPECT_EQ(ZTQueryStore(plain, "ztversionmajor", buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "8");
    ZTUnloadTable(plain);
    ZTReinitializeTable(h);
    EXPECT_EQ(ZTQuerySwitch(h, "w"), 0);
    EXPECT_EQ(ZTQueryStore(h, "s", buffer, sizeof buffer), 0);
    ZTUnloadTable(h);
}

int g_lines = 0;
int ZTAPI StopAtSecondChange(int, intptr_t) { return ++g_lines < 2; }
int ZTAPI CancelEverything(int, int, const char*, intptr_t) { return 0; }

TEST(Api, DebugCallbackAndCancel) {
    Collected m;
    ZTHANDLE h = LoadWithMessages("'a' > 'b'\n", m);
    ZTSetDebugCallbacks(h, StopAtSecondChange, nullptr);
    g_lines = 0;
    int r = 0;
    ProcessWhole(h, "aa", &r);
    EXPECT_EQ(r, -1);
    ZTSetDebugCallbacks(h, nullptr, nullptr);
    ProcessWhole(h, "aa", &r);
    EXPECT_EQ(r, 0);
    ZTUnloadTable(h);
    h = LoadWithMessages("'a' > back(3) 'x'\n", m);
    ZTSetErrorCallBack(h, CancelEverything);
    ProcessWhole(h, "a", &r);
    EXPECT_EQ(r, -1);
    ZTUnloadTable(h);
}

TEST(Api, HandlesAreIndependentAcrossThreads) {
    std::atomic<int> failures{0};
    auto work = [&failures](char from, char to) {
        ZTHANDLE h = 0;
        std::string table = std::string("'") + from + "' > '" + to + "' incr(n)\n";
        if (ZTLoadTableFromBuffer(table.c_str(), &h) != 0) {
            ++failures;
            return;
        }
        std::string input(5000, from);
        std::string out(6000, '\0');
        for (int i = 0; i < 20; ++i) {
            int length = static_cast<int>(out.size());
            if (ZTProcessBuffer(h, input.data(), 5000, out.data(), &length) != 0 ||
                length != 5000 || out.substr(0, 5000) != std::string(5000, to))
                ++failures;
            char n[16];
            if (ZTQueryStore(h, "n", n, sizeof n) != 4 || std::string(n) != "5000")
                ++failures;
        }
        ZTUnloadTable(h);
    };
    std::thread a(work, 'a', 'x'), b(work, 'b', 'y');
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
} // namespace crv::zt::test
