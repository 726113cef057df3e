#include "engine/paragraph_wrap.h"

#include <algorithm>
#include <vector>

#include "engine/text_measure.h"
#include "record/field.h"
#include "schema/marker.h"

namespace crv {

void WrapChange::Add(std::size_t at) {
    if (!Changed()) {
        begin = at;
        end = at + 1;
        return;
    }
    begin = std::min(begin, at);
    end = std::max(end, at + 1);
}

void WrapChange::Add(const WrapChange& other) {
    if (!other.Changed())
        return;
    Add(other.begin);
    Add(other.end - 1);
}

ParagraphBounds ParagraphAt(const std::string& text, std::size_t offset) {
    std::size_t n = text.size();
    offset = std::min(offset, n);
    std::size_t lineStart = offset == 0 ? 0 : text.rfind('\n', offset - 1);
    lineStart = lineStart == std::string::npos || offset == 0 ? 0 : lineStart + 1;
    std::size_t lineEnd = text.find('\n', offset);
    if (lineEnd == std::string::npos)
        lineEnd = n;
    if (lineStart == lineEnd)
        return {offset, offset};
    // Back while the line before is not empty: a line start p > 0 follows an LF, and the
    // line before it is empty when another LF (or the start of the text) precedes that.
    std::size_t begin = lineStart;
    while (begin > 0 && begin != 1 && text[begin - 2] != '\n') {
        std::size_t prev = text.rfind('\n', begin - 2);
        begin = prev == std::string::npos ? 0 : prev + 1;
    }
    std::size_t end = lineEnd;
    while (end + 1 < n && text[end + 1] != '\n') {
        std::size_t next = text.find('\n', end + 1);
        end = next == std::string::npos ? n : next;
    }
    return {begin, end};
}

namespace {

class ParagraphFormatter {
public:
    ParagraphFormatter(std::string& text, int margin, const FontSpec& font, CTextMeasure& measure)
        : m_text(text), m_margin(margin), m_font(font), m_measure(measure) {}

    WrapChange Run(ParagraphBounds p) {
        m_end = p.end;
        std::size_t pos = p.begin;
        while (pos < m_end) {
            std::size_t lineEnd = LineEnd(pos);
            int width = Width(pos, lineEnd);
            if (width > m_margin) {
                std::size_t at = BreakPoint(pos, lineEnd);
                if (at != kNone) {
                    Set(at, '\n');
                    pos = at + 1;
                    continue;
                }
            } else if (width < m_margin) {
                lineEnd = Join(pos, lineEnd);
            }
            pos = lineEnd + 1;
        }
        return m_change;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::size_t LineEnd(std::size_t pos) const {
        std::size_t e = m_text.find('\n', pos);
        return e == std::string::npos || e > m_end ? m_end : e;
    }
    int Width(std::size_t from, std::size_t to) {
        return m_measure.Width(m_font, std::string_view(m_text).substr(from, to - from));
    }
    void Set(std::size_t at, char c) {
        if (m_text[at] == c)
            return;
        m_text[at] = c;
        m_change.Add(at);
    }

    // Where a long line [pos, lineEnd) is broken: the last space before a word whose
    // line still fits, else the first such space; kNone when there is none. A space
    // counts when a word (not a backslash) follows it and something other than spaces
    // precedes it on the line.
    std::size_t BreakPoint(std::size_t pos, std::size_t lineEnd) {
        m_candidates.clear();
        bool seenWord = false;
        for (std::size_t i = pos; i + 1 < lineEnd; ++i) {
            char c = m_text[i];
            if (c != ' ') {
                seenWord = true;
                continue;
            }
            char next = m_text[i + 1];
            if (seenWord && next != ' ' && next != '\\')
                m_candidates.push_back(i);
        }
        if (m_candidates.empty())
            return kNone;
        // Widths grow with the line, so the last break that fits is found by halving.
        std::size_t lo = 0, hi = m_candidates.size();
        while (lo < hi) {
            std::size_t mid = (lo + hi) / 2;
            if (Width(pos, m_candidates[mid]) <= m_margin)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo == 0 ? m_candidates.front() : m_candidates[lo - 1];
    }

    // Joins words of the following lines to the short line [pos, lineEnd) while it stays
    // narrower than the margin; returns the line's end afterwards.
    std::size_t Join(std::size_t pos, std::size_t lineEnd) {
        while (lineEnd < m_end) {
            // The next word with the spaces after it; a word that a backslash follows
            // goes with it, as no line may begin with the backslash.
            std::size_t j = lineEnd + 1;
            for (;;) {
                while (j < m_end && m_text[j] == ' ')
                    ++j;
                while (j < m_end && m_text[j] != ' ' && m_text[j] != '\n')
                    ++j;
                while (j < m_end && m_text[j] == ' ')
                    ++j;
                if (j < m_end && m_text[j] == '\\')
                    continue;
                break;
            }
            // The whole next line, or up to the last space before the next word, which
            // becomes the line break.
            std::size_t newEnd = (j >= m_end || m_text[j] == '\n') ? j : j - 1;
            m_text[lineEnd] = ' ';
            bool fits = Width(pos, newEnd) < m_margin;
            m_text[lineEnd] = '\n';
            if (!fits)
                break;
            Set(lineEnd, ' ');
            if (newEnd < m_end)
                Set(newEnd, '\n');
            lineEnd = newEnd;
        }
        return lineEnd;
    }

    std::string& m_text;
    int m_margin;
    const FontSpec& m_font;
    CTextMeasure& m_measure;
    std::size_t m_end = 0;
    WrapChange m_change;
    std::vector<std::size_t> m_candidates;
};

} // namespace

WrapChange FormatParagraph(std::string& text, std::size_t offset, int margin, const FontSpec& font,
                           CTextMeasure& measure) {
    ParagraphBounds p = ParagraphAt(text, offset);
    if (p.begin == p.end)
        return {};
    return ParagraphFormatter(text, margin, font, measure).Run(p);
}

WrapChange FormatText(std::string& text, int margin, const FontSpec& font, CTextMeasure& measure) {
    WrapChange change;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '\n') {
            ++pos;
            continue;
        }
        ParagraphBounds p = ParagraphAt(text, pos);
        change.Add(ParagraphFormatter(text, margin, font, measure).Run(p));
        pos = p.end + 1;
    }
    return change;
}

bool FormatField(CField& field, int margin, CTextMeasure& measure) {
    if (!field.Marker() || field.Marker()->NoWordWrap())
        return false;
    std::string text = field.Text();
    if (!FormatText(text, margin, FieldFont(field.Marker()), measure).Changed())
        return false;
    field.SetText(std::move(text));
    return true;
}

} // namespace crv
