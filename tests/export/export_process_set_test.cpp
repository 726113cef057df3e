// Export sets inside database type files: the written form, defaults, the older
// single-process keys, names, and entries this version does not know.
#include "export/export_process_set.h"

#include <filesystem>

#include "export/plx_process.h"
#include "export_test_support.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

const std::string kDefaultPage = "\\+rtfPageSetup\r\n\\paperSize letter\r\n\\topMargin 1\r\n"
                                 "\\bottomMargin 1\r\n\\leftMargin 1.250\r\n"
                                 "\\rightMargin 1.250\r\n\\gutter 0\r\n\\headerToEdge 0.5\r\n"
                                 "\\footerToEdge 0.5\r\n\\columns 1\r\n\\columnSpacing 0.5\r\n"
                                 "\\-rtfPageSetup\r\n";

using Kind = CExportProcess::Kind;

class ExportSetTest : public ExportSettingsTest {};

TEST_F(ExportSetTest, ANewTypeHasTheTwoProcessesAndWritesThem) {
    CDatabaseType* type = Load(LexiconTypeText());
    ASSERT_TRUE(type);
    CExportProcessSet& set = Exports(type);
    ASSERT_EQ(set.Processes().Count(), 2u);
    EXPECT_EQ(set.Find("Standard Format")->GetKind(), Kind::StandardFormat);
    EXPECT_EQ(set.Find("Rich Text Format")->GetKind(), Kind::RichText);
    EXPECT_EQ(set.DefaultProcess()->Name(), "Standard Format");
    EXPECT_FALSE(type->IsModified());
    ASSERT_TRUE(types->Write(*type));
    std::string written = ReadFileBytes(dir.File("lexicon.typ"));
    std::string expected =
        LexiconTypeText("\\+expset\r\n\\+expRTF Rich Text Format\r\n" + kDefaultPage +
                        "\\-expRTF\r\n\\+expSF Standard Format\r\n"
                        "\\-expSF\r\n\\-expset\r\n");
    EXPECT_EQ(written, expected);
    // Read again, it is written the same.
    type = Load({});
    ASSERT_TRUE(types->Write(*type));
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.typ")), expected);
}

TEST_F(ExportSetTest, EverySettingReadsBackAndMissingProcessesAreMade) {
    std::string text = LexiconTypeText(
        "\\+expset\r\n"
        "\\+expRTF Dictionary pages\r\n\\PriKeyFieldFirst\r\n\\zttFile out.ztt\r\n"
        "\\dotFile pages.dot\r\n\\exportedFile /tmp/lexicon.rtf\r\n\\MarkerFont\r\n"
        "\\InterlinearTabAligned\r\n\\InterlinearSpacing 50\r\n"
        "\\+mkrsubsetExcluded\r\n\\mkr dt\r\n\\mkr xv\r\n\\-mkrsubsetExcluded\r\n" +
        kDefaultPage +
        "\\-expRTF\r\n"
        "\\+expRTF Plain\r\n\\InterlinearSpacing 200\r\n\\-expRTF\r\n"
        "\\+expSF\r\n\\+mkrsubsetIncluded\r\n\\mkr ge\r\n\\-mkrsubsetIncluded\r\n\\-expSF\r\n"
        "\\expDefault Dictionary pages\r\n\\CurrentWindow\r\n\\AutoOpen\r\n"
        "\\NotAutoUpdateStyles\r\n\\SkipProperties\r\n\\NoPLXReminder\r\n\\-expset\r\n");
    CExportProcessSet& set = Exports(Load(text));
    EXPECT_TRUE(rec.Messages().empty());
    // A process without a name is named by its kind; the RTF one was missing.
    ASSERT_EQ(set.Processes().Count(), 4u);
    auto* pages = dynamic_cast<CExportProcessRTF*>(set.Find("Dictionary pages"));
    ASSERT_TRUE(pages);
    EXPECT_TRUE(pages->priKeyFieldFirst);
    EXPECT_EQ(pages->changeTable, "out.ztt");
    EXPECT_EQ(pages->documentTemplate, "pages.dot");
    EXPECT_EQ(pages->exportedFile, "/tmp/lexicon.rtf");
    EXPECT_TRUE(pages->markerFont);
    EXPECT_EQ(pages->spacing, 120); // out of range with tab alignment on
    const CMarkerSet& markers = set.Markers();
    EXPECT_FALSE(pages->Fields().IncludesMarker(markers.Search("dt")));
    EXPECT_TRUE(pages->Fields().IncludesMarker(markers.Search("ge")));
    EXPECT_EQ(dynamic_cast<CExportProcessRTF*>(set.Find("Plain"))->spacing, 0); // not aligned
    CExportProcess* sf = set.Find("Standard Format");
    ASSERT_TRUE(sf);
    EXPECT_TRUE(sf->Fields().IncludesMarker(markers.Search("ge")));
    EXPECT_FALSE(sf->Fields().IncludesMarker(markers.Search("ps")));
    // The record marker is always exported.
    EXPECT_TRUE(sf->Fields().IncludesMarker(markers.Search("lx")));
    ASSERT_TRUE(set.Find("Rich Text Format"));
    EXPECT_EQ(set.DefaultProcess(), pages);
    const ExportOptions& o = set.Options();
    EXPECT_TRUE(!o.currentRecord && o.currentWindow && o.autoOpen && !o.autoUpdateStyles &&
                !o.showProperties && o.noDictionaryReminder);

    // Written in name order; read back it is written the same.
    CDatabaseType* type = types->Find("Lexicon");
    ASSERT_TRUE(types->Write(*type));
    std::string once = ReadFileBytes(dir.File("lexicon.typ"));
    EXPECT_NE(once.find("\\+expRTF Dictionary pages\r\n\\PriKeyFieldFirst\r\n\\zttFile out.ztt\r\n"
                        "\\dotFile pages.dot\r\n\\exportedFile /tmp/lexicon.rtf\r\n"
                        "\\MarkerFont\r\n\\InterlinearTabAligned\r\n"
                        "\\InterlinearSpacing 120\r\n\\+mkrsubsetExcluded\r\n"),
              std::string::npos)
        << once;
    Load({});
    ASSERT_TRUE(types->Write(*types->Find("Lexicon")));
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.typ")), once);
}

TEST_F(ExportSetTest, UnknownEntriesSurviveALoadAndASave) {
    std::string text = LexiconTypeText(
        "\\+expset\r\n"
        "\\+expRTF Rich Text Format\r\n\\+rtfPageSetup\r\n\\paperSize A4\r\n"
        "\\bleed 3\r\n\\-rtfPageSetup\r\n\\Watermark draft\r\n\\+expFuture\r\n\\a 1\r\n"
        "\\-expFuture\r\n\\-expRTF\r\n"
        "\\+expSF Standard Format\r\n\\Encoding utf-8\r\n\\-expSF\r\n"
        "\\+expXML Newer kind\r\n\\root lexicon\r\n\\-expXML\r\n"
        "\\ExportPreview\r\n\\-expset\r\n");
    CDatabaseType* type = Load(text);
    ASSERT_TRUE(types->Write(*type));
    std::string once = ReadFileBytes(dir.File("lexicon.typ"));
    for (const char* kept : {"\\bleed 3\r\n\\-rtfPageSetup\r\n",
                             "\\Watermark draft\r\n\\+expFuture\r\n\\a 1\r\n\\-expFuture\r\n"
                             "\\-expRTF\r\n",
                             "\\Encoding utf-8\r\n\\-expSF\r\n",
                             "\\+expXML Newer kind\r\n\\root lexicon\r\n\\-expXML\r\n",
                             "\\ExportPreview\r\n\\-expset\r\n"})
        EXPECT_NE(once.find(kept), std::string::npos) << kept << "\n" << once;
    Load({});
    ASSERT_TRUE(types->Write(*types->Find("Lexicon")));
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.typ")), once);
}

TEST_F(ExportSetTest, OlderSingleProcessKeysBecomeProcesses) {
    std::string older =
        "\\CurrentRecord\r\n\\+mrfsetExportFieldsExcluded\r\n\\mkr dt\r\n"
        "\\-mrfsetExportFieldsExcluded\r\n\\MakeChangesExportSF\r\n\\zttExportSF sf.ztt\r\n"
        "\\IncludeFormatting\r\n\\+rtfPageSetup\r\n\\paperSize legal\r\n\\-rtfPageSetup\r\n"
        "\\ExportRTF\r\n";
    CExportProcessSet& set = Exports(Load(LexiconTypeText(older)));
    CDatabaseType* type = types->Find("Lexicon");
    EXPECT_TRUE(type->Carried().olderExportKeys.empty());
    auto* sf = set.Find("Standard Format");
    auto* rtf = dynamic_cast<CExportProcessRTF*>(set.Find("Rich Text Format"));
    ASSERT_TRUE(sf && rtf);
    EXPECT_EQ(sf->changeTable, "sf.ztt");
    const CMarker* dt = set.Markers().Search("dt");
    EXPECT_FALSE(sf->Fields().IncludesMarker(dt));
    EXPECT_FALSE(rtf->Fields().IncludesMarker(dt));
    EXPECT_TRUE(rtf->markerFont);
    EXPECT_EQ(rtf->pageSetup.paper, PaperSize::Legal);
    EXPECT_TRUE(set.Options().currentRecord);
    EXPECT_EQ(set.DefaultProcess(), rtf);
    ASSERT_TRUE(types->Write(*type));
    std::string written = ReadFileBytes(dir.File("lexicon.typ"));
    EXPECT_EQ(written.find("MakeChangesExportSF"), std::string::npos);
    EXPECT_NE(written.find("\\expDefault Rich Text Format\r\n\\CurrentRecord\r\n"),
              std::string::npos);

    // A table named but switched off stays with the process; the dictionary formatter
    // object becomes the default process when asked for.
    Load(LexiconTypeText("\\zttExportSF unused.ztt\r\n\\+expPLX\r\n\\National\r\n"
                         "\\-expPLX\r\n\\ExportPLX\r\n\\ExportRTF\r\n"));
    CExportProcessSet& again = Exports(types->Find("Lexicon"));
    EXPECT_EQ(again.Find("Standard Format")->changeTable, "");
    auto* plx = dynamic_cast<CExportProcessPLX*>(again.Find("Polylex Formatter"));
    ASSERT_TRUE(plx);
    EXPECT_EQ(plx->audience, PlxAudience::National);
    EXPECT_TRUE(again.HasDictionaryFormatter());
    EXPECT_EQ(again.DefaultProcess(), plx);
    ASSERT_TRUE(types->Write(*types->Find("Lexicon")));
    written = ReadFileBytes(dir.File("lexicon.typ"));
    EXPECT_NE(written.find("\\+expSF Standard Format\r\n\\zttExportSF unused.ztt\r\n\\-expSF"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("\\PLX\r\n"), std::string::npos);
}

TEST_F(ExportSetTest, NamesAddCopyRenameDelete) {
    CExportProcessSet& set = Exports(Load(LexiconTypeText()));
    std::string message;
    EXPECT_FALSE(set.CheckName("", nullptr, message));
    EXPECT_EQ(message, "Please give this export process a name.");
    EXPECT_FALSE(set.CheckName("Standard Format", nullptr, message));
    EXPECT_EQ(message, "Standard Format\nAnother export process already has this name.\n\n"
                       "Please give this export process a different name.");
    CExportProcess* sf = set.Find("Standard Format");
    EXPECT_TRUE(set.CheckName("Standard Format", sf, message));

    sf->changeTable = "a.ztt";
    CExportProcess* copy = set.Copy(*sf);
    EXPECT_EQ(copy->Name(), "Standard Format2");
    EXPECT_EQ(copy->changeTable, "a.ztt");
    EXPECT_TRUE(set.IsModified());
    set.SetDefaultProcess(copy);
    ASSERT_TRUE(set.Rename(copy, "Subset", message));
    EXPECT_EQ(set.DefaultProcess(), copy);
    EXPECT_FALSE(set.Rename(copy, "Rich Text Format", message));

    rec.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(set.Delete(copy));
    EXPECT_TRUE(set.Delete(copy));
    EXPECT_EQ(rec.Questions()[0], "Subset\n\nDo you want to delete this export process?");
    EXPECT_EQ(set.Processes().Count(), 2u);
    EXPECT_EQ(set.DefaultProcess(), sf);

    // The type's check box adds the formatter with its excluded fields, and removes it.
    set.SetDictionaryFormatter(true);
    auto* plx = dynamic_cast<CExportProcessPLX*>(set.Find("Polylex Formatter"));
    ASSERT_TRUE(plx);
    EXPECT_FALSE(plx->Fields().IncludesMarker(set.Markers().Search("dt")));
    EXPECT_TRUE(plx->Fields().IncludesMarker(set.Markers().Search("ge")));
    set.SetDictionaryFormatter(false);
    EXPECT_FALSE(set.HasDictionaryFormatter());
}

TEST_F(ExportSetTest, DictionaryFormatterSettingsReadBack) {
    CExportProcessSet& set = Exports(Load(LexiconTypeText()));
    set.SetDictionaryFormatter(true);
    auto* plx = dynamic_cast<CExportProcessPLX*>(set.Find("Polylex Formatter"));
    EXPECT_EQ(plx->Title(), "vernacular \x97 English Dictionary");
    plx->audience = PlxAudience::National;
    plx->format = PlxFormat::Finderlist;
    EXPECT_EQ(plx->Title(), "national \x97 vernacular");
    plx->Exported() = "/tmp/finder.rtf";
    plx->sortAlsoBySenses = false;
    plx->includeExamples = false;
    plx->showDate = false;
    plx->pageSetup.columns = 1;
    CDatabaseType* type = types->Find("Lexicon");
    ASSERT_TRUE(types->Write(*type));
    std::string once = ReadFileBytes(dir.File("lexicon.typ"));
    EXPECT_NE(once.find("\\+expPLX Polylex Formatter\r\n\\ver 4.0\r\n\\National\r\n"
                        "\\Finderlist\r\n\\titleEnglishDiglot vernacular \x97 English "
                        "Dictionary\r\n"),
              std::string::npos)
        << once;
    EXPECT_NE(once.find("\\exportedNationalFinderlist /tmp/finder.rtf\r\n"
                        "\\zttEnglishLabels plx_eng.ztt\r\n\\zttNationalLabels plx_inz.ztt\r\n"
                        "\\dotEnglish plx_e.dot\r\n\\dotNational plx_n.dot\r\n"
                        "\\SortOnlyByLexeme\r\n\\ExcludeExamples\r\n\\SingleColumn\r\n"
                        "\\NoDate\r\n\\typRTF PLX Rich Text Format\r\n"
                        "\\+mkrsubsetExcluded\r\n\\mkr dt\r\n\\-mkrsubsetExcluded\r\n"),
              std::string::npos)
        << once;
    EXPECT_NE(once.find("\\PLX\r\n"), std::string::npos);
    auto* back = dynamic_cast<CExportProcessPLX*>(Exports(Load({})).Find("Polylex Formatter"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->audience, PlxAudience::National);
    EXPECT_EQ(back->format, PlxFormat::Finderlist);
    EXPECT_FALSE(back->sortAlsoBySenses || back->includeExamples || back->showDate);
    EXPECT_TRUE(back->includeNotes && back->showHeader && back->showTotal);
    EXPECT_EQ(back->pageSetup.columns, 1);
    ASSERT_TRUE(types->Write(*types->Find("Lexicon")));
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.typ")), once);
}

TEST_F(ExportSetTest, DamagedTypesReadBackAsTheyWereWritten) {
    // The fuzzing seeds: a stray end line and the set's own entries among older keys, an
    // empty title, two page setups in one process, page setup values kept in their order
    // among unknown entries, the end line of the set or a process inside an unknown object
    // of a process (in the set and in the older form). Written once, a type reads back to
    // the same bytes.
    int seeds = 0;
    for (const auto& e : std::filesystem::directory_iterator(CORVANE_EXPORT_SEEDS)) {
        ++seeds;
        std::string text = "\\+DatabaseType Lexicon\r\n" + ReadFileBytes(e.path().string());
        rec.texts = {std::string("lx"), std::string("lx")};
        CDatabaseType* type = Load(text);
        ASSERT_TRUE(type) << e.path();
        ASSERT_TRUE(types->Write(*type));
        std::string once = ReadFileBytes(dir.File("lexicon.typ"));
        ASSERT_TRUE(Load({}));
        ASSERT_TRUE(types->Write(*types->Find("Lexicon")));
        EXPECT_EQ(ReadFileBytes(dir.File("lexicon.typ")), once) << e.path();
        rec.Clear();
    }
    EXPECT_GE(seeds, 10);
}

} // namespace
} // namespace crv::test
