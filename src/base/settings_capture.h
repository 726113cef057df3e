// Settings this version carries without reading them (objects owned by code that is not
// built yet, keys of older versions): captured verbatim from the stream and written back
// unchanged in their place, so that a read and a write never lose them.
#pragma once

#include <string>
#include <string_view>

#include "base/object_stream.h"

namespace crv {

// Captures the current entry as it stands in the input (lines joined by LF, each entry
// ending with LF) and consumes it; when it begins an object, the object's contents and
// end line are captured with it. The capture stops before the end line of the enclosing
// object (enclosingName, when not empty, or any object a SettingsObjectReader of the
// stream is reading) where the object's own end line is missing, and
// closes what is still open with end lines, so that the text written back reads as the
// same object again. Empty at the end of the input; after an overflow the entry is
// consumed and nothing captured.
std::string CaptureEntry(ObjectStream& is, std::string_view enclosingName = {});

// Writes captured text back in place.
void WriteCaptured(ObjectStream& os, std::string_view captured);

} // namespace crv
