#include "record/field.h"

#include "base/platform.h"
#include "record/record_arena.h"
#include "schema/marker.h"

namespace crv {

bool FieldLengthOK(std::int64_t n) {
    if (n >= 0 && n <= kMaxFieldLength)
        return true;
    platform().ShowMessage("Fields are limited to 32000 characters in size.", MessageKind::Warning,
                           true);
    return false;
}

std::string operator+(const std::string& a, FieldText b) {
    std::string out;
    out.reserve(a.size() + b.size());
    out.append(a).append(b);
    return out;
}
std::string operator+(std::string&& a, FieldText b) { return std::move(a.append(b)); }
std::string operator+(FieldText a, const std::string& b) {
    std::string out;
    out.reserve(a.size() + b.size());
    out.append(a).append(b);
    return out;
}
std::string operator+(const char* a, FieldText b) { return std::string(a) + b; }
std::string operator+(FieldText a, const char* b) { return std::string(a).append(b); }
std::string operator+(char a, FieldText b) { return std::string(1, a) + b; }
std::string operator+(FieldText a, char b) { return std::string(a) + b; }
std::string operator+(FieldText a, FieldText b) { return std::string(a) + b; }

CField::CField(CMarker* marker, std::string text) : m_marker(marker) {
    CRV_ASSERT(marker != nullptr);
    if (m_marker)
        m_marker->IncUse();
    if (!text.empty())
        m_text = reinterpret_cast<std::uintptr_t>(new std::string(std::move(text)));
}

CField::CField(const CField& other) : CDblListEl(other), m_marker(other.m_marker) {
    if (m_marker)
        m_marker->IncUse();
    FieldText text = other.Text();
    if (!text.empty())
        m_text = reinterpret_cast<std::uintptr_t>(new std::string(text));
}

CField::~CField() {
    if (!(m_text & kInline))
        delete Owned();
    if (m_marker)
        m_marker->DecUse();
}

void CField::operator delete(CField* field, std::destroying_delete_t) {
    if (!(field->m_text & kInBlock)) {
        field->~CField();
        ::operator delete(field);
        return;
    }
    // A text moved out leaves its bytes in the block; only the field itself is known
    // to be gone then.
    std::size_t size = 0;
    if (RecordArena::kWantsSizes)
        size =
            field->m_text & kInline ? RecordArena::FieldFootprint(field->Length()) : sizeof(CField);
    // The arena makes plain fields only.
    field->CField::~CField();
    RecordArena::Release(field, size);
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

FieldText CField::Text() const {
    if (m_text & kInline)
        return FieldText(InlineText(), m_text >> 2);
    const std::string* s = Owned();
    return s ? FieldText(s->c_str(), s->size()) : FieldText();
}

std::string& CField::Text() {
    if (m_text & kInline) {
        auto* s = new std::string(InlineText(), m_text >> 2);
        m_text = reinterpret_cast<std::uintptr_t>(s) | kInBlock;
        return *s;
    }
    if (!Owned())
        m_text |= reinterpret_cast<std::uintptr_t>(new std::string());
    return *Owned();
}

void CField::SetText(std::string text) {
    if (m_text & kInline)
        m_text = reinterpret_cast<std::uintptr_t>(new std::string(std::move(text))) | kInBlock;
    else if (std::string* s = Owned())
        *s = std::move(text);
    else
        m_text |= reinterpret_cast<std::uintptr_t>(new std::string(std::move(text)));
}

std::size_t CField::Length() const {
    if (m_text & kInline)
        return m_text >> 2;
    const std::string* s = Owned();
    return s ? s->size() : 0;
}

} // namespace crv
