#include "record/field.h"

#include "base/platform.h"
#include "schema/marker.h"

namespace crv {

bool FieldLengthOK(std::int64_t n) {
    if (n >= 0 && n <= kMaxFieldLength)
        return true;
    platform().ShowMessage("Fields are limited to 32000 characters in size.", MessageKind::Warning,
                           true);
    return false;
}

CField::CField(CMarker* marker, std::string text) : m_marker(marker), m_text(std::move(text)) {
    CRV_ASSERT(marker != nullptr);
    if (m_marker)
        m_marker->IncUse();
}

CField::CField(const CField& other)
    : CDblListEl(other), m_marker(other.m_marker), m_text(other.m_text) {
    if (m_marker)
        m_marker->IncUse();
}

CField::~CField() {
    if (m_marker)
        m_marker->DecUse();
}

void CField::SetMarker(CMarker* marker) {
    CRV_ASSERT(marker != nullptr);
    if (!marker || marker == m_marker)
        return;
    marker->IncUse();
    if (m_marker)
        m_marker->DecUse();
    m_marker = marker;
}

} // namespace crv
