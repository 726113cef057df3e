#include "export/rtf_text.h"

#include <cstdint>

#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv {

namespace {

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

bool TextIsUtf8(const CMarker* marker, std::string_view text) {
    // A legacy encoding's text that happens to decode as UTF-8 is taken as UTF-8 too:
    // either way every character survives.
    if (marker && marker->LangEnc() && marker->LangEnc()->Utf8())
        return true;
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
            if (std::optional<char32_t> cp = NextUtf8(text, p)) {
                AppendUnicode(out, *cp);
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
        if (!NextUtf8(text, p))
            ++p;
        ++count;
    }
    return count;
}

} // namespace crv
