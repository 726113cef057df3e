// The rules of the range set dialog: its title, the question when the kind of elements
// changes, and the checks of its text on OK.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "schema/marker.h"

namespace crv {

std::string RangeSetDialogTitle(const CMarker& marker);

// The user switched between whole words and characters. When the text holds elements,
// asks whether to delete them; true when they should go.
bool AskDeleteRangeSetOnModeSwitch(std::string_view text);

// OK: in character mode every element must be one character; no element may occur
// twice. Shows the message and returns the span to mark; nullopt when the text is good.
std::optional<TextSpan> ValidateRangeSetText(std::string_view text, bool characters);

} // namespace crv
