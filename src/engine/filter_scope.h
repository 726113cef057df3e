// Which fields of a record a filter's marker element looks at for one index entry: the
// entry's own part of the record as the marker hierarchy divides it, so that each
// sub-entry of a record is tested on its own.
#pragma once

namespace crv {

class CField;
class CMarker;
class CRecord;

// Fields from first up to, not including, end (null: to the end of the record).
struct CFieldScope {
    const CField* first = nullptr;
    const CField* end = nullptr;
};

// The scope of an element of marker for the entry of field (null: the entry has no
// field). The whole record when there is no field, when either marker has no place in
// the hierarchy, or when the two markers have nothing over both.
CFieldScope MarkerElementScope(const CRecord& record, const CField* field, const CMarker* marker);

} // namespace crv
