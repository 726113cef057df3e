#include "base/sf_syntax.h"

namespace crv {

namespace {

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
constexpr NameBytes kNameBytes;

} // namespace

bool IsValidMarkerName(std::string_view name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (kNameBytes[c] == 2)
            return false;
    return true;
}

std::size_t MarkerNameLength(std::string_view s) {
    std::size_t n = 0;
    while (n < s.size() && kNameBytes[s[n]] != 1)
        ++n;
    return n;
}

SFLine ClassifyLine(std::string_view line) {
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
    std::string_view rest = line.substr(1);
    std::size_t n = MarkerNameLength(rest);
    out.name = rest.substr(0, n);
    if (!IsValidMarkerName(out.name)) {
        out.kind = SFLineKind::InvalidMarker;
        return out;
    }
    out.kind = SFLineKind::Marker;
    out.text = rest.substr(n);
    if (!out.text.empty() && out.text[0] == ' ')
        out.text.remove_prefix(1);
    return out;
}

} // namespace crv
