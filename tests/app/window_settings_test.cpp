#include "app/window_settings.h"

#include <sstream>

#include "support/test_support.h"

namespace crv::test {
namespace {

template <class T> std::string Written(const T& t) {
    std::ostringstream out;
    ObjectStream os(out);
    t.Write(os);
    return out.str();
}

template <class T> T Read(const std::string& text) {
    std::istringstream in(text);
    ObjectStream is(in);
    T t;
    EXPECT_TRUE(t.Read(is));
    return t;
}

TEST(WindowSettingsTest, MarkerAreaWidthFollowsTheRule) {
    EXPECT_EQ(CWindowSettings::MarkerAreaWidthFor(true, true, true), 165);
    EXPECT_EQ(CWindowSettings::MarkerAreaWidthFor(false, false, true), 100);
    EXPECT_EQ(CWindowSettings::MarkerAreaWidthFor(true, false, false), 50);
    EXPECT_EQ(CWindowSettings::MarkerAreaWidthFor(false, true, false), 0);
    CWindowSettings fresh = CWindowSettings::ForNewWindow();
    EXPECT_TRUE(fresh.viewMarkers);
    EXPECT_EQ(fresh.markerAreaWidth, 50);
}

TEST(WindowSettingsTest, AWindowRoundTripsEveryKeyInOrderAndKeepsUnknownOnes) {
    std::string text =
        Crlf("\\+wndlst\n\\+wnd\n\\placement normal -1 -1 -1 -1 10 20 300 400\n\\z 3\n"
             "\\ViewMarkers\n\\ViewMarkerHierarchy\n\\ViewFieldNames\n\\widthMarkerArea 77\n"
             "\\Browse\n\\JumpTarget\n"
             "\\+brflst\n\\FieldEmptyEntry_White\n\\NoFieldEntry (none)\n"
             "\\+brf\n\\mkr lx\n\\width 120\n\\-brf\n\\+brf\n\\mkr ge\n\\width 10\n\\rightjustify\n"
             "\\Tint blue\n\\-brf\n\\-brflst\n"
             "\\+ind\n\\mkrPriKey ge\n\\srtPriKey Default\n\\SortPriKeyFromEnd\n\\mkrSecKey lx\n"
             "\\fil Nouns\n\\-ind\n"
             "\\+rec Cur\n\\fldPriKey house\n\\fldSecKey\n\\-rec\n"
             "\\+key Search\n\\fldPri ho\n\\MatchWhole\n\\match_char e\n\\-key\n"
             "\\+key Insert\n\\match_char p\n\\-key\n\\+key Jump\n\\match_char i\n\\-key\n"
             "\\+key JumpInsert\n\\match_char c\n\\-key\n"
             "\\CaretLine 4\n\\CaretLineScroll 2\n\\CaretChar 7\n\\+Future\n\\a b\n\\-Future\n"
             "\\Newer 1\n\\-wnd\n\\Later\n\\-wndlst\n");
    CWindowList list = Read<CWindowList>(text);
    ASSERT_EQ(list.windows.size(), 1u);
    const CWindowSettings& w = list.windows[0];
    ASSERT_TRUE(w.placement);
    EXPECT_EQ(w.placement->right, 300);
    EXPECT_EQ(w.z, 3);
    EXPECT_TRUE(w.viewMarkers && w.viewHierarchy && w.viewFieldNames && w.browse && w.jumpTarget);
    EXPECT_EQ(w.markerAreaWidth, 77) << "a width read is used unchanged";
    EXPECT_EQ(w.browseList.fieldEmpty, "");
    EXPECT_EQ(w.browseList.noField, "(none)");
    ASSERT_EQ(w.browseList.columns.size(), 2u);
    EXPECT_TRUE(w.browseList.columns[1].rightJustify);
    ASSERT_TRUE(w.index);
    EXPECT_EQ(w.index->filter, "Nouns");
    ASSERT_TRUE(w.current);
    EXPECT_EQ(w.current->primary, "house");
    EXPECT_EQ(w.search.key, "ho");
    EXPECT_EQ(w.search.mask, 7);
    EXPECT_EQ(w.jump.mask, 15);
    EXPECT_EQ(w.jumpInsert.mask, 23);
    EXPECT_EQ(w.caretChar, 7);
    EXPECT_EQ(Written(list), text);
}

TEST(WindowSettingsTest, BrowseColumnsWithoutAMarkerAreDroppedAndDefaultsHold) {
    CBrowseList b = Read<CBrowseList>("\\+brflst\n\\+brf\n\\width 40\n\\-brf\n"
                                      "\\+brf\n\\mkr ps\n\\-brf\n\\-brflst\n");
    ASSERT_EQ(b.columns.size(), 1u);
    EXPECT_EQ(b.columns[0].marker, "ps");
    EXPECT_EQ(b.columns[0].width, 10);
    EXPECT_EQ(b.fieldEmpty, "*empty*");
    EXPECT_EQ(b.noField, "*no field*");
    // A window list whose end line is missing ends at its database's end line; a window
    // without a width gets the rule's.
    CWindowList cut = Read<CWindowList>("\\+wndlst\n\\+wnd\n\\ViewFieldNames\n\\-db\n");
    ASSERT_EQ(cut.windows.size(), 1u);
    EXPECT_EQ(cut.windows[0].markerAreaWidth, 100);
}

} // namespace
} // namespace crv::test
