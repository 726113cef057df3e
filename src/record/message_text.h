// Filling the placeholders %1..%9 of message texts, in order of their numbers.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace crv {

// Replaces each %N (N = 1..9) by the N-th argument; other text is kept as it is.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace crv
