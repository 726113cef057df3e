// The open documents of the application: opening a database file once however often it
// is asked for, new databases, closing with the save questions, the application-wide
// record notice, and what the documents share (the project's types and import
// choices, the dialogs, the date clock, the file operations).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/crv_doc.h"
#include "app/document_dialogs.h"
#include "app/import_dialog.h"
#include "base/safe_file.h"
#include "base/same_file.h"
#include "record/date_text.h"

namespace crv {

class CDatabaseType;
class CDatabaseTypeSet;

class CDocManager {
public:
    // Documents use types and importSettings (the project's), which must outlive the
    // manager: close or destroy it before them.
    CDocManager(CDatabaseTypeSet& types, CImportSettings& importSettings);
    ~CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    CDatabaseTypeSet& Types() const { return *m_types; }
    CImportSettings& ImportSettings() const { return *m_importSettings; }

    // The dialogs documents show (default: through the platform services, no presets).
    CDocumentDialogs& Dialogs() const { return *m_dialogs; }
    void SetDialogs(CDocumentDialogs* dialogs);
    CDateClock& Clock() { return m_clock; }
    void SetClock(CDateClock clock) { m_clock = std::move(clock); }
    FileOps& Ops() const { return *m_ops; }
    void SetOps(FileOps* ops) { m_ops = ops ? ops : &DefaultFileOps(); }

    // --- documents ---
    // The document of path: the one already open on that file (alreadyOpen set; the
    // readOnly wish is not applied again), else a newly opened one; null when the
    // open failed (its message shown) or was cancelled.
    CCrvDoc* OpenDocument(const std::string& path, bool readOnly = false,
                          bool* alreadyOpen = nullptr);
    // A new database through the dialogs; null when cancelled or failed.
    CCrvDoc* NewDocument();
    // Imports path as the import dialog chooses (mode NoHeader); null when it failed or
    // was cancelled (messages shown).
    CCrvDoc* ImportDocument(const std::string& path);
    // The open document on the same file as path, or null.
    CCrvDoc* FindDocument(const std::string& path) const;
    std::size_t Count() const { return m_docs.size(); }
    CCrvDoc* At(std::size_t i) const { return m_docs[i].get(); }
    std::vector<CCrvDoc*> Documents() const;

    // Closes doc, asking to save it first when ask is set and it is modified; false
    // when it stays open.
    bool CloseDocument(CCrvDoc* doc, bool ask = true);
    // Asks every modified document to save; false as soon as one must stay open.
    bool SaveAllModified();
    // SaveAllModified, then closes every document; false (nothing closed) when one
    // must stay open.
    bool CloseAll();

    // Whether opening converted any document's date stamps (the project's one message).
    bool AnyDatesConverted() const;
    // A type's date-stamp marker became another one: every open, writable database of
    // that type is converted. True when any record changed.
    bool DateStampMarkerChanged(const CDatabaseType& type);

    // --- the application-wide record notice ---
    void AddNoticeListener(CRecordNoticeListener* listener);
    void RemoveNoticeListener(CRecordNoticeListener* listener);
    void NotifyRecord(CCrvDoc& doc, const CRecordHint& hint);

private:
    CCrvDoc* Keep(std::unique_ptr<CCrvDoc> doc);

    CDatabaseTypeSet* m_types;
    CImportSettings* m_importSettings;
    CPlatformDocumentDialogs m_platformDialogs;
    CDocumentDialogs* m_dialogs = &m_platformDialogs;
    CDateClock m_clock;
    FileOps* m_ops = &DefaultFileOps();
    std::vector<std::unique_ptr<CCrvDoc>> m_docs;
    std::vector<CRecordNoticeListener*> m_noticeListeners;
};

// Before a run that reads database files (word lists, concordances, batch files): "If you
// do not save these files before proceeding, ..." when a database is modified; Yes saves
// every modified one. False when a save failed: the run does not go on.
bool SaveBeforeRun(CDocManager& docs);

// A file something else rewrote (a run's results, a batch file's work), as a document: one
// open on it is closed without asking, then the file is opened.
CCrvDoc* ReopenReplacedFile(CDocManager& docs, const std::string& path);

} // namespace crv
