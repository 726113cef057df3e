// The RTF writer: the document's bytes, styles from markers, text escapes and markups,
// headers and footers, interlinear alignment, templates and sections.
#include "export/rtf_writer.h"

#include "export/rtf_text.h"
#include "schema/lang_enc.h"
#include "schema/marker_test_support.h"

namespace crv::test {
namespace {

class RtfWriterTest : public MarkerTest {
protected:
    RtfWriterTest() {
        lx = Make("lx", "Lexeme");
        set.SetRecordMarker(lx);
        ge = Make("ge", "Gloss");
    }
    // The document written from records with settings.
    std::string Export(RtfDocumentSettings settings = {}) {
        std::string out;
        StringSink sink(out);
        RtfWriter writer(sink, set, std::move(settings));
        WriteRecords(writer, records);
        EXPECT_TRUE(writer.Finish());
        return out;
    }
    // The body: what follows the last footer.
    static std::string Body(const std::string& doc) {
        std::size_t at = doc.rfind("\\par}\n");
        return at == std::string::npos ? doc : doc.substr(at + 6);
    }
    CMarker* lx;
    CMarker* ge;
};

TEST_F(RtfWriterTest, TheWholeDocumentOfAPlainExport) {
    AddRecord(records, {{lx, "nga"}, {ge, "fish {big}"}});
    AddRecord(records, {{lx, "kelo"}});
    std::string doc = Export();
    EXPECT_EQ(doc,
              "{\\rtf1\\ansi\\deff0\\deflang1033\n"
              "{\\fonttbl\n{\\f0 Times New Roman;}\n}\n"
              "{\\stylesheet\n"
              "{\\f0\\fs20\\snext0 Normal;}\n"
              "{\\*\\cs1 \\additive Default Paragraph Font;}\n"
              "{\\s2\\tqc\\tx4320\\tqr\\tx8640\\f0\\fs20\\sbasedon0\\snext2 header;}\n"
              "{\\s3\\tqc\\tx4320\\tqr\\tx8640\\f0\\fs20\\sbasedon0\\snext3 footer;}\n"
              "{\\s4\\f0\\fs20\\sbasedon0\\snext4 footnote text;}\n"
              "{\\*\\cs5 \\additive\\super\\sbasedon1 footnote reference;}\n"
              "{\\s6\\f0\\fs20\\sbasedon0\\snext6 Lexeme;}\n"
              "{\\s7\\f0\\fs20\\sbasedon0\\snext7 Gloss;}\n"
              "}\n"
              "\\paperw12240\\paperh15840\\margl1800\\margr1800\\margt1440\\margb1440\\facingp\n"
              "\\ftnbj\\ftnnalc\n"
              "\\sectd\\sbknone\n\\cols1\n\\colsx720\n\\headery720\n\\footery720\n"
              // Empty header texts: no headers, but both footers with the page number.
              "{\\footerl \\pard\\plain\\s3\\tqc\\tx4320\\tqr\\tx8640\\f0\\fs20 "
              "{\\field{\\*\\fldinst PAGE}}\\tab \\tab \\par}\n"
              "{\\footerr \\pard\\plain\\s3\\tqc\\tx4320\\tqr\\tx8640\\f0\\fs20 "
              "\\tab \\tab {\\field{\\*\\fldinst PAGE}}\\par}\n"
              "\\pard\\plain\\s6\\f0\\fs20 nga\n"
              "\\par \\pard\\plain\\s7\\f0\\fs20 fish \\{big\\}\n"
              "\\par \\pard\\plain\\s6\\f0\\fs20 kelo}");
}

TEST_F(RtfWriterTest, StyleNamesAndFormattingComeFromTheMarkers) {
    CMarker* star = Make("zz", "*");
    // The set refuses \ { } ; in field names; a colon is what is left to clean.
    CMarker* odd = Make("od", "Odd name: with:: marks");
    CMarker* empty = Make("em", ":");
    CMarker* again = Make("ag", "normal");
    CMarker* ps = Make("ps", "Part of speech");
    ps->SetCharStyle(true);
    CFontDef bold;
    bold.face = "Charis SIL";
    bold.height = -21; // 2 x trunc(64 / 4) = 32 half-points
    bold.weight = 700;
    bold.italic = true;
    ps->SetFont(bold);
    AddRecord(records, {{lx, "a"}, {ps, "n"}, {star, "b"}, {odd, "c"}, {empty, "d"}, {again, "e"}});
    RtfDocumentSettings settings;
    settings.markerFonts = true;
    std::string doc = Export(settings);
    // The record marker's encoding font (Times New Roman, 12 points) is font 0.
    EXPECT_NE(doc.find("{\\f0 Times New Roman;}\n{\\f1 Charis SIL;}\n"), std::string::npos);
    EXPECT_NE(doc.find("{\\s6\\f0\\fs24\\sbasedon0\\snext6 Lexeme;}\n"
                       "{\\*\\cs7 \\additive\\b\\i\\f1\\fs32\\sbasedon1 Part of speech;}\n"
                       "{\\s8\\f0\\fs24\\sbasedon0\\snext8 zz;}\n"
                       "{\\s9\\f0\\fs24\\sbasedon0\\snext9 Odd name with marks;}\n"
                       "{\\s10\\f0\\fs24\\sbasedon0\\snext10 Unnamed;}\n"
                       "{\\s11\\f0\\fs24\\sbasedon0\\snext11 normal2;}\n"),
              std::string::npos)
        << doc;
    // A character-style field runs on in the paragraph, a space before it.
    EXPECT_NE(doc.find("\\pard\\plain\\s6\\f0\\fs24 a {\\cs7\\b\\i\\f1\\fs32 n}\n\\par "),
              std::string::npos);
}

TEST_F(RtfWriterTest, EveryByteAndCharacterSurvives) {
    std::string legacy = "caf\xe9 \x01\x1f\x7f\ttab";
    std::string utf8 = "\xc6\x99"
                       "a\xc9\x97 \xe2\x80\x94 \xf0\x9d\x84\x9e"; // ƙaɗ — 𝄞
    AddRecord(records, {{lx, legacy}, {ge, utf8}});
    std::string body = Body(Export());
    EXPECT_EQ(body, "\\pard\\plain\\s6\\f0\\fs20 caf\\'e9 \\'01\\'1f\\'7f\\tab tab\n"
                    "\\par \\pard\\plain\\s7\\f0\\fs20 \\u409?a\\u599? \\u8212? "
                    "\\u-10188?\\u-8930?}");
    // One bad byte makes the field legacy: nothing is guessed.
    EXPECT_FALSE(IsValidUtf8("\xc6\x99\xff"));
    // An encoding marked UTF-8 keeps the characters around a stray byte.
    EXPECT_FALSE(TextIsUtf8(ge, "\xc3\xa9\xff"));
    ASSERT_NE(ge->LangEnc(), nullptr);
    ge->LangEnc()->SetUtf8(true);
    EXPECT_TRUE(TextIsUtf8(ge, "\xc3\xa9\xff"));
    std::string out;
    AppendRtfText(out, "\xc3\xa9\xff", true);
    EXPECT_EQ(out, "\\u233?\\'ff");
}

TEST_F(RtfWriterTest, MarkupsInFieldText) {
    CMarker* ps = Make("ps", "Part of speech");
    ps->SetCharStyle(true);
    AddRecord(records, {{lx, "a|{b}bold|{b0} x|{~}y |{li-360}z"},
                        {ge, "see |ps{n.} and|*f{a |ps{note}} end"},
                        {ge, "left | alone |{B} |nomarker{x} |ps{open"}});
    std::string body = Body(Export());
    EXPECT_EQ(body, "\\pard\\plain\\s6\\f0\\fs20 a\\b bold\\b0  x\\~y \\li-360 z\n"
                    "\\par \\pard\\plain\\s7\\f0\\fs20 see {\\cs8\\f0\\fs20 n.} and"
                    "{\\cs5\\super\\chftn}{\\*\\footnote \\pard\\plain\\s4\\f0\\fs20 "
                    "{\\cs5\\super\\chftn} a {\\cs8\\f0\\fs20 note}} end\n"
                    "\\par \\pard\\plain\\s7\\f0\\fs20 left | alone |\\{B\\} |nomarker\\{x\\} "
                    "|ps\\{open}");
}

TEST_F(RtfWriterTest, HeadersFootersAndPageSetup) {
    AddRecord(records, {{lx, "a"}});
    RtfDocumentSettings s;
    s.page = CRtfPageSetup::DictionaryDefault();
    s.page.mirrorMargins = true;
    s.page.lineBetweenColumns = true;
    s.templatePath = "C:\\dict\\plx_e.dot";
    s.headerLeft = "{STYLEREF \"Lexeme\"}";
    s.headerRight = "{STYLEREF \"Lexeme\" \\l}";
    s.footerText = "Tsaloni \x97 English";
    s.showDate = true;
    std::string doc = Export(s);
    EXPECT_NE(doc.find("\\paperw12240\\paperh15840\\margl1080\\margr1080\\margt1080\\margb1800"
                       "\\facingp\\gutter720\\margmirror\n\\ftnbj\\ftnnalc\n"
                       "{\\*\\template C:\\\\dict\\\\plx_e.dot}\\linkstyles\n"
                       "\\sectd\\sbknone\n\\cols2\n\\colsx360\n\\linebetcol\n\\headery540\n"
                       "\\footery1260\n"),
              std::string::npos)
        << doc;
    // Text width 12240 - 2 x 1080 - 720 = 9360 for the tab stops of the page-wide lines.
    std::string head = "\\pard\\plain\\s2\\tqc\\tx4680\\tqr\\tx9360\\f0\\fs20 "
                       "{\\field{\\*\\fldinst STYLEREF \"Lexeme\"}}\\tab\\tab "
                       "{\\field{\\*\\fldinst STYLEREF \"Lexeme\" \\\\l}}\\par}\n";
    EXPECT_NE(doc.find("{\\headerl " + head + "{\\headerr " + head), std::string::npos) << doc;
    std::string foot = "\\pard\\plain\\s3\\tqc\\tx4680\\tqr\\tx9360\\f0\\fs20 ";
    EXPECT_NE(doc.find("{\\footerl " + foot +
                       "{\\field{\\*\\fldinst PAGE}}\\tab Tsaloni \\'97 English\\tab "
                       "{\\field{\\*\\fldinst DATE}}\\par}\n{\\footerr " +
                       foot +
                       "{\\field{\\*\\fldinst DATE}}\\tab Tsaloni \\'97 English\\tab "
                       "{\\field{\\*\\fldinst PAGE}}\\par}\n"),
              std::string::npos)
        << doc;
    // Without facing pages one header and one footer serve every page.
    s.page.facingPages = false;
    s.linkStyles = false;
    doc = Export(s);
    EXPECT_EQ(doc.find("\\facingp"), std::string::npos);
    EXPECT_NE(doc.find("{\\*\\template C:\\\\dict\\\\plx_e.dot}\n"), std::string::npos);
    EXPECT_NE(doc.find("{\\header \\pard"), std::string::npos);
    EXPECT_NE(doc.find("{\\footer \\pard"), std::string::npos);
    EXPECT_EQ(doc.find("headerl"), std::string::npos);
    EXPECT_EQ(doc.find("footerr"), std::string::npos);
}

TEST_F(RtfWriterTest, InterlinearLinesAlignWithTabStops) {
    CMarker* tx = Make("tx", "Text");
    CMarker* mb = Make("mb", "Morphemes");
    set.SetInterlinearFlags(std::vector<std::pair<CMarker*, CMarker*>>{{tx, mb}});
    AddRecord(records, {{lx, "t1"}, {tx, "ngári  kuru"}, {mb, "ngári- ni kuru"}});
    RtfDocumentSettings s;
    s.tabAligned = true;
    s.spacing = 120;
    std::string body = Body(Export(s));
    // Columns count characters: "á" is one.
    EXPECT_NE(body.find("\\s7\\f0\\fs20 ng\\u225?ri\\tab \\tx840 kuru\n"), std::string::npos)
        << body;
    EXPECT_NE(body.find("\\s8\\f0\\fs20 ng\\u225?ri-\\tab \\tx840 ni\\tab \\tx1200 kuru}"),
              std::string::npos)
        << body;
    // Right to left: every word placed from the right edge (text width 8640).
    CLangEnc* rtl = encodings.FindOrCreate("Rtl");
    rtl->SetRightToLeft(true);
    tx->SetLangEnc(rtl);
    body = Body(Export(s));
    EXPECT_NE(body.find("\\tab \\tqr\\tx8640 ng\\u225?ri\\tab \\tqr\\tx7800 kuru"),
              std::string::npos)
        << body;
    // A character-style interlinear line switches alignment off for the document.
    mb->SetCharStyle(true);
    body = Body(Export(s));
    EXPECT_EQ(body.find("\\tx"), std::string::npos) << body;
}

TEST_F(RtfWriterTest, TemplateStylesAreTakenOver) {
    RtfStyleSheet sheet;
    ASSERT_TRUE(
        sheet.Parse("{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}{\\f3\\fswiss Arial;}}"
                    "{\\stylesheet{\\f0\\fs22 Normal;}"
                    "{\\s1\\sb120\\keepn\\b\\f3\\fs28\\sbasedon0\\snext1 lexeme;}"
                    "{\\*\\cs2 \\additive\\i\\qc\\sbasedon10 Gloss;}"
                    "{\\*\\ts11\\tsrowd Normal Table;}}"
                    "\\pard text}"));
    EXPECT_FALSE(RtfStyleSheet().Parse("not rtf"));
    ge->SetCharStyle(true);
    AddRecord(records, {{lx, "a"}, {ge, "b"}});
    RtfDocumentSettings s;
    s.templateStyles = &sheet;
    std::string doc = Export(s);
    EXPECT_NE(doc.find("{\\f0 Times New Roman;}\n{\\f1 Arial;}\n"), std::string::npos) << doc;
    EXPECT_NE(doc.find("{\\f0\\fs22\\snext0 Normal;}\n"), std::string::npos) << doc;
    EXPECT_NE(doc.find("{\\s6\\sb120\\keepn\\b\\f1\\fs28\\sbasedon0\\snext6 Lexeme;}\n"),
              std::string::npos)
        << doc;
    // A character style takes only the character formatting.
    EXPECT_NE(doc.find("{\\*\\cs7 \\additive\\i\\f0\\fs20\\sbasedon1 Gloss;}\n"), std::string::npos)
        << doc;
    EXPECT_NE(doc.find("\\pard\\plain\\s6\\sb120\\keepn\\b\\f1\\fs28 a {\\cs7\\i\\f0\\fs20 b}}"),
              std::string::npos);
}

TEST_F(RtfWriterTest, AMarkerWithASectionStartsOneAtTheNextParagraph) {
    CMarker* lp = Make("LP", "Letter");
    lp->SetSection(1);
    AddRecord(records, {{lx, "a"}});
    AddRecord(records, {{lp, "B  -  b"}});
    AddRecord(records, {{lx, "b"}});
    RtfDocumentSettings s;
    s.page.columns = 2;
    std::string body = Body(Export(s));
    EXPECT_NE(body.find("B  -  b\n\\sect \\sectd\\sbknone\n\\cols1\n\\colsx720\n\\headery720\n"
                        "\\footery720\n\\pard\\plain\\s6\\f0\\fs20 b}"),
              std::string::npos)
        << body;
}

} // namespace
} // namespace crv::test
