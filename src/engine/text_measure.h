// Pixel widths of field text, asked of the platform services in the font a field is shown
// in. Wrapping and the record view measure the same lines again and again while the user
// types, so recent answers are kept.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/platform.h"

namespace crv {

class CMarker;

// The font a field of marker is shown in: the marker's own font, else its language
// encoding's (the marker set's default encoding for a marker without one).
const FontSpec& FieldFont(const CMarker* marker);

class CTextMeasure {
public:
    // A measure that keeps recent widths (cache) or asks every time; one-pass work over a
    // whole database (Reshape) meets every line once and is faster without.
    explicit CTextMeasure(bool cache = true) : m_cache(cache) {}

    int Width(const FontSpec& font, std::string_view text);
    // Forget every width kept (fonts or the screen changed).
    void Clear() { m_fonts.clear(); }
    // The number of times the platform was asked (tests, benchmarks).
    std::size_t PlatformCalls() const { return m_calls; }

private:
    static constexpr std::size_t kMaxKept = 4096;
    struct FontCache {
        FontSpec font;
        std::unordered_map<std::string, int> widths;
    };
    FontCache& CacheOf(const FontSpec& font);

    bool m_cache;
    std::size_t m_calls = 0;
    std::vector<FontCache> m_fonts;
};

} // namespace crv
