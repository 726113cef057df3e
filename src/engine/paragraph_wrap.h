// Paragraph wrapping of field text at a margin in pixels: long lines are broken at spaces,
// short lines take words from the next line of their paragraph. The record view formats
// as the user types, Format Paragraph and Reshape call the same code, and so do the
// interlinearizer's new bundles (bundle_wrap.h).
//
// Field text keeps its line breaks as LF; an empty line or the end of the field ends a
// paragraph. Wrapping only ever turns a space into an LF or an LF into a space, so the
// text keeps its length and every offset keeps its character: carets, selections and
// undo records stay valid across a wrap.
#pragma once

#include <cstddef>
#include <string>

#include "base/platform.h"

namespace crv {

class CField;
class CTextMeasure;

// The bytes a wrap changed: [begin, end); empty when nothing changed.
struct WrapChange {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool Changed() const { return end > begin; }
    void Add(std::size_t at);
    void Add(const WrapChange& other);
};

// The paragraph that holds offset: [begin, end) from the start of its first line to the
// end of its last (before the LF). Empty when offset is on an empty line.
struct ParagraphBounds {
    std::size_t begin = 0;
    std::size_t end = 0;
};
ParagraphBounds ParagraphAt(const std::string& text, std::size_t offset);

// Formats the paragraph that holds offset:
// - a line wider than margin is broken at the space before the last word that still
//   fits (at its first space when even its first word does not fit; a line with no
//   space is left alone);
// - a line narrower than margin takes the words of the next line for as long as the
//   line stays narrower than margin.
// Widths are those of whole lines in font. A space is never turned into a line break
// where the next line would begin with a backslash (saved, that line would begin a new
// field).
WrapChange FormatParagraph(std::string& text, std::size_t offset, int margin, const FontSpec& font,
                           CTextMeasure& measure);
// Every paragraph of text.
WrapChange FormatText(std::string& text, int margin, const FontSpec& font, CTextMeasure& measure);

// Every paragraph of an ordinary field, in its marker's font; nothing for a marker with
// No Word Wrap. Whether the field changed.
bool FormatField(CField& field, int margin, CTextMeasure& measure);

} // namespace crv
