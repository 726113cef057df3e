#include "schema/range_set.h"

namespace crv {

void CRangeSet::Parse(std::string_view text) {
    DeleteAll();
    ForEachRangeSetWord(text, [&](std::size_t at, std::size_t n) {
        Add(new CRangeSetElement(std::string(text.substr(at, n))));
        return true;
    });
}

std::string CRangeSet::Text(std::size_t limit) const {
    std::string text;
    for (const auto& el : *this) {
        if (text.size() + el.Name().size() + 1 > limit)
            break;
        text += el.Name();
        text += ' ';
    }
    return text;
}

bool CRangeSet::AddElement(std::string_view element) {
    if (element.empty() || Contains(element))
        return false;
    Add(new CRangeSetElement(std::string(element)));
    return true;
}

} // namespace crv
