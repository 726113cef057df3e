#include "schema/lang_enc_edit.h"

#include <filesystem>

#include "support/test_support.h"

namespace crv {
namespace {

const char* const kLng = "\\+LanguageEncoding Sample\r\n"
                         "\\ver 4.0\r\n"
                         "\\case A a\r\n"
                         "\r\n"
                         "\\+srtset\r\n"
                         "\r\n"
                         "\\+srt Main\r\n"
                         "\\primary a A\r\n"
                         "c\r\n"
                         "d\r\n"
                         "\\-srt\r\n"
                         "\r\n"
                         "\\srtDefault Main\r\n"
                         "\\-srtset\r\n"
                         "\r\n"
                         "\\+fnt\r\n"
                         "\\Name Doulos SIL\r\n"
                         "\\Size 14\r\n"
                         "\\-fnt\r\n"
                         "\\-LanguageEncoding\r\n";

struct Heard : CUpdateListener {
    void OnLangEncUpdate(const CLangEncUpdate& u) override { langEncs.push_back(u.langEnc); }
    std::vector<CLangEnc*> langEncs;
};

class LangEncEditTest : public test::PlatformTest {
protected:
    LangEncEditTest() : set(dir.Path().string()) {
        test::WriteFileBytes(dir.File("sample.lng"), kLng);
        set.LoadAll();
        enc = set.Find("Sample");
    }
    std::string File() const { return test::ReadFileBytes(dir.File("sample.lng")); }
    test::ScratchDir dir;
    CLangEncSet set;
    CLangEnc* enc = nullptr;
};

CSortOrderDef Primary(std::string primary) {
    CSortOrderDef def;
    def.primary = std::move(primary);
    return def;
}

TEST_F(LangEncEditTest, ChangesStayInTheWorkingCopyUntilApplyWritesAndAnnouncesThem) {
    ASSERT_NE(enc, nullptr);
    Heard heard;
    CUpdateSubscription sub(set.UpdateHub(), &heard, ListenerRank::Documents);
    {
        CLangEncEdit edit(*enc);
        CNote error;
        ASSERT_NE(edit.AddSortOrder("Reverse", Primary("d\nc\na A"), error), nullptr);
        ASSERT_NE(edit.AddUnit("ch", error), nullptr);
        edit.Working().SetDescription("Changed");
        // Dropped without Apply: nothing reached the encoding or its file.
    }
    EXPECT_EQ(enc->SortOrders().Count(), 1u);
    EXPECT_EQ(enc->FindUnit("ch"), nullptr);
    EXPECT_EQ(File(), kLng);
    EXPECT_TRUE(heard.langEncs.empty());

    CLangEncEdit edit(*enc);
    CNote error;
    CSortOrder* reverse = edit.AddSortOrder("Reverse", Primary("d\nch\nc\na A"), error);
    ASSERT_NE(reverse, nullptr);
    edit.Working().SortOrders().SetDefault(reverse);
    CNoteList notes;
    edit.Working().SetCaseText("A a\nCH ch", notes);
    EXPECT_TRUE(notes.empty());
    ASSERT_NE(edit.Working().Vars().AddVar("hard", "c d", error), nullptr);
    EXPECT_TRUE(edit.Apply());
    EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
    ASSERT_EQ(heard.langEncs.size(), 1u);
    EXPECT_EQ(heard.langEncs[0], enc);
    EXPECT_EQ(enc->DefaultSortOrder()->Name(), "Reverse");
    ASSERT_NE(enc->FindUnit("CH"), nullptr);
    EXPECT_EQ(enc->FindUnit("CH")->LowerForm(), enc->FindUnit("ch"));
    std::string key;
    enc->DefaultSortOrder()->MakeKey("ch", key, 10, false);
    EXPECT_EQ(key.size(), 1u); // one unit now
    std::string file = File();
    EXPECT_NE(file.find("\\+srt Reverse\r\n\\primary d\r\nch\r\nc\r\na A\r\n\\-srt"),
              std::string::npos);
    EXPECT_NE(file.find("\\srtDefault Reverse\r\n"), std::string::npos);
    EXPECT_NE(file.find("\\+var hard\r\n\\chars c d\r\n"), std::string::npos);
    EXPECT_NE(file.find("\\Name Doulos SIL"), std::string::npos);
}

TEST_F(LangEncEditTest, RefusesUsedNamesBadNamesAndDeletingAnOrderThatIsHeld) {
    CLangEncEdit edit(*enc);
    CNote used;
    EXPECT_EQ(edit.AddSortOrder("Main", Primary("a"), used), nullptr);
    EXPECT_EQ(used.Text(), "A sort order already exists with this name: Main");
    CNote spaced;
    EXPECT_EQ(edit.AddSortOrder(" Main2", Primary("a"), spaced), nullptr);
    EXPECT_FALSE(spaced.IsEmpty());
    CNote unit;
    EXPECT_EQ(edit.AddUnit("c", unit), nullptr);
    EXPECT_EQ(unit.Text(), "This character is already defined: c");
    CNote inside;
    EXPECT_EQ(edit.AddUnit("c h", inside), nullptr);

    CNote error;
    CSortOrder* second = edit.AddSortOrder("Second", Primary("d\nc"), error);
    ASSERT_NE(second, nullptr);
    CSortOrder* main = edit.Working().SortOrders().Search("Main");
    enc->DefaultSortOrder()->AddRef(); // an index sorts by the encoding's Main
    EXPECT_FALSE(edit.DeleteSortOrder(main));
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_EQ(rec.Messages()[0], "The sort order Main is in use and cannot be deleted.");
    enc->DefaultSortOrder()->Release();
    rec.answers.push_back(Answer::Yes);
    EXPECT_TRUE(edit.DeleteSortOrder(main));
    EXPECT_NE(enc->SortOrders().Search("Main"), nullptr); // until Apply
    EXPECT_TRUE(edit.Apply());
    EXPECT_EQ(enc->SortOrders().Search("Main"), nullptr);
    EXPECT_EQ(enc->DefaultSortOrder()->Name(), "Second");
}

TEST_F(LangEncEditTest, PreviewSortsLinesAsTheOrderWouldAndLeavesTheEncodingAlone) {
    std::size_t units = enc->Count();
    std::vector<std::string> lines{"ci", "cha", "d", "ca", "A", "a"};
    CNote error;
    ASSERT_TRUE(PreviewSort(*enc, Primary("a A\nc\nch\nd\ni"), lines, error));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "A", "ca", "ci", "cha", "d"}));
    EXPECT_EQ(enc->Count(), units);
    EXPECT_EQ(enc->FindUnit("ch"), nullptr);
    // A key library that cannot be loaded is not reported on every keystroke.
    CSortOrderDef withLibrary = Primary("a\nc");
    withLibrary.keyLibrary = "missing.dll";
    lines = {"c", "a"};
    EXPECT_TRUE(PreviewSort(*enc, withLibrary, lines, error));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(rec.Messages().empty());
    EXPECT_FALSE(PreviewSort(*enc, Primary("a\na"), lines, error));
    EXPECT_EQ(error.Text(), "This character is already defined: a");
}

TEST_F(LangEncEditTest, CopyMakesANewEncodingWithTheSameSettingsAndItsOwnFile) {
    CNote error;
    CLangEnc* copy = set.Copy(*enc, "Sample Copy", error);
    ASSERT_NE(copy, nullptr) << error.Text();
    EXPECT_EQ(copy->DefaultSortOrder()->Name(), "Main");
    EXPECT_EQ(copy->Font().face, "Doulos SIL");
    std::string file = test::ReadFileBytes(copy->Proxy()->Path());
    EXPECT_EQ(file.rfind("\\+LanguageEncoding Sample Copy\r\n", 0), 0u);
    EXPECT_EQ(set.Copy(*enc, "Sample", error), nullptr);
}

} // namespace
} // namespace crv
