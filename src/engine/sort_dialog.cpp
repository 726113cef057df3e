// The sort dialog's rules.
#include "engine/sort_dialog.h"

#include "base/message_text.h"
#include "base/platform.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv {

bool SortKeyLengthOK(long length) { return length >= 4 && length <= 256; }

CSortOrder* DefaultSortOrderFor(const CMarker* marker) {
    return marker && marker->LangEnc() ? marker->LangEnc()->DefaultSortOrder() : nullptr;
}

SortDialogOutcome ApplySortDialog(CIndexSet& set, const CSortChoice& choice, CIndexFilter* filter,
                                  CIndexRef& unfiltered, CIndexRef& filtered) {
    if (!SortKeyLengthOK(choice.keyLength)) {
        platform().ShowMessage("Please enter an integer between 4 and 256.");
        return SortDialogOutcome::BackToDialog;
    }
    if (choice.fields.empty()) {
        CMarker* rm = set.RecordMarker();
        std::string text = FormatMessage(
            "Corvane needs a field marker to sort by. Since you didn't select one, Corvane will "
            "sort by the database's record marker:\n\\%1  %2",
            {rm ? rm->Name() : std::string(), rm ? rm->FieldName() : std::string()});
        if (platform().Ask(text, Buttons::OkCancel) != Answer::Ok)
            return SortDialogOutcome::BackToDialog;
        unfiltered = &set.DefaultIndex();
        filtered = unfiltered;
        return SortDialogOutcome::Applied;
    }
    CIndexKeys keys;
    keys.priMarker = choice.fields.front();
    keys.sortOrder = choice.sortOrder;
    keys.secMarkers.assign(choice.fields.begin() + 1, choice.fields.end());
    keys.fromEnd = choice.fromEnd;
    unfiltered = set.GetIndex(keys, static_cast<std::uint16_t>(choice.keyLength));
    if (filter) {
        keys.filter = filter;
        filtered = set.GetIndex(keys, static_cast<std::uint16_t>(choice.keyLength));
    } else {
        filtered = unfiltered;
    }
    return SortDialogOutcome::Applied;
}

} // namespace crv
