#include "schema/pattern_match.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "schema/lang_enc.h"

namespace crv {

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

bool IsWhiteSpaceByte(char c) { return c == ' ' || c == '\t' || c == '\n'; }

} // namespace

// One call of the matcher on one text: the elements are matched in order with an explicit
// stack of choice points, so that neither a long pattern nor a long text deepens the call
// stack. Two things keep the work bounded:
// - Whether the rest of the pattern matches after element i from position q depends on
//   (i, q) only. When every alternative of a choice has failed, the positions it tried are
//   remembered per element, and a later choice of that element (from another start of a
//   search, or reached along another path) skips them. [...] and white space give back
//   from their longest match downwards, so the positions known to fail are always one
//   interval ending at the longest match. This makes searches such as [...]x linear.
// - Every unit examined counts against a work limit; past it the call gives up.
class PatternRun {
public:
    PatternRun(CPatternMatcher& matcher, const CTextPos& pos, bool toEnd)
        : m_m(matcher), m_elems(matcher.m_pattern->Elements()),
          m_text(pos.text.empty() ? "" : pos.text.data()), m_size(pos.text.size()),
          m_enc(*pos.langEnc), m_order(pos.langEnc->DefaultSortOrder()),
          m_mask(matcher.m_settings.mask), m_brace(pos.braceMode), m_toEnd(toEnd),
          m_origin(std::min(pos.offset, m_size)), m_work(matcher.m_workLimit) {
        m_m.m_gaveUp = false;
        m_m.m_memo.assign(m_elems.size(), {kNone, kNone, kNone, kNone});
        m_m.m_unitStarts.clear();
    }
    ~PatternRun() { m_m.m_workUsed = m_m.m_workLimit - m_work; }

    std::size_t Origin() const { return m_origin; }
    std::size_t Size() const { return m_size; }
    bool GaveUp() const { return m_m.m_gaveUp; }

    // Matches the whole pattern from start; end gets the end of the first match found.
    bool MatchFrom(std::size_t start, std::size_t& end);

    // The start of the next unit after off (a braced group is one piece in brace mode).
    std::size_t NextStart(std::size_t off) {
        if (m_brace && m_text[off] == '{')
            return GroupEnd(off);
        std::size_t next;
        UnitAt(off, next);
        return next;
    }

private:
    using Choice = CPatternMatcher::Choice;
    enum class Ahead { End, Brace, Unit };

    unsigned char Kind(unsigned char code) const {
        return m_order ? m_order->Weight(code).kind : static_cast<unsigned char>(kSortUndefined);
    }
    bool TakesPart(unsigned char code) const { return (Kind(code) & m_mask) != 0; }
    unsigned char UnitAt(std::size_t off, std::size_t& next) {
        --m_work;
        const char* p = m_text + off;
        unsigned char code = m_enc.NextUnitCode(p, m_text + m_size);
        next = static_cast<std::size_t>(p - m_text);
        return code;
    }
    // The end of the braced group that begins at off: after its right brace, or the end of
    // the text when it is not closed.
    std::size_t GroupEnd(std::size_t off) {
        const void* close = std::memchr(m_text + off + 1, '}', m_size - off - 1);
        std::size_t end =
            close ? static_cast<std::size_t>(static_cast<const char*>(close) - m_text) + 1 : m_size;
        m_work -= static_cast<std::int64_t>(end - off) / 16;
        return end;
    }
    bool InVar(const CVarName* var, unsigned char code) const {
        const CLangChar* unit = m_enc.UnitOfCode(code);
        return var && unit && var->Contains(unit->Slot());
    }

    // Skips units that do not take part at the mask, up to the next one that does (its
    // code in code, the offset after it in next), a left brace in brace mode, or the end.
    Ahead SkipToPart(std::size_t& off, unsigned char& code, std::size_t& next);
    bool SameUnit(unsigned char a, std::string_view aText, unsigned char b,
                  std::string_view bText) const;
    bool Literal(const std::string& literal, std::size_t& off);
    // Whether a secondary mark that counts at the mask follows off in an order whose marks
    // are written after their base: the unit before off carries it, so a literal that
    // ends there matched only part of that unit (as a key that ends there is no prefix).
    bool MarkFollows(std::size_t off);
    bool Variable(const CVarName* var, std::size_t& off);
    bool AnyUnit(std::size_t& off);
    // A boundary unit ahead (or a braced group); off moves past it. At the end of the text
    // (after units that do not take part) it succeeds.
    bool Boundary(const CPatternElement& elem, std::size_t& off);
    bool AtEndAfterIdle(std::size_t off);

    // Matches element i at off; an element that can give back text pushes a choice.
    bool Step(std::size_t i, std::size_t& off);
    bool PushChoice(std::size_t i, std::size_t low, std::size_t first, std::size_t runEnd,
                    std::size_t& off);
    bool NextAlternative(Choice& c);
    void RecordFailure(const Choice& c);
    // The largest unit start below off and not below low.
    std::size_t PrevStart(std::size_t off, std::size_t low);

    CPatternMatcher& m_m;
    const std::vector<CPatternElement>& m_elems;
    const char* m_text;
    std::size_t m_size;
    const CLangEnc& m_enc;
    const CSortOrder* m_order; // null: every unit is undefined
    int m_mask;
    bool m_brace;
    bool m_toEnd;
    std::size_t m_origin;
    std::int64_t m_work;
};

PatternRun::Ahead PatternRun::SkipToPart(std::size_t& off, unsigned char& code, std::size_t& next) {
    while (off < m_size) {
        if (m_brace && m_text[off] == '{')
            return Ahead::Brace;
        code = UnitAt(off, next);
        if (TakesPart(code))
            return Ahead::Unit;
        off = next;
    }
    return Ahead::End;
}

bool PatternRun::SameUnit(unsigned char a, std::string_view aText, unsigned char b,
                          std::string_view bText) const {
    bool aUndefined = (Kind(a) & kSortUndefined) != 0;
    bool bUndefined = (Kind(b) & kSortUndefined) != 0;
    if (!aUndefined && !bUndefined)
        return m_order->CompareUnits(a, b, m_mask) == 0;
    // Undefined units have no weights to tell them apart: only the same bytes match.
    return aUndefined && bUndefined && aText == bText;
}

bool PatternRun::Literal(const std::string& literal, std::size_t& off) {
    const char* lp = literal.data();
    const char* le = lp + literal.size();
    bool tookUnit = false;
    for (;;) {
        const char* ls = nullptr;
        unsigned char lc = 0;
        do {
            if (lp == le)
                return !tookUnit || !MarkFollows(off);
            ls = lp;
            lc = m_enc.NextUnitCode(lp, le);
            --m_work;
        } while (!TakesPart(lc));
        unsigned char tc = 0;
        std::size_t next = 0;
        if (SkipToPart(off, tc, next) != Ahead::Unit)
            return false;
        if (!SameUnit(lc, std::string_view(ls, static_cast<std::size_t>(lp - ls)), tc,
                      std::string_view(m_text + off, next - off)))
            return false;
        off = next;
        tookUnit = true;
    }
}

bool PatternRun::MarkFollows(std::size_t off) {
    if (!m_order || !m_order->SecAfterBase() || !(m_mask & kSortSecondary))
        return false;
    unsigned char code = 0;
    std::size_t next = 0;
    return SkipToPart(off, code, next) == Ahead::Unit && Kind(code) == kSortSecondary;
}

bool PatternRun::Variable(const CVarName* var, std::size_t& off) {
    unsigned char code = 0;
    std::size_t next = 0;
    if (SkipToPart(off, code, next) != Ahead::Unit || !InVar(var, code))
        return false;
    off = next;
    return true;
}

bool PatternRun::AnyUnit(std::size_t& off) {
    if (off >= m_size || (m_brace && m_text[off] == '{'))
        return false;
    UnitAt(off, off);
    return true;
}

bool PatternRun::Boundary(const CPatternElement& elem, std::size_t& off) {
    while (off < m_size) {
        if (m_brace && m_text[off] == '{') {
            off = GroupEnd(off);
            return true;
        }
        std::size_t next = 0;
        unsigned char code = UnitAt(off, next);
        std::string_view unit(m_text + off, next - off);
        // The hyphen is usually an ignored unit: [-] must see it before it is skipped.
        if (elem.kind == PatternElemKind::BoundaryOrHyphen && unit == "-") {
            off = next;
            return true;
        }
        if (!TakesPart(code)) {
            off = next;
            continue;
        }
        if (InVar(elem.var.Get(), code) || (unit.size() == 1 && IsWhiteSpaceByte(unit[0]))) {
            off = next;
            return true;
        }
        return false;
    }
    return true;
}

bool PatternRun::AtEndAfterIdle(std::size_t off) {
    unsigned char code = 0;
    std::size_t next = 0;
    return SkipToPart(off, code, next) == Ahead::End;
}

std::size_t PatternRun::PrevStart(std::size_t off, std::size_t low) {
    if (m_m.m_unitStarts.empty()) {
        // Unit starts from the origin: every position a match reaches lies on them.
        auto& starts = m_m.m_unitStarts;
        starts.assign(m_size + 1, 0);
        for (std::size_t p = m_origin; p < m_size; p = NextStart(p))
            starts[p] = 1;
        starts[m_size] = 1;
    }
    std::size_t q = off - 1;
    while (q > low && !m_m.m_unitStarts[q])
        --q;
    m_work -= static_cast<std::int64_t>(off - q) / 16;
    return q;
}

bool PatternRun::PushChoice(std::size_t i, std::size_t low, std::size_t first, std::size_t runEnd,
                            std::size_t& off) {
    const CPatternMatcher::ElemMemo& memo = m_m.m_memo[i];
    if (m_m.m_rememberFailures && memo.runEnd == runEnd && first >= memo.failedFrom) {
        // The longest alternatives are known to fail; start below them.
        if (memo.failedFrom <= low)
            return false;
        first = m_elems[i].kind == PatternElemKind::AnySequence ? PrevStart(memo.failedFrom, low)
                                                                : memo.failedFrom - 1;
    }
    m_m.m_choices.push_back({static_cast<std::uint32_t>(i), low, first, runEnd});
    off = first;
    return true;
}

bool PatternRun::Step(std::size_t i, std::size_t& off) {
    const CPatternElement& elem = m_elems[i];
    switch (elem.kind) {
    case PatternElemKind::Literal:
        return Literal(elem.literal, off);
    case PatternElemKind::Variable:
        return Variable(elem.var.Get(), off);
    case PatternElemKind::AnyUnit:
        return AnyUnit(off);
    case PatternElemKind::Boundary:
    case PatternElemKind::BoundaryOrHyphen: {
        if (off >= m_size)
            return true;
        if (off > 0)
            return Boundary(elem, off);
        // At the start of the text the boundary may take a leading boundary unit (so that
        // "(word" matches [#]word) or nothing (so that "word" does).
        std::size_t taken = off;
        if (Boundary(elem, taken) && taken > off) {
            m_m.m_choices.push_back({static_cast<std::uint32_t>(i), off, taken, kNone});
            off = taken;
        }
        return true;
    }
    case PatternElemKind::WhiteSpace: {
        unsigned char code = 0;
        std::size_t next = 0;
        std::size_t start = off;
        if (SkipToPart(start, code, next) != Ahead::Unit)
            return false;
        CPatternMatcher::ElemMemo& memo = m_m.m_memo[i];
        std::size_t end = start;
        if (start >= memo.spaceStart && start < memo.spaceEnd) {
            end = memo.spaceEnd; // inside the run met before: it ends where that one did
        } else {
            while (end < m_size && IsWhiteSpaceByte(m_text[end])) {
                if (end == memo.spaceStart) { // the rest of the run was met before
                    end = memo.spaceEnd;
                    break;
                }
                UnitAt(end, next);
                if (next != end + 1) // a multigraph that begins with white space
                    break;
                end = next;
            }
            if (end == start)
                return false;
            memo.spaceStart = start;
            memo.spaceEnd = end;
        }
        return PushChoice(i, start + 1, end, end, off);
    }
    case PatternElemKind::AnySequence:
        return PushChoice(i, off, m_size, m_size, off);
    }
    return false;
}

bool PatternRun::NextAlternative(Choice& c) {
    if (c.end <= c.low)
        return false;
    switch (m_elems[c.elem].kind) {
    case PatternElemKind::WhiteSpace:
        --c.end;
        return true;
    case PatternElemKind::AnySequence:
        c.end = PrevStart(c.end, c.low);
        return true;
    default: // a boundary at the start: after taking a unit, take nothing
        c.end = c.low;
        return true;
    }
}

void PatternRun::RecordFailure(const Choice& c) {
    if (c.runEnd == kNone || !m_m.m_rememberFailures)
        return;
    CPatternMatcher::ElemMemo& memo = m_m.m_memo[c.elem];
    if (memo.runEnd == c.runEnd) {
        memo.failedFrom = std::min(memo.failedFrom, c.low);
    } else {
        memo.runEnd = c.runEnd;
        memo.failedFrom = c.low;
    }
}

bool PatternRun::MatchFrom(std::size_t start, std::size_t& end) {
    auto& choices = m_m.m_choices;
    choices.clear();
    std::size_t i = 0;
    std::size_t off = start;
    for (;;) {
        if (--m_work < 0) {
            m_m.m_gaveUp = true;
            return false;
        }
        bool ok;
        if (i == m_elems.size()) {
            if (!m_toEnd || AtEndAfterIdle(off)) {
                end = off;
                return true;
            }
            ok = false;
        } else {
            ok = Step(i, off);
        }
        if (ok) {
            ++i;
            continue;
        }
        // Back to the latest choice that has an alternative left.
        for (;;) {
            if (choices.empty())
                return false;
            Choice& c = choices.back();
            if (NextAlternative(c)) {
                i = c.elem + 1;
                off = c.end;
                break;
            }
            RecordFailure(c);
            choices.pop_back();
        }
    }
}

bool CPatternMatcher::MatchAt(CTextPos& pos) {
    PatternRun run(*this, pos, false);
    std::size_t end = 0;
    if (!run.MatchFrom(run.Origin(), end))
        return false;
    pos.offset = end;
    return true;
}

std::ptrdiff_t CPatternMatcher::MatchLength(const CTextPos& pos) {
    PatternRun run(*this, pos, false);
    std::size_t end = 0;
    if (!run.MatchFrom(run.Origin(), end))
        return -1;
    return static_cast<std::ptrdiff_t>(end - run.Origin());
}

bool CPatternMatcher::MatchWhole(const CTextPos& pos) {
    PatternRun run(*this, pos, true);
    std::size_t end = 0;
    return run.MatchFrom(run.Origin(), end);
}

bool CPatternMatcher::Find(const CTextPos& pos, CPatternSpan* where) {
    PatternRun run(*this, pos, false);
    for (std::size_t off = run.Origin();; off = run.NextStart(off)) {
        std::size_t end = 0;
        if (run.MatchFrom(off, end)) {
            if (where)
                *where = {off, end};
            return true;
        }
        if (run.GaveUp() || off >= run.Size())
            return false;
    }
}

bool PatternFind(const CTextPattern& pattern, const CTextPos& pos, CMatchSettings settings) {
    return CPatternMatcher(pattern, settings).Find(pos);
}

bool PatternMatchWhole(const CTextPattern& pattern, const CTextPos& pos, CMatchSettings settings) {
    return CPatternMatcher(pattern, settings).MatchWhole(pos);
}

} // namespace crv
