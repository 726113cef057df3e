#include "app/record_commands.h"

#include <unordered_set>

#include "app/crv_doc.h"
#include "app/doc_manager.h"
#include "base/platform.h"

namespace crv {

namespace {

// The window's current position, found again in case the index changed since.
CIndexPos CurrentPos(CRecordWindow& window) {
    CIndexPos pos = window.Current();
    if (pos.Entry())
        pos = window.Index().PosOf(pos.Entry());
    return pos;
}

// The record a command acts on: none when the window may not leave its record, or (with a
// beep) when it shows none.
CRecord* LeaveForCurrentRecord(CRecordWindow& window) {
    if (!window.LeaveRecord())
        return nullptr;
    CIndexPos pos = CurrentPos(window);
    if (!pos.IsValid()) {
        platform().Beep();
        return nullptr;
    }
    return pos.Record();
}

bool MoveOrBeep(CRecordWindow& window, const CIndexPos& to) {
    if (!to.IsValid() || to == CurrentPos(window)) {
        platform().Beep();
        return false;
    }
    window.MoveTo(to);
    return true;
}

// Marks the document modified and tells the other views when a command inserted.
void AnnounceInsert(CRecordWindow& window, const KeyCommandResult& result) {
    if (result.outcome != KeyCommandResult::Outcome::Inserted || !result.pos.IsValid())
        return;
    CCrvDoc& doc = window.Document();
    doc.SetModified();
    doc.UpdateAllViews(CRecordHint{RecordHintOp::Inserted, result.pos.Record()}, window.View());
}

// The other open databases, for "Select Database".
std::vector<CCrvDoc*> OtherDocuments(CCrvDoc& doc) {
    std::vector<CCrvDoc*> out;
    for (CCrvDoc* d : doc.Manager().Documents())
        if (d != &doc && d->IsOpen())
            out.push_back(d);
    return out;
}

CCrvDoc* ChooseOther(CRecordWindow& window, std::string_view prompt) {
    std::vector<CCrvDoc*> others = OtherDocuments(window.Document());
    if (others.empty()) {
        platform().Beep();
        return nullptr;
    }
    return window.Document().Manager().Dialogs().ChooseDatabase(prompt, others);
}

// The order a database's records are merged in: its first window's index, unfiltered
// (every record goes), else its default index; each record once.
std::vector<const CRecord*> RecordsInWindowOrder(CCrvDoc& doc) {
    const CIndex* index = &doc.Records().DefaultIndex();
    for (CDocView* view : doc.Views()) {
        if (CIndex* shown = view->ViewIndex()) {
            index = shown->Base() ? shown->Base() : shown;
            break;
        }
    }
    std::vector<const CRecord*> out;
    std::unordered_set<const CRecord*> seen;
    for (std::size_t i = 0; i < index->Count(); ++i) {
        const CRecord* record = index->EntryAt(i)->Record();
        if (seen.insert(record).second)
            out.push_back(record);
    }
    return out;
}

} // namespace

bool MoveToFirstRecord(CRecordWindow& window) {
    return window.LeaveRecord() && MoveOrBeep(window, window.Index().First());
}

bool MoveToLastRecord(CRecordWindow& window) {
    return window.LeaveRecord() && MoveOrBeep(window, window.Index().Last());
}

bool MoveToNextRecord(CRecordWindow& window) {
    if (!window.LeaveRecord())
        return false;
    CIndexPos pos = CurrentPos(window);
    return MoveOrBeep(window, pos.IsValid() ? window.Index().Next(pos) : window.Index().First());
}

bool MoveToPreviousRecord(CRecordWindow& window) {
    if (!window.LeaveRecord())
        return false;
    CIndexPos pos = CurrentPos(window);
    return MoveOrBeep(window, pos.IsValid() ? window.Index().Prev(pos) : window.Index().Last());
}

namespace {

using KeyCommand = KeyCommandResult (*)(CIndexSet&, CIndex&, CKeySearch&, CKeySearchDialogs&);

// Search and Record Insert differ only in what the engine does with the typed key.
KeyCommandResult RunKeyCommand(CRecordWindow& window, CKeySearch& search,
                               CKeySearchDialogs& dialogs, KeyCommand command) {
    if (!window.LeaveRecord())
        return {};
    KeyCommandResult result = command(window.Document().Records(), window.Index(), search, dialogs);
    AnnounceInsert(window, result);
    if (result.outcome != KeyCommandResult::Outcome::Cancelled && result.pos.IsValid())
        window.MoveTo(result.pos);
    return result;
}

} // namespace

KeyCommandResult SearchRecordCommand(CRecordWindow& window, CKeySearch& search,
                                     CKeySearchDialogs& dialogs) {
    return RunKeyCommand(window, search, dialogs, &RunSearchCommand);
}

KeyCommandResult InsertRecordCommand(CRecordWindow& window, CKeySearch& search,
                                     CKeySearchDialogs& dialogs) {
    return RunKeyCommand(window, search, dialogs, &RunRecordInsertCommand);
}

bool DeleteRecordCommand(CRecordWindow& window) {
    CRecord* record = LeaveForCurrentRecord(window);
    if (!record)
        return false;
    if (platform().Ask("Do you want to delete the current record?", Buttons::YesNo) != Answer::Yes)
        return false;
    window.Document().DeleteRecord(record, window.View());
    return true;
}

bool CopyRecordCommand(CRecordWindow& window) {
    CRecord* record = LeaveForCurrentRecord(window);
    if (!record)
        return false;
    CCrvDoc* target = ChooseOther(window, "&Database to insert record into:");
    if (!target)
        return false;
    target->AddRecordCopy(*record);
    return true;
}

bool MergeDatabaseCommand(CRecordWindow& window) {
    if (!window.LeaveRecord())
        return false;
    CCrvDoc* source = ChooseOther(window, "&Database to merge into current:");
    if (!source)
        return false;
    std::vector<const CRecord*> records = RecordsInWindowOrder(*source);
    {
        auto progress = platform().BeginProgress("Merging databases...",
                                                 static_cast<std::int64_t>(records.size()), false);
        window.Document().AddRecordCopies(records, nullptr);
        progress->SetPosition(static_cast<std::int64_t>(records.size()));
    }
    window.MoveTo(window.Index().First());
    return true;
}

} // namespace crv
