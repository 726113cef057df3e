// How the bytes of a field are shown and how typed characters become bytes. Text is kept
// as the bytes of the file; a field is shown as UTF-8 when its language encoding says its
// text is UTF-8 or, without that, when its bytes are valid UTF-8, otherwise as
// Windows-1252. Typed characters go back in the encoding the field is shown in, and a
// character that encoding cannot hold is refused, never replaced.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace crv {

enum class ByteEncoding { Utf8, Windows1252 };

bool IsValidUtf8(std::string_view bytes);
// The encoding a field's bytes are shown in.
ByteEncoding DisplayEncoding(std::string_view bytes, bool langEncIsUtf8);

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined become the
// control characters of the same number, so that every byte comes back as it was.
std::string Windows1252ToUtf8(std::string_view bytes);
// The text of a field as UTF-8 for the screen.
std::string DisplayUtf8(std::string_view bytes, bool langEncIsUtf8);

// Typed text (UTF-8) as bytes of enc; nullopt when a character cannot be written in it,
// that character (UTF-8) in refused.
std::optional<std::string> EncodeTypedText(std::string_view utf8, ByteEncoding enc,
                                           std::string* refused = nullptr);
// The message for a refused character.
std::string RefusedCharacterText(std::string_view character, ByteEncoding enc);

} // namespace crv
