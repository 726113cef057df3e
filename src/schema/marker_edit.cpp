#include "schema/marker_edit.h"

#include "base/message_text.h"
#include "schema/marker_name.h"

namespace crv {

namespace {

MarkerDialogResult Restored(CMarker* marker, CMarkerProperties& props) {
    props.name = marker->Name();
    return {MarkerDialogOutcome::NameRestored, {}};
}

MarkerDialogResult Store(CMarkerSet& set, CMarker* marker, const CMarkerProperties& props) {
    MarkerDialogResult r;
    if (!set.Modify(marker, props, r.error))
        r.outcome = MarkerDialogOutcome::Refused;
    return r;
}

MarkerDialogResult MergeInto(CMarkerSet& set, CMarker* marker, CMarker* existing,
                             CMarkerProperties& props) {
    if (existing == set.RecordMarker()) {
        platform().ShowMessage("Can't merge with record marker!");
        return Restored(marker, props);
    }
    if (marker == set.RecordMarker())
        return Restored(marker, props);
    if (marker->SettingsRefCount() > 0) {
        platform().ShowMessage(FormatMessage(
            "Can't merge markers because \\%1 is used in settings!", {marker->Name()}));
        return Restored(marker, props);
    }
    std::string question =
        FormatMessage("The marker \\%1 already exists.  Do you want to merge "
                      "\\%2 with \\%1?\nAll \\%2 fields will become \\%1 fields.",
                      {existing->Name(), marker->Name()});
    if (platform().Ask(question, Buttons::YesNo) != Answer::Yes)
        return Restored(marker, props);
    set.Merge(marker, existing);
    return {MarkerDialogOutcome::Merged, {}};
}

} // namespace

MarkerDialogResult ApplyMarkerDialog(CMarkerSet& set, CMarker* marker, CMarkerProperties& props) {
    CRV_ASSERT(marker != nullptr);
    if (!marker)
        return {MarkerDialogOutcome::Cancelled, {}};
    if (props.name == marker->Name())
        return Store(set, marker, props);

    MarkerDialogResult r;
    r.outcome = MarkerDialogOutcome::Refused;
    if (!CheckMarkerName(props.name, r.error))
        return r;
    if (CMarker* existing = set.Search(props.name))
        return MergeInto(set, marker, existing, props);
    // Check the rest before asking, so that a Yes is never followed by a refusal.
    if (set.FieldNameRefused(props.fieldName, marker, r.error))
        return r;
    std::string question = FormatMessage("Replace marker \\%1 with \\%2 everywhere it occurs?",
                                         {marker->Name(), props.name});
    switch (platform().Ask(question, Buttons::YesNoCancel)) {
    case Answer::Yes:
        return Store(set, marker, props);
    case Answer::No:
        return Restored(marker, props);
    default:
        return {MarkerDialogOutcome::Cancelled, {}};
    }
}

InsertFieldChoice ChooseMarkerForInsert(const CMarkerSet& set, std::string_view name) {
    CMarker* marker = set.Search(name);
    if (marker && marker == set.RecordMarker()) {
        platform().ShowMessage(
            "Insertion of record marker not allowed. Use Database Insert Record.");
        return {InsertFieldOutcome::Refused, nullptr};
    }
    if (marker)
        return {InsertFieldOutcome::Insert, marker};
    switch (platform().Ask("Marker not in marker list. Add it?", Buttons::YesNoCancel)) {
    case Answer::Yes:
        return {InsertFieldOutcome::AddNewMarker, nullptr};
    case Answer::No:
        return {InsertFieldOutcome::Declined, nullptr};
    default:
        return {InsertFieldOutcome::Cancelled, nullptr};
    }
}

} // namespace crv
