// How the indexes of a database follow changes of settings: a marker's encoding, a
// merge or a new record marker, an encoding or sort order, a filter.
#include "engine/index_set.h"

#include <algorithm>

#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv {

namespace {

bool UsesMarker(const CIndex& index, const CMarker* m) {
    if (index.PriMarker() == m)
        return true;
    for (std::size_t i = 0; i < index.SecMarkerCount(); ++i)
        if (index.SecMarker(i) == m)
            return true;
    return false;
}

bool UsesLangEnc(const CIndex& index, const CLangEnc* enc) {
    if (index.PriMarker() && index.PriMarker()->LangEnc() == enc)
        return true;
    if (index.SortOrder() && &index.SortOrder()->Owner() == enc)
        return true;
    for (std::size_t i = 0; i < index.SecMarkerCount(); ++i)
        if (index.SecMarker(i) && index.SecMarker(i)->LangEnc() == enc)
            return true;
    return false;
}

bool UsesSortOrder(const CIndex& index, const CSortOrder* order) {
    if (index.SortOrder() == order)
        return true;
    for (std::size_t i = 0; i < index.SecMarkerCount(); ++i) {
        const CMarker* m = index.SecMarker(i);
        if (m && m->LangEnc() && m->LangEnc()->DefaultSortOrder() == order)
            return true;
    }
    return false;
}

} // namespace

void CIndexSet::Rebuild(const std::vector<bool>& which, bool refill) {
    // The default index first: the others are filled in its order.
    if (which[0]) {
        if (refill) {
            std::vector<CRecord*> order = RecordsInOrder();
            m_default->Fill(order);
        } else {
            m_default->Rekey();
        }
    }
    std::vector<CRecord*> order;
    for (std::size_t i = 1; i < m_indexes.size(); ++i) {
        CIndex& index = *m_indexes[i];
        if (!which[i] || index.m_base)
            continue;
        if (refill) {
            if (order.empty())
                order = RecordsInOrder();
            index.Fill(order);
        } else {
            index.Rekey();
        }
    }
    // A filtered index follows its base whenever the base was remade.
    for (std::size_t i = 0; i < m_indexes.size(); ++i) {
        CIndex& index = *m_indexes[i];
        if (!index.m_base)
            continue;
        auto b =
            std::find_if(m_indexes.begin(), m_indexes.end(),
                         [&](const std::unique_ptr<CIndex>& p) { return p.get() == index.m_base; });
        if (which[i] || (b != m_indexes.end() && which[b - m_indexes.begin()]))
            index.Refill();
    }
}

void CIndexSet::OnMarkerUpdate(const CMarkerUpdate& update) {
    CMarker* marker = update.marker;
    if (!marker || marker->Owner() != m_markers)
        return;
    std::vector<bool> which(m_indexes.size(), false);
    bool refill = false;
    if (update.mergedInto) {
        // The fields move to the survivor; so do the indexes, which now find its fields.
        CMarker* survivor = update.mergedInto;
        for (CRecord& r : m_records)
            for (CField& f : r)
                if (f.Marker() == marker)
                    f.SetMarker(survivor);
        for (auto& m : m_secKeys)
            if (m.Get() == marker)
                m = survivor;
        for (std::size_t i = 0; i < m_indexes.size(); ++i) {
            CIndex& index = *m_indexes[i];
            if (!UsesMarker(index, marker))
                continue;
            which[i] = true;
            if (index.PriMarker() == marker) {
                bool sameEnc = survivor->LangEnc() == marker->LangEnc();
                index.SetPrimaryMarker(survivor, sameEnc ? index.SortOrder() : nullptr);
            }
            for (auto& m : index.m_secMarkers)
                if (m.Get() == marker)
                    m = survivor;
        }
        refill = true;
    }
    if (update.recordMarkerChanged && m_default->PriMarker() != RecordMarker()) {
        m_default->SetPrimaryMarker(RecordMarker(), nullptr);
        which[0] = true;
        refill = true;
    }
    if (update.langEncChanged) {
        for (std::size_t i = 0; i < m_indexes.size(); ++i) {
            CIndex& index = *m_indexes[i];
            if (!UsesMarker(index, marker))
                continue;
            which[i] = true;
            // The primary key follows the marker into its new encoding's default order.
            if (index.PriMarker() == marker)
                index.SetPrimaryMarker(marker, nullptr);
        }
    }
    Rebuild(which, refill);
}

void CIndexSet::OnLangEncUpdate(const CLangEncUpdate& update) {
    if (!update.langEnc || update.deleted)
        return;
    if (update.nameChanged && !update.sortOrder)
        return; // a new name changes no key
    std::vector<bool> which(m_indexes.size(), false);
    for (std::size_t i = 0; i < m_indexes.size(); ++i) {
        const CIndex& index = *m_indexes[i];
        which[i] = update.sortOrder ? UsesSortOrder(index, update.sortOrder)
                                    : UsesLangEnc(index, update.langEnc);
    }
    Rebuild(which, false);
}

void CIndexSet::FilterChanged(const CIndexFilter* filter) {
    for (auto& index : m_indexes)
        if (index->m_base && index->Filter() == filter)
            index->Refill();
}

} // namespace crv
