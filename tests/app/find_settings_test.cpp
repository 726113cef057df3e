#include "app/find_settings.h"

#include <sstream>

#include "base/object_stream.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

std::string Written(const CFindSettings& f) {
    std::ostringstream out;
    ObjectStream os(out);
    f.Write(os);
    return out.str();
}

CFindSettings Read(const std::string& text) {
    std::istringstream in(text);
    ObjectStream is(in);
    CFindSettings f;
    EXPECT_TRUE(f.Read(is));
    return f;
}

TEST(FindSettingsTest, HistoryKeepsTwentyMostRecentFirstWithoutDuplicates) {
    CFindSettings f;
    for (int i = 0; i < 20; ++i)
        f.AddToHistory("t" + std::to_string(i), "Default");
    EXPECT_EQ(f.Text(), "t19");
    f.AddToHistory("new", "Default");
    ASSERT_EQ(f.history.size(), 20u);
    EXPECT_EQ(f.Text(), "new");
    EXPECT_EQ(f.history.back().text, "t1") << "the oldest went";
    f.AddToHistory("t5", "Default");
    EXPECT_EQ(f.history.size(), 20u);
    EXPECT_EQ(f.history[0].text, "t5");
    EXPECT_EQ(f.history[1].text, "new");
    EXPECT_EQ(std::count_if(f.history.begin(), f.history.end(),
                            [](const CFindHistoryEntry& e) { return e.text == "t5"; }),
              1);
    // The same text typed in another language is another entry.
    f.AddToHistory("t5", "Tsaloni");
    EXPECT_EQ(f.Lang(), "Tsaloni");
    EXPECT_EQ(f.history[1].lang, "Default");
}

TEST(FindSettingsTest, RoundTripsInOrderAndKeepsWhatItDoesNotKnow) {
    std::string text = Crlf("\\+Find\n\\MatchWhole\n\\SingleRecord\n\\SingleField\n\\Field ge\n"
                            "\\match_char c\n\\+ftxlst\n\\+ftx\n\\text house\n\\lng Default\n"
                            "\\Color red\n\\-ftx\n\\+ftx\n\\text\n\\-ftx\n\\Later 1\n\\-ftxlst\n"
                            "\\Replace home\n\\+Future\n\\x 1\n\\-Future\n\\Newer\n\\-Find\n");
    CFindSettings f = Read(text);
    EXPECT_TRUE(f.matchWhole && f.singleRecord && f.singleField);
    EXPECT_EQ(f.field, "ge");
    EXPECT_EQ(f.mask, 23);
    ASSERT_EQ(f.history.size(), 2u);
    EXPECT_EQ(f.Text(), "house");
    EXPECT_EQ(f.Lang(), "Default");
    EXPECT_EQ(f.replace, "home");
    EXPECT_EQ(Written(f), text);
    // Defaults: nothing set, level p; an unknown level keeps p.
    CFindSettings plain = Read("\\+Find\r\n\\match_char z\r\n\\-Find\r\n");
    EXPECT_EQ(plain.mask, 3);
    EXPECT_FALSE(plain.matchWhole || plain.singleRecord || plain.singleField);
}

TEST(FindSettingsTest, AHistoryPastTwentyEntriesIsCutWhenRead) {
    std::string text = "\\+Find\n\\+ftxlst\n";
    for (int i = 0; i < 25; ++i)
        text += "\\+ftx\n\\text w" + std::to_string(i) + "\n\\-ftx\n";
    text += "\\-ftxlst\n\\-Find\n";
    CFindSettings f = Read(text);
    EXPECT_EQ(f.history.size(), 20u);
    EXPECT_EQ(f.history.back().text, "w19");
}

} // namespace
} // namespace crv::test
