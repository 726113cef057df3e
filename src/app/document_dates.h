// Upgrading a database's date stamps to four-digit years: when a database whose type
// has a date-stamp marker opens from a file without the four-digit flag, and when a
// type's date-stamp marker becomes another one.
#pragma once

#include <string_view>

namespace crv {

class CCrvDoc;
class CIndexSet;
class CMarker;

struct DateConversionCounts {
    long changed = 0; // records with a field rewritten
    long invalid = 0; // records left unchanged with a date field that is no date, or none
};

// Converts the fields of marker in every record of set, re-keying the records that
// changed, under the progress display "Converting date fields in %1" (path).
DateConversionCounts ConvertRecordsDates(CIndexSet& set, const CMarker* marker,
                                         std::string_view path);

// Converts every record of a writable document with its type's date-stamp marker under
// the progress display "Converting date fields in %1" (the path). The document then
// counts as having four-digit years and as modified (so that the next save writes them
// and the four-digit line); when a record changed, datesConverted is set and the views
// redraw. A read-only document, or one whose type has no date-stamp marker, is left
// alone.
DateConversionCounts ConvertDocumentDates(CCrvDoc& doc);

} // namespace crv
