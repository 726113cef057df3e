// Index keys, entry comparison, filling, sorting and insertion.
#include "engine/index.h"

#include <algorithm>
#include <cstring>

#include "base/message_text.h"
#include "base/platform.h"
#include "engine/index_set.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv {

namespace {

// Keys of markers without a sort order (no encoding): the first line's bytes, with the
// two bytes a key may not hold moved out of the way.
void AppendPlainKey(std::string_view text, std::string& key, std::size_t maxUnits) {
    std::size_t end = std::min({text.find('\n'), text.size(), maxUnits});
    for (std::size_t i = 0; i < end; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        key.push_back(static_cast<char>(c < 2 ? 2 : c));
    }
}

void AppendKeyPart(const CSortOrder* order, std::string_view text, std::string& key,
                   std::size_t maxUnits, bool fromEnd) {
    if (order)
        (void)order->AppendKey(text, key, maxUnits, fromEnd);
    else
        AppendPlainKey(text, key, maxUnits);
}

int CompareBytes(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    if (int c = n ? std::memcmp(a.data(), b.data(), n) : 0)
        return c;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// The part of key up to the next 0x01, and the rest after it.
std::string_view TakePart(std::string_view& key) {
    std::size_t p = key.find('\x01');
    std::string_view part = key.substr(0, p);
    key = p == std::string_view::npos ? std::string_view() : key.substr(p + 1);
    return part;
}

int ComparePart(const CSortOrder* order, std::string_view a, std::string_view b, int mask,
                bool whole) {
    if (!order) {
        if (!whole && a.size() <= b.size())
            return CompareBytes(a, b.substr(0, a.size()));
        return CompareBytes(a, b);
    }
    return order->CompareKeys(a, b, mask, whole);
}

} // namespace

CIndex::CIndex(CIndexSet& set, const CIndexKeys& keys, CIndex* base)
    : m_set(&set), m_fromEnd(keys.fromEnd), m_filter(keys.filter), m_base(base) {
    SetPrimaryMarker(keys.priMarker, keys.sortOrder);
    for (CMarker* m : keys.secMarkers)
        m_secMarkers.emplace_back(m);
    if (m_base)
        m_base->AddRef();
}

CIndex::~CIndex() {
    if (m_base)
        m_base->Release();
}

void CIndex::SetPrimaryMarker(CMarker* marker, CSortOrder* order) {
    m_priMarker = marker;
    if (!order && marker && marker->LangEnc())
        order = marker->LangEnc()->DefaultSortOrder();
    m_sortOrder = order;
}

std::vector<CMarker*> CIndex::SecMarkers() const {
    std::vector<CMarker*> out;
    for (const auto& m : m_secMarkers)
        out.push_back(m.Get());
    return out;
}

CIndexKeys CIndex::Keys() const {
    return CIndexKeys{PriMarker(), SortOrder(), SecMarkers(), m_fromEnd, Filter()};
}

bool CIndex::IsDefault() const { return &m_set->DefaultIndex() == this; }

void CIndex::Release() {
    if (--m_refs == 0 && !m_set->m_closing)
        m_set->Discard(this);
}

// --- walking ---

CIndexPos CIndex::PosAt(std::size_t ordinal) const {
    if (ordinal >= m_entries.size())
        return CIndexPos(nullptr, m_entries.size());
    return CIndexPos(m_entries[ordinal], ordinal);
}

CIndexPos CIndex::Last() const {
    return m_entries.empty() ? CIndexPos() : PosAt(m_entries.size() - 1);
}

CIndexPos CIndex::Next(const CIndexPos& pos) const {
    if (!pos.IsValid())
        return PosAt(m_entries.size());
    return PosAt(pos.Ordinal() + 1);
}

CIndexPos CIndex::Prev(const CIndexPos& pos) const {
    if (!pos.IsValid())
        return Last();
    if (pos.Ordinal() == 0)
        return CIndexPos(nullptr, m_entries.size());
    return PosAt(pos.Ordinal() - 1);
}

CIndexPos CIndex::PosOf(const CIndexEntry* entry) const {
    if (!entry)
        return CIndexPos(nullptr, m_entries.size());
    for (std::size_t i = InsertionPoint(*entry); i-- > 0;) {
        if (m_entries[i] == entry)
            return PosAt(i);
        if (CompareEntries(*m_entries[i], *entry) != 0)
            break;
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i] == entry)
            return PosAt(i);
    return CIndexPos(nullptr, m_entries.size());
}

CIndexPos CIndex::Find(const CRecord* record, const CField* field) const {
    for (std::size_t i = 0; i < m_recordOf.size(); ++i)
        if (m_recordOf[i] == record && m_entries[i]->Field() == field)
            return PosAt(i);
    return CIndexPos(nullptr, m_entries.size());
}

CIndexPos CIndex::FindRecord(const CRecord* record) const {
    for (std::size_t i = 0; i < m_recordOf.size(); ++i)
        if (m_recordOf[i] == record)
            return PosAt(i);
    return CIndexPos(nullptr, m_entries.size());
}

// --- keys ---

int CIndex::EntryMask() const { return m_set->LeavesUndefinedOut() ? 13 : 15; }

const CSortOrder* CIndex::SecOrder(std::size_t i) const {
    CMarker* m = m_secMarkers[i].Get();
    return m && m->LangEnc() ? m->LangEnc()->DefaultSortOrder() : nullptr;
}

std::string CIndex::MakeEntryKey(const CRecord& record, const CField* field) const {
    std::string key;
    AppendKeyPart(SortOrder(), field ? std::string_view(field->Text()) : std::string_view(), key,
                  m_keyLength, m_fromEnd);
    for (std::size_t i = 0; i < m_secMarkers.size(); ++i) {
        key.push_back('\x01');
        const CField* sec = record.FindRelatedField(m_secMarkers[i].Get(), field);
        AppendKeyPart(SecOrder(i), sec ? std::string_view(sec->Text()) : std::string_view(), key,
                      m_keyLength, false);
    }
    return key;
}

std::string CIndex::MakeTypedKey(std::string_view primary,
                                 const std::vector<std::string>& secondary) const {
    std::string key;
    AppendKeyPart(SortOrder(), primary, key, m_keyLength, m_fromEnd);
    for (std::size_t i = 0; i < m_secMarkers.size(); ++i) {
        key.push_back('\x01');
        if (i < secondary.size())
            AppendKeyPart(SecOrder(i), secondary[i], key, m_keyLength, false);
    }
    return key;
}

int CIndex::CompareKeys(std::string_view a, std::string_view b) const {
    // Byte-equal keys are equal at every level; most ties in a lexicon are of this kind.
    if (a == b)
        return 0;
    const CSortOrder* order = SortOrder();
    if (!order || order->IsBinary())
        return CompareBytes(a, b);
    const int mask = EntryMask();
    int c = order->CompareKeys(TakePart(a), TakePart(b), mask, true);
    for (std::size_t i = 0; c == 0 && i < m_secMarkers.size(); ++i)
        c = ComparePart(SecOrder(i), TakePart(a), TakePart(b), mask, true);
    return c;
}

int CIndex::CompareEntries(const CIndexEntry& a, const CIndexEntry& b) const {
    if (a.HasField() != b.HasField())
        return a.HasField() ? 1 : -1;
    return CompareKeys(a.Key(), b.Key());
}

bool CIndex::KeyMatches(std::string_view typedKey, std::string_view entryKey, int mask,
                        bool whole) const {
    if (ComparePart(SortOrder(), TakePart(typedKey), TakePart(entryKey), mask, whole) != 0)
        return false;
    for (std::size_t i = 0; i < m_secMarkers.size(); ++i) {
        std::string_view t = TakePart(typedKey);
        std::string_view e = TakePart(entryKey);
        if (!t.empty() && ComparePart(SecOrder(i), t, e, mask, whole) != 0)
            return false;
    }
    return true;
}

std::pair<std::size_t, std::size_t> CIndex::CandidateRange(std::string_view typedKey) const {
    const std::size_t n = m_entries.size();
    // Entries without field come first and match nothing.
    auto first = std::partition_point(m_entries.begin(), m_entries.end(),
                                      [](const CIndexEntry* e) { return !e->HasField(); });
    if (m_set->LeavesUndefinedOut())
        return {static_cast<std::size_t>(first - m_entries.begin()), n};
    const std::string_view typed = TakePart(typedKey);
    auto cmp = [&](const CIndexEntry* e) {
        std::string_view key = e->Key();
        return ComparePart(SortOrder(), typed, TakePart(key), kMatchPrimary, false);
    };
    auto lo = std::partition_point(first, m_entries.end(),
                                   [&](const CIndexEntry* e) { return cmp(e) > 0; });
    auto hi = std::partition_point(lo, m_entries.end(),
                                   [&](const CIndexEntry* e) { return cmp(e) == 0; });
    return {static_cast<std::size_t>(lo - m_entries.begin()),
            static_cast<std::size_t>(hi - m_entries.begin())};
}

bool CIndex::KeysEqual(std::string_view a, std::string_view b) const {
    if (ComparePart(SortOrder(), TakePart(a), TakePart(b), kMatchAll, true) != 0)
        return false;
    for (std::size_t i = 0; i < m_secMarkers.size(); ++i)
        if (ComparePart(SecOrder(i), TakePart(a), TakePart(b), kMatchAll, true) != 0)
            return false;
    return true;
}

// --- building ---

void CIndex::PrimaryFields(const CRecord& record, std::vector<CField*>& out) const {
    out.clear();
    const CMarker* m = PriMarker();
    for (CField& f : record)
        if (f.Marker() == m)
            out.push_back(&f);
    if (out.empty())
        out.push_back(nullptr);
}

void CIndex::AppendRecordEntries(CRecord* record, Entries& out) {
    std::vector<CField*> fields;
    PrimaryFields(*record, fields);
    for (CField* f : fields)
        out.push_back(m_pool.Make(record, f, MakeEntryKey(*record, f)));
}

void CIndex::Fill(const std::vector<CRecord*>& records) {
    FillFrom(records, records.size(), [](CRecord* r) { return r; });
}

std::size_t CIndex::Fill(const CRecordList& records, std::size_t count) {
    return FillFrom(records, count, [](const CRecord& r) { return const_cast<CRecord*>(&r); });
}

template <class Records, class Get>
std::size_t CIndex::FillFrom(const Records& records, std::size_t count, Get get) {
    m_entries.clear();
    m_recordOf.clear();
    m_pool.Clear();
    m_entries.reserve(count);
    m_recordOf.reserve(count);
    std::size_t n = 0;
    {
        std::string name = PriMarker() ? PriMarker()->Name() : std::string();
        auto progress = platform().BeginProgress(FormatMessage("Indexing by \\%1", {name}),
                                                 static_cast<std::int64_t>(count), false);
        // Where every field of the primary marker is the first field of one of these
        // records (the record marker, as read), each record has exactly that entry: the
        // marker's use count, checked at the end, proves it without walking the other
        // fields. A record whose first field is another marker, or a count that does not
        // match, sends the whole fill the long way.
        const CMarker* pri = PriMarker();
        bool firstOnly = pri != nullptr;
        for (const auto& item : records) {
            CRecord* r = get(item);
            CField* f = r->GetFirst();
            if (firstOnly && f->Marker() != pri) {
                firstOnly = false;
                m_entries.clear();
                m_recordOf.clear();
                m_pool.Clear();
                for (const auto& doneItem : records) {
                    CRecord* done = get(doneItem);
                    if (done == r)
                        break;
                    AppendRecordEntries(done, m_entries);
                    m_recordOf.resize(m_entries.size(), done);
                }
            }
            if (firstOnly)
                m_entries.push_back(m_pool.Make(r, f, MakeEntryKey(*r, f)));
            else
                AppendRecordEntries(r, m_entries);
            m_recordOf.resize(m_entries.size(), r);
            // Stepping a display per record costs more than the record; every 1024th.
            if ((++n & 1023) == 0)
                progress->SetPosition(static_cast<std::int64_t>(n));
        }
        // The proof holds only for the records that were really there.
        if (firstOnly && static_cast<std::size_t>(pri->UseCount()) != n) {
            m_entries.clear();
            m_recordOf.clear();
            m_pool.Clear();
            for (const auto& item : records) {
                AppendRecordEntries(get(item), m_entries);
                m_recordOf.resize(m_entries.size(), get(item));
            }
        }
    }
    Sort();
    return n;
}

void CIndex::SyncRecords() {
    m_recordOf.resize(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        m_recordOf[i] = m_entries[i]->Record();
}

void CIndex::Rekey() {
    if (m_base) {
        Refill();
        return;
    }
    {
        std::string name = PriMarker() ? PriMarker()->Name() : std::string();
        auto progress =
            platform().BeginProgress(FormatMessage("Indexing by \\%1", {name}),
                                     static_cast<std::int64_t>(m_entries.size()), false);
        std::size_t n = 0;
        for (auto& e : m_entries) {
            e->SetKey(MakeEntryKey(*e->Record(), e->Field()));
            if ((++n & 1023) == 0)
                progress->SetPosition(static_cast<std::int64_t>(n));
        }
    }
    Sort();
}

void CIndex::Refill() {
    m_entries.clear();
    m_recordOf.clear();
    m_pool.Clear();
    if (!m_base)
        return;
    const std::size_t n = m_base->Count();
    std::string name = m_filter ? m_filter->FilterName() : std::string();
    auto progress = platform().BeginProgress(FormatMessage("Filtering using %1", {name}),
                                             static_cast<std::int64_t>(n), false);
    for (std::size_t i = 0; i < n; ++i) {
        if (!m_filter || m_filter->Matches(*m_base, i)) {
            const CIndexEntry& e = *m_base->m_entries[i];
            m_entries.push_back(m_pool.Make(e.Record(), e.Field(), e.Key()));
        }
        if (((i + 1) & 1023) == 0)
            progress->SetPosition(static_cast<std::int64_t>(i + 1));
    }
    SyncRecords();
}

std::uint64_t CIndex::SortPrefix(const CIndexEntry& entry) const {
    // Byte 0: entries without field first. Bytes 1-7: the first units' weights at the
    // first level the comparison looks at (all bytes of a byte-compared key), padded
    // with zeros. Those weights are never 0, so where two prefixes differ the full
    // comparison gives the same answer; only equal prefixes need it.
    std::uint64_t p = entry.HasField() ? 1 : 0;
    int n = 0;
    const CSortOrder* order = SortOrder();
    std::string_view key = entry.Key();
    if (!order || order->IsBinary()) {
        for (; n < 7 && static_cast<std::size_t>(n) < key.size(); ++n)
            p = (p << 8) | static_cast<unsigned char>(key[static_cast<std::size_t>(n)]);
    } else {
        const int mask = 1 | (EntryMask() & kSortUndefined);
        for (std::size_t i = 0; n < 7 && i < key.size() && key[i] != '\x01'; ++i) {
            const CSortWeight& w = order->Weight(static_cast<unsigned char>(key[i]));
            if (w.kind & mask) {
                p = (p << 8) | w.primary;
                ++n;
            }
        }
    }
    return p << (8 * (7 - n));
}

bool CIndex::Sort() {
    bool inOrder = true;
    for (std::size_t i = 1; i < m_entries.size() && inOrder; ++i)
        inOrder = CompareEntries(*m_entries[i - 1], *m_entries[i]) <= 0;
    if (inOrder)
        return false;
    std::string name = PriMarker() ? PriMarker()->Name() : std::string();
    const std::size_t n = m_entries.size();
    auto progress = platform().BeginProgress(FormatMessage("Sorting by \\%1", {name}),
                                             static_cast<std::int64_t>(2 * n), false);
    // Entries are first put in order of their weight prefixes by a radix sort (stable,
    // so ties keep the previous order); only runs of equal prefixes need the full
    // comparison, by a merge sort over the run.
    struct Item {
        std::uint64_t prefix;
        std::size_t from; // the entry's place before the sort
    };
    std::vector<Item> items;
    items.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        items.push_back({SortPrefix(*m_entries[i]), i});
    StableRadixSort(items, [](const Item& item) { return item.prefix; });
    progress->SetPosition(static_cast<std::int64_t>(n));
    std::vector<Item> run;
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i + 1;
        while (j < n && items[j].prefix == items[i].prefix)
            ++j;
        if (j - i > 1) {
            run.assign(items.begin() + static_cast<long>(i), items.begin() + static_cast<long>(j));
            StableMergeSort(run, [this](const Item& a, const Item& b) {
                return CompareEntries(*m_entries[a.from], *m_entries[b.from]);
            });
            std::copy(run.begin(), run.end(), items.begin() + static_cast<long>(i));
        }
        i = j;
        if ((i & 1023) == 0)
            progress->SetPosition(static_cast<std::int64_t>(n + i));
    }
    Entries sorted(n);
    std::vector<const CRecord*> records(n);
    for (std::size_t i = 0; i < n; ++i) {
        sorted[i] = m_entries[items[i].from];
        records[i] = m_recordOf[items[i].from];
    }
    m_entries = std::move(sorted);
    m_recordOf = std::move(records);
    return true;
}

std::size_t CIndex::InsertionPoint(const CIndexEntry& entry) const {
    // Upper bound: after every entry that compares less or equal, as a backward scan
    // from the end would place it. Bounded by the vector whatever the comparison says.
    std::size_t lo = 0, hi = m_entries.size();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (CompareEntries(*m_entries[mid], entry) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

CIndexPos CIndex::Insert(CIndexEntry* entry) { return InsertAt(InsertionPoint(*entry), entry); }

CIndexPos CIndex::InsertFiltered(CIndexEntry* entry, std::size_t baseOrdinal) {
    std::size_t at = InsertionPoint(*entry);
    // Step back over equal entries that the base orders after this one.
    while (at > 0 && CompareEntries(*m_entries[at - 1], *entry) == 0) {
        CIndexPos p = m_base->FindLike(*m_entries[at - 1]);
        if (!p.IsValid() || p.Ordinal() < baseOrdinal)
            break;
        --at;
    }
    return InsertAt(at, entry);
}

CIndexPos CIndex::FindLike(const CIndexEntry& like) const {
    // The run of entries equal to like ends just before its insertion point.
    for (std::size_t i = InsertionPoint(like); i-- > 0;) {
        const CIndexEntry& e = *m_entries[i];
        if (e.Record() == like.Record() && e.Field() == like.Field())
            return PosAt(i);
        if (CompareEntries(e, like) != 0)
            break;
    }
    // Keys that compare inconsistently (a faulty key library) can hide it: look at all.
    return Find(like.Record(), like.Field());
}

CIndexPos CIndex::InsertAt(std::size_t at, CIndexEntry* entry) {
    m_recordOf.insert(m_recordOf.begin() + static_cast<long>(at), entry->Record());
    m_entries.insert(m_entries.begin() + static_cast<long>(at), entry);
    return CIndexPos(entry, at);
}

bool CIndex::PassesFilter(const CIndexEntry& like, std::size_t* ordinal) const {
    if (!m_base)
        return true;
    CIndexPos p = m_base->FindLike(like);
    if (!p.IsValid())
        return false;
    if (ordinal)
        *ordinal = p.Ordinal();
    return !m_filter || m_filter->Matches(*m_base, p.Ordinal());
}

bool CIndex::UpdateRecord(CRecord* record) {
    CRV_ASSERT(m_updateEntries.empty() && m_removeEntries.empty());
    m_updateEntries.clear();
    for (std::size_t i = 0; i < m_recordOf.size(); ++i)
        if (m_recordOf[i] == record)
            m_updateEntries.push_back(m_entries[i]);
    bool changed = false;
    std::vector<CField*> fields;
    PrimaryFields(*record, fields);
    for (CField* f : fields) {
        std::string key = MakeEntryKey(*record, f);
        auto kept =
            std::find_if(m_updateEntries.begin(), m_updateEntries.end(),
                         [&](const CIndexEntry* e) { return e->Field() == f && e->Key() == key; });
        if (kept != m_updateEntries.end()) {
            CIndexEntry* e = *kept;
            m_updateEntries.erase(kept);
            if (m_base && !PassesFilter(*e, nullptr)) {
                m_removeEntries.push_back(e);
                changed = true;
            }
            continue;
        }
        CIndexEntry* entry = m_pool.Make(record, f, std::move(key));
        changed = true;
        if (!m_base) {
            Insert(entry);
            continue;
        }
        std::size_t baseOrdinal = 0;
        if (PassesFilter(*entry, &baseOrdinal))
            InsertFiltered(entry, baseOrdinal);
        else
            m_pool.Free(entry);
    }
    for (CIndexEntry* e : m_updateEntries) {
        m_removeEntries.push_back(e);
        changed = true;
    }
    m_updateEntries.clear();
    return changed;
}

void CIndex::RemoveEntries(const std::vector<const CIndexEntry*>& gone) {
    // Positions first (the record array is quick to scan), then each entry is erased
    // from the back so that earlier positions stay right.
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < m_recordOf.size() && at.size() < gone.size(); ++i)
        if (std::find(gone.begin(), gone.end(), m_entries[i]) != gone.end())
            at.push_back(i);
    for (auto it = at.rbegin(); it != at.rend(); ++it) {
        m_pool.Free(m_entries[*it]);
        m_entries.erase(m_entries.begin() + static_cast<long>(*it));
        m_recordOf.erase(m_recordOf.begin() + static_cast<long>(*it));
    }
}

} // namespace crv
