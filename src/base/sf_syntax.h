// The line syntax of standard format files, shared by the database reader, the writer
// and pasting text into a record: which lines are marker lines, which are text, which
// are control lines, and which marker names are valid.
#pragma once

#include <cstddef>
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

namespace sf_detail {
// For every byte: 1 when it ends a marker name (space, tab, LF), 2 when it may not stand
// in one (backslash, braces, vertical bar, comma), 0 otherwise.
struct NameBytes {
    unsigned char kind[256] = {};
    constexpr NameBytes() {
        kind[static_cast<unsigned char>(' ')] = kind[static_cast<unsigned char>('\t')] =
            kind[static_cast<unsigned char>('\n')] = 1;
        for (char c : {'\\', '{', '}', '|', ','})
            kind[static_cast<unsigned char>(c)] = 2;
    }
    unsigned char operator[](char c) const { return kind[static_cast<unsigned char>(c)]; }
};
inline constexpr NameBytes kNameBytes;
} // namespace sf_detail

// A name may not hold a backslash, brace, vertical bar or comma (it ends at white space).
inline bool IsValidMarkerName(std::string_view name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (sf_detail::kNameBytes[c] == 2)
            return false;
    return true;
}

// A marker name runs from after the backslash to the first space, tab or LF.
inline std::size_t MarkerNameLength(std::string_view s) {
    std::size_t n = 0;
    while (n < s.size() && sf_detail::kNameBytes[s[n]] != 1)
        ++n;
    return n;
}

// Classifies one line (without its line end). Inline: the reader calls it for every
// line of a file.
inline SFLine ClassifyLine(std::string_view line) {
    SFLine out;
    out.text = line;
    if (line.empty() || line[0] != '\\')
        return out;
    if (line.size() == 1 || line[1] == '\\' || line[1] == ' ' || line[1] == '\t') {
        out.kind = SFLineKind::EscapedText;
        return out;
    }
    if (line[1] == '_') {
        bool no = line.size() >= 4 && line[2] == 'n' && line[3] == 'o' &&
                  (line.size() == 4 || line[4] == ' ' || line[4] == '\t');
        out.kind = no ? SFLineKind::NoControl : SFLineKind::Control;
        return out;
    }
    // One pass finds the end of the name and whether any byte in it is not allowed.
    std::size_t n = 1;
    unsigned char bad = 0;
    for (; n < line.size(); ++n) {
        unsigned char k = sf_detail::kNameBytes[line[n]];
        if (k == 1)
            break;
        bad |= k;
    }
    out.name = line.substr(1, n - 1);
    if (bad) {
        out.kind = SFLineKind::InvalidMarker;
        return out;
    }
    out.kind = SFLineKind::Marker;
    out.text = line.substr(n);
    if (!out.text.empty() && out.text[0] == ' ')
        out.text.remove_prefix(1);
    return out;
}

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
