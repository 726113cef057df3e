// The settings of one record window as the project file keeps them (object "wnd" inside
// a database's "wndlst"), and its browse columns (object "brflst"):
//   \+wnd  \placement ...  \z N  \ViewMarkers  \ViewMarkerHierarchy  \ViewFieldNames
//   \widthMarkerArea N  \Browse  \JumpTarget  \+brflst...  \+ind...  \+rec Cur...
//   \+key Search... \+key Insert... \+key Jump... \+key JumpInsert...
//   \CaretLine N  \CaretLineScroll N  \CaretChar N  \-wnd
// The index and the record are kept by name and text, so that settings can be read
// before their database is open. Entries this version does not know are kept.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/object_stream.h"
#include "engine/index_settings.h"
#include "engine/key_search.h"

namespace crv {

struct CBrowseColumn {
    std::string marker;
    int width = 10; // pixels
    bool rightJustify = false;
    std::string unknown;
};

// "\+brflst": FieldEmptyEntry (or the flag FieldEmptyEntry_White for an empty text),
// NoFieldEntry (or NoFieldEntry_White), then one "\+brf" per column: mkr, width,
// rightjustify. A column without a marker is dropped.
struct CBrowseList {
    std::string fieldEmpty = "*empty*";
    std::string noField = "*no field*";
    std::vector<CBrowseColumn> columns;
    std::string unknown;

    void Write(ObjectStream& os) const;
    bool Read(ObjectStream& is);
};

struct CWindowSettings {
    std::optional<WindowPlacement> placement;
    int z = 0; // stacking position: a window goes behind the one with the next higher z
    bool viewMarkers = false;
    bool viewHierarchy = false;
    bool viewFieldNames = false;
    int markerAreaWidth = 0; // read as written; by the width rule when the file has none
    bool browse = false;
    bool jumpTarget = false;
    CBrowseList browseList;
    std::optional<CIndexSettings> index;         // none: the document's default index
    std::optional<CRecordPositionTexts> current; // "rec Cur"
    CKeySearch search, insert, jump, jumpInsert;
    int caretLine = 0;       // display line of the caret in its record
    int caretLineScroll = 0; // the display line at the top of the window
    int caretChar = 0;       // byte offset of the caret in its line
    std::string unknown;

    // A window opened on a database that has no settings: markers shown, the width by
    // the rule.
    static CWindowSettings ForNewWindow();
    // Marker area width: 50 with markers (plus 15 with the hierarchy), plus 100 with
    // field names.
    static int MarkerAreaWidthFor(bool markers, bool hierarchy, bool fieldNames);

    void Write(ObjectStream& os) const;
    // Reads "\+wnd" when it is the current entry.
    bool Read(ObjectStream& is);
};

// "\+wndlst": the windows of one database.
struct CWindowList {
    std::vector<CWindowSettings> windows;
    std::string unknown;
    bool read = false; // the project file had the object (written back even when empty)

    void Write(ObjectStream& os) const;
    bool Read(ObjectStream& is);
};

} // namespace crv
