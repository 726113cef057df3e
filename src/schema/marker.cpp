#include "schema/marker.h"

namespace crv {

CMarker::CMarker(CMarkerSet* owner, std::string name)
    : CSetEl(std::move(name)), m_owner(owner) {}

CMarker::~CMarker() = default;

bool CMarker::IsUnder(const CMarker* other) const {
    if (!other)
        return false;
    // Bounded by the set size so that a broken parent cycle cannot loop forever.
    int guard = 0;
    for (const CMarker* p = m_parent; p && guard < 100000; p = p->m_parent, ++guard)
        if (p == other)
            return true;
    return false;
}

CMarker* CMarker::NearestCommonAncestor(const CMarker* other) const {
    int guard = 0;
    for (CMarker* p = m_parent; p && guard < 100000; p = p->m_parent, ++guard)
        if (p == other || (other && other->IsUnder(p)))
            return p;
    return nullptr;
}

CMarkerSet::CMarkerSet(CLangEncSet* langEncSet) : m_langEncSet(langEncSet) {
    if (m_langEncSet)
        m_defaultLangEnc = m_langEncSet->Default();
}

CMarkerSet::~CMarkerSet() {
    // Markers refer to each other through plain pointers: clear them before deleting.
    for (auto& m : *this) {
        m.m_parent = nullptr;
        m.m_following = nullptr;
    }
    DeleteAll();
}

void CMarkerSet::SetRecordMarker(CMarker* rec) {
    CMarker* old = m_recordMarker;
    m_recordMarker = rec;
    if (rec)
        rec->m_parent = nullptr;
    if (old && old != rec)
        old->m_parent = rec;
    ComputeLevels();
}

CMarker* CMarkerSet::SearchOrAddFromData(std::string_view name, bool* wasAdded) {
    if (wasAdded)
        *wasAdded = false;
    if (CMarker* m = Search(name))
        return m;
    auto* m = new CMarker(this, std::string(name));
    m->m_fieldName = "*";
    m->m_langEnc = m_defaultLangEnc.Get();
    if (m_recordMarker) {
        m->m_parent = m_recordMarker;
        m->m_level = m_recordMarker->m_level + 1;
        if (m->m_level > m_maxLevel)
            ComputeLevels();
    }
    Add(m);
    if (wasAdded)
        *wasAdded = true;
    return m;
}

void CMarkerSet::ComputeLevels() {
    m_maxLevel = 0;
    std::size_t n = Count();
    for (auto& m : *this) {
        int level = 0;
        for (CMarker* p = m.m_parent; p && static_cast<std::size_t>(level) <= n; p = p->m_parent)
            ++level;
        m.m_level = level;
        if (level > m_maxLevel)
            m_maxLevel = level;
    }
    m_indent.assign(static_cast<std::size_t>(m_maxLevel) * 3, ' ');
    for (std::size_t i = 0; i < m_indent.size(); i += 3)
        m_indent[i] = '.';
}

} // namespace crv
