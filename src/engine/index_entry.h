// One entry of an index (a record, the field of the sort marker it stands for, its sort
// key) and a position in an index (an entry and its ordinal).
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "base/large_memory.h"

namespace crv {

class CRecord;
class CField;

// Key layout: the primary key bytes, then per secondary marker one 0x01 byte and that
// marker's key bytes; no key part holds 0x00 or 0x01.
class CIndexEntry {
public:
    CIndexEntry(CRecord* record, CField* field, std::string key)
        : m_record(record), m_field(field), m_key(std::move(key)) {}

    CRecord* Record() const { return m_record; }
    // The field of the primary marker, or null when the record has none.
    CField* Field() const { return m_field; }
    bool HasField() const { return m_field != nullptr; }
    const std::string& Key() const { return m_key; }
    void SetKey(std::string key) { m_key = std::move(key); }

private:
    CRecord* m_record;
    CField* m_field;
    std::string m_key;
};

// The storage of one index's entries: blocks of entries made in place, so that filling
// an index allocates per block rather than per entry; slots of removed entries are
// used again. Blocks double in size up to a few large pages, so that a small index
// stays small and a large one takes large pages. Entries keep their addresses until
// the pool is cleared.
class CIndexEntryPool {
public:
    CIndexEntryPool() = default;
    CIndexEntryPool(const CIndexEntryPool&) = delete;
    CIndexEntryPool& operator=(const CIndexEntryPool&) = delete;

    CIndexEntry* Make(CRecord* record, CField* field, std::string key) {
        if (!m_free.empty()) {
            CIndexEntry* e = m_free.back();
            m_free.pop_back();
            *e = CIndexEntry(record, field, std::move(key));
            return e;
        }
        if (m_blocks.empty() || m_blocks.back().size() == m_blocks.back().capacity()) {
            std::size_t size = m_blocks.empty()
                                   ? kFirstBlock
                                   : std::min(2 * m_blocks.back().capacity(), kLastBlock);
            m_blocks.emplace_back();
            m_blocks.back().reserve(size);
        }
        return &m_blocks.back().emplace_back(record, field, std::move(key));
    }
    void Free(CIndexEntry* entry) {
        entry->SetKey({});
        m_free.push_back(entry);
    }
    void Clear() {
        m_blocks.clear();
        m_free.clear();
    }

private:
    static constexpr std::size_t kFirstBlock = 64;
    static constexpr std::size_t kLastBlock = 3 * kLargePage / sizeof(CIndexEntry);
    // Each block is reserved once and never grows past it, so its entries never move.
    std::vector<std::vector<CIndexEntry, LargeAllocator<CIndexEntry>>> m_blocks;
    std::vector<CIndexEntry*> m_free;
};

// An entry plus its ordinal in the index (0 for the first). A position without entry
// stands past the end. Ordinals stay right while the index does not change; after an
// update a holder finds its entry again (CIndex::PosOf).
class CIndexPos {
public:
    CIndexPos() = default;
    CIndexPos(CIndexEntry* entry, std::size_t ordinal) : m_entry(entry), m_ordinal(ordinal) {}

    CIndexEntry* Entry() const { return m_entry; }
    std::size_t Ordinal() const { return m_ordinal; }
    bool IsValid() const { return m_entry != nullptr; }
    CRecord* Record() const { return m_entry ? m_entry->Record() : nullptr; }
    CField* Field() const { return m_entry ? m_entry->Field() : nullptr; }
    bool operator==(const CIndexPos& o) const {
        return m_entry == o.m_entry && m_ordinal == o.m_ordinal;
    }

private:
    CIndexEntry* m_entry = nullptr;
    std::size_t m_ordinal = 0;
};

} // namespace crv
