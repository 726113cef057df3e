// An index: the entries of a database's records sorted by a primary marker (in one sort
// order, optionally from the end of the text), then by secondary markers, optionally
// restricted by a filter. Entries live in a vector in index order, so an ordinal is a
// vector position and insertion finds its place by binary search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/counted_ref.h"
#include "engine/index_entry.h"
#include "engine/index_filter.h"
#include "record/record.h"

namespace crv {

class CIndexSet;
class CMarker;
class CSortOrder;
// What makes two indexes the same; the key length is not part of it.
struct CIndexKeys {
    CMarker* priMarker = nullptr;
    // Null: the default sort order of the primary marker's language encoding.
    CSortOrder* sortOrder = nullptr;
    std::vector<CMarker*> secMarkers;
    bool fromEnd = false;
    CIndexFilter* filter = nullptr;
    bool operator==(const CIndexKeys&) const = default;
};

class CIndex {
public:
    static constexpr std::uint16_t kKeyLength = 100;

    ~CIndex();
    CIndex(const CIndex&) = delete;
    CIndex& operator=(const CIndex&) = delete;

    CIndexSet& Set() const { return *m_set; }
    CMarker* PriMarker() const { return m_priMarker.Get(); }
    CSortOrder* SortOrder() const { return m_sortOrder.Get(); }
    std::size_t SecMarkerCount() const { return m_secMarkers.size(); }
    CMarker* SecMarker(std::size_t i) const { return m_secMarkers[i].Get(); }
    std::vector<CMarker*> SecMarkers() const;
    bool FromEnd() const { return m_fromEnd; }
    CIndexFilter* Filter() const { return m_filter.Get(); }
    // The unfiltered index with the same keys that a filtered index is built from.
    CIndex* Base() const { return m_base; }
    std::uint16_t KeyLength() const { return m_keyLength; }
    CIndexKeys Keys() const;
    bool IsDefault() const;

    // Windows, searches and filtered indexes hold references; the last Release removes
    // the index from its set and destroys it (the set itself holds the default index).
    void AddRef() { ++m_refs; }
    void Release();
    int RefCount() const { return m_refs; }

    // --- walking ---
    std::size_t Count() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.empty(); }
    // Null past the end.
    const CIndexEntry* EntryAt(std::size_t ordinal) const {
        return ordinal < m_entries.size() ? m_entries[ordinal] : nullptr;
    }
    CIndexPos PosAt(std::size_t ordinal) const;
    CIndexPos First() const { return PosAt(0); }
    CIndexPos Last() const;
    CIndexPos Next(const CIndexPos& pos) const;
    CIndexPos Prev(const CIndexPos& pos) const;
    // The current position of entry; invalid when this index does not hold it.
    CIndexPos PosOf(const CIndexEntry* entry) const;
    // The entry of record and field (field null: the entry without field); invalid
    // ("none") when the index does not hold it.
    CIndexPos Find(const CRecord* record, const CField* field) const;
    // The first entry of record in index order; invalid when there is none.
    CIndexPos FindRecord(const CRecord* record) const;

    // --- keys ---
    // The key of record for its primary field field (null: the record has none).
    std::string MakeEntryKey(const CRecord& record, const CField* field) const;
    // A key from typed texts: the primary text, then each secondary text (missing ones
    // empty).
    std::string MakeTypedKey(std::string_view primary,
                             const std::vector<std::string>& secondary) const;
    // Index order of two entries: an entry without field first, then by key.
    int CompareEntries(const CIndexEntry& a, const CIndexEntry& b) const;
    int CompareKeys(std::string_view a, std::string_view b) const;
    // Whether an entry's key equals a typed key under mask (without whole, the typed
    // key may be a prefix). An empty typed secondary part matches any.
    bool KeyMatches(std::string_view typedKey, std::string_view entryKey, int mask,
                    bool whole) const;
    // The ordinals [first, last) outside which no entry can match typedKey under any
    // search mask: entries are ordered by their primary weights first, so the entries
    // whose primary key begins with the typed one stand together. The whole index when
    // the set leaves undefined characters out (its order then differs from a search's).
    std::pair<std::size_t, std::size_t> CandidateRange(std::string_view typedKey) const;
    // Whether two keys are equal part by part at every level, as whole fields.
    bool KeysEqual(std::string_view a, std::string_view b) const;

private:
    friend class CIndexSet;
    CIndex(CIndexSet& set, const CIndexKeys& keys, CIndex* base);

    using Entries = std::vector<CIndexEntry*>;
    // The comparison mask of entry keys: all levels, less undefined characters when the
    // set leaves them out.
    int EntryMask() const;
    const CSortOrder* SecOrder(std::size_t i) const;
    // Makes the record's entries in the pool and appends them to out.
    void AppendRecordEntries(CRecord* record, Entries& out);
    // The primary fields of record (one null when it has none).
    void PrimaryFields(const CRecord& record, std::vector<CField*>& out) const;

    // Builds an unfiltered index: entries of every record in the order of records, then
    // a sort. Shows "Indexing by \%1".
    void Fill(const std::vector<CRecord*>& records);
    // The same over a record list, in list order; count (the progress range) need not
    // be right. Returns the number of records.
    std::size_t Fill(const CRecordList& records, std::size_t count);
    template <class Records, class Get>
    std::size_t FillFrom(const Records& records, std::size_t count, Get get);
    // Remakes every key in list order, then sorts.
    void Rekey();
    // A filtered index: the passing entries of the base, in its order.
    void Refill();
    // Stable sort unless already in order; true when anything moved.
    bool Sort();
    // The first bytes of an entry's order, comparable as a number (see Sort).
    std::uint64_t SortPrefix(const CIndexEntry& entry) const;
    // The ordinal after all entries that compare less than or equal to entry.
    std::size_t InsertionPoint(const CIndexEntry& entry) const;
    CIndexPos Insert(CIndexEntry* entry);
    CIndexPos InsertAt(std::size_t at, CIndexEntry* entry);
    // m_recordOf made again from m_entries after a bulk change.
    void SyncRecords();
    // A filtered index places a new entry among its equal neighbours as the base
    // orders them, so that it stays the base's passing entries in base order.
    CIndexPos InsertFiltered(CIndexEntry* entry, std::size_t baseOrdinal);
    // The entry with like's record and field, found by like's key.
    CIndexPos FindLike(const CIndexEntry& like) const;
    // Whether the base's entry with like's record and field passes the filter; its base
    // ordinal in ordinal. True for an unfiltered index.
    bool PassesFilter(const CIndexEntry& like, std::size_t* ordinal) const;
    // Re-keys the entries of an edited record: unchanged ones stay, changed ones are
    // inserted anew, leftovers wait in m_removeEntries until the views were told.
    bool UpdateRecord(CRecord* record);
    // Removes the entries in the given set; counts adjusted.
    void RemoveEntries(const std::vector<const CIndexEntry*>& gone);
    void SetPrimaryMarker(CMarker* marker, CSortOrder* order);

    CIndexSet* m_set;
    CountedRef<CMarker> m_priMarker;
    CountedRef<CSortOrder> m_sortOrder;
    std::vector<CountedRef<CMarker>> m_secMarkers;
    bool m_fromEnd = false;
    std::uint16_t m_keyLength = kKeyLength;
    CountedRef<CIndexFilter> m_filter;
    CIndex* m_base = nullptr;
    int m_refs = 0;
    CIndexEntryPool m_pool; // owns every entry of m_entries
    Entries m_entries;
    // The record of each entry, beside it: finding a record's entries scans this
    // contiguous array instead of every entry.
    std::vector<const CRecord*> m_recordOf;
    // Update work lists: the record's present entries, and the entries to remove once
    // the views were told. Empty outside an update.
    std::vector<CIndexEntry*> m_updateEntries;
    std::vector<const CIndexEntry*> m_removeEntries;
};

// Stable merge sort of entries by cmp (negative, zero, positive). Safe whatever cmp
// answers: a comparison that contradicts itself gives some order, never a fault.
template <class T, class Cmp>
void StableMergeSort(std::vector<T>& items, Cmp cmp, void (*step)(void*, std::size_t) = nullptr,
                     void* stepData = nullptr);

} // namespace crv

#include "engine/index_sort.h"
