#include "corpus/word_chars.h"

#include "schema/sort_order.h"

namespace crv {

namespace {

// Non-ASCII characters that end words: Latin-1 punctuation and symbols, general and
// supplemental punctuation, CJK and full-width punctuation, the byte order mark.
bool IsPunctuation(std::uint32_t cp) {
    if (cp >= 0x80 && cp <= 0xBF)
        return cp != 0xAA && cp != 0xB5 && cp != 0xBA;
    return cp == 0xD7 || cp == 0xF7 || (cp >= 0x2000 && cp <= 0x206F) ||
           (cp >= 0x2E00 && cp <= 0x2E7F) || (cp >= 0x3000 && cp <= 0x3003) ||
           (cp >= 0x3008 && cp <= 0x301F) || (cp >= 0xFE10 && cp <= 0xFE1F) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF01 && cp <= 0xFF0F) ||
           (cp >= 0xFF1A && cp <= 0xFF20) || (cp >= 0xFF3B && cp <= 0xFF40) ||
           (cp >= 0xFF5B && cp <= 0xFF65) || cp == 0xFEFF;
}

// The letters among the Windows-1252 bytes from 0x80.
bool IsCp1252Letter(unsigned char b) {
    switch (b) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
        return true;
    default:
        return b >= 0xC0 && b != 0xD7 && b != 0xF7;
    }
}

bool IsContinuation(const char* p, const char* end) {
    return p < end && (static_cast<unsigned char>(*p) & 0xC0) == 0x80;
}

// The character count of FNV-1a, over any bytes.
void Mix(std::uint64_t& h, std::string_view bytes) {
    for (unsigned char b : bytes) {
        h ^= b;
        h *= 0x100000001b3ULL;
    }
}

} // namespace

std::size_t CWordChars::ForeignChar(const char* p, const char* end, bool& letter) {
    auto b0 = static_cast<unsigned char>(p[0]);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF && IsContinuation(p + 1, end)) {
        length = 2;
        cp = (b0 & 0x1Fu) << 6 | (static_cast<unsigned char>(p[1]) & 0x3Fu);
    } else if (b0 >= 0xE0 && b0 <= 0xEF && IsContinuation(p + 1, end) &&
               IsContinuation(p + 2, end)) {
        auto b1 = static_cast<unsigned char>(p[1]);
        if ((b0 != 0xE0 || b1 >= 0xA0) && (b0 != 0xED || b1 < 0xA0)) {
            length = 3;
            cp =
                (b0 & 0x0Fu) << 12 | (b1 & 0x3Fu) << 6 | (static_cast<unsigned char>(p[2]) & 0x3Fu);
        }
    } else if (b0 >= 0xF0 && b0 <= 0xF4 && IsContinuation(p + 1, end) &&
               IsContinuation(p + 2, end) && IsContinuation(p + 3, end)) {
        auto b1 = static_cast<unsigned char>(p[1]);
        if ((b0 != 0xF0 || b1 >= 0x90) && (b0 != 0xF4 || b1 < 0x90)) {
            length = 4;
            cp = 0x10000; // beyond every punctuation block above
        }
    }
    if (length == 0) {
        letter = IsCp1252Letter(b0);
        return 1;
    }
    letter = !IsPunctuation(cp);
    return length;
}

CWordChars::CWordChars(const CLangEnc& langEnc) : m_langEnc(&langEnc) {
    const CSortOrder* order = langEnc.DefaultSortOrder();
    // A binary order defines no unit; its units are then judged by their characters.
    if (order && order->IsBinary())
        order = nullptr;
    for (int code = 0; code < 256; ++code) {
        const CLangChar* unit = langEnc.UnitOfCode(static_cast<unsigned char>(code));
        m_kind[code] = kSeparator;
        if (code == CLangEnc::kUnknownCode) {
            m_foreign[code] = true;
            continue;
        }
        if (!unit)
            continue;
        const std::string& text = unit->Text();
        auto first = static_cast<unsigned char>(text[0]);
        if (text == " " || text == "\t" || text == "\n" || text == "\r")
            continue;
        int kind = order ? order->Weight(static_cast<unsigned char>(code)).kind
                         : static_cast<int>(kSortUndefined);
        if (kind & kSortUndefined) {
            if (first >= 0x80) {
                m_foreign[code] = true;
                continue;
            }
            bool alnum = (first >= '0' && first <= '9') || (first >= 'A' && first <= 'Z') ||
                         (first >= 'a' && first <= 'z');
            if (order || !alnum)
                continue;
            kind = kSortPrimary;
        }
        m_kind[code] = (kind & kSortPrimary) ? kLetter : (kind & kSortSecondary) ? kMark : kEdge;
        // The lower-case form; a title-case unit ("Ng") goes to the lower form of its
        // upper unit, but an alternative lower form (a final sigma) stays itself.
        const CLangChar* lower = unit;
        if (unit->IsUpper() && unit->LowerForm()) {
            lower = unit->LowerForm();
        } else if (const CLangChar* upper = unit->UpperForm(); upper && upper->LowerForm()) {
            const char* p = text.data();
            std::size_t firstLength = 1;
            bool letter = false;
            if (first >= 0x80)
                firstLength = ForeignChar(p, p + text.size(), letter);
            const CLangChar* head = langEnc.FindUnit(std::string_view(text).substr(0, firstLength));
            if (head && head != unit && head->IsUpper())
                lower = upper->LowerForm();
        }
        m_mapped[code] = lower->Text();
    }
    // The bytes that settle their unit alone.
    std::array<bool, 256> beginsLonger{};
    for (const CLangChar& unit : langEnc)
        if (unit.Text().size() > 1)
            beginsLonger[static_cast<unsigned char>(unit.Text()[0])] = true;
    for (int b = 0; b < 256; ++b) {
        m_byteKind[b] = kByTheUnit;
        char byte = static_cast<char>(b);
        const char* p = &byte;
        unsigned char code = langEnc.NextUnitCode(p, p + 1);
        if (beginsLonger[b])
            continue;
        if (code == CLangEnc::kUnknownCode) {
            if (b < 0x80)
                m_byteKind[b] = kSeparator;
            continue;
        }
        if (m_foreign[code])
            continue;
        if (m_kind[code] == kSeparator) {
            m_byteKind[b] = kSeparator;
        } else if (m_mapped[code].size() == 1) {
            m_byteKind[b] = m_kind[code];
            m_byteMapped[b] = m_mapped[code][0];
        }
    }

    std::uint64_t h = 0xcbf29ce484222325ULL;
    Mix(h, "word characters 1");
    for (int code = 0; code < 256; ++code) {
        const CLangChar* unit = langEnc.UnitOfCode(static_cast<unsigned char>(code));
        char head[2] = {static_cast<char>(m_kind[code]), static_cast<char>(m_foreign[code])};
        Mix(h, std::string_view(head, 2));
        std::string own = unit ? unit->Text() : std::string();
        Mix(h, std::to_string(own.size()) + ":" + own);
        Mix(h, std::to_string(m_mapped[code].size()) + ":" + m_mapped[code]);
    }
    m_fingerprint = h;
}

std::vector<std::string> CWordChars::Words(std::string_view text) const {
    std::vector<std::string> out;
    ForEachWord(text, [&](const CWordSpan&, std::string_view word) {
        out.emplace_back(word);
        return true;
    });
    return out;
}

bool CWordChars::WordAtStart(std::string_view text, CWordSpan& span, std::string& mapped) const {
    bool found = false;
    ForEachWord(text, [&](const CWordSpan& s, std::string_view word) {
        found = s.begin == 0;
        span = s;
        mapped = word;
        return false;
    });
    return found;
}

} // namespace crv
