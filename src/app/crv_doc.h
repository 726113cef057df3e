// CCrvDoc: one open database. It owns the records (through the index set), knows its
// file, type and read-only state, and carries out open, import, save and new, each
// failure with its message and without harm to the file on disk. Views are told of
// record changes through hints.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/doc_view.h"
#include "app/import_dialog.h"
#include "base/safe_file.h"
#include "engine/index_set.h"

namespace crv {

class CDatabaseType;
class CDocManager;

class CCrvDoc {
public:
    explicit CCrvDoc(CDocManager& manager);
    ~CCrvDoc();
    CCrvDoc(const CCrvDoc&) = delete;
    CCrvDoc& operator=(const CCrvDoc&) = delete;

    CDocManager& Manager() const { return *m_manager; }

    // --- state ---
    const std::string& Path() const { return m_path; }
    // The file name, as a window caption shows it.
    const std::string& Title() const { return m_title; }
    void SetPathName(const std::string& path);
    // Opened read-only (the file's attributes or the project's ReadOnly): changes must
    // be saved under another name.
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified = true) { m_modified = modified; }
    // Opening converted date stamps to four-digit years.
    bool DatesConverted() const { return m_datesConverted; }
    void SetDatesConverted() { m_datesConverted = true; }
    // The file said its date stamps have four-digit years (or they were converted).
    bool HasFourDigitYears() const { return m_fourDigitYears; }
    void SetFourDigitYears() { m_fourDigitYears = true; }
    // The file's modification time when it was read or last written.
    std::int64_t FileTime() const { return m_fileTime; }

    // The records; only after a successful open, import or new.
    bool IsOpen() const { return m_set != nullptr; }
    CIndexSet& Records() const { return *m_set; }
    CDatabaseType& Type() const;

    // --- the framework's steps ---
    // Opens path (read-only when asked): ReadDatabase, and its message shown on failure.
    bool OnOpenDocument(const std::string& path, bool readOnly = false);
    // SaveDatabase; on failure its message is shown; on success the views reset their
    // undo state and path becomes the document's.
    bool OnSaveDocument(const std::string& path);
    // A new database: its file and type chosen through the dialogs, then created.
    bool OnNewDocument();
    // File Save: under the document's own path, or under a new name when it is
    // read-only. false when not saved.
    bool Save();
    // Before closing: a modified document asks "Save changes to %1?" (Yes saves, No
    // drops the changes, Cancel keeps it open); false when it must stay open.
    bool SaveModified();

    // --- file level (messages for the caller to show in message; empty when the
    // failure was already shown or the user cancelled) ---
    bool ReadDatabase(const std::string& path, std::string& message);
    bool ImportFile(const std::string& path, ImportMode mode, std::string_view typeName,
                    std::string& message);
    bool SaveDatabase(const std::string& path, std::string& message);
    // Step 3 of a new database: one empty record of type written to path.
    bool CreateNewDatabase(const std::string& path, CDatabaseType& type, std::string& message);

    enum class WriteResult { Ok, CreateFailed, WriteFailed };
    // Writes the database over path through the safe writer (no backup), under the
    // progress display "Writing %1" (displayName). On failure path is as it was.
    WriteResult WriteDatabaseFile(const std::string& path, std::string_view displayName) const;

    // --- records ---
    // After a record was changed outside a view's editing (undo, reshaping, replace):
    // optionally stamp it with today's date, re-sort it in every index, tell the views
    // (all but sender) and the application, mark the document modified.
    void RecordChanged(CRecord* record, bool stampDate, CDocView* sender = nullptr);
    // A new record holding one record-marker field with key (Record Insert, Search's
    // Insert); its position in calling.
    CIndexPos InsertNewRecord(std::string_view key, CIndex& calling, CDocView* sender = nullptr);
    // A copy of source (from any database) added as a new record; fields keep their
    // markers by name.
    CRecord* AddRecordCopy(const CRecord& source, CDocView* sender = nullptr);
    // Copies of many records, added in their order (merging).
    void AddRecordCopies(const std::vector<const CRecord*>& sources, CDocView* sender = nullptr);
    // Deletes record: the views are told while it still exists, then the index set
    // removes it (moving windows off its entries).
    void DeleteRecord(CRecord* record, CDocView* sender = nullptr);

    // --- views ---
    void AddView(CDocView* view);
    void RemoveView(CDocView* view);
    const std::vector<CDocView*>& Views() const { return m_views; }
    // The document is about to be destroyed: every view lets go of it.
    void TellClosing();
    // Tells every view but sender, then the application-wide listeners.
    void UpdateAllViews(const CRecordHint& hint, CDocView* sender = nullptr);

private:
    // Writes set over path through the safe writer, the old file kept as backup (empty:
    // none), under the progress display "Writing %1" (displayName); beforeReplacing runs
    // once the new file is written, before it takes the old one's place.
    SafeWriteResult WriteSet(const CIndexSet& set, const std::string& path,
                             const std::string& backup, std::string_view displayName,
                             const std::function<void()>& beforeReplacing = {}) const;
    // The import after the dialog was confirmed; false to show the dialog again
    // (again set) or to stop.
    bool ImportWithChoices(const std::string& path, ImportMode mode, CImportDialog& dialog,
                           bool& again, std::string& message);
    // Takes over a database that was read or made: set, path, state.
    void Adopt(std::unique_ptr<CIndexSet> set, const std::string& path);
    CRecord* CopyRecord(const CRecord& source);

    CDocManager* m_manager;
    std::unique_ptr<CIndexSet> m_set;
    std::string m_path;
    std::string m_title;
    bool m_readOnly = false;
    bool m_modified = false;
    bool m_datesConverted = false;
    bool m_fourDigitYears = false;
    std::int64_t m_fileTime = 0;
    std::vector<CDocView*> m_views;
};

} // namespace crv
