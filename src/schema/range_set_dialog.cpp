#include "schema/range_set_dialog.h"

#include <set>

#include "base/message_text.h"

namespace crv {

std::string RangeSetDialogTitle(const CMarker& marker) {
    return FormatMessage("&Range Set for \\%1  %2", {marker.Name(), marker.FieldName()});
}

bool AskDeleteRangeSetOnModeSwitch(std::string_view text) {
    bool empty = ForEachRangeSetWord(text, [](std::size_t, std::size_t) { return false; });
    if (empty)
        return false;
    return platform().Ask("You have changed whether the elements of this range set will be whole "
                          "words or characters.\n\nThe existing contents of the range set may not "
                          "be correct for this kind of elements.\n\nDo you want to delete the "
                          "contents?",
                          Buttons::YesNo) == Answer::Yes;
}

std::optional<TextSpan> ValidateRangeSetText(std::string_view text, bool characters) {
    std::set<std::string_view> seen;
    std::optional<TextSpan> marked;
    ForEachRangeSetWord(text, [&](std::size_t at, std::size_t n) {
        std::string_view element = text.substr(at, n);
        if (characters && n > 1)
            platform().ShowMessage("Characters should be separated by spaces.");
        else if (!seen.insert(element).second)
            platform().ShowMessage("The marked element occurs multiple times.");
        else
            return true;
        marked = TextSpan{at, n};
        return false;
    });
    return marked;
}

} // namespace crv
