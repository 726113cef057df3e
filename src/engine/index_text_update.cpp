// Re-keying after edits of field texts only. Replace All and Reshape change thousands of
// records in one go; finding each record's entries by a walk over the whole index would
// make that quadratic, so entries are found by their key instead and the full update is
// kept for the records whose keys moved.
#include "engine/index_set.h"

namespace crv {

CIndexPos CIndex::FindInEqualRun(const CIndexEntry& like) const {
    // The run of entries equal to like ends just before its insertion point.
    for (std::size_t i = InsertionPoint(like); i-- > 0;) {
        const CIndexEntry& e = *m_entries[i];
        if (e.Record() == like.Record() && e.Field() == like.Field())
            return PosAt(i);
        if (CompareEntries(e, like) != 0)
            break;
    }
    return CIndexPos(nullptr, m_entries.size());
}

CIndex::TextUpdate CIndex::UpdateRecordText(CRecord* record, bool& changed) {
    std::vector<CField*> fields;
    PrimaryFields(*record, fields);
    for (CField* f : fields) {
        CIndexEntry probe(record, f, MakeEntryKey(*record, f));
        CIndexPos pos = FindInEqualRun(probe);
        if (!m_base) {
            if (!pos.IsValid())
                return TextUpdate::NeedsFull;
            // Equal under the comparison but other bytes: the entry stays where it is.
            if (pos.Entry()->Key() != probe.Key())
                pos.Entry()->SetKey(probe.Key());
            continue;
        }
        // The base was brought up to date first and its keys did not move, so an entry
        // missing here is one the filter did not pass before.
        std::size_t baseOrdinal = 0;
        bool passes = PassesFilter(probe, &baseOrdinal);
        if (pos.IsValid() && !passes) {
            m_removeEntries.push_back(pos.Entry());
            changed = true;
        } else if (pos.IsValid()) {
            if (pos.Entry()->Key() != probe.Key())
                pos.Entry()->SetKey(probe.Key());
        } else if (passes) {
            InsertFiltered(m_pool.Make(record, f, probe.Key()), baseOrdinal);
            changed = true;
        }
    }
    return TextUpdate::Done;
}

bool CIndexSet::RecordTextChanged(CRecord* record) {
    bool changed = false;
    for (auto& index : m_indexes)
        if (!index->m_base &&
            index->UpdateRecordText(record, changed) == CIndex::TextUpdate::NeedsFull)
            return UpdateIndexes(record, nullptr);
    for (auto& index : m_indexes)
        if (index->m_base)
            index->UpdateRecordText(record, changed);
    RemoveMarkedEntries();
    // The rows stay, but what a view shows of them changed.
    TellRecordRows(record, nullptr);
    return changed;
}

} // namespace crv
