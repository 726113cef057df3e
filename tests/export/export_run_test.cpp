// Standard format and RTF export runs: the records chosen, the fields written, change
// tables on the way out, and every failure leaving the output and the database alone.
#include "export/export_run.h"

#include <filesystem>

#include "export/export_process_set.h"
#include "export/plx_process.h"
#include "export_test_support.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

const std::string kDatabase = Crlf("\\_sh v3.0  400  Lexicon\n\n"
                                   "\\lx kelo\n\\ps n\n\\ge dog\n\\dt 19/May/2023\n\n"
                                   "\\lx ulu\n\\sn 1\n\\ge moon\n\\sn 2\n\\ge month\n\n"
                                   "\\lx abi\n\\ps v\n");

class ExportRunTest : public ExportSettingsTest {
protected:
    ExportRunTest() {
        type = Load(LexiconTypeText());
        db = ReadDatabase(*type, dir.File("lexicon.db"), kDatabase);
        request.database = db.get();
        request.databasePath = dir.File("lexicon.db");
        request.settingsFolder = dir.Path().string();
        dialogs.output = dir.File("out.txt");
        Exports(type).Options().showProperties = false;
    }
    ~ExportRunTest() override { db.reset(); }
    CExportProcess& Process(const std::string& name) { return *Exports(type).Find(name); }
    ExportResult Run(const std::string& name) { return RunExport(Process(name), request, dialogs); }
    // The files of the scratch folder other than the settings and the database.
    std::vector<std::string> Others() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.Path())) {
            std::string n = e.path().filename().string();
            if (n != "lexicon.typ" && n != "lexicon.db" && n != "Default.lng")
                names.push_back(n);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    CDatabaseType* type;
    std::unique_ptr<CIndexSet> db;
    ExportRequest request;
    ScriptedExportDialogs dialogs;
};

TEST_F(ExportRunTest, TheWholeFileAsStandardFormat) {
    CExportProcess& sf = Process("Standard Format");
    sf.Fields().SetIncluded(type->MarkerSet().Search("dt"), false);
    Exports(type).SetModified(false);
    rec.Clear();
    ASSERT_EQ(Run("Standard Format"), ExportResult::Done);
    // In the order of the default index, with the header, the excluded field left out.
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")),
              Crlf("\\_sh v3.0  400  Lexicon\n\n\\lx abi\n\\ps v\n\n\\lx kelo\n\\ps n\n\\ge dog\n\n"
                   "\\lx ulu\n\\sn 1\n\\ge moon\n\\sn 2\n\\ge month\n"));
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.db")), kDatabase);
    EXPECT_EQ(sf.exportedFile, dir.File("out.txt"));
    EXPECT_TRUE(type->IsModified());
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].filter, "All files (*.*)|*.*||");
    EXPECT_EQ(rec.ProgressTexts(), std::vector<std::string>{"Exporting as " + dir.File("out.txt")});
    EXPECT_TRUE(rec.Messages().empty());
    EXPECT_EQ(Others(), std::vector<std::string>{"out.txt"});

    // The current record alone; the last output is offered next time.
    request.records = ExportRecords::CurrentRecord;
    request.record = db->DefaultIndex().EntryAt(1)->Record();
    ASSERT_EQ(Run("Standard Format"), ExportResult::Done);
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")),
              Crlf("\\_sh v3.0  400  Lexicon\n\n\\lx kelo\n\\ps n\n\\ge dog\n"));
    EXPECT_EQ(dialogs.requests[1].initialPath, dir.File("out.txt"));
}

TEST_F(ExportRunTest, TheWindowSortedByAnotherMarker) {
    CIndexKeys keys;
    keys.priMarker = type->MarkerSet().Search("ge");
    CIndexRef window = db->GetIndex(keys);
    request.records = ExportRecords::CurrentWindow;
    request.window = window.Get();
    // Once per gloss, the gloss moved to the top; the record without one is left out.
    dialogs.moveSortField = true;
    ASSERT_EQ(Run("Standard Format"), ExportResult::Done);
    EXPECT_EQ(dialogs.windowQuestions, 1);
    EXPECT_TRUE(Process("Standard Format").priKeyFieldFirst);
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")),
              Crlf("\\_sh v3.0  400  Lexicon\n\n"
                   "\\ge dog\n\\lx kelo\n\\ps n\n\\dt 19/May/2023\n\n"
                   "\\ge month\n\\lx ulu\n\\sn 1\n\\ge moon\n\\sn 2\n\n"
                   "\\ge moon\n\\lx ulu\n\\sn 1\n\\sn 2\n\\ge month\n"));
    dialogs.moveSortField = false;
    ASSERT_EQ(Run("Standard Format"), ExportResult::Done);
    EXPECT_FALSE(Process("Standard Format").priKeyFieldFirst);
    std::string written = ReadFileBytes(dir.File("out.txt"));
    EXPECT_EQ(written.find("\\ge month\n"), std::string::npos);
    EXPECT_NE(written.find(Crlf("\\lx ulu\n\\sn 1\n\\ge moon\n\\sn 2\n\\ge month\n\n\\lx ulu\n")),
              std::string::npos);
    // Cancelling the question ends the export quietly, the last output untouched.
    dialogs.moveSortField = std::nullopt;
    EXPECT_EQ(Run("Standard Format"), ExportResult::Cancelled);
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), written);
    // Sorted by the record marker, nothing is asked.
    request.window = &db->DefaultIndex();
    ASSERT_EQ(Run("Standard Format"), ExportResult::Done);
    EXPECT_EQ(dialogs.windowQuestions, 3);
}

TEST_F(ExportRunTest, ThroughAChangeTable) {
    WriteFileBytes(dir.File("upper.ztt"), "\"dog\" > \"DOG\"\n");
    Process("Standard Format").changeTable = "upper.ztt";
    ASSERT_EQ(Run("Standard Format"), ExportResult::Done);
    // A text table's line ends are written as CR LF.
    EXPECT_NE(ReadFileBytes(dir.File("out.txt")).find("\\lx kelo\r\n\\ps n\r\n\\ge DOG\r\n"),
              std::string::npos);

    // RTF through a table: the markers it makes do not join the type, the temporary
    // file goes.
    WriteFileBytes(dir.File("mark.ztt"), "\"\\ps \" > \"\\zz \"\n");
    auto& rtf = dynamic_cast<CExportProcessRTF&>(Process("Rich Text Format"));
    rtf.changeTable = "mark.ztt";
    dialogs.output = dir.File("out.rtf");
    std::size_t markers = type->MarkerSet().Count();
    ASSERT_EQ(Run("Rich Text Format"), ExportResult::Done);
    std::string doc = ReadFileBytes(dir.File("out.rtf"));
    EXPECT_NE(doc.find(" zz;}"), std::string::npos);
    EXPECT_EQ(type->MarkerSet().Count(), markers);
    EXPECT_EQ(Others(), (std::vector<std::string>{"mark.ztt", "out.rtf", "out.txt", "upper.ztt"}));
}

TEST_F(ExportRunTest, FailuresLeaveTheOutputAlone) {
    WriteFileBytes(dir.File("out.txt"), "an earlier export");
    CExportProcess& sf = Process("Standard Format");
    auto& rtf = dynamic_cast<CExportProcessRTF&>(Process("Rich Text Format"));

    sf.changeTable = "missing.ztt";
    EXPECT_EQ(Run("Standard Format"), ExportResult::Failed);
    WriteFileBytes(dir.File("broken.ztt"), "\"a\" > \"b\n");
    sf.changeTable = "broken.ztt";
    EXPECT_EQ(Run("Standard Format"), ExportResult::Failed);
    rtf.documentTemplate = "missing.dot";
    EXPECT_EQ(Run("Rich Text Format"), ExportResult::Failed);
    std::vector<std::string> shown = rec.Messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], dir.File("missing.ztt") + "\nCannot find this Zentab table file.");
    EXPECT_EQ(shown[1], dir.File("broken.ztt") +
                            "\nThere are one or more syntax errors in this Zentab table file.");
    EXPECT_EQ(shown[2], dir.File("missing.dot") + "\nCannot find this Document Template file.");
    // The checks come before the output file is asked for.
    EXPECT_EQ(dialogs.requests.size(), 1u);
    rtf.documentTemplate.clear();
    sf.changeTable.clear();
    rec.Clear();

    // An output in a folder that does not exist, the database itself, a full disk.
    dialogs.output = dir.File("no/such/folder/out.txt");
    EXPECT_EQ(Run("Standard Format"), ExportResult::Failed);
    dialogs.output = dir.File("lexicon.db");
    EXPECT_EQ(Run("Standard Format"), ExportResult::Failed);
    dialogs.output = dir.File("out.txt");
    {
        FileSizeLimit full(60);
        EXPECT_EQ(Run("Standard Format"), ExportResult::Failed);
        EXPECT_EQ(Run("Rich Text Format"), ExportResult::Failed);
    }
    shown = rec.Messages();
    ASSERT_EQ(shown.size(), 4u);
    const std::string failed = "\nFailed to write this file.\n\nPlease check whether there is "
                               "enough disk space or whether it is also open in another program.";
    EXPECT_EQ(shown[0], dir.File("no/such/folder/out.txt") + failed);
    EXPECT_EQ(shown[1], dir.File("lexicon.db") + "\nThis is the database being exported. Please "
                                                 "choose another file for the export.");
    EXPECT_EQ(shown[2], dir.File("out.txt") + failed);
    EXPECT_EQ(shown[3], dir.File("out.txt") + failed);
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "an earlier export");
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.db")), kDatabase);
    EXPECT_EQ(Others(), (std::vector<std::string>{"broken.ztt", "out.txt"}));

    // Cancelling the progress display leaves no output either.
    rec.cancelProgressAt = 1;
    EXPECT_EQ(Run("Standard Format"), ExportResult::Cancelled);
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "an earlier export");
    EXPECT_TRUE(rec.Messages().size() == 4u);
}

TEST_F(ExportRunTest, AFieldTheTableMakesTooLargeStopsTheRtfExport) {
    // 20000 characters doubled by the table pass the field limit on the way back. The
    // message names the temporary file beside the one the output is written to.
    std::string big =
        "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n\\ge " + std::string(20000, 'q') + "\r\n";
    db = ReadDatabase(*type, dir.File("lexicon.db"), big);
    request.database = db.get();
    WriteFileBytes(dir.File("twice.ztt"), "\"q\" > \"qq\"\n");
    auto& rtf = dynamic_cast<CExportProcessRTF&>(Process("Rich Text Format"));
    rtf.changeTable = "twice.ztt";
    dialogs.output = dir.File("out.rtf");
    EXPECT_EQ(Run("Rich Text Format"), ExportResult::Failed);
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_EQ(rec.Messages()[0], dir.File("out1.tmp") +
                                     "\nPLX cannot open this temporary file because it contains "
                                     "a field more than 32000 characters in size.");
    EXPECT_EQ(Others(), std::vector<std::string>{"twice.ztt"});
    // Without the table a field near the limit is written whole: 31 lines of 1000.
    rtf.changeTable.clear();
    std::string lines;
    for (int i = 0; i < 31; ++i)
        lines += (i ? "\r\n" : "") + std::string(1000, 'y');
    db = ReadDatabase(*type, dir.File("lexicon.db"),
                      "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n\\ge " + lines + "\r\n");
    request.database = db.get();
    ASSERT_EQ(Run("Rich Text Format"), ExportResult::Done);
    std::string doc = ReadFileBytes(dir.File("out.rtf"));
    std::string body = doc.substr(doc.rfind("\\par}\n"));
    EXPECT_EQ(std::count(body.begin(), body.end(), 'y'), 31000);
}

TEST_F(ExportRunTest, PropertiesTemplateAndOpening) {
    CExportProcessSet& set = Exports(type);
    set.Options().showProperties = true;
    dialogs.propertiesOk = false;
    EXPECT_EQ(Run("Rich Text Format"), ExportResult::Cancelled);
    EXPECT_EQ(dialogs.propertiesShown, 1);
    EXPECT_TRUE(dialogs.requests.empty());
    dialogs.propertiesOk = true;

    // A template's styles are taken over where the markers' fonts are not used.
    WriteFileBytes(dir.File("book.dot"), "{\\rtf1{\\stylesheet{\\s1\\qc\\b Lexeme;}}}");
    auto& rtf = dynamic_cast<CExportProcessRTF&>(Process("Rich Text Format"));
    rtf.documentTemplate = "book.dot";
    set.Options().autoOpen = true;
    dialogs.output = dir.File("book"); // the extension is added
    ASSERT_EQ(Run("Rich Text Format"), ExportResult::Done);
    std::string doc = ReadFileBytes(dir.File("book.rtf"));
    EXPECT_NE(doc.find("{\\s6\\qc\\b\\f0\\fs20\\sbasedon0\\snext6 Lexeme;}"), std::string::npos)
        << doc;
    EXPECT_NE(doc.find("{\\*\\template " + dir.File("book.dot") + "}\\linkstyles\n"),
              std::string::npos);
    EXPECT_EQ(dialogs.opened, std::vector<std::string>{dir.File("book.rtf")});
    EXPECT_EQ(dialogs.requests.back().filter, "Rich Text Format (*.rtf)|*.rtf||");
    // With the markers' fonts the template is not attached.
    rtf.markerFont = true;
    dialogs.openOk = false;
    ASSERT_EQ(Run("Rich Text Format"), ExportResult::Done);
    EXPECT_EQ(ReadFileBytes(dir.File("book.rtf")).find("template"), std::string::npos);
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_EQ(rec.Messages()[0],
              dir.File("book.rtf") +
                  "\nFailed to automatically open this exported Rich Text Format file.\n\nIs its "
                  "type associated with a word processing program?\nIs it already open?");
}

} // namespace
} // namespace crv::test
