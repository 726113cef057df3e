// Finding a text inside field text the way the language compares it: the find text and
// the field are split into the units of the field's language encoding (a multigraph is
// one character), and units are equal when the language's default sort order finds them
// equal at the chosen level. Units that take no part at that level (ignored characters
// below level i) are passed over in the field; a find text made only of such units is
// matched at level i. A space inside the find text also matches a line break, so that a
// phrase is found where wrapping broke its line. With whole words, the characters on
// either side of a hit must not be word characters: white space and the characters the
// sort order leaves undefined (punctuation, in the default settings) end a word.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace crv {

class CLangEnc;
class CSortOrder;

// A hit: bytes [begin, end) of the text searched.
struct CTextHit {
    std::size_t begin = 0;
    std::size_t end = 0;
};

class CFindMatcher {
public:
    // langEnc null: bytes are compared as they stand.
    CFindMatcher(std::string_view findText, const CLangEnc* langEnc, int mask, bool wholeWord);

    // An empty find text finds nothing.
    bool IsEmpty() const { return m_units.empty(); }
    const CLangEnc* LangEnc() const { return m_enc; }

    // The first hit that begins at or after from.
    std::optional<CTextHit> FindForward(std::string_view text, std::size_t from) const;
    // The last hit that begins before before.
    std::optional<CTextHit> FindBackward(std::string_view text, std::size_t before) const;
    // Every hit from from on, each beginning after the one before ends.
    template <class Fn> void ForEach(std::string_view text, std::size_t from, Fn fn) const {
        while (auto hit = FindForward(text, from)) {
            fn(*hit);
            from = hit->end > hit->begin ? hit->end : hit->begin + 1;
        }
    }

private:
    struct Unit {
        unsigned char code;
        std::string bytes;
        bool interiorSpace; // a space between two other units: matches a line break too
    };
    unsigned char Next(const char*& p, const char* end) const;
    unsigned char Kind(unsigned char code) const;
    bool TakesPart(unsigned char code) const { return (Kind(code) & m_mask) != 0; }
    bool SameUnit(const Unit& u, unsigned char code, std::string_view bytes) const;
    bool IsWordUnitAt(std::string_view text, std::size_t pos) const;
    // Whether the find text matches from s (a unit start); prev is the start of the unit
    // before s (npos at the start of the text).
    bool MatchAt(std::string_view text, std::size_t s, std::size_t prev, std::size_t& end) const;
    void Compile(std::string_view findText);

    const CLangEnc* m_enc;
    const CSortOrder* m_order;
    int m_mask;
    bool m_whole;
    std::vector<Unit> m_units;
    // Which unit codes may begin a hit (by the first unit of the find text).
    std::array<bool, 256> m_first{};
    // In an encoding without multigraphs every byte begins a unit: the bytes that may
    // begin a hit are then looked for directly.
    bool m_singleBytes = false;
    std::array<bool, 256> m_firstByte{};
};

} // namespace crv
