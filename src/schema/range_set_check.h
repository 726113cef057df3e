// Checking field texts against their markers' range sets when the user leaves an edited
// record, and building a range set from the data of open databases. The record types
// are taken as templates: a record is a sequence of fields (or of pointers to them)
// with Marker() and Text().
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "schema/marker.h"

namespace crv {

// The field (by position in its record) and the text the user must correct.
struct RangeSetViolation {
    std::size_t field = 0;
    TextSpan span;
};

// Checks one field of marker. Asks whether to allow spaces, then whether to add each
// element missing from the range set; each Yes changes the marker and the check goes
// on. The span to select when the user answered No; nullopt when the field passes.
std::optional<TextSpan> CheckFieldAgainstRangeSet(CMarker& marker, std::string_view text);

template <class T> T& DerefField(T& field) { return field; }
template <class T> T& DerefField(T* field) { return *field; }

// Checks the fields of a record in order; the first field the user did not let pass.
template <class Record>
std::optional<RangeSetViolation> CheckRecordAgainstRangeSets(const Record& record) {
    std::size_t index = 0;
    for (auto&& f : record) {
        auto& field = DerefField(f);
        if (CMarker* marker = field.Marker())
            if (auto span = CheckFieldAgainstRangeSet(*marker, std::as_const(field).Text()))
                return RangeSetViolation{index, *span};
        ++index;
    }
    return std::nullopt;
}

struct RangeSetBuildSummary {
    std::size_t total = 0;    // elements in the range set afterwards
    std::size_t added = 0;    // elements met in the data that were new
    std::size_t notFound = 0; // elements of the range set that the data lacks
};

// Collects the elements of one marker's fields (characters or words) and adds the new
// ones to a range set, with a progress display over the records.
class RangeSetBuilder {
public:
    RangeSetBuilder(const CMarker& marker, CRangeSet& set, bool characters, std::int64_t records);
    void AddText(std::string_view text);
    void RecordDone();
    // Adds what was met and shows the summary message.
    RangeSetBuildSummary Finish();

private:
    CRangeSet& m_set;
    bool m_characters;
    std::set<std::string, std::less<>> m_met;
    std::unique_ptr<Progress> m_progress;
};

// "Build range set from the data" over every record of every given record list (each a
// sequence of records, or pointers to them).
template <class RecordLists>
RangeSetBuildSummary BuildRangeSetFromData(const CMarker& marker, CRangeSet& set, bool characters,
                                           const RecordLists& lists) {
    std::int64_t records = 0;
    for (auto&& list : lists)
        for ([[maybe_unused]] auto&& record : DerefField(list))
            ++records;
    RangeSetBuilder builder(marker, set, characters, records);
    for (auto&& list : lists) {
        for (auto&& r : DerefField(list)) {
            for (auto&& f : DerefField(r)) {
                auto& field = DerefField(f);
                if (field.Marker() == &marker)
                    builder.AddText(std::as_const(field).Text());
            }
            builder.RecordDone();
        }
    }
    return builder.Finish();
}

} // namespace crv
