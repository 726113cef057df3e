// UTF-8 as the program reads it: strict (shortest forms, no surrogates, nothing past
// U+10FFFF), so that bytes that only look like UTF-8 are taken for what they are.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace crv {

// Decodes one character at i (advanced past it); nullopt when malformed (i unchanged).
std::optional<char32_t> NextUtf8(std::string_view s, std::size_t& i);

// Whether every byte belongs to a well-formed character (plain ASCII is).
bool IsValidUtf8(std::string_view bytes);

} // namespace crv
