// A small RTF reader for the two groups a template contributes: "{\fonttbl ...}" (font
// numbers to names) and "{\stylesheet ...}" (one group per style: its number word
// \sN or \*\csN, formatting words, the name up to ";"). Nested groups inside a style
// (\*\keycode and the like) and bookkeeping words are left out.
#include "export/rtf_template.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>

namespace crv {

namespace {

// Words of a style definition that say what the style is, not how it looks, and words
// that need tables an export does not carry (colours, revisions, associated fonts).
constexpr std::array<std::string_view, 33> kDropped = {
    "s",        "cs",       "ds",      "ts",        "sbasedon", "snext",       "additive",
    "slink",    "sautoupd", "shidden", "spriority", "sqformat", "ssemihidden", "sunhideused",
    "slocked",  "styrsid",  "af",      "afs",       "alang",    "rtlch",       "ltrch",
    "loch",     "hich",     "dbch",    "insrsid",   "charrsid", "langfe",      "langnp",
    "langfenp", "cf",       "cb",      "highlight", "chcbpat",
};

constexpr std::array<std::string_view, 40> kCharacterWords = {
    "b",       "i",          "ul",      "uld",        "uldb",    "ulw",     "ulnone",
    "uldash",  "strike",     "striked", "f",          "fs",      "caps",    "scaps",
    "v",       "super",      "sub",     "nosupersub", "up",      "dn",      "expnd",
    "expndtw", "kerning",    "outl",    "shad",       "embo",    "impr",    "charscalex",
    "lang",    "noproof",    "ulldash", "ulth",       "ulwave",  "uldashd", "uldashdd",
    "ulhwave", "ululdbwave", "ulth",    "webhidden",  "fittext",
};

struct Lexer {
    std::string_view text;
    std::size_t pos = 0;
    bool AtEnd() const { return pos >= text.size(); }
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Reads a control word or symbol after its backslash (pos at the backslash).
RtfControlWord ReadControl(Lexer& lx, bool& symbol, char& symbolChar) {
    RtfControlWord w;
    ++lx.pos;
    symbol = false;
    if (lx.AtEnd())
        return w;
    if (!IsLetter(lx.text[lx.pos])) {
        symbol = true;
        symbolChar = lx.text[lx.pos++];
        return w;
    }
    std::size_t start = lx.pos;
    while (!lx.AtEnd() && IsLetter(lx.text[lx.pos]))
        ++lx.pos;
    w.word = std::string(lx.text.substr(start, lx.pos - start));
    bool negative = false;
    if (!lx.AtEnd() && lx.text[lx.pos] == '-') {
        negative = true;
        ++lx.pos;
    }
    if (!lx.AtEnd() && lx.text[lx.pos] >= '0' && lx.text[lx.pos] <= '9') {
        w.hasParam = true;
        long v = 0;
        while (!lx.AtEnd() && lx.text[lx.pos] >= '0' && lx.text[lx.pos] <= '9') {
            if (v < 100000000)
                v = v * 10 + (lx.text[lx.pos] - '0');
            ++lx.pos;
        }
        w.param = negative ? -v : v;
    }
    if (!lx.AtEnd() && lx.text[lx.pos] == ' ')
        ++lx.pos;
    return w;
}

// Skips the group whose "{" is at pos.
void SkipGroup(Lexer& lx) {
    int depth = 0;
    while (!lx.AtEnd()) {
        char c = lx.text[lx.pos];
        if (c == '\\') {
            lx.pos += 2;
            continue;
        }
        ++lx.pos;
        if (c == '{')
            ++depth;
        else if (c == '}' && --depth == 0)
            return;
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, long cp) {
    if (cp < 0)
        cp += 0x10000;
    auto u = static_cast<unsigned long>(cp);
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// One group's words and text at its own level (the group's "{" at pos); nested groups
// are skipped. Text stops at ";" when stopAtSemicolon.
struct GroupContent {
    std::vector<RtfControlWord> words;
    std::string text;
    bool starred = false;
};

GroupContent ReadGroup(Lexer& lx) {
    GroupContent g;
    ++lx.pos; // "{"
    bool textDone = false;
    while (!lx.AtEnd()) {
        char c = lx.text[lx.pos];
        if (c == '}') {
            ++lx.pos;
            break;
        }
        if (c == '{') {
            SkipGroup(lx);
            continue;
        }
        if (c == '\\') {
            bool symbol;
            char sc = 0;
            std::size_t at = lx.pos;
            RtfControlWord w = ReadControl(lx, symbol, sc);
            if (symbol) {
                if (sc == '*') {
                    g.starred = true;
                } else if (sc == '\'' && lx.pos + 1 < lx.text.size()) {
                    int hi = HexValue(lx.text[lx.pos]), lo = HexValue(lx.text[lx.pos + 1]);
                    lx.pos += 2;
                    if (hi >= 0 && lo >= 0 && !textDone)
                        g.text += static_cast<char>(hi * 16 + lo);
                } else if ((sc == '\\' || sc == '{' || sc == '}') && !textDone) {
                    g.text += sc;
                }
                continue;
            }
            (void)at;
            if (w.word == "u" && w.hasParam) {
                if (!textDone)
                    AppendUtf8(g.text, w.param);
                if (!lx.AtEnd() && lx.text[lx.pos] != '\\' && lx.text[lx.pos] != '{' &&
                    lx.text[lx.pos] != '}')
                    ++lx.pos; // the fallback character
                continue;
            }
            g.words.push_back(std::move(w));
            continue;
        }
        ++lx.pos;
        if (c == '\r' || c == '\n' || textDone)
            continue;
        if (c == ';')
            textDone = true;
        else
            g.text += c;
    }
    auto trim = [](std::string& s) {
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        s.erase(0, s.find_first_not_of(' '));
    };
    trim(g.text);
    return g;
}

// Moves pos to the "{" of the first group that begins with the control word word; false
// when there is none.
bool FindGroup(Lexer& lx, std::string_view word) {
    std::string needle = "{\\" + std::string(word);
    for (std::size_t at = lx.text.find(needle); at != std::string_view::npos;
         at = lx.text.find(needle, at + 1)) {
        std::size_t after = at + needle.size();
        if (after < lx.text.size() && IsLetter(lx.text[after]))
            continue;
        lx.pos = at;
        return true;
    }
    return false;
}

// Walks the child groups of the group at pos, calling each(child) for every one.
template <class F> void ForEachChild(Lexer& lx, F each) {
    ++lx.pos;
    // The group's own first word.
    while (!lx.AtEnd() && lx.text[lx.pos] != '{' && lx.text[lx.pos] != '}')
        ++lx.pos;
    while (!lx.AtEnd()) {
        char c = lx.text[lx.pos];
        if (c == '}') {
            ++lx.pos;
            return;
        }
        if (c == '{') {
            Lexer child{lx.text, lx.pos};
            each(ReadGroup(child));
            lx.pos = child.pos;
            continue;
        }
        if (c == '\\') {
            lx.pos += 2;
            continue;
        }
        ++lx.pos;
    }
}

} // namespace

bool SameStyleName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca < 0x80 && cb < 0x80 ? std::tolower(ca) != std::tolower(cb) : ca != cb)
            return false;
    }
    return true;
}

bool IsCharacterFormatting(std::string_view word) {
    return std::find(kCharacterWords.begin(), kCharacterWords.end(), word) != kCharacterWords.end();
}

std::vector<RtfControlWord> SplitControlWords(std::string_view formatting) {
    std::vector<RtfControlWord> out;
    Lexer lx{formatting};
    while (!lx.AtEnd()) {
        if (lx.text[lx.pos] != '\\') {
            ++lx.pos;
            continue;
        }
        bool symbol;
        char sc;
        RtfControlWord w = ReadControl(lx, symbol, sc);
        if (!symbol)
            out.push_back(std::move(w));
    }
    return out;
}

bool RtfStyleSheet::Parse(std::string_view text) {
    m_styles.clear();
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || text.substr(start, 5) != "{\\rtf")
        return false;
    std::map<long, std::string> fonts;
    Lexer lx{text};
    if (FindGroup(lx, "fonttbl"))
        ForEachChild(lx, [&](const GroupContent& g) {
            for (const RtfControlWord& w : g.words)
                if (w.word == "f" && w.hasParam) {
                    fonts[w.param] = g.text;
                    break;
                }
        });
    lx.pos = 0;
    if (!FindGroup(lx, "stylesheet"))
        return true;
    ForEachChild(lx, [&](const GroupContent& g) {
        RtfTemplateStyle style;
        style.name = g.text;
        bool table = false;
        for (const RtfControlWord& w : g.words) {
            if (w.word == "cs")
                style.character = true;
            if (w.word == "ts" || w.word == "ds")
                table = true;
            if (std::find(kDropped.begin(), kDropped.end(), w.word) != kDropped.end())
                continue;
            RtfControlWord kept = w;
            if (w.word == "f") {
                auto font = fonts.find(w.param);
                if (font == fonts.end())
                    continue;
                kept.fontName = font->second;
            }
            style.formatting.push_back(std::move(kept));
        }
        if (!table && !style.name.empty())
            m_styles.push_back(std::move(style));
    });
    return true;
}

const RtfTemplateStyle* RtfStyleSheet::Find(std::string_view name) const {
    for (const RtfTemplateStyle& s : m_styles)
        if (SameStyleName(s.name, name))
            return &s;
    return nullptr;
}

} // namespace crv
