#include "export/rtf_text.h"

#include <cstdint>

namespace crv {

namespace {

// The code point of the UTF-8 sequence at p (length in n); false for a byte that does
// not begin a valid, shortest-form sequence.
bool DecodeUtf8(std::string_view text, std::size_t p, char32_t& cp, std::size_t& n) {
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char c = b(p);
    std::size_t need;
    char32_t min;
    if (c < 0x80) {
        cp = c;
        n = 1;
        return true;
    }
    if ((c & 0xE0) == 0xC0) {
        need = 1;
        cp = c & 0x1F;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        need = 2;
        cp = c & 0x0F;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        need = 3;
        cp = c & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    for (std::size_t i = 1; i <= need; ++i) {
        if (p + i >= text.size() || (b(p + i) & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (b(p + i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    n = need + 1;
    return true;
}

void AppendHex(std::string& out, unsigned char c) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\'";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

void AppendUnicode(std::string& out, char32_t cp) {
    auto unit = [&](unsigned u) {
        // RTF takes signed 16-bit numbers.
        int v = u > 0x7FFF ? static_cast<int>(u) - 0x10000 : static_cast<int>(u);
        out += "\\u";
        out += std::to_string(v);
        out += '?';
    };
    if (cp > 0xFFFF) {
        cp -= 0x10000;
        unit(0xD800 + static_cast<unsigned>(cp >> 10));
        unit(0xDC00 + static_cast<unsigned>(cp & 0x3FF));
    } else {
        unit(static_cast<unsigned>(cp));
    }
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    bool multi = false;
    for (std::size_t p = 0; p < text.size();) {
        char32_t cp;
        std::size_t n;
        if (!DecodeUtf8(text, p, cp, n))
            return false;
        multi = multi || n > 1;
        p += n;
    }
    return multi;
}

bool TextIsUtf8(const CMarker*, std::string_view text) {
    // The encodings do not yet say whether they hold UTF-8; the text decides.
    return IsValidUtf8(text);
}

void AppendRtfText(std::string& out, std::string_view text, bool utf8, RtfLineBreaks breaks) {
    for (std::size_t p = 0; p < text.size();) {
        auto c = static_cast<unsigned char>(text[p]);
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}') {
            // Plain runs are copied whole.
            std::size_t end = p + 1;
            while (end < text.size()) {
                auto d = static_cast<unsigned char>(text[end]);
                if (d < 0x20 || d >= 0x7F || d == '\\' || d == '{' || d == '}')
                    break;
                ++end;
            }
            out.append(text.data() + p, end - p);
            p = end;
            continue;
        }
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\n') {
            out += breaks == RtfLineBreaks::Line ? "\\line " : " ";
        } else if (c >= 0x80 && utf8) {
            char32_t cp;
            std::size_t n;
            if (DecodeUtf8(text, p, cp, n)) {
                AppendUnicode(out, cp);
                p += n;
                continue;
            }
            AppendHex(out, c);
        } else {
            AppendHex(out, c);
        }
        ++p;
    }
}

std::size_t CharacterCount(std::string_view text, bool utf8) {
    if (!utf8)
        return text.size();
    std::size_t count = 0;
    for (std::size_t p = 0; p < text.size();) {
        char32_t cp;
        std::size_t n;
        if (!DecodeUtf8(text, p, cp, n))
            n = 1;
        p += n;
        ++count;
    }
    return count;
}

} // namespace crv
