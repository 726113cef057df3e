#include "schema/marker_subset.h"

namespace crv {

namespace {

const char* ListKey(CMarkerSubSet::Storage storage) {
    return storage == CMarkerSubSet::Storage::Excluded ? "mkrsubsetExcluded" : "mkrsubsetIncluded";
}

} // namespace

CMarkerSubSet::CMarkerSubSet(const CMarkerSet* set, Storage storage)
    : m_set(set), m_storage(storage) {
    CRV_ASSERT(set != nullptr);
}

bool CMarkerSubSet::IncludesMarker(const CMarker* marker) const {
    if (m_wholeSet)
        return true;
    if (!marker)
        return false;
    auto slot = static_cast<std::size_t>(marker->SubsetSlot());
    return slot < m_bits.size() ? static_cast<bool>(m_bits[slot]) : NewMarkersIncluded();
}

void CMarkerSubSet::SetIncluded(const CMarker* marker, bool included) {
    if (!marker || IncludesMarker(marker) == included)
        return;
    Materialize();
    auto slot = static_cast<std::size_t>(marker->SubsetSlot());
    if (slot >= m_bits.size())
        m_bits.resize(slot + 1, NewMarkersIncluded());
    m_bits[slot] = included;
}

void CMarkerSubSet::SetWholeSet() {
    m_wholeSet = true;
    m_bits.clear();
}

void CMarkerSubSet::SetStorage(Storage storage) {
    if (storage == m_storage)
        return;
    // Markers that exist keep their membership; only later ones follow the new mode.
    if (!m_wholeSet)
        Materialize();
    m_storage = storage;
}

void CMarkerSubSet::Materialize() {
    std::size_t count = m_set ? static_cast<std::size_t>(m_set->SubsetSlotCount()) : 0;
    if (m_wholeSet) {
        m_bits.assign(count, true);
        m_wholeSet = false;
    } else if (m_bits.size() < count) {
        m_bits.resize(count, NewMarkersIncluded());
    }
}

void CMarkerSubSet::Write(ObjectStream& os) const {
    if (m_wholeSet || !m_set)
        return;
    bool listIncluded = m_storage == Storage::Included;
    os.WriteBeginMarker(ListKey(m_storage));
    SettingsObjectWriter keep(os, m_kept);
    for (const auto& m : *m_set)
        if (IncludesMarker(&m) == listIncluded)
            os.WriteString("mkr", m.Name());
    os.WriteEndMarker(ListKey(m_storage));
}

bool CMarkerSubSet::Read(ObjectStream& is) {
    Storage storage;
    if (is.ReadBeginMarker(ListKey(Storage::Excluded)))
        storage = Storage::Excluded;
    else if (is.ReadBeginMarker(ListKey(Storage::Included)))
        storage = Storage::Included;
    else
        return false;
    const char* key = ListKey(storage);
    // Every marker starts on the other side of the list.
    m_storage = storage;
    m_wholeSet = false;
    std::size_t count = m_set ? static_cast<std::size_t>(m_set->SubsetSlotCount()) : 0;
    m_bits.assign(count, storage == Storage::Excluded);
    std::string name;
    m_kept.Clear();
    SettingsObjectReader reader(is, key, m_kept);
    while (reader.Next()) {
        if (is.ReadString("mkr", name)) {
            if (const CMarker* m = m_set ? m_set->Search(name) : nullptr)
                m_bits[static_cast<std::size_t>(m->SubsetSlot())] = storage == Storage::Included;
            continue;
        }
        reader.Keep();
    }
    return true;
}

} // namespace crv
