// Browse cell texts.
#include "engine/browse_cell.h"

#include "engine/index_entry.h"
#include "record/record.h"

namespace crv {

std::string BrowseCellText(const CIndexEntry& entry, const CMarker* column,
                           const CBrowseTexts& texts) {
    const CField* f =
        column ? entry.Record()->FindRelatedField(column, entry.Field()) : entry.Field();
    if (!f)
        return texts.noField;
    if (f->Text().empty())
        return texts.empty;
    return f->Text();
}

} // namespace crv
