// The application side of jumps and interlinearizing: the open documents as the engine
// sees them, the jump and jump-insert commands with the choice of the window that shows
// the result, the close warning of a referenced database, and the Interlinearize, Adapt
// and Spell check commands of a record window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/doc_manager.h"
#include "app/record_commands.h"
#include "engine/jump.h"
#include "interlinear/interlinearizer.h"

namespace crv {

class CDatabaseTypeSet;

// The documents of a manager as the engine's open databases; Open opens a file that is
// not open yet (rule files).
class CDocDatabases : public COpenDatabases {
public:
    explicit CDocDatabases(CDocManager& docs) : m_docs(&docs) {}
    CIndexSet* FindOpen(const std::string& path) override;
    std::vector<CIndexSet*> AllOpen() override;
    std::string PathOf(const CIndexSet& set) override;
    CIndexSet* Open(const std::string& path) override;
    CCrvDoc* DocumentOf(const CIndexSet& set) const;

private:
    CDocManager* m_docs;
};

// A record window as jumps need it: a CRecordWindow that may be marked as jump target.
class CJumpWindow : public CRecordWindow {
public:
    virtual bool IsJumpTarget() const = 0;
    // Brings the window to the front, restoring it when minimised.
    virtual void Activate() = 0;
};

// The windows of the application.
class CJumpWindows {
public:
    virtual ~CJumpWindows() = default;
    virtual std::vector<CJumpWindow*> WindowsOf(CCrvDoc& doc) = 0;
    // A new window on doc showing index at pos.
    virtual CJumpWindow* OpenWindow(CCrvDoc& doc, CIndex& index, const CIndexPos& pos) = 0;
};

// The window a jump result goes to: a jump target of the database with exactly that
// index; else one sorted by the same primary marker that holds the found record (any
// such window for an insert); null when none is (a new window is opened then).
CJumpWindow* ChooseJumpWindow(const std::vector<CJumpWindow*>& windows, const CIndex& index,
                              const CRecord* found);

// Shows a jump's result: moves a chosen window to the record (or inserts a new record with
// the key there), else opens a new window. The window that shows it, or null.
CJumpWindow* ShowJumpResult(const CJumpResult& result, CDocDatabases& dbs, CJumpWindows& windows);

// Jump ("&Jump To...") and Jump Insert ("Jump I&nsert...") from window: word is the word
// at the caret (selection: the selected text, searched at once). search holds the
// window's "Jump"/"JumpInsert" settings.
struct JumpCommandResult {
    CJumpResult search;
    CJumpWindow* shownIn = nullptr;
};
JumpCommandResult RunJumpCommand(CJumpWindow& window, CDocDatabases& dbs, CJumpWindows& windows,
                                 CKeySearch& search, const std::string& word, bool selection,
                                 bool insertMode, CJumpDialogs& dialogs, bool showWholePath);

// Before doc closes: with warnDocClose on and some type's jump path referencing it, the
// close warning (Yes closes, No keeps it open) with its "&Display this warning in the
// future" check box, which sets warnDocClose. False when it must stay open.
bool ConfirmCloseReferenced(CDocDatabases& dbs, CDatabaseTypeSet& types, CCrvDoc& doc,
                            bool& warnDocClose);

// The host of runs started from the application: questions through the platform, jump
// insert through the window's command, new bundles wrapped at the database's margin.
class CAppInterlinearHost : public CInterlinearHost {
public:
    CAppInterlinearHost(CDocDatabases& dbs, CCrvDoc& doc) : m_dbs(&dbs), m_doc(&doc) {}
    COpenDatabases* Databases() override { return m_dbs; }
    std::size_t WrapColumns() override;
    void JumpInsert(const std::string& word) override { pendingInsert = word; }
    // The word Yes to "Lookup failure" asked to insert (the window then jumps).
    std::optional<std::string> pendingInsert;

private:
    CDocDatabases* m_dbs;
    CCrvDoc* m_doc;
};

// Interlinearize (Alt+I) or Adapt (Alt+A) at pos of the window's current record: the
// record is announced as changed (re-sorted, views told) when the run changed it.
// singleWord: "Interlinearize a single word or phrase".
InterlinearizeResult InterlinearizeCommand(CRecordWindow& window, const CRecPos& pos, bool adapt,
                                           CInterlinearHost& host, bool singleWord = false);

} // namespace crv
