#include "engine/text_measure.h"

#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv {

namespace {

bool SameFont(const FontSpec& a, const FontSpec& b) {
    return a.height == b.height && a.weight == b.weight && a.italic == b.italic && a.face == b.face;
}

} // namespace

const FontSpec& FieldFont(const CMarker* marker) {
    static const FontSpec plain;
    if (!marker)
        return plain;
    if (!marker->UsesLangEncFont())
        return marker->Font();
    const CLangEnc* enc = marker->LangEnc();
    if (!enc && marker->Owner())
        enc = marker->Owner()->DefaultLangEnc();
    return enc ? enc->Font() : plain;
}

CTextMeasure::FontCache& CTextMeasure::CacheOf(const FontSpec& font) {
    for (FontCache& c : m_fonts)
        if (SameFont(c.font, font))
            return c;
    m_fonts.push_back({font, {}});
    return m_fonts.back();
}

int CTextMeasure::Width(const FontSpec& font, std::string_view text) {
    if (text.empty())
        return 0;
    if (!m_cache) {
        ++m_calls;
        return platform().TextWidth(font, text);
    }
    FontCache& c = CacheOf(font);
    std::string key(text);
    auto it = c.widths.find(key);
    if (it != c.widths.end())
        return it->second;
    ++m_calls;
    int w = platform().TextWidth(font, text);
    // A whole-sale reset keeps the bookkeeping trivial; the lines of the paragraph being
    // typed are measured again at once.
    if (c.widths.size() >= kMaxKept)
        c.widths.clear();
    c.widths.emplace(std::move(key), w);
    return w;
}

} // namespace crv
