#include "schema/database_type_set.h"

#include <algorithm>
#include <filesystem>

#include "schema/lang_enc_set.h"
#include "schema/marker_test_support.h"
#include "schema/record_template.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

const char* const kLexicon =
    "\\+DatabaseType Lexicon\r\n"
    "\\ver 4.0\r\n"
    "\\desc Words\r\n"
    "\\+mkrset\r\n"
    "\\lngDefault Default\r\n"
    "\\mkrRecord lx\r\n"
    "\r\n"
    "\\+mkr ge\r\n\\nam Gloss\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
    "\\+mkr lx\r\n\\nam Lexeme\r\n\\lng Default\r\n\\-mkr\r\n"
    "\\-mkrset\r\n"
    "\\iInterlinCharWd 8\r\n"
    "\\mkrRecord lx\r\n"
    "\\+PrintProperties\r\n\\header File: &f, Date: &d\r\n\\footer Page &p\r\n"
    "\\breakrecordswithspace\r\n\\printcurrentrecord\r\n\\recordsspace 10\r\n"
    "\\-PrintProperties\r\n"
    "\\-DatabaseType\r\n";

class DatabaseTypeSetTest : public PlatformTest {
protected:
    DatabaseTypeSetTest() : encodings(dir.Path().string()), types(encodings) {
        encodings.LoadAll();
    }

    void Write(const std::string& name, const std::string& bytes) {
        WriteFileBytes(dir.File(name), bytes);
    }
    std::vector<std::string> FileNames() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir.Path()))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    ScratchDir dir;
    CLangEncSet encodings;
    CDatabaseTypeSet types;
};

TEST_F(DatabaseTypeSetTest, LoadAllListsEveryTypeFileAndLoadsOnFirstUse) {
    Write("lex.typ", kLexicon);
    Write(
        "old.TYP",
        "\\+DatabaseType Old Texts\r\n\\desc no version\r\n\\mkrRecord id\r\n\\-DatabaseType\r\n");
    Write("noname.typ", "\\+DatabaseType\r\n\\mkrRecord a\r\n\\-DatabaseType\r\n");
    Write("again.typ", "\\+DatabaseType Lexicon\r\n\\-DatabaseType\r\n");
    Write("notes.typ", "some notes\r\n");
    Write("other.txt", "\\+DatabaseType Ignored\r\n");
    types.LoadAll();

    std::vector<std::string> listed;
    for (const auto& p : types.Proxies())
        listed.push_back(p.Name() + "|" + p.FileName() + "|" + p.Version());
    // "again.typ" comes first in file order, so the second Lexicon is lex.typ's.
    EXPECT_EQ(listed, (std::vector<std::string>{"Lexicon|again.typ|3.0", "Old Texts|old.TYP|3.0",
                                                "noname|noname.typ|3.0"}));
    auto messages = rec.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "The database type Lexicon in lex.typ is already defined in again.typ; "
                           "lex.typ is not used.");
    EXPECT_EQ(messages[1],
              dir.File("notes.typ") + "\nis not a database type file; it is not used.");

    EXPECT_FALSE(types.FindProxy("Old Texts")->IsLoaded());
    EXPECT_EQ(types.Find("old texts"), nullptr); // case counts
    CDatabaseType* old = types.Find("Old Texts");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->RecordMarker()->Name(), "id");
    EXPECT_EQ(old->Description(), "no version");
    EXPECT_EQ(types.Find("Old Texts"), old);
}

TEST_F(DatabaseTypeSetTest, AMissingRecordMarkerIsAskedForAndSaved) {
    Write("t.typ",
          "\\+DatabaseType Texts\r\n\\+mkrset\r\n\\lngDefault Default\r\n\\mkrRecord id\r\n"
          "\\-mkrset\r\n\\-DatabaseType\r\n");
    types.LoadAll();
    rec.texts = {std::string(""), std::string("a b"), std::string(" \\ref ")};
    CDatabaseType* type = types.Find("Texts");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->RecordMarker()->Name(), "ref");
    EXPECT_EQ(rec.Inputs().size(), 3u);
    EXPECT_EQ(rec.Inputs()[0],
              "This database type is missing the record marker setting.  Please enter "
              "the record marker for this database type.");
    auto messages = rec.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "You MUST enter the record marker for this database type!");
    EXPECT_EQ(messages[1], "Not expecting the character:  in a marker");
    // Usable now, and saved with the record marker.
    EXPECT_TRUE(type->IsModified());
    EXPECT_TRUE(types.WriteAllModified());
    EXPECT_FALSE(type->IsModified());
    EXPECT_NE(ReadFileBytes(dir.File("t.typ")).find("\\mkrRecord ref\r\n"), std::string::npos);
    EXPECT_EQ(types.FindProxy("Texts")->Version(), "4.0");
}

TEST_F(DatabaseTypeSetTest, CancellingTheRecordMarkerLeavesTheTypeUnusedAndTheFileAlone) {
    const std::string text = "\\+DatabaseType Texts\r\n\\desc keep me\r\n\\-DatabaseType\r\n";
    Write("t.typ", text);
    types.LoadAll();
    EXPECT_EQ(types.Find("Texts"), nullptr);
    EXPECT_EQ(rec.Messages().back(), "The database type Texts (" + dir.File("t.typ") +
                                         ") has no record marker; it cannot be used.");
    EXPECT_TRUE(types.WriteAllModified());
    EXPECT_EQ(ReadFileBytes(dir.File("t.typ")), text);

    // A file that turned into something unreadable is not replaced either.
    fs::remove(dir.File("t.typ"));
    fs::create_directory(dir.File("t.typ"));
    rec.texts = {std::string("id")};
    EXPECT_EQ(types.Find("Texts"), nullptr);
    EXPECT_TRUE(fs::is_directory(dir.File("t.typ")));

    // A file that is gone is made again around the record marker asked for.
    fs::remove(dir.File("t.typ"));
    rec.texts = {std::string("id")};
    CDatabaseType* type = types.Find("Texts");
    ASSERT_NE(type, nullptr);
    EXPECT_NE(ReadFileBytes(dir.File("t.typ")).find("\\mkrRecord id\r\n"), std::string::npos);
}

TEST_F(DatabaseTypeSetTest, ErrorsInTheFileAreShownWithItsNameAndTheRestIsRead) {
    Write("t.typ", "\\+DatabaseType T\r\n\\mkrDateStamp d{t\r\n\\mkrRecord lx\r\n\\desc read\r\n"
                   "\\-DatabaseType\r\n");
    types.LoadAll();
    CDatabaseType* type = types.Find("T");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->Description(), "read");
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_EQ(rec.Messages()[0],
              dir.File("t.typ") + ", line 2:\nNot expecting the character: { in a marker");
}

TEST_F(DatabaseTypeSetTest, NewFileNamesShareTheEncodingsRule) {
    CDatabaseType* a = types.CreateByProgram("Word List- Vernacular", "w", "Word List- Vernacular",
                                             WordListTypeDescription("Vernacular"));
    CDatabaseType* b = types.CreateByProgram("Word List: Vernacular", "w", "Word List: Vernacular",
                                             WordListTypeDescription("Vernacular"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->Proxy()->FileName(), "WordList.typ");
    EXPECT_EQ(b->Proxy()->FileName(), "WordLis2.typ");
    EXPECT_EQ(
        a->Description(),
        "This database type was generated by Corvane for wordlist databases using the Vernacular "
        "language.");
    EXPECT_EQ(ConcordanceTypeDescription("Vernacular", "English"),
              "This database type was generated by Corvane for concordance databases using the "
              "Vernacular language.\n(References sorted by the English language)");
    EXPECT_EQ(types.CreateByProgram("Word List- Vernacular", "x", "x", ""), a);
    EXPECT_FALSE(a->IsModified());

    // Written at once, and found by a fresh scan.
    CLangEncSet encodings2(dir.Path().string());
    encodings2.LoadAll();
    CDatabaseTypeSet again(encodings2);
    again.LoadAll();
    CDatabaseType* read = again.Find("Word List- Vernacular");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->RecordMarker()->Name(), "w");
    EXPECT_EQ(read->Description(), a->Description());
}

TEST_F(DatabaseTypeSetTest, AddChecksTheDialogAndDiscardsACancelledType) {
    Write("lex.typ", kLexicon);
    types.LoadAll();
    EXPECT_EQ(types.CheckNewType("", "lx"), CDatabaseTypeSet::NewTypeField::Name);
    EXPECT_EQ(types.CheckNewType("Lexicon", "lx"), CDatabaseTypeSet::NewTypeField::Name);
    EXPECT_EQ(types.CheckNewType("Two\nlines", "lx"), CDatabaseTypeSet::NewTypeField::Name);
    EXPECT_EQ(types.CheckNewType("Notes", " "), CDatabaseTypeSet::NewTypeField::RecordMarker);
    EXPECT_EQ(types.CheckNewType("Notes", "n|t"), CDatabaseTypeSet::NewTypeField::RecordMarker);
    EXPECT_EQ(types.CheckNewType("Notes", "\\nt"), CDatabaseTypeSet::NewTypeField::None);
    auto messages = rec.Messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0], "Expecting a name");
    EXPECT_EQ(
        messages[1],
        "There is an existing database type using this name.  Please enter a different name.");
    EXPECT_EQ(messages[3], "You MUST enter the record marker for this database type!");
    EXPECT_EQ(messages[4], "Not expecting the character: | in a marker");

    auto cancel = [](CDatabaseType& type) {
        EXPECT_EQ(type.RecordMarker()->Name(), "nt");
        return false;
    };
    EXPECT_EQ(types.Add("Notes", "nt", cancel), nullptr);
    EXPECT_EQ(types.FindProxy("Notes"), nullptr);
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"Default.lng", "lex.typ"}));

    CDatabaseType* notes = types.Add(" Notes ", "nt", [](CDatabaseType& type) {
        type.SetDescription("Field notes");
        return true;
    });
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->Name(), "Notes");
    EXPECT_EQ(types.Find("Notes"), notes);
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"Default.lng", "Notes.typ", "lex.typ"}));
    EXPECT_NE(ReadFileBytes(dir.File("Notes.typ")).find("\\desc Field notes\r\n"),
              std::string::npos);
}

TEST_F(DatabaseTypeSetTest, CopyGoesThroughATemporaryFile) {
    Write("lex.typ", kLexicon);
    types.LoadAll();
    CDatabaseType* lexicon = types.Find("Lexicon");
    ASSERT_NE(lexicon, nullptr);
    CDatabaseType* copy = types.Copy(*lexicon, "Lexicon 2");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Proxy()->FileName(), "Lexicon2.typ");
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"Default.lng", "Lexicon2.typ", "lex.typ"}));
    std::string expected = kLexicon;
    expected.replace(expected.find("Lexicon"), 7, "Lexicon 2");
    EXPECT_EQ(ReadFileBytes(dir.File("Lexicon2.typ")), expected);
    EXPECT_NE(&copy->MarkerSet(), &lexicon->MarkerSet());

    // A full disk: the message names the temporary file and nothing is left behind.
    {
        FileSizeLimit limit(100);
        EXPECT_EQ(types.Copy(*lexicon, "Lexicon 3"), nullptr);
    }
    EXPECT_EQ(rec.Messages().back(), dir.File("typ.tmp") +
                                         "\nFailed to write this temporary file.\n\nPlease check "
                                         "whether there's enough disk space.");
    EXPECT_EQ(types.FindProxy("Lexicon 3"), nullptr);
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"Default.lng", "Lexicon2.typ", "lex.typ"}));
}

TEST_F(DatabaseTypeSetTest, DeleteAsksAndIsRefusedWhileTheTypeIsHeld) {
    Write("lex.typ", kLexicon);
    types.LoadAll();
    CDatabaseTypeProxy* proxy = types.FindProxy("Lexicon");
    CDatabaseType* type = proxy->GetType();
    type->AddRef();
    EXPECT_FALSE(types.Delete(proxy));
    EXPECT_EQ(rec.Messages().back(), "The database type Lexicon is in use and cannot be deleted.");
    type->Release();

    rec.answers = {Answer::No};
    EXPECT_FALSE(types.Delete(proxy));
    EXPECT_EQ(rec.Questions().back(),
              "Do you want to delete the database type named \"Lexicon\" and the settings file "
              "lex.typ which contains it?");
    EXPECT_TRUE(fs::exists(dir.File("lex.typ")));
    rec.answers = {Answer::Yes};
    EXPECT_TRUE(types.Delete(proxy));
    EXPECT_FALSE(fs::exists(dir.File("lex.typ")));
    EXPECT_EQ(types.FindProxy("Lexicon"), nullptr);
}

TEST_F(DatabaseTypeSetTest, AFileThatCannotBeDeletedKeepsTheType) {
    Write("lex.typ", kLexicon);
    types.LoadAll();
    fs::remove(dir.File("lex.typ"));
    fs::create_directories(dir.Path() / "lex.typ" / "inside");
    rec.answers = {Answer::Yes};
    EXPECT_FALSE(types.Delete(types.FindProxy("Lexicon")));
    EXPECT_EQ(rec.Messages().back().rfind(
                  "The database type file " + dir.File("lex.typ") + " could not be deleted:\n", 0),
              0u)
        << rec.Messages().back();
    EXPECT_NE(types.FindProxy("Lexicon"), nullptr);
}

TEST_F(DatabaseTypeSetTest, WritingKeepsTheOldFileWhenTheDiskIsFull) {
    Write("lex.typ", kLexicon);
    types.LoadAll();
    CDatabaseType* type = types.Find("Lexicon");
    type->SetDescription(std::string(5000, 'd'));
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(types.WriteAllModified());
    }
    EXPECT_EQ(ReadFileBytes(dir.File("lex.typ")), kLexicon);
    EXPECT_EQ(rec.Messages().back().rfind(
                  "The database type file " + dir.File("lex.typ") + " could not be written:\n", 0),
              0u);
    EXPECT_TRUE(type->IsModified());
    EXPECT_TRUE(types.WriteAllModified());
    EXPECT_FALSE(type->IsModified());
}

TEST_F(DatabaseTypeSetTest, TheHeaderOfADatabaseNamesItsType) {
    Write("lex.typ", kLexicon);
    types.LoadAll();
    using Status = DatabaseTypeOfFile::Status;
    Write("a.db", "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n");
    DatabaseTypeOfFile found = FindDatabaseTypeOfFile(dir.File("a.db"), types);
    EXPECT_EQ(found.status, Status::Found);
    EXPECT_EQ(found.type, types.Find("Lexicon"));

    Write("b.db", "\\_sh v3.0  400  Dictionary\r\n\r\n\\lx a\r\n");
    found = FindDatabaseTypeOfFile(dir.File("b.db"), types);
    EXPECT_EQ(found.status, Status::TypeMissing);
    EXPECT_EQ(found.header.typeName, "Dictionary");
    EXPECT_EQ(
        DatabaseTypeNotFoundText("b.db", "Dictionary"),
        "b.db\nis of database type   Dictionary,\nbut the type file is missing from the project "
        "settings folder.");

    Write("c.db", "\\lx a\r\n");
    EXPECT_EQ(FindDatabaseTypeOfFile(dir.File("c.db"), types).status, Status::NoHeader);
    EXPECT_EQ(FindDatabaseTypeOfFile(dir.File("none.db"), types).status, Status::CannotOpen);
}

TEST(SampleTypes, LoadWithoutAWordAndHoldTheirSchema) {
    RecordingPlatform rec;
    ScopedPlatform scope(rec);
    ScratchDir dir;
    for (const auto& e : fs::directory_iterator(CORVANE_SAMPLE_DIR))
        fs::copy_file(e.path(), dir.Path() / e.path().filename());
    CLangEncSet encodings(dir.Path().string());
    encodings.LoadAll();
    CDatabaseTypeSet types(encodings);
    types.LoadAll();
    CDatabaseType* lexicon = types.Find("Lexicon");
    CDatabaseType* text = types.Find("Text");
    ASSERT_NE(lexicon, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(rec.events.empty());

    const CMarkerSet& lx = lexicon->MarkerSet();
    auto parent = [&](const CMarkerSet& set, const char* name) {
        CMarker* p = set.Search(name)->Parent();
        return p ? p->Name() : std::string();
    };
    EXPECT_EQ(lexicon->RecordMarker()->Name(), "lx");
    EXPECT_EQ(parent(lx, "sn"), "lx");
    EXPECT_EQ(parent(lx, "ge"), "sn");
    EXPECT_EQ(parent(lx, "ps"), "sn");
    EXPECT_EQ(parent(lx, "xv"), "sn");
    EXPECT_EQ(parent(lx, "xe"), "xv");
    EXPECT_EQ(lx.Search("lx")->LangEnc()->Name(), "Vernacular");
    EXPECT_EQ(lx.Search("ge")->LangEnc()->Name(), "English");
    EXPECT_EQ(lexicon->SecKeyMarkers(), std::vector<CMarker*>{lx.Search("hm")});
    EXPECT_EQ(lexicon->DateStampMarker(), lx.Search("dt"));
    EXPECT_EQ(TemplateFields(lexicon->Template()).size(), 6u);

    const CMarkerSet& tx = text->MarkerSet();
    EXPECT_EQ(text->RecordMarker()->Name(), "id");
    EXPECT_EQ(tx.Search("tx")->InterlinearFlags(),
              CMarker::kInterlinearLine | CMarker::kInterlinearTextLine);
    for (const char* line : {"mb", "ge", "ps"})
        EXPECT_EQ(tx.Search(line)->InterlinearFlags(), CMarker::kInterlinearLine) << line;
    EXPECT_EQ(tx.Search("ft")->InterlinearFlags(), 0);
    EXPECT_FALSE(lexicon->IsModified());
    EXPECT_FALSE(text->IsModified());
}

} // namespace
} // namespace crv::test
