// Entries of a settings object that this version does not read, kept as written and put
// back before the object's end line, so that settings of other versions survive a load
// and a save of the project.
#pragma once

#include <string>
#include <string_view>

#include "base/object_stream.h"
#include "base/settings_capture.h"

namespace crv {

// The last step of an object's reading loop, after its known entries: true when the
// object ended (its end line consumed, or an enclosing object's end line met where its
// own is missing); otherwise the entry (an object whole) joins unknown.
inline bool ReadEndKeepingUnknown(ObjectStream& is, std::string_view name, std::string& unknown) {
    if (is.ReadMarker('-', name) || is.IsOtherEnd(name))
        return true;
    unknown += CaptureEntry(is, name);
    return false;
}

} // namespace crv
