// The word character table of a corpus: which units of its language encoding make up
// words and what each becomes in the word (its lower-case form), built from the
// encoding's default sort order and case associations.
//
// The rule: a unit the default sort order defines (primary, secondary or ignored) is a
// word unit; space, tab, line ends and units the order leaves undefined (punctuation in
// the default order) end a word. Bytes the encoding has no unit for are decided by what
// they are: a UTF-8 sequence is a letter unless it is punctuation, a symbol or a space
// (U+0080-00BF but for ª µ º, × ÷, U+2000-206F, U+2E00-2E7F, CJK and full-width
// punctuation, U+FEFF); any other byte is read as Windows-1252, whose letters count.
// An upper-case unit is replaced by its lower-case form (an upper form of a lower unit
// that has its own lower form, as "Ng" for "NG", goes to that form), so that a word
// list counts "The" and "the" together. Ignored units (hyphens) at either edge are not
// part of the word, and a run without a primary unit or letter ("-", "'") is no word.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "schema/lang_enc.h"

namespace crv {

// Where a word stands in a text: the offsets of its first byte and one past its last.
struct CWordSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

class CWordChars {
public:
    explicit CWordChars(const CLangEnc& langEnc);

    const CLangEnc& LangEnc() const { return *m_langEnc; }
    // A digest of the table and of the units' texts: a word index made with another
    // table holds other words and is not used.
    std::uint64_t Fingerprint() const { return m_fingerprint; }

    // Calls fn(span, word) for each word of text, in order; word is the mapped form
    // (valid during the call). Returns early when fn returns false.
    template <class Fn> void ForEachWord(std::string_view text, Fn fn) const;

    // The words of text, mapped (the words of a search text).
    std::vector<std::string> Words(std::string_view text) const;
    // The first word of text when it begins at offset 0 (its span and mapped form);
    // false when text does not begin with a word.
    bool WordAtStart(std::string_view text, CWordSpan& span, std::string& mapped) const;

    // What a unit is to the scanner: it ends a word; it is a letter (a word needs one);
    // it belongs to a word but not at its edges (ignored units); it is a mark that
    // belongs to a word wherever it stands.
    enum Kind : std::uint8_t { kSeparator = 0, kLetter = 1, kEdge = 2, kMark = 3 };

    // The length of the character at p that the encoding has no unit for, and whether
    // it is a letter (see the rule above).
    static std::size_t ForeignChar(const char* p, const char* end, bool& letter);

private:
    // A byte that needs the encoding's splitting (it begins a longer unit, or its unit
    // is foreign or maps to another length).
    static constexpr std::uint8_t kByTheUnit = 0xFF;

    // The next unit at p: its kind and the text it adds to a word; p moves past it. Most
    // text is single bytes mapped to single bytes, which one table look-up settles.
    Kind Next(const char*& p, const char* end, std::string_view& mapped) const {
        auto b = static_cast<unsigned char>(*p);
        if (m_byteKind[b] != kByTheUnit) {
            mapped = std::string_view(&m_byteMapped[b], 1);
            ++p;
            return static_cast<Kind>(m_byteKind[b]);
        }
        return NextUnit(p, end, mapped);
    }
    Kind NextUnit(const char*& p, const char* end, std::string_view& mapped) const {
        const char* start = p;
        unsigned char code = m_langEnc->NextUnitCode(p, end);
        if (!m_foreign[code]) {
            mapped = m_mapped[code];
            return m_kind[code];
        }
        bool letter = false;
        if (code == CLangEnc::kUnknownCode) {
            if (static_cast<unsigned char>(*start) < 0x80)
                return kSeparator;
            p = start + ForeignChar(start, end, letter);
        } else {
            ForeignChar(start, p, letter);
        }
        mapped = std::string_view(start, static_cast<std::size_t>(p - start));
        return letter ? kLetter : kSeparator;
    }

    const CLangEnc* m_langEnc;
    std::array<Kind, 256> m_kind{};
    std::array<std::string, 256> m_mapped;      // by unit code: the text a unit adds
    std::array<bool, 256> m_foreign{};          // undefined non-ASCII unit: ForeignChar decides
    std::array<std::uint8_t, 256> m_byteKind{}; // by byte: its kind, or kByTheUnit
    std::array<char, 256> m_byteMapped{};
    std::uint64_t m_fingerprint = 0;
};

template <class Fn> void CWordChars::ForEachWord(std::string_view text, Fn fn) const {
    const char* base = text.data();
    const char* p = base;
    const char* end = base + text.size();
    std::string word;
    while (p < end) {
        const char* unitStart = p;
        std::string_view mapped;
        Kind kind = Next(p, end, mapped);
        if (kind == kSeparator)
            continue;
        word.clear();
        const char* wordBegin = nullptr; // first unit that is not an edge
        const char* wordEnd = nullptr;   // past the last unit that is not an edge
        std::size_t wordLength = 0;
        bool hasLetter = false;
        for (;;) {
            if (kind != kEdge) {
                if (!wordBegin)
                    wordBegin = unitStart;
                if (mapped.size() == 1)
                    word.push_back(mapped[0]);
                else
                    word += mapped;
                wordEnd = p;
                wordLength = word.size();
                hasLetter = hasLetter || kind == kLetter;
            } else if (wordBegin) {
                word += mapped; // kept only when the word goes on after it
            }
            if (p >= end)
                break;
            unitStart = p;
            kind = Next(p, end, mapped);
            if (kind == kSeparator)
                break;
        }
        if (!wordBegin || !hasLetter)
            continue;
        word.resize(wordLength);
        CWordSpan span{static_cast<std::size_t>(wordBegin - base),
                       static_cast<std::size_t>(wordEnd - base)};
        if (!fn(span, std::string_view(word)))
            return;
    }
}

} // namespace crv
