// Checks of marker names and field (style) names as typed in dialogs and read from
// settings: what characters they may hold, with the error notes for each refusal.
#pragma once

#include <string_view>

#include "base/note.h"

namespace crv {

// A marker name runs up to white space or one of \ { } | , and must be the whole text.
// Refusals: "Expecting a marker"; "Not expecting the character: " c "in a marker".
bool CheckMarkerName(std::string_view name, CNote& error);

// A field name (the RTF style name) runs up to tab, LF or one of \ { } ; , (spaces are
// allowed) and must be the whole text. Refusals: "Expecting a style name";
// "Not expecting the character: " c "in a style name".
bool CheckFieldName(std::string_view name, CNote& error);

} // namespace crv
