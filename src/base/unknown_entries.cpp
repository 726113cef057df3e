#include "base/unknown_entries.h"

#include "base/settings_capture.h"

namespace crv {

void UnknownEntries::Capture(ObjectStream& is, std::string_view enclosing) {
    m_text += CaptureEntry(is, enclosing);
}

std::string UnknownEntries::Take(ObjectStream& is, std::string_view enclosing) {
    return CaptureEntry(is, enclosing);
}

void UnknownEntries::AddRaw(std::string_view raw) {
    m_text += raw;
    m_text += '\n';
}

void UnknownEntries::Write(ObjectStream& os) const {
    if (!m_text.empty())
        WriteCaptured(os, m_text);
}

bool AtObjectEnd(ObjectStream& is, std::string_view name) {
    if (is.AtEnd())
        return true;
    if (is.IsOtherEnd(name))
        return true;
    std::string_view key = is.PeekKey();
    if (!is.Overflow() && key.size() == name.size() + 1 && key[0] == '-' && key.substr(1) == name) {
        is.SkipEntry();
        return true;
    }
    return false;
}

} // namespace crv
