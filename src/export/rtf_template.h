// The style sheet of an RTF document used as a template: its styles by name, each
// with its formatting control words and the names of the fonts they use, so that an
// export can take the template's formatting over for the styles it writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace crv {

// One control word of a style's formatting: "\b", "\fs24", "\f2" (font by name).
struct RtfControlWord {
    std::string word; // letters only
    bool hasParam = false;
    long param = 0;
    std::string fontName; // for \f: the font table's name of font param
    bool operator==(const RtfControlWord&) const = default;
};

struct RtfTemplateStyle {
    std::string name;
    bool character = false;
    std::vector<RtfControlWord> formatting;
};

class RtfStyleSheet {
public:
    // Reads the font table and style sheet of an RTF document; false when text is not
    // RTF ("{\rtf" at its start).
    bool Parse(std::string_view text);
    // The style of that name (ASCII letters compared without case), or null.
    const RtfTemplateStyle* Find(std::string_view name) const;
    const std::vector<RtfTemplateStyle>& Styles() const { return m_styles; }

private:
    std::vector<RtfTemplateStyle> m_styles;
};

// Formatting words that belong to characters (for character styles, which must not
// change the paragraph they run in).
bool IsCharacterFormatting(std::string_view word);

// Splits formatting text ("\b\f1\fs24") into its control words.
std::vector<RtfControlWord> SplitControlWords(std::string_view formatting);

// Names compared as RTF readers compare style names: ASCII letters without case.
bool SameStyleName(std::string_view a, std::string_view b);

} // namespace crv
