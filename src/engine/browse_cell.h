// The text a browse list shows for an index entry: the entry's own field, or the field
// of a column's marker that belongs with it, with the texts for no field and empty field.
#pragma once

#include <string>

namespace crv {

class CIndexEntry;
class CMarker;

struct CBrowseTexts {
    std::string noField = "*no field*";
    std::string empty = "*empty*";
};

// column null: the entry's own field. Otherwise the field FindRelatedField finds for
// column from the entry's field (the record's first such field for an entry without
// field). The text is the field's whole text, LF included.
std::string BrowseCellText(const CIndexEntry& entry, const CMarker* column,
                           const CBrowseTexts& texts = CBrowseTexts());

} // namespace crv
