// Range sets: the values (whole words) or characters that the fields of one marker may
// hold. Text form: the elements in byte order, each followed by one space.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/set.h"

namespace crv {

class CMarker;

class CRangeSetElement : public CSetEl {
public:
    explicit CRangeSetElement(std::string element) : CSetEl(std::move(element)) {}
};

class CRangeSet : public CSet<CRangeSetElement> {
public:
    // The longest text form; elements that would pass it are left out of the text.
    static constexpr std::size_t kMaxText = 32000;

    explicit CRangeSet(CMarker* marker = nullptr) : m_marker(marker) {}
    CMarker* Marker() const { return m_marker; }

    // Replaces the elements by those of text: runs between spaces, tabs and LFs.
    // Duplicates are kept (the range set dialog refuses them).
    void Parse(std::string_view text);
    std::string Text(std::size_t limit = kMaxText) const;
    bool Contains(std::string_view element) const { return Search(element) != nullptr; }
    // Adds element unless it is there already; true when added.
    bool AddElement(std::string_view element);

private:
    CMarker* m_marker;
};

// A run of text to select: offset and length.
struct TextSpan {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// Space, tab or LF: what separates range set elements and the words of a field.
inline bool IsRangeSetSpace(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Calls f(offset, length) for each run of text between spaces, tabs and LFs, in order,
// until f returns false; false when it did.
template <class F> bool ForEachRangeSetWord(std::string_view text, F f) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsRangeSetSpace(text[i]))
            ++i;
        std::size_t start = i;
        while (i < text.size() && !IsRangeSetSpace(text[i]))
            ++i;
        if (i > start && !f(start, i - start))
            return false;
    }
    return true;
}

} // namespace crv
