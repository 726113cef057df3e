// What the marker properties dialog and the record view decide when the user renames or
// merges a marker, or inserts a field by marker name: the questions and refusals, and an
// outcome that the window acts on.
#pragma once

#include <string_view>

#include "schema/marker.h"

namespace crv {

enum class MarkerDialogOutcome {
    Applied,      // the properties (and a new name) were stored; the dialog closes
    Merged,       // the marker was merged into the one of the new name; the dialog closes
    NameRestored, // the old name is back in props.name; the dialog stays open
    Cancelled,    // nothing changed; the dialog closes
    Refused,      // error names the bad entry; the dialog stays open
};

struct MarkerDialogResult {
    MarkerDialogOutcome outcome = MarkerDialogOutcome::Applied;
    CNote error;
    bool ClosesDialog() const {
        return outcome == MarkerDialogOutcome::Applied || outcome == MarkerDialogOutcome::Merged ||
               outcome == MarkerDialogOutcome::Cancelled;
    }
};

// OK in the properties dialog of an existing marker. A name that differs from the
// marker's renames it (asked first) or merges it into the marker of that name (asked
// first, refused for the record marker and for markers held by settings).
MarkerDialogResult ApplyMarkerDialog(CMarkerSet& set, CMarker* marker, CMarkerProperties& props);

enum class InsertFieldOutcome {
    Insert,       // marker is the field's marker
    AddNewMarker, // open the new-marker properties dialog with the name
    Declined,     // "No": nothing inserted
    Cancelled,    // "Cancel": nothing inserted
    Refused,      // the record marker: a record is inserted another way
};

struct InsertFieldChoice {
    InsertFieldOutcome outcome = InsertFieldOutcome::Insert;
    CMarker* marker = nullptr;
};

// The record view's insertion of a field by marker name.
InsertFieldChoice ChooseMarkerForInsert(const CMarkerSet& set, std::string_view name);

} // namespace crv
