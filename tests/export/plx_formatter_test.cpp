// The dictionary formatter on a scratch copy of the sample project: its tables, its
// formatting type and its templates make real dictionaries and finderlists; the checks
// refuse before any file is written; temporary files never stay.
#include "export/plx_formatter.h"

#include <filesystem>

#include "export/export_process_set.h"
#include "export_test_support.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

class PlxTest : public ExportSettingsTest {
protected:
    PlxTest() {
        for (const auto& e : fs::directory_iterator(CORVANE_SAMPLE_DIR))
            fs::copy_file(e.path(), dir.Path() / e.path().filename());
        original = ReadFileBytes(dir.File("lexicon.db"));
        type = Load({});
        db = std::make_unique<CIndexSet>(*type);
        EXPECT_TRUE(db->ReadFile(dir.File("lexicon.db")).Ok());
        request.database = db.get();
        request.databasePath = dir.File("lexicon.db");
        request.settingsFolder = dir.Path().string();
        plx = dynamic_cast<CExportProcessPLX*>(Exports(type).Find("Polylex Formatter"));
        Exports(type).Options().showProperties = false;
        dialogs.output = dir.File("out/dictionary.rtf");
        fs::create_directory(dir.File("out"));
        rec.Clear();
    }
    ~PlxTest() override { db.reset(); }
    // The document of a run that must succeed.
    std::string Run() {
        EXPECT_EQ(RunExport(*plx, request, dialogs), ExportResult::Done);
        EXPECT_TRUE(rec.Messages().empty()) << rec.Messages()[0];
        // Nothing but the output is left in its folder; the database is untouched.
        std::vector<std::string> left;
        for (const auto& e : fs::directory_iterator(dir.File("out")))
            left.push_back(e.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"dictionary.rtf"});
        EXPECT_EQ(ReadFileBytes(dir.File("lexicon.db")), original);
        return ReadFileBytes(dir.File("out/dictionary.rtf"));
    }
    // A run that must fail with one message and leave no file.
    std::string Refused() {
        rec.Clear();
        EXPECT_EQ(RunExport(*plx, request, dialogs), ExportResult::Failed);
        EXPECT_TRUE(fs::is_empty(dir.File("out")));
        return rec.Messages().empty() ? std::string() : rec.Messages()[0];
    }
    // Whether the texts appear in doc in this order.
    static bool InOrder(const std::string& doc, const std::vector<std::string>& texts) {
        std::size_t at = 0;
        for (const std::string& t : texts) {
            at = doc.find(t, at);
            if (at == std::string::npos) {
                ADD_FAILURE() << "not found in order: " << t;
                return false;
            }
            at += t.size();
        }
        return true;
    }
    static int Count(const std::string& doc, const std::string& text) {
        int n = 0;
        for (std::size_t at = doc.find(text); at != std::string::npos; at = doc.find(text, at + 1))
            ++n;
        return n;
    }

    CDatabaseType* type;
    std::unique_ptr<CIndexSet> db;
    std::string original;
    CExportProcessPLX* plx;
    ExportRequest request;
    ScriptedExportDialogs dialogs;
};

TEST_F(PlxTest, ADiglotDictionaryFromTheSample) {
    std::size_t markers = type->MarkerSet().Count();
    std::string doc = Run();
    std::vector<std::string> passes;
    for (const std::string& t : rec.ProgressTexts())
        if (!t.starts_with("Indexing by") && !t.starts_with("Sorting by"))
            passes.push_back(t);
    EXPECT_EQ(passes,
              (std::vector<std::string>{"Selecting fields from " + dir.File("lexicon.db"),
                                        "Sorting lexical entries", "Formatting lexical entries",
                                        "Exporting as " + dir.File("out/dictionary.rtf")}));
    // Letters and headwords in the vernacular's order; each letter heading once.
    EXPECT_TRUE(
        InOrder(doc, {"A  -  a",     "\\u225?mi", "\\u225?po", "E  -  e",     "\\u233?ko",
                      "K  -  k",     "kelo",      "-ko",       "kuru",        "N  -  n",
                      "-ne",         "-ni",       "nyara",     "NG  -  ng",   "nga{",
                      "1}",          "nga{",      "2}",        "ng\\u225?ri", "T  -  t",
                      "t\\u233?ngo", "TS  -  ts", "tsaloni",   "W  -  w",     "w\\u225?na"}));
    for (const char* letter : {"A  -  a", "K  -  k", "NG  -  ng", "TS  -  ts"})
        EXPECT_EQ(Count(doc, letter), 1) << letter;
    // English glosses with their full stops, labels of the English audience, no
    // national glosses, no dates; the total at the end.
    EXPECT_TRUE(InOrder(doc, {"dog.", "pron.", "I, me."}));
    EXPECT_EQ(doc.find("kifi"), std::string::npos);
    EXPECT_EQ(doc.find("2023"), std::string::npos);
    EXPECT_NE(doc.find("Total entries: 32}"), std::string::npos);
    // Running heads of the first and last headword, the title and date in the footers.
    EXPECT_NE(doc.find("STYLEREF \"Headword\"}}\\tab\\tab {\\field{\\*\\fldinst STYLEREF "
                       "\"Headword\" \\\\l}}"),
              std::string::npos);
    EXPECT_NE(doc.find("Tsaloni \\u8212? English Dictionary\\tab {\\field{\\*\\fldinst DATE}}"),
              std::string::npos);
    EXPECT_NE(doc.find("\\cols2\n\\colsx360\n"), std::string::npos);
    // The lexicon's type gains no markers from the passes.
    EXPECT_EQ(type->MarkerSet().Count(), markers);
    EXPECT_EQ(plx->Exported(), dir.File("out/dictionary.rtf"));
}

TEST_F(PlxTest, TriglotAndFinderlists) {
    plx->format = PlxFormat::Triglot;
    std::string doc = Run();
    EXPECT_TRUE(InOrder(doc, {"kelo", "dog.", "kare."}));
    EXPECT_NE(doc.find("Tsaloni \\u8212? English \\u8212? Hausa Dictionary"), std::string::npos);

    plx->format = PlxFormat::Finderlist;
    doc = Run();
    // Every part of a gloss is a reversal, sorted in English; the headword follows.
    EXPECT_TRUE(InOrder(doc, {"A  -  a",   "at",         "-ne",         "F  -  f", "father",
                              "\\u225?po", "fish",       "nga{",        "2}",      "G  -  g",
                              "give",      "go on foot", "tsum\\u225?", "I  -  i", "I}",
                              "nga{",      "1}",         "M  -  m",     "me}",     "nga{"}));
    EXPECT_NE(doc.find("STYLEREF \"Reversal (English)\""), std::string::npos);

    // The national finderlist: Hausa reversals, the hooked letter its own heading.
    plx->audience = PlxAudience::National;
    doc = Run();
    EXPECT_TRUE(InOrder(doc, {"K  -  k", "kare", "kelo", "kifi", "kogi", "\\u408?  -  \\u409?",
                              "\\u409?arami", "ts\\u237?le", "M  -  m"}));
    EXPECT_NE(doc.find("Jimilla: "), std::string::npos);
    EXPECT_NE(doc.find("Hausa \\u8212? Tsaloni"), std::string::npos);
}

TEST_F(PlxTest, ChecksRefuseBeforeAnyFileIsWritten) {
    const std::string folder = dir.Path().string();
    // A finderlist whose reversal and gloss are in different encodings.
    plx->format = PlxFormat::Finderlist;
    CMarker* re = type->MarkerSet().Search("re");
    CLangEnc* english = re->LangEnc();
    re->SetLangEnc(type->MarkerSet().Search("lx")->LangEnc());
    EXPECT_EQ(Refused(), "PLX can't sort a reversed index (finderlist) when the \\re Reversal and "
                         "\\ge Gloss markers have different language encodings.\n\nChoose "
                         "Database, Properties and Modify these markers to select the same "
                         "language encoding for both of them.");
    re->SetLangEnc(english);
    // A missing second table, a missing template, a missing formatting type.
    fs::remove(dir.File("plxlist2.ztt"));
    EXPECT_EQ(Refused(), dir.File("plxlist2.ztt") +
                             "\nPLX cannot find the second change table file.\n\nYou may need to "
                             "copy it from the PLX folder (that's in the Corvane folder) to your "
                             "project's folder:\n" +
                             folder);
    plx->format = PlxFormat::Diglot;
    plx->templates[0] = "missing.dot";
    EXPECT_EQ(Refused(), dir.File("missing.dot") +
                             "\nPLX cannot find the document template file.\n\nTo select a "
                             "different template, choose Audience Setup in the PLX dialog box. "
                             "You may need to copy the file from the PLX folder (that's in the "
                             "Corvane folder) to your project's folder:\n" +
                             folder);
    plx->templates[0] = "plx_e.dot";
    plx->rtfType = "PLX RTF";
    EXPECT_EQ(Refused(), "PLX RTF\nPLX cannot find this database type. It contains some markers "
                         "that are used only for formatting.\n\nYou may need to copy the "
                         "plx_rtf.typ file from the PLX folder (that's in the Corvane folder) to "
                         "your project's folder:\n" +
                             folder);
    plx->rtfType = "PLX Rich Text Format";
    // A sort marker the type does not have.
    plx->includeLexemeWithCitationForm = true;
    EXPECT_EQ(Refused(), "PLX sorts the entries for this audience and format by the \\lc field, "
                         "but that marker is not defined in the database type:\nLexicon");
    plx->includeLexemeWithCitationForm = false;
    // A first table that does not compile stops the first pass; nothing stays.
    WriteFileBytes(dir.File("plxdict1.ztt"), "\"a > \"b\"\n");
    EXPECT_EQ(Refused(), dir.File("plxdict1.ztt") + "\nThere are one or more syntax errors in "
                                                    "this Zentab table file that PLX uses.");
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.db")), original);
}

TEST_F(PlxTest, ALexiconWhoseRecordMarkerIsNotLx) {
    CDatabaseType* text = types->Find("Text");
    ASSERT_TRUE(text);
    auto texts = std::make_unique<CIndexSet>(*text);
    ASSERT_TRUE(texts->ReadFile(dir.File("texts.db")).Ok());
    request.database = texts.get();
    EXPECT_EQ(Refused(), "This database's record marker is \\id, but PLX expects it to be \\lx.\n\n"
                         "If this database doesn't use PLX's set of markers for lexical data, "
                         "choose Database, Properties and uncheck the Polylex Formatter box on "
                         "the Options tab.");
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(PlxTest, AnOlderFormattingTypeAsksForNewSettingsFiles) {
    std::string typ = ReadFileBytes(dir.File("plx_rtf.typ"));
    typ.replace(typ.find("\\ver 4.0"), 8, "\\ver 3.0");
    WriteFileBytes(dir.File("plx_rtf.typ"), typ);
    db.reset();
    type = Load({});
    db = std::make_unique<CIndexSet>(*type);
    ASSERT_TRUE(db->ReadFile(dir.File("lexicon.db")).Ok());
    request.database = db.get();
    plx = dynamic_cast<CExportProcessPLX*>(Exports(type).Find("Polylex Formatter"));
    EXPECT_EQ(Refused(), "PLX in Corvane 4.0 requires new versions of its settings files. For "
                         "detailed instructions, see the PLXNOTES.TXT file in the PLX folder\n\n"
                         "You need to exit Corvane and copy PLX_RTF.TYP, PLX*.ZTT, and PLX*.DOT "
                         "from the PLX folder to your project folder:\n" +
                             dir.Path().string());
}

TEST_F(PlxTest, SortSequencesFromTheHierarchy) {
    CMarkerSet& m = type->MarkerSet();
    CMarker* lx = m.Search("lx");
    CMarker* se = m.Search("se");
    CMarker* sn = m.Search("sn");
    CMarker* ps = m.Search("ps");
    // The sample: se and sn side by side under lx is no chain.
    EXPECT_EQ(SortSequenceOf(*type).name, "se_ps_sn");
    auto chain = [&](CMarker* a, CMarker* b, CMarker* c) {
        for (CMarker* x : {a, b, c})
            x->SetParent(lx);
        b->SetParent(a);
        c->SetParent(b);
        return SortSequenceOf(*type);
    };
    EXPECT_EQ(chain(se, sn, ps).name, "se_sn_ps");
    EXPECT_EQ(chain(se, sn, ps).markers, (std::vector<std::string>{"se", "sn", "ps"}));
    EXPECT_EQ(chain(sn, se, ps).name, "sn_se_ps");
    EXPECT_EQ(chain(sn, ps, se).name, "sn_ps_se");
    EXPECT_EQ(chain(ps, se, sn).name, "ps_se_sn");
    EXPECT_EQ(chain(ps, sn, se).name, "ps_sn_se");
    EXPECT_EQ(chain(se, ps, sn).name, "se_ps_sn");
    EXPECT_EQ(chain(se, ps, sn).markers, (std::vector<std::string>{"se", "ps", "sn"}));
}

TEST_F(PlxTest, LetterHeadingsByPrimaryGroup) {
    const CSortOrder* order = type->MarkerSet().Search("lx")->LangEnc()->DefaultSortOrder();
    auto heading = [&](const std::string& text, int& letter) {
        std::string key;
        order->MakeKey(text, key, 100, false);
        return LetterHeading(*order, key, letter);
    };
    int a = 0, b = 0;
    EXPECT_EQ(heading("ámi", a), "A  -  a");
    EXPECT_EQ(heading("apo", b), "A  -  a");
    EXPECT_EQ(a, b); // one letter for a and á
    EXPECT_EQ(heading("ngári", a), "NG  -  ng");
    EXPECT_EQ(heading("-ko", a), "K  -  k"); // the ignored hyphen is passed over
    EXPECT_EQ(heading("", a), "");
    EXPECT_EQ(a, 0);
}

} // namespace
} // namespace crv::test
