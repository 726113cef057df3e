#include "record/rec_pos.h"

#include <utility>

#include "base/platform.h"
#include "record/field.h"

namespace crv {

CRecPos::CRecPos(CRecord* record, CField* field, int offset) { Set(record, field, offset); }

void CRecPos::Set(CRecord* record, CField* field, int offset) {
    m_record = record;
    SetField(field, offset);
}

void CRecPos::SetField(CField* field, int offset) {
    m_field = field;
    SetOffset(offset);
}

void CRecPos::SetOffset(int offset) {
    CRV_ASSERT(offset >= 0 && offset <= kMaxFieldLength);
    m_offset = offset < 0 ? 0 : offset > kMaxFieldLength ? kMaxFieldLength : offset;
}

int CRecPos::TextLength() const { return m_field ? static_cast<int>(m_field->Length()) : 0; }

bool CRecPos::SameRecord(const CRecPos& other) const {
    bool same = m_record == other.m_record && m_field && other.m_field;
    CRV_ASSERT(same);
    return same;
}

bool CRecPos::IsBefore(const CRecPos& other) const {
    if (!SameRecord(other))
        return false;
    if (m_field == other.m_field)
        return m_offset < other.m_offset;
    for (const CDblListEl* el = m_field->NextEl(); el; el = el->NextEl())
        if (el == other.m_field)
            return true;
    return false;
}

bool CRecPos::IsAfter(const CRecPos& other) const {
    if (!SameRecord(other))
        return false;
    if (m_field == other.m_field)
        return m_offset > other.m_offset;
    for (const CDblListEl* el = m_field->PrevEl(); el; el = el->PrevEl())
        if (el == other.m_field)
            return true;
    return false;
}

bool CRecPos::Equals(const CRecPos& other) const {
    return SameRecord(other) && m_field == other.m_field && m_offset == other.m_offset;
}

bool CRecPos::MoveToLineStart() {
    if (!m_field)
        return false;
    FieldText t = std::as_const(*m_field).Text();
    int i = m_offset < TextLength() ? m_offset : TextLength();
    while (i > 0 && t[static_cast<std::size_t>(i - 1)] != '\n')
        --i;
    bool moved = i != m_offset;
    m_offset = i;
    return moved;
}

bool CRecPos::MoveToLineEnd() {
    if (!m_field)
        return false;
    FieldText t = std::as_const(*m_field).Text();
    std::size_t nl = t.find('\n', static_cast<std::size_t>(m_offset));
    int end = nl == std::string::npos ? TextLength() : static_cast<int>(nl);
    if (end < m_offset)
        end = m_offset;
    bool moved = end != m_offset;
    m_offset = end;
    return moved;
}

bool CRecPos::NextLine(CRecPos& start, CRecPos& end) {
    if (!m_field || m_offset >= TextLength())
        return false;
    start = *this;
    start.MoveToLineStart();
    end = *this;
    end.MoveToLineEnd();
    m_offset = end.m_offset < TextLength() ? end.m_offset + 1 : end.m_offset;
    return true;
}

bool CRecPos::PrevLine(CRecPos& start, CRecPos& end) {
    if (!m_field || m_offset <= 0)
        return false;
    end = *this;
    FieldText t = std::as_const(*m_field).Text();
    int i = (m_offset < TextLength() ? m_offset : TextLength()) - 1;
    while (i >= 0 && t[static_cast<std::size_t>(i)] != '\n')
        --i;
    start = *this;
    if (i >= 0) {
        m_offset = i;
        start.m_offset = i + 1;
    } else {
        m_offset = 0;
        start.m_offset = 0;
    }
    return true;
}

} // namespace crv
