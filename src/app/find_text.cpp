#include "app/find_text.h"

#include "schema/lang_char.h"
#include "schema/lang_enc.h"
#include "schema/sort_order.h"

namespace crv {

CFindMatcher::CFindMatcher(std::string_view findText, const CLangEnc* langEnc, int mask,
                           bool wholeWord)
    : m_enc(langEnc), m_order(langEnc ? langEnc->DefaultSortOrder() : nullptr), m_mask(mask),
      m_whole(wholeWord) {
    Compile(findText);
    if (m_units.empty() && !findText.empty() && m_mask != kMatchAll) {
        m_mask = kMatchAll;
        Compile(findText);
    }
}

unsigned char CFindMatcher::Next(const char*& p, const char* end) const {
    if (m_enc)
        return m_enc->NextUnitCode(p, end);
    return static_cast<unsigned char>(*p++);
}

unsigned char CFindMatcher::Kind(unsigned char code) const {
    return m_order ? m_order->Weight(code).kind : static_cast<unsigned char>(kSortUndefined);
}

void CFindMatcher::Compile(std::string_view findText) {
    m_units.clear();
    m_first.fill(false);
    const char* p = findText.data();
    const char* end = p + findText.size();
    while (p < end) {
        const char* s = p;
        unsigned char code = Next(p, end);
        if (!TakesPart(code))
            continue;
        m_units.push_back({code, std::string(s, static_cast<std::size_t>(p - s)), false});
    }
    for (std::size_t i = 1; i + 1 < m_units.size(); ++i)
        m_units[i].interiorSpace = m_units[i].bytes == " ";
    if (m_units.empty())
        return;
    m_singleBytes = true;
    if (m_enc)
        for (const CLangChar& unit : *m_enc)
            m_singleBytes &= unit.Text().size() == 1;
    const Unit& first = m_units.front();
    for (int c = 0; c < 256; ++c) {
        auto code = static_cast<unsigned char>(c);
        // Without an encoding, and for undefined units, bytes match by their value: the
        // unit of unmatched bytes may be any of them, so it is let through and tested in
        // full.
        if (!m_enc || (Kind(first.code) & kSortUndefined) || (Kind(code) & kSortUndefined)) {
            m_first[c] = code == first.code;
        } else {
            m_first[c] = m_order->CompareUnits(first.code, code, m_mask) == 0;
        }
    }
    for (int b = 0; b < 256; ++b) {
        char byte = static_cast<char>(b);
        const char* p = &byte;
        m_firstByte[b] = m_first[Next(p, p + 1)];
    }
}

bool CFindMatcher::SameUnit(const Unit& u, unsigned char code, std::string_view bytes) const {
    if (u.interiorSpace && (bytes == " " || bytes == "\n"))
        return true;
    if (!m_order)
        return u.bytes == bytes;
    bool uUndefined = (Kind(u.code) & kSortUndefined) != 0;
    bool tUndefined = (Kind(code) & kSortUndefined) != 0;
    if (!uUndefined && !tUndefined)
        return m_order->CompareUnits(u.code, code, m_mask) == 0;
    // Undefined units have no weights to tell them apart: only the same bytes match.
    return uUndefined && tUndefined && u.bytes == bytes;
}

bool CFindMatcher::IsWordUnitAt(std::string_view text, std::size_t pos) const {
    if (pos >= text.size())
        return false;
    char c = text[pos];
    if (c == ' ' || c == '\n' || c == '\t')
        return false;
    if (!m_order)
        return true;
    const char* p = text.data() + pos;
    return (Kind(Next(p, text.data() + text.size())) & kSortUndefined) == 0;
}

bool CFindMatcher::MatchAt(std::string_view text, std::size_t s, std::size_t prev,
                           std::size_t& endOut) const {
    const char* base = text.data();
    const char* end = base + text.size();
    const char* q = base + s;
    for (std::size_t i = 0; i < m_units.size(); ++i) {
        const char* t0 = nullptr;
        unsigned char code = 0;
        for (;;) {
            if (q >= end)
                return false;
            t0 = q;
            code = Next(q, end);
            if (TakesPart(code))
                break;
            // A hit begins with a unit that counts.
            if (i == 0)
                return false;
        }
        if (!SameUnit(m_units[i], code, std::string_view(t0, static_cast<std::size_t>(q - t0))))
            return false;
    }
    std::size_t hitEnd = static_cast<std::size_t>(q - base);
    // In an order whose marks follow their base, a mark that counts belongs to the last
    // unit matched: the hit would be only part of that character.
    if (m_order && m_order->SecAfterBase() && (m_mask & kSortSecondary)) {
        const char* r = q;
        while (r < end) {
            unsigned char code = Next(r, end);
            if (!TakesPart(code))
                continue;
            if (Kind(code) == kSortSecondary)
                return false;
            break;
        }
    }
    if (m_whole) {
        if (prev != std::string_view::npos && IsWordUnitAt(text, prev))
            return false;
        if (IsWordUnitAt(text, hitEnd))
            return false;
    }
    endOut = hitEnd;
    return true;
}

std::optional<CTextHit> CFindMatcher::FindForward(std::string_view text, std::size_t from) const {
    if (m_units.empty())
        return std::nullopt;
    std::size_t hitEnd = 0;
    if (m_singleBytes) {
        for (std::size_t s = from; s < text.size(); ++s)
            if (m_firstByte[static_cast<unsigned char>(text[s])] &&
                MatchAt(text, s, s == 0 ? std::string_view::npos : s - 1, hitEnd))
                return CTextHit{s, hitEnd};
        return std::nullopt;
    }
    const char* base = text.data();
    const char* end = base + text.size();
    const char* p = base;
    std::size_t prev = std::string_view::npos;
    while (p < end) {
        std::size_t s = static_cast<std::size_t>(p - base);
        unsigned char code = Next(p, end);
        if (s >= from && m_first[code] && MatchAt(text, s, prev, hitEnd))
            return CTextHit{s, hitEnd};
        prev = s;
    }
    return std::nullopt;
}

std::optional<CTextHit> CFindMatcher::FindBackward(std::string_view text,
                                                   std::size_t before) const {
    if (m_units.empty())
        return std::nullopt;
    const char* base = text.data();
    const char* end = base + text.size();
    const char* p = base;
    std::size_t prev = std::string_view::npos;
    std::optional<CTextHit> last;
    while (p < end) {
        std::size_t s = static_cast<std::size_t>(p - base);
        if (s >= before)
            break;
        unsigned char code = Next(p, end);
        std::size_t hitEnd = 0;
        if (m_first[code] && MatchAt(text, s, prev, hitEnd))
            last = CTextHit{s, hitEnd};
        prev = s;
    }
    return last;
}

} // namespace crv
