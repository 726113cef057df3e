// The rules of the sort dialog ("Sorting by Fields"): the key length it accepts, the
// sort order offered for a first field, and what OK does with the chosen fields.
#pragma once

#include <vector>

#include "engine/index_set.h"

namespace crv {

class CSortOrder;

// "Sort Key Le&ngth" accepts 4 to 256.
bool SortKeyLengthOK(long length);

// The sort order selected when marker is placed first: its encoding's default.
CSortOrder* DefaultSortOrderFor(const CMarker* marker);

struct CSortChoice {
    std::vector<CMarker*> fields;    // first: primary marker; the rest: secondary markers
    CSortOrder* sortOrder = nullptr; // null: the first field's default
    bool fromEnd = false;
    long keyLength = CIndex::kKeyLength;
};

enum class SortDialogOutcome { Applied, BackToDialog };

// OK of the dialog: the window's indexes from GetIndex, keeping filter (null: none).
// With no field, asks whether to sort by the record marker: OK gives the default index
// for both, Cancel returns to the dialog. A key length outside 4..256 is refused with
// its message and returns to the dialog.
SortDialogOutcome ApplySortDialog(CIndexSet& set, const CSortChoice& choice, CIndexFilter* filter,
                                  CIndexRef& unfiltered, CIndexRef& filtered);

} // namespace crv
