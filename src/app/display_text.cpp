#include "app/display_text.h"

#include <array>
#include <cstdint>

#include "base/message_text.h"

namespace crv {

namespace {

// Unicode of the bytes 0x80..0x9F in Windows-1252; undefined bytes map to themselves.
constexpr std::array<char32_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one strict UTF-8 character at i (advanced past it); nullopt when malformed.
std::optional<char32_t> NextUtf8(std::string_view s, std::size_t& i) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + len > s.size())
        return std::nullopt;
    for (int k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    i += len;
    return cp;
}

std::optional<unsigned char> To1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (std::size_t k = 0; k < kHigh1252.size(); ++k)
        if (kHigh1252[k] == c)
            return static_cast<unsigned char>(0x80 + k);
    return std::nullopt;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII, the common case, without decoding.
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        if (!NextUtf8(bytes, i))
            return false;
    }
    return true;
}

ByteEncoding DisplayEncoding(std::string_view bytes, bool langEncIsUtf8) {
    if (langEncIsUtf8 || IsValidUtf8(bytes))
        return ByteEncoding::Utf8;
    return ByteEncoding::Windows1252;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else if (c < 0xA0)
            AppendUtf8(out, kHigh1252[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string DisplayUtf8(std::string_view bytes, bool langEncIsUtf8) {
    if (DisplayEncoding(bytes, langEncIsUtf8) == ByteEncoding::Utf8)
        return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

std::optional<std::string> EncodeTypedText(std::string_view utf8, ByteEncoding enc,
                                           std::string* refused) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t start = i;
        std::optional<char32_t> c = NextUtf8(utf8, i);
        if (!c) {
            // Typed text comes from the input method as Unicode; a malformed byte here
            // is no character at all.
            if (refused)
                *refused = std::string(utf8.substr(start, 1));
            return std::nullopt;
        }
        if (enc == ByteEncoding::Utf8) {
            out.append(utf8.substr(start, i - start));
            continue;
        }
        std::optional<unsigned char> b = To1252(*c);
        if (!b) {
            if (refused)
                *refused = std::string(utf8.substr(start, i - start));
            return std::nullopt;
        }
        out += static_cast<char>(*b);
    }
    return out;
}

std::string RefusedCharacterText(std::string_view character, ByteEncoding enc) {
    return FormatMessage(
        "The character %1 cannot be written in this field, whose text is in "
        "%2.\n\nNothing was typed.",
        {std::string(character), enc == ByteEncoding::Utf8 ? "UTF-8" : "Windows-1252"});
}

} // namespace crv
