#include "app/window_settings.h"

#include <climits>

#include "app/settings_unknown.h"

namespace crv {

namespace {

constexpr std::string_view kBrowseList = "brflst";
constexpr std::string_view kColumn = "brf";
constexpr std::string_view kWindow = "wnd";
constexpr std::string_view kWindowList = "wndlst";
constexpr std::string_view kCurrent = "Cur";

// The key objects of a window, by the command they remember.
struct KeyObject {
    std::string_view name;
    CKeySearch CWindowSettings::*member;
};
constexpr KeyObject kKeys[] = {{"Search", &CWindowSettings::search},
                               {"Insert", &CWindowSettings::insert},
                               {"Jump", &CWindowSettings::jump},
                               {"JumpInsert", &CWindowSettings::jumpInsert}};

// A text that may be empty: the text, or the flag that says it is empty.
void WriteMaybeWhite(ObjectStream& os, std::string_view key, const std::string& text) {
    if (text.empty())
        os.WriteBool(std::string(key) + "_White", true);
    else
        os.WriteString(key, text);
}

bool ReadMaybeWhite(ObjectStream& is, std::string_view key, std::string& text) {
    bool white = false;
    if (is.ReadBool(std::string(key) + "_White", white)) {
        text.clear();
        return true;
    }
    return is.ReadString(key, text);
}

bool ReadColumn(ObjectStream& is, CBrowseColumn& column) {
    is.ReadBeginMarker(kColumn);
    while (!is.AtEnd()) {
        if (is.ReadString("mkr", column.marker) || is.ReadInteger("width", column.width) ||
            is.ReadBool("rightjustify", column.rightJustify))
            continue;
        if (ReadEndKeepingUnknown(is, kColumn, column.unknown))
            break;
    }
    column.marker = column.marker.substr(0, column.marker.find_first_of(" \t\n"));
    return !column.marker.empty();
}

} // namespace

void CBrowseList::Write(ObjectStream& os) const {
    os.WriteBeginMarker(kBrowseList);
    WriteMaybeWhite(os, "FieldEmptyEntry", fieldEmpty);
    WriteMaybeWhite(os, "NoFieldEntry", noField);
    for (const CBrowseColumn& c : columns) {
        os.WriteBeginMarker(kColumn);
        os.WriteString("mkr", c.marker);
        os.WriteInteger("width", c.width);
        os.WriteBool("rightjustify", c.rightJustify);
        os.WriteVerbatim(c.unknown);
        os.WriteEndMarker(kColumn);
    }
    os.WriteVerbatim(unknown);
    os.WriteEndMarker(kBrowseList);
}

bool CBrowseList::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker(kBrowseList))
        return false;
    *this = CBrowseList();
    while (!is.AtEnd()) {
        if (ReadMaybeWhite(is, "FieldEmptyEntry", fieldEmpty) ||
            ReadMaybeWhite(is, "NoFieldEntry", noField))
            continue;
        if (is.PeekBeginMarker(kColumn)) {
            CBrowseColumn column;
            if (ReadColumn(is, column))
                columns.push_back(std::move(column));
            continue;
        }
        if (ReadEndKeepingUnknown(is, kBrowseList, unknown))
            break;
    }
    return true;
}

int CWindowSettings::MarkerAreaWidthFor(bool markers, bool hierarchy, bool fieldNames) {
    int width = 0;
    if (markers)
        width += hierarchy ? 65 : 50;
    if (fieldNames)
        width += 100;
    return width;
}

CWindowSettings CWindowSettings::ForNewWindow() {
    CWindowSettings s;
    s.viewMarkers = true;
    s.markerAreaWidth = MarkerAreaWidthFor(true, false, false);
    return s;
}

void CWindowSettings::Write(ObjectStream& os) const {
    os.WriteBeginMarker(kWindow);
    if (placement)
        os.WriteWindowPlacement("placement", *placement);
    os.WriteInteger("z", z);
    os.WriteBool("ViewMarkers", viewMarkers);
    os.WriteBool("ViewMarkerHierarchy", viewHierarchy);
    os.WriteBool("ViewFieldNames", viewFieldNames);
    os.WriteInteger("widthMarkerArea", markerAreaWidth);
    os.WriteBool("Browse", browse);
    os.WriteBool("JumpTarget", jumpTarget);
    browseList.Write(os);
    if (index)
        WriteIndexSettings(os, *index);
    if (current)
        WriteRecordPositionTexts(os, *current, kCurrent);
    for (const KeyObject& k : kKeys)
        (this->*k.member).Write(os, k.name);
    os.WriteInteger("CaretLine", caretLine);
    os.WriteInteger("CaretLineScroll", caretLineScroll);
    os.WriteInteger("CaretChar", caretChar);
    os.WriteVerbatim(unknown);
    os.WriteEndMarker(kWindow);
}

bool CWindowSettings::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker(kWindow))
        return false;
    *this = CWindowSettings();
    markerAreaWidth = -1;
    while (!is.AtEnd()) {
        if (is.ReadInteger("z", z) || is.ReadBool("ViewMarkers", viewMarkers) ||
            is.ReadBool("ViewMarkerHierarchy", viewHierarchy) ||
            is.ReadBool("ViewFieldNames", viewFieldNames) ||
            is.ReadInteger("widthMarkerArea", markerAreaWidth) || is.ReadBool("Browse", browse) ||
            is.ReadBool("JumpTarget", jumpTarget) || is.ReadInteger("CaretLine", caretLine) ||
            is.ReadInteger("CaretLineScroll", caretLineScroll) ||
            is.ReadInteger("CaretChar", caretChar))
            continue;
        WindowPlacement p;
        p.left = INT_MIN; // stays so when the line is not complete
        if (is.ReadWindowPlacement("placement", p)) {
            if (p.left != INT_MIN)
                placement = p;
            continue;
        }
        if (browseList.Read(is))
            continue;
        CIndexSettings ind;
        if (ReadIndexSettings(is, ind)) {
            index = std::move(ind);
            continue;
        }
        if (is.PeekBeginMarker("rec")) {
            CRecordPositionTexts texts;
            ReadRecordPositionTexts(is, texts);
            current = std::move(texts);
            continue;
        }
        bool key = false;
        for (const KeyObject& k : kKeys) {
            if (is.PeekBeginMarker("key", k.name)) {
                (this->*k.member).Read(is);
                key = true;
                break;
            }
        }
        if (key)
            continue;
        if (ReadEndKeepingUnknown(is, kWindow, unknown))
            break;
    }
    // Without a width of its own the marker area is as wide as the rule makes it.
    if (markerAreaWidth < 0)
        markerAreaWidth = MarkerAreaWidthFor(viewMarkers, viewHierarchy, viewFieldNames);
    return true;
}

void CWindowList::Write(ObjectStream& os) const {
    if (windows.empty() && !read)
        return;
    os.WriteBeginMarker(kWindowList);
    for (const CWindowSettings& w : windows)
        w.Write(os);
    os.WriteVerbatim(unknown);
    os.WriteEndMarker(kWindowList);
}

bool CWindowList::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker(kWindowList))
        return false;
    read = true;
    while (!is.AtEnd()) {
        if (is.PeekBeginMarker(kWindow)) {
            CWindowSettings w;
            w.Read(is);
            windows.push_back(std::move(w));
            continue;
        }
        if (ReadEndKeepingUnknown(is, kWindowList, unknown))
            break;
    }
    return true;
}

} // namespace crv
