// Matching compiled text patterns against text of one language encoding, unit by unit at
// a match level, with backtracking for [...] and white space. The text is read in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "schema/sort_order.h"
#include "schema/text_pattern.h"

namespace crv {

class CLangEnc;

// A position in a text, with the encoding that splits the text into units. In brace mode
// (set by callers that mark glosses in braces) a braced group counts as one piece of text.
// The text is not copied: it must outlive the position.
struct CTextPos {
    CTextPos(std::string_view text, const CLangEnc& langEnc, std::size_t offset = 0,
             bool braceMode = false)
        : text(text), langEnc(&langEnc), offset(offset), braceMode(braceMode) {}

    std::string_view text;
    const CLangEnc* langEnc;
    std::size_t offset;
    bool braceMode;
};

struct CMatchSettings {
    int mask =
        kMatchPrimary; // match mask: 3, 23, 7 or 15 (the other masks of sort orders work too)
};

// Where a pattern matched: byte offsets of its first and one past its last byte.
struct CPatternSpan {
    std::size_t start = 0;
    std::size_t end = 0;
};

// Matches one pattern. A matcher may be reused for many texts; each call stands alone.
// Backtracking is bounded: a call that needs more than a fixed amount of work gives up
// and answers no match (GaveUp() tells), so that no pattern can hang the program.
class CPatternMatcher {
public:
    // Units examined per call before giving up; far above what real patterns on a field
    // of 32000 characters need.
    static constexpr std::int64_t kDefaultWorkLimit = std::int64_t{1} << 25;

    CPatternMatcher(const CTextPattern& pattern, CMatchSettings settings)
        : m_pattern(&pattern), m_settings(settings) {}

    // Whether the pattern matches starting at pos (it need not reach the end of the text);
    // on success pos moves to the end of the match.
    bool MatchAt(CTextPos& pos);
    // The byte length of the match at pos, or -1 when there is none.
    std::ptrdiff_t MatchLength(const CTextPos& pos);
    // Whether the pattern matches from pos exactly to the end of the text (units that do
    // not take part at the mask may be left over at the end).
    bool MatchWhole(const CTextPos& pos);
    // Tries the pattern at pos, then after each unit in turn, and finally at the end of the
    // text; the first match wins and is stored in where (if given).
    bool Find(const CTextPos& pos, CPatternSpan* where = nullptr);

    // Whether the last call gave up for too much backtracking (its answer was no match).
    bool GaveUp() const { return m_gaveUp; }
    void SetWorkLimit(std::int64_t units) { m_workLimit = units; }
    // The work the last call did, in units examined and steps taken.
    std::int64_t WorkUsed() const { return m_workUsed; }
    // Checks only: backtrack without remembering failed positions (exponential time, the
    // same answers).
    void SetRememberFailures(bool b) { m_rememberFailures = b; }

private:
    friend class PatternRun;
    // A choice point of backtracking: an element that can give back text ends at end now
    // and may end anywhere down to low; runEnd is where its first (longest) match ended.
    struct Choice {
        std::uint32_t elem;
        std::size_t low;
        std::size_t end;
        std::size_t runEnd;
    };
    // What one call learnt about an element: the rest of the pattern cannot match from any
    // position in [failedFrom, runEnd]; the last white-space run it met is [spaceStart,
    // spaceEnd).
    struct ElemMemo {
        std::size_t runEnd;
        std::size_t failedFrom;
        std::size_t spaceStart;
        std::size_t spaceEnd;
    };

    const CTextPattern* m_pattern;
    CMatchSettings m_settings;
    std::int64_t m_workLimit = kDefaultWorkLimit;
    bool m_gaveUp = false;
    std::int64_t m_workUsed = 0;
    bool m_rememberFailures = true;
    // Buffers of one call, kept so that the next call reuses them.
    std::vector<Choice> m_choices;
    std::vector<ElemMemo> m_memo;
    std::vector<unsigned char> m_unitStarts;
};

// One-call forms for callers that match once.
bool PatternFind(const CTextPattern& pattern, const CTextPos& pos, CMatchSettings settings);
bool PatternMatchWhole(const CTextPattern& pattern, const CTextPos& pos, CMatchSettings settings);

} // namespace crv
