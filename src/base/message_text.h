// Filling the placeholders %1..%9 of message texts, in order of their numbers; a field's
// lines written on one line.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace crv {

// Replaces each %N (N = 1..9) by the N-th argument; other text is kept as it is.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

// text with every LF written as the two characters backslash and n (a field's lines on
// one line: printed by crv, and in a record template's settings).
std::string EscapeLineBreaks(std::string_view text);

} // namespace crv
