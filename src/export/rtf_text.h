// Text as RTF writes it: the escapes of RTF for every byte value, and UTF-8 text as
// Unicode escapes so that every character survives whatever the reader's code page.
// Legacy text is written as its code page's bytes (\'hh).
#pragma once

#include <string>
#include <string_view>

#include "base/utf8.h"

namespace crv {

class CMarker;

// Whether a field's text is written as Unicode: where its language encoding is marked
// UTF-8, else where the text is valid UTF-8.
bool TextIsUtf8(const CMarker* marker, std::string_view text);

// How line breaks inside text are written.
enum class RtfLineBreaks { Space, Line };

// Appends text escaped: backslash and braces with a backslash, tab as "\tab ", LF as a
// space or "\line ", other control bytes and (legacy) bytes from 0x80 as \'hh, and
// (utf8) each character from U+0080 as \uN? (characters past U+FFFF as a surrogate
// pair; bytes that do not decode as \'hh).
void AppendRtfText(std::string& out, std::string_view text, bool utf8,
                   RtfLineBreaks breaks = RtfLineBreaks::Space);

// The number of characters of text (code points for UTF-8, else bytes).
std::size_t CharacterCount(std::string_view text, bool utf8);

} // namespace crv
