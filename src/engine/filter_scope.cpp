#include "engine/filter_scope.h"

#include "record/record.h"
#include "schema/marker.h"

namespace crv {

namespace {

// Every marker stands under the record marker once the hierarchy is resolved; one
// without a parent that is not the record marker has no place in it.
bool HasPlace(const CMarker* m) {
    return m && (m->Parent() || (m->Owner() && m->Owner()->RecordMarker() == m));
}

} // namespace

CFieldScope MarkerElementScope(const CRecord& record, const CField* field, const CMarker* marker) {
    const CFieldScope whole{record.GetFirst(), nullptr};
    if (!field || !HasPlace(field->Marker()) || !HasPlace(marker))
        return whole;
    const CMarker* entryMarker = field->Marker();

    const CField* start = nullptr;
    if (marker == entryMarker || marker->IsUnder(entryMarker)) {
        start = field;
    } else {
        // Back to the head of the group that holds both the entry and the element's
        // fields: a field of that group's marker, or one higher up, which closes it.
        const CMarker* head =
            entryMarker->IsUnder(marker) ? marker : entryMarker->NearestCommonAncestor(marker);
        if (!head)
            return whole;
        for (const CField* f = record.GetPrev(field); f; f = record.GetPrev(f)) {
            if (f->Marker() == head || f->Marker()->Level() < head->Level()) {
                start = f;
                break;
            }
        }
        if (!start)
            return whole;
    }

    const int level = start->Marker()->Level();
    if (level == 0)
        return {start, nullptr};
    for (const CField* f = record.GetNext(start); f; f = record.GetNext(f))
        if (f->Marker()->Level() <= level)
            return {start, f};
    return {start, nullptr};
}

} // namespace crv
