// The record list and index set of one database: adding, changing and deleting records
// in every index, sharing indexes, and following marker, encoding and filter changes.
#include "engine/index_set.h"

#include <algorithm>
#include <unordered_set>

#include "engine/engine_type_settings.h"
#include "engine/filter.h"
#include "record/sf_writer.h"
#include "schema/database_type.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv {

CIndexSet::CIndexSet(CMarkerSet& markers, const std::vector<CMarker*>& secKeys)
    : m_markers(&markers) {
    for (CMarker* m : secKeys)
        m_secKeys.emplace_back(m);
    MakeDefaultIndex();
    if (CUpdateHub* hub = markers.Hub())
        m_subscription = std::make_unique<CUpdateSubscription>(*hub, this, ListenerRank::Documents);
}

CIndexSet::CIndexSet(CDatabaseType& type) : CIndexSet(type.MarkerSet(), type.SecKeyMarkers()) {
    m_type = &type;
    if (CFilterSet* filters = FilterSetOf(type))
        m_filterLink = std::make_unique<CFilterSetLink>(*filters, *this);
}

CIndexSet::~CIndexSet() {
    m_filterLink.reset();
    m_subscription.reset();
    // Windows let go of their indexes before the database closes; whatever is still
    // counted goes with the set.
    for (CIndexSetListener* l : std::vector<CIndexSetListener*>(m_listeners))
        l->OnSetClosing(*this);
    m_closing = true;
    m_default.Reset(nullptr);
    for (auto it = m_indexes.rbegin(); it != m_indexes.rend(); ++it)
        it->reset();
    m_indexes.clear();
}

CMarker* CIndexSet::RecordMarker() const { return m_markers->RecordMarker(); }

int CIndexSet::HeaderRecordWidth() const {
    return m_recordWidth >= 0 && m_recordWidth <= 9999 ? static_cast<int>(m_recordWidth)
                                                       : kDefaultRecordWidth;
}

void CIndexSet::MakeDefaultIndex() {
    CIndexKeys keys;
    keys.priMarker = RecordMarker();
    for (auto& m : m_secKeys)
        keys.secMarkers.push_back(m.Get());
    auto index = std::unique_ptr<CIndex>(new CIndex(*this, keys, nullptr));
    m_default = index.get();
    m_indexes.insert(m_indexes.begin(), std::move(index));
}

void CIndexSet::SetLeaveUndefinedOut(bool b) {
    if (b == m_leaveUndefinedOut)
        return;
    m_leaveUndefinedOut = b;
    for (auto& index : m_indexes)
        if (!index->m_base)
            index->Sort();
    for (auto& index : m_indexes)
        if (index->m_base)
            index->Refill();
}

// --- indexes ---

CIndexRef CIndexSet::GetIndex(const CIndexKeys& asked, std::uint16_t /*keyLength*/) {
    // Every index is built with the standard key length, so that windows that differ
    // only in the length they asked for share one index.
    CIndexKeys keys = asked;
    if (!keys.priMarker)
        keys.priMarker = RecordMarker();
    if (!keys.sortOrder && keys.priMarker && keys.priMarker->LangEnc())
        keys.sortOrder = keys.priMarker->LangEnc()->DefaultSortOrder();
    for (auto& index : m_indexes)
        if (index->Keys() == keys)
            return CIndexRef(index.get());

    CIndexRef base;
    if (keys.filter) {
        CIndexKeys baseKeys = keys;
        baseKeys.filter = nullptr;
        base = GetIndex(baseKeys);
    }
    auto made = std::unique_ptr<CIndex>(new CIndex(*this, keys, base.Get()));
    CIndex* index = made.get();
    m_indexes.push_back(std::move(made));
    CIndexRef ref(index);
    if (base)
        index->Refill();
    else
        index->Fill(RecordsInOrder());
    return ref;
}

void CIndexSet::Discard(CIndex* index) {
    auto it = std::find_if(m_indexes.begin(), m_indexes.end(),
                           [index](const std::unique_ptr<CIndex>& p) { return p.get() == index; });
    if (it == m_indexes.end())
        return;
    std::unique_ptr<CIndex> gone = std::move(*it);
    m_indexes.erase(it);
    // Destroying a filtered index lets go of its base, which may go in turn.
    gone.reset();
}

void CIndexSet::AddListener(CIndexSetListener* listener) { m_listeners.push_back(listener); }

void CIndexSet::RemoveListener(CIndexSetListener* listener) { std::erase(m_listeners, listener); }

void CIndexSet::TellRemoving(CIndex& index, const std::vector<const CIndexEntry*>& entries) {
    if (entries.empty())
        return;
    for (CIndexSetListener* l : std::vector<CIndexSetListener*>(m_listeners))
        l->OnEntriesRemoving(index, entries);
}

void CIndexSet::TellRows(CIndex& index, const IndexRowChange& change, bool done) {
    if (m_listeners.empty() || m_closing)
        return;
    for (CIndexSetListener* l : std::vector<CIndexSetListener*>(m_listeners)) {
        if (done)
            l->OnRowsChanged(index, change);
        else
            l->OnRowsChanging(index, change);
    }
}

void CIndexSet::TellRecordRows(const CRecord* record, const CIndex* skip) {
    if (m_listeners.empty())
        return;
    for (auto& index : m_indexes) {
        if (index.get() == skip)
            continue;
        const auto& of = index->m_recordOf;
        for (std::size_t i = 0; i < of.size(); ++i) {
            if (of[i] != record)
                continue;
            std::size_t j = i + 1;
            while (j < of.size() && of[j] == record)
                ++j;
            IndexRowChange change{IndexRowChange::Kind::Change, i, j - i};
            TellRows(*index, change, false);
            TellRows(*index, change, true);
            i = j;
        }
    }
}

// --- records ---

std::vector<CRecord*> CIndexSet::RecordsInOrder() const {
    std::vector<CRecord*> out;
    out.reserve(m_recordCount);
    const CIndex& def = *m_default;
    if (def.Count() == m_recordCount) {
        // Every record has at least one entry: as many entries as records means one each.
        for (std::size_t i = 0; i < def.Count(); ++i)
            out.push_back(def.EntryAt(i)->Record());
        return out;
    }
    std::unordered_set<const CRecord*> seen;
    seen.reserve(m_recordCount);
    for (std::size_t i = 0; i < def.Count(); ++i)
        if (seen.insert(def.EntryAt(i)->Record()).second)
            out.push_back(def.EntryAt(i)->Record());
    // Records the default index does not hold yet (while records are being added).
    if (out.size() < m_recordCount)
        for (CRecord& r : m_records)
            if (seen.insert(&r).second)
                out.push_back(&r);
    return out;
}

std::vector<CRecord*> CIndexSet::RecordsInDefaultOrder() const { return RecordsInOrder(); }

void CIndexSet::WriteRecords(RecordOutput& out, Progress* progress) const {
    for (CRecord* r : RecordsInOrder()) {
        bool first = true;
        for (const CField& f : *r) {
            out.WriteField(f, first);
            first = false;
        }
        if (progress)
            progress->Step();
    }
}

void CIndexSet::AddRecords(CRecordList& records, std::size_t count) {
    if (records.IsEmpty())
        return;
    // Into an empty database (a file read) the records come in file order: the default
    // index is filled straight from the list, which counts them.
    if (m_recordCount == 0) {
        records.MoveAllTo(m_records);
        m_recordCount = m_default->Fill(m_records, count == kCountUnknown ? 0 : count);
        RefillAllButDefault();
        TellAdded({});
        return;
    }
    if (count == kCountUnknown) {
        count = 0;
        for (auto it = records.begin(); it != records.end(); ++it)
            ++count;
    }
    // A few records: inserted one by one. Many (a merge): the indexes are rebuilt.
    if (count < 64) {
        while (CRecord* r = records.GetFirst())
            AddRecord(records.Remove(r));
        return;
    }
    std::vector<CRecord*> order = RecordsInOrder();
    for (CRecord& r : records)
        order.push_back(&r);
    records.MoveAllTo(m_records);
    m_recordCount += count;
    m_default->Fill(order);
    RefillAllButDefault();
    TellAdded({});
}

void CIndexSet::RefillAllButDefault() {
    std::vector<CRecord*> order;
    if (m_indexes.size() > 1)
        order = RecordsInOrder();
    for (auto& index : m_indexes)
        if (!index->m_base && index.get() != m_default.Get())
            index->Fill(order);
    for (auto& index : m_indexes)
        if (index->m_base)
            index->Refill();
}

DatabaseReadResult CIndexSet::ReadFile(const std::string& path) {
    CRecordList records;
    DatabaseReadResult result = ReadDatabaseRecords(path, *m_markers, RecordMarker(), records);
    if (result.Ok())
        AddRecords(records, static_cast<std::size_t>(result.records));
    return result;
}

void CIndexSet::InsertRecordEntries(CIndex& index, CRecord* record, bool testFilter) {
    CIndex::Entries entries;
    index.AppendRecordEntries(record, entries);
    for (CIndexEntry* e : entries) {
        if (!index.m_base) {
            index.Insert(e);
            continue;
        }
        std::size_t baseOrdinal = 0;
        bool passes = index.PassesFilter(*e, &baseOrdinal);
        if (passes || !testFilter) {
            if (index.m_base->FindLike(*e).IsValid())
                index.InsertFiltered(e, baseOrdinal);
            else
                index.Insert(e);
        } else {
            index.m_pool.Free(e);
        }
    }
}

void CIndexSet::AddRecord(CRecord* record) {
    m_records.Add(record);
    ++m_recordCount;
    for (int pass = 0; pass < 2; ++pass)
        for (auto& index : m_indexes)
            if ((index->m_base != nullptr) == (pass == 1))
                InsertRecordEntries(*index, record, true);
    TellAdded({record});
}

CIndexPos CIndexSet::AddNewRecord(std::string_view key, CIndex& calling) {
    CMarker* rm = RecordMarker();
    if (!rm) {
        CRV_ASSERT(rm);
        return CIndexPos();
    }
    auto* record = new CRecord(new CField(rm, std::string(key)));
    m_records.Add(record);
    ++m_recordCount;
    for (int pass = 0; pass < 2; ++pass)
        for (auto& index : m_indexes)
            if ((index->m_base != nullptr) == (pass == 1) && index.get() != &calling)
                InsertRecordEntries(*index, record, true);
    InsertRecordEntries(calling, record, false);
    CIndexPos first = calling.FindRecord(record);
    // The entry of the first primary field (or the one without field).
    std::vector<CField*> fields;
    calling.PrimaryFields(*record, fields);
    CIndexPos pos = calling.Find(record, fields.front());
    TellAdded({record});
    return pos.IsValid() ? pos : first;
}

bool CIndexSet::RecordChanged(CRecord* record) {
    bool changed = UpdateIndexes(record, nullptr);
    for (CIndexSetListener* l : std::vector<CIndexSetListener*>(m_listeners))
        l->OnRecordChanged(*this, record);
    return changed;
}

void CIndexSet::TellAdded(const std::vector<CRecord*>& records) {
    for (CIndexSetListener* l : std::vector<CIndexSetListener*>(m_listeners))
        l->OnRecordsAdded(*this, records);
}

void CIndexSet::TellRenamed(const std::string& newPath) {
    for (CIndexSetListener* l : std::vector<CIndexSetListener*>(m_listeners))
        l->OnSetRenamed(*this, newPath);
}

bool CIndexSet::UpdateIndexes(CRecord* record, const CIndex* skip) {
    bool changed = false;
    // Unfiltered indexes first, each pass told and cleaned before the next: a filtered
    // index evaluates its filter on the base's entries and their neighbours.
    for (int pass = 0; pass < 2; ++pass) {
        for (auto& index : m_indexes)
            if ((index->m_base != nullptr) == (pass == 1) && index.get() != skip)
                changed |= index->UpdateRecord(record);
        RemoveMarkedEntries();
    }
    // The entries that stayed show an edited record.
    TellRecordRows(record, skip);
    return changed;
}

void CIndexSet::RemoveMarkedEntries() {
    for (auto& index : m_indexes)
        TellRemoving(*index, index->m_removeEntries);
    for (auto& index : m_indexes) {
        index->RemoveEntries(index->m_removeEntries);
        index->m_removeEntries.clear();
    }
}

void CIndexSet::DeleteRecord(CRecord* record) {
    if (!record)
        return;
    for (CIndexSetListener* l : std::vector<CIndexSetListener*>(m_listeners))
        l->OnRecordDeleting(*this, record);
    m_deleting = record;
    for (auto& index : m_indexes) {
        auto& gone = index->m_removeEntries;
        for (std::size_t i = 0; i < index->Count(); ++i)
            if (index->EntryAt(i)->Record() == record)
                gone.push_back(index->EntryAt(i));
    }
    RemoveMarkedEntries();
    m_records.Delete(record);
    --m_recordCount;
    m_deleting = nullptr;
}

} // namespace crv
