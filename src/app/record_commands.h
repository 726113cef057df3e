// The record commands of the Database menu, carried out on a window's index: moving to
// the first, last, next and previous record, Search, Record Insert, Delete, copying the
// record to another open database and merging another database into this one.
#pragma once

#include "engine/key_search.h"

namespace crv {

class CCrvDoc;
class CDocView;

// What the record commands need of a record window.
class CRecordWindow {
public:
    virtual ~CRecordWindow() = default;
    virtual CCrvDoc& Document() = 0;
    // The index the window shows its records in (filtered when it has a filter).
    virtual CIndex& Index() = 0;
    virtual CIndexPos Current() = 0;
    virtual void MoveTo(const CIndexPos& pos) = 0;
    // Leaves the current record before a command: a changed record has its checks run,
    // then is stamped and re-sorted (CCrvDoc::RecordChanged). false when a check refuses.
    virtual bool LeaveRecord() = 0;
    // The view that sends the hints of the window's changes (it redraws on its own).
    virtual CDocView* View() { return nullptr; }
};

// Each returns whether the window moved (or the command was carried out); a move with
// no record in that direction beeps and moves nothing.
bool MoveToFirstRecord(CRecordWindow& window);
bool MoveToLastRecord(CRecordWindow& window);
bool MoveToNextRecord(CRecordWindow& window);
bool MoveToPreviousRecord(CRecordWindow& window);

// Search and Record Insert through the key dialogs; an inserted record is announced
// and the document marked modified.
KeyCommandResult SearchRecordCommand(CRecordWindow& window, CKeySearch& search,
                                     CKeySearchDialogs& dialogs);
KeyCommandResult InsertRecordCommand(CRecordWindow& window, CKeySearch& search,
                                     CKeySearchDialogs& dialogs);

// "Do you want to delete the current record?"; Yes deletes it.
bool DeleteRecordCommand(CRecordWindow& window);
// "Select Database": the current record is copied into the chosen open database.
bool CopyRecordCommand(CRecordWindow& window);
// Every record of the chosen open database, in its window's order, is copied into
// this one under "Merging databases..."; the window then shows its first record.
bool MergeDatabaseCommand(CRecordWindow& window);

} // namespace crv
