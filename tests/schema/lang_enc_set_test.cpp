#include "schema/lang_enc_set.h"

#include <filesystem>

#include "schema/settings_file_name.h"
#include "support/test_support.h"

namespace crv {
namespace {

namespace fs = std::filesystem;

// A settings file as Windows wrote it: CR LF line ends, keys in the written order.
const char* const kSampleLng = "\\+LanguageEncoding Sample\r\n"
                               "\\ver 4.0\r\n"
                               "\\desc A language\r\n"
                               "with two lines\r\n"
                               "\\case A a\r\n"
                               "CH ch\r\n"
                               "\r\n"
                               "\\+srtset\r\n"
                               "\r\n"
                               "\\+srt Main\r\n"
                               "\\desc Main order\r\n"
                               "\\primary a A\r\n"
                               "b\r\n"
                               "c\r\n"
                               "ch CH\r\n"
                               "\\SecPreceding `\r\n"
                               "\\SecFollowing '\r\n"
                               "\\ignore -\r\n"
                               "\\SecAfterBase\r\n"
                               "\\-srt\r\n"
                               "\r\n"
                               "\\+srt Plain\r\n"
                               "\\SkipSeq\r\n"
                               "\\-srt\r\n"
                               "\r\n"
                               "\\srtDefault Main\r\n"
                               "\\-srtset\r\n"
                               "\r\n"
                               "\\+varset\r\n"
                               "\r\n"
                               "\\+var V\r\n"
                               "\\chars a A\r\n"
                               "\\-var\r\n"
                               "\r\n"
                               "\\-varset\r\n"
                               "\r\n"
                               "\\+fnt\r\n"
                               "\\Name Doulos SIL\r\n"
                               "\\Size 14\r\n"
                               "\\Italic\r\n"
                               "\\-fnt\r\n"
                               "\\kbdKeyman SampleKbd\r\n"
                               "\\RightToLeft\r\n"
                               "\\MultiChar\r\n"
                               "\\DBCS\r\n"
                               "\\UTF8\r\n"
                               "\\-LanguageEncoding\r\n";

class LangEncSetTest : public test::PlatformTest {
protected:
    std::string Written(CLangEnc* e) {
        CLangEncSet& s = e->Owner();
        EXPECT_TRUE(s.Write(e));
        return test::ReadFileBytes(e->Proxy()->Path());
    }
    test::ScratchDir dir;
};

TEST_F(LangEncSetTest, ReadingAndWritingRoundTripsTheFile) {
    test::WriteFileBytes(dir.File("sample.lng"), kSampleLng);
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    CLangEnc* e = set.Find("Sample");
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
    EXPECT_EQ(e->Description(), "A language\nwith two lines");
    EXPECT_EQ(e->DefaultSortOrder()->Name(), "Main");
    EXPECT_TRUE(e->DefaultSortOrder()->SecAfterBase());
    EXPECT_TRUE(e->FindSortOrder("Plain")->IsBinary());
    EXPECT_EQ(e->Font().face, "Doulos SIL");
    EXPECT_TRUE(e->Font().italic);
    EXPECT_EQ(e->KeyboardName(), "SampleKbd");
    EXPECT_TRUE(e->RightToLeft() && e->MultiChar() && e->Dbcs() && e->Utf8());
    EXPECT_EQ(e->FindUnit("CH")->LowerForm(), e->FindUnit("ch"));
    EXPECT_EQ(e->Vars().Search("V")->Chars(), "a A");
    EXPECT_EQ(Written(e), kSampleLng);
    EXPECT_TRUE(set.Keyboards().Installed().empty());
}

TEST_F(LangEncSetTest, LoadAllListsEveryFileAndAddsDefault) {
    test::WriteFileBytes(dir.File("noname.lng"), "\\+LanguageEncoding\r\n\\-LanguageEncoding\r\n");
    test::WriteFileBytes(dir.File("Other.LNG"),
                         "\\+LanguageEncoding Other\r\n\\ver 3.5\r\n\\-LanguageEncoding\r\n");
    test::WriteFileBytes(dir.File("junk.lng"), "not settings\n");
    test::WriteFileBytes(dir.File("dup.lng"),
                         "\\+LanguageEncoding Other\r\n\\-LanguageEncoding\r\n");
    test::WriteFileBytes(dir.File("readme.txt"), "\\+LanguageEncoding Txt\r\n");
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    std::string names;
    for (const auto& p : set.Proxies())
        names += p.Name() + "=" + p.FileName() + "@" + p.Version() + " ";
    EXPECT_EQ(names, "Default=Default.lng@4.0 Other=Other.LNG@3.5 noname=noname.lng@3.0 ");
    EXPECT_TRUE(fs::exists(dir.File("Default.lng")));
    auto messages = rec.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("Other in dup.lng is already defined in Other.LNG"),
              std::string::npos)
        << messages[0];
    EXPECT_NE(messages[1].find("junk.lng\nis not a language encoding file"), std::string::npos)
        << messages[1];
    // Nothing is loaded until first use; a file without sort orders gets a default one.
    EXPECT_FALSE(set.FindProxy("Other")->IsLoaded());
    CLangEnc* other = set.Find("Other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->DefaultSortOrder()->Name(), "Other");
    EXPECT_EQ(set.Find("Nothing"), nullptr);
}

TEST_F(LangEncSetTest, FindOrCreateWritesANewFileAtOnceAndTellsListeners) {
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    struct Listener : CUpdateListener {
        std::vector<std::string> heard;
        void OnLangEncUpdate(const CLangEncUpdate& u) override {
            heard.push_back(u.langEnc->Name());
        }
    } listener;
    CUpdateSubscription sub(set.UpdateHub(), &listener, ListenerRank::Documents);
    CLangEnc* e = set.FindOrCreate("Kala Lagaw Ya!");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Proxy()->FileName(), "KalaLaga.lng");
    EXPECT_EQ(listener.heard, std::vector<std::string>{"Kala Lagaw Ya!"});
    std::string text = test::ReadFileBytes(dir.File("KalaLaga.lng"));
    EXPECT_EQ(text.rfind("\\+LanguageEncoding Kala Lagaw Ya!\r\n\\ver 4.0\r\n\\desc Language "
                         "encoding with default "
                         "properties\r\nfor case associations, sort orders, and variables.\r\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(e->DefaultSortOrder()->Name(), "Kala Lagaw Ya!");
    // Same first eight letters: the counter keeps the base within eight characters.
    CLangEnc* e2 = set.FindOrCreate("Kala Lagaw Yb");
    EXPECT_EQ(e2->Proxy()->FileName(), "KalaLag2.lng");
    EXPECT_EQ(set.FindOrCreate("Kala Lagaw Ya!"), e);
    // Another set reads what was written.
    rec.Clear();
    CLangEncSet again(dir.Path().string());
    again.LoadAll();
    CLangEnc* read = again.Find("Kala Lagaw Yb");
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(rec.Messages().empty());
    EXPECT_EQ(read->Vars().Count(), 8u);
    EXPECT_EQ(Written(read), test::ReadFileBytes(dir.File("KalaLag2.lng")));
}

TEST_F(LangEncSetTest, FileNamesOfNewSettingsFiles) {
    EXPECT_EQ(MakeSettingsFileName("", "Lexicon", ".typ"), "Lexicon.typ");
    EXPECT_EQ(MakeSettingsFileName("", "My Dictionary!", ".typ"), "MyDictio.typ");
    EXPECT_EQ(MakeSettingsFileName("", "My Dictionary!", ".typ", {"MyDictio.typ"}), "MyDicti2.typ");
    EXPECT_EQ(MakeSettingsFileName("", "ab", ".lng", {"ab.lng", "ab2.lng"}), "ab3.lng");
    EXPECT_EQ(MakeSettingsFileName("", "\xE9\xE8", ".lng"), "lng.lng");
    test::WriteFileBytes(dir.File("Text.typ"), "");
    EXPECT_EQ(MakeSettingsFileName(dir.Path().string(), "Text", ".typ"), "Text2.typ");
}

TEST_F(LangEncSetTest, MalformedFilesLoadWithNotesNamingTheFile) {
    test::WriteFileBytes(
        dir.File("bad.lng"),
        "\\+LanguageEncoding Bad\n\\case A\nB b\nb c\n"
        "\\+srtset\n\\+srt One\n\\primary a a\n\\-srt\n\\+srt Two\n\\primary x y\n"
        "\\+srt Three\n\\primary z\n\\-srt\n\\srtDefault Nothing\n\\-srtset\n"
        "\\+varset\n\\+var [x]\n\\chars a\n\\-var\n\\+var ok\n\\chars x\n\\-var\n\\-varset\n"
        "\\+unknown\n\\desc not mine\n\\+deeper\n\\-deeper\n\\-unknown\n"
        "\\+fnt\n\\Size 0\n\\-fnt\n"
        "\\desc mine\n\\RenDLL\n\\zzz\x01\x02\n");
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    CLangEnc* e = set.Find("Bad");
    ASSERT_NE(e, nullptr);
    auto messages = rec.Messages();
    ASSERT_EQ(messages.size(), 4u);
    std::string file = "In language encoding file: " + (dir.Path() / "bad.lng").string();
    EXPECT_EQ(messages[0], file + " Expecting a lower case association for this character: A");
    EXPECT_EQ(messages[1], file + " This character's case is already defined: b");
    EXPECT_EQ(
        messages[2],
        file +
            " In language encoding: Bad In sort order: One This character is already defined: a");
    EXPECT_EQ(messages[3], file + " In language encoding: Bad Not expecting the character: [");
    // The rest was read: a missing end line does not lose the next sort order.
    EXPECT_NE(e->FindSortOrder("Two"), nullptr);
    EXPECT_NE(e->FindSortOrder("Three"), nullptr);
    EXPECT_EQ(e->DefaultSortOrder()->Name(), "Three");
    EXPECT_NE(e->Vars().Search("ok"), nullptr);
    EXPECT_EQ(e->Description(), "mine");
}

TEST_F(LangEncSetTest, DeletingAsksAndIsRefusedWhileInUse) {
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    CLangEnc* e = set.FindOrCreate("Gone");
    EXPECT_FALSE(set.Delete(set.Default()));
    e->AddRef();
    EXPECT_FALSE(set.Delete(e));
    e->Release();
    rec.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(set.Delete(e));
    EXPECT_TRUE(fs::exists(dir.File("Gone.lng")));
    EXPECT_TRUE(set.Delete(e));
    EXPECT_FALSE(fs::exists(dir.File("Gone.lng")));
    EXPECT_EQ(set.Find("Gone"), nullptr);
    auto q = rec.Questions();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0], "Do you want to delete the language encoding named \"Gone\" and the settings "
                    "file Gone.lng which "
                    "contains it?");
    EXPECT_EQ(rec.Messages()[0], "The language encoding Default is in use and cannot be deleted.");
}

TEST_F(LangEncSetTest, AFileThatCannotBeDeletedKeepsTheEncoding) {
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    CLangEnc* e = set.FindOrCreate("Gone");
    // A folder with something in it in place of the file: removing it fails.
    fs::remove(dir.File("Gone.lng"));
    fs::create_directories(dir.Path() / "Gone.lng" / "inside");
    rec.answers = {Answer::Yes};
    EXPECT_FALSE(set.Delete(e));
    EXPECT_EQ(rec.Messages().back().rfind("The language encoding file " + dir.File("Gone.lng") +
                                              " could not be deleted:\n",
                                          0),
              0u)
        << rec.Messages().back();
    EXPECT_EQ(set.Find("Gone"), e);
}

TEST_F(LangEncSetTest, AMissingFileLeavesAnEncodingWithADefaultOrder) {
    test::WriteFileBytes(dir.File("lost.lng"),
                         "\\+LanguageEncoding Lost\r\n\\-LanguageEncoding\r\n");
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    fs::remove(dir.File("lost.lng"));
    CLangEnc* e = set.Find("Lost");
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->DefaultSortOrder(), nullptr);
    EXPECT_EQ(e->Vars().Count(), 0u);
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_NE(rec.Messages()[0].find("lost.lng could not be read"), std::string::npos);
}

TEST_F(LangEncSetTest, SampleSettingsReadCleanlyAndWriteBackUnchanged) {
    for (const char* name : {"Default.lng", "English.lng", "Vernacular.lng"})
        fs::copy_file(fs::path(CORVANE_SAMPLE_DIR) / name, dir.Path() / name);
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    ASSERT_EQ(set.Proxies().Count(), 3u);
    for (auto& proxy : set.Proxies()) {
        std::string before = test::ReadFileBytes(proxy.Path());
        EXPECT_EQ(Written(proxy.GetLangEnc()), before) << proxy.Name();
    }
    EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
    // The vernacular's order: digraphs are letters, acute vowels follow plain ones, the
    // length mark follows its vowel, the hyphen is ignored.
    const CSortOrder* so = set.Find("Vernacular")->DefaultSortOrder();
    auto cmp = [&](const char* a, const char* b, int mask) {
        std::string ka, kb;
        so->MakeKey(a, ka, 100, false);
        so->MakeKey(b, kb, 100, false);
        int r = so->CompareKeys(ka, kb, mask, true);
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    };
    EXPECT_EQ(cmp("nu", "nga", kMatchAll), -1);
    EXPECT_EQ(cmp("tu", "tsa", kMatchAll), -1);
    EXPECT_EQ(cmp("p\xC3\xA1", "pa", kMatchPrimary), 0);
    EXPECT_EQ(cmp("p\xC3\xA1", "pa", kMatchAll), 1);
    EXPECT_EQ(cmp("P\xC3\x81", "p\xC3\xA1", kMatchNoCase), 0);
    EXPECT_EQ(cmp("pa\xCB\x90", "pa", kMatchExact), 1);
    EXPECT_EQ(cmp("pa\xCB\x90", "p\xC3\xA1", kMatchExact), -1);
    EXPECT_EQ(cmp("ta-ka", "taka", kMatchExact), 0);
}

} // namespace
} // namespace crv
