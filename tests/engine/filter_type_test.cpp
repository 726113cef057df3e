// Filter sets inside database type files: read by the engine's factory, written back
// with the rest of the type intact, and their notes shown with the type file's name.
#include "engine/engine_type_settings.h"

#include "engine/filter.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

const char* const kLexiconType = "\\+DatabaseType Lexicon\r\n"
                                 "\\ver 4.0\r\n"
                                 "\\desc A dictionary.\r\n"
                                 "\\+mkrset\r\n"
                                 "\\lngDefault Default\r\n"
                                 "\\mkrRecord lx\r\n"
                                 "\r\n"
                                 "\\+mkr ge\r\n"
                                 "\\nam Gloss\r\n"
                                 "\\lng Default\r\n"
                                 "\\mkrOverThis sn\r\n"
                                 "\\-mkr\r\n"
                                 "\\+mkr lx\r\n"
                                 "\\nam Lexeme\r\n"
                                 "\\lng Default\r\n"
                                 "\\-mkr\r\n"
                                 "\\+mkr sn\r\n"
                                 "\\nam Sense\r\n"
                                 "\\lng Default\r\n"
                                 "\\mkrOverThis lx\r\n"
                                 "\\-mkr\r\n"
                                 "\\-mkrset\r\n"
                                 "\\iInterlinCharWd 8\r\n"
                                 "\\+filset\r\n"
                                 "\\+fil Glossed\r\n"
                                 "\\mkr ge\r\n"
                                 "\\txt [...]\r\n"
                                 "\\fel And\r\n"
                                 "\\fel Not\r\n"
                                 "\\fel NonUnique\r\n"
                                 "\\match_char p\r\n"
                                 "\\-fil\r\n"
                                 "\\-filset\r\n"
                                 "\\+drflst\r\n"
                                 "\\+drf\r\n"
                                 "\\File texts.db\r\n"
                                 "\\mkr ge\r\n"
                                 "\\-drf\r\n"
                                 "\\-drflst\r\n"
                                 "\\mkrRecord lx\r\n"
                                 "\\+PrintProperties\r\n"
                                 "\\header File: &f, Date: &d\r\n"
                                 "\\footer Page &p\r\n"
                                 "\\breakrecordswithspace\r\n"
                                 "\\printcurrentrecord\r\n"
                                 "\\recordsspace 10\r\n"
                                 "\\-PrintProperties\r\n"
                                 "\\-DatabaseType\r\n";

class FilterTypeTest : public PlatformTest {
protected:
    CDatabaseType* Load(const std::string& text) {
        WriteFileBytes(dir.File("lexicon.typ"), text);
        encodings = std::make_unique<CLangEncSet>(dir.Path().string());
        encodings->LoadAll();
        types = std::make_unique<CDatabaseTypeSet>(*encodings, &factory);
        types->LoadAll();
        return types->Find("Lexicon");
    }
    ~FilterTypeTest() override {
        types.reset();
        encodings.reset();
    }

    ScratchDir dir;
    CEngineTypeSettings factory;
    std::unique_ptr<CLangEncSet> encodings;
    std::unique_ptr<CDatabaseTypeSet> types;
};

TEST_F(FilterTypeTest, FilterSetLivesInTheTypeAndTheFileComesBackByteForByte) {
    CDatabaseType* type = Load(kLexiconType);
    ASSERT_TRUE(type);
    EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
    CFilterSet* filters = FilterSetOf(*type);
    ASSERT_TRUE(filters);
    CFilter* glossed = filters->Find("Glossed");
    ASSERT_TRUE(glossed && glossed->IsParsed());
    EXPECT_EQ(type->MarkerSet().Search("ge")->SettingsRefCount(), 1);
    EXPECT_TRUE(type->Carried().filters.empty());
    EXPECT_FALSE(type->IsModified());
    ASSERT_TRUE(types->Write(*type));
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.typ")), kLexiconType);

    // A changed filter makes the type modified, and it is saved with the type.
    CNote error;
    ASSERT_TRUE(
        filters->Modify(glossed, "Glossed", CloneElements(glossed->Elements()), true, 23, error));
    EXPECT_TRUE(type->IsModified());
    ASSERT_TRUE(types->WriteAllModified());
    EXPECT_FALSE(type->IsModified());
    std::string saved = ReadFileBytes(dir.File("lexicon.typ"));
    EXPECT_NE(saved.find("\\MatchWhole\r\n\\match_char c\r\n"), std::string::npos);
    // A marker held by a filter cannot be merged away (it counts as used in settings).
    EXPECT_GT(type->MarkerSet().Search("ge")->SettingsRefCount(), 0);
}

TEST_F(FilterTypeTest, BrokenFiltersAreReportedWithTheTypeFile) {
    std::string text = kLexiconType;
    std::string broken =
        "\\+fil Broken\r\n\\mkr zz\r\n\\txt a\r\n\\fel Or\r\n\\mkr ge\r\n\\rel =\r\n"
        "\\dat tomorrow\r\n\\fel (\r\n\\match_char p\r\n\\-fil\r\n";
    text.insert(text.find("\\+fil Glossed"), broken);
    CDatabaseType* type = Load(text);
    ASSERT_TRUE(type);
    std::vector<std::string> shown = rec.Messages();
    ASSERT_EQ(shown.size(), 3u);
    const std::string path = dir.File("lexicon.typ");
    EXPECT_EQ(shown[0], path + ", line 31:\nIn a filter: Broken Unrecognized date:  tomorrow");
    EXPECT_EQ(shown[1],
              path + ", line 25:\nIn a filter: Broken Unexpected Element after end of Filter\n(");
    EXPECT_EQ(shown[2], path + ", line 25:\nIn a filter: Broken Marker not in marker list: \\zz");
    CFilter* f = FilterSetOf(*type)->Find("Broken");
    ASSERT_TRUE(f);
    EXPECT_FALSE(f->IsParsed());
    ASSERT_TRUE(types->Write(*type));
    EXPECT_EQ(ReadFileBytes(path), text);
}

} // namespace
} // namespace crv::test
