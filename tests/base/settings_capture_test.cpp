// Carrying settings through unread: captured verbatim, written back byte for byte.
#include "base/settings_capture.h"

#include <sstream>

#include "support/test_support.h"

namespace crv {
namespace {

std::string Written(std::string_view captured) {
    std::ostringstream out;
    ObjectStream os(out);
    WriteCaptured(os, captured);
    return out.str();
}

TEST(SettingsCapture, ObjectsComeBackByteForByte) {
    // Continuation lines, trailing spaces, an empty line, a stray end line of another
    // object inside, and nested objects: all kept as they stand.
    const std::string object = "\\+filset\r\n"
                               "\\+fil Nouns  \r\n"
                               "\\+mkr ps\r\n"
                               "\\-mkr\r\n"
                               "\\txt [n]\r\n"
                               "second line \t\r\n"
                               "\r\n"
                               "\\-mkrset\r\n"
                               "\\-fil\r\n"
                               "\\-filset\r\n";
    std::istringstream in(object + "\\mkrRecord lx\r\n");
    ObjectStream is(in);
    std::string captured = CaptureEntry(is, "DatabaseType");
    EXPECT_EQ(is.PeekKey(), "mkrRecord");
    EXPECT_EQ(Written(captured), object);

    // A plain entry is captured alone.
    std::istringstream in2("\\CurrentRecord\r\n\\zttExportSF a b \r\nc\r\n\\next\r\n");
    ObjectStream is2(in2);
    EXPECT_EQ(CaptureEntry(is2), "\\CurrentRecord\n");
    EXPECT_EQ(CaptureEntry(is2), "\\zttExportSF a b \nc\n");
    EXPECT_EQ(is2.PeekKey(), "next");
    is2.SkipEntry();
    EXPECT_EQ(CaptureEntry(is2), "");
}

TEST(SettingsCapture, AMissingEndLineIsClosedAndTheEnclosingEndKept) {
    std::istringstream in("\\+drflst\n\\+drf\n\\File a.db\n\\-DatabaseType\n");
    ObjectStream is(in);
    std::string captured = CaptureEntry(is, "DatabaseType");
    EXPECT_EQ(captured, "\\+drflst\n\\+drf\n\\File a.db\n\\-drf\n\\-drflst\n");
    EXPECT_TRUE(is.ReadMarker('-', "DatabaseType"));

    // Read again, the closed text is the same object.
    std::istringstream again(captured + "\\-DatabaseType\n");
    ObjectStream is2(again);
    EXPECT_EQ(CaptureEntry(is2, "DatabaseType"), captured);

    // At the end of the input, too.
    std::istringstream cut("\\+intprclst\n\\+intprc Lookup\n\\From tx");
    ObjectStream is3(cut);
    EXPECT_EQ(CaptureEntry(is3),
              "\\+intprclst\n\\+intprc Lookup\n\\From tx\n\\-intprc\n\\-intprclst\n");
}

TEST(SettingsCapture, NothingIsCapturedPastAnOverflow) {
    std::istringstream in("\\+expset\n\\a " + std::string(40000, 'x') + "\n\\-expset\n\\b\n");
    ObjectStream is(in);
    std::string captured = CaptureEntry(is);
    EXPECT_EQ(captured, "\\+expset\n\\-expset\n");
    EXPECT_TRUE(is.Overflow());
    // An overflowed entry is consumed without capture, so reading loops always move on.
    while (!is.AtEnd())
        EXPECT_EQ(CaptureEntry(is), "");
}

TEST(SettingsCapture, EntryFitsTheReaderLimit) {
    std::string value(40000, 'a');
    EXPECT_EQ(FitEntryValue("desc", value).size(), ObjectStream::kMaxEntry - 6);
    // A backslash line costs the space written before it; the cut never splits them.
    std::string lines = std::string(31990, 'a') + "\n\\b\n\\c";
    std::string_view fit = FitEntryValue("fld", lines);
    EXPECT_EQ(fit, std::string(31990, 'a') + "\n\\b");
    std::ostringstream out;
    ObjectStream os(out);
    os.WriteString("fld", fit);
    std::istringstream in(out.str());
    ObjectStream is(in);
    std::string read;
    EXPECT_TRUE(is.ReadString("fld", read));
    EXPECT_FALSE(is.Overflow());
}

} // namespace
} // namespace crv
