// A database in memory: its records in file order and the set of its indexes, with the
// default index by the record marker. Every change to the records goes through the set,
// which brings every index up to date and tells the views before entries go.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/counted_ref.h"
#include "engine/index.h"
#include "record/database_file.h"
#include "record/record.h"
#include "schema/update_notice.h"

namespace crv {

class CDatabaseType;
class CFilterSetLink;
class CMarkerSet;
class RecordOutput;
class Progress;

using CIndexRef = CountedRef<CIndex>;

// One change of the rows (entries by ordinal) of an index. Inserted rows stand at
// [first, first + count) after the change, removed ones stood there before it, changed
// ones (entries of an edited record that stayed) stand there throughout; a reset (a
// fill, re-sort or refill) replaces every row.
struct IndexRowChange {
    enum class Kind { Insert, Remove, Change, Reset };
    Kind kind = Kind::Reset;
    std::size_t first = 0;
    std::size_t count = 0;
};

// Documents and windows: told before entries leave an index, so that views holding
// positions on them move off first.
class CIndexSetListener {
public:
    virtual ~CIndexSetListener() = default;
    // Every change of an index's rows is told before it is made and after, one change
    // at a time, so that a view applying them in order to its own copy of the rows
    // keeps it equal to the index (a table model's begin/end notices).
    virtual void OnRowsChanging(CIndex&, const IndexRowChange&) {}
    virtual void OnRowsChanged(CIndex&, const IndexRowChange&) {}
    // entries (of index) are about to be destroyed: after an edit of their record, or
    // while it is deleted (CIndexSet::RecordBeingDeleted tells which).
    virtual void OnEntriesRemoving(CIndex& index,
                                   const std::vector<const CIndexEntry*>& entries) = 0;
    // The database is closing: indexes held from it are let go here.
    virtual void OnSetClosing(CIndexSet&) {}
    // The database was saved under another name.
    virtual void OnSetRenamed(CIndexSet&, const std::string& /*newPath*/) {}
    // Records joined the set (one or many), a record was edited, or one is about to go.
    virtual void OnRecordsAdded(CIndexSet&, const std::vector<CRecord*>& /*records*/) {}
    virtual void OnRecordChanged(CIndexSet&, CRecord*) {}
    virtual void OnRecordDeleting(CIndexSet&, CRecord*) {}
};

class CIndexSet : public CUpdateListener {
public:
    // The record width written in the header: 0..9999, else this.
    static constexpr int kDefaultRecordWidth = 400;

    // A set for a database whose markers are markers (record marker set) and whose
    // default index sorts then by secKeys. Subscribes to the markers' change notices
    // with the rank of documents.
    CIndexSet(CMarkerSet& markers, const std::vector<CMarker*>& secKeys = {});
    // A database of type: its markers, record marker and secondary keys, and filters
    // found in its filter set (CFilterSetLink); the set holds the type counted while it
    // lives.
    explicit CIndexSet(CDatabaseType& type);
    ~CIndexSet() override;
    CIndexSet(const CIndexSet&) = delete;
    CIndexSet& operator=(const CIndexSet&) = delete;

    CMarkerSet& Markers() const { return *m_markers; }
    // Null for a database read without a type (a quick look at a file).
    CDatabaseType* Type() const { return m_type.Get(); }
    CMarker* RecordMarker() const;

    // --- the database's properties ---
    // The record width as read or set, and as the header writes it.
    long RecordWidth() const { return m_recordWidth; }
    void SetRecordWidth(long n) { m_recordWidth = n; }
    int HeaderRecordWidth() const;
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool b) { m_readOnly = b; }
    // Leave characters that sort orders do not define out of every comparison; indexes
    // are re-sorted when it changes.
    bool LeavesUndefinedOut() const { return m_leaveUndefinedOut; }
    void SetLeaveUndefinedOut(bool b);
    // Where filters look names up (the database type's filter set).
    CIndexFilterSource* FilterSource() const { return m_filterSource; }
    void SetFilterSource(CIndexFilterSource* source) { m_filterSource = source; }

    // --- records ---
    const CRecordList& Records() const { return m_records; }
    std::size_t RecordCount() const { return m_recordCount; }
    static constexpr std::size_t kCountUnknown = static_cast<std::size_t>(-1);
    // Takes all of records (read from a file) in their order and indexes them; count,
    // when known, is how many there are (for the progress display).
    void AddRecords(CRecordList& records, std::size_t count = kCountUnknown);
    // Reads a database file into the set (the reading loop with its progress and
    // messages); the records join only when the read succeeds.
    DatabaseReadResult ReadFile(const std::string& path);
    // A record from paste, import or copy: joins the records and every index (filtered
    // indexes skip it when their filter rejects it). The set owns it.
    void AddRecord(CRecord* record);
    // A new record with one record-marker field holding key: joins every other index
    // (filters tested) and last calling without testing calling's filter, so that the
    // user sees it. Returns its entry's position in calling.
    CIndexPos AddNewRecord(std::string_view key, CIndex& calling);
    // After record was edited: re-keys its entries in every index. True when any index
    // changed.
    bool RecordChanged(CRecord* record);
    // The same after an edit that changed field texts only, with no field added, removed
    // or given another marker (replacing text, reshaping): entries whose keys did not
    // move are found by key instead of by a walk over every entry.
    bool RecordTextChanged(CRecord* record);
    // Deletes record: views move off its entries, the entries go, then the record.
    void DeleteRecord(CRecord* record);
    // The record being deleted while a deletion is in progress, else null.
    CRecord* RecordBeingDeleted() const { return m_deleting; }

    // --- indexes ---
    CIndex& DefaultIndex() const { return *m_default; }
    // The index with these keys, shared when one exists, else made (filtered ones from
    // their unfiltered base). A null primary marker means the record marker; a null sort
    // order the primary marker's default.
    CIndexRef GetIndex(const CIndexKeys& keys, std::uint16_t keyLength = CIndex::kKeyLength);
    std::size_t IndexCount() const { return m_indexes.size(); }
    CIndex& IndexAt(std::size_t i) const { return *m_indexes[i]; }

    void AddListener(CIndexSetListener* listener);
    void RemoveListener(CIndexSetListener* listener);
    // The document was saved as newPath: listeners holding the old name follow.
    void TellRenamed(const std::string& newPath);

    // --- settings changes ---
    void OnMarkerUpdate(const CMarkerUpdate& update) override;
    void OnLangEncUpdate(const CLangEncUpdate& update) override;
    // Every index using filter is refilled from its base.
    void FilterChanged(const CIndexFilter* filter);

    // --- writing ---
    // The records in the order of the default index, each once (at its first entry).
    std::vector<CRecord*> RecordsInDefaultOrder() const;
    // Writes every record in that order, each field in record order.
    void WriteRecords(RecordOutput& out, Progress* progress = nullptr) const;

private:
    friend class CIndex;
    void Discard(CIndex* index);
    void TellRemoving(CIndex& index, const std::vector<const CIndexEntry*>& entries);
    void TellRows(CIndex& index, const IndexRowChange& change, bool done);
    // Change notices for the rows of record in every index but skip.
    void TellRecordRows(const CRecord* record, const CIndex* skip);
    // Records joined; empty: many at once.
    void TellAdded(const std::vector<CRecord*>& records);
    // Brings every index (unfiltered first) up to date for record; skip is left out.
    bool UpdateIndexes(CRecord* record, const CIndex* skip);
    // Tells the views of the entries each index marked for removal, then removes them.
    void RemoveMarkedEntries();
    void InsertRecordEntries(CIndex& index, CRecord* record, bool testFilter);
    // Brings the indexes marked in which (by position) up to date: re-keyed in place, or
    // with refill made again from the records (their fields of the sort marker changed).
    // Filtered indexes are refilled from their bases.
    void Rebuild(const std::vector<bool>& which, bool refill);
    std::vector<CRecord*> RecordsInOrder() const;
    // Every index but the default filled again in its order, filtered ones from their base.
    void RefillAllButDefault();
    void MakeDefaultIndex();

    CountedRef<CDatabaseType> m_type;
    CMarkerSet* m_markers;
    std::vector<CountedRef<CMarker>> m_secKeys;
    CRecordList m_records;
    std::size_t m_recordCount = 0;
    long m_recordWidth = kDefaultRecordWidth;
    bool m_readOnly = false;
    bool m_leaveUndefinedOut = false;
    bool m_closing = false;
    CRecord* m_deleting = nullptr;
    CIndexFilterSource* m_filterSource = nullptr;
    std::unique_ptr<CFilterSetLink> m_filterLink; // of the type's filter set
    // In order of creation; the default index first.
    std::vector<std::unique_ptr<CIndex>> m_indexes;
    CIndexRef m_default;
    std::vector<CIndexSetListener*> m_listeners;
    std::unique_ptr<CUpdateSubscription> m_subscription;
};

} // namespace crv
