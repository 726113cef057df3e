// Entries of a settings object that this version does not know: kept as written and put
// back before the object's end line, so that settings of newer versions survive a load
// and a save. Every reader of the jump-path and interlinear objects goes through here.
#pragma once

#include <string>
#include <string_view>

#include "base/object_stream.h"

namespace crv {

class CUnknownSettings {
public:
    // Takes the current entry (an object whole) of the object named enclosing.
    void Capture(ObjectStream& is, std::string_view enclosing);
    void Write(ObjectStream& os) const;
    bool IsEmpty() const { return m_text.empty(); }
    const std::string& Text() const { return m_text; }
    bool operator==(const CUnknownSettings&) const = default;

private:
    std::string m_text;
};

} // namespace crv
