// The line syntax of standard format files, shared by the database reader, the writer
// and pasting text into a record: which lines are marker lines, which are text, which
// are control lines, and which marker names are valid.
#pragma once

#include <string_view>

namespace crv {

// The marker given to a field whose marker name is invalid, or to text that has none.
inline constexpr std::string_view kUnknownMarkerName = "??";

enum class SFLineKind {
    Text,          // a continuation line (empty lines included)
    EscapedText,   // "\\...", "\ ...", "\<tab>..." or a lone "\": text, read with one
                   // space put in front so that it is never taken for a marker
    Marker,        // "\name text"
    InvalidMarker, // a marker line whose name holds \ { } | or , : its whole line is
                   // kept as the text of a "??" field, so that no byte of it is lost
    Control,       // "\_..." : header and control lines
    NoControl,     // "\_no": the next line, when it has no marker, gets "??"
};

struct SFLine {
    SFLineKind kind = SFLineKind::Text;
    std::string_view name; // marker lines: the name as it stands
    std::string_view text; // marker lines: after the name, less one space; otherwise
                           // (invalid markers too) the whole line
};

// A name may not hold a backslash, brace, vertical bar or comma (it ends at white space).
bool IsValidMarkerName(std::string_view name);

// Classifies one line (without its line end).
SFLine ClassifyLine(std::string_view line);

// A marker name runs from after the backslash to the first space, tab or LF.
std::size_t MarkerNameLength(std::string_view afterBackslash);

// Byte equality for the short strings marker names are: the reader compares names per
// line, where a call to memcmp costs more than the comparison.
inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

} // namespace crv
