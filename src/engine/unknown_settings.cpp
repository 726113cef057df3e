#include "engine/unknown_settings.h"

#include "base/settings_capture.h"

namespace crv {

void CUnknownSettings::Capture(ObjectStream& is, std::string_view enclosing) {
    m_text += CaptureEntry(is, enclosing);
}

void CUnknownSettings::Write(ObjectStream& os) const {
    if (!m_text.empty())
        WriteCaptured(os, m_text);
}

} // namespace crv
