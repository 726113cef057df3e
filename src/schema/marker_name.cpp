#include "schema/marker_name.h"

namespace crv {

namespace {

bool EndsMarkerName(char c) {
    switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\\':
    case '{':
    case '}':
    case '|':
    case ',':
        return true;
    default:
        return false;
    }
}

bool EndsFieldName(char c) {
    switch (c) {
    case '\t':
    case '\n':
    case '\\':
    case '{':
    case '}':
    case ';':
    case ',':
        return true;
    default:
        return false;
    }
}

// Scans name up to the first character that ends it; anything left is refused with
// that character and its position.
bool CheckName(std::string_view name, bool (*ends)(char), int emptyId, int contextId,
               CNote& error) {
    std::size_t end = 0;
    while (end < name.size() && !ends(name[end]))
        ++end;
    if (end == name.size() && end > 0)
        return true;
    if (end == name.size()) {
        error.Add(emptyId, {}, 0, 0);
        return false;
    }
    error.Add(kNoteNotExpectingChar, name.substr(end, 1), static_cast<int>(end), 1);
    error.Add(contextId);
    return false;
}

} // namespace

bool CheckMarkerName(std::string_view name, CNote& error) {
    return CheckName(name, EndsMarkerName, kNoteExpectingMarker, kNoteInMarker, error);
}

bool CheckFieldName(std::string_view name, CNote& error) {
    return CheckName(name, EndsFieldName, kNoteExpectingStyleName, kNoteInStyleName, error);
}

} // namespace crv
