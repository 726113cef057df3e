#include "app/document_dates.h"

#include "app/crv_doc.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "engine/index_set.h"
#include "record/date_text.h"
#include "schema/database_type.h"

namespace crv {

DateConversionCounts ConvertRecordsDates(CIndexSet& set, const CMarker* marker,
                                         std::string_view path) {
    DateConversionCounts counts;
    auto progress = platform().BeginProgress(FormatMessage("Converting date fields in %1", {path}),
                                             static_cast<std::int64_t>(set.RecordCount()), false);
    std::vector<CRecord*> changed;
    for (CRecord* record : set.RecordsInDefaultOrder()) {
        bool invalid = false;
        if (ConvertRecordDates(*record, marker, invalid)) {
            ++counts.changed;
            changed.push_back(record);
        } else if (invalid) {
            ++counts.invalid;
        }
        progress->Step();
    }
    // A date field may be a sort field: its entries move with their new text.
    for (CRecord* record : changed)
        set.RecordChanged(record);
    return counts;
}

DateConversionCounts ConvertDocumentDates(CCrvDoc& doc) {
    if (!doc.IsOpen() || doc.IsReadOnly())
        return {};
    const CMarker* marker = doc.Type().DateStampMarker();
    if (!marker)
        return {};
    DateConversionCounts counts = ConvertRecordsDates(doc.Records(), marker, doc.Path());
    doc.SetFourDigitYears();
    if (counts.changed > 0) {
        doc.SetDatesConverted();
        doc.UpdateAllViews(CRecordHint{RecordHintOp::Redraw});
    }
    doc.SetModified();
    return counts;
}

} // namespace crv
