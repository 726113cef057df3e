#include "export/page_setup.h"

#include <sstream>

#include <gtest/gtest.h>

namespace crv {
namespace {

std::string Written(const CRtfPageSetup& p) {
    std::ostringstream out;
    ObjectStream os(out);
    p.Write(os);
    return out.str();
}

CRtfPageSetup ReadBack(const std::string& text) {
    std::istringstream in(text);
    ObjectStream is(in);
    CRtfPageSetup p;
    EXPECT_TRUE(p.Read(is));
    return p;
}

TEST(PageSetup, MeasurementsAreWrittenShort) {
    EXPECT_EQ(FormatMeasurement(8.5), "8.5");
    EXPECT_EQ(FormatMeasurement(11), "11");
    EXPECT_EQ(FormatMeasurement(21), "21");
    EXPECT_EQ(FormatMeasurement(0.375), "0.375");
    // Only two trailing zeros go.
    EXPECT_EQ(FormatMeasurement(0.25), "0.250");
    EXPECT_EQ(FormatMeasurement(0), "0");
    EXPECT_EQ(FormatMeasurement(55.88), "55.880");
}

TEST(PageSetup, WrittenInOrderAndReadBack) {
    CRtfPageSetup p;
    EXPECT_EQ(Written(p), "\\+rtfPageSetup\r\n\\paperSize letter\r\n\\topMargin 1\r\n"
                          "\\bottomMargin 1\r\n\\leftMargin 1.250\r\n\\rightMargin 1.250\r\n"
                          "\\gutter 0\r\n\\headerToEdge 0.5\r\n\\footerToEdge 0.5\r\n"
                          "\\columns 1\r\n\\columnSpacing 0.5\r\n\\-rtfPageSetup\r\n");
    p.SetPaper(PaperSize::CustomCm);
    p.mirrorMargins = true;
    p.facingPages = false;
    p.columns = 3;
    p.lineBetweenColumns = true;
    std::string text = Written(p);
    EXPECT_NE(text.find("\\paperSize custom_size_cm\r\n\\paperWidth 21.590\r\n"
                        "\\paperHeight 27.940\r\n\\topMargin 2.540\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\\MirrorMargins\r\n"), std::string::npos);
    EXPECT_NE(text.find("\\NoOddAndEven\r\n\\columns 3\r\n"), std::string::npos);
    CRtfPageSetup back = ReadBack(text);
    EXPECT_EQ(Written(back), text);
    EXPECT_EQ(back, p);
}

TEST(PageSetup, TwipsAndTextWidth) {
    CRtfPageSetup p;
    EXPECT_EQ(p.Twips(p.PaperWidth()), 12240);
    EXPECT_EQ(p.TextWidthTwips(), 12240 - 2 * 1800);
    CRtfPageSetup d = CRtfPageSetup::DictionaryDefault();
    // 8.5 - 0.75 - 0.75 - 0.5 inches, less one gap of 0.25.
    EXPECT_EQ(d.TextWidthTwips(), 9360 - 360);
    p.SetPaper(PaperSize::A4);
    EXPECT_EQ(p.Twips(21), 11906); // 21 cm, rounded to the nearest twip
    p.leftMargin = p.rightMargin = 15;
    EXPECT_EQ(p.TextWidthTwips(), 0);
}

TEST(PageSetup, BadValuesKeepTheDefaultAndSurvive) {
    // A negative margin, one past 22 inches, a word, an unknown paper and an unknown key:
    // the defaults stay in force and every entry is written back.
    std::string text = "\\+rtfPageSetup\r\n\\paperSize tabloid\r\n\\topMargin -1\r\n"
                       "\\leftMargin 23\r\n\\gutter wide\r\n\\columns 0\r\n"
                       "\\bindingEdge left\r\n\\-rtfPageSetup\r\n";
    CRtfPageSetup p = ReadBack(text);
    CRtfPageSetup defaults;
    EXPECT_EQ(p.paper, PaperSize::Letter);
    EXPECT_EQ(p.topMargin, defaults.topMargin);
    EXPECT_EQ(p.leftMargin, defaults.leftMargin);
    EXPECT_EQ(p.gutter, 0);
    EXPECT_EQ(p.columns, 1);
    std::string again = Written(p);
    for (const char* kept : {"\\paperSize tabloid", "\\topMargin -1", "\\leftMargin 23",
                             "\\gutter wide", "\\columns 0", "\\bindingEdge left"})
        EXPECT_NE(again.find(kept), std::string::npos) << kept;
    EXPECT_EQ(Written(ReadBack(again)), again);
    // In centimetres up to 55.88 is allowed, whatever the order of the keys.
    CRtfPageSetup cm = ReadBack("\\+rtfPageSetup\r\n\\leftMargin 55.88\r\n"
                                "\\paperSize A4\r\n\\-rtfPageSetup\r\n");
    EXPECT_EQ(cm.leftMargin, 55.88);
}

} // namespace
} // namespace crv
