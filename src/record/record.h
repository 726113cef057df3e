// A record: an ordered list of fields whose first field carries the record marker.
// Records are elements of a database's record list.
#pragma once

#include <string>
#include <string_view>

#include "base/dbl_list.h"
#include "record/date_text.h"
#include "record/field.h"

namespace crv {

class CMarker;
class CRecPos;

class CRecord : public CDblListEl, public CDblList<CField> {
public:
    // A record is made from its first field (not null) and is never empty.
    explicit CRecord(CField* first);
    // A record a RecordArena placed in a block goes back to it, any other to the heap.
    static void operator delete(CRecord* record, std::destroying_delete_t);

    // The text of the first field (the record-marker field).
    FieldText GetKey() const;

    // The first field with marker m, or null.
    CField* FindField(const CMarker* m) const;
    // The field with marker m that belongs with field from in the marker hierarchy: the
    // one inside from's own group (a sense's gloss, not the next sense's).
    CField* FindRelatedField(const CMarker* m, const CField* from) const;

    // Puts today (a date-stamp text, CDateClock::Today) into the first line of the first
    // field with marker m, adding the field at the end when the record has none. Later
    // lines of the field stay. Refused (false, nothing changed) for an empty text, and
    // where the field would grow past the field limit.
    bool StampDate(CMarker* m, std::string_view today);

    // Pastes text that may hold several fields ("\mkr text" lines) into the field at
    // pos, and leaves pos at the end of the inserted text.
    void InsertText(CRecPos& pos, std::string_view text);

private:
    friend class RecordArena;
    bool m_inBlock = false;
};

// "Set template to current record contents": the record's fields, each with its text
// when includeContents is set, else its marker alone (a database type's template).
std::string TemplateFromRecord(const CRecord& record, bool includeContents);

// A database's records in file order.
using CRecordList = CDblList<CRecord>;

} // namespace crv
