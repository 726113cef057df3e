// Corvane's wrappers: the change-table object and the stream buffers over it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "zentab/change_table.h"
#include "zentab/change_table_stream.h"

namespace crv {
namespace {

std::string TableFile(const std::string& name, const std::string& text) {
    const char* base = std::getenv("CORVANE_TEST_TMP");
    std::filesystem::path dir = base ? base : std::filesystem::temp_directory_path().string();
    dir /= "zentab-wrapper";
    std::filesystem::create_directories(dir);
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(ChangeTable, LoadProcessAndMessagesAsResults) {
    CChangeTable table;
    EXPECT_FALSE(table.IsLoaded());
    std::string out = "old";
    EXPECT_FALSE(table.Process("abc", out));
    ChangeTableResult bad = table.LoadText("'a' > bogus\n");
    EXPECT_FALSE(bad);
    ASSERT_EQ(bad.messages.size(), 1u);
    EXPECT_EQ(bad.messages[0].number, 53);
    EXPECT_NE(bad.Text().find("Unrecognized keyword"), std::string::npos);

    ChangeTableResult ok = table.LoadText("'a' > 'b' out(s)\n");
    EXPECT_TRUE(ok);
    ASSERT_EQ(ok.messages.size(), 1u); // the warning about s
    EXPECT_EQ(ok.messages[0].number, 32);
    EXPECT_TRUE(table.Process("banana", out));
    EXPECT_EQ(out, "bbnbnb");

    ASSERT_TRUE(table.LoadText("'a' > back(3)\n"));
    ChangeTableResult failed = table.Process("a", out);
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.messages.at(0).number, 0);

    ChangeTableResult missing = table.LoadFile("/nonexistent/table");
    EXPECT_FALSE(missing);
    EXPECT_FALSE(table.IsLoaded());
    EXPECT_EQ(missing.messages.at(0).number, 55);
}

TEST(ChangeTable, InputStreamReadsThroughTable) {
    std::string path = TableFile("in.ztt", "'ea' > 'ä'\nnl > ';' nl\n");
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "pleasant sea\r\n";
    std::istringstream source(text);
    CChangeTableIStream in(path, source);
    ASSERT_TRUE(in);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        EXPECT_EQ(line, "pläsant sä;");
        ++lines;
    }
    EXPECT_EQ(lines, 300);
    EXPECT_FALSE(in.bad());

    std::istringstream source2("x");
    CChangeTableIStream missing("/nonexistent/table.ztt", source2);
    EXPECT_TRUE(missing.fail());
    EXPECT_FALSE(missing.LoadResult());

    std::string failing = TableFile("fail.ztt", "'x' > back(5)\n");
    std::istringstream source3("abcx");
    CChangeTableIStream broken(failing, source3);
    std::string all;
    std::getline(broken, all);
    EXPECT_TRUE(broken.bad());
}

TEST(ChangeTable, OutputStreamWritesThroughTable) {
    std::string path = TableFile("out.ztt", "'a' > 'AA'\n");
    std::ostringstream sink;
    {
        CChangeTableOStream out(path, sink);
        ASSERT_TRUE(out);
        for (int i = 0; i < 1000; ++i)
            out << "banana\n";
        EXPECT_TRUE(out.Close());
    }
    std::string expect;
    for (int i = 0; i < 1000; ++i)
        expect += "bAAnAAnAA\n";
    EXPECT_EQ(sink.str(), expect);

    std::ostringstream sink2;
    CChangeTable table;
    ASSERT_TRUE(table.LoadText("'x' > back(5)\n"));
    {
        CChangeTableOutputBuf buf(table, sink2.rdbuf());
        std::ostream out(&buf);
        out << "abx";
        EXPECT_FALSE(buf.Close());
    }
}

} // namespace
} // namespace crv
